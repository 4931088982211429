// gridpick: pulls chosen fields out of an archive of GRIB analyses and
// writes them as ov data sets.
#include "config.h"

#include <cstdio>

int main(int argc, char **argv)
{
    char device[GP_DEVICE_LEN] = "/dev/nrmt0";
    gp_run_defaults();
    int status = gp_parse_command_line(argc, argv, device);
    std::fflush(stdout);
    return status;
}
