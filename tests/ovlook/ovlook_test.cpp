// ovlook pictures read back pixel by pixel, its picture names and its
// refusals.
#include <cairo.h>

#include <cstdint>
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
// pixels from (10, 34), in a picture of 740 x 628.
constexpr int cell = 180, left = 10, top = 34;

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
        EXPECT_EQ(p.width, 740);
        EXPECT_EQ(p.height, 628);
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
        {{"-x", "two.ov"}, 2, "", "ovlook: unknown switch -x\nusage: ovlook [-o PREFIX]"},
        {{}, 2, "", "usage: ovlook [-o PREFIX] [-n N] FILE...\n"},
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
