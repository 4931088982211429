// The plan of the netCDF file: variables, times, levels and slots.
#include "plan.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "param_table.h"

namespace {

// What one array of a data set becomes: a variable's name and code, and the
// names it is described by.
struct target {
    std::string name;
    int code;
    std::string long_name;
    std::string standard_name;
};

std::string component_standard_name(int code, const gp_source *source, bool second)
{
    if (gp_param_for_ov(code, source).component == GP_SCALAR)
        return "";
    return second ? "northward_wind" : "eastward_wind";
}

// The two components of a vector data set of code: u_<name> and v_<name>,
// the second with the partner's code when the table pairs code with one.
void vector_targets(int code, const gp_source *source, target out[2])
{
    std::string name = ovset_param_name(code, source);
    int partner = gp_param_for_ov(code, source).partner;
    std::string long_name = ovset_param_long_name(code, source);
    out[0] = {"u_" + name, code, partner ? long_name : "u component of " + long_name,
              component_standard_name(code, source, false)};
    out[1] = {"v_" + name, partner ? partner : code,
              partner ? ovset_param_long_name(partner, source) : "v component of " + long_name,
              component_standard_name(code, source, true)};
}

// A scalar data set; one component of a wind on its own is named as in a
// vector data set, so that both kinds meet in one variable.
target scalar_target(int code, const gp_source *source)
{
    std::string name = ovset_param_name(code, source);
    int role = gp_param_for_ov(code, source).component;
    if (role != GP_SCALAR)
        name = (role == GP_FIRST_COMPONENT ? "u_" : "v_") + name;
    return {name, code, ovset_param_long_name(code, source),
            component_standard_name(code, source, role == GP_SECOND_COMPONENT)};
}

const char *where(const plan &p, int file)
{
    return p.files[static_cast<size_t>(file)].c_str();
}

// Index of the variable for t, made from h when it is new; -1 after a
// message when the name is taken by another code.
int var_for(plan &p, const target &t, const OvHeader &h, int file, int number)
{
    for (size_t i = 0; i < p.vars.size(); i++) {
        if (p.vars[i].name != t.name)
            continue;
        if (p.vars[i].code == t.code)
            return static_cast<int>(i);
        std::fprintf(p.report, "ov2nc: %s: data set %d: %s would hold parameters %d and %d\n",
                     where(p, file), number, t.name.c_str(), p.vars[i].code, t.code);
        return -1;
    }
    plan_var v;
    v.name = t.name;
    v.code = t.code;
    v.units = h.units ? h.units : "";
    v.long_name = t.long_name;
    v.standard_name = t.standard_name;
    v.fill = h.bad_value;
    p.vars.push_back(std::move(v));
    return static_cast<int>(p.vars.size() - 1);
}

bool check_grid(plan &p, int file, int number, const OvHeader &h)
{
    if (!ovset_is_grid(h)) {
        std::fprintf(p.report, "ov2nc: %s: data set %d: type %d is no grid\n", where(p, file),
                     number, h.type);
        return false;
    }
    if (p.fields.empty()) {
        p.grid = h;  // the numbers only: the record's parts go with it
        p.grid.comment = p.grid.private_data = p.grid.title = p.grid.units = nullptr;
        p.grid.param_desc = nullptr;
        p.grid.lats = p.grid.lons = p.grid.data = p.grid.vdata = nullptr;
        if (ovset_grid_axes(h, p.axes))
            return true;
        std::fprintf(p.report, "ov2nc: %s: data set %d: a grid without points\n", where(p, file),
                     number);
        return false;
    }
    if (ovset_same_grid(p.grid, p.axes, h))
        return true;
    const plan_field &first = p.fields.front();
    std::fprintf(p.report, "ov2nc: %s: data set %d: on another grid than %s data set %d\n",
                 where(p, file), number, where(p, first.file), first.number);
    return false;
}

// Index of x in the sorted values.
template <typename T, typename Order>
int index_of(const std::vector<T> &values, T x, Order order)
{
    return static_cast<int>(std::lower_bound(values.begin(), values.end(), x, order) -
                            values.begin());
}

template <typename T, typename Order>
void sort_unique(std::vector<T> &values, Order order)
{
    std::sort(values.begin(), values.end(), order);
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

// The part and field that hold slot first, for the message about a second.
bool refuse_twice(const plan &p, const plan_var &v, int first, int second)
{
    auto field_of = [&p](int part) {
        for (const plan_field &f : p.fields)
            if (part >= f.first_part && part < f.first_part + f.parts)
                return f;
        return p.fields.front();
    };
    plan_field a = field_of(first), b = field_of(second);
    std::fprintf(p.report,
                 "ov2nc: %s: data set %d: %s at the same time and level as %s data set %d\n",
                 where(p, b.file), b.number, v.name.c_str(), where(p, a.file), a.number);
    return false;
}

}  // namespace

plan_var plan_scalar_var(int code, const gp_source *source)
{
    target t = scalar_target(code, source);
    plan_var v;
    v.name = t.name;
    v.code = t.code;
    v.long_name = t.long_name;
    v.standard_name = t.standard_name;
    return v;
}

bool plan_add(plan &p, int file, int number, const OvHeader &h)
{
    if (!check_grid(p, file, number, h))
        return false;
    if (!ovset_valid_date(h)) {
        std::fprintf(p.report, "ov2nc: %s: data set %d: no valid date (%d/%d/%d, time %g)\n",
                     where(p, file), number, h.month, h.day, h.year, static_cast<double>(h.time));
        return false;
    }
    target t[2];
    int n = 1;
    gp_source storage;
    const gp_source *source = ovset_source_of(h, storage);
    if (h.type == OV_VECTOR)
        vector_targets(h.param, source, t), n = 2;
    else
        t[0] = scalar_target(h.param, source);
    plan_field f{file, number, h.param, h.type, h.bad_value, static_cast<int>(p.parts.size()), n};
    for (int i = 0; i < n; i++) {
        int var = var_for(p, t[i], h, file, number);
        if (var < 0)
            return false;
        p.parts.push_back({var, i == 1, ovset_hours_since_1900(h), h.level});
    }
    p.fields.push_back(f);
    return true;
}

int plan_level_count(const plan &p, const plan_var &v)
{
    return v.on_levels ? static_cast<int>(p.levels.size()) : 1;
}

bool plan_finish(plan &p)
{
    if (p.fields.empty()) {
        std::fprintf(p.report, "ov2nc: no data set in the files given\n");
        return false;
    }
    for (const plan_part &part : p.parts) {
        p.times.push_back(part.hours);
        if (part.level != 0)
            p.vars[static_cast<size_t>(part.var)].on_levels = true;
    }
    for (const plan_part &part : p.parts)
        if (p.vars[static_cast<size_t>(part.var)].on_levels)
            p.levels.push_back(part.level);
    sort_unique(p.times, std::less<double>());
    sort_unique(p.levels, std::greater<int>());
    for (plan_var &v : p.vars)
        v.owner.assign(p.times.size() * static_cast<size_t>(plan_level_count(p, v)), -1);
    for (size_t i = 0; i < p.parts.size(); i++) {
        plan_part &part = p.parts[i];
        plan_var &v = p.vars[static_cast<size_t>(part.var)];
        part.time_index = index_of(p.times, part.hours, std::less<double>());
        part.level_index = v.on_levels ? index_of(p.levels, part.level, std::greater<int>()) : 0;
        int &owner = v.owner[static_cast<size_t>(part.time_index * plan_level_count(p, v) +
                                                 part.level_index)];
        if (owner >= 0)
            return refuse_twice(p, v, owner, static_cast<int>(i));
        owner = static_cast<int>(i);
    }
    return true;
}
