#include "grib_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

std::string I(long long v, int w)
{
    std::string s;
    grib::fmt_int(s, v, w);
    return s;
}

std::string F(double v, int w, int d)
{
    std::string s;
    grib::fmt_fixed(s, v, w, d);
    return s;
}

TEST(FormatInt, RightAlignedOrStars)
{
    EXPECT_EQ(I(13, 5), "   13");
    EXPECT_EQ(I(-7, 3), " -7");
    EXPECT_EQ(I(12345, 5), "12345");
    EXPECT_EQ(I(123456, 5), "*****");
    EXPECT_EQ(I(-1234, 4), "****");        // the sign needs a column too
    EXPECT_EQ(I(-2147483647, 22), "           -2147483647");
    EXPECT_EQ(I(-2147483647, 9), "*********");
    EXPECT_EQ(I(0, 1), "0");
    EXPECT_EQ(I(std::numeric_limits<long long>::min(), 20), "-9223372036854775808");
}

TEST(FormatInt, MinimumDigits)
{
    std::string s;
    grib::fmt_int_min(s, 64, 8, 8);
    EXPECT_EQ(s, "00000064");
    s.clear();
    grib::fmt_int_min(s, 11000000, 8, 8);
    EXPECT_EQ(s, "11000000");
    s.clear();
    grib::fmt_int_min(s, 123456789, 8, 8);
    EXPECT_EQ(s, "********");
    s.clear();
    grib::fmt_int_min(s, -5, 6, 3);
    EXPECT_EQ(s, "  -005");
}

TEST(FormatFixed, WidthsOfTheCodec)
{
    EXPECT_EQ(F(200.5, 30, 20), "      200.50000000000000000000");
    EXPECT_EQ(F(-1.25, 20, 10), "       -1.2500000000");
    EXPECT_EQ(F(0.5, 20, 6), "            0.500000");
    EXPECT_EQ(F(0.0, 30, 15), "             0.000000000000000");
    // a single-precision value prints its exact binary value
    EXPECT_EQ(F(static_cast<float>(0.1), 30, 20), "        0.10000000149011611938");
    EXPECT_EQ(F(2.0 / 3.0, 20, 12), "      0.666666666667");
}

TEST(FormatFixed, TooWideAndOptionalZero)
{
    EXPECT_EQ(F(0.5, 4, 3), ".500");
    EXPECT_EQ(F(-0.5, 5, 3), "-.500");
    EXPECT_EQ(F(-0.5, 4, 3), "****");
    EXPECT_EQ(F(12345.0, 8, 3), "********");
    EXPECT_EQ(F(1.0e20, 30, 20), std::string(30, '*'));
    EXPECT_EQ(F(FLT_MAX, 20, 10), std::string(20, '*'));
    EXPECT_EQ(F(999.9996, 8, 3), "1000.000");
    EXPECT_EQ(F(9999.9996, 8, 3), "********");
}

TEST(FormatFixed, NoDecimalsKeepsThePoint)
{
    EXPECT_EQ(F(5.0, 5, 0), "   5.");
    EXPECT_EQ(F(-2.25, 5, 0), "  -2.");
    EXPECT_EQ(F(0.25, 3, 0), " 0.");
    EXPECT_EQ(F(0.25, 1, 0), ".");
    EXPECT_EQ(F(123.0, 3, 0), "***");
}

TEST(FormatFixed, NotANumber)
{
    EXPECT_EQ(F(std::nan(""), 8, 3), "     NaN");
    EXPECT_EQ(F(INFINITY, 10, 3), "  Infinity");
    EXPECT_EQ(F(-INFINITY, 5, 1), " -Inf");
    EXPECT_EQ(F(INFINITY, 2, 1), "**");
}

TEST(FormatLine, PiecesAndLabels)
{
    grib::MsgLine l;
    l.label("Grid definition.", 20).i(255, 9);
    EXPECT_EQ(l.str(), "Grid definition.          255");
    grib::MsgLine k;
    k.label("A very long label indeed", 6).x(2).text("|");
    EXPECT_EQ(k.str(), "A very  |");
}

TEST(FormatLine, PrintedWithLeadingBlank)
{
    testing::internal::CaptureStdout();
    grib::MsgLine().text("GRCHK1 : Invalid month - ").i(13, 5).put();
    grib::MsgLine().x(4).f(1.5, 20, 12).put_bare();
    grib::say("Reference value error.");
    grib::say_empty();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " GRCHK1 : Invalid month -    13\n"
              "          1.500000000000\n"
              " Reference value error.\n"
              " \n");
}

} // namespace
