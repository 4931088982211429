/*
 * ovset.h -- what the programs that read gridpick's output share: the data
 * sets of a set of ov files, the latitude and longitude of an ov grid, the
 * names and dates of fields, and the pieces of their command lines.
 *
 * prog, the calling program's name, begins every message; messages go to
 * standard error and name the file and, where there is one, the data set,
 * counted from 1 in its file.
 */
#ifndef GRIDPICK_OVSET_H
#define GRIDPICK_OVSET_H

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <gridpick/ov.h>
#include "param_table.h"

/* A record from ov_read, released with ov_destroy. */
struct ovset_destroy {
    void operator()(OvHeader *h) const { ov_destroy(h); }
};
using ovset_record = std::unique_ptr<OvHeader, ovset_destroy>;

/* ---- files ------------------------------------------------------------- */

/* The files named by args, appended to files in order.  A folder stands for
 * the files in it whose names do not begin with '.', in byte order of their
 * names; any other path stands for itself (whether it exists is found out
 * when it is read).  false after "<prog>: <folder>: <error>" when a folder
 * cannot be listed, or "<prog>: <folder>: no files in it". */
bool ovset_expand(const char *prog, std::span<char *const> args,
                  std::vector<std::string> &files);

/* Reads the data sets of the ov file at path one after the other and hands
 * each to each with its number; with want_data the record holds data (and
 * vdata).  The record is released when each returns; each returns false to
 * stop reading.  false after a message when the file cannot be opened
 * ("<prog>: <path>: <system error>"), is not an ov file ("<prog>: <path>:
 * not an ov file") or holds a data set that cannot be read ("<prog>: <path>:
 * data set <n> unreadable"); true otherwise, also when each stopped. */
bool ovset_each(const char *prog, const std::string &path, bool want_data,
                const std::function<bool(const OvHeader &, int)> &each);

/* ---- grids ------------------------------------------------------------- */

/* Latitude of each row and longitude of each column of a grid, in degrees. */
struct ovset_axes {
    std::vector<float> lat;
    std::vector<float> lon;
};

/* 1 for the types that are grids of rows and columns: OV_CONTOUR and
 * OV_VECTOR. */
bool ovset_is_grid(const OvHeader &h);

/* The axes of a grid: lats and lons of an IRREGULAR grid, otherwise the
 * points the ov library's equiangle grid gives (the library's note about
 * the grid on standard output is kept off the program's own output).
 * false, with axes emptied, for a type that is no grid, counts below 1, or
 * an IRREGULAR grid without its arrays. */
bool ovset_grid_axes(const OvHeader &h, ovset_axes &axes);

/* true when b is a grid on the points of a, whose axes are given. */
bool ovset_same_grid(const OvHeader &a, const ovset_axes &a_axes, const OvHeader &b);

/* ---- fields ------------------------------------------------------------ */

/* The full year of an ov year: 0..999 count from 1900, as the archive's
 * years of the twentieth century do (79 is 1979, 100 is 2000); a year of
 * 1000 or more is a full year (2007), and years below 0 stand as they are. */
int ovset_full_year(int year);

/* true when year (full year 1..9999), month and day make a date of the
 * Gregorian calendar and time (hours) lies in 0 <= time < 24. */
bool ovset_valid_date(const OvHeader &h);

/* Hours from 1900-01-01 00:00 to the time the data set is valid for: its
 * date and time plus its term (the step of a forecast; 0 for an analysis),
 * standard calendar.  For a date that ovset_valid_date accepts. */
double ovset_hours_since_1900(const OvHeader &h);

/* "YYYY-MM-DD HH:MM" of the data set (full year). */
std::string ovset_when(const OvHeader &h);

/* gp_param_name and gp_param_long_name of code, as strings, from the row
 * gp_param_for_ov gives (the NORVA row, or the WMO standard row of a code
 * below 128 that the NORVA table does not list). */
std::string ovset_param_name(int code, const gp_source *source = nullptr);
std::string ovset_param_long_name(int code, const gp_source *source = nullptr);

/* The producer h names in its description (gp_source_of_text) in *storage,
 * and storage's address; null when it names none (gp_param_for_ov). */
const gp_source *ovset_source_of(const OvHeader &h, gp_source &storage);

/* ---- command lines ----------------------------------------------------- */

/* For a switch that getopt (with opterr 0) did not take: "<prog>: -X needs
 * an argument" when optopt is one of the letters of with_argument, else
 * "<prog>: unknown switch -X", on standard error.  Returns 2, the status of
 * a bad command line. */
int ovset_bad_switch(const char *prog, const char *with_argument);

/* text as a whole decimal number from lo to hi into *out; false, *out
 * unchanged, for anything else. */
bool ovset_number(const char *text, long lo, long hi, int *out);

#endif
