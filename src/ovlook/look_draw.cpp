// A field as colour cells on a map (or coloured points), a colour bar and
// a title, drawn with Cairo on an image surface and written as PNG.
#include "look_draw.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "look_map.h"
#include "look_scale.h"

namespace {

constexpr int margin = 10, title_height = 24, min_width = 500;
constexpr double max_map_width = 720, max_map_height = 540;
constexpr int bar_gap = 12, bar_height = 14, label_height = 18;
constexpr double arrow_spacing = 24, point_arrow = 28, dot_radius = 3.5;

struct surface_free {
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};
struct context_free {
    void operator()(cairo_t *c) const { cairo_destroy(c); }
};

bool ungridded(const OvHeader &h)
{
    return h.type == OV_UNGRIDDED_SCALAR || h.type == OV_UNGRIDDED_VECTOR;
}

bool is_vector(const OvHeader &h)
{
    return h.type == OV_VECTOR || h.type == OV_UNGRIDDED_VECTOR;
}

// Where point i of an ungridded data set keeps its latitude, longitude and
// value (or components): records of 3 or 4 reals.
const float *record(const OvHeader &h, size_t i)
{
    return h.data + i * (h.type == OV_UNGRIDDED_VECTOR ? 4 : 3);
}

size_t point_count(const OvHeader &h)
{
    if (ungridded(h))
        return static_cast<size_t>(std::max(h.num_rows, 0));
    return static_cast<size_t>(h.num_rows) * static_cast<size_t>(h.num_columns);
}

// The components of vector i: u towards east, v towards north.
std::pair<float, float> components(const OvHeader &h, size_t i)
{
    if (h.type == OV_UNGRIDDED_VECTOR)
        return {record(h, i)[2], record(h, i)[3]};
    return {h.data[i], h.vdata[i]};
}

// The values drawn (the speed of a vector), NaN where a point is missing.
std::vector<double> shown_values(const OvHeader &h)
{
    size_t n = point_count(h);
    std::vector<double> out(n);
    for (size_t i = 0; i < n; i++) {
        auto [a, b] = is_vector(h) ? components(h, i)
                                   : std::pair{ungridded(h) ? record(h, i)[2] : h.data[i], 0.0f};
        bool missing = a == h.bad_value || (is_vector(h) && b == h.bad_value);
        if (missing)
            out[i] = NAN;
        else
            out[i] = is_vector(h) ? std::hypot(double{a}, double{b}) : a;
    }
    return out;
}

// Cell boundaries of an axis: half way between neighbours, half a step
// beyond the ends; lone_step serves an axis of one point.
std::vector<double> cell_edges(const std::vector<float> &axis, double lone_step)
{
    size_t n = axis.size();
    std::vector<double> e(n + 1);
    double first_step = n > 1 ? axis[1] - axis[0] : lone_step;
    double last_step = n > 1 ? axis[n - 1] - axis[n - 2] : lone_step;
    e[0] = axis[0] - first_step / 2;
    e[n] = axis[n - 1] + last_step / 2;
    for (size_t i = 1; i < n; i++)
        e[i] = (static_cast<double>(axis[i - 1]) + axis[i]) / 2;
    return e;
}

// The map and, on a grid, the pixel boundaries of the cells: x grows
// eastwards, y southwards.
struct map_box {
    look_map map;
    std::vector<double> x, y;
};

double lone_step(float increment)
{
    return increment != 0.0f ? std::fabs(double{increment}) : 1.0;
}

look_map fit(double west, double east, double south, double north)
{
    look_map m = look_map_fit(west, east, south, north, max_map_width, max_map_height, 0,
                              margin + title_height);
    m.left = margin + look_axis_side + (std::max(m.width, min_width) - m.width) / 2;
    return m;
}

map_box place_grid(const OvHeader &h, const ovset_axes &axes)
{
    std::vector<double> lon = cell_edges(axes.lon, lone_step(h.lon_increment));
    std::vector<double> lat = cell_edges(axes.lat, lone_step(h.lat_increment));
    auto [west, east] = std::minmax_element(lon.begin(), lon.end());
    auto [south, north] = std::minmax_element(lat.begin(), lat.end());
    map_box m{fit(*west, *east, *south, *north), {}, {}};
    for (double e : lon)
        m.x.push_back(std::round(m.map.x(e)));
    for (double e : lat)
        m.y.push_back(std::round(m.map.y(e)));
    return m;
}

// The area of the points of an ungridded data set, a little beyond them.
map_box place_points(const OvHeader &h)
{
    double west = INFINITY, east = -INFINITY, south = INFINITY, north = -INFINITY;
    for (size_t i = 0; i < point_count(h); i++) {
        const float *p = record(h, i);
        south = std::min(south, double{p[0]}), north = std::max(north, double{p[0]});
        west = std::min(west, double{p[1]}), east = std::max(east, double{p[1]});
    }
    if (!(west <= east && south <= north))
        west = -180, east = 180, south = -90, north = 90;  // no point at all
    double pad_x = std::max(2.0, (east - west) * 0.05);
    double pad_y = std::max(2.0, (north - south) * 0.05);
    return {fit(west - pad_x, east + pad_x, std::max(-90.0, south - pad_y),
                std::min(90.0, north + pad_y)),
            {}, {}};
}

void set_colour(cairo_t *cr, const look_rgb &c)
{
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void draw_cells(cairo_t *cr, const OvHeader &h, const map_box &m,
                const std::vector<double> &values, const look_scale *scale)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    for (int r = 0; r < h.num_rows; r++)
        for (int c = 0; c < h.num_columns; c++) {
            double v = values[static_cast<size_t>(r) * h.num_columns + c];
            if (std::isnan(v) || !scale)
                set_colour(cr, look_missing);
            else
                set_colour(cr, look_band_colour(*scale, look_band_of(*scale, v)));
            double x0 = std::min(m.x[c], m.x[c + 1]), y0 = std::min(m.y[r], m.y[r + 1]);
            cairo_rectangle(cr, x0, y0, std::fabs(m.x[c + 1] - m.x[c]),
                            std::fabs(m.y[r + 1] - m.y[r]));
            cairo_fill(cr);
        }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
}

void arrow(cairo_t *cr, double cx, double cy, double dx, double dy)
{
    double len = std::hypot(dx, dy), head = std::min(6.0, len * 0.4);
    double tx = cx + dx / 2, ty = cy + dy / 2, ux = dx / len, uy = dy / len;
    cairo_move_to(cr, cx - dx / 2, cy - dy / 2);
    cairo_line_to(cr, tx, ty);
    for (double side : {-1.0, 1.0}) {
        double c = std::cos(0.45), s = std::sin(0.45) * side;
        cairo_move_to(cr, tx, ty);
        cairo_line_to(cr, tx - head * (ux * c - uy * s), ty - head * (uy * c + ux * s));
    }
}

// Arrows at every k-th point, the longest (at max_speed) k cells long less
// a tenth.  u points east, v north.
void draw_arrows(cairo_t *cr, const OvHeader &h, const map_box &m,
                 const std::vector<double> &speed, double max_speed)
{
    double cell = std::min(std::fabs(m.x[1] - m.x[0]), std::fabs(m.y[1] - m.y[0]));
    int k = std::max(1, static_cast<int>(std::ceil(arrow_spacing / std::max(cell, 1.0))));
    double longest = 0.9 * k * cell;
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    for (int r = k / 2; r < h.num_rows; r += k)
        for (int c = k / 2; c < h.num_columns; c += k) {
            size_t i = static_cast<size_t>(r) * h.num_columns + c;
            if (std::isnan(speed[i]) || speed[i] <= 0 || max_speed <= 0)
                continue;
            double len = speed[i] / max_speed * longest;
            arrow(cr, (m.x[c] + m.x[c + 1]) / 2, (m.y[r] + m.y[r + 1]) / 2,
                  h.data[i] / speed[i] * len, -h.vdata[i] / speed[i] * len);
        }
    cairo_stroke(cr);
}

// Each point a dot of its colour, a vector with an arrow from it, the
// longest (at max_speed) point_arrow pixels long.
void draw_points(cairo_t *cr, const OvHeader &h, const look_map &m,
                 const std::vector<double> &values, const look_scale *scale, double max_speed)
{
    cairo_set_line_width(cr, 1);
    for (size_t i = 0; i < values.size(); i++) {
        double x = m.x(record(h, i)[1]), y = m.y(record(h, i)[0]), v = values[i];
        if (!is_vector(h) || std::isnan(v) || v <= 0 || max_speed <= 0)
            continue;
        auto [u, n] = components(h, i);
        double len = v / max_speed * point_arrow;
        arrow(cr, x + u / v * len / 2, y - n / v * len / 2, u / v * len, -n / v * len);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_stroke(cr);
    for (size_t i = 0; i < values.size(); i++) {
        double x = m.x(record(h, i)[1]), y = m.y(record(h, i)[0]), v = values[i];
        cairo_arc(cr, x, y, dot_radius, 0, 2 * M_PI);
        set_colour(cr, std::isnan(v) || !scale ? look_missing
                                               : look_band_colour(*scale, look_band_of(*scale, v)));
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }
}

void draw_text(cairo_t *cr, const std::string &text, double size, double x, double y,
               double width_limit, bool centred)
{
    cairo_text_extents_t ext;
    for (;; size -= 1) {
        cairo_set_font_size(cr, size);
        cairo_text_extents(cr, text.c_str(), &ext);
        if (ext.x_advance <= width_limit || size <= 8)
            break;
    }
    cairo_move_to(cr, centred ? x - ext.x_advance / 2 : x, y);
    cairo_show_text(cr, text.c_str());
}

void draw_bar(cairo_t *cr, const look_scale *scale, int width, int top)
{
    cairo_set_source_rgb(cr, 0, 0, 0);
    double left = margin, length = width - 2 * margin;
    if (!scale) {
        draw_text(cr, "no value present", 11, width / 2.0, top + 11, length, true);
        return;
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    for (int i = 0; i < scale->bands; i++) {
        set_colour(cr, look_band_colour(*scale, i));
        double x0 = std::round(left + length * i / scale->bands);
        double x1 = std::round(left + length * (i + 1) / scale->bands);
        cairo_rectangle(cr, x0, top, x1 - x0, bar_height);
        cairo_fill(cr);
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 11);
    double shown_to = -1e9;
    for (int i = 0; i <= scale->bands; i++) {
        std::string text = look_boundary_text(*scale, i);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, text.c_str(), &ext);
        double x = left + length * i / scale->bands - ext.x_advance / 2;
        x = std::clamp(x, 0.0, width - ext.x_advance);
        if (x < shown_to + 6)
            continue;
        cairo_move_to(cr, x, top + bar_height + 13);
        cairo_show_text(cr, text.c_str());
        shown_to = x + ext.x_advance;
    }
}

bool failed(const std::string &path, cairo_status_t status)
{
    if (status == CAIRO_STATUS_SUCCESS)
        return false;
    std::fprintf(stderr, "ovlook: %s: %s\n", path.c_str(), cairo_status_to_string(status));
    return true;
}

}  // namespace

bool look_drawable(const OvHeader &h)
{
    return ovset_is_grid(h) || ungridded(h);
}

bool look_draw_png(const look_field &field, const std::string &path)
{
    const OvHeader &h = *field.h;
    map_box m = field.axes ? place_grid(h, *field.axes) : place_points(h);
    const look_map &map = m.map;
    int width = std::max(map.width, min_width) + 2 * (margin + look_axis_side);
    int bar_top = map.top + map.height + look_axis_below + bar_gap;
    int height = bar_top + bar_height + label_height + margin;
    std::unique_ptr<cairo_surface_t, surface_free> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (failed(path, cairo_surface_status(surface.get())))
        return false;
    std::unique_ptr<cairo_t, context_free> cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());

    std::vector<double> values = shown_values(h);
    double lo = INFINITY, hi = -INFINITY;
    for (double v : values)
        if (!std::isnan(v))
            lo = std::min(lo, v), hi = std::max(hi, v);
    look_scale scale = look_scale_for(lo, hi);
    const look_scale *shown = lo <= hi ? &scale : nullptr;
    if (field.axes)
        draw_cells(cr.get(), h, m, values, shown);
    const look_coast *coast = field.coast ? look_coast_for(map.global()) : nullptr;
    if (coast)
        look_map_coast(cr.get(), map, *coast);
    if (field.axes && h.type == OV_VECTOR)
        draw_arrows(cr.get(), h, m, values, hi);
    if (!field.axes)
        draw_points(cr.get(), h, map, values, shown, hi);
    cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    look_map_frame(cr.get(), map);
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    draw_text(cr.get(), field.title, 13, width / 2.0, margin + 15, width - 2 * margin, true);
    draw_bar(cr.get(), shown, width, bar_top);
    if (failed(path, cairo_status(cr.get())))
        return false;
    return !failed(path, cairo_surface_write_to_png(surface.get(), path.c_str()));
}
