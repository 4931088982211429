// Selection, the parameter table, output names and the ov header of a field.
#include "extract.h"
#include "ov_sets.h"
#include "process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Extract : public testing::Test {
protected:
    void SetUp() override
    {
        gp_extract_reset();
        init_arrays();
    }
    void TearDown() override { gp_extract_reset(); }

    static void field(int code, int level, int month, int day, int year, int hour = 0)
    {
        gp_field = {year, month, day, hour, 0, code, level};
    }
};

TEST_F(Extract, DatesAreComparedAsDayNumbers)
{
    gp_run.first_day = gp_run.last_day = kdate(1, 1, 79);
    EXPECT_EQ(desired_date(1, 1, 79), 1);
    EXPECT_EQ(desired_date(1, 2, 79), 0);
    EXPECT_EQ(desired_date(12, 31, 78), 0);
    gp_run.last_day = kdate(3, 1, 80);
    EXPECT_EQ(desired_date(2, 29, 80), 1);
    EXPECT_EQ(desired_date(1, 1, 1979), 1);   // a four-digit year is the same day
}

TEST_F(Extract, ParametersAndLevels)
{
    gp_run.param[130] = 1;
    gp_run.level[0] = 500;
    gp_run.level[1] = 0;
    gp_run.num_levels = 2;
    EXPECT_EQ(desired_param(130), 1);
    EXPECT_EQ(desired_param(131), 0);
    EXPECT_EQ(desired_param(185), 0);
    EXPECT_EQ(desired_param(-1), 0);
    EXPECT_EQ(desired_level(500), 1);
    EXPECT_EQ(desired_level(0), 1);
    EXPECT_EQ(desired_level(850), 0);
    gp_run.num_levels = 0;
    EXPECT_EQ(desired_level(500), 0);
    gp_run.getall = 1;
    EXPECT_EQ(desired_param(255), 1);
    EXPECT_EQ(desired_level(925), 1);
}

TEST_F(Extract, DecisionForTheCurrentField)
{
    gp_run.first_day = kdate(6, 1, 79);
    gp_run.last_day = kdate(6, 30, 79);
    gp_run.param[130] = gp_run.param[132] = 1;
    gp_run.level[0] = 500;
    gp_run.num_levels = 1;
    // code, level, month, day, prompting: the decision
    const int cases[][6] = {
        {130, 500, 6, 15, 0, GP_WRITE}, {130, 500, 7, 1, 0, GP_SKIP},
        {129, 500, 6, 15, 0, GP_SKIP},  {130, 850, 6, 15, 0, GP_SKIP},
        {132, 500, 6, 15, 1, GP_WRITE},   // a second wind component is never asked about
    };
    for (const auto &c : cases) {
        field(c[0], c[1], c[2], c[3], 79);
        gp_run.prompt_user = c[4];
        EXPECT_EQ(desired_data_set(), c[5]) << c[0] << " " << c[1] << " " << c[2];
    }
}

TEST_F(Extract, ParameterTable)
{
    EXPECT_STREQ(gp_table.units[131], "ms-1");
    EXPECT_STREQ(gp_table.extension[131], "wind");
    EXPECT_EQ(gp_table.param_default_value[131], -999.0f);
    EXPECT_STREQ(gp_table.units[136], "");
    EXPECT_STREQ(gp_table.extension[136], "");
    EXPECT_EQ(gp_table.param_default_value[136], -9999.0f);
    EXPECT_STREQ(gp_table.units[165], "m s-1");
    EXPECT_STREQ(gp_table.extension[134], "surface_pressure");
    EXPECT_EQ(gp_table.param_default_value[135], 999.99f);
    EXPECT_EQ(gp_table.param_default_value[157], 999.0f);
    for (int code = 0; code < GP_NUM_PARAMS; code++)
        EXPECT_EQ(gp_table.param_scale_factor[code], 1.0f) << code;
    EXPECT_STREQ(gp_units_of(200), "");
    EXPECT_EQ(gp_missing_value_of(200), -9999.0f);
}

TEST_F(Extract, OutputNames)
{
    const struct {
        gp_field_state f;   // year, month, day, hour, minute, code, level
        const char *name;
    } cases[] = {
        {{79, 6, 15, 12, 0, 130, 500}, "NRV.79JUN15.12z.500mb.temp"},
        {{79, 6, 5, 0, 0, 139, 0}, "NRV.79JUN5.00z.0mb.surface_temp"},
        {{99, 12, 31, 18, 0, 136, 0}, "NRV.99DEC31.18z.0mb.p136"},   // no extension: its code
        {{79, 1, 1, 0, 0, 200, 850}, "NRV.79JAN1.00z.850mb.p200"},
        {{79, 13, 1, 0, 0, 130, 500}, "NRV.79XXX1.00z.500mb.temp"},
    };
    for (const auto &c : cases) {
        char name[GP_OUT_FILE_LEN];
        gp_output_name(c.f, name, sizeof name);
        EXPECT_STREQ(name, c.name);
    }
}

TEST_F(Extract, HeaderOfAField)
{
    std::int32_t *k1 = gp_msg.ksec1, *k2 = gp_msg.ksec2;
    k1[5] = 131; k1[7] = 500; k1[9] = 79; k1[10] = 6; k1[11] = 15; k1[12] = 12; k1[13] = 30;
    k2[0] = 0; k2[1] = 144; k2[2] = 73; k2[3] = 90000; k2[4] = 0; k2[6] = -90000;
    k2[8] = 2500; k2[9] = 2000;
    field(131, 500, 6, 15, 79, 12);
    OvHeader h;
    gp_fill_header(&h, gp_msg.decoded_data.data());
    EXPECT_EQ(h.id, 1001);
    EXPECT_EQ(h.year, 79);
    EXPECT_EQ(h.month, 6);
    EXPECT_EQ(h.day, 15);
    EXPECT_EQ(h.time, 12.5f);
    EXPECT_EQ(h.type, OV_VECTOR);
    EXPECT_EQ(h.param, 131);
    EXPECT_EQ(h.level, 500);
    EXPECT_EQ(h.bad_value, -999.0f);
    EXPECT_EQ(h.start_lat, 90.0f);
    EXPECT_EQ(h.end_lat, -90.0f);
    EXPECT_EQ(h.start_lon, 0.0f);
    EXPECT_EQ(h.end_lon, 360.0f);
    EXPECT_EQ(h.lon_increment, 2.5f);
    EXPECT_EQ(h.lat_increment, 2.0f);
    EXPECT_EQ(h.num_rows, 73);
    EXPECT_EQ(h.num_columns, 144);
    EXPECT_STREQ(h.units, "ms-1");
    EXPECT_EQ(h.data, gp_msg.decoded_data.data());
    EXPECT_EQ(h.vdata, nullptr);
    EXPECT_EQ(h.reserved[0], 0);
    // Not a latitude/longitude grid: both increments are the i increment.
    k2[0] = 4;
    k1[5] = 130;
    field(130, 500, 6, 15, 79, 12);
    gp_fill_header(&h, gp_msg.decoded_data.data());
    EXPECT_EQ(h.lat_increment, 2.5f);
    EXPECT_EQ(h.type, OV_CONTOUR);
    EXPECT_STREQ(h.units, "K");
}

TEST_F(Extract, ScalingAndHelpers)
{
    float v[2] = {100.0f, 250.0f};
    testing::internal::CaptureStdout();
    scale_data(v, 2, 0.01f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Scaling by 0.01\n");
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[1], 2.5f);

    for (int c = 0; c < 144; c++)
        for (int r = 0; r < 73; r++)
            gp_msg.decoded_data[c * 73 + r] = static_cast<float>(1000 * c + r);
    new_transpose_data();
    EXPECT_EQ(gp_msg.decoded_data[5 * 144 + 7], 7005.0f);
    EXPECT_EQ(gp_msg.decoded_data[72 * 144 + 143], 143072.0f);

    float src[12];
    for (int i = 0; i < 12; i++)
        src[i] = static_cast<float>(i);
    float *sub = copy_array_subset(src, 4, 3, 1, 1, 2, 2);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub[0], 5.0f);
    EXPECT_EQ(sub[1], 6.0f);
    EXPECT_EQ(sub[2], 9.0f);
    EXPECT_EQ(sub[3], 10.0f);
    std::free(sub);

    EXPECT_EQ(white_space(','), 1);
    EXPECT_EQ(white_space('\t'), 1);
    EXPECT_EQ(white_space('x'), 0);
    int a = 0, b = 0;
    parse_date("12/31", &a, &b);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 31);
}

// Vertical velocity (bad_value 999.99) on 2 x 2 points, the second marked
// missing by the bit map; section 4 flagged integer data (32): 16 bits,
// R 0, E 0, the values 1000, 7 and 9.
TEST_F(Extract, IntegerFieldsAreWrittenAsRealsTheirMissingPointsAsBadValue)
{
    const unsigned char message[] = {
        'G', 'R', 'I', 'B', 0, 0, 98, 1,
        0, 0, 28, 128, 98, 1, 255, 192, 135, 100, 0x01, 0xF4, 79, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0,
        0, 20, 0, 0, 0,
        0, 0, 32, 0, 255, 0, 0, 2, 0, 2, 0x01, 0x5F, 0x90, 0, 0, 0, 128, 0x01, 0x38, 0x80, 0,
        0x27, 0x10, 0x27, 0x10, 0x27, 0x10, 0, 0, 0, 0, 0,
        0, 0, 8, 12, 0, 0, 0xB0, 0,
        0, 0, 18, 0x20 | 8, 0, 0, 0, 0, 0, 0, 16, 0x03, 0xE8, 0, 7, 0, 9, 0,
        '7', '7', '7', '7'};
    static_assert(sizeof message == 98);
    std::vector<std::int32_t> buffer(GP_IGRIB_WORDS);
    std::memcpy(buffer.data(), message, sizeof message);
    ASSERT_EQ(decode_data_set(buffer), 0);
    ASSERT_EQ(unpack_data_set(buffer), 4);
    const float expected[] = {1000.0f, 999.99f, 7.0f, 9.0f};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(gp_msg.decoded_data[i], expected[i]) << i;
}

TEST_F(Extract, ScalingLeavesMissingPointsAtBadValue)
{
    gptest::TempDir dir;
    gp_run.destination = GP_DEST_ONE_FILE;
    gp_run.out_file_given = 1;
    std::snprintf(gp_run.out_file, sizeof gp_run.out_file, "%s", dir.file("t.ov").c_str());
    gp_table.param_scale_factor[130] = 0.01f;
    gp_msg.ksec2[1] = 3;   // 3 columns, 1 row
    gp_msg.ksec2[2] = 1;
    const float values[] = {100.0f, -999.0f, 250.0f};
    std::memcpy(gp_msg.decoded_data.data(), values, sizeof values);
    field(130, 500, 1, 1, 79);
    testing::internal::CaptureStdout();
    ASSERT_EQ(write_data_set(3), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Scaling by 0.01\nWriting " + dir.file("t.ov") + "...\n");
    auto sets = gptest::read_sets(dir.file("t.ov"));
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].data, (std::vector<float>{1.0f, -999.0f, 2.5f}));
}

TEST_F(Extract, FailedAppendIsReportedAndNotCounted)
{
    gp_run.destination = GP_DEST_ONE_FILE;
    gp_run.num_dsets_written = 1;
    std::snprintf(gp_run.out_file, sizeof gp_run.out_file, "/nonexistent/x.ov");
    field(130, 500, 1, 1, 79);
    testing::internal::CaptureStderr();
    EXPECT_EQ(write_data_set(4), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: cannot open /nonexistent/x.ov to append to it; data set not written\n");
    EXPECT_EQ(gp_run.num_dsets_written, 1);
}

TEST_F(Extract, WindComponentsPairOnlyWithTheirPartner)
{
    gp_run.destination = GP_DEST_ONE_FILE;
    gp_run.num_dsets_written = 1;
    std::snprintf(gp_run.out_file, sizeof gp_run.out_file, "/nonexistent/x.ov");
    field(131, 500, 1, 1, 79, 6);
    testing::internal::CaptureStderr();
    EXPECT_EQ(write_data_set(4), 0);   // kept until its second component
    EXPECT_EQ(gp_out.pending, 1);
    field(132, 850, 1, 1, 79, 6);      // another level: no pair
    EXPECT_EQ(write_data_set(4), -1);
    EXPECT_EQ(gp_out.pending, 0);
    field(165, 0, 1, 1, 79, 6);
    EXPECT_EQ(write_data_set(4), 0);
    field(130, 0, 1, 1, 79, 6);        // anything else drops it as well
    EXPECT_EQ(write_data_set(4), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "gridpick: no second component for the wind data set at 500 mb at 6:00 on 1/1/79; "
              "not written\n"
              "gridpick: no first component for the wind data set at 850 mb at 6:00 on 1/1/79; "
              "passed over\n"
              "gridpick: no second component for the 10m_wind data set at 0 mb at 6:00 on 1/1/79; "
              "not written\n"
              "gridpick: cannot open /nonexistent/x.ov to append to it; data set not written\n");
    EXPECT_EQ(gp_run.num_dsets_written, 1);
}

// The terminal questions, answered from a file put in place of standard input.
TEST_F(Extract, MenuAnswersCountEveryChoice)
{
    ASSERT_TRUE(gptest::stdin_from("3 3 0\n500 850 0\n"));
    gp_run.start_month = gp_run.start_day = gp_run.end_month = gp_run.end_day = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(query_user(0, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "\nParameter          Name\n"
              "_______________________________________\n"
              "   1           Geopotential Height\n"
              "   2           Temperature\n"
              "   3           Wind Vectors\n"
              "   4           Humidity\n"
              "   5           Vertical P-velocity\n\n"
              "Enter the numbers of the parameters you want.\n"
              "Enter '0' when you are done: "
              "Enter the levels (in mb) that you want.\n"
              "Enter 0 when you are done: ");
    EXPECT_EQ(gp_run.num_params, 2);
    for (int code = 0; code < GP_NUM_PARAMS; code++)
        EXPECT_EQ(gp_run.param[code], code == 131 || code == 132 ? 1 : 0) << code;
    EXPECT_EQ(gp_run.num_levels, 2);
    EXPECT_EQ(gp_run.level[0], 500);
    EXPECT_EQ(gp_run.level[1], 850);
}

// Lines and words of standard input, from a file put in its place.
TEST_F(Extract, LinesAndWordsOfStandardInput)
{
    ASSERT_TRUE(gptest::stdin_from("a b,c\tdd\n\nnew.ov\n  word  longerword\n"));
    char line[64];
    EXPECT_EQ(get_arg_string(line, sizeof line), 4);
    EXPECT_STREQ(line, "a b,c\tdd");
    char name[GP_OUT_FILE_LEN] = "norva.out";
    testing::internal::CaptureStdout();
    get_file_name_from_user(name, sizeof name);   // empty line: kept
    get_file_name_from_user(name, sizeof name);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Enter Filename [norva.out]: Enter Filename [norva.out]: ");
    EXPECT_STREQ(name, "new.ov");
    char word[5];
    EXPECT_EQ(gp_read_word(word, sizeof word), 0);
    EXPECT_STREQ(word, "word");
    EXPECT_EQ(gp_read_word(word, sizeof word), 0);
    EXPECT_STREQ(word, "long");   // cut to the buffer
    EXPECT_EQ(gp_read_word(word, sizeof word), -1);
    EXPECT_EQ(get_arg_string(line, sizeof line), 0);
}

}  // namespace
