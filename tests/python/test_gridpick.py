"""The Python package and xarray engine against gridpick's own programs."""
import os
import pickle
import shutil
import subprocess
import warnings
from pathlib import Path

import numpy as np
import pytest
import xarray as xr

import gridpick

ROOT = Path(__file__).resolve().parents[2]
BIN = Path(os.environ.get("GRIDPICK_BIN", ROOT / "build" / "bin")).resolve()
SAMPLE = ROOT / "data" / "sample.grb"


def run(*args, cwd=None):
    subprocess.run([str(a) for a in args], cwd=cwd, check=True, capture_output=True)


def mkarchive(path, *switches):
    run(BIN / "mkarchive", *switches, path)
    return path


def u24(b, at):
    return int.from_bytes(b[at:at + 3], "big")


def gridpick_ov(archive, out):
    out.mkdir()
    run(BIN / "gridpick", "-x", "-a", "-i", "1/1/79", "1/2/79", archive, cwd=out)
    return sorted(out.iterdir())


@pytest.fixture(scope="module")
def sample_ov(tmp_path_factory):
    return gridpick_ov(SAMPLE, tmp_path_factory.mktemp("sample") / "ov")


GRIDS = [  # mkarchive switches of a grid family; None: the sample archive
    None,
    ["-G", "8"],                  # Gaussian: IRREGULAR, its latitudes
    ["-R", "8"],                  # quasi-regular Gaussian, expanded
    ["-g", "36x19", "-S", "64"],  # rows south to north
    ["-g", "36x19", "-S", "160"], # east to west, along meridians
]


@pytest.mark.parametrize("switches", GRIDS, ids=lambda s: " ".join(s) if s else "sample")
def test_values_match_gridpick_ov_output(tmp_path, switches):
    archive = SAMPLE if switches is None else mkarchive(
        tmp_path / "a.grb", *switches, "-p", "130,131,132,134", "-l", "500,850")
    ds = xr.open_dataset(archive, engine="gridpick")
    compared = 0
    for path in gridpick_ov(archive, tmp_path / "ov"):
        for header, data, vdata in gridpick.ov.read(path):
            code = header["param"]
            names = [gridpick._gridpick.variable(code)["name"]]
            if vdata is not None:
                names.append(names[0].replace("u_", "v_", 1))
            where = {"time": np.datetime64("19%02d-%02d-%02dT%02d" % (
                header["year"], header["month"], header["day"], header["time"]))}
            if header["grid_type"] == gridpick.ov.IRREGULAR:
                np.testing.assert_array_equal(ds.lat.values, header["lats"])
                np.testing.assert_array_equal(ds.lon.values, header["lons"])
            for name, values in zip(names, (data, vdata)):
                field = ds[name].sel(where)
                if "level" in field.dims:
                    field = field.sel(level=header["level"])
                want = np.where(values == header["bad_value"], np.nan, values)
                np.testing.assert_array_equal(field.values, want, err_msg=str(path))
                compared += 1
    assert compared == (368 if switches is None else 4 * 2 * 3)


def test_engine_on_ov_file_gives_ov2nc_names(sample_ov):
    ov_ds = xr.open_dataset(sample_ov[0], engine="gridpick")
    grib = xr.open_dataset(SAMPLE, engine="gridpick")
    for name, var in ov_ds.data_vars.items():
        assert var.attrs["long_name"] == grib[name].attrs["long_name"]
        np.testing.assert_array_equal(var.values[0], grib[name].sel(time=ov_ds.time).values[0])


DAMAGES = [  # what is done to the copy, the report, messages left
    ("no 7777", lambda b: b[:2306] + b"XXXX" + b[2310:], "offset 1200 is damaged", 367),
    ("junk between", lambda b: b[:1200] + b"junkjunk" + b[1200:], "8 bytes that are not GRIB", 368),
    ("cut short", lambda b: b[:-500], "cut short by the end of the file", 367),
]


@pytest.mark.parametrize("name,damage,report,left", DAMAGES, ids=[d[0] for d in DAMAGES])
def test_damaged_copy_warns_and_keeps_neighbours(tmp_path, name, damage, report, left):
    path = tmp_path / "damaged.grb"
    path.write_bytes(damage(SAMPLE.read_bytes()))
    with pytest.warns(gridpick.ArchiveWarning, match=report):
        inv = gridpick.inventory(path)
    assert len(inv) == left
    first = gridpick.read(path, inv.iloc[0]).values
    np.testing.assert_array_equal(first, gridpick.read(SAMPLE, 0).values)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        assert "temp" in xr.open_dataset(path, engine="gridpick")


def test_mixed_grids_refused_then_each_opens(tmp_path):
    coarse = mkarchive(tmp_path / "a.grb", "-g", "36x19", "-p", "130", "-l", "500")
    fine = mkarchive(tmp_path / "b.grb", "-g", "72x37", "-p", "130", "-l", "500")
    mixed = tmp_path / "mixed.grb"
    mixed.write_bytes(coarse.read_bytes() + fine.read_bytes())
    with pytest.raises(ValueError, match="grid=") as refused:
        xr.open_dataset(mixed, engine="gridpick")
    for grid, shape in [("latlon 36x19", (19, 36)), ("latlon 72x37", (37, 72))]:
        assert grid in str(refused.value)
        ds = xr.open_dataset(mixed, engine="gridpick", grid=grid)
        assert ds.temp.shape == (4, 1) + shape
    twice = tmp_path / "twice.grb"
    twice.write_bytes(coarse.read_bytes() * 2)
    with pytest.raises(ValueError, match="twice"):
        xr.open_dataset(twice, engine="gridpick")


def test_not_an_archive_and_undecodable_message(tmp_path):
    text = tmp_path / "notes.txt"
    text.write_text("nothing of GRIB here\n" * 10)
    with pytest.raises(ValueError, match="notes.txt"):
        xr.open_dataset(text, engine="gridpick")
    path = mkarchive(tmp_path / "m.grb", "-g", "36x19", "-m", "3", "-p", "130", "-l", "500")
    intact = gridpick.read(path, gridpick.inventory(path).iloc[1]).values
    b = bytearray(path.read_bytes())
    sec3 = 8 + u24(b, 8) + u24(b, 8 + u24(b, 8))
    b[sec3 + 6:sec3 + u24(b, sec3)] = b"\xff" * (u24(b, sec3) - 6)   # every point present
    path.write_bytes(bytes(b))
    ds = xr.open_dataset(path, engine="gridpick")
    with pytest.raises(ValueError, match="offset 0 "):
        ds.temp.isel(time=0).values
    np.testing.assert_array_equal(ds.temp.isel(time=1, level=0).values, intact)
    b[8 + u24(b, 8) + 5] = 5   # section 2 of the first message: a polar stereographic grid
    path.write_bytes(bytes(b))
    with pytest.warns(gridpick.ArchiveWarning, match="offset 0 holds a polar stereographic"):
        assert xr.open_dataset(path, engine="gridpick").temp.shape == (3, 1, 19, 36)
    assert np.isnan(intact.ravel()[::3]).all() and not np.isnan(intact.ravel()[1::3]).any()


def header(**fields):
    base = dict(id=1001, year=79, month=1, day=2, time=12.0, term=6, type=1, param=130,
                level=500, min=-1.5, max=2.5, bad_value=-9999.0, start_lat=90.0, end_lat=-90.0,
                start_lon=0.0, end_lon=360.0, lat_increment=90.0, lon_increment=90.0,
                num_rows=3, num_columns=4, increment_type=0, grid_type=0,
                reserved=[1, 2, 3, 4, 5], comment="made by a test", title="t", units="K",
                param_desc="temperature", private_data=b"\x00\x01priv")
    base.update(fields)
    return base


ROUND_TRIPS = [  # header, data shape, vdata
    (header(), (3, 4), False),
    (header(type=2, comment=None, private_data=None), (3, 4), True),
    (header(grid_type=1, lats=np.array([80, 0, -80], np.float32),
            lons=np.arange(4, dtype=np.float32) * 7), (3, 4), False),
    (header(type=3, num_rows=5, num_columns=0), (5,), True),
    (header(type=5, num_rows=2, num_columns=0, units=None), (2, 3), False),
]


@pytest.mark.parametrize("hdr,shape,vector", ROUND_TRIPS)
def test_ov_round_trip(tmp_path, hdr, shape, vector):
    data = np.arange(np.prod(shape), dtype=np.float32).reshape(shape) - 3
    sets = [(hdr, data, -data if vector else None), (header(id=7), np.ones((3, 4)))]
    gridpick.ov.write(tmp_path / "x.ov", sets)
    back = gridpick.ov.read(tmp_path / "x.ov")
    assert len(back) == 2
    got, got_data, got_vdata = back[0]
    for key, value in hdr.items():
        np.testing.assert_array_equal(got[key], value, err_msg=key)
    assert got["version"] == 2
    np.testing.assert_array_equal(got_data, data)
    assert (got_vdata is None) == (not vector)


def test_lazy_array_pickles():
    ds = xr.open_dataset(SAMPLE, engine="gridpick")
    lazy = ds.temp.sel(level=500)
    back = pickle.loads(pickle.dumps(lazy))
    np.testing.assert_array_equal(back.values, lazy.values)
    assert back.variable._data is not None and not np.isnan(back.values).all()
    chunked = xr.open_dataset(SAMPLE, engine="gridpick", chunks={}).temp
    assert chunked.data.chunksize == (1, 1, 19, 36)
    threaded = chunked.compute(scheduler="threads", num_workers=4)
    np.testing.assert_array_equal(threaded.sel(level=500).values, lazy.values)


def test_many_archives_on_a_local_cluster(tmp_path):
    distributed = pytest.importorskip("distributed")
    paths = [mkarchive(tmp_path / ("%d.grb" % m), "-g", "36x19", "-s", "%d/1/79" % m,
                       "-p", "130,134", "-l", "500,850") for m in (1, 2, 3)]
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster):
        ds = xr.open_mfdataset(paths, engine="gridpick", parallel=True, combine="by_coords")
        temp = ds.temp.sel(level=500).values
    assert ds.time.size == 12 and ds.time.dt.month.values.tolist() == [1] * 4 + [2] * 4 + [3] * 4
    want = xr.open_dataset(paths[1], engine="gridpick").temp.sel(level=500).values
    np.testing.assert_array_equal(temp[4:8], want)


@pytest.mark.parametrize("switches", [["-t"], ["-t", "-r", "520"]], ids=["tape", "short records"])
def test_tape_image_reads_as_disk(tmp_path, switches):
    common = ["-g", "36x19", "-p", "130,131,132,134"]
    tape = mkarchive(tmp_path / "a.tap", *switches, *common)
    disk = xr.open_dataset(mkarchive(tmp_path / "a.grb", *common), engine="gridpick")
    ds = xr.open_dataset(tape, engine="gridpick")
    assert gridpick.inventory(tape)["offset"].isna().all()
    for name in ("temp", "v_wind", "surface_pressure"):
        np.testing.assert_array_equal(ds[name].values, disk[name].values)
