"""The xarray engine "gridpick": GRIB edition 1 archives and ov files.

xr.open_dataset(path, engine="gridpick", grid=None, params=None, levels=None)

An archive opens from its inventory alone; each variable is a lazy array
that decodes one message per (time, level) when its values are wanted.  The
arrays carry the archive's path and the messages' offsets (records on tape),
never an open file, so they pickle to other processes and machines.  An ov
file gives what ov2nc writes of it.
"""
import os
import warnings

import numpy as np
import pandas as pd
import xarray as xr
from xarray.backends import BackendArray, BackendEntrypoint
from xarray.core import indexing

from . import _gridpick, inventory, warn_reports, ArchiveWarning, ov

OV, GRIB = 1, 2
ISOBARIC = 100
EPOCH = np.datetime64("1900-01-01T00:00:00", "ns")
SHOWN = 8  # groups listed in a refusal
TIME_ENCODING = {"units": "hours since 1900-01-01 00:00:00", "calendar": "standard"}

COORD_ATTRS = {
    "time": {"standard_name": "time", "long_name": "time", "axis": "T"},
    "level": {"standard_name": "air_pressure", "long_name": "pressure level",
              "units": "hPa", "positive": "down", "axis": "Z"},
    "lat": {"standard_name": "latitude", "long_name": "latitude",
            "units": "degrees_north", "axis": "Y"},
    "lon": {"standard_name": "longitude", "long_name": "longitude",
            "units": "degrees_east", "axis": "X"},
}


def outer(array, keys):
    """array indexed axis by axis (outer indexing): ints drop their axis."""
    axis = 0
    for k in keys:
        if isinstance(k, (int, np.integer)):
            array = np.take(array, k, axis=axis)
        else:
            array = array[(slice(None),) * axis + (k,)]
            axis += 1
    return array


class GridpickArray(BackendArray):
    """Fields of one variable: positions[time(, level)] is the offset (or
    record) of its message, -1 where the archive has none (NaN)."""

    def __init__(self, path, positions, at, rows, columns):
        self.path, self.positions, self.at = path, positions, at
        self.shape = positions.shape + (rows, columns)
        self.dtype = np.dtype("float32")

    def __getitem__(self, key):
        return indexing.explicit_indexing_adapter(
            key, self.shape, indexing.IndexingSupport.OUTER, self._raw)

    def _raw(self, key):
        lead = len(self.positions.shape)
        wanted = outer(self.positions, key[:lead])
        grid_shape = outer(np.empty(self.shape[lead:], np.bool_), key[lead:]).shape
        out = np.full(wanted.shape + grid_shape, np.nan, np.float32)
        for index in np.ndindex(wanted.shape):
            position = int(wanted[index])
            if position >= 0:
                got = _gridpick.read(self.path, position, self.at, True)
                warn_reports(got["reports"], stacklevel=2)
                out[index] = outer(got["values"], key[lead:])
        return out


def variable_of(code, centre, table, cache={}):
    key = (int(code), int(centre), int(table))
    if key not in cache:
        cache[key] = _gridpick.variable(*key)
    return cache[key]


def refuse(path, what, keyword, groups):
    """ValueError: what is wrong, the keyword that picks, one line a group."""
    lines = ["  %s=%r: %s" % (keyword, key, text) for key, text in groups[:SHOWN]]
    if len(groups) > SHOWN:
        lines.append("  ... and %d more" % (len(groups) - SHOWN))
    raise ValueError("%s %s:\n%s" % (path, what, "\n".join(lines)))


def grid_keys(inv):
    def key(grid, area):
        la1, lo1, la2, lo2, scan = (int(x) for x in area.split(","))
        return "%s (%g,%g to %g,%g%s)" % (grid, la1 / 1000, lo1 / 1000, la2 / 1000, lo2 / 1000,
                                          ", scan %d" % scan if scan else "")
    codes, pairs = pd.factorize(inv["grid"] + "|" + inv["area"])
    names = np.array([key(*p.split("|")) for p in pairs], dtype=object)
    return pd.Series(names[codes], index=inv.index)


def choose_grid(path, inv, grid):
    keys = grid_keys(inv)
    if grid is not None:
        inv = inv[(keys == grid) | (inv["grid"] == grid)]
        if inv.empty:
            raise ValueError("%s has no field on grid %r" % (path, grid))
        keys = grid_keys(inv)
    groups = keys.unique()
    if len(groups) > 1:
        listing = [(g, "%d messages: %s" % ((keys == g).sum(), ", ".join(
            pd.unique(inv.loc[keys == g, "var"])))) for g in groups]
        refuse(path, "mixes grids; pick one with grid=", "grid", listing)
    return inv


def select(inv, params, levels):
    if params is not None:
        wanted = {str(p) for p in np.atleast_1d(params)}
        inv = inv[inv["var"].isin(wanted) | inv["name"].isin(wanted)
                  | inv["param"].astype(str).isin(wanted)]
    if levels is not None:
        wanted = {str(x) for x in np.atleast_1d(levels)}
        hpa = (inv["level_type"] == ISOBARIC) & inv["level"].astype(str).isin(wanted)
        inv = inv[hpa | inv["level_text"].isin(wanted)]
    return inv


def check_twice(path, inv):
    slot = ["var", "time", "level_key"]
    twice = inv[inv.duplicated(slot, keep=False)]
    if twice.empty:
        return
    listing = []
    for (var, time, _), rows in twice.groupby(slot, sort=False):
        listing.append((var, "%s %s: messages %s" % (
            pd.Timestamp(time).strftime("%Y-%m-%d %H:%M"), rows["level_text"].iloc[0],
            ", ".join(str(m) for m in rows["message"]))))
    refuse(path, "holds fields twice; pick with params= or levels= (or split the archive)",
           "params", listing)


def archive_table(path, grid, params, levels):
    inv = inventory(path)
    if inv.empty:
        raise ValueError("%s holds no GRIB message gridpick can read" % path)
    at = 1 if inv["record"].notna().any() else 0
    # a forecast stands at the time it is valid for, as ov2nc places it
    inv["time"] = inv["time"] + pd.to_timedelta(inv["step"].clip(lower=0), unit="h")
    inv["position"] = (inv["record"] if at else inv["offset"]).astype(np.int64)
    producer = ["param", "centre", "table"]
    inv["var"] = [variable_of(*key)["name"] for key in inv[producer].itertuples(index=False)]
    refused = inv["refusal"] != ""
    for _, row in inv[refused].iterrows():
        warnings.warn("GRIB message at %s %d holds %s, which an ov data set cannot describe; "
                      "passed over" % ("record" if at else "offset", row["position"],
                                       row["refusal"]), ArchiveWarning, stacklevel=4)
    inv = select(inv[~refused], params, levels)
    if inv.empty:
        raise ValueError("%s holds no field that gridpick places among those asked for" % path)
    inv = choose_grid(path, inv, grid)
    inv = inv.assign(level_key=np.where(inv["level_type"] == ISOBARIC, inv["level"].astype(str),
                                        inv["level_text"]))
    check_twice(path, inv)
    return inv, at


def archive_dataset(path, grid, params, levels, drop):
    inv, at = archive_table(path, grid, params, levels)
    times = np.unique(inv["time"].to_numpy())
    isobaric = inv["level_type"] == ISOBARIC
    on_levels = set(inv.loc[isobaric, "var"])
    level_values = np.unique(inv.loc[inv["var"].isin(on_levels), "level"])[::-1]
    first = _gridpick.read(path, int(inv["position"].iloc[0]), at, False)
    warn_reports(first["reports"])
    rows, columns = first["header"]["num_rows"], first["header"]["num_columns"]
    t_index = np.searchsorted(times, inv["time"].to_numpy())
    l_index = len(level_values) - 1 - np.searchsorted(level_values[::-1], inv["level"].to_numpy())
    variables = {}
    for name, sel in inv.groupby("var", sort=False).groups.items():
        if name in drop:
            continue
        rows_of = inv.loc[sel]
        where = inv.index.get_indexer(sel)
        code = int(rows_of["param"].iloc[0])
        info = variable_of(code, rows_of["centre"].iloc[0], rows_of["table"].iloc[0])
        leveled = name in on_levels
        shape = (len(times), len(level_values)) if leveled else (len(times),)
        positions = np.full(shape, -1, np.int64)
        slots = (t_index[where], l_index[where]) if leveled else (t_index[where],)
        positions[slots] = rows_of["position"].to_numpy()
        dims = ("time", "level", "lat", "lon") if leveled else ("time", "lat", "lon")
        made = first_header(path, rows_of, at)
        attrs = {"long_name": info["long_name"], "units": made["units"], "code": code}
        if info["standard_name"]:
            attrs = {"standard_name": info["standard_name"], **attrs}
        data = indexing.LazilyIndexedArray(GridpickArray(path, positions, at, rows, columns))
        chunks = dict(zip(dims, (1,) * (len(dims) - 2) + (rows, columns)))
        encoding = {"preferred_chunks": chunks, "_FillValue": made["bad_value"]}
        variables[name] = xr.Variable(dims, data, attrs, encoding)
    coords = coordinates(times, level_values if on_levels else None, first["lats"], first["lons"])
    return xr.Dataset(variables, coords, {"Conventions": "CF-1.6",
                                          "source": "GRIB edition 1 archive read by gridpick"})


def first_header(path, rows, at):
    # The header gridpick writes for the first field: units and bad value.
    return _gridpick.read(path, int(rows["position"].iloc[0]), at, False)["header"]


def coordinates(times, levels, lats, lons):
    coords = {"time": xr.Variable("time", np.asarray(times, "datetime64[ns]"),
                                  COORD_ATTRS["time"], TIME_ENCODING)}
    if levels is not None:
        coords["level"] = xr.Variable("level", np.asarray(levels, np.float32),
                                      COORD_ATTRS["level"])
    coords["lat"] = xr.Variable("lat", np.asarray(lats, np.float32), COORD_ATTRS["lat"])
    coords["lon"] = xr.Variable("lon", np.asarray(lons, np.float32), COORD_ATTRS["lon"])
    return coords


def ov_dataset(path, drop):
    plan = _gridpick.ov_plan([path])
    sets = ov.read(path)
    times = EPOCH + np.round(np.asarray(plan["times"]) * 3600).astype("timedelta64[s]")
    levels = plan["levels"]
    shape = (len(plan["lat"]), len(plan["lon"]))
    arrays = []
    for v in plan["vars"]:
        lead = (len(times), len(levels)) if v["on_levels"] else (len(times),)
        arrays.append(np.full(lead + shape, np.nan, np.float32))
    for _, number, var, second, t, l in plan["parts"]:
        header, data, vdata = sets[number - 1]
        values = np.array(vdata if second else data, np.float32)
        values[(values == header["bad_value"]) | (values == plan["vars"][var]["fill"])] = np.nan
        arrays[var][(t, l) if plan["vars"][var]["on_levels"] else (t,)] = values
    variables = {}
    for v, values in zip(plan["vars"], arrays):
        if v["name"] in drop:
            continue
        dims = ("time", "level", "lat", "lon") if v["on_levels"] else ("time", "lat", "lon")
        attrs = {"long_name": v["long_name"], "units": v["units"], "code": v["code"]}
        if v["standard_name"]:
            attrs = {"standard_name": v["standard_name"], **attrs}
        variables[v["name"]] = xr.Variable(dims, values, attrs, {"_FillValue": v["fill"]})
    coords = coordinates(times, levels if any(v["on_levels"] for v in plan["vars"]) else None,
                         plan["lat"], plan["lon"])
    return xr.Dataset(variables, coords, {"Conventions": "CF-1.6",
                                          "source": "ov data sets converted by ov2nc"})


class GridpickBackendEntrypoint(BackendEntrypoint):
    """GRIB edition 1 archives (disk files, tape images) and ov files."""

    description = "GRIB edition 1 archives and ov files, read with gridpick's own codec"
    open_dataset_parameters = ("filename_or_obj", "drop_variables", "grid", "params", "levels")

    def open_dataset(self, filename_or_obj, *, drop_variables=None, grid=None, params=None,
                     levels=None):
        path = os.fspath(filename_or_obj)
        drop = set(np.atleast_1d(drop_variables)) if drop_variables is not None else set()
        if not os.path.exists(path):
            raise FileNotFoundError(path)
        kind = _gridpick.sniff(path)
        if kind == OV:
            return ov_dataset(path, drop)
        if kind != GRIB:
            raise ValueError("%s is neither a GRIB archive nor an ov file" % path)
        return archive_dataset(path, grid, params, levels, drop)

    def guess_can_open(self, filename_or_obj):
        try:
            return _gridpick.sniff(os.fspath(filename_or_obj)) != 0
        except (TypeError, ValueError):
            return False
