/*
 * describe.h -- a GRIB field in a few words: its level, its grid, its date
 * with the four-digit year and the width of its packed values, as the
 * inventory prints them and as titles and names may use them.
 *
 * Every function reads the codec's section arrays (grib.h: KSEC1 and KSEC2
 * as decoded, element n counted from 1 being [n - 1]) or the message's
 * octets; none changes them.  Texts are written like snprintf: into text
 * (size bytes, cut to fit, always terminated when size > 0), returning the
 * length of the whole text.
 */
#ifndef GRIDPICK_DESCRIBE_H
#define GRIDPICK_DESCRIBE_H

#include <cstddef>
#include <cstdint>

/* Level types of Code Table 3 that have a short name. */
enum { GP_LEVEL_SURFACE = 1, GP_LEVEL_ISOBARIC = 100, GP_LEVEL_MSL = 102 };

/* The level of type (KSEC1(7)) with its values (KSEC1(8), KSEC1(9)):
 * "500 mb" for an isobaric level, "sfc" for the surface, "msl" for mean sea
 * level, otherwise "lt<type>=<value1>", or "lt<type>=<value1>-<value2>" for
 * a layer whose second value is not 0. */
int gp_level_text(int type, int value1, int value2, char *text, std::size_t size);

/* The grid of a field whose section 2 decoded into ksec2 (KSEC2(1) the data
 * representation type): "latlon 144x73", "gauss 320x160" (Ni x Nj points),
 * "reduced gauss N80" (a quasi-regular Gaussian grid of N parallels between
 * a pole and the equator), "reduced latlon 181 rows" (a quasi-regular
 * latitude/longitude grid), "polar 65x65", "space view 100x100", "sh T106"
 * (spherical harmonics, triangular truncation; "sh J106,K106,M120" for
 * other truncations); "rotated ", "stretched " or "rotated stretched " in
 * front of the types that are so.  A type outside these: "type <n>".
 * ksec2 null (the message has no section 2): "grid <number>", the number
 * of the catalogued grid (KSEC1(4)). */
int gp_grid_text(const std::int32_t *ksec2, int number, char *text, std::size_t size);

/* The four-digit year of a date whose century is century (KSEC1(21), 20
 * for 1901 to 2000) and year of century year (KSEC1(10), 1 to 100).  A
 * century the message does not give (GRIB_KNEG, or below 1) is taken as 20. */
int gp_full_year(int century, int year);

/* Bits per packed value (octet 11 of section 4) of the message whose first
 * n octets are at message, of edition (KSEC0(2): 1, 0 or -1) and section 1
 * flag (KSEC1(5) as decoded: 128 section 2, 64 section 3).  -1 when those
 * octets do not reach it. */
int gp_bits_per_value(const unsigned char *message, long n, int edition, int flag);

#endif
