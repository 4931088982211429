// ov2nc on ov files of known values: read back by the project's netCDF
// import, described as ncdump shows it, and its refusals.
#include <netcdf.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <gridpick/ov_cdf.h>
#include "ov_sets.h"
#include "ovset.h"
#include "process.h"

using gptest::grid_set;
using gptest::run;

namespace {

std::vector<float> ramp(float base, int missing_at = -1, float bad = -999.0f)
{
    std::vector<float> v(12);
    for (int i = 0; i < 12; i++)
        v[i] = i == missing_at ? bad : base + static_cast<float>(i) * 1.5f;
    return v;
}

const std::vector<float> t500 = ramp(250, 5), t850 = ramp(270), t500_12 = ramp(260);
const std::vector<float> u500 = ramp(-5), v500 = ramp(3, 2), msl = ramp(1e5f, 0, -9999.0f);

// Three files: temperature at two levels and two times, a wind at 500 mb,
// mean sea level pressure at the surface.
struct converted {
    gptest::TempDir dir;
    gptest::Result r;
    std::string nc = dir.file("out.nc");
    converted()
    {
        gptest::write_sets(dir.file("a.ov"), {{OV_CONTOUR, 130, 500, 79, 1, 1, 0, t500},
                                              {OV_CONTOUR, 130, 850, 79, 1, 1, 0, t850}});
        gptest::write_sets(dir.file("b.ov"),
                           {{OV_CONTOUR, 130, 500, 79, 1, 1, 12, t500_12},
                            {OV_VECTOR, 131, 500, 79, 1, 1, 0, u500, v500, -999, 3, 4, "ms-1"}});
        gptest::write_sets(dir.file("c.ov"),
                           {{OV_CONTOUR, 151, 0, 79, 1, 1, 0, msl, {}, -9999, 3, 4, "Pa"}});
        r = run(gptest::built("ov2nc"), {"-o", "out.nc", "a.ov", "b.ov", "c.ov"}, "", dir.path());
    }
};

struct expected_field {
    const char *var;
    int level_index, time_index;  // levels 850, 500; times 00 and 12 UTC
    std::vector<float> values;
    float bad;
    float hour;
    const char *comment;
};

}  // namespace

TEST(Ov2nc, ImportGivesBackEveryDataSet)
{
    converted c;
    ASSERT_EQ(c.r.status, 0) << c.r.err;
    EXPECT_EQ(c.r.out, "5 data set(s) written to out.nc\n");
    const std::vector<float> no_temp(12, -999.0f);
    const expected_field fields[] = {
        {"temp", 1, 0, t500, -999, 0, "temperature (K) at 500 hPa"},
        {"temp", 0, 0, t850, -999, 0, "temperature (K) at 850 hPa"},
        {"temp", 1, 1, t500_12, -999, 12, "temperature (K) at 500 hPa"},
        {"temp", 0, 1, no_temp, -999, 12, "temperature (K) at 850 hPa"},  // given by none
        {"u_wind", 1, 0, u500, -999, 0, "u component of wind (ms-1) at 500 hPa"},
        {"v_wind", 1, 0, v500, -999, 0, "v component of wind (ms-1) at 500 hPa"},
        {"u_wind", 1, 1, no_temp, -999, 12, "u component of wind (ms-1) at 500 hPa"},
        {"msl_pressure", -1, 0, msl, -9999, 0, "mean sea level pressure (Pa) 1/1/79 00:00GMT"},
    };
    ncopts = 0;
    int ncid = ncopen(c.nc.c_str(), NC_NOWRITE);
    ASSERT_NE(ncid, -1);
    for (const expected_field &f : fields) {
        SCOPED_TRACE(std::string(f.var) + " " + std::to_string(f.level_index) + " " +
                     std::to_string(f.time_index));
        ovset_record h(get_cdf_dataset(ncid, ncvarid(ncid, f.var), 3, 4, f.level_index,
                                       f.time_index));
        ASSERT_TRUE(h);
        EXPECT_EQ(std::vector<float>(h->data, h->data + 12), f.values);
        EXPECT_EQ(h->bad_value, f.bad);
        EXPECT_STREQ(h->comment, f.comment);
        EXPECT_EQ(std::vector<int>({h->year, h->month, h->day}), std::vector<int>({1979, 1, 1}));
        EXPECT_EQ(h->time, f.hour);
        // The same points: the import states the last column (30) where
        // gridpick states the end of the circle (40), and signs the steps.
        EXPECT_EQ(std::vector<float>({h->start_lat, h->end_lat, h->lat_increment, h->start_lon,
                                      h->end_lon, h->lon_increment}),
                  std::vector<float>({10, -10, -10, 0, 30, 10}));
    }
    ncclose(ncid);
    ovset_record first(cdf_to_ov(c.nc.c_str(), 1, 1));
    ASSERT_TRUE(first);
    EXPECT_EQ(std::vector<float>(first->data, first->data + 12), t500_12);
}

TEST(Ov2nc, CfDescriptionAsNcdumpShowsIt)
{
    converted c;
    ASSERT_EQ(c.r.status, 0) << c.r.err;
    EXPECT_EQ(run(OV_NCDUMP, {"-k", c.nc}).out, "64-bit offset\n");
    std::istringstream header(run(OV_NCDUMP, {"-h", c.nc}).out);
    std::set<std::string> lines;
    for (std::string line; std::getline(header, line);)
        lines.insert(line);
    for (const char *want : {
             "\ttime = UNLIMITED ; // (2 currently)", "\tlevel = 2 ;", "\tlat = 3 ;",
             "\tlon = 4 ;", "\t\ttime:units = \"hours since 1900-01-01 00:00:00\" ;",
             "\t\ttime:calendar = \"standard\" ;", "\t\tlevel:units = \"hPa\" ;",
             "\t\tlevel:positive = \"down\" ;", "\t\tlat:units = \"degrees_north\" ;",
             "\t\tlon:units = \"degrees_east\" ;", "\tfloat temp(time, level, lat, lon) ;",
             "\t\ttemp:long_name = \"temperature\" ;", "\t\ttemp:units = \"K\" ;",
             "\t\ttemp:_FillValue = -999.f ;", "\t\ttemp:code = 130 ;",
             "\tfloat u_wind(time, level, lat, lon) ;",
             "\t\tu_wind:standard_name = \"eastward_wind\" ;",
             "\t\tv_wind:standard_name = \"northward_wind\" ;", "\t\tv_wind:code = 132 ;",
             "\tfloat msl_pressure(time, lat, lon) ;", "\t\tmsl_pressure:_FillValue = -9999.f ;",
             "\t\t:Conventions = \"CF-1.6\" ;",
             "\t\t:history = \"ov2nc -o out.nc a.ov b.ov c.ov\" ;"})
        EXPECT_TRUE(lines.count(want)) << want;
    std::string data = run(OV_NCDUMP, {"-v", "time,level,lat", c.nc}).out;
    for (const char *want :
         {" time = 692496, 692508 ;", " level = 850, 500 ;", " lat = 10, 0, -10 ;"})
        EXPECT_NE(data.find(want), std::string::npos) << want;
}

TEST(Ov2nc, RefusalsLeaveNothingBehind)
{
    struct refusal {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::string use =
        "usage: ov2nc [-o OUT.nc] FILE...\n"
        "Writes every data set of the ov FILEs (a folder stands for the files in it)\n"
        "into one netCDF file following the CF conventions, OUT.nc, by default the\n"
        "first FILE with \".nc\" added.  All data sets must lie on one grid.\n";
    const refusal cases[] = {
        {{"-o", "out.nc", "a.ov", "small.ov"}, 1,
         "ov2nc: small.ov: data set 1: on another grid than a.ov data set 1\n"},
        {{"-o", "out.nc", "a.ov", "a.ov"}, 1,
         "ov2nc: a.ov: data set 1: temp at the same time and level as a.ov data set 1\n"},
        {{"-o", "out.nc", "a.ov", "text"}, 1, "ov2nc: text: not an ov file\n"},
        {{"-o", "out.nc", "none.ov"}, 1, "ov2nc: none.ov: No such file or directory\n"},
        {{"-o", "out.nc", "undated.ov"}, 1,
         "ov2nc: undated.ov: data set 1: no valid date (2/30/79, time 0)\n"},
        {{"-o", "a.ov", "a.ov"}, 1, "ov2nc: a.ov: is one of the files to convert\n"},
        {{}, 2, use},
        {{"-x", "a.ov"}, 2, "ov2nc: unknown switch -x\n" + use},
    };
    gptest::TempDir dir;
    gptest::write_sets(dir.file("a.ov"), {{OV_CONTOUR, 130, 500, 79, 1, 1, 0, t500}});
    gptest::write_sets(dir.file("small.ov"),
                       {{OV_CONTOUR, 130, 850, 79, 1, 1, 0, ramp(0), {}, -999, 2, 6}});
    gptest::write_sets(dir.file("undated.ov"), {{OV_CONTOUR, 130, 500, 79, 2, 30, 0, t500}});
    gptest::write_file(dir.file("text"), "not an ov file\n");
    for (const refusal &r : cases) {
        auto res = run(gptest::built("ov2nc"), r.args, "", dir.path());
        EXPECT_EQ(res.status, r.status);
        EXPECT_EQ(res.err, r.err);
        std::set<std::string> left;
        for (const auto &e : std::filesystem::directory_iterator(dir.path()))
            left.insert(e.path().filename());
        EXPECT_EQ(left, std::set<std::string>({"a.ov", "small.ov", "text", "undated.ov"}));
    }
}

TEST(Ov2nc, HoursSince1900CountTwoDigitYearsFrom1900)
{
    struct when {
        int year, month, day;
        float time;
        double hours;
        int term = 0;   // a forecast's step: the time it is valid for
    };
    for (const when w : {when{79, 1, 1, 0, 692496}, when{0, 3, 1, 0, 1416},
                         when{100, 3, 1, 6.5f, 878022.5}, when{1999, 12, 31, 18, 876570},
                         when{2007, 3, 23, 0, 939894, 6}}) {
        OvHeader h{};
        h.year = w.year, h.month = w.month, h.day = w.day, h.time = w.time, h.term = w.term;
        EXPECT_TRUE(ovset_valid_date(h));
        EXPECT_EQ(ovset_hours_since_1900(h), w.hours) << w.year;
    }
}
