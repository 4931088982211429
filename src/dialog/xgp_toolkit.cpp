// The panel toolkit over FLTK: objects, their widgets, notify dispatch.
#include "xgp_toolkit.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <X11/Xlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int font_size = 12;
constexpr int row_height = 18;    // list rows, fixed so rows sit where expected
constexpr int item_height = 20;
constexpr int label_gap = 6;      // between an item's label and its value
constexpr int footer_height = 20;

class list_widget;

} // namespace

struct xv_object {
    Xv_pkg pkg;
    Xv_opaque owner;
    Xv_notify notify;
    bool destroyed = false;
    std::vector<std::pair<int, void *>> keys;
    // Declared before parts: parts go first, each leaving the group.
    std::unique_ptr<Fl_Group> group;
    std::vector<std::unique_ptr<Fl_Widget>> parts;
    std::vector<Fl_Button *> buttons;  // button, boxes or choice entries
    list_widget *list = nullptr;
    Fl_Input *input = nullptr;
    int stored_length = 0;  // text: characters kept at most, 0 for no bound
};

namespace {

struct toolkit_state {
    std::vector<std::unique_ptr<xv_object>> objects;  // in creation order
    int last_key = 0;
    int busy = 0;              // FLTK callbacks of ours now running
    bool display_open = false;
    const Event *simulated = nullptr;  // the event of an xv_user_* act
    std::string window_class = "gridpick";
    ~toolkit_state();
};

toolkit_state xv_tk;

void dispatch_list(xv_object *obj, int row);

// A multiple-selection list whose click toggles one row, as users of the
// dialog expect, and reports it to the list's notify procedure.
class list_widget : public Fl_Browser {
public:
    list_widget(int x, int y, int w, int h, xv_object *obj)
        : Fl_Browser(x, y, w, h), obj_(obj)
    {
        type(FL_MULTI_BROWSER);
        format_char(0);
        has_scrollbar(VERTICAL);
    }

    int handle(int event) override
    {
        int bx, by, bw, bh;
        bbox(bx, by, bw, bh);
        bool in_rows = Fl::event_inside(bx, by, bw, bh);
        switch (event) {
        case FL_PUSH:
            if (!in_rows)
                break;
            if (void *item = find_item(Fl::event_y()))
                dispatch_list(obj_, lineno(item) - 1);
            return 1;
        case FL_DRAG:
        case FL_RELEASE:
            return 1;   // the press toggled its row; dragging changes nothing
        case FL_FOCUS:
        case FL_UNFOCUS:
        case FL_KEYBOARD:
            return 0;   // selection changes only by clicks, which notify
        }
        return Fl_Browser::handle(event);
    }

protected:
    int item_height(void *) const override { return row_height; }

private:
    xv_object *obj_;
};

int label_width(const char *label)
{
    if (!label || !*label)
        return 0;
    if (!xv_tk.display_open)
        return 7 * static_cast<int>(std::strlen(label));
    fl_font(FL_HELVETICA, font_size);
    return static_cast<int>(fl_width(label) + 0.5);
}

template <class W>
W *add_part(xv_object *obj, std::unique_ptr<W> w)
{
    W *raw = w.get();
    raw->labelsize(font_size);
    obj->group->add(raw);
    obj->parts.push_back(std::move(w));
    return raw;
}

Event current_event()
{
    if (xv_tk.simulated)
        return *xv_tk.simulated;
    return Event{Fl::event(), Fl::event_key(), Fl::event_shift() != 0};
}

// Every FLTK callback of ours runs inside this guard, so that a destroy it
// asks for waits until FLTK is done with the widget.
struct busy_guard {
    busy_guard() { ++xv_tk.busy; }
    ~busy_guard() { --xv_tk.busy; }
    busy_guard(const busy_guard &) = delete;
    busy_guard &operator=(const busy_guard &) = delete;
};

bool alive(const xv_object *obj) { return obj && !obj->destroyed && obj->group; }

bool usable(const xv_object *obj)
{
    return alive(obj) && obj->group->active_r();
}

void button_cb(Fl_Widget *, void *data)
{
    busy_guard guard;
    auto *obj = static_cast<xv_object *>(data);
    Event ev = current_event();
    if (auto *proc = std::get_if<Xv_button_proc>(&obj->notify))
        (*proc)(obj, &ev);
}

void choice_cb(Fl_Widget *, void *data)
{
    busy_guard guard;
    auto *obj = static_cast<xv_object *>(data);
    Event ev = current_event();
    int value = xv_choice_value(obj);
    if (auto *proc = std::get_if<Xv_choice_proc>(&obj->notify))
        (*proc)(obj, value, &ev);
}

void move_caret(xv_object *from, Panel_setting where)
{
    if (where != PANEL_NEXT && where != PANEL_PREVIOUS)
        return;
    std::vector<xv_object *> texts;
    for (auto &o : xv_tk.objects)
        if (o->pkg == PANEL_TEXT && o->owner == from->owner && usable(o.get()))
            texts.push_back(o.get());
    size_t n = texts.size(), i = 0;
    while (i < n && texts[i] != from)
        ++i;
    if (i == n || n < 2 || !from->input->window() || !from->input->window()->shown())
        return;
    size_t to = where == PANEL_NEXT ? (i + 1) % n : (i + n - 1) % n;
    texts[to]->input->take_focus();
}

void text_cb(Fl_Widget *, void *data)
{
    busy_guard guard;
    auto *obj = static_cast<xv_object *>(data);
    Event ev = current_event();
    if (auto *proc = std::get_if<Xv_text_proc>(&obj->notify))
        move_caret(obj, (*proc)(obj, &ev));
}

void dispatch_list(xv_object *obj, int row)
{
    busy_guard guard;
    if (!usable(obj) || row < 0 || row >= xv_list_nrows(obj))
        return;
    bool on = !xv_list_selected(obj, row);
    obj->list->select(row + 1, on);
    Event ev = current_event();
    if (auto *proc = std::get_if<Xv_list_proc>(&obj->notify))
        (*proc)(obj, xv_list_string(obj, row), nullptr,
                on ? PANEL_LIST_OP_SELECT : PANEL_LIST_OP_DESELECT, &ev, row);
}

void frame_cb(Fl_Widget *, void *data)
{
    busy_guard guard;
    if (Fl::event() == FL_CLOSE)   // the window manager's close; not Escape
        xv_destroy_safe(static_cast<xv_object *>(data));
}

// Frees the widgets of destroyed objects, children before their owners.
void reap()
{
    if (xv_tk.busy)
        return;
    for (auto it = xv_tk.objects.rbegin(); it != xv_tk.objects.rend(); ++it) {
        xv_object &o = **it;
        if (o.destroyed && o.group) {
            o.buttons.clear();
            o.list = nullptr;
            o.input = nullptr;
            o.parts.clear();
            o.group.reset();
        }
    }
}

bool owned_by(const xv_object *obj, const xv_object *ancestor)
{
    for (const xv_object *o = obj; o; o = o->owner)
        if (o == ancestor)
            return true;
    return false;
}

// An item: a group at (x, y) holding the label and then the value.
int start_item(xv_object *obj, Fl_Group *panel, const Xv_attrs &a, int value_w, int h)
{
    int lw = label_width(a.label);
    int vx = panel->x() + a.x + (lw ? lw + label_gap : 0);
    obj->group = std::make_unique<Fl_Group>(panel->x() + a.x, panel->y() + a.y,
                                           vx - panel->x() - a.x + value_w, h);
    Fl_Group::current(nullptr);
    if (lw) {
        auto box = std::make_unique<Fl_Box>(obj->group->x(), obj->group->y(), lw, h);
        box->copy_label(a.label);
        box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        add_part(obj, std::move(box));
    }
    return vx;
}

void make_frame(xv_object *obj, const Xv_attrs &a)
{
    int footer = a.show_footer ? footer_height : 0;
    auto win = std::make_unique<Fl_Double_Window>(a.width, a.height + footer);
    Fl_Group::current(nullptr);
    win->copy_label(a.label);
    win->callback(frame_cb, obj);
    win->xclass(xv_tk.window_class.c_str());
    if (a.show_resize_corner)
        win->size_range(a.width, a.height + footer);
    else
        win->size_range(a.width, a.height + footer, a.width, a.height + footer);
    obj->group = std::move(win);
    if (footer) {
        auto box = std::make_unique<Fl_Box>(0, a.height, a.width, footer);
        box->box(FL_THIN_UP_BOX);
        add_part(obj, std::move(box));
    }
}

void make_panel(xv_object *obj, Fl_Group *frame)
{
    int h = frame->h();
    for (int i = 0; i < frame->children(); ++i)   // the footer stays below
        if (frame->child(i)->y() < h)
            h = frame->child(i)->y();
    obj->group = std::make_unique<Fl_Group>(0, 0, frame->w(), h);
    Fl_Group::current(nullptr);
    obj->group->box(FL_FLAT_BOX);
    // Items keep their place when the frame grows: only this corner stretches.
    auto corner = std::make_unique<Fl_Box>(frame->w() - 1, h - 1, 1, 1);
    Fl_Box *c = add_part(obj, std::move(corner));
    obj->group->resizable(c);
    frame->insert(*obj->group, 0);
    frame->resizable(obj->group.get());
}

void make_button(xv_object *obj, Fl_Group *panel, const Xv_attrs &a)
{
    obj->group = std::make_unique<Fl_Group>(panel->x() + a.x, panel->y() + a.y,
                                           label_width(a.label) + 24, item_height);
    Fl_Group::current(nullptr);
    auto b = std::make_unique<Fl_Button>(obj->group->x(), obj->group->y(),
                                         obj->group->w(), item_height);
    b->copy_label(a.label);
    b->callback(button_cb, obj);
    obj->buttons.push_back(add_part(obj, std::move(b)));
}

void make_choices(xv_object *obj, Fl_Group *panel, const Xv_attrs &a, bool exclusive)
{
    std::vector<int> widths;
    int total = 0;
    for (const char *s : a.strings) {
        widths.push_back(label_width(s) + (exclusive ? 16 : 28));
        total += widths.back();
    }
    int h = exclusive ? item_height + 2 : item_height;
    int x = start_item(obj, panel, a, total, h);
    for (size_t i = 0; i < a.strings.size(); ++i) {
        std::unique_ptr<Fl_Button> b;
        if (exclusive) {
            b = std::make_unique<Fl_Button>(x, obj->group->y(), widths[i], h);
            b->type(FL_RADIO_BUTTON);
            b->selection_color(fl_darker(FL_BACKGROUND_COLOR));
            b->value(static_cast<int>(i) == a.value);
        } else {
            b = std::make_unique<Fl_Check_Button>(x, obj->group->y(), widths[i], h);
            b->value((a.value >> i) & 1);
        }
        b->copy_label(a.strings[i]);
        b->callback(choice_cb, obj);
        obj->buttons.push_back(add_part(obj, std::move(b)));
        x += widths[i];
    }
}

void make_list(xv_object *obj, Fl_Group *panel, const Xv_attrs &a)
{
    int h = a.rows_shown * row_height + Fl::box_dh(FL_DOWN_BOX);
    int x = start_item(obj, panel, a, a.width, h);
    auto l = std::make_unique<list_widget>(x, obj->group->y(), a.width, h, obj);
    l->textsize(font_size);
    for (const char *s : a.strings)
        l->add(s);
    obj->list = add_part(obj, std::move(l));
}

// Typing stops at the stored length; values set by the program are cut there.
void set_text(xv_object *obj, const char *value)
{
    std::string v = value ? value : "";
    if (obj->stored_length && v.size() > static_cast<size_t>(obj->stored_length))
        v.resize(obj->stored_length);
    obj->input->value(v.c_str());
}

void make_text(xv_object *obj, Fl_Group *panel, const Xv_attrs &a)
{
    int w = a.display_length * 8 + 8;
    int x = start_item(obj, panel, a, w, item_height);
    auto in = std::make_unique<Fl_Input>(x, obj->group->y(), w, item_height);
    in->textsize(font_size);
    if (a.stored_length > 0)
        in->maximum_size(a.stored_length);
    obj->stored_length = a.stored_length > 0 ? a.stored_length : 0;
    obj->input = in.get();
    set_text(obj, a.text);
    in->when(FL_WHEN_ENTER_KEY_ALWAYS);
    in->callback(text_cb, obj);
    add_part(obj, std::move(in));
}

bool owner_fits(Xv_pkg pkg, const xv_object *owner)
{
    if (pkg == FRAME_BASE)
        return owner == nullptr;
    if (!alive(owner))
        return false;
    return pkg == PANEL ? owner->pkg == FRAME_BASE : owner->pkg == PANEL;
}

} // namespace

int xv_init(int *, char **argv)
{
    if (argv && argv[0] && *argv[0]) {
        const char *slash = std::strrchr(argv[0], '/');
        xv_tk.window_class = slash ? slash + 1 : argv[0];
    }
    if (xv_tk.display_open)
        return 0;
    // FLTK ends the process when it cannot open the display itself, so the
    // connection is made here and handed over.
    Display *d = XOpenDisplay(nullptr);
    if (!d)
        return -1;
    fl_open_display(d);
    xv_tk.display_open = true;
    return 0;
}

int xv_unique_key() { return ++xv_tk.last_key; }

Xv_opaque xv_create(Xv_opaque owner, Xv_pkg pkg, const Xv_attrs &a)
{
    if (!owner_fits(pkg, owner))
        return nullptr;
    Fl_Group::current(nullptr);
    auto obj = std::make_unique<xv_object>();
    obj->pkg = pkg;
    obj->owner = owner;
    obj->notify = a.notify;
    Fl_Group *parent = owner ? owner->group.get() : nullptr;
    switch (pkg) {
    case FRAME_BASE: make_frame(obj.get(), a); break;
    case PANEL: make_panel(obj.get(), parent); break;
    case PANEL_BUTTON: make_button(obj.get(), parent, a); break;
    case PANEL_CHECK_BOX: make_choices(obj.get(), parent, a, false); break;
    case PANEL_CHOICE: make_choices(obj.get(), parent, a, true); break;
    case PANEL_LIST: make_list(obj.get(), parent, a); break;
    case PANEL_TEXT: make_text(obj.get(), parent, a); break;
    }
    if (pkg != FRAME_BASE && pkg != PANEL)
        parent->add(*obj->group);
    if (a.inactive)
        obj->group->deactivate();
    xv_tk.objects.push_back(std::move(obj));
    return xv_tk.objects.back().get();
}

void xv_set_key_data(Xv_opaque obj, int key, void *data)
{
    if (!obj)
        return;
    for (auto &k : obj->keys)
        if (k.first == key) {
            k.second = data;
            return;
        }
    obj->keys.emplace_back(key, data);
}

void *xv_get_key_data(Xv_opaque obj, int key)
{
    if (obj)
        for (auto &k : obj->keys)
            if (k.first == key)
                return k.second;
    return nullptr;
}

int xv_list_nrows(Xv_opaque list)
{
    return alive(list) && list->list ? list->list->size() : 0;
}

bool xv_list_selected(Xv_opaque list, int row)
{
    return row >= 0 && row < xv_list_nrows(list) && list->list->selected(row + 1);
}

const char *xv_list_string(Xv_opaque list, int row)
{
    if (row < 0 || row >= xv_list_nrows(list))
        return "";
    const char *s = list->list->text(row + 1);
    return s ? s : "";
}

void xv_list_select(Xv_opaque list, int row, bool on)
{
    if (row >= 0 && row < xv_list_nrows(list))
        list->list->select(row + 1, on);
}

const char *xv_text_value(Xv_opaque text)
{
    return alive(text) && text->input ? text->input->value() : "";
}

void xv_set_text_value(Xv_opaque text, const char *value)
{
    if (alive(text) && text->input)
        set_text(text, value);
}

int xv_choice_value(Xv_opaque choice)
{
    if (!alive(choice) || (choice->pkg != PANEL_CHECK_BOX && choice->pkg != PANEL_CHOICE))
        return 0;
    int value = 0;
    for (size_t i = 0; i < choice->buttons.size(); ++i) {
        if (!choice->buttons[i]->value())
            continue;
        if (choice->pkg == PANEL_CHOICE)
            return static_cast<int>(i);
        value |= 1 << i;
    }
    return value;
}

const char *xv_label(Xv_opaque obj)
{
    if (!alive(obj))
        return "";
    const char *label = nullptr;
    if (obj->pkg == FRAME_BASE)
        label = obj->group->label();
    else if (obj->pkg == PANEL_BUTTON)
        label = obj->buttons[0]->label();
    else if (obj->pkg != PANEL && !obj->parts.empty() &&
             dynamic_cast<Fl_Box *>(obj->parts[0].get()))
        label = obj->parts[0]->label();   // start_item puts the label first
    return label ? label : "";
}

const char *xv_choice_string(Xv_opaque choice, int entry)
{
    if (!alive(choice) || (choice->pkg != PANEL_CHECK_BOX && choice->pkg != PANEL_CHOICE) ||
        entry < 0 || entry >= static_cast<int>(choice->buttons.size()))
        return "";
    const char *s = choice->buttons[static_cast<size_t>(entry)]->label();
    return s ? s : "";
}

void xv_rect(Xv_opaque obj, int *x, int *y, int *w, int *h)
{
    *x = *y = *w = *h = 0;
    if (!alive(obj))
        return;
    const Fl_Group *g = obj->group.get();
    if (obj->pkg != FRAME_BASE) {
        // Widgets count from their window's corner, as the panel does.
        *x = g->x();
        *y = g->y();
        if (obj->owner->pkg != FRAME_BASE) {
            *x -= obj->owner->group->x();
            *y -= obj->owner->group->y();
        }
    }
    *w = g->w();
    *h = g->h();
}

bool xv_inactive(Xv_opaque obj)
{
    return alive(obj) && !obj->group->active();
}

void xv_set_inactive(Xv_opaque obj, bool inactive)
{
    if (!alive(obj))
        return;
    if (inactive)
        obj->group->deactivate();
    else
        obj->group->activate();
}

void xv_destroy_safe(Xv_opaque obj)
{
    if (!alive(obj))
        return;
    for (auto &o : xv_tk.objects)
        if (owned_by(o.get(), obj))
            o->destroyed = true;
    reap();
}

bool xv_destroyed(Xv_opaque obj) { return !alive(obj); }

void xv_main_loop(Frame frame)
{
    if (!xv_tk.display_open || !alive(frame) || frame->pkg != FRAME_BASE)
        return;
    auto *win = static_cast<Fl_Double_Window *>(frame->group.get());
    win->show();
    while (!frame->destroyed && Fl::wait())
        reap();
    reap();
    Fl::flush();
}

Panel_setting panel_text_notify(Panel_item, Event *event)
{
    if (!event)
        return PANEL_INSERT;
    switch (event->key) {
    case FL_Enter:
    case FL_KP_Enter:
        return PANEL_NEXT;
    case FL_Tab:
        return event->shift ? PANEL_PREVIOUS : PANEL_NEXT;
    default:
        return PANEL_INSERT;
    }
}

void xv_user_press(Panel_item button)
{
    if (usable(button) && button->pkg == PANEL_BUTTON)
        button->buttons[0]->do_callback();
    reap();
}

void xv_user_toggle(Panel_item check_box, int box)
{
    if (usable(check_box) && check_box->pkg == PANEL_CHECK_BOX && box >= 0 &&
        box < static_cast<int>(check_box->buttons.size())) {
        Fl_Button *b = check_box->buttons[box];
        b->value(!b->value());
        b->do_callback();
    }
    reap();
}

void xv_user_choose(Panel_item choice, int entry)
{
    if (usable(choice) && choice->pkg == PANEL_CHOICE && entry >= 0 &&
        entry < static_cast<int>(choice->buttons.size())) {
        Fl_Button *b = choice->buttons[entry];
        b->setonly();
        b->do_callback();
    }
    reap();
}

void xv_user_toggle_row(Panel_item list, int row)
{
    if (usable(list) && list->pkg == PANEL_LIST)
        dispatch_list(list, row);
    reap();
}

void xv_user_enter_text(Panel_item text, const char *value)
{
    if (usable(text) && text->pkg == PANEL_TEXT) {
        set_text(text, value);
        const Event enter{FL_KEYBOARD, FL_Enter, false};
        xv_tk.simulated = &enter;
        text->input->do_callback();
        xv_tk.simulated = nullptr;
    }
    reap();
}

void xv_user_close(Frame frame)
{
    if (alive(frame) && frame->pkg == FRAME_BASE)
        Fl::handle(FL_CLOSE, static_cast<Fl_Window *>(frame->group.get()));
    reap();
}

void xv_reset()
{
    for (auto &o : xv_tk.objects)
        o->destroyed = true;
    reap();
    xv_tk.objects.clear();
    xv_tk.last_key = 0;
}

// Xlib ends the process with exit() when the X connection breaks, the dialog
// still up: its objects go as in any teardown, children before owners.
toolkit_state::~toolkit_state()
{
    busy = 0;   // no callback returns past exit()
    xv_reset();
}
