/*
 * grib_sections.h -- the section arrays addressed as the codec's manual
 * names their elements, by numbers counted from 1: k1(GRIB_K1_CENTRE) is
 * KSEC1(2).  Every file of the codec reaches the elements this way.
 */
#ifndef GRIB_SECTIONS_H
#define GRIB_SECTIONS_H

#include <algorithm>
#include <initializer_list>

#include "grib.h"

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

}  // namespace grib

#endif
