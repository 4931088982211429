/*
 * look_draw.h -- one picture of a gridded field as a PNG file.
 *
 * Layout, in pixels: a margin of 10; the title on the first 24 rows below
 * it; the map (look_map.h), equirectangular with north up and west left,
 * scaled to at most 720 x 540 and centred in a picture at least 500 wide,
 * with look_axis_side pixels for the latitude labels on either side and
 * look_axis_below for the longitude labels under it; below that the colour
 * bar, 14 high, across the picture with the band boundaries under it.
 *
 * On a grid each point is a filled cell reaching half way to its
 * neighbours in either direction (so the unequal rows of a Gaussian grid
 * get unequal heights), at its true place whichever way the rows and
 * columns run; missing points are look_missing grey.  A vector field is
 * drawn as its speed, with arrows at every k-th point in both directions (k
 * such that arrows stand at least 24 pixels apart), their length in
 * proportion to the speed.  The points of ungridded data sets are coloured
 * dots on a white map over their area, vectors with an arrow from each.
 * Shorelines (coast.h) are drawn over the field unless turned off.
 */
#ifndef GRIDPICK_OVLOOK_LOOK_DRAW_H
#define GRIDPICK_OVLOOK_LOOK_DRAW_H

#include <string>

#include "ovset.h"

/* What to draw: the data set (OV_CONTOUR, or OV_VECTOR with data u and
 * vdata v, with the axes of its grid; or OV_UNGRIDDED_SCALAR or
 * OV_UNGRIDDED_VECTOR with axes null), its title, and whether shorelines
 * are wanted. */
struct look_field {
    const OvHeader *h;
    const ovset_axes *axes;
    std::string title;
    bool coast = true;
};

/* true for the types look_draw_png draws: grids and ungridded points. */
bool look_drawable(const OvHeader &h);

/* Draws the field into the PNG file at path.  false after "ovlook: <path>:
 * <error>" when the picture cannot be made or written. */
bool look_draw_png(const look_field &field, const std::string &path);

#endif
