// Field selection: dates, parameters, levels and the y/n/q question.
#include "extract.h"

#include <cstdio>

int desired_date(int month, int day, int year)
{
    int k = kdate(month, day, year);
    return gp_run.first_day <= k && k <= gp_run.last_day ? 1 : 0;
}

// Codes past the table are wanted only with -a.
int desired_param(int code)
{
    if (gp_run.getall)
        return 1;
    if (code < 0 || code >= GP_NUM_PARAMS)
        return 0;
    return gp_run.param[code];
}

int desired_level(int level)
{
    if (gp_run.getall)
        return 1;
    int n = gp_run.num_levels < GP_MAX_LEVELS ? gp_run.num_levels : GP_MAX_LEVELS;
    for (int i = 0; i < n; i++)
        if (gp_run.level[i] == level)
            return 1;
    return 0;
}

int gp_second_component_of(const gp_field_state &u, const gp_field_state &v)
{
    return gp_completes_pair(u.current_param, v.current_param, gp_field_source(u)) &&
           v.current_centre == u.current_centre && v.current_table == u.current_table &&
           v.current_term == u.current_term && v.current_forecast == u.current_forecast &&
           v.current_century == u.current_century && v.current_year == u.current_year &&
           v.current_month == u.current_month && v.current_day == u.current_day &&
           v.current_hour == u.current_hour && v.current_minute == u.current_minute &&
           v.current_level == u.current_level;
}

int desired_data_set()
{
    const gp_field_state &f = gp_field;
    gp_source source = gp_field_source(f);
    int day = gp_field_day(f);
    if (day < gp_run.first_day || day > gp_run.last_day)
        return GP_SKIP;
    if (!desired_param(gp_selection_code(f.current_param, source)))
        return GP_SKIP;
    if (!desired_level(f.current_level))
        return GP_SKIP;
    if (gp_run.prompt_user && gp_component_of(f.current_param, source) != GP_SECOND_COMPONENT)
        return user_decision();
    return GP_WRITE;
}

// End of input counts as "q".
int user_decision()
{
    const gp_field_state &f = gp_field;
    char name[GP_PARAM_NAME_LEN];
    std::printf("Do you want the %s data set at %d mb at %d:%02d on %d/%d/%d ? (y/n/q): ",
                gp_param_name(f.current_param, name, sizeof name, gp_field_source(f)),
                f.current_level, f.current_hour, f.current_minute, f.current_month, f.current_day,
                gp_field_shown_year(f));
    std::fflush(stdout);
    char answer[64];
    if (gp_read_word(answer, sizeof answer) < 0)
        return GP_QUIT;
    switch (answer[0]) {
    case 'y':
    case 'Y':
        return GP_WRITE;
    case 'q':
    case 'Q':
        return GP_QUIT;
    default:
        return GP_SKIP;
    }
}

void print_vals(const int *values, int count)
{
    for (int i = 0; i < count; i++)
        std::printf("%d\t%d\n", i, values[i]);
}
