#include "config.h"
#include "process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string usage =
    "Usage: gridpick input_device (or file)\n"
    "\t-o\t\t\t\t\twrites all data sets to the same file\n";

// Parses args as gridpick would, from the program's defaults.
struct Parsed {
    int status;
    std::string device;
    std::string out;
};

Parsed parse(std::vector<std::string> args)
{
    gp_run_reset();
    gp_run_defaults();
    args.insert(args.begin(), "gridpick");
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    char device[GP_DEVICE_LEN] = "/dev/nrmt0";
    testing::internal::CaptureStdout();
    int status = gp_parse_command_line(static_cast<int>(args.size()), argv.data(), device);
    return {status, device, testing::internal::GetCapturedStdout()};
}

gptest::Result gridpick(const std::vector<std::string> &args)
{
    return gptest::run(gptest::built("gridpick"), args);
}

}  // namespace

TEST(Defaults, AppliedBeforeParsing)
{
    Parsed p = parse({"-a"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.device, "/dev/nrmt0");
    EXPECT_EQ(gp_run.destination, GP_DEST_PER_FIELD);
    EXPECT_EQ(gp_run.prompt_user, 0);
    EXPECT_EQ(gp_run.getall, 1);
    EXPECT_EQ(gp_run.verbose, 0);
    EXPECT_EQ(gp_run.xquery, 1);
    EXPECT_STREQ(gp_run.out_file, "norva.out");
    EXPECT_EQ(gp_run.first_day, 0);
    EXPECT_EQ(gp_run.num_levels, 0);
    EXPECT_EQ(p.out, "");
}

// Settings after parsing: destination, prompt_user, verbose, xquery, getall.
TEST(Switches, SetTheirSettings)
{
    const struct {
        std::vector<std::string> args;
        std::vector<int> settings;
        const char *out_file;
    } cases[] = {
        {{"-o", "-p", "-v", "-x", "tape.grb", "-f", "fields.ov"}, {2, 1, 1, 0, 0}, "fields.ov"},
        {{"-o", "-s", "-a"}, {1, 0, 0, 1, 1}, "norva.out"},
        {{"-output", "-xyz"}, {2, 0, 0, 0, 0}, "norva.out"},   // only the second character counts
        {{"-x", "-x"}, {1, 0, 0, 1, 0}, "norva.out"},          // -x toggles the dialog
        {{"-x", "-x", "-x"}, {1, 0, 0, 0, 0}, "norva.out"},
        {{"-f", "-o"}, {1, 0, 0, 1, 0}, "-o"},   // argument words are taken as they are
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parse(c.args).status, 0);
        EXPECT_EQ((std::vector<int>{gp_run.destination, gp_run.prompt_user, gp_run.verbose,
                                    gp_run.xquery, gp_run.getall}),
                  c.settings)
            << testing::PrintToString(c.args);
        EXPECT_STREQ(gp_run.out_file, c.out_file);
    }
    EXPECT_EQ(parse({"-o", "-p", "-v", "-x", "tape.grb", "-f", "fields.ov"}).device, "tape.grb");
}

TEST(Switches, LongOutputNameIsCutToItsBuffer)
{
    std::string name(400, 'n');
    EXPECT_EQ(parse({"-f", name}).status, 0);
    EXPECT_EQ(std::string(gp_run.out_file), name.substr(0, GP_OUT_FILE_LEN - 1));
}

TEST(Device, TheLastNameWins)
{
    EXPECT_EQ(parse({"first", "second"}).device, "second");
}

TEST(Device, LongestNameAccepted)
{
    std::string name(GP_DEVICE_MAX, 'd');
    Parsed p = parse({name});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.device, name);
}

// -i: start month, day, year, end month, day, year, first_day, last_day.
TEST(Dates, ParsedIntoDayNumbers)
{
    const struct {
        std::vector<std::string> args;
        std::vector<int> dates;
        std::string out;
    } cases[] = {
        {{"-i", "1/1/79", "1/31/79", "x"}, {1, 1, 79, 1, 31, 79, 28856, 28886},
         "first day: 28856\n, last_day: 28886\n"},
        // fields that do not match keep their values
        {{"-i", "3/4", "junk"}, {3, 4, 0, 0, 0, 0, 64, 0}, "first day: 64\n, last_day: 0\n"},
        // a repeated switch replaces the dates
        {{"-i", "1/1/79", "1/2/79", "-i", "2/1/80", "2/2/80"}, {2, 1, 80, 2, 2, 80, 29252, 29253},
         "first day: 28856\n, last_day: 28857\nfirst day: 29252\n, last_day: 29253\n"},
    };
    for (const auto &c : cases) {
        Parsed p = parse(c.args);
        EXPECT_EQ(p.status, 0);
        EXPECT_EQ((std::vector<int>{gp_run.start_month, gp_run.start_day, gp_run.start_year,
                                    gp_run.end_month, gp_run.end_day, gp_run.end_year,
                                    gp_run.first_day, gp_run.last_day}),
                  c.dates)
            << testing::PrintToString(c.args);
        EXPECT_EQ(p.out, c.out);
    }
    EXPECT_EQ(parse({"-i", "1/1/79", "1/31/79", "x"}).device, "x");
}

TEST(BadCommandLines, EndWithUsage)
{
    struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{}, 1, usage},
        {{"-f"}, 1, usage},
        {{"-i"}, 1, usage},
        {{"-i", "1/1/79"}, 1, usage},
        {{"-h"}, 255, usage},
        {{"-?"}, 255, usage},
        {{"-u", "-z"}, 255, usage},
        {{"-z"}, 255, "Switch 'z' undefined.\n" + usage},
        {{"-a", "-Q"}, 255, "Switch 'Q' undefined.\n" + usage},
        {{"-"}, 255, "Switch '' undefined.\n" + usage},
    };
    for (const auto &c : cases) {
        Parsed p = parse(c.args);
        EXPECT_EQ(p.status, c.status) << testing::PrintToString(c.args);
        EXPECT_EQ(p.out, c.out) << testing::PrintToString(c.args);
    }
}

// The whole program: what it prints and its status for command lines that
// end before the archive is read.
TEST(Program, EndsAfterTheCommandLine)
{
    std::string long_name(GP_DEVICE_MAX + 1, 'a');
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        // the archive x does not exist
        {{"-i", "1/1/79", "1/31/79", "x"}, 1, "first day: 28856\n, last_day: 28886\n",
         "mtopen: x: No such file or directory\n"},
        {{"-z"}, 255, "Switch 'z' undefined.\n" + usage, ""},
        {{}, 1, usage, ""},
        {{"-f"}, 1, usage, ""},
        {{"-i", "1/1/79"}, 1, usage, ""},
        {{"x", "-i"}, 1, usage, ""},
        {{"-a", long_name}, 1, "",
         "gridpick: archive name too long (at most " + std::to_string(PATH_MAX - 1) +
             " characters): " + long_name + "\n"},
    };
    for (const auto &c : cases) {
        auto r = gridpick(c.args);
        EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.args);
        EXPECT_EQ(r.out, c.out) << testing::PrintToString(c.args);
        EXPECT_EQ(r.err, c.err) << testing::PrintToString(c.args);
    }
}
