"""ov data sets as header dicts and numpy arrays, through the ov library.

read(path)             -> [(header, data, vdata), ...] in file order
write(path, datasets)  writes such tuples (vdata may be left out)

A header dict holds every field of the record: the fixed header's numbers
(id, year, month, day, time, term, type, param, level, min, max, bad_value,
start_lat, end_lat, start_lon, end_lon, lat_increment, lon_increment,
num_rows, num_columns, increment_type, grid_type, reserved; header_size and
version as read), the texts comment, title, units, param_desc (None when
absent), private_data (bytes) and, on IRREGULAR grids, lats and lons.  data
and vdata are float32: (num_rows, num_columns) for grids, (num_rows, 4)
ungridded vectors, (num_rows, 3) ungridded scalars, (num_rows,) outlines.
"""
import numpy as np

from . import _gridpick

CONTOUR, VECTOR, OUTLINE, UNGRIDDED_VECTOR, UNGRIDDED_SCALAR = 1, 2, 3, 4, 5
REGULAR, IRREGULAR = 0, 1

# Values per point of the types that are no grid.
_WIDTH = {OUTLINE: None, UNGRIDDED_VECTOR: 4, UNGRIDDED_SCALAR: 3}


def _shape(header):
    t, rows = header["type"], header["num_rows"]
    if t in _WIDTH:
        return (rows,) if _WIDTH[t] is None else (rows, _WIDTH[t])
    return (rows, header["num_columns"])


def read(path):
    """Every data set of the ov file at path; ValueError naming the file when
    it is not an ov file or a data set cannot be read."""
    out = []
    for header, data, vdata in _gridpick.ov_read(str(path)):
        shape = _shape(header)
        out.append((header,
                    None if data is None else data.reshape(shape),
                    None if vdata is None else vdata.reshape(shape)))
    return out


def write(path, datasets):
    """Writes the data sets, each (header, data) or (header, data, vdata), as
    a new ov file at path; text lengths, header_size and version follow from
    the record."""
    flat = []
    for ds in datasets:
        header, data = ds[0], ds[1]
        vdata = ds[2] if len(ds) > 2 else None
        flat.append((dict(header),
                     None if data is None else np.ravel(np.asarray(data, np.float32)),
                     None if vdata is None else np.ravel(np.asarray(vdata, np.float32))))
    _gridpick.ov_write(str(path), flat)
