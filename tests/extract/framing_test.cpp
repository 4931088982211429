// Whole-program runs of gridpick on damaged copies of an archive made by
// mkarchive: each copy must yield every field the damage does not touch,
// file for file and byte for byte as the run on the clean archive wrote it.
#include "process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::size_t>;   // name: hash of the bytes
using Mutate = std::function<void(std::string &)>;

// Eight messages of 1452 octets, each padded to 1560, in the order 850 mb
// temp and humid, 500 mb temp and humid at 0 and then at 12 h: section 1 at
// octet 9 (its flag at 16), section 2 (32 octets, the number of columns at
// octets 43-44), section 4 at octet 69 (bits per value at octet 79).
const std::vector<std::string> archive_args = {"-g", "36x19", "-p", "130,157", "-l", "500,850",
                                       "-T", "0,12"};
constexpr std::size_t len = 1452, stride = 1560;

std::string name_of(int i)
{
    return std::string("NRV.79JAN1.") + (i < 4 ? "00z." : "12z.") +
           (i % 4 < 2 ? "850mb." : "500mb.") + (i % 2 ? "humid" : "temp");
}

struct Mutant {
    const char *what;
    Mutate mutate;
    std::set<int> lost;
};

class Framing : public testing::Test {
protected:
    gptest::TempDir dir;
    std::string disk, tape;   // the clean archive, and as a tape image
    Files clean;
    int runs = 0;

    void SetUp() override
    {
        for (const char *name : {"a.grb", "a.tap"}) {
            std::vector<std::string> args = archive_args;
            if (name[2] == 't')
                args.insert(args.begin(), {"-t", "-r", "1000"});   // two records a message
            args.push_back(name);
            ASSERT_EQ(gptest::run(gptest::built("mkarchive"), args, "", dir.path()).status, 0);
        }
        disk = gptest::read_file(dir.file("a.grb"));
        tape = gptest::read_file(dir.file("a.tap"));
        ASSERT_EQ(disk.size(), 8 * stride);
        clean = extract(disk);
        ASSERT_EQ(clean.size(), 8u);
    }
    // The files of a run on bytes (archive name given or "m") in a new folder.
    Files extract(const std::string &bytes, std::string name = "m")
    {
        std::string run = dir.file("run" + std::to_string(runs++));
        fs::create_directories(run);
        if (name[0] != '/')
            name = run + "/" + name;
        fs::create_directories(fs::path(name).parent_path());
        gptest::write_file(name, bytes);
        gptest::Result r = gptest::run(gptest::built("gridpick"),
                                       {"-x", "-a", "-i", "1/1/79", "1/1/79", name}, "", run);
        EXPECT_EQ(r.status, 0) << r.err;
        Files files;
        for (const auto &e : fs::directory_iterator(run))
            if (e.path().filename().string().rfind("NRV.", 0) == 0)
                files[e.path().filename().string()] =
                    std::hash<std::string>{}(gptest::read_file(e.path().string()));
        return files;
    }
    // Each mutant of base yields the clean run's files but those it lost.
    void expect(const std::string &base, const std::vector<Mutant> &mutants)
    {
        for (const Mutant &m : mutants) {
            std::string bytes = base;
            m.mutate(bytes);
            Files f = clean;
            for (int i : m.lost)
                f.erase(name_of(i));
            EXPECT_EQ(extract(bytes), f) << m.what;
        }
    }
};

std::size_t at(int message, std::size_t octet = 0)
{
    return static_cast<std::size_t>(message) * stride + octet;
}

Mutate flip(std::size_t where, int bits)
{
    return [=](std::string &b) { b[where] = static_cast<char>(b[where] ^ bits); };
}

Mutate insert(std::size_t where, std::string what)
{
    return [=](std::string &b) { b.insert(where, what); };
}


TEST_F(Framing, DamagedDiskFilesCostOnlyTheMessagesTouched)
{
    const std::vector<Mutant> mutants = {
        {"message cut in half", [](std::string &b) { b.erase(at(2, len / 2), len / 2); }, {2}},
        {"junk GRIB and a length", insert(at(3), std::string("GRIB\0\x10\0\1", 8)), {}},
        {"4096 zero bytes first", insert(0, std::string(4096, '\0')), {}},
        {"a line of text", insert(at(5), "tape 2 of 7\n"), {}},
        {"section 1 length", flip(at(1, 10), 0x04), {1}},
        {"section 4 length", flip(at(4, 70), 0x01), {4}},
        {"absurd length", [](std::string &b) { b.replace(at(6, 4), 3, "\xff\xff\xff"); }, {6}},
        {"length short of its sections", flip(at(6, 6), 0x02), {6}},
        {"section 1 flag", flip(at(0, 15), 0x80), {0}},
        {"bits per value", flip(at(7, 78), 0x08), {7}},
        {"columns", flip(at(3, 43), 0x01), {3}},
        {"end marker", flip(at(5, len - 1), 0x01), {5}},
        {"last octet cut", [](std::string &b) { b.resize(at(7, len - 1)); }, {7}},
    };
    expect(disk, mutants);
}

// Offset of record n (from 0) of the tape image: each message is a record
// of 1000 and one of 560 bytes, each framed by 8.
std::size_t rec(int n)
{
    return static_cast<std::size_t>(n / 2) * (stride + 16) + static_cast<std::size_t>(n % 2) * 1008;
}

TEST_F(Framing, DamagedTapeImagesCostOnlyTheMessagesTouched)
{
    const std::vector<Mutant> mutants = {
        {"none", [](std::string &) {}, {}},
        {"leading length word", flip(rec(4) + 2, 0x40), {2}},
        {"first record's trailing word", flip(rec(1) - 3, 0x01), {0}},
        {"trailing word missing", [&](std::string &b) { b.erase(rec(8) - 4, 4); }, {3}},
        {"erase gap", insert(rec(10), "\xfe\xff\xff\xff"), {}},
        {"record flagged bad", [&](std::string &b) { b[rec(13) + 3] = b[rec(14) - 1] = '\x80'; },
         {6}},
        {"record missing", [&](std::string &b) { b.erase(rec(3), rec(4) - rec(3)); }, {1}},
        {"absurd length", [&](std::string &b) { b.replace(rec(8) + 8, 3, "\xff\xff\xff"); }, {4}},
        {"tape mark inside a message", insert(rec(11), std::string(4, '\0')), {5}},
        {"image cut inside a record", [&](std::string &b) { b.resize(rec(15) + 100); }, {7}},
    };
    expect(tape, mutants);

    // Records of one size: the record after one that lacks its trailing
    // word has the very length word that is missing.
    std::vector<std::string> args = archive_args;
    args.insert(args.begin(), {"-t", "-r", "780"});
    args.push_back("b.tap");
    ASSERT_EQ(gptest::run(gptest::built("mkarchive"), args, "", dir.path()).status, 0);
    auto even = [](int n) { return static_cast<std::size_t>(n) * 788; };
    expect(gptest::read_file(dir.file("b.tap")),
           {{"none", [](std::string &) {}, {}},
            {"continuation's trailing word missing",
             [&](std::string &b) { b.erase(even(6) - 4, 4); }, {2}},
            {"first record's trailing word missing",
             [&](std::string &b) { b.erase(even(9) - 4, 4); }, {4}},
            {"last record's trailing word missing",
             [&](std::string &b) { b.erase(even(16) - 4, 4); }, {7}}});
}

TEST_F(Framing, ArchiveNamesOfAnyUsableLengthAndArchivesThatCannotBeRead)
{
    std::string path = dir.path() + "/a/path/of/eighty/characters/and/more/than/that";
    if (path.size() < 80)
        path += std::string(80 - path.size(), 'x');
    path += "/two-days.grb";
    EXPECT_EQ(extract(disk, path), clean);
    auto r = gptest::run(gptest::built("gridpick"), {"-x", "-a", "-i", "1/1/79", "1/1/79", "/"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "gridpick: cannot read /: Is a directory\n");
}

}  // namespace
