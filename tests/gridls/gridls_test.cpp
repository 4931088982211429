// Whole-program runs of gridls: the sample archive, a tape image, a
// damaged copy, messages coded here with a quasi-regular grid and a bit
// map, and the command line.
#include "archive_bytes.h"
#include "grib.h"
#include "process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using gptest::built;
using gptest::run;

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    for (std::size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        out.push_back(text.substr(at, nl - at));
    return out;
}

TEST(Gridls, SampleArchiveFirstAndLastLines)
{
    auto r = run(built("gridls"), {SAMPLE_ARCHIVE});
    auto l = lines(r.out);
    ASSERT_EQ(l.size(), 368u) << r.err;
    EXPECT_EQ(l.front(), "1:o=0:l=1110:d=1979010100:129:geopot:1000 mb:latlon 36x19:bits=12");
    EXPECT_EQ(l[177], "178:o=212400:l=1110:d=1979010112:151:msl_pressure:sfc:latlon 36x19:bits=12");
    EXPECT_EQ(l.back(), "368:o=440400:l=1110:d=1979010212:134:surface_pressure:sfc:latlon 36x19:bits=12");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(Gridls, TapeImageRecordsAndAnArchiveThatIsNot)
{
    gptest::TempDir dir;
    ASSERT_EQ(run(built("mkarchive"), {"-t", "-r", "1000", "-g", "36x19", "-p", "130,157", "-l",
                                       "500", "-T", "0,12", dir.file("a.tap")}).status, 0);
    auto r = run(built("gridls"), {"a.tap", "none.tap"}, "", dir.path());
    EXPECT_EQ(r.out, "a.tap:\n"
                     "1:r=1:l=1452:d=1979010100:130:temp:500 mb:latlon 36x19:bits=16\n"
                     "2:r=3:l=1452:d=1979010100:157:humid:500 mb:latlon 36x19:bits=16\n"
                     "3:r=5:l=1452:d=1979010112:130:temp:500 mb:latlon 36x19:bits=16\n"
                     "4:r=7:l=1452:d=1979010112:157:humid:500 mb:latlon 36x19:bits=16\n"
                     "\nnone.tap:\n");
    EXPECT_EQ(r.err, "mtopen: none.tap: No such file or directory\n");
    EXPECT_EQ(r.status, 1);
}

// Three days at 0 and 12 h of temperature and winds at 500 mb (messages of
// 1452 octets every 1560), with an analysis time taken out, a u wind cut in
// half, a line of text and a message too long for the buffer.
TEST(Gridls, DamagedCopySummary)
{
    gptest::TempDir dir;
    ASSERT_EQ(run(built("mkarchive"), {"-g", "36x19", "-p", "130,131,132", "-l", "500", "-T",
                                       "0,12", "-d", "3", dir.file("a.grb")}).status, 0);
    std::string b = gptest::read_file(dir.file("a.grb"));
    ASSERT_EQ(b.size(), 18u * 1560);
    b.insert(15 * 1560, gptest::fake_message(40000));
    b.erase(9 * 1560, 3 * 1560);
    b.insert(6 * 1560, "tape 2 of 7\n");
    b.erase(1560 + 726, 726);
    gptest::write_file(dir.file("d.grb"), b);
    auto r = run(built("gridls"), {"-s", "d.grb"}, "", dir.path());
    EXPECT_EQ(r.out,
              "d.grb: 14 messages, 20328 octets, 2 damaged, 40846 octets passed over\n"
              "dates: 1979010100 to 1979010312\n"
              "analysis times: 5, every 12 hours, 1 gap\n"
              "gap: 1979010200 to 1979010300 (24 hours)\n"
              "parameter  500 mb\n"
              "130 temp        5\n"
              "132 wind        5\n"
              "131 wind        4\n"
              "orphan wind component: 2:o=2394:l=1452:d=1979010100:132:wind:500 mb:latlon "
              "36x19:bits=16\n"
              "over the buffer size (32000 octets): o=18006:l=40000\n");
    EXPECT_EQ(r.err, "gridls: GRIB message at offset 1560 is damaged (no 7777 at its end); passed "
                     "over\n"
                     "gridls: 12 bytes that are not GRIB passed over at offset 8634\n"
                     "gridls: GRIB message of 40000 bytes at offset 18006 does not fit the buffer "
                     "of 32000 bytes; passed over\n");
    EXPECT_EQ(r.status, 0);
}

// One message coded by the codec: temperature at 850 mb, 2 January 1979
// 6 h, 12 bits per value (checks off: they are not what is tested).
std::string coded(gint flag, const std::vector<gint> &grid, std::vector<float> values)
{
    gint ksec0[2]{}, ksec1[GRIB_NKSEC1]{128, 98, 1, 255, flag, 130, 100, 850, 0, 79, 1, 2, 6, 0, 1};
    ksec1[20] = 20;
    std::vector<gint> ksec2(GRIB_NKSEC2), ksec4(GRIB_NKSEC4), kgrib(8000);
    std::copy(grid.begin(), grid.end(), ksec2.begin());
    gint ksec3[2]{0, 0};
    float psec2[GRIB_NPSEC2]{}, psec3[2]{0, 9999.0f};
    ksec4[0] = static_cast<gint>(values.size());
    ksec4[1] = 12;
    gint klenp = ksec4[0], kleng = 8000, kword = 0, kret = 1, off = 0;
    grsvck(&off);
    fldcod(ksec0, ksec1, ksec2.data(), psec2, ksec3, psec3, ksec4.data(), values.data(), &klenp,
           kgrib.data(), &kleng, &kword, "C", &kret, 1L);
    EXPECT_EQ(kret, 0);
    return std::string(reinterpret_cast<const char *>(kgrib.data()), 4 * std::size_t(kword));
}

TEST(Gridls, ReducedGaussianAndBitMappedMessages)
{
    // N2: four rows of 8, 16, 16 and 8 points; a 6 x 3 grid with 3 missing.
    std::vector<gint> reduced(26);
    reduced = {4, 0, 4, 60000, 0, 0, -60000, 337500, 0, 2, 0, 0, 0, 0, 0, 0, 1,
               0, 0, 0, 0, 0, 8, 16, 16, 8};
    std::vector<float> field(48, 280.0f), mapped(18, 1.0f);
    mapped[2] = mapped[7] = mapped[16] = 9999.0f;
    gptest::TempDir dir;
    gptest::write_file(dir.file("q.grb"),
                       coded(128, reduced, field) +
                           coded(192, {0, 6, 3, 90000, 0, 128, -90000, 300000, 60000, 90000},
                                 mapped));
    auto r = run(built("gridls"), {"q.grb"}, "", dir.path());
    EXPECT_EQ(r.out, "1:o=0:l=164:d=1979010206:130:temp:850 mb:reduced gauss N2:bits=12\n"
                     "2:o=240:l=116:d=1979010206:130:temp:850 mb:latlon 6x3:bits=12:bitmap\n");
    EXPECT_EQ(r.err, "");
    auto v = lines(run(built("gridls"), {"-V", "2", "q.grb"}, "", dir.path()).out);
    ASSERT_GT(v.size(), 70u);
    EXPECT_EQ(v[0], "2:o=240:l=116:d=1979010206:130:temp:850 mb:latlon 6x3:bits=12:bitmap");
    EXPECT_EQ(v[2], " Section 0 - Indicator Section.");
    EXPECT_NE(std::find(v.begin(), v.end(), " Section 3 - Bit-map Section."), v.end());
    EXPECT_EQ(v.back(), "              1.000000000000000");
}

TEST(Gridls, CommandLine)
{
    const std::string usage = "usage: gridls [-s] [-V N] ARCHIVE...\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"-x", "a"}, 2, "gridls: unknown switch -x\n"},
        {{"-V", "0", "a"}, 2, "gridls: -V wants a message number from 1, not 0\n"},
        {{"-V"}, 2, "gridls: a message number must follow -V\n"},
        {{"-s", "-V", "3", "a"}, 2, "gridls: -s and -V cannot be used together\n"},
        {{"-s"}, 2, "gridls: no archive named\n"},
        {{"-V", "369", SAMPLE_ARCHIVE}, 1, "gridls: " SAMPLE_ARCHIVE " has no message 369\n"},
        {{"/"}, 1, "gridls: cannot read /: Is a directory\n"},
    };
    for (const Case &c : cases) {
        auto r = run(built("gridls"), c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << c.args[0];
        EXPECT_EQ(r.err.find(usage) != std::string::npos, c.status == 2) << c.args[0];
    }
}

}  // namespace
