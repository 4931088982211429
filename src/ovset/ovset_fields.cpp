// Dates and names of fields.
#include "ovset.h"

#include <cmath>
#include <cstdio>

#include "param_table.h"
#include <gridpick/util.h>

namespace {

// Days from 1900-01-01 to year-month-day in the Gregorian calendar.
long long days_since_1900(int year, int month, int day)
{
    // Whole years first, then the days of this year before the date.
    long long y = year - 1;
    long long days_before = y * 365 + y / 4 - y / 100 + y / 400;
    constexpr long long days_before_1900 = 1899LL * 365 + 1899 / 4 - 1899 / 100 + 1899 / 400;
    return days_before - days_before_1900 + mmdd2jday(year, month, day) - 1;
}

int days_in_month(int year, int month)
{
    return mmdd2jday(year, month + 1, 1) - mmdd2jday(year, month, 1);  // month 13 is the end
}

}  // namespace

int ovset_full_year(int year)
{
    return year >= 0 && year < 1000 ? 1900 + year : year;
}

bool ovset_valid_date(const OvHeader &h)
{
    int year = ovset_full_year(h.year);
    return year >= 1 && year <= 9999 && h.month >= 1 && h.month <= 12 && h.day >= 1 &&
           h.day <= days_in_month(year, h.month) && h.time >= 0.0f && h.time < 24.0f;
}

double ovset_hours_since_1900(const OvHeader &h)
{
    return static_cast<double>(days_since_1900(ovset_full_year(h.year), h.month, h.day)) * 24.0 +
           h.time + h.term;
}

std::string ovset_when(const OvHeader &h)
{
    long minutes = std::lround(static_cast<double>(h.time) * 60.0);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02ld:%02ld", ovset_full_year(h.year),
                  h.month, h.day, minutes / 60, minutes % 60);
    return text;
}

std::string ovset_param_name(int code, const gp_source *source)
{
    char name[GP_PARAM_NAME_LEN];
    const gp_param_row &row = gp_param_for_ov(code, source);
    return row.extension[0] != '\0' ? row.extension
                                    : gp_param_name(code, name, sizeof name, source ? *source : gp_source{});
}

std::string ovset_param_long_name(int code, const gp_source *source)
{
    char name[GP_LONG_NAME_LEN];
    const gp_param_row &row = gp_param_for_ov(code, source);
    return row.long_name[0] != '\0'
               ? row.long_name
               : gp_param_long_name(code, name, sizeof name, source ? *source : gp_source{});
}

const gp_source *ovset_source_of(const OvHeader &h, gp_source &storage)
{
    return gp_source_of_text(h.param_desc, &storage) ? &storage : nullptr;
}
