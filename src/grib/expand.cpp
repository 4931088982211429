/*
 * expand.cpp -- what follows the end section of a decoded message: the
 * field spread over the grid by its bit map, a quasi-regular grid made
 * regular (operation "R"), integer data and the sign of a missing field.
 */
#include "grib_codec.h"

namespace {

/* A bit map of the message's own: values spread over the grid. */
bool expand_bitmap(grib_call &c)
{
    grib_work_t &w = grib_work();
    if (c.k3(GRIB_K3_TABLE) != 0) {
        w.bmret = -3;
        return true;
    }
    gint knum = c.values_per_point();
    if (knum == 0)
        return grib_fail(c, 722);
    int64_t total = int64_t{w.bmapbits} * knum;
    if (total > c.klenp)
        return grib_fail_710(c, total);
    gint ksize = w.bmapbits, kbit = grib_state.kbit, ksbmap = 0, ir = 0;
    gint kpr = grib_state.grbcom.NDBG, bm2 = w.bmap2;
    float pmiss = c.p3(GRIB_P3_MISSING);
    extmap(c.kgrib, &c.kleng, &w.bmap, &bm2, c.p4.p, &ksize, &kbit, &ksbmap, &pmiss, &knum, &kpr,
           &ir);
    if (ir)
        return grib_fail(c, 806);
    c.k4(GRIB_K4_COUNT) = static_cast<gint>(total);
    w.bmret = ksbmap;  // -2 every value present, -4 spread over the grid
    return true;
}

/* Operation "R": a quasi-regular Gaussian field onto 2N x 4N points. */
bool expand_quasi_regular(grib_call &c)
{
    if (c.has_sec3())
        return grib_fail(c, 605);
    /* the row list must describe 2N rows of 1 to 4N points, all of them
     * decoded, before qu2reg may work on it (it cannot refuse a bad one) */
    gint n = c.k2(GRIB_K2_DJ);
    if (n < 1 || 2 * n != c.k2(GRIB_K2_NJ) || c.k2(GRIB_K2_NJ) > GRIB_MAXROWS)
        return grib_fail(c, 522);
    int64_t sum = 0;
    for (gint r = 1; r <= c.k2(GRIB_K2_NJ); r++) {
        if (c.k2(GRIB_K2_ROWS - 1 + r) < 1 || c.k2(GRIB_K2_ROWS - 1 + r) > 4 * n)
            return grib_fail(c, 522);
        sum += c.k2(GRIB_K2_ROWS - 1 + r);
    }
    if (sum > c.k4(GRIB_K4_COUNT))
        return grib_fail(c, 522);
    gint klat = 2 * n, klon = 4 * n, kcode = 1;
    if (int64_t{klat} * klon > c.klenp)
        return grib_fail_710(c, int64_t{klat} * klon);
    qu2reg(c.p4.p, &c.k2(GRIB_K2_ROWS), &klat, &klon, &kcode);
    c.k4(GRIB_K4_COUNT) = klat * klon;
    c.k2(GRIB_K2_NI) = klon;
    c.k2(GRIB_K2_QUASI) = 0;
    return true;
}

} // namespace

bool grib_after5(grib_call &c)
{
    grib_work_t &w = grib_work();
    if (c.has_sec3() && !expand_bitmap(c))
        return false;
    bool quasi_gauss = c.k2(GRIB_K2_TYPE) == 4 && c.k2(GRIB_K2_QUASI) == 1;
    if (c.is("R") && quasi_gauss && !expand_quasi_regular(c))
        return false;
    if (c.k4(GRIB_K4_INTEGER) == 32)
        rorint(c.p4.p, grib_as_ints(c.p4.p), &c.k4(GRIB_K4_COUNT), "I", 1);
    if (w.missing)
        c.k4(GRIB_K4_COUNT) = -c.k4(GRIB_K4_COUNT);
    if (w.edition != 1)
        c.k0(GRIB_K0_LENGTH) = w.nspt / 8;
    return true;
}
