// Day numbers of the archive's two-digit years.
#include "config.h"

namespace {

constexpr int days[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

}  // namespace

int convert_date(int month, int day, int year)
{
    const int *row = days[year % 4 == 0 ? 1 : 0];
    int total = day;
    for (int j = 0; j <= month - 2 && j < 12; j++)
        total += row[j];
    return total;
}

int kdate(int month, int day, int year)
{
    int total = 0;
    for (int i = 0; i < year; i++)
        total += i % 4 == 0 ? 366 : 365;
    return total + convert_date(month, day, year);
}
