// The parameter table: one row per code of the archive's parameters.
#include "param_table.h"

#include <cstdio>
#include <iterator>

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

// The WMO standard codes (table versions 1 to 3), for every other centre.
// Their names are the standard abbreviations, so that neither a file name
// nor a netCDF variable mixes them with the NORVA centre's fields.
constexpr int other = GP_ANY_OTHER_CENTRE;
constexpr R wmo_rows[] = {
    {.code = 1, .centre = other, .units = "Pa", .extension = "pres", .long_name = "pressure",
     .same_as = GP_SURFACE_PRESSURE},
    {.code = 2, .centre = other, .units = "Pa", .extension = "prmsl",
     .long_name = "pressure reduced to mean sea level", .same_as = GP_MSL_PRESSURE},
    {.code = 7, .centre = other, .units = "gpm", .extension = "hgt",
     .long_name = "geopotential height", .same_as = GP_GEOPOTENTIAL},
    {.code = 11, .centre = other, .units = "K", .extension = "tmp", .long_name = "temperature",
     .same_as = GP_TEMPERATURE},
    {.code = 33, .centre = other, .units = "m s-1", .extension = "uvgrd",
     .long_name = "u component of wind", .partner = 34, .component = GP_FIRST_COMPONENT,
     .same_as = GP_U_WIND},
    {.code = 34, .centre = other, .units = "m s-1", .extension = "uvgrd",
     .long_name = "v component of wind", .partner = 33, .component = GP_SECOND_COMPONENT,
     .same_as = GP_V_WIND},
    {.code = 39, .centre = other, .units = "Pa s-1", .extension = "vvel",
     .long_name = "vertical velocity", .same_as = GP_VERTICAL_VELOCITY},
    {.code = 51, .centre = other, .units = "kg kg-1", .extension = "spfh",
     .long_name = "specific humidity", .same_as = 133},
    {.code = 52, .centre = other, .units = "%", .extension = "rh",
     .long_name = "relative humidity", .same_as = GP_HUMIDITY},
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

bool norva(gp_source source)
{
    return source.centre == GP_NORVA_CENTRE;
}

bool wmo_standard(gp_source source, int code)
{
    return !norva(source) && source.table >= GP_WMO_FIRST_TABLE &&
           source.table <= GP_WMO_LAST_TABLE && code >= 0 && code < GP_WMO_CODES;
}

const R &find(const R *first, const R *last, int code)
{
    for (const R *r = first; r != last; r++)
        if (r->code == code)
            return *r;
    return default_row;
}

}  // namespace

const gp_param_row &gp_param(int code, gp_source source)
{
    if (norva(source))
        return find(std::begin(rows), std::end(rows), code);
    if (wmo_standard(source, code))
        return find(std::begin(wmo_rows), std::end(wmo_rows), code);
    return default_row;
}

const gp_param_row &gp_param_for_ov(int code, const gp_source *source)
{
    if (source != nullptr)
        return gp_param(code, *source);
    const R &r = gp_param(code);
    if (&r != &default_row || code < 0 || code >= GP_WMO_CODES)
        return r;
    return gp_param(code, gp_source{other, GP_WMO_FIRST_TABLE});
}

int gp_selection_code(int code, gp_source source)
{
    if (norva(source))
        return code;
    const R &r = gp_param(code, source);
    return r.same_as != 0 ? r.same_as : -1;
}

int gp_component_of(int code, gp_source source)
{
    return gp_param(code, source).component;
}

int gp_partner_of(int code, gp_source source)
{
    return gp_param(code, source).partner;
}

int gp_completes_pair(int first, int second, gp_source source)
{
    int partner = gp_partner_of(first, source);
    return gp_component_of(first, source) == GP_FIRST_COMPONENT && partner != 0 &&
           second == partner;
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

const char *gp_units_of(int code, gp_source source)
{
    if (!norva(source))
        return gp_param(code, source).units;
    return in_table(code) ? gp_table.units[code] : default_row.units;
}

const char *gp_extension_of(int code, gp_source source)
{
    if (!norva(source))
        return gp_param(code, source).extension;
    return in_table(code) ? gp_table.extension[code] : default_row.extension;
}

float gp_missing_value_of(int code, gp_source source)
{
    if (!norva(source))
        return gp_param(code, source).missing;
    return in_table(code) ? gp_table.param_default_value[code] : default_row.missing;
}

float gp_scale_factor_of(int code, gp_source source)
{
    if (!norva(source))
        return gp_param(code, source).scale;
    return in_table(code) ? gp_table.param_scale_factor[code] : default_row.scale;
}

const char *gp_param_name(int code, char *name, std::size_t size, gp_source source)
{
    const char *extension = gp_param(code, source).extension;
    if (extension[0] != '\0')
        std::snprintf(name, size, "%s", extension);
    else
        std::snprintf(name, size, "p%d", code);
    return name;
}

const char *gp_param_long_name(int code, char *name, std::size_t size, gp_source source)
{
    const char *long_name = gp_param(code, source).long_name;
    if (long_name[0] != '\0')
        std::snprintf(name, size, "%s", long_name);
    else
        std::snprintf(name, size, "parameter %d", code);
    return name;
}

int gp_source_text(gp_source source, char *text, std::size_t size)
{
    if (norva(source))
        return std::snprintf(text, size, "%s", "");
    return std::snprintf(text, size, "centre %d, table %d", source.centre, source.table);
}

int gp_source_of_text(const char *text, gp_source *source)
{
    int centre = 0, table = 0, end = 0;
    if (text == nullptr ||
        std::sscanf(text, "centre %d, table %d%n", &centre, &table, &end) != 2 ||
        text[end] != '\0')
        return 0;
    *source = gp_source{centre, table};
    return 1;
}
