// netCDF import: the queries that take a file's path, each opening and
// closing the file around one of the queries on an open file.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <netcdf.h>

#include <gridpick/ov_cdf.h>
#include <gridpick/util.h>
#include "cdf_header.h"

namespace {

// Opens path for a query; prints "<who>: could not open '<path>'" on failure.
int open_for(const char *path, const char *who)
{
    int ncid = cdf_open_checked(path);
    if (ncid == -1)
        std::fprintf(stderr, "%s: could not open '%s'\n", who, path);
    return ncid;
}

// A query on the file at path, opened and closed around it; 0, or -1 when
// the file cannot be opened.
template <typename Query>
int in_file(const char *path, const char *who, Query query)
{
    int ncid = open_for(path, who);
    if (ncid == -1)
        return -1;
    query(ncid);
    ncclose(ncid);
    return 0;
}

// An index query (get_cdfid_*_index) on the file at path: the query closes
// the file when it finds the index, and it is closed here when not.
template <typename Query>
int index_in_file(const char *path, const char *who, Query query)
{
    int ncid = open_for(path, who);
    if (ncid == -1)
        return -1;
    int index = query(ncid);
    if (index < 0)
        ncclose(ncid);
    return index;
}

}  // namespace

extern "C" {

int get_cdf_file_levels(const char *path, int *nlevels_out, float *levels_out)
{
    return in_file(path, "get_cdf_level_from_index",
                   [=](int ncid) { get_cdf_levels(ncid, nlevels_out, levels_out); });
}

int get_cdf_file_times(const char *path, int *ntimes_out, double *times_out)
{
    return in_file(path, "get_cdf_file_times",
                   [=](int ncid) { get_cdf_times(ncid, ntimes_out, times_out); });
}

int get_cdf_level_from_index(const char *path, int index, float *level_out)
{
    int ncid = open_for(path, "get_cdf_level_from_index");
    if (ncid == -1)
        return -1;
    std::vector<float> levels(CDF_MAX_LEVELS);
    int n = 0;
    get_cdf_levels(ncid, &n, levels.data());
    ncclose(ncid);
    if (index < 0 || index >= n)
        return -1;
    *level_out = levels[static_cast<size_t>(index)];
    return 0;
}

int get_cdf_time_from_index(const char *path, int index, double *time_out)
{
    int ncid = open_for(path, "get_cdf_time_from_index");
    if (ncid == -1)
        return -1;
    std::vector<double> times(CDF_MAX_TIMES, std::nan(""));
    int n = 0;
    get_cdf_times(ncid, &n, times.data());
    ncclose(ncid);
    if (index < 0 || index >= n || std::isnan(times[static_cast<size_t>(index)]))
        return -1;
    *time_out = times[static_cast<size_t>(index)];
    return 0;
}

int get_cdf_level_index(const char *path, float level)
{
    return index_in_file(path, "get_cdf_file_levels",
                         [level](int ncid) { return get_cdfid_level_index(ncid, level); });
}

int get_cdf_time_index(const char *path, double time)
{
    return index_in_file(path, "get_cdf_time_index",
                         [time](int ncid) { return get_cdfid_time_index(ncid, time); });
}

int get_cdf_reftime(const char *path, char *text_out, int *year, int *month, int *day,
                    int *hour, int *minute)
{
    int ncid = open_for(path, "get_cdf_reftime");
    if (ncid == -1)
        return -1;
    char *text = cdf_get_time_string(ncid);
    ncclose(ncid);
    text_out[0] = '\0';
    if (!text) {
        *year = *month = *day = *hour = *minute = 0;
        return 0;
    }
    // Numbers the text does not hold (the minutes, cut off) keep the
    // caller's values.
    std::snprintf(text_out, CDF_TEXT_SIZE, "%s", text);
    parse_time_string(text, year, month, day, hour, minute);
    std::free(text);
    return 0;
}

int cdf_file_type(const char *path)
{
    int ncid = open_for(path, "cdf_file_type");
    if (ncid == -1)
        return 0;
    int varid;
    char name[NC_MAX_NAME + 1] = "";
    if (get_cdf_parameter_name(ncid, nullptr, &varid, nullptr) == 0)
        get_cdf_var_name(ncid, varid, name);
    ncclose(ncid);
    return std::strcmp(name, "u") == 0 || std::strcmp(name, "v") == 0 ? 2 : 1;
}

}  // extern "C"
