/*
 * util.h -- path, directory, calendar and file-type helpers shared by the
 * data tools.
 *
 * Every text is a zero-terminated byte string.  Helpers that change a text
 * change it in the caller's buffer; where a helper can make a text longer the
 * caller's buffer must have room, as stated for that helper.  Messages go to
 * standard error, prefixed with the helper's name.
 */
#ifndef GRIDPICK_UTIL_H
#define GRIDPICK_UTIL_H

#include <gridpick/export.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- paths and suffixes ------------------------------------------------ */

/* The file-name part of path: what follows its last '/'.  A path without a
 * '/', or whose only '/' is its first character, is taken whole.  With dst
 * non-null the name is copied into dst (room for strlen(path) + 1 bytes is
 * enough) and dst is returned; otherwise a pointer into path is returned. */
GP_EXPORT char *truncate_path(char *dst, const char *path);

/* Copies path into dst (room for strlen(path) + 1 bytes).  Unless path names
 * an existing directory, dst is cut at the last '/' that is not its first
 * character, or made empty when there is none: "a/b/c" gives "a/b", a bare
 * file name gives "". */
GP_EXPORT void extract_dir(char *dst, const char *path);

/* Pointer to the text after the last '.' that lies after the first character
 * and before the last one; without such a '.', a pointer to path's
 * terminating zero (the empty suffix). */
GP_EXPORT char *suffix(const char *path);

/* Cuts path at the '.' before its suffix; without a suffix path is left
 * unchanged. */
GP_EXPORT void truncate_suffix(char *path);

/* When path holds a '.' after its first character it is cut at the last one;
 * then new_suffix is appended, preceded by '.' unless it begins with one.
 * path needs room for the result. */
GP_EXPORT void file_suffix(char *path, const char *new_suffix);

/* Longest text strprepend accepts in its argument (the limit of its copy). */
enum { STRPREPEND_MAX = 99 };

/* text becomes prefix followed by its former content; text needs room for
 * both.  A former content longer than STRPREPEND_MAX characters is refused:
 * text is left unchanged, a message is printed and null is returned.
 * Otherwise text is returned. */
GP_EXPORT char *strprepend(char *text, const char *prefix);

/* ---- files ------------------------------------------------------------- */

/* 1 when the status of path can be read, else 0. */
GP_EXPORT int file_exists(const char *path);

/* 1 when path exists and is a directory, else 0. */
GP_EXPORT int file_is_dir(const char *path);

/* 1 when path exists and is a regular file, else 0. */
GP_EXPORT int file_is_regular(const char *path);

/* Longest name dir stores; longer names are cut to this length. */
enum { DIR_NAME_MAX = 511 };

/* Entry kinds dir lists. */
enum { DIR_ALL = 0, DIR_FILES = 1, DIR_DIRS = 2 };

/* Lists directory path into names_out, at most max names, sorted in
 * ascending byte order, and stores their number in count_out.  Names that
 * begin with '.' are passed over; kind DIR_FILES passes over directories,
 * DIR_DIRS everything else; a non-null suffix_filter keeps only names whose
 * suffix() equals it.  With full_names non-zero each name is
 * "path/entry", else the entry alone, cut to DIR_NAME_MAX characters.  Each
 * name is a malloc'ed block owned by the caller (free each).
 * Returns 0, or -1 when the directory cannot be opened (nothing stored). */
GP_EXPORT int dir(const char *path, const char *suffix_filter, int full_names,
                  char **names_out, int *count_out, int kind, int max);

/* Sorts count texts in ascending byte order, in place. */
GP_EXPORT void asort(char **names, int count);

/* Data file type codes of identify_datafile. */
enum {
    DATAFILE_UNKNOWN = -1,
    DATAFILE_QB = 1,     /* "QB90a" */
    DATAFILE_OV = 2,     /* "OV90a", an ov file */
    DATAFILE_QW = 3,     /* "QW9" */
    DATAFILE_QT = 4,     /* "QT92a" */
    DATAFILE_NETCDF = 5  /* opened by the netCDF library */
};

/* The type of the data file at path, by its first bytes or, failing those,
 * by whether cdf_open_checked opens it.  DATAFILE_UNKNOWN for a missing,
 * unreadable, short or unrecognised file. */
GP_EXPORT int identify_datafile(const char *path);

/* ---- arrays ------------------------------------------------------------ */

/* Thin an array in place: the elements at 0, step, 2*step, ... below count
 * move to the front; when the last one moved differs in value from the
 * array's last element, that element is appended.  Returns the new count.
 * step 1 (or less, or count 0) leaves the array as it is. */
GP_EXPORT int downsample_float_array(float *array, int count, int step);
GP_EXPORT int downsample_byte_array(unsigned char *array, int count, int step);

/* ---- calendar ---------------------------------------------------------- */

/* 1 when year is a leap year in the Gregorian calendar, else 0. */
GP_EXPORT int leap_year(int year);

/* Day of the year (1 January is 1) of month/day in year.  Months outside
 * 1..12 count the whole months there are (none before month 1, all twelve
 * after month 12). */
GP_EXPORT int mmdd2jday(int year, int month, int day);

/* Month and day of day-of-year jday in year.  Days past the year's end stay
 * in December (day 32 and up). */
GP_EXPORT void jday2mmdd(int jday, int year, int *month_out, int *day_out);

/* Reads "%d %d %d %d:%d" (the "reftime" text of a netCDF file) from text
 * (when non-null) into the five numbers; numbers not present keep their
 * values. */
GP_EXPORT void parse_time_string(const char *text, int *year, int *month, int *day,
                                 int *hour, int *minute);

/* Adds hours (>= 0) to the date and hour.  -1 and nothing changed unless
 * 0 <= year <= 3000, 0 <= month <= 12 and 0 <= day <= 31; else 0. */
GP_EXPORT int increment_time(int *year, int *month, int *day, int *hour, int hours);

#ifdef __cplusplus
}
#endif

#endif
