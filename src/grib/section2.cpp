/*
 * section2.cpp -- grid description section (section 2): latitude/longitude,
 * Gaussian, spherical harmonic, polar stereographic and space view grids.
 */
#include "grib_codec.h"
#include "grib_format.h"

namespace {

using grib::Family;
using enum grib::Family;
using grib::family;

/* Octets after the first 32: a pole and a real for each of rotation and
 * stretching, 8 more for space views. */
gint extra_octets(gint t)
{
    if (family(t) == SPACE)
        return 8;
    return (grib::rotated(t) ? 10 : 0) + (grib::stretched(t) ? 10 : 0);
}

/* Octets up to the type's last field, the octets a decoded section must
 * hold: the reserved octets after it may be left out by the producer, as
 * some do for space views (38 octets). */
gint fields_end(Family f, gint t)
{
    if (f == SPACE)
        return 38;
    if (extra_octets(t) > 0)
        return 32 + extra_octets(t);
    return f == SPHERICAL ? 14 : 28;
}

/* Octets up to the end of the lists that follow the fixed part; 0 when
 * there are none (a row count out of bounds is refused by lists()). */
int64_t lists_end(grib_call &c, gint t, gint nv, bool quasi)
{
    gint nj = c.k2(GRIB_K2_NJ);
    gint rows = quasi && nj >= 0 && nj <= GRIB_MAXROWS ? nj : 0;
    if (nv == 0 && rows == 0)
        return 0;
    return 32 + extra_octets(t) + 4 * int64_t{nv} + 2 * int64_t{rows};
}

/* Octet 17: increments given, earth flag, components. */
bool flags17(grib_call &c, Family f, int ed)
{
    gint v = 0;
    bool with_increments = f == LATLON || f == GAUSS;
    if (c.coding())
        v = (with_increments ? c.k2(GRIB_K2_INCREMENTS) : 0) + c.k2(GRIB_K2_EARTH) +
            c.k2(GRIB_K2_COMPONENTS);
    if (grib_xfer1(c, v, 8))
        return grib_fail(c, 507);
    if (c.coding() || v == 0)
        return true;
    if (ed == -1 && f != SPACE && (v == 1 || v == 3))
        v = 128;
    if (v >= 128) {
        if (with_increments)
            c.k2(GRIB_K2_INCREMENTS) = 128;
        v -= 128;
    }
    if (v >= 64) {
        c.k2(GRIB_K2_EARTH) = 64;
        v -= 64;
    }
    c.k2(GRIB_K2_COMPONENTS) = v;
    return true;
}

bool scanning(grib_call &c, int ed)
{
    if (grib_xfer1(c, c.k2(GRIB_K2_SCAN), 8))
        return grib_fail(c, 511);
    if (!c.coding() && ed == -1 && c.k2(GRIB_K2_SCAN) == 1)
        c.k2(GRIB_K2_SCAN) = 0;
    return true;
}

bool lat_lon_gauss(grib_call &c, Family f, int ed)
{
    bool quasi = c.k2(GRIB_K2_QUASI) == 1;
    if (c.coding()) {
        if (f == GAUSS && quasi)
            c.k2(GRIB_K2_NI) = 65535;
        if (c.k2(GRIB_K2_INCREMENTS) == 0 || (f == GAUSS && quasi))
            c.k2(GRIB_K2_DI) = 65535;
        if (f == LATLON && c.k2(GRIB_K2_INCREMENTS) == 0)
            c.k2(GRIB_K2_DJ) = 65535;
    }
    if (grib_xfer(c, &c.k2(GRIB_K2_NI), 2, 16))
        return grib_fail(c, 505);
    if (grib_xfer_sm(c, &c.k2(GRIB_K2_LA1), 2, 24))
        return grib_fail(c, 506);
    if (!flags17(c, f, ed))
        return false;
    if (grib_xfer_sm(c, &c.k2(GRIB_K2_LA2), 2, 24))
        return grib_fail(c, 508);
    if (grib_xfer1(c, c.k2(GRIB_K2_DI), 16))
        return grib_fail(c, 509);
    if (grib_xfer1(c, c.k2(GRIB_K2_DJ), 16))
        return f == GAUSS ? grib_fail(c, 510)
                          : grib_fail(c, 513);
    if (!scanning(c, ed))
        return false;
    grib_skip(32);
    if (!c.coding()) {
        if (f == GAUSS && c.k2(GRIB_K2_NI) == 65535)
            c.k2(GRIB_K2_NI) = GRIB_KNEG;
        if (c.k2(GRIB_K2_DI) == 65535)
            c.k2(GRIB_K2_DI) = GRIB_KNEG;
        if (f == LATLON && c.k2(GRIB_K2_DJ) == 65535)
            c.k2(GRIB_K2_DJ) = GRIB_KNEG;
    }
    return true;
}

bool spherical(grib_call &c)
{
    if (grib_xfer(c, &c.k2(GRIB_K2_J), 3, 16))
        return grib_fail(c, 514);
    if (grib_xfer(c, &c.k2(GRIB_K2_REP_TYPE), 2, 8))
        return grib_fail(c, 515);
    grib_skip(18 * 8);
    return true;
}

/* Nx, Ny, the first (or sub-satellite) point and octet 17 of polar
 * stereographic and space view grids. */
bool xy_start(grib_call &c, Family f, int ed)
{
    if (grib_xfer(c, &c.k2(GRIB_K2_NI), 2, 16))
        return grib_fail(c, 523);
    if (grib_xfer_sm(c, &c.k2(GRIB_K2_LA1), 2, 24))
        return grib_fail(c, f == POLAR ? 506 : 526);
    return flags17(c, f, ed);
}

bool polar(grib_call &c, int ed)
{
    if (!xy_start(c, POLAR, ed))
        return false;
    if (grib_xfer_sm(c, c.k2(GRIB_K2_LOV), 24))
        return grib_fail(c, 508);
    if (grib_xfer(c, &c.k2(GRIB_K2_DX), 2, 24))
        return grib_fail(c, 524);
    if (grib_xfer1(c, c.k2(GRIB_K2_PROJECTION), 8))
        return grib_fail(c, 525);
    if (!scanning(c, ed))
        return false;
    grib_skip(32);
    return true;
}

bool space_view(grib_call &c, int ed)
{
    if (!xy_start(c, SPACE, ed))
        return false;
    if (grib_xfer(c, &c.k2(GRIB_K2_DIAMETER_X), 2, 24))
        return grib_fail(c, 527);
    if (grib_xfer(c, &c.k2(GRIB_K2_XP), 2, 16))
        return grib_fail(c, 528);
    if (!scanning(c, ed))
        return false;
    if (grib_xfer(c, &c.k2(GRIB_K2_ORIENTATION), 2, 24))
        return grib_fail(c, 529);
    if (grib_xfer(c, &c.k2(GRIB_K2_XO), 2, 16))
        return grib_fail(c, 530);
    grib_skip(16);
    return true;
}

bool rotation_stretching(grib_call &c, gint type)
{
    if (grib::rotated(type)) {
        if (grib_xfer_sm(c, &c.k2(GRIB_K2_POLE_LAT), 2, 24))
            return grib_fail(c, 517);
        if (grib_xfer_ibm(c, c.p2(GRIB_P2_ANGLE)))
            return grib_fail(c, 518);
    }
    if (grib::stretched(type)) {
        if (grib_xfer_sm(c, &c.k2(GRIB_K2_STRETCH_LAT), 2, 24))
            return grib_fail(c, 519);
        if (grib_xfer_ibm(c, c.p2(GRIB_P2_STRETCH)))
            return grib_fail(c, 520);
    }
    return true;
}

/* KSEC2(17) is set on decoding only once the row list is in KSEC2. */
bool lists(grib_call &c, gint nv, bool quasi)
{
    for (gint j = 1; j <= nv; j++)
        if (grib_xfer_ibm(c, c.p2(GRIB_P2_VERTICAL - 1 + j)))
            return grib_fail(c, 521);
    if (!quasi)
        return true;
    gint rows = c.k2(GRIB_K2_NJ);
    /* more rows than KSEC2 is documented to hold is refused, not read */
    if (rows < 0 || rows > GRIB_MAXROWS || grib_xfer(c, &c.k2(GRIB_K2_ROWS), rows, 16))
        return grib_fail(c, 522);
    c.k2(GRIB_K2_QUASI) = 1;
    return true;
}

/* Octet 5; on decoding it tells whether a row list follows (quasi). */
bool octet5(grib_call &c, gint nv, gint extra, int ed, bool &quasi)
{
    grib_work_t &w = grib_work();
    gint v = 0;
    if (c.coding())
        v = nv == 0 && c.k2(GRIB_K2_QUASI) == 0 ? 255 : 33 + extra;
    if (grib_xfer1(c, v, 8))
        return grib_fail(c, 503);
    quasi = c.k2(GRIB_K2_QUASI) == 1;
    if (c.coding())
        return true;
    if (v == 0)
        v = 255;
    quasi = v != 255 && ((nv > 0 && 4 * nv + v - 1 < w.len2) || nv == 0) && ed == 1;
    return true;
}

} // namespace

bool grib_sec2(grib_call &c)
{
    grib_work_t &w = grib_work();
    const int ed = w.edition;
    if (!c.has_sec2()) {
        if (c.decoding())
            for (int n = 1; n < GRIB_K2_ROWS; n++)
                c.k2(n) = GRIB_KNEG;
        return true;
    }
    if (!grib_checked(c, 2))
        return false;
    w.start2 = w.nspt;
    if (c.coding()) {
        /* a count beyond its field is refused below (502, 522) */
        int64_t len = 32 + extra_octets(c.k2(GRIB_K2_TYPE)) + 4 * int64_t{c.k2(GRIB_K2_NV)} +
                      2 * int64_t{c.k2(GRIB_K2_QUASI)} * c.k2(GRIB_K2_NJ);
        w.len2 = len < 0 || len > 2147483647 ? 0 : static_cast<gint>(len);
    }
    /* decoding reads nothing beyond the stated length */
    if (auto end = grib_section_length(c, 2, w.start2, w.len2))
        return *end;
    if (grib_xfer1(c, c.k2(GRIB_K2_NV), 8))
        return grib_fail(c, 502);
    /* at most 255 parameters, so that PSEC2 and its listing stay in bounds */
    gint nv = c.k2(GRIB_K2_NV);
    if (!c.coding() && ed != 1)
        nv = w.len2 >= 32 ? (w.len2 - 32) / 4 : 0;
    if (nv < 0 || nv > 255)
        return grib_fail(c, 502);
    c.k2(GRIB_K2_NV) = nv;
    /* octet 5 comes before the type: coding takes the type from KSEC2(1),
     * decoding does not need it */
    bool quasi = false;
    if (!octet5(c, nv, extra_octets(c.k2(GRIB_K2_TYPE)), ed, quasi))
        return false;
    if (grib_xfer1(c, c.k2(GRIB_K2_TYPE), 8))
        return grib_fail(c, 504);
    gint type = c.k2(GRIB_K2_TYPE);
    Family f = family(type);
    if (f == OTHER)
        return grib_fail(c, 598, {type});
    if (!c.coding() && w.len2 < fields_end(f, type))
        return grib_fail(c, 501);
    bool ok;
    switch (f) {
    case SPHERICAL: ok = spherical(c); break;
    case POLAR: ok = polar(c, ed); break;
    case SPACE: ok = space_view(c, ed); break;
    default: ok = lat_lon_gauss(c, f, ed); break;
    }
    if (!ok || !rotation_stretching(c, type))
        return false;
    if (!c.coding() && w.len2 < lists_end(c, type, nv, quasi))
        return grib_fail(c, 501);
    if (!lists(c, nv, quasi))
        return false;
    /* section 3 starts at the stated end: padding or left-out reserved
     * octets are passed over */
    if (!c.coding()) {
        grib_skip_section(w.start2, w.len2);
    }
    return true;
}
