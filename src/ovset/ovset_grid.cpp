// Latitude and longitude of the rows and columns of an ov grid.
#include "ovset.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

// Holds standard output on /dev/null while it lives: the library's grid
// routines report each grid there, and a program's standard output is its
// own.
class quiet_stdout {
public:
    quiet_stdout()
    {
        std::fflush(stdout);
        int null = open("/dev/null", O_WRONLY);
        saved_ = null >= 0 ? dup(STDOUT_FILENO) : -1;
        if (saved_ >= 0)
            dup2(null, STDOUT_FILENO);
        if (null >= 0)
            close(null);
    }
    ~quiet_stdout()
    {
        std::fflush(stdout);
        if (saved_ >= 0) {
            dup2(saved_, STDOUT_FILENO);
            close(saved_);
        }
    }
    quiet_stdout(const quiet_stdout &) = delete;
    quiet_stdout &operator=(const quiet_stdout &) = delete;

private:
    int saved_;
};

void equiangle_axes(const OvHeader &h, ovset_axes &axes)
{
    size_t rows = static_cast<size_t>(h.num_rows), columns = static_cast<size_t>(h.num_columns);
    std::vector<float> lats(rows * columns), lons(rows * columns);
    {
        quiet_stdout quiet;
        ov_compute_equiangle_grid(&h, lats.data(), lons.data());
    }
    for (size_t r = 0; r < rows; r++)
        axes.lat[r] = lats[r * columns];
    std::copy_n(lons.begin(), columns, axes.lon.begin());
}

// The header fields that place the points of a grid.
bool same_placing(const OvHeader &a, const OvHeader &b)
{
    return a.grid_type == b.grid_type && a.increment_type == b.increment_type &&
           a.start_lat == b.start_lat && a.end_lat == b.end_lat &&
           a.start_lon == b.start_lon && a.end_lon == b.end_lon &&
           a.lat_increment == b.lat_increment && a.lon_increment == b.lon_increment;
}

}  // namespace

bool ovset_is_grid(const OvHeader &h)
{
    return h.type == OV_CONTOUR || h.type == OV_VECTOR;
}

bool ovset_grid_axes(const OvHeader &h, ovset_axes &axes)
{
    axes.lat.clear();
    axes.lon.clear();
    if (!ovset_is_grid(h) || h.num_rows < 1 || h.num_columns < 1 ||
        (h.grid_type == IRREGULAR && (!h.lats || !h.lons)))
        return false;
    axes.lat.resize(static_cast<size_t>(h.num_rows));
    axes.lon.resize(static_cast<size_t>(h.num_columns));
    if (h.grid_type == IRREGULAR) {
        std::copy_n(h.lats, h.num_rows, axes.lat.begin());
        std::copy_n(h.lons, h.num_columns, axes.lon.begin());
    } else {
        equiangle_axes(h, axes);
    }
    return true;
}

bool ovset_same_grid(const OvHeader &a, const ovset_axes &a_axes, const OvHeader &b)
{
    if (!ovset_is_grid(b) || a.num_rows != b.num_rows || a.num_columns != b.num_columns)
        return false;
    if (same_placing(a, b) && a.grid_type == REGULAR)
        return true;
    ovset_axes b_axes;
    return ovset_grid_axes(b, b_axes) && b_axes.lat == a_axes.lat && b_axes.lon == a_axes.lon;
}
