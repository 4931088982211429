// Distances on the earth, grid point positions, and reshaping of data sets
// in memory (row order, wrap-around column).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gridpick/ov.h>

namespace {

constexpr double meridian_km = 40008.0;  // circumference through the poles
constexpr double equator_km = 40075.0;
constexpr double deg_to_rad = 0.017453;
constexpr double full_circle = 360.0;

bool wrappable(int type)
{
    return type == OV_CONTOUR || type == OV_VECTOR;
}

// Types whose data are num_rows rows of num_columns values: all but the
// outline and the ungridded types.
bool has_rows(int type)
{
    return type != OV_OUTLINE && type != OV_UNGRIDDED_VECTOR && type != OV_UNGRIDDED_SCALAR;
}

// A row-major copy of rows x columns values with each row's first value
// appended; null after a message when it cannot be allocated.
float *wrapped(const float *values, int rows, int columns, const char *label)
{
    size_t width = static_cast<size_t>(columns) + 1;
    auto *out = static_cast<float *>(gimme(static_cast<size_t>(rows) * width * 4, label));
    if (!out)
        return nullptr;
    for (int r = 0; r < rows; r++) {
        const float *row = values + static_cast<size_t>(r) * columns;
        std::memcpy(out + r * width, row, static_cast<size_t>(columns) * 4);
        out[r * width + columns] = row[0];
    }
    return out;
}

// The step between rows (columns) of a regular grid, in the increment's
// unit (degrees or kilometres): the size of the increment, southwards
// (westwards) when the grid starts north (east) of where it ends.  Stored
// increments are positive, so their sign cannot say.
float step_towards(float increment, float start, float end)
{
    float step = std::fabs(increment);
    return start > end ? -step : step;
}

}  // namespace

extern "C" {

float ov_meridian_distance(float lat1, float lat2)
{
    return static_cast<float>(std::fabs(double{lat2} - lat1) / full_circle * meridian_km);
}

float ov_parallel_distance(float lon1, float lon2, float lat)
{
    return static_cast<float>(std::cos(lat * deg_to_rad) *
                              ((double{lon2} - lon1) / full_circle * equator_km));
}

void ov_walk_north(float lat, float km, float *new_lat_out)
{
    float turns = km / static_cast<float>(meridian_km);
    double lat2 = lat + turns * full_circle;
    *new_lat_out = static_cast<float>(std::clamp(lat2, -90.0, 90.0));
}

void ov_walk_east(float lat, float lon, float km, float *new_lon_out)
{
    double c = std::cos(lat * deg_to_rad);
    *new_lon_out = c != 0.0 ? static_cast<float>(lon + km / c / equator_km * full_circle) : lon;
}

void ov_compute_equiangle_grid(const OvHeader *h, float *lats_out, float *lons_out)
{
    float lat0 = h->start_lat, lon0 = h->start_lon;
    int rows = h->num_rows, columns = h->num_columns;
    float lat_step = step_towards(h->lat_increment, h->start_lat, h->end_lat);
    float lon_step = step_towards(h->lon_increment, h->start_lon, h->end_lon);
    float end_lat, end_lon;
    if (h->increment_type == KILOMETERS) {
        ov_walk_east(lat0, lon0, lon_step * static_cast<float>(columns - 1), &end_lon);
        ov_walk_north(lat0, lat_step * static_cast<float>(rows - 1), &end_lat);
        lat_step = rows > 1 ? (end_lat - lat0) / static_cast<float>(rows - 1) : 0.0f;
        lon_step = columns > 1 ? (end_lon - lon0) / static_cast<float>(columns - 1) : 0.0f;
    } else {
        end_lat = lat0 + static_cast<float>(rows - 1) * lat_step;
        end_lon = lon0 + static_cast<float>(columns - 1) * lon_step;
    }
    std::printf("minlat = %g, minlon = %g, maxlat = %g, maxlon = %g\n", lat0, lon0,
                end_lat, end_lon);
    for (int i = 0; i < rows; i++)
        for (int j = 0; j < columns; j++) {
            size_t k = static_cast<size_t>(i) * columns + j;
            lats_out[k] = lat0 + static_cast<float>(i) * lat_step;
            lons_out[k] = lon0 + static_cast<float>(j) * lon_step;
        }
}

void ov_compute_equidistant_grid(const OvHeader *h, float *lats_out, float *lons_out)
{
    float lat0 = h->start_lat, lon0 = h->start_lon;
    int rows = h->num_rows, columns = h->num_columns;
    std::printf("ov_compute_equidistant_grid size: %d x %d\n", rows, columns);
    // Both walks lead from the grid's start towards its end, whatever the
    // increments' unit.
    float dy = step_towards(h->lat_increment, lat0, h->end_lat);
    float dx = step_towards(h->lon_increment, lon0, h->end_lon);
    float end_lat = lat0, end_lon = lon0;
    if (h->increment_type == DEGREES) {
        end_lat = lat0 + dy * static_cast<float>(rows - 1);
        end_lon = lon0 + dx * static_cast<float>(columns - 1);
        dy = rows > 1 ? ov_meridian_distance(lat0, end_lat) / static_cast<float>(rows - 1) : 0;
        if (end_lat < lat0)
            dy = -dy;
        dx = columns > 1 ? ov_parallel_distance(lon0, end_lon, lat0) /
                               static_cast<float>(columns - 1)
                         : 0;
    }
    float lat = lat0;
    for (int i = 0; i < rows; i++) {
        if (i > 0)
            ov_walk_north(lat, dy, &lat);
        float lon = lon0;
        for (int j = 0; j < columns; j++) {
            if (j > 0)
                ov_walk_east(lat, lon, dx, &lon);
            size_t k = static_cast<size_t>(i) * columns + j;
            lats_out[k] = lat;
            lons_out[k] = lon;
        }
    }
    if (h->increment_type != DEGREES && rows > 0 && columns > 0) {
        end_lat = lats_out[static_cast<size_t>(rows - 1) * columns];
        end_lon = lons_out[columns - 1];
    }
    std::printf("ov_compute_equidistant_grid minlat = %g, minlon = %g, maxlat = %g, "
                "maxlon = %g\n",
                lat0, lon0, end_lat, end_lon);
}

int flip_float_array(float *array, int rows, int columns)
{
    if (rows < 0 || columns < 0)
        return -1;
    size_t width = static_cast<size_t>(columns);
    for (int i = 0, j = rows - 1; i < j; i++, j--)
        std::swap_ranges(array + i * width, array + (i + 1) * width, array + j * width);
    return 0;
}

void ov_flip_data(OvHeader *h)
{
    if (!has_rows(h->type))
        return;
    std::swap(h->start_lat, h->end_lat);
    if (h->data)
        flip_float_array(h->data, h->num_rows, h->num_columns);
    if (h->vdata)
        flip_float_array(h->vdata, h->num_rows, h->num_columns);
}

void ov_wrap_dataset(OvHeader *h)
{
    if (!wrappable(h->type) || !h->data || h->num_rows < 0 || h->num_columns < 1)
        return;
    float span = static_cast<float>(h->num_columns) * h->lon_increment;
    if (!(360.0 <= span && span <= 360.0 + h->lon_increment / 2.0))
        return;
    float *data = wrapped(h->data, h->num_rows, h->num_columns, "ov_wrap_dataset: new_data");
    float *vdata = nullptr;
    if (data && h->type == OV_VECTOR && h->vdata) {
        vdata = wrapped(h->vdata, h->num_rows, h->num_columns, "ov_wrap_dataset: new_vdata");
        if (!vdata) {
            std::free(data);
            return;
        }
    }
    if (!data)
        return;
    std::free(h->data);
    h->data = data;
    if (vdata) {
        std::free(h->vdata);
        h->vdata = vdata;
    }
    h->num_columns += 1;
    h->end_lon += h->lon_increment;
}

}  // extern "C"
