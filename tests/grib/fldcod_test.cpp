// fldcod: coding and decoding round trips, the message frame, the
// operations and the return codes with their lines.
#include "codec_harness.h"

#include <unistd.h>

#include <csignal>

namespace {

using gtu::Codec;

class Fldcod : public testing::Test {
protected:
    void SetUp() override { grib_state_reset(); }
    void TearDown() override { grib_state_reset(); }
};

// Codes a 144 x 73 field of `bits` bits; returns the coder.
Codec code_latlon(const std::vector<float> &field, gint bits = 16)
{
    Codec c;
    gtu::norva_sec1(c);
    gtu::latlon_sec2(c);
    c.K4(1) = static_cast<gint>(field.size());
    c.K4(2) = bits;
    std::copy(field.begin(), field.end(), c.p4.begin());
    EXPECT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.out, "");
    return c;
}

Codec decode(Codec &coded, const std::string &op = "D", gint klenp = 19000)
{
    Codec d(klenp, static_cast<gint>(coded.msg.w.size()));
    d.msg = coded.msg;
    d.call(op);
    return d;
}

float packing_step(Codec &d)
{
    const unsigned char *o = d.msg.oct();
    size_t s4 = 8 + 28 + 32;  // sections 0, 1, 2 of these messages
    gint raw = o[s4 + 4] << 8 | o[s4 + 5];
    gint e = raw >= 32768 ? -(raw - 32768) : raw;
    return std::ldexp(1.0f, e);
}

TEST_F(Fldcod, LatLonFieldRoundTripsWithinHalfAPackingStep)
{
    auto field = gtu::smooth_field(144 * 73);
    Codec c = code_latlon(field);
    const unsigned char *o = c.msg.oct();
    EXPECT_EQ(std::string(o, o + 4), "GRIB");
    gint len = o[4] << 16 | o[5] << 8 | o[6];
    EXPECT_EQ(len, c.K0(1));
    EXPECT_EQ(len, 8 + 28 + 32 + 12 + 2 * 144 * 73 + 4);  // 16 bits, even already
    EXPECT_EQ(o[7], 1);
    EXPECT_EQ(std::string(o + len - 4, o + len), "7777");
    // section 2: octets 18-20 hold La2 = -90000 in sign and magnitude, octet 5 = 255
    EXPECT_EQ(o[36 + 4], 255);
    EXPECT_EQ(o[36 + 17] << 16 | o[36 + 18] << 8 | o[36 + 19], 0x815F90);
    // KWORD rounded up to 120 octets
    EXPECT_EQ(c.kword * 4 % 120, 0);
    EXPECT_EQ(c.kword, (len + 119) / 120 * 120 / 4);

    Codec d = decode(c);
    EXPECT_EQ(d.out, "");
    EXPECT_EQ(d.K0(1), len);
    EXPECT_EQ(d.K0(2), 1);
    EXPECT_EQ(d.K4(1), 144 * 73);
    EXPECT_EQ(d.K4(2), 16);
    EXPECT_EQ(std::vector<gint>(d.k1.begin(), d.k1.end()), std::vector<gint>(c.k1.begin(), c.k1.end()));
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})
        EXPECT_EQ(d.K2(n), c.K2(n)) << n;
    float half = packing_step(d) / 2;
    for (size_t i = 0; i < field.size(); i++)
        ASSERT_LE(std::fabs(d.p4[i] - field[i]), half * 1.0001f) << i;
}

TEST_F(Fldcod, EveryWidthRoundTrips)
{
    for (gint bits = 1; bits <= 32; bits++) {
        grib_state_reset();
        auto field = gtu::smooth_field(144 * 50, -3.0f, 1.0f);
        Codec c = code_latlon(field, bits);
        Codec d = decode(c);
        ASSERT_EQ(d.call("D"), 0) << bits;
        EXPECT_EQ(d.K4(1), 144 * 50);
        float half = packing_step(d) / 2;
        float tol = half * 1.0001f + 2.0e-6f;
        for (size_t i = 0; i < field.size(); i++)
            ASSERT_LE(std::fabs(d.p4[i] - field[i]), tol) << bits << " bits, value " << i;
    }
}

TEST_F(Fldcod, LengthOnly)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    Codec l(19000, 8000);
    l.msg = c.msg;
    std::fill(l.k1.begin(), l.k1.end(), 77);
    EXPECT_EQ(l.call("L"), 0);
    EXPECT_EQ(l.K0(1), c.K0(1));
    EXPECT_EQ(l.K0(2), 1);
    EXPECT_EQ(l.K1(1), 77);  // untouched
    EXPECT_EQ(l.out, "");
}

TEST_F(Fldcod, CodedLengthPadding)
{
    // 1000 octets: 8 + 28 + 32 + 12 + 916 data octets + 4
    std::vector<float> field(458);
    for (int i = 0; i < 458; i++)
        field[i] = static_cast<float>(i);
    Codec c;
    gtu::norva_sec1(c);
    gtu::latlon_sec2(c);
    c.K2(2) = 458;
    c.K2(3) = 1;
    c.K2(9) = 1;
    c.K4(1) = 458;
    c.K4(2) = 16;
    std::copy(field.begin(), field.end(), c.p4.begin());
    ASSERT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.K0(1), 1000);
    EXPECT_EQ(c.kword, 270);
    gint off = 0;
    grsrnd(&off);
    ASSERT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.kword, 250);
}

TEST_F(Fldcod, InvalidOperation)
{
    Codec c;
    EXPECT_EQ(c.call("Q"), 201);
    EXPECT_EQ(c.out, " FLDCOD : Invalid function requested - Q. Return code = 201\n");
}

void call_with_kret_zero(const char *op)
{
    Codec c;
    gint klenp = 19000, kleng = 8000, kword = 0, kret = 0;
    fldcod(c.k0.data(), c.k1.data(), c.k2.data(), c.p2.data(), c.k3.data(), c.p3.data(),
           c.k4.data(), c.p4.data(), &klenp, c.msg.w.data(), &kleng, &kword, op, &kret, 1L);
}

TEST_F(Fldcod, InvalidOperationWithKretZeroAborts)
{
    EXPECT_EXIT(
        {
            dup2(2, 1);
            call_with_kret_zero("Q");
        },
        testing::KilledBySignal(SIGABRT),
        "^ FLDCOD : Invalid function requested - Q\\. Return code = 201\n"
        " ABORTX : Routine FLDCOD has requested program termination\\.\n$");
}

TEST_F(Fldcod, MissingEndGroupIsReportedAfterDecoding)
{
    auto field = gtu::smooth_field(144 * 73);
    Codec c = code_latlon(field);
    c.msg.at(c.K0(1) - 1) = '8';
    Codec d = decode(c);
    EXPECT_EQ(d.call("D"), 805);
    EXPECT_EQ(d.out, " FLDCOD : End of message 7777 group not found. Return code = 805\n");
    EXPECT_NEAR(d.p4[100], field[100], 0.01f);
}

TEST_F(Fldcod, OutputArrayTooSmall)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    Codec d = decode(c, "D", 10000);
    EXPECT_EQ(d.call("D"), 710);
    EXPECT_EQ(d.out,
              " FLDCOD : Output array too small. Length is    10000 words. Number of values is    10512"
              " Return code = 710\n");
}

TEST_F(Fldcod, TruncatedMessagesFailInsideTheArrays)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    struct Case {
        gint words;
        gint code;
        const char *line;
    } cases[] = {
        {1, 302, " FLDCOD : Error extracting length of GRIB message. Return code = 302\n"},
        {5, 304, " FLDCOD : Error extracting octets 22 and 23 for Experimental Edition check. Return code = 304\n"},
        {6, 405, " FLDCOD : Error inserting/extracting six fields from Year of century to Indicator of unit of time range. Return code = 405\n"},
        {7, 407, " FLDCOD : Error inserting/extracting time range indicator. Return code = 407\n"},
        {10, 504, " FLDCOD : Error inserting/extracting data representation type. Return code = 504\n"},
        {20, 512, nullptr},
        {2000, 712, " FLDCOD : Error inserting/extracting data values. Return code = 712\n"},
    };
    for (const Case &k : cases) {
        Codec d(19000, k.words);
        std::copy(c.msg.w.begin(), c.msg.w.begin() + k.words, d.msg.w.begin());
        gint r = d.call("D");
        if (!k.line) {
            EXPECT_GT(r, 0) << k.words;
            continue;
        }
        EXPECT_EQ(r, k.code) << k.words;
        // the INXBIT line comes first, then fldcod's
        ASSERT_GE(d.out.size(), std::string(k.line).size());
        EXPECT_EQ(d.out.substr(d.out.size() - std::string(k.line).size()), k.line);
        EXPECT_EQ(d.out.rfind(" INXBIT : Word ", 0), 0u);
    }
}

TEST_F(Fldcod, WidthAboveThirtyTwo)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    c.msg.at(8 + 28 + 32 + 10) = 33;
    Codec d = decode(c);
    EXPECT_EQ(d.call("D"), 709);
    EXPECT_EQ(d.out, " FLDCOD : Error inserting/extracting number of bits per data value. Return code = 709\n");

    Codec e;
    gtu::norva_sec1(e);
    gtu::latlon_sec2(e);
    e.K4(1) = 10;
    e.K4(2) = 33;
    EXPECT_EQ(e.call("C"), 202);
    EXPECT_EQ(e.out, " FLDCOD : Number of bits per data value,  33 exceeds word length  32. Return code = 202\n");
}

TEST_F(Fldcod, SectionLengthsThatDisagree)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    // section 4 claims to be shorter than its header
    size_t s4 = 8 + 28 + 32;
    c.msg.at(s4) = 0;
    c.msg.at(s4 + 1) = 0;
    c.msg.at(s4 + 2) = 4;
    Codec d = decode(c);
    EXPECT_EQ(d.call("D"), 701);
    EXPECT_EQ(d.out, " FLDCOD : Error inserting/extracting length of  Section 4. Return code = 701\n");
}

TEST_F(Fldcod, ConstantFields)
{
    // coding a constant field: E = 0, every packed value 0
    std::vector<float> field(144 * 73, 287.5f);
    Codec c = code_latlon(field);
    size_t s4 = 8 + 28 + 32;
    EXPECT_EQ(c.msg.at(s4 + 4), 0);
    EXPECT_EQ(c.msg.at(s4 + 5), 0);
    for (size_t i = s4 + 11; i < s4 + 11 + 2 * field.size(); i++)
        ASSERT_EQ(c.msg.at(i), 0) << i;
    Codec d = decode(c);
    EXPECT_EQ(d.p4[5000], 287.5f);

    // a section 4 of 0 bits per value takes its count from the grid
    gtu::Bytes m;
    m.s("GRIB").u(0, 3).u(1, 1);
    const unsigned char *o = c.msg.oct();
    m.b.insert(m.b.end(), o + 8, o + s4);
    m.u(12, 3).u(0, 1).u(0, 2).u(0x43, 1).u(0x1F8000, 3).u(0, 1).u(0, 1).s("7777");
    m.put(4, m.size(), 3);
    Codec z;
    z.msg = gtu::Msg::from_octets(m.b, 8000);
    EXPECT_EQ(z.call("D"), 0) << z.out;
    EXPECT_EQ(z.K4(1), 144 * 73);
    EXPECT_EQ(z.p4[0], 504.0f);
    EXPECT_EQ(z.p4[144 * 73 - 1], 504.0f);
}

TEST_F(Fldcod, MissingFieldRoundTrip)
{
    Codec c;
    gtu::norva_sec1(c);
    gtu::latlon_sec2(c);
    c.K4(1) = -(144 * 73);
    c.K4(2) = 16;
    ASSERT_EQ(c.call("C"), 0) << c.out;
    size_t s4 = 8 + 28 + 32;
    EXPECT_EQ(c.msg.at(s4 + 4), 0xFF);
    EXPECT_EQ(c.msg.at(s4 + 5), 0xFF);
    EXPECT_EQ(c.msg.at(s4 + 6), 0xFF);
    EXPECT_EQ(c.msg.at(s4 + 9), 0xFF);
    Codec d = decode(c);
    EXPECT_EQ(d.call("D"), 0);
    EXPECT_EQ(d.K4(1), -(144 * 73));
    EXPECT_EQ(d.p4[77], 0.0f);
    EXPECT_EQ(d.out.rfind(" FLDCOD : Following field is missing ***********\n \n", 0), 0u) << d.out;

    c.p4[3] = 1.0f;
    EXPECT_EQ(c.call("C"), 203);
    EXPECT_EQ(c.out, " FLDCOD : Non-zero value in missing data field. Return code = 203\n");
}

}  // namespace
