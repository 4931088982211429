// Shorelines from the binned GSHHG netCDF files.
//
// How such a file holds them (names are the file's variable names):
//
// - The globe is cut into square bins of Bin_size_in_minutes (1200, 20
//   degrees, at crude resolution): N_bins_in_360_longitude_range bins along
//   a circle of latitude, N_bins_in_180_degree_latitude_range from pole to
//   pole.  Bin b lies in band b / nx counted from the North Pole and column
//   b % nx counted eastwards from 0 degrees (nx bins a band): its south-west
//   corner is at longitude (b % nx) * size, latitude 90 - (b / nx + 1) *
//   size.
// - Bin b holds N_segments_in_a_bin[b] segments from
//   Id_of_first_segment_in_a_bin[b] on; a segment is a piece of a shoreline
//   within its bin, entering and leaving at the bin's sides when the
//   shoreline goes on beyond it.
// - Embedded_npts_levels_exit_entry_for_a_segment packs, of each segment:
//   the number of its points (bits 9 and up), its level (bits 6-8: 1 land
//   against sea, 2 lake, 3 island in a lake, 4 pond in such an island, 5
//   and 6 Antarctica's ice front and grounding line), the side where it
//   leaves and the side where it enters its bin (bits 3-5 and 0-2).  Where
//   the ice front and the grounding line of Antarctica part, the ice front
//   is kept as land (level 1, Embedded_ANT_flag 1) and the grounding line
//   has its own level.
// - Id_of_GSHHS_ID gives the polygon a segment belongs to, whose area in
//   square kilometres is The_km_squared_area_of_polygons of that id.
// - The points of a segment start at Id_of_first_point_in_a_segment; each
//   is a pair of 16-bit offsets from the bin's south-west corner,
//   Relative_longitude/latitude_from_SW_corner_of_bin, in units of 1/65535
//   of the bin's size, stored as signed shorts but meant unsigned (0..65535
//   spans the whole bin).
#include "coast.h"

#include <netcdf.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

constexpr char default_folder[] = "/usr/share/gmt-gshhg";
constexpr int land = 1, lake = 2;
// Smaller islands and lakes would only clutter a quick look.
constexpr double least_island_km2 = 100, least_lake_km2 = 10000;

// An open netCDF file, closed when it goes.
class nc_file {
public:
    explicit nc_file(const std::string &path)
        : ok_(nc_open(path.c_str(), NC_NOWRITE, &id_) == NC_NOERR)
    {
    }
    ~nc_file()
    {
        if (ok_)
            nc_close(id_);
    }
    nc_file(const nc_file &) = delete;
    nc_file &operator=(const nc_file &) = delete;
    bool ok() const { return ok_; }

    // The whole one-dimensional variable name; nullopt when it is not there.
    template <typename T> std::optional<std::vector<T>> get(const char *name) const
    {
        int var, dim, dims;
        size_t length;
        if (nc_inq_varid(id_, name, &var) != NC_NOERR ||
            nc_inq_varndims(id_, var, &dims) != NC_NOERR || dims != 1 ||
            nc_inq_vardimid(id_, var, &dim) != NC_NOERR ||
            nc_inq_dimlen(id_, dim, &length) != NC_NOERR)
            return std::nullopt;
        std::vector<T> values(length);
        if (length > 0 && read(var, values.data()) != NC_NOERR)
            return std::nullopt;
        return values;
    }

private:
    int read(int var, int *to) const { return nc_get_var_int(id_, var, to); }
    int read(int var, short *to) const { return nc_get_var_short(id_, var, to); }
    int read(int var, double *to) const { return nc_get_var_double(id_, var, to); }

    int id_ = -1;
    bool ok_;
};

int scalar(const nc_file &f, const char *name)
{
    auto v = f.get<int>(name);
    return v && v->size() == 1 ? (*v)[0] : -1;
}

// The arrays of a binned file, checked against each other.
struct binned {
    int size_minutes = 0, nx = 0, ny = 0;
    std::vector<int> first_segment, segment_info, first_point, polygon;
    std::vector<double> area;
    std::vector<short> segments, dlon, dlat;

    bool load(const nc_file &f)
    {
        size_minutes = scalar(f, "Bin_size_in_minutes");
        nx = scalar(f, "N_bins_in_360_longitude_range");
        ny = scalar(f, "N_bins_in_180_degree_latitude_range");
        auto fs = f.get<int>("Id_of_first_segment_in_a_bin");
        auto ns = f.get<short>("N_segments_in_a_bin");
        auto info = f.get<int>("Embedded_npts_levels_exit_entry_for_a_segment");
        auto fp = f.get<int>("Id_of_first_point_in_a_segment");
        auto x = f.get<short>("Relative_longitude_from_SW_corner_of_bin");
        auto y = f.get<short>("Relative_latitude_from_SW_corner_of_bin");
        auto id = f.get<int>("Id_of_GSHHS_ID");
        auto km2 = f.get<double>("The_km_squared_area_of_polygons");
        if (size_minutes <= 0 || nx <= 0 || ny <= 0 || !fs || !ns || !info || !fp || !x || !y ||
            !id || !km2)
            return false;
        polygon = std::move(*id), area = std::move(*km2);
        first_segment = std::move(*fs), segments = std::move(*ns);
        segment_info = std::move(*info), first_point = std::move(*fp);
        dlon = std::move(*x), dlat = std::move(*y);
        return consistent();
    }

    bool consistent() const
    {
        size_t bins = first_segment.size();
        if (bins != segments.size() || bins > static_cast<size_t>(nx) * ny ||
            segment_info.size() != first_point.size() || dlon.size() != dlat.size() ||
            polygon.size() != segment_info.size())
            return false;
        for (size_t b = 0; b < bins; b++)
            if (first_segment[b] < 0 || segments[b] < 0 ||
                static_cast<size_t>(first_segment[b]) + segments[b] > segment_info.size())
                return false;
        for (size_t s = 0; s < segment_info.size(); s++)
            if (segment_info[s] < 0 || first_point[s] < 0 || polygon[s] < 0 ||
                static_cast<size_t>(polygon[s]) >= area.size() ||
                static_cast<size_t>(first_point[s]) + (segment_info[s] >> 9) > dlon.size())
                return false;
        return true;
    }
};

bool wanted(const binned &f, int segment)
{
    int level = f.segment_info[segment] >> 6 & 7;
    double km2 = std::fabs(f.area[static_cast<size_t>(f.polygon[segment])]);
    return f.segment_info[segment] >> 9 >= 2 &&
           ((level == land && km2 >= least_island_km2) || (level == lake && km2 >= least_lake_km2));
}

void append_segment(const binned &f, size_t bin, int segment, look_coast &coast)
{
    double size = f.size_minutes / 60.0;
    double west = static_cast<double>(bin % f.nx) * size;
    double south = 90.0 - static_cast<double>(bin / f.nx + 1) * size;
    int points = f.segment_info[segment] >> 9;
    size_t p0 = static_cast<size_t>(f.first_point[segment]);
    for (size_t p = p0; p < p0 + points; p++) {
        coast.lon.push_back(west + static_cast<uint16_t>(f.dlon[p]) * size / 65535.0);
        coast.lat.push_back(south + static_cast<uint16_t>(f.dlat[p]) * size / 65535.0);
    }
    coast.first.push_back(coast.lon.size());
}

}  // namespace

std::string look_coast_path(bool global)
{
    const char *folder = std::getenv("GRIDPICK_GSHHG_DIR");
    std::string dir = folder && *folder ? folder : default_folder;
    return dir + (global ? "/binned_GSHHS_c.nc" : "/binned_GSHHS_l.nc");
}

bool look_coast_read(const std::string &path, look_coast &coast)
{
    coast = {};
    nc_file file(path);
    binned f;
    if (!file.ok() || !f.load(file))
        return false;
    coast.first.push_back(0);
    for (size_t b = 0; b < f.first_segment.size(); b++)
        for (int s = f.first_segment[b]; s < f.first_segment[b] + f.segments[b]; s++) {
            if (wanted(f, s))
                append_segment(f, b, s, coast);
        }
    return true;
}

const look_coast *look_coast_for(bool global)
{
    static std::map<bool, std::optional<look_coast>> read;
    static bool told = false;
    auto found = read.find(global);
    if (found == read.end()) {
        look_coast coast;
        std::string path = look_coast_path(global);
        bool ok = look_coast_read(path, coast);
        if (!ok && !told) {
            std::fprintf(stderr, "ovlook: no coastlines: %s cannot be read\n", path.c_str());
            told = true;
        }
        found = read.emplace(global, ok ? std::optional(std::move(coast)) : std::nullopt).first;
    }
    return found->second ? &*found->second : nullptr;
}
