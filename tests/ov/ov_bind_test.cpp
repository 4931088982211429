// By-reference bindings, called as a Fortran caller would: blank-padded
// fields with their lengths last, column-major arrays.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <gridpick/ov.h>
#include "process.h"

using gptest::TempDir;

namespace {

// A header area as a Fortran caller holds it: plain words.
struct Area {
    alignas(8) unsigned char bytes[OV_HEADER_AREA_SIZE];
    OvHeader &hdr() { return *reinterpret_cast<OvHeader *>(bytes); }
};

std::string padded(const std::string &text, size_t len)
{
    return text + std::string(len - text.size(), ' ');
}

}  // namespace

TEST(OvBind, TransposeAndBack)
{
    const float src[6] = {1, 2, 3, 4, 5, 6};
    float dst[6] = {0, 0, 0, 0, 0, 0};
    transpose_data(dst, src, 2, 3, 6);
    EXPECT_EQ(std::vector<float>(dst, dst + 6), (std::vector<float>{1, 4, 2, 5, 3, 6}));
    float part[6] = {-1, -1, -1, -1, -1, -1};
    transpose_data(part, src, 2, 3, 4);
    EXPECT_EQ(std::vector<float>(part, part + 6), (std::vector<float>{1, 4, 2, -1, 3, -1}));
    transpose_data(part, src, 2, 3, 0);  // nothing
    EXPECT_EQ(part[3], -1);

    float back[6] = {};
    untranspose_data(back, dst, 2, 3, 6);
    EXPECT_EQ(std::vector<float>(back, back + 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    float some[6] = {-1, -1, -1, -1, -1, -1};
    untranspose_data(some, dst, 2, 3, 3);  // columns 0 and half of 1
    EXPECT_EQ(std::vector<float>(some, some + 6), (std::vector<float>{1, 2, -1, 4, -1, -1}));
}

TEST(OvBind, CreateAndOpenDropTrailingBlanks)
{
    TempDir dir;
    std::string name = dir.file("nine.char");
    std::string field = padded(name, name.size() + 11);
    int fd = -5;
    ov_create_(field.data(), &fd, static_cast<long>(field.size()));
    ASSERT_GE(fd, 0);
    ov_close_(&fd);
    EXPECT_EQ(gptest::read_file(name), std::string("OV90a\0", 6));
    int mode = 2;
    ov_open_(field.data(), &fd, &mode, static_cast<long>(field.size()));
    ASSERT_GE(fd, 0);
    ov_close_(&fd);
    // Only the given length counts: a shorter one names another file.
    ov_open_(field.data(), &fd, &mode, static_cast<long>(name.size() - 1));
    EXPECT_EQ(fd, -1);
}

TEST(OvBind, WriteTakesFieldsLessTheirLastCharacter)
{
    TempDir dir;
    std::string path = dir.file("w.ov");
    int fd = ov_create(path.c_str());
    Area area{};
    OvHeader &h = area.hdr();
    h.type = OV_CONTOUR, h.num_rows = 1, h.num_columns = 2, h.private_length = 2;
    h.grid_type = IRREGULAR;  // ov_write_ writes a regular grid whatever the area says
    float data[2] = {7, 8};
    static const char title[] = "abc     ";  // read-only: must not be written to
    static const char units[] = "x";
    const char priv[2] = {'p', 'q'};
    ASSERT_EQ(ov_write_(&fd, area.bytes, "", title, units, nullptr, priv, data, nullptr, 0, 8, 1,
                        0),
              0);
    ov_close(fd);
    EXPECT_EQ(h.title_length, 0);  // the area is left alone

    fd = ov_open(path.c_str(), 0);
    OvHeader *r = ov_read(fd, 1);
    ov_close(fd);
    ASSERT_TRUE(r);
    EXPECT_STREQ(r->title, "abc    ");  // three letters, four blanks
    EXPECT_EQ(r->units, nullptr);       // a field of one character holds no text
    EXPECT_EQ(r->comment, nullptr);
    EXPECT_EQ(r->grid_type, REGULAR);
    EXPECT_EQ(std::string(r->private_data, 2), "pq");
    EXPECT_EQ(r->data[1], 8);
    ov_destroy(r);
}

TEST(OvBind, ReadCopiesBoundedTextsAndTransposes)
{
    TempDir dir;
    std::string path = dir.file("r.ov");
    std::string comment = "twenty-five characters!!!";
    ASSERT_EQ(comment.size(), 25u);
    float u[6] = {1, 2, 3, 4, 5, 6}, v[6] = {-1, -2, -3, -4, -5, -6};
    float lats[2] = {1.5f, 2.5f}, lons[3] = {10, 20, 30};
    OvHeader w{};
    w.type = OV_VECTOR, w.num_rows = 2, w.num_columns = 3, w.data = u, w.vdata = v;
    w.comment = comment.data(), w.title = const_cast<char *>("Title");
    w.grid_type = IRREGULAR, w.lats = lats, w.lons = lons;
    int fd = ov_create(path.c_str());
    ASSERT_EQ(ov_write(fd, &w), 0);
    ov_close(fd);

    fd = ov_open(path.c_str(), 0);
    Area area;
    std::memset(area.bytes, 0x55, sizeof area.bytes);
    char cfield[12], tfield[8], ufield[4] = {'#', '#', '#', '#'}, dfield[4];
    std::memset(cfield, '#', sizeof cfield);
    std::memset(tfield, '#', sizeof tfield);
    float data[6] = {}, vdata[5] = {-9, -9, -9, -9, -9}, glats[2], glons[3];
    int clen = 10, tlen = 8, ulen = 4, dlen = 4, data_len = 6, vdata_len = 4, want = 1;
    int unused1 = 0, unused2 = 0;
    ov_read_(&fd, area.bytes, &clen, cfield, &tlen, tfield, &ulen, ufield, &dlen, dfield,
             &unused1, &unused2, &data_len, data, &vdata_len, vdata, &want, glats, glons, 12,
             8, 4, 4);
    ov_close(fd);
    OvHeader &h = area.hdr();
    EXPECT_EQ(std::string(cfield, 12), "twenty-fiv##");  // 10 copied, no terminator
    EXPECT_EQ(std::string(tfield, 8), "Title###");
    EXPECT_EQ(h.comment, cfield);
    EXPECT_EQ(h.comment_length, 10);
    EXPECT_EQ(h.title, tfield);
    EXPECT_EQ(h.title_length, 5);
    EXPECT_EQ(h.units, nullptr);  // the data set has none
    EXPECT_EQ(ufield[0], '#');
    EXPECT_EQ(h.private_data, nullptr);
    EXPECT_EQ(std::vector<float>(data, data + 6), (std::vector<float>{1, 4, 2, 5, 3, 6}));
    // Four of the six: the leading part of the column-major grid, nothing
    // stored beyond it.
    EXPECT_EQ(std::vector<float>(vdata, vdata + 5), (std::vector<float>{-1, -4, -2, -5, -9}));
    EXPECT_EQ(h.data, data);
    EXPECT_EQ(h.vdata, vdata);
    EXPECT_EQ(std::vector<float>(glats, glats + 2), std::vector<float>(lats, lats + 2));
    EXPECT_EQ(glons[2], 30);
    EXPECT_EQ(h.num_columns, 3);

    testing::internal::CaptureStdout();
    ov_print_hdr_(area.bytes);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.substr(0, out.find("\tparam")), "\ntitle[5]: \tTitle");
    EXPECT_NE(out.find("\ncomment[0]: twenty-fiv\n"), std::string::npos) << out;
    EXPECT_EQ(h.comment_length, 10);

    ov_free_(area.bytes);  // nothing of the caller's is freed
    EXPECT_EQ(h.data, nullptr);
    EXPECT_EQ(h.comment, nullptr);
    EXPECT_EQ(data[0], 1);
}

TEST(OvBind, FailedReadLeavesOutputsAlone)
{
    TempDir dir;
    std::string path = dir.file("empty.ov");
    int fd = ov_create(path.c_str());
    ov_close(fd);
    fd = ov_open(path.c_str(), 0);
    Area area;
    std::memset(area.bytes, 0x55, sizeof area.bytes);
    int zero = 0, want = 1;
    float data[1] = {3};
    testing::internal::CaptureStderr();
    ov_read_(&fd, area.bytes, &zero, nullptr, &zero, nullptr, &zero, nullptr, &zero, nullptr,
             nullptr, nullptr, &zero, data, &zero, nullptr, &want, nullptr, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ov_read: header read failed\nov_read_: read failed\n");
    ov_close(fd);
    EXPECT_EQ(area.bytes[0], 0x55);
    EXPECT_EQ(area.bytes[OV_HEADER_AREA_SIZE - 1], 0x55);
    EXPECT_EQ(data[0], 3);
}

TEST(OvBind, WriteIrregularRoundTrip)
{
    TempDir dir;
    std::string path = dir.file("i.ov");
    int fd = ov_create(path.c_str());
    Area area{};
    area.hdr().type = OV_OUTLINE, area.hdr().num_rows = 3, area.hdr().num_columns = 1;
    float x[3] = {1, 2, 3}, y[3] = {4, 5, 6}, lats[3] = {0, 1, 2}, lons[1] = {9};
    ASSERT_EQ(ov_write_irregular_(&fd, area.bytes, "outline ", nullptr, nullptr, nullptr,
                                  nullptr, x, y, lats, lons, 8, 0, 0, 0),
              0);
    ov_close(fd);
    fd = ov_open(path.c_str(), 0);
    OvHeader *r = ov_read(fd, 1);
    ov_close(fd);
    ASSERT_TRUE(r);
    EXPECT_STREQ(r->comment, "outline");
    EXPECT_EQ(r->grid_type, IRREGULAR);
    EXPECT_EQ(r->lats[2], 2);
    EXPECT_EQ(r->lons[0], 9);
    EXPECT_EQ(r->vdata[2], 6);
    ov_destroy(r);
}

TEST(OvBind, WriteRefusesCountsThatCannotBeSized)
{
    Area area{};
    area.hdr().type = OV_CONTOUR, area.hdr().num_rows = -1, area.hdr().num_columns = 5;
    float data[1] = {};
    int fd = -1;  // never reached
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_write_(&fd, area.bytes, nullptr, nullptr, nullptr, nullptr, nullptr, data,
                        nullptr, 0, 0, 0, 0),
              -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ov_write: malloc failed\n");
}

TEST(OvBind, ReadOfAnOutlineCopiesAtMostItsPoints)
{
    TempDir dir;
    std::string path = dir.file("o.ov");
    float x[3] = {1, 2, 3}, y[3] = {4, 5, 6}, axis[99] = {}, caller[99] = {-9};
    OvHeader w{};
    w.type = OV_OUTLINE, w.num_rows = 3, w.num_columns = 99, w.data = x, w.vdata = y;
    w.grid_type = 2, w.lats = w.lons = axis;  // written, and read past, as irregular
    int fd = ov_create(path.c_str());
    ASSERT_EQ(ov_write(fd, &w), 0);
    ASSERT_EQ(ov_write(fd, &w), 0);
    ov_close(fd);

    fd = ov_open(path.c_str(), 0);
    Area area;
    int zero = 0, want = 1, two = 2, ten = 10, negative = -1;
    float data[4] = {-9, -9, -9, -9}, vdata[4] = {-9, -9, -9, -9};
    ov_read_(&fd, area.bytes, &zero, nullptr, &zero, nullptr, &zero, nullptr, &zero, nullptr,
             nullptr, nullptr, &two, data, &ten, vdata, &want, caller, caller, 0, 0, 0, 0);
    EXPECT_EQ(caller[0], -9);  // only an IRREGULAR grid fills them
    EXPECT_EQ(std::vector<float>(data, data + 4), (std::vector<float>{1, 2, -9, -9}));
    EXPECT_EQ(std::vector<float>(vdata, vdata + 4), (std::vector<float>{4, 5, 6, -9}));
    // A negative length stores nothing.
    float none[1] = {-9};
    ov_read_(&fd, area.bytes, &zero, nullptr, &zero, nullptr, &zero, nullptr, &zero, nullptr,
             nullptr, nullptr, &negative, none, &zero, nullptr, &want, nullptr, nullptr, 0, 0,
             0, 0);
    ov_close(fd);
    EXPECT_EQ(none[0], -9);
    EXPECT_EQ(area.hdr().num_rows, 3);
}
