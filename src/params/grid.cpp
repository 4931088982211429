// What a field's grid becomes in an ov data set (grid.h).
#include "grid.h"

#include <gridpick/grib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr int latlon = 0, gaussian = 4;

// Element n of KSEC2, counted from 1.
std::int32_t k2(const std::int32_t *ksec2, int n)
{
    return ksec2[n - 1];
}

// The grids an ov data set cannot describe, by data representation type.
struct refused_type {
    int type;
    const char *name;
};
constexpr refused_type refused[] = {
    {1, "a Mercator grid"},
    {2, "a gnomonic grid"},
    {3, "a Lambert conformal grid"},
    {5, "a polar stereographic grid"},
    {6, "a universal transverse Mercator grid"},
    {7, "a simple polyconic grid"},
    {8, "an Albers equal-area grid"},
    {9, "a Miller cylindrical grid"},
    {10, "a rotated latitude/longitude grid"},
    {13, "an oblique Lambert conformal grid"},
    {14, "a rotated Gaussian grid"},
    {20, "a stretched latitude/longitude grid"},
    {24, "a stretched Gaussian grid"},
    {30, "a stretched and rotated latitude/longitude grid"},
    {34, "a stretched and rotated Gaussian grid"},
    {50, "a spherical harmonics field"},
    {60, "a rotated spherical harmonics field"},
    {70, "a stretched spherical harmonics field"},
    {80, "a stretched and rotated spherical harmonics field"},
    {90, "a space view grid"},
};

// Points of row r (from 1) of a quasi-regular grid.
int row_points(const std::int32_t *ksec2, int r)
{
    return k2(ksec2, GRIB_K2_ROWS - 1 + r);
}

// The length of the rows of a quasi-regular grid once expanded: 4N points
// on a Gaussian grid (as the codec's own expansion has it), otherwise its
// longest row; 0 when a row is empty or longer than that.
int regular_length(const std::int32_t *ksec2)
{
    int rows = k2(ksec2, GRIB_K2_NJ), longest = 0, shortest = 0;
    if (rows < 1 || rows > GRIB_MAXROWS)
        return 0;
    for (int r = 1; r <= rows; r++) {
        longest = std::max(longest, row_points(ksec2, r));
        shortest = r == 1 ? row_points(ksec2, r) : std::min(shortest, row_points(ksec2, r));
    }
    int length = k2(ksec2, GRIB_K2_TYPE) == gaussian ? 4 * k2(ksec2, GRIB_K2_N) : longest;
    return shortest >= 1 && longest <= length ? length : 0;
}

// Rows from Lo1 to Lo2 that, one step of the expanded grid further, close
// the circle (to a thousandth of a degree): only such rows are periodic, as
// the expansion takes them to be.
bool rows_round_the_globe(const std::int32_t *ksec2)
{
    int length = regular_length(ksec2);
    if (length < 1)
        return false;
    long span = (k2(ksec2, GRIB_K2_LO2) - k2(ksec2, GRIB_K2_LO1)) % 360000L;
    if ((k2(ksec2, GRIB_K2_SCAN) & GP_SCAN_WEST) != 0)
        span = -span;
    if (span < 0)
        span += 360000L;
    return std::fabs(static_cast<double>(span) + 360000.0 / length - 360000.0) <= 2.0;
}

const char *refusal_of(const std::int32_t *ksec2)
{
    if (ksec2 == nullptr)
        return "a grid given by its catalogue number only";
    int type = k2(ksec2, GRIB_K2_TYPE);
    for (const refused_type &r : refused)
        if (r.type == type)
            return r.name;
    if (type != latlon && type != gaussian)
        return "a grid of an unknown type";
    bool quasi = k2(ksec2, GRIB_K2_QUASI) == 1;   // its rows list their points
    if ((!quasi && k2(ksec2, GRIB_K2_NI) < 1) || k2(ksec2, GRIB_K2_NJ) < 1)
        return "a grid without rows or columns";
    if (quasi && !rows_round_the_globe(ksec2))
        return "a quasi-regular grid whose rows do not go round the globe";
    return nullptr;
}

bool increment_given(const std::int32_t *ksec2)
{
    int di = k2(ksec2, GRIB_K2_DI);   // 65535 (or the codec's missing mark) when not given
    return di > 0 && di != 65535;
}

// The longitude step: Di when given, else the regular 4N points of an
// expanded Gaussian grid, else the span from Lo1 to Lo2.
double lon_step(const std::int32_t *ksec2, double sign)
{
    int ni = k2(ksec2, GRIB_K2_NI), n = k2(ksec2, GRIB_K2_N);
    if (increment_given(ksec2))
        return k2(ksec2, GRIB_K2_DI) / 1000.0;
    if (k2(ksec2, GRIB_K2_TYPE) == gaussian && ni == 4 * n)
        return 90.0 / n;
    double span = sign * (k2(ksec2, GRIB_K2_LO2) - k2(ksec2, GRIB_K2_LO1)) / 1000.0;
    if (span < 0)
        span += 360.0;
    return ni > 1 ? span / (ni - 1) : 0.0;
}

// The latitude step of a latitude/longitude grid: Dj when given, else the
// span from La1 to La2.
double lat_step(const std::int32_t *ksec2)
{
    if (increment_given(ksec2))
        return k2(ksec2, GRIB_K2_DJ) / 1000.0;
    int nj = k2(ksec2, GRIB_K2_NJ);
    double span = std::abs(k2(ksec2, GRIB_K2_LA2) - k2(ksec2, GRIB_K2_LA1)) / 1000.0;
    return nj > 1 ? span / (nj - 1) : 0.0;
}

// Index of the global Gaussian latitude given to a thousandth of a degree.
int row_of(const std::vector<double> &lats, int millidegrees)
{
    for (std::size_t i = 0; i < lats.size(); i++)
        if (std::fabs(lats[i] * 1000.0 - millidegrees) <= 1.0)
            return static_cast<int>(i);
    return -1;
}

// The global Gaussian latitudes of n, computed once while an archive keeps
// to one n (each caller's thread its own), not for every field.
const std::vector<double> &gaussian_set(int n)
{
    thread_local int last = 0;
    thread_local std::vector<double> lats;
    if (n != last) {
        lats.assign(static_cast<std::size_t>(2 * n), 0.0);
        gp_gaussian_latitudes(n, lats);
        last = n;
    }
    return lats;
}

bool plan_gaussian_rows(const std::int32_t *ksec2, gp_grid_plan &plan)
{
    int n = k2(ksec2, GRIB_K2_N);
    if (n < 1 || n > 100000)
        return false;
    const std::vector<double> &global = gaussian_set(n);
    int first = row_of(global, k2(ksec2, GRIB_K2_LA1));
    int last = row_of(global, k2(ksec2, GRIB_K2_LA2));
    if (first < 0 || last < 0 || std::abs(last - first) + 1 != plan.rows)
        return false;
    int step = last >= first ? 1 : -1;
    for (int i = first;; i += step) {
        plan.lats.push_back(static_cast<float>(global[static_cast<std::size_t>(i)]));
        if (i == last)
            break;
    }
    return true;
}

}  // namespace

void gp_gaussian_latitudes(int n, std::span<double> lats)
{
    if (n < 1 || lats.size() < static_cast<std::size_t>(2 * n))
        return;
    const int degree = 2 * n;
    for (int k = 1; k <= n; k++) {
        double x = std::cos(std::numbers::pi * (k - 0.25) / (degree + 0.5));
        for (int iter = 0; iter < 100; iter++) {
            double p0 = 1.0, p1 = x;   // P_0 and P_1, then up to P_degree
            for (int l = 2; l <= degree; l++) {
                double p2 = ((2.0 * l - 1.0) * x * p1 - (l - 1.0) * p0) / l;
                p0 = p1;
                p1 = p2;
            }
            double dp = degree * (x * p1 - p0) / (x * x - 1.0);
            double dx = p1 / dp;
            x -= dx;
            if (std::fabs(dx) < 1e-15)
                break;
        }
        double lat = std::asin(x) * 180.0 / std::numbers::pi;
        lats[static_cast<std::size_t>(k - 1)] = lat;
        lats[static_cast<std::size_t>(degree - k)] = -lat;
    }
}

gp_grid_plan gp_grid_plan_of(const std::int32_t *ksec2)
{
    gp_grid_plan plan;
    plan.refusal = refusal_of(ksec2);
    if (plan.refusal != nullptr)
        return plan;
    int type = k2(ksec2, GRIB_K2_TYPE), scan = k2(ksec2, GRIB_K2_SCAN);
    plan.expand = k2(ksec2, GRIB_K2_QUASI) == 1;
    plan.by_columns = (scan & GP_SCAN_COLUMNS) != 0;
    plan.rows = k2(ksec2, GRIB_K2_NJ);
    plan.columns = k2(ksec2, GRIB_K2_NI);
    double sign = (scan & GP_SCAN_WEST) != 0 ? -1.0 : 1.0;
    plan.start_lat = k2(ksec2, GRIB_K2_LA1) / 1000.0;
    plan.end_lat = k2(ksec2, GRIB_K2_LA2) / 1000.0;
    plan.start_lon = k2(ksec2, GRIB_K2_LO1) / 1000.0;
    plan.lon_increment = lon_step(ksec2, sign);
    plan.lat_increment = type == latlon ? lat_step(ksec2) : plan.lon_increment;
    plan.end_lon = plan.start_lon + sign * plan.lon_increment * plan.columns;
    if (type == latlon || plan.expand)
        return plan;
    plan.irregular = true;
    if (!plan_gaussian_rows(ksec2, plan)) {   // the regular numbers stay, for the record
        plan.irregular = false;
        plan.lats.clear();
        plan.refusal = "a Gaussian grid whose rows are not those of its N";
        return plan;
    }
    for (int c = 0; c < plan.columns; c++)
        plan.lons.push_back(static_cast<float>(plan.start_lon + sign * plan.lon_increment * c));
    return plan;
}

void gp_grid_to_rows(const gp_grid_plan &plan, std::span<float> values,
                     std::vector<float> &scratch)
{
    std::size_t rows = static_cast<std::size_t>(plan.rows);
    std::size_t columns = static_cast<std::size_t>(plan.columns);
    if (!plan.by_columns || values.size() < rows * columns)
        return;
    scratch.assign(values.begin(), values.begin() + static_cast<long>(rows * columns));
    for (std::size_t c = 0; c < columns; c++)
        for (std::size_t r = 0; r < rows; r++)
            values[r * columns + c] = scratch[c * rows + r];
}

int gp_grid_expand(std::int32_t *ksec2, std::int32_t *ksec4, std::vector<float> &values,
                   std::vector<float> &scratch)
{
    int rows = k2(ksec2, GRIB_K2_NJ), length = regular_length(ksec2);
    long given = 0;
    for (int r = 1; length > 0 && r <= rows; r++)
        given += row_points(ksec2, r);
    if (length < 1 || given != ksec4[GRIB_K4_COUNT - 1] ||
        static_cast<long>(values.size()) < given)
        return -1;
    std::size_t regular = static_cast<std::size_t>(length);
    scratch.assign(values.begin(), values.begin() + given);
    values.resize(std::max(values.size(), regular * static_cast<std::size_t>(rows)));
    std::vector<float> work(3 * (regular + 3));
    const float *in = scratch.data();
    for (int r = 1; r <= rows; r++) {
        gint points = row_points(ksec2, r), ko = length, linear = 1;
        float *row = values.data() + regular * static_cast<std::size_t>(r - 1);
        std::copy(in, in + points, row);
        if (points != length)
            rowina(row, &ko, &points, work.data(), &linear);
        in += points;
    }
    ksec2[GRIB_K2_NI - 1] = length;
    ksec2[GRIB_K2_QUASI - 1] = 0;
    if (k2(ksec2, GRIB_K2_TYPE) == latlon)
        ksec2[GRIB_K2_DI - 1] = 65535;   // the step is now the span's
    ksec4[GRIB_K4_COUNT - 1] = rows * length;
    return 0;
}
