// The date, producer and step of a field, from its section 1.
#include "describe.h"
#include "extract.h"

namespace {

// Minutes of one unit of time (code table 4); 0 for the units of varying
// length (month, year, decade, normal, century) and unknown ones.
int minutes_per_unit(int unit)
{
    switch (unit) {
    case 0: return 1;
    case 1: return 60;
    case 2: return 24 * 60;
    case 10: return 3 * 60;
    case 11: return 6 * 60;
    case 12: return 12 * 60;
    case 13: return 15;
    case 14: return 30;
    default: return 0;
    }
}

// Time range indicators (code table 5) whose period ends at P1 or at P2.
enum { FORECAST = 0, ANALYSIS = 1, LAST_RANGE = 5, LONG_FORECAST = 10 };

}  // namespace

int gp_term_hours(int indicator, int unit, int p1, int p2)
{
    int end = 0;
    if (indicator == FORECAST || indicator == LONG_FORECAST)
        end = p1;
    else if (indicator > ANALYSIS && indicator <= LAST_RANGE)
        end = p2;
    else if (indicator != ANALYSIS)
        return -1;
    long long minutes = static_cast<long long>(end) * minutes_per_unit(unit);
    if (end < 0 || (end > 0 && minutes == 0) || minutes % 60 != 0)
        return -1;
    return static_cast<int>(minutes / 60);
}

gp_field_state gp_field_from_ksec1(const std::int32_t *k1)
{
    gp_field_state f;
    f.current_minute = gp_el(k1, GRIB_K1_MINUTE);
    f.current_hour = gp_el(k1, GRIB_K1_HOUR);
    f.current_day = gp_el(k1, GRIB_K1_DAY);
    f.current_month = gp_el(k1, GRIB_K1_MONTH);
    f.current_year = gp_el(k1, GRIB_K1_YEAR);
    f.current_param = gp_el(k1, GRIB_K1_PARAM);
    f.current_level = gp_el(k1, GRIB_K1_LEVEL);
    f.current_century = gp_el(k1, GRIB_K1_CENTURY);
    f.current_centre = gp_el(k1, GRIB_K1_CENTRE);
    f.current_table = gp_el(k1, GRIB_K1_TABLE);
    int indicator = gp_el(k1, GRIB_K1_TIME_RANGE);
    f.current_term = gp_term_hours(indicator, gp_el(k1, GRIB_K1_TIME_UNIT),
                                   gp_el(k1, GRIB_K1_P1), gp_el(k1, GRIB_K1_P2));
    bool analysis = (indicator == FORECAST || indicator == ANALYSIS ||
                     indicator == LONG_FORECAST) && f.current_term == 0;
    f.current_forecast = analysis ? 0 : 1;
    return f;
}

int gp_field_full_year(const gp_field_state &f)
{
    return gp_full_year(f.current_century, f.current_year);
}

// A century the message does not give counts as the twentieth, as in
// gp_full_year.
int gp_field_shown_year(const gp_field_state &f)
{
    bool twentieth = f.current_century < 1 || f.current_century == 20;
    return twentieth ? f.current_year : gp_field_full_year(f);
}

int gp_field_day(const gp_field_state &f)
{
    return kdate(f.current_month, f.current_day, gp_field_full_year(f));
}

gp_source gp_field_source(const gp_field_state &f)
{
    return gp_source{f.current_centre, f.current_table};
}
