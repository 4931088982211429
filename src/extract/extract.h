/*
 * extract.h -- the extraction program: archive reader, field decoding,
 * selection, data set output, terminal dialogue and the driver.
 *
 * All state is process-wide and lives in a few plain structs with one
 * instance each, reset with gp_extract_reset() (tests do so between cases):
 *   gp_run    the run configuration (config.h)
 *   gp_field  the field decoded last (current_*)
 *   gp_msg    the message buffer igrib, the codec's section arrays and the
 *             decoded values
 *   gp_table  the parameter table (units, extension names, missing values,
 *             scale factors)
 *   gp_out    the output step's descriptor and the waiting first component
 *             of a wind pair
 *   gp_search what the search has met: messages, dates, a stop signal
 *   gp_tpio   the unit layer (tpio.h)
 *
 * Decisions: 1 write, 0 skip, -1 quit.  GP_NO_MORE (-3): no more messages.
 */
#ifndef GRIDPICK_EXTRACT_H
#define GRIDPICK_EXTRACT_H

#include "config.h"
#include "param_table.h"
#include <gridpick/ov.h>
#include "sections.h"
#include "tpio.h"

#include <csignal>
#include <cstddef>
#include <cstdint>

/* GP_IGRIB_WORDS and GP_MAX_VALUES: sections.h; GP_UNIT_COUNT and
 * GP_RECORD_SIZE: tpio.h; GP_READ_RETRIES: frame.h. */
enum {
    GP_NO_MORE = -3,           /* read_next_dataset: no more messages */
    GP_SKIP_RECORDS = 41,      /* records skipped while far before first_day */
    GP_MAX_TERMINAL_LEVELS = 14
};

enum { GP_WRITE = 1, GP_SKIP = 0, GP_QUIT = -1 };

/* The field decoded last; the year is the two-digit year of the century. */
struct gp_field_state {
    int current_year, current_month, current_day;
    int current_hour, current_minute;
    int current_param, current_level;
};
extern gp_field_state gp_field;

/* The message buffer and the codec's arrays (ksec0 .. ksec4, sections.h),
 * reused for every message.  igrib holds the message's octets exactly as
 * read. */
struct gp_message_state : gp_sections {
    std::int32_t igrib[GP_IGRIB_WORDS];
    float decoded_data[GP_MAX_VALUES];
    unsigned char record[GP_RECORD_SIZE];  /* one tape record */
    long position;     /* where the message began: record number or offset */
    int from_records;  /* 1: position counts records, 0: bytes */
};
extern gp_message_state gp_msg;

/* Everything back to program start (gp_run, gp_field, gp_msg, gp_table,
 * gp_out, gp_search, the units of gp_tpio closed). */
void gp_extract_reset();

/* ---- decoding (decode.cpp) ------------------------------------------ */

/* Decodes sections 0 to 2 of the message in buffer into gp_msg.ksec1 and
 * ksec2 and copies date, time, parameter and level into gp_field.
 * Returns 0, or -1 after a warning on standard error when the message
 * cannot be decoded or is a pseudo-message (gp_field is then unchanged). */
int decode_data_set(std::int32_t *buffer);

/* Decodes the whole message (values into gp_msg.decoded_data) for a field
 * about to be written; points a bit map marks missing hold the missing
 * value of the parameter (the data set's bad_value), and the values of a
 * field flagged as integer data are turned into reals.  Returns the number of
 * grid points (num_rows x num_columns), or -1 after a warning when the
 * message cannot be decoded, its values do not fill a grid of at most
 * GP_MAX_VALUES points, or it lacks values for points its bit map marks
 * present (no value of an earlier field is ever left in their place). */
int unpack_data_set(std::int32_t *buffer);

/* values[0..count) *= factor, after printing "Scaling by %g\n". */
void scale_data(float *values, int count, float factor);

/* The same for the values that are not *bad (the missing points of a data
 * set keep its bad_value); every value when bad is null. */
void gp_scale_present(float *values, int count, float factor, const float *bad);

/* decoded_data as 144 x 73 becomes 73 x 144 (rows and columns exchanged). */
void new_transpose_data();

/* A malloc'ed rows x columns block copied from source (row length
 * row_length) at first_row, first_column; the caller frees it.  Null after
 * "copy_array_subset: malloc failed" (also for negative sizes). */
float *copy_array_subset(const float *source, int row_length, int row_count,
                         int first_row, int first_column, int rows,
                         int columns);

/* ---- archive reader (reader.cpp) ------------------------------------- */

/* One record into buffer (at most GP_RECORD_SIZE bytes; size is not
 * used), retried up to GP_READ_RETRIES times while reads return 0 or less;
 * the record's byte count, or GP_NO_MORE after the last retry. */
int read_block(int unit, void *buffer, int size);

/* The next whole message at the start of buffer (GP_IGRIB_BYTES bytes,
 * zero past the message), through gp_frame_next (frame.h).  Returns its
 * byte count (on record units possibly with the padding of its last
 * record) or GP_NO_MORE: at the end of the archive, on a read failure
 * (gp_frame.error), or when the field decoded last lies after last_day.
 * Damaged messages, messages that do not fit the buffer and bytes or
 * records that are not GRIB are reported on standard error and passed over;
 * gp_msg.position and from_records tell where the message began. */
int read_next_dataset(int unit, std::int32_t *buffer);

/* Length in bytes of the message at the start of buffer, or -1 when the
 * codec cannot establish it. */
int lengrib(std::int32_t *buffer);

/* 1 when kdate of the date lies after last_day, else 0. */
int read_too_far(int month, int day, int year);

/* ---- selection (select.cpp) ------------------------------------------ */

/* 1 when first_day <= kdate(month, day, year) <= last_day, else 0. */
int desired_date(int month, int day, int year);

/* 1 with -a; otherwise param[code] (0 for codes outside 0..184). */
int desired_param(int code);

/* 1 with -a, or when level is one of the first num_levels entries of
 * level; else 0. */
int desired_level(int level);

/* Decision for the current field (gp_field): GP_SKIP unless date,
 * parameter and level are wanted; then, when prompt_user is set and the
 * field is not the second component of a wind pair, user_decision();
 * otherwise GP_WRITE. */
int desired_data_set();

/* 1 when v is the second component of the wind pair whose first component
 * is u: u's partner code, the same date, time and level; else 0. */
int gp_second_component_of(const gp_field_state &u, const gp_field_state &v);

/* Asks "Do you want the ... ? (y/n/q): " on standard output and reads one
 * word: y/Y GP_WRITE, q/Q or the end of input GP_QUIT, anything else
 * GP_SKIP. */
int user_decision();

/* "%d\t%d\n" for each index and value (a debugging aid). */
void print_vals(const int *values, int count);

/* ---- output (output.cpp) --------------------------------------------- */

struct gp_output_state {
    int out_fd;                   /* the output file while writing to it */
    int file_started;             /* 1: -o's one file has been created */
    int failed;                   /* data sets that could not be written */
    int pending;                  /* 1: a first wind component waits */
    gp_field_state pending_field; /* its field */
    int pending_points;
    OvHeader pending_hdr;         /* its header, data = first_component */
    float first_component[GP_MAX_VALUES];
};
extern gp_output_state gp_out;

/* The output name of field f, "NRV.%d%s%d.%02dz.%dmb.%s", into name (size
 * bytes); the last part is gp_param_name() of its code. */
void gp_output_name(const gp_field_state &f, char *name, std::size_t size);

/* Writes the current field (values in gp_msg.decoded_data, count points).
 * A first wind component is kept until its second component arrives; the
 * pair is then written as one OV_VECTOR data set and counted as two.
 * Per field, the file is written as "<name>.part" and renamed to its name
 * when whole.  With -o the first data set creates out_file (named after
 * its field unless -f named it) and later ones are appended; one that
 * cannot be written whole is cut off again.  Returns 0, or -1 when nothing
 * was written (and nothing counted): a second component had no first one,
 * or, counted in gp_out.failed, the file to append to could not be opened
 * or the writing failed (a full disk included); each is reported on
 * standard error.  Ends the process with status 255 when a new file cannot
 * be created for any other reason. */
int write_data_set(int count);

/* Fills hdr for the current field (gp_field, gp_msg.ksec1, ksec2, the
 * parameter table) with data as its values; vdata null. */
void gp_fill_header(OvHeader *hdr, float *data);

/* Writes the data set hdr describes to fd; 0, or -1 after the writer's
 * message. */
int write_dset(int fd, OvHeader *hdr);

/* Drops a waiting first component with a warning: its second component
 * did not follow. */
void gp_drop_pending();

/* ---- terminal dialogue (dialogue.cpp) -------------------------------- */

/* Completes the selection: the selector dialog when xquery is set and a
 * display can be opened, otherwise questions on standard error for the
 * dates that -i left open and, without -a, the parameters and levels.
 * Ends the process with 1 after too many bad answers and with 255 when no
 * parameter or no level was chosen.  End of input ends a list; at a date
 * question it counts as a bad answer. */
void query_user(int argc, char **argv);

/* "12/31" gives 12 and 31: the digits before the '/', then the two
 * characters after it. */
void parse_date(const char *text, int *first, int *second);

/* ---- standard input (input.cpp) -------------------------------------- */

/* Next whitespace-delimited word of standard input into word (size bytes,
 * longer words are cut).  Returns 0, or -1 at the end of input (word is
 * then empty). */
int gp_read_word(char *word, std::size_t size);

/* Prints "Enter Filename [name]: " and replaces name (size bytes) with the
 * line typed, unless it is empty. */
void get_file_name_from_user(char *name, std::size_t size);

/* One line of standard input into buffer without its newline; returns the
 * number of separators (white_space) in it plus one when it is not empty,
 * 0 at the end of input. */
int get_arg_string(char *buffer, std::size_t size);

/* 1 for tab, blank and comma. */
int white_space(int c);

/* ---- driver (driver.cpp) --------------------------------------------- */

/* What the search has met, for the end of the run. */
struct gp_search_state {
    long messages;                 /* messages decoded so far */
    gp_field_state first, last;    /* the first and the last of them */
    volatile std::sig_atomic_t stop_signal;  /* SIGINT or SIGTERM received */
};
extern gp_search_state gp_search;

/* The run after the command line: opens device, completes the selection,
 * searches the archive and writes what is wanted, then reports through
 * exit_proc.  SIGINT and SIGTERM during the search end it after the data
 * set being written.  Returns only when the archive cannot be opened
 * (status 1). */
int gp_extract_run(int argc, char **argv, const char *device);

/* The current field's date, "%02d/%02d/%02d" and eight backspaces, four
 * times on standard output; flushed at once when that is a terminal. */
void gp_show_progress();

/* Closes the archive, prints the report (and, when nothing was written, a
 * line on standard error with the dates and number of the messages read and
 * the dates asked for) and ends the process: 128 + the signal after SIGINT
 * or SIGTERM, else 1 when a data set could not be written, else 0. */
[[noreturn]] void exit_proc();

#endif
