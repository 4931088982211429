// A codec call with section arrays of the sizes that keep decoding safe,
// plus a writer for hand-built messages.
#ifndef GRIB_CODEC_HARNESS_H
#define GRIB_CODEC_HARNESS_H

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "grib_test_util.h"

namespace gtu {

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

    // k1(n) etc: elements counted from 1
    gint &K0(int n) { return k0[n - 1]; }
    gint &K1(int n) { return k1[n - 1]; }
    gint &K2(int n) { return k2[n - 1]; }
    gint &K3(int n) { return k3[n - 1]; }
    gint &K4(int n) { return k4[n - 1]; }
    float &P3(int n) { return p3[n - 1]; }

    gint call(const std::string &op, gint kret = 1)
    {
        gint klenp = static_cast<gint>(p4.size()), kleng = static_cast<gint>(msg.w.size());
        start_capture();
        fldcod(k0.data(), k1.data(), k2.data(), p2.data(), k3.data(), p3.data(), k4.data(),
               p4.data(), &klenp, msg.w.data(), &kleng, &kword, op.data(), &kret,
               static_cast<long>(op.size()));
        out = end_capture();
        return kret;
    }
};

// Section 1 of a 500 hPa temperature analysis of the NORVA centre.
inline void norva_sec1(Codec &c, gint flag = 128)
{
    gint v[25] = {128, 98, 1, 255, flag, 130, 100, 500, 0, 79, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20, 0, 0, 0, 0};
    std::copy(v, v + 25, c.k1.begin());
}

// Regular 2.5-degree latitude/longitude grid, north to south.
inline void latlon_sec2(Codec &c)
{
    gint v[22] = {0, 144, 73, 90000, 0, 128, -90000, 357500, 2500, 2500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::copy(v, v + 22, c.k2.begin());
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
