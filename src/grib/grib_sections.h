/*
 * grib_sections.h -- read-only views of the section arrays counted from 1,
 * as their elements are named (k[n] is KSEC(n)), for the checks and the
 * listings.
 */
#ifndef GRIB_SECTIONS_H
#define GRIB_SECTIONS_H

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace grib {

struct Sec {
    const std::int32_t *p;
    std::int32_t operator[](int n) const { return p[n - 1]; }
};

inline bool is_one_of(std::int32_t v, std::initializer_list<std::int32_t> set)
{
    return std::find(set.begin(), set.end(), v) != set.end();
}

}  // namespace grib

#endif
