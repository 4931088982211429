/*
 * fuzz_fldcod_code.cpp -- builds a latitude/longitude field and its section
 * arrays from the input, codes it with "C" or "M" (under a bit map now and
 * then), decodes the message and checks every value against the one coded:
 * within half a packing step, read from the message by this file's own
 * reading of section 4, and our decoder within rounding of that.  A few
 * inputs ask for a refusal instead, which must come with its code; so must
 * a field that single precision cannot carry (707, 708).
 *
 * Input: octet 0 the bits per value, 1 the variant, 2-3 the grid, 4 the
 * kind of values (its top bit: raw values of any magnitude, else below
 * 1e30 so that most fields code) and a power of two, 5 the decimal scale,
 * 6-9 a base value, 10 the share of missing points, then the values
 * (cycled when short).
 */
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <gridpick/grib.h>
#include "grib_sections.h"

namespace {

constexpr float MISS = -999.0f;

struct Field {
    gint bits = 16, ni = 1, nj = 1, d = 0;
    bool bitmap = false, missing_field = false;
    const char *op = "C";
    gint expect = 0;  /* the code coding must return */
    bool must_refuse = false, may_refuse = false;  /* with 707 or 708 */
    std::vector<float> v;
};

float value_at(const uint8_t *p, bool raw, float base, int k, bool wide = true)
{
    if (raw) {
        float f;
        std::memcpy(&f, p, sizeof f);
        return std::isfinite(f) && (wide || std::fabs(f) < 1e30f) ? f : base;
    }
    auto q = static_cast<int16_t>(p[0] << 8 | p[1]);
    return base + std::ldexp(static_cast<float>(q), k);
}

bool build(const uint8_t *data, size_t size, Field &f)
{
    if (size < 12)
        return false;
    f.bits = 1 + data[0] % 32;
    int variant = data[1] >> 3;
    f.bitmap = data[1] & 1;
    f.op = data[1] & 2 ? "M" : "C";
    f.ni = 1 + data[2] % 64;
    f.nj = 1 + data[3] % 32;
    bool raw = data[4] & 1, wide = data[4] & 128;
    int k = (data[4] >> 1) % 64 - 32;
    f.d = data[5] & 8 ? data[5] % 5 - 2 : 0;
    float base = value_at(data + 6, true, 0.0f, 0, wide);
    if (!raw)  /* on the same grid of 2^k */
        base = static_cast<float>(std::ldexp(std::trunc(std::ldexp(double{base}, -k)), k));
    const uint8_t *rest = data + 11;
    size_t nrest = size - 11, width = raw ? 4 : 2;
    if (nrest < width)
        return false;
    size_t n = static_cast<size_t>(f.ni) * f.nj;
    f.v.resize(n);
    for (size_t i = 0; i < n; i++) {
        const uint8_t *p = rest + (i * width) % (nrest - nrest % width);
        f.v[i] = value_at(p, raw, base, k, wide);
        if (f.bitmap && (data[10] == 255 || p[0] < data[10] % 64))
            f.v[i] = MISS;
        else if (f.v[i] == MISS)
            f.v[i] = 0.0f;
    }
    switch (variant) {
    case 0: f.bits = 33; f.expect = 202; break;
    case 1: f.expect = n > 1 ? 710 : 0; break;
    case 2: case 3:
        f.bitmap = false;
        f.missing_field = true;
        f.v.assign(n, 0.0f);
        if (variant == 2) {
            f.v[n / 2] = 1.0f;
            f.expect = 203;
        }
        break;
    default: break;
    }
    return true;
}

/* Single precision cannot carry a range from 2^128 on, nor R from 2^124 on
 * (its IBM form decodes to infinity): coding must refuse such a field.  Near
 * those limits rounding decides, and coding may refuse. */
void limits(Field &f)
{
    const float scale = std::pow(10.0f, static_cast<float>(f.d));  /* as the coder scales */
    float lo = INFINITY, hi = -INFINITY, big = 0.0f;
    for (float v : f.v) {
        if (f.bitmap && v == MISS)
            continue;
        lo = std::fmin(lo, v * scale);
        hi = std::fmax(hi, v * scale);
        big = std::fmax(big, std::fabs(v));
    }
    if (lo > hi)
        return;
    double range = double{hi} - double{lo};
    f.must_refuse = !(range < 0x1p128) || std::fabs(lo) >= 0x1p124f;
    f.may_refuse = range >= 0x1p125 || std::fabs(lo) >= 0x1p123f || std::fabs(hi) >= 0x1p126f ||
                   big >= 0x1p126f;
}

struct Arrays {
    std::vector<gint> k0 = std::vector<gint>(GRIB_NKSEC0), k1 = std::vector<gint>(GRIB_NKSEC1),
                      k2 = std::vector<gint>(GRIB_NKSEC2), k3 = std::vector<gint>(GRIB_NKSEC3),
                      k4 = std::vector<gint>(GRIB_NKSEC4);
    std::vector<float> p2 = std::vector<float>(GRIB_NPSEC2), p3 = std::vector<float>(GRIB_NPSEC3),
                       p4 = std::vector<float>(64 * 32);
    std::vector<gint> msg = std::vector<gint>(4096);
    gint kword = 0;

    gint call(const char *op, gint klenp)
    {
        gint kleng = static_cast<gint>(msg.size()), kret = 1;
        fldcod(k0.data(), k1.data(), k2.data(), p2.data(), k3.data(), p3.data(), k4.data(),
               p4.data(), &klenp, msg.data(), &kleng, &kword, op, &kret, 1L);
        return kret;
    }
};

[[noreturn]] void fail(const char *what, size_t i, double got, double want)
{
    std::fprintf(stderr, "fuzz_fldcod_code: %s at %zu: %.9g, coded %.9g\n", what, i, got, want);
    __builtin_trap();
}

gint code(const Field &f, Arrays &a)
{
    /* the producing centre asks for D = 0: another centre for scaled fields */
    gint k1[25] = {1,  f.d ? 7 : GRIB_NORVA_CENTRE, 100, 255, f.bitmap ? 192 : 128, 11, 100,
                   500, 0, 95, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20, 0, f.d, 0, 0};
    std::copy(k1, k1 + 25, a.k1.begin());
    gint k2[11] = {0, f.ni, f.nj, 90000, 0, 0, -90000, 180000, 0, 0, 0};
    std::copy(k2, k2 + 11, a.k2.begin());
    grib::Sec<float>{a.p3.data()}(GRIB_P3_MISSING) = MISS;
    auto n = static_cast<gint>(f.v.size());
    grib::Sec<gint> k4{a.k4.data()};
    k4(GRIB_K4_COUNT) = f.missing_field ? -n : n;
    k4(GRIB_K4_BITS) = f.bits;
    std::copy(f.v.begin(), f.v.end(), a.p4.begin());
    return a.call(f.op, f.expect == 710 ? n - 1 : n);
}

uint32_t bits_at(const unsigned char *o, int64_t bit, int n)
{
    uint64_t v = 0;
    for (int j = 0; j < n; j++, bit++)
        v = v << 1 | ((o[bit / 8] >> (7 - bit % 8)) & 1);
    return static_cast<uint32_t>(v);
}

uint32_t octets(const unsigned char *o, size_t at, int n) { return bits_at(o, 8 * int64_t(at), 8 * n); }

/* Every present value: the packed integer read from section 4 gives it
 * within half a step, and our decoder gives R + X * 2^E within rounding. */
void compare(const Field &f, Arrays &coded, Arrays &dec)
{
    const auto *o = reinterpret_cast<const unsigned char *>(coded.msg.data());
    size_t s4 = 8 + octets(o, 8, 3);
    s4 += octets(o, s4, 3);  /* section 2 */
    if (f.bitmap)
        s4 += octets(o, s4, 3);
    uint32_t rawe = octets(o, s4 + 4, 2), rexp = octets(o, s4 + 6, 1), rmant = octets(o, s4 + 7, 3);
    int e = rawe & 0x8000 ? -static_cast<int>(rawe & 0x7FFF) : static_cast<int>(rawe);
    double step = std::ldexp(1.0, e);
    double r = std::ldexp(rmant * std::pow(16.0, (rexp & 127) - 64.0), -24) * (rexp & 128 ? -1 : 1);
    double scale = std::pow(10.0f, static_cast<float>(f.d));
    int64_t data = 8 * int64_t(s4 + 11), j = 0;
    for (size_t i = 0; i < f.v.size(); i++) {
        float y = dec.p4[i];
        if (f.v[i] == MISS) {
            if (y != MISS)
                fail("missing point decoded", i, y, MISS);
            continue;
        }
        float want = static_cast<float>(f.v[i] * scale);  /* as the coder scales it */
        double x = bits_at(o, data + j++ * f.bits, f.bits);
        double packed = r + x * step;
        double diff = std::fabs(double{want} - r);
        if (std::fabs(packed - want) > step / 2 + 0x1p-23 * diff + 1e-44)
            fail("value beyond half a packing step", i, packed, want);
        if (std::fabs(y * scale - packed) > 0x1p-21 * (std::fabs(r) + x * step) + 1e-37)
            fail("decoder disagrees with section 4", i, y * scale, packed);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    /* the codec reports on standard output; keep the run quiet */
    if (!std::freopen("/dev/null", "w", stdout))
        return 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Field f;
    if (!build(data, size, f))
        return 0;
    if (f.expect == 0 && !f.missing_field)
        limits(f);
    Arrays coded;
    gint kret = code(f, coded);
    bool refused = kret == 707 || kret == 708;
    if (f.must_refuse ? !refused : kret != f.expect && !(f.may_refuse && refused))
        fail("coding returned", 0, kret, f.expect);
    if (kret != 0)
        return 0;
    Arrays dec;
    dec.msg = coded.msg;
    grib::Sec<float>{dec.p3.data()}(GRIB_P3_MISSING) = MISS;
    kret = dec.call("D", static_cast<gint>(dec.p4.size()));
    auto n = static_cast<gint>(f.v.size());
    bool ok = f.bitmap ? kret == -2 || kret == -4 : kret == 0;
    if (!ok)
        fail("decoding returned", 0, kret, f.bitmap ? -4 : 0);
    gint count = grib::KSec{dec.k4.data()}(GRIB_K4_COUNT);
    if (count != (f.missing_field ? -n : n))
        fail("number of values", 0, count, n);
    if (f.missing_field) {
        for (gint i = 0; i < n; i++)
            if (dec.p4[static_cast<size_t>(i)] != 0.0f)
                fail("missing field value", static_cast<size_t>(i), dec.p4[static_cast<size_t>(i)], 0);
        return 0;
    }
    compare(f, coded, dec);
    return 0;
}
