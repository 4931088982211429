// gridls: the inventory of GRIB archives, one line per message, a summary
// (-s) or the codec's listing of one message (-V N).
#include "gridls.h"
#include "tpio.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

gl_run_state gl_run;

namespace {

const char usage_text[] =
    "usage: gridls [-s] [-V N] ARCHIVE...\n"
    "  -s    a summary of each archive instead of one line per message\n"
    "  -V N  the codec's listing of the sections of message N of each archive\n";

int usage(const char *why, const char *what = "")
{
    std::fprintf(stderr, "gridls: %s%s\n%s", why, what, usage_text);
    return GL_USAGE;
}

// Parses the switches; the archives start at argv[*first].
int parse(int argc, char **argv, int *first)
{
    opterr = 0;
    for (int c; (c = getopt(argc, argv, "sV:h")) != -1;) {
        switch (c) {
        case 's':
            gl_run.summary = 1;
            break;
        case 'V': {
            char *end = nullptr;
            errno = 0;
            long n = std::strtol(optarg, &end, 10);
            if (end == optarg || *end != '\0' || n < 1 || errno != 0)
                return usage("-V wants a message number from 1, not ", optarg);
            gl_run.listing = n;
            break;
        }
        case 'h':
            std::fputs(usage_text, stdout);
            return -1;
        default: {
            char sw[3] = {'-', static_cast<char>(optopt), '\0'};
            return usage(optopt == 'V' ? "a message number must follow " : "unknown switch ", sw);
        }
        }
    }
    if (gl_run.summary && gl_run.listing)
        return usage("-s and -V cannot be used together");
    if (optind >= argc)
        return usage("no archive named");
    *first = optind;
    return GL_OK;
}

// The lines of the inventory go to the standard output as it was; the
// codec's messages, which it prints on the standard output, go with the
// framing's to the standard error.  -V wants the codec's lines on the
// standard output.
void split_outputs()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);   // in step with the standard error
    int fd = dup(STDOUT_FILENO);
    std::FILE *out = fd >= 0 ? fdopen(fd, "w") : nullptr;
    if (out == nullptr || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        if (out != nullptr)
            std::fclose(out);
        return;
    }
    gl_run.out = out;
}

// One archive: 0, or GL_UNREADABLE when it cannot be opened or read, or it
// has no message -V asks for.
int inventory(const char *name)
{
    gl_sum = gl_summary_state{};
    gp_archive_options options;
    options.program = "gridls";
    options.too_long = gl_summary_too_long;
    options.heads = 1;
    options.whole_at = gl_run.listing;
    char error[8192];
    gp_archive_ptr archive(gp_archive_open(name, &options, error, sizeof error));
    if (archive == nullptr) {
        std::fprintf(stderr, "%s\n", error);
        return GL_UNREADABLE;
    }
    bool listed = false;
    gp_archive_message where{};
    for (;;) {
        int n = gp_archive_next(archive.get(), &where);
        if (n < 0)
            break;
        gl_msg.buffer = where.words;
        long number = gp_archive_counts(archive.get()).whole;
        gl_summary_whole(where);
        if (gl_run.listing != 0) {
            if (number == gl_run.listing) {
                gl_list(n, where, number);
                listed = true;
                break;
            }
            continue;
        }
        gl_entry e;
        if (int code = gl_decode(n, where, number, &e); code != 0) {
            std::fflush(stdout);   // the codec's line before the warning
            std::fprintf(stderr, "gridls: GRIB message at %s %ld cannot be decoded (code %d); "
                         "passed over\n", where.at == GP_AT_RECORD ? "record" : "offset",
                         where.position, code);
            gl_summary_undecodable(e, code);
        } else if (gl_run.summary) {
            gl_summary_add(e);
        } else {
            std::fprintf(gl_run.out, "%s\n", gl_line(e).c_str());
        }
    }
    gp_archive_totals totals = gp_archive_counts(archive.get());
    archive.reset();
    if (gl_run.summary)
        gl_summary_print(name, totals);
    if (totals.error != 0)
        return GL_UNREADABLE;
    if (gl_run.listing != 0 && !listed) {
        std::fprintf(stderr, "gridls: %s has no message %ld\n", name, gl_run.listing);
        return GL_UNREADABLE;
    }
    return GL_OK;
}

}  // namespace

void gl_reset()
{
    if (gl_run.out != stdout && gl_run.out != nullptr)
        std::fclose(gl_run.out);
    gl_run = gl_run_state{};
    gl_sum = gl_summary_state{};
    gl_msg.buffer = {};
    tpio_reset();
}

int main(int argc, char **argv)
{
    int first = 0;
    if (int status = parse(argc, argv, &first); status != GL_OK)
        return status < 0 ? GL_OK : status;
    if (gl_run.listing == 0)
        split_outputs();
    int status = GL_OK;
    bool several = argc - first > 1;
    for (int i = first; i < argc; i++) {
        if (several && i > first)
            std::fputc('\n', gl_run.out);
        if (several && !gl_run.summary)
            std::fprintf(gl_run.out, "%s:\n", argv[i]);
        std::fflush(gl_run.out);   // in order with what goes to the standard error
        if (inventory(argv[i]) != GL_OK)
            status = GL_UNREADABLE;
    }
    if (std::fflush(gl_run.out) != 0 || std::ferror(gl_run.out)) {
        std::fprintf(stderr, "gridls: cannot write the inventory: %s\n", std::strerror(errno));
        status = GL_UNREADABLE;
    }
    return status;
}
