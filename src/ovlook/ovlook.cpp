// ovlook: quick-look PNG pictures of the data sets of ov files.
//
//   ovlook [-c] [-o PREFIX] [-n N] FILE...
//
// Prints the name of each picture it writes.  Exit status 0; 1 when a file
// cannot be read or is not an ov file, a data set cannot be drawn or is
// not there, or a picture cannot be written; 2 for a bad command line.
#include <unistd.h>

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "look_draw.h"

namespace {

constexpr char usage_text[] =
    "usage: ovlook [-c] [-o PREFIX] [-n N] FILE...\n"
    "Draws each data set of the ov FILEs (a folder stands for the files in it),\n"
    "or only the Nth of each file, on a map with coastlines (none with -c), as\n"
    "a PNG picture named PREFIX.K.png, where PREFIX is the file's name and K\n"
    "the data set's number in it; with -o PREFIX, K counts the data sets of all\n"
    "files.  One FILE with -n gives the one picture PREFIX.png.\n";

struct options {
    std::string prefix;
    int only = 0;   // -n: the one data set wanted from each file, 0: all
    bool single = false;
    bool coast = true;
};

int usage(FILE *to, int status)
{
    std::fputs(usage_text, to);
    return status;
}

std::string level_text(int level)
{
    return level == 0 ? "surface" : std::to_string(level) + " mb";
}

std::string title_of(const OvHeader &h)
{
    gp_source storage;
    const gp_source *source = ovset_source_of(h, storage);
    std::string name = ovset_param_name(h.param, source);
    std::string what = h.type == OV_VECTOR || h.type == OV_UNGRIDDED_VECTOR
                           ? name + " speed"
                           : name + " (" + ovset_param_long_name(h.param, source) + ")";
    std::string title = what + ", " + level_text(h.level) + ", " + ovset_when(h) + " UTC";
    if (h.term != 0)   // a forecast: its step after the time it starts from
        title += " +" + std::to_string(h.term) + "h";
    if (h.units && *h.units)
        title += ", " + std::string(h.units);
    return title;
}

bool draw(const options &opt, const OvHeader &h, const std::string &file, int number,
          const std::string &picture)
{
    ovset_axes axes;
    bool grid = ovset_grid_axes(h, axes);
    if (!grid && (!look_drawable(h) || ovset_is_grid(h))) {
        std::fprintf(stderr, "ovlook: %s: data set %d: type %d is no grid; no picture\n",
                     file.c_str(), number, h.type);
        return false;
    }
    if (!look_draw_png({&h, grid ? &axes : nullptr, title_of(h), opt.coast}, picture))
        return false;
    std::printf("%s\n", picture.c_str());
    return true;
}

// Pictures of one file; count is the running number of data sets seen.
bool look_at(const options &opt, const std::string &file, int *count)
{
    bool ok = true;
    int seen = 0;
    bool counting = !opt.prefix.empty() && !opt.single;  // every data set counts for K
    bool read = ovset_each("ovlook", file, true, [&](const OvHeader &h, int number) {
        seen = number;
        int k = opt.prefix.empty() ? number : ++*count;
        if (opt.only && number != opt.only)
            return number < opt.only || counting;
        std::string base = opt.prefix.empty() ? file : opt.prefix;
        std::string picture = opt.single ? base + ".png" : base + "." + std::to_string(k) + ".png";
        ok = draw(opt, h, file, number, picture) && ok;
        return number != opt.only || counting;
    });
    if (read && opt.only > seen) {
        std::fprintf(stderr, "ovlook: %s: no data set %d (it holds %d)\n", file.c_str(),
                     opt.only, seen);
        return false;
    }
    return read && ok;
}

}  // namespace

int main(int argc, char **argv)
{
    options opt;
    int c;
    opterr = 0;
    while ((c = getopt(argc, argv, "co:n:h")) != -1) {
        if (c == '?')
            return usage(stderr, ovset_bad_switch("ovlook", "on"));
        if (c == 'h')
            return usage(stdout, 0);
        if (c == 'c')
            opt.coast = false;
        if (c == 'o' && !*optarg) {
            std::fprintf(stderr, "ovlook: -o needs a prefix\n");
            return usage(stderr, 2);
        }
        if (c == 'o')
            opt.prefix = optarg;
        if (c == 'n' && !ovset_number(optarg, 1, 1000000000, &opt.only)) {
            std::fprintf(stderr, "ovlook: -n wants a data set number from 1, not '%s'\n", optarg);
            return usage(stderr, 2);
        }
    }
    if (optind == argc)
        return usage(stderr, 2);
    std::vector<std::string> files;
    if (!ovset_expand("ovlook", std::span<char *const>(argv + optind, argv + argc), files))
        return 1;
    opt.single = opt.only && files.size() == 1;
    int status = 0, count = 0;
    for (const std::string &file : files)
        if (!look_at(opt, file, &count))
            status = 1;
    return status;
}
