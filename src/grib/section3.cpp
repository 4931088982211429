/*
 * section3.cpp -- bit map section (section 3): the primary bit map built
 * when coding, its place noted for the expansion when decoding.
 */
#include "grib_codec.h"
#include "grib_format.h"

bool grib_sec3(grib_call &c)
{
    grib_work_t &w = grib_work();
    w.bmap = -1;
    w.bmap2 = -1;
    w.bmapbits = 0;
    if (!c.has_sec3())
        return true;
    if (c.is("Z")) {
        w.bmret = -5;
        grib_report(-5);
        return false;
    }
    if (!grib_checked(c, 3))
        return false;
    w.start3 = w.nspt;
    gint m = c.values_per_point();
    if (c.coding()) {
        if (m == 0)
            return grib_fail(c, 722);
        if (c.k3(GRIB_K3_TABLE) != 0) {
            w.len3 = 6;
            w.unused3 = 0;
        } else {
            gint t = w.nvals / m + 48;
            w.len3 = 2 * ((t + 15) / 16);
            w.unused3 = 8 * w.len3 - t;
        }
    }
    /* a section shorter than its header, or with more unused bits than
     * bit map, is refused */
    if (auto end = grib_section_length(c, 3, w.start3, w.len3))
        return *end;
    if (grib_xfer1(c, w.unused3, 8))
        return grib_fail(c, 602);
    if (grib_xfer1(c, c.k3(GRIB_K3_TABLE), 16))
        return grib_fail(c, 603);
    if (!c.coding()) {
        gint bits = 8 * w.len3 - 48 - w.unused3;
        if (bits < 0)
            return grib_fail(c, 602);
        if (c.k3(GRIB_K3_TABLE) == 0) {
            w.bmap = w.nspt;
            w.bmapbits = bits;
        }
        grib_skip_section(w.start3, w.len3);
        return true;
    }
    if (c.k3(GRIB_K3_TABLE) != 0)
        return true;
    gint ir = 0, kbit = grib_state.kbit, kpr = grib_state.grbcom.NDBG;
    gint ksbind = c.k4(GRIB_K4_SECONDARY);
    float pmiss = c.marker();
    insmp1(c.kgrib, &c.kleng, &w.nspt, &ksbind, c.p4.p, &w.nvals, &kbit, &pmiss,
           c.is("M") ? "M" : "C", &m, &kpr, &ir, 1);
    if (ir)
        return grib_fail(c, 604);
    grib_skip(w.unused3);
    return true;
}
