/*
 * xgp_toolkit.h -- the small panel toolkit the selector dialog is written
 * against, a layer of our own over FLTK 1.3.
 *
 * It offers what the dialog needs and no more: a base frame holding one
 * control panel, and on the panel buttons, check boxes, exclusive choices,
 * scrolling lists and text fields, each created with one call and reached
 * through an opaque handle.  Any object can keep data under keys obtained
 * from xv_unique_key(), so that a callback finds its record from the object
 * that called it.
 *
 * Objects can be built, queried and driven (xv_user_*) without an X display:
 * nothing talks to the X server before xv_main_loop() shows a frame.  Only
 * xv_init() and xv_main_loop() need the display.
 *
 * Handles stay valid for the whole process, also after their object has
 * been destroyed (the queries then answer as for an empty object) -- until
 * xv_reset(), which a test calls between cases.
 */
#ifndef GRIDPICK_XGP_TOOLKIT_H
#define GRIDPICK_XGP_TOOLKIT_H

#include <span>
#include <variant>

struct xv_object;
using Xv_opaque = xv_object *;
using Frame = Xv_opaque;
using Panel = Xv_opaque;
using Panel_item = Xv_opaque;

/* What happened, as handed to a notify procedure.  action is the FLTK event
 * number (0 when a program drove the item), key the key involved or 0. */
struct Event {
    int action;
    int key;
    bool shift;
};

/* The kinds of object. */
enum Xv_pkg {
    FRAME_BASE,      /* top-level window, shows one panel */
    PANEL,           /* control panel, fills its frame, no border */
    PANEL_BUTTON,    /* push button */
    PANEL_CHECK_BOX, /* check boxes; value: bit i set = box i checked */
    PANEL_CHOICE,    /* exclusive choice; value: index of the chosen entry */
    PANEL_LIST,      /* scrolling list, any number of rows selected */
    PANEL_TEXT       /* one-line editable text */
};

/* Operations reported to a list's notify procedure. */
enum Panel_list_op { PANEL_LIST_OP_DESELECT = 0, PANEL_LIST_OP_SELECT = 1 };

/* Result of a text notify procedure: where the caret goes. */
enum Panel_setting { PANEL_NONE, PANEL_INSERT, PANEL_NEXT, PANEL_PREVIOUS };

/* Value a list notify procedure returns when all went well. */
enum { XV_OK = 0, XV_ERROR = 1 };

using Xv_button_proc = void (*)(Panel_item item, Event *event);
using Xv_choice_proc = void (*)(Panel_item item, int value, Event *event);
using Xv_list_proc = int (*)(Panel_item item, const char *string,
                             void *client_data, Panel_list_op op,
                             Event *event, int row);
using Xv_text_proc = Panel_setting (*)(Panel_item item, Event *event);
using Xv_notify = std::variant<std::monostate, Xv_button_proc, Xv_choice_proc,
                               Xv_list_proc, Xv_text_proc>;

/* Attributes of a new object; each kind reads the members it has.  Positions
 * are in pixels from the owner's top-left corner; labels and strings are
 * copied. */
struct Xv_attrs {
    int x = 0, y = 0;
    int width = 0;                 /* frame, panel, list: width in pixels */
    int height = 0;                /* frame, panel: height in pixels */
    const char *label = nullptr;   /* frame: title; item: label at its left */
    std::span<const char *const> strings{}; /* choice entries or list rows */
    int value = 0;                 /* check box mask or choice index */
    int rows_shown = 0;            /* list: rows visible at once */
    int display_length = 0;        /* text: characters visible */
    int stored_length = 0;         /* text: characters kept at most */
    const char *text = nullptr;    /* text: initial value */
    bool inactive = false;         /* item greyed, ignores the user */
    bool show_footer = false;      /* frame: empty footer strip below panel */
    bool show_resize_corner = false; /* frame: the user may enlarge it */
    Xv_notify notify{};            /* the procedure matching the kind */
};

/* Opens the X display named by DISPLAY for the frames to come.  argc and
 * argv are the program's; only argv[0] is used (as the window class).
 * Returns 0, or -1 when no display can be opened -- without creating any
 * window and without ending the process. */
int xv_init(int *argc, char **argv);

/* A key no earlier call has returned (1, 2, ...). */
int xv_unique_key();

/* Creates an object of kind pkg on owner (none for a frame, a frame for a
 * panel, a panel for items).  Returns its handle, or nullptr when the owner
 * does not fit the kind.  The owner owns the object: destroying the owner
 * destroys it. */
Xv_opaque xv_create(Xv_opaque owner, Xv_pkg pkg, const Xv_attrs &attrs);

/* Data kept under a key; nullptr when nothing was stored. */
void xv_set_key_data(Xv_opaque obj, int key, void *data);
void *xv_get_key_data(Xv_opaque obj, int key);

/* Lists.  Rows count from 0; rows outside the list are never selected,
 * have the empty string, and cannot be selected.  The user's press on a row
 * toggles that row alone, through the notify procedure; dragging and
 * releasing, in the list or outside it, change nothing. */
int xv_list_nrows(Xv_opaque list);
bool xv_list_selected(Xv_opaque list, int row);
const char *xv_list_string(Xv_opaque list, int row);
void xv_list_select(Xv_opaque list, int row, bool on); /* no notify */

/* Text fields: the current value ("" for other kinds). */
const char *xv_text_value(Xv_opaque text);
void xv_set_text_value(Xv_opaque text, const char *value);

/* Check boxes and choices: the current value (0 for other kinds). */
int xv_choice_value(Xv_opaque choice);

/* What an object shows: the frame's title, a button's or an item's label
 * ("" when it has none), and the entry strings of a check box or choice
 * (entry i, "" past the last). */
const char *xv_label(Xv_opaque obj);
const char *xv_choice_string(Xv_opaque choice, int entry);

/* Place and size in pixels: a frame's from (0, 0), with its footer; any
 * other object's from its owner's top-left corner. */
void xv_rect(Xv_opaque obj, int *x, int *y, int *w, int *h);

/* Inactive objects are greyed out and ignore the user. */
bool xv_inactive(Xv_opaque obj);
void xv_set_inactive(Xv_opaque obj, bool inactive);

/* Asks for obj and everything on it to be destroyed once the notify
 * procedure now running has returned (at once when none is running). */
void xv_destroy_safe(Xv_opaque obj);
bool xv_destroyed(Xv_opaque obj);

/* Shows frame and handles events until the frame has been destroyed.  The
 * window manager's close button destroys the frame.  Needs xv_init().
 * Should the X connection break, Xlib prints its message and ends the
 * process with status 1 (the objects are freed on the way out). */
void xv_main_loop(Frame frame);

/* The default caret movement for a key in a text field: PANEL_NEXT for
 * Return and Tab, PANEL_PREVIOUS for shift-Tab, PANEL_INSERT otherwise. */
Panel_setting panel_text_notify(Panel_item item, Event *event);

/* The user's acts, as a click or a key would do them, notify procedure
 * included (for tests and scripted runs).  Acts on inactive items do
 * nothing, as for the user. */
void xv_user_press(Panel_item button);
void xv_user_toggle(Panel_item check_box, int box);
void xv_user_choose(Panel_item choice, int entry);
void xv_user_toggle_row(Panel_item list, int row);
void xv_user_enter_text(Panel_item text, const char *value); /* then Return */
void xv_user_close(Frame frame);   /* the window manager's close button */

/* Destroys every object and forgets every handle and key: back to program
 * start.  The display stays open. */
void xv_reset();

#endif
