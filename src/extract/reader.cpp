// The archive reader: one whole GRIB message at a time into the buffer,
// through the framing of archive.h.
#include "archive.h"
#include "extract.h"
#include "tpio.h"

int read_block(int unit, void *buffer, int)
{
    int size = GP_RECORD_SIZE;
    int n = mtread(&unit, buffer, &size);
    int retries = 0;
    while (n <= 0 && retries < GP_READ_RETRIES) {
        retries++;
        n = mtread(&unit, buffer, &size);
    }
    return retries == GP_READ_RETRIES ? GP_NO_MORE : n;
}

int read_too_far(int month, int day, int year)
{
    return kdate(month, day, year) > gp_run.last_day ? 1 : 0;
}

int lengrib(std::int32_t *buffer)
{
    int edition = 0;
    return gp_archive_measure(buffer, GP_IGRIB_WORDS, &edition);   // the length is in its first words
}

int read_next_dataset(gp_archive *archive)
{
    if (gp_field_day(gp_field) > gp_run.last_day)
        return GP_NO_MORE;
    gp_archive_message m{};
    int n = gp_archive_next(archive, &m);
    if (n < 0)
        return GP_NO_MORE;
    gp_msg.igrib = m.words;
    gp_msg.position = m.position;
    gp_msg.from_records = m.at == GP_AT_RECORD;
    return n;
}
