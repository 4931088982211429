// ov2nc: writes every data set of ov files into one CF netCDF file.
//
//   ov2nc [-o OUT.nc] FILE...
//
// Exit status 0; 1 when a file cannot be read, is not an ov file, or holds
// a data set that cannot go into the file (nothing is written then); 2 for
// a bad command line.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "cf_write.h"
#include "plan.h"

namespace {

constexpr char usage_text[] =
    "usage: ov2nc [-o OUT.nc] FILE...\n"
    "Writes every data set of the ov FILEs (a folder stands for the files in it)\n"
    "into one netCDF file following the CF conventions, OUT.nc, by default the\n"
    "first FILE with \".nc\" added.  All data sets must lie on one grid.\n";

int usage(FILE *to, int status)
{
    std::fputs(usage_text, to);
    return status;
}

std::string default_output(std::string first)
{
    while (first.size() > 1 && first.back() == '/')
        first.pop_back();
    return first + ".nc";
}

std::string command_line(int argc, char **argv)
{
    std::string line = "ov2nc";
    for (int i = 1; i < argc; i++)
        line += std::string(" ") + argv[i];
    return line;
}

// Writing over one of the inputs would lose it.
bool output_is_input(const plan &p, const std::string &out)
{
    struct stat o, in;
    if (stat(out.c_str(), &o) != 0)
        return false;
    for (const std::string &f : p.files)
        if (stat(f.c_str(), &in) == 0 && in.st_dev == o.st_dev && in.st_ino == o.st_ino) {
            std::fprintf(stderr, "ov2nc: %s: is one of the files to convert\n", out.c_str());
            return true;
        }
    return false;
}

bool make_plan(plan &p)
{
    for (int file = 0; file < static_cast<int>(p.files.size()); file++) {
        bool refused = false;
        bool read = ovset_each("ov2nc", p.files[static_cast<size_t>(file)], false,
                               [&](const OvHeader &h, int number) {
                                   refused = !plan_add(p, file, number, h);
                                   return !refused;
                               });
        if (!read || refused)
            return false;
    }
    return plan_finish(p);
}

}  // namespace

int main(int argc, char **argv)
{
    std::string out;
    int c;
    opterr = 0;
    while ((c = getopt(argc, argv, "o:h")) != -1) {
        if (c == '?')
            return usage(stderr, ovset_bad_switch("ov2nc", "o"));
        if (c == 'h')
            return usage(stdout, 0);
        if (!*optarg) {
            std::fprintf(stderr, "ov2nc: -o needs a file name\n");
            return usage(stderr, 2);
        }
        out = optarg;
    }
    if (optind == argc)
        return usage(stderr, 2);
    plan p;
    if (!ovset_expand("ov2nc", std::span<char *const>(argv + optind, argv + argc), p.files))
        return 1;
    if (out.empty())
        out = default_output(argv[optind]);
    if (output_is_input(p, out) || !make_plan(p))
        return 1;
    long written = cf_write(p, out, command_line(argc, argv));
    if (written < 0)
        return 1;
    std::printf("%ld data set(s) written to %s\n", written, out.c_str());
    return 0;
}
