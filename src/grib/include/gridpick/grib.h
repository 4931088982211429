/*
 * grib.h -- the GRIB edition 1 codec: public interface.
 *
 * Every routine passes every argument by reference and has C linkage.  C
 * callers use the names below; Fortran programs compiled with gfortran call
 * the same routines by the same names, which gfortran turns into the entries
 * of the "Fortran entry points" block at the end.  A character argument
 * (HOPER, HFUNC, HDIR, HNAME) is followed, after all other arguments, by its
 * length as a hidden `long`:
 *
 *     fldcod(ksec0, ksec1, ksec2, psec2, ksec3, psec3, ksec4, psec4,
 *            &klenp, kgrib, &kleng, &kword, "D", &kret, 1L);
 *
 * Integers are 32 bits (gint), reals single precision (float).  Arrays are
 * described with element numbers counted from 1, as KSEC1(6); in C that is
 * ksec1[5].
 *
 * The message array KGRIB holds the octets of a message in memory exactly as
 * they were read from a file: bit 0 is the top bit of the first octet, bit 31
 * the low bit of the fourth.  The codec never depends on the host's byte
 * order.
 *
 * The codec keeps process-wide state (settings record, machine parameters,
 * working values, static work arrays); no routine is re-entrant and calls
 * must not overlap.  Printed lines go to standard output.
 */
#ifndef GRIDPICK_GRIB_H
#define GRIDPICK_GRIB_H

#include <gridpick/export.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t gint;

#ifdef __cplusplus
#define GRIB_NORETURN [[noreturn]]
#else
#define GRIB_NORETURN _Noreturn
#endif

/* Missing-value indicator stored into integer section-array elements that a
 * message does not supply (hexadecimal 80000001). */
#define GRIB_KNEG (-2147483647)

/*
 * Array sizes with which decoding any message, however corrupt, stays
 * inside the caller's arrays.  The codec refuses a message that would need
 * more: a quasi-regular grid with more than GRIB_MAXROWS rows (code 522),
 * more than 255 vertical coordinate parameters (502).  Smaller arrays are
 * fine for messages known to fit (KSEC2: 22 + rows, PSEC2: 10 + NV, KSEC4:
 * 42, or 60 + NC1 + NC2 for matrix fields).
 */
#define GRIB_NKSEC0 2
#define GRIB_NKSEC1 25
#define GRIB_MAXROWS 1002
#define GRIB_NKSEC2 (22 + GRIB_MAXROWS)
#define GRIB_NPSEC2 (10 + 255)
#define GRIB_NKSEC3 2
#define GRIB_NPSEC3 2
#define GRIB_NKSEC4 (60 + 510)

/*
 * Element numbers of the section arrays, counted from 1 as everywhere in
 * this manual: KSEC1(GRIB_K1_PARAM) is the parameter.  A C caller indexes
 * with the number less one, ksec1[GRIB_K1_PARAM - 1].  Where grid families
 * lay KSEC2 out differently, each meaning has its own name for the element.
 */
enum grib_ksec0 {
    GRIB_K0_LENGTH = 1,       /* message length in octets */
    GRIB_K0_EDITION = 2       /* 1; 0 edition 0; -1 experimental edition */
};
enum grib_ksec1 {
    GRIB_K1_TABLE = 1,        /* version number of the parameter table */
    GRIB_K1_CENTRE = 2,       /* originating centre */
    GRIB_K1_PROCESS = 3,      /* generating process (model) */
    GRIB_K1_GRID = 4,         /* grid definition number; 255: in section 2 */
    GRIB_K1_FLAG = 5,         /* 128: section 2 present, 64: section 3 */
    GRIB_K1_PARAM = 6,        /* indicator of parameter; 127: image data */
    GRIB_K1_LEVEL_TYPE = 7,   /* type of level; for image data the satellite */
    GRIB_K1_LEVEL = 8,        /* first level value, or the whole level */
    GRIB_K1_LEVEL2 = 9,       /* second level value, 0 for a whole level */
    GRIB_K1_YEAR = 10,        /* year of century */
    GRIB_K1_MONTH = 11,
    GRIB_K1_DAY = 12,
    GRIB_K1_HOUR = 13,
    GRIB_K1_MINUTE = 14,
    GRIB_K1_TIME_UNIT = 15,   /* unit of the time range */
    GRIB_K1_P1 = 16,          /* period of time P1, or the whole period */
    GRIB_K1_P2 = 17,          /* period of time P2, 0 for a whole period */
    GRIB_K1_TIME_RANGE = 18,  /* time range indicator */
    GRIB_K1_AVERAGED = 19,    /* number included in an average */
    GRIB_K1_NOT_AVERAGED = 20, /* number missing from an average */
    GRIB_K1_CENTURY = 21,     /* century of the reference time */
    GRIB_K1_SCALE = 23,       /* decimal scale factor D */
    GRIB_K1_RESERVED1 = 24,   /* reserved, 0 */
    GRIB_K1_RESERVED2 = 25    /* reserved, 0 */
};
enum grib_ksec2 {
    GRIB_K2_TYPE = 1,         /* data representation type */
    /* latitude/longitude and Gaussian grids */
    GRIB_K2_NI = 2,           /* points along a parallel */
    GRIB_K2_NJ = 3,           /* points along a meridian */
    GRIB_K2_LA1 = 4,          /* first grid point, millidegrees */
    GRIB_K2_LO1 = 5,
    GRIB_K2_INCREMENTS = 6,   /* 128: Di and Dj given */
    GRIB_K2_LA2 = 7,          /* last grid point */
    GRIB_K2_LO2 = 8,
    GRIB_K2_DI = 9,           /* i (west-east) increment */
    GRIB_K2_DJ = 10,          /* j (north-south) increment */
    GRIB_K2_N = 10,           /* Gaussian: parallels between pole and equator */
    GRIB_K2_SCAN = 11,        /* scanning mode flags */
    GRIB_K2_NV = 12,          /* number of vertical coordinate parameters */
    GRIB_K2_POLE_LAT = 13,    /* southern pole of rotation */
    GRIB_K2_POLE_LON = 14,
    GRIB_K2_STRETCH_LAT = 15, /* pole of stretching */
    GRIB_K2_STRETCH_LON = 16,
    GRIB_K2_QUASI = 17,       /* 1: quasi-regular, points per row listed */
    GRIB_K2_EARTH = 18,       /* earth flag, 64 */
    GRIB_K2_COMPONENTS = 19,  /* components flag, 8: relative to the grid */
    GRIB_K2_ROWS = 23,        /* row r has KSEC2(GRIB_K2_ROWS - 1 + r) points */
    /* spherical harmonics */
    GRIB_K2_J = 2, GRIB_K2_K = 3, GRIB_K2_M = 4, /* pentagonal resolution */
    GRIB_K2_REP_TYPE = 5,     /* representation type */
    GRIB_K2_REP_MODE = 6,     /* representation mode */
    /* polar stereographic (Nx, Ny, La1, Lo1 as above) */
    GRIB_K2_LOV = 7,          /* orientation of the grid */
    GRIB_K2_DX = 9, GRIB_K2_DY = 10, /* grid lengths */
    GRIB_K2_PROJECTION = 13,  /* projection centre flag */
    /* space view (Nx, Ny and the sub-satellite point as Ni, Nj, La1, Lo1) */
    GRIB_K2_DIAMETER_X = 7,   /* apparent diameter of the earth */
    GRIB_K2_DIAMETER_Y = 8,
    GRIB_K2_XP = 9, GRIB_K2_YP = 10, /* sub-satellite point */
    GRIB_K2_ORIENTATION = 13, /* orientation of the grid or camera angle */
    GRIB_K2_ALTITUDE = 14,    /* altitude of the camera */
    GRIB_K2_XO = 15, GRIB_K2_YO = 16 /* origin of the sector image */
};
enum grib_psec2 {
    GRIB_P2_ANGLE = 1,        /* angle of rotation */
    GRIB_P2_STRETCH = 2,      /* stretching factor */
    GRIB_P2_VERTICAL = 11     /* first of the KSEC2(GRIB_K2_NV) parameters */
};
enum grib_ksec3 {
    GRIB_K3_TABLE = 1,        /* predefined bit map; 0: map in the message */
    GRIB_K3_MISSING = 2       /* missing-point marker of integer data */
};
enum grib_psec3 {
    GRIB_P3_MISSING = 2       /* missing-point marker of real data */
};
enum grib_ksec4 {
    GRIB_K4_COUNT = 1,        /* number of values; -count: missing field */
    GRIB_K4_BITS = 2,         /* bits per packed value */
    GRIB_K4_HARMONICS = 3,    /* 128: spherical harmonic coefficients */
    GRIB_K4_PACKING = 4,      /* 64: complex packing */
    GRIB_K4_INTEGER = 5,      /* 32: integer values */
    GRIB_K4_ADDITIONAL = 6,   /* 16: additional flags */
    GRIB_K4_RESERVED = 7,
    GRIB_K4_MATRIX = 8,       /* 64: a matrix of values per point */
    GRIB_K4_SECONDARY = 9,    /* 32: secondary bit maps */
    GRIB_K4_WIDTHS = 10,      /* 16: second-order values of varying width */
    GRIB_K4_SECOND_BITS = 11, /* bits of the second-order values */
    GRIB_K4_X_COUNT = 34,     /* operation "X": values to extract, 1..4 */
    GRIB_K4_X_POINTS = 35,    /* value k: row at GRIB_K4_X_POINTS + 2(k-1),
                                 its column in the element after */
    GRIB_K4_ROWS = 50,        /* matrix: first dimension (rows) */
    GRIB_K4_COLUMNS = 51,     /* matrix: second dimension (columns) */
    GRIB_K4_DEF1 = 52,        /* first dimension coordinate values */
    GRIB_K4_NC1 = 53,         /* coefficients for the first dimension */
    GRIB_K4_DEF2 = 54,
    GRIB_K4_NC2 = 55,
    GRIB_K4_SIGNIFICANCE1 = 56, /* physical significance of the dimensions */
    GRIB_K4_SIGNIFICANCE2 = 57,
    GRIB_K4_COEFFICIENTS = 60 /* matrix coefficients of GRIB_NORVA_CENTRE */
};

/* The producing centre whose local rules the codec applies: its parameter
 * tables 128 (image data, pseudo-messages) and 140 (matrix coefficients as
 * reals), century 20 for editions 0 and -1, the checks of its usage. */
#define GRIB_NORVA_CENTRE 98

/* ------------------------------------------------------------------ */
/* Entry routine                                                       */
/* ------------------------------------------------------------------ */

/*
 * fldcod -- code a field into a message, decode a message, or measure one.
 *
 * KSEC0(2)  out: KSEC0(1) message length in octets, KSEC0(2) edition
 *           (1; 0 for edition 0; -1 for the experimental edition).
 * KSEC1(25) product definition; in for coding, out for decoding.
 * KSEC2     grid description (22 + rows of a quasi-regular grid); PSEC2 its
 *           reals (10 + number of vertical coordinate parameters).
 * KSEC3(2), PSEC3(2) bit map description and missing-point markers.
 * KSEC4     binary data description (42; 60 + coefficients for matrices).
 * PSEC4     KLENP values: in for coding, out for decoding.
 * KGRIB     KLENG words: the message (out when coding, in when decoding).
 * KWORD     out, coding only: words the coded message occupies, padding
 *           included (never more than KLENG).
 * HOPER     operation letter (its first character selects the operation;
 *           where the caller's letter itself matters, trailing blanks are
 *           ignored):
 *             "C" code; "M" code keeping the count of packed values under
 *             a bit map; "D" decode; "R" decode and expand a quasi-regular
 *             Gaussian grid to a regular one (PSEC4 must hold 2N x 4N);
 *             "Z" decode but stop before a bit map section (KRET -5);
 *             "I" sections 0 to 2 only; "S" as "D", time range 1 for an
 *             experimental message with P1 0; "X" up to four values chosen
 *             in KSEC4(34..42); "L" the message length KSEC0(1) only.
 * KRET      in: 0 ends the program through abortx on any failure, anything
 *           else returns failures; out: 0 success, negative warnings with
 *           usable output (-2 bit map of the message's own with every
 *           value present, -3 predefined bit map not expanded, -4 field
 *           spread over the grid by its bit map, -5 bit map found and
 *           nothing decoded, -6 pseudo-message), positive
 *           failures (2xx arguments, 3xx..8xx sections 0..5, x99 failed
 *           value check), each announced by a printed line.
 *
 * Coding refuses (710) a field of more than KLENP values; it changes the
 * caller's PSEC4 (scaled by 10^D, compacted under a bit map, replaced by the
 * packed integers) and, for some grids, KSEC2(2), KSEC2(9) and KSEC2(10)
 * (65535 where no value is given).  It chooses E so that the largest value
 * fits KSEC4(2) bits: every value decodes within half a packing step, 2^E/2.
 * A field that single precision cannot carry through the message is refused:
 * 707 when its range, 2^E or its largest value as decoded lies beyond single
 * precision (max - min above about 3.4e38, infinite values), 708 when its
 * reference value R does not decode to a finite real (|R| from 2^124, about
 * 2.1e37, on).  Coding may write 0 bits per value
 * only when KSEC4(2) is 0 and the field is constant (with the value checks
 * off, since they ask for 1 to 32 bits); otherwise 709.
 * Decoding never reads beyond KGRIB(KLENG) nor writes beyond PSEC4(KLENP);
 * with arrays of the GRIB_N* sizes above it stays inside the section arrays.
 * It reads nothing of section 2 beyond its stated length: 501 for a section
 * too short for its type's fields and lists, while the reserved octets at
 * the end of the type's layout may be left out (space views of 38 octets).
 * A section 4 of 0 bits per value is a constant field R / 10^D with one
 * value per grid point (or per value its bit maps mark present).
 * A field under a bit map decodes with PSEC3(2) at the missing points and
 * KRET -4 (-2 when the map marks every point present); 726 when section 4
 * holds fewer values than the bit maps mark present ("Bit-map calls for
 * ... values, Section 4 holds ...").  Operation "R" refuses (522) a row
 * list that does not describe 2N rows of 1 to 4N points.  A decoding call
 * that prints nothing obtains no storage.
 */
GP_EXPORT void fldcod(gint *ksec0, gint *ksec1, gint *ksec2, float *psec2, gint *ksec3,
                      float *psec3, gint *ksec4, float *psec4, gint *klenp, gint *kgrib,
                      gint *kleng, gint *kword, const char *hoper, gint *kret,
                      long hoper_len);

/* ------------------------------------------------------------------ */
/* Bit-field access                                                    */
/* ------------------------------------------------------------------ */

/*
 * Fields of NBITS (0..32) bits at bit offset IOFF (may be 32 or more) from
 * the word the array argument points to; NSKIP bits between fields; N fields
 * (N <= 0: none).  Extraction gives unsigned values; insertion stores the
 * low NBITS bits and leaves all other bits alone.  No checks: widths outside
 * 0..32 or negative offsets are caller errors.
 */
GP_EXPORT void gbytes(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip,
                      gint *n);
GP_EXPORT void sbytes(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip,
                      gint *n);
GP_EXPORT void gbyte(gint *source, gint *dest, gint *ioff, gint *nbits);
GP_EXPORT void sbyte(gint *dest, gint *source, gint *ioff, gint *nbits);
GP_EXPORT void ubytes(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip,
                      gint *n);
GP_EXPORT void pbytes(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip,
                      gint *n);
/* One field: extract into *value (ubyte) or insert *value (pbyte). */
GP_EXPORT void ubyte(gint *words, gint *value, gint *offset, gint *nbits);
GP_EXPORT void pbyte(gint *words, gint *value, gint *offset, gint *nbits);
typedef void (*grib_byte_op)(gint *words, gint *value, gint *offset,
                             gint *nbits);
/* The common loop of ubytes and pbytes; OP is ubyte or pbyte. */
GP_EXPORT void gsbytes(gint *words, gint *values, gint *ioff, gint *nbits, gint *nskip,
                       gint *n, grib_byte_op op);

/* Reverse each group of 4 octets (swap4) or exchange each pair (swap2) of
 * the N octets of IN into OUT; IN and OUT may be the same.  A trailing
 * incomplete group is copied unchanged; nothing beyond N is touched. */
GP_EXPORT void swap4(void *in, void *out, gint *n);
GP_EXPORT void swap2(void *in, void *out, gint *n);

/*
 * inxbit -- insert (HFUNC "C") or extract (any other) KNUM contiguous fields
 * of KBLEN bits at bit position KNSPT of KGRIB (KLENG words, KBIT = 32 bits
 * each), to or from KPARM(1..KNUM).  KNSPT is advanced by KBLEN * KNUM.
 * KRET 0 on success; 1 when the fields would reach beyond word KLENG (or
 * KBLEN is outside 0..32, KNUM negative, KNSPT negative): then nothing is
 * transferred and the line "INXBIT : Word ... is outside array bounds ..."
 * is printed.
 */
GP_EXPORT void inxbit(gint *kgrib, gint *kleng, gint *knspt, gint *kparm, gint *knum,
                      gint *kbit, gint *kblen, const char *hfunc, gint *kret,
                      long hfunc_len);

/* ------------------------------------------------------------------ */
/* IBM reals and scaling                                               */
/* ------------------------------------------------------------------ */

/* PREAL <- the IBM single-precision number with exponent octet KEXP (sign
 * in bit 128) and 24-bit mantissa KMANT. */
GP_EXPORT void decfp2(float *preal, gint *kexp, gint *kmant);
/* IBM number for PVAL.  KBITS: bits per word (32).  KROUND 0: the result
 * does not exceed PVAL; 1: nearest; add 10 for printing.  An invalid KROUND
 * or an unrecoverable mantissa overflow ends the program (abortx "CONFP3"). */
GP_EXPORT void confp3(float *pval, gint *kexp, gint *kmant, gint *kbits, gint *kround);
/* KDATA(j) <- nint((PDATA(j) - PREF) / PSCALE); may run in place.  Results
 * from 2^31 to 2^32 - 1 (32-bit packing) are stored as their unsigned bit
 * pattern; others outside the 32-bit range saturate. */
GP_EXPORT void inscal(float *pdata, gint *kdata, gint *klen, float *pref, float *pscale);
/* PDATA(j) <- PREF + KDATA(j) * PSCALE (KDATA signed); may run in place. */
GP_EXPORT void exscal(float *pdata, gint *kdata, gint *klen, float *pref, float *pscale);
/* HDIR "I": KINT(j) <- nint(PREAL(j)); otherwise PREAL(j) <- KINT(j). */
GP_EXPORT void rorint(float *preal, gint *kint, gint *klen, const char *hdir,
                      long hdir_len);
/* Range of PARRAY(1..KLEN); with KLEN <= 0 PMAX and PMIN are left as they
 * are (nothing is read). */
GP_EXPORT void maxmin(float *parray, gint *klen, float *pmax, float *pmin);
/* Range of the elements not equal to PMISS; PMAX, PMIN unchanged when there
 * is none. */
GP_EXPORT void maxmn2(float *parray, gint *klen, float *pmiss, float *pmax, float *pmin);

/* ------------------------------------------------------------------ */
/* Settings, machine parameters, termination                           */
/* ------------------------------------------------------------------ */

/* Switch debug printing (NDBG), value checks before coding (NVCK), rounding
 * of coded lengths to 120 octets (NRND): K nonzero -> 1, zero -> 0. */
GP_EXPORT void grsdbg(gint *k);
/* K zero: fldcod's return code lines (failures and warnings) are not
 * printed, its return codes stay the same; nonzero: they are printed (the
 * default).  For callers that report failures in their own words. */
GP_EXPORT void grsprt(gint *k);
GP_EXPORT void grsvck(gint *k);
GP_EXPORT void grsrnd(gint *k);
/* Use P as reference value when coding (FREF = P, NFREF = 1). */
GP_EXPORT void grsref(float *p);
/* KBIT <- 32, KNEG <- -2147483647; KPR 1 prints what it does. */
GP_EXPORT void setpar(gint *kbit, gint *kneg, gint *kpr);
/* Prints "ABORTX : Routine HNAME has requested program termination." and
 * ends the process with abort(); never returns. */
GRIB_NORETURN GP_EXPORT void abortx(const char *hname, long hname_len);

/* ------------------------------------------------------------------ */
/* Checks, listings, grid expansion, bit maps                          */
/* ------------------------------------------------------------------ */

/*
 * Checks of section values before coding (fldcod runs them while NVCK is
 * 1).  Each problem prints one line "GRCHKn : ..."; KRET 0, or 1 when an
 * error-class check failed (warnings leave it alone).  Every check runs, so
 * one call reports every problem; grchk2 alone stops after an unsupported
 * representation type.  Reads KSEC1(1..25), KSEC2(1..19), KSEC3(1),
 * KSEC4(1..9); PSEC2, PSEC3, PSEC4 are not read; nothing is changed.
 */
GP_EXPORT void grchk1(gint *ksec1, gint *kret);
GP_EXPORT void grchk2(gint *ksec1, gint *ksec2, float *psec2, gint *kret);
GP_EXPORT void grchk3(gint *ksec1, gint *ksec3, float *psec3, gint *kret);
GP_EXPORT void grchk4(gint *ksec1, gint *ksec4, float *psec4, gint *kret);

/*
 * Labelled listings of the section arrays; nothing is changed.  KSEC0(2),
 * the edition, selects some lines of grprs1 and grprs2.  The arrays must
 * hold what the listing reads: KSEC2(22 + KSEC2(3)) for a quasi-regular
 * Gaussian grid of edition 1, PSEC2(10 + KSEC2(12)), KSEC4(57) when
 * KSEC4(8) is 64, PSEC4(min(|KSEC4(1)|, 20)).
 */
GP_EXPORT void grprs0(gint *ksec0);
GP_EXPORT void grprs1(gint *ksec0, gint *ksec1);
GP_EXPORT void grprs2(gint *ksec0, gint *ksec2, float *psec2);
GP_EXPORT void grprs3(gint *ksec0, gint *ksec3, float *psec3);
GP_EXPORT void grprs4(gint *ksec0, gint *ksec4, float *psec4);
/* KOUT <- the KNBIT low bits of KIN as decimal digits (192, 8 -> 11000000).
 * KNBIT must be 1..10, the widths whose digits fit KOUT; otherwise KERR 1,
 * the line "PRTBIN : Error in binary number length - ..." and KOUT
 * unchanged.  KERR 0 on success. */
GP_EXPORT void prtbin(gint *kin, gint *knbit, gint *kout, gint *kerr);

/*
 * qu2reg -- expand the rows of PFIELD in place to KLAT x KLON values.
 * KCODE 1/3: KLAT rows, row j of KPOINT(j) points, each to KLON points;
 * 11/13: KLON rows each to KLAT points; units digit 1 linear, 3 cubic
 * (slope-limited: no value outside the two inputs around it).  A row of
 * full length is copied bit for bit.  PFIELD must hold KLAT x KLON values
 * and, on entry, the sum of KPOINT over the rows.  Fatal (a line, then
 * abortx "QU2REG"), checked before anything is changed: bad KCODE, KLAT
 * outside 0..320, KLON outside 0..640, a row with fewer than 1 or more
 * than the regular length of points.
 */
GP_EXPORT void qu2reg(float *pfield, gint *kpoint, gint *klat, gint *klon, gint *kcode);
/* One periodic row: KI values in P become KO values (P holds KO); PW
 * 3 x (KO+3) reals.  Fatal (abortx "ROWINA"): KCODE not 1 or 3, KI outside
 * 1..KO. */
GP_EXPORT void rowina(float *p, gint *ko, gint *ki, float *pw, gint *kcode);
/* Limit the cubic's end slopes of KLEN intervals: a slope against the
 * interval's rise becomes 0, one steeper than 3 x the rise is cut to it. */
GP_EXPORT void scm0(float *pdl, float *pdr, float *pfl, float *pfr, gint *klen);

/*
 * Bit maps.  Maps are runs of 1-bit fields moved through inxbit at a bit
 * position that is advanced past them.  KBIT 32; KPR 1 prints debug lines.
 * KRET: 0 success; 1 inxbit failure (its line and "... : Error reported by
 * routine INXBIT."); 2 a map beyond its limit (41472 points, 512 values per
 * point) or KNUM below 1; 3 HFUNC other than "C" or "M".  On any failure
 * PSEC4 and KSIZE are unchanged.  PMISS marks a missing value (compared as
 * a real).
 * insmp1: primary map of the KSIZE/KNUM points (KNUM values each) written
 *         at KNSPT, 0 for a point whose values are all missing; PSEC4 packed
 *         down to the present points (HFUNC "C": KSIZE reduced; "M": KSIZE
 *         kept, tail filled with the first kept value).  "M" with KSBIND 32
 *         writes all ones and leaves the field.
 * insmp2: secondary maps (KNUM bits per point) written at KNSPT, padded to
 *         an octet; PSEC4 packed down to the values present ("C"/"M" as
 *         above).
 * extmap: spreads the packed PSEC4 over KSIZE points x KNUM values using the
 *         primary map at KBMAP and the secondary maps at KBMAP2 (0 or
 *         negative: none, every value of a present point is there); KBMAP,
 *         KBMAP2 advanced past the maps read.  KSBMAP -2 when nothing was
 *         missing (PSEC4 untouched), -4 when expanded; not set on failure.
 *         PSEC4 must hold KSIZE x KNUM values.
 */
GP_EXPORT void insmp1(gint *kgrib, gint *kleng, gint *knspt, gint *ksbind, float *psec4,
                      gint *ksize, gint *kbit, float *pmiss, const char *hfunc,
                      gint *knum, gint *kpr, gint *kret, long hfunc_len);
GP_EXPORT void insmp2(gint *kgrib, gint *kleng, gint *knspt, float *psec4, gint *ksize,
                      gint *kbit, float *pmiss, const char *hfunc, gint *knum, gint *kpr,
                      gint *kret, long hfunc_len);
GP_EXPORT void extmap(gint *kgrib, gint *kleng, gint *kbmap, gint *kbmap2, float *psec4,
                      gint *ksize, gint *kbit, gint *ksbmap, float *pmiss, gint *knum,
                      gint *kpr, gint *kret);

/* ------------------------------------------------------------------ */
/* Fortran entry points                                                */
/* ------------------------------------------------------------------ */

/*
 * For programs compiled with gfortran's default conventions: `call
 * fldcod(...)` in Fortran reaches fldcod_.  Each NAME_ takes the arguments
 * of NAME above in the same order and does exactly what NAME does; only a
 * hidden character length is a size_t, as gfortran passes it.  Fortran
 * INTEGER and REAL must be the default 4-byte kinds (no -fdefault-integer-8,
 * no -fdefault-real-8); arrays are passed as they are, KSEC1(1) being
 * ksec1[0].  gsbytes_ expects ubyte or pbyte (EXTERNAL in Fortran) as OP.
 */
GP_EXPORT void fldcod_(gint *ksec0, gint *ksec1, gint *ksec2, float *psec2, gint *ksec3,
                       float *psec3, gint *ksec4, float *psec4, gint *klenp,
                       gint *kgrib, gint *kleng, gint *kword, const char *hoper,
                       gint *kret, size_t hoper_len);
GP_EXPORT void gbytes_(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip,
                       gint *n);
GP_EXPORT void sbytes_(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip,
                       gint *n);
GP_EXPORT void gbyte_(gint *source, gint *dest, gint *ioff, gint *nbits);
GP_EXPORT void sbyte_(gint *dest, gint *source, gint *ioff, gint *nbits);
GP_EXPORT void ubytes_(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip,
                       gint *n);
GP_EXPORT void pbytes_(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip,
                       gint *n);
GP_EXPORT void ubyte_(gint *words, gint *value, gint *offset, gint *nbits);
GP_EXPORT void pbyte_(gint *words, gint *value, gint *offset, gint *nbits);
GP_EXPORT void gsbytes_(gint *words, gint *values, gint *ioff, gint *nbits,
                        gint *nskip, gint *n, grib_byte_op op);
GP_EXPORT void swap4_(void *in, void *out, gint *n);
GP_EXPORT void swap2_(void *in, void *out, gint *n);
GP_EXPORT void inxbit_(gint *kgrib, gint *kleng, gint *knspt, gint *kparm, gint *knum,
                       gint *kbit, gint *kblen, const char *hfunc, gint *kret,
                       size_t hfunc_len);
GP_EXPORT void decfp2_(float *preal, gint *kexp, gint *kmant);
GP_EXPORT void confp3_(float *pval, gint *kexp, gint *kmant, gint *kbits,
                       gint *kround);
GP_EXPORT void inscal_(float *pdata, gint *kdata, gint *klen, float *pref,
                       float *pscale);
GP_EXPORT void exscal_(float *pdata, gint *kdata, gint *klen, float *pref,
                       float *pscale);
GP_EXPORT void rorint_(float *preal, gint *kint, gint *klen, const char *hdir,
                       size_t hdir_len);
GP_EXPORT void maxmin_(float *parray, gint *klen, float *pmax, float *pmin);
GP_EXPORT void maxmn2_(float *parray, gint *klen, float *pmiss, float *pmax,
                       float *pmin);
GP_EXPORT void grsdbg_(gint *k);
GP_EXPORT void grsprt_(gint *k);
GP_EXPORT void grsvck_(gint *k);
GP_EXPORT void grsrnd_(gint *k);
GP_EXPORT void grsref_(float *p);
GP_EXPORT void setpar_(gint *kbit, gint *kneg, gint *kpr);
GRIB_NORETURN GP_EXPORT void abortx_(const char *hname, size_t hname_len);
GP_EXPORT void grchk1_(gint *ksec1, gint *kret);
GP_EXPORT void grchk2_(gint *ksec1, gint *ksec2, float *psec2, gint *kret);
GP_EXPORT void grchk3_(gint *ksec1, gint *ksec3, float *psec3, gint *kret);
GP_EXPORT void grchk4_(gint *ksec1, gint *ksec4, float *psec4, gint *kret);
GP_EXPORT void grprs0_(gint *ksec0);
GP_EXPORT void grprs1_(gint *ksec0, gint *ksec1);
GP_EXPORT void grprs2_(gint *ksec0, gint *ksec2, float *psec2);
GP_EXPORT void grprs3_(gint *ksec0, gint *ksec3, float *psec3);
GP_EXPORT void grprs4_(gint *ksec0, gint *ksec4, float *psec4);
GP_EXPORT void prtbin_(gint *kin, gint *knbit, gint *kout, gint *kerr);
GP_EXPORT void qu2reg_(float *pfield, gint *kpoint, gint *klat, gint *klon,
                       gint *kcode);
GP_EXPORT void rowina_(float *p, gint *ko, gint *ki, float *pw, gint *kcode);
GP_EXPORT void scm0_(float *pdl, float *pdr, float *pfl, float *pfr, gint *klen);
GP_EXPORT void insmp1_(gint *kgrib, gint *kleng, gint *knspt, gint *ksbind,
                       float *psec4, gint *ksize, gint *kbit, float *pmiss,
                       const char *hfunc, gint *knum, gint *kpr, gint *kret,
                       size_t hfunc_len);
GP_EXPORT void insmp2_(gint *kgrib, gint *kleng, gint *knspt, float *psec4,
                       gint *ksize, gint *kbit, float *pmiss, const char *hfunc,
                       gint *knum, gint *kpr, gint *kret, size_t hfunc_len);
GP_EXPORT void extmap_(gint *kgrib, gint *kleng, gint *kbmap, gint *kbmap2,
                       float *psec4, gint *ksize, gint *kbit, gint *ksbmap,
                       float *pmiss, gint *knum, gint *kpr, gint *kret);

#ifdef __cplusplus
}
#endif

#endif
