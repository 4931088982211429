"""GRIB edition 1 archives and ov data sets, read with gridpick's own codec.

inventory(path)      every message of an archive as a pandas DataFrame
read(path, message)  one message's values placed as gridpick writes them
ov.read / ov.write   ov data sets as header dicts and numpy arrays

With xarray: xr.open_dataset(path, engine="gridpick").
"""
import warnings

import numpy as np
import pandas as pd

from . import _gridpick

try:
    from importlib.metadata import version as _version
    __version__ = _version("gridpick")
except Exception:  # no dist-info beside the package
    __version__ = "unknown"
__all__ = ["inventory", "read", "Field", "ArchiveWarning", "ov"]

ArchiveError = _gridpick.ArchiveError
OFFSET, RECORD = 0, 1


class ArchiveWarning(UserWarning):
    """Something in an archive was damaged or passed over."""


def warn_reports(reports, stacklevel=3):
    for line in reports:
        warnings.warn(line, ArchiveWarning, stacklevel=stacklevel)


def inventory(path):
    """Every message of the archive at path (disk file, tape image or tape
    device) as a DataFrame, one row per message; damaged and passed-over
    parts come as ArchiveWarning.  offset is NaN on tape, record on disk."""
    path = str(path)
    columns, reports = _gridpick.inventory(path)
    warn_reports(reports)
    at = columns.pop("at")
    position = columns.pop("position").astype(float)
    year, month, day = columns.pop("year"), columns.pop("month"), columns.pop("day")
    hour, minute = columns.pop("hour"), columns.pop("minute")
    dates = (
        (year - 1970).astype("datetime64[Y]")
        + (month - 1).astype("timedelta64[M]")
    ).astype("datetime64[D]") + (day - 1).astype("timedelta64[D]")
    time = dates + hour.astype("timedelta64[h]") + minute.astype("timedelta64[m]")
    frame = pd.DataFrame(
        {
            "message": columns.pop("message"),
            "offset": np.where(at == OFFSET, position, np.nan),
            "record": np.where(at == RECORD, position, np.nan),
            "time": time.astype("datetime64[ns]"),
            **columns,
        }
    )
    frame.attrs["path"] = path
    return frame


class Field:
    """One message placed on its grid: values (rows, columns) float32 with
    NaN where the bit map marks a point missing, lats of the rows, lons of
    the columns, and meta (the ov header gridpick writes for it)."""

    def __init__(self, values, lats, lons, meta):
        self.values, self.lats, self.lons, self.meta = values, lats, lons, meta

    def __repr__(self):
        m = self.meta
        return "<gridpick.Field param %d level %d %04d-%02d-%02d %gh %dx%d>" % (
            m["param"], m["level"], m["year"], m["month"], m["day"], m["time"],
            m["num_rows"], m["num_columns"])


def place_of(message):
    """(position, at) of an inventory row, or of an offset given as a number."""
    if isinstance(message, pd.Series) or isinstance(message, dict):
        record = message.get("record", np.nan)
        if record == record:  # not NaN
            return int(record), RECORD
        return int(message["offset"]), OFFSET
    return int(message), OFFSET


def read(path, message, *, by="offset"):
    """One message of the archive at path: an inventory row, or its offset
    (by="offset"), record (by="record") or number (by="message")."""
    path = str(path)
    if by == "message" and not isinstance(message, (pd.Series, dict)):
        rows = inventory(path)
        found = rows[rows["message"] == int(message)]
        if found.empty:
            raise ValueError("%s has no message %d" % (path, int(message)))
        message = found.iloc[0]
    elif by == "record":
        message = {"record": int(message)}
    position, at = place_of(message)
    got = _gridpick.read(path, position, at, True)
    warn_reports(got["reports"])
    meta = got["header"]
    meta["position"], meta["at"] = position, ("record" if at == RECORD else "offset")
    return Field(got["values"], got["lats"], got["lons"], meta)


from . import ov  # noqa: E402  (needs _gridpick above)
