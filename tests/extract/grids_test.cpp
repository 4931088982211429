// Grids of every family through the whole program: messages built octet by
// octet, the header and position of every written value, and the lines of
// the fields passed over.
#include "grid.h"
#include <gridpick/ov.h>
#include "ov_sets.h"
#include "process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

std::string be(long v, int octets)
{
    std::string s;
    for (int i = octets - 1; i >= 0; i--)
        s += static_cast<char>((v >> (8 * i)) & 255);
    return s;
}

long sign_magnitude(long v) { return v < 0 ? (1L << 23) | -v : v; }

struct Grid {
    int type = 0, ni, nj, la1, lo1, la2, lo2, di, dj, scan = 0;
    std::vector<int> row_points = {};   // quasi-regular rows
    int flag4 = 0;                       // 64: a packing the codec refuses
    int extra = 0;                       // octets after 32: pole of rotation ...
};

// A GRIB edition 1 message of parameter 130 at 500 mb on 1/1/79 00z, its
// values 16-bit integers in the order given.
std::string message(const Grid &g, const std::vector<int> &values)
{
    std::string s1 = be(28, 3) + "\x01\x62\x01\xff\x80\x82\x64" + be(500, 2) +
                     std::string("\x4f\x01\x01\x00\x00\x01\x00\x00\x00", 9) + be(0, 3) +
                     "\x14" + std::string(3, '\0');
    bool quasi = !g.row_points.empty();
    std::string s2 = be(32 + g.extra + 2 * static_cast<long>(g.row_points.size()), 3) + std::string(1, '\0') +
                     std::string(1, quasi ? '\x21' : '\xff') + std::string(1, char(g.type)) +
                     be(quasi ? 65535 : g.ni, 2) + be(g.nj, 2) + be(sign_magnitude(g.la1), 3) +
                     be(sign_magnitude(g.lo1), 3) + std::string(1, g.di == 65535 ? '\0' : '\x80') +
                     be(sign_magnitude(g.la2), 3) + be(sign_magnitude(g.lo2), 3) + be(g.di, 2) +
                     be(g.dj, 2) + std::string(1, char(g.scan)) + std::string(4 + g.extra, '\0');
    for (int p : g.row_points)
        s2 += be(p, 2);
    std::string data;
    for (int v : values)
        data += be(v, 2);
    std::string s4 = be(12 + static_cast<long>(data.size()), 3) + std::string(1, char(g.flag4 | 8)) +
                     std::string(6, '\0') + "\x10" + data + '\0';
    std::string body = s1 + s2 + s4 + "7777";
    return "GRIB" + be(8 + static_cast<long>(body.size()), 3) + "\x01" + body;
}

// The value a field holds at (lat, lon): its position in one number.
int at(double lat, double lon)
{
    return static_cast<int>(std::lround(lat + 90)) * 360 +
           static_cast<int>(std::lround(std::fmod(lon + 720, 360))) % 360;
}

// A regular grid's values in the order its scanning mode gives them.
std::vector<int> scanned(const Grid &g, const std::function<double(int)> &lat_of_row)
{
    std::vector<int> v;
    int ws = g.scan & 128 ? -1 : 1, n = g.ni * g.nj;
    for (int k = 0; k < n; k++) {
        int i = g.scan & 32 ? k / g.nj : k % g.ni, j = g.scan & 32 ? k % g.nj : k / g.ni;
        double step = g.di == 65535 ? 360.0 / g.ni : g.di / 1000.0;
        v.push_back(at(lat_of_row(j), g.lo1 / 1000.0 + ws * i * step));
    }
    return v;
}

std::vector<double> gaussian(int n)
{
    std::vector<double> lats(static_cast<std::size_t>(2 * n));
    gp_gaussian_latitudes(n, lats);
    return lats;
}

// The (lat, lon) the header of s gives its value k.
std::pair<double, double> position(const gptest::data_set &s, std::size_t k)
{
    const OvHeader &h = s.hdr;
    std::size_t row = k / static_cast<std::size_t>(h.num_columns), col = k % static_cast<std::size_t>(h.num_columns);
    if (!s.lats.empty())
        return {s.lats[row], s.lons[col]};
    return {h.start_lat + static_cast<float>(row) * std::copysign(h.lat_increment, h.end_lat - h.start_lat),
            h.start_lon + static_cast<float>(col) * std::copysign(h.lon_increment, h.end_lon - h.start_lon)};
}

// The field mkarchive makes with args, by its (lat, lon) in thousandths of
// a degree as its header places it.
std::map<std::pair<long, long>, float> field_by_position(std::vector<std::string> args)
{
    gptest::TempDir dir;
    args.insert(args.begin(), {"-p", "130", "-l", "500", "-T", "0"});
    args.push_back("a.grb");
    gptest::run(gptest::built("mkarchive"), args, "", dir.path());
    gptest::run(gptest::built("gridpick"), {"-x", "-a", "-o", "-f", "t.ov", "-i", "1/1/79", "1/1/79", "a.grb"},
                "", dir.path(), {"DISPLAY"});
    std::map<std::pair<long, long>, float> out;
    for (const auto &s : gptest::read_sets(dir.file("t.ov")))
        for (std::size_t k = 0; k < s.data.size(); k++) {
            auto [lat, lon] = position(s, k);
            out[{std::lround(lat * 1000), std::lround(std::fmod(lon + 720, 360) * 1000)}] = s.data[k];
        }
    return out;
}

struct Case {
    const char *what;
    Grid grid;
    std::string line;   // the line on standard error, or "" when written
    std::string listed = {};   // the grid in gridls's line, when passed over
};

}  // namespace

TEST(Grids, GaussianLatitudesArePublishedOnes)
{
    struct { int n; double first, middle; int row; } table[] = {
        {32, 87.86379884, 1.3953, 31}, {48, 88.57216851, 0.93262997, 47},
        {80, 89.14151943, 0.56049, 79}};
    for (auto t : table) {
        auto lats = gaussian(t.n);
        EXPECT_NEAR(lats.front(), t.first, 1e-8) << t.n;
        EXPECT_NEAR(lats.back(), -t.first, 1e-8) << t.n;
        EXPECT_NEAR(lats[static_cast<std::size_t>(t.row)], t.middle, 1e-3) << t.n;
    }
}

TEST(Grids, EveryValueLiesAtItsTruePosition)
{
    auto g32 = gaussian(32);
    int la32 = static_cast<int>(std::lround(g32.front() * 1000));
    std::vector<Case> cases;
    for (int scan : {0, 128, 64, 192, 32, 160, 96, 224}) {
        Grid g{0, 3, 2, scan & 64 ? 0 : 10000, scan & 128 ? 40000 : 0, scan & 64 ? 10000 : 0,
               scan & 128 ? 0 : 40000, 20000, 10000, scan};
        cases.push_back({"scan", g, ""});
    }
    cases.push_back({"1 degree", {0, 360, 181, 90000, 0, -90000, 359000, 1000, 1000}, ""});
    cases.push_back({"gauss N32", {4, 128, 64, la32, 0, -la32, 357188, 65535, 32}, ""});
    Grid reduced{4, 8, 4, 0, 0, 0, 315000, 65535, 2};
    auto g2 = gaussian(2);
    reduced.la1 = static_cast<int>(std::lround(g2.front() * 1000)), reduced.la2 = -reduced.la1;
    reduced.row_points = {4, 8, 8, 4};
    cases.push_back({"reduced gauss N2", reduced, ""});
    Grid quasi{0, 8, 3, 10000, 0, -10000, 315000, 65535, 10000};
    quasi.row_points = {4, 8, 4};
    cases.push_back({"quasi-regular latlon", quasi, ""});
    quasi.lo2 = 40000;
    cases.push_back({"regional quasi-regular", quasi, "holds a quasi-regular grid whose rows do not go "
                                                      "round the globe, which an ov data set cannot describe",
                     "reduced latlon 3 rows"});
    cases.push_back({"polar", {5, 3, 2, 60000, 0, 0, 0, 20000, 10000},
                     "holds a polar stereographic grid, which an ov data set cannot describe", "polar 3x2"});
    for (auto [type, name, listed] : {std::tuple{10, "rotated latitude/longitude", "rotated latlon 3x2"},
                                      {3, "Lambert conformal", "type 3"}})
        cases.push_back({name, {type, 3, 2, 10000, 0, 0, 40000, 20000, 10000, 0, {}, 0, 10},
                         "holds a " + std::string(name) + " grid, which an ov data set cannot describe", listed});
    Grid packed{0, 3, 2, 10000, 0, 0, 40000, 20000, 10000};
    packed.flag4 = 64;
    cases.push_back({"packing", packed, "holds values in second-order packing, which gridpick does "
                                        "not decode", "latlon 3x2"});
    for (const Case &c : cases) {
        gptest::TempDir dir;
        const Grid &g = c.grid;
        bool gauss = g.type == 4;
        auto lats = gaussian(gauss ? g.dj : 1);
        auto lat_of_row = [&](int j) {
            return gauss ? lats[static_cast<std::size_t>(j)] : g.la1 / 1000.0 + (g.scan & 64 ? 1 : -1) * j * g.dj / 1000.0;
        };
        std::vector<int> values;
        if (!g.row_points.empty())
            for (int j = 0; j < g.nj; j++)
                values.insert(values.end(), static_cast<std::size_t>(g.row_points[static_cast<std::size_t>(j)]),
                              at(lat_of_row(j), 0));
        else
            values = scanned(g, lat_of_row);
        std::string archive = message(g, values) + "GRIB" + be(0, 3) + "\x02" + be(20, 8) + "7777";
        gptest::write_file(dir.file("a.grb"), archive);
        auto r = gptest::run(gptest::built("gridpick"),
                             {"-x", "-a", "-o", "-f", "t.ov", "-i", "1/1/79", "1/1/79", "a.grb"}, "",
                             dir.path(), {"DISPLAY"});
        std::string edition2 = "gridpick: GRIB message at offset " + std::to_string(archive.size() - 20) +
                               " is of GRIB edition 2; passed over\n";
        if (!c.line.empty()) {
            EXPECT_EQ(r.err.substr(0, r.err.find("gridpick: no data")),
                      "Searching tape...\ngridpick: GRIB message at offset 0 " + c.line +
                          "; passed over\n" + edition2) << c.what;
            EXPECT_NE(r.out.find("0 data set(s) written"), std::string::npos) << c.what;
            std::string ls = gptest::run(gptest::built("gridls"), {"a.grb"}, "", dir.path()).out;
            EXPECT_EQ(ls.substr(0, ls.find('\n')).substr(ls.find(":500 mb:") + 8), c.listed + ":bits=16") << c.what;
            continue;
        }
        EXPECT_EQ(r.err, "Searching tape...\n" + edition2) << c.what;
        auto sets = gptest::read_sets(dir.file("t.ov"));
        ASSERT_EQ(sets.size(), 1u) << c.what;
        const OvHeader &h = sets[0].hdr;
        EXPECT_EQ(h.grid_type, gauss ? IRREGULAR : REGULAR) << c.what;
        EXPECT_EQ(h.start_lat, g.la1 / 1000.0f);
        EXPECT_EQ(h.start_lon, g.lo1 / 1000.0f);
        if (gauss) {   // ov2nc keeps the true latitudes
            char want[64];
            std::snprintf(want, sizeof want, " lat = %.7g, %.7g,", static_cast<float>(lats[0]),
                          static_cast<float>(lats[1]));
            gptest::run(gptest::built("ov2nc"), {"-o", "t.nc", "t.ov"}, "", dir.path());
            std::string dump = gptest::run(OV_NCDUMP, {"-v", "lat", dir.file("t.nc")}).out;
            EXPECT_NE(dump.find(want), std::string::npos) << c.what << want;
        }
        ASSERT_EQ(sets[0].data.size(), static_cast<std::size_t>(h.num_rows * h.num_columns)) << c.what;
        int wrong = 0;
        for (std::size_t k = 0; k < sets[0].data.size(); k++) {
            auto [lat, lon] = position(sets[0], k);
            wrong += gauss && std::fabs(lat - lats[k / static_cast<std::size_t>(h.num_columns)]) > 1e-5;
            wrong += sets[0].data[k] != static_cast<float>(g.row_points.empty() ? at(lat, lon) : at(lat, 0));
        }
        EXPECT_EQ(wrong, 0) << c.what << " scan " << g.scan;
    }
}

TEST(Grids, MkarchiveLayoutsGiveTheSameFieldAtTheSamePoints)
{
    struct { std::vector<std::string> args, reference; float tolerance; } table[] = {
        {{"-S", "224"}, {}, 0}, {{"-G", "8", "-S", "160"}, {"-G", "8"}, 0}, {{"-R", "32"}, {"-G", "32"}, 0.5f},
        {{"-R", "200"}, {"-G", "200"}, 0.5f}};   // beyond the codec's own expansion and the read window
    for (const auto &t : table) {
        auto got = field_by_position(t.args), want = field_by_position(t.reference);
        ASSERT_EQ(got.size(), want.size()) << t.args[1];
        ASSERT_FALSE(want.empty());
        int wrong = 0;
        for (const auto &[where, v] : want)
            wrong += !got.count(where) || std::fabs(got[where] - v) > t.tolerance;
        EXPECT_EQ(wrong, 0) << t.args[0] << " " << t.args[1];
    }
}
