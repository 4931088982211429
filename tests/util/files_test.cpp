#include "process.h"
#include <gridpick/util.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

using gptest::TempDir;
using gptest::write_file;

namespace {

struct Listing {
    int status = 0;
    std::vector<std::string> names;
};

Listing list(const std::string &path, const char *filter, int full, int kind, int max = 100)
{
    std::vector<char *> raw(static_cast<std::size_t>(max) + 1, nullptr);
    Listing l;
    int count = -7;
    l.status = dir(path.c_str(), filter, full, raw.data(), &count, kind, max);
    if (l.status == 0) {
        for (int i = 0; i < count; i++) {
            l.names.emplace_back(raw[static_cast<std::size_t>(i)]);
            std::free(raw[static_cast<std::size_t>(i)]);
        }
    }
    return l;
}

}  // namespace

TEST(FileTests, TellFilesAndDirectoriesApart)
{
    TempDir t;
    write_file(t.file("f"), "x");
    EXPECT_EQ(file_exists(t.file("f").c_str()), 1);
    EXPECT_EQ(file_is_regular(t.file("f").c_str()), 1);
    EXPECT_EQ(file_is_dir(t.file("f").c_str()), 0);
    EXPECT_EQ(file_exists(t.path().c_str()), 1);
    EXPECT_EQ(file_is_dir(t.path().c_str()), 1);
    EXPECT_EQ(file_is_regular(t.path().c_str()), 0);
    EXPECT_EQ(file_exists(t.file("none").c_str()), 0);
    EXPECT_EQ(file_is_dir(t.file("none").c_str()), 0);
    EXPECT_EQ(file_is_regular(t.file("none").c_str()), 0);
}

TEST(Dir, ListsSortedAndFiltered)
{
    TempDir t;
    for (const char *n : {"b.ov", "a.ov", "c.nc", ".hidden.ov"})
        write_file(t.file(n), "x");
    mkdir(t.file("sub.ov").c_str(), 0755);

    Listing all = list(t.path(), nullptr, 0, DIR_ALL);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.names, (std::vector<std::string>{"a.ov", "b.ov", "c.nc", "sub.ov"}));

    EXPECT_EQ(list(t.path(), "ov", 0, DIR_FILES).names,
              (std::vector<std::string>{"a.ov", "b.ov"}));
    EXPECT_EQ(list(t.path(), nullptr, 0, DIR_DIRS).names, (std::vector<std::string>{"sub.ov"}));
    EXPECT_EQ(list(t.path(), "nc", 1, DIR_ALL).names,
              (std::vector<std::string>{t.path() + "/c.nc"}));
}

TEST(Dir, StopsAtMax)
{
    TempDir t;
    for (const char *n : {"1", "2", "3", "4"})
        write_file(t.file(n), "x");
    EXPECT_EQ(list(t.path(), nullptr, 0, DIR_ALL, 2).names.size(), 2u);
}

TEST(Dir, CutsLongFullNames)
{
    TempDir t;
    std::string name(200, 'n');
    std::string deep = t.path();
    for (int i = 0; i < 3; i++) {
        deep += "/" + name;
        mkdir(deep.c_str(), 0755);
    }
    write_file(deep + "/" + name, "x");
    Listing l = list(deep, nullptr, 1, DIR_ALL);
    ASSERT_EQ(l.names.size(), 1u);
    EXPECT_EQ(l.names[0].size(), static_cast<std::size_t>(DIR_NAME_MAX));
    EXPECT_EQ(l.names[0], (deep + "/" + name).substr(0, DIR_NAME_MAX));
}

TEST(Dir, MissingDirectoryFails)
{
    TempDir t;
    EXPECT_EQ(list(t.file("none"), nullptr, 0, DIR_ALL).status, -1);
}

TEST(Asort, SortsByBytes)
{
    char a[] = "beta", b[] = "Alpha", c[] = "alpha", d[] = "al";
    char *names[] = {a, b, c, d};
    asort(names, 4);
    EXPECT_STREQ(names[0], "Alpha");
    EXPECT_STREQ(names[1], "al");
    EXPECT_STREQ(names[2], "alpha");
    EXPECT_STREQ(names[3], "beta");
}

TEST(IdentifyDatafile, ByMagicBytes)
{
    TempDir t;
    struct {
        const char *bytes;
        int code;
    } cases[] = {
        {"QB90a-", DATAFILE_QB}, {"OV90a\n", DATAFILE_OV}, {"QW9xyz", DATAFILE_QW},
        {"QT92a ", DATAFILE_QT}, {"hello world\n", DATAFILE_UNKNOWN},
        {"OV90a", DATAFILE_UNKNOWN},  // fewer than six bytes
        {"", DATAFILE_UNKNOWN},
    };
    for (const auto &c : cases) {
        write_file(t.file("f"), c.bytes);
        EXPECT_EQ(identify_datafile(t.file("f").c_str()), c.code) << c.bytes;
    }
    EXPECT_EQ(identify_datafile(t.file("missing").c_str()), DATAFILE_UNKNOWN);
}

TEST(IdentifyDatafile, UnreadableFileIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempDir t;
    write_file(t.file("f"), "OV90a-");
    chmod(t.file("f").c_str(), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(identify_datafile(t.file("f").c_str()), DATAFILE_UNKNOWN);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "identify_datafile: could not open '" + t.file("f") + "'\n");
}

TEST(IdentifyDatafile, NetcdfThroughTheLibrary)
{
    TempDir t;
    write_file(t.file("a.cdl"), "netcdf a {\ndimensions:\n x = 2 ;\nvariables:\n float v(x) ;\n v:units = \"K\" ;\n:title = \"a\" ;\ndata:\n v = 1, 2 ;\n}\n");
    for (const char *kind : {"1", "2", "5", "3"}) {  // classic, 64-bit offsets and data, HDF5
        std::string cmd = "ncgen -k " + std::string(kind) + " -o " + t.file("a.nc") + " " + t.file("a.cdl");
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        EXPECT_EQ(identify_datafile(t.file("a.nc").c_str()), DATAFILE_NETCDF) << kind;
    }
}
