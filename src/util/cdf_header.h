/*
 * cdf_header.h -- netCDF files from untrusted sources: what is checked
 * before the netCDF library parses a file.  Used by the file recognition
 * and the netCDF import; not installed.
 */
#ifndef GRIDPICK_CDF_HEADER_H
#define GRIDPICK_CDF_HEADER_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 1 when the regular file at path may be handed to the netCDF library: a
 * netCDF-4 file (magic "\x89HDF", passed unchecked), or a classic-format
 * file ("CDF" and version 1, 2 or 5) whose header counts (dimensions,
 * attributes, variables, name and value lengths) all fit the file's size.
 * 0 for any other file, a missing one, or one that cannot be read.  Prints
 * nothing. */
int cdf_header_fits(const char *path);

/* Opens path read-only with the netCDF library, after setting ncopts to 0,
 * when cdf_header_fits accepts it.  The netCDF id (close it with ncclose),
 * or -1 when the file is refused or the library fails to open it. */
int cdf_open_checked(const char *path);

/* 1 when count values of the netCDF type can lie in the open file ncid: a
 * classic-format file stores every value uncompressed, so they must take no
 * more bytes than the whole file; netCDF-4 files compress and are taken at
 * their word (1).  0 when a declared size cannot have been written. */
int cdf_values_fit(int ncid, int type, size_t count);

#ifdef __cplusplus
}
#endif

#endif
