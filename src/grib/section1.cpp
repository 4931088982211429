/*
 * section1.cpp -- product definition section (section 1) in editions 1, 0
 * and the experimental edition.
 */
#include "grib_codec.h"
#include "grib_format.h"

namespace {

bool level_is_one_number(grib_call &c)
{
    switch (c.k1(GRIB_K1_LEVEL_TYPE)) {
    case 100: case 103: case 105: case 107: case 109: case 111: case 160:
        return true;
    default:
        return c.k1(GRIB_K1_PARAM) == 127;
    }
}

bool level(grib_call &c, int ed)
{
    if (!c.coding() && (c.k1(GRIB_K1_LEVEL_TYPE) < 8 || c.k1(GRIB_K1_LEVEL_TYPE) == 102)) {
        grib_skip(16);
        return true;
    }
    int r;
    if (level_is_one_number(c)) {
        c.k1(GRIB_K1_LEVEL2) = 0;
        r = grib_xfer1(c, c.k1(GRIB_K1_LEVEL), 16);
    } else {
        r = grib_xfer(c, &c.k1(GRIB_K1_LEVEL), 2, 8);
    }
    if (r)
        return grib_fail(c, 404);
    if (!c.coding() && ed == -1 && c.norva()) {
        grib_skip(-16);
        if (grib_xfer(c, &c.k1(GRIB_K1_LEVEL), 2, 8))
            return grib_fail(c, 404);
        c.k1(GRIB_K1_LEVEL) = c.k1(GRIB_K1_LEVEL) * 32 + c.k1(GRIB_K1_LEVEL2);
        c.k1(GRIB_K1_LEVEL2) = 0;
    }
    return true;
}

bool time_fields(grib_call &c, int ed)
{
    if (grib_xfer(c, &c.k1(GRIB_K1_YEAR), 6, 8))
        return grib_fail(c, 405);
    if (!c.coding() && ed == -1) {
        if (c.k1(GRIB_K1_TIME_UNIT) == 90)
            c.k1(GRIB_K1_TIME_UNIT) = 7;
        if (c.k1(GRIB_K1_TIME_UNIT) > 10)
            c.k1(GRIB_K1_TIME_UNIT) = c.k1(GRIB_K1_TIME_UNIT) / 10 - 3;
    }
    int r = c.coding() && c.k1(GRIB_K1_TIME_RANGE) == 10 ? grib_xfer1(c, c.k1(GRIB_K1_P1), 16)
                                         : grib_xfer(c, &c.k1(GRIB_K1_P1), 2, 8);
    if (r)
        return grib_fail(c, 406);
    if (grib_xfer1(c, c.k1(GRIB_K1_TIME_RANGE), 8))
        return grib_fail(c, 407);
    if (!c.coding()) {
        if (c.k1(GRIB_K1_TIME_RANGE) == 10) {
            c.k1(GRIB_K1_P1) = c.k1(GRIB_K1_P1) * 256 + c.k1(GRIB_K1_P2);
            c.k1(GRIB_K1_P2) = 0;
        }
        if (c.k1(GRIB_K1_P1) == 0 && c.is("S") && ed == -1)
            c.k1(GRIB_K1_TIME_RANGE) = 1;
    }
    if (grib_xfer1(c, c.k1(GRIB_K1_AVERAGED), 16))
        return grib_fail(c, 408);
    if (grib_xfer1(c, c.k1(GRIB_K1_NOT_AVERAGED), 8))
        return grib_fail(c, 409);
    return true;
}

} // namespace

bool grib_sec1(grib_call &c)
{
    grib_work_t &w = grib_work();
    const int ed = w.edition;
    if (!grib_checked(c, 1))
        return false;
    w.start1 = w.nspt;
    w.len1 = c.coding() ? 28 : 20;
    if (ed != -1) {
        if (grib_xfer1(c, w.len1, 24))
            return grib_fail(c, 401);
        if (grib_xfer1(c, c.k1(GRIB_K1_TABLE), 8))
            return grib_fail(c, 402);
    }
    grib_debug_length(1, w.len1);
    if (grib_xfer(c, &c.k1(GRIB_K1_CENTRE), 6, 8))
        return grib_fail(c, 403);
    if (!c.coding() && ed != 1) {
        if (c.norva())
            c.k1(GRIB_K1_TABLE) = 128;
        if (ed == -1) {
            gint f = c.k1(GRIB_K1_FLAG);
            c.k1(GRIB_K1_FLAG) = f == 1 ? 128 : f == 2 ? 64 : f == 3 ? 192 : f;
        }
    }
    if (c.length_only()) {
        w.nspt = ed == 0 ? 224 : 192;
        return true;
    }
    if (!level(c, ed) || !time_fields(c, ed))
        return false;
    if (ed != 1) {
        c.k1(GRIB_K1_CENTURY) = c.norva() ? 20 : GRIB_KNEG;
    } else {
        if (grib_xfer1(c, c.k1(GRIB_K1_CENTURY), 8))
            return grib_fail(c, 410);
        grib_skip(8);
        if (grib_xfer_sm(c, c.k1(GRIB_K1_SCALE), 16))
            return grib_fail(c, 411);
        if (!c.coding() && w.len1 > 28) {
            grib_skip_section(w.start1, w.len1);
        }
    }
    gint param = c.k1(GRIB_K1_PARAM);
    if (!c.coding() && (param == 127 || param == 128) && c.k1(GRIB_K1_TABLE) == 128 && c.norva()) {
        w.pseudo = 1;
        c.op = 'L';
    }
    return true;
}
