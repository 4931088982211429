// fldcod on hand-built messages: edition 0, the experimental edition,
// pseudo-messages, sections longer than their fields and the debug listing.
#include "grib_harness.h"

#include <utility>

namespace {

using gtu::Bytes;
using gtu::Codec;

class FldcodEditions : public testing::Test {
protected:
    void SetUp() override { grib_state_reset(); }
    void TearDown() override { grib_state_reset(); }
};

// Section 2 of a 4 x 3 latitude/longitude grid; `flags` is octet 17.
void small_grid(Bytes &m, int flags, int scan)
{
    m.u(32, 3).u(0, 1).u(255, 1).u(0, 1).u(4, 2).u(3, 2);
    m.u(10000, 3).u(0, 3).u(flags, 1).u(0x800000 | 10000, 3).u(30000, 3);
    m.u(10000, 2).u(10000, 2).u(scan, 1).u(0, 4);
}

// Section 4: 12 values 0..11 of 8 bits, R = 200, E = -1; `flag` the octet.
void small_data(Bytes &m, int flag)
{
    m.u(24, 3).u(flag, 1).u(0x8001, 2).u(0x42, 1).u(0xC80000, 3).u(8, 1);
    for (int i = 0; i < 12; i++)
        m.u(i, 1);
    m.u(0, 1);
}

Codec run(const Bytes &m, const std::string &op)
{
    Codec c;
    c.msg = gtu::Msg::from_octets(m.b, 100);
    c.call(op);
    return c;
}

Bytes edition0(int centre)
{
    Bytes m;
    m.s("GRIB");
    m.u(24, 3).u(0, 1).u(centre, 1).u(1, 1).u(255, 1).u(128, 1).u(130, 1).u(100, 1).u(500, 2);
    m.u(79, 1).u(6, 1).u(15, 1).u(12, 1).u(0, 1).u(1, 1).u(0, 1).u(0, 1).u(0, 1).u(0, 2).u(0, 1);
    small_grid(m, 128, 0);
    small_data(m, 8);
    m.s("7777");
    return m;
}

Bytes experimental(int unit)
{
    Bytes m;
    m.s("GRIB");
    m.u(98, 1).u(1, 1).u(255, 1).u(1, 1).u(130, 1).u(100, 1).u(0x01F4, 2);
    m.u(79, 1).u(6, 1).u(15, 1).u(12, 1).u(0, 1).u(unit, 1).u(0, 1).u(0, 1).u(0, 1).u(0, 2).u(0, 1);
    small_grid(m, 1, 1);
    small_data(m, 8);
    m.s("7777");
    return m;
}

// Elements KSECs(n) = v, written {s, n, v}, and field values PSEC4(j + 1).
struct Elem {
    int s, n;
    gint v;
};

TEST_F(FldcodEditions, DecodedElements)
{
    ASSERT_EQ(edition0(98).size(), 88u);
    ASSERT_EQ(experimental(40).size(), 84u);
    const gint kneg = GRIB_KNEG;
    struct {
        Bytes m;
        const char *op;
        std::vector<Elem> elems;
        std::vector<std::pair<int, float>> values;
    } cases[] = {
        {edition0(98), "D",
         {{0, 1, 88}, {0, 2, 0}, {1, 1, 128}, {1, 2, 98}, {1, 8, 500}, {1, 21, 20}, {2, 2, 4},
          {2, 7, -10000}, {2, 6, 128}, {4, 1, 12}},
         {{0, 200.0f}, {1, 200.5f}, {11, 205.5f}}},
        {edition0(98), "L", {{0, 1, 88}}, {}},
        {edition0(98), "I", {{0, 1, 88}, {2, 2, 4}}, {}},  // goes on as "L" for the length
        {edition0(7), "D", {{1, 1, 0}, {1, 21, kneg}}, {}},
        {experimental(40), "D",
         {{0, 2, -1}, {0, 1, 84}, {1, 1, 128}, {1, 5, 128}, {1, 8, 1 * 32 + 0xF4}, {1, 9, 0},
          {1, 15, 1}, {1, 18, 0}, {1, 21, 20}, {2, 6, 128}, {2, 11, 0}, {4, 1, 12}},
         {{3, 201.5f}}},
        {experimental(40), "S", {{1, 18, 1}}, {}},
        {experimental(40), "L", {{0, 1, 84}}, {}},
        {experimental(90), "D", {{1, 15, 7}}, {}},
    };
    for (const auto &k : cases) {
        Codec c;
        c.msg = gtu::Msg::from_octets(k.m.b, 100);
        EXPECT_EQ(c.call(k.op), 0) << c.out;
        EXPECT_EQ(c.out, "");
        for (Elem e : k.elems) {
            std::vector<gint> *sec[] = {&c.k0, &c.k1, &c.k2, &c.k3, &c.k4};
            EXPECT_EQ((*sec[e.s])[e.n - 1], e.v) << k.op << " KSEC" << e.s << "(" << e.n << ")";
        }
        for (auto [j, v] : k.values)
            EXPECT_EQ(c.p4[j], v) << j;
    }
}

TEST_F(FldcodEditions, PseudoMessage)
{
    Codec c;
    gtu::norva_sec1(c);
    c.K1(6) = 127;
    c.K1(7) = 140;
    gtu::latlon_sec2(c);
    c.K4(1) = 144 * 73;
    c.K4(2) = 8;
    gint off = 0;
    grsvck(&off);
    ASSERT_EQ(c.call("C"), 0) << c.out;
    Codec d = c.reader();
    d.p4[0] = 42.0f;
    EXPECT_EQ(d.call("D"), -6);
    EXPECT_EQ(d.out, "");
    EXPECT_EQ(d.K0(1), c.K0(1));
    EXPECT_EQ(d.K4(1), 0);
    EXPECT_EQ(d.p4[0], 42.0f);
}

// Octets inserted after section 1 (a local extension) or at the end of
// section 2 (padding), announced in the section's length, are passed over.
TEST_F(FldcodEditions, OctetsBeyondTheFieldsArePassedOver)
{
    Codec c;
    gtu::norva_sec1(c);
    gtu::latlon_sec2(c);
    c.K4(2) = 8;
    auto field = gtu::smooth_field(144 * 73);
    c.field(field);
    ASSERT_EQ(c.call("C"), 0);
    struct {
        size_t at, n;
        unsigned char fill;
        size_t length_octet;  // of the section's length
        unsigned char length;
    } cases[] = {{36, 12, 0xEE, 8 + 2, 40}, {36 + 32, 2, 0xAB, 36 + 2, 34}};
    for (const auto &k : cases) {
        std::vector<unsigned char> o = c.msg.octets(static_cast<size_t>(c.K0(1)));
        o.insert(o.begin() + static_cast<long>(k.at), k.n, k.fill);
        o[k.length_octet] = k.length;
        gtu::set_length(o);
        Codec d;
        d.msg = gtu::Msg::from_octets(o, 8000);
        EXPECT_EQ(d.call("D"), 0) << d.out;
        EXPECT_EQ(d.K2(2), 144);
        EXPECT_EQ(d.K4(1), 144 * 73);
        EXPECT_NEAR(d.p4[500], field[500], 0.2f);
        EXPECT_NEAR(d.p4[1234], field[1234], 0.2f);
    }
}

TEST_F(FldcodEditions, DebugPrintingFramesTheCall)
{
    Codec c = run(edition0(98), "L");
    gint on = 1;
    grsdbg(&on);
    c.call("L");
    const std::string head =
        " FLDCOD : Section 1.\n"
        "          Input values used -\n"
        "          KLENG =        100\n"
        "          KLENP =      19000\n"
        " \n"
        " FLDCOD : Section 2.\n"
        " FLDCOD : Section 3.\n"
        " FLDCOD : Section 4.\n"
        " FLDCOD : Length of Section 1 of GRIB code is   24 octets.\n"
        " FLDCOD : Section 5.\n"
        " FLDCOD : Length of Section 2 of GRIB code is   32 octets.\n"
        " FLDCOD : Section 6.\n"
        " FLDCOD : Section 7.\n"
        " FLDCOD : Length of Section 4 of GRIB code is       24 octets.\n"
        " FLDCOD : Section 9.\n"
        "          Output values set -\n";
    // "L" is no decoding call: the section arrays are not listed
    EXPECT_EQ(c.out, head);
    c.call("I");
    EXPECT_NE(c.out.find("          Output values set -\n \n Section 0 - Indicator Section.\n"),
              std::string::npos);
}

TEST_F(FldcodEditions, TruncatedEditionZeroMessage)
{
    Bytes m = edition0(98);
    struct Case {
        gint words;
        const char *line;
    } cases[] = {
        {2, " FLDCOD : Error inserting/extracting six fields from Identification of Centre to Indicator of "
            "type of level. Return code = 403\n"},
        {4, " FLDCOD : Error inserting/extracting six fields from Year of century to Indicator of unit of "
            "time range. Return code = 405\n"},
        {20, " FLDCOD : Error inserting/extracting data values. Return code = 712\n"},
        {21, " FLDCOD : Error inserting/extracting 7777 group. Return code = 801\n"},
    };
    for (const Case &k : cases) {
        Codec c(19000, k.words);
        std::copy(m.b.begin(), m.b.begin() + 4 * k.words, c.msg.oct());
        c.call("D");
        std::string line(k.line);
        ASSERT_GE(c.out.size(), line.size());
        EXPECT_EQ(c.out.substr(c.out.size() - line.size()), line) << k.words;
    }
    // the length of an edition 0 message needs the whole message
    Codec l(19000, 21);
    std::copy(m.b.begin(), m.b.begin() + 84, l.msg.oct());
    EXPECT_EQ(l.call("L"), 0);
    EXPECT_EQ(l.K0(1), 88);
}

TEST_F(FldcodEditions, RefusedGridSectionsLeaveListableArrays)
{
    // edition 0: the number of vertical parameters comes from the length
    Bytes m = edition0(98);
    m.put(28, 32 + 4 * 300, 3);
    gint on = 1;
    grsdbg(&on);  // the exit listing reads KSEC2 and PSEC2
    Codec c = run(m, "D");
    EXPECT_EQ(c.call("D"), 502);
    EXPECT_NE(c.out.find(" FLDCOD : Error inserting/extracting number of  Vertical coordinate parameters. "
                         "Return code = 502\n"),
              std::string::npos);
    EXPECT_LE(c.K2(12), 255);
}

TEST_F(FldcodEditions, ExtractFromAnEditionZeroMessage)
{
    Bytes m = edition0(98);
    Codec c;
    c.msg = gtu::Msg::from_octets(m.b, 100);
    c.K4(34) = 1;
    c.K4(35) = 2;  // row 2, column 3: value 6
    c.K4(36) = 3;
    EXPECT_EQ(c.call("X"), 0) << c.out;
    EXPECT_EQ(c.K0(1), 88);  // from the section 4 length
    EXPECT_EQ(c.K4(1), 1);
    EXPECT_EQ(c.p4[0], 203.0f);

    m.b[4 + 24 + 27] = 64;  // octet 28 of section 2: south to north
    Codec s;
    s.msg = gtu::Msg::from_octets(m.b, 100);
    s.K4(34) = 1;
    s.K4(35) = 1;
    s.K4(36) = 1;
    EXPECT_EQ(s.call("X"), 715);
    EXPECT_EQ(s.out,
              " FLDCOD : Function is X and scanning mode is notNorth to South and West to East. "
              "Return code = 715\n");
}

}  // namespace
