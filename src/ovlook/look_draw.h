/*
 * look_draw.h -- one picture of a gridded field as a PNG file.
 *
 * Layout, in pixels: a margin of 10; the title on the first 24 rows below
 * it; the map, equirectangular (a degree of latitude is as long as one of
 * longitude) with north up and each grid point a filled cell reaching half
 * way to its neighbours, scaled to at most 720 x 540 and centred in a
 * picture at least 500 wide; below it the colour bar, 14 high, across the
 * picture with the band boundaries under it.  Missing points are
 * look_missing grey.  A vector field is drawn as its speed, with arrows at
 * every k-th point in both directions (k such that arrows stand at least 24
 * pixels apart), their length in proportion to the speed.
 */
#ifndef GRIDPICK_OVLOOK_LOOK_DRAW_H
#define GRIDPICK_OVLOOK_LOOK_DRAW_H

#include <string>

#include "ovset.h"

/* What to draw: the data set (OV_CONTOUR, or OV_VECTOR with data u and
 * vdata v) and the axes of its grid. */
struct look_field {
    const OvHeader *h;
    const ovset_axes *axes;
    std::string title;
};

/* Draws the field into the PNG file at path.  false after "ovlook: <path>:
 * <error>" when the picture cannot be made or written. */
bool look_draw_png(const look_field &field, const std::string &path);

#endif
