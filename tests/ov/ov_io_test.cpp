// Writer and reader: file layout, round trips, older header versions and
// hostile files.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <gridpick/ov.h>
#include "ov_bytes.h"
#include "ov_sets.h"
#include "ov_whole.h"
#include "process.h"

using gptest::read_file;
using gptest::TempDir;
using gptest::write_file;
using ovtest::Bytes;
using ovtest::Fixed;

namespace {

using Record = gptest::record;

Record fresh(int type, int rows, int cols, float *data, float *vdata = nullptr)
{
    return Record(ov_create_hdr(type, rows, cols, data, vdata));
}

// Reads every data set of path with want_data; stderr of the last failed
// read (the end of the file) is returned in *err.
std::vector<Record> read_all_sets(const std::string &path, int want_data,
                                  std::string *err = nullptr)
{
    std::vector<Record> sets;
    int fd = ov_open(path.c_str(), 0);
    EXPECT_GE(fd, 0);
    testing::internal::CaptureStderr();
    while (OvHeader *h = ov_read(fd, want_data))
        sets.emplace_back(h);
    std::string e = testing::internal::GetCapturedStderr();
    if (err)
        *err = e;
    ov_close(fd);
    return sets;
}

// Reads the single data set of a file image; stderr into *err.
Record read_image(const std::string &image, std::string *err, int want_data = 1)
{
    TempDir dir;
    write_file(dir.file("x.ov"), image);
    int fd = ov_open(dir.file("x.ov").c_str(), 0);
    EXPECT_GE(fd, 0);
    testing::internal::CaptureStderr();
    Record r(ov_read(fd, want_data));
    *err = testing::internal::GetCapturedStderr();
    ov_close(fd);
    return r;
}

std::string be32(std::int32_t v)
{
    return Bytes().i32(v).s;
}

// A file of one data set: the magic, the fixed words of f, the words that
// follow them (increment type .. grid type, reserved) and the rest.
std::string image(const Fixed &f, const std::vector<int> &words, const std::string &rest)
{
    Bytes b;
    b.magic();
    f.put(b);
    for (int w : words)
        b.i32(w);
    return b.s + rest;
}

// A version 2 data set with the given tail words (increment type .. grid
// type), zero reserved words and the rest of the file.
std::string hostile(const Fixed &f, std::vector<int> tail, const std::string &rest)
{
    tail.insert(tail.end(), 5, 0);
    return image(f, tail, rest);
}

const std::string six_reals = Bytes().reals({1, 2, 3, 4, 5, 6}).s;

}  // namespace

TEST(OvWriter, CreateWritesOnlyTheMagicAndTruncates)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    write_file(path, "something longer than the magic");
    int fd = ov_create(path.c_str());
    ASSERT_GE(fd, 0);
    ov_close(fd);
    EXPECT_EQ(read_file(path), std::string("OV90a\0", 6));
}

TEST(OvWriter, CreateFailureIsReported)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_create("/nonexistent-dir/x.ov"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ov_create: No such file or directory\n");
    // A failed magic removes only a file it made: not a device, nor the
    // link that named it.
    TempDir dir;
    std::string link = dir.file("full");
    ASSERT_EQ(::symlink("/dev/full", link.c_str()), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_create(link.c_str()), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ov_create write: No space left on device\n");
    EXPECT_EQ(::access(link.c_str(), F_OK), 0);
}

TEST(OvWriter, OpenChecksMagicAndMode)
{
    TempDir dir;
    write_file(dir.file("good"), std::string("OV90a\0", 6) + "rest");
    write_file(dir.file("bad"), std::string("OV90b\0", 6));
    write_file(dir.file("short"), "OV90a");
    EXPECT_EQ(ov_open(dir.file("bad").c_str(), 0), -1);
    EXPECT_EQ(ov_open(dir.file("short").c_str(), 0), -1);
    EXPECT_EQ(ov_open(dir.file("missing").c_str(), 0), -1);

    int fd = ov_open(dir.file("good").c_str(), 7);  // read-only
    ASSERT_GE(fd, 0);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 6);
    EXPECT_EQ(write(fd, "x", 1), -1);
    ov_close(fd);

    fd = ov_open(dir.file("good").c_str(), 1);  // write-only still checks
    ASSERT_GE(fd, 0);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 6);
    ov_close(fd);
    EXPECT_EQ(ov_open(dir.file("bad").c_str(), 1), -1);
}

TEST(OvWriter, FreshHeaderDefaults)
{
    float data[6] = {};
    Record h = fresh(OV_VECTOR, 2, 3, data, data);
    EXPECT_EQ(h->id, 999);
    EXPECT_EQ(h->bad_value, -999.999f);
    EXPECT_EQ(h->type, OV_VECTOR);
    EXPECT_EQ(h->num_rows, 2);
    EXPECT_EQ(h->num_columns, 3);
    EXPECT_EQ(h->data, data);
    EXPECT_EQ(h->vdata, data);
    EXPECT_EQ(h->grid_type, REGULAR);
    EXPECT_EQ(h->increment_type, DEGREES);
    EXPECT_EQ(h->reserved[4], 0);
    EXPECT_EQ(h->title, nullptr);
    h->data = h->vdata = nullptr;  // not ours to free
}

TEST(OvWriter, LayoutOfAContourDataSet)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    float data[6] = {1, 2, 3, 4, 5, -1.5f};
    Record h = fresh(OV_CONTOUR, 2, 3, data);
    h->year = 1979;
    h->start_lat = 90;
    h->reserved[2] = 0x01020304;
    int fd = ov_create(path.c_str());
    ASSERT_EQ(ov_write(fd, h.get()), 0);
    ov_close(fd);
    h->data = nullptr;
    EXPECT_EQ(h->header_size, 136);
    EXPECT_EQ(h->version, 2);

    Fixed f;
    f.id = 999, f.year = 1979, f.month = 0, f.day = 0, f.time = 0, f.param = 0, f.level = 0;
    f.bad_value = -999.999f, f.start_lat = 90, f.end_lat = 0, f.end_lon = 0;
    f.lat_increment = 0, f.lon_increment = 0;
    Bytes want;
    want.magic();
    f.put(want);
    want.i32(0).i32(0).i32(0).i32(0).i32(0);      // increment type .. grid type
    want.i32(0).i32(0).i32(0x01020304).i32(0).i32(0);  // reserved
    want.reals({1, 2, 3, 4, 5, -1.5f});
    EXPECT_EQ(read_file(path), want.s);
}

TEST(OvWriter, TextsFollowPrivateDataWithoutTerminators)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    float data[1] = {42};
    char title[] = "abc", comment[] = "cc", priv[] = {'\x01', '\0', '\x02'};
    Record h = fresh(OV_CONTOUR, 1, 1, data);
    h->title = title;
    h->comment = comment;
    h->private_data = priv;
    h->private_length = 3;
    int fd = ov_create(path.c_str());
    ASSERT_EQ(ov_write(fd, h.get()), 0);
    ov_close(fd);
    EXPECT_EQ(h->title_length, 3);
    EXPECT_EQ(h->comment_length, 2);
    EXPECT_EQ(h->header_size, 136 + 3 + 2 + 3);
    std::string bytes = read_file(path);
    ASSERT_EQ(bytes.size(), 6u + 136 + 8 + 4);
    EXPECT_EQ(bytes.substr(6, 4), be32(144));
    EXPECT_EQ(bytes.substr(6 + 136), std::string("cc\x01\0\x02" "abc", 8) + be32(0x42280000));
    h->data = nullptr;
    h->title = h->comment = h->private_data = nullptr;
}

TEST(OvWriter, RefusesInconsistentRecordsBeforeWriting)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    float data[4] = {};
    int fd = ov_create(path.c_str());
    Record h = fresh(OV_CONTOUR, -2, 2, data);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    h->num_rows = 2;
    h->grid_type = IRREGULAR;
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    h->grid_type = REGULAR;
    h->private_length = 4;
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    h->private_length = 0, h->grid_type = 2;  // read as irregular: lats and lons needed
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    h->grid_type = REGULAR, h->type = OV_VECTOR;
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    h->type = OV_CONTOUR, h->data = nullptr;
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ov_write: invalid row or column count\n"
              "ov_write: irregular grid without lats or lons\n"
              "ov_write: invalid private data\n"
              "ov_write: irregular grid without lats or lons\n"
              "ov_write: vector or outline data set without vdata\n"
              "ov_write: no data\n");
    ov_close(fd);
    EXPECT_EQ(read_file(path).size(), 6u);
    h->data = nullptr;
}

TEST(OvWriter, ShortWriteNamesThePart)
{
    float data[4] = {};
    Record h = fresh(OV_CONTOUR, 2, 2, data);
    int fd = open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_write(fd, h.get()), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ov_write header: No space left on device\n");
    close(fd);
    h->data = nullptr;
}

TEST(OvReader, RoundTripOfEveryPart)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    float u[6] = {1, 2, 3, 4, 5, 6}, v[6] = {-1, -2, -3, -4, -5, -6};
    float lats[2] = {10, 20}, lons[3] = {0, 5, 15};
    char comment[] = "a comment", title[] = "T", units[] = "m/s", desc[] = "wind";
    char priv[] = {'p', '\0', 'q'};
    Record h = fresh(OV_VECTOR, 2, 3, u, v);
    h->comment = comment, h->title = title, h->units = units, h->param_desc = desc;
    h->private_data = priv, h->private_length = 3;
    h->grid_type = IRREGULAR, h->lats = lats, h->lons = lons;
    h->increment_type = KILOMETERS;
    h->time = 12.5f, h->level = 850, h->reserved[0] = -5;
    int fd = ov_create(path.c_str());
    ASSERT_EQ(ov_write(fd, h.get()), 0);
    h->grid_type = REGULAR;  // a second set, regular
    ASSERT_EQ(ov_write(fd, h.get()), 0);
    ov_close(fd);

    std::string err;
    auto sets = read_all_sets(path, 1, &err);
    EXPECT_EQ(err, "ov_read: header read failed\n");
    ASSERT_EQ(sets.size(), 2u);
    const OvHeader &r = *sets[0];
    EXPECT_EQ(r.header_size, 136 + 9 + 3 + 1 + 3 + 4);
    EXPECT_EQ(r.version, 2);
    EXPECT_EQ(r.time, 12.5f);
    EXPECT_EQ(r.level, 850);
    EXPECT_EQ(r.reserved[0], -5);
    EXPECT_EQ(r.increment_type, KILOMETERS);
    EXPECT_STREQ(r.comment, "a comment");
    EXPECT_STREQ(r.title, "T");
    EXPECT_STREQ(r.units, "m/s");
    EXPECT_STREQ(r.param_desc, "wind");
    EXPECT_EQ(std::string(r.private_data, 3), std::string(priv, 3));
    ASSERT_EQ(r.grid_type, IRREGULAR);
    EXPECT_EQ(std::vector<float>(r.lats, r.lats + 2), std::vector<float>(lats, lats + 2));
    EXPECT_EQ(std::vector<float>(r.lons, r.lons + 3), std::vector<float>(lons, lons + 3));
    EXPECT_EQ(std::vector<float>(r.data, r.data + 6), std::vector<float>(u, u + 6));
    EXPECT_EQ(std::vector<float>(r.vdata, r.vdata + 6), std::vector<float>(v, v + 6));
    EXPECT_EQ(sets[1]->lats, nullptr);
    EXPECT_EQ(sets[1]->vdata[5], -6);

    h->comment = h->title = h->units = h->param_desc = h->private_data = nullptr;
    h->lats = h->lons = h->data = h->vdata = nullptr;
}

TEST(OvReader, SkippingDataLandsOnTheNextSet)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    int fd = ov_create(path.c_str());
    for (float base : {0.0f, 100.0f}) {
        float u[4] = {base, base + 1, base + 2, base + 3}, v[4] = {-base, 0, 0, 7};
        Record h = fresh(OV_VECTOR, 2, 2, u, v);
        ASSERT_EQ(ov_write(fd, h.get()), 0);
        h->data = h->vdata = nullptr;
    }
    ov_close(fd);

    fd = ov_open(path.c_str(), 0);
    Record first(ov_read(fd, 0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->data, nullptr);
    EXPECT_EQ(first->vdata, nullptr);
    Record second(ov_read(fd, 1));
    ov_close(fd);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->data[0], 100);
    EXPECT_EQ(second->vdata[0], -100);
    EXPECT_EQ(second->vdata[3], 7);
}

TEST(OvReader, AppendingKeepsOneMagic)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    float d[2] = {1, 2};
    Record h = fresh(OV_CONTOUR, 1, 2, d);
    int fd = ov_create(path.c_str());
    ASSERT_EQ(ov_write(fd, h.get()), 0);
    ov_close(fd);
    for (int i = 0; i < 2; i++) {
        fd = ov_open(path.c_str(), 2);
        ASSERT_GE(fd, 0);
        lseek(fd, 0, SEEK_END);
        h->level = 850 + i;
        ASSERT_EQ(ov_write(fd, h.get()), 0);
        ov_close(fd);
    }
    h->data = nullptr;
    EXPECT_EQ(read_file(path).size(), 6u + 3 * (136 + 8));
    auto sets = read_all_sets(path, 1);
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[2]->level, 851);
    EXPECT_EQ(sets[2]->data[1], 2);
}

TEST(OvReader, SizesOfTheOtherTypes)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    std::vector<float> values(16 * 3);
    for (size_t i = 0; i < values.size(); i++)
        values[i] = static_cast<float>(i);
    int fd = ov_create(path.c_str());
    const int types[] = {OV_OUTLINE, OV_UNGRIDDED_VECTOR, OV_UNGRIDDED_SCALAR, 9};
    for (int type : types) {
        Record h = fresh(type, 3, 1, values.data(), values.data() + 3);
        ASSERT_EQ(ov_write(fd, h.get()), 0);
        h->data = h->vdata = nullptr;
    }
    ov_close(fd);
    // outline 12 + 12, ungridded vector 48, ungridded scalar 36, other 12
    EXPECT_EQ(read_file(path).size(), 6u + 4 * 136 + 24 + 48 + 36 + 12);
    auto sets = read_all_sets(path, 1);
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(sets[0]->vdata[2], 5);
    EXPECT_EQ(sets[1]->data[11], 11);
    EXPECT_EQ(sets[1]->vdata, nullptr);
    EXPECT_EQ(sets[2]->data[8], 8);
    EXPECT_EQ(sets[3]->data[2], 2);
}

TEST(OvReader, OnlyTheMagicHoldsNoDataSet)
{
    std::string err;
    EXPECT_FALSE(read_image(Bytes().magic().s, &err));
    EXPECT_EQ(err, "ov_read: header read failed\n");
}

TEST(OvReader, VersionZeroHasNoTextsAndARegularGrid)
{
    Fixed f;
    f.version = 0;
    std::string err;
    // 40 bytes a version 0 reader ignores
    Record r = read_image(image(f, {1, 5, 5, 5, 1, 0, 0, 0, 0, 0}, six_reals), &err);
    EXPECT_EQ(err, "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->version, 0);
    EXPECT_EQ(r->increment_type, 0);
    EXPECT_EQ(r->title_length, 0);
    EXPECT_EQ(r->grid_type, REGULAR);
    EXPECT_EQ(r->title, nullptr);
    EXPECT_EQ(r->year, 1993);
    EXPECT_EQ(r->end_lon, 357.5f);
    EXPECT_EQ(r->data[5], 6);
}

TEST(OvReader, VersionOneHasTextsButARegularGrid)
{
    Fixed f;
    f.version = 1;
    f.comment_length = 2;
    std::string err;
    // km, title 5, units 1, no desc; then 24 bytes never read
    Record r = read_image(image(f, {1, 5, 1, 0, 1, -1, -1, -1, -1, -1}, "cmTitleK" + six_reals),
                          &err);
    EXPECT_EQ(err, "");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->increment_type, KILOMETERS);
    EXPECT_STREQ(r->comment, "cm");
    EXPECT_STREQ(r->title, "Title");
    EXPECT_STREQ(r->units, "K");
    EXPECT_EQ(r->param_desc, nullptr);
    EXPECT_EQ(r->grid_type, REGULAR);
    EXPECT_EQ(r->lats, nullptr);
    EXPECT_EQ(r->data[0], 1);
}

TEST(OvReader, UnknownVersionAndIncrementTypeAreReported)
{
    Fixed f;
    f.version = 5;
    std::string err;
    Record r = read_image(hostile(f, {7, 0, 0, 0, 0}, six_reals), &err);
    EXPECT_EQ(err, "ov_read_header: unknown version: 5\n");
    ASSERT_TRUE(r);
    f.version = 2;
    r = read_image(hostile(f, {7, 0, 0, 0, 0}, six_reals), &err);
    EXPECT_EQ(err, "Warning: illegal increment type: 7; DEGREES assumed.\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->increment_type, 0);
}

TEST(OvReader, HostileCountsAreRefused)
{
    struct Case {
        Fixed f;
        std::vector<int> tail;
        std::string rest;
        std::string err;
    };
    Fixed neg_comment, huge_private, neg_rows, huge_grid, truncated, huge_lat, vec;
    neg_comment.comment_length = -1;
    huge_private.private_length = 0x7fffffff;
    neg_rows.num_rows = -3;
    huge_grid.num_rows = huge_grid.num_columns = 0x7fffffff;
    huge_lat.num_rows = 0x40000000;
    vec.type = OV_VECTOR;
    std::vector<Case> cases = {
        {neg_comment, {0, 0, 0, 0, 0}, six_reals, "ov_read: invalid comment length: -1\n"},
        {huge_private, {0, 0, 0, 0, 0}, six_reals,
         "ov_read: private data of 2147483647 bytes exceeds the 24 bytes left\n"},
        {neg_rows, {0, 0, 0, 0, 0}, six_reals, "ov_read: invalid row count: -3\n"},
        {Fixed{}, {0, -4, 0, 0, 0}, six_reals, "ov_read: invalid title length: -4\n"},
        {Fixed{}, {0, 0, 30, 0, 0}, six_reals,
         "ov_read: units of 30 bytes exceeds the 24 bytes left\n"},
        {huge_grid, {0, 0, 0, 0, 0}, six_reals, "ov_read: invalid data size: -1\n"},
        {truncated, {0, 0, 0, 0, 0}, six_reals.substr(0, 23),
         "ov_read: data of 24 bytes exceeds the 23 bytes left\n"},
        {huge_lat, {0, 0, 0, 0, 1}, six_reals,
         "ov_read: lats of 4294967296 bytes exceeds the 24 bytes left\n"},
        // 2 lats and 3 lons fit; then the data do not
        {Fixed{}, {0, 0, 0, 0, 1}, six_reals,
         "ov_read: data of 24 bytes exceeds the 4 bytes left\n"},
        {vec, {0, 0, 0, 0, 0}, six_reals,
         "ov_read: vdata of 24 bytes exceeds the 0 bytes left\n"},
    };
    for (size_t i = 0; i < cases.size(); i++) {
        const Case &c = cases[i];
        std::string err;
        Record r = read_image(hostile(c.f, c.tail, c.rest), &err);
        EXPECT_FALSE(r) << "case " << i;
        EXPECT_EQ(err, c.err) << "case " << i;
    }
}

TEST(OvReader, TruncatedFixedHeaderIsRefused)
{
    std::string err;
    EXPECT_FALSE(read_image(image(Fixed{}, {}, ""), &err));   // 96 of 136 bytes
    EXPECT_EQ(err, "ov_read: header read failed\n");
}

TEST(OvReader, SkippingAlsoChecksTheFile)
{
    std::string err;
    Fixed f;
    EXPECT_FALSE(read_image(hostile(f, {0, 0, 0, 0, 0}, "short"), &err, 0));
    EXPECT_EQ(err, "ov_read: data of 24 bytes exceeds the 5 bytes left\n");
}

TEST(OvRecord, FreeReleasesDataCommentAndPrivateOnly)
{
    TempDir dir;
    std::string path = dir.file("a.ov");
    float d[2] = {1, 2};
    char title[] = "tt", comment[] = "c", priv[] = "p";
    Record h = fresh(OV_CONTOUR, 1, 2, d);
    h->title = title, h->comment = comment, h->private_data = priv, h->private_length = 1;
    int fd = ov_create(path.c_str());
    ov_write(fd, h.get());
    ov_close(fd);
    h->data = nullptr;
    h->title = h->comment = h->private_data = nullptr;

    auto sets = read_all_sets(path, 1);
    ASSERT_EQ(sets.size(), 1u);
    OvHeader *r = sets[0].get();
    ov_free(r);
    EXPECT_EQ(r->data, nullptr);
    EXPECT_EQ(r->comment, nullptr);
    EXPECT_EQ(r->private_data, nullptr);
    EXPECT_STREQ(r->title, "tt");
}

TEST(OvRecord, DupCopiesTextsAndSharesData)
{
    float d[2] = {1, 2}, lats[1] = {5}, lons[2] = {1, 2};
    char title[] = "title", priv[] = {'x', 'y'};
    OvHeader src{};
    src.type = OV_CONTOUR, src.num_rows = 1, src.num_columns = 2, src.data = d;
    src.title = title, src.private_data = priv, src.private_length = 2;
    src.grid_type = IRREGULAR, src.lats = lats, src.lons = lons;
    OvHeader *copy = ov_dup_header(&src, nullptr);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->title, title);
    EXPECT_STREQ(copy->title, "title");
    EXPECT_EQ(std::string(copy->private_data, 2), "xy");
    EXPECT_NE(copy->lats, lats);
    EXPECT_EQ(copy->lons[1], 2);
    EXPECT_EQ(copy->data, d);
    copy->data = nullptr;
    ov_destroy(copy);

    src.lats = nullptr;  // no lat/lon arrays are copied then
    OvHeader dst{};
    ASSERT_EQ(ov_dup_header(&src, &dst), &dst);
    EXPECT_EQ(dst.lats, nullptr);
    EXPECT_EQ(dst.lons, nullptr);
    std::free(dst.title);
    std::free(dst.private_data);
}

TEST(OvRecord, NullTerminateDropsTrailingBlanks)
{
    char a[5] = {'a', 'b', ' ', ' ', 'z'};
    ov_null_terminate(a, 4);
    EXPECT_STREQ(a, "ab");
    char b[5] = {'a', 'b', 'c', 'd', 'z'};
    ov_null_terminate(b, 4);
    EXPECT_STREQ(b, "abcd");
    char c[4] = {' ', ' ', ' ', 'z'};
    ov_null_terminate(c, 3);
    EXPECT_STREQ(c, "");
    // A negative length is no text: nothing is written, before the buffer
    // or in it.
    char d[4] = {'x', 'y', 'z', '\0'};
    ov_null_terminate(d + 1, -1);
    EXPECT_STREQ(d, "xyz");
}

// One write of a whole data set holds the bytes of ov_create and ov_write,
// and a failed write is named after the part it met.
TEST(OvWriter, WholeDataSetInOneWrite)
{
    TempDir dir;
    float data[6] = {1, 2, 3, 4, 5, -1.5f}, vdata[6] = {6, 5, 4, 3, 2, 1}, lats[2] = {10, 20},
          lons[3] = {1, 2, 3};
    char title[] = "abc", units[] = "K", priv[] = {'\x01', '\0', '\x02'};
    ov_image buffer;
    for (auto [type, irregular] : {std::pair{OV_CONTOUR, false}, {OV_VECTOR, false},
                                   {OV_CONTOUR, true}}) {
        Record h = fresh(type, 2, 3, data, type == OV_VECTOR ? vdata : nullptr);
        h->title = title, h->units = units, h->private_data = priv, h->private_length = 3;
        if (irregular)
            h->grid_type = IRREGULAR, h->lats = lats, h->lons = lons;
        int fd = ov_create(dir.file("parts").c_str());
        ASSERT_EQ(ov_write(fd, h.get()), 0);
        ov_close(fd);
        fd = ::open(dir.file("whole").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_EQ(ov_write_whole(fd, h.get(), true, buffer), 0);
        ASSERT_EQ(ov_write_whole(fd, h.get(), false, buffer), 0);
        ::close(fd);
        std::string parts = read_file(dir.file("parts"));
        EXPECT_EQ(read_file(dir.file("whole")), parts + parts.substr(6)) << type;
        for (bool magic : {true, false}) {
            fd = ::open("/dev/full", O_WRONLY);
            testing::internal::CaptureStderr();
            EXPECT_EQ(ov_write_whole(fd, h.get(), magic, buffer), -1);
            EXPECT_EQ(testing::internal::GetCapturedStderr(),
                      std::string(magic ? "ov_create write" : "ov_write header") +
                          ": No space left on device\n");
            ::close(fd);
        }
        h->data = h->vdata = h->lats = h->lons = nullptr;
        h->title = h->units = h->private_data = nullptr;
    }
}

// A write cut short (a file size limit) is named after the part it stopped
// in: magic, fixed header, then data and vdata of 4 x 6 bytes each.
TEST(OvWrite, ImageNamesThePartAWriteStoppedIn)
{
    TempDir dir;
    float u[6] = {1, 2, 3, 4, 5, 6};
    Record h = fresh(OV_VECTOR, 2, 3, u, u);
    ov_image image;
    ASSERT_EQ(ov_build_image(h.get(), true, image), 0);
    h->data = h->vdata = nullptr;   // the record's to free otherwise
    const std::size_t head = std::size_t{OV_MAGIC_SIZE} + OV_FIXED_HEADER_SIZE;
    ASSERT_EQ(image.bytes.size(), head + 48);
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto prior = std::signal(SIGXFSZ, SIG_IGN);
    const std::pair<std::size_t, const char *> cases[] = {
        {0, "ov_create write"}, {OV_MAGIC_SIZE - 1, "ov_create write"},
        {OV_MAGIC_SIZE, "ov_write header"}, {head - 1, "ov_write header"},
        {head, "ov_write data"}, {head + 23, "ov_write data"}, {head + 24, "ov_write vdata"}};
    for (auto [limit, label] : cases) {
        struct rlimit cut = old;
        cut.rlim_cur = limit;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &cut), 0);
        int fd = ::open(dir.file("cut").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const char *failed = ov_put_image(fd, image);
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::close(fd);
        EXPECT_STREQ(failed, label) << limit;
    }
    std::signal(SIGXFSZ, prior);
    int fd = ::open(dir.file("whole").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_EQ(ov_put_image(fd, image), nullptr);
    ::close(fd);
    EXPECT_EQ(read_file(dir.file("whole")).size(), image.bytes.size());
}
