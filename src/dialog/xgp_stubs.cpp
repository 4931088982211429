// The selector dialog's callbacks and helpers, and its entry point.
#include "xgp_stubs.h"

#include "config.h"
#include "param_table.h"
#include "xgp.h"

#include <cstdio>
#include <cstring>

namespace {

xgp_base_frame_objects *record_of(Panel_item item)
{
    return static_cast<xgp_base_frame_objects *>(xv_get_key_data(item, xgp.INSTANCE));
}

// Flags the parameter codes of every selected row of list, the table's
// list place.
void set_flags(Xv_opaque list, gp_place place)
{
    int rows = xv_list_nrows(list);
    for (int row = 0; row < rows; ++row) {
        int codes[2];
        int n = xv_list_selected(list, row) ? gp_param_codes_at(place, row, codes) : 0;
        for (int i = 0; i < n; i++)
            gp_run.param[codes[i]] = 1;
    }
}

} // namespace

void ok_button_proc(Panel_item item, Event *)
{
    xgp_base_frame_objects *ip = record_of(item);
    if (!ip)
        return;
    get_levels();
    get_params();
    get_dates();
    xv_destroy_safe(ip->base_frame);
}

void cancel_button_proc(Panel_item item, Event *)
{
    if (xgp_base_frame_objects *ip = record_of(item))
        xv_destroy_safe(ip->base_frame);
}

void xgp_base_frame_level_check_box_notify_callback(Panel_item item, int value, Event *)
{
    xgp_base_frame_objects *ip = record_of(item);
    if (ip && (value & 1))
        all_level_proc(ip);
}

void xgp_base_frame_param_check_box_notify_callback(Panel_item item, int value, Event *)
{
    xgp_base_frame_objects *ip = record_of(item);
    if (ip && (value & 1))
        all_param_proc(ip);
}

void xgp_base_frame_surface_param_check_box_notify_callback(Panel_item item, int value,
                                                            Event *)
{
    xgp_base_frame_objects *ip = record_of(item);
    if (ip && (value & 1))
        all_surface_params_proc(ip);
}

int level_list_proc(Panel_item item, const char *string, void *, Panel_list_op op, Event *,
                    int)
{
    if (!record_of(item) || !string || std::strcmp(string, "Surface") != 0)
        return XV_OK;
    if (op == PANEL_LIST_OP_DESELECT)
        show_surface_params(0);
    else if (op == PANEL_LIST_OP_SELECT)
        show_surface_params(1);
    return XV_OK;
}

int param_list_proc(Panel_item, const char *, void *, Panel_list_op, Event *, int)
{
    return XV_OK;   // the rows are read on OK
}

int surface_param_list_proc(Panel_item, const char *, void *, Panel_list_op, Event *, int)
{
    return XV_OK;
}

Panel_setting start_date_proc(Panel_item item, Event *event)
{
    return panel_text_notify(item, event);   // the dates are read on OK
}

Panel_setting end_date_proc(Panel_item item, Event *event)
{
    return panel_text_notify(item, event);
}

void xgp_base_frame_prompt_check_box_notify_callback(Panel_item item, int value, Event *)
{
    if (!record_of(item))
        return;
    if (value == 0)
        no_prompt_proc();
    else if (value == 1)
        yes_prompt_proc();
}

void all_level_proc(xgp_base_frame_objects *ip)
{
    list_select_all(ip->level_list);
    show_surface_params(1);
}

void all_param_proc(xgp_base_frame_objects *ip) { list_select_all(ip->param_list); }

void all_surface_params_proc(xgp_base_frame_objects *ip)
{
    list_select_all(ip->surface_param_list);
}

void no_prompt_proc() { gp_run.prompt_user = 0; }

void yes_prompt_proc() { gp_run.prompt_user = 1; }

void list_select_all(Xv_opaque list)
{
    int rows = xv_list_nrows(list);
    for (int row = 0; row < rows; ++row)
        xv_list_select(list, row, true);
}

void show_surface_params(int show)
{
    xgp_base_frame_objects *ip = xgp.Xgp_base_frame;
    if (!ip || (show != 0 && show != 1))
        return;
    xv_set_inactive(ip->surface_param_check_box, show == 0);
    xv_set_inactive(ip->surface_param_list, show == 0);
}

void get_levels()
{
    xgp_base_frame_objects *ip = xgp.Xgp_base_frame;
    if (!ip)
        return;
    gp_run.num_levels = 0;
    int rows = xv_list_nrows(ip->level_list);
    for (int row = 0; row < rows && gp_run.num_levels < GP_MAX_LEVELS; ++row) {
        if (!xv_list_selected(ip->level_list, row))
            continue;
        const char *s = xv_list_string(ip->level_list, row);
        int mb;
        if (std::strcmp(s, "Surface") == 0) {
            get_surface_params();
            gp_run.level[gp_run.num_levels++] = 0;
        } else if (std::sscanf(s, "%d mb", &mb) == 1) {
            gp_run.level[gp_run.num_levels++] = mb;
        }
    }
}

void get_surface_params()
{
    if (xgp.Xgp_base_frame)
        set_flags(xgp.Xgp_base_frame->surface_param_list, GP_PLACE_SURFACE_LIST);
}

void get_params()
{
    if (xgp.Xgp_base_frame)
        set_flags(xgp.Xgp_base_frame->param_list, GP_PLACE_UPPER_LIST);
}

void get_dates()
{
    xgp_base_frame_objects *ip = xgp.Xgp_base_frame;
    if (!ip)
        return;
    gp_run.last_day = gp_scan_date(xv_text_value(ip->end_date_item), &gp_run.end_month,
                                   &gp_run.end_day, &gp_run.end_year);
    gp_run.first_day = gp_scan_date(xv_text_value(ip->start_date_item), &gp_run.start_month,
                                    &gp_run.start_day, &gp_run.start_year);
}

int xmain(int argc, char **argv)
{
    if (xv_init(&argc, argv) != 0) {
        std::fputs("gridpick: cannot open the X display; asking at the terminal instead\n",
                   stderr);
        return -1;
    }
    xgp.INSTANCE = xv_unique_key();
    xgp.Xgp_base_frame = xgp_base_frame_objects_initialize(nullptr, nullptr);
    if (!xgp.Xgp_base_frame) {
        std::fputs("gridpick: cannot build the selector dialog; asking at the terminal "
                   "instead\n",
                   stderr);
        return -1;
    }
    xv_main_loop(xgp.Xgp_base_frame->base_frame);
    return 0;
}
