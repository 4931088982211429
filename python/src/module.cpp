// _gridpick: the compiled part of the Python package gridpick.  Archives
// are read through archive_access.h; ov files through the ov library, which
// keeps no state; names and slots of variables through ov2nc's plan.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "archive_access.h"
#include <gridpick/ov.h>
#include "ovset.h"
#include "plan.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// ---- header records as dicts ---------------------------------------------

struct int_field {
    const char *name;
    int OvHeader::*member;
};
struct float_field {
    const char *name;
    float OvHeader::*member;
};

// The fixed header's numbers by name; header_size, version and the text
// lengths follow from the record when it is written.
constexpr int_field int_fields[] = {
    {"header_size", &OvHeader::header_size}, {"version", &OvHeader::version},
    {"id", &OvHeader::id}, {"year", &OvHeader::year}, {"month", &OvHeader::month},
    {"day", &OvHeader::day}, {"term", &OvHeader::term}, {"type", &OvHeader::type},
    {"param", &OvHeader::param}, {"level", &OvHeader::level},
    {"num_rows", &OvHeader::num_rows}, {"num_columns", &OvHeader::num_columns},
    {"increment_type", &OvHeader::increment_type}, {"grid_type", &OvHeader::grid_type},
};
constexpr float_field float_fields[] = {
    {"time", &OvHeader::time}, {"min", &OvHeader::min}, {"max", &OvHeader::max},
    {"bad_value", &OvHeader::bad_value}, {"start_lat", &OvHeader::start_lat},
    {"end_lat", &OvHeader::end_lat}, {"start_lon", &OvHeader::start_lon},
    {"end_lon", &OvHeader::end_lon}, {"lat_increment", &OvHeader::lat_increment},
    {"lon_increment", &OvHeader::lon_increment},
};
constexpr std::pair<const char *, char *OvHeader::*> text_fields[] = {
    {"comment", &OvHeader::comment}, {"title", &OvHeader::title},
    {"units", &OvHeader::units}, {"param_desc", &OvHeader::param_desc},
};

py::array_t<float> floats(const float *v, std::size_t n)
{
    return py::array_t<float>(static_cast<py::ssize_t>(n), v);
}

py::dict header_dict(const OvHeader &h)
{
    py::dict d;
    for (const auto &f : int_fields)
        d[f.name] = h.*f.member;
    for (const auto &f : float_fields)
        d[f.name] = h.*f.member;
    d["reserved"] = std::vector<int>(h.reserved, h.reserved + 5);
    for (const auto &[name, member] : text_fields)
        d[name] = h.*member != nullptr ? py::object(py::str(h.*member)) : py::object(py::none());
    d["private_data"] = h.private_data != nullptr
                            ? py::object(py::bytes(h.private_data,
                                                   static_cast<std::size_t>(h.private_length)))
                            : py::object(py::none());
    bool listed = h.grid_type != REGULAR && h.lats != nullptr && h.lons != nullptr;
    d["lats"] = listed ? py::object(floats(h.lats, static_cast<std::size_t>(h.num_rows)))
                       : py::object(py::none());
    d["lons"] = listed ? py::object(floats(h.lons, static_cast<std::size_t>(h.num_columns)))
                       : py::object(py::none());
    return d;
}

using float_array = py::array_t<float, py::array::c_style | py::array::forcecast>;

// A record to write from a dict, its parts kept alive in keep.
struct record_parts {
    std::vector<std::string> texts;
    std::vector<float_array> arrays;
    std::string private_data;
};

float *array_part(const py::object &o, long long want, const char *what, record_parts &keep)
{
    if (o.is_none())
        return nullptr;
    float_array a = float_array::ensure(o);
    if (!a || a.size() != want)
        throw py::value_error(std::string(what) + " must hold " + std::to_string(want) +
                              " values");
    keep.arrays.push_back(a);
    return keep.arrays.back().mutable_data();
}

py::object item(const py::dict &d, const char *key)
{
    return d.contains(key) ? py::object(d[key]) : py::object(py::none());
}

OvHeader record_of(const py::dict &d, const py::object &data, const py::object &vdata,
                   record_parts &keep)
{
    OvHeader h{};
    h.id = OV_DEFAULT_ID;
    h.bad_value = OV_DEFAULT_BAD_VALUE;
    for (const auto &f : int_fields)
        if (d.contains(f.name))
            h.*f.member = d[f.name].cast<int>();
    for (const auto &f : float_fields)
        if (d.contains(f.name))
            h.*f.member = d[f.name].cast<float>();
    if (d.contains("reserved")) {
        auto r = d["reserved"].cast<std::vector<int>>();
        std::copy_n(r.begin(), std::min<std::size_t>(r.size(), 5), h.reserved);
    }
    keep.texts.reserve(std::size(text_fields));
    for (const auto &[name, member] : text_fields)
        if (!item(d, name).is_none()) {
            keep.texts.push_back(d[name].cast<std::string>());
            h.*member = keep.texts.back().data();
        }
    if (!item(d, "private_data").is_none()) {
        keep.private_data = d["private_data"].cast<std::string>();
        h.private_data = keep.private_data.data();
        h.private_length = static_cast<int>(keep.private_data.size());
    }
    long long size = ov_data_size(h.type, h.num_rows, h.num_columns);
    if (size < 0)
        throw py::value_error("ov data set: negative counts");
    keep.arrays.reserve(4);
    h.data = array_part(data, size / 4, "data", keep);
    h.vdata = ov_has_vdata(h.type) ? array_part(vdata, size / 4, "vdata", keep) : nullptr;
    if (h.grid_type != REGULAR) {
        h.lats = array_part(item(d, "lats"), h.num_rows, "lats", keep);
        h.lons = array_part(item(d, "lons"), h.num_columns, "lons", keep);
    }
    return h;
}

// ---- ov files ------------------------------------------------------------

py::list ov_read_file(const std::string &path)
{
    int fd = ov_open(path.c_str(), 0);
    if (fd < 0)
        throw py::value_error(path + ": not an ov file (or it cannot be opened)");
    struct stat st {};
    fstat(fd, &st);
    py::list out;
    for (int n = 1; lseek(fd, 0, SEEK_CUR) < st.st_size; n++) {
        ovset_record h(ov_read(fd, 1));
        if (!h) {
            ov_close(fd);
            throw py::value_error(path + ": data set " + std::to_string(n) + " unreadable");
        }
        std::size_t count = static_cast<std::size_t>(ov_data_size(h->type, h->num_rows,
                                                                   h->num_columns) / 4);
        py::object data = h->data ? py::object(floats(h->data, count)) : py::none();
        py::object vdata = h->vdata ? py::object(floats(h->vdata, count)) : py::none();
        out.append(py::make_tuple(header_dict(*h), data, vdata));
    }
    ov_close(fd);
    return out;
}

void ov_write_file(const std::string &path, const py::list &datasets)
{
    std::vector<record_parts> keep(datasets.size());
    std::vector<OvHeader> records;
    for (std::size_t i = 0; i < datasets.size(); i++) {
        auto t = datasets[i].cast<py::tuple>();
        if (t.size() < 2)
            throw py::value_error("each data set is (header, data[, vdata])");
        records.push_back(record_of(t[0].cast<py::dict>(), t[1], t.size() > 2 ? py::object(t[2]) : py::object(py::none()),
                                    keep[i]));
    }
    int fd = ov_create(path.c_str());
    if (fd < 0)
        throw py::value_error(path + ": cannot be created");
    for (std::size_t i = 0; i < records.size(); i++)
        if (ov_write(fd, &records[i]) != 0) {
            ov_close(fd);
            throw py::value_error(path + ": data set " + std::to_string(i + 1) +
                                  " cannot be written");
        }
    ov_close(fd);
}

// The plan ov2nc makes of the files; false with ov2nc's words in why.
bool make_plan(const std::vector<std::string> &paths, plan &p, std::string &why)
{
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *sink = open_memstream(&text, &size);
    bool ok = true;
    {
        std::lock_guard<std::mutex> hold(gp_py_lock());
        p.report = sink != nullptr ? sink : stderr;
        p.files = paths;
        for (std::size_t f = 0; f < paths.size() && ok; f++)
            ok = ovset_each("gridpick", paths[f], false, [&](const OvHeader &h, int number) {
                return ok = plan_add(p, static_cast<int>(f), number, h);
            }) && ok;
        ok = ok && plan_finish(p);
        p.report = stderr;
    }
    if (sink != nullptr)
        std::fclose(sink);
    why = text != nullptr ? std::string(text, size) : "";
    std::free(text);
    while (!why.empty() && why.back() == '\n')
        why.pop_back();
    return ok;
}

// Variables, times, levels, axes and where each data set goes, as ov2nc
// plans them; ValueError with ov2nc's words when it refuses.
py::dict ov_plan(const std::vector<std::string> &paths)
{
    plan p;
    std::string why;
    bool ok;
    {
        py::gil_scoped_release free;
        ok = make_plan(paths, p, why);
    }
    if (!ok)
        throw py::value_error(why.empty() ? "ov files cannot be read" : why);
    py::list vars, parts;
    for (const plan_var &v : p.vars)
        vars.append(py::dict("name"_a = v.name, "code"_a = v.code, "units"_a = v.units,
                             "long_name"_a = v.long_name, "standard_name"_a = v.standard_name,
                             "fill"_a = v.fill, "on_levels"_a = v.on_levels));
    for (const plan_field &f : p.fields)
        for (int i = 0; i < f.parts; i++) {
            const plan_part &part = p.parts[static_cast<std::size_t>(f.first_part + i)];
            parts.append(py::make_tuple(f.file, f.number, part.var, part.second, part.time_index,
                                        part.level_index));
        }
    return py::dict("vars"_a = vars, "parts"_a = parts, "times"_a = p.times,
                    "levels"_a = p.levels, "lat"_a = p.axes.lat, "lon"_a = p.axes.lon);
}

// ---- archives -------------------------------------------------------------

template <typename T, typename F>
py::array_t<T> column(const std::vector<gp_py_entry> &rows, F get)
{
    py::array_t<T> a(static_cast<py::ssize_t>(rows.size()));
    T *out = a.mutable_data();
    for (const gp_py_entry &e : rows)
        *out++ = static_cast<T>(get(e));
    return a;
}

template <typename F>
py::list texts(const std::vector<gp_py_entry> &rows, F get)
{
    py::list l(rows.size());
    for (std::size_t i = 0; i < rows.size(); i++)
        l[i] = py::str(get(rows[i]));
    return l;
}

py::tuple inventory(const std::string &path)
{
    gp_py_inventory inv;
    {
        py::gil_scoped_release free;
        inv = gp_py_archive_inventory(path);
    }
    const auto &r = inv.entries;
    py::dict c;
    using E = const gp_py_entry &;
    c["message"] = column<long>(r, [](E e) { return e.number; });
    c["position"] = column<long>(r, [](E e) { return e.position; });
    c["at"] = column<int>(r, [](E e) { return e.at; });
    c["length"] = column<int>(r, [](E e) { return e.length; });
    c["year"] = column<int>(r, [](E e) { return e.year; });
    c["month"] = column<int>(r, [](E e) { return e.month; });
    c["day"] = column<int>(r, [](E e) { return e.day; });
    c["hour"] = column<int>(r, [](E e) { return e.hour; });
    c["minute"] = column<int>(r, [](E e) { return e.minute; });
    c["step"] = column<int>(r, [](E e) { return e.step; });
    c["centre"] = column<int>(r, [](E e) { return e.centre; });
    c["table"] = column<int>(r, [](E e) { return e.table; });
    c["param"] = column<int>(r, [](E e) { return e.param; });
    c["name"] = texts(r, [](E e) { return e.name; });
    c["level_type"] = column<int>(r, [](E e) { return e.level_type; });
    c["level"] = column<int>(r, [](E e) { return e.level; });
    c["level_text"] = texts(r, [](E e) { return e.level_text; });
    c["grid"] = texts(r, [](E e) { return e.grid; });
    c["area"] = texts(r, [](E e) { return e.area; });
    c["refusal"] = texts(r, [](E e) { return e.refusal; });
    c["ni"] = column<int>(r, [](E e) { return e.ni; });
    c["nj"] = column<int>(r, [](E e) { return e.nj; });
    c["bits"] = column<int>(r, [](E e) { return e.bits; });
    c["bitmap"] = column<bool>(r, [](E e) { return e.bitmap != 0; });
    return py::make_tuple(c, inv.reports);
}

py::dict read_message(const std::string &path, long position, int at, bool values)
{
    gp_py_field f;
    {
        py::gil_scoped_release free;
        f = gp_py_archive_read(path, position, at, values);
    }
    py::dict d;
    if (values) {
        py::array_t<float> v({f.header.num_rows, f.header.num_columns});
        std::copy(f.values.begin(), f.values.end(), v.mutable_data());
        d["values"] = v;
    }
    d["lats"] = floats(f.lats.data(), f.lats.size());
    d["lons"] = floats(f.lons.data(), f.lons.size());
    py::dict h = header_dict(f.header);
    h["units"] = f.units;
    d["header"] = h;
    d["reports"] = f.reports;
    return d;
}

py::dict variable(int code, int centre, int table)
{
    gp_source source{centre, table};
    plan_var v = plan_scalar_var(code, &source);
    return py::dict("name"_a = v.name, "code"_a = v.code, "long_name"_a = v.long_name,
                    "standard_name"_a = v.standard_name);
}

}  // namespace

PYBIND11_MODULE(_gridpick, m)
{
    m.doc() = "GRIB edition 1 archives and ov data sets (gridpick's own libraries)";
    py::register_exception<gp_py_error>(m, "ArchiveError", PyExc_ValueError);
    m.def("inventory", &inventory, "path"_a,
          "Columns of every message of an archive (dict of arrays) and the reports");
    m.def("read", &read_message, "path"_a, "position"_a, "at"_a, "values"_a = true,
          "One message placed as gridpick writes it: values, lats, lons, header, reports");
    m.def("sniff", &gp_py_sniff, "path"_a, "1 ov file, 2 GRIB archive, 0 neither");
    m.def("variable", &variable, "code"_a, "centre"_a = int{GP_NORVA_CENTRE},
          "table"_a = int{GP_NORVA_TABLE},
          "The variable ov2nc puts a data set of code of that producer into");
    m.def("ov_read", &ov_read_file, "path"_a);
    m.def("ov_write", &ov_write_file, "path"_a, "datasets"_a);
    m.def("ov_plan", &ov_plan, "paths"_a);
}
