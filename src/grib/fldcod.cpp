/*
 * fldcod.cpp -- the codec's entry routine: operations, order of the
 * sections, return codes and the exit.
 */
#include <cstring>

#include "grib_codec.h"
#include "grib_format.h"
#include "grib_ibm.h"

grib_work_t &grib_work()
{
    return grib_state.work;
}

bool grib_debug()
{
    return grib_state.grbcom.NDBG == 1;
}

void grib_debug_length(int n, gint octets)
{
    if (grib_debug())
        grib::MsgLine()
            .text("FLDCOD : Length of Section ")
            .i(n, 1)
            .text(" of GRIB code is ")
            .i(octets, n < 3 ? 4 : 8)
            .text(" octets.")
            .put();
}

std::optional<bool> grib_section_length(grib_call &c, int n, gint start, gint &octets)
{
    const gint code = 100 * n + 301;
    if (grib_xfer1(c, octets, 24))
        return grib_fail(c, code);
    grib_debug_length(n, octets);
    if (c.length_only()) {
        grib_skip_section(start, octets);
        return true;
    }
    if (!c.coding() && octets < 6)
        return grib_fail(c, code);
    return std::nullopt;
}

bool grib_checked(grib_call &c, int n)
{
    if (!c.coding() || grib_state.grbcom.NVCK != 1)
        return true;
    gint ir = 0;
    switch (n) {
    case 1: grchk1(c.k1.p, &ir); break;
    case 2: grchk2(c.k1.p, c.k2.p, c.p2.p, &ir); break;
    case 3: grchk3(c.k1.p, c.k3.p, c.p3.p, &ir); break;
    default: grchk4(c.k1.p, c.k4.p, c.p4.p, &ir); break;
    }
    return ir == 0 || grib_fail(c, 100 * n + 399);
}

int grib_xfer(grib_call &c, gint *vals, gint n, gint width)
{
    gint ret = 0, kbit = grib_state.kbit;
    inxbit(c.kgrib, &c.kleng, &grib_work().nspt, vals, &n, &kbit, &width, c.coding() ? "C" : "D",
           &ret, 1);
    return ret;
}

int grib_xfer1(grib_call &c, gint &v, gint width)
{
    return grib_xfer(c, &v, 1, width);
}

int grib_xfer_sm(grib_call &c, gint *v, gint n, gint width)
{
    const int64_t top = int64_t{1} << (width - 1);
    gint raw[4] = {0, 0, 0, 0};
    if (n < 0 || n > 4)
        return 1;
    if (c.coding())  /* the field keeps the low bits of an oversized magnitude */
        for (gint j = 0; j < n; j++)
            raw[j] = static_cast<gint>(static_cast<uint32_t>(v[j] < 0 ? top - int64_t{v[j]} : v[j]));
    int r = grib_xfer(c, raw, n, width);
    if (!c.coding())
        for (gint j = 0; j < n; j++)
            v[j] = raw[j] >= top ? static_cast<gint>(-(raw[j] - top)) : raw[j];
    return r;
}

int grib_xfer_ibm(grib_call &c, float &v)
{
    gint e = 0, m = 0;
    if (c.coding()) {
        gint bits = grib_state.kbit, mode = 1;
        confp3(&v, &e, &m, &bits, &mode);
    }
    int r = grib_xfer1(c, e, 8) + grib_xfer1(c, m, 24);
    if (!c.coding() && r == 0)
        decfp2(&v, &e, &m);
    return r;
}

void grib_skip(gint bits)
{
    int64_t p = int64_t{grib_work().nspt} + bits;
    grib_work().nspt = p > 2147483647 ? 2147483647 : p < 0 ? 0 : static_cast<gint>(p);
}

void grib_skip_section(gint start, gint octets)
{
    grib_work().nspt = start;
    grib_skip(8 * octets);
}

namespace {

std::string_view cut_blanks(const char *s, long n)
{
    std::string_view v(s, n > 0 ? static_cast<size_t>(n) : 0);
    while (!v.empty() && v.back() == ' ')
        v.remove_suffix(1);
    return v;
}

/* Section 4 listing; it lists up to 20 of the |KSEC4(1)| values, so a count
 * beyond PSEC4 (after a failure) is cut to KLENP for it. */
void print_section4(grib_call &c)
{
    gint n = c.k4(GRIB_K4_COUNT) < 0 ? -c.k4(GRIB_K4_COUNT) : c.k4(GRIB_K4_COUNT);
    if (n <= c.klenp || n <= 0) {
        grprs4(c.k0.p, c.k4.p, c.p4.p);
        return;
    }
    gint k4[60] = {};
    gint listed = c.k4(GRIB_K4_MATRIX) == 64 ? GRIB_K4_SIGNIFICANCE2 : 42;
    std::memcpy(k4, c.k4.p, sizeof(gint) * static_cast<size_t>(listed));
    k4[0] = c.klenp > 0 ? c.klenp : 0;
    grprs4(c.k0.p, k4, c.p4.p);
}

void print_sections(grib_call &c, bool with0)
{
    if (with0)
        grprs0(c.k0.p);
    grprs1(c.k0.p, c.k1.p);
    gint flag = c.k1(GRIB_K1_FLAG);
    if (flag == 128 || flag == 192)
        grprs2(c.k0.p, c.k2.p, c.p2.p);
    if (flag == 64 || flag == 192)
        grprs3(c.k0.p, c.k3.p, c.p3.p);
    print_section4(c);
}

void debug_entry(grib_call &c)
{
    grib::say("FLDCOD : Section 1.");
    grib::say("         Input values used -");
    grib::MsgLine().text("         KLENG = ").i(c.kleng, 10).put();
    grib::MsgLine().text("         KLENP = ").i(c.klenp, 10).put();
    grib::say_empty();
    if (c.is("C") || c.is("M")) {
        c.k0(GRIB_K0_EDITION) = 1;
        print_sections(c, false);
    }
}

/* Operation letter -> internal letter; 0 for an unknown one. */
char internal_letter(char h)
{
    switch (h) {
    case 'C': case 'M':
        return 'C';
    case 'D': case 'R': case 'Z': case 'I': case 'S': case 'X':
        return 'D';
    case 'L':
        return 'L';
    default:
        return 0;
    }
}

bool prepare_coding(grib_call &c)
{
    std::memset(c.kgrib, 0, sizeof(gint) * static_cast<size_t>(c.kleng > 0 ? c.kleng : 0));
    if (c.k4(GRIB_K4_BITS) > 32)
        return grib_fail(c, 202, {c.k4(GRIB_K4_BITS), 32});
    grib_work_t &w = grib_work();
    w.missing = c.k4(GRIB_K4_COUNT) < 0 ? 1 : 0;
    int64_t count = w.missing ? -int64_t{c.k4(GRIB_K4_COUNT)} : c.k4(GRIB_K4_COUNT);
    if (count > c.klenp)  /* more values than PSEC4 holds */
        return grib_fail_710(c, c.k4(GRIB_K4_COUNT));
    w.nvals = static_cast<gint>(count);
    if (w.missing) {
        for (gint j = 1; j <= w.nvals; j++)
            if (c.p4(j) != 0.0f)
                return grib_fail(c, 203);
    }
    if (c.k4(GRIB_K4_INTEGER) == 32)
        rorint(c.p4.p, reinterpret_cast<gint *>(c.p4.p), &w.nvals, "R", 1);
    return true;
}

void prepare_decoding(grib_call &c)
{
    std::memset(c.k1.p, 0, sizeof(gint) * GRIB_NKSEC1);
    std::memset(c.k2.p, 0, sizeof(gint) * (GRIB_K2_ROWS - 1));  /* the fixed part */
    std::memset(c.k4.p, 0, sizeof(gint) * 12);
}

void section_line(int n)
{
    if (grib_debug())
        grib::MsgLine().text("FLDCOD : Section ").i(n, 1).text(".").put();
}

/* Sections 0 to 5 in order, each after its debug line; returns at the
 * first stop. */
void run(grib_call &c)
{
    bool (*const sections[])(grib_call &) = {grib_sec0, grib_sec1, grib_sec2,
                                             grib_sec3, grib_sec4, grib_sec5};
    for (int n = 0; n < 6; n++) {
        section_line(n + 3);
        if (!sections[n](c))
            return;
        if (n == 2 && c.is("I")) {
            if (grib_work().edition == 1)
                return;
            c.op = 'L';  /* edition 0 and experimental: go on for the length */
        }
    }
    if (!c.coding())
        grib_after5(c);
}

} // namespace

extern "C" void fldcod(gint *ksec0, gint *ksec1, gint *ksec2, float *psec2, gint *ksec3,
                       float *psec3, gint *ksec4, float *psec4, gint *klenp, gint *kgrib,
                       gint *kleng, gint *kword, const char *hoper, gint *kret, long hoper_len)
{
    grib_defaults();
    if (!grib_state.first_done) {
        gint kpr = grib_state.grbcom.NDBG;
        setpar(&grib_state.kbit, &grib_state.kneg, &kpr);
        grib_state.first_done = true;
    }
    grib_call c{{ksec0}, {ksec1}, {ksec2}, {psec2}, {ksec3}, {psec3}, {ksec4}, {psec4}, *klenp,
                kgrib, *kleng, kword, cut_blanks(hoper, hoper_len), 0, 0};
    if (grib_debug())
        debug_entry(c);

    gint kret_in = *kret;
    grib_work_t &w = grib_work();
    w.pseudo = 0;
    w.bmret = 0;
    w.nspt = 0;
    section_line(2);

    char letter = hoper_len > 0 ? internal_letter(hoper[0]) : 0;
    if (letter == 0) {
        size_t len = hoper_len > 0 ? static_cast<size_t>(hoper_len) : 0;
        grib_fail(c, 201, {}, std::string_view(hoper, len));  /* the whole argument */
    } else {
        c.op = letter;
        bool go = true;
        if (c.coding())
            go = prepare_coding(c);
        else if (c.decoding())
            prepare_decoding(c);
        if (go)
            run(c);
    }

    if (grib_debug()) {
        section_line(9);
        grib::say("         Output values set -");
        if (letter == 'D')  /* not for "L": it fills no section arrays */
            print_sections(c, true);
    }
    if (c.kret == 0 && w.pseudo)
        c.kret = -6;
    if (c.kret == 0 && w.bmret != 0)
        c.kret = w.bmret;
    *kret = c.kret;
    if (kret_in == 0 && c.kret > 0)
        abortx("FLDCOD", 6);
}
