// The map frame: projection, axes and shorelines.
#include "look_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double tick_length = 4, font_size = 10, min_ticks = 3;
constexpr double steps[] = {30, 20, 10, 5, 2, 1, 0.5, 0.25, 0.1, 0.05};

std::string degrees(double value, const char *positive, const char *negative)
{
    char text[32];
    double size = std::fabs(value);
    const char *side = size < 1e-9 ? "" : value > 0 ? positive : negative;
    std::snprintf(text, sizeof text, "%g\u00b0%s", size < 1e-9 ? 0.0 : size, side);
    return text;
}

// The ticks of an axis from lo to hi at step (ends included).
template <typename F> void each_tick(double lo, double hi, double step, F &&f)
{
    for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k += 1)
        f(k * step);
}

void label(cairo_t *cr, const std::string &text, double x, double y, double ax, double ay)
{
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_move_to(cr, x - ext.x_advance * ax, y + ext.height * ay);
    cairo_show_text(cr, text.c_str());
}

}  // namespace

look_map look_map_fit(double west, double east, double south, double north, double max_width,
                      double max_height, int left, int top)
{
    double span_x = std::max(east - west, 1e-6), span_y = std::max(north - south, 1e-6);
    look_map m;
    m.west = west, m.east = east, m.south = south, m.north = north;
    m.scale = std::min(max_width / span_x, max_height / span_y);
    m.width = std::max(1, static_cast<int>(std::lround(span_x * m.scale)));
    m.height = std::max(1, static_cast<int>(std::lround(span_y * m.scale)));
    m.left = left, m.top = top;
    return m;
}

double look_tick_step(double span)
{
    for (double s : steps)
        if (span / s >= min_ticks)
            return s;
    return steps[std::size(steps) - 1];
}

std::string look_lat_label(double lat)
{
    return degrees(lat, "N", "S");
}

std::string look_lon_label(double lon)
{
    double l = std::remainder(lon, 360.0);
    if (std::fabs(std::fabs(l) - 180.0) < 1e-9)
        return degrees(180.0, "", "");
    return degrees(l, "E", "W");
}

void look_map_coast(cairo_t *cr, const look_map &m, const look_coast &coast)
{
    cairo_save(cr);
    cairo_rectangle(cr, m.left, m.top, m.width, m.height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_set_line_width(cr, m.global() ? 0.8 : 1.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (size_t i = 0; i < coast.lines(); i++) {
        size_t p0 = coast.first[i], p1 = coast.first[i + 1];
        auto [lo, hi] = std::minmax_element(coast.lon.begin() + p0, coast.lon.begin() + p1);
        auto [s, n] = std::minmax_element(coast.lat.begin() + p0, coast.lat.begin() + p1);
        if (*n < m.south || *s > m.north)
            continue;
        for (double turn = std::ceil((m.west - *hi) / 360.0); *lo + turn * 360.0 <= m.east;
             turn += 1) {
            for (size_t p = p0; p < p1; p++) {
                double x = m.x(coast.lon[p] + turn * 360.0), y = m.y(coast.lat[p]);
                p == p0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
            }
            cairo_stroke(cr);
        }
    }
    cairo_restore(cr);
}

void look_map_frame(cairo_t *cr, const look_map &m)
{
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, m.left - 0.5, m.top - 0.5, m.width + 1, m.height + 1);
    double lat_step = look_tick_step(m.north - m.south);
    double lon_step = m.global() ? 30.0 : look_tick_step(m.east - m.west);
    double bottom = m.top + m.height + 0.5, left = m.left - 0.5;
    each_tick(m.south, m.north, lat_step, [&](double lat) {
        double y = std::round(m.y(lat)) + 0.5;
        cairo_move_to(cr, left, y);
        cairo_line_to(cr, left - tick_length, y);
    });
    each_tick(m.west, m.east, lon_step, [&](double lon) {
        double x = std::round(m.x(lon)) + 0.5;
        cairo_move_to(cr, x, bottom);
        cairo_line_to(cr, x, bottom + tick_length);
    });
    cairo_stroke(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_font_size(cr, font_size);
    double shown_to = 1e9;  // where the last label stands: its y, then its right end
    each_tick(m.south, m.north, lat_step, [&](double lat) {
        if (m.y(lat) > shown_to - font_size - 2)
            return;  // too close to the label below
        label(cr, look_lat_label(lat), left - tick_length - 2, m.y(lat), 1.0, 0.5);
        shown_to = m.y(lat);
    });
    shown_to = -1e9;
    each_tick(m.west, m.east, lon_step, [&](double lon) {
        std::string text = look_lon_label(lon);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, text.c_str(), &ext);
        double x = m.x(lon) - ext.x_advance / 2;
        if (x < shown_to + 4)
            return;  // no room beside the last label
        cairo_move_to(cr, x, bottom + tick_length + 1 + font_size);
        cairo_show_text(cr, text.c_str());
        shown_to = x + ext.x_advance;
    });
    cairo_restore(cr);
}
