// Large and hostile inputs under an address-space limit, each in a child
// process: the library must return its failure value (or its result), never
// abort or crash, and must not need a copy of a field it already holds.
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cdf_bytes.h"
#include "ov_bytes.h"
#include "ov_cdf.h"
#include "process.h"
#include "util.h"

using gptest::run_limited;
using gptest::TempDir;

namespace {

class MemoryLimit : public testing::Test {
protected:
    void SetUp() override
    {
        if (gptest::under_asan())
            GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
    }
};

// A 64 MiB grid, and room for it and half as much again.
constexpr int big_rows = 4096, big_columns = 4096;
constexpr std::size_t big_bytes = std::size_t{4} * big_rows * big_columns;
constexpr std::size_t room = big_bytes + big_bytes / 2;

}  // namespace

TEST_F(MemoryLimit, WritingAFieldNeedsNoCopyOfIt)
{
    int status = run_limited(room, [] {
        auto *data = static_cast<float *>(std::calloc(big_bytes / 4, 4));
        if (!data)
            return 2;
        OvHeader h{};
        h.type = OV_CONTOUR, h.num_rows = big_rows, h.num_columns = big_columns, h.data = data;
        int fd = open("/dev/null", O_WRONLY);
        bool ok = ov_write(fd, &h) == 0 && ov_write_(&fd, &h, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, data, nullptr, 0, 0, 0, 0) == 0;
        return ok ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

TEST_F(MemoryLimit, ReadingIntoAShortArrayNeedsNoCopyOfTheGrid)
{
    TempDir dir;
    std::string path = dir.file("big.ov");
    ovtest::Bytes b;
    ovtest::Fixed f;
    f.num_rows = big_rows, f.num_columns = big_columns;
    b.magic();
    f.put(b);
    for (int i = 0; i < 10; i++)
        b.i32(0);
    gptest::write_file(path, b.s);
    // A sparse file: the first value of rows 0 to 3 is its row number + 1,
    // the first four values of the column-major grid.
    int fd = open(path.c_str(), O_WRONLY);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(b.s.size() + big_bytes)), 0);
    for (int r = 0; r < 4; r++) {
        std::string v = ovtest::Bytes().f32(static_cast<float>(r + 1)).s;
        off_t at = static_cast<off_t>(b.s.size()) + off_t{4} * r * big_columns;
        ASSERT_EQ(pwrite(fd, v.data(), 4, at), 4);
    }
    close(fd);
    int status = run_limited(room, [&path] {
        int in = ov_open(path.c_str(), 0);
        alignas(8) unsigned char area[OV_HEADER_AREA_SIZE];
        float data[5] = {-9, -9, -9, -9, -9};
        int zero = 0, four = 4, want = 1;
        ov_read_(&in, area, &zero, nullptr, &zero, nullptr, &zero, nullptr, &zero, nullptr,
                 nullptr, nullptr, &four, data, &zero, nullptr, &want, nullptr, nullptr, 0, 0,
                 0, 0);
        const float expected[5] = {1, 2, 3, 4, -9};
        return std::memcmp(data, expected, sizeof data) == 0 ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

// Coordinates declared over a dimension of 2^24 values (the lat values
// held in the file, the levels beyond its end) for a grid of 2 x 3.
TEST_F(MemoryLimit, ImportReadsCoordinatesOfAnyDeclaredLength)
{
    using namespace cdftest;
    TempDir dir;
    std::string path = dir.file("long.nc");
    gptest::write_file(path, classic({{"frtime", 1}, {"level", 1}, {"lat", 2}, {"lon", 3},
                                      {"x", 1u << 24}},
                                     {{"lon", {3}, FLOAT, {0, 90, 180}},
                                      {"frtime", {0}, INT, {0}},
                                      {"t", {0, 1, 2, 3}, FLOAT, {1, 2, 3, 4, 5, 6}},
                                      {"lat", {4}, FLOAT, {10, 20}},
                                      {"level", {4}, FLOAT, {}}}));
    int status = run_limited(big_bytes, [&path] {
        OvHeader *h = cdf_to_ov(path.c_str(), 0, 0);
        if (!h)
            return 1;
        const float data[6] = {1, 2, 3, 4, 5, 6};
        bool ok = h->num_rows == 2 && h->num_columns == 3 &&
                  std::memcmp(h->data, data, sizeof data) == 0 && h->start_lat == 10 &&
                  h->end_lat == 20 && h->lat_increment == 10 && h->end_lon == 180 &&
                  h->lon_increment == 90 && std::strcmp(h->comment, "t () at 0 ") == 0;
        ov_destroy(h);
        return ok ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
}

// 2^26 dimensions declared in 84 bytes: the netCDF library, given it, runs
// out of memory in its header parser and crashes.
TEST_F(MemoryLimit, HostileClassicHeaderNeverReachesTheLibrary)
{
    using namespace cdftest;
    TempDir dir;
    std::string path = dir.file("dims.nc");
    gptest::write_file(path, Words().raw("CDF\x01").w(0).w(NC_DIMENSION).w(1u << 26)
                                 .raw(std::string(68, '\0')).s);
    int status = run_limited(std::size_t{1} << 30, [&path] {
        return identify_datafile(path.c_str()) == DATAFILE_UNKNOWN &&
                       cdf_to_ov(path.c_str(), 0, 0) == nullptr
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
}
