/*
 * sections.h -- the codec's section arrays of one message, and the one call
 * through which the programs decode or measure a message with them.
 */
#ifndef GRIDPICK_SECTIONS_H
#define GRIDPICK_SECTIONS_H

#include <gridpick/grib.h>

#include <cstdint>

enum {
    GP_IGRIB_WORDS = 8000,     /* first size of a message buffer: 32000 bytes */
    GP_IGRIB_BYTES = 4 * GP_IGRIB_WORDS,
    GP_MAX_MESSAGE = 0xFFFFFF, /* the longest message edition 1 can state */
    GP_MAX_VALUES = 19000,     /* first size of a value array */
    GP_MAX_DECODED = 1 << 24,  /* values of one field the programs decode at most */
    GP_NKSEC1 = 1037           /* KSEC1 with room for a centre's local part */
};   /* KSEC1 with room for a centre's local part */
static_assert(GP_NKSEC1 >= GRIB_NKSEC1, "KSEC1 smaller than the codec writes");

/* Element n of a section array as grib.h names it, counted from 1:
 * gp_el(s.ksec1, GRIB_K1_PARAM). */
template <class T> constexpr T &gp_el(T *sec, int element)
{
    return sec[element - 1];
}

/* KSEC0 to KSEC4 and their reals, sized so that decoding any message stays
 * inside them (grib.h).  Element n (counted from 1) is [n - 1]. */
struct gp_sections {
    gint ksec0[GRIB_NKSEC0];
    gint ksec1[GP_NKSEC1];
    gint ksec2[GRIB_NKSEC2];
    float psec2[GRIB_NPSEC2];
    gint ksec3[GRIB_NKSEC3];
    float psec3[GRIB_NPSEC3];
    gint ksec4[GRIB_NKSEC4];
};

/* Decodes the message at the start of buffer (words 32-bit words) into s
 * with the codec's decoding operation op: "L" its length and edition only
 * (KSEC0), "I" sections 0 to 2, "D" the whole message with its values into
 * values (room for nvalues; "L" and "I" leave them alone).  Failures are
 * returned, never ended on: the codec's return code (0, a warning below 0
 * or a failure above 0, announced on standard output). */
int gp_decode_sections(gp_sections &s, const char *op, std::int32_t *buffer, int words,
                       float *values, int nvalues);

#endif
