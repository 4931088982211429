// Whole-program runs of gridpick on archives made by mkarchive: disk files
// and tape images, per-field and single-file output, wind pairs, the skip
// on tape, prompting, reports; every data set written is read back and
// compared value by value with the codec's decoding of its message.
#include "extract.h"
#include <gridpick/grib.h>
#include <gridpick/ov.h>
#include "ov_sets.h"
#include "process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// One message of an archive, decoded by the codec.
struct Field {
    int param, level, year, month, day, hour;
    int rows, columns;
    std::vector<float> values;
};

std::vector<Field> decode_archive(const std::string &bytes)
{
    std::vector<Field> out;
    std::size_t at = 0;
    while ((at = bytes.find("GRIB", at)) != std::string::npos) {
        std::size_t length = (std::size_t(static_cast<unsigned char>(bytes[at + 4])) << 16) |
                             (std::size_t(static_cast<unsigned char>(bytes[at + 5])) << 8) |
                             std::size_t(static_cast<unsigned char>(bytes[at + 6]));
        std::vector<gint> kgrib(8000);
        std::memcpy(kgrib.data(), bytes.data() + at, std::min<std::size_t>(length, 32000));
        std::vector<gint> ksec0(2), ksec1(40), ksec2(GRIB_NKSEC2), ksec3(2), ksec4(GRIB_NKSEC4);
        std::vector<float> psec2(GRIB_NPSEC2), psec3(2), psec4(19000);
        gint klenp = 19000, kleng = 8000, kword = 0, kret = 1;
        fldcod(ksec0.data(), ksec1.data(), ksec2.data(), psec2.data(), ksec3.data(), psec3.data(),
               ksec4.data(), psec4.data(), &klenp, kgrib.data(), &kleng, &kword, "D", &kret, 1L);
        EXPECT_EQ(kret, 0);
        Field f{ksec1[5], ksec1[7], ksec1[9], ksec1[10], ksec1[11], ksec1[12], ksec2[2], ksec2[1], {}};
        f.values.assign(psec4.begin(), psec4.begin() + ksec4[0]);
        out.push_back(f);
        at += length;
    }
    return out;
}

using DataSet = gptest::data_set;

std::string stamp(int month, int day, int year)
{
    char one[32];
    std::snprintf(one, sizeof one, "%02d/%02d/%02d\b\b\b\b\b\b\b\b", month, day, year);
    return std::string(one) + one + one + one;
}

std::string stamp(const Field &f)
{
    return stamp(f.month, f.day, f.year);
}

std::string writing(const std::string &name, int times = 1)
{
    std::string s;
    for (int i = 0; i < times; i++)
        s += "Writing " + name + "...\n";
    return s;
}


// What a run prints after its -i line (days): for each message decoded, by
// its index in the archive, its date and, for one written, the writing of
// the file named; then the count written.
std::string run_out(const std::vector<Field> &fields, const std::string &days,
                    const std::vector<std::size_t> &seen,
                    const std::map<std::size_t, std::string> &written)
{
    std::string out = days;
    for (std::size_t i : seen)
        out += stamp(fields[i]) + (written.contains(i) ? writing(written.at(i)) : "");
    return out + std::to_string(written.size()) + " data set(s) written.\n";
}

std::vector<std::size_t> indices(std::size_t from, std::size_t to, std::vector<std::size_t> before = {})
{
    for (std::size_t i = from; i <= to; i++)
        before.push_back(i);
    return before;
}

// Names written from index first on, one after the other.
std::map<std::size_t, std::string> named(std::size_t first, const std::vector<std::string> &names)
{
    std::map<std::size_t, std::string> m;
    for (const std::string &n : names)
        m[first++] = n;
    return m;
}

const std::string jan1 = "first day: 28856\n, last_day: 28856\n";

const std::string param_menu =
    "\nParameter          Name\n"
    "_______________________________________\n"
    "   1           Geopotential Height\n"
    "   2           Temperature\n"
    "   3           Wind Vectors\n"
    "   4           Humidity\n"
    "   5           Vertical P-velocity\n\n"
    "Enter the numbers of the parameters you want.\n"
    "Enter '0' when you are done: ";
const std::string level_prompt =
    "Enter the levels (in mb) that you want.\n"
    "Enter 0 when you are done: ";
const std::string first_prompt = "Enter the date of the first day you want in the form mm/dd/yy: ";
const std::string last_prompt = "Enter the date of the last day you want in the form mm/dd/yy: ";
const std::string legal_levels =
    "Legal levels are 10, 30, 50, 70, 100, 150,  200, 250,  300, 400, 500, 700, 850 or 1000mb\n";

class Gridpick : public testing::Test {
protected:
    gptest::TempDir dir;

    std::vector<Field> make(const std::string &name, std::vector<std::string> args)
    {
        args.push_back(name);
        gptest::Result r = gptest::run(gptest::built("mkarchive"), args, "", dir.path());
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> disk_args;
        bool tape = false;
        for (const auto &a : args)
            if (a == "-t")
                tape = true;
        if (!tape)
            return decode_archive(gptest::read_file(dir.file(name)));
        // The same archive on disk, for its decoded fields.
        std::vector<std::string> plain;
        for (const auto &a : args)
            if (a != "-t")
                plain.push_back(a);
        plain.back() = "plain.grb";
        gptest::run(gptest::built("mkarchive"), plain, "", dir.path());
        return decode_archive(gptest::read_file(dir.file("plain.grb")));
    }
    gptest::Result gridpick(const std::vector<std::string> &args, const std::string &input = "")
    {
        return gptest::run(gptest::built("gridpick"), args, input, dir.path(), {"DISPLAY"});
    }
    std::vector<DataSet> data_sets(const std::string &name) { return gptest::read_sets(dir.file(name)); }
    std::vector<std::string> files()
    {
        std::vector<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind("NRV.", 0) == 0 ||
                e.path().extension() == ".ov")
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

void expect_scalar(const DataSet &d, const Field &f, const char *units, float bad)
{
    EXPECT_EQ(d.hdr.type, OV_CONTOUR);
    EXPECT_EQ(d.hdr.id, 1001);
    EXPECT_EQ(d.hdr.param, f.param);
    EXPECT_EQ(d.hdr.level, f.level);
    EXPECT_EQ(d.hdr.year, f.year);
    EXPECT_EQ(d.hdr.month, f.month);
    EXPECT_EQ(d.hdr.day, f.day);
    EXPECT_EQ(d.hdr.time, static_cast<float>(f.hour));
    EXPECT_EQ(d.hdr.num_rows, f.rows);
    EXPECT_EQ(d.hdr.num_columns, f.columns);
    EXPECT_EQ(d.units, units);
    EXPECT_EQ(d.hdr.bad_value, bad);
    EXPECT_EQ(d.data, f.values);
}

void expect_vector(const DataSet &d, const Field &u, const Field &v, const char *units)
{
    EXPECT_EQ(d.hdr.type, OV_VECTOR);
    EXPECT_EQ(d.hdr.param, u.param);
    EXPECT_EQ(d.hdr.level, u.level);
    EXPECT_EQ(d.units, units);
    EXPECT_EQ(d.data, u.values);
    EXPECT_EQ(d.vdata, v.values);
}

const std::vector<std::string> coarse = {"-g", "36x19"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Gridpick, TemperatureFieldsOneFileEach)
{
    auto fields = make("a.grb", with(coarse, {"-p", "130", "-l", "500,850", "-T", "0,12", "-d", "2"}));
    ASSERT_EQ(fields.size(), 8u);
    auto r = gridpick({"-x", "-i", "1/1/79", "1/1/79", "a.grb"}, "2\n0\n500\n850\n0\n");
    EXPECT_EQ(r.status, 0);
    const std::vector<std::string> names = {"NRV.79JAN1.00z.850mb.temp", "NRV.79JAN1.00z.500mb.temp",
                                            "NRV.79JAN1.12z.850mb.temp", "NRV.79JAN1.12z.500mb.temp"};
    EXPECT_EQ(r.out, run_out(fields, jan1, indices(0, 4), named(0, names)));
    EXPECT_EQ(r.err, param_menu + level_prompt + "Searching tape...\n");
    ASSERT_EQ(files().size(), 4u);
    for (int i = 0; i < 4; i++) {
        auto sets = data_sets(names[i]);
        ASSERT_EQ(sets.size(), 1u);
        expect_scalar(sets[0], fields[i], "K", -999.0f);
        EXPECT_EQ(sets[0].hdr.start_lat, 90.0f);
        EXPECT_EQ(sets[0].hdr.end_lat, -90.0f);
        EXPECT_EQ(sets[0].hdr.lon_increment, 10.0f);
        EXPECT_EQ(sets[0].hdr.end_lon, 360.0f);
    }
}

TEST_F(Gridpick, WindPairBecomesOneVectorDataSet)
{
    auto fields = make("a.grb", with(coarse, {"-p", "130,131,132", "-l", "500", "-T", "0"}));
    ASSERT_EQ(fields.size(), 3u);
    auto r = gridpick({"-x", "-i", "1/1/79", "1/1/79", "a.grb"}, "3\n0\n500\n0\n");
    EXPECT_EQ(r.status, 0);
    std::string name = "NRV.79JAN1.00z.500mb.wind";
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(fields[0]) + stamp(fields[1]) +
                         writing(name, 2) + "2 data set(s) written.\n");
    EXPECT_EQ(files(), std::vector<std::string>{name});
    auto sets = data_sets(name);
    ASSERT_EQ(sets.size(), 1u);
    expect_vector(sets[0], fields[1], fields[2], "ms-1");
    EXPECT_EQ(std::filesystem::file_size(dir.file(name)), 6u + 136 + 4 + 2 * 684 * 4);
}

TEST_F(Gridpick, EverythingIntoOneFile)
{
    auto fields = make("a.grb", with(coarse, {"-T", "0"}));
    ASSERT_EQ(fields.size(), 92u);
    auto r = gridpick({"-x", "-a", "-o", "-i", "1/1/79", "1/1/79", "a.grb"});
    EXPECT_EQ(r.status, 0);
    std::string first = "NRV.79JAN1.00z.1000mb.geopot";
    std::string out = "first day: 28856\n, last_day: 28856\n";
    for (std::size_t i = 0; i < fields.size(); i++) {
        bool pair = fields[i].param == 131 || fields[i].param == 165;
        out += stamp(fields[i]) + writing(first, pair ? 2 : 1);
        if (pair)
            i++;
    }
    out += "92 data set(s) written to " + first + "\n";
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, "Searching tape...\n");
    EXPECT_EQ(files(), std::vector<std::string>{first});
    auto sets = data_sets(first);
    ASSERT_EQ(sets.size(), 77u);
    std::size_t s = 0;
    for (std::size_t i = 0; i < fields.size(); i++, s++) {
        const Field &f = fields[i];
        if (f.param == 131 || f.param == 165) {
            expect_vector(sets[s], f, fields[i + 1], f.param == 131 ? "ms-1" : "m s-1");
            i++;
        } else {
            EXPECT_EQ(sets[s].hdr.param, f.param);
            EXPECT_EQ(sets[s].data, f.values) << f.param << " " << f.level;
        }
    }
}

TEST_F(Gridpick, OneFileNamedWithF)
{
    auto fields = make("a.grb", with(coarse, {"-p", "130,139", "-l", "500,0", "-T", "0,6"}));
    ASSERT_EQ(fields.size(), 4u);
    auto r = gridpick({"-x", "-a", "-o", "-f", "t.ov", "-i", "1/1/79", "1/1/79", "a.grb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(files(), std::vector<std::string>{"t.ov"});
    auto sets = data_sets("t.ov");
    ASSERT_EQ(sets.size(), 4u);
    expect_scalar(sets[1], fields[1], "K", -9999.0f);
    EXPECT_EQ(sets[1].hdr.param, 139);
    EXPECT_EQ(sets[3].hdr.time, 6.0f);
    std::string out = "first day: 28856\n, last_day: 28856\n";
    for (const Field &f : fields)
        out += stamp(f) + writing("t.ov");
    EXPECT_EQ(r.out, out + "4 data set(s) written to t.ov\n");
    EXPECT_EQ(r.err, "Searching tape...\n");
    // Without -o the name given with -f is not used.
    std::filesystem::remove(dir.file("t.ov"));
    r = gridpick({"-x", "-a", "-f", "t.ov", "-i", "1/1/79", "1/1/79", "a.grb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, run_out(fields, jan1, indices(0, 3),
                             named(0, {"NRV.79JAN1.00z.500mb.temp", "NRV.79JAN1.00z.0mb.surface_temp",
                                       "NRV.79JAN1.06z.500mb.temp", "NRV.79JAN1.06z.0mb.surface_temp"})));
    EXPECT_EQ(files().size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.ov")));
}

TEST_F(Gridpick, TapeImageSkipsFortyOneRecordsFarBeforeTheFirstDay)
{
    auto fields = make("a.tap", with(coarse, {"-t", "-p", "130", "-l", "500,850", "-d", "30"}));
    ASSERT_EQ(fields.size(), 240u);
    auto r = gridpick({"-x", "-a", "-i", "1/20/79", "1/22/79", "a.tap"});
    EXPECT_EQ(r.status, 0);
    // Eight messages a day: 0, 6, 12 and 18z at 850 and 500 mb.  Each message
    // far before the first day skips the 41 after it; the skips pass over
    // 1/20 and 1/21, landing on 1/22 at 0z; the message of 1/23 ends the run.
    const std::string days = "first day: 28875\n, last_day: 28877\n";
    const std::vector<std::string> names = {
        "NRV.79JAN20.00z.850mb.temp", "NRV.79JAN20.00z.500mb.temp", "NRV.79JAN20.06z.850mb.temp",
        "NRV.79JAN20.06z.500mb.temp", "NRV.79JAN20.12z.850mb.temp", "NRV.79JAN20.12z.500mb.temp",
        "NRV.79JAN20.18z.850mb.temp", "NRV.79JAN20.18z.500mb.temp", "NRV.79JAN21.00z.850mb.temp",
        "NRV.79JAN21.00z.500mb.temp", "NRV.79JAN21.06z.850mb.temp", "NRV.79JAN21.06z.500mb.temp",
        "NRV.79JAN21.12z.850mb.temp", "NRV.79JAN21.12z.500mb.temp", "NRV.79JAN21.18z.850mb.temp",
        "NRV.79JAN21.18z.500mb.temp", "NRV.79JAN22.00z.850mb.temp", "NRV.79JAN22.00z.500mb.temp",
        "NRV.79JAN22.06z.850mb.temp", "NRV.79JAN22.06z.500mb.temp", "NRV.79JAN22.12z.850mb.temp",
        "NRV.79JAN22.12z.500mb.temp", "NRV.79JAN22.18z.850mb.temp", "NRV.79JAN22.18z.500mb.temp"};
    EXPECT_EQ(r.out, run_out(fields, days, indices(168, 176, {0, 42, 84, 126}),
                             named(168, {names.begin() + 16, names.end()})));
    EXPECT_EQ(r.err, "Searching tape...\n");
    auto sets = data_sets(names.back());
    ASSERT_EQ(sets.size(), 1u);
    expect_scalar(sets[0], fields[175], "K", -999.0f);

    // The same bytes on disk are read one message after the other.
    r = gridpick({"-x", "-a", "-i", "1/20/79", "1/22/79", "plain.grb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, run_out(fields, days, indices(0, 176), named(152, names)));
}

TEST_F(Gridpick, TapeImageOfFullSizeFieldsInTwoRecordsEach)
{
    auto fields = make("a.tap", {"-t", "-p", "131,132,167", "-l", "300,0", "-T", "0"});
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(std::filesystem::file_size(dir.file("a.tap")), 3u * (21120 + 16) + 8);
    auto r = gridpick({"-x", "-a", "-i", "1/1/79", "1/1/79", "a.tap"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(fields[0]) +
                         writing("NRV.79JAN1.00z.300mb.wind", 2) + stamp(fields[2]) +
                         writing("NRV.79JAN1.00z.0mb.2m_temp") + "3 data set(s) written.\n");
    EXPECT_EQ(r.err, "Searching tape...\n");
    auto wind = data_sets("NRV.79JAN1.00z.300mb.wind");
    ASSERT_EQ(wind.size(), 1u);
    expect_vector(wind[0], fields[0], fields[1], "ms-1");
    auto t2m = data_sets("NRV.79JAN1.00z.0mb.2m_temp");
    ASSERT_EQ(t2m.size(), 1u);
    expect_scalar(t2m[0], fields[2], "K", -9999.0f);
    EXPECT_EQ(t2m[0].data.size(), 144u * 73u);
}

// Full-size messages take two records each: a skip of 41 records ends in
// the middle of a message, whose second record is passed over silently.
TEST_F(Gridpick, SkipIntoTheMiddleOfAMessage)
{
    auto fields = make("a.tap", {"-t", "-p", "130", "-l", "500", "-d", "40"});
    ASSERT_EQ(fields.size(), 160u);
    auto r = gridpick({"-x", "-a", "-i", "1/30/79", "2/5/79", "a.tap"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Searching tape...\n");
    // Four messages a day; a skip of 41 records passes over the rest of the
    // message it lands in and 20 more.  1/30 to 2/2 lie in the last skip.
    EXPECT_EQ(r.out, run_out(fields, "first day: 28885\n, last_day: 28891\n",
                             indices(132, 144, {0, 22, 44, 66, 88, 110}),
                             named(132, {"NRV.79FEB3.00z.500mb.temp", "NRV.79FEB3.06z.500mb.temp",
                                         "NRV.79FEB3.12z.500mb.temp", "NRV.79FEB3.18z.500mb.temp",
                                         "NRV.79FEB4.00z.500mb.temp", "NRV.79FEB4.06z.500mb.temp",
                                         "NRV.79FEB4.12z.500mb.temp", "NRV.79FEB4.18z.500mb.temp",
                                         "NRV.79FEB5.00z.500mb.temp", "NRV.79FEB5.06z.500mb.temp",
                                         "NRV.79FEB5.12z.500mb.temp", "NRV.79FEB5.18z.500mb.temp"})));
}

TEST_F(Gridpick, PromptForEachDataSet)
{
    auto fields = make("a.grb", with(coarse, {"-p", "130,131,132", "-l", "500,850", "-T", "0"}));
    ASSERT_EQ(fields.size(), 6u);   // 850: 130 131 132, 500: 130 131 132
    const std::string ask = " ? (y/n/q): ";
    auto r = gridpick({"-x", "-p", "-i", "1/1/79", "1/1/79", "a.grb"}, "2 3 0 500 850 0\nyes\nn\nQuit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(fields[0]) +
                         "Do you want the temp data set at 850 mb at 0:00 on 1/1/79" + ask +
                         writing("NRV.79JAN1.00z.850mb.temp") + stamp(fields[1]) +
                         "Do you want the wind data set at 850 mb at 0:00 on 1/1/79" + ask +
                         stamp(fields[3]) +
                         "Do you want the temp data set at 500 mb at 0:00 on 1/1/79" + ask +
                         "1 data set(s) written.\n");
    EXPECT_EQ(files(), std::vector<std::string>{"NRV.79JAN1.00z.850mb.temp"});
    // End of input at the question counts as "q".
    r = gridpick({"-x", "-p", "-a", "-i", "1/1/79", "1/1/79", "a.grb"}, "y\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(fields[0]) +
                         "Do you want the temp data set at 850 mb at 0:00 on 1/1/79" + ask +
                         writing("NRV.79JAN1.00z.850mb.temp") + stamp(fields[1]) +
                         "Do you want the wind data set at 850 mb at 0:00 on 1/1/79" + ask +
                         "1 data set(s) written.\n");
}

TEST_F(Gridpick, EmptyAndMissingArchives)
{
    gptest::write_file(dir.file("e.grb"), "");
    auto r = gridpick({"-x", "-a", "-i", "1/1/79", "1/1/79", "e.grb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n0 data set(s) written.\n");
    EXPECT_EQ(r.err, "Searching tape...\ngridpick: no data set written; as far as it was read, the "
                     "archive held no GRIB message; dates asked for: 1/1/1979 to 1/1/1979\n");
    r = gridpick({"-x", "-a", "-o", "-i", "1/1/79", "1/1/79", "e.grb"});
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n0 data set(s) written to norva.out\n");
    r = gridpick({"-x", "-a", "-i", "1/1/79", "1/1/79", "none.grb"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mtopen: none.grb: No such file or directory\n");
}

TEST_F(Gridpick, ForeignBytesBetweenMessagesAreReported)
{
    auto fields = make("a.grb", with(coarse, {"-p", "130,157", "-l", "500", "-T", "0"}));
    std::string bytes = gptest::read_file(dir.file("a.grb"));
    std::size_t second = bytes.find("GRIB", 4);
    gptest::write_file(dir.file("b.grb"), bytes.substr(0, second) + "tape label" + bytes.substr(second));
    auto r = gridpick({"-x", "-a", "-i", "1/1/79", "1/1/79", "b.grb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Searching tape...\ngridpick: 10 bytes that are not GRIB passed over at offset " +
                         std::to_string(second) + "\n");
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(fields[0]) +
                         writing("NRV.79JAN1.00z.500mb.temp") + stamp(fields[1]) +
                         writing("NRV.79JAN1.00z.500mb.humid") + "2 data set(s) written.\n");
    auto sets = data_sets("NRV.79JAN1.00z.500mb.humid");
    ASSERT_EQ(sets.size(), 1u);
    expect_scalar(sets[0], fields[1], "%", 999.0f);
}

TEST_F(Gridpick, WindComponentsWithoutTheirPartner)
{
    make("u.grb", with(coarse, {"-p", "131", "-l", "500", "-T", "0"}));
    auto r = gridpick({"-x", "-a", "-i", "1/1/79", "1/1/79", "u.grb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Searching tape...\ngridpick: no second component for the wind data set at 500 "
                     "mb at 0:00 on 1/1/79; not written\n"
                     "gridpick: no data set written; as far as it was read, the archive held 1 "
                     "message(s) from 1/1/1979 to 1/1/1979; dates asked for: 1/1/1979 to 1/1/1979\n");
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(1, 1, 79) +
                         "0 data set(s) written.\n");
    make("v.grb", with(coarse, {"-p", "132", "-l", "500", "-T", "0"}));
    r = gridpick({"-x", "-a", "-o", "-i", "1/1/79", "1/1/79", "v.grb"});
    EXPECT_EQ(r.err, "Searching tape...\ngridpick: no first component for the wind data set at 500 "
                     "mb at 0:00 on 1/1/79; passed over\n"
                     "gridpick: no data set written; as far as it was read, the archive held 1 "
                     "message(s) from 1/1/1979 to 1/1/1979; dates asked for: 1/1/1979 to 1/1/1979\n");
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(1, 1, 79) +
                         "0 data set(s) written to norva.out\n");
    EXPECT_TRUE(files().empty());
}

// An unwanted u wind takes only its own v with it: a field of another kind
// behind it is judged as usual.
TEST_F(Gridpick, UnwantedFirstComponentDropsOnlyItsPartner)
{
    auto fields = make("a.grb", with(coarse, {"-p", "130,131", "-l", "500,850", "-T", "0"}));
    ASSERT_EQ(fields.size(), 4u);   // 850: 130 131, 500: 130 131
    auto r = gridpick({"-x", "-i", "1/1/79", "1/1/79", "a.grb"}, "2 0 500 850 0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\n" + stamp(fields[0]) +
                         writing("NRV.79JAN1.00z.850mb.temp") + stamp(fields[1]) + stamp(fields[2]) +
                         writing("NRV.79JAN1.00z.500mb.temp") + stamp(fields[3]) +
                         "2 data set(s) written.\n");
    EXPECT_EQ(r.err, param_menu + level_prompt + "Searching tape...\n");
}

TEST_F(Gridpick, MkarchiveRefusesDatesAndGridsItCannotMake)
{
    const std::string usage =
        "usage: mkarchive [-t] [-g NIxNJ] [-b BITS] [-s M/D/Y] [-y YEAR] [-d DAYS]\n"
        "                 [-T HOURS] [-P HOURS] [-C CENTRE] [-c TABLE] [-p CODES]\n"
        "                 [-l LEVELS] [-r RECORD] [-m N] [-S FLAGS] [-G N | -R N] FILE\n";
    for (auto args : {std::vector<std::string>{"-s", "13/1/79", "x.grb"},
                      {"-s", "0/1/79", "x.grb"}, {"-g", "100000x100000", "x.grb"},
                      {"-S", "1", "x.grb"}, {"-R", "8", "-S", "128", "x.grb"}}) {
        auto r = gptest::run(gptest::built("mkarchive"), args, "", dir.path());
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.err, usage) << args[1];
    }
}

TEST_F(Gridpick, MkarchiveLeavesNoArchiveWhenCodingFails)
{
    // 4 x 3 points are 90 degrees apart: more than a grid section can hold.
    auto r = gptest::run(gptest::built("mkarchive"), {"-g", "4x3", "bad.grb"}, "", dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(r.err.rfind("mkarchive:")),
              "mkarchive: coding failed with code 599\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.grb")));
}

// ---- terminal dialogue ----------------------------------------------

// What a run of 1/1/79 on the dialogue's archive prints.
const std::string one_temperature = "first day: 28856\n, last_day: 28856\n" + stamp(1, 1, 79) +
                                    "Writing NRV.79JAN1.00z.500mb.temp...\n" +
                                    "1 data set(s) written.\n";

class Dialogue : public Gridpick {
protected:
    void SetUp() override { make("a.grb", with(coarse, {"-p", "130", "-l", "500", "-T", "0"})); }
    gptest::Result ask(const std::vector<std::string> &switches, const std::string &input)
    {
        return gridpick(with(switches, {"a.grb"}), input);
    }
};

TEST_F(Dialogue, DatesAreAskedAgainUntilMonthAndDayFit)
{
    auto r = ask({"-x", "-a"}, "13/1/79 0/5/79 1/1/79 junk 2/30/79\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, first_prompt + first_prompt + first_prompt + last_prompt + last_prompt +
                         "Searching tape...\n");
    EXPECT_EQ(r.out, stamp(1, 1, 79) + "Writing NRV.79JAN1.00z.500mb.temp...\n1 data set(s) written.\n");
}

TEST_F(Dialogue, SixBadDatesAbort)
{
    auto r = ask({"-x", "-a"}, "13/1/79 13/1/79 13/1/79 13/1/79 13/1/79 13/1/79 1/1/79\n");
    EXPECT_EQ(r.status, 1);
    std::string six;
    for (int i = 0; i < 6; i++)
        six += first_prompt;
    EXPECT_EQ(r.err, six);
    EXPECT_EQ(r.out, "Too many bad tries. Aborting\n");
    // The last date reports on standard error; end of input counts as bad.
    r = ask({"-x", "-a"}, "1/1/79\n");
    EXPECT_EQ(r.status, 1);
    std::string last_six;
    for (int i = 0; i < 6; i++)
        last_six += last_prompt;
    EXPECT_EQ(r.err, first_prompt + last_six + "Too many bad tries. Aborting\n");
}

TEST_F(Dialogue, ParametersAndLevels)
{
    auto r = ask({"-x", "-i", "1/1/79", "1/1/79"}, "3 3 7 x 2 0\n500 925 850 0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, param_menu + "Illegal parameter value '7' ignored.\n" +
                         "Illegal parameter value 'x' ignored.\n" + level_prompt +
                         "Nonstandard level '925' ignored.\n" + legal_levels + "Searching tape...\n");
    EXPECT_EQ(r.out, one_temperature);
}

TEST_F(Dialogue, NothingChosenQuits)
{
    auto r = ask({"-x", "-i", "1/1/79", "1/1/79"}, "0\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, param_menu + "Error: no parameters entered. Quitting.\n");
    r = ask({"-x", "-i", "1/1/79", "1/1/79"}, "2\n");   // end of input ends both lists
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, param_menu + level_prompt + "Error: no levels entered. Quitting.\n");
}

TEST_F(Dialogue, TooManyBadParametersOrLevels)
{
    auto r = ask({"-x", "-i", "1/1/79", "1/1/79"}, "6 7 8 9 10 11 2 0\n");
    EXPECT_EQ(r.status, 1);
    std::string err = param_menu;
    for (int v = 6; v <= 11; v++)
        err += "Illegal parameter value '" + std::to_string(v) + "' ignored.\n";
    EXPECT_EQ(r.err, err);
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28856\nToo many bad tries. Aborting\n");
    r = ask({"-x", "-i", "1/1/79", "1/1/79"}, "2 0 1 2 3 4 5 6 500 0\n");
    EXPECT_EQ(r.status, 1);
    err = param_menu + level_prompt;
    for (int v = 1; v <= 6; v++)
        err += "Nonstandard level '" + std::to_string(v) + "' ignored.\n" + legal_levels;
    EXPECT_EQ(r.err, err + "Too many bad tries. Aborting\n");
}

TEST_F(Dialogue, AtMostFourteenLevels)
{
    std::string levels = "10 30 50 70 100 150 200 250 300 400 500 700 850 1000 500 0\n";
    auto r = ask({"-x", "-i", "1/1/79", "1/1/79"}, "2 0 " + levels);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, param_menu + level_prompt + "Level 500 ignored: at most 14 levels.\n" +
                         "Searching tape...\n");
    EXPECT_EQ(r.out, one_temperature);
}

TEST_F(Dialogue, DialogFallsBackToTheTerminal)
{
    auto r = ask({"-a", "-i", "1/1/79", "1/1/79"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "gridpick: cannot open the X display; asking at the terminal instead\n"
                     "Searching tape...\n");
    EXPECT_EQ(r.out, one_temperature);
}

}  // namespace
