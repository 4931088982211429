/*
 * param_table.h -- what gridpick knows of each GRIB parameter code.
 *
 * One row per code of a producer's parameter table: units, extension name
 * (the last component of output file names), a descriptive name, missing
 * value, scale factor, the partner of a wind component, and the code's place
 * in the terminal menu and in the selector dialog's lists.  Every other
 * part of the system asks here; no other file names a parameter code.
 *
 * The rows are keyed by producer (gp_source: centre and table version):
 * the NORVA centre's own table applies to messages of centre 98 whatever
 * their table version; messages of every other centre with table version
 * 1 to 3 read the WMO standard codes (below 128), which carry the NORVA
 * code of the same quantity for selection (same_as).  Any other code of
 * another centre has no row: "p<code>", missing value -9999.0, never a
 * wind pair.  The calls without a source are the NORVA centre's (an ov
 * data set carries its code only; see gp_param_for_ov).
 *
 * gp_table holds the NORVA table as the four arrays the extraction reads,
 * indexed by code 0..184; init_arrays() builds it from the rows.
 */
#ifndef GRIDPICK_PARAM_TABLE_H
#define GRIDPICK_PARAM_TABLE_H

#include <cstddef>

/* Parameter codes 0..184 have a row of the table and a flag in a run's
 * choice. */
enum { GP_NUM_PARAMS = 185 };

enum { GP_NORVA_CENTRE = 98, GP_NORVA_TABLE = 128 };

/* Who produced a field: centre (KSEC1(2)) and parameter table version
 * (KSEC1(1)). */
struct gp_source {
    int centre = GP_NORVA_CENTRE;
    int table = GP_NORVA_TABLE;
};

/* Table versions whose codes below 128 are the WMO standard ones. */
enum { GP_WMO_FIRST_TABLE = 1, GP_WMO_LAST_TABLE = 3, GP_WMO_CODES = 128 };

/* The codes the programs refer to by name. */
enum gp_param_code {
    GP_GEOPOTENTIAL = 129,
    GP_TEMPERATURE = 130,
    GP_U_WIND = 131,
    GP_V_WIND = 132,
    GP_SURFACE_PRESSURE = 134,
    GP_VERTICAL_VELOCITY = 135,
    GP_SURFACE_TEMPERATURE = 139,
    GP_MSL_PRESSURE = 151,
    GP_HUMIDITY = 157,
    GP_U_WIND_10M = 165,
    GP_V_WIND_10M = 166,
    GP_TEMPERATURE_2M = 167,
    GP_DEWPOINT_2M = 168,
    GP_LAND_SEA_MASK = 172
};

enum {
    GP_UNITS_LEN = 15,        /* units text, terminator included */
    GP_EXTENSION_LEN = 17,    /* extension name, terminator included */
    GP_PARAM_NAME_LEN = 24,   /* gp_param_name(), terminator included */
    GP_LONG_NAME_LEN = 48,    /* gp_param_long_name(), terminator included */
    GP_MENU_ENTRIES = 5,      /* terminal menu: entries 1..5 */
    GP_UPPER_LIST_ROWS = 5,   /* dialog: parameter list */
    GP_SURFACE_LIST_ROWS = 7  /* dialog: surface parameter list */
};

/* Role of a code in a vector pair: the first (u) component decides for
 * both and carries the data set; the second (v) follows it. */
enum { GP_SCALAR = 0, GP_FIRST_COMPONENT = 1, GP_SECOND_COMPONENT = 2 };

/* Where a code is offered for choosing. */
enum gp_place { GP_PLACE_NONE = 0, GP_PLACE_MENU, GP_PLACE_UPPER_LIST, GP_PLACE_SURFACE_LIST };

/* centre of a row of the WMO standard codes: every centre but NORVA's */
enum { GP_ANY_OTHER_CENTRE = 0 };

struct gp_param_row {
    int code = 0;
    int centre = GP_NORVA_CENTRE;  /* GP_ANY_OTHER_CENTRE: a WMO standard row */
    const char *units = "";
    const char *extension = "";
    const char *long_name = ""; /* descriptive name, for netCDF and titles */
    float missing = -9999.0f;   /* the data set's bad_value */
    float scale = 1.0f;         /* applied to the values before writing */
    int partner = 0;            /* the other component of a wind pair */
    int component = GP_SCALAR;
    int menu = 0;               /* terminal menu entry 1..5, 0: none */
    gp_place list = GP_PLACE_NONE;  /* the dialog list it is in */
    int row = -1;               /* its row there (from 0) */
    int same_as = 0;            /* WMO rows: the NORVA code chosen for it */
};

/* The row of code; a row of defaults (code 0, units and extension "",
 * missing -9999.0, scale 1.0, no partner, no place) for codes the table
 * does not list, codes outside 0..184 included. */
const gp_param_row &gp_param(int code, gp_source source = {});

/* The row an ov data set's code names.  source: the producer the data set
 * names (gp_source_of_text), whose row it is; null when it names none: the
 * NORVA row where there is one, otherwise the WMO standard row of a code
 * below 128. */
const gp_param_row &gp_param_for_ov(int code, const gp_source *source = nullptr);

/* The producer of a field of another centre than NORVA's, as gridpick
 * records it in the description (param_desc) of its ov data sets:
 * "centre 7, table 2", into text (size bytes, snprintf's rules; returns the
 * length).  The NORVA centre's fields carry no description: "". */
int gp_source_text(gp_source source, char *text, std::size_t size);

/* The producer a description names: 1 with *source set when text is of
 * the form gp_source_text writes, else 0 (null text included). */
int gp_source_of_text(const char *text, gp_source *source);

/* The flag of param (config.h) that chooses code of source: the code itself
 * for the NORVA centre, the NORVA code of the same quantity for a WMO
 * standard row, -1 for a code that no choice but -a takes. */
int gp_selection_code(int code, gp_source source = {});

/* Role of code (GP_SCALAR for unknown codes) and its partner (0: none). */
int gp_component_of(int code, gp_source source = {});
int gp_partner_of(int code, gp_source source = {});

/* 1 when second completes the wind pair that first begins: first is a first
 * component and second its partner; else 0.  A pair is two messages one
 * after the other with the same date, time and level. */
int gp_completes_pair(int first, int second, gp_source source = {});

/* The codes behind entry index of a place: menu entry 1..5, or a row from
 * 0 of a dialog list; the first component comes first.  Stores at most two
 * codes into codes and returns how many (0 for an unknown entry). */
int gp_param_codes_at(gp_place place, int index, int codes[2]);

/* The parameter table in the extraction's arrays, code 0..184. */
struct gp_param_table {
    char units[GP_NUM_PARAMS][GP_UNITS_LEN];
    char extension[GP_NUM_PARAMS][GP_EXTENSION_LEN];
    float param_default_value[GP_NUM_PARAMS];
    float param_scale_factor[GP_NUM_PARAMS];
};
extern gp_param_table gp_table;

/* init_arrays: every code back to the defaults (units and extension "",
 * missing value -9999.0, scale factor 1.0), then the rows of the archive's
 * parameters: their units (init_units), scale factors (init_scale_factors,
 * none other than 1.0 at present), missing values and extension names. */
void init_arrays();
void init_units();
void init_scale_factors();

/* Units text, extension name, missing value and scale factor of a code;
 * codes outside 0..184 get the defaults ("", "", -9999.0, 1.0).  The NORVA
 * centre's are read from gp_table, other producers' from their rows. */
const char *gp_units_of(int code, gp_source source = {});
const char *gp_extension_of(int code, gp_source source = {});
float gp_missing_value_of(int code, gp_source source = {});
float gp_scale_factor_of(int code, gp_source source = {});

/* The name of a code's fields in output file names, messages, netCDF
 * variables and picture titles: its extension name, or "p<code>" (p141,
 * p200) for a code without one (codes outside 0..184 included), so that
 * every code has a name of its own.  Written into name (size bytes, cut to
 * fit; GP_PARAM_NAME_LEN always suffices); returns name.  Reads the rows, so
 * it needs no init_arrays(). */
const char *gp_param_name(int code, char *name, std::size_t size, gp_source source = {});

/* The descriptive name of code ("temperature"), or "parameter <code>" where
 * the table gives none; written like gp_param_name (GP_LONG_NAME_LEN always
 * suffices). */
const char *gp_param_long_name(int code, char *name, std::size_t size,
                               gp_source source = {});

#endif
