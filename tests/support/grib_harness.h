// Helpers of the codec tests: message buffers, a codec call with section
// arrays of the sizes that keep decoding safe, hand-built messages and the
// sections most tests start from.
#ifndef GRIDPICK_TEST_GRIB_HARNESS_H
#define GRIDPICK_TEST_GRIB_HARNESS_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "capture.h"
#include <gridpick/grib.h>
#include "grib_state.h"

namespace gtu {

using gptest::captured;

// A message buffer: words whose octets are the message in file order.
struct Msg {
    std::vector<gint> w;
    explicit Msg(size_t words = 0) : w(words, 0) {}
    unsigned char *oct() { return reinterpret_cast<unsigned char *>(w.data()); }
    unsigned char &at(size_t i) { return oct()[i]; }  // octet i, from 0
    static Msg from_octets(const std::vector<unsigned char> &o, size_t words = 0)
    {
        Msg m(std::max(words, (o.size() + 3) / 4));
        std::memcpy(m.oct(), o.data(), o.size());
        return m;
    }
    std::vector<unsigned char> octets(size_t n) { return {oct(), oct() + n}; }
};

// Octets 5-7 of a message: its length.
inline void set_length(std::vector<unsigned char> &o)
{
    for (int i = 0; i < 3; i++)
        o[4 + i] = static_cast<unsigned char>(o.size() >> (16 - 8 * i));
}

struct Codec {
    std::vector<gint> k0 = std::vector<gint>(GRIB_NKSEC0), k1 = std::vector<gint>(GRIB_NKSEC1),
                      k2 = std::vector<gint>(GRIB_NKSEC2), k3 = std::vector<gint>(GRIB_NKSEC3),
                      k4 = std::vector<gint>(GRIB_NKSEC4);
    std::vector<float> p2 = std::vector<float>(GRIB_NPSEC2), p3 = std::vector<float>(GRIB_NPSEC3);
    std::vector<float> p4;
    Msg msg;
    gint kword = -1;
    std::string out;  // what the call printed

    explicit Codec(gint klenp = 19000, gint kleng = 8000) : p4(klenp), msg(kleng) {}

    // K1(n) etc: elements counted from 1
    gint &K0(int n) { return k0[n - 1]; }
    gint &K1(int n) { return k1[n - 1]; }
    gint &K2(int n) { return k2[n - 1]; }
    gint &K3(int n) { return k3[n - 1]; }
    gint &K4(int n) { return k4[n - 1]; }
    float &P3(int n) { return p3[n - 1]; }

    gint call(const std::string &op, gint kret = 1)
    {
        gint klenp = static_cast<gint>(p4.size()), kleng = static_cast<gint>(msg.w.size());
        out = captured([&] {
            fldcod(k0.data(), k1.data(), k2.data(), p2.data(), k3.data(), p3.data(), k4.data(),
                   p4.data(), &klenp, msg.w.data(), &kleng, &kword, op.data(), &kret,
                   static_cast<long>(op.size()));
        });
        return kret;
    }
    // The values of a field to be coded, and their number.
    void field(const std::vector<float> &v)
    {
        K4(1) = static_cast<gint>(v.size());
        std::copy(v.begin(), v.end(), p4.begin());
    }
    // A codec holding this one's message, or its first `words` words.
    Codec reader(gint klenp = 19000) const
    {
        Codec d(klenp, static_cast<gint>(msg.w.size()));
        d.msg = msg;
        return d;
    }
    Codec cut(size_t words) const
    {
        Codec d(19000, static_cast<gint>(words));
        std::copy(msg.w.begin(), msg.w.begin() + static_cast<long>(words), d.msg.w.begin());
        return d;
    }
    // This one's message decoded by `op` into a fresh codec.
    Codec decode(const std::string &op = "D", gint klenp = 19000) const
    {
        Codec d = reader(klenp);
        d.call(op);
        return d;
    }
};

// Section 1 that passes every check: table 1, centre 98, 500 hPa, 15 June
// 1995 12 UTC.
inline std::array<gint, GRIB_NKSEC1> valid_sec1()
{
    return {1, 98, 100, 2, 128, 11, 100, 500, 0, 95, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20, 0, 0, 0, 0};
}

// Section 1 of a 500 hPa temperature analysis of the NORVA centre.
inline void norva_sec1(Codec &c, gint flag = 128)
{
    gint v[25] = {128, 98, 1, 255, flag, 130, 100, 500, 0, 79, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20, 0, 0, 0, 0};
    std::copy(v, v + 25, c.k1.begin());
}

// Regular 2.5-degree latitude/longitude grid, north to south: KSEC2(1..22).
inline std::vector<gint> latlon_grid()
{
    std::vector<gint> k2 = {0, 144, 73, 90000, 0, 128, -90000, 357500, 2500, 2500, 0, 0};
    k2.resize(22);
    return k2;
}

inline void latlon_sec2(Codec &c)
{
    std::vector<gint> g = latlon_grid();
    std::copy(g.begin(), g.end(), c.k2.begin());
}

// A smooth field of n values.
inline std::vector<float> smooth_field(int n, float base = 250.0f, float amp = 40.0f)
{
    std::vector<float> f(n);
    for (int i = 0; i < n; i++)
        f[i] = base + amp * std::sin(i * 0.013f) * std::cos(i * 0.0007f);
    return f;
}

// Octets of a message written field by field.
struct Bytes {
    std::vector<unsigned char> b;
    Bytes &u(uint64_t v, int octets)
    {
        for (int i = octets - 1; i >= 0; i--)
            b.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    Bytes &s(const std::string &t)
    {
        b.insert(b.end(), t.begin(), t.end());
        return *this;
    }
    size_t size() const { return b.size(); }
    void put(size_t at, uint64_t v, int octets)
    {
        for (int i = octets - 1; i >= 0; i--)
            b[at + (octets - 1 - i)] = static_cast<unsigned char>(v >> (8 * i));
    }
};

}  // namespace gtu

#endif
