// Whole-program runs of gridls: the sample archive, a tape image, a
// damaged copy, messages coded here with a quasi-regular grid and a bit
// map, the command line; and the framing with heads, in process.
#include "archive_bytes.h"
#include "archive.h"
#include <gridpick/grib.h>
#include "process.h"
#include "tpio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
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
// half, a line of text and a message longer than the first buffer.
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
    // The long message is read whole (its filler makes an odd date and level).
    EXPECT_EQ(r.out.substr(0, r.out.find("dates")),
              "d.grb: 15 messages, 60328 octets, 1 damaged, 846 octets passed over\n");
    EXPECT_NE(r.out.find("orphan wind component: 2:o=2394:l=1452:d=1979010100:132:wind:500 mb:"
                         "latlon 36x19:bits=16\n"),
              std::string::npos);
    EXPECT_EQ(r.out.find("buffer"), std::string::npos);
    EXPECT_EQ(r.err, "gridls: GRIB message at offset 1560 is damaged (no 7777 at its end); passed "
                     "over\n"
                     "gridls: 12 bytes that are not GRIB passed over at offset 8634\n");
    EXPECT_EQ(r.status, 0);
}

// One message coded by the codec: temperature at 850 mb, 2 January 1979
// 6 h, 12 bits per value (checks off: they are not what is tested).
std::string coded(gint flag, const std::vector<gint> &grid, std::vector<float> values)
{
    gint ksec0[2]{}, ksec1[GRIB_NKSEC1]{128, 98, 1, 255, flag, 130, 100, 850, 0, 79, 1, 2, 6, 0, 1};
    ksec1[20] = 20;
    std::vector<gint> ksec2(grid), ksec3{0, 0}, ksec4{static_cast<gint>(values.size()), 12}, kgrib(8000);
    ksec2.resize(GRIB_NKSEC2);
    ksec4.resize(GRIB_NKSEC4);
    float psec2[GRIB_NPSEC2]{}, psec3[2]{0, 9999.0f};
    gint klenp = ksec4[0], kleng = 8000, kword = 0, kret = 1, off = 0;
    grsvck(&off);
    fldcod(ksec0, ksec1, ksec2.data(), psec2, ksec3.data(), psec3, ksec4.data(), values.data(), &klenp,
           kgrib.data(), &kleng, &kword, "C", &kret, 1L);
    EXPECT_EQ(kret, 0);
    return std::string(reinterpret_cast<const char *>(kgrib.data()), 4 * std::size_t(kword));
}

TEST(Gridls, ReducedGaussianAndBitMappedMessages)
{
    // N2: four rows of 8, 16, 16 and 8 points; a 6 x 3 grid with 3 missing.
    const std::vector<gint> reduced = {4, 0, 4, 60000, 0, 0, -60000, 337500, 0, 2, 0, 0, 0,
                                       0, 0, 0, 1, 0, 0, 0, 0, 0, 8, 16, 16, 8};
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

// A message of another centre (7) built octet by octet: a polar
// stereographic grid of 65 x 65 points, 8 bits per value, no bit map, a
// level of type and value given, 15 June 1995 12 h.
std::string polar_message(int param, int level_type, int level)
{
    auto u = [](long v, int n) {
        std::string s;
        for (int i = n - 1; i >= 0; i--)
            s += static_cast<char>(v >> (8 * i) & 0xff);
        return s;
    };
    std::string s1 = u(28, 3) + u(2, 1) + u(7, 1) + u(80, 1) + u(255, 1) + u(128, 1) +
                     u(param, 1) + u(level_type, 1) + u(level, 2) + u(95, 1) + u(6, 1) +
                     u(15, 1) + u(12, 1) + u(0, 1) + u(1, 1) + u(0, 3) + u(0, 3) + u(20, 1) +
                     u(0, 3);
    std::string s2 = u(32, 3) + u(0, 1) + u(255, 1) + u(5, 1) + u(65, 2) + u(65, 2) +
                     u(1000, 3) + u(0x800000 | 145000, 3) + u(8, 1) + u(0x800000 | 105000, 3) +
                     u(190500, 3) + u(190500, 3) + u(0, 1) + u(64, 1) + u(0, 4);
    std::string s4 = u(11 + 65 * 65, 3) + u(0, 1) + u(0, 2) + u(0x42110000, 4) + u(8, 1) +
                     std::string(65 * 65, '\x40');
    std::string body = s1 + s2 + s4 + "7777";
    return "GRIB" + u(8 + static_cast<long>(body.size()), 3) + u(1, 1) + body;
}

TEST(Gridls, MessagesOfAnotherCentre)
{
    gptest::TempDir dir;
    gptest::write_file(dir.file("p.grb"), polar_message(11, 100, 500) + std::string(92, '\0') +
                                              polar_message(2, 102, 0) +
                                              polar_message(11, 105, 2));
    auto r = run(built("gridls"), {"p.grb"}, "", dir.path());
    EXPECT_EQ(r.out, "1:o=0:l=4308:d=1995061512:11:tmp:500 mb:polar 65x65:bits=8:centre=7\n"
                     "2:o=4400:l=4308:d=1995061512:2:prmsl:msl:polar 65x65:bits=8:centre=7\n"
                     "3:o=8708:l=4308:d=1995061512:11:tmp:lt105=2:polar 65x65:bits=8:centre=7\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

TEST(Gridls, CommandLine)
{
    const std::string usage = "usage: gridls [-s] [-V N] ARCHIVE...\n"
                              "  -s    a summary of each archive instead of one line per message\n"
                              "  -V N  the codec's listing of the sections of message N of each "
                              "archive\n";
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"-x", "a"}, 2, "gridls: unknown switch -x\n"},
        {{"-V", "0", "a"}, 2, "gridls: -V wants a message number from 1, not 0\n"},
        {{"-V"}, 2, "gridls: a message number must follow -V\n"},
        {{"-s", "-V", "3", "a"}, 2, "gridls: -s and -V cannot be used together\n"},
        {{"-s"}, 2, "gridls: no archive named\n"},
        {{"-V", "369", SAMPLE_ARCHIVE}, 1, "gridls: " SAMPLE_ARCHIVE " has no message 369\n"},
    };
    for (const auto &[args, status, err] : cases) {
        auto r = run(built("gridls"), args);
        EXPECT_EQ(r.status, status) << err;
        EXPECT_EQ(r.err, status == 2 ? err + usage : err);
    }
}

// What the framing of path hands out, counts and reports; *handed gets the
// bytes of each message (the buffer must be zero past them).
std::string frame(const std::string &path, int heads, std::vector<int> *handed)
{
    char *said = nullptr;
    std::size_t said_len = 0;
    gp_archive_options options;
    options.report = open_memstream(&said, &said_len);
    options.heads = heads;   // from the first read on, as gridls does
    options.buffer_words = 8000;
    gp_archive_ptr archive(gp_archive_open(path.c_str(), &options, nullptr, 0));
    EXPECT_NE(archive, nullptr);
    gp_archive_message where{};
    std::string out;
    for (int n; archive && (n = gp_archive_next(archive.get(), &where)) > 0;) {
        const char *bytes = reinterpret_cast<const char *>(where.words.data());
        out += std::to_string(where.position) + " " + std::to_string(where.length) + "\n";
        handed->push_back(n);
        EXPECT_EQ(std::string(bytes + n, 32000 - std::size_t(n)), std::string(32000 - n, '\0'));
    }
    gp_archive_totals t = archive ? gp_archive_counts(archive.get()) : gp_archive_totals{};
    out += std::to_string(t.whole) + " whole, " + std::to_string(t.damaged) + " damaged, " +
           std::to_string(t.passed_over) + " passed over\n";
    std::fclose(options.report);
    out += said;
    std::free(said);
    return out;
}

// With heads, as gridls reads disk files, the framing hands out the same
// messages, reports and counts as without, each message as its first 79
// octets (sections 0 to 2 of a 144 x 73 grid, 11 octets of section 4).
TEST(Heads, SameMessagesReportsAndCountsAsWholeMessages)
{
    gptest::TempDir dir;
    ASSERT_EQ(gptest::run(gptest::built("mkarchive"), {"-p", "130,157", "-l", "500", "-T", "0,12",
                                                       dir.file("a.grb")}).status, 0);
    const std::string clean = gptest::read_file(dir.file("a.grb"));
    constexpr std::size_t stride = 21120, length = 21108;
    ASSERT_EQ(clean.size(), 4 * stride);
    struct Mutant {
        const char *what;
        std::size_t kept;   // messages left whole
        std::function<void(std::string &)> mutate;
    };
    const std::vector<Mutant> mutants = {
        {"clean", 4, [](std::string &) {}},
        {"end marker", 3, [](std::string &b) { b[stride + length - 2] ^= 1; }},
        {"cut in half", 3, [](std::string &b) { b.erase(2 * stride + length / 2, length / 2); }},
        {"section 4 length", 3, [](std::string &b) { b[70] ^= 1; }},
        {"a line of text", 4, [](std::string &b) { b.insert(3 * stride, "tape 2 of 7\n"); }},
        {"too long", 4, [](std::string &b) { b.insert(stride, gptest::fake_message(40000)); }},
        {"last octet cut", 3, [](std::string &b) { b.resize(3 * stride + length - 1); }},
    };
    for (const auto &[what, kept, mutate] : mutants) {
        std::string bytes = clean;
        mutate(bytes);
        gptest::write_file(dir.file("m.grb"), bytes);
        std::vector<int> whole, heads;
        EXPECT_EQ(frame(dir.file("m.grb"), 1, &heads), frame(dir.file("m.grb"), 0, &whole)) << what;
        EXPECT_EQ(whole, std::vector<int>(kept, int(length))) << what;
        EXPECT_EQ(heads, std::vector<int>(kept, 79)) << what;
    }
}

}  // namespace
