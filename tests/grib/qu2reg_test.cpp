#include <gridpick/grib.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using std::int32_t;
using V = std::vector<float>;

V expand(V field, std::vector<int32_t> points, int32_t klat, int32_t klon, int32_t kcode)
{
    field.resize(static_cast<std::size_t>(klat * klon));
    qu2reg(field.data(), points.data(), &klat, &klon, &kcode);
    return field;
}

TEST(Qu2reg, LinearRowWrapsRound)
{
    EXPECT_EQ(expand({0, 10, 20, 30}, {4}, 1, 8, 1), (V{0, 5, 10, 15, 20, 25, 30, 15}));
}

TEST(Qu2reg, LinearDataIsReproducedExactly)
{
    // values 2x + 2 at x = 0..3; outputs at quarter steps
    V out = expand({2, 4, 6, 8}, {4}, 1, 16, 1);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(out[static_cast<std::size_t>(i)], 2.0f + 0.5f * static_cast<float>(i)) << i;
    // the last interval runs from 8 back to 2
    EXPECT_EQ(out[13], 6.5f);
    EXPECT_EQ(out[14], 5.0f);
    EXPECT_EQ(out[15], 3.5f);
}

TEST(Qu2reg, CubicFollowsLinearDataAwayFromTheWrap)
{
    // interior intervals of linear data: slopes equal the rise, so the
    // cubic is the straight line
    V in(10);
    for (int i = 0; i < 10; ++i)
        in[static_cast<std::size_t>(i)] = 100.0f + 3.0f * static_cast<float>(i);
    V out = expand(in, {10}, 1, 40, 3);
    for (int i = 4; i < 32; ++i)
        EXPECT_NEAR(out[static_cast<std::size_t>(i)], 100.0f + 0.75f * static_cast<float>(i), 2e-5)
            << i;
}

TEST(Qu2reg, RowsOfMixedLengths)
{
    // row 2 is full length and passes bit for bit, NaN payload included
    float odd;
    const uint32_t bits = 0x7fc01234u;
    std::memcpy(&odd, &bits, sizeof odd);
    V in{0, 10, 20, 30, 1, odd, 3, 4, 5, 6, 7, 8, 9, 9};
    V out = expand(in, {4, 8, 2}, 3, 8, 1);
    EXPECT_EQ(V(out.begin(), out.begin() + 8), (V{0, 5, 10, 15, 20, 25, 30, 15}));
    EXPECT_EQ(std::memcmp(&out[9], &bits, sizeof bits), 0);
    EXPECT_EQ(out[8], 1.0f);
    EXPECT_EQ(out[15], 8.0f);
    EXPECT_EQ(V(out.begin() + 16, out.end()), V(8, 9.0f));
}

TEST(Qu2reg, ColumnsWithCodesAboveTen)
{
    // KLON 2 rows, each expanded to KLAT 4 points
    V out = expand({0, 2, 1, 2, 3, 4}, {2, 4}, 4, 2, 11);
    EXPECT_EQ(out, (V{0, 1, 2, 1, 1, 2, 3, 4}));
}

TEST(Qu2reg, CubicDoesNotOvershoot)
{
    V in{0, 0, 0, 10, 10, 10, 0, 0, 5, -5, 7, 7};
    const int32_t ki = 12, ko = 96;
    V out = expand(in, {ki}, 1, ko, 3);
    for (int32_t i = 0; i < ko; ++i) {
        const int32_t k = i * ki / ko; // interval from input k to k+1
        const float a = in[static_cast<std::size_t>(k)];
        const float b = in[static_cast<std::size_t>((k + 1) % ki)];
        const float v = out[static_cast<std::size_t>(i)];
        EXPECT_GE(v, std::min(a, b) - 1e-5f) << i;
        EXPECT_LE(v, std::max(a, b) + 1e-5f) << i;
        if (i % (ko / ki) == 0) {
            EXPECT_EQ(v, a) << i; // output points on input points
        }
    }
}

TEST(Qu2reg, CubicConstantRowAndFirstPoint)
{
    V out = expand(V(5, 273.15f), {5}, 1, 64, 3);
    for (float v : out)
        EXPECT_NEAR(v, 273.15f, 1e-4f);
    for (float v : expand({42}, {1}, 1, 7, 3))
        EXPECT_NEAR(v, 42.0f, 1e-4f);
    for (int32_t code : {1, 3}) {
        V r = expand({-3, 8, 1}, {3}, 1, 10, code);
        EXPECT_EQ(r[0], -3.0f);
    }
}

TEST(Scm0, LimitsSlopes)
{
    float pdl[4] = {-1, 5, 1, 2};
    float pdr[4] = {1, 7, -1, 3};
    float pfl[4] = {0, 0, 0, 4};
    float pfr[4] = {1, 1, -2, 4};
    int32_t n = 4;
    scm0(pdl, pdr, pfl, pfr, &n);
    EXPECT_EQ(pdl[0], 0.0f);
    EXPECT_EQ(pdr[0], 1.0f);
    EXPECT_EQ(pdl[1], 3.0f);
    EXPECT_EQ(pdr[1], 3.0f);
    EXPECT_EQ(pdl[2], 0.0f);
    EXPECT_EQ(pdr[2], -1.0f);
    EXPECT_EQ(pdl[3], 0.0f);
    EXPECT_EQ(pdr[3], 0.0f);
}

/* Runs f with standard output joined to standard error, for death tests. */
#define DIES_SAYING(stmt, text) EXPECT_DEATH(({ dup2(2, 1); stmt; }), text)

TEST(Qu2regDeathTest, Limits)
{
    V f(321 * 640);
    std::vector<int32_t> pts(640, 640);
    int32_t lat = 321, lon = 640, code = 1;
    DIES_SAYING(qu2reg(f.data(), pts.data(), &lat, &lon, &code),
                "^ QU2REG : Number of latitudes is  321, maximum allowed is 320\\.\n"
                " ABORTX : Routine QU2REG has requested program termination\\.\n");
    lat = 320;
    lon = 641;
    DIES_SAYING(qu2reg(f.data(), pts.data(), &lat, &lon, &code),
                "^ QU2REG : Number of longitudes is  641, maximum allowed is 640\\.\n"
                " ABORTX : Routine QU2REG has requested program termination\\.\n");
    lon = 640;
    code = 2;
    DIES_SAYING(qu2reg(f.data(), pts.data(), &lat, &lon, &code),
                "^ QU2REG : Invalid interpolation type code =   2\n"
                " ABORTX : Routine QU2REG has requested program termination\\.\n");
    // the largest grid is accepted
    code = 1;
    qu2reg(f.data(), pts.data(), &lat, &lon, &code);
}

TEST(Qu2regDeathTest, RowsThatDoNotFit)
{
    V f(16);
    std::vector<int32_t> pts{4, 5, 0, 3};
    int32_t lat = 4, lon = 4, code = 1;
    DIES_SAYING(qu2reg(f.data(), pts.data(), &lat, &lon, &code),
                "^ QU2REG : Row    2 has      5 points, regular length is    4\\.\n"
                " ABORTX : Routine QU2REG has requested program termination\\.\n");
    pts[1] = 4;
    DIES_SAYING(qu2reg(f.data(), pts.data(), &lat, &lon, &code),
                "^ QU2REG : Row    3 has      0 points, regular length is    4\\.\n"
                " ABORTX : Routine QU2REG has requested program termination\\.\n");
}

TEST(RowinaDeathTest, BadArguments)
{
    V p(8), w(3 * 11);
    int32_t ko = 8, ki = 4, code = 5;
    DIES_SAYING(rowina(p.data(), &ko, &ki, w.data(), &code),
                "^ ROWINA : Invalid interpolation code =    5\n"
                " ABORTX : Routine ROWINA has requested program termination\\.\n");
    code = 1;
    ki = 9;
    DIES_SAYING(rowina(p.data(), &ko, &ki, w.data(), &code),
                "^ ROWINA : Invalid number of input points =      9, output points =      8\n"
                " ABORTX : Routine ROWINA");
}

} // namespace
