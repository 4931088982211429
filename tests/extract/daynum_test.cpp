#include "config.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Kdate, CountsFromTheFirstDayOfTheCentury)
{
    EXPECT_EQ(kdate(1, 1, 0), 1);
    EXPECT_EQ(kdate(1, 1, 60), 21916);
    EXPECT_EQ(kdate(1, 1, 79), 28856);
    EXPECT_EQ(kdate(1, 31, 79), 28886);
    EXPECT_EQ(kdate(12, 31, 99), 36525);
    EXPECT_EQ(kdate(2, 29, 80), 29280);
    EXPECT_EQ(kdate(3, 1, 80), 29281);
    EXPECT_EQ(kdate(0, 0, 0), 0);
}

TEST(Kdate, EveryFourthYearIsALeapYear)
{
    EXPECT_EQ(kdate(3, 1, 0) - kdate(2, 28, 0), 2);   // year 0 is a leap year
    EXPECT_EQ(kdate(3, 1, 79) - kdate(2, 28, 79), 1);
    EXPECT_EQ(kdate(1, 1, 81) - kdate(1, 1, 80), 366);
    EXPECT_EQ(kdate(1, 1, 82) - kdate(1, 1, 81), 365);
}

TEST(Kdate, DaysCountOnIntoTheNextMonth)
{
    EXPECT_EQ(kdate(4, 31, 79), kdate(5, 1, 79));
    EXPECT_EQ(kdate(2, 30, 79), kdate(3, 2, 79));
}

TEST(Kdate, FourDigitYearsAndCenturies)
{
    // {month, day, year, day number}: four-digit years count from 1900 as
    // the two-digit ones do; the year 2000 is year 100 of the twentieth.
    const int rows[][4] = {
        {1, 1, 1979, 28856},  {1, 31, 1979, 28886}, {12, 31, 1999, 36525},
        {1, 1, 2000, 36526},  {1, 1, 100, 36526},   {2, 29, 2000, 36585},
        {3, 23, 2007, 39164}, {1, 1, 1900, 1},      {12, 31, 1899, 0},
        {1, 1, 1896, -1460},  {1, 1, 9999, 2958161},
    };
    for (const auto &r : rows)
        EXPECT_EQ(kdate(r[0], r[1], r[2]), r[3]) << r[0] << "/" << r[1] << "/" << r[2];
}

TEST(Kdate, MonthsOutsideTheYearStayInTheTable)
{
    EXPECT_EQ(convert_date(0, 5, 79), 5);
    EXPECT_EQ(convert_date(-4, 5, 79), 5);
    EXPECT_EQ(convert_date(13, 1, 79), 366);
    EXPECT_EQ(convert_date(99, 1, 80), 367);
    EXPECT_EQ(kdate(1, 1, -5), 1);  // nothing is added for years below 0
}

TEST(Kdate, AbsurdYearsAreHeldAtTheTop)
{
    EXPECT_EQ(kdate(1, 1, 99999999), INT_MAX);
    EXPECT_GT(kdate(1, 1, 99999999), kdate(12, 31, 99));
    EXPECT_EQ(kdate(1, 1, 5000000), 365 * 5000000 + 1250000 + 1);
    // A day typed near the top of an int does not wrap round to negative.
    EXPECT_EQ(convert_date(12, INT_MAX - 10, 79), INT_MAX);
    EXPECT_EQ(kdate(12, INT_MAX - 10, 0), INT_MAX);
    EXPECT_EQ(kdate(1, INT_MIN, 0), INT_MIN);
}

TEST(Kdate, MatchesTheYearByYearCount)
{
    int total = 0;
    for (int y = 0; y < 200; y++) {
        ASSERT_EQ(kdate(1, 1, y), total + 1) << y;
        total += y % 4 == 0 ? 366 : 365;
    }
}

TEST(ConvertDate, DayOfTheYear)
{
    EXPECT_EQ(convert_date(1, 1, 79), 1);
    EXPECT_EQ(convert_date(3, 1, 79), 60);
    EXPECT_EQ(convert_date(3, 1, 80), 61);
    EXPECT_EQ(convert_date(12, 31, 0), 366);
}
