/*
 * grib_sections.h -- the section arrays addressed as the codec's manual
 * names their elements, by numbers counted from 1: k1(GRIB_K1_CENTRE) is
 * KSEC1(2).  Every file of the codec reaches the elements this way.
 */
#ifndef GRIB_SECTIONS_H
#define GRIB_SECTIONS_H

#include <algorithm>
#include <initializer_list>

#include <gridpick/grib.h>

namespace grib {

/* A view of one section array; T is const where the array is only read. */
template <typename T>
struct Sec {
    T *p;
    T &operator()(int n) const { return p[n - 1]; }
};

using KSec = Sec<const gint>;
using PSec = Sec<const float>;

inline bool is_one_of(gint v, std::initializer_list<gint> set)
{
    return std::find(set.begin(), set.end(), v) != set.end();
}

/* The grid families of the data representation types the codec handles. */
enum Family { LATLON, GAUSS, SPHERICAL, POLAR, SPACE, OTHER };

inline Family family(gint type)
{
    switch (type) {
    case 0: case 10: case 20: case 30: return LATLON;
    case 4: case 14: case 24: case 34: return GAUSS;
    case 50: case 60: case 70: case 80: return SPHERICAL;
    case 5: return POLAR;
    case 90: return SPACE;
    default: return OTHER;
    }
}

/* Types with a pole of rotation, and with a pole of stretching. */
inline bool rotated(gint t) { return is_one_of(t, {10, 14, 30, 34, 60, 80}); }
inline bool stretched(gint t) { return is_one_of(t, {20, 24, 30, 34, 70, 80}); }

}  // namespace grib

#endif
