/*
 * xgp_ui.h -- the objects of the selector dialog and their construction.
 *
 * One base frame "NORVA Selector" holds one control panel with the OK and
 * Cancel buttons, the "All" check boxes, the level, parameter and surface
 * parameter lists, the two date fields and the prompting choice.  Every
 * object keeps the address of its record under the key INSTANCE, so that a
 * callback finds the record from the object that called it.
 */
#ifndef GRIDPICK_XGP_UI_H
#define GRIDPICK_XGP_UI_H

#include "xgp_toolkit.h"

#include <memory>
#include <vector>

/* The dialog's objects, in the order they are created. */
struct xgp_base_frame_objects {
    Xv_opaque base_frame;
    Xv_opaque controls1;
    Xv_opaque ok_button;
    Xv_opaque cancel_button;
    Xv_opaque level_check_box;
    Xv_opaque param_check_box;
    Xv_opaque level_list;
    Xv_opaque param_list;
    Xv_opaque surface_param_check_box;
    Xv_opaque surface_param_list;
    Xv_opaque start_date_item;
    Xv_opaque end_date_item;
    Xv_opaque prompt_check_box;
};

/* The dialog's process-wide state.  INSTANCE is the key the objects keep
 * their record under (0 until xmain or a test obtains one with
 * xv_unique_key); Xgp_base_frame is the record of the dialog on screen.
 * records holds the records xgp_base_frame_objects_initialize allocated. */
struct xgp_dialog_state {
    int INSTANCE;
    xgp_base_frame_objects *Xgp_base_frame;
    std::vector<std::unique_ptr<xgp_base_frame_objects>> records;
};

extern xgp_dialog_state xgp;

/* Back to program start: no key, no record (the objects are the toolkit's;
 * xv_reset() forgets those). */
void xgp_dialog_reset();

/* Creates every object of ip that is still empty, in record order, owner
 * being the base frame's owner (none).  With ip null a new record with all
 * handles empty is allocated first; it belongs to xgp.records.  Returns the
 * record, or nullptr when it cannot be allocated or an object cannot be
 * created. */
xgp_base_frame_objects *xgp_base_frame_objects_initialize(xgp_base_frame_objects *ip,
                                                          Xv_opaque owner);

/* One per object: creates it on owner with its place, label, contents,
 * initial state and callback, stores ip under INSTANCE in it and returns it
 * (nullptr when the owner cannot hold it). */
Xv_opaque xgp_base_frame_base_frame_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_controls1_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_ok_button_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_cancel_button_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_level_check_box_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_param_check_box_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_level_list_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_param_list_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_surface_param_check_box_create(xgp_base_frame_objects *ip,
                                                        Xv_opaque owner);
Xv_opaque xgp_base_frame_surface_param_list_create(xgp_base_frame_objects *ip,
                                                   Xv_opaque owner);
Xv_opaque xgp_base_frame_start_date_item_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_end_date_item_create(xgp_base_frame_objects *ip, Xv_opaque owner);
Xv_opaque xgp_base_frame_prompt_check_box_create(xgp_base_frame_objects *ip, Xv_opaque owner);

#endif
