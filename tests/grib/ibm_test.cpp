// IBM reals, scaling, ranges, settings and termination.
#include "grib_harness.h"

#include <unistd.h>

#include <cmath>
#include <csignal>
#include <utility>

namespace {

float dec(gint e, gint m)
{
    float r = 99.0f;
    decfp2(&r, &e, &m);
    return r;
}

struct Ibm {
    gint e, m;
};

Ibm enc(float v, gint mode)
{
    Ibm r{-1, -1};
    gint bits = 32;
    confp3(&v, &r.e, &r.m, &bits, &mode);
    return r;
}

TEST(GribIbm, DecodesKnownNumbers)
{
    EXPECT_EQ(dec(65, 1048576), 1.0f);
    EXPECT_EQ(dec(193, 1048576), -1.0f);
    float z = dec(128, 0);
    EXPECT_EQ(z, 0.0f);
    EXPECT_FALSE(std::signbit(z));
    EXPECT_EQ(dec(66, 0x640000), 100.0f);  // 0.390625 * 256
    EXPECT_EQ(dec(0x7F, 0xFFFFFF), INFINITY);
}

TEST(GribIbm, EncodesKnownNumbers)
{
    Ibm one = enc(1.0f, 1);
    EXPECT_EQ(one.e, 65);
    EXPECT_EQ(one.m, 1048576);
    Ibm neg = enc(-1.0f, 1);
    EXPECT_EQ(neg.e, 193);
    EXPECT_EQ(neg.m, 1048576);
    Ibm zero = enc(0.0f, 0);
    EXPECT_EQ(zero.e, 0);
    EXPECT_EQ(zero.m, 0);
}

TEST(GribIbm, RoundingModes)
{
    for (float v : {0.1f, 3.14159f, 1234.567f, 1.0e-20f, 7.7e20f, -0.1f, -2.71828f, -98765.4f}) {
        Ibm down = enc(v, 0);
        float d = dec(down.e, down.m);
        EXPECT_LE(d, v) << v;
        Ibm near = enc(v, 1);
        float n = dec(near.e, near.m);
        EXPECT_LE(std::fabs(n - v), std::fabs(d - v)) << v;
        EXPECT_NEAR(n, v, std::fabs(v) * 1.0e-6f) << v;
    }
}

TEST(GribIbm, ValuesNearPowersOfSixteenAreExact)
{
    for (float p : {1.0f / 16, 1.0f, 16.0f, 4096.0f}) {
        for (float v : {std::nextafter(p, 0.0f), p, std::nextafter(p, 1.0e9f)}) {
            for (float s : {v, -v}) {
                Ibm r{};
                EXPECT_EQ(gtu::captured([&] { r = enc(s, 1); }), "");
                EXPECT_NEAR(dec(r.e, r.m), s, std::fabs(s) * 1.0e-6f);
                EXPECT_LE(r.m, 16777215);
            }
        }
    }
}

TEST(GribIbm, PrintingMode)
{
    Ibm r{};
    EXPECT_EQ(gtu::captured([&] { r = enc(1.0f, 11); }),
              " CONFP3 : Conversion type parameter =   11\n"
              " CONFP3 : Original number =         1.00000000000000000000\n"
              " CONFP3 : Converted to              1.00000000000000000000\n"
              " CONFP3 : Sign =   0, Exponent =  65, Mantissa =      1048576\n");
    EXPECT_EQ(r.e, 65);
}

TEST(GribIbmDeathTest, InvalidRoundingAborts)
{
    // standard output is sent to standard error, where the death test looks
    EXPECT_DEATH(
        {
            dup2(2, 1);
            enc(1.0f, 2);
        },
        "^ CONFP3 : Invalid conversion type parameter =    2\n"
        " ABORTX : Routine CONFP3 has requested program termination\\.\n$");
}

TEST(GribIbm, Scaling)
{
    float v[3] = {11.25f, 10.0f, 9.75f};
    gint n = 3;
    float ref = 10.0f, scale = 0.5f;
    gint *k = reinterpret_cast<gint *>(v);  // in place, as the codec does
    inscal(v, k, &n, &ref, &scale);
    gint ks[3];
    std::memcpy(ks, v, sizeof ks);
    EXPECT_EQ(ks[0], 3);
    EXPECT_EQ(ks[1], 0);
    EXPECT_EQ(ks[2], -1);  // -0.5 rounds away from zero

    gint seven[1] = {7};
    float out[1];
    ref = -5.0f;
    scale = 2.0f;
    n = 1;
    exscal(out, seven, &n, &ref, &scale);
    EXPECT_EQ(out[0], 9.0f);
}

TEST(GribIbm, RealsAndIntegers)
{
    float v[4] = {2.5f, -2.5f, 1.4f, -1.6f};
    gint n = 4;
    rorint(v, reinterpret_cast<gint *>(v), &n, "I", 1);
    gint k[4];
    std::memcpy(k, v, sizeof k);
    EXPECT_EQ(std::vector<gint>(k, k + 4), (std::vector<gint>{3, -3, 1, -2}));
    rorint(v, reinterpret_cast<gint *>(v), &n, "R", 1);
    EXPECT_EQ(v[1], -3.0f);
}

TEST(GribIbm, Ranges)
{
    float a[5] = {3, -9999, 7, -1, -9999};
    gint n = 5;
    float hi = 0, lo = 0, miss = -9999;
    maxmin(a, &n, &hi, &lo);
    EXPECT_EQ(hi, 7);
    EXPECT_EQ(lo, -9999);
    maxmn2(a, &n, &miss, &hi, &lo);
    EXPECT_EQ(hi, 7);
    EXPECT_EQ(lo, -1);
    float all[2] = {-9999, -9999};
    n = 2;
    hi = 42;
    lo = 41;
    maxmn2(all, &n, &miss, &hi, &lo);
    EXPECT_EQ(hi, 42);
    EXPECT_EQ(lo, 41);
    n = 0;
    maxmin(all, &n, &hi, &lo);  // nothing is read
    EXPECT_EQ(hi, 42);
}

TEST(GribSettings, DefaultsThenSwitches)
{
    grib_state_reset();
    float p = 2.5f;
    grsref(&p);
    gint k = 5;
    grsdbg(&k);
    const grbcom_t &g = grib_state.grbcom;
    EXPECT_EQ(g.FREF, 2.5f);
    EXPECT_EQ(g.NFREF, 1);
    EXPECT_EQ(g.NDBG, 1);
    EXPECT_EQ(g.NRND, 1);
    EXPECT_EQ(g.NVCK, 1);
    EXPECT_EQ(g.NINIT, 11041967);
    k = 0;
    grsvck(&k);
    grsrnd(&k);
    EXPECT_EQ(g.NVCK, 0);
    EXPECT_EQ(g.NRND, 0);
    grib_state_reset();
}

TEST(GribSettings, Setpar)
{
    for (auto [kpr, text] : {std::pair<gint, const char *>{0, ""},
                             {1, " SETPAR : Section 1.\n"
                                 " SETPAR : Section 9.\n"
                                 "          Output values set -\n"
                                 "           KBIT =  32\n"
                                 "           KNEG =            -2147483647\n"}}) {
        gint kbit = 0, kneg = 0;
        EXPECT_EQ(gtu::captured([&] { setpar(&kbit, &kneg, &kpr); }), text);
        EXPECT_EQ(kbit, 32);
        EXPECT_EQ(kneg, -2147483647);
    }
}

TEST(GribSettingsDeathTest, AbortxPrintsAndAborts)
{
    EXPECT_EXIT(
        {
            dup2(2, 1);
            abortx("FLDCOD", 6);
        },
        testing::KilledBySignal(SIGABRT),
        "^ ABORTX : Routine FLDCOD has requested program termination\\.\n$");
}

}  // namespace

namespace {

TEST(GribIbm, NegativeValuesRoundDownInSinglePrecision)
{
    // q = 8388610 (an even integer above 2^23): q + 0.5 rounds to q in single
    // precision, so the number is kept exactly
    float v = -(8.0f + std::ldexp(1.0f, -19));
    Ibm r{};
    EXPECT_EQ(gtu::captured([&] { r = enc(v, 0); }), "");
    EXPECT_EQ(r.e, 128 + 65);
    EXPECT_EQ(r.m, 8388610);
    EXPECT_EQ(dec(r.e, r.m), v);
    // odd q: the tie goes up, one step away from zero
    float w = -(8.0f + 3 * std::ldexp(1.0f, -20));
    r = enc(w, 0);
    EXPECT_EQ(r.m, 8388612);
    EXPECT_LE(dec(r.e, r.m), w);
    // just below 16 the exponent comes out as that of 16 (the logarithm is
    // rounded), q = 1048575.9375, and q + 0.5 rounds to 1048576.5
    float x = -std::nextafter(16.0f, 0.0f);
    EXPECT_EQ(gtu::captured([&] { r = enc(x, 0); }), "");
    EXPECT_EQ(r.e, 128 + 66);
    EXPECT_EQ(r.m, 1048577);
    EXPECT_LT(dec(r.e, r.m), x);
}

TEST(GribIbm, ZeroMantissaIsZeroAtAnyExponent)
{
    EXPECT_EQ(dec(127, 0), 0.0f);
    EXPECT_EQ(dec(255, 0), 0.0f);
    EXPECT_TRUE(std::signbit(dec(255, 0)));
    EXPECT_EQ(dec(1, 0), 0.0f);
}

}  // namespace
