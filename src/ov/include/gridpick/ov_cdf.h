/*
 * ov_cdf.h -- netCDF import: one horizontal field of a gridded netCDF file
 * as an ov data set, and queries on such files.
 *
 * Files are expected to hold variables over the dimensions "lat" and "lon",
 * a time dimension "frtime" (or "time") and a dimension "level", coordinate
 * variables of the same names, and a reference time text "reftime" over the
 * dimension "timelen" ("%d %d %d %d:%d": year, month, day, hour, minute).
 * Files are opened read-only through the netCDF version 2 interface after
 * setting ncopts to 0, and closed again by the operation that opened them.
 * Messages go to standard error.  The reference time text is read with
 * parse_time_string and advanced with increment_time of <gridpick/util.h>.
 */
#ifndef GRIDPICK_OV_CDF_H
#define GRIDPICK_OV_CDF_H

#include <gridpick/export.h>
#include <gridpick/ov.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Capacities of the callers' arrays: levels and times of one file. */
enum { CDF_MAX_LEVELS = 200, CDF_MAX_TIMES = 2000 };
/* Size of the callers' text buffers (long names, units, reference time). */
enum { CDF_TEXT_SIZE = 100, CDF_DESC_SIZE = 200 };

/* Missing value given to variables without _FillValue, missing_value or
 * missing_data. */
#define CDF_DEFAULT_BAD_VALUE (-9999.0f)

/* ---- conversion -------------------------------------------------------- */

/*
 * The field at level_index and time_index of the first variable over "lat"
 * and "lon" in the file at path, as an OV_CONTOUR data set; a wind component
 * "u" or "v" ("U", "V") is joined with the other component, found in the
 * file named with the last 'U' of the path changed to 'V' (or 'V' to 'U'),
 * into an OV_VECTOR data set (data u, vdata v).  The record and its parts
 * are owned by the caller (ov_destroy).  Null after a message when the file
 * cannot be opened or read, or when the other component cannot be found.
 */
GP_EXPORT OvHeader *cdf_to_ov(const char *path, int level_index, int time_index);

/* The data set of one variable of an open file (see cdf_to_ov); null when a
 * dimension or coordinate variable is missing or a read fails. */
GP_EXPORT OvHeader *get_cdf_dataset(int ncid, int varid, int nlat, int nlon,
                                    int level_index, int time_index);

/* Changes the last 'U' of path to 'V' (name "u" or "U") or the last 'V' to
 * 'U' (name "v" or "V") in place, opens that file and finds the other
 * component ("v"/"V" or "u"/"U").  0 with *ncid_out (open; the caller closes
 * it) and *varid_out set, or -1 after a message. */
GP_EXPORT int find_other_component(char *path, const char *name, int *ncid_out,
                                   int *varid_out);

/* ---- queries on an open file ----------------------------------------- */

/* *nlevels_out and levels_out (room for CDF_MAX_LEVELS) get the values of
 * the "level" variable as reals.  0, or -1 with *nlevels_out 0 when there is
 * no "level" dimension or variable, more levels than CDF_MAX_LEVELS, or a
 * read fails. */
GP_EXPORT int get_cdf_levels(int ncid, int *nlevels_out, float *levels_out);

/* *ntimes_out and times_out (room for CDF_MAX_TIMES) get the values of the
 * "frtime" (else "time") variable, which must be of type long (int) or
 * double; another type prints "Error: get_cdf_times: data type not
 * supported" and leaves times_out unfilled (result 0).  -1 with *ntimes_out
 * 0 when there is no time dimension or variable, or more times than
 * CDF_MAX_TIMES. */
GP_EXPORT int get_cdf_times(int ncid, int *ntimes_out, double *times_out);

/* The first variable over the "lat" and "lon" dimensions: *varid_out (or -1,
 * result -1), its long name and units into the non-null buffers of
 * CDF_TEXT_SIZE bytes.  0 or -1. */
GP_EXPORT int get_cdf_parameter_name(int ncid, char *longname_out, int *varid_out,
                                     char *units_out);

/* The variable's short name into name_out (room for NC_MAX_NAME + 1).
 * The result of the inquiry: -1 on failure. */
GP_EXPORT int get_cdf_var_name(int ncid, int varid, char *name_out);

/* The "long_name" attribute, else the short name, else "unknown", into out
 * (CDF_TEXT_SIZE bytes; longer texts are cut). */
GP_EXPORT void get_cdf_var_longname(int ncid, int varid, char *out);

/* The "units" attribute, or "", into out (CDF_TEXT_SIZE bytes, cut). */
GP_EXPORT void get_cdf_var_units(int ncid, int varid, char *out);

/* 1 when the variable's dimensions include both lat_dim and lon_dim. */
GP_EXPORT int cdf_var_is_ll(int ncid, int varid, int lat_dim, int lon_dim);

/* The "level" value at level_index into *value_out and, when units_out is
 * non-null, the level units (CDF_TEXT_SIZE bytes).  0, or -1 without a
 * "level" variable or when the index is outside it. */
GP_EXPORT int get_cdf_level_value(int ncid, int level_index, char *units_out,
                                  float *value_out);

/* The reference time text, cut to 13 characters (year, month, day, hour), in
 * a malloc'ed buffer owned by the caller; null without "timelen" or
 * "reftime" (after a message) or when the allocation fails. */
GP_EXPORT char *cdf_get_time_string(int ncid);

/* Index of the last level (time) equal to level (time), or -1 when there is
 * none or they cannot be read.  On success ncid is closed. */
GP_EXPORT int get_cdfid_level_index(int ncid, float level);
GP_EXPORT int get_cdfid_time_index(int ncid, double time);

/* ---- queries on a path -------------------------------------------------- */
/* Each opens the file read-only and closes it; an open failure prints
 * "<name>: could not open '<path>'" and gives -1 (cdf_file_type: 0). */

GP_EXPORT int get_cdf_file_levels(const char *path, int *nlevels_out, float *levels_out);
GP_EXPORT int get_cdf_file_times(const char *path, int *ntimes_out, double *times_out);
/* 0 with the level (time) at index, or -1 when index is outside (or the
 * times are of a type that cannot be read). */
GP_EXPORT int get_cdf_level_from_index(const char *path, int index, float *level_out);
GP_EXPORT int get_cdf_time_from_index(const char *path, int index, double *time_out);
GP_EXPORT int get_cdf_level_index(const char *path, float level);
GP_EXPORT int get_cdf_time_index(const char *path, double time);
/* text_out (CDF_TEXT_SIZE bytes) gets the reference time text and the five
 * numbers are parsed from it; numbers the text does not hold (the minutes:
 * the text is cut after the hour) keep their values.  Without a text all
 * five are set to 0.  0 or -1. */
GP_EXPORT int get_cdf_reftime(const char *path, char *text_out, int *year, int *month,
                              int *day, int *hour, int *minute);
/* 2 when the field variable is named "u" or "v", 1 otherwise, 0 when the
 * file cannot be opened. */
GP_EXPORT int cdf_file_type(const char *path);

#ifdef __cplusplus
}
#endif

#endif
