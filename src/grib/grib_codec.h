/*
 * grib_codec.h -- internals shared by the files of fldcod: the arguments of
 * one call, the cursor over KGRIB, the return-code lines and the steps
 * every section shares.
 */
#ifndef GRIB_CODEC_H
#define GRIB_CODEC_H

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include <gridpick/grib.h>
#include "grib_sections.h"
#include "grib_state.h"

/* The named elements lie inside arrays of the sizes the manual gives. */
static_assert(GRIB_K1_RESERVED2 == GRIB_NKSEC1 && GRIB_K3_MISSING == GRIB_NKSEC3 &&
              GRIB_P3_MISSING == GRIB_NPSEC3);
static_assert(GRIB_K2_ROWS - 1 + GRIB_MAXROWS == GRIB_NKSEC2 &&
              GRIB_P2_VERTICAL - 1 + 255 == GRIB_NPSEC2);
static_assert(GRIB_K4_COEFFICIENTS + 510 == GRIB_NKSEC4);

/* The arguments of one fldcod call; c.k1(n) is KSEC1(n), c.k1.p the array. */
struct grib_call {
    grib::Sec<gint> k0, k1, k2;
    grib::Sec<float> p2;
    grib::Sec<gint> k3;
    grib::Sec<float> p3;
    grib::Sec<gint> k4;
    grib::Sec<float> p4;
    gint klenp;
    gint *kgrib;
    gint kleng;
    gint *kword;
    std::string_view hoper;  /* the caller's argument, trailing blanks cut */
    char op;                 /* internal letter: 'C', 'D' or 'L' */
    gint kret;

    bool coding() const { return op == 'C'; }
    bool decoding() const { return op == 'D'; }
    bool length_only() const { return op == 'L'; }
    bool is(std::string_view letter) const { return hoper == letter; }
    bool has_sec2() { return (k1(GRIB_K1_FLAG) & 128) != 0; }
    bool has_sec3() { return (k1(GRIB_K1_FLAG) & 64) != 0; }
    bool norva() { return k1(GRIB_K1_CENTRE) == GRIB_NORVA_CENTRE; }
    /* Values per point: the matrix size for matrix fields, else 1; 0 when
     * the matrix dimensions are unusable. */
    gint values_per_point()
    {
        if (k4(GRIB_K4_MATRIX) == 0)
            return 1;
        int64_t m = int64_t{k4(GRIB_K4_ROWS)} * k4(GRIB_K4_COLUMNS);
        return m > 0 && m <= 2147483647 ? static_cast<gint>(m) : 0;
    }
    /* The missing-point marker: PSEC3(2), or KSEC3(2) for integer data. */
    float marker()
    {
        if (k4(GRIB_K4_INTEGER) == 32)
            return static_cast<float>(k3(GRIB_K3_MISSING));
        return p3(GRIB_P3_MISSING);
    }
};

/* PSEC4 holding packed or integer values in place of its reals. */
inline gint *grib_as_ints(float *p) { return reinterpret_cast<gint *>(p); }

grib_work_t &grib_work();

/* Transfers through inxbit at the running position; each returns the
 * inxbit code (0 or 1). */
int grib_xfer(grib_call &c, gint *vals, gint n, gint width);
int grib_xfer1(grib_call &c, gint &v, gint width);
/* N (at most 4) sign and magnitude fields of `width` bits, in one
 * transfer; decoding leaves 0 in V(1..N) when the transfer fails. */
int grib_xfer_sm(grib_call &c, gint *v, gint n, gint width);
inline int grib_xfer_sm(grib_call &c, gint &v, gint width) { return grib_xfer_sm(c, &v, 1, width); }
/* IBM real: exponent octet then 24-bit mantissa (mode 1 when coding). */
int grib_xfer_ibm(grib_call &c, float &v);
/* Passes over `bits` bits. */
void grib_skip(gint bits);
/* Moves to the end of the section of `octets` octets that starts at bit
 * `start`. */
void grib_skip_section(gint start, gint octets);

/* Prints the line of return code `code` (return_codes.cpp): its text with
 * the integers of `values` and `word` in its fields, then the code. */
void grib_report(gint code, std::initializer_list<int64_t> values = {},
                 std::string_view word = {});
/* Sets KRET to `code` and reports it; returns false (the call ends). */
bool grib_fail(grib_call &c, gint code, std::initializer_list<int64_t> values = {},
               std::string_view word = {});
/* 710, the values do not fit PSEC4: KSEC4(1) <- count (cut to 32 bits)
 * and the line naming KLENP and the count. */
bool grib_fail_710(grib_call &c, int64_t count);

/* NDBG is 1: debug lines are printed. */
bool grib_debug();
/* The debug line with the length of section n (1 to 4). */
void grib_debug_length(int n, gint octets);
/* The length field that begins section n (2 or 3) at bit `start`: moved
 * (failure n01), listed; operation "L" passes over the section, and
 * decoding refuses one shorter than its 6-octet header.  Empty while the
 * section goes on; otherwise what the section returns. */
std::optional<bool> grib_section_length(grib_call &c, int n, gint start, gint &octets);
/* With NVCK 1, coding checks the values of section n (1 to 4) first;
 * false, with code n99, when the check fails. */
bool grib_checked(grib_call &c, int n);

/* Sections; each returns false when the call is to end (failure, or the
 * operation is complete). */
bool grib_sec0(grib_call &c);
bool grib_sec1(grib_call &c);
bool grib_sec2(grib_call &c);
bool grib_sec3(grib_call &c);
bool grib_sec4(grib_call &c);
bool grib_sec5(grib_call &c);
/* Bit-map expansion, quasi-regular expansion, integer conversion, missing
 * field sign, after section 5 of a decoded message. */
bool grib_after5(grib_call &c);

#endif
