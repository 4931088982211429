/*
 * grib_bits.h -- internal helpers of the bit-field layer: bounds of a
 * transfer and the fast runs used for the packed values of section 4.
 * The message is addressed as octets (bit 0 = top bit of octet 0).
 */
#ifndef GRIB_BITS_H
#define GRIB_BITS_H

#include <cstdint>

#include <gridpick/grib.h>

/* True when the bits [bit, bit + count) lie within words 1..kleng. */
bool grib_bits_fit(gint kleng, int64_t bit, int64_t count);

/* Prints the INXBIT bounds line for the advanced position knspt. */
void grib_bits_report(int64_t knspt, gint kleng);

/* n unsigned fields of nbits (0..32) bits, contiguous, from bit `bit`. */
void grib_get_run(const unsigned char *base, int64_t bit, int nbits, int64_t n,
                  gint *out);

/* Number of bits set among n bits from bit `bit`. */
int64_t grib_count_ones(const unsigned char *base, int64_t bit, int64_t n);

/* n fields as above, each turned into ref + value * scale (value taken as
 * unsigned).  out may not overlap the message. */
void grib_unpack_scaled(const unsigned char *base, int64_t bit, int nbits,
                        int64_t n, float ref, float scale, float *out);

#endif
