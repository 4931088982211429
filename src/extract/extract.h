/*
 * extract.h -- the extraction program: archive reader, field decoding,
 * selection, data set output, terminal dialogue and the driver.
 *
 * All state is process-wide and lives in a few plain structs with one
 * instance each, reset with gp_extract_reset() (tests do so between cases):
 *   gp_run    the run configuration (config.h)
 *   gp_field  the field decoded last (current_*)
 *   gp_msg    the message read last (igrib), the codec's section arrays and the
 *             decoded values
 *   gp_table  the parameter table (units, extension names, missing values,
 *             scale factors)
 *   gp_out    the output step's descriptor and the waiting first component
 *             of a wind pair
 *   gp_search what the search has met: messages, dates, a stop signal
 * The archive being read is a handle of the archive reader (archive.h),
 * open for the time of gp_extract_run.
 *
 * Decisions: 1 write, 0 skip, -1 quit.  GP_NO_MORE (-3): no more messages.
 */
#ifndef GRIDPICK_EXTRACT_H
#define GRIDPICK_EXTRACT_H

#include "config.h"
#include "grid.h"
#include "param_table.h"
#include <gridpick/ov.h>
#include "archive.h"
#include "sections.h"
#include "tpio.h"

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

/* GP_IGRIB_WORDS and GP_MAX_VALUES: sections.h; GP_UNIT_COUNT and
 * GP_RECORD_SIZE: tpio.h; GP_READ_RETRIES: archive.h. */
enum {
    GP_NO_MORE = -3,           /* read_next_dataset: no more messages */
    GP_CANNOT_CREATE = -4,     /* write_data_set: the run is to end (255) */
    GP_SKIP_RECORDS = 41,      /* records skipped while far before first_day */
    GP_MAX_TERMINAL_LEVELS = 14
};

enum { GP_WRITE = 1, GP_SKIP = 0, GP_QUIT = -1 };

/* The field decoded last: its reference time (current_year the year of the
 * century 1..100, current_century the century, KSEC1(21): 20 for 1901 to
 * 2000), parameter, level and producer, and its step.  A field built
 * without them is an analysis of the NORVA centre in the twentieth century. */
struct gp_field_state {
    int current_year, current_month, current_day;
    int current_hour, current_minute;
    int current_param, current_level;
    int current_century = 20;
    int current_centre = GP_NORVA_CENTRE;  /* KSEC1(2) */
    int current_table = 128;               /* KSEC1(1), parameter table version */
    int current_term = 0;      /* hours from the reference time to the end of
                                  the period the field is valid for; -1 when
                                  that is not a whole number of hours */
    int current_forecast = 0;  /* 1: not an analysis (its name gets +<term>h) */
};
extern gp_field_state gp_field;

/* The field's date, time, parameter, level, producer and step from its
 * decoded section 1 (element n at k1[n - 1]). */
gp_field_state gp_field_from_ksec1(const std::int32_t *k1);

/* Hours from the reference time to the end of the period of section 1:
 * P1 for a forecast (time range indicators 0 and 10), 0 for an initialised
 * analysis (1), P2 for a range, an average, an accumulation or a difference
 * (2 to 5), in the unit of time of KSEC1(15).  -1 when that is not a whole
 * number of hours (units of months and longer, a step of 90 minutes) or
 * the indicator is another one. */
int gp_term_hours(int indicator, int unit, int p1, int p2);

/* The full year of the field (1979, 2000, 2007): gp_full_year of its
 * century and year of century. */
int gp_field_full_year(const gp_field_state &f);

/* The year as names, headers and messages show it: the year of the century
 * for 1901 to 2000 (79, 100), the full year otherwise (2007). */
int gp_field_shown_year(const gp_field_state &f);

/* kdate of the field's date, from its full year. */
int gp_field_day(const gp_field_state &f);

/* The producer's parameter table of the field (param_table.h). */
gp_source gp_field_source(const gp_field_state &f);

/* The message read last and the codec's arrays (ksec0 .. ksec4,
 * sections.h), reused for every message.  igrib shows the message's octets
 * exactly as read, in the archive's buffer (archive.h), zero past them;
 * decoded_data grows to what a field needs and is reused while fields fit.
 * grid is the plan of the field decoded last. */
struct gp_message_state : gp_sections {
    std::span<std::int32_t> igrib;   /* the message read last: the archive's buffer */
    std::vector<float> decoded_data = std::vector<float>(GP_MAX_VALUES);
    std::vector<float> scratch;   /* reused when values are reordered */
    gp_grid_plan grid;
    unsigned char record[GP_RECORD_SIZE];  /* one tape record */
    long position;     /* where the message began: record number or offset */
    int from_records;  /* 1: position counts records, 0: bytes */
    std::FILE *report = stderr;  /* where the decoding's warnings go */
};
extern gp_message_state gp_msg;

/* Everything back to program start (gp_run, gp_field, gp_msg, gp_table,
 * gp_out, gp_search, the units of gp_tpio closed). */
void gp_extract_reset();

/* ---- decoding (decode.cpp) ------------------------------------------ */

/* "gridpick: GRIB message at offset N <what>; passed over" ("record N" on
 * tape, gp_msg.position), what made from format like printf, on
 * gp_msg.report (standard error unless a caller collects the reports). */
[[gnu::format(printf, 1, 2)]] void gp_pass_over(const char *format, ...);

/* Decodes sections 0 to 2 of the message in buffer into gp_msg.ksec1 and
 * ksec2 and copies date, time, parameter and level into gp_field.
 * Returns 0, or -1 after a warning on standard error when the message
 * cannot be decoded or is a pseudo-message (gp_field is then unchanged). */
int decode_data_set(std::span<std::int32_t> buffer);

/* Decodes the whole message (values into gp_msg.decoded_data, which grows
 * to what the field needs, at most GP_MAX_DECODED values) for a field about
 * to be written, with its grid's plan in gp_msg.grid (grid.h): a
 * quasi-regular grid is expanded, values along meridians are put in rows.
 * Points a bit map marks missing hold the missing value of the parameter
 * (the data set's bad_value), and the values of a field flagged as integer
 * data are turned into reals.  Returns the number of grid points
 * (num_rows x num_columns), or -1 after a line on standard error ending in
 * "; passed over" when the grid is one an ov data set cannot describe, the
 * packing one the codec does not decode, the message cannot be decoded (the
 * codec's code), its values do not fill the grid, or it lacks values for
 * points its bit map marks present (no value of an earlier field is ever
 * left in their place).  The codec prints nothing on this path. */
int unpack_data_set(std::span<std::int32_t> buffer);

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

/* The next whole message of archive, shown by gp_msg.igrib (archive.h:
 * the archive's buffer, zero past the message).  Returns its byte count
 * (on record units possibly with the padding of its last record) or
 * GP_NO_MORE: at the end of the archive, on a read failure (the archive's
 * error), or when the field decoded last lies after last_day.  Damaged
 * messages and bytes or records that are not GRIB are reported and passed
 * over; gp_msg.position and from_records tell where the message began. */
int read_next_dataset(gp_archive *archive);

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
    int writer_thread;            /* 1: files per field made by the writer thread */
    int cannot_create;            /* 1: the writer thread could not create a file */
    int pending;                  /* 1: a first wind component waits */
    gp_field_state pending_field; /* its field */
    int pending_points;
    OvHeader pending_hdr;         /* its header, data = first_component */
    std::vector<float> first_component;
    gp_grid_plan pending_grid;    /* its grid (lats and lons of pending_hdr) */
};
extern gp_output_state gp_out;

/* The output name of field f, "NRV.%d%s%d.%02dz.%dmb.%s", into name (size
 * bytes): its year (gp_field_shown_year), month, day, hour, level and
 * gp_param_name() of its code for its producer.  A field that is not an
 * analysis has its step after the hour: "NRV.79JAN1.00z+6h.500mb.temp". */
void gp_output_name(const gp_field_state &f, char *name, std::size_t size);

/* Forgets the names written in this run (write_data_set passes over a
 * second field of a name it has written). */
void gp_output_forget_names();

/* Writes the current field (values in gp_msg.decoded_data, count points).
 * A first wind component is kept until its second component arrives; the
 * pair is then written as one OV_VECTOR data set and counted as two.
 * With one file per field, a field whose name was written already in this
 * run is passed over with a line naming it (-1, nothing counted), and so is
 * a field whose step is not a whole number of hours.
 * Per field, the file is written as "<name>.part" and renamed to its name
 * when whole.  With -o the first data set creates out_file (named after
 * its field unless -f named it) and later ones are appended; one that
 * cannot be written whole is cut off again.  Returns 0, or -1 when nothing
 * was written (and nothing counted): a second component had no first one,
 * or, counted in gp_out.failed, the file to append to could not be opened
 * or the writing failed (a full disk included); each is reported on
 * standard error.  Returns GP_CANNOT_CREATE, after the system's reason on
 * standard error, when a new file cannot be created for any other reason:
 * the run is to end at once with status 255. */
int write_data_set(int count);

/* Fills hdr for the current field (gp_field, gp_msg.ksec1, ksec2 as
 * decoded, the parameter table) with data as its values; vdata null.  The
 * grid's fields come from its plan (grid.h), kept in gp_msg.grid: an
 * IRREGULAR grid's lats and lons point into it, valid until the next call. */
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
 * Returns 0; or the status the run is to end with, after its message: 1
 * after too many bad answers, 255 when no parameter or no level was chosen.
 * End of input ends a list; at a date question it counts as a bad answer. */
int query_user(int argc, char **argv);

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
    long passed_over;              /* messages read but passed over whole
                                      (an edition, grid or packing gridpick
                                      does not decode, damage) */
    gp_field_state first, last;    /* the first and the last of them */
    volatile std::sig_atomic_t stop_signal;  /* SIGINT or SIGTERM received */
    int end_status;                /* not 0: the run ends at once with it */
};
extern gp_search_state gp_search;

/* The run after the command line: opens device, completes the selection,
 * searches the archive and writes what is wanted, then prints the report
 * (and, when nothing was written, a line on standard error with the dates
 * and number of the messages read and the dates asked for).  SIGINT and
 * SIGTERM during the search end it after the data set being written.
 * Returns the status the process is to end with: 128 + the signal after
 * SIGINT or SIGTERM, else 1 when a data set could not be written, else 0;
 * without the report, 1 when the archive cannot be opened or read, the
 * status of query_user when it ends the run, 255 when a new file cannot be
 * created (write_data_set). */
int gp_extract_run(int argc, char **argv, const char *device);

/* The current field's date, "%02d/%02d/%02d" and eight backspaces, four
 * times on standard output; flushed at once when that is a terminal. */
void gp_show_progress();

#endif
