// Day numbers of the archive's two-digit years.
#include "config.h"

#include <climits>
#include <cstdio>

namespace {

constexpr int days[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

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
int kdate(int month, int day, int year)
{
    long long total = 0;
    if (year > 0)
        total = 365LL * year + (year + 3LL) / 4;
    return held(total + day_of_year(month, day, year));
}

int gp_scan_date(const char *text, int *month, int *day, int *year)
{
    std::sscanf(text, "%d/%d/%d", month, day, year);
    return kdate(*month, *day, *year);
}
