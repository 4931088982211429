// fldcod: coding and decoding round trips, the message frame, the
// operations and the return codes with their lines.
#include "grib_harness.h"

#include <unistd.h>

#include <csignal>
#include <limits>

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
    c.K4(2) = bits;
    c.field(field);
    EXPECT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.out, "");
    return c;
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

    Codec d = c.decode();
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
        Codec d = c.decode();
        ASSERT_EQ(d.call("D"), 0) << bits;
        EXPECT_EQ(d.K4(1), 144 * 50);
        float half = packing_step(d) / 2;
        float tol = half * 1.0001f + 2.0e-6f;
        for (size_t i = 0; i < field.size(); i++)
            ASSERT_LE(std::fabs(d.p4[i] - field[i]), tol) << bits << " bits, value " << i;
    }
}

// Ranges that, divided by 2^(n+1) - 1, give 2^k: the logarithm lands on a
// whole number; the largest value must still fit n bits (E = k + 2).
TEST_F(Fldcod, LargestValueFitsAtPowerOfTwoRanges)
{
    for (gint bits : {8, 12, 16, 24})
        for (int k : {13, 0, -3}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, 2^" + std::to_string(k));
            grib_state_reset();
            float top = std::ldexp(std::ldexp(1.0f, bits + 1) - 1.0f, k);
            std::vector<float> field(144 * 73);
            for (size_t i = 0; i < field.size(); i++)
                field[i] = static_cast<float>(i % 3) * (top / 2);
            Codec c = code_latlon(field, bits);
            Codec d = c.decode();
            EXPECT_EQ(packing_step(d), std::ldexp(1.0f, k + 2));
            for (size_t i = 0; i < 3; i++)
                EXPECT_LE(std::fabs(d.p4[i] - field[i]), packing_step(d) / 2) << d.out;
        }
}

TEST_F(Fldcod, LengthOnly)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    Codec l = c.reader();
    std::fill(l.k1.begin(), l.k1.end(), 77);
    EXPECT_EQ(l.call("L"), 0);
    EXPECT_EQ(l.K0(1), c.K0(1));
    EXPECT_EQ(l.K0(2), 1);
    EXPECT_EQ(l.K1(1), 77);  // untouched
    EXPECT_EQ(l.out, "");

    // the letters "GRIB" are not checked
    c.msg.at(0) = 'X';
    Codec d = c.decode();
    EXPECT_EQ(d.call("D"), 0);
    EXPECT_EQ(d.K4(1), 144 * 73);
}

extern "C" gint c_caller_length(gint *kgrib, gint kleng, gint *kret);

TEST_F(Fldcod, CalledFromC)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    gint kret = -1, len = 0;
    EXPECT_EQ(gtu::captured([&] { len = c_caller_length(c.msg.w.data(), 8000, &kret); }), "");
    EXPECT_EQ(kret, 0);
    EXPECT_EQ(len, c.K0(1));
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
    c.K4(2) = 16;
    c.field(field);
    ASSERT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.K0(1), 1000);
    EXPECT_EQ(c.kword, 270);
    gint off = 0;
    grsrnd(&off);
    ASSERT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.kword, 250);
}

// A field that single precision cannot carry through the message is refused:
// a range beyond it, R from 2^124 on (its IBM form decodes to infinity), a
// largest value that decodes to infinity (2 x 2^127).
TEST_F(Fldcod, FieldsBeyondSinglePrecisionAreRefused)
{
    const float max = std::numeric_limits<float>::max(), inf = INFINITY;
    const char *e707 = " FLDCOD : Error inserting/extracting scale factor. Return code = 707\n";
    const char *e708 = " FLDCOD : Error inserting/extracting reference value. Return code = 708\n";
    struct {
        float lo, hi;
        gint bits, kret;
    } cases[] = {{-3e38f, 3e38f, 16, 707}, {0, inf, 16, 707}, {0, max, 2, 707},
                 {1e38f, 1e38f, 16, 708}, {-0x1p124f, 0, 16, 708}, {0, 3e38f, 16, 0},
                 {-0x1p123f, 0x1p127f, 24, 0}};
    for (auto k : cases) {
        Codec c;
        gtu::norva_sec1(c);
        gtu::latlon_sec2(c);
        c.K2(2) = 2;
        c.K2(3) = 1;
        c.K4(2) = k.bits;
        c.field({k.lo, k.hi});
        EXPECT_EQ(c.call("C"), k.kret) << k.lo << " " << k.hi;
        EXPECT_EQ(c.out, k.kret == 707 ? e707 : k.kret == 708 ? e708 : "");
        if (k.kret == 0) {
            Codec d = c.decode();
            float half = packing_step(d) / 2;
            EXPECT_LE(std::fabs(d.p4[0] - k.lo), half);
            EXPECT_LE(std::fabs(d.p4[1] - k.hi), half);
        }
    }
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
    Codec d = c.decode();
    EXPECT_EQ(d.call("D"), 805);
    EXPECT_EQ(d.out, " FLDCOD : End of message 7777 group not found. Return code = 805\n");
    EXPECT_NEAR(d.p4[100], field[100], 0.01f);
}

TEST_F(Fldcod, OutputArrayTooSmall)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73));
    Codec d = c.decode("D", 10000);
    EXPECT_EQ(d.call("D"), 710);
    EXPECT_EQ(d.out,
              " FLDCOD : Output array too small. Length is    10000 words. Number of values is    10512"
              " Return code = 710\n");

    // coding refuses a count that PSEC4 cannot hold, missing fields too
    Codec e(100, 8000);
    gtu::norva_sec1(e);
    gtu::latlon_sec2(e);
    e.K4(2) = 8;
    for (gint count : {101, -101, -2147483647 - 1}) {
        e.K4(1) = count;
        EXPECT_EQ(e.call("C"), 710) << count;
    }
    EXPECT_EQ(e.out,
              " FLDCOD : Output array too small. Length is      100 words. Number of values is ********"
              " Return code = 710\n");
    EXPECT_EQ(e.K4(1), -2147483647);
    e.K4(1) = -101;
    e.call("C");
    EXPECT_EQ(e.out,
              " FLDCOD : Output array too small. Length is      100 words. Number of values is     -101"
              " Return code = 710\n");
    EXPECT_EQ(e.K4(1), -101);
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
        {10, 503, "          or List of numbers of points. Return code = 503\n"},
        {20, 512, nullptr},
        {2000, 712, " FLDCOD : Error inserting/extracting data values. Return code = 712\n"},
    };
    for (const Case &k : cases) {
        Codec d = c.cut(static_cast<size_t>(k.words));
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
    Codec d = c.decode();
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
    Codec d = c.decode();
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
    Codec d = c.decode();
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
    Codec d = c.decode();
    EXPECT_EQ(d.call("D"), 0);
    EXPECT_EQ(d.K4(1), -(144 * 73));
    EXPECT_EQ(d.p4[77], 0.0f);
    EXPECT_EQ(d.out.rfind(" FLDCOD : Following field is missing ***********\n \n", 0), 0u) << d.out;

    // the range (0 to 0) is found as for any field: a user reference value
    // above it is reported
    float fref = 2.0f;
    grsref(&fref);
    ASSERT_EQ(c.call("C"), 0) << c.out;
    EXPECT_EQ(c.out,
              " FLDCOD : User supplied reference value         2.0000000000 exceeds minimum value"
              "         0.0000000000. Minimum value used.\n");
    EXPECT_EQ(c.msg.at(s4 + 6), 0xFF);

    c.p4[3] = 1.0f;
    EXPECT_EQ(c.call("C"), 203);
    EXPECT_EQ(c.out, " FLDCOD : Non-zero value in missing data field. Return code = 203\n");
}

}  // namespace

namespace {

// A 36 x 19 field with a bit map: every field of the message at a known
// octet, so that cutting the message array short fails at a known field.
Codec bitmap_message(const std::string &op = "C")
{
    Codec c;
    gtu::norva_sec1(c, 192);
    gint k2[11] = {0, 36, 19, 90000, -180000, 128, -90000, 170000, 10000, 10000, 0};
    std::copy(k2, k2 + 11, c.k2.begin());
    c.p3[1] = -999.0f;
    c.K4(1) = 36 * 19;
    c.K4(2) = 8;
    auto f = gtu::smooth_field(36 * 19);
    f[3] = -999.0f;
    std::copy(f.begin(), f.end(), c.p4.begin());
    EXPECT_EQ(c.call(op), 0) << c.out;
    return c;
}

TEST_F(Fldcod, EveryFieldFailsWithItsOwnCode)
{
    Codec c = bitmap_message();
    const std::string ie = " FLDCOD : Error inserting/extracting ";
    struct Case {
        gint words;
        std::string line;
    } cases[] = {
        {1, " FLDCOD : Error extracting length of GRIB message. Return code = 302"},
        {2, " FLDCOD : Error extracting octets 22 and 23 for Experimental Edition check. Return code = 304"},
        {5, " FLDCOD : Error extracting octets 22 and 23 for Experimental Edition check. Return code = 304"},
        {6, ie + "six fields from Year of century to Indicator of unit of time range. Return code = 405"},
        {7, ie + "time range indicator. Return code = 407"},
        {8, ie + "century of data or reserved field. Return code = 410"},
        {9, ie + "length of  Section 2. Return code = 501"},
        // octet 5 of section 2 comes before the type (octet 6)
        {10, ie + "location of List of vertical coordinate parameters\n"
                  "          or List of numbers of points. Return code = 503"},
        {11, ie + "number of points along a parallel or meridian. Return code = 505"},
        {12, ie + "latitude or longitude of first grid point. Return code = 506"},
        {13, ie + "components flag. Return code = 507"},
        {14, ie + "latitude or longitude of last grid point. Return code = 508"},
        {15, ie + "i direction increment. Return code = 509"},
        {16, ie + "length of  Section 3. Return code = 601"},
        {18, ie + "bit-map reference table. Return code = 603"},
        {30, ie + "length of  Section 4. Return code = 701"},
        {41, ie + "scale factor. Return code = 707"},
        {42, ie + "reference value. Return code = 708"},
        {43, ie + "data values. Return code = 712"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.words);
        Codec d = c.cut(static_cast<size_t>(k.words));
        d.call("D");
        // one INXBIT line per failed transfer, then fldcod's line(s)
        std::string want = k.line + "\n";
        ASSERT_GE(d.out.size(), want.size() + 57) << d.out;
        EXPECT_EQ(d.out.substr(d.out.size() - want.size()), want);
        EXPECT_EQ(d.out.substr(d.out.size() - want.size() - 57, 15), " INXBIT : Word ");
    }
}

TEST_F(Fldcod, CodingIntoAnArrayTooSmall)
{
    Codec c = bitmap_message();
    // KGRIB of one word, and one octet short of the message
    for (auto [words, kret] : {std::pair<gint, gint>{1, 303}, {(c.K0(1) - 1) / 4, 801}}) {
        Codec s(19000, words);
        s.k1 = c.k1;
        s.k2 = c.k2;
        s.p3 = c.p3;
        s.K4(1) = 36 * 19;
        s.K4(2) = 8;
        EXPECT_EQ(s.call("C"), kret);
        EXPECT_EQ(s.out, kret == 303 ? " INXBIT : Word        2 is outside array bounds        1\n"
                                       " FLDCOD : Error inserting/extracting GRIB Edition Number. "
                                       "Return code = 303\n"
                                     : s.out.substr(0, s.out.find('\n') + 1) +
                                           " FLDCOD : Error inserting/extracting 7777 group. "
                                           "Return code = 801\n");
    }
}

// Point 4 marked present again: coded with "C", section 4 then holds one
// value less than the map marks present; coded with "M" it holds them all.
TEST_F(Fldcod, BitMapCallingForMoreValuesThanSectionFourHolds)
{
    const std::string refusal =
        " FLDCOD : Bit-map calls for      684 values, Section 4 holds      683. Return code = 726\n";
    for (auto [op, kret] : {std::pair<const char *, gint>{"C", 726}, {"M", -2}}) {
        grib_state_reset();
        Codec c = bitmap_message(op);
        c.msg.at(8 + 28 + 32 + 6) |= 0x10;
        Codec d = c.decode();
        EXPECT_EQ(d.call("D"), kret) << op;
        EXPECT_EQ(d.out, kret > 0 ? refusal : "") << op;
    }
}

void decode_corrupt_with_kret_zero()
{
    Codec c = bitmap_message();
    gint klenp = 19000, kleng = 20, kword = 0, kret = 0;
    fldcod(c.k0.data(), c.k1.data(), c.k2.data(), c.p2.data(), c.k3.data(), c.p3.data(),
           c.k4.data(), c.p4.data(), &klenp, c.msg.w.data(), &kleng, &kword, "D", &kret, 1L);
}

TEST_F(Fldcod, CorruptMessageWithKretZeroAborts)
{
    EXPECT_EXIT(
        {
            dup2(2, 1);
            decode_corrupt_with_kret_zero();
        },
        testing::KilledBySignal(SIGABRT),
        "FLDCOD : Error inserting/extracting length of  Section 4\\. Return code = 701\n"
        " ABORTX : Routine FLDCOD has requested program termination\\.\n$");
}

}  // namespace

namespace {

TEST_F(Fldcod, SectionOneLevelsPeriodsAndScale)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73), 8);
    const size_t s1 = 8;
    // ground (level type 1): octets 11-12 are not read
    Codec d;
    d.msg = c.msg;
    d.msg.at(s1 + 9) = 1;
    d.msg.at(s1 + 10) = 0x12;
    d.msg.at(s1 + 11) = 0x34;
    // time range indicator 10: octets 19-20 are one number
    d.msg.at(s1 + 18) = 1;
    d.msg.at(s1 + 19) = 44;
    d.msg.at(s1 + 20) = 10;
    // D: hexadecimal 8000 is 0
    d.msg.at(s1 + 26) = 0x80;
    d.msg.at(s1 + 27) = 0x00;
    EXPECT_EQ(d.call("D"), 0) << d.out;
    EXPECT_EQ(d.K1(7), 1);
    EXPECT_EQ(d.K1(8), 0);
    EXPECT_EQ(d.K1(9), 0);
    EXPECT_EQ(d.K1(16), 300);
    EXPECT_EQ(d.K1(17), 0);
    EXPECT_EQ(d.K1(18), 10);
    EXPECT_EQ(d.K1(23), 0);
    // a level of two octets (type 101, layer between two pressures)
    d.msg.at(s1 + 9) = 101;
    d.msg.at(s1 + 26) = 0x80;
    d.msg.at(s1 + 27) = 0x02;
    EXPECT_EQ(d.call("D"), 0) << d.out;
    EXPECT_EQ(d.K1(8), 0x12);
    EXPECT_EQ(d.K1(9), 0x34);
    EXPECT_EQ(d.K1(23), -2);

    // coding with time range indicator 10 writes the period as one number
    Codec e;
    gtu::norva_sec1(e);
    gtu::latlon_sec2(e);
    e.K1(16) = 300;
    e.K1(18) = 10;
    e.K4(1) = 144 * 73;
    e.K4(2) = 8;
    gint off = 0;
    grsvck(&off);
    ASSERT_EQ(e.call("C"), 0) << e.out;
    EXPECT_EQ(e.msg.at(s1 + 18), 1);
    EXPECT_EQ(e.msg.at(s1 + 19), 44);
}

}  // namespace

namespace {

TEST_F(Fldcod, SectionTwoSignAndMagnitudeAndMissingIncrements)
{
    Codec c = code_latlon(gtu::smooth_field(144 * 73), 8);
    const size_t s2 = 8 + 28;
    Codec d;
    d.msg = c.msg;
    d.msg.at(s2 + 10) = 0x80;  // La1: negative zero
    d.msg.at(s2 + 11) = 0x00;
    d.msg.at(s2 + 12) = 0x00;
    d.msg.at(s2 + 23) = 0xFF;  // Di, Dj not given
    d.msg.at(s2 + 24) = 0xFF;
    d.msg.at(s2 + 25) = 0xFF;
    d.msg.at(s2 + 26) = 0xFF;
    d.msg.at(s2 + 4) = 0;      // octet 5 of 0 reads as 255: no list
    EXPECT_EQ(d.call("D"), 0) << d.out;
    EXPECT_EQ(d.K2(4), 0);
    EXPECT_EQ(d.K2(7), -90000);
    EXPECT_EQ(d.K2(9), GRIB_KNEG);
    EXPECT_EQ(d.K2(10), GRIB_KNEG);
    EXPECT_EQ(d.K2(17), 0);
    EXPECT_EQ(d.K4(1), 144 * 73);
}

}  // namespace
