// fldcod driving the checks, bit maps and quasi-regular expansion.
#include "grib.h"
#include "grib_state.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using std::int32_t;

constexpr float MISS = -999.0f;

struct Sections {
    std::array<int32_t, GRIB_NKSEC0> k0{};
    std::array<int32_t, GRIB_NKSEC1> k1{1, 98, 100, 255, 192, 11, 100, 500, 0, 95, 6, 15, 12,
                                        0, 1, 0, 0, 0, 0, 0, 20, 0, 0, 0, 0};
    std::array<int32_t, GRIB_NKSEC2> k2{};
    std::array<float, GRIB_NPSEC2> p2{};
    std::array<int32_t, GRIB_NKSEC3> k3{};
    std::array<float, GRIB_NPSEC3> p3{0.0f, MISS};
    std::array<int32_t, GRIB_NKSEC4> k4{};
    std::vector<float> p4 = std::vector<float>(4096);
    std::vector<int32_t> msg = std::vector<int32_t>(2048);
    int32_t klenp = 4096, kleng = 2048, kword = 0;

    int32_t call(const char *op, int32_t kret, std::string *out = nullptr)
    {
        testing::internal::CaptureStdout();
        fldcod(k0.data(), k1.data(), k2.data(), p2.data(), k3.data(), p3.data(), k4.data(),
               p4.data(), &klenp, msg.data(), &kleng, &kword, op, &kret, 1L);
        std::string s = testing::internal::GetCapturedStdout();
        if (out)
            *out = s;
        return kret;
    }
};

class CodecExtra : public testing::Test {
protected:
    void SetUp() override { grib_state_reset(); }
};

/* A 4 x 3 latitude/longitude grid with two missing points. */
Sections latlon_with_gaps()
{
    Sections s;
    const int32_t g[] = {0, 4, 3, 60000, 0, 128, -60000, 180000, 60000, 60000, 0, 0};
    std::copy(std::begin(g), std::end(g), s.k2.begin());
    const float v[] = {1.5f, 2.0f, MISS, 4.0f, 5.0f, 6.0f, 7.0f, MISS, 9.0f, 10.0f, 11.0f, 12.5f};
    std::copy(std::begin(v), std::end(v), s.p4.begin());
    s.k4[0] = 12;
    s.k4[1] = 16;
    return s;
}

TEST_F(CodecExtra, BitMapFieldRoundTrip)
{
    Sections s = latlon_with_gaps();
    const std::vector<float> field(s.p4.begin(), s.p4.begin() + 12);
    std::string out;
    ASSERT_EQ(s.call("C", 1, &out), 0) << out;
    EXPECT_EQ(out, "");

    Sections d;
    d.msg = s.msg;
    d.p3 = {0.0f, MISS};
    int32_t kret = d.call("D", 1, &out);
    EXPECT_EQ(kret, -4) << out;
    EXPECT_EQ(d.k1[4], 192);
    EXPECT_EQ(d.k4[0], 12);
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == MISS)
            EXPECT_EQ(d.p4[i], MISS) << i;
        else
            EXPECT_NEAR(d.p4[i], field[i], 1e-3) << i;
    }
}

TEST_F(CodecExtra, ChecksStopCoding)
{
    Sections s = latlon_with_gaps();
    s.k1[10] = 13;
    std::string out;
    EXPECT_EQ(s.call("C", 1, &out), 499);
    EXPECT_EQ(out, " GRCHK1 : Invalid month -    13\n"
                   " FLDCOD : Error found when checking values for Section 1 against valid GRIB"
                   " values. Return code = 499\n");

    s = latlon_with_gaps();
    s.k2[5] = 64;
    EXPECT_EQ(s.call("C", 1, &out), 599);
    EXPECT_EQ(out, " GRCHK2 : Invalid increments flag -  64\n"
                   " FLDCOD : Error found when checking values for Section 2 against valid GRIB"
                   " values. Return code = 599\n");

    s = latlon_with_gaps();
    s.k3[0] = 3;
    EXPECT_EQ(s.call("C", 1, &out), 699);
    EXPECT_EQ(out, " GRCHK3 : NORVA usage is to include bit-map.\n"
                   " FLDCOD : Error found when checking values for Section 3 against valid GRIB"
                   " values. Return code = 699\n");

    s = latlon_with_gaps();
    s.k4[1] = 0;
    EXPECT_EQ(s.call("C", 1, &out), 799);
    EXPECT_EQ(out, " GRCHK4 : Invalid number of bits for packed data values -   0\n"
                   " FLDCOD : Error found when checking values for Section 4 against valid GRIB"
                   " values. Return code = 799\n");

    // with the checks off the faulty month is coded as given
    s = latlon_with_gaps();
    s.k1[10] = 13;
    int32_t off = 0;
    grsvck(&off);
    EXPECT_EQ(s.call("C", 1, &out), 0) << out;
}

TEST_F(CodecExtra, QuasiRegularGaussianExpandsOnR)
{
    // N = 2: 4 rows of 4, 8, 8, 4 points to a regular 4 x 8 grid
    Sections s;
    s.k1[3] = 255;
    s.k1[4] = 128;
    const int32_t g[] = {4, 65535, 4, 60000, 0, 0, -60000, 315000, 0, 2, 0, 0};
    std::copy(std::begin(g), std::end(g), s.k2.begin());
    s.k2[16] = 1;
    const int32_t rows[] = {4, 8, 8, 4};
    std::copy(std::begin(rows), std::end(rows), s.k2.begin() + 22);
    std::vector<float> v;
    for (int32_t r : rows)
        for (int32_t i = 0; i < r; ++i)
            v.push_back(static_cast<float>(8 / r * i * 10));
    std::copy(v.begin(), v.end(), s.p4.begin());
    s.k4[0] = static_cast<int32_t>(v.size());
    s.k4[1] = 12;
    std::string out;
    ASSERT_EQ(s.call("C", 1, &out), 0) << out;

    Sections d;
    d.msg = s.msg;
    ASSERT_EQ(d.call("R", 1, &out), 0) << out;
    EXPECT_EQ(d.k4[0], 32);
    EXPECT_EQ(d.k2[1], 8);
    EXPECT_EQ(d.k2[16], 0);
    const float row4[] = {0, 10, 20, 30, 40, 50, 60, 70};
    // rows 1 and 4: 0, 20, 40, 60 expanded linearly with the wrap back to 0
    const float wrap[] = {0, 10, 20, 30, 40, 50, 60, 30};
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(d.p4[static_cast<std::size_t>(i)], wrap[i], 0.05) << i;
        EXPECT_NEAR(d.p4[static_cast<std::size_t>(8 + i)], row4[i], 0.05) << i;
        EXPECT_NEAR(d.p4[static_cast<std::size_t>(24 + i)], wrap[i], 0.05) << i;
    }
}

} // namespace
