// Bit-field access: extraction, insertion, octet swaps and the bounds gate.
#include "grib_harness.h"
#include "grib_bits.h"

#include <tuple>

namespace {

gint get(gtu::Msg &m, gint off, gint nbits)
{
    gint v = -1;
    gbyte(m.w.data(), &v, &off, &nbits);
    return v;
}

TEST(GribBits, ExtractsOctetsInFileOrder)
{
    auto m = gtu::Msg::from_octets({'G', 'R', 'I', 'B'});
    gint out[4], off = 0, nb = 8, skip = 0, n = 4;
    gbytes(m.w.data(), out, &off, &nb, &skip, &n);
    EXPECT_EQ(out[0], 71);
    EXPECT_EQ(out[1], 82);
    EXPECT_EQ(out[2], 73);
    EXPECT_EQ(out[3], 66);
}

TEST(GribBits, FieldsStraddlingWords)
{
    auto m = gtu::Msg::from_octets({0, 0, 0, 0, 0xAA, 0x11, 0x22, 0x33, 0x44, 0x55, 0, 0});
    EXPECT_EQ(get(m, 48, 24), 0x223344);  // octets 6..8 across words 2 and 3
    EXPECT_EQ(get(m, 40, 24), 0x112233);  // ends exactly at the end of word 2
    EXPECT_EQ(get(m, 36, 12), 0xA11);
    EXPECT_EQ(get(m, 44, 32), 0x1223344 << 4 | 0x5);
}

TEST(GribBits, ThirtyTwoBitsKeepTheTopBit)
{
    auto m = gtu::Msg::from_octets({0xFF, 0x00, 0x00, 0x01});
    EXPECT_EQ(get(m, 0, 32), static_cast<gint>(0xFF000001u));
}

TEST(GribBits, InsertKeepsNeighbours)
{
    auto m = gtu::Msg::from_octets({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    gint v = 300, off = 8, nb = 8;
    sbyte(m.w.data(), &v, &off, &nb);
    EXPECT_EQ(m.octets(8), (std::vector<unsigned char>{0xFF, 44, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    v = 0;
    off = 28;
    nb = 8;  // straddles: low 4 bits of word 1, top 4 of word 2
    sbyte(m.w.data(), &v, &off, &nb);
    EXPECT_EQ(m.octets(8), (std::vector<unsigned char>{0xFF, 44, 0xFF, 0xF0, 0x0F, 0xFF, 0xFF, 0xFF}));
}

TEST(GribBits, RunsOfEveryWidthRoundTrip)
{
    for (gint nb = 0; nb <= 32; nb++) {
        for (gint off : {0, 3, 8, 13, 40}) {
            gtu::Msg m(64);
            std::vector<gint> in(37), out(37, -7);
            for (size_t i = 0; i < in.size(); i++) {
                uint32_t v = static_cast<uint32_t>(i * 2654435761u);
                in[i] = nb == 32 ? static_cast<gint>(v) : static_cast<gint>(v & ((1u << nb) - 1));
            }
            gint skip = 0, n = static_cast<gint>(in.size());
            sbytes(m.w.data(), in.data(), &off, &nb, &skip, &n);
            gbytes(m.w.data(), out.data(), &off, &nb, &skip, &n);
            ASSERT_EQ(in, out) << "width " << nb << " offset " << off;
            // with a gap between the fields the generic loop is used
            gtu::Msg m2(256);
            skip = 5;
            sbytes(m2.w.data(), in.data(), &off, &nb, &skip, &n);
            std::fill(out.begin(), out.end(), -7);
            gbytes(m2.w.data(), out.data(), &off, &nb, &skip, &n);
            ASSERT_EQ(in, out) << "width " << nb << " gap 5";
        }
    }
}

// Aligned 16-bit runs around the vector width: ref + v * scale, v from two octets.
TEST(GribBits, ScaledSixteenBitRunsFollowTheOctets)
{
    for (auto [n, ref, scale] : {std::tuple{7, -3.5f, 0.125f}, {8, 1e5f, 3.1e-3f},
                                 {17, 287.25f, 0.00390625f}, {33, -40.1f, 7.7e-4f}}) {
        std::vector<unsigned char> oct(2 * n + 1);
        for (size_t i = 0; i < oct.size(); i++)
            oct[i] = static_cast<unsigned char>(i * 151 + 17);
        std::vector<float> out(n + 1, -1.0f);
        grib_unpack_scaled(oct.data(), 8, 16, n, ref, scale, out.data());
        for (int i = 0; i < n; i++)
            ASSERT_EQ(out[i], ref + float(oct[1 + 2 * i] * 256u + oct[2 + 2 * i]) * scale)
                << n << ":" << i;
        EXPECT_EQ(out[n], -1.0f) << "past the run";
    }
}

TEST(GribBits, Swaps)
{
    unsigned char b[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    gint n = 8;
    swap4(b, b, &n);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 9), (std::vector<unsigned char>{4, 3, 2, 1, 8, 7, 6, 5, 9}));
    unsigned char c[5] = {1, 2, 3, 4, 5}, d[5] = {0, 0, 0, 0, 0};
    n = 5;
    swap2(c, d, &n);
    EXPECT_EQ(std::vector<unsigned char>(d, d + 5), (std::vector<unsigned char>{2, 1, 4, 3, 5}));
}

TEST(GribBits, InxbitAdvancesAndChecksBounds)
{
    auto m = gtu::Msg::from_octets({0, 1, 2, 3, 4, 5, 6, 7});
    gint kleng = 2, knspt = 8, v[3], num = 3, kbit = 32, blen = 8, kret = -1;
    inxbit(m.w.data(), &kleng, &knspt, v, &num, &kbit, &blen, "D", &kret, 1);
    EXPECT_EQ(kret, 0);
    EXPECT_EQ(knspt, 32);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[2], 3);

    gint ins[3] = {9, 9, 9};
    knspt = 48;
    EXPECT_EQ(gtu::captured([&] {
                  inxbit(m.w.data(), &kleng, &knspt, ins, &num, &kbit, &blen, "C", &kret, 1);
              }),
              " INXBIT : Word        2 is outside array bounds        2\n");
    EXPECT_EQ(kret, 1);
    EXPECT_EQ(knspt, 72);
    EXPECT_EQ(m.octets(8), (std::vector<unsigned char>{0, 1, 2, 3, 4, 5, 6, 7}));

    knspt = 40;  // ends exactly at the last bit of word 2
    num = 3;
    inxbit(m.w.data(), &kleng, &knspt, ins, &num, &kbit, &blen, "C", &kret, 1);
    EXPECT_EQ(kret, 0);
    EXPECT_EQ(m.octets(8), (std::vector<unsigned char>{0, 1, 2, 3, 4, 9, 9, 9}));
}

TEST(GribBits, InxbitRefusesWidthsAboveThirtyTwo)
{
    gtu::Msg m(8);
    gint kleng = 8, knspt = 0, v[2], num = 2, kbit = 32, blen = 33, kret = 0;
    gtu::captured([&] { inxbit(m.w.data(), &kleng, &knspt, v, &num, &kbit, &blen, "D", &kret, 1); });
    EXPECT_EQ(kret, 1);
}

}  // namespace
