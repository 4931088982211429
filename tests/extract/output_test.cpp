// gridpick on bit maps, codes without an extension name, a full disk,
// signals and -o -f on the archive; progress on a terminal.
#include "extract.h"
#include "process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <bit>
#include <csignal>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
const std::string t850 = "NRV.79JAN1.00z.850mb.temp", day = " -x -a -i 1/1/79 1/1/79 a.grb";
const std::size_t one_set = 136 + 1 + 19 * 36 * 4;   // header, "K", the values

struct Output : testing::Test {
    gptest::TempDir dir;
    std::string make(std::vector<std::string> more = {"-l", "850,500"})   // temperature, 1/1/79 0z
    {
        more.insert(more.end(), {"-g", "36x19", "-p", "130", "-T", "0", "a.grb"});
        gptest::run(gptest::built("mkarchive"), more, "", dir.path());
        return gptest::read_file(dir.file("a.grb"));
    }
    // gridpick after the shell commands before; writes to files past limit
    // bytes fail with EFBIG (SIGXFSZ ignored).
    gptest::Result gridpick(const std::string &args, long limit = 1L << 40, std::string before = "")
    {
        return gptest::run("/bin/sh", {"-c", "trap '' XFSZ; " + before + "exec prlimit --fsize=" +
                           std::to_string(limit) + " '" + gptest::built("gridpick") + "' " + args},
                           "", dir.path(), {"DISPLAY"});
    }
    long entries() { return std::distance(fs::directory_iterator(dir.path()), {}); }
};

float be(const std::string &s, std::size_t at)   // a big-endian real of an ov file
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; i++)
        v = v << 8 | std::uint8_t(s.at(at + i));
    return std::bit_cast<float>(v);
}

// Every 5th point is missing under a bit map.  The bit map of message 2 calls
// for two values more than its section 4 holds, which the codec refuses, so
// nothing of the field before takes their place; messages 3 and 4 get codes
// 141 and 200, which have no extension name.
TEST_F(Output, BitMapsAndCodesWithoutExtensionName)
{
    std::string b = make({"-l", "1000,850,500,300", "-m", "5"});
    std::size_t m2 = b.find("GRIB", 4), m3 = b.find("GRIB", m2 + 4), m4 = b.find("GRIB", m3 + 4);
    std::size_t map = m2 + 8 + 28 + 32 + 6;   // after sections 0 to 2 and 6 octets of section 3
    ASSERT_EQ(b[map], '\x7b');                // points 0 and 5 missing
    b[map] = '\xff', b[m3 + 16] = char(141), b[m4 + 16] = char(200);
    gptest::write_file(dir.file("a.grb"), b);
    auto r = gridpick(day);
    EXPECT_EQ(r.err, "Searching tape...\ngridpick: GRIB message at offset " + std::to_string(m2) +
                         " cannot be decoded (code 726); passed over\n");
    EXPECT_TRUE(r.out.ends_with("\n3 data set(s) written.\n")) << r.out;
    EXPECT_EQ(entries(), 4);
    for (auto [name, bad, units] : {std::tuple{"NRV.79JAN1.00z.1000mb.temp", -999.0f, 1u},
                                    {"NRV.79JAN1.00z.500mb.p141", -9999.0f, 1u},
                                    {"NRV.79JAN1.00z.300mb.p200", -9999.0f, 0u}}) {
        std::string s = gptest::read_file(dir.file(name));
        ASSERT_EQ(s.size(), 6 + one_set - 1 + units) << name;
        EXPECT_EQ(be(s, 6 + 52), bad);
        for (std::size_t i = 0; i < 19 * 36; i++)
            ASSERT_EQ(be(s, 6 + 136 + units + 4 * i) == bad, i % 5 == 0) << name << " " << i;
    }
}

// What is left beside the archive (and l.grb, a link to it).
TEST_F(Output, NothingHalfWrittenAndNeverOverTheArchive)
{
    std::string b = make(), lost = "gridpick: writing " + t850 + " failed; the data set is not "
                                   "written\n";
    fs::create_symlink("a.grb", dir.file("l.grb"));
    auto refused = [](std::string name) {
        return std::tuple{1L << 40, "-o -f " + name, 2, "\n, last_day: 28856\n", "gridpick: " +
                          name + " is the archive being read; it is not written over\n"};
    };
    for (auto [limit, o, left, end, err] : {
             refused("a.grb"), refused("./a.grb"), refused("l.grb"), refused(dir.file("a.grb")),
             {0L, "", 2, "0 data set(s) written.\n", "ov_create write: File too large\n" + lost},
             {1000L, "", 2, "0 data set(s) written.\n", "ov_write data: File too large\n" + lost},
             {4000L, "-o -f one.ov", 3, "1 data set(s) written to one.ov\n",
              "gridpick: writing one.ov failed; the file is cut back to its last whole data "
              "set\n"}}) {
        auto r = gridpick(o + day, limit);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.ends_with(end)) << r.out;
        EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
        EXPECT_EQ(entries(), left);
    }
    EXPECT_EQ(fs::file_size(dir.file("one.ov")), 6 + one_set);
    EXPECT_EQ(gptest::read_file(dir.file("a.grb")), b);
}

// A file of an earlier run under the name is replaced by the whole data
// set, whether a longer, a shorter or a read-only one stands there.
TEST_F(Output, FilesOfAnEarlierRunAreReplaced)
{
    make();
    std::string fresh = (gridpick(day), gptest::read_file(dir.file(t850)));
    ASSERT_EQ(fresh.size(), 6 + one_set);
    for (auto [old, mode] : {std::pair{std::string(9000, 'x'), 0644}, {"OV90a", 0644},
                             {fresh.substr(0, 100), 0444}}) {
        gptest::write_file(dir.file(t850), old);
        fs::permissions(dir.file(t850), fs::perms(mode));
        EXPECT_EQ(gridpick(day).status, 0);
        EXPECT_EQ(gptest::read_file(dir.file(t850)), fresh) << mode;
        EXPECT_EQ(entries(), 3);   // the archive and two data sets, nothing beside them
    }
}

// The signal comes while gridpick waits for its second answer.
TEST_F(Output, SignalAtAPromptEndsTheRunWithItsReport)
{
    make();
    for (auto [sig, name] : {std::pair{SIGINT, "INT"}, {SIGTERM, "TERM"}}) {
        auto r = gridpick("-p" + day + " <&3 >o", 1L << 40,
                          "rm -f f o " + t850 + "; mkfifo f; exec 3<>f; echo y >&3; (until grep "
                          "-qs 'at 500 mb' o || ! kill -0 $$; do sleep 0.01; done; kill -" + name +
                              " $$) & ");
        EXPECT_EQ(r.status, 128 + sig);
        std::string out = gptest::read_file(dir.file("o"));
        EXPECT_TRUE(out.ends_with("? (y/n/q): 1 data set(s) written.\n")) << out;
        EXPECT_EQ(entries(), 4);   // with o, f and t850
        EXPECT_EQ(fs::file_size(dir.file(t850)), 6 + one_set);
    }
}

TEST(OutputProgress, ReachesATerminalAtOnce)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY), saved = ::dup(1);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    std::fflush(stdout);
    ::dup2(slave, 1);
    gp_field = gp_field_state{79, 1, 2, 0, 0, 130, 500};
    gp_show_progress();
    std::string got(64, '\0'), one = "01/02/79\b\b\b\b\b\b\b\b";
    pollfd p{master, POLLIN, 0};
    for (std::size_t n = 0; n < 64 && poll(&p, 1, 2000) > 0;) {
        ssize_t k = ::read(master, &got[n], 64 - n);
        n = k > 0 ? n + std::size_t(k) : 64;
    }
    std::fflush(stdout);   // what a failure left in the buffer
    ::dup2(saved, 1);
    for (int fd : {saved, slave, master})
        ::close(fd);
    EXPECT_EQ(got, one + one + one + one);
}

}  // namespace

namespace {

// A file that cannot be created for a reason other than a full disk ends
// the run at once, with nothing more said and status 255.
TEST_F(Output, FileThatCannotBeCreatedEndsTheRun)
{
    make();
    gptest::write_file(dir.file("plain"), "");
    const struct { std::string args, err; } cases[] = {
        {"-o -f none/x.ov" + day, "ov_create: No such file or directory\n"},
        {"-o -f plain/x.ov" + day, "ov_create: Not a directory\n"},
    };
    for (const auto &c : cases) {
        auto r = gridpick(c.args);
        EXPECT_EQ(r.status, 255) << c.args;
        EXPECT_EQ(r.err, "Searching tape...\n" + c.err) << c.args;
        EXPECT_EQ(r.out.find("written"), std::string::npos) << r.out;
    }
}

}  // namespace
