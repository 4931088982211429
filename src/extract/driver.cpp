// The extraction driver: open, ask, search, write, report.
#include "archive.h"
#include "extract.h"
#include "tpio.h"
#include "writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

gp_search_state gp_search;

namespace {

constexpr int status_write_failed = 1;
constexpr int status_signal_base = 128;

gp_archive *archive = nullptr;   // the archive being read (gp_extract_run's)

void note_seen(const gp_field_state &f)
{
    if (gp_search.messages++ == 0)
        gp_search.first = f;
    gp_search.last = f;
}

// Reads and decodes (sections 1 and 2) the next message that can be
// decoded; false when there is none or the run is to stop.
bool next_message()
{
    for (;;) {
        if (gp_search.stop_signal != 0 || gp_search.end_status != 0)
            return false;
        if (read_next_dataset(archive) == GP_NO_MORE)
            return false;
        if (decode_data_set(gp_msg.igrib) == 0) {
            note_seen(gp_field);
            return true;
        }
        gp_search.passed_over++;
    }
}

// Only notes the signal; the search stops before its next message.  Standard
// input is made to read as ended, so that a prompt about to wait (or waiting:
// the read returns, there is no SA_RESTART) reads "q" at once.
void on_stop_signal(int sig)
{
    gp_search.stop_signal = sig;
    int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::close(null);
    }
}

// SIGINT and SIGTERM end the run after the data set being written; one that
// the run was started ignoring (nohup, background jobs) stays ignored.
void catch_stop_signals()
{
    struct sigaction stop {};
    stop.sa_handler = on_stop_signal;
    sigemptyset(&stop.sa_mask);
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(sig, &stop, nullptr);
    }
}

// What the archive held, so far as it was read, beside the dates asked for.
void explain_nothing_written(const gp_archive_totals &t)
{
    const gp_search_state &s = gp_search;
    long passed = s.passed_over + t.damaged + t.other_editions;
    std::fputs("gridpick: no data set written; as far as it was read, the archive held ", stderr);
    if (s.messages + passed == 0)
        std::fputs("no GRIB message", stderr);
    else if (s.messages == 0)
        std::fprintf(stderr, "%ld message(s), none of which could be decoded", passed);
    else
        std::fprintf(stderr, "%ld message(s) from %d/%d/%d to %d/%d/%d", s.messages + passed,
                     s.first.current_month, s.first.current_day, gp_field_full_year(s.first),
                     s.last.current_month, s.last.current_day, gp_field_full_year(s.last));
    if (s.messages > 0 && passed > 0)
        std::fprintf(stderr, " (%ld of them passed over unread)", passed);
    std::fprintf(stderr, "; dates asked for: %d/%d/%d to %d/%d/%d\n", gp_run.start_month,
                 gp_run.start_day, gp_typed_full_year(gp_run.start_year), gp_run.end_month,
                 gp_run.end_day, gp_typed_full_year(gp_run.end_year));
}

int exit_status()
{
    if (gp_search.stop_signal != 0)
        return status_signal_base + gp_search.stop_signal;
    return gp_out.failed > 0 ? status_write_failed : 0;
}

void skip_while_far_before()
{
    const gp_field_state &f = gp_field;
    // In long long: the dialog takes any first day, INT_MIN included.
    if (gp_field_day(f) < gp_run.first_day - 1LL) {
        int count = GP_SKIP_RECORDS;
        gp_archive_skip_records(archive, count);
    }
}

constexpr int status_cannot_create = 255;   // exit(-1) of old

void write_current()
{
    int count = unpack_data_set(gp_msg.igrib);
    if (count >= 0 && write_data_set(count) == GP_CANNOT_CREATE)
        gp_out.cannot_create = 1;
    if (gp_out.cannot_create)
        gp_search.end_status = status_cannot_create;
}

// After a first wind component: reads the next message.  When it is the
// second component it is written with the first (decision GP_WRITE) or
// dropped, and the message after it is read.  False at the end.
bool finish_pair(int decision)
{
    const gp_field_state u = gp_field;
    if (!next_message())
        return false;
    if (!gp_second_component_of(u, gp_field)) {
        gp_drop_pending();        // judged on its own in the main loop
        return true;
    }
    if (decision == GP_WRITE && gp_out.pending) {
        write_current();
        gp_drop_pending();        // still waiting: the second did not decode
    }
    return next_message();
}

// The report at the end of the run; its status.
int finish_run()
{
    gp_drop_pending();
    if (gp_run.destination == GP_DEST_PER_FIELD)
        std::printf("%d data set(s) written.\n", gp_run.num_dsets_written);
    else
        std::printf("%d data set(s) written to %s\n", gp_run.num_dsets_written, gp_run.out_file);
    std::fflush(stdout);
    if (gp_run.num_dsets_written == 0)
        explain_nothing_written(gp_archive_counts(archive));
    return exit_status();
}

// The selection, the search and the report, on the open archive.
int search(int argc, char **argv)
{
    if (int status = query_user(argc, argv); status != 0)
        return status;
    catch_stop_signals();
    std::fputs("Searching tape...\n", stderr);
    gp_run.num_dsets_written = 0;
    gp_field.current_month = gp_field.current_day = gp_field.current_year = 0;
    // Files per field are written on a thread of their own while the next
    // fields are read; with prompts, each file is made before the next
    // question.
    gp_out.writer_thread = gp_run.destination == GP_DEST_PER_FIELD && !gp_run.prompt_user;

    bool have = next_message();
    if (!have && gp_archive_counts(archive).error != 0)
        return 1;   // nothing could be read: as an archive that cannot be opened
    while (have) {
        gp_show_progress();
        skip_while_far_before();
        int decision = desired_data_set();
        if (decision == GP_QUIT)
            break;
        if (decision == GP_WRITE)
            write_current();
        if (gp_component_of(gp_field.current_param, gp_field_source(gp_field)) ==
            GP_FIRST_COMPONENT)
            have = finish_pair(decision);
        else
            have = next_message();
    }
    gp_writer_finish();
    gp_out.writer_thread = 0;
    if (gp_out.cannot_create)
        gp_search.end_status = status_cannot_create;
    return gp_search.end_status != 0 ? gp_search.end_status : finish_run();
}

}  // namespace

int gp_extract_run(int argc, char **argv, const char *device)
{
    char error[8192];
    gp_archive_ptr opened(gp_archive_open(device, nullptr, error, sizeof error));
    if (opened == nullptr) {
        std::fprintf(stderr, "%s\n", error);
        return 1;
    }
    archive = opened.get();
    int status = search(argc, argv);
    archive = nullptr;
    return status;
}

void gp_show_progress()
{
    const gp_field_state &f = gp_field;
    char date[48];
    int n = std::snprintf(date, sizeof date, "%02d/%02d/%02d", f.current_month, f.current_day,
                          gp_field_shown_year(f));
    for (int i = 0; i < 4; i++)
        std::printf("%s%.*s", date, n, "\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b");
    static const bool terminal = ::isatty(STDOUT_FILENO);   // asked once a run
    if (terminal)
        std::fflush(stdout);
}

void gp_extract_reset()
{
    tpio_reset();
    gp_run_reset();
    gp_field = gp_field_state{};
    gp_msg = gp_message_state{};
    gp_table = gp_param_table{};
    gp_out = gp_output_state{};
    gp_output_forget_names();
    gp_search = gp_search_state{};
}
