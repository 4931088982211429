/*
 * cf_write.h -- writes the netCDF file that a plan describes.
 *
 * The file is in the classic 64-bit offset format and follows the CF
 * conventions: dimensions time (unlimited), level (when a variable has
 * levels), lat and lon with their coordinate variables; one variable per
 * plan_var with units, long_name, _FillValue and the parameter code; global
 * Conventions, history and source.  A variable "reftime" over "timelen"
 * holds the origin of the time axis as the project's netCDF import reads it
 * ("1900 1 1 0:0"), so that ovdump and cdf_to_ov date the fields.
 */
#ifndef GRIDPICK_OV2NC_CF_WRITE_H
#define GRIDPICK_OV2NC_CF_WRITE_H

#include <string>

#include "plan.h"

/* Writes the file planned in p as out_path, reading every data set of
 * p.files again.  The file is made under a temporary name in out_path's
 * folder and renamed to out_path when it is complete; on any failure, and
 * on SIGINT, SIGTERM or SIGHUP, the temporary file is removed and out_path
 * is left as it was.  history is the command line.  Returns the number of
 * data sets written, or -1 after a message "ov2nc: <file>: ...". */
long cf_write(const plan &p, const std::string &out_path, const std::string &history);

#endif
