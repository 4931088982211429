// The extraction driver: open, ask, search, write, report.
#include "extract.h"
#include "frame.h"
#include "tpio.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads and decodes (sections 1 and 2) the next message that can be
// decoded; false when there is none.
bool next_message()
{
    for (;;) {
        if (read_next_dataset(gp_run.tape_unit, gp_msg.igrib) == GP_NO_MORE)
            return false;
        if (decode_data_set(gp_msg.igrib) == 0)
            return true;
    }
}

void show_progress()
{
    const gp_field_state &f = gp_field;
    for (int i = 0; i < 4; i++)
        std::printf("%02d/%02d/%02d\b\b\b\b\b\b\b\b", f.current_month, f.current_day,
                    f.current_year);
}

void skip_while_far_before()
{
    const gp_field_state &f = gp_field;
    // In long long: the dialog takes any first day, INT_MIN included.
    if (kdate(f.current_month, f.current_day, f.current_year) < gp_run.first_day - 1LL) {
        int count = GP_SKIP_RECORDS;
        mtskip_rec(&gp_run.tape_unit, &count);
    }
}

void write_current()
{
    int count = unpack_data_set(gp_msg.igrib);
    if (count >= 0)
        write_data_set(count);
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

}  // namespace

int gp_extract_run(int argc, char **argv, const char *device)
{
    if (gp_frame_open(gp_run.tape_unit, device) < 0)
        return 1;
    query_user(argc, argv);
    std::fputs("Searching tape...\n", stderr);
    gp_run.num_dsets_written = 0;
    gp_field.current_month = gp_field.current_day = gp_field.current_year = 0;

    bool have = next_message();
    if (!have && gp_frame.error != 0)
        return 1;   // nothing could be read: as an archive that cannot be opened
    while (have) {
        show_progress();
        skip_while_far_before();
        int decision = desired_data_set();
        if (decision == GP_QUIT)
            exit_proc();
        if (decision == GP_WRITE)
            write_current();
        if (gp_component_of(gp_field.current_param) == GP_FIRST_COMPONENT)
            have = finish_pair(decision);
        else
            have = next_message();
    }
    exit_proc();
}

void exit_proc()
{
    gp_drop_pending();
    mtclose(&gp_run.tape_unit);
    if (gp_run.destination == GP_DEST_PER_FIELD)
        std::printf("%d data set(s) written.\n", gp_run.num_dsets_written);
    else
        std::printf("%d data set(s) written to %s\n", gp_run.num_dsets_written, gp_run.out_file);
    std::fflush(nullptr);
    std::exit(0);
}

void gp_extract_reset()
{
    tpio_reset();
    gp_frame_reset();
    gp_run_reset();
    gp_field = gp_field_state{};
    gp_msg = gp_message_state{};
    gp_table = gp_param_table{};
    gp_out = gp_output_state{};
}
