/*
 * look_map.h -- the map frame of ovlook's pictures: an equirectangular
 * projection (a degree of latitude as long as one of longitude, north up,
 * west left), the frame with latitude and longitude ticks and labels, and
 * the shorelines over the field.
 */
#ifndef GRIDPICK_OVLOOK_LOOK_MAP_H
#define GRIDPICK_OVLOOK_LOOK_MAP_H

#include <cairo.h>

#include "coast.h"

/* The area west..east, south..north (degrees; longitudes in whatever range
 * the data use, -180.. or 0.. or past 360) drawn at scale pixels a degree
 * in the rectangle left, top, width x height of the picture. */
struct look_map {
    double west = 0, east = 0, south = 0, north = 0, scale = 1;
    int left = 0, top = 0, width = 0, height = 0;
    double x(double lon) const { return left + (lon - west) * scale; }
    double y(double lat) const { return top + (north - lat) * scale; }
    /* true when the map goes round the whole circle of longitude. */
    bool global() const { return east - west >= 355.0; }
};

/* The map of an area fitted into at most max_width x max_height pixels
 * with its top left corner at left, top (width and height at least 1). */
look_map look_map_fit(double west, double east, double south, double north, double max_width,
                      double max_height, int left, int top);

/* Pixels the axis labels take left and right of the map and below it. */
constexpr int look_axis_side = 40, look_axis_below = 18;

/* Spacing of the ticks for an axis spanning span degrees: 30 degrees on a
 * global axis, finer on shorter ones (20, 10, 5, 2, 1, 0.5, ...), at least
 * three ticks an axis. */
double look_tick_step(double span);

/* Label of a tick: "30°N", "0°", "45°S", "120°W", "180°", "2.5°E";
 * longitudes are brought into -180..180 first. */
std::string look_lat_label(double lat);
std::string look_lon_label(double lon);

/* The shorelines, thin and dark, clipped to the map; every polyline is
 * drawn once for each turn of 360 degrees that brings it over the map. */
void look_map_coast(cairo_t *cr, const look_map &m, const look_coast &coast);

/* The frame round the map with ticks outside it and their labels: latitudes
 * on the left, longitudes below. */
void look_map_frame(cairo_t *cr, const look_map &m);

#endif
