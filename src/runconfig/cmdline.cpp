// The run configuration's defaults and the command line.
#include "config.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

gp_run_config gp_run;

void gp_run_reset()
{
    gp_run = gp_run_config{};
}

void gp_run_defaults()
{
    gp_run.start_month = 0;
    gp_run.start_day = 0;
    gp_run.end_month = 0;
    gp_run.end_day = 0;
    gp_run.destination = GP_DEST_PER_FIELD;
    gp_run.prompt_user = 0;
    gp_run.getall = 0;
    gp_run.verbose = 0;
    gp_run.xquery = 1;
    gp_run.out_file[0] = '\0';
}

void print_usage()
{
    std::fputs("Usage: gridpick input_device (or file)\n", stdout);
    std::fputs("\t-o\t\t\t\t\twrites all data sets to the same file\n", stdout);
}

namespace {

constexpr int status_usage = 1;
constexpr int status_abort = 255;  // exit(-1)

int usage_exit(int status)
{
    print_usage();
    std::fflush(stdout);
    return status;
}

// The same file however it is named (links, "./", other paths).
bool same_file(const char *a, const char *b)
{
    struct stat sa {}, sb {};
    return ::stat(a, &sa) == 0 && ::stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void copy_bounded(char *dst, std::size_t size, const char *src)
{
    std::snprintf(dst, size, "%s", src);
}

}  // namespace

int gp_parse_command_line(int argc, char **argv, char *device)
{
    if (argc < 2)
        return usage_exit(status_usage);

    int i = 1;
    while (i < argc) {
        const char *word = argv[i];
        if (word[0] != '-') {
            if (std::strlen(word) > GP_DEVICE_MAX) {
                std::fprintf(stderr,
                             "gridpick: archive name too long (at most %d characters): %s\n",
                             GP_DEVICE_MAX, word);
                return status_usage;
            }
            copy_bounded(device, GP_DEVICE_LEN, word);
            i++;
            continue;
        }
        char sw = word[1];
        switch (sw) {
        case 'a':
            gp_run.getall = 1;
            break;
        case 'f':
            if (i + 1 >= argc)
                return usage_exit(status_usage);
            copy_bounded(gp_run.out_file, sizeof gp_run.out_file, argv[++i]);
            gp_run.out_file_given = 1;
            break;
        case 'h':
        case '?':
        case 'u':
            return usage_exit(status_abort);
        case 'i':
            if (i + 2 >= argc)
                return usage_exit(status_usage);
            gp_run.first_day = gp_scan_date(argv[++i], &gp_run.start_month, &gp_run.start_day,
                                            &gp_run.start_year);
            gp_run.last_day =
                gp_scan_date(argv[++i], &gp_run.end_month, &gp_run.end_day, &gp_run.end_year);
            std::printf("first day: %d\n, last_day: %d\n", gp_run.first_day, gp_run.last_day);
            break;
        case 'o':
            gp_run.destination = GP_DEST_ONE_FILE;
            break;
        case 'p':
            gp_run.prompt_user = 1;
            break;
        case 's':
            gp_run.destination = GP_DEST_PER_FIELD;
            break;
        case 'v':
            gp_run.verbose = 1;
            break;
        case 'x':
            gp_run.xquery = 1 - gp_run.xquery;
            break;
        default:
            std::printf("Switch '%.1s' undefined.\n", word + 1);
            return usage_exit(status_abort);
        }
        i++;
    }
    if (gp_run.out_file[0] == '\0')
        std::strcpy(gp_run.out_file, "norva.out");
    if (gp_run.destination == GP_DEST_ONE_FILE && gp_run.out_file_given &&
        same_file(gp_run.out_file, device)) {
        std::fprintf(stderr, "gridpick: %s is the archive being read; it is not written over\n",
                     gp_run.out_file);
        return status_usage;
    }
    return 0;
}
