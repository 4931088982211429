/*
 * grib_check.cpp -- checks of the section arrays against valid GRIB values
 * before a field is coded (grchk1 .. grchk4).
 *
 * Each routine prints one line per problem and sets KRET to 1 when a check
 * of the error class fails; warnings print without touching KRET.  The
 * arrays are only read.
 */
#include <gridpick/grib.h>
#include "grib_format.h"
#include "grib_sections.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace {

using grib::KSec;

constexpr std::array<gint, 4> itab1 = {0, 128, 64, 192};
constexpr std::array<gint, 22> itab3 = {1,   2,   3,   4,   5,   6,   7,   100,
                                           101, 102, 103, 104, 105, 106, 109, 110,
                                           111, 112, 121, 128, 141, 160};
constexpr std::array<gint, 9> itab4 = {0, 1, 2, 3, 4, 5, 6, 7, 254};
constexpr std::array<gint, 14> itab5 = {0,   1,   2,   3,   4,   5,   10,
                                           113, 114, 115, 116, 117, 123, 124};
constexpr std::array<gint, 9> iavac = {3, 4, 113, 114, 115, 116, 117, 123, 124};
constexpr std::array<gint, 22> itab6 = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                           13, 14, 20, 24, 30, 34, 50, 60, 70, 80, 90};
constexpr std::array<gint, 8> itab8 = {0, 128, 64, 192, 32, 160, 96, 224};

template <std::size_t N>
bool in(const std::array<gint, N> &tab, gint v)
{
    return std::find(tab.begin(), tab.end(), v) != tab.end();
}

bool outside(gint v, gint lo, gint hi) { return v < lo || v > hi; }

/* Collects the failure flag of one check routine. */
struct Checker {
    gint fail = 0;

    /* An error line: text then the value in w columns. */
    void err(std::string_view text, gint v, int w)
    {
        grib::MsgLine().text(text).i(v, w).put();
        fail = 1;
    }
    /* An error line naming two values, each in 5 columns. */
    void err(std::string_view text, gint v, std::string_view text2, gint v2)
    {
        grib::MsgLine().text(text).i(v, 5).text(text2).i(v2, 5).put();
        fail = 1;
    }
    void err(std::string_view text)
    {
        grib::MsgLine().text(text).put();
        fail = 1;
    }
    static void warn(const grib::MsgLine &l) { l.put(); }
};

constexpr gint LAT_MAX = 90000;
constexpr gint LON_MAX = 360000;

void check_lat(Checker &c, std::string_view text, gint v)
{
    if (outside(v, -LAT_MAX, LAT_MAX))
        c.err(text, v, 10);
}

void check_lon(Checker &c, std::string_view text, gint v)
{
    if (outside(v, -LON_MAX, LON_MAX))
        c.err(text, v, 10);
}

void check_count(Checker &c, std::string_view text, gint v, gint hi)
{
    if (outside(v, 1, hi))
        c.err(text, v, 10);
}

void check_flag(Checker &c, std::string_view text, gint v, gint a, gint b)
{
    if (v != a && v != b)
        c.err(text, v, 3);
}

void check_scan_quasi(Checker &c, KSec k2)
{
    if (!in(itab8, k2(GRIB_K2_SCAN)))
        c.err("GRCHK2 : Invalid scanning mode flag - ", k2(GRIB_K2_SCAN), 3);
    check_flag(c, "GRCHK2 : Invalid quasi / regular indicator - ", k2(GRIB_K2_QUASI), 0, 1);
}

void check_latlon_grid(Checker &c, KSec k2)
{
    check_count(c, "GRCHK2 : Invalid number of points along a parallel - ", k2(GRIB_K2_NI), 65535);
    check_count(c, "GRCHK2 : Invalid number of points along a meridian - ", k2(GRIB_K2_NJ), 65535);
    check_lat(c, "GRCHK2 : Invalid latitude of first grid point - ", k2(GRIB_K2_LA1));
    check_lon(c, "GRCHK2 : Invalid longitude of first grid point - ", k2(GRIB_K2_LO1));
    check_flag(c, "GRCHK2 : Invalid increments flag - ", k2(GRIB_K2_INCREMENTS), 0, 128);
    check_lat(c, "GRCHK2 : Invalid latitude of last grid point - ", k2(GRIB_K2_LA2));
    check_lon(c, "GRCHK2 : Invalid longitude of last grid point - ", k2(GRIB_K2_LO2));
    if (k2(GRIB_K2_INCREMENTS) == 128) {
        check_count(c, "GRCHK2 : Invalid i-direction increment - ", k2(GRIB_K2_DI), 65535);
        check_count(c, "GRCHK2 : Invalid j-direction increment - ", k2(GRIB_K2_DJ), 65535);
    }
    check_scan_quasi(c, k2);
    if (k2(GRIB_K2_QUASI) != 0)
        c.err("GRCHK2 : Quasi-regular latitude/longitude grids not catered for.");
}

void check_gaussian_grid(Checker &c, KSec k2)
{
    check_lat(c, "GRCHK2 : Invalid latitude of first grid point - ", k2(GRIB_K2_LA1));
    check_lon(c, "GRCHK2 : Invalid longitude of first grid point - ", k2(GRIB_K2_LO1));
    check_lat(c, "GRCHK2 : Invalid latitude of last grid point - ", k2(GRIB_K2_LA2));
    check_lon(c, "GRCHK2 : Invalid longitude of last grid point - ", k2(GRIB_K2_LO2));
    if (k2(GRIB_K2_INCREMENTS) == 128)
        check_count(c, "GRCHK2 : Invalid i-direction increment - ", k2(GRIB_K2_DI), 65535);
    check_count(c, "GRCHK2 : Invalid number of parallels - ", k2(GRIB_K2_N), 65535);
    check_flag(c, "GRCHK2 : Invalid increments flag - ", k2(GRIB_K2_INCREMENTS), 0, 128);
    check_scan_quasi(c, k2);
    if (k2(GRIB_K2_QUASI) == 1 && k2(GRIB_K2_INCREMENTS) == 128)
        c.err("GRCHK2 : Quasi-regular Gaussian grid cannot have direction increments included.");
}

void check_polar_grid(Checker &c, KSec k2)
{
    check_count(c, "GRCHK2 : Invalid number of points along X-axis - ", k2(GRIB_K2_NI), 65535);
    check_count(c, "GRCHK2 : Invalid number of points along Y-axis - ", k2(GRIB_K2_NJ), 65535);
    check_lat(c, "GRCHK2 : Invalid latitude of first grid point - ", k2(GRIB_K2_LA1));
    check_lon(c, "GRCHK2 : Invalid longitude of first grid point - ", k2(GRIB_K2_LO1));
    check_lon(c, "GRCHK2 : Invalid orientation of the grid - ", k2(GRIB_K2_LOV));
    check_count(c, "GRCHK2 : Invalid X-direction grid length - ", k2(GRIB_K2_DX), 16777215);
    check_count(c, "GRCHK2 : Invalid Y-direction grid length - ", k2(GRIB_K2_DY), 16777215);
    check_flag(c, "GRCHK2 : Invalid projection centre flag - ", k2(GRIB_K2_PROJECTION), 0, 1);
}

void check_spectral(Checker &c, KSec k2)
{
    if (k2(GRIB_K2_REP_TYPE) != 1)
        c.err("GRCHK2 : Invalid spectral representation type - ", k2(GRIB_K2_REP_TYPE), 3);
    check_flag(c, "GRCHK2 : Invalid spectral representation mode - ", k2(GRIB_K2_REP_MODE), 1, 2);
    if (k2(GRIB_K2_REP_MODE) != 1)
        Checker::warn(grib::MsgLine().text(
            "GRCHK2 : Complex spectral representation mode not catered for."));
}

using grib::is_one_of;

} // namespace

extern "C" void grchk1(gint *ksec1, gint *kret)
{
    const KSec k1{ksec1};
    const bool norva = k1(GRIB_K1_CENTRE) == GRIB_NORVA_CENTRE;
    const gint level_type = k1(GRIB_K1_LEVEL_TYPE);
    Checker c;

    if (outside(k1(GRIB_K1_TABLE), 1, 254))
        c.err("GRCHK1 : Invalid Parameter Table version number - ", k1(GRIB_K1_TABLE), 5);
    /* the table of centres ends with the producing centre; 255: missing */
    if (outside(k1(GRIB_K1_CENTRE), 1, GRIB_NORVA_CENTRE) && k1(GRIB_K1_CENTRE) != 255)
        c.err("GRCHK1 : Invalid Identification of Centre - ", k1(GRIB_K1_CENTRE), 5);
    if (outside(k1(GRIB_K1_PROCESS), 1, 255))
        c.err("GRCHK1 : Invalid Generating Process - ", k1(GRIB_K1_PROCESS), 5);
    if (outside(k1(GRIB_K1_GRID), 1, 255))
        c.err("GRCHK1 : Invalid Grid Definition - ", k1(GRIB_K1_GRID), 5);
    if (!in(itab1, k1(GRIB_K1_FLAG))) {
        grib::MsgLine()
            .text("GRCHK1 : Invalid flag field - ")
            .i(k1(GRIB_K1_FLAG), 5)
            .text(" decimal.")
            .put();
        c.fail = 1;
    }
    if (k1(GRIB_K1_GRID) == 255 && (k1(GRIB_K1_FLAG) == 0 || k1(GRIB_K1_FLAG) == 64))
        c.err("GRCHK1 : Uncatalogued grid and no Section 2.");
    if (outside(k1(GRIB_K1_PARAM), 1, 255))
        c.err("GRCHK1 : Invalid Indicator of parameter - ", k1(GRIB_K1_PARAM), 5);
    if (k1(GRIB_K1_TABLE) > 127 && k1(GRIB_K1_PARAM) < 129 && norva) {
        c.err("GRCHK1 : Inconsistent version number NORVA Code Table 2 - ", k1(GRIB_K1_TABLE),
              " and Indicator of parameter - ", k1(GRIB_K1_PARAM));
    }
    if (k1(GRIB_K1_TABLE) < 127 && k1(GRIB_K1_PARAM) > 127)
        Checker::warn(grib::MsgLine()
                          .text("GRCHK1 : ** WARNING ** Parameter number ")
                          .i(k1(GRIB_K1_PARAM), 3)
                          .text(" is not defined in International Table number ")
                          .i(k1(GRIB_K1_TABLE), 3)
                          .text("."));
    if (k1(GRIB_K1_PARAM) != 127) {
        if (!in(itab3, level_type) && !(level_type == 200 && norva))
            c.err("GRCHK1 : Invalid indicator of type of level - ", level_type, 5);
    } else if (!is_one_of(level_type, {120, 130, 140, 150})) {
        c.err("GRCHK1 : Invalid satellite identifier - ", level_type, 5);
    }
    if ((level_type < 8 || level_type == 102) &&
        static_cast<long long>(k1(GRIB_K1_LEVEL)) + k1(GRIB_K1_LEVEL2) != 0) {
        grib::MsgLine()
            .text("GRCHK1 : For level type ")
            .i(level_type, 3)
            .text(" descriptions areinvalid - ")
            .i(k1(GRIB_K1_LEVEL), 5)
            .x(3)
            .i(k1(GRIB_K1_LEVEL2), 5)
            .put();
        c.fail = 1;
    }
    if (outside(k1(GRIB_K1_YEAR), 0, 99))
        c.err("GRCHK1 : Invalid year of century - ", k1(GRIB_K1_YEAR), 5);
    if (outside(k1(GRIB_K1_MONTH), 1, 12))
        c.err("GRCHK1 : Invalid month - ", k1(GRIB_K1_MONTH), 5);
    if (outside(k1(GRIB_K1_DAY), 1, 31))
        c.err("GRCHK1 : Invalid day - ", k1(GRIB_K1_DAY), 5);
    if (outside(k1(GRIB_K1_HOUR), 0, 23))
        c.err("GRCHK1 : Invalid hour - ", k1(GRIB_K1_HOUR), 5);
    if (outside(k1(GRIB_K1_MINUTE), 0, 59))
        c.err("GRCHK1 : Invalid minute - ", k1(GRIB_K1_MINUTE), 5);
    if (!in(itab4, k1(GRIB_K1_TIME_UNIT)))
        c.err("GRCHK1 : Invalid Indicator of unit of time - ", k1(GRIB_K1_TIME_UNIT), 5);
    if (!in(itab5, k1(GRIB_K1_TIME_RANGE)))
        c.err("GRCHK1 : Invalid Time Range Indicator - ", k1(GRIB_K1_TIME_RANGE), 5);
    if (in(iavac, k1(GRIB_K1_TIME_RANGE))) {
        if (k1(GRIB_K1_AVERAGED) < 2)
            c.err("GRCHK1 : Inconsistent Time Range Indicator - ", k1(GRIB_K1_TIME_RANGE),
                  " and number included in averages - ", k1(GRIB_K1_AVERAGED));
        const gint missing = k1(GRIB_K1_NOT_AVERAGED);
        if (missing < 0 || missing >= k1(GRIB_K1_AVERAGED))
            c.err("GRCHK1 : Inconsistent Time Range Indicator - ", k1(GRIB_K1_TIME_RANGE),
                  " and number missing from averages - ", missing);
    }
    if (k1(GRIB_K1_CENTURY) < 20 && norva)
        c.err("GRCHK1 : Invalid century of reference time - ", k1(GRIB_K1_CENTURY), 5);
    if (k1(GRIB_K1_SCALE) != 0 && norva)
        c.err("GRCHK1 : Invalid decimal scale factor - ", k1(GRIB_K1_SCALE), 5);
    if (k1(GRIB_K1_RESERVED1) != 0)
        Checker::warn(grib::MsgLine().text(
            "GRCHK1 : Reserved field KSEC1(24) should be 0 to avoid problems with future releases."));
    if (k1(GRIB_K1_RESERVED2) != 0)
        Checker::warn(grib::MsgLine().text(
            "GRCHK1 : Reserved field KSEC1(25) should be 0 to avoid problems with future releases."));
    *kret = c.fail;
}

extern "C" void grchk2(gint *ksec1, gint *ksec2, float * /*psec2*/, gint *kret)
{
    const KSec k1{ksec1}, k2{ksec2};
    const bool norva = k1(GRIB_K1_CENTRE) == GRIB_NORVA_CENTRE;
    Checker c;

    if (outside(k2(GRIB_K2_NV), 0, 255))
        c.err("GRCHK2 : Invalid number of vertical coordinate parameters - ", k2(GRIB_K2_NV), 8);
    const gint type = k2(GRIB_K2_TYPE);
    if (!in(itab6, type))
        c.err("GRCHK2 : Invalid data representation type - ", type, 3);
    if (grib::family(type) == grib::OTHER) {
        c.err("GRCHK2 : Unsupported data representation type - ", type, 3);
        *kret = c.fail;
        return;
    }
    check_flag(c, "GRCHK2 : Invalid earth flag - ", k2(GRIB_K2_EARTH), 0, 64);
    if (k2(GRIB_K2_EARTH) != 0 && norva && type != 90)
        c.err("GRCHK2 : Earth flag - NORVA usage is 0.");
    check_flag(c, "GRCHK2 : Invalid components flag - ", k2(GRIB_K2_COMPONENTS), 0, 8);
    if (k2(GRIB_K2_COMPONENTS) != 0 && norva)
        c.err("GRCHK2 : Components flag - NORVA usage is 0.");

    const grib::Family f = grib::family(type);
    if (f == grib::LATLON)
        check_latlon_grid(c, k2);
    else if (f == grib::GAUSS)
        check_gaussian_grid(c, k2);
    else if (f == grib::POLAR)
        check_polar_grid(c, k2);
    else if (f == grib::SPHERICAL)
        check_spectral(c, k2);
    *kret = c.fail;
}

extern "C" void grchk3(gint *ksec1, gint *ksec3, float * /*psec3*/, gint *kret)
{
    const KSec k1{ksec1}, k3{ksec3};
    Checker c;
    if (outside(k3(GRIB_K3_TABLE), 0, 65535))
        c.err("GRCHK3 : Invalid bit-map table reference - ", k3(GRIB_K3_TABLE), 9);
    if (k3(GRIB_K3_TABLE) != 0 && k1(GRIB_K1_CENTRE) == GRIB_NORVA_CENTRE)
        c.err("GRCHK3 : NORVA usage is to include bit-map.");
    *kret = c.fail;
}

extern "C" void grchk4(gint * /*ksec1*/, gint *ksec4, float * /*psec4*/, gint *kret)
{
    const KSec k4{ksec4};
    Checker c;

    if (k4(GRIB_K4_COUNT) == 0)
        c.err("GRCHK4 : Number of data values to be encoded is 0.");
    if (outside(k4(GRIB_K4_BITS), 1, 32))
        c.err("GRCHK4 : Invalid number of bits for packed data values - ", k4(GRIB_K4_BITS), 3);
    if (k4(GRIB_K4_HARMONICS) != 0 && k4(GRIB_K4_HARMONICS) != 128)
        Checker::warn(
            grib::MsgLine().text("GRCHK4 : Invalid type of data - ").i(k4(GRIB_K4_HARMONICS), 3));
    if (k4(GRIB_K4_PACKING) == 64)
        c.err("GRCHK4 : Only simple packing supported.");
    if (k4(GRIB_K4_PACKING) != 0 && k4(GRIB_K4_PACKING) != 64)
        c.err("GRCHK4 : Invalid type of packing - ", k4(GRIB_K4_PACKING), 3);
    check_flag(c, "GRCHK4 : Invalid data representation - ", k4(GRIB_K4_INTEGER), 0, 32);
    check_flag(c, "GRCHK4 : Invalid additional flag field - ", k4(GRIB_K4_ADDITIONAL), 0, 16);
    if (k4(GRIB_K4_RESERVED) != 0)
        Checker::warn(grib::MsgLine().text(
            "GRCHK4 : Reserved field not 0. May cause trouble in future releases of FLDCOD."));
    check_flag(c, "GRCHK4 : Invalid number of fields indicator - ", k4(GRIB_K4_MATRIX), 0, 64);
    check_flag(c, "GRCHK4 : Invalid secondary bit map indicator - ", k4(GRIB_K4_SECONDARY), 0, 32);
    *kret = c.fail;
}
