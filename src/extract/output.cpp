// Data set output: one ov file per field, or every field into one file.
#include "extract.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "ov_whole.h"
#include "writer.h"

gp_output_state gp_out;

namespace {

constexpr const char *cmonth[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr char temp_suffix[] = ".part";

const char *month_name(int month)
{
    return month >= 1 && month <= 12 ? cmonth[month - 1] : "XXX";
}

// The names of the files written in this run: a second field of the same
// name is passed over rather than written over the first.  Files left by
// earlier runs are replaced as before.
std::set<std::string> &names_written()
{
    static std::set<std::string> names;
    return names;
}

bool name_taken(const char *name)
{
    if (names_written().count(name) == 0)
        return false;
    gp_pass_over("holds %s, which was already written in this run", name);
    return true;
}

// A step an ov data set's term cannot hold (not whole hours).
bool step_unrepresentable(const gp_field_state &f)
{
    if (f.current_term >= 0)
        return false;
    const std::int32_t *k1 = gp_msg.ksec1;
    gp_pass_over("has a time range (indicator %d, P1 %d, P2 %d, unit %d) that is not a whole "
                 "number of hours after its reference time",
                 gp_el(k1, GRIB_K1_TIME_RANGE), gp_el(k1, GRIB_K1_P1), gp_el(k1, GRIB_K1_P2),
                 gp_el(k1, GRIB_K1_TIME_UNIT));
    return true;
}

// Missing points stay bad_value.
void scale_if_needed(float *values, int count, const gp_field_state &f)
{
    gp_source source = gp_field_source(f);
    int code = f.current_param;
    float factor = gp_scale_factor_of(code, source), bad = gp_missing_value_of(code, source);
    if (factor != 1.0f)
        gp_scale_present(values, count, factor, &bad);
}

// The second component belongs to the waiting first one, with as many
// points.
bool completes_pending(const gp_field_state &f, int count)
{
    return gp_out.pending && gp_second_component_of(gp_out.pending_field, f) &&
           count == gp_out.pending_points;
}

void describe(const char *what, const gp_field_state &f, const char *outcome)
{
    char name[GP_PARAM_NAME_LEN];
    std::fprintf(stderr, "gridpick: %s the %s data set at %d mb at %d:%02d on %d/%d/%d; %s\n", what,
                 gp_param_name(f.current_param, name, sizeof name, gp_field_source(f)),
                 f.current_level, f.current_hour, f.current_minute, f.current_month,
                 f.current_day, gp_field_shown_year(f), outcome);
}

// The bytes of the data set being written, kept for the next one.
ov_image image;

// A full disk (or file size limit): a data set that cannot be written, -1.
bool out_of_room(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

// "label: system error\n", as perror prints it, for errno.
void note_error(std::string &notes, const char *label)
{
    (notes += label) += ": ";
    (notes += std::strerror(errno)) += '\n';
}

// A failure to create a file other than a full disk ends the run, as
// ov_create's does.  Returns fd, -1 when the disk is full, or
// GP_CANNOT_CREATE, with the reason in notes.
int created(int fd, std::string &notes)
{
    if (fd >= 0)
        return fd;
    int error = errno;
    note_error(notes, "ov_create");
    return out_of_room(error) ? -1 : GP_CANNOT_CREATE;
}

int create_file(const char *path)
{
    std::string notes;
    int fd = created(::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644), notes);
    std::fputs(notes.c_str(), stderr);
    return fd;
}

void announce(int times)
{
    for (int i = 0; i < times; i++) {
        std::fputs("Writing ", stdout);
        std::fputs(gp_run.out_file, stdout);
        std::fputs("...\n", stdout);
    }
}

int count_written(int count, const char *name = gp_run.out_file)
{
    gp_run.num_dsets_written += count;
    names_written().insert(name);
    return 0;
}

int count_failed(const char *outcome, const char *name = gp_run.out_file)
{
    std::fprintf(stderr, "gridpick: writing %s failed; %s\n", name, outcome);
    gp_out.failed++;
    return -1;
}

// Unnamed files (O_TMPFILE) until the file system or /proc refuses them.
// The main thread opens them for the writer thread (writer.h) too.
std::atomic<bool> unnamed_usable = true;

// The folder of path, for an unnamed file beside it.
std::string folder_of(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return !slash ? "." : slash == path ? "/" : std::string(path, slash);
}

// An unnamed file in path's folder, or -1 (unnamed_usable cleared when
// they are not to be had there).
int open_unnamed(const char *path)
{
    int fd = ::open(folder_of(path).c_str(), O_TMPFILE | O_WRONLY, 0644);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        unnamed_usable = false;
    return fd;
}

// Links by the descriptor itself (AT_EMPTY_PATH, which kernels since 6.10
// allow the process that opened the file) until one refuses it; then by the
// descriptor's name in /proc, a longer walk.
bool link_by_descriptor = true;

bool link_fd_as(int fd, const char *name)
{
    if (link_by_descriptor) {
        if (::linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0)
            return true;
        if (errno != ENOENT && errno != EPERM && errno != EINVAL)
            return false;
        link_by_descriptor = false;
    }
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self, AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
}

// Gives the unnamed file fd the name path; one that exists is replaced at
// once, through temp (*temp_made then).
bool link_unnamed(int fd, const char *path, const char *temp, bool *temp_made)
{
    auto link_as = [fd](const char *name) { return link_fd_as(fd, name); };
    if (link_as(path))
        return true;
    if (errno != EEXIST)
        return false;
    ::unlink(temp);
    *temp_made = link_as(temp);
    return *temp_made && std::rename(temp, path) == 0;
}

}  // namespace

// The file appears under path only once it is whole: unnamed until then, or
// under path.part.
int gp_write_file(const char *path, const ov_image &bytes, std::string &notes, int opened)
{
    char temp[GP_OUT_FILE_LEN + sizeof temp_suffix];
    std::snprintf(temp, sizeof temp, "%s%s", path, temp_suffix);
    bool unnamed = opened >= 0 || unnamed_usable, temp_made = !unnamed;
    int fd = opened >= 0 ? opened
             : unnamed    ? open_unnamed(path)
                          : ::open(temp, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 && unnamed && !unnamed_usable)
        return gp_write_file(path, bytes, notes);
    if (int made = created(fd, notes); made < 0)
        return made == GP_CANNOT_CREATE ? made : -2;
    const char *failed_in = ov_put_image(fd, bytes);
    bool whole = failed_in == nullptr;
    if (!whole)
        note_error(notes, failed_in);
    bool started = whole || ::lseek(fd, 0, SEEK_CUR) >= static_cast<off_t>(OV_MAGIC_SIZE);
    bool named = whole && (unnamed ? link_unnamed(fd, path, temp, &temp_made)
                                   : std::rename(temp, path) == 0);
    int error = errno;
    ::close(fd);
    if (unnamed && whole && !named && !temp_made) {
        unnamed_usable = false;   // no /proc, or no links: named files from now on
        return gp_write_file(path, bytes, notes);
    }
    if (whole && !named) {
        errno = error;
        note_error(notes, path);
    }
    if (!named && temp_made)
        ::unlink(temp);
    return named ? 0 : started ? -1 : -2;
}

void gp_output_written(const gp_write_job &job)
{
    if (job.status == GP_JOB_SKIPPED)
        return;
    std::fputs(job.notes.c_str(), stderr);
    if (job.status == GP_CANNOT_CREATE)
        gp_out.cannot_create = 1;
    else if (job.status != 0)
        count_failed("the data set is not written", job.name);
    else
        count_written(job.count, job.name);
}

namespace {

// The data set handed to the writer thread, announced now as it would be
// once written: its outcome is reported when the writer is done with it.
// fd is its unnamed file, opened here where there is time to spare.
int queue_new_file(OvHeader *hdr, int count, int fd)
{
    gp_write_job &job = gp_writer_job();
    if (ov_build_image(hdr, true, job.image) != 0) {
        ::close(fd);
        return count_failed("the data set is not written");
    }
    std::memcpy(job.name, gp_run.out_file, sizeof job.name);
    job.fd = fd;
    job.count = count;
    announce(count);
    gp_writer_submit();
    return 0;
}

// Files go to the writer thread once one has been written, and until one
// fails, as unnamed files opened here: a folder that refuses files, or a
// full disk, is met (and its files announced) as without the thread.
// Returns the unnamed file, or -1 for a file made here.
int hand_over(const char *name)
{
    bool go = gp_out.writer_thread && gp_run.num_dsets_written > 0 && gp_out.failed == 0 &&
              !gp_out.cannot_create && unnamed_usable;
    return go ? open_unnamed(name) : -1;
}

// A file of its own for the data set.
int write_new_file(const gp_field_state &f, OvHeader *hdr, int count)
{
    char name[GP_OUT_FILE_LEN];
    gp_output_name(f, name, sizeof name);
    if (gp_writer_holds(name))
        gp_writer_finish();   // whether it is written decides about this one
    if (name_taken(name))
        return -1;
    std::memcpy(gp_run.out_file, name, sizeof name);
    if (int fd = hand_over(gp_run.out_file); fd >= 0)
        return queue_new_file(hdr, count, fd);
    gp_writer_finish();   // the files handed over first, and their reports
    int written = ov_build_image(hdr, true, image) != 0 ? -2 : 0;
    std::string notes;
    if (written == 0)
        written = gp_write_file(gp_run.out_file, image, notes);
    std::fputs(notes.c_str(), stderr);
    if (written == GP_CANNOT_CREATE)
        return written;
    if (written != -2)
        announce(count);
    if (written != 0)
        return count_failed("the data set is not written");
    return count_written(count);
}

// The one file of -o: created with the first data set (named after its
// field unless -f named it), appended to afterwards.  A data set that
// cannot be written whole is cut off again.
int write_one_file(const gp_field_state &f, OvHeader *hdr, int count)
{
    bool create = !gp_out.file_started && gp_run.num_dsets_written == 0;
    if (create && !gp_run.out_file_given)
        gp_output_name(f, gp_run.out_file, sizeof gp_run.out_file);
    gp_out.out_fd = create ? create_file(gp_run.out_file) : ov_open(gp_run.out_file, 2);
    if (gp_out.out_fd == GP_CANNOT_CREATE) {
        gp_out.out_fd = -1;
        return GP_CANNOT_CREATE;
    }
    off_t end = gp_out.out_fd < 0 ? -1 : create ? 0 : ::lseek(gp_out.out_fd, 0, SEEK_END);
    if (end < 0) {
        if (gp_out.out_fd >= 0)
            ov_close(gp_out.out_fd);
        gp_out.out_fd = -1;
        if (create)
            return count_failed("the data set is not written");
        std::fprintf(stderr, "gridpick: cannot open %s to append to it; data set not written\n",
                     gp_run.out_file);
        gp_out.failed++;
        return -1;
    }
    bool whole = ov_write_whole(gp_out.out_fd, hdr, create, image) == 0;
    off_t kept = create ? static_cast<off_t>(OV_MAGIC_SIZE) : end;
    bool nothing = create && !whole && ::lseek(gp_out.out_fd, 0, SEEK_CUR) < kept;
    struct stat st;
    bool regular = ::fstat(gp_out.out_fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!whole && !nothing && ::ftruncate(gp_out.out_fd, kept) != 0)
        std::perror(gp_run.out_file);
    ov_close(gp_out.out_fd);
    gp_out.out_fd = -1;
    if (nothing) {   // not even the magic: no file, as ov_create leaves none
        if (regular)   // never a device (/dev/full) that the name stands for
            ::unlink(gp_run.out_file);
        return count_failed("the data set is not written");
    }
    gp_out.file_started = 1;
    announce(count);
    if (!whole)
        return count_failed("the file is cut back to its last whole data set");
    return count_written(count);
}

// Writes hdr as count data sets (1, or 2 for a wind pair) of field f.
int write_counted(const gp_field_state &f, OvHeader *hdr, int count)
{
    if (gp_run.destination == GP_DEST_PER_FIELD)
        return write_new_file(f, hdr, count);
    return write_one_file(f, hdr, count);
}

}  // namespace

void gp_output_name(const gp_field_state &f, char *name, std::size_t size)
{
    char param[GP_PARAM_NAME_LEN], step[24] = "";
    if (f.current_forecast)
        std::snprintf(step, sizeof step, "+%dh", f.current_term);
    std::snprintf(name, size, "NRV.%d%s%d.%02dz%s.%dmb.%s", gp_field_shown_year(f),
                  month_name(f.current_month), f.current_day, f.current_hour, step,
                  f.current_level,
                  gp_param_name(f.current_param, param, sizeof param, gp_field_source(f)));
}

void gp_output_forget_names()
{
    names_written().clear();
}

void gp_fill_header(OvHeader *hdr, float *data)
{
    const std::int32_t *k1 = gp_msg.ksec1;
    int code = gp_field.current_param;
    gp_source source = gp_field_source(gp_field);
    *hdr = OvHeader{};
    hdr->id = 1001;
    hdr->year = gp_field_shown_year(gp_field);
    hdr->month = gp_el(k1, GRIB_K1_MONTH);
    hdr->day = gp_el(k1, GRIB_K1_DAY);
    hdr->time = static_cast<float>(gp_el(k1, GRIB_K1_HOUR) + gp_el(k1, GRIB_K1_MINUTE) / 60.0);
    hdr->term = gp_field.current_term > 0 ? gp_field.current_term : 0;
    hdr->type = gp_component_of(code, source) == GP_FIRST_COMPONENT ? OV_VECTOR : OV_CONTOUR;
    hdr->param = gp_el(k1, GRIB_K1_PARAM);
    hdr->level = gp_el(k1, GRIB_K1_LEVEL);
    hdr->min = hdr->max = 0.0f;
    hdr->bad_value = gp_missing_value_of(code, source);
    gp_msg.grid = gp_grid_plan_of(gp_msg.ksec2);   // as decoded: expanded, if it was
    gp_grid_plan &g = gp_msg.grid;
    hdr->start_lat = static_cast<float>(g.start_lat);
    hdr->end_lat = static_cast<float>(g.end_lat);
    hdr->start_lon = static_cast<float>(g.start_lon);
    hdr->lon_increment = static_cast<float>(g.lon_increment);
    hdr->lat_increment = static_cast<float>(g.lat_increment);
    hdr->num_rows = g.rows;
    hdr->num_columns = g.columns;
    hdr->end_lon = static_cast<float>(g.end_lon);
    hdr->increment_type = DEGREES;
    hdr->grid_type = g.irregular ? IRREGULAR : REGULAR;
    if (g.irregular) {   // the plan outlives the header: it changes with the next field
        hdr->lats = g.lats.data();
        hdr->lons = g.lons.data();
    }
    static char producer[48];   // read by the writer only
    if (gp_source_text(source, producer, sizeof producer) > 0)
        hdr->param_desc = producer;
    const char *units = gp_units_of(code, source);
    // The writer only reads the text.
    hdr->units = units[0] != '\0' || (code >= 0 && code < GP_NUM_PARAMS) ? const_cast<char *>(units)
                                                                          : nullptr;
    hdr->data = data;
}

int write_dset(int fd, OvHeader *hdr)
{
    return ov_write(fd, hdr) == 0 ? 0 : -1;
}

int write_data_set(int count)
{
    const gp_field_state f = gp_field;
    float *values = gp_msg.decoded_data.data();
    int role = gp_component_of(f.current_param, gp_field_source(f));
    if (step_unrepresentable(f))
        return -1;
    if (role == GP_FIRST_COMPONENT) {
        if (gp_out.pending)
            gp_drop_pending();
        gp_out.first_component.assign(values, values + count);
        scale_if_needed(gp_out.first_component.data(), count, f);
        gp_fill_header(&gp_out.pending_hdr, gp_out.first_component.data());
        gp_out.pending_grid = gp_msg.grid;
        if (gp_out.pending_grid.irregular) {
            gp_out.pending_hdr.lats = gp_out.pending_grid.lats.data();
            gp_out.pending_hdr.lons = gp_out.pending_grid.lons.data();
        }
        gp_out.pending = 1;
        gp_out.pending_field = f;
        gp_out.pending_points = count;
        return 0;
    }
    if (role == GP_SECOND_COMPONENT) {
        if (!completes_pending(f, count)) {
            gp_drop_pending();
            describe("no first component for", f, "passed over");
            return -1;
        }
        gp_out.pending = 0;
        scale_if_needed(values, count, f);
        gp_out.pending_hdr.vdata = values;
        return write_counted(gp_out.pending_field, &gp_out.pending_hdr, 2);
    }
    if (gp_out.pending)
        gp_drop_pending();
    scale_if_needed(values, count, f);
    OvHeader hdr;
    gp_fill_header(&hdr, values);
    return write_counted(f, &hdr, 1);
}

void gp_drop_pending()
{
    if (!gp_out.pending)
        return;
    gp_out.pending = 0;
    describe("no second component for", gp_out.pending_field, "not written");
}
