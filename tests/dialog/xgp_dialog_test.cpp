// The selector dialog driven through its objects, without an X display: the
// objects are built but never shown, and the user's clicks go through the
// same notify path a real click takes.
#include "config.h"
#include "xgp.h"
#include "xgp_stubs.h"

#include <FL/Enumerations.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<int> levels()
{
    return {gp_run.level, gp_run.level + gp_run.num_levels};
}

std::vector<int> params()
{
    std::vector<int> codes;
    for (int code = 0; code < GP_NUM_PARAMS; ++code)
        if (gp_run.param[code])
            codes.push_back(code);
    return codes;
}

std::vector<std::string> rows(Xv_opaque list)
{
    std::vector<std::string> r;
    for (int i = 0; i < xv_list_nrows(list); ++i)
        r.emplace_back(xv_list_string(list, i));
    return r;
}

std::vector<int> selected_rows(Xv_opaque list)
{
    std::vector<int> r;
    for (int i = 0; i < xv_list_nrows(list); ++i)
        if (xv_list_selected(list, i))
            r.push_back(i);
    return r;
}

class Dialog : public testing::Test {
protected:
    void SetUp() override
    {
        gp_run_reset();
        gp_run_defaults();
        xv_reset();
        xgp_dialog_reset();
        xgp.INSTANCE = xv_unique_key();
        ip = xgp.Xgp_base_frame = xgp_base_frame_objects_initialize(nullptr, nullptr);
        ASSERT_NE(ip, nullptr);
    }

    void TearDown() override
    {
        xv_reset();
        xgp_dialog_reset();
    }

    // The -i switch's dates, 1/1/79 to 1/31/79.
    void given_dates()
    {
        gp_run.start_month = 1, gp_run.start_day = 1, gp_run.start_year = 79;
        gp_run.end_month = 1, gp_run.end_day = 31, gp_run.end_year = 79;
        gp_run.first_day = 28856, gp_run.last_day = 28886;
    }

    void expect_dates(int sm, int sd, int sy, int em, int ed, int ey, int first, int last)
    {
        EXPECT_EQ((std::vector<int>{gp_run.start_month, gp_run.start_day, gp_run.start_year,
                                    gp_run.end_month, gp_run.end_day, gp_run.end_year,
                                    gp_run.first_day, gp_run.last_day}),
                  (std::vector<int>{sm, sd, sy, em, ed, ey, first, last}));
    }

    xgp_base_frame_objects *ip = nullptr;
};

TEST_F(Dialog, StartsWithTheItemsInTheirInitialState)
{
    EXPECT_EQ(rows(ip->level_list),
              (std::vector<std::string>{"Surface", "1000 mb", "850 mb", "700 mb", "500 mb",
                                        "400 mb", "300 mb", "250 mb", "200 mb", "150 mb",
                                        "100 mb", "70 mb", "50 mb", "30 mb", "10 mb"}));
    EXPECT_EQ(rows(ip->param_list),
              (std::vector<std::string>{"Geopotential", "Wind", "Temperature",
                                        "Relative Humidity", "Vertical Velocity"}));
    EXPECT_EQ(rows(ip->surface_param_list),
              (std::vector<std::string>{"Surface Temperature", "Mean Sea Level Pressure",
                                        "Wind at 10m", "Temperature at 2m", "Dewpoint at 2m",
                                        "Land/Sea Mask", "Surface Pressure"}));
    for (Xv_opaque list : {ip->level_list, ip->param_list, ip->surface_param_list})
        EXPECT_TRUE(selected_rows(list).empty());
    EXPECT_STREQ(xv_text_value(ip->start_date_item), "1/1/60");
    EXPECT_STREQ(xv_text_value(ip->end_date_item), "12/31/99");
    EXPECT_EQ(xv_choice_value(ip->prompt_check_box), 0);
    for (Xv_opaque box : {ip->level_check_box, ip->param_check_box, ip->surface_param_check_box})
        EXPECT_EQ(xv_choice_value(box), 0);

    Xv_opaque *all = &ip->base_frame;
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(xv_get_key_data(all[i], xgp.INSTANCE), ip) << "object " << i;
        bool surface = all[i] == ip->surface_param_check_box || all[i] == ip->surface_param_list;
        EXPECT_EQ(xv_inactive(all[i]), surface) << "object " << i;
    }
    EXPECT_FALSE(xv_destroyed(ip->base_frame));
}

struct Shown {
    std::string label;
    int x, y;
};

Shown shown(Xv_opaque obj)
{
    int x, y, w, h;
    xv_rect(obj, &x, &y, &w, &h);
    return {xv_label(obj), x, y};
}

bool operator==(const Shown &a, const Shown &b)
{
    return a.label == b.label && a.x == b.x && a.y == b.y;
}

void PrintTo(const Shown &s, std::ostream *os)
{
    *os << '"' << s.label << "\" at " << s.x << ", " << s.y;
}

TEST_F(Dialog, ItemsShowTheirLabelsInTheirPlaces)
{
    EXPECT_STREQ(xv_label(ip->base_frame), "NORVA Selector");
    int x, y, w, h;
    xv_rect(ip->base_frame, &x, &y, &w, &h);
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{0, 0, 400, 452}));
    xv_rect(ip->controls1, &x, &y, &w, &h);
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{0, 0, 400, 432}));

    EXPECT_EQ(shown(ip->ok_button), (Shown{"OK", 16, 8}));
    EXPECT_EQ(shown(ip->cancel_button), (Shown{"Cancel", 68, 8}));
    EXPECT_EQ(shown(ip->level_check_box), (Shown{"Levels:", 16, 28}));
    EXPECT_EQ(shown(ip->param_check_box), (Shown{"Parameters:", 164, 28}));
    EXPECT_EQ(shown(ip->level_list), (Shown{"", 16, 56}));
    EXPECT_EQ(shown(ip->param_list), (Shown{"", 164, 56}));
    EXPECT_EQ(shown(ip->surface_param_check_box), (Shown{"Surface Parameters:", 164, 176}));
    EXPECT_EQ(shown(ip->surface_param_list), (Shown{"", 164, 200}));
    EXPECT_EQ(shown(ip->start_date_item), (Shown{"First Date of Interest (MM/DD/YY) :", 16, 360}));
    EXPECT_EQ(shown(ip->end_date_item), (Shown{"Last Date of Interest (MM/DD/YY) :", 16, 384}));
    EXPECT_EQ(shown(ip->prompt_check_box), (Shown{"Ask Me About Each Data Set:", 16, 404}));

    for (Xv_opaque box : {ip->level_check_box, ip->param_check_box, ip->surface_param_check_box}) {
        EXPECT_STREQ(xv_choice_string(box, 0), "All");
        EXPECT_STREQ(xv_choice_string(box, 1), "");
    }
    EXPECT_STREQ(xv_choice_string(ip->prompt_check_box, 0), "No");
    EXPECT_STREQ(xv_choice_string(ip->prompt_check_box, 1), "Yes");
    EXPECT_STREQ(xv_choice_string(ip->prompt_check_box, 2), "");

    int widths[3];
    Xv_opaque lists[] = {ip->level_list, ip->param_list, ip->surface_param_list};
    for (int i = 0; i < 3; ++i)
        xv_rect(lists[i], &x, &y, &widths[i], &h);
    EXPECT_EQ((std::vector<int>{widths[0], widths[1], widths[2]}), (std::vector<int>{100, 136, 200}));
}

TEST_F(Dialog, InitializeCreatesOnlyTheEmptyHandles)
{
    xgp_base_frame_objects before = *ip;
    EXPECT_EQ(xgp_base_frame_objects_initialize(ip, nullptr), ip);
    EXPECT_EQ(ip->ok_button, before.ok_button);
    EXPECT_EQ(ip->prompt_check_box, before.prompt_check_box);

    ip->prompt_check_box = nullptr;
    EXPECT_EQ(xgp_base_frame_objects_initialize(ip, nullptr), ip);
    EXPECT_NE(ip->prompt_check_box, nullptr);
    EXPECT_NE(ip->prompt_check_box, before.prompt_check_box);
    EXPECT_EQ(ip->level_list, before.level_list);
    EXPECT_EQ(xv_get_key_data(ip->prompt_check_box, xgp.INSTANCE), ip);
}

TEST_F(Dialog, OkInTheInitialStateTakesTheDefaultDates)
{
    given_dates();
    xv_user_press(ip->ok_button);
    EXPECT_TRUE(levels().empty());
    EXPECT_EQ(gp_run.num_levels, 0);
    EXPECT_TRUE(params().empty());
    expect_dates(1, 1, 60, 12, 31, 99, 21916, 36525);
    EXPECT_EQ(gp_run.prompt_user, 0);
    EXPECT_TRUE(xv_destroyed(ip->base_frame));
    EXPECT_TRUE(xv_destroyed(ip->level_list));
}

// Rows clicked, then OK: the levels and the parameter codes written.
TEST_F(Dialog, OkTakesTheSelectedRows)
{
    enum { L, P, S };   // level_list, param_list, surface_param_list
    const struct {
        std::vector<std::pair<int, int>> clicks;
        std::vector<int> levels, params;
    } cases[] = {
        {{{L, 4}, {P, 2}}, {500}, {130}},   // 500 mb, Temperature
        {{{P, 0}}, {}, {129}},
        {{{P, 1}}, {}, {131, 132}},
        {{{P, 2}}, {}, {130}},
        {{{P, 3}}, {}, {157}},
        {{{P, 4}}, {}, {135}},
        {{{L, 0}, {S, 0}}, {0}, {139}},
        {{{L, 0}, {S, 1}}, {0}, {151}},
        {{{L, 0}, {S, 2}}, {0}, {165, 166}},
        {{{L, 0}, {S, 3}}, {0}, {167}},
        {{{L, 0}, {S, 4}}, {0}, {168}},
        {{{L, 0}, {S, 5}}, {0}, {172}},
        {{{L, 0}, {S, 6}}, {0}, {134}},
        // surface parameters count only with the Surface row
        {{{L, 0}, {S, 2}, {L, 0}, {L, 2}}, {850}, {}},
        // ... and come back with it; levels in row order, not click order
        {{{L, 0}, {S, 2}, {L, 0}, {L, 1}, {L, 0}}, {0, 1000}, {165, 166}},
    };
    for (const auto &c : cases) {
        SetUp();
        Xv_opaque lists[] = {ip->level_list, ip->param_list, ip->surface_param_list};
        for (auto [list, row] : c.clicks)
            xv_user_toggle_row(lists[list], row);
        xv_user_press(ip->ok_button);
        EXPECT_EQ(levels(), c.levels) << testing::PrintToString(c.clicks);
        EXPECT_EQ(params(), c.params) << testing::PrintToString(c.clicks);
    }
}

TEST_F(Dialog, SurfaceRowGovernsTheSurfaceItems)
{
    xv_user_toggle_row(ip->surface_param_list, 2);   // inactive: ignored
    EXPECT_TRUE(selected_rows(ip->surface_param_list).empty());

    xv_user_toggle_row(ip->level_list, 0);
    EXPECT_FALSE(xv_inactive(ip->surface_param_check_box));
    EXPECT_FALSE(xv_inactive(ip->surface_param_list));
    xv_user_toggle_row(ip->surface_param_list, 2);    // Wind at 10m

    xv_user_toggle_row(ip->level_list, 3);            // other rows change nothing
    xv_user_toggle_row(ip->level_list, 3);
    EXPECT_FALSE(xv_inactive(ip->surface_param_list));

    xv_user_toggle_row(ip->level_list, 0);            // Surface deselected
    EXPECT_TRUE(xv_inactive(ip->surface_param_check_box));
    EXPECT_TRUE(xv_inactive(ip->surface_param_list));
    EXPECT_EQ(selected_rows(ip->surface_param_list), (std::vector<int>{2}));
}

TEST_F(Dialog, AllLevelsGivesFifteenLevelsAndTheSurfaceItems)
{
    xv_user_toggle(ip->level_check_box, 0);
    EXPECT_EQ(xv_choice_value(ip->level_check_box), 1);
    EXPECT_EQ(selected_rows(ip->level_list).size(), 15u);
    EXPECT_FALSE(xv_inactive(ip->surface_param_list));

    xv_user_toggle(ip->level_check_box, 0);           // unchecking does nothing
    EXPECT_EQ(xv_choice_value(ip->level_check_box), 0);
    EXPECT_EQ(selected_rows(ip->level_list).size(), 15u);

    xv_user_press(ip->ok_button);
    EXPECT_EQ(levels(), (std::vector<int>{0, 1000, 850, 700, 500, 400, 300, 250, 200, 150, 100,
                                          70, 50, 30, 10}));
    EXPECT_EQ(gp_run.num_levels, 15);
    EXPECT_TRUE(params().empty());
}

TEST_F(Dialog, AllParametersOfBothLists)
{
    xv_user_toggle(ip->surface_param_check_box, 0);   // inactive: ignored
    EXPECT_TRUE(selected_rows(ip->surface_param_list).empty());
    xv_user_toggle(ip->param_check_box, 0);
    xv_user_toggle(ip->level_check_box, 0);
    xv_user_toggle(ip->surface_param_check_box, 0);
    xv_user_press(ip->ok_button);
    EXPECT_EQ(params(), (std::vector<int>{129, 130, 131, 132, 134, 135, 139, 151, 157, 165, 166,
                                          167, 168, 172}));
}

TEST_F(Dialog, OkOnlySetsFlagsAndLeavesTheParameterCount)
{
    gp_run.param[1] = 1;
    gp_run.num_params = 3;
    gp_run.level[0] = 700;
    gp_run.num_levels = 1;
    xv_user_toggle_row(ip->param_list, 0);
    xv_user_press(ip->ok_button);
    EXPECT_EQ(params(), (std::vector<int>{1, 129}));
    EXPECT_EQ(gp_run.num_params, 3);
    EXPECT_TRUE(levels().empty());   // rebuilt from the rows: none selected
}

TEST_F(Dialog, PromptChoiceTakesEffectAtOnceAndSurvivesCancel)
{
    given_dates();
    xv_user_toggle_row(ip->level_list, 4);
    xv_user_choose(ip->prompt_check_box, 1);
    EXPECT_EQ(gp_run.prompt_user, 1);
    EXPECT_EQ(xv_choice_value(ip->prompt_check_box), 1);
    xv_user_choose(ip->prompt_check_box, 0);
    EXPECT_EQ(gp_run.prompt_user, 0);
    xv_user_choose(ip->prompt_check_box, 1);
    xv_user_press(ip->cancel_button);
    EXPECT_EQ(gp_run.prompt_user, 1);
    EXPECT_TRUE(levels().empty());
    expect_dates(1, 1, 79, 1, 31, 79, 28856, 28886);
    EXPECT_TRUE(xv_destroyed(ip->base_frame));
}

TEST_F(Dialog, WindowCloseActsAsCancel)
{
    given_dates();
    xv_user_toggle_row(ip->level_list, 4);
    xv_user_toggle_row(ip->param_list, 2);
    xv_user_close(ip->base_frame);
    EXPECT_TRUE(xv_destroyed(ip->base_frame));
    EXPECT_TRUE(levels().empty());
    EXPECT_TRUE(params().empty());
    expect_dates(1, 1, 79, 1, 31, 79, 28856, 28886);
}

TEST_F(Dialog, CancelWithoutDatesLeavesThemZero)
{
    xv_user_press(ip->cancel_button);
    expect_dates(0, 0, 0, 0, 0, 0, 0, 0);
    xv_user_press(ip->ok_button);                     // gone with its frame
    expect_dates(0, 0, 0, 0, 0, 0, 0, 0);
}

TEST_F(Dialog, EditedDatesAreReadOnOk)
{
    given_dates();
    xv_user_enter_text(ip->start_date_item, "2/29/80");
    xv_user_enter_text(ip->end_date_item, "3/1/80");
    expect_dates(1, 1, 79, 1, 31, 79, 28856, 28886);  // nothing before OK
    xv_user_press(ip->ok_button);
    expect_dates(2, 29, 80, 3, 1, 80, 29280, 29281);
}

TEST_F(Dialog, UnmatchedDateFieldsStayAsTheyWere)
{
    given_dates();
    xv_user_enter_text(ip->start_date_item, "4/31");
    xv_user_enter_text(ip->end_date_item, "tomorrow");
    xv_user_press(ip->ok_button);
    expect_dates(4, 31, 79, 1, 31, 79, 28976, 28886);   // = 5/1/79
}

TEST_F(Dialog, DateFieldsKeepEightyCharacters)
{
    std::string longer(100, '1');
    xv_user_enter_text(ip->start_date_item, longer.c_str());
    EXPECT_EQ(std::string(xv_text_value(ip->start_date_item)), std::string(80, '1'));
}

TEST_F(Dialog, DateProcsMoveTheCaretAsUsual)
{
    Event enter{FL_KEYBOARD, FL_Enter, false}, tab{FL_KEYBOARD, FL_Tab, false},
        back{FL_KEYBOARD, FL_Tab, true}, letter{FL_KEYBOARD, 'a', false};
    EXPECT_EQ(start_date_proc(ip->start_date_item, &enter), PANEL_NEXT);
    EXPECT_EQ(end_date_proc(ip->end_date_item, &tab), PANEL_NEXT);
    EXPECT_EQ(end_date_proc(ip->end_date_item, &back), PANEL_PREVIOUS);
    EXPECT_EQ(start_date_proc(ip->start_date_item, &letter), PANEL_INSERT);
}

TEST_F(Dialog, ListProcsReturnSuccess)
{
    Event none{0, 0, false};
    EXPECT_EQ(level_list_proc(ip->level_list, "Surface", nullptr, PANEL_LIST_OP_SELECT, &none, 0),
              XV_OK);
    EXPECT_FALSE(xv_inactive(ip->surface_param_list));
    EXPECT_EQ(param_list_proc(ip->param_list, "Wind", nullptr, PANEL_LIST_OP_SELECT, &none, 1),
              XV_OK);
    EXPECT_EQ(surface_param_list_proc(ip->surface_param_list, "Land/Sea Mask", nullptr,
                                      PANEL_LIST_OP_DESELECT, &none, 5),
              XV_OK);
}

TEST_F(Dialog, CallbacksOfAForeignObjectDoNothing)
{
    Xv_opaque frame = xv_create(nullptr, FRAME_BASE, {.width = 50, .height = 50});
    Xv_opaque panel = xv_create(frame, PANEL, {});
    Xv_opaque button = xv_create(panel, PANEL_BUTTON, {.label = "OK", .notify = ok_button_proc});
    xv_user_press(button);
    EXPECT_FALSE(xv_destroyed(frame));
    EXPECT_FALSE(xv_destroyed(ip->base_frame));
    EXPECT_EQ(gp_run.first_day, 0);
}

// The toolkit layer itself.

int presses;
Xv_opaque frame_to_destroy;

void destroying_proc(Panel_item item, Event *)
{
    ++presses;
    xv_destroy_safe(frame_to_destroy);
    // The widgets stay until this procedure has returned; the handle already
    // answers as destroyed.
    EXPECT_TRUE(xv_destroyed(frame_to_destroy));
    EXPECT_TRUE(xv_destroyed(item));
}

TEST(Toolkit, OwnersMustFitTheKind)
{
    xv_reset();
    Xv_opaque frame = xv_create(nullptr, FRAME_BASE, {.width = 80, .height = 60});
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(xv_create(frame, PANEL_BUTTON, {.label = "x"}), nullptr);
    EXPECT_EQ(xv_create(nullptr, PANEL, {}), nullptr);
    Xv_opaque panel = xv_create(frame, PANEL, {});
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(xv_create(panel, PANEL, {}), nullptr);
    EXPECT_EQ(xv_create(panel, FRAME_BASE, {}), nullptr);
    xv_destroy_safe(frame);
    EXPECT_TRUE(xv_destroyed(panel));
    EXPECT_EQ(xv_create(panel, PANEL_BUTTON, {.label = "x"}), nullptr);
    xv_reset();
}

TEST(Toolkit, KeysAreFreshAndKeepTheirData)
{
    xv_reset();
    int a = xv_unique_key(), b = xv_unique_key();
    EXPECT_NE(a, b);
    Xv_opaque frame = xv_create(nullptr, FRAME_BASE, {.width = 80, .height = 60});
    int x = 1, y = 2;
    EXPECT_EQ(xv_get_key_data(frame, a), nullptr);
    xv_set_key_data(frame, a, &x);
    xv_set_key_data(frame, b, &y);
    xv_set_key_data(frame, a, &y);
    EXPECT_EQ(xv_get_key_data(frame, a), &y);
    EXPECT_EQ(xv_get_key_data(frame, b), &y);
    xv_reset();
}

TEST(Toolkit, DestroyFromANotifyWaitsForItsReturn)
{
    xv_reset();
    presses = 0;
    frame_to_destroy = xv_create(nullptr, FRAME_BASE, {.width = 80, .height = 60});
    Xv_opaque panel = xv_create(frame_to_destroy, PANEL, {});
    Xv_opaque button =
        xv_create(panel, PANEL_BUTTON, {.label = "Go", .notify = destroying_proc});
    xv_user_press(button);
    EXPECT_EQ(presses, 1);
    EXPECT_TRUE(xv_destroyed(frame_to_destroy));
    xv_user_press(button);
    EXPECT_EQ(presses, 1);
    xv_reset();
}

TEST(Toolkit, ListRowsOutsideTheListAreInert)
{
    xv_reset();
    const char *const two[] = {"a", "b"};
    Xv_opaque frame = xv_create(nullptr, FRAME_BASE, {.width = 80, .height = 60});
    Xv_opaque panel = xv_create(frame, PANEL, {});
    Xv_opaque list = xv_create(panel, PANEL_LIST, {.width = 40, .strings = two, .rows_shown = 2});
    xv_list_select(list, 2, true);
    xv_list_select(list, -1, true);
    xv_user_toggle_row(list, 5);
    EXPECT_EQ(xv_list_nrows(list), 2);
    EXPECT_FALSE(xv_list_selected(list, 0));
    EXPECT_FALSE(xv_list_selected(list, 1));
    EXPECT_STREQ(xv_list_string(list, 2), "");
    xv_list_select(list, 1, true);
    EXPECT_TRUE(xv_list_selected(list, 1));
    xv_list_select(list, 1, false);
    EXPECT_FALSE(xv_list_selected(list, 1));
    xv_reset();
}

TEST(Xmain, WithoutADisplayFallsBackToTheTerminal)
{
    gp_run_reset();
    gp_run_defaults();
    for (const char *display : {static_cast<const char *>(nullptr), ":4711"}) {
        if (display)
            setenv("DISPLAY", display, 1);
        else
            unsetenv("DISPLAY");
        char name[] = "gridpick";
        char *argv[] = {name, nullptr};
        testing::internal::CaptureStderr();
        EXPECT_EQ(xmain(1, argv), -1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "gridpick: cannot open the X display; asking at the terminal instead\n");
        EXPECT_EQ(gp_run.xquery, 1);
        EXPECT_EQ(gp_run.first_day, 0);
        EXPECT_EQ(gp_run.num_levels, 0);
    }
}

} // namespace
