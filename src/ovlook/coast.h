/*
 * coast.h -- shorelines for ovlook's maps, read from the binned GSHHG files
 * that Debian's gmt-gshhg-low package installs (binned_GSHHS_c.nc, crude,
 * for global maps; binned_GSHHS_l.nc, low, for regional ones).
 *
 * The folder of the files is $GRIDPICK_GSHHG_DIR when that is set and not
 * empty, else /usr/share/gmt-gshhg.
 *
 * A shoreline comes as short polylines, each lying within one bin of the
 * file (20 degrees square at crude resolution), so no polyline crosses the
 * 0/360 degree seam: longitudes run from 0 to 360, latitudes from -90 to 90.
 * Only the shorelines of land against the sea (for Antarctica its ice
 * front) round at least 100 square kilometres and the shores of lakes of at
 * least 10000 square kilometres are kept; smaller islands and lakes,
 * islands in lakes, ponds in them and Antarctica's grounding line are left
 * out.
 */
#ifndef GRIDPICK_OVLOOK_COAST_H
#define GRIDPICK_OVLOOK_COAST_H

#include <cstddef>
#include <string>
#include <vector>

/* Polyline i runs over the points first[i] .. first[i+1]-1 of lon and lat
 * (degrees); first has one entry more than there are polylines. */
struct look_coast {
    std::vector<double> lon, lat;
    std::vector<std::size_t> first;
    std::size_t lines() const { return first.empty() ? 0 : first.size() - 1; }
};

/* Path of the shoreline file for a global map (crude) or a regional one
 * (low). */
std::string look_coast_path(bool global);

/* Reads the shorelines of the binned GSHHG file at path into coast.  false,
 * coast emptied, when the file cannot be opened or is not such a file (its
 * variables missing, of other sizes, or pointing outside their arrays).
 * The file is opened read-only and closed before returning; nothing is
 * printed. */
bool look_coast_read(const std::string &path, look_coast &coast);

/* The shorelines for a global or a regional map, read once per run and kept
 * until the end of the program.  null when they cannot be read; the first
 * time that happens, "ovlook: no coastlines: <path> cannot be read" goes to
 * standard error (once per run, whichever resolution failed). */
const look_coast *look_coast_for(bool global);

#endif
