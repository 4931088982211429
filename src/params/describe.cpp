// A GRIB field in a few words (describe.h).
#include "describe.h"
#include <gridpick/grib.h>
#include "sections.h"

#include <cstdio>
#include <initializer_list>

namespace {

enum Family { LATLON, GAUSS, HARMONICS, POLAR, SPACE_VIEW };

struct GridType {
    int type;
    Family family;
    const char *prefix;
};

constexpr GridType grid_types[] = {
    {0, LATLON, ""},     {10, LATLON, "rotated "},    {20, LATLON, "stretched "},
    {30, LATLON, "rotated stretched "},
    {4, GAUSS, ""},      {14, GAUSS, "rotated "},     {24, GAUSS, "stretched "},
    {34, GAUSS, "rotated stretched "},
    {50, HARMONICS, ""}, {60, HARMONICS, "rotated "}, {70, HARMONICS, "stretched "},
    {80, HARMONICS, "rotated stretched "},
    {5, POLAR, ""},      {90, SPACE_VIEW, ""},
};

long u24(const unsigned char *p)
{
    return long(p[0]) << 16 | long(p[1]) << 8 | long(p[2]);
}

}  // namespace

int gp_level_text(int type, int value1, int value2, char *text, std::size_t size)
{
    switch (type) {
    case GP_LEVEL_ISOBARIC: return std::snprintf(text, size, "%d mb", value1);
    case GP_LEVEL_SURFACE: return std::snprintf(text, size, "sfc");
    case GP_LEVEL_MSL: return std::snprintf(text, size, "msl");
    }
    if (value2 != 0)
        return std::snprintf(text, size, "lt%d=%d-%d", type, value1, value2);
    return std::snprintf(text, size, "lt%d=%d", type, value1);
}

int gp_grid_text(const std::int32_t *ksec2, int number, char *text, std::size_t size)
{
    int type = ksec2 == nullptr ? GRIB_KNEG : gp_el(ksec2, GRIB_K2_TYPE);
    if (type == GRIB_KNEG)
        return std::snprintf(text, size, "grid %d", number);
    for (const GridType &g : grid_types) {
        if (g.type != type)
            continue;
        const char *p = g.prefix;
        int ni = gp_el(ksec2, GRIB_K2_NI), nj = gp_el(ksec2, GRIB_K2_NJ);
        int j = gp_el(ksec2, GRIB_K2_J), k = gp_el(ksec2, GRIB_K2_K), m = gp_el(ksec2, GRIB_K2_M);
        switch (g.family) {
        case LATLON:
            if (gp_el(ksec2, GRIB_K2_QUASI) == 1)
                return std::snprintf(text, size, "%sreduced latlon %d rows", p, nj);
            return std::snprintf(text, size, "%slatlon %dx%d", p, ni, nj);
        case GAUSS:
            if (gp_el(ksec2, GRIB_K2_QUASI) == 1)
                return std::snprintf(text, size, "%sreduced gauss N%d", p, gp_el(ksec2, GRIB_K2_N));
            return std::snprintf(text, size, "%sgauss %dx%d", p, ni, nj);
        case HARMONICS:
            if (j == k && k == m)
                return std::snprintf(text, size, "%ssh T%d", p, j);
            return std::snprintf(text, size, "%ssh J%d,K%d,M%d", p, j, k, m);
        case POLAR: return std::snprintf(text, size, "polar %dx%d", ni, nj);
        case SPACE_VIEW: return std::snprintf(text, size, "space view %dx%d", ni, nj);
        }
    }
    return std::snprintf(text, size, "type %d", type);
}

int gp_full_year(int century, int year)
{
    return (century >= 1 ? century - 1 : 19) * 100 + year;
}

int gp_bits_per_value(const unsigned char *message, long n, int edition, int flag)
{
    long at = edition == 1 ? 8 : 4;   // section 1
    if (edition == -1)
        at += 20;                      // the experimental one has no length field
    else if (at + 3 <= n)
        at += u24(message + at);
    else
        return -1;
    for (bool present : {(flag & 128) != 0, (flag & 64) != 0}) {   // sections 2 and 3
        if (!present)
            continue;
        if (at + 3 > n)
            return -1;
        at += u24(message + at);
    }
    return at + 11 <= n ? message[at + 10] : -1;
}
