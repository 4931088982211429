/*
 * xgp_stubs.h -- what the selector dialog does: its callbacks and helpers.
 *
 * The callbacks find their record under INSTANCE in the calling object; the
 * helpers work on the dialog on screen, xgp.Xgp_base_frame.  Everything the
 * user chooses reaches gp_run (config.h) only through these.
 */
#ifndef GRIDPICK_XGP_STUBS_H
#define GRIDPICK_XGP_STUBS_H

#include "xgp_ui.h"

/* OK: get_levels, get_params, get_dates, then destroys the base frame. */
void ok_button_proc(Panel_item item, Event *event);

/* Cancel: destroys the base frame; gp_run stays as it is. */
void cancel_button_proc(Panel_item item, Event *event);

/* The "All" boxes: checking one selects every row of its list (the level
 * box also activates the surface items); unchecking does nothing. */
void xgp_base_frame_level_check_box_notify_callback(Panel_item item, int value,
                                                    Event *event);
void xgp_base_frame_param_check_box_notify_callback(Panel_item item, int value,
                                                    Event *event);
void xgp_base_frame_surface_param_check_box_notify_callback(Panel_item item, int value,
                                                            Event *event);

/* Lists: selecting the "Surface" row activates the surface items,
 * deselecting it makes them inactive (their selections stay).  All return
 * XV_OK. */
int level_list_proc(Panel_item item, const char *string, void *client_data,
                    Panel_list_op op, Event *event, int row);
int param_list_proc(Panel_item item, const char *string, void *client_data,
                    Panel_list_op op, Event *event, int row);
int surface_param_list_proc(Panel_item item, const char *string, void *client_data,
                            Panel_list_op op, Event *event, int row);

/* Date fields: the text is read only on OK; the caret moves as usual. */
Panel_setting start_date_proc(Panel_item item, Event *event);
Panel_setting end_date_proc(Panel_item item, Event *event);

/* "Ask Me About Each Data Set:": 0 ("No") or 1 ("Yes") goes to
 * gp_run.prompt_user at once. */
void xgp_base_frame_prompt_check_box_notify_callback(Panel_item item, int value,
                                                     Event *event);

void all_level_proc(xgp_base_frame_objects *ip);
void all_param_proc(xgp_base_frame_objects *ip);
void all_surface_params_proc(xgp_base_frame_objects *ip);
void no_prompt_proc();
void yes_prompt_proc();

/* Selects every row of list. */
void list_select_all(Xv_opaque list);

/* Surface check box and list: active when show is 1, inactive when 0. */
void show_surface_params(int show);

/* level and num_levels rebuilt from the selected level rows in row order
 * ("Surface" gives 0 and brings in the surface parameters; "%d mb" the
 * others); at most GP_MAX_LEVELS entries. */
void get_levels();

/* param flags set (never cleared) for the selected surface parameter rows,
 * resp. the selected upper-air parameter rows. */
void get_surface_params();
void get_params();

/* End date, then start date, read with "%d/%d/%d"; last_day and first_day
 * follow with kdate.  Fields the text does not match stay as they were. */
void get_dates();

#endif
