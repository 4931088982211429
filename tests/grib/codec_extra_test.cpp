// fldcod driving the checks, bit maps and quasi-regular expansion.
#include "grib_harness.h"

#include <cmath>

namespace {

using gtu::Codec;

constexpr float MISS = -999.0f;

class CodecExtra : public testing::Test {
protected:
    void SetUp() override { grib_state_reset(); }
};

/* A 4 x 3 latitude/longitude grid with two missing points under a bit map. */
Codec latlon_with_gaps()
{
    Codec s(4096, 2048);
    const gint k1[] = {1, 98, 100, 255, 192, 11, 100, 500, 0, 95, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20};
    std::copy(std::begin(k1), std::end(k1), s.k1.begin());
    const gint g[] = {0, 4, 3, 60000, 0, 128, -60000, 180000, 60000, 60000, 0, 0};
    std::copy(std::begin(g), std::end(g), s.k2.begin());
    s.P3(2) = MISS;
    s.field({1.5f, 2.0f, MISS, 4.0f, 5.0f, 6.0f, 7.0f, MISS, 9.0f, 10.0f, 11.0f, 12.5f});
    s.K4(2) = 16;
    return s;
}

TEST_F(CodecExtra, BitMapFieldRoundTrip)
{
    Codec s = latlon_with_gaps();
    const std::vector<float> field(s.p4.begin(), s.p4.begin() + 12);
    ASSERT_EQ(s.call("C"), 0) << s.out;
    EXPECT_EQ(s.out, "");

    Codec d = s.reader(4096);
    d.P3(2) = MISS;
    EXPECT_EQ(d.call("D"), -4) << d.out;
    EXPECT_EQ(d.K1(5), 192);
    EXPECT_EQ(d.K4(1), 12);
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == MISS)
            EXPECT_EQ(d.p4[i], MISS) << i;
        else
            EXPECT_NEAR(d.p4[i], field[i], 1e-3) << i;
    }
}

// Each failed check stops coding with its section's code; with the checks
// off the faulty month is coded as given.
TEST_F(CodecExtra, ChecksStopCoding)
{
    struct {
        gint *(*at)(Codec &);
        gint value;
        gint kret;
        const char *out;
    } cases[] = {
        {[](Codec &c) { return &c.K1(11); }, 13, 499,
         " GRCHK1 : Invalid month -    13\n"
         " FLDCOD : Error found when checking values for Section 1 against valid GRIB values. "
         "Return code = 499\n"},
        {[](Codec &c) { return &c.K2(6); }, 64, 599,
         " GRCHK2 : Invalid increments flag -  64\n"
         " FLDCOD : Error found when checking values for Section 2 against valid GRIB values. "
         "Return code = 599\n"},
        {[](Codec &c) { return &c.K2(11); }, 1, 599,
         " GRCHK2 : Invalid scanning mode flag -   1\n"
         " FLDCOD : Error found when checking values for Section 2 against valid GRIB values. "
         "Return code = 599\n"},
        {[](Codec &c) { return &c.K3(1); }, 3, 699,
         " GRCHK3 : NORVA usage is to include bit-map.\n"
         " FLDCOD : Error found when checking values for Section 3 against valid GRIB values. "
         "Return code = 699\n"},
        {[](Codec &c) { return &c.K4(2); }, 0, 799,
         " GRCHK4 : Invalid number of bits for packed data values -   0\n"
         " FLDCOD : Error found when checking values for Section 4 against valid GRIB values. "
         "Return code = 799\n"},
    };
    for (const auto &k : cases) {
        Codec s = latlon_with_gaps();
        *k.at(s) = k.value;
        EXPECT_EQ(s.call("C"), k.kret);
        EXPECT_EQ(s.out, k.out);
    }
    Codec s = latlon_with_gaps();
    s.K1(11) = 13;
    gint off = 0;
    grsvck(&off);
    EXPECT_EQ(s.call("C"), 0) << s.out;
}

TEST_F(CodecExtra, QuasiRegularGaussianExpandsOnR)
{
    // N = 2: 4 rows of 4, 8, 8, 4 points to a regular 4 x 8 grid
    Codec s = latlon_with_gaps();
    s.K1(4) = 255;
    s.K1(5) = 128;
    const gint g[] = {4, 65535, 4, 60000, 0, 0, -60000, 315000, 0, 2, 0, 0};
    std::copy(std::begin(g), std::end(g), s.k2.begin());
    s.K2(17) = 1;
    const gint rows[] = {4, 8, 8, 4};
    std::copy(std::begin(rows), std::end(rows), s.k2.begin() + 22);
    std::vector<float> v;
    for (gint r : rows)
        for (gint i = 0; i < r; ++i)
            v.push_back(static_cast<float>(8 / r * i * 10));
    s.field(v);
    s.K4(2) = 12;
    ASSERT_EQ(s.call("C"), 0) << s.out;

    Codec d = s.reader(4096);
    ASSERT_EQ(d.call("R"), 0) << d.out;
    EXPECT_EQ(d.K4(1), 32);
    EXPECT_EQ(d.K2(2), 8);
    EXPECT_EQ(d.K2(17), 0);
    const float row4[] = {0, 10, 20, 30, 40, 50, 60, 70};
    // rows 1 and 4: 0, 20, 40, 60 expanded linearly with the wrap back to 0
    const float wrap[] = {0, 10, 20, 30, 40, 50, 60, 30};
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(d.p4[static_cast<std::size_t>(i)], wrap[i], 0.05) << i;
        EXPECT_NEAR(d.p4[static_cast<std::size_t>(8 + i)], row4[i], 0.05) << i;
        EXPECT_NEAR(d.p4[static_cast<std::size_t>(24 + i)], wrap[i], 0.05) << i;
    }
}

}  // namespace
