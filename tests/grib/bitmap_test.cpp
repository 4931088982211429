#include "capture.h"
#include <gridpick/grib.h>

#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace {

constexpr float MISS = -999.0f;

using gptest::captured;

/* A message buffer whose bits are read back independently of the codec. */
struct Msg {
    std::vector<gint> w;
    gint kleng;
    explicit Msg(gint words) : w(static_cast<std::size_t>(words), 0), kleng(words) {}
    int bit(gint p) const
    {
        auto o = reinterpret_cast<const unsigned char *>(w.data());
        return (o[p / 8] >> (7 - p % 8)) & 1;
    }
    std::string bits(gint from, gint n) const
    {
        std::string s;
        for (gint p = from; p < from + n; ++p)
            s += static_cast<char>('0' + bit(p));
        return s;
    }
    void set_bits(gint from, const std::string &b)
    {
        auto o = reinterpret_cast<unsigned char *>(w.data());
        for (std::size_t i = 0; i < b.size(); ++i) {
            gint p = from + static_cast<gint>(i);
            if (b[i] == '1')
                o[p / 8] |= static_cast<unsigned char>(0x80 >> (p % 8));
        }
    }
};

struct Call {
    gint knspt = 0, ksize = 0, kret = -1;
    std::string out;
};

/* The arguments of insmp1 and insmp2 other than the message and the field. */
struct Args {
    std::string func = "C";  // HFUNC, its length passed as well
    gint knum = 1, ksbind = 0, knspt = 0, kpr = 0;
    std::optional<gint> ksize = std::nullopt;  // the field's size when not given
    std::size_t from = 0;       // PSEC4 starts at v[from]
};

Call ins1(Msg &m, std::vector<float> &v, const Args &a = {})
{
    Call c;
    c.knspt = a.knspt;
    c.ksize = a.ksize.value_or(static_cast<gint>(v.size()));
    gint kbit = 32, knum = a.knum, ksbind = a.ksbind, kpr = a.kpr;
    float miss = MISS;
    c.out = captured([&] {
        insmp1(m.w.data(), &m.kleng, &c.knspt, &ksbind, v.data() + a.from, &c.ksize, &kbit, &miss,
               a.func.data(), &knum, &kpr, &c.kret, static_cast<long>(a.func.size()));
    });
    return c;
}

Call ins2(Msg &m, std::vector<float> &v, const Args &a = {})
{
    Call c;
    c.knspt = a.knspt;
    c.ksize = a.ksize.value_or(static_cast<gint>(v.size()));
    gint kbit = 32, knum = a.knum, kpr = a.kpr;
    float miss = MISS;
    c.out = captured([&] {
        insmp2(m.w.data(), &m.kleng, &c.knspt, v.data() + a.from, &c.ksize, &kbit, &miss,
               a.func.data(), &knum, &kpr, &c.kret, static_cast<long>(a.func.size()));
    });
    return c;
}

struct Ext {
    gint kret = -1, ksbmap = 99, kbmap = 0, kbmap2 = -1;
    std::string out;
};

Ext ext(Msg &m, std::vector<float> &v, gint ksize, gint knum = 1, gint kbmap = 0,
        gint kbmap2 = -1, gint kpr = 0)
{
    Ext e;
    e.kbmap = kbmap;
    e.kbmap2 = kbmap2;
    gint kbit = 32;
    float miss = MISS;
    e.out = captured([&] {
        extmap(m.w.data(), &m.kleng, &e.kbmap, &e.kbmap2, v.data(), &ksize, &kbit, &e.ksbmap,
               &miss, &knum, &kpr, &e.kret);
    });
    return e;
}

using V = std::vector<float>;

TEST(Insmp1, PacksThePresentPoints)
{
    Msg m(4);
    V v{5, MISS, 7, MISS};
    auto c = ins1(m, v, {.knspt = 3});
    EXPECT_EQ(c.kret, 0);
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(m.bits(0, 8), "00010100");
    EXPECT_EQ(c.knspt, 7);
    EXPECT_EQ(c.ksize, 2);
    EXPECT_EQ(v[0], 5);
    EXPECT_EQ(v[1], 7);

    Msg m2(4);
    V w{5, MISS, 7, MISS};
    c = ins1(m2, w, {.func = "M"});
    EXPECT_EQ(m2.bits(0, 4), "1010");
    EXPECT_EQ(c.ksize, 4);
    EXPECT_EQ(w, (V{5, 7, 5, 5}));
}

TEST(Insmp1, NothingOrEverythingMissing)
{
    for (const char *f : {"C", "M"}) {
        Msg m(4);
        V v{1, 2, 3};
        auto c = ins1(m, v, {.func = f});
        EXPECT_EQ(m.bits(0, 4), "1110");
        EXPECT_EQ(c.ksize, 3);
        EXPECT_EQ(v, (V{1, 2, 3}));
    }
    Msg m(4);
    m.w[0] = -1;
    V v{MISS, MISS, MISS};
    auto c = ins1(m, v);
    EXPECT_EQ(m.bits(0, 4), "0001");
    EXPECT_EQ(c.ksize, 0);
}

TEST(Insmp1, MatrixPointsKeepAllTheirValues)
{
    Msg m(4);
    V v{1, MISS, MISS, MISS, MISS, 6};
    auto c = ins1(m, v, {.knum = 2});
    EXPECT_EQ(m.bits(0, 3), "101");
    EXPECT_EQ(c.ksize, 4);
    EXPECT_EQ(V(v.begin(), v.begin() + 4), (V{1, MISS, MISS, 6}));

    // "M" with secondary maps to follow: every point present, field as given
    Msg m2(4);
    V w{1, MISS, MISS, MISS, MISS, 6};
    c = ins1(m2, w, {.func = "M", .knum = 2, .ksbind = 32});
    EXPECT_EQ(m2.bits(0, 4), "1110");
    EXPECT_EQ(c.ksize, 6);
    EXPECT_EQ(w, (V{1, MISS, MISS, MISS, MISS, 6}));
}

TEST(Insmp1, Refusals)
{
    Msg m(2);
    V v(41473, 1.0f);
    auto c = ins1(m, v);
    EXPECT_EQ(c.kret, 2);
    EXPECT_EQ(c.out, " INSMP1 : Bit-map size is  41473, maximum allowed is  41472.\n");
    EXPECT_EQ(c.knspt, 0);

    V w{1, MISS};
    c = ins1(m, w, {.func = "D"});
    EXPECT_EQ(c.kret, 3);
    EXPECT_EQ(c.out, " INSMP1 : Invalid function requested - D\n");
    c = ins1(m, w, {.knum = 0});
    EXPECT_EQ(c.kret, 2);
    EXPECT_EQ(c.out, " INSMP1 : Invalid number of values per point -      0\n");
    EXPECT_EQ(m.w, (std::vector<gint>{0, 0}));
}

// No points: nothing written, nothing kept; "M" keeps the size and fills no
// tail, "C" sets the size to the 0 values kept.
TEST(Insmp, NegativeSizeHasNoPoints)
{
    for (auto [ins, ksize] : {std::pair{&ins1, -4}, {&ins2, -2}})
        for (const char *f : {"M", "C"}) {
            Msg m(2);
            V v{5, MISS, 7, MISS};
            auto c = ins(m, v, {.func = f, .ksize = ksize, .from = 2});
            EXPECT_EQ(c.kret, 0);
            EXPECT_EQ(c.out, "");
            EXPECT_EQ(c.knspt, 0);
            EXPECT_EQ(c.ksize, f[0] == 'M' ? ksize : 0);
            EXPECT_EQ(v, (V{5, MISS, 7, MISS}));
        }
}

// A Fortran CHARACTER*4 argument 'M' arrives as "M   " with length 4.
TEST(Insmp, BlankPaddedFunction)
{
    Msg m(2);
    V v{5, MISS, 7, MISS};
    auto c = ins1(m, v, {.func = "M   "});
    EXPECT_EQ(c.kret, 0);
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(m.bits(0, 4), "1010");
    EXPECT_EQ(c.ksize, 4);
    EXPECT_EQ(v, (V{5, 7, 5, 5}));
    c = ins1(m, v, {.func = " C"});
    EXPECT_EQ(c.kret, 3);
    EXPECT_EQ(c.out, " INSMP1 : Invalid function requested -  C\n");

    Msg m2(2);
    V w{1, MISS, 3, 4};
    c = ins2(m2, w, {.func = "C ", .knum = 2});
    EXPECT_EQ(c.kret, 0);
    EXPECT_EQ(m2.bits(0, 8), "10110000");
    EXPECT_EQ(c.knspt, 8);
    EXPECT_EQ(c.ksize, 3);
    EXPECT_EQ(V(w.begin(), w.begin() + 3), (V{1, 3, 4}));
}

TEST(Insmp1, InsertionBeyondTheMessage)
{
    Msg m(1);
    V v(40, 2.0f);
    v[3] = MISS;
    auto c = ins1(m, v);
    EXPECT_EQ(c.kret, 1);
    EXPECT_EQ(c.out, " INXBIT : Word        1 is outside array bounds        1\n"
                     " INSMP1 : Error reported by routine INXBIT.\n");
    EXPECT_EQ(c.ksize, 40);
    EXPECT_EQ(v[3], MISS); // not compacted
    EXPECT_EQ(v[4], 2.0f);
}

TEST(Insmp1, DebugLines)
{
    Msg m(2);
    V v{5, MISS, 7, MISS};
    auto c = ins1(m, v, {.kpr = 1});
    EXPECT_EQ(c.out, " INSMP1 : Section 1.\n"
                     "          Input values used -\n"
                     "          HFUNC  = C\n"
                     "          KSIZE  =      4\n"
                     "          KSBIND =      0\n"
                     "          KNUM   =      1\n"
                     " INSMP1 : Section 2.\n"
                     " INSMP1 : Section 3.\n"
                     " INSMP1 : Section 9.\n"
                     "          Output values set -\n"
                     "          KSIZE  =      2\n");
}

TEST(Insmp2, MapsPaddingAndPacking)
{
    Msg m(8);
    V v{1, MISS, 3, MISS, MISS, MISS, 7, 8, 9, MISS, 11, MISS};
    auto c = ins2(m, v, {.knum = 3, .knspt = 101});
    EXPECT_EQ(c.kret, 0);
    EXPECT_EQ(c.knspt, 120);
    EXPECT_EQ(m.bits(101, 19), "1010001110100000000");
    EXPECT_EQ(c.ksize, 6);
    EXPECT_EQ(V(v.begin(), v.begin() + 6), (V{1, 3, 7, 8, 9, 11}));

    Msg m2(8);
    V w{1, MISS, 3, MISS, MISS, MISS, 7, 8, 9, MISS, 11, MISS};
    c = ins2(m2, w, {.func = "M", .knum = 3, .knspt = 100});
    EXPECT_EQ(c.knspt, 112);
    EXPECT_EQ(c.ksize, 12);
    EXPECT_EQ(w, (V{1, 3, 7, 8, 9, 11, 1, 1, 1, 1, 1, 1}));
}

TEST(Insmp2, Refusals)
{
    Msg m(64);
    V v(1026, 1.0f);
    auto c = ins2(m, v, {.knum = 513});
    EXPECT_EQ(c.kret, 2);
    EXPECT_EQ(c.out, " INSMP2 : Bit-map size is    513, maximum allowed is    512.\n");
    c = ins2(m, v, {.func = "D", .knum = 2});
    EXPECT_EQ(c.kret, 3);
    EXPECT_EQ(c.out, " INSMP2 : Invalid function requested - D\n");
    Msg small(1);
    V w{1, 2, MISS, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    c = ins2(small, w, {.knum = 3, .knspt = 24});
    EXPECT_EQ(c.kret, 1);
    EXPECT_EQ(c.out.substr(c.out.find('\n') + 1), " INSMP2 : Error reported by routine INXBIT.\n");
    EXPECT_EQ(w[2], MISS);
}

TEST(Extmap, SpreadsThePackedValues)
{
    Msg m(2);
    m.set_bits(5, "1010");
    V v{5, 7, 0, 0};
    auto e = ext(m, v, 4, 1, 5);
    EXPECT_EQ(e.kret, 0);
    EXPECT_EQ(e.ksbmap, -4);
    EXPECT_EQ(e.kbmap, 9);
    EXPECT_EQ(v, (V{5, MISS, 7, MISS}));

    Msg full(2);
    full.set_bits(0, "1111");
    V w{1, 2, 3, 4};
    e = ext(full, w, 4);
    EXPECT_EQ(e.ksbmap, -2);
    EXPECT_EQ(w, (V{1, 2, 3, 4}));
}

TEST(Extmap, Refusals)
{
    Msg m(2);
    V v(4);
    auto e = ext(m, v, 41473);
    EXPECT_EQ(e.kret, 2);
    EXPECT_EQ(e.out, " EXTMAP : Bit-map size is  41473, maximum allowed is  41472.\n");
    EXPECT_EQ(e.ksbmap, 99);
    e = ext(m, v, 4, 513, 0, 40);
    EXPECT_EQ(e.kret, 2);
    EXPECT_EQ(e.out, " EXTMAP : Bit-map size is    513, maximum allowed is    512.\n");
    e = ext(m, v, 100);
    EXPECT_EQ(e.kret, 1);
    EXPECT_EQ(e.out, " INXBIT : Word        3 is outside array bounds        2\n"
                     " EXTMAP : Error reported by routine INXBIT.\n");
    EXPECT_EQ(e.ksbmap, 99);
}

TEST(Extmap, DebugLines)
{
    Msg m(2);
    m.set_bits(0, "01");
    V v{3, 0};
    auto e = ext(m, v, 2, 1, 0, -1, 1);
    EXPECT_EQ(e.out, " EXTMAP : Section 1.\n"
                     "          Input values used -\n"
                     "          KSIZE  =      2\n"
                     "          KNUM   =      1\n"
                     " EXTMAP : Section 2.\n"
                     " EXTMAP : Section 3.\n"
                     " EXTMAP : Section 9.\n"
                     "          Output values set -\n"
                     "          KSIZE  =      2\n"
                     "          KSBMAP =     -4\n");
    EXPECT_EQ(v, (V{MISS, 3}));
}

TEST(BitmapRoundTrip, PrimaryMapRestoresTheField)
{
    const gint n = 41472;
    V field(n);
    for (gint i = 0; i < n; ++i)
        field[static_cast<std::size_t>(i)] = (i * 7919) % 13 < 4 ? MISS : static_cast<float>(i) * 0.5f;
    V v = field;
    Msg m(n / 32 + 4);
    auto c = ins1(m, v, {.knspt = 40});
    ASSERT_EQ(c.kret, 0);
    EXPECT_LT(c.ksize, n);
    auto e = ext(m, v, n, 1, 40);
    EXPECT_EQ(e.kret, 0);
    EXPECT_EQ(e.ksbmap, -4);
    EXPECT_EQ(v, field);
}

TEST(BitmapRoundTrip, SecondaryMapsRestoreAMatrixField)
{
    // 5 points of 3 values; point 2 wholly missing, others partly
    V field{1, MISS, 3, MISS, MISS, MISS, 7, 8, 9, MISS, MISS, 12, 13, 14, MISS};
    V v = field;
    Msg m(8);
    auto c1 = ins1(m, v, {.knum = 3, .ksbind = 32});
    ASSERT_EQ(c1.kret, 0);
    EXPECT_EQ(m.bits(0, 5), "10111");
    EXPECT_EQ(c1.ksize, 12);
    auto c2 = ins2(m, v, {.knum = 3, .knspt = 32, .ksize = c1.ksize});
    ASSERT_EQ(c2.kret, 0);
    EXPECT_EQ(c2.knspt, 48);
    EXPECT_EQ(c2.ksize, 8);
    auto e = ext(m, v, 5, 3, 0, 32);
    EXPECT_EQ(e.kret, 0);
    EXPECT_EQ(e.ksbmap, -4);
    EXPECT_EQ(e.kbmap2, 44);
    EXPECT_EQ(v, field);
}

TEST(BitmapRoundTrip, MatrixFieldBeyondTheValueBuffer)
{
    // 20000 points of 3 values: more values than the 41472 of a map
    const gint points = 20000, knum = 3;
    V field(static_cast<std::size_t>(points * knum));
    for (std::size_t i = 0; i < field.size(); ++i)
        field[i] = (i / 3) % 5 == 2 ? MISS : static_cast<float>(i);
    V v = field;
    Msg m(points / 32 + 2);
    auto c = ins1(m, v, {.knum = knum});
    ASSERT_EQ(c.kret, 0);
    EXPECT_EQ(c.ksize, points * knum / 5 * 4);
    auto e = ext(m, v, points, knum);
    EXPECT_EQ(e.kret, 0);
    EXPECT_EQ(v, field);
}

} // namespace
