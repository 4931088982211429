// The selector dialog's objects: one create function per object.
#include "xgp_ui.h"

#include "xgp_stubs.h"

#include <new>

xgp_dialog_state xgp;

namespace {

const char *const all_box[] = {"All"};

const char *const level_rows[] = {
    "Surface", "1000 mb", "850 mb", "700 mb", "500 mb", "400 mb", "300 mb", "250 mb",
    "200 mb",  "150 mb",  "100 mb", "70 mb",  "50 mb",  "30 mb",  "10 mb",
};

const char *const param_rows[] = {
    "Geopotential", "Wind", "Temperature", "Relative Humidity", "Vertical Velocity",
};

const char *const surface_param_rows[] = {
    "Surface Temperature", "Mean Sea Level Pressure", "Wind at 10m", "Temperature at 2m",
    "Dewpoint at 2m",      "Land/Sea Mask",           "Surface Pressure",
};

const char *const prompt_choices[] = {"No", "Yes"};

Xv_opaque keep_record(Xv_opaque obj, xgp_base_frame_objects *ip)
{
    if (obj)
        xv_set_key_data(obj, xgp.INSTANCE, ip);
    return obj;
}

} // namespace

void xgp_dialog_reset()
{
    xgp.INSTANCE = 0;
    xgp.Xgp_base_frame = nullptr;
    xgp.records.clear();
}

xgp_base_frame_objects *xgp_base_frame_objects_initialize(xgp_base_frame_objects *ip,
                                                          Xv_opaque owner)
{
    if (!ip) {
        try {
            xgp.records.push_back(std::make_unique<xgp_base_frame_objects>());
        } catch (const std::bad_alloc &) {
            return nullptr;
        }
        ip = xgp.records.back().get();
    }
    using create_fn = Xv_opaque (*)(xgp_base_frame_objects *, Xv_opaque);
    struct step {
        Xv_opaque xgp_base_frame_objects::*handle;
        create_fn create;
        Xv_opaque xgp_base_frame_objects::*on;  // owner, or none: the caller's
    };
    using R = xgp_base_frame_objects;
    const step steps[] = {
        {&R::base_frame, xgp_base_frame_base_frame_create, nullptr},
        {&R::controls1, xgp_base_frame_controls1_create, &R::base_frame},
        {&R::ok_button, xgp_base_frame_ok_button_create, &R::controls1},
        {&R::cancel_button, xgp_base_frame_cancel_button_create, &R::controls1},
        {&R::level_check_box, xgp_base_frame_level_check_box_create, &R::controls1},
        {&R::param_check_box, xgp_base_frame_param_check_box_create, &R::controls1},
        {&R::level_list, xgp_base_frame_level_list_create, &R::controls1},
        {&R::param_list, xgp_base_frame_param_list_create, &R::controls1},
        {&R::surface_param_check_box, xgp_base_frame_surface_param_check_box_create,
         &R::controls1},
        {&R::surface_param_list, xgp_base_frame_surface_param_list_create, &R::controls1},
        {&R::start_date_item, xgp_base_frame_start_date_item_create, &R::controls1},
        {&R::end_date_item, xgp_base_frame_end_date_item_create, &R::controls1},
        {&R::prompt_check_box, xgp_base_frame_prompt_check_box_create, &R::controls1},
    };
    for (const step &s : steps) {
        if (ip->*s.handle)
            continue;
        ip->*s.handle = s.create(ip, s.on ? ip->*s.on : owner);
        if (!(ip->*s.handle))
            return nullptr;
    }
    return ip;
}

Xv_opaque xgp_base_frame_base_frame_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, FRAME_BASE,
                                 {.width = 400,
                                  .height = 432,
                                  .label = "NORVA Selector",
                                  .show_footer = true,
                                  .show_resize_corner = true}),
                       ip);
}

Xv_opaque xgp_base_frame_controls1_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL, {}), ip);
}

Xv_opaque xgp_base_frame_ok_button_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_BUTTON,
                                 {.x = 16, .y = 8, .label = "OK", .notify = ok_button_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_cancel_button_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_BUTTON,
                                 {.x = 68, .y = 8, .label = "Cancel",
                                  .notify = cancel_button_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_level_check_box_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(
        xv_create(owner, PANEL_CHECK_BOX,
                  {.x = 16, .y = 28, .label = "Levels:", .strings = all_box, .value = 0,
                   .notify = xgp_base_frame_level_check_box_notify_callback}),
        ip);
}

Xv_opaque xgp_base_frame_param_check_box_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(
        xv_create(owner, PANEL_CHECK_BOX,
                  {.x = 164, .y = 28, .label = "Parameters:", .strings = all_box, .value = 0,
                   .notify = xgp_base_frame_param_check_box_notify_callback}),
        ip);
}

Xv_opaque xgp_base_frame_level_list_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_LIST,
                                 {.x = 16, .y = 56, .width = 100, .strings = level_rows,
                                  .rows_shown = 15, .notify = level_list_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_param_list_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_LIST,
                                 {.x = 164, .y = 56, .width = 136, .strings = param_rows,
                                  .rows_shown = 5, .notify = param_list_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_surface_param_check_box_create(xgp_base_frame_objects *ip,
                                                        Xv_opaque owner)
{
    return keep_record(
        xv_create(owner, PANEL_CHECK_BOX,
                  {.x = 164, .y = 176, .label = "Surface Parameters:", .strings = all_box,
                   .value = 0, .inactive = true,
                   .notify = xgp_base_frame_surface_param_check_box_notify_callback}),
        ip);
}

Xv_opaque xgp_base_frame_surface_param_list_create(xgp_base_frame_objects *ip,
                                                   Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_LIST,
                                 {.x = 164, .y = 200, .width = 200,
                                  .strings = surface_param_rows, .rows_shown = 7,
                                  .inactive = true, .notify = surface_param_list_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_start_date_item_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_TEXT,
                                 {.x = 16, .y = 360,
                                  .label = "First Date of Interest (MM/DD/YY) :",
                                  .display_length = 8, .stored_length = 80,
                                  .text = "1/1/60", .notify = start_date_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_end_date_item_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(xv_create(owner, PANEL_TEXT,
                                 {.x = 16, .y = 384,
                                  .label = "Last Date of Interest (MM/DD/YY) :",
                                  .display_length = 8, .stored_length = 80,
                                  .text = "12/31/99", .notify = end_date_proc}),
                       ip);
}

Xv_opaque xgp_base_frame_prompt_check_box_create(xgp_base_frame_objects *ip, Xv_opaque owner)
{
    return keep_record(
        xv_create(owner, PANEL_CHOICE,
                  {.x = 16, .y = 404, .label = "Ask Me About Each Data Set:",
                   .strings = prompt_choices, .value = 0,
                   .notify = xgp_base_frame_prompt_check_box_notify_callback}),
        ip);
}
