/*
 * section4.cpp -- binary data section (section 4): choice of the scaling,
 * the additional flags of matrix fields, packing and unpacking of the
 * values, and the points of operation "X".
 */
#include <cmath>
#include <cstring>

#include "grib_bits.h"
#include "grib_codec.h"
#include "grib_format.h"
#include "grib_ibm.h"

namespace {

/* Values that the bit maps of a decoded message mark present: those of
 * each point set in the primary map, or the bits set in the present points'
 * secondary maps; -1 when the maps are not in KGRIB (extmap refuses them). */
int64_t values_present(grib_call &c)
{
    grib_work_t &w = grib_work();
    auto ones = [&c](int64_t bit, int64_t n) -> int64_t {
        const auto *base = reinterpret_cast<const unsigned char *>(c.kgrib);
        return bit >= 0 && grib_bits_fit(c.kleng, bit, n) ? grib_count_ones(base, bit, n) : -1;
    };
    int64_t points = ones(w.bmap, w.bmapbits);
    gint m = c.values_per_point();
    if (points < 0 || m == 0)
        return -1;
    return w.bmap2 < 0 ? points * m : ones(w.bmap2, points * m);
}

/* Values of a section 4 with 0 bits per value: one per grid point (for
 * triangular spherical harmonics, all (J+1)(J+2) coefficients). */
int64_t constant_count(grib_call &c)
{
    if (c.has_sec3() && c.k3(GRIB_K3_TABLE) == 0)
        return values_present(c) > 0 ? values_present(c) : 0;
    if (!c.has_sec2())
        return 0;
    gint t = c.k2(GRIB_K2_TYPE);
    if (grib::family(t) == grib::SPHERICAL) {
        int64_t j = c.k2(GRIB_K2_J);
        return j == c.k2(GRIB_K2_K) && j == c.k2(GRIB_K2_M) && j >= 0 ? (j + 1) * (j + 2) : 0;
    }
    if (c.k2(GRIB_K2_QUASI) == 1) {
        int64_t n = 0;
        for (gint r = 1; r <= c.k2(GRIB_K2_NJ) && r <= GRIB_MAXROWS; r++)
            n += c.k2(GRIB_K2_ROWS - 1 + r);
        return n;
    }
    if (c.k2(GRIB_K2_NI) < 0 || c.k2(GRIB_K2_NJ) < 0)
        return 0;
    return int64_t{c.k2(GRIB_K2_NI)} * c.k2(GRIB_K2_NJ);
}

/* ---- coding ---------------------------------------------------------- */

struct Packing {
    gint rawe;      /* E as stored */
    gint kexp, kmant;  /* R as stored */
    float ref;      /* R used for packing */
    float scale;    /* 2^E */
};

/* E from the logarithm is one too small where the range over 2^(n+1) - 1
 * lies at or just above a power of two, and the stored reference value may
 * lie below the minimum: E is raised until the largest value, packed as
 * inscal packs it, fits n bits (a NaN range stops it at once). */
gint fit_exponent(float max, float ref, gint e, gint nbits)
{
    const double top = std::ldexp(1.0, nbits) - 1.0;
    while (e < 300 && std::round(static_cast<double>((max - ref) / grib_pow2(e))) > top)
        e++;
    return e;
}

/* R as an IBM number that does not exceed it (mode 1, else mode 0), and the
 * value packing uses: the IBM number decoded, or R itself if that still
 * exceeds R.  False when the IBM number does not decode to a finite real. */
bool convert_reference(float ref, Packing &pk)
{
    gint bits = grib_state.kbit, mode = grib_debug() ? 11 : 1;
    float back = 0.0f;
    confp3(&ref, &pk.kexp, &pk.kmant, &bits, &mode);
    decfp2(&back, &pk.kexp, &pk.kmant);
    if (back > ref) {
        mode = grib_debug() ? 10 : 0;
        confp3(&ref, &pk.kexp, &pk.kmant, &bits, &mode);
        decfp2(&back, &pk.kexp, &pk.kmant);
    }
    if (!std::isfinite(back))
        return false;
    if (back > ref) {
        grib::say("Reference value error.");
        pk.ref = ref;
    } else {
        pk.ref = back;
    }
    return true;
}

/* The value packed as x, as decoding gives it back: (R + x 2^E) / 10^D. */
float decoded(float ref, float x, float scale, grib_call &c)
{
    float v = ref + x * scale;
    return c.k1(GRIB_K1_SCALE) != 0 ? v / grib_pow10(c.k1(GRIB_K1_SCALE)) : v;
}

/* The values to pack scaled by 10^D, and their range in zmax, zmin (0 and
 * 0 when every value is missing). */
void scaled_range(grib_call &c)
{
    grib_work_t &w = grib_work();
    gint first = c.k4(GRIB_K4_HARMONICS) == 128 ? 1 : 0;
    gint npack = w.nvals - first > 0 ? w.nvals - first : 0;
    float *vals = c.p4.p + first;
    float pmiss = c.marker();
    bool secondary = c.k4(GRIB_K4_SECONDARY) == 32;
    /* values equal to the marker are left alone for the secondary bit maps
     * built after this, which must still find them */
    if (c.k1(GRIB_K1_SCALE) != 0) {
        float f = grib_pow10(c.k1(GRIB_K1_SCALE));
        for (gint j = 0; j < w.nvals; j++)
            if (!(secondary && c.p4.p[j] == pmiss))
                c.p4.p[j] *= f;
    }
    w.zmax = w.zmin = 0.0f;
    if (secondary)
        maxmn2(vals, &npack, &pmiss, &w.zmax, &w.zmin);
    else
        maxmin(vals, &npack, &w.zmax, &w.zmin);
    if (grib_debug())
        grib::MsgLine()
            .text("FLDCOD : Maximum and minimum values = ")
            .f(w.zmax, 30, 20)
            .text("  ")
            .f(w.zmin, 30, 20)
            .put();
}

/* R: the minimum, or the user's reference value where it does not exceed
 * the minimum. */
float reference(grib_call &c)
{
    const grbcom_t &g = grib_state.grbcom;
    const float min = grib_work().zmin;
    if (g.NFREF != 1)
        return min;
    float ref = c.k4(GRIB_K4_INTEGER) == 32 ? static_cast<float>(grib_nint(g.FREF)) : g.FREF;
    if (ref <= min)
        return ref;
    grib::MsgLine()
        .text("FLDCOD : User supplied reference value ")
        .f(ref, 20, 10)
        .text(" exceeds minimum value ")
        .f(min, 20, 10)
        .text(". Minimum value used.")
        .put();
    return min;
}

/* E from the logarithm of the range over 2^(n+1) - 1 (0 for no range). */
gint first_exponent(float range, gint nbits)
{
    float s = range / (grib_pow2(nbits + 1) - 1.0f);
    if (s == 0.0f)
        return 0;
    s = std::log(s) / std::log(2.0f) + 2.0f;
    gint a = grib_trunc(s), b = grib_trunc(s + (s >= 0.0f ? 1.0f : -1.0f));
    return a < b ? a : b;
}

bool choose_scaling(grib_call &c, Packing &pk)
{
    grib_work_t &w = grib_work();
    scaled_range(c);
    float ref = reference(c);
    if (w.missing) {  /* the range is listed all the same; markers stored */
        pk = {65535, 255, 16777215, 0.0f, 1.0f};
        return true;
    }
    const gint nbits = c.k4(GRIB_K4_BITS);
    if (nbits == 0 && w.zmax != ref)
        return grib_fail(c, 709);
    /* single precision must carry the field through the message: its
     * range, R, 2^E and both ends of the field as decoding gives them back */
    if (!std::isfinite(w.zmax - ref))
        return grib_fail(c, 707);
    if (!convert_reference(ref, pk) || !std::isfinite(decoded(pk.ref, 0.0f, 1.0f, c)))
        return grib_fail(c, 708);
    gint e = fit_exponent(w.zmax, pk.ref, first_exponent(w.zmax - ref, nbits), nbits);
    w.iexp = e;
    pk.rawe = e < 0 ? 32768 - e : e;
    pk.scale = grib_pow2(e);
    float top = static_cast<float>(std::round(static_cast<double>((w.zmax - pk.ref) / pk.scale)));
    if (!std::isfinite(decoded(pk.ref, top, pk.scale, c)))
        return grib_fail(c, 707);
    return true;
}

/* ---- shared pieces ------------------------------------------------------ */

bool additional_flags(grib_call &c, gint &oct12)
{
    grib_work_t &w = grib_work();
    bool c98 = c.norva() && c.k1(GRIB_K1_TABLE) == 140;
    if (c.coding()) {
        gint m = c.values_per_point();
        if (c98)
            oct12 = m > 0 ? w.nvals / m : 0;
        else
            oct12 = 25 + c.k4(GRIB_K4_NC1) + c.k4(GRIB_K4_NC2) +
                    (c.k4(GRIB_K4_SECONDARY) == 32 ? (w.nvals + 7) / 8 : 0);
    }
    if (grib_xfer1(c, oct12, 16))
        return grib_fail(c, 720);
    gint f = c.k4(GRIB_K4_MATRIX) + c.k4(GRIB_K4_SECONDARY) + c.k4(GRIB_K4_WIDTHS);
    if (grib_xfer1(c, f, 8))
        return grib_fail(c, 721);
    if (!c.coding()) {
        c.k4(GRIB_K4_MATRIX) = f & 64 ? 64 : 0;
        c.k4(GRIB_K4_SECONDARY) = f & 32 ? 32 : 0;
        c.k4(GRIB_K4_WIDTHS) = f & 16 ? 16 : 0;
    }
    if (grib_xfer(c, &c.k4(GRIB_K4_ROWS), 2, 16))
        return grib_fail(c, 722);
    if (grib_xfer(c, &c.k4(GRIB_K4_DEF1), 6, 8))
        return grib_fail(c, 723);
    gint nc = c.k4(GRIB_K4_NC1) + c.k4(GRIB_K4_NC2);
    if (c.k4(GRIB_K4_NC1) < 0 || c.k4(GRIB_K4_NC2) < 0 || nc > 510)
        return grib_fail(c, 724);
    if (c98) {
        for (gint j = 0; j < nc; j++) {
            float v;
            std::memcpy(&v, &c.k4(GRIB_K4_COEFFICIENTS + j), sizeof v);
            if (grib_xfer_ibm(c, v))
                return grib_fail(c, 724);
            std::memcpy(&c.k4(GRIB_K4_COEFFICIENTS + j), &v, sizeof v);
        }
    } else if (grib_xfer(c, &c.k4(GRIB_K4_SIGNIFICANCE2), nc, 8)) {
        return grib_fail(c, 724);
    }
    if (c.k4(GRIB_K4_SECONDARY) != 32)
        return true;
    gint m = c.values_per_point();
    if (m == 0)
        return grib_fail(c, 722);
    if (c.coding()) {
        gint ir = 0, kbit = grib_state.kbit, kpr = grib_state.grbcom.NDBG;
        float pmiss = c.marker();
        insmp2(c.kgrib, &c.kleng, &w.nspt, c.p4.p, &w.nvals, &kbit, &pmiss, "C", &m, &kpr, &ir,
               1);
        if (ir)
            return grib_fail(c, 725);
        return true;
    }
    w.bmap2 = w.nspt;
    int64_t skip = c98 ? 8 * ((int64_t{m} * oct12 + 7) / 8) : 8 * (int64_t{oct12} - 25 - nc);
    /* octets 12-13 that point before the maps or past KGRIB are refused */
    if (skip < 0 || skip > 8 * int64_t{c.kleng} * 4)
        return grib_fail(c, 720);
    grib_skip(static_cast<gint>(skip));
    return true;
}

/* Operation X: up to four values picked by row and column. */
bool extract_points(grib_call &c, float ref, float scale)
{
    grib_work_t &w = grib_work();
    if (c.has_sec3())
        return grib_fail(c, 717);
    grib::Family f = grib::family(c.k2(GRIB_K2_TYPE));
    if (f != grib::LATLON && f != grib::GAUSS)
        return grib_fail(c, 716);
    if (c.k2(GRIB_K2_SCAN) != 0)
        return grib_fail(c, 715);
    gint n = c.k4(GRIB_K4_X_COUNT);
    if (n < 1 || n > 4)
        return grib_fail(c, 714, {n});
    gint data = w.nspt, nbits = c.k4(GRIB_K4_BITS);
    bool quasi = c.k2(GRIB_K2_QUASI) == 1;
    float div = c.k1(GRIB_K1_SCALE) != 0 ? grib_pow10(c.k1(GRIB_K1_SCALE)) : 1.0f;
    for (gint k = 1; k <= n; k++) {
        gint row = c.k4(GRIB_K4_X_POINTS + 2 * (k - 1)), col = c.k4(GRIB_K4_X_POINTS + 2 * k - 1);
        int64_t index = 0;
        /* a point outside the grid is refused rather than read */
        if (quasi) {
            if (row < 1 || row > c.k2(GRIB_K2_NJ) || row > GRIB_MAXROWS || col < 1 ||
                col > c.k2(GRIB_K2_ROWS - 1 + row))
                return grib_fail(c, 712);
            for (gint r = 1; r < row; r++)
                index += c.k2(GRIB_K2_ROWS - 1 + r);
        } else {
            if (row < 1 || row > c.k2(GRIB_K2_NJ) || col < 1 || col > c.k2(GRIB_K2_NI))
                return grib_fail(c, 712);
            index = int64_t{row - 1} * c.k2(GRIB_K2_NI);
        }
        index += col - 1;
        int64_t pos = data + index * nbits;
        if (pos > 2147483647)
            return grib_fail(c, 712);
        w.nspt = static_cast<gint>(pos);
        gint v = 0;
        if (grib_xfer1(c, v, nbits))
            return grib_fail(c, 712);
        uint32_t u;
        std::memcpy(&u, &v, sizeof u);
        float x = ref + static_cast<float>(u) * scale;
        c.p4(k) = c.k1(GRIB_K1_SCALE) != 0 ? x / div : x;
    }
    if (c.k4(GRIB_K4_INTEGER) == 32)
        rorint(c.p4.p, grib_as_ints(c.p4.p), &n, "I", 1);
    return false;  /* the call ends here */
}

bool decode_values(grib_call &c, float ref, float scale, gint first)
{
    grib_work_t &w = grib_work();
    gint n = c.k4(GRIB_K4_COUNT) - first, nbits = c.k4(GRIB_K4_BITS);
    int64_t bits = int64_t{n} * nbits;
    if (!grib_bits_fit(c.kleng, w.nspt, bits)) {
        grib_bits_report(w.nspt + bits, c.kleng);
        return grib_fail(c, 712);
    }
    grib_unpack_scaled(reinterpret_cast<const unsigned char *>(c.kgrib), w.nspt, nbits, n, ref,
                       scale, c.p4.p + first);
    grib_skip(static_cast<gint>(bits));
    if (c.k1(GRIB_K1_SCALE) != 0) {
        float div = grib_pow10(c.k1(GRIB_K1_SCALE));
        float *p = c.p4.p;
        for (gint j = 0; j < c.k4(GRIB_K4_COUNT); j++)
            p[j] = p[j] / div;
    }
    return true;
}


void debug_unused(gint bits)
{
    if (grib_debug())
        grib::MsgLine().text("FLDCOD : Number of unused bits is ").i(bits, 2).text(".").put();
}

/* Length (passed over when coding); false when the call ends here ("L"). */
bool sec4_length(grib_call &c)
{
    grib_work_t &w = grib_work();
    w.start4 = w.nspt;
    if (c.coding()) {
        grib_skip(24);
        return true;
    }
    if (grib_xfer1(c, w.len4, 24))
        return grib_fail(c, 701);
    grib_debug_length(4, w.len4);
    if ((c.length_only() || c.is("X")) && w.edition != 1)
        c.k0(GRIB_K0_LENGTH) =
            static_cast<gint>((int64_t{w.start4} + 8 * int64_t{w.len4} + 32) / 8);
    return !c.length_only();
}

/* Flag octet: written at the end when coding. */
bool sec4_flag(grib_call &c)
{
    grib_work_t &w = grib_work();
    if (c.coding()) {
        bool harmonics = c.has_sec2() && grib::family(c.k2(GRIB_K2_TYPE)) == grib::SPHERICAL;
        c.k4(GRIB_K4_HARMONICS) = harmonics ? 128 : 0;
        grib_skip(8);
    } else {
        gint f = 0;
        if (grib_xfer1(c, f, 8))
            return grib_fail(c, 706);
        c.k4(GRIB_K4_HARMONICS) = (w.edition == -1 ? f & 0xF0 : f & 128) ? 128 : 0;
        w.unused4 = f & (w.edition == 0 ? 0x7F : 0x0F);
        if (w.edition == 1) {
            c.k4(GRIB_K4_PACKING) = f & 64 ? 64 : 0;
            c.k4(GRIB_K4_INTEGER) = f & 32 ? 32 : 0;
            c.k4(GRIB_K4_ADDITIONAL) = f & 16 ? 16 : 0;
        }
        debug_unused(w.unused4);
    }
    if (c.k4(GRIB_K4_PACKING) != 0)
        return grib_fail(c, 705);
    return true;
}

/* Binary scale factor and reference value: chosen and written, or read. */
bool sec4_scaling(grib_call &c, float &ref, float &scale)
{
    grib_work_t &w = grib_work();
    Packing pk{0, 0, 0, 0.0f, 0.0f};
    if (c.coding() && !choose_scaling(c, pk))
        return false;
    if (grib_xfer1(c, pk.rawe, 16))
        return grib_fail(c, 707);
    if (grib_xfer1(c, pk.kexp, 8) + grib_xfer1(c, pk.kmant, 24))
        return grib_fail(c, 708);
    if (c.coding()) {
        ref = pk.ref;
        scale = pk.scale;
    } else {
        w.missing = pk.rawe == 65535 && pk.kexp == 255 && pk.kmant == 16777215;
        ref = scale = 0.0f;
        if (w.missing) {
            grib::say("FLDCOD : Following field is missing ***********");
            grprs0(c.k0.p);
            grprs1(c.k0.p, c.k1.p);
        } else {
            decfp2(&ref, &pk.kexp, &pk.kmant);
            w.iexp = pk.rawe >= 32768 ? -(pk.rawe - 32768) : pk.rawe;
            scale = grib_pow2(w.iexp);
            if (grib_debug())
                grib::MsgLine().text("FLDCOD : Decoded reference value = ").f(ref, 30, 20).put();
        }
    }
    w.zref = ref;
    w.zscale = scale;
    return true;
}

/* The real (0,0) coefficient of spherical harmonics. */
bool sec4_coefficient(grib_call &c)
{
    if (c.klenp < 1)
        return grib_fail_710(c, 1);
    if (c.coding() && grib_work().nvals < 1)
        return grib_fail(c, 711);
    if (grib_xfer_ibm(c, c.p4(1)))
        return grib_fail(c, 711);
    if (!c.coding() && grib_work().missing)
        c.p4(1) = 0.0f;
    return true;
}

/* Coding: packs the values, pads the section and writes length and flag. */
bool sec4_code_values(grib_call &c, float ref, float scale, gint first)
{
    grib_work_t &w = grib_work();
    gint npack = w.nvals - first > 0 ? w.nvals - first : 0;
    float *vals = c.p4.p + first;
    inscal(vals, grib_as_ints(vals), &npack, &ref, &scale);
    if (grib_xfer(c, grib_as_ints(vals), npack, c.k4(GRIB_K4_BITS)))
        return grib_fail(c, 712);
    gint bits = w.nspt - w.start4;
    gint pad = (16 - bits % 16) % 16;
    grib_skip(pad);
    gint keep = w.nspt;
    w.len4 = (bits + pad) / 8;
    w.nspt = w.start4;
    if (grib_xfer1(c, w.len4, 24))
        return grib_fail(c, 701);
    gint flag = c.k4(GRIB_K4_HARMONICS) + c.k4(GRIB_K4_PACKING) + c.k4(GRIB_K4_INTEGER) +
                c.k4(GRIB_K4_ADDITIONAL) + pad;
    if (grib_xfer1(c, flag, 8))
        return grib_fail(c, 713);
    w.nspt = keep;
    debug_unused(pad);
    return true;
}

/* Decoding: the number of values, then the values (or chosen points). */
bool sec4_decode_values(grib_call &c, float ref, float scale, gint first)
{
    grib_work_t &w = grib_work();
    int64_t n;
    if (c.is("X")) {
        n = c.k4(GRIB_K4_X_COUNT);
    } else if (c.k4(GRIB_K4_BITS) == 0) {
        n = constant_count(c) - first;
        if (n < 0)
            n = 0;
    } else {
        int64_t avail = int64_t{w.start4} + 8 * int64_t{w.len4} - w.nspt - w.unused4;
        if (avail < 0)  /* section 4 shorter than its header */
            return grib_fail(c, 701);
        n = avail / c.k4(GRIB_K4_BITS);
    }
    int64_t total = n + first;
    if (total > c.klenp)
        return grib_fail_710(c, total);
    c.k4(GRIB_K4_COUNT) = static_cast<gint>(total);
    if (c.is("X"))
        return extract_points(c, ref, scale);
    /* the expansion must not run out of values */
    int64_t present = c.has_sec3() && c.k3(GRIB_K3_TABLE) == 0 ? values_present(c) : -1;
    if (present > total)
        return grib_fail(c, 726, {present, total});
    return decode_values(c, ref, scale, first);
}

} // namespace

bool grib_sec4(grib_call &c)
{
    if (!grib_checked(c, 4))
        return false;
    float ref = 0.0f, scale = 0.0f;
    if (!sec4_length(c) || !sec4_flag(c) || !sec4_scaling(c, ref, scale))
        return false;
    /* a width above 32 cannot be unpacked: refused, also on decoding */
    if (grib_xfer1(c, c.k4(GRIB_K4_BITS), 8) || c.k4(GRIB_K4_BITS) > 32 || c.k4(GRIB_K4_BITS) < 0)
        return grib_fail(c, 709);
    gint oct12 = 0;
    bool simple_grid = c.k4(GRIB_K4_HARMONICS) == 0 && c.k4(GRIB_K4_PACKING) == 0;
    if (simple_grid && c.k4(GRIB_K4_ADDITIONAL) == 16 && !additional_flags(c, oct12))
        return false;
    const gint first = c.k4(GRIB_K4_HARMONICS) == 128 ? 1 : 0;
    if (first && !sec4_coefficient(c))
        return false;
    return c.coding() ? sec4_code_values(c, ref, scale, first)
                      : sec4_decode_values(c, ref, scale, first);
}
