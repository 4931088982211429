/*
 * grib_ibm.h -- internal numeric helpers shared by the codec's files.
 */
#ifndef GRIB_IBM_H
#define GRIB_IBM_H

#include <gridpick/grib.h>

/* Nearest integer, halves away from zero, saturating; NaN gives 0. */
gint grib_nint(double x);
/* Integer part (towards zero), saturating; NaN gives 0. */
gint grib_trunc(double x);
/* 2^e and 10^d in single precision; exact powers of two stay exact. */
float grib_pow2(gint e);
float grib_pow10(gint d);

#endif
