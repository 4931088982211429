// Whole-program runs on archives of other centuries, steps and centres:
// the files each must yield, their header's year, term, parameter, type
// and units, and the lines printed for the fields passed over.
#include "ov_sets.h"
#include "process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Expected {
    std::string file;
    int year, term, param, type;
    std::string units;
};

struct Case {
    const char *what;
    std::vector<std::vector<std::string>> archives;   // mkarchive runs, joined in order
    std::vector<std::string> dates;                   // -i first last
    std::string patch;     // "byte=value,...": octets changed in the joined archive
    std::vector<Expected> files;
    std::string report, err;
    std::string variables = {};   // ov2nc's variables of the files, when checked
};

const std::string searching = "Searching tape...\n";

const Case cases[] = {
    {"across the change of century",
     {{"-s", "12/31/1999", "-d", "3"}}, {"12/31/99", "1/1/2000"}, "",
     {{"NRV.99DEC31.00z.500mb.temp", 99, 0, 130, 1, "K"},
      {"NRV.100JAN1.00z.500mb.temp", 100, 0, 130, 1, "K"}},
     "2 data set(s) written.\n", searching},
    {"a year after 2000", {{"-s", "3/23/2007", "-T", "12"}}, {"1/1/2007", "12/31/2007"}, "",
     {{"NRV.2007MAR23.12z.500mb.temp", 2007, 0, 130, 1, "K"}},
     "1 data set(s) written.\n", searching},
    {"an analysis and its forecasts", {{}, {"-P", "6"}, {"-P", "300"}}, {"1/1/1979", "1/1/79"}, "",
     {{"NRV.79JAN1.00z.500mb.temp", 79, 0, 130, 1, "K"},
      {"NRV.79JAN1.00z+6h.500mb.temp", 79, 6, 130, 1, "K"},
      {"NRV.79JAN1.00z+300h.500mb.temp", 79, 300, 130, 1, "K"}},
     "3 data set(s) written.\n", searching},
    {"the same name twice", {{"-P", "6"}, {"-P", "6"}}, {"1/1/79", "1/1/79"}, "",
     {{"NRV.79JAN1.00z+6h.500mb.temp", 79, 6, 130, 1, "K"}}, "1 data set(s) written.\n",
     searching + "gridpick: GRIB message at offset 360 holds NRV.79JAN1.00z+6h.500mb.temp, "
                 "which was already written in this run; passed over\n"},
    {"a step in months", {{"-P", "1"}}, {"1/1/79", "1/1/79"}, "25=3", {},
     "0 data set(s) written.\n",
     searching + "gridpick: GRIB message at offset 0 has a time range (indicator 0, P1 1, P2 0, "
                 "unit 3) that is not a whole number of hours after its reference time; passed "
                 "over\ngridpick: no data set written; as far as it was read, the archive held 1 "
                 "message(s) from 1/1/1979 to 1/1/1979; dates asked for: 1/1/1979 to 1/1/1979\n"},
    {"another centre", {{"-C", "7", "-c", "2", "-p", "7,11,33,34,131,132"}}, {"1/1/79", "1/1/79"},
     "",
     {{"NRV.79JAN1.00z.500mb.hgt", 79, 0, 7, 1, "gpm"},
      {"NRV.79JAN1.00z.500mb.tmp", 79, 0, 11, 1, "K"},
      {"NRV.79JAN1.00z.500mb.uvgrd", 79, 0, 33, 2, "m s-1"},
      {"NRV.79JAN1.00z.500mb.p131", 79, 0, 131, 1, ""},
      {"NRV.79JAN1.00z.500mb.p132", 79, 0, 132, 1, ""}},
     "6 data set(s) written.\n", searching, "hgt tmp u_uvgrd v_uvgrd p131 p132 "},
};

// The archive of c: each run of mkarchive on a 12 x 7 grid at 500 mb, its
// octets joined, then patched.
std::string archive_of(const Case &c, const gptest::TempDir &dir)
{
    std::string bytes;
    for (const auto &extra : c.archives) {
        std::vector<std::string> args{"-g", "12x7", "-T", "0", "-p", "130", "-l", "500"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("part.grb");
        auto r = gptest::run(gptest::built("mkarchive"), args, "", dir.path());
        EXPECT_EQ(r.status, 0) << r.err;
        bytes += gptest::read_file(dir.file("part.grb"));
    }
    for (std::size_t at = 0; at < c.patch.size();) {
        std::size_t eq = c.patch.find('=', at), end = c.patch.find(',', at);
        bytes[std::stoul(c.patch.substr(at, eq - at))] =
            static_cast<char>(std::stoi(c.patch.substr(eq + 1, end - eq - 1)));
        at = end == std::string::npos ? c.patch.size() : end + 1;
    }
    return bytes;
}

// The variables ov2nc makes of the files of c, in order, as ncdump names them.
std::string netcdf_variables(const Case &c, const gptest::TempDir &dir)
{
    std::vector<std::string> args{"-o", "t.nc"};
    for (const Expected &e : c.files)
        args.push_back(e.file);
    gptest::run(gptest::built("ov2nc"), args, "", dir.path());
    std::string dump = gptest::run(OV_NCDUMP, {"-h", dir.file("t.nc")}).out, names;
    for (std::size_t at = dump.find("\tfloat "); at != std::string::npos;
         at = dump.find("\tfloat ", at + 1)) {
        std::string name = dump.substr(at + 7, dump.find('(', at) - at - 7);
        if (name != "level" && name != "lat" && name != "lon")
            names += name + " ";
    }
    return names;
}

TEST(Dates, CenturiesStepsAndCentres)
{
    for (const Case &c : cases) {
        gptest::TempDir dir;
        gptest::write_file(dir.file("a.grb"), archive_of(c, dir));
        auto r = gptest::run(gptest::built("gridpick"),
                             {"-x", "-a", "-i", c.dates[0], c.dates[1], "a.grb"}, "", dir.path());
        EXPECT_EQ(r.err, c.err) << c.what;
        ASSERT_GE(r.out.size(), c.report.size()) << c.what;
        EXPECT_EQ(r.out.substr(r.out.size() - c.report.size()), c.report) << c.what;
        for (const Expected &e : c.files) {
            auto sets = gptest::read_sets(dir.file(e.file));
            ASSERT_EQ(sets.size(), 1u) << c.what << ": " << e.file;
            const OvHeader &h = sets[0].hdr;
            EXPECT_EQ(std::vector<int>({h.year, h.term, h.param, h.type}),
                      std::vector<int>({e.year, e.term, e.param, e.type}))
                << c.what << ": " << e.file;
            EXPECT_EQ(sets[0].units, e.units) << e.file;
            EXPECT_EQ(sets[0].vdata.empty(), e.type != 2) << e.file;
        }
        if (!c.variables.empty())
            EXPECT_EQ(netcdf_variables(c, dir), c.variables) << c.what;
    }
}

// The year 2000 as section 1 states it: year 100 of the twentieth century
// (octets 13 and 25); 2007 as year 7 of the twenty-first.
TEST(Dates, YearsAreCodedAsCenturyAndYearOfCentury)
{
    const struct {
        const char *date;
        int year_of_century, century;
    } rows[] = {{"1/1/2000", 100, 20}, {"3/23/2007", 7, 21}, {"12/31/99", 99, 20}};
    gptest::TempDir dir;
    for (const auto &row : rows) {
        gptest::run(gptest::built("mkarchive"),
                    {"-g", "12x7", "-s", row.date, "-T", "0", "-p", "130", "-l", "500", "m.grb"}, "",
                    dir.path());
        std::string m = gptest::read_file(dir.file("m.grb"));
        ASSERT_GT(m.size(), 40u);
        EXPECT_EQ(static_cast<unsigned char>(m[8 + 12]), row.year_of_century) << row.date;
        EXPECT_EQ(static_cast<unsigned char>(m[8 + 24]), row.century) << row.date;
    }
}

}  // namespace
