// Calendar conversions and array thinning.
#include "util.h"

namespace {

constexpr int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int days_in_month(int year, int month)  // month 1..12
{
    return month == 2 && leap_year(year) ? 29 : month_days[month - 1];
}

template <typename T>
int downsample(T *array, int count, int step)
{
    if (step <= 1 || count <= 0)
        return count;
    int n = 0;
    for (int i = 0; i < count; i += step)
        array[n++] = array[i];
    T last = array[count - 1];
    if (array[n - 1] != last)
        array[n++] = last;
    return n;
}

}  // namespace

extern "C" {

int leap_year(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 1 : 0;
}

int mmdd2jday(int year, int month, int day)
{
    int total = day;
    for (int m = 1; m < month && m <= 12; m++)
        total += days_in_month(year, m);
    return total;
}

void jday2mmdd(int jday, int year, int *month_out, int *day_out)
{
    int month = 1;
    int rest = jday;
    while (month < 12 && rest > days_in_month(year, month)) {
        rest -= days_in_month(year, month);
        month++;
    }
    *month_out = month;
    *day_out = rest;
}

int downsample_float_array(float *array, int count, int step)
{
    return downsample(array, count, step);
}

int downsample_byte_array(unsigned char *array, int count, int step)
{
    return downsample(array, count, step);
}

}  // extern "C"
