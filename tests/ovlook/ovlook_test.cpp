// ovlook pictures read back pixel by pixel, its picture names and its
// refusals.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ov_sets.h"
#include "process.h"

namespace {

// ovlook in dir; under LeakSanitizer without fontconfig's caches.
gptest::Result ovlook(const std::vector<std::string> &args, const gptest::TempDir &dir)
{
    return gptest::run(gptest::built("ovlook"), args, "", dir.path(), {OVLOOK_LSAN});
}

struct rgb {
    int r, g, b;
};

struct picture {
    int width = 0, height = 0;
    std::vector<rgb> pixels;
    rgb at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

picture read_png(const std::string &path)
{
    picture p;
    cairo_surface_t *s = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << path;
    p.width = cairo_image_surface_get_width(s);
    p.height = cairo_image_surface_get_height(s);
    const unsigned char *data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            uint32_t v = *reinterpret_cast<const uint32_t *>(data + y * stride + 4 * x);
            p.pixels.push_back({int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)});
        }
    cairo_surface_destroy(s);
    return p;
}

// A 3 x 4 grid at 10 degrees is drawn at 18 pixels a degree: cells of 180
// pixels from (50, 34), in a picture of 820 x 646.
constexpr int cell = 180, left = 50, top = 34;

void expect_cold(rgb c) { EXPECT_TRUE(c.b > c.r + 80) << c.r << "," << c.g << "," << c.b; }
void expect_warm(rgb c) { EXPECT_TRUE(c.r > c.b + 80) << c.r << "," << c.g << "," << c.b; }
void expect_grey(rgb c) { EXPECT_TRUE(c.r == 153 && c.g == 153 && c.b == 153) << c.r; }

}  // namespace

TEST(Ovlook, ScalarAndVectorPicturesReadBack)
{
    gptest::TempDir dir;
    std::vector<float> t(12, 275.0f), u(12, 1.0f), v(12, 0.0f);
    t[0] = 250, t[11] = 300, t[5] = -999;   // cold, warm, missing
    u[11] = 20, u[5] = -999;                // fastest, missing
    gptest::write_sets(dir.file("f.ov"), {{OV_CONTOUR, 130, 500, 79, 1, 1, 12, t},
                                          {OV_VECTOR, 131, 500, 79, 1, 1, 12, u, v}});
    auto r = ovlook({"-o", "p", "f.ov"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "p.1.png\np.2.png\n");
    for (const char *name : {"p.1.png", "p.2.png"}) {
        SCOPED_TRACE(name);
        picture p = read_png(dir.file(name));
        EXPECT_EQ(p.width, 820);
        EXPECT_EQ(p.height, 646);
        // Near a corner of each cell, away from the arrows along its middle.
        expect_cold(p.at(left + 5, top + 5));
        expect_warm(p.at(left + 3 * cell + 5, top + 2 * cell + 5));
        expect_grey(p.at(left + cell + cell / 2, top + cell + cell / 2));
        expect_grey(p.at(left + cell + 5, top + cell + 5));
    }
}

TEST(Ovlook, NamesAndRefusals)
{
    struct call {
        std::vector<std::string> args;
        int status;
        std::string out, err;  // err: how standard error begins
    };
    const call calls[] = {
        {{"two.ov"}, 0, "two.ov.1.png\ntwo.ov.2.png\n", ""},
        {{"-n", "2", "two.ov"}, 0, "two.ov.png\n", ""},
        {{"-n", "1", "-o", "q", "two.ov", "two.ov"}, 0, "q.1.png\nq.3.png\n", ""},
        {{"-n", "3", "two.ov"}, 1, "", "ovlook: two.ov: no data set 3 (it holds 2)\n"},
        {{"none.ov"}, 1, "", "ovlook: none.ov: No such file or directory\n"},
        {{"text"}, 1, "", "ovlook: text: not an ov file\n"},
        {{"-o", "no/such/p", "two.ov"}, 1, "", "ovlook: no/such/p.1.png: "},
        {{"-n", "0", "two.ov"}, 2, "", "ovlook: -n wants a data set number from 1, not '0'\n"},
        {{"-x", "two.ov"}, 2, "", "ovlook: unknown switch -x\nusage: ovlook [-c] [-o PREFIX]"},
        {{}, 2, "", "usage: ovlook [-c] [-o PREFIX] [-n N] FILE...\n"},
    };
    gptest::TempDir dir;
    std::vector<float> t(12, 275.0f);
    gptest::write_sets(dir.file("two.ov"), {{OV_CONTOUR, 130, 500, 79, 1, 1, 0, t},
                                            {OV_CONTOUR, 130, 850, 79, 1, 1, 0, t}});
    gptest::write_file(dir.file("text"), "not an ov file\n");
    for (const call &c : calls) {
        auto r = ovlook(c.args, dir);
        EXPECT_EQ(r.status, c.status) << c.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(c.err.empty(), r.err.empty()) << r.err;
    }
}

namespace {

// A field on a grid, all 0 but for value 100 at (hot_r, hot_c): REGULAR from
// its start and end, or IRREGULAR on lats and lons.  Or, with points, an
// ungridded scalar data set of records lat, lon, value.
struct map_case {
    const char *name;
    float start_lat, end_lat, start_lon, end_lon, inc;
    int rows, columns, hot_r, hot_c;
    std::vector<float> lats, lons, points;
    double west, east, south, north;  // the map's edges, half a cell beyond the ends
    double hot_lat, hot_lon;          // a place inside the hot cell (or the hot point)
    double cold_lat, cold_lon;        // a place in a cell of value 0
};

void write_case(const std::string &path, const map_case &m)
{
    bool irregular = !m.lats.empty(), points = !m.points.empty();
    std::vector<float> data(static_cast<size_t>(m.rows) * m.columns, 0.0f);
    if (!points)
        data[static_cast<size_t>(m.hot_r) * m.columns + m.hot_c] = 100.0f;
    std::vector<float> lats = m.lats, lons = m.lons, pts = m.points;
    int fd = ov_create(path.c_str());
    ASSERT_GE(fd, 0);
    OvHeader *h = points ? ov_create_hdr(OV_UNGRIDDED_SCALAR, m.rows, 0, pts.data(), nullptr)
                         : ov_create_hdr(OV_CONTOUR, m.rows, m.columns, data.data(), nullptr);
    h->param = 11, h->level = 500, h->year = 79, h->month = 1, h->day = 1;
    h->start_lat = m.start_lat, h->end_lat = m.end_lat, h->start_lon = m.start_lon;
    h->end_lon = m.end_lon, h->lat_increment = h->lon_increment = m.inc;
    if (irregular)
        h->grid_type = IRREGULAR, h->lats = lats.data(), h->lons = lons.data();
    EXPECT_EQ(ov_write(fd, h), 0);
    std::free(h);
    ov_close(fd);
}

// Pixel of a place on a map with these edges, laid out as ovlook lays out
// its maps: at most 720 x 540, centred in at least 500, 50 from the left
// edge (margin and latitude labels) and 34 from the top.
std::pair<int, int> pixel_of(const map_case &m, double lat, double lon)
{
    double scale = std::min(720 / (m.east - m.west), 540 / (m.north - m.south));
    int width = static_cast<int>(std::lround((m.east - m.west) * scale));
    int map_left = 50 + (std::max(width, 500) - width) / 2;
    return {int(map_left + (lon - m.west) * scale), int(34 + (m.north - lat) * scale)};
}

// The darkest grey level within 2 pixels of a place.
int darkest_near(const picture &p, std::pair<int, int> at)
{
    int dark = 255;
    for (int dy = -2; dy <= 2; dy++)
        for (int dx = -2; dx <= 2; dx++) {
            rgb c = p.at(at.first + dx, at.second + dy);
            dark = std::min(dark, std::max({c.r, c.g, c.b}));
        }
    return dark;
}

}  // namespace

// Cells at their true places whichever way the grid runs, and the coast
// of the Strait of Gibraltar (36N 5.6W) where it is, gone with -c.
TEST(Ovlook, MapsOfEveryGrid)
{
    std::vector<float> from_180w(36);  // columns of a grid every 10 degrees from 180W
    for (int c = 0; c < 36; c++)
        from_180w[c] = 10.0f * c - 180;
    const map_case cases[] = {
        {"global", 90, -90, 0, 360, 2.5f, 73, 144, 24, 24, {}, {}, {},
         -1.25, 358.75, -91.25, 91.25, 30, 60, -30, 200},
        {"regional across 0, rows northwards", 30, 50, -20, 21, 1, 21, 41, 15, 30, {}, {}, {},
         -20.5, 20.5, 29.5, 50.5, 45, 10, 45, -10},
        {"regional past 360", 30, 50, 340, 381, 1, 21, 41, 15, 30, {}, {}, {},
         339.5, 380.5, 29.5, 50.5, 45, 370, 45, 350},
        {"both axes reversed", 20, 60, 30, -32, 2, 21, 31, 10, 20, {}, {}, {},
         -31, 31, 19, 61, 40, -10, 40, 10},
        {"gaussian-like", 80, -70, -180, 180, 10, 9, 36, 3, 1,
         {80, 60, 45, 35, 28, 20, 0, -30, -70}, from_180w, {},
         -185, 175, -90, 90, 39.5, -170, 40.5, -170},
        {"ungridded points", 0, 0, 0, 0, 0, 3, 0, 0, 0, {}, {},
         {30, -10, 0, 50, 20, 0, 40, 10, 100}, -12, 22, 28, 52, 40, 10, 30, -10},
    };
    gptest::TempDir dir;
    for (const map_case &m : cases) {
        SCOPED_TRACE(m.name);
        write_case(dir.file("f.ov"), m);
        for (bool coast : {true, false}) {
            std::vector<std::string> args = {"-n", "1", "-o", "p", "f.ov"};
            if (!coast)
                args.insert(args.begin(), "-c");
            auto r = ovlook(args, dir);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err, "");
            picture p = read_png(dir.file("p.png"));
            int gibraltar = darkest_near(p, pixel_of(m, 36, m.west < -5.6 ? -5.6 : 354.4));
            EXPECT_EQ(gibraltar < 90, coast) << "darkest near Gibraltar " << gibraltar;
            if (coast)
                continue;
            auto [hx, hy] = pixel_of(m, m.hot_lat, m.hot_lon);
            auto [cx, cy] = pixel_of(m, m.cold_lat, m.cold_lon);
            expect_warm(p.at(hx, hy));
            expect_cold(p.at(cx, cy));
        }
    }
}

// Without the shoreline files every picture is drawn, and the missing
// coastlines are told once.
TEST(Ovlook, WithoutCoastlines)
{
    gptest::TempDir dir;
    std::vector<float> t(12, 275.0f);
    gptest::write_sets(dir.file("two.ov"), {{OV_CONTOUR, 130, 500, 79, 1, 1, 0, t},
                                            {OV_CONTOUR, 130, 850, 79, 1, 1, 0, t}});
    auto r = gptest::run(gptest::built("ovlook"), {"two.ov"}, "", dir.path(),
                         {OVLOOK_LSAN, "GRIDPICK_GSHHG_DIR=" + dir.file("none")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "two.ov.1.png\ntwo.ov.2.png\n");
    EXPECT_EQ(r.err, "ovlook: no coastlines: " + dir.file("none") +
                         "/binned_GSHHS_l.nc cannot be read\n");
}
