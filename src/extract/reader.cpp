// The archive reader: one whole GRIB message at a time into the buffer.
#include "extract.h"
#include "grib.h"
#include "tpio.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr char grib_magic[] = "GRIB";
constexpr int min_message = 12;     // section 0 and the end section
constexpr std::size_t first_look = 256;
constexpr std::size_t search_chunk = 4;

bool begins_message(const unsigned char *p, long n)
{
    return n >= 4 && std::memcmp(p, grib_magic, 4) == 0;
}

unsigned char *bytes_of(std::int32_t *buffer)
{
    return reinterpret_cast<unsigned char *>(buffer);
}

// Reads and drops the rest of a message of length bytes of which n are in.
int pass_over_records(int unit, long n, int length)
{
    while (n < length) {
        int m = read_block(unit, gp_msg.record, GP_RECORD_SIZE);
        if (m <= 0)
            return GP_NO_MORE;
        n += m;
    }
    return 0;
}

// Tape or tape image: the message starts on a record of its own.
int read_record_message(int unit, std::int32_t *buffer)
{
    unsigned char *out = bytes_of(buffer);
    for (;;) {
        long rec = tpio_record(unit) + 1;
        int n = read_block(unit, gp_msg.record, GP_RECORD_SIZE);
        if (n < 0)
            return GP_NO_MORE;
        if (!begins_message(gp_msg.record, n)) {
            if (!tpio_after_skip(unit))
                std::fprintf(stderr,
                             "gridpick: record %ld does not begin a GRIB message; passed over\n",
                             rec);
            continue;
        }
        tpio_mark_message(unit);
        std::memcpy(out, gp_msg.record, static_cast<std::size_t>(n));
        int length = lengrib(buffer);
        if (length < min_message) {
            std::fprintf(stderr,
                         "gridpick: record %ld: the length of its GRIB message cannot be read; "
                         "passed over\n",
                         rec);
            continue;
        }
        if (length > GP_IGRIB_BYTES) {
            std::fprintf(stderr,
                         "gridpick: GRIB message of %d bytes at record %ld does not fit the "
                         "buffer of %d bytes; passed over\n",
                         length, rec, GP_IGRIB_BYTES);
            if (pass_over_records(unit, n, length) < 0)
                return GP_NO_MORE;
            continue;
        }
        while (n < length) {
            int m = read_block(unit, gp_msg.record, GP_RECORD_SIZE);
            if (m <= 0)
                return GP_NO_MORE;
            int room = GP_IGRIB_BYTES - n;
            std::memcpy(out + n, gp_msg.record, static_cast<std::size_t>(std::min(m, room)));
            n += std::min(m, room);
        }
        gp_msg.position = rec;
        gp_msg.from_records = 1;
        return n;
    }
}

// Offset of the first non-zero byte of p[0..n), or -1.
long first_nonzero(const unsigned char *p, std::size_t n)
{
    const unsigned char *q = std::find_if(p, p + n, [](unsigned char c) { return c != 0; });
    return q == p + n ? -1 : static_cast<long>(q - p);
}

// Disk file: moves to the next "GRIB".  Zero bytes on the way are padding;
// other bytes are reported once, from the first of them.  False at the end
// of the file.
bool find_next_message(int unit)
{
    long foreign = -1;
    for (;;) {
        const unsigned char *p = nullptr;
        long avail = tpio_disk_peek(unit, search_chunk, &p);
        if (avail < 0)
            return false;
        const void *hit = avail >= 4 ? memmem(p, static_cast<std::size_t>(avail), grib_magic, 4)
                                     : nullptr;
        std::size_t drop = hit ? static_cast<std::size_t>(static_cast<const unsigned char *>(hit) - p)
                               : static_cast<std::size_t>(avail < 4 ? avail : avail - 3);
        long nz = foreign < 0 ? first_nonzero(p, drop) : -1;
        if (nz >= 0)
            foreign = tpio_disk_offset(unit) + nz;
        tpio_disk_consume(unit, drop);
        if (hit || avail < 4) {
            if (foreign >= 0)
                std::fprintf(stderr,
                             "gridpick: %ld bytes that are not GRIB passed over at offset %ld\n",
                             tpio_disk_offset(unit) - foreign, foreign);
            return hit != nullptr;
        }
    }
}

int read_disk_message(int unit, std::int32_t *buffer)
{
    unsigned char *out = bytes_of(buffer);
    while (find_next_message(unit)) {
        long off = tpio_disk_offset(unit);
        const unsigned char *p = nullptr;
        long avail = tpio_disk_peek(unit, first_look, &p);
        if (avail < 0)
            return GP_NO_MORE;
        // Zeros after a short tail, so that nothing of the message before is measured.
        std::size_t have = std::min<std::size_t>(static_cast<std::size_t>(avail), first_look);
        std::memcpy(out, p, have);
        std::memset(out + have, 0, first_look - have);
        int length = lengrib(buffer);
        if (gp_msg.ksec0[1] != 1) {     // older editions: measured by walking
            avail = tpio_disk_peek(unit, GP_IGRIB_BYTES, &p);
            if (avail < 0)
                return GP_NO_MORE;
            have = std::min<std::size_t>(static_cast<std::size_t>(avail), GP_IGRIB_BYTES);
            std::memcpy(out, p, have);
            std::memset(out + have, 0, GP_IGRIB_BYTES - have);
            length = lengrib(buffer);
        }
        if (length < min_message) {
            std::fprintf(stderr,
                         "gridpick: GRIB message at offset %ld: its length cannot be read; "
                         "passed over\n",
                         off);
            tpio_disk_consume(unit, 4);
            continue;
        }
        if (length > GP_IGRIB_BYTES) {
            std::fprintf(stderr,
                         "gridpick: GRIB message of %d bytes at offset %ld does not fit the "
                         "buffer of %d bytes; passed over\n",
                         length, off, GP_IGRIB_BYTES);
            tpio_disk_consume(unit, static_cast<std::size_t>(length));
            continue;
        }
        avail = tpio_disk_peek(unit, static_cast<std::size_t>(length), &p);
        if (avail < length) {
            std::fprintf(stderr,
                         "gridpick: GRIB message of %d bytes at offset %ld is cut short by the "
                         "end of the file; passed over\n",
                         length, off);
            tpio_disk_consume(unit, static_cast<std::size_t>(avail < 0 ? 0 : avail));
            return GP_NO_MORE;
        }
        std::memcpy(out, p, static_cast<std::size_t>(length));
        tpio_disk_consume(unit, static_cast<std::size_t>(length));
        gp_msg.position = off;
        gp_msg.from_records = 0;
        return length;
    }
    return GP_NO_MORE;
}

}  // namespace

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
    static_assert(sizeof(gint) == sizeof(std::int32_t));
    gint klenp = GP_MAX_VALUES, kleng = GP_IGRIB_WORDS, kword = 0, kret = 1;
    gp_msg.ksec0[0] = gp_msg.ksec0[1] = 0;
    fldcod(gp_msg.ksec0, gp_msg.ksec1, gp_msg.ksec2, gp_msg.psec2, gp_msg.ksec3, gp_msg.psec3,
           gp_msg.ksec4, gp_msg.decoded_data, &klenp, buffer, &kleng, &kword, "L", &kret, 1L);
    return kret > 0 ? -1 : gp_msg.ksec0[0];
}

int read_next_dataset(int unit, std::int32_t *buffer)
{
    if (read_too_far(gp_field.current_month, gp_field.current_day, gp_field.current_year))
        return GP_NO_MORE;
    if (tpio_kind(unit) == TPIO_DISK)
        return read_disk_message(unit, buffer);
    return read_record_message(unit, buffer);
}
