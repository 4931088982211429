/*
 * grib_qu2reg.cpp -- expansion of a quasi-regular field to a regular one:
 * qu2reg walks the rows, rowina interpolates one periodic row (linear or
 * slope-limited cubic), scm0 limits the cubic's slopes.
 *
 * All arithmetic is single precision, in the order written.
 */
#include <gridpick/grib.h>
#include "grib_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

constexpr gint MAX_LAT = 320;
constexpr gint MAX_LON = 640;
constexpr gint MAX_ROW = std::max(MAX_LAT, MAX_LON);

[[noreturn]] void stop(const char *name)
{
    abortx(name, static_cast<long>(std::strlen(name)));
}

/* A count outside 0..limit is fatal. */
void check_limit(std::string_view text, gint n, gint limit)
{
    if (n >= 0 && n <= limit)
        return;
    grib::MsgLine().text(text).i(n, 4).text(", maximum allowed is ").i(limit, 3).text(".").put();
    stop("QU2REG");
}

/* Column c (1..3) of a rowina workspace with ko output points; entry k at
 * index k, 0 <= k <= ko + 2. */
float *column(float *pw, gint ko, int c)
{
    return pw + static_cast<std::ptrdiff_t>(c - 1) * (ko + 3);
}

/* Input position of output point i (1-based), in input intervals. */
float position(gint i, float d, gint ki)
{
    return (static_cast<float>(i - 1) * d) * static_cast<float>(ki);
}

void linear(float *p, gint ko, gint ki, float *f)
{
    for (gint j = 1; j <= ki; ++j)
        f[j] = p[j - 1];
    f[ki + 1] = p[0];
    const float d = 1.0f / static_cast<float>(ko);
    for (gint i = 1; i <= ko; ++i) {
        const float x = position(i, d, ki);
        gint k = std::clamp(static_cast<gint>(x), 0, ki - 1);
        const float w = x - static_cast<float>(k);
        p[i - 1] = (1.0f - w) * f[k + 1] + w * f[k + 2];
    }
}

void cubic(float *p, gint ko, gint ki, float *f, float *gl, float *gr)
{
    for (gint j = 1; j <= ki; ++j)
        f[j] = p[j - 1];
    f[0] = p[ki - 1];
    f[ki + 1] = p[0];
    f[ki + 2] = ki >= 2 ? p[1] : p[0];
    for (gint j = 1; j <= ki; ++j) {
        const float a = f[j - 1], b = f[j], c = f[j + 1], e = f[j + 2];
        gl[j] = -a / 3.0f - b * 0.5f + c - e / 6.0f;
        gr[j + 1] = a / 6.0f - b + c * 0.5f + e / 3.0f;
    }
    gint n = ki;
    scm0(gl + 1, gr + 2, f + 1, f + 2, &n);
    const float d = 1.0f / static_cast<float>(ko);
    for (gint i = 1; i <= ko; ++i) {
        const float x1 = position(i, d, ki) + 1.0f;
        const gint k = std::clamp(static_cast<gint>(x1), 1, ki);
        const float t = x1 - static_cast<float>(k);
        const float s = 1.0f - t;
        p[i - 1] = ((3.0f - 2.0f * s) * f[k] + t * gl[k]) * s * s +
                   ((3.0f - 2.0f * t) * f[k + 1] - s * gr[k + 1]) * t * t;
    }
}

} // namespace

extern "C" void scm0(float *pdl, float *pdr, float *pfl, float *pfr, gint *klen)
{
    const float eps = 1.0E-12f;
    const float zmax = (1.0f - eps) * 3.0f;
    for (gint j = 0; j < *klen; ++j) {
        const float d = pfr[j] - pfl[j];
        if (std::fabs(d) <= eps) {
            pdl[j] = 0.0f;
            pdr[j] = 0.0f;
            continue;
        }
        const float alpha = pdl[j] / d;
        const float beta = pdr[j] / d;
        if (alpha <= 0.0f)
            pdl[j] = 0.0f;
        if (beta <= 0.0f)
            pdr[j] = 0.0f;
        if (alpha > zmax)
            pdl[j] = zmax * d;
        if (beta > zmax)
            pdr[j] = zmax * d;
    }
}

extern "C" void rowina(float *p, gint *ko, gint *ki, float *pw, gint *kcode)
{
    if (*kcode != 1 && *kcode != 3) {
        grib::MsgLine().text("ROWINA : Invalid interpolation code = ").i(*kcode, 4).put();
        stop("ROWINA");
    }
    if (*ki < 1 || *ki > *ko) {
        grib::MsgLine()
            .text("ROWINA : Invalid number of input points = ")
            .i(*ki, 6)
            .text(", output points = ")
            .i(*ko, 6)
            .put();
        stop("ROWINA");
    }
    if (*kcode == 1)
        linear(p, *ko, *ki, column(pw, *ko, 1));
    else
        cubic(p, *ko, *ki, column(pw, *ko, 1), column(pw, *ko, 2), column(pw, *ko, 3));
}

extern "C" void qu2reg(float *pfield, gint *kpoint, gint *klat, gint *klon,
                       gint *kcode)
{
    const gint code = *kcode;
    if (code != 1 && code != 3 && code != 11 && code != 13) {
        grib::MsgLine().text("QU2REG : Invalid interpolation type code = ").i(code, 3).put();
        stop("QU2REG");
    }
    check_limit("QU2REG : Number of latitudes is ", *klat, MAX_LAT);
    check_limit("QU2REG : Number of longitudes is ", *klon, MAX_LON);
    const bool swapped = code > 10;
    const gint rows = swapped ? *klon : *klat;
    gint len = swapped ? *klat : *klon;
    gint icode = swapped ? code - 10 : code;

    /* Every row must hold 1 to len points; the rows then fit in place. */
    long long total = 0;
    for (gint j = 0; j < rows; ++j) {
        if (kpoint[j] < 1 || kpoint[j] > len) {
            grib::MsgLine()
                .text("QU2REG : Row ")
                .i(j + 1, 4)
                .text(" has ")
                .i(kpoint[j], 6)
                .text(" points, regular length is ")
                .i(len, 4)
                .text(".")
                .put();
            stop("QU2REG");
        }
        total += kpoint[j];
    }

    /* Rows are rebuilt from the last one back: row j's input ends at or
     * before the end of its output, so nothing unread is overwritten. */
    std::array<float, MAX_ROW> zline;
    std::array<float, 3 * (MAX_ROW + 3)> zwork;
    for (gint j = rows - 1; j >= 0; --j) {
        gint n = kpoint[j];
        total -= n;
        float *in = pfield + total;
        float *out = pfield + static_cast<std::ptrdiff_t>(j) * len;
        if (n == len) {
            std::memmove(out, in, sizeof(float) * static_cast<std::size_t>(len));
            continue;
        }
        std::copy(in, in + n, zline.begin());
        rowina(zline.data(), &len, &n, zwork.data(), &icode);
        std::copy(zline.begin(), zline.begin() + len, out);
    }
}
