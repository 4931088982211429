// Archives and the codec for the Python extension (archive_access.h): the
// only file of the extension that touches the framing, the unit layer or
// the codec, each use under one lock.
#include "archive_access.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>

#include "describe.h"
#include "archive.h"
#include "extract.h"
#include "grid.h"
#include "ovset.h"
#include "param_table.h"
#include "tpio.h"

namespace {

constexpr char prefix[] = "gridpick: ";
constexpr char passed_over[] = "; passed over";

// What the framing and the decoding say, collected in memory while it lives
// and handed back as lines without the program's prefix.
class report_sink {
public:
    report_sink() : file_(open_memstream(&text_, &size_))
    {
        gp_msg.report = file();
    }
    ~report_sink()
    {
        gp_msg.report = stderr;
        if (file_ != nullptr)
            std::fclose(file_);
        std::free(text_);
    }
    report_sink(const report_sink &) = delete;
    std::FILE *file() const { return file_ != nullptr ? file_ : stderr; }
    report_sink &operator=(const report_sink &) = delete;

    std::vector<std::string> lines()
    {
        std::vector<std::string> out;
        if (file_ == nullptr)
            return out;
        std::fflush(file_);
        std::istringstream in(std::string(text_, size_));
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(prefix, 0) == 0)
                line.erase(0, sizeof prefix - 1);
            out.push_back(line);
        }
        return out;
    }
    // Everything said, as the text of an exception; fallback when nothing.
    std::string joined(const std::string &fallback)
    {
        std::string all;
        for (std::string &line : lines()) {
            if (line.size() > sizeof passed_over &&
                line.compare(line.size() - (sizeof passed_over - 1), std::string::npos,
                             passed_over) == 0)
                line.erase(line.size() - (sizeof passed_over - 1));
            all += (all.empty() ? "" : "; ") + line;
        }
        return all.empty() ? fallback : all;
    }

private:
    char *text_ = nullptr;
    std::size_t size_ = 0;
    std::FILE *file_;
};

// The state every call starts from: codec quiet and returning its
// failures, parameter table built.
void prepare()
{
    static bool ready = false;
    if (!ready) {
        init_arrays();
        ready = true;
    }
    gint quiet = 0;
    grsprt(&quiet);
}

// Opens path with its reports into the sink; throws with the framing's
// words when it cannot.
gp_archive_ptr open_archive(const std::string &path, report_sink &sink, int heads)
{
    gp_archive_options options;
    options.report = sink.file();
    options.heads = heads;
    char error[8192] = "";
    gp_archive_ptr archive(gp_archive_open(path.c_str(), &options, error, sizeof error));
    if (archive != nullptr)
        return archive;
    std::string why = error;
    if (why.rfind(prefix, 0) == 0)
        why.erase(0, sizeof prefix - 1);
    throw gp_py_error(why.empty() ? path + ": cannot be opened" : why);
}

std::string place_of(long position, int at)
{
    return std::string(at == GP_PY_RECORD ? "record " : "offset ") + std::to_string(position);
}

// The inventory entry of the message whose sections 0 to 2 are in s.
gp_py_entry entry_of(const gp_sections &s, std::span<const std::int32_t> buffer, int n,
                     const gp_archive_message &where, long number)
{
    const gint *k1 = s.ksec1;
    int flag = gp_el(k1, GRIB_K1_FLAG);
    bool grid = (flag & 128) != 0;
    gp_py_entry e;
    e.number = number;
    e.position = where.position;
    e.at = where.at == GP_AT_RECORD ? GP_PY_RECORD : GP_PY_OFFSET;
    e.length = where.length;
    e.year = gp_full_year(gp_el(k1, GRIB_K1_CENTURY), gp_el(k1, GRIB_K1_YEAR));
    e.month = gp_el(k1, GRIB_K1_MONTH);
    e.day = gp_el(k1, GRIB_K1_DAY);
    e.hour = gp_el(k1, GRIB_K1_HOUR);
    e.minute = gp_el(k1, GRIB_K1_MINUTE);
    e.step = gp_field_from_ksec1(k1).current_term;
    e.centre = gp_el(k1, GRIB_K1_CENTRE);
    e.table = gp_el(k1, GRIB_K1_TABLE);
    e.param = gp_el(k1, GRIB_K1_PARAM);
    e.level_type = gp_el(k1, GRIB_K1_LEVEL_TYPE);
    e.level = gp_el(k1, GRIB_K1_LEVEL);
    char text[96];
    gp_param_name(e.param, text, sizeof text, gp_source{e.centre, e.table});
    e.name = text;
    gp_level_text(e.level_type, e.level, gp_el(k1, GRIB_K1_LEVEL2), text, sizeof text);
    e.level_text = text;
    gp_grid_text(grid ? s.ksec2 : nullptr, gp_el(k1, GRIB_K1_GRID), text, sizeof text);
    e.grid = text;
    if (grid) {
        const gint *k2 = s.ksec2;
        e.ni = gp_el(k2, GRIB_K2_NI);
        e.nj = gp_el(k2, GRIB_K2_NJ);
        std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d", gp_el(k2, GRIB_K2_LA1),
                      gp_el(k2, GRIB_K2_LO1), gp_el(k2, GRIB_K2_LA2), gp_el(k2, GRIB_K2_LO2),
                      gp_el(k2, GRIB_K2_SCAN));
        e.area = text;
    }
    const char *refusal = gp_grid_plan_of(grid ? s.ksec2 : nullptr).refusal;
    e.refusal = refusal != nullptr ? refusal : "";
    e.bits = gp_bits_per_value(reinterpret_cast<const unsigned char *>(buffer.data()), n,
                               gp_el(s.ksec0, GRIB_K0_EDITION), flag);
    e.bitmap = (flag & 64) != 0;
    return e;
}

// The whole message at byte offset of the disk file, into buffer (zero
// past it); false when there is none there.
bool read_at_offset(gp_archive *archive, long offset, std::vector<std::int32_t> &buffer)
{
    unsigned char head[8];
    if (gp_archive_read_at(archive, offset, head, sizeof head) != sizeof head ||
        std::memcmp(head, "GRIB", 4) != 0)
        return false;
    long length = long(head[4]) << 16 | long(head[5]) << 8 | long(head[6]);
    if (length < 12)
        return false;
    std::size_t words = std::max<std::size_t>(GP_IGRIB_WORDS, (length + 3) / 4 + 1);
    buffer.assign(words, 0);
    if (gp_archive_read_at(archive, offset, buffer.data(), static_cast<std::size_t>(length)) !=
        length)
        return false;
    auto *bytes = reinterpret_cast<const unsigned char *>(buffer.data());
    return std::memcmp(bytes + length - 4, "7777", 4) == 0;
}

// The message that begins at record of the tape or tape image, in the
// archive's buffer (*message): records before it are skipped, or walked
// when they cannot be.
bool read_at_record(const std::string &path, long record, gp_archive_ptr &archive,
                    report_sink &sink, gp_archive_message *message)
{
    if (record > 1 && gp_archive_skip_records(archive.get(), static_cast<int>(record - 1)) == 0 &&
        gp_archive_next(archive.get(), message) >= 0 && message->position == record)
        return true;
    archive.reset();
    archive = open_archive(path, sink, 0);
    while (gp_archive_next(archive.get(), message) >= 0)
        if (message->position >= record)
            return message->position == record;
    return false;
}

// The grid of the field decoded last into gp_msg, with the header gridpick
// writes for it.
void place(gp_py_field &f)
{
    gp_fill_header(&f.header, nullptr);
    f.units = f.header.units != nullptr ? f.header.units : "";
    ovset_axes axes;
    if (ovset_grid_axes(f.header, axes)) {
        f.lats = std::move(axes.lat);
        f.lons = std::move(axes.lon);
    }
    f.header.units = nullptr;
    f.header.lats = f.header.lons = nullptr;
    f.header.data = nullptr;
}

}  // namespace

std::mutex &gp_py_lock()
{
    static std::mutex lock;
    return lock;
}

gp_py_inventory gp_py_archive_inventory(const std::string &path)
{
    std::lock_guard<std::mutex> hold(gp_py_lock());
    prepare();
    report_sink sink;
    gp_archive_ptr archive = open_archive(path, sink, 1);
    static gp_sections s;
    gp_py_inventory inv;
    gp_archive_message where{};
    for (int n; (n = gp_archive_next(archive.get(), &where)) >= 0;) {
        float none[1];
        int kret = gp_decode_sections(s, "I", where.words.data(),
                                      static_cast<int>(where.words.size()), none, 1);
        if (kret > 0 || kret == -6) {
            std::fprintf(sink.file(),
                         "%sGRIB message at %s cannot be decoded (code %d); passed over\n",
                         prefix, place_of(where.position, where.at).c_str(), kret);
            continue;
        }
        inv.entries.push_back(
            entry_of(s, where.words, n, where, gp_archive_counts(archive.get()).whole));
    }
    bool failed = gp_archive_counts(archive.get()).error != 0 && inv.entries.empty();
    if (failed)
        throw gp_py_error(sink.joined(path + ": cannot be read"));
    inv.reports = sink.lines();
    return inv;
}

gp_py_field gp_py_archive_read(const std::string &path, long position, int at, bool values)
{
    std::lock_guard<std::mutex> hold(gp_py_lock());
    prepare();
    report_sink sink;
    gp_archive_ptr archive = open_archive(path, sink, 0);
    std::string where = path + ": GRIB message at " + place_of(position, at);
    std::vector<std::int32_t> own;
    gp_archive_message message{};
    bool found = at == GP_PY_RECORD
                     ? read_at_record(path, position, archive, sink, &message)
                     : read_at_offset(archive.get(), position, own);
    std::span<std::int32_t> buffer = at == GP_PY_RECORD ? message.words : own;
    gp_msg.igrib = buffer;
    if (!found)
        throw gp_py_error(sink.joined(where + " is not a whole message"));
    gp_msg.position = position;
    gp_msg.from_records = at == GP_PY_RECORD;
    if (decode_data_set(buffer) < 0)
        throw gp_py_error(path + ": " + sink.joined(where + " cannot be decoded"));
    bool has_grid = (gp_el(gp_msg.ksec1, GRIB_K1_FLAG) & 128) != 0;
    gp_msg.grid = gp_grid_plan_of(has_grid ? gp_msg.ksec2 : nullptr);
    if (gp_msg.grid.refusal != nullptr)
        throw gp_py_error(where + " holds " + gp_msg.grid.refusal +
                          ", which gridpick does not place");
    gp_py_field f;
    int count = 0;
    if (values || gp_msg.grid.expand) {
        count = unpack_data_set(buffer);
        if (count < 0)
            throw gp_py_error(path + ": " + sink.joined(where + " cannot be decoded"));
    }
    place(f);
    if (values) {
        const float *v = gp_msg.decoded_data.data();
        f.values.assign(v, v + count);
        if ((gp_el(gp_msg.ksec1, GRIB_K1_FLAG) & 64) != 0)
            for (float &x : f.values)
                if (x == f.header.bad_value)
                    x = std::nanf("");
    }
    f.reports = sink.lines();
    return f;
}

int gp_py_sniff(const std::string &path)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return 0;
    std::vector<unsigned char> head(65536);
    ssize_t n = read(fd, head.data(), head.size());
    close(fd);
    if (n < 8)
        return 0;
    if (std::memcmp(head.data(), OV_MAGIC, 6) == 0)
        return 1;
    ssize_t i = 0;
    while (i < n && head[static_cast<std::size_t>(i)] == 0)
        i++;
    if (i + 4 <= n && std::memcmp(head.data() + i, "GRIB", 4) == 0)
        return 2;
    // A tape image: tape marks (zero words), then a record framed by two
    // equal little-endian length words.
    i -= i % 4;
    if (i + 4 > n)
        return 0;
    const unsigned char *w = head.data() + i;
    unsigned long len = w[0] | w[1] << 8 | w[2] << 16;
    ssize_t end = i + 4 + static_cast<ssize_t>(len + (len & 1));
    for (ssize_t at : {end, end - static_cast<ssize_t>(len & 1)})
        if (len > 0 && at + 4 <= n && std::memcmp(head.data() + at, w, 4) == 0)
            return 2;
    return 0;
}
