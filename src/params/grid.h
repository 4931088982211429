/*
 * grid.h -- what the grid of a GRIB edition 1 field becomes in an ov data
 * set: the one place that decides, for every program that turns fields into
 * data sets, whether a grid can be described and with which header fields.
 *
 * The ov rule places value k of a data set at row k / num_columns and column
 * k % num_columns; rows step from start_lat towards end_lat (the listed lats
 * of an IRREGULAR grid), columns from start_lon towards end_lon.  A field is
 * described so that this rule puts every value at its true position:
 *   - start_lat, start_lon are the first point (La1, Lo1); end_lat the last
 *     row (La2); end_lon is start_lon + lon_increment x num_columns taken in
 *     the direction the columns run (minus for an east-to-west scan);
 *   - values consecutive along meridians (scanning flag 32) are turned into
 *     rows (gp_grid_to_rows);
 *   - a Gaussian grid is IRREGULAR: lats are its true Gaussian latitudes in
 *     the order scanned, lons its columns;
 *   - a quasi-regular Gaussian or latitude/longitude grid whose rows go
 *     round the globe is expanded to its regular grid (gp_grid_expand:
 *     4N points a row on a Gaussian grid, as many as its longest row on a
 *     latitude/longitude grid) and then described so.
 * Every other grid is refused with the words that name it.
 */
#ifndef GRIDPICK_GRID_H
#define GRIDPICK_GRID_H

#include <cstdint>
#include <span>
#include <vector>

/* Scanning mode flags (KSEC2(11)). */
enum {
    GP_SCAN_WEST = 128,     /* points run east to west along a row */
    GP_SCAN_NORTH = 64,     /* rows run south to north */
    GP_SCAN_COLUMNS = 32    /* points consecutive along a meridian */
};

/* The 2n latitudes in degrees, north to south, of the Gaussian grid of n
 * parallels between a pole and the equator: the arcsines of the roots of
 * the Legendre polynomial of degree 2n (Newton iteration in double
 * precision, accurate to about 1e-12 degree).  lats must hold 2n values;
 * nothing is written for n < 1. */
void gp_gaussian_latitudes(int n, std::span<double> lats);

/* What a field's grid becomes. */
struct gp_grid_plan {
    const char *refusal = nullptr; /* null, or the grid named with its
                                      article: "a polar stereographic grid" */
    bool expand = false;      /* quasi-regular: expand after decoding */
    bool by_columns = false;  /* values consecutive along meridians */
    bool irregular = false;   /* lats and lons list the rows and columns */
    int rows = 0, columns = 0;
    double start_lat = 0, end_lat = 0, start_lon = 0, end_lon = 0;
    double lat_increment = 0, lon_increment = 0;
    std::vector<float> lats, lons;   /* IRREGULAR grids only */
};

/* The plan for a field whose section 2 decoded into ksec2 (grib.h; null when
 * the message has no section 2, which is refused as "a grid given by its
 * catalogue number only").  Call it after operation "I" to learn whether
 * the field is refused or must be expanded, and again with the ksec2 of the
 * decoding ("D" or "R") for its geometry.  A Gaussian grid whose first and
 * last rows are not latitudes of its N, or whose rows do not number Nj, is
 * refused as "a Gaussian grid whose rows are not those of its N". */
gp_grid_plan gp_grid_plan_of(const std::int32_t *ksec2);

/* Expands the decoded values of a quasi-regular field (the points of each
 * row as ksec2 lists them, row after row, KSEC4(1) in all) in place to its
 * regular grid: each row that is not of full length is interpolated round
 * its circle by the codec's linear row interpolation (rowina), exactly as
 * the codec's operation "R" does, but for grids of any size.  ksec2 and
 * ksec4 then describe the regular grid (Ni the row length, not
 * quasi-regular, KSEC4(1) rows x Ni).  values grows as needed; scratch is
 * reused storage.  Returns 0, or -1 (nothing changed) when the row list
 * does not add up to KSEC4(1) or a row is empty or longer than the
 * regular length. */
int gp_grid_expand(std::int32_t *ksec2, std::int32_t *ksec4, std::vector<float> &values,
                   std::vector<float> &scratch);

/* Puts values (rows x columns of the plan, in the order the message gives
 * them) row by row when the plan says they run along meridians; otherwise
 * leaves them alone.  scratch is reused storage. */
void gp_grid_to_rows(const gp_grid_plan &plan, std::span<float> values,
                     std::vector<float> &scratch);

#endif
