// The unit layer on tape images and disk files, and the reader above it.
#include "archive_bytes.h"
#include "archive.h"
#include "extract.h"
#include "process.h"
#include "tpio.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace {

using gptest::fake_message;
using gptest::simh_end;
using gptest::simh_mark;
using gptest::simh_record;
using gptest::simh_records;

// Each case runs in a fresh directory so that archive names stay short.
class Unit : public testing::Test {
protected:
    gptest::TempDir dir;
    std::string old_cwd;
    int unit = 4;
    std::string name_;         // the file open on unit
    gp_archive_ptr archive;    // the framing over it, from the first next()

    void SetUp() override
    {
        char buf[4096];
        old_cwd = getcwd(buf, sizeof buf);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        gp_extract_reset();
        gp_run.last_day = kdate(12, 31, 99);
    }
    void TearDown() override
    {
        archive.reset();
        gp_extract_reset();
        EXPECT_EQ(chdir(old_cwd.c_str()), 0);
    }
    int open(const std::string &name, const std::string &bytes)
    {
        archive.reset();
        gptest::write_file(name, bytes);
        name_ = name;
        int mode = 0, len = static_cast<int>(name.size());
        return mtopen(&unit, name.c_str(), &mode, &len);
    }
    std::string read(int len = GP_RECORD_SIZE)
    {
        std::string buf(static_cast<std::size_t>(len), '\0');
        int n = mtread(&unit, buf.data(), &len);
        return n < 0 ? "<error>" : buf.substr(0, static_cast<std::size_t>(n));
    }
    int skip(int count)
    {
        return archive ? gp_archive_skip_records(archive.get(), count) : mtskip_rec(&unit, &count);
    }
    // read_next_dataset: the message bytes, or "" for no more.  The first
    // call opens the file anew as an archive.
    std::string next()
    {
        if (!archive) {
            mtclose(&unit);
            archive.reset(gp_archive_open(name_.c_str(), nullptr, nullptr, 0));
            EXPECT_NE(archive, nullptr);
        }
        int n = read_next_dataset(archive.get());
        if (n == GP_NO_MORE)
            return "";
        return std::string(reinterpret_cast<const char *>(gp_msg.igrib.data()), static_cast<std::size_t>(n));
    }
};

TEST_F(Unit, TapeImageGivesOneRecordPerRead)
{
    ASSERT_GT(open("a.tap", simh_record("abc") + simh_record("defg") + simh_mark() +
                                simh_record("h") + simh_end()),
              0);
    EXPECT_EQ(tpio_kind(unit), TPIO_SIMH);
    EXPECT_EQ(read(), "abc");
    EXPECT_EQ(read(), "defg");
    EXPECT_EQ(read(), "");   // tape mark
    EXPECT_EQ(read(), "h");  // the next file on the tape
    EXPECT_EQ(read(), "");   // end of the medium, for good
    EXPECT_EQ(read(), "");
    // A writer that does not pad odd records.
    ASSERT_GT(open("b.tap", gptest::le32(3) + "abc" + gptest::le32(3) + simh_record("d")), 0);
    EXPECT_EQ(read(), "abc");
    EXPECT_EQ(read(), "d");
}

TEST_F(Unit, TapeImageRecordLongerThanTheReadIsCut)
{
    ASSERT_GT(open("a.tap", simh_record("abcdef") + simh_record("gh") + simh_end()), 0);
    EXPECT_EQ(read(4), "abcd");
    EXPECT_EQ(read(4), "gh");
}

// A length word with its flag bits set frames a record the writer could
// not read back; the record after it is read as usual.
TEST_F(Unit, TapeImageRecordFlaggedBadIsAnErrorAndPassedOver)
{
    std::string bad = gptest::le32(0x80000003u) + "xyz" + '\0' + gptest::le32(0x80000003u);
    ASSERT_GT(open("a.tap", simh_record("a") + bad + simh_record("b") + bad + simh_record("c") +
                                simh_end()),
              0);
    EXPECT_EQ(read(), "a");
    errno = 0;
    EXPECT_EQ(read(), "<error>");
    EXPECT_EQ(errno, EIO);
    EXPECT_EQ(read(), "b");
    EXPECT_EQ(skip(2), 0);
    EXPECT_EQ(read(), "");
}

TEST_F(Unit, SkipOnATapeImageMovesOverRecords)
{
    std::string image;
    for (char c = 'a'; c <= 'z'; c++)
        image += simh_record(std::string(1, c));
    ASSERT_GT(open("a.tap", image + simh_mark() + simh_record("after") + simh_end()), 0);
    EXPECT_EQ(read(), "a");
    EXPECT_EQ(skip(3), 0);
    EXPECT_EQ(read(), "e");
    EXPECT_EQ(tpio_record(unit), 5);
    // Forward spacing stops after the tape mark and reports it.
    EXPECT_EQ(skip(41), -1);
    EXPECT_EQ(read(), "after");
}

TEST_F(Unit, DiskFileReadsBytesAndDoesNotSkip)
{
    ASSERT_GT(open("a.grb", "GRIB0123456789"), 0);
    EXPECT_EQ(tpio_kind(unit), TPIO_DISK);
    EXPECT_EQ(read(6), "GRIB01");
    errno = 0;
    EXPECT_EQ(skip(41), -1);
    EXPECT_NE(errno, 0);
    EXPECT_EQ(read(), "23456789");
    EXPECT_EQ(read(), "");
}

TEST_F(Unit, OpenRefusesLongNamesAndBadUnits)
{
    std::string name(GP_DEVICE_MAX + 1, 'n');
    int mode = 0, len = GP_DEVICE_MAX + 1;
    errno = 0;
    EXPECT_EQ(mtopen(&unit, name.c_str(), &mode, &len), -1);
    EXPECT_EQ(errno, ENAMETOOLONG);
    int bad_unit = 5;
    len = 1;
    EXPECT_EQ(mtopen(&bad_unit, "x", &mode, &len), -1);
    EXPECT_EQ(mtclose(&unit), -1);
    // Only the first name_len characters count.
    gptest::write_file("ab", "GRIB");
    len = 2;
    EXPECT_GT(mtopen(&unit, "abcdef", &mode, &len), 0);
}

TEST_F(Unit, WriteMakesARecordOfATapeImage)
{
    ASSERT_GT(open("w.tap", simh_end()), 0);   // a tape image, opened to write
    ASSERT_EQ(mtclose(&unit), 0);
    int mode = 2, len = 5;
    ASSERT_GT(mtopen(&unit, "w.tap", &mode, &len), 0);
    int n = 3;
    EXPECT_EQ(mtwrite(&unit, "xyz", &n), 3);
    n = 0;
    EXPECT_EQ(mtwrite(&unit, "", &n), 0);
    mtclose(&unit);
    EXPECT_EQ(gptest::read_file("w.tap"), simh_record("xyz") + simh_mark());
}

TEST_F(Unit, ReadBlockGivesUpAfterTwentyRetries)
{
    ASSERT_GT(open("e.grb", ""), 0);
    char buf[GP_RECORD_SIZE];
    EXPECT_EQ(read_block(unit, buf, 0), GP_NO_MORE);
    mtclose(&unit);
    // Nineteen tape marks are passed over and the record behind them read;
    // after twenty, the twenty-first read comes too late.
    std::string marks;
    for (int i = 0; i < 19; i++)
        marks += simh_mark();
    ASSERT_GT(open("m.tap", marks + simh_record("late") + simh_end()), 0);
    EXPECT_EQ(read_block(unit, buf, 0), 4);
    EXPECT_EQ(std::string(buf, 4), "late");
    mtclose(&unit);
    ASSERT_GT(open("n.tap", marks + simh_mark() + simh_record("late") + simh_end()), 0);
    EXPECT_EQ(read_block(unit, buf, 0), GP_NO_MORE);
}

TEST_F(Unit, MessagesAcrossRecordsAreAssembled)
{
    std::string big = fake_message(15000, 1, 2), small = fake_message(10000, 1, 3);
    std::string padded = small + std::string(560, '\0');
    ASSERT_GT(open("a.tap", simh_records(big, 10560) + simh_record(padded) + simh_record(big) +
                                simh_end()),
              0);
    EXPECT_EQ(next(), big);
    EXPECT_EQ(next(), padded);   // one record of 10560: no second read
    EXPECT_EQ(next(), big);      // a record longer than 10560 bytes is read whole
    EXPECT_EQ(next(), "");
}

TEST_F(Unit, DiskMessagesAreFramedByTheirLength)
{
    std::string a = fake_message(3000, 1, 1), b = fake_message(5000, 1, 2, 'G');
    std::string c = fake_message(200, 1, 3);
    ASSERT_GT(open("a.grb", a + b + std::string(120, '\0') + c), 0);
    EXPECT_EQ(next(), a);
    EXPECT_EQ(next(), b);
    EXPECT_EQ(next(), c);
    EXPECT_EQ(next(), "");
    EXPECT_EQ(next(), "");
}

TEST_F(Unit, ForeignBytesArePassedOverAndLongMessagesGrowTheBuffer)
{
    std::string a = fake_message(300, 1, 1), huge = fake_message(40000, 1, 2);
    std::string c = fake_message(400, 1, 3), larger = fake_message(300000, 1, 4);
    std::string again = fake_message(300000, 1, 5);
    ASSERT_GT(open("a.grb", a + "junk" + std::string(6, '\0') + huge + c + larger + again), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(next(), a);
    EXPECT_EQ(next(), huge);
    EXPECT_EQ(next(), c);
    EXPECT_EQ(next(), larger);   // beyond the unit layer's window
    EXPECT_EQ(next(), again);    // and into a buffer already that large
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: 10 bytes that are not GRIB passed over at offset 300\n");
    EXPECT_EQ(gp_msg.position, 340710);
}

// Only the bytes of the file are measured, never those of the message
// before.
TEST_F(Unit, DiskFileEndingInAFragment)
{
    std::string a = fake_message(300, 1, 1);
    ASSERT_GT(open("a.grb", a + "GRIB" + '\0'), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(next(), a);
    EXPECT_EQ(next(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: GRIB message at offset 300 is damaged (cut short by the end of the "
              "file); passed over\n");
    mtclose(&unit);
    ASSERT_GT(open("b.grb", a + a.substr(0, 200)), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(next(), a);
    EXPECT_EQ(next(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: GRIB message at offset 300 is damaged (cut short by the end of the "
              "file); passed over\n");
}

// A damaged message is reported once and costs only itself; the search
// goes on four octets after its start, and nothing of a longer message
// before stays in the buffer.
TEST_F(Unit, DamagedDiskMessagesCostOnlyThemselves)
{
    std::string a = fake_message(300, 1, 1), b = fake_message(400, 1, 2);
    std::string shorter = b, open_end = b;
    shorter.replace(4, 3, std::string("\0\0\xc8", 3));   // 200 octets
    open_end[399] = 'x';
    const struct { std::string damaged, why; long passed; } cases[] = {
        {b.substr(0, 200), "no 7777 at its end", 200},
        {std::string("GRIB\0\x10\0\1", 8), "its sections do not add up to its length of 4096 octets", 8},
        {shorter, "its sections do not add up to its length of 200 octets", 400},
        {open_end, "no 7777 at its end", 400},
    };
    for (const auto &c : cases) {
        gp_extract_reset();
        ASSERT_GT(open("a.grb", b + c.damaged + a), 0);
        testing::internal::CaptureStderr();
        EXPECT_EQ(next(), b);
        EXPECT_EQ(next(), a);
        EXPECT_EQ(next(), "");
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "gridpick: GRIB message at offset 400 is damaged (" + c.why + "); passed over\n");
        const unsigned char *rest = reinterpret_cast<const unsigned char *>(gp_msg.igrib.data()) + 300;
        EXPECT_EQ(std::count(rest, rest + GP_IGRIB_BYTES - 300, 0), GP_IGRIB_BYTES - 300);
        gp_archive_totals t = gp_archive_counts(archive.get());
        EXPECT_EQ(t.whole * 100 + t.damaged, 201) << c.why;
        EXPECT_EQ(t.passed_over, c.passed) << c.why;
    }
}

// A damaged length word costs its record; the reading goes on at the next
// record whose words agree.
TEST_F(Unit, TapeImageWithADamagedLengthWord)
{
    std::string a = fake_message(300, 1, 1), bad = simh_record(a);
    bad[1] ^= 1;
    ASSERT_GT(open("a.tap", bad + simh_record(a) + simh_end()), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(next(), a);
    EXPECT_EQ(next(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: tape image damaged at record 1 (length words that do not agree); 308 "
              "octets passed over\n");
}

TEST_F(Unit, TapeRecordsThatBeginNoMessageArePassedOver)
{
    std::string a = fake_message(300, 1, 1), b = fake_message(300, 1, 2);
    std::string huge = fake_message(33000, 1, 3);
    std::string image = simh_record("stray") + simh_record(a) + simh_records(huge, 10560) +
                        simh_record(b) + simh_record("rest of b") + simh_record("more of b") +
                        simh_record(a) + simh_end();
    ASSERT_GT(open("a.tap", image), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(next(), a);
    EXPECT_EQ(next(), huge);   // the buffer grows to take it
    EXPECT_EQ(next(), b);
    // After a skip the rest of a message is expected: no warning.
    EXPECT_EQ(skip(1), 0);
    EXPECT_EQ(next(), a);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: record 1 does not begin a GRIB message; passed over\n");
}

TEST_F(Unit, NothingIsReadPastTheLastWantedDay)
{
    ASSERT_GT(open("a.grb", fake_message(300)), 0);
    gp_run.last_day = kdate(1, 31, 79);
    gp_field.current_month = 2;
    gp_field.current_day = 1;
    gp_field.current_year = 79;
    EXPECT_EQ(next(), "");
    gp_field.current_month = 1;
    gp_field.current_day = 31;
    EXPECT_EQ(next(), fake_message(300));
}

}  // namespace

namespace {

TEST_F(Unit, KindIsToldFromTheContents)
{
    EXPECT_GT(open("a", simh_mark() + simh_record("GRIBxyz") + simh_end()), 0);
    EXPECT_EQ(tpio_kind(unit), TPIO_SIMH);
    EXPECT_GT(open("b", simh_mark() + simh_mark() + simh_end()), 0);
    EXPECT_EQ(tpio_kind(unit), TPIO_SIMH);
    // Zeros make no tape image: padding before the first message of a disk file.
    for (std::size_t zeros : {8, 32, 4096, 5}) {
        EXPECT_GT(open("c", std::string(zeros, '\0') + fake_message(100)), 0);
        EXPECT_EQ(tpio_kind(unit), TPIO_DISK) << zeros;
        EXPECT_EQ(next(), fake_message(100)) << zeros;
    }
    EXPECT_GT(open("d", ""), 0);
    EXPECT_EQ(tpio_kind(unit), TPIO_DISK);
    EXPECT_GT(open("e", std::string("\x05\0\0\0abcde\0\x06\0\0\0", 14)), 0);   // trailing word differs
    EXPECT_EQ(tpio_kind(unit), TPIO_DISK);
}

}  // namespace

// Archives open at once are read each at its own pace, with their own
// counts and reports; the units run out after GP_UNIT_COUNT of them.
TEST(Archives, SeveralOpenAtOnce)
{
    gptest::TempDir dir;
    std::string a1 = fake_message(300, 1, 1), a2 = fake_message(500, 1, 2);
    std::string b1 = fake_message(400, 1, 3), b2 = fake_message(200, 1, 4);
    std::string grb = dir.path() + "/a.grb", tap = dir.path() + "/b.tap";
    gptest::write_file(grb, a1 + "junk" + a2);
    gptest::write_file(tap, simh_record("stray") + simh_record(b1) + simh_record(b2) + simh_end());
    std::vector<std::string> said;
    gp_archive_options options;
    options.context = &said;
    options.report_line = [](void *c, const char *line) {
        static_cast<std::vector<std::string> *>(c)->push_back(line);
    };
    gp_archive_ptr open[2];
    for (int i = 0; i < 2; i++) {
        options.program = i == 0 ? "one" : "two";
        open[i].reset(gp_archive_open((i == 0 ? grb : tap).c_str(), &options, nullptr, 0));
        ASSERT_NE(open[i], nullptr);
    }
    const struct { int archive; int n; long position; int at; std::string message; } steps[] = {
        {1, 400, 2, GP_AT_RECORD, b1}, {0, 300, 0, GP_AT_OFFSET, a1},
        {0, 500, 304, GP_AT_OFFSET, a2}, {1, 200, 3, GP_AT_RECORD, b2},
        {0, -1, 0, 0, ""}, {1, -1, 0, 0, ""},
    };
    for (const auto &s : steps) {
        gp_archive_message m{};
        EXPECT_EQ(gp_archive_next(open[s.archive].get(), &m), s.n) << s.position;
        if (s.n < 0)
            continue;
        EXPECT_EQ(m.position * 10 + m.at, s.position * 10 + s.at);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(m.words.data()), std::size_t(s.n)),
                  s.message);
    }
    EXPECT_EQ(said, (std::vector<std::string>{
                        "two: record 1 does not begin a GRIB message; passed over",
                        "one: 4 bytes that are not GRIB passed over at offset 300"}));
    gp_archive_totals t[2] = {gp_archive_counts(open[0].get()), gp_archive_counts(open[1].get())};
    EXPECT_EQ(t[0].whole * 100 + t[0].passed_over, 204);
    EXPECT_EQ(t[1].whole * 100 + t[1].passed_over, 205);

    // Units for three more; the sixth archive finds none.
    gp_archive_ptr more[3];
    for (auto &m : more)
        m.reset(gp_archive_open(grb.c_str(), nullptr, nullptr, 0));
    char error[256];
    EXPECT_EQ(gp_archive_open(grb.c_str(), nullptr, error, sizeof error), nullptr);
    EXPECT_EQ(std::string(error), "mtopen: " + grb + ": Bad file descriptor");
    more[0].reset();
    more[0].reset(gp_archive_open(grb.c_str(), nullptr, error, sizeof error));
    EXPECT_NE(more[0], nullptr);
}
