// Runs the selector dialog on a fresh run configuration and prints what it
// left there, one line per part, for the scripted runs under Xvfb.
#include "config.h"
#include "xgp.h"

#include <cstdio>

int main(int argc, char **argv)
{
    gp_run_reset();
    gp_run_defaults();
    int status = xmain(argc, argv);
    std::printf("xmain: %d\n", status);
    std::printf("levels:");
    for (int i = 0; i < gp_run.num_levels; ++i)
        std::printf(" %d", gp_run.level[i]);
    std::printf("\nparams:");
    for (int code = 0; code < GP_NUM_PARAMS; ++code)
        if (gp_run.param[code])
            std::printf(" %d", code);
    std::printf("\ndates: %d/%d/%d %d/%d/%d days %d %d\n", gp_run.start_month,
                gp_run.start_day, gp_run.start_year, gp_run.end_month, gp_run.end_day,
                gp_run.end_year, gp_run.first_day, gp_run.last_day);
    std::printf("prompt_user: %d\n", gp_run.prompt_user);
    return 0;
}
