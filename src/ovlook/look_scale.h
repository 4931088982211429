/*
 * look_scale.h -- the colour scale of ovlook's pictures: a value range cut
 * into bands of a round width, coloured from blue (low, cold) through pale
 * yellow to red (high, warm).
 */
#ifndef GRIDPICK_OVLOOK_LOOK_SCALE_H
#define GRIDPICK_OVLOOK_LOOK_SCALE_H

#include <string>

struct look_rgb {
    double r, g, b;  /* 0..1 */
};

/* Grey, the colour of missing points: unlike any colour of the scale. */
extern const look_rgb look_missing;

/* Band i holds the values from first + i * step up to first + (i+1) * step. */
struct look_scale {
    double first;
    double step;
    int bands;
};

/* About ten bands whose width is 1, 2, 2.5 or 5 times a power of ten,
 * covering min..max; a range of one value gets a band around it. */
look_scale look_scale_for(double min, double max);

/* Band of a value (values outside the range go to the first or last). */
int look_band_of(const look_scale &s, double value);

/* Colour of band i. */
look_rgb look_band_colour(const look_scale &s, int band);

/* Text of the boundary first + i * step, with as many decimals as the
 * step needs ("230", "2.5", "0.05"). */
std::string look_boundary_text(const look_scale &s, int i);

#endif
