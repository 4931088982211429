// The netCDF file of a plan: definitions, coordinates, data, fill, and the
// temporary name it is made under.
#include "cf_write.h"

#include <netcdf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <tuple>
#include <utility>

namespace {

constexpr char time_units[] = "hours since 1900-01-01 00:00:00";
constexpr char reftime_text[] = "1900 1 1 0:0";  // the same origin, as the import reads it

// ---- the temporary file ---------------------------------------------------

// The temporary file being written, removed by the signal handler too.
struct temp_state {
    char path[4096];
};
temp_state temp;

extern "C" void remove_temp_and_die(int sig)
{
    if (temp.path[0])
        unlink(temp.path);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Owns the temporary file: removed when it goes, unless it was renamed.
class temp_file {
public:
    explicit temp_file(const std::string &out)
    {
        size_t slash = out.rfind('/');
        std::string folder = slash == std::string::npos ? "" : out.substr(0, slash + 1);
        std::string name = folder + "." + out.substr(folder.size()) + ".XXXXXX";
        if (name.size() >= sizeof temp.path)
            return;
        std::strcpy(temp.path, name.c_str());
        int fd = mkstemp(temp.path);
        if (fd < 0) {
            temp.path[0] = '\0';
            return;
        }
        close(fd);
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            std::signal(sig, remove_temp_and_die);
    }
    ~temp_file()
    {
        if (temp.path[0])
            unlink(temp.path);
        temp.path[0] = '\0';
    }
    temp_file(const temp_file &) = delete;
    temp_file &operator=(const temp_file &) = delete;
    const char *path() const { return temp.path[0] ? temp.path : nullptr; }

    // Gives the file the permissions a new file gets and renames it.
    bool commit(const std::string &out)
    {
        mode_t mask = umask(0);
        umask(mask);
        if (chmod(temp.path, 0666 & ~mask) != 0 || rename(temp.path, out.c_str()) != 0)
            return false;
        temp.path[0] = '\0';
        return true;
    }
};

// ---- netCDF calls -----------------------------------------------------------

// An open netCDF file whose calls are checked: the first failure is reported
// with the output's name and every later call is skipped.
struct nc_out {
    int id = -1;
    std::string name;
    bool failed = false;

    bool ok(int status, const char *what)
    {
        if (!failed && status != NC_NOERR) {
            std::fprintf(stderr, "ov2nc: %s: %s: %s\n", name.c_str(), what, nc_strerror(status));
            failed = true;
        }
        return !failed;
    }
    void text(int var, const char *att, const std::string &value)
    {
        if (!failed)
            ok(nc_put_att_text(id, var, att, value.size(), value.c_str()), att);
    }
    int dim(const char *dim_name, size_t len)
    {
        int d = -1;
        if (!failed)
            ok(nc_def_dim(id, dim_name, len, &d), dim_name);
        return d;
    }
    int var(const std::string &var_name, nc_type type, std::initializer_list<int> dims)
    {
        int v = -1;
        std::vector<int> d(dims);
        if (!failed)
            ok(nc_def_var(id, var_name.c_str(), type, static_cast<int>(d.size()), d.data(), &v),
               var_name.c_str());
        return v;
    }
};

struct ids {
    int time_dim = -1, level_dim = -1, lat_dim = -1, lon_dim = -1, len_dim = -1;
    int time = -1, level = -1, lat = -1, lon = -1, reftime = -1;
    std::vector<int> vars;
};

// ---- definitions -----------------------------------------------------------

// A coordinate variable on dimension dim with its text attributes, in order.
int coordinate(nc_out &nc, const char *name, nc_type type, int dim,
               std::initializer_list<std::pair<const char *, std::string>> attributes)
{
    int var = nc.var(name, type, {dim});
    for (const auto &[att, value] : attributes)
        nc.text(var, att, value);
    return var;
}

void define_coordinates(nc_out &nc, const plan &p, ids &id)
{
    id.time_dim = nc.dim("time", NC_UNLIMITED);
    if (!p.levels.empty())
        id.level_dim = nc.dim("level", p.levels.size());
    id.lat_dim = nc.dim("lat", p.axes.lat.size());
    id.lon_dim = nc.dim("lon", p.axes.lon.size());
    id.len_dim = nc.dim("timelen", std::strlen(reftime_text));

    id.time = coordinate(nc, "time", NC_DOUBLE, id.time_dim,
                         {{"standard_name", "time"}, {"long_name", "time"}, {"units", time_units},
                          {"calendar", "standard"}, {"axis", "T"}});
    if (id.level_dim >= 0)
        id.level = coordinate(nc, "level", NC_FLOAT, id.level_dim,
                              {{"standard_name", "air_pressure"}, {"long_name", "pressure level"},
                               {"units", "hPa"}, {"positive", "down"}, {"axis", "Z"}});
    id.lat = coordinate(nc, "lat", NC_FLOAT, id.lat_dim,
                        {{"standard_name", "latitude"}, {"long_name", "latitude"},
                         {"units", "degrees_north"}, {"axis", "Y"}});
    id.lon = coordinate(nc, "lon", NC_FLOAT, id.lon_dim,
                        {{"standard_name", "longitude"}, {"long_name", "longitude"},
                         {"units", "degrees_east"}, {"axis", "X"}});
    id.reftime = nc.var("reftime", NC_CHAR, {id.len_dim});
    nc.text(id.reftime, "long_name", "origin of the time axis (year month day hour:minute)");
}

void define_variable(nc_out &nc, const plan_var &v, ids &id)
{
    int var = v.on_levels ? nc.var(v.name, NC_FLOAT, {id.time_dim, id.level_dim, id.lat_dim,
                                                      id.lon_dim})
                          : nc.var(v.name, NC_FLOAT, {id.time_dim, id.lat_dim, id.lon_dim});
    if (!v.standard_name.empty())
        nc.text(var, "standard_name", v.standard_name);
    nc.text(var, "long_name", v.long_name);
    nc.text(var, "units", v.units);
    if (!nc.failed)
        nc.ok(nc_put_att_float(nc.id, var, "_FillValue", NC_FLOAT, 1, &v.fill), "_FillValue");
    if (!nc.failed)
        nc.ok(nc_put_att_int(nc.id, var, "code", NC_INT, 1, &v.code), "code");
    id.vars.push_back(var);
}

void define(nc_out &nc, const plan &p, const std::string &history, ids &id)
{
    define_coordinates(nc, p, id);
    for (const plan_var &v : p.vars)
        define_variable(nc, v, id);
    nc.text(NC_GLOBAL, "Conventions", "CF-1.6");
    nc.text(NC_GLOBAL, "history", history);
    nc.text(NC_GLOBAL, "source", "ov data sets converted by ov2nc");
    int old_mode;
    if (!nc.failed)
        nc.ok(nc_set_fill(nc.id, NC_NOFILL, &old_mode), "fill mode");  // slots are filled below
    if (!nc.failed)
        nc.ok(nc_enddef(nc.id), "definitions");
}

void put_coordinates(nc_out &nc, const plan &p, const ids &id)
{
    std::vector<float> levels(p.levels.begin(), p.levels.end());
    if (id.level >= 0 && !nc.failed)
        nc.ok(nc_put_var_float(nc.id, id.level, levels.data()), "level");
    if (!nc.failed)
        nc.ok(nc_put_var_float(nc.id, id.lat, p.axes.lat.data()), "lat");
    if (!nc.failed)
        nc.ok(nc_put_var_float(nc.id, id.lon, p.axes.lon.data()), "lon");
    if (!nc.failed)
        nc.ok(nc_put_var_text(nc.id, id.reftime, reftime_text), "reftime");
}

// ---- data ----------------------------------------------------------------

// The records of the file (one a time), gathered in memory as the data sets
// come and written when whole, in file order: the time, then every
// variable in the order of its definition, each with its slots in level
// order.  Slots that no data set gives hold the variable's _FillValue.
struct records {
    const plan &p;
    size_t field = 0;             // values of one slot
    std::vector<size_t> start;    // of each variable in a record
    size_t size = 0;              // values of a record
    std::vector<int> parts_left;  // of each time
    std::map<int, std::vector<float>> open;

    explicit records(const plan &plan) : p(plan), parts_left(plan.times.size())
    {
        field = p.axes.lat.size() * p.axes.lon.size();
        for (const plan_var &v : p.vars) {
            start.push_back(size);
            size += field * static_cast<size_t>(plan_level_count(p, v));
        }
        for (const plan_part &part : p.parts)
            parts_left[static_cast<size_t>(part.time_index)]++;
    }

    std::vector<float> &record(int time)
    {
        auto [at, made] = open.try_emplace(time);
        if (made) {
            at->second.resize(size);
            for (size_t var = 0; var < p.vars.size(); var++)
                std::fill_n(at->second.begin() + static_cast<long>(start[var]),
                            field * static_cast<size_t>(plan_level_count(p, p.vars[var])),
                            p.vars[var].fill);
        }
        return at->second;
    }
};

void put_record(nc_out &nc, const ids &id, records &r, int time, const std::vector<float> &values)
{
    const plan &p = r.p;
    size_t at = static_cast<size_t>(time), one = 1;
    if (!nc.failed)
        nc.ok(nc_put_vara_double(nc.id, id.time, &at, &one, &p.times[at]), "time");
    size_t rows = p.axes.lat.size(), columns = p.axes.lon.size();
    for (size_t var = 0; var < p.vars.size() && !nc.failed; var++) {
        const plan_var &v = p.vars[var];
        size_t levels = static_cast<size_t>(plan_level_count(p, v));
        size_t start[4] = {at, 0, 0, 0}, count[4] = {1, levels, rows, columns};
        if (!v.on_levels)
            count[1] = rows, count[2] = columns;
        nc.ok(nc_put_vara_float(nc.id, id.vars[var], start, count, values.data() + r.start[var]),
              v.name.c_str());
    }
}

// The parts of one data set just read into their records; values at its
// bad_value become the variable's _FillValue where the two differ.  A
// record is written once its last part is in.
void put_field(nc_out &nc, const ids &id, records &r, const plan_field &f, const OvHeader &h)
{
    for (int i = 0; i < f.parts; i++) {
        const plan_part &part = r.p.parts[static_cast<size_t>(f.first_part + i)];
        const float *values = part.second ? h.vdata : h.data;
        float fill = r.p.vars[static_cast<size_t>(part.var)].fill;
        std::vector<float> &rec = r.record(part.time_index);
        auto to = rec.begin() + static_cast<long>(r.start[static_cast<size_t>(part.var)] +
                                                  r.field * static_cast<size_t>(part.level_index));
        if (h.bad_value != fill)
            std::replace_copy(values, values + r.field, to, h.bad_value, fill);
        else
            std::copy(values, values + r.field, to);
        if (--r.parts_left[static_cast<size_t>(part.time_index)] == 0) {
            put_record(nc, id, r, part.time_index, rec);
            r.open.erase(part.time_index);
        }
    }
}

bool same_field(const plan &p, const plan_field &f, const OvHeader &h, int number)
{
    return number == f.number && h.param == f.param && h.type == f.type &&
           h.bad_value == f.bad_value && h.num_rows == p.grid.num_rows &&
           h.num_columns == p.grid.num_columns;
}

// The fields of each file (they lie together, in reading order), files
// ordered by the place of their first part so that writes run along the file.
std::vector<std::pair<size_t, int>> files_in_write_order(const plan &p)
{
    std::vector<std::pair<size_t, int>> spans;  // first field, count
    for (size_t i = 0; i < p.fields.size(); i++)
        if (spans.empty() || p.fields[i].file != p.fields[spans.back().first].file)
            spans.push_back({i, 1});
        else
            spans.back().second++;
    auto key = [&p](const std::pair<size_t, int> &s) {
        const plan_part &part = p.parts[static_cast<size_t>(p.fields[s.first].first_part)];
        return std::tuple(part.time_index, part.var, part.level_index);
    };
    std::stable_sort(spans.begin(), spans.end(),
                     [&key](const auto &a, const auto &b) { return key(a) < key(b); });
    return spans;
}

bool put_all_fields(nc_out &nc, const plan &p, const ids &id)
{
    records r(p);
    for (const auto &span : files_in_write_order(p)) {
        size_t first = span.first;  // plain variables: clang 14 cannot capture bindings
        int count = span.second;
        const std::string &path = p.files[static_cast<size_t>(p.fields[first].file)];
        int seen = 0;
        bool read = ovset_each("ov2nc", path, true, [&](const OvHeader &h, int number) {
            if (seen == count)
                return false;
            const plan_field &f = p.fields[first + static_cast<size_t>(seen)];
            if (!same_field(p, f, h, number))
                return false;
            put_field(nc, id, r, f, h);
            seen++;
            return !nc.failed;
        });
        if (nc.failed || !read)
            return false;
        if (seen != count) {
            std::fprintf(stderr, "ov2nc: %s: changed while it was read\n", path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

long cf_write(const plan &p, const std::string &out_path, const std::string &history)
{
    temp_file temp_out(out_path);
    if (!temp_out.path()) {
        std::fprintf(stderr, "ov2nc: %s: cannot make a temporary file beside it: %s\n",
                     out_path.c_str(), std::strerror(errno));
        return -1;
    }
    nc_out nc;
    nc.name = out_path;
    size_t buffer = 1 << 20;  // netCDF's own I/O buffer: fields are 40 kB and more
    if (!nc.ok(nc__create(temp_out.path(), NC_CLOBBER | NC_64BIT_OFFSET, 0, &buffer, &nc.id),
               "create"))
        return -1;
    ids id;
    define(nc, p, history, id);
    put_coordinates(nc, p, id);
    bool complete = !nc.failed && put_all_fields(nc, p, id);
    int closed = nc_close(nc.id);
    if (!complete || !nc.ok(closed, "close"))
        return -1;
    if (!temp_out.commit(out_path)) {
        std::fprintf(stderr, "ov2nc: %s: %s\n", out_path.c_str(), std::strerror(errno));
        return -1;
    }
    return static_cast<long>(p.fields.size());
}
