// Run under a 1 GiB address-space limit (see CMakeLists.txt): large and
// hostile inputs give a result or a failure value, never an abort or crash.
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ov_bytes.h"
#include <gridpick/ov_cdf.h>
#include "ov_sets.h"
#include "process.h"
#include <gridpick/util.h>

using gptest::TempDir;

constexpr int n = 12800;  // a grid of 625 MiB fits under the limit, a copy beside it does not
constexpr std::size_t n2 = std::size_t{n} * n;

// 2^26 dimensions, or variables, declared in a tiny file: handed such a
// header the netCDF library runs out of memory in its parser and crashes
// (first, on a heap that no large case has shaped yet).
TEST(MemoryLimit, HostileClassicHeadersNeverReachTheLibrary)
{
    TempDir dir;
    std::string path = dir.file("h.nc"), absent(8, '\0');
    for (std::string lists : {std::string("\0\0\0\x0a\4\0\0\0", 8),
                              absent + absent + std::string("\0\0\0\x0b\4\0\0\0", 8)}) {
        gptest::write_file(path, std::string("CDF\1\0\0\0\0", 8) + lists + std::string(68, '\0'));
        EXPECT_EQ(identify_datafile(path.c_str()), DATAFILE_UNKNOWN);
        EXPECT_FALSE(cdf_to_ov(path.c_str(), 0, 0));
    }
}

TEST(MemoryLimit, WritingAFieldNeedsNoCopyOfIt)
{
    auto data = std::make_unique_for_overwrite<float[]>(n2);  // pages never touched
    OvHeader h{};
    h.type = OV_CONTOUR, h.num_rows = h.num_columns = n, h.data = data.get();
    EXPECT_EQ(ov_write(open("/dev/null", O_WRONLY), &h), 0);
}

TEST(MemoryLimit, ReadingIntoAShortArrayNeedsNoCopyOfTheGrid)
{
    TempDir dir;
    ovtest::Fixed f;
    f.num_rows = f.num_columns = n;
    ovtest::Bytes b;
    f.put(b.magic());
    gptest::write_file(dir.file("big.ov"), b.s + std::string(40, '\0'));
    int fd = open(dir.file("big.ov").c_str(), O_WRONLY), zero = 0, three = 3, want = 1;
    for (int r = 1; r < 3; r++)  // rows 1 and 2 start with 1 and 2: a sparse file
        ASSERT_EQ(pwrite(fd, "\x3f\x80\0\0\x40\0\0\0" + 4 * (r - 1), 4, 142 + 4L * r * n), 4);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(142 + 4 * n2)), 0);
    close(fd);
    fd = ov_open(dir.file("big.ov").c_str(), 0);
    alignas(8) unsigned char area[OV_HEADER_AREA_SIZE];
    float got[4] = {-9, -9, -9, -9};
    ov_read_(&fd, area, &zero, nullptr, &zero, nullptr, &zero, nullptr, &zero, nullptr, nullptr,
             nullptr, &three, got, &zero, nullptr, &want, nullptr, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(std::vector<float>(got, got + 4), (std::vector<float>{0, 1, 2, -9}));
}

// A grid of 2 x 3 whose lat coordinate is declared over 2^27 values.
TEST(MemoryLimit, CoordinatesOfAnyDeclaredLengthAreReadValueByValue)
{
    TempDir dir;
    std::string nc = dir.file("x.nc"), cdl = dir.file("x.cdl");
    gptest::write_file(cdl, "netcdf x {\ndimensions:\n frtime = 1 ; level = 1 ; lat = 2 ; lon = 3 ;"
                            " x = 2 ;\nvariables:\n float t(frtime, level, lat, lon) ; float "
                            "lon(lon) ; float level(level) ; float lat(x) ;\ndata:\n t = 1, 2, 3,"
                            " 4, 5, 6 ; lon = 0, 90, 180 ; level = 5 ; lat = 10, 20 ;\n}\n");
    ASSERT_EQ(gptest::run(OV_NCGEN, {"-o", nc, cdl}).status, 0);
    std::string bytes = gptest::read_file(nc);  // x's length becomes 2^27
    bytes.replace(bytes.find(std::string("\0\0\0\1x\0\0\0", 8)) + 8, 4, std::string("\x08\0\0\0", 4));
    gptest::write_file(nc, bytes);
    gptest::record h(cdf_to_ov(nc.c_str(), 0, 0));
    ASSERT_TRUE(h);
    EXPECT_EQ(std::vector<float>({h->data[5], h->start_lat, h->end_lat, h->lat_increment}),
              std::vector<float>({6, 10, 20, 10}));
}
