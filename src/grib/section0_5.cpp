/*
 * section0_5.cpp -- the message frame: indicator section (section 0) and
 * end section (section 5), and the output lengths.
 */
#include "grib_codec.h"

namespace {


bool code0(grib_call &c)
{
    gint grib[4] = {71, 82, 73, 66};
    if (grib_xfer(c, grib, 4, 8))
        return grib_fail(c, 301);
    grib_skip(24);  /* the length is filled in at the end */
    c.k0(GRIB_K0_EDITION) = 1;
    if (grib_xfer1(c, c.k0(GRIB_K0_EDITION), 8))
        return grib_fail(c, 303);
    grib_work().edition = 1;
    return true;
}

bool decode0(grib_call &c)
{
    grib_work_t &w = grib_work();
    grib_skip(32);  /* "GRIB" is not checked */
    if (grib_xfer1(c, c.k0(GRIB_K0_LENGTH), 24))
        return grib_fail(c, 302);
    if (grib_xfer1(c, c.k0(GRIB_K0_EDITION), 8))
        return grib_fail(c, 303);
    if (c.k0(GRIB_K0_LENGTH) == 24 && c.k0(GRIB_K0_EDITION) == 0) {
        w.edition = 0;
        w.nspt = 32;
        c.k0(GRIB_K0_LENGTH) = GRIB_KNEG;
        return true;
    }
    gint keep = w.nspt, octets22 = 0;
    w.nspt = 168;
    int r = grib_xfer1(c, octets22, 16);
    w.nspt = keep;
    if (r)
        return grib_fail(c, 304);
    if (octets22 == 0) {
        w.edition = -1;
        w.nspt = 32;
        c.k0(GRIB_K0_EDITION) = -1;
        c.k0(GRIB_K0_LENGTH) = GRIB_KNEG;
        return true;
    }
    w.edition = 1;
    return !c.length_only();
}

} // namespace

bool grib_sec0(grib_call &c)
{
    return c.coding() ? code0(c) : decode0(c);
}

bool grib_sec5(grib_call &c)
{
    grib_work_t &w = grib_work();
    gint end[4] = {55, 55, 55, 55};
    if (c.coding()) {
        if (grib_xfer(c, end, 4, 8))
            return grib_fail(c, 801);
        c.k0(GRIB_K0_LENGTH) = w.nspt / 8;
        gint keep = w.nspt;
        w.nspt = 32;
        int r = grib_xfer1(c, c.k0(GRIB_K0_LENGTH), 24);
        w.nspt = keep;
        if (r)
            return grib_fail(c, 802);
        gint words = w.nspt / 32 + (w.nspt % 32 ? 1 : 0);
        if (grib_state.grbcom.NRND == 1) {
            gint bits = words * 32, r960 = bits % 960;
            if (r960 > 0)
                words += (960 - r960) / 32;
        }
        /* never announce more words than KGRIB has */
        *c.kword = words > c.kleng ? c.kleng : words;
        return true;
    }
    /* decoding: the unused bits at the end of section 4 are passed over */
    grib_skip_section(w.start4, w.len4);
    if (grib_xfer(c, end, 4, 8))
        return grib_fail(c, 801);
    if (end[0] != 55 || end[1] != 55 || end[2] != 55 || end[3] != 55)
        grib_fail(c, 805);
    return true;
}
