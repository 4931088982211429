#include <gridpick/util.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string suffix_of(const char *path) { return suffix(path); }

std::string with_suffix(std::string path, const char *s)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s", path.c_str());
    file_suffix(buf, s);
    return buf;
}

std::string without_suffix(const char *path)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s", path);
    truncate_suffix(buf);
    return buf;
}

std::string dir_of(const char *path)
{
    char buf[256];
    extract_dir(buf, path);
    return buf;
}

}  // namespace

TEST(TruncatePath, TakesWhatFollowsTheLastSlash)
{
    EXPECT_STREQ(truncate_path(nullptr, "dir/sub/name.ov"), "name.ov");
    EXPECT_STREQ(truncate_path(nullptr, "/name"), "/name");
    EXPECT_STREQ(truncate_path(nullptr, "name"), "name");
    EXPECT_STREQ(truncate_path(nullptr, "dir/"), "");
}

TEST(TruncatePath, CopiesIntoDestinationWhenGiven)
{
    char dst[32] = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
    const char *path = "a/b/file.nc";
    char *r = truncate_path(dst, path);
    EXPECT_EQ(r, dst);
    EXPECT_STREQ(dst, "file.nc");
    const char *inner = truncate_path(nullptr, path);
    EXPECT_EQ(inner, path + 4);
}

TEST(ExtractDir, CutsAtTheLastSlashUnlessADirectory)
{
    EXPECT_EQ(dir_of("a/b/c"), "a/b");
    EXPECT_EQ(dir_of("name"), "");
    EXPECT_EQ(dir_of("/name"), "");
    EXPECT_EQ(dir_of("/tmp"), "/tmp");  // an existing directory stays whole
}

TEST(Suffix, FollowsTheLastInnerDot)
{
    EXPECT_EQ(suffix_of("a.b.c"), "c");
    EXPECT_EQ(suffix_of("data.ov"), "ov");
    EXPECT_EQ(suffix_of(".profile"), "");
    EXPECT_EQ(suffix_of("name."), "");
    EXPECT_EQ(suffix_of("plain"), "");
    EXPECT_EQ(suffix_of(""), "");
    const char *p = "abc";
    EXPECT_EQ(suffix(p), p + 3);  // the terminating zero, not a copy
}

TEST(TruncateSuffix, CutsAtTheDotBeforeTheSuffix)
{
    EXPECT_EQ(without_suffix("data.ov"), "data");
    EXPECT_EQ(without_suffix("data"), "data");
    EXPECT_EQ(without_suffix("a.b.c"), "a.b");
    EXPECT_EQ(without_suffix("name."), "name.");
}

TEST(FileSuffix, ReplacesOrAppends)
{
    EXPECT_EQ(with_suffix("data.old", "new"), "data.new");
    EXPECT_EQ(with_suffix("data", ".ov"), "data.ov");
    EXPECT_EQ(with_suffix(".hidden", "ov"), ".hidden.ov");
    EXPECT_EQ(with_suffix("a.b.c", "d"), "a.b.d");
}

TEST(Strprepend, PutsThePrefixInFront)
{
    char buf[256] = "name.ov";
    EXPECT_EQ(strprepend(buf, "/data/"), buf);
    EXPECT_STREQ(buf, "/data/name.ov");
}

TEST(Strprepend, RefusesTextsPastItsLimit)
{
    char buf[512];
    std::string longest(STRPREPEND_MAX, 'x');
    std::snprintf(buf, sizeof buf, "%s", longest.c_str());
    EXPECT_NE(strprepend(buf, "p"), nullptr);
    EXPECT_EQ(std::string(buf), "p" + longest);

    std::string too_long(STRPREPEND_MAX + 1, 'y');
    std::snprintf(buf, sizeof buf, "%s", too_long.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(strprepend(buf, "p"), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::string(buf), too_long);
    EXPECT_EQ(err, "strprepend: text of 100 characters is too long (at most 99)\n");
}
