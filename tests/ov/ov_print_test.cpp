// Inspection: printed forms of headers and data, ranges, types and
// magnitudes of files.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include <gridpick/ov.h>
#include "process.h"

using gptest::TempDir;

namespace {

OvHeader grid(int type, int rows, int cols, float *data, float *vdata = nullptr)
{
    OvHeader h{};
    h.type = type, h.num_rows = rows, h.num_columns = cols;
    h.data = data, h.vdata = vdata;
    h.bad_value = -999;
    return h;
}

template <typename F>
std::string out_of(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

std::string write_sets(const TempDir &dir, std::initializer_list<OvHeader> sets)
{
    std::string path = dir.file("a.ov");
    int fd = ov_create(path.c_str());
    for (OvHeader h : sets)
        EXPECT_EQ(ov_write(fd, &h), 0);
    ov_close(fd);
    return path;
}

}  // namespace

TEST(OvPrint, HeaderWithTitleAndUnits)
{
    char title[] = "abc", units[] = "K";
    OvHeader h{};
    h.title = title, h.title_length = 3, h.units = units, h.units_length = 1;
    h.param = 130, h.header_size = 140, h.id = 1001, h.version = 2;
    h.year = 1979, h.month = 6, h.day = 15, h.time = 12, h.type = OV_CONTOUR;
    h.level = 500, h.min = -1.5f, h.max = 2.25f, h.bad_value = -999;
    h.start_lat = 90, h.end_lat = -90, h.start_lon = 0, h.end_lon = 360;
    h.lat_increment = 2.5f, h.lon_increment = 2.5f, h.num_rows = 73, h.num_columns = 144;
    EXPECT_EQ(out_of([&] { ov_print_hdr(&h); }),
              "\ntitle[3]: \tabc\nunits: \tK\tparam: 130\n"
              "Header Size: 140\tid: 1001\tversion: 2\t\n"
              "date: 6/15/1979\ttime: 12\t\n"
              "term: 0\t\n"
              "type: OV_CONTOUR\t\n"
              "level: 500mb\n"
              "min: -1.5\tmax: 2.25\tbad value: -999\n"
              "start_lat: 90\tstart_lon: 0\n"
              "end_lat: -90\tend_lon: 360\n"
              "longitude increment: 2.5 degrees\t\n"
              "latitude increment:  2.5 degrees\n"
              "num_rows: 73\tnum_columns: 144\t\n"
              "size of private data: 0 bytes\n"
              "grid type: REGULAR\t\n");
}

TEST(OvPrint, IrregularHeaderWithCommentAndDescription)
{
    char comment[] = "hi", desc[] = "wind speed";
    float lats[2] = {10, 20}, lons[3] = {0, 5, 15.25f};
    OvHeader h{};
    h.comment = comment, h.comment_length = 2, h.param_desc = desc;
    h.type = 9, h.increment_type = KILOMETERS, h.lat_increment = 100;
    h.lon_increment = 50, h.num_rows = 2, h.num_columns = 3, h.private_length = 12;
    h.grid_type = IRREGULAR, h.lats = lats, h.lons = lons;
    EXPECT_EQ(out_of([&] { ov_print_hdr(&h); }),
              "\ndescription: \twind speed\tparam: 0\n"
              "Header Size: 0\tid: 0\tversion: 0\t\n"
              "date: 0/0/0\ttime: 0\t\n"
              "term: 0\t\n"  // no type line for type 9
              "level: 0mb\n"
              "min: 0\tmax: 0\tbad value: 0\n"
              "start_lat: 0\tstart_lon: 0\n"
              "end_lat: 0\tend_lon: 0\n"
              "longitude increment: 50 km\t\n"
              "latitude increment:  100 km\n"
              "num_rows: 2\tnum_columns: 3\t\n"
              "size of private data: 12 bytes\n"
              "comment[2]: hi\n"
              "grid type: IRREGULAR\t\n"
              "lats:\n"
              "   10.000\t   20.000\t\n"
              "\n"
              "lons:\n"
              "    0.000\t    5.000\t   15.250\t\n"
              "\n");
}

TEST(OvPrint, FloatArrayBreaksEveryPerLine)
{
    float v[4] = {1, 2, 3, -4.5f};
    EXPECT_EQ(out_of([&] { ov_print_float_array(v, 4, 2); }),
              "    1.000\t    2.000\t\n    3.000\t   -4.500\t\n\n");
}

TEST(OvPrint, DataCountRunsOnAcrossRows)
{
    float d[20], v[20];
    for (int i = 0; i < 20; i++)
        d[i] = static_cast<float>(i), v[i] = static_cast<float>(-i);
    OvHeader h = grid(OV_VECTOR, 2, 10, d, v);
    std::string want = "data:\nscan #0:\n"
                       "  0.000\t  1.000\t  2.000\t  3.000\t  4.000\t  5.000\t  6.000\t  7.000\t\n"
                       "  8.000\t  9.000\tscan #1:\n"
                       " 10.000\t 11.000\t 12.000\t 13.000\t 14.000\t 15.000\t\n"
                       " 16.000\t 17.000\t 18.000\t 19.000\t"
                       "vdata:\nscan #0:\n"
                       "  0.000\t -1.000\t -2.000\t -3.000\t\n"
                       " -4.000\t -5.000\t -6.000\t -7.000\t -8.000\t -9.000\tscan #1:\n"
                       "-10.000\t-11.000\t\n"
                       "-12.000\t-13.000\t-14.000\t-15.000\t-16.000\t-17.000\t-18.000\t-19.000\t\n";
    EXPECT_EQ(out_of([&] { ov_print_data(&h, 0, 0, 0); }), want);
}

TEST(OvPrint, DataOfAnOutlineIsOneValueARow)
{
    float x[3] = {1, 2, 3}, y[3] = {4, 5, 6};
    OvHeader h = grid(OV_OUTLINE, 3, 50, x, y);  // num_columns means nothing here
    EXPECT_EQ(out_of([&] { ov_print_data(&h, 0, 0, 0); }),
              "data:\nscan #0:\n  1.000\t\nscan #1:\n  2.000\t\nscan #2:\n  3.000\t\n"
              "vdata:\nscan #0:\n  4.000\tscan #1:\n  5.000\tscan #2:\n  6.000\t");
}

TEST(OvPrint, SomeRowsWithPositions)
{
    float d[6] = {1, 2, 3, 4, 5, 6};
    OvHeader h = grid(OV_CONTOUR, 2, 3, d);
    h.start_lat = 10, h.end_lat = 0, h.lat_increment = 5;
    h.start_lon = 100, h.end_lon = 110, h.lon_increment = 5;
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 0, 1, 1); }),
              "data:\nrow #0:\n"
              "  1.000 [ 10.000, 100.000]\t  2.000 [ 10.000, 105.000]\t"
              "  3.000 [ 10.000, 110.000]\t\n"
              "row #1:\n"
              "  4.000 [  5.000, 100.000]\t  5.000 [  5.000, 105.000]\t"
              "  6.000 [  5.000, 110.000]\t\n");
    // Signed increments (as imported from netCDF) give the same positions,
    // and rows outside the grid are passed over.
    h.lat_increment = -5;
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 1, 7, 1); }),
              "data:\nrow #1:\n"
              "  4.000 [  5.000, 100.000]\t  5.000 [  5.000, 105.000]\t"
              "  6.000 [  5.000, 110.000]\t\n");
}

TEST(OvPrint, SomeRowsOfAVectorIrregularGrid)
{
    float u[3] = {1, 2, 5}, v[3] = {3, 4, 6}, lats[1] = {-33}, lons[3] = {7, 9, 11};
    OvHeader h = grid(OV_VECTOR, 1, 3, u, v);
    h.grid_type = IRREGULAR, h.lats = lats, h.lons = lons;
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 0, 0, 0); }),
              "data:\nrow #0:\n  1.000  3.000\t  2.000  4.000\t  5.000  6.000\t\n");
    // Two values a line with positions; the count runs on past the row.
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 0, 0, 1); }),
              "data:\nrow #0:\n  1.000  3.000 [-33.000,   7.000]\t"
              "  2.000  4.000 [-33.000,   9.000]\t\n"
              "  5.000  6.000 [-33.000,  11.000]\t");
}

TEST(OvPrint, SomePointsOfTheUngriddedTypes)
{
    float uv[8] = {50, 10, 1, 2, 51, 11, 3, 4};
    OvHeader h = grid(OV_UNGRIDDED_VECTOR, 2, 0, uv);
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 1, 1, 1); }),
              "  3.000   4.000 [ 51.000,  11.000]\n");
    float s[6] = {50, 10, 7, 51, 11, 8};
    h = grid(OV_UNGRIDDED_SCALAR, 2, 0, s);
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 0, 1, 0); }), "  7.000\n  8.000\n");
    float x[2] = {1, 2}, y[2] = {-1, -2};
    h = grid(OV_OUTLINE, 2, 0, x, y);
    EXPECT_EQ(out_of([&] { ov_print_some_data(&h, 0, 1, 1); }),
              "  1.000,  -1.000\n  2.000,  -2.000\n");
}

TEST(OvRange, SkipsBadValuesOnGridsOnly)
{
    float d[4] = {-999, 3, -999, -2}, v[4] = {8, -999, -999, -999};
    OvHeader h = grid(OV_VECTOR, 2, 2, d, v);
    float min, max;
    ov_compute_data_range(&h, &min, &max);
    EXPECT_EQ(min, -2);
    EXPECT_EQ(max, 8);

    float bad[2] = {-999, -999};
    h = grid(OV_CONTOUR, 1, 2, bad);
    ov_compute_data_range(&h, &min, &max);
    EXPECT_EQ(min, 1e12f);
    EXPECT_EQ(max, -1e12f);

    float rec[6] = {1, 2, -999, 3, 4, 5};  // lat, lon, value: not tested for bad
    h = grid(OV_UNGRIDDED_SCALAR, 2, 0, rec);
    ov_compute_data_range(&h, &min, &max);
    EXPECT_EQ(min, -999);
    EXPECT_EQ(max, 5);

    float x[2] = {4, -999}, y[2] = {-999, -6};
    h = grid(OV_OUTLINE, 2, 0, x, y);
    ov_compute_data_range(&h, &min, &max);
    EXPECT_EQ(min, -6);
    EXPECT_EQ(max, 4);
}

TEST(OvRange, OfTheFirstDataSetInAFile)
{
    TempDir dir;
    float a[2] = {5, -7}, b[3] = {100, 200, 300};
    OvHeader first = grid(OV_CONTOUR, 1, 2, a);
    first.min = -1, first.max = 1;
    OvHeader second = grid(OV_OUTLINE, 3, 1, b, b);
    std::string path = write_sets(dir, {first, second});
    float min = 0, max = 0;
    EXPECT_EQ(ov_get_range(path.c_str(), &min, &max), 0);
    EXPECT_EQ(min, -1);
    EXPECT_EQ(max, 1);
    EXPECT_EQ(ov_compute_range(path.c_str(), &min, &max), 0);
    EXPECT_EQ(min, -7);
    EXPECT_EQ(max, 5);
    EXPECT_EQ(ov_identify_type(path.c_str()), OV_CONTOUR);

    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_get_range(dir.file("none").c_str(), &min, &max), -1);
    EXPECT_EQ(ov_compute_range(dir.file("none").c_str(), &min, &max), -1);
    EXPECT_EQ(ov_identify_type(dir.file("none").c_str()), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ov_get_range: ov_open failed\nov_compute_range: ov_open failed\n");
}

TEST(OvRange, MaxMagnitudeOfOvFiles)
{
    TempDir dir;
    float u[3] = {3, 1, -999}, v[3] = {-4, 2, 100};
    std::string path = write_sets(dir, {grid(OV_VECTOR, 1, 3, u, v)});
    EXPECT_FLOAT_EQ(ov_max_magnitude(path.c_str(), 0, 0), 5.0f);

    float d[3] = {-999, 2.5f, 1};
    path = write_sets(dir, {grid(OV_CONTOUR, 1, 3, d)});
    EXPECT_FLOAT_EQ(ov_max_magnitude(path.c_str(), 0, 0), 2.5f);

    float rec[8] = {0, 0, 6, 8, 1, 1, 1, 1};
    path = write_sets(dir, {grid(OV_UNGRIDDED_VECTOR, 2, 0, rec)});
    EXPECT_FLOAT_EQ(ov_max_magnitude(path.c_str(), 0, 0), 10.0f);

    float x[1] = {1};
    path = write_sets(dir, {grid(OV_OUTLINE, 1, 0, x, x)});
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_max_magnitude(path.c_str(), 0, 0), -1.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: cannot take magnitude of file type '3'\n");
}

TEST(OvRange, MaxMagnitudeFailures)
{
    TempDir dir;
    gptest::write_file(dir.file("text"), "just some text\n");
    gptest::write_file(dir.file("almost"), "OV90ax");  // known magic, bad sixth byte
    EXPECT_EQ(ov_max_magnitude(dir.file("text").c_str(), 0, 0), -1.0f);
    EXPECT_EQ(ov_max_magnitude(dir.file("missing").c_str(), 0, 0), -1.0f);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ov_max_magnitude(dir.file("almost").c_str(), 0, 0), 10.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ov_max_magnitude: ov_open failed\n");
}
