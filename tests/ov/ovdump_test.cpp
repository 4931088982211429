// ovdump on an ov file written by the library, on a netCDF file made by
// ncgen, and on files it cannot read.
#include <string>

#include <gtest/gtest.h>

#include <gridpick/ov.h>
#include "process.h"

using gptest::run;
using gptest::TempDir;

namespace {

std::string ovdump()
{
    return gptest::built("ovdump");
}

// Two data sets: a contour grid with texts and a missing value, and a
// one-row vector grid with nothing but its data.
std::string write_two_sets(const TempDir &dir)
{
    std::string path = dir.file("two.ov");
    int fd = ov_create(path.c_str());
    float d[4] = {1, 2, -999, 4};
    OvHeader *h = ov_create_hdr(OV_CONTOUR, 2, 2, d, nullptr);
    h->title = const_cast<char *>("T2");
    h->units = const_cast<char *>("K");
    h->level = 500, h->year = 1979, h->month = 6, h->day = 15, h->time = 12;
    h->bad_value = -999;
    h->start_lat = 10, h->end_lat = 7.5f, h->lat_increment = 2.5f;
    h->start_lon = 0, h->end_lon = 2.5f, h->lon_increment = 2.5f;
    EXPECT_EQ(ov_write(fd, h), 0);
    std::free(h);
    float u[2] = {3, -1}, v[2] = {4, 0};
    h = ov_create_hdr(OV_VECTOR, 1, 2, u, v);
    EXPECT_EQ(ov_write(fd, h), 0);
    std::free(h);
    ov_close(fd);
    return path;
}

}  // namespace

TEST(Ovdump, OvFileWithData)
{
    TempDir dir;
    std::string path = write_two_sets(dir);
    auto r = run(ovdump(), {"-d", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              path + ": data set 1\n"
              "\ntitle[2]: \tT2\nunits: \tK\tparam: 0\n"
              "Header Size: 139\tid: 999\tversion: 2\t\n"
              "date: 6/15/1979\ttime: 12\t\n"
              "term: 0\t\n"
              "type: OV_CONTOUR\t\n"
              "level: 500mb\n"
              "min: 0\tmax: 0\tbad value: -999\n"
              "start_lat: 10\tstart_lon: 0\n"
              "end_lat: 7.5\tend_lon: 2.5\n"
              "longitude increment: 2.5 degrees\t\n"
              "latitude increment:  2.5 degrees\n"
              "num_rows: 2\tnum_columns: 2\t\n"
              "size of private data: 0 bytes\n"
              "grid type: REGULAR\t\n"
              "range: 1 to 4\n"
              "data:\n"
              "row #0:\n"
              "  1.000 [ 10.000,   0.000]\t  2.000 [ 10.000,   2.500]\t\n"
              "row #1:\n"
              "-999.000 [  7.500,   0.000]\t  4.000 [  7.500,   2.500]\t\n" +
              path + ": data set 2\n"
              "\tparam: 0\n"
              "Header Size: 136\tid: 999\tversion: 2\t\n"
              "date: 0/0/0\ttime: 0\t\n"
              "term: 0\t\n"
              "type: OV_VECTOR\t\n"
              "level: 0mb\n"
              "min: 0\tmax: 0\tbad value: -999.999\n"
              "start_lat: 0\tstart_lon: 0\n"
              "end_lat: 0\tend_lon: 0\n"
              "longitude increment: 0 degrees\t\n"
              "latitude increment:  0 degrees\n"
              "num_rows: 1\tnum_columns: 2\t\n"
              "size of private data: 0 bytes\n"
              "grid type: REGULAR\t\n"
              "range: -1 to 4\n"
              "data:\n"
              "row #0:\n"
              "  3.000  4.000 [  0.000,   0.000]\t -1.000  0.000 [  0.000,   0.000]\t\n");
}

TEST(Ovdump, NetcdfFileAtAGivenLevelAndTime)
{
    TempDir dir;
    std::string path = dir.file("temp.nc");
    auto made = run(OV_NCGEN, {"-o", path, std::string(OV_CDL_DIR) + "/temp.cdl"});
    ASSERT_EQ(made.status, 0) << made.err;
    auto r = run(ovdump(), {"-d", "-l", "1", "-t", "1", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "get_cdf_dataset: Need to check lat/lons for regular grid\n");
    EXPECT_EQ(r.out,
              path + ": netCDF field at level index 1, time index 1\n"
              "\tparam: 0\n"
              "Header Size: 0\tid: 999\tversion: 0\t\n"
              "date: 1/1/1994\ttime: 6\t\n"
              "term: 0\t\n"
              "type: OV_CONTOUR\t\n"
              "level: 0mb\n"
              "min: 0\tmax: 0\tbad value: -54.53\n"
              "start_lat: 30\tstart_lon: 0\n"
              "end_lat: 10\tend_lon: 270\n"
              "longitude increment: 90 degrees\t\n"
              "latitude increment:  -10 degrees\n"
              "num_rows: 3\tnum_columns: 4\t\n"
              "size of private data: 0 bytes\n"
              "comment[30]: air temperature (K) at 850 hPa\n"
              "grid type: REGULAR\t\n"
              "range: 284.15 to 284.38\n"
              "data:\n"
              "row #0:\n"
              "284.150 [ 30.000,   0.000]\t284.160 [ 30.000,  90.000]\t"
              "284.170 [ 30.000, 180.000]\t284.180 [ 30.000, 270.000]\t\n"
              "row #1:\n"
              "284.250 [ 20.000,   0.000]\t284.260 [ 20.000,  90.000]\t"
              "284.270 [ 20.000, 180.000]\t284.280 [ 20.000, 270.000]\t\n"
              "row #2:\n"
              "284.350 [ 10.000,   0.000]\t284.360 [ 10.000,  90.000]\t"
              "284.370 [ 10.000, 180.000]\t284.380 [ 10.000, 270.000]\t\n");
}

TEST(Ovdump, UnreadableFilesGiveStatusOne)
{
    TempDir dir;
    gptest::write_file(dir.file("text"), "not a data file\n");
    std::string two = write_two_sets(dir);
    std::string cut = gptest::read_file(two);
    gptest::write_file(dir.file("cut.ov"), cut.substr(0, cut.size() - 3));

    auto r = run(ovdump(), {dir.file("text")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ovdump: " + dir.file("text") + ": neither an ov file nor a netCDF file\n");

    r = run(ovdump(), {dir.file("cut.ov")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(r.out.rfind("range")), "range: 1 to 4\n");  // the first set
    EXPECT_EQ(r.err, "ov_read: vdata of 8 bytes exceeds the 5 bytes left\n"
                     "ovdump: " + dir.file("cut.ov") + ": data set 2 unreadable\n");

    r = run(ovdump(), {"-x"});
    EXPECT_EQ(r.status, 2);
    r = run(ovdump(), {});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "usage: ovdump [-d] [-l level_index] [-t time_index] file...\n");
}
