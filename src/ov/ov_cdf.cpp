// netCDF import: a field of a gridded netCDF file as an ov data set, and the
// queries it is built on.  Everything goes through the netCDF version 2
// interface with ncopts 0, so every -1 result is tested here.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <stdexcept>
#include <vector>

#include <netcdf.h>

#include <gridpick/ov_cdf.h>
#include <gridpick/util.h>
#include "cdf_header.h"

namespace {

// Every file goes through the header check before the library parses it.
int open_cdf(const char *path)
{
    return cdf_open_checked(path);
}

// Copies n bytes of src into out (size bytes), cut to fit, zero-terminated.
void put_text(char *out, size_t size, const char *src, size_t n)
{
    n = std::min({n, size - 1, std::strlen(src)});
    std::memcpy(out, src, n);
    out[n] = '\0';
}

// Sizes come from the file: one that no memory can hold is a failed read,
// not an exception through the C interface.
template <typename T>
bool resized(std::vector<T> &v, size_t n)
{
    try {
        v.resize(n);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

template <typename T>
bool get_as(int ncid, int varid, const long *start, const long *count, size_t n,
            double *out)
{
    std::vector<T> raw;
    if (!resized(raw, n))
        return false;
    if (ncvarget(ncid, varid, start, count, raw.data()) == -1)
        return false;
    std::copy(raw.begin(), raw.end(), out);
    return true;
}

// n values of a hyperslab, whatever their numeric type, as doubles.
bool get_values(int ncid, int varid, nc_type type, const long *start,
                const long *count, size_t n, double *out)
{
    switch (type) {
    case NC_BYTE:
    case NC_CHAR: return get_as<signed char>(ncid, varid, start, count, n, out);
    case NC_SHORT: return get_as<short>(ncid, varid, start, count, n, out);
    case NC_INT: return get_as<int>(ncid, varid, start, count, n, out);
    case NC_FLOAT: return get_as<float>(ncid, varid, start, count, n, out);
    case NC_DOUBLE: return get_as<double>(ncid, varid, start, count, n, out);
    default: return false;
    }
}

// Type and length of a one-dimensional variable.
bool coordinate_shape(int ncid, int varid, nc_type *type, long *len)
{
    int ndims, dim;
    return ncvarinq(ncid, varid, nullptr, type, &ndims, nullptr, nullptr) != -1 &&
           ndims == 1 && ncvarinq(ncid, varid, nullptr, nullptr, nullptr, &dim, nullptr) != -1 &&
           ncdiminq(ncid, dim, nullptr, len) != -1;
}

// All values of a one-dimensional variable, at most max of them.
bool get_coordinate(int ncid, int varid, long max, std::vector<double> &out)
{
    nc_type type;
    long len;
    if (!coordinate_shape(ncid, varid, &type, &len) || len > max)
        return false;
    out.clear();
    if (!resized(out, static_cast<size_t>(len)))
        return false;
    long start = 0;
    return len == 0 || get_values(ncid, varid, type, &start, &len, out.size(), out.data());
}

// The value at index of a one-dimensional variable, read alone: a
// coordinate's declared length costs no memory.
bool coordinate_value(int ncid, int varid, long index, double *out)
{
    nc_type type;
    long len, count = 1;
    return coordinate_shape(ncid, varid, &type, &len) && index >= 0 && index < len &&
           get_values(ncid, varid, type, &index, &count, 1, out);
}

// The first value of a numeric attribute, in whatever type it is stored.
bool att_value(int ncid, int varid, const char *name, double *out)
{
    nc_type type;
    int len;
    if (ncattinq(ncid, varid, name, &type, &len) == -1 || len < 1)
        return false;
    std::vector<double> store;  // 8 bytes a value: room for any type
    if (type == NC_CHAR || !resized(store, static_cast<size_t>(len)) ||
        ncattget(ncid, varid, name, store.data()) == -1)
        return false;
    const void *p = store.data();
    switch (type) {
    case NC_BYTE: *out = *static_cast<const signed char *>(p); return true;
    case NC_SHORT: *out = *static_cast<const short *>(p); return true;
    case NC_INT: *out = *static_cast<const int *>(p); return true;
    case NC_FLOAT: *out = *static_cast<const float *>(p); return true;
    case NC_DOUBLE: *out = *static_cast<const double *>(p); return true;
    default: return false;
    }
}

// A text attribute, cut to fit out (size bytes).
bool att_text(int ncid, int varid, const char *name, char *out, size_t size)
{
    nc_type type;
    int len;
    if (ncattinq(ncid, varid, name, &type, &len) == -1 || type != NC_CHAR || len < 0)
        return false;
    std::vector<char> text;
    if (!resized(text, static_cast<size_t>(len) + 1))
        return false;
    if (len > 0 && ncattget(ncid, varid, name, text.data()) == -1)
        return false;
    put_text(out, size, text.data(), static_cast<size_t>(len));
    return true;
}

int time_dimension(int ncid, const char **name)
{
    *name = "frtime";
    int dim = ncdimid(ncid, *name);
    if (dim == -1) {
        *name = "time";
        dim = ncdimid(ncid, *name);
    }
    return dim;
}

// Where the variable's dimensions are, and the hyperslab of one field.
struct Slab {
    long start[NC_MAX_VAR_DIMS];
    long count[NC_MAX_VAR_DIMS];
};

bool field_slab(int ncid, int varid, int nlat, int nlon, int level_index, int time_index,
                nc_type *type, Slab &slab)
{
    const char *time_name;
    int lat_dim = ncdimid(ncid, "lat"), lon_dim = ncdimid(ncid, "lon");
    int time_dim = time_dimension(ncid, &time_name), level_dim = ncdimid(ncid, "level");
    if (lat_dim == -1 || lon_dim == -1 || time_dim == -1 || level_dim == -1)
        return false;
    int ndims, dims[NC_MAX_VAR_DIMS];
    if (ncvarinq(ncid, varid, nullptr, type, &ndims, dims, nullptr) == -1)
        return false;
    bool has_lat = false, has_lon = false;
    for (int i = 0; i < ndims; i++) {
        slab.start[i] = 0;
        slab.count[i] = 1;
        if (dims[i] == time_dim)
            slab.start[i] = time_index;
        else if (dims[i] == level_dim)
            slab.start[i] = level_index;
        else if (dims[i] == lat_dim)
            slab.count[i] = nlat, has_lat = true;
        else if (dims[i] == lon_dim)
            slab.count[i] = nlon, has_lon = true;
    }
    // One field and no more: a variable that repeats a dimension would make
    // the hyperslab larger than the array it is read into.
    long long values = 1;
    for (int i = 0; i < ndims; i++)
        values *= slab.count[i];
    return has_lat && has_lon && values == static_cast<long long>(nlat) * nlon;
}

// Reads the field into a new array of nlat * nlon reals (malloc'ed).
float *read_field(int ncid, int varid, nc_type type, const Slab &slab, size_t n)
{
    auto *data = static_cast<float *>(gimme(std::max<size_t>(n, 1) * 4, "get_cdf_dataset"));
    if (!data)
        return nullptr;
    bool ok;
    if (type == NC_FLOAT) {
        ok = ncvarget(ncid, varid, slab.start, slab.count, data) != -1;
    } else {
        if (type == NC_DOUBLE)
            std::fprintf(stderr,
                         "Warning: get_cdf_data: converting double to float could trash data\n");
        std::vector<double> values;
        try {
            values.resize(n);
            ok = get_values(ncid, varid, type, slab.start, slab.count, n, values.data());
        } catch (const std::exception &) {
            ok = false;
        }
        std::transform(values.begin(), values.end(), data,
                       [](double v) { return static_cast<float>(v); });
    }
    if (!ok) {
        std::free(data);
        return nullptr;
    }
    return data;
}

// start/end/increment of the grid's n points along one coordinate variable
// into the header fields: its first, second and n-th values.
bool set_axis(int ncid, const char *name, long n, float *start, float *end, float *increment)
{
    int var = ncvarid(ncid, name);
    if (var == -1) {
        std::fprintf(stderr, "no variable named '%s'\n", name);
        return false;
    }
    double first = 0.0, second = 0.0, last = 0.0;
    if (n < 1 || !coordinate_value(ncid, var, n - 1, &last) ||
        !coordinate_value(ncid, var, 0, &first) ||
        (n > 1 && !coordinate_value(ncid, var, 1, &second))) {
        std::fprintf(stderr, "get variable '%s' failed\n", name);
        first = second = last = 0.0;
        n = 1;
    }
    *start = static_cast<float>(first);
    *end = static_cast<float>(last);
    *increment = n > 1 ? static_cast<float>(second - first) : 0.0f;
    return true;
}

// Date, time of day and time text of the field: reference time plus the
// forecast hours at time_index.
void set_date(int ncid, int time_index, OvHeader &h, char *time_text, size_t size)
{
    std::vector<double> times(CDF_MAX_TIMES, 0.0);
    int ntimes = 0;
    double hours = 0.0;
    if (get_cdf_times(ncid, &ntimes, times.data()) == 0 && time_index >= 0 &&
        time_index < ntimes)
        hours = times[static_cast<size_t>(time_index)];
    time_text[0] = '\0';
    h.year = h.month = h.day = 0;
    h.time = 0.0f;
    // An offset beyond any int (or NaN) leaves the date unknown, as a failed
    // increment_time does.
    if (!(std::fabs(hours) < 2147483648.0))
        return;
    int offset = static_cast<int>(hours);
    char *ref = cdf_get_time_string(ncid);
    if (!ref)
        return;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    parse_time_string(ref, &year, &month, &day, &hour, &minute);
    std::free(ref);
    if (increment_time(&year, &month, &day, &hour, offset) != 0)
        return;
    h.year = year, h.month = month, h.day = day;
    h.time = static_cast<float>(hour);
    // Years after 2000 in full, as gridpick's names and headers have them.
    int shown = year > 1900 && year <= 2000 ? year - 1900 : year;
    std::snprintf(time_text, size, "%d/%d/%02d %02d:00GMT", month, day, shown, hour);
}

bool is_wind_name(const char *name)
{
    return std::strlen(name) == 1 && std::strchr("uvUV", name[0]);
}

// Adds the second component's data as vdata of the first; false (both
// released) when either is missing.
OvHeader *join(OvHeader *first, OvHeader *second)
{
    if (!first || !second) {
        ov_destroy(first);
        ov_destroy(second);
        return nullptr;
    }
    first->vdata = second->data;
    first->type = OV_VECTOR;
    second->data = nullptr;
    ov_destroy(second);
    return first;
}

// Index of the last of the first n values equal to x, closing ncid when
// there is one; else -1.
template <typename T>
int last_equal(int ncid, const std::vector<T> &values, int n, T x)
{
    int found = -1;
    for (int i = 0; i < n; i++)
        if (values[static_cast<size_t>(i)] == x)
            found = i;
    if (found >= 0)
        ncclose(ncid);
    return found;
}

}  // namespace

extern "C" {

/* ---- conversion -------------------------------------------------------- */

OvHeader *cdf_to_ov(const char *path, int level_index, int time_index)
{
    int ncid = open_cdf(path);
    if (ncid == -1) {
        std::fprintf(stderr, "cdf_to_ov: could not open '%s'\n", path);
        return nullptr;
    }
    long nlat = 0, nlon = 0;
    int varid = -1;
    char name[NC_MAX_NAME + 1] = "";
    if (ncdiminq(ncid, ncdimid(ncid, "lat"), nullptr, &nlat) == -1 ||
        ncdiminq(ncid, ncdimid(ncid, "lon"), nullptr, &nlon) == -1 ||
        nlat > INT_MAX || nlon > INT_MAX ||  // no ov grid has as many rows or columns
        get_cdf_parameter_name(ncid, nullptr, &varid, nullptr) == -1 ||
        get_cdf_var_name(ncid, varid, name) == -1) {
        ncclose(ncid);
        return nullptr;
    }
    int lat = static_cast<int>(nlat), lon = static_cast<int>(nlon);
    if (!is_wind_name(name)) {
        OvHeader *h = get_cdf_dataset(ncid, varid, lat, lon, level_index, time_index);
        ncclose(ncid);
        return h;
    }
    std::vector<char> other_path(path, path + std::strlen(path) + 1);
    int other_ncid, other_varid;
    if (find_other_component(other_path.data(), name, &other_ncid, &other_varid) != 0) {
        ncclose(ncid);
        return nullptr;
    }
    bool is_u = name[0] == 'u' || name[0] == 'U';
    int u_ncid = is_u ? ncid : other_ncid, u_var = is_u ? varid : other_varid;
    int v_ncid = is_u ? other_ncid : ncid, v_var = is_u ? other_varid : varid;
    OvHeader *v = get_cdf_dataset(v_ncid, v_var, lat, lon, level_index, time_index);
    OvHeader *u = get_cdf_dataset(u_ncid, u_var, lat, lon, level_index, time_index);
    ncclose(other_ncid);
    ncclose(ncid);
    return join(u, v);
}

OvHeader *get_cdf_dataset(int ncid, int varid, int nlat, int nlon, int level_index,
                          int time_index)
{
    nc_type type;
    Slab slab;
    if (nlat < 0 || nlon < 0 ||
        !field_slab(ncid, varid, nlat, nlon, level_index, time_index, &type, slab))
        return nullptr;
    double missing_raw = 0.0;
    bool has_missing = att_value(ncid, varid, "_FillValue", &missing_raw) ||
                       att_value(ncid, varid, "missing_value", &missing_raw) ||
                       att_value(ncid, varid, "missing_data", &missing_raw);
    size_t n = static_cast<size_t>(nlat) * static_cast<size_t>(nlon);
    if (!cdf_values_fit(ncid, type, n)) {
        std::fprintf(stderr, "get_cdf_dataset: a field of %d x %d values exceeds the file\n",
                     nlat, nlon);
        return nullptr;
    }
    float *data = read_field(ncid, varid, type, slab, n);
    if (!data)
        return nullptr;
    OvHeader *h = ov_create_hdr(OV_CONTOUR, nlat, nlon, data, nullptr);
    if (!h) {
        std::free(data);
        return nullptr;
    }
    if (!set_axis(ncid, "lat", nlat, &h->start_lat, &h->end_lat, &h->lat_increment) ||
        !set_axis(ncid, "lon", nlon, &h->start_lon, &h->end_lon, &h->lon_increment)) {
        ov_destroy(h);
        return nullptr;
    }
    std::fprintf(stderr, "get_cdf_dataset: Need to check lat/lons for regular grid\n");

    char level_units[CDF_TEXT_SIZE] = "";
    float level_value = 0.0f;
    get_cdf_level_value(ncid, level_index, level_units, &level_value);

    float missing = static_cast<float>(missing_raw);
    double factor;
    if (att_value(ncid, varid, "scale_factor", &factor) && static_cast<float>(factor) != 1.0f) {
        float f = static_cast<float>(factor);
        std::for_each(data, data + n, [f](float &v) { v *= f; });
        missing *= f;
    }
    double offset;
    if (att_value(ncid, varid, "add_offset", &offset) && static_cast<float>(offset) != 0.0f) {
        float o = static_cast<float>(offset);
        std::for_each(data, data + n, [o](float &v) { v += o; });
        missing += o;
    }
    h->bad_value = has_missing ? missing : CDF_DEFAULT_BAD_VALUE;

    char long_name[CDF_TEXT_SIZE], units[CDF_TEXT_SIZE], time_text[CDF_TEXT_SIZE];
    get_cdf_var_longname(ncid, varid, long_name);
    get_cdf_var_units(ncid, varid, units);
    set_date(ncid, time_index, *h, time_text, sizeof time_text);
    std::string desc = std::string(long_name) + " (" + units + ") ";
    if (level_index == -1) {
        desc += time_text;
    } else {
        char value[32];
        std::snprintf(value, sizeof value, "%g", level_value);
        desc = desc + "at " + value + " " + level_units;
    }
    desc.resize(std::min<size_t>(desc.size(), CDF_DESC_SIZE - 1));
    h->comment = static_cast<char *>(gimme(desc.size() + 1, "get_cdf_dataset"));
    if (h->comment) {
        std::memcpy(h->comment, desc.c_str(), desc.size() + 1);
        h->comment_length = static_cast<int>(desc.size());
    }
    return h;
}

int find_other_component(char *path, const char *name, int *ncid_out, int *varid_out)
{
    char letter, replacement;
    const char *other;
    switch (name[0]) {
    case 'U': letter = 'U', replacement = 'V', other = "V"; break;
    case 'V': letter = 'V', replacement = 'U', other = "U"; break;
    case 'u': letter = 'U', replacement = 'V', other = "v"; break;
    case 'v': letter = 'V', replacement = 'U', other = "u"; break;
    default:
        std::fprintf(stderr, "find_other_component: '%s' is no wind component\n", name);
        return -1;
    }
    char *at = std::strrchr(path, letter);
    if (!at) {
        std::fprintf(stderr, "'%c' not found in '%s'\n", letter, path);
        return -1;
    }
    *at = replacement;
    int ncid = open_cdf(path);
    if (ncid == -1) {
        std::fprintf(stderr, "get_cdf_reftime: could not open '%s'\n", path);
        return -1;
    }
    int varid = ncvarid(ncid, other);
    if (varid == -1) {
        std::fprintf(stderr, "no variable named '%s'\n", other);
        ncclose(ncid);
        return -1;
    }
    *ncid_out = ncid;
    *varid_out = varid;
    return 0;
}

/* ---- queries on an open file ----------------------------------------- */

int get_cdf_levels(int ncid, int *nlevels_out, float *levels_out)
{
    *nlevels_out = 0;
    int var = ncvarid(ncid, "level");
    std::vector<double> values;
    if (ncdimid(ncid, "level") == -1 || var == -1 ||
        !get_coordinate(ncid, var, CDF_MAX_LEVELS, values))
        return -1;
    std::transform(values.begin(), values.end(), levels_out,
                   [](double v) { return static_cast<float>(v); });
    *nlevels_out = static_cast<int>(values.size());
    return 0;
}

int get_cdf_times(int ncid, int *ntimes_out, double *times_out)
{
    *ntimes_out = 0;
    const char *name;
    int dim = time_dimension(ncid, &name);
    long len;
    if (dim == -1 || ncdiminq(ncid, dim, nullptr, &len) == -1)
        return -1;
    int var = ncvarid(ncid, name);
    if (var == -1) {
        std::fprintf(stderr, "dimension, but no variable named 'time' \n");
        return -1;
    }
    nc_type type;
    if (ncvarinq(ncid, var, nullptr, &type, nullptr, nullptr, nullptr) == -1)
        return -1;
    if (type != NC_INT && type != NC_DOUBLE) {
        std::fprintf(stderr, "Error: get_cdf_times: data type not supported\n");
        *ntimes_out = static_cast<int>(std::min<long>(len, CDF_MAX_TIMES));
        return 0;
    }
    std::vector<double> values;
    if (!get_coordinate(ncid, var, CDF_MAX_TIMES, values))
        return -1;
    std::copy(values.begin(), values.end(), times_out);
    *ntimes_out = static_cast<int>(values.size());
    return 0;
}

int get_cdf_parameter_name(int ncid, char *longname_out, int *varid_out, char *units_out)
{
    *varid_out = -1;
    int lat_dim = ncdimid(ncid, "lat"), lon_dim = ncdimid(ncid, "lon");
    int nvars;
    if (lat_dim == -1 || lon_dim == -1 ||
        ncinquire(ncid, nullptr, &nvars, nullptr, nullptr) == -1)
        return -1;
    for (int v = 0; v < nvars; v++) {
        if (!cdf_var_is_ll(ncid, v, lat_dim, lon_dim))
            continue;
        *varid_out = v;
        if (longname_out)
            get_cdf_var_longname(ncid, v, longname_out);
        if (units_out)
            get_cdf_var_units(ncid, v, units_out);
        return 0;
    }
    return -1;
}

int get_cdf_var_name(int ncid, int varid, char *name_out)
{
    return ncvarinq(ncid, varid, name_out, nullptr, nullptr, nullptr, nullptr);
}

void get_cdf_var_longname(int ncid, int varid, char *out)
{
    if (att_text(ncid, varid, "long_name", out, CDF_TEXT_SIZE))
        return;
    char name[NC_MAX_NAME + 1];
    if (get_cdf_var_name(ncid, varid, name) != -1)
        put_text(out, CDF_TEXT_SIZE, name, sizeof name);
    else
        put_text(out, CDF_TEXT_SIZE, "unknown", 7);
}

void get_cdf_var_units(int ncid, int varid, char *out)
{
    if (!att_text(ncid, varid, "units", out, CDF_TEXT_SIZE))
        out[0] = '\0';
}

int cdf_var_is_ll(int ncid, int varid, int lat_dim, int lon_dim)
{
    int ndims, dims[NC_MAX_VAR_DIMS];
    if (ncvarinq(ncid, varid, nullptr, nullptr, &ndims, dims, nullptr) == -1)
        return 0;
    bool lat = std::find(dims, dims + ndims, lat_dim) != dims + ndims;
    bool lon = std::find(dims, dims + ndims, lon_dim) != dims + ndims;
    return lat && lon;
}

int get_cdf_level_value(int ncid, int level_index, char *units_out, float *value_out)
{
    int var = ncvarid(ncid, "level");
    double value;
    if (var == -1 || !coordinate_value(ncid, var, level_index, &value))
        return -1;
    *value_out = static_cast<float>(value);
    if (units_out)
        get_cdf_var_units(ncid, var, units_out);
    return 0;
}

char *cdf_get_time_string(int ncid)
{
    int dim = ncdimid(ncid, "timelen");
    long len;
    if (dim == -1 || ncdiminq(ncid, dim, nullptr, &len) == -1)
        return nullptr;
    int var = ncvarid(ncid, "reftime");
    if (var == -1) {
        std::fprintf(stderr, "get_cdf_level_value: no variable named 'reftime'\n");
        return nullptr;
    }
    nc_type type;
    int ndims, dims[NC_MAX_VAR_DIMS];
    if (ncvarinq(ncid, var, nullptr, &type, &ndims, dims, nullptr) == -1 || type != NC_CHAR ||
        std::count(dims, dims + ndims, dim) != 1)
        return nullptr;
    // Only year, month, day and hour are kept: the text is read no further,
    // whatever length the file declares.
    long keep = std::min(len, 13L);
    auto *text = static_cast<char *>(std::malloc(static_cast<size_t>(keep) + 1));
    if (!text) {
        std::fprintf(stderr, "cdf_get_time_string: malloc failed\n");
        return nullptr;
    }
    long start[NC_MAX_VAR_DIMS], count[NC_MAX_VAR_DIMS];
    for (int i = 0; i < ndims; i++)
        start[i] = 0, count[i] = dims[i] == dim ? keep : 1;
    if (keep > 0 && ncvarget(ncid, var, start, count, text) == -1) {
        std::free(text);
        return nullptr;
    }
    text[keep] = '\0';
    return text;
}

int get_cdfid_level_index(int ncid, float level)
{
    std::vector<float> levels(CDF_MAX_LEVELS);
    int n;
    if (get_cdf_levels(ncid, &n, levels.data()) != 0)
        return -1;
    return last_equal(ncid, levels, n, level);
}

int get_cdfid_time_index(int ncid, double time)
{
    // Times of a type that cannot be read stay NaN and match nothing.
    std::vector<double> times(CDF_MAX_TIMES, std::nan(""));
    int n;
    if (get_cdf_times(ncid, &n, times.data()) != 0)
        return -1;
    return last_equal(ncid, times, n, time);
}

}  // extern "C"
