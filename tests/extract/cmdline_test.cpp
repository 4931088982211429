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
    EXPECT_EQ(gp_run.tape_unit, 4);
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

TEST(Switches, SetTheirSettings)
{
    Parsed p = parse({"-o", "-p", "-v", "-x", "tape.grb", "-f", "fields.ov"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.device, "tape.grb");
    EXPECT_EQ(gp_run.destination, GP_DEST_ONE_FILE);
    EXPECT_EQ(gp_run.prompt_user, 1);
    EXPECT_EQ(gp_run.verbose, 1);
    EXPECT_EQ(gp_run.xquery, 0);
    EXPECT_STREQ(gp_run.out_file, "fields.ov");
    EXPECT_EQ(gp_run.getall, 0);

    EXPECT_EQ(parse({"-o", "-s"}).status, 0);
    EXPECT_EQ(gp_run.destination, GP_DEST_PER_FIELD);
}

TEST(Switches, OnlyTheSecondCharacterCounts)
{
    Parsed p = parse({"-output", "-xyz"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(gp_run.destination, GP_DEST_ONE_FILE);
    EXPECT_EQ(gp_run.xquery, 0);
}

TEST(Switches, XTogglesTheDialog)
{
    parse({"-x", "-x"});
    EXPECT_EQ(gp_run.xquery, 1);
    parse({"-x", "-x", "-x"});
    EXPECT_EQ(gp_run.xquery, 0);
}

TEST(Switches, ArgumentWordsAreTakenWhateverTheyLookLike)
{
    Parsed p = parse({"-f", "-o"});
    EXPECT_EQ(p.status, 0);
    EXPECT_STREQ(gp_run.out_file, "-o");
    EXPECT_EQ(gp_run.destination, GP_DEST_PER_FIELD);
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

TEST(Dates, ParsedIntoDayNumbers)
{
    Parsed p = parse({"-i", "1/1/79", "1/31/79", "x"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out, "first day: 28856\n, last_day: 28886\n");
    EXPECT_EQ(gp_run.start_month, 1);
    EXPECT_EQ(gp_run.start_day, 1);
    EXPECT_EQ(gp_run.start_year, 79);
    EXPECT_EQ(gp_run.end_month, 1);
    EXPECT_EQ(gp_run.end_day, 31);
    EXPECT_EQ(gp_run.end_year, 79);
    EXPECT_EQ(gp_run.first_day, 28856);
    EXPECT_EQ(gp_run.last_day, 28886);
    EXPECT_EQ(p.device, "x");
}

TEST(Dates, PartlyMatchedDatesKeepTheRest)
{
    Parsed p = parse({"-i", "3/4", "junk"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(gp_run.start_month, 3);
    EXPECT_EQ(gp_run.start_day, 4);
    EXPECT_EQ(gp_run.start_year, 0);
    EXPECT_EQ(gp_run.end_month, 0);
    EXPECT_EQ(gp_run.end_day, 0);
    EXPECT_EQ(gp_run.first_day, kdate(3, 4, 0));
    EXPECT_EQ(gp_run.last_day, 0);
    EXPECT_EQ(p.out, "first day: 64\n, last_day: 0\n");
}

TEST(Dates, RepeatedSwitchReplacesTheDates)
{
    Parsed p = parse({"-i", "1/1/79", "1/2/79", "-i", "2/1/80", "2/2/80"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(gp_run.first_day, kdate(2, 1, 80));
    EXPECT_EQ(gp_run.last_day, kdate(2, 2, 80));
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

TEST(Program, PrintsTheDayNumbers)
{
    auto r = gridpick({"-i", "1/1/79", "1/31/79", "x"});
    EXPECT_EQ(r.out, "first day: 28856\n, last_day: 28886\n");
    // The archive x does not exist: the run ends after the command line.
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mtopen: x: No such file or directory\n");
}

TEST(Program, UndefinedSwitch)
{
    auto r = gridpick({"-z"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "Switch 'z' undefined.\n" + usage);
    EXPECT_EQ(r.err, "");
}

TEST(Program, NoArgumentsShowsUsage)
{
    auto r = gridpick({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, usage);
}

TEST(Program, MissingSwitchArgumentShowsUsage)
{
    for (auto args : {std::vector<std::string>{"-f"}, {"-i", "1/1/79"}, {"x", "-i"}}) {
        auto r = gridpick(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, usage);
    }
}

TEST(Program, ArchiveNameTooLong)
{
    std::string name(GP_DEVICE_MAX + 1, 'a');
    auto r = gridpick({"-a", name});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "gridpick: archive name too long (at most " + std::to_string(PATH_MAX - 1) +
                         " characters): " + name + "\n");
}
