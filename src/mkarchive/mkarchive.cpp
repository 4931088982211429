// mkarchive: writes a synthetic archive of GRIB analyses, coded with the
// project's own codec, as a disk file or as a SIMH tape image.
//
//   mkarchive [-t] [-g NIxNJ] [-b BITS] [-s M/D/Y] [-y YEAR] [-d DAYS]
//             [-T HOURS] [-P HOURS] [-C CENTRE] [-c TABLE] [-p CODES]
//             [-l LEVELS] [-r RECORD] [-m N] [-S FLAGS] [-G N | -R N] FILE
//
//   -t         tape image: each message in records of at most RECORD bytes
//              (-r, 10560), a tape mark and the end of the medium at the end
//   -g         global latitude/longitude grid of NI x NJ points (144x73)
//   -b         bits per packed value (16)
//   -s, -d     first analysis date (1/1/79) and number of days (1); a year
//              of two digits is 19YY (century 20), one of four digits is
//              coded as its century and year of century (2000: 20 and 100)
//   -y         the year of the first date alone
//   -P         forecast step in hours: time range indicator 0 (10 above 255)
//              and P1; 0, the default, codes analyses
//   -C, -c     originating centre (98) and parameter table version (128);
//              with another centre the fields are those of -p, in its order
//   -T         analysis hours, comma-separated (0,6,12,18)
//   -p, -l     only these parameter codes / levels (comma-separated)
//   -m         every Nth point, from the first, missing under a bit map
//   -S         scanning mode flags (0): 128 east to west, 64 south to north,
//              32 consecutive along meridians; values in that order
//   -G         global Gaussian grid of N parallels between pole and equator
//              (4N x 2N points) instead of -g
//   -R         quasi-regular Gaussian grid of N: 2N rows of fewer points
//              towards the poles (north to south and west to east only)
//
// The order is the archive's: date, hour, then for each of the 14 pressure
// levels the upper-air parameters in the order of the terminal menu, then
// the surface parameters in the order of the dialog's surface list (level
// 0); a wind's v component follows its u.
#include <gridpick/grib.h>
#include "grid.h"
#include "param_table.h"
#include "sections.h"
#include "fdio.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int levels[] = {1000, 850, 700, 500, 400, 300, 250, 200, 150, 100, 70, 50, 30, 10};
constexpr int kleng = 8000;
constexpr double pi = 3.14159265358979323846;

struct Options {
    bool tape = false;
    int ni = 144, nj = 73, bits = 16;
    int month = 1, day = 1, year = 79, days = 1;
    int step = 0, centre = GRIB_NORVA_CENTRE, table = 128;
    std::vector<int> hours{0, 6, 12, 18};
    std::vector<int> codes, only_levels;
    int record = 10560;
    int missing_every = 0;
    int scan = 0;              // scanning mode flags
    int gauss = 0;             // N of a Gaussian grid, 0 for latitude/longitude
    bool reduced = false;      // quasi-regular Gaussian
    const char *path = nullptr;
};

[[noreturn]] void usage()
{
    std::fputs("usage: mkarchive [-t] [-g NIxNJ] [-b BITS] [-s M/D/Y] [-y YEAR] [-d DAYS]\n"
               "                 [-T HOURS] [-P HOURS] [-C CENTRE] [-c TABLE] [-p CODES]\n"
               "                 [-l LEVELS] [-r RECORD] [-m N] [-S FLAGS] [-G N | -R N] FILE\n",
               stderr);
    std::exit(2);
}

std::vector<int> int_list(const char *text)
{
    std::vector<int> out;
    for (const char *p = text; *p;) {
        char *end = nullptr;
        long v = std::strtol(p, &end, 10);
        if (end == p)
            usage();
        out.push_back(static_cast<int>(v));
        p = *end == ',' ? end + 1 : end;
        if (*end != ',' && *end != '\0')
            usage();
    }
    return out;
}

Options parse(int argc, char **argv)
{
    Options o;
    int i = 1;
    auto arg = [&]() -> const char * {
        if (i + 1 >= argc)
            usage();
        return argv[++i];
    };
    for (; i < argc; i++) {
        std::string a = argv[i];
        if (a == "-t")
            o.tape = true;
        else if (a == "-g") {
            if (std::sscanf(arg(), "%dx%d", &o.ni, &o.nj) != 2)
                usage();
        } else if (a == "-b")
            o.bits = std::atoi(arg());
        else if (a == "-s") {
            if (std::sscanf(arg(), "%d/%d/%d", &o.month, &o.day, &o.year) != 3)
                usage();
        } else if (a == "-y")
            o.year = std::atoi(arg());
        else if (a == "-P")
            o.step = std::atoi(arg());
        else if (a == "-C")
            o.centre = std::atoi(arg());
        else if (a == "-c")
            o.table = std::atoi(arg());
        else if (a == "-d")
            o.days = std::atoi(arg());
        else if (a == "-T")
            o.hours = int_list(arg());
        else if (a == "-p")
            o.codes = int_list(arg());
        else if (a == "-l")
            o.only_levels = int_list(arg());
        else if (a == "-r")
            o.record = std::atoi(arg());
        else if (a == "-m")
            o.missing_every = std::atoi(arg());
        else if (a == "-S")
            o.scan = std::atoi(arg());
        else if (a == "-G" || a == "-R") {
            o.gauss = std::atoi(arg());
            o.reduced = a == "-R";
            o.ni = 4 * o.gauss;
            o.nj = 2 * o.gauss;
        } else if (a[0] == '-' || o.path)
            usage();
        else
            o.path = argv[i];
    }
    if (!o.path || o.ni < 2 || o.nj < 2 || o.ni > 65534 || o.nj > 65534 ||
        long{o.ni} * o.nj > (1L << 22) || (o.scan & ~224) != 0 || (o.reduced && o.scan != 0) ||
        (o.reduced && o.nj > GRIB_MAXROWS) || o.bits < 1 || o.bits > 32 || o.days < 0 || o.record < 1 ||
        o.month < 1 || o.month > 12 || o.missing_every < 0 || o.step < 0 || o.step > 65535 ||
        o.centre < 0 || o.centre > 255 || o.table < 0 || o.table > 255 ||
        (o.centre != GRIB_NORVA_CENTRE && o.codes.empty()))
        usage();
    return o;
}

bool wanted(const std::vector<int> &only, int v)
{
    if (only.empty())
        return true;
    for (int x : only)
        if (x == v)
            return true;
    return false;
}

// The year of the first date as coded: century and year of century.  Two
// digits stay in the twentieth century as they always were.
struct Year {
    int century, of_century;
};

Year coded_year(int year)
{
    if (year < 1000)
        return {20, year};
    return {(year - 1) / 100 + 1, (year - 1) % 100 + 1};
}

// The next year: after year 100 of a century comes year 1 of the next.
Year next_year(Year y)
{
    if (++y.of_century > 100)
        return {y.century + 1, 1};
    return y;
}

int month_length(int month, int year)
{
    static const int len[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && year % 4 == 0 ? 29 : len[month - 1];
}

// A smooth field with some structure, different for every parameter,
// level and analysis time.
double value_at(int code, int level, int step, double lat, double lon)
{
    double rl = lat * pi / 180, rn = lon * pi / 180;
    double phase = 0.15 * step + 0.001 * level;
    double wave = std::sin(2 * rl) * std::cos(3 * rn + phase) + 0.3 * std::cos(rl) * std::sin(rn - phase);
    double height = 16000.0 * std::log(1000.0 / (level > 0 ? level : 1000));
    switch (code) {
    case GP_GEOPOTENTIAL: return 9.81 * height + 800 * wave;
    case GP_TEMPERATURE: return 288 - 0.0065 * std::min(height, 11000.0) - 30 * std::sin(rl) * std::sin(rl) + 5 * wave;
    case GP_U_WIND: return 25 * std::cos(rl) * std::cos(2 * rl) + 10 * wave;
    case GP_V_WIND: return 8 * wave * std::cos(rl);
    case GP_HUMIDITY: return 50 + 45 * wave;
    case GP_VERTICAL_VELOCITY: return 0.5 * wave;
    case GP_SURFACE_TEMPERATURE: return 280 - 40 * std::sin(rl) * std::sin(rl) + 6 * wave;
    case GP_MSL_PRESSURE: return 101325 + 1500 * wave;
    case GP_U_WIND_10M: return 8 * std::cos(2 * rl) + 3 * wave;
    case GP_V_WIND_10M: return 4 * wave;
    case GP_TEMPERATURE_2M: return 285 - 35 * std::sin(rl) * std::sin(rl) + 5 * wave;
    case GP_DEWPOINT_2M: return 278 - 35 * std::sin(rl) * std::sin(rl) + 4 * wave;
    case GP_LAND_SEA_MASK: return wave > 0.1 ? 1.0 : 0.0;
    case GP_SURFACE_PRESSURE: return 98000 + 2500 * wave;
    default: return wave;
    }
}

// Codes of one place of the table, entry by entry, in order.
std::vector<int> codes_of(gp_place place, int first, int count)
{
    std::vector<int> out;
    for (int i = first; i < first + count; i++) {
        int codes[2];
        int n = gp_param_codes_at(place, i, codes);
        out.insert(out.end(), codes, codes + n);
    }
    return out;
}

// Where the values of every field lie, in the order they are written, and
// the section 2 numbers that say so.
struct Geometry {
    std::vector<std::pair<double, double>> points;   // latitude, longitude
    std::vector<int> row_points;                      // quasi-regular rows
    gint la1 = 0, lo1 = 0, la2 = 0, lo2 = 0, di = 0, dj = 0;
};

// Points of the quasi-regular Gaussian row at lat: fewer towards the poles.
int row_length(int n, double lat)
{
    int m = 4 * static_cast<int>(std::ceil(n * std::cos(lat * pi / 180)));
    return std::min(4 * n, std::max(16, m));
}

Geometry geometry_of(const Options &o)
{
    Geometry g;
    std::vector<double> lats(static_cast<std::size_t>(o.nj));
    double lon_step = 0;
    gint north = 90000, south, east;
    if (o.gauss > 0) {
        gp_gaussian_latitudes(o.gauss, lats);
        north = static_cast<gint>(std::lround(lats[0] * 1000));
        south = -north;
        lon_step = 90.0 / o.gauss;
        east = static_cast<gint>(std::lround((360 - lon_step) * 1000));
        g.di = 65535, g.dj = o.gauss;
    } else {
        g.di = 360000 / o.ni, g.dj = 180000 / (o.nj - 1);
        for (int r = 0; r < o.nj; r++)
            lats[static_cast<std::size_t>(r)] = 90.0 - r * g.dj / 1000.0;
        south = 90000 - g.dj * (o.nj - 1);
        east = g.di * (o.ni - 1);
    }
    auto lon_of = [&](int c) { return o.gauss > 0 ? c * lon_step : c * g.di / 1000.0; };
    bool up = (o.scan & 64) != 0, west = (o.scan & 128) != 0;
    g.la1 = up ? south : north, g.la2 = up ? north : south;
    g.lo1 = west ? east : 0, g.lo2 = west ? 0 : east;
    auto add = [&](int j, int i) {
        int r = up ? o.nj - 1 - j : j, c = west ? o.ni - 1 - i : i;
        g.points.emplace_back(lats[static_cast<std::size_t>(r)], lon_of(c));
    };
    for (int a = 0; a < ((o.scan & 32) ? o.ni : o.nj); a++) {
        if (o.reduced) {
            int m = row_length(o.gauss, lats[static_cast<std::size_t>(a)]);
            g.row_points.push_back(m);
            for (int i = 0; i < m; i++)
                g.points.emplace_back(lats[static_cast<std::size_t>(a)], 360.0 * i / m);
            continue;
        }
        for (int b = 0; b < ((o.scan & 32) ? o.nj : o.ni); b++)
            (o.scan & 32) ? add(b, a) : add(a, b);
    }
    return g;
}

struct Coder {
    explicit Coder(const Options &options) : o(options) {}

    const Options &o;
    const Geometry grid = geometry_of(o);
    std::vector<gint> kgrib = std::vector<gint>(kleng);
    std::vector<float> values;
    gint ksec0[GRIB_NKSEC0]{}, ksec1[GP_NKSEC1]{}, ksec2[GRIB_NKSEC2]{}, ksec3[GRIB_NKSEC3]{},
        ksec4[GRIB_NKSEC4]{};
    float psec2[GRIB_NPSEC2]{}, psec3[GRIB_NPSEC3]{};

    // Every missing_every-th value becomes the marker of a missing point,
    // left out of section 4 by the bit map in section 3.
    void mark_missing()
    {
        constexpr float marker = -1.0e30f;
        gp_el(ksec1, GRIB_K1_FLAG) = 192;
        gp_el(ksec3, GRIB_K3_TABLE) = 0;
        gp_el(psec3, GRIB_P3_MISSING) = marker;
        for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(o.missing_every))
            values[i] = marker;
    }

    // The message for one field: its bytes, padding included.
    std::vector<unsigned char> code(int param, int level, Year year, int month, int day, int hour,
                                    int step)
    {
        const Geometry &g = grid;
        std::memset(ksec1, 0, sizeof ksec1);
        std::memset(ksec2, 0, sizeof ksec2);
        std::memset(ksec4, 0, sizeof ksec4);
        const std::pair<int, gint> k1[] = {
            {GRIB_K1_TABLE, o.table}, {GRIB_K1_CENTRE, o.centre}, {GRIB_K1_PROCESS, 1},
            {GRIB_K1_GRID, 255}, {GRIB_K1_FLAG, 128}, {GRIB_K1_PARAM, param},
            {GRIB_K1_LEVEL_TYPE, level > 0 ? 100 : 1}, {GRIB_K1_LEVEL, level},
            {GRIB_K1_YEAR, year.of_century}, {GRIB_K1_MONTH, month}, {GRIB_K1_DAY, day},
            {GRIB_K1_HOUR, hour}, {GRIB_K1_TIME_UNIT, 1}, {GRIB_K1_CENTURY, year.century},
            {GRIB_K1_P1, o.step}, {GRIB_K1_TIME_RANGE, o.step > 255 ? 10 : 0}};
        const std::pair<int, gint> k2[] = {
            {GRIB_K2_TYPE, o.gauss > 0 ? 4 : 0}, {GRIB_K2_NI, o.ni}, {GRIB_K2_NJ, o.nj},
            {GRIB_K2_LA1, g.la1}, {GRIB_K2_LO1, g.lo1},
            {GRIB_K2_INCREMENTS, o.gauss > 0 ? 0 : 128}, {GRIB_K2_LA2, g.la2},
            {GRIB_K2_LO2, g.lo2}, {GRIB_K2_DI, g.di}, {GRIB_K2_DJ, g.dj},
            {GRIB_K2_SCAN, o.scan}, {GRIB_K2_QUASI, o.reduced ? 1 : 0}};
        for (auto [element, value] : k1)
            gp_el(ksec1, element) = value;
        for (auto [element, value] : k2)
            gp_el(ksec2, element) = value;
        for (std::size_t r = 0; r < g.row_points.size(); r++)
            gp_el(ksec2, GRIB_K2_ROWS + static_cast<int>(r)) = g.row_points[r];
        gint count = static_cast<gint>(g.points.size());
        gp_el(ksec4, GRIB_K4_COUNT) = count;
        gp_el(ksec4, GRIB_K4_BITS) = o.bits;
        values.resize(g.points.size());
        for (std::size_t k = 0; k < g.points.size(); k++)
            values[k] = static_cast<float>(
                value_at(param, level, step, g.points[k].first, g.points[k].second));
        if (o.missing_every > 0)
            mark_missing();
        // room for the values packed, the row list and the rest of the message
        std::size_t words = (static_cast<std::size_t>(count) * static_cast<std::size_t>(o.bits) + 7) / 32 +
                            g.row_points.size() / 2 + 1000;
        if (words > kgrib.size())
            kgrib.resize(words);
        gint klenp = count, kl = static_cast<gint>(kgrib.size()), kword = 0, kret = 1;
        // The checks before coding refuse the year 100 of a century (2000
        // is year 100 of the twentieth); only that year is coded without them.
        gint check = year.of_century == 100 ? 0 : 1;
        grsvck(&check);
        fldcod(ksec0, ksec1, ksec2, psec2, ksec3, psec3, ksec4, values.data(), &klenp, kgrib.data(),
               &kl, &kword, "C", &kret, 1L);
        check = 1;
        grsvck(&check);
        if (kret > 0) {
            std::fprintf(stderr, "mkarchive: coding failed with code %d\n", kret);
            ::unlink(o.path);  // no half-made archive left behind
            std::exit(1);
        }
        std::vector<unsigned char> bytes(static_cast<std::size_t>(kword) * 4);
        std::memcpy(bytes.data(), kgrib.data(), bytes.size());   // octets as coded
        return bytes;
    }
};

struct Sink {
    int fd;
    const Options &o;
    long bytes = 0;

    void put(const void *p, std::size_t n)
    {
        if (write_all(fd, p, n) != 0) {
            std::perror("mkarchive: write");
            ::unlink(o.path);
            std::exit(1);
        }
        bytes += static_cast<long>(n);
    }
    void word(std::uint32_t v)
    {
        unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        put(b, 4);
    }
    void message(const std::vector<unsigned char> &m)
    {
        if (!o.tape) {
            put(m.data(), m.size());
            return;
        }
        for (std::size_t at = 0; at < m.size(); at += static_cast<std::size_t>(o.record)) {
            std::size_t n = std::min(m.size() - at, static_cast<std::size_t>(o.record));
            word(static_cast<std::uint32_t>(n));
            put(m.data() + at, n);
            if (n & 1)
                put("", 1);
            word(static_cast<std::uint32_t>(n));
        }
    }
    void finish()
    {
        if (o.tape) {
            word(0);
            word(0xFFFFFFFFu);
        }
    }
};

}  // namespace

int main(int argc, char **argv)
{
    Options o = parse(argc, argv);
    int fd = ::open(o.path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(o.path);
        return 1;
    }
    Coder coder{o};
    Sink sink{fd, o};
    long messages = 0;
    bool norva = o.centre == GRIB_NORVA_CENTRE;
    const std::vector<int> upper_air = norva ? codes_of(GP_PLACE_MENU, 1, GP_MENU_ENTRIES) : o.codes;
    const std::vector<int> surface =
        norva ? codes_of(GP_PLACE_SURFACE_LIST, 0, GP_SURFACE_LIST_ROWS) : std::vector<int>{};
    int month = o.month, day = o.day, step = 0;
    Year year = coded_year(o.year);
    for (int d = 0; d < o.days; d++) {
        for (int hour : o.hours) {
            for (int level : levels) {
                if (!wanted(o.only_levels, level))
                    continue;
                for (int param : upper_air)
                    if (wanted(o.codes, param)) {
                        sink.message(coder.code(param, level, year, month, day, hour, step));
                        messages++;
                    }
            }
            if (wanted(o.only_levels, 0))
                for (int param : surface)
                    if (wanted(o.codes, param)) {
                        sink.message(coder.code(param, 0, year, month, day, hour, step));
                        messages++;
                    }
            step++;
        }
        if (++day > month_length(month, year.of_century)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                year = next_year(year);
            }
        }
    }
    sink.finish();
    ::close(fd);
    std::printf("mkarchive: %ld messages, %ld bytes written to %s\n", messages, sink.bytes, o.path);
    return 0;
}
