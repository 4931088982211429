/*
 * grib_ibm.cpp -- IBM System/360 single-precision reals, scaling between
 * reals and packed integers, ranges.  Arithmetic is single precision.
 */
#include "grib_ibm.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "grib_format.h"

namespace {

gint saturate(double r)
{
    if (std::isnan(r))
        return 0;
    if (r >= 2147483647.0)
        return 2147483647;
    if (r <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<gint>(r);
}

} // namespace

gint grib_nint(double x)
{
    return saturate(std::round(x));
}

gint grib_trunc(double x)
{
    return saturate(std::trunc(x));
}

float grib_pow2(gint e)
{
    if (e > 300)
        e = 300;
    if (e < -300)
        e = -300;
    return std::ldexp(1.0f, e);
}

float grib_pow10(gint d)
{
    return std::pow(10.0f, static_cast<float>(d));
}

namespace {

/* Element j is read and written through memcpy, so that one array may be
 * passed both as reals and as integers. */
float get_real(const float *p, gint j)
{
    float v;
    std::memcpy(&v, p + j, sizeof v);
    return v;
}

gint get_int(const gint *p, gint j)
{
    gint v;
    std::memcpy(&v, p + j, sizeof v);
    return v;
}

/* The in-place forms write an integer over the real it came from. */
void put_int(gint *p, gint j, gint v)
{
    std::memcpy(p + j, &v, sizeof v);
}

void put_real(float *p, gint j, float v)
{
    std::memcpy(p + j, &v, sizeof v);
}

void confp3_line(float pval, gint s, gint e, gint kmant, gint kround, bool header)
{
    if (header)
        grib::MsgLine().text("CONFP3 : Conversion type parameter = ").i(kround, 4).put();
    grib::MsgLine().text("CONFP3 : Original number = ").f(pval, 30, 20).put();
    if (header) {
        gint kexp = e + s, km = kmant;
        float back;
        decfp2(&back, &kexp, &km);
        grib::MsgLine().text("CONFP3 : Converted to      ").f(back, 30, 20).put();
    }
    grib::MsgLine()
        .text("CONFP3 : Sign = ")
        .i(s, 3)
        .text(", Exponent = ")
        .i(e, 3)
        .text(", Mantissa = ")
        .i(kmant, 12)
        .put();
}

/* q = z / 16^(e-70): the power is applied in double precision so that it
 * cannot leave the range of a float, but q itself is exact as a float, and
 * q + 0.5 is rounded to single precision like the rest of the arithmetic
 * (a tie goes to the even neighbour, so an integer q of 2^23 or more may
 * stay where it is). */
gint mantissa(float z, gint e, int mode, gint s)
{
    float q = static_cast<float>(static_cast<double>(z) / std::ldexp(1.0, 4 * (e - 70)));
    if (mode == 0 && s == 0)
        return grib_trunc(q);
    if (mode == 0)
        return grib_nint(q + 0.5f);
    return grib_nint(q);
}

} // namespace

extern "C" {

void decfp2(float *preal, gint *kexp, gint *kmant)
{
    gint e = *kexp;
    gint m = *kmant;
    if (m == 0 && (e == 0 || e == 128)) {
        *preal = 0.0f;
        return;
    }
    float sign = 1.0f;
    if (e >= 128) {
        e -= 128;
        sign = -1.0f;
    }
    /* a zero mantissa stays zero even where the power overflows (0 x Inf) */
    if (m == 0) {
        *preal = sign * 0.0f;
        return;
    }
    float power = std::ldexp(1.0f, 4 * (e - 64));
    *preal = ((sign * 5.9604644775390625e-08f) * static_cast<float>(m)) * power;
}

void confp3(float *pval, gint *kexp, gint *kmant, gint *kbits, gint *kround)
{
    bool print = *kround >= 10;
    gint mode = print ? *kround - 10 : *kround;
    if (mode != 0 && mode != 1) {
        grib::MsgLine().text("CONFP3 : Invalid conversion type parameter = ").i(*kround, 4).put();
        abortx("CONFP3", 6);
    }
    gint s = 0, e = 0, km = 0;
    if (*pval != 0.0f) {
        float eps = *kbits == 32 ? 1.0e-8f : 1.0e-12f;
        float z = *pval;
        if (z < 0.0f) {
            s = 128;
            z = -z;
        }
        float lg = std::log(z) * (1.0f / std::log(16.0f)) + 64.0f + 1.0f + eps;
        e = grib_trunc(lg);
        if (e < 0)
            e = 0;
        if (e > 127)
            e = 127;
        km = mantissa(z, e, mode, s);
        if (km > 16777215) {
            e++;
            km = mantissa(z, e, mode, s);
            if (km > 16777215) {
                grib::say("CONFP3 : Mantissa overflow fatal error.");
                confp3_line(*pval, s, e, km, *kround, false);
                abortx("CONFP3", 6);
            }
            grib::say("CONFP3 : Mantissa overflow recoverable error.");
        }
    }
    *kexp = e + s;
    *kmant = km;
    if (print)
        confp3_line(*pval, s, e, km, *kround, true);
}

/* Packed values are unsigned: those from 2^31 up to 2^32 - 1 (32-bit
 * packing) are stored as their unsigned bit pattern. */
void inscal(float *pdata, gint *kdata, gint *klen, float *pref, float *pscale)
{
    for (gint j = 0; j < *klen; j++) {
        float q = (get_real(pdata, j) - *pref) / *pscale;
        double r = std::round(static_cast<double>(q));
        gint v;
        if (r >= 2147483648.0 && r <= 4294967295.0) {
            uint32_t u = static_cast<uint32_t>(r);
            std::memcpy(&v, &u, sizeof v);
        } else {
            v = grib_nint(r);
        }
        put_int(kdata, j, v);
    }
}

void exscal(float *pdata, gint *kdata, gint *klen, float *pref, float *pscale)
{
    for (gint j = 0; j < *klen; j++)
        put_real(pdata, j, *pref + static_cast<float>(get_int(kdata, j)) * *pscale);
}

void rorint(float *preal, gint *kint, gint *klen, const char *hdir, long hdir_len)
{
    bool to_int = hdir_len > 0 && hdir[0] == 'I';
    for (gint j = 0; j < *klen; j++) {
        if (to_int)
            put_int(kint, j, grib_nint(get_real(preal, j)));
        else
            put_real(preal, j, static_cast<float>(get_int(kint, j)));
    }
}

void maxmin(float *parray, gint *klen, float *pmax, float *pmin)
{
    if (*klen <= 0)
        return;
    float hi = parray[0], lo = parray[0];
    for (gint j = 0; j < *klen; j++) {
        hi = std::fmax(hi, parray[j]);
        lo = std::fmin(lo, parray[j]);
    }
    *pmax = hi;
    *pmin = lo;
}

void maxmn2(float *parray, gint *klen, float *pmiss, float *pmax, float *pmin)
{
    gint j = 0;
    while (j < *klen && parray[j] == *pmiss)
        j++;
    if (j == *klen)
        return;
    float hi = parray[j], lo = parray[j];
    for (; j < *klen; j++) {
        if (parray[j] == *pmiss)
            continue;
        hi = std::fmax(hi, parray[j]);
        lo = std::fmin(lo, parray[j]);
    }
    *pmax = hi;
    *pmin = lo;
}

} /* extern "C" */
