/*
 * fuzz_fldcod.cpp -- feeds arbitrary octets to fldcod as a message and
 * decodes it with KRET 1 (failures return) by every decoding operation,
 * and measures it ("L").  The message array is exactly as long as the
 * input, so any read beyond it is caught.
 */
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <gridpick/grib.h>
#include "grib_sections.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    /* the codec reports on standard output; keep the run quiet */
    if (!std::freopen("/dev/null", "w", stdout))
        return 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 32000)
        return 0;
    std::vector<gint> kgrib((size + 3) / 4);
    if (size)
        std::memcpy(kgrib.data(), data, size);
    std::vector<gint> k0(GRIB_NKSEC0), k1(GRIB_NKSEC1), k2(GRIB_NKSEC2), k3(GRIB_NKSEC3),
        k4(GRIB_NKSEC4);
    std::vector<float> p2(GRIB_NPSEC2), p3(GRIB_NPSEC3), p4(size % 7 == 0 ? 100 : 19000);
    gint klenp = static_cast<gint>(p4.size()), kleng = static_cast<gint>(kgrib.size());
    gint kword = 0;
    gint debug = size % 13 == 0 ? 1 : 0;  /* now and then with the listings */
    grsdbg(&debug);
    /* "R" cannot reach qu2reg's fatal limits: PSEC4 holds at most 19000 */
    for (const char *op : {"D", "L", "X", "I", "R", "Z", "S"}) {
        gint kret = 1;
        if (op[0] == 'X') {
            /* up to four points chosen by the first octets */
            grib::Sec<gint> x{k4.data()};
            x(GRIB_K4_X_COUNT) = size ? data[0] % 6 : 1;
            for (size_t j = 1; j <= 8; j++)
                x(GRIB_K4_X_POINTS - 1 + j) = size > j ? data[j] : 1;
        }
        fldcod(k0.data(), k1.data(), k2.data(), p2.data(), k3.data(), p3.data(), k4.data(),
               p4.data(), &klenp, kgrib.data(), &kleng, &kword, op, &kret, 1L);
    }
    return 0;
}
