// gridpick: pulls chosen fields out of an archive of GRIB analyses and
// writes them as ov data sets.
#include "extract.h"

#include <cstdio>

int main(int argc, char **argv)
{
    char device[GP_DEVICE_LEN] = "/dev/nrmt0";
    init_arrays();
    gp_run_defaults();
    int status = gp_parse_command_line(argc, argv, device);
    if (status != 0) {
        std::fflush(stdout);
        return status;
    }
    status = gp_extract_run(argc, argv, device);
    std::fflush(nullptr);
    return status;
}
