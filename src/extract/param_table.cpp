// The parameter table: one row per code of the archive's parameters.
#include "param_table.h"

#include <cstdio>

gp_param_table gp_table;

namespace {

using R = gp_param_row;

// The texts stand as the archive's table spells them ("ms-1" beside
// "m s-1", "wm-2" beside "Wm-2").
constexpr R rows[] = {
    {.code = 127, .units = "-"},
    {.code = 128, .units = "-"},
    {.code = GP_GEOPOTENTIAL, .units = "m2 s-1", .extension = "geopot",
     .long_name = "geopotential", .menu = 1, .list = GP_PLACE_UPPER_LIST, .row = 0},
    {.code = GP_TEMPERATURE, .units = "K", .extension = "temp", .long_name = "temperature",
     .missing = -999.0f, .menu = 2, .list = GP_PLACE_UPPER_LIST, .row = 2},
    {.code = GP_U_WIND, .units = "ms-1", .extension = "wind", .long_name = "u component of wind",
     .missing = -999.0f, .partner = GP_V_WIND, .component = GP_FIRST_COMPONENT, .menu = 3,
     .list = GP_PLACE_UPPER_LIST, .row = 1},
    {.code = GP_V_WIND, .units = "ms-1", .extension = "wind", .long_name = "v component of wind",
     .missing = -999.0f, .partner = GP_U_WIND, .component = GP_SECOND_COMPONENT, .menu = 3,
     .list = GP_PLACE_UPPER_LIST, .row = 1},
    {.code = 133, .units = "kg/kg"},
    {.code = GP_SURFACE_PRESSURE, .units = "Pa", .extension = "surface_pressure",
     .long_name = "surface pressure", .list = GP_PLACE_SURFACE_LIST, .row = 6},
    {.code = GP_VERTICAL_VELOCITY, .units = "Pa s-1", .extension = "veloc",
     .long_name = "vertical velocity", .missing = 999.99f, .menu = 5, .list = GP_PLACE_UPPER_LIST,
     .row = 4},
    {.code = 137, .units = "m"},
    {.code = 138, .units = "s-1"},
    {.code = GP_SURFACE_TEMPERATURE, .units = "K", .extension = "surface_temp",
     .long_name = "surface temperature", .list = GP_PLACE_SURFACE_LIST, .row = 0},
    {.code = 140, .units = "m"},
    {.code = 141, .units = "m"},
    {.code = 142, .units = "m"},
    {.code = 143, .units = "m"},
    {.code = 144, .units = "m"},
    {.code = 145, .units = "wm-2"},
    {.code = 146, .units = "wm-2"},
    {.code = 147, .units = "wm-2"},
    {.code = GP_MSL_PRESSURE, .units = "Pa", .extension = "msl_pressure",
     .long_name = "mean sea level pressure", .list = GP_PLACE_SURFACE_LIST, .row = 1},
    {.code = 152, .units = "-"},
    {.code = 155, .units = "s-1"},
    {.code = 156, .units = "m'"},
    {.code = GP_HUMIDITY, .units = "%", .extension = "humid", .long_name = "relative humidity",
     .missing = 999.0f, .menu = 4, .list = GP_PLACE_UPPER_LIST, .row = 3},
    {.code = 158, .units = "Pa s-1"},
    {.code = 164, .units = "(0 - 1)"},
    {.code = GP_U_WIND_10M, .units = "m s-1", .extension = "10m_wind",
     .long_name = "10 metre u wind component", .partner = GP_V_WIND_10M,
     .component = GP_FIRST_COMPONENT, .list = GP_PLACE_SURFACE_LIST, .row = 2},
    {.code = GP_V_WIND_10M, .units = "m s-1", .extension = "10m_wind",
     .long_name = "10 metre v wind component", .partner = GP_U_WIND_10M,
     .component = GP_SECOND_COMPONENT, .list = GP_PLACE_SURFACE_LIST, .row = 2},
    {.code = GP_TEMPERATURE_2M, .units = "K", .extension = "2m_temp",
     .long_name = "2 metre temperature", .list = GP_PLACE_SURFACE_LIST, .row = 3},
    {.code = GP_DEWPOINT_2M, .units = "K", .extension = "2m_dewpoint",
     .long_name = "2 metre dewpoint temperature", .list = GP_PLACE_SURFACE_LIST, .row = 4},
    {.code = 170, .units = "K"},
    {.code = 171, .units = "m"},
    {.code = GP_LAND_SEA_MASK, .units = "(0,1)", .extension = "land-sea_mask",
     .long_name = "land-sea mask", .list = GP_PLACE_SURFACE_LIST, .row = 5},
    {.code = 173, .units = "m"},
    {.code = 174, .units = "-"},
    {.code = 176, .units = "Wm-2"},
    {.code = 177, .units = "Wm-2"},
    {.code = 178, .units = "Wm-2"},
    {.code = 179, .units = "Wm-2"},
    {.code = 180, .units = "Nm-2"},
    {.code = 181, .units = "Nm-2"},
};

constexpr R default_row{};

bool in_table(int code)
{
    return code >= 0 && code < GP_NUM_PARAMS;
}

bool at_place(const R &r, gp_place place, int index)
{
    switch (place) {
    case GP_PLACE_MENU: return r.menu != 0 && r.menu == index;
    case GP_PLACE_UPPER_LIST:
    case GP_PLACE_SURFACE_LIST: return r.list == place && r.row == index;
    case GP_PLACE_NONE: break;
    }
    return false;
}

}  // namespace

const gp_param_row &gp_param(int code)
{
    for (const R &r : rows)
        if (r.code == code)
            return r;
    return default_row;
}

int gp_component_of(int code)
{
    return gp_param(code).component;
}

int gp_partner_of(int code)
{
    return gp_param(code).partner;
}

int gp_completes_pair(int first, int second)
{
    int partner = gp_partner_of(first);
    return gp_component_of(first) == GP_FIRST_COMPONENT && partner != 0 && second == partner;
}

int gp_param_codes_at(gp_place place, int index, int codes[2])
{
    int n = 0;
    for (const R &r : rows)
        if (at_place(r, place, index) && r.component != GP_SECOND_COMPONENT) {
            codes[n++] = r.code;
            if (r.partner != 0)
                codes[n++] = r.partner;
            break;
        }
    return n;
}

void init_units()
{
    for (const R &r : rows)
        std::snprintf(gp_table.units[r.code], GP_UNITS_LEN, "%s", r.units);
}

void init_scale_factors()
{
    for (const R &r : rows)
        gp_table.param_scale_factor[r.code] = r.scale;
}

void init_arrays()
{
    for (int code = 0; code < GP_NUM_PARAMS; code++) {
        gp_table.param_default_value[code] = default_row.missing;
        gp_table.units[code][0] = '\0';
        gp_table.extension[code][0] = '\0';
        gp_table.param_scale_factor[code] = default_row.scale;
    }
    init_units();
    init_scale_factors();
    for (const R &r : rows) {
        gp_table.param_default_value[r.code] = r.missing;
        std::snprintf(gp_table.extension[r.code], GP_EXTENSION_LEN, "%s", r.extension);
    }
}

const char *gp_units_of(int code)
{
    return in_table(code) ? gp_table.units[code] : default_row.units;
}

const char *gp_extension_of(int code)
{
    return in_table(code) ? gp_table.extension[code] : default_row.extension;
}

float gp_missing_value_of(int code)
{
    return in_table(code) ? gp_table.param_default_value[code] : default_row.missing;
}

float gp_scale_factor_of(int code)
{
    return in_table(code) ? gp_table.param_scale_factor[code] : default_row.scale;
}

const char *gp_param_name(int code, char *name, std::size_t size)
{
    const char *extension = gp_param(code).extension;
    if (extension[0] != '\0')
        std::snprintf(name, size, "%s", extension);
    else
        std::snprintf(name, size, "p%d", code);
    return name;
}

const char *gp_param_long_name(int code, char *name, std::size_t size)
{
    const char *long_name = gp_param(code).long_name;
    if (long_name[0] != '\0')
        std::snprintf(name, size, "%s", long_name);
    else
        std::snprintf(name, size, "parameter %d", code);
    return name;
}
