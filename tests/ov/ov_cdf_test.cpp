// netCDF import and queries, on files made by ncgen from the CDL files kept
// next to this test.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <gridpick/ov_cdf.h>
#include <gridpick/util.h>
#include "ov_sets.h"
#include "process.h"

using gptest::TempDir;

namespace {

using Record = gptest::record;

// Makes dir/name.nc from the kept CDL file name.cdl.
std::string make_nc(const TempDir &dir, const std::string &name)
{
    std::string out = dir.file(name + ".nc");
    auto r = gptest::run(OV_NCGEN, {"-o", out, std::string(OV_CDL_DIR) + "/" + name + ".cdl"});
    EXPECT_EQ(r.status, 0) << r.err;
    return out;
}

// cdf_to_ov with its standard error in *err.
Record import(const std::string &path, int level, int time, std::string *err)
{
    testing::internal::CaptureStderr();
    Record r(cdf_to_ov(path.c_str(), level, time));
    *err = testing::internal::GetCapturedStderr();
    return r;
}

const std::string grid_note = "get_cdf_dataset: Need to check lat/lons for regular grid\n";
const std::string double_note =
    "Warning: get_cdf_data: converting double to float could trash data\n";

// The raw short values of temp.cdl: 1000 f + 100 l + 10 r + c, one fill.
float temp_value(int f, int l, int r, int c)
{
    if (f == 0 && l == 0 && r == 1 && c == 2)
        return -32768 * 0.01f + 273.15f;
    return static_cast<float>(1000 * f + 100 * l + 10 * r + c) * 0.01f + 273.15f;
}

}  // namespace

TEST(CdfImport, ShortVariableWithFillScaleAndOffset)
{
    TempDir dir;
    std::string err;
    Record h = import(make_nc(dir, "temp"), 0, 0, &err);
    ASSERT_TRUE(h);
    EXPECT_EQ(err, grid_note);
    EXPECT_EQ(h->type, OV_CONTOUR);
    ASSERT_EQ(h->num_rows, 3);
    ASSERT_EQ(h->num_columns, 4);
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(h->data[r * 4 + c], temp_value(0, 0, r, c)) << r << "," << c;
    EXPECT_EQ(h->bad_value, -32768 * 0.01f + 273.15f);
    EXPECT_EQ(h->data[6], h->bad_value);
    EXPECT_EQ(h->vdata, nullptr);
    EXPECT_EQ(h->start_lat, 30);
    EXPECT_EQ(h->end_lat, 10);
    EXPECT_EQ(h->lat_increment, -10);  // keeps its sign
    EXPECT_EQ(h->start_lon, 0);
    EXPECT_EQ(h->end_lon, 270);
    EXPECT_EQ(h->lon_increment, 90);
    EXPECT_EQ(h->year, 1993);
    EXPECT_EQ(h->month, 12);
    EXPECT_EQ(h->day, 31);
    EXPECT_EQ(h->time, 18);
    EXPECT_STREQ(h->comment, "air temperature (K) at 1000 hPa");
    EXPECT_EQ(h->id, 999);
    EXPECT_EQ(h->level, 0);
    EXPECT_EQ(h->title, nullptr);
    EXPECT_EQ(h->grid_type, REGULAR);
}

TEST(CdfImport, ForecastHoursCrossTheYearEnd)
{
    TempDir dir;
    std::string err;
    Record h = import(make_nc(dir, "temp"), 2, 1, &err);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->data[11], temp_value(1, 2, 2, 3));
    EXPECT_EQ(h->year, 1994);
    EXPECT_EQ(h->month, 1);
    EXPECT_EQ(h->day, 1);
    EXPECT_EQ(h->time, 6);
    EXPECT_STREQ(h->comment, "air temperature (K) at 850 hPa");
}

TEST(CdfImport, WindComponentsJoinFromEitherFile)
{
    TempDir dir;
    std::string u_path = make_nc(dir, "U500"), v_path = make_nc(dir, "V500");
    for (const std::string &path : {u_path, v_path}) {
        std::string err;
        Record h = import(path, 0, 1, &err);
        ASSERT_TRUE(h) << path;
        EXPECT_EQ(err, double_note + grid_note + grid_note);
        EXPECT_EQ(h->type, OV_VECTOR);
        EXPECT_EQ(std::vector<float>(h->data, h->data + 6),
                  (std::vector<float>{10, 20, 30, 40, 50, 60}));
        EXPECT_EQ(std::vector<float>(h->vdata, h->vdata + 6),
                  (std::vector<float>{0.5f, 0.25f, 0.125f, -0.5f, -0.25f, -0.125f}));
        EXPECT_EQ(h->bad_value, -9999.0f);
        EXPECT_STREQ(h->comment, "zonal wind (m/s) at 500 mb");
        // 28 February 2000, 12 UTC, plus 12 hours: 2000 is a leap year.
        EXPECT_EQ(h->year, 2000);
        EXPECT_EQ(h->month, 2);
        EXPECT_EQ(h->day, 29);
        EXPECT_EQ(h->time, 0);
    }
    EXPECT_NEAR(ov_max_magnitude(u_path.c_str(), 0, 1), std::hypot(60.0, 0.125), 1e-4);
}

TEST(CdfImport, MissingOtherComponentGivesNoDataSet)
{
    TempDir dir;
    std::string u_path = make_nc(dir, "U500");
    std::string err;
    EXPECT_FALSE(import(u_path, 0, 0, &err));
    EXPECT_EQ(err, "get_cdf_reftime: could not open '" + dir.file("V500.nc") + "'\n");

    char path[] = "wind.nc";
    int ncid, varid;
    testing::internal::CaptureStderr();
    EXPECT_EQ(find_other_component(path, "v", &ncid, &varid), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "'V' not found in 'wind.nc'\n");
}

TEST(CdfImport, LevelIndexMinusOneDescribesTheTime)
{
    TempDir dir;
    std::string err;
    Record h = import(make_nc(dir, "sfc"), -1, 0, &err);
    ASSERT_TRUE(h);
    EXPECT_EQ(err, grid_note + "Error: get_cdf_times: data type not supported\n");
    // The long name is cut to the 99 characters its buffer holds.
    std::string long_name = "mean sea level pressure, a long name that runs on and on past "
                            "the one hundred bytes a long name may";
    ASSERT_EQ(long_name.size(), 99u);
    EXPECT_EQ(std::string(h->comment), long_name + " (Pa) 12/31/99 23:00GMT");
    EXPECT_EQ(h->comment_length, static_cast<int>(long_name.size()) + 23);
    EXPECT_EQ(h->data[1], 100000.5f);
    EXPECT_EQ(h->bad_value, -9999.0f);
}

TEST(CdfImport, UnopenableFile)
{
    std::string err;
    EXPECT_FALSE(import("/nonexistent/x.nc", 0, 0, &err));
    EXPECT_EQ(err, "cdf_to_ov: could not open '/nonexistent/x.nc'\n");
}

TEST(CdfQuery, LevelsAndTimes)
{
    TempDir dir;
    std::string temp = make_nc(dir, "temp"), wind = make_nc(dir, "V500");
    std::vector<float> levels(CDF_MAX_LEVELS);
    int n = -1;
    ASSERT_EQ(get_cdf_file_levels(temp.c_str(), &n, levels.data()), 0);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(levels[1], 850);
    EXPECT_EQ(get_cdf_level_index(temp.c_str(), 850), 2);  // the last equal one
    EXPECT_EQ(get_cdf_level_index(temp.c_str(), 500), -1);
    float level = 0;
    EXPECT_EQ(get_cdf_level_from_index(temp.c_str(), 0, &level), 0);
    EXPECT_EQ(level, 1000);
    EXPECT_EQ(get_cdf_level_from_index(temp.c_str(), 3, &level), -1);

    std::vector<double> times(CDF_MAX_TIMES);
    ASSERT_EQ(get_cdf_file_times(temp.c_str(), &n, times.data()), 0);  // int "frtime"
    ASSERT_EQ(n, 2);
    EXPECT_EQ(times[1], 12);
    EXPECT_EQ(get_cdf_time_index(wind.c_str(), 12.0), 1);  // double "time"
    EXPECT_EQ(get_cdf_time_index(wind.c_str(), 6.0), -1);
    double t = 0;
    EXPECT_EQ(get_cdf_time_from_index(wind.c_str(), 1, &t), 0);
    EXPECT_EQ(t, 12);
    EXPECT_EQ(get_cdf_time_from_index(wind.c_str(), 2, &t), -1);

    // Float times cannot be read: none is found and none is given.
    std::string sfc = make_nc(dir, "sfc");
    testing::internal::CaptureStderr();
    EXPECT_EQ(get_cdf_time_index(sfc.c_str(), 0.0), -1);
    EXPECT_EQ(get_cdf_time_from_index(sfc.c_str(), 0, &t), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: get_cdf_times: data type not supported\n"
              "Error: get_cdf_times: data type not supported\n");
}

TEST(CdfQuery, ReferenceTimeAndFileType)
{
    TempDir dir;
    std::string temp = make_nc(dir, "temp"), u = make_nc(dir, "U500");
    char text[CDF_TEXT_SIZE];
    int year, month, day, hour, minute = 77;
    ASSERT_EQ(get_cdf_reftime(temp.c_str(), text, &year, &month, &day, &hour, &minute), 0);
    EXPECT_STREQ(text, "1993 12 31 18");  // minutes cut off
    EXPECT_EQ(year, 1993);
    EXPECT_EQ(month, 12);
    EXPECT_EQ(day, 31);
    EXPECT_EQ(hour, 18);
    EXPECT_EQ(minute, 77);  // not in the text: left alone
    EXPECT_EQ(cdf_file_type(u.c_str()), 2);
    EXPECT_EQ(cdf_file_type(temp.c_str()), 1);

    testing::internal::CaptureStderr();
    EXPECT_EQ(cdf_file_type("/nonexistent/a.nc"), 0);
    EXPECT_EQ(get_cdf_reftime("/nonexistent/a.nc", text, &year, &month, &day, &hour, &minute),
              -1);
    int n;
    float levels[1];
    EXPECT_EQ(get_cdf_file_levels("/nonexistent/a.nc", &n, levels), -1);
    EXPECT_EQ(get_cdf_level_index("/nonexistent/a.nc", 1), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cdf_file_type: could not open '/nonexistent/a.nc'\n"
              "get_cdf_reftime: could not open '/nonexistent/a.nc'\n"
              "get_cdf_level_from_index: could not open '/nonexistent/a.nc'\n"
              "get_cdf_file_levels: could not open '/nonexistent/a.nc'\n");
}

TEST(CdfQuery, MoreLevelsThanCallersHoldAreRefused)
{
    TempDir dir;
    std::string cdl = "netcdf many {\ndimensions:\n level = 250 ;\nvariables:\n"
                      " double level(level) ;\n}\n";
    gptest::write_file(dir.file("many.cdl"), cdl);
    auto r = gptest::run(OV_NCGEN, {"-o", dir.file("many.nc"), dir.file("many.cdl")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<float> levels(CDF_MAX_LEVELS + 1, -1.0f);
    int n = -1;
    EXPECT_EQ(get_cdf_file_levels(dir.file("many.nc").c_str(), &n, levels.data()), 0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(levels[0], -1.0f);
}

TEST(CdfTime, IncrementTime)
{
    struct Case {
        int y, m, d, h, add;
        int want_y, want_m, want_d, want_h;
    };
    const Case cases[] = {
        {1993, 12, 31, 18, 12, 1994, 1, 1, 6},
        {1993, 12, 31, 0, 0, 1993, 12, 31, 0},
        {1900, 2, 28, 12, 24, 1900, 3, 1, 12},   // 1900 is no leap year
        {2000, 2, 28, 12, 24, 2000, 2, 29, 12},  // 2000 is one
        {1999, 12, 31, 23, 6, 2000, 1, 1, 5},
        {1999, 1, 1, 0, 24 * 800 + 5, 2001, 3, 11, 5},  // more than a year on
        {1993, 12, 31, 18, 2147483642, 246977, 10, 8, 20},  // hour + hours beyond an int
    };
    for (const Case &c : cases) {
        int y = c.y, m = c.m, d = c.d, h = c.h;
        EXPECT_EQ(increment_time(&y, &m, &d, &h, c.add), 0);
        EXPECT_EQ(std::vector<int>({y, m, d, h}),
                  std::vector<int>({c.want_y, c.want_m, c.want_d, c.want_h}))
            << c.y << "-" << c.m << "-" << c.d << " " << c.h << " + " << c.add;
    }
    int y = 1993, m = 13, d = 1, h = 0;
    EXPECT_EQ(increment_time(&y, &m, &d, &h, 5), -1);
    EXPECT_EQ(m, 13);
    EXPECT_EQ(h, 0);
}

TEST(CdfTime, ParseLeavesMissingFieldsAlone)
{
    int y = 1, m = 2, d = 3, h = 4, mi = 5;
    parse_time_string("1993 12 31 18", &y, &m, &d, &h, &mi);
    EXPECT_EQ(std::vector<int>({y, m, d, h, mi}), std::vector<int>({1993, 12, 31, 18, 5}));
    parse_time_string(nullptr, &y, &m, &d, &h, &mi);
    EXPECT_EQ(y, 1993);
}

TEST(CdfImport, RepeatedDimensionIsRefused)
{
    TempDir dir;
    std::string cdl = "netcdf rep {\ndimensions:\n frtime = 1 ;\n level = 1 ;\n lat = 2 ;\n"
                      " lon = 3 ;\nvariables:\n float lat(lat) ;\n float lon(lon) ;\n"
                      " float x(lat, lat, lon) ;\ndata:\n lat = 1, 2 ;\n lon = 1, 2, 3 ;\n}\n";
    gptest::write_file(dir.file("rep.cdl"), cdl);
    auto r = gptest::run(OV_NCGEN, {"-o", dir.file("rep.nc"), dir.file("rep.cdl")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string err;
    EXPECT_FALSE(import(dir.file("rep.nc"), 0, 0, &err));
    EXPECT_EQ(err, "");
}

TEST(CdfImport, ForecastHoursBeyondAnIntLeaveTheDateUnknown)
{
    TempDir dir;
    std::string cdl = "netcdf far {\ndimensions:\n frtime = 1 ;\n level = 1 ;\n lat = 1 ;\n"
                      " lon = 1 ;\n timelen = 13 ;\nvariables:\n double frtime(frtime) ;\n"
                      " float level(level) ;\n float lat(lat) ;\n float lon(lon) ;\n"
                      " char reftime(timelen) ;\n float t(frtime, level, lat, lon) ;\n"
                      "  t:units = \"K\" ;\ndata:\n frtime = 1e30 ;\n level = 1 ;\n"
                      " lat = 0 ;\n lon = 0 ;\n reftime = \"1993 12 31 18\" ;\n t = 5 ;\n}\n";
    gptest::write_file(dir.file("far.cdl"), cdl);
    auto r = gptest::run(OV_NCGEN, {"-o", dir.file("far.nc"), dir.file("far.cdl")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string err;
    Record h = import(dir.file("far.nc"), 0, 0, &err);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->data[0], 5);
    EXPECT_EQ(std::vector<int>({h->year, h->month, h->day}), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(h->time, 0);
}

TEST(CdfImport, FieldLargerThanAClassicFileIsRefused)
{
    TempDir dir;
    gptest::write_file(dir.file("b.cdl"), "netcdf b {\ndimensions:\n frtime = 1 ; level = 1 ; lat ="
                       " 1048576 ; lon = 1 ;\nvariables:\n float t(frtime, level, lat, lon) ;\n"
                       " float lat(lat) ; float lon(lon) ;\n}\n");
    ASSERT_EQ(gptest::run(OV_NCGEN, {"-o", dir.file("b.nc"), dir.file("b.cdl")}).status, 0);
    std::filesystem::resize_file(dir.file("b.nc"), 1024);  // declared, never written
    std::string err;
    EXPECT_FALSE(import(dir.file("b.nc"), 0, 0, &err));
    EXPECT_EQ(err, "get_cdf_dataset: a field of 1048576 x 1 values exceeds the file\n");
}
