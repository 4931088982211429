/*
 * grib_print.cpp -- labelled listings of the section arrays (grprs0 ..
 * grprs4) and the binary rendering of flag octets (prtbin).
 */
#include <gridpick/grib.h>
#include "grib_format.h"
#include "grib_sections.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

using grib::KSec;
using grib::PSec;

/* The widest bit string whose decimal digits fit a 32-bit integer. */
constexpr int PRTBIN_MAX_BITS = 10;

/* The low nbits of v as decimal digits, 1 <= nbits <= PRTBIN_MAX_BITS.
 * A negative v shows the low bits of its two's complement, so every digit
 * is 0 or 1 (halving with truncation would give digits of -1). */
gint binary_digits(long long v, int nbits)
{
    unsigned long long bits = static_cast<unsigned long long>(v);
    gint out = 0;
    gint place = 1;
    for (int i = 0; i < nbits; ++i) {
        out += static_cast<gint>(bits & 1U) * place;
        bits >>= 1;
        if (i + 1 < nbits)
            place *= 10;
    }
    return out;
}

/* Prints heading lines and the listing of one section. */
class Listing {
public:
    explicit Listing(int width) : width_(width) {}

    void head(std::string_view title, int rule) const
    {
        grib::say_empty();
        grib::say(title);
        grib::MsgLine().text(std::string(static_cast<std::size_t>(rule), '-')).put();
    }
    void num(std::string_view lab, long long v, int w = 9) const
    {
        grib::MsgLine().label(lab, width_).i(v, w).put();
    }
    void num_at(std::string_view lab, int lw, long long v, int w) const
    {
        grib::MsgLine().label(lab, lw).i(v, w).put();
    }
    /* Flag octet as 8 binary digits, one column further right. */
    void flags(std::string_view lab, long long v) const
    {
        grib::MsgLine().label(lab, width_ + 1).iz(binary_digits(v, 8), 8, 8).put();
    }
    void real(std::string_view lab, int lw, double v, int w, int d) const
    {
        grib::MsgLine().label(lab, lw).f(v, w, d).put();
    }

private:
    int width_;
};

constexpr std::string_view NEG_NOTE = "(Southern latitudes and Western longitudes are negative.)";

/* Octet 17: the increments flag (where the grid has one), earth and
 * components flags. */
long long resolution_flags(KSec k2, bool with_increments)
{
    return (with_increments ? k2(GRIB_K2_INCREMENTS) : 0LL) + k2(GRIB_K2_EARTH) +
           k2(GRIB_K2_COMPONENTS);
}

/* Runs of parallels with equal numbers of points, KSEC2(23) onwards. */
void print_parallel_runs(KSec k2)
{
    grib::say("Number of points along a parallel varies.");
    grib::say("Number of points.   Parallel. (Numbered from North to South)");
    const gint n = k2(GRIB_K2_NJ);
    gint first = 1;
    while (first <= n) {
        const gint count = k2(GRIB_K2_ROWS - 1 + first);
        gint last = first;
        while (last < n && k2(GRIB_K2_ROWS + last) == count)
            ++last;
        grib::MsgLine l;
        l.i(count, 5).x(16).i(first, 3);
        if (last > first)
            l.text(" to ").i(last, 3);
        else
            l.x(7);
        l.put();
        first = last + 1;
    }
}

/* The lines of latitude/longitude and Gaussian grids from the points
 * along a meridian to the last grid point. */
void print_meridian_to_last(const Listing &o, KSec k2)
{
    o.num("Number of points along a meridian.", k2(GRIB_K2_NJ));
    o.num("Latitude of first grid point.", k2(GRIB_K2_LA1));
    o.num("Longitude of first grid point.", k2(GRIB_K2_LO1));
    o.flags("Resolution and components flag.", resolution_flags(k2, true));
    o.num("Latitude of last grid point.", k2(GRIB_K2_LA2));
    o.num("Longitude of last grid point.", k2(GRIB_K2_LO2));
}

/* Scanning mode and the number of vertical coordinate parameters. */
void print_scan_nv(const Listing &o, KSec k2)
{
    o.flags("Scanning mode flags (Code Table 8)", k2(GRIB_K2_SCAN));
    o.num("Number of vertical coordinate parameters.", k2(GRIB_K2_NV));
}

void print_latlon(const Listing &o, KSec k2)
{
    o.num("Number of points along a parallel.", k2(GRIB_K2_NI));
    print_meridian_to_last(o, k2);
    if (k2(GRIB_K2_INCREMENTS) == 128) {
        o.num("i direction (East-West) increment.", k2(GRIB_K2_DI));
        o.num("j direction (North-South) increment.", k2(GRIB_K2_DJ));
    } else {
        grib::say("i direction (East-West) increment not given.");
        grib::say("j direction (North-South) increment not given.");
    }
    print_scan_nv(o, k2);
}

void print_gaussian(const Listing &o, gint edition, KSec k2)
{
    if (k2(GRIB_K2_QUASI) == 0 || edition < 1)
        o.num("Number of points along a parallel.", k2(GRIB_K2_NI));
    else
        print_parallel_runs(k2);
    print_meridian_to_last(o, k2);
    if (k2(GRIB_K2_INCREMENTS) == 128)
        o.num("i direction (East-West) increment.", k2(GRIB_K2_DI));
    else
        grib::say("i direction (East-West) increment not given.");
    o.num("Number of parallels between pole and equator.", k2(GRIB_K2_N));
    print_scan_nv(o, k2);
}

void print_polar(const Listing &o, KSec k2)
{
    o.num("Number of points along X axis.", k2(GRIB_K2_NI));
    o.num("Number of points along Y axis.", k2(GRIB_K2_NJ));
    o.num("Latitude of first grid point.", k2(GRIB_K2_LA1));
    o.num("Longitude of first grid point.", k2(GRIB_K2_LO1));
    o.flags("Resolution and components flag.", resolution_flags(k2, false));
    o.num("Orientation of the grid.", k2(GRIB_K2_LOV));
    o.num("X direction increment.", k2(GRIB_K2_DX));
    o.num("Y direction increment.", k2(GRIB_K2_DY));
    print_scan_nv(o, k2);
    o.num("Projection centre flag.", k2(GRIB_K2_PROJECTION));
}

void print_space_view(const Listing &o, KSec k2)
{
    o.num("Number of points along X axis.", k2(GRIB_K2_NI));
    o.num("Number of points along Y axis.", k2(GRIB_K2_NJ));
    o.num("Latitude of sub-satellite point.", k2(GRIB_K2_LA1));
    o.num("Longitude of sub-satellite point.", k2(GRIB_K2_LO1));
    o.flags("Resolution and components flag.", resolution_flags(k2, false));
    o.num("Diameter of the earth in x direction.", k2(GRIB_K2_DIAMETER_X));
    o.num("Diameter of the earth in y direction.", k2(GRIB_K2_DIAMETER_Y));
    o.num("x coordinate of sub-satellite point.", k2(GRIB_K2_XP));
    o.num("Y coordinate of sub-satellite point.", k2(GRIB_K2_YP));
    print_scan_nv(o, k2);
    o.num("Orientation of the grid.", k2(GRIB_K2_ORIENTATION));
    o.num("Altitude of the camera.", k2(GRIB_K2_ALTITUDE));
    /* the listing has always named Xo "Y" and Yo "X" */
    o.num("Y coordinate of origin of sector image.", k2(GRIB_K2_XO));
    o.num("X coordinate of origin of sector image.", k2(GRIB_K2_YO));
}

void print_spectral(const Listing &o, KSec k2)
{
    o.num("Data representation type (Table 6).", k2(GRIB_K2_TYPE));
    o.num("J - Pentagonal resolution parameter.", k2(GRIB_K2_J));
    o.num("K - Pentagonal resolution parameter.", k2(GRIB_K2_K));
    o.num("M - Pentagonal resolution parameter.", k2(GRIB_K2_M));
    o.num("Representation type (Table 9)", k2(GRIB_K2_REP_TYPE));
    o.num("Representation mode (Table 10).", k2(GRIB_K2_REP_MODE));
    for (int n = GRIB_K2_REP_MODE + 1; n < GRIB_K2_NV; ++n)
        o.num("Not used.", k2(n));
    o.num("Number of vertical coordinate parameters.", k2(GRIB_K2_NV));
}

void print_vertical(KSec k2, PSec p2)
{
    const gint n = k2(GRIB_K2_NV);
    if (n == 0)
        return;
    grib::say_empty();
    grib::say("Vertical Coordinate Parameters.");
    grib::MsgLine().text(std::string(31, '-')).put();
    for (gint j = 1; j <= n; j += 2) {
        grib::MsgLine l;
        l.x(4).f(p2(GRIB_P2_VERTICAL - 1 + j), 20, 12);
        if (j + 1 <= n)
            l.x(4).f(p2(GRIB_P2_VERTICAL + j), 20, 12);
        l.put_bare();
    }
}

void print_rotation_stretching(const Listing &o, KSec k2, PSec p2)
{
    if (grib::rotated(k2(GRIB_K2_TYPE))) {
        grib::say_empty();
        o.num("Latitude of southern pole of rotation.", k2(GRIB_K2_POLE_LAT));
        o.num("Longitude of southern pole of rotation.", k2(GRIB_K2_POLE_LON));
        o.real("Angle of rotation.", 39, p2(GRIB_P2_ANGLE), 20, 10);
    }
    if (grib::stretched(k2(GRIB_K2_TYPE))) {
        grib::say_empty();
        o.num("Latitude of pole of stretching.", k2(GRIB_K2_STRETCH_LAT));
        o.num("Longitude of pole of stretching.", k2(GRIB_K2_STRETCH_LON));
        o.real("Stretching factor.", 39, p2(GRIB_P2_STRETCH), 20, 10);
    }
}

} // namespace

extern "C" void prtbin(gint *kin, gint *knbit, gint *kout, gint *kerr)
{
    if (*knbit < 1 || *knbit > PRTBIN_MAX_BITS) {
        *kerr = 1;
        grib::MsgLine()
            .text("PRTBIN : Error in binary number length - ")
            .i(*knbit, 3)
            .text(" bits.")
            .put();
        return;
    }
    *kerr = 0;
    *kout = binary_digits(*kin, *knbit);
}

extern "C" void grprs0(gint *ksec0)
{
    const KSec k0{ksec0};
    const Listing o(37);
    o.head("Section 0 - Indicator Section.", 37);
    o.num("Length of GRIB message (octets).", k0(GRIB_K0_LENGTH));
    o.num("GRIB Edition Number.", k0(GRIB_K0_EDITION));
}

extern "C" void grprs1(gint *ksec0, gint *ksec1)
{
    const KSec k0{ksec0}, k1{ksec1};
    const Listing o(37);
    o.head("Section 1 - Product Definition Section.", 39);
    o.num("Code Table 2 Version Number.", k1(GRIB_K1_TABLE));
    o.num("Originating centre identifier.", k1(GRIB_K1_CENTRE));
    o.num("Model identification.", k1(GRIB_K1_PROCESS));
    o.num("Grid definition.", k1(GRIB_K1_GRID));
    o.flags("Flag (Code Table 1)", k1(GRIB_K1_FLAG));
    o.num("Parameter identifier (Code Table 2).", k1(GRIB_K1_PARAM));
    if (k1(GRIB_K1_PARAM) != 127) {
        o.num("Type of level (Code Table 3).", k1(GRIB_K1_LEVEL_TYPE));
        o.num("Value 1 of level (Code Table 3).", k1(GRIB_K1_LEVEL));
        o.num("Value 2 of level (Code Table 3).", k1(GRIB_K1_LEVEL2));
    } else {
        o.num("Satellite identifier (Code Table 3).", k1(GRIB_K1_LEVEL_TYPE));
        o.num("Spectral band.", k1(GRIB_K1_LEVEL));
    }
    o.num("Year of data.", k1(GRIB_K1_YEAR));
    o.num("Month of data.", k1(GRIB_K1_MONTH));
    o.num("Day of data.", k1(GRIB_K1_DAY));
    o.num("Hour of data.", k1(GRIB_K1_HOUR));
    o.num("Minute of data.", k1(GRIB_K1_MINUTE));
    o.num("Time unit (Code Table 4).", k1(GRIB_K1_TIME_UNIT));
    o.num("Time range one.", k1(GRIB_K1_P1));
    o.num("Time range two.", k1(GRIB_K1_P2));
    o.num("Time range indicator (Code Table 5)", k1(GRIB_K1_TIME_RANGE));
    o.num("Number averaged.", k1(GRIB_K1_AVERAGED));
    o.num("Number missing from average.", k1(GRIB_K1_NOT_AVERAGED));
    if (k0(GRIB_K0_EDITION) >= 1 || k1(GRIB_K1_CENTRE) == GRIB_NORVA_CENTRE)
        o.num("Century of data.", k1(GRIB_K1_CENTURY));
    else
        grib::MsgLine().label("Century of data.", 37).text("not given").put();
    o.num("Units decimal scaling factor.", k1(GRIB_K1_SCALE));
}

extern "C" void grprs2(gint *ksec0, gint *ksec2, float *psec2)
{
    const KSec k0{ksec0}, k2{ksec2};
    const PSec p2{psec2};
    const gint edition = k0(GRIB_K0_EDITION);
    const Listing o(45);
    o.head("Section 2 - Grid Description Section.", 37);

    const gint type = k2(GRIB_K2_TYPE);
    const grib::Family f = grib::family(type);
    if (f == grib::OTHER) {
        grib::MsgLine()
            .text("GRPRS2 :Data representation type not catered for -")
            .i(type, 4)
            .put();
        return;
    }
    if (f == grib::SPHERICAL) {
        print_spectral(o, k2);
    } else {
        grib::say(NEG_NOTE);
        o.num("Data representation type (Table 6).", type);
        if (f == grib::LATLON)
            print_latlon(o, k2);
        else if (f == grib::GAUSS)
            print_gaussian(o, edition, k2);
        else if (f == grib::POLAR)
            print_polar(o, k2);
        else
            print_space_view(o, k2);
    }
    print_vertical(k2, p2);
    if (edition >= 1)
        print_rotation_stretching(o, k2, p2);
}

extern "C" void grprs3(gint * /*ksec0*/, gint *ksec3, float *psec3)
{
    const KSec k3{ksec3};
    const PSec p3{psec3};
    const Listing o(45);
    o.head("Section 3 - Bit-map Section.", 37);
    if (k3(GRIB_K3_TABLE) != 0)
        o.num("Predetermined bit-map number.", k3(GRIB_K3_TABLE));
    else
        grib::say("No predetermined bit-map.");
    o.num("Missing data value for integer data.", k3(GRIB_K3_MISSING));
    o.real("Missing data value for real data.", 41, p3(GRIB_P3_MISSING), 20, 6);
}

extern "C" void grprs4(gint * /*ksec0*/, gint *ksec4, float *psec4)
{
    const KSec k4{ksec4};
    const PSec p4{psec4};
    const Listing o(45);
    o.head("Section 4 - Binary Data  Section.", 37);
    o.num("Number of data values coded/decoded.", k4(GRIB_K4_COUNT));
    o.num("Number of bits per data value.", k4(GRIB_K4_BITS));
    o.num("Type of data indicator.", k4(GRIB_K4_HARMONICS));
    o.num("Type of packing indicator.", k4(GRIB_K4_PACKING));
    o.num("Type of data representation.", k4(GRIB_K4_INTEGER));
    o.num("Additional flags indicator.", k4(GRIB_K4_ADDITIONAL));
    o.num("Reserved.", k4(GRIB_K4_RESERVED));
    o.num("Number of values indicator.", k4(GRIB_K4_MATRIX));
    o.num("Secondary bit-maps indicator.", k4(GRIB_K4_SECONDARY));
    o.num("Values width indicator.", k4(GRIB_K4_WIDTHS));
    o.num("Number of bits for second order values.", k4(GRIB_K4_SECOND_BITS));
    if (k4(GRIB_K4_MATRIX) == 64) {
        o.num("First dimension (rows) of each matrix.", k4(GRIB_K4_ROWS));
        o.num("Second dimension (columns) of each matrix.", k4(GRIB_K4_COLUMNS));
        o.num("First dimension coordinate values definition.", k4(GRIB_K4_DEF1));
        grib::say("(Code Table 12)");
        o.num_at("NC1 - Number of coefficients for 1st dimension.", 47, k4(GRIB_K4_NC1), 7);
        o.num_at("Second dimension coordinate values definition.", 46, k4(GRIB_K4_DEF2), 8);
        grib::say("(Code Table 12)");
        o.num_at("NC2 - Number of coefficients for 2nd dimension.", 47, k4(GRIB_K4_NC2), 7);
        o.num_at("1st dimension physical signifance (Table 13). ", 46,
                 k4(GRIB_K4_SIGNIFICANCE1), 8);
        o.num_at("2nd dimension physical signifance (Table 13). ", 46,
                 k4(GRIB_K4_SIGNIFICANCE2), 8);
    }
    grib::say_empty();
    long long n = k4(GRIB_K4_COUNT);
    n = std::min(n < 0 ? -n : n, 20LL);
    grib::MsgLine().text("First ").i(n, 4).text(" data values.").put();
    for (int j = 1; j <= n; ++j)
        grib::MsgLine().f(p4(j), 30, 15).put();
}
