// Calendar conversions, and the date and time texts of netCDF files.
#include <gridpick/util.h>

#include <cstdio>

namespace {

constexpr int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int days_in_month(int year, int month)  // month 1..12
{
    return month == 2 && leap_year(year) ? 29 : month_days[month - 1];
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

void parse_time_string(const char *text, int *year, int *month, int *day, int *hour,
                       int *minute)
{
    if (text)
        std::sscanf(text, "%d %d %d %d:%d\n", year, month, day, hour, minute);
}

int increment_time(int *year, int *month, int *day, int *hour, int hours)
{
    if (*year < 0 || *year > 3000 || *month < 0 || *month > 12 || *day < 0 || *day > 31)
        return -1;
    int y = *year;
    int jday = mmdd2jday(y, *month, *day);
    long long h = static_cast<long long>(*hour) + hours;  // no overflow near INT_MAX
    if (h >= 24) {
        jday += static_cast<int>(h / 24);
        h %= 24;
    }
    for (int days = leap_year(y) ? 366 : 365; jday > days; days = leap_year(y) ? 366 : 365) {
        jday -= days;
        y++;
    }
    *year = y;
    *hour = static_cast<int>(h);
    jday2mmdd(jday, y, month, day);
    return 0;
}

}  // extern "C"
