/*
 * config.h -- the run configuration of gridpick and its command line.
 *
 * Every setting of one run lives in gp_run, the one instance of
 * gp_run_config.  The command line fills it first; the terminal dialogue and
 * the selector dialog complete it; selection, output and the driver read it.
 * gp_run_reset() puts it back to program start (all zero), which is what a
 * test wants before it parses a new command line.
 */
#ifndef GRIDPICK_CONFIG_H
#define GRIDPICK_CONFIG_H

#include "param_table.h"
#include "tpio.h"

enum {
    GP_MAX_LEVELS = 15,    /* capacity of level: the dialog's 15 rows fit */
    GP_DEVICE_LEN = GP_DEVICE_MAX + 1, /* device name buffer, terminator included */
    GP_OUT_FILE_LEN = 256  /* out_file buffer, terminator included */
};

/* Where data sets go. */
enum { GP_DEST_PER_FIELD = 1, GP_DEST_ONE_FILE = 2 };

struct gp_run_config {
    char out_file[GP_OUT_FILE_LEN]; /* output file name */
    int destination;                /* GP_DEST_PER_FIELD or GP_DEST_ONE_FILE */
    int prompt_user;                /* 1: ask about each wanted field */
    int getall;                     /* 1: every parameter and level wanted */
    int verbose;
    int xquery;                     /* 1: selector dialog, 0: terminal */
    int start_month, start_day, start_year;  /* as typed: 79 or 1979 */
    int end_month, end_day, end_year;
    int first_day, last_day;        /* kdate() of the two dates */
    int param[GP_NUM_PARAMS];       /* 1: parameter code wanted */
    int num_params;
    int level[GP_MAX_LEVELS];       /* wanted levels in mb, 0 = surface */
    int num_levels;
    int num_dsets_written;
    int out_file_given;             /* 1: -f named out_file */
};

extern gp_run_config gp_run;

/* Back to program start: every member zero. */
void gp_run_reset();

/* The defaults main applies before it parses the command line, in order:
 * both dates' month and day 0, destination 1, prompt_user 0,
 * getall 0, verbose 0, xquery 1, out_file empty. */
void gp_run_defaults();

/* Writes the usage text to standard output. */
void print_usage();

/* Parses argv into gp_run and device (GP_DEVICE_LEN bytes, holding the
 * default device on entry).  Returns 0 when the run goes on, otherwise the
 * exit status the program must end with (its messages already printed):
 *   1   no argument, a switch missing its argument(s), a device name longer
 *       than GP_DEVICE_MAX characters;
 *   255 -h, -?, -u or an undefined switch.
 * After a successful parse an empty out_file is "norva.out".
 * -o with -f naming the archive itself (the same file however it is spelt,
 * compared by device and inode) is refused with status 1 as well. */
int gp_parse_command_line(int argc, char **argv, char *device);

/* Day numbers: days from 1 January 1900 (day 1), every fourth year (1900
 * included) a leap year.  year is the year counted from 1900 (two digits:
 * 79 is 1979, 100 is 2000, 107 is 2007), or a four-digit year (1000..9999,
 * gp_four_digit_year), so that 1/1/79 and 1/1/1979 are the same day and
 * 12/31/1999 lies just before 1/1/2000.  Months outside 1..12 count the
 * months there are (none before 1, all twelve after 12).  Results past
 * INT_MAX (absurd years or days) are held at INT_MAX; other years below 0
 * add nothing. */
int kdate(int month, int day, int year);

/* true for 1000..9999: a year typed or stored in full. */
bool gp_four_digit_year(int year);

/* The full year of a year as typed: four digits stand, others count from
 * 1900 (79 is 1979, 100 is 2000). */
int gp_typed_full_year(int year);

/* Day of the year of month/day in two-digit year (same leap rule), held
 * at INT_MAX like kdate. */
int convert_date(int month, int day, int year);

/* A date typed as "month/day/year" (-i, the date questions, the dialog's
 * date fields) into the three numbers; numbers that do not match keep their
 * values.  Returns kdate of the result. */
int gp_scan_date(const char *text, int *month, int *day, int *year);

#endif
