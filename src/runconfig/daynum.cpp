// Day numbers: two-digit years of the century (19YY), and four-digit years.
#include "config.h"

#include <climits>
#include <cstdio>

namespace {

constexpr int days[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

// Days of the years from year up to year 0 (year < 0), every fourth a
// leap year as in the count forward.
long long days_back_to_zero(long long year)
{
    long long leaps = 0;
    for (long long y = year; y < 0; y++)
        leaps += y % 4 == 0 ? 1 : 0;
    return 365 * -year + leaps;
}

long long day_of_year(int month, int day, int year)
{
    const int *row = days[year % 4 == 0 ? 1 : 0];
    long long total = day;
    for (int j = 0; j <= month - 2 && j < 12; j++)
        total += row[j];
    return total;
}

int held(long long total)
{
    return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

}  // namespace

// A day typed near INT_MAX is held there rather than wrapping round.
int convert_date(int month, int day, int year)
{
    return held(day_of_year(month, day, year));
}

// Years 0 .. year-1 hold 365 days each plus one for every fourth year from 0
// on.  Day numbers beyond an int's range (absurd years typed by a user)
// are held at INT_MAX, where they still compare after every real date.
// A four-digit year counts from 1900 (1979 is 79, 2000 is 100, 1899 is -1).
int kdate(int month, int day, int year)
{
    bool full = gp_four_digit_year(year);
    if (full)
        year -= 1900;
    long long total = 0;
    if (year > 0)
        total = 365LL * year + (year + 3LL) / 4;
    else if (full && year < 0)
        total = -days_back_to_zero(year);
    return held(total + day_of_year(month, day, year));
}

bool gp_four_digit_year(int year)
{
    return year >= 1000 && year <= 9999;
}

int gp_typed_full_year(int year)
{
    return gp_four_digit_year(year) ? year : 1900 + year;
}

int gp_scan_date(const char *text, int *month, int *day, int *year)
{
    std::sscanf(text, "%d/%d/%d", month, day, year);
    return kdate(*month, *day, *year);
}
