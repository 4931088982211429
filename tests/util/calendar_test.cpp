#include <gridpick/util.h>

#include <gtest/gtest.h>

#include <vector>

TEST(LeapYear, FollowsTheGregorianRule)
{
    EXPECT_EQ(leap_year(1992), 1);
    EXPECT_EQ(leap_year(1993), 0);
    EXPECT_EQ(leap_year(1900), 0);
    EXPECT_EQ(leap_year(2000), 1);
    EXPECT_EQ(leap_year(2100), 0);
    EXPECT_EQ(leap_year(2400), 1);
}

TEST(Mmdd2jday, CountsFromTheFirstOfJanuary)
{
    EXPECT_EQ(mmdd2jday(1993, 1, 1), 1);
    EXPECT_EQ(mmdd2jday(1993, 3, 1), 60);
    EXPECT_EQ(mmdd2jday(1992, 3, 1), 61);
    EXPECT_EQ(mmdd2jday(2000, 3, 1), 61);
    EXPECT_EQ(mmdd2jday(1900, 3, 1), 60);
    EXPECT_EQ(mmdd2jday(1992, 12, 31), 366);
    EXPECT_EQ(mmdd2jday(1993, 12, 31), 365);
}

TEST(Mmdd2jday, MonthsOutsideTheYearStayInTheTable)
{
    EXPECT_EQ(mmdd2jday(1993, 0, 5), 5);
    EXPECT_EQ(mmdd2jday(1993, -3, 5), 5);
    EXPECT_EQ(mmdd2jday(1993, 13, 1), 366);
    EXPECT_EQ(mmdd2jday(1993, 1000, 1), 366);
}

TEST(Jday2mmdd, InvertsMmdd2jday)
{
    int m = 0, d = 0;
    jday2mmdd(60, 1992, &m, &d);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(d, 29);
    jday2mmdd(366, 1992, &m, &d);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 31);
    jday2mmdd(31, 1993, &m, &d);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 31);
    jday2mmdd(32, 1993, &m, &d);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(d, 1);
    for (int year : {1900, 1992, 1993, 2000}) {
        int days = 365 + leap_year(year);
        for (int j = 1; j <= days; j++) {
            jday2mmdd(j, year, &m, &d);
            ASSERT_EQ(mmdd2jday(year, m, d), j) << year << " " << j;
        }
    }
}

TEST(Jday2mmdd, DaysPastTheYearStayInDecember)
{
    int m = 0, d = 0;
    jday2mmdd(400, 1993, &m, &d);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 400 - 334);
}

TEST(Downsample, KeepsEveryStepAndTheLast)
{
    std::vector<float> a{1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(downsample_float_array(a.data(), 7, 3), 3);
    EXPECT_EQ((std::vector<float>(a.begin(), a.begin() + 3)), (std::vector<float>{1, 4, 7}));

    std::vector<float> b{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(downsample_float_array(b.data(), 6, 3), 3);
    EXPECT_EQ((std::vector<float>(b.begin(), b.begin() + 3)), (std::vector<float>{1, 4, 6}));

    std::vector<unsigned char> c{9, 8, 7, 6, 5};
    EXPECT_EQ(downsample_byte_array(c.data(), 5, 2), 3);
    EXPECT_EQ((std::vector<unsigned char>(c.begin(), c.begin() + 3)),
              (std::vector<unsigned char>{9, 7, 5}));
}

TEST(Downsample, StepOneOrEmptyLeavesTheArray)
{
    std::vector<float> a{1, 2, 3};
    EXPECT_EQ(downsample_float_array(a.data(), 3, 1), 3);
    EXPECT_EQ(a, (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(downsample_float_array(a.data(), 0, 4), 0);
    EXPECT_EQ(downsample_float_array(a.data(), 3, 0), 3);
}

TEST(Downsample, AppendsTheLastOnlyWhenItsValueDiffers)
{
    std::vector<float> a{5, 1, 5};  // the last kept equals the last element
    EXPECT_EQ(downsample_float_array(a.data(), 3, 2), 2);
    std::vector<float> b{5, 1, 2, 5};
    EXPECT_EQ(downsample_float_array(b.data(), 4, 3), 2);
}
