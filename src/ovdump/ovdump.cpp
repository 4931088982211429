// ovdump: prints the data sets of ov files, or the data set the netCDF
// import builds from a netCDF file.
//
//   ovdump [-d] [-l level_index] [-t time_index] file...
//
// For each data set: a line naming it, the header, and the computed range;
// with -d also its values with their positions.  Exit status 0, or 1 when a
// file could not be read whole, 2 for a bad command line.
#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <gridpick/ov_cdf.h>
#include "ovset.h"
#include <gridpick/util.h>

namespace {

struct Options {
    bool data = false;
    int level_index = 0;
    int time_index = 0;
};

void dump(const OvHeader &h, const Options &opt)
{
    ov_print_hdr(&h);
    float min, max;
    ov_compute_data_range(&h, &min, &max);
    std::printf("range: %g to %g\n", min, max);
    if (opt.data)
        ov_print_some_data(&h, 0, h.num_rows - 1, 1);
}

bool at_end(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && lseek(fd, 0, SEEK_CUR) >= st.st_size;
}

bool dump_ov(const char *path, const Options &opt)
{
    int fd = ov_open(path, 0);
    if (fd < 0) {
        std::fprintf(stderr, "ovdump: %s: cannot open as an ov file\n", path);
        return false;
    }
    bool ok = true;
    for (int n = 1; !at_end(fd); n++) {
        ovset_record h(ov_read(fd, 1));
        if (!h) {
            std::fprintf(stderr, "ovdump: %s: data set %d unreadable\n", path, n);
            ok = false;
            break;
        }
        std::printf("%s: data set %d\n", path, n);
        dump(*h, opt);
    }
    ov_close(fd);
    return ok;
}

bool dump_cdf(const char *path, const Options &opt)
{
    ovset_record h(cdf_to_ov(path, opt.level_index, opt.time_index));
    if (!h) {
        std::fprintf(stderr, "ovdump: %s: no field at level index %d, time index %d\n", path,
                     opt.level_index, opt.time_index);
        return false;
    }
    std::printf("%s: netCDF field at level index %d, time index %d\n", path, opt.level_index,
                opt.time_index);
    dump(*h, opt);
    return true;
}

int usage()
{
    std::fprintf(stderr, "usage: ovdump [-d] [-l level_index] [-t time_index] file...\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    Options opt;
    int c;
    while ((c = getopt(argc, argv, "dl:t:")) != -1) {
        if (c == 'd')
            opt.data = true;
        else if (c == 'l' && ovset_number(optarg, -1, 1000000, &opt.level_index))
            continue;
        else if (c == 't' && ovset_number(optarg, -1, 1000000, &opt.time_index))
            continue;
        else
            return usage();
    }
    if (optind == argc)
        return usage();
    int status = 0;
    for (int i = optind; i < argc; i++) {
        const char *path = argv[i];
        bool ok;
        switch (identify_datafile(path)) {
        case DATAFILE_OV: ok = dump_ov(path, opt); break;
        case DATAFILE_NETCDF: ok = dump_cdf(path, opt); break;
        default:
            std::fprintf(stderr, "ovdump: %s: neither an ov file nor a netCDF file\n", path);
            ok = false;
        }
        std::fflush(stdout);
        if (!ok)
            status = 1;
    }
    return status;
}
