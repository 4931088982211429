// The parameter table and the decoding of each message.
#include "extract.h"
#include "grib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

gp_field_state gp_field;
gp_message_state gp_msg;
gp_param_table gp_table;

namespace {

struct Row {
    int code;
    const char *text;
};

constexpr Row unit_rows[] = {
    {127, "-"},      {128, "-"},       {129, "m2 s-1"},  {130, "K"},       {131, "ms-1"},
    {132, "ms-1"},   {133, "kg/kg"},   {134, "Pa"},      {135, "Pa s-1"},  {137, "m"},
    {138, "s-1"},    {139, "K"},       {140, "m"},       {141, "m"},       {142, "m"},
    {143, "m"},      {144, "m"},       {145, "wm-2"},    {146, "wm-2"},    {147, "wm-2"},
    {151, "Pa"},     {152, "-"},       {155, "s-1"},     {156, "m'"},      {157, "%"},
    {158, "Pa s-1"}, {164, "(0 - 1)"}, {165, "m s-1"},   {166, "m s-1"},   {167, "K"},
    {168, "K"},      {170, "K"},       {171, "m"},       {172, "(0,1)"},   {173, "m"},
    {174, "-"},      {176, "Wm-2"},    {177, "Wm-2"},    {178, "Wm-2"},    {179, "Wm-2"},
    {180, "Nm-2"},   {181, "Nm-2"},
};

constexpr Row extension_rows[] = {
    {129, "geopot"},       {130, "temp"},         {131, "wind"},
    {132, "wind"},         {157, "humid"},        {135, "veloc"},
    {139, "surface_temp"}, {134, "surface_pressure"}, {151, "msl_pressure"},
    {165, "10m_wind"},     {166, "10m_wind"},     {167, "2m_temp"},
    {168, "2m_dewpoint"},  {172, "land-sea_mask"},
};

bool in_table(int code)
{
    return code >= 0 && code < GP_NUM_PARAMS;
}

// One codec call on the message in buffer with operation op ("I" or "D");
// failures come back in the return code.
int decode(std::int32_t *buffer, const char *op)
{
    gint klenp = GP_MAX_VALUES, kleng = GP_IGRIB_WORDS, kword = 0, kret = 1;
    fldcod(gp_msg.ksec0, gp_msg.ksec1, gp_msg.ksec2, gp_msg.psec2, gp_msg.ksec3, gp_msg.psec3,
           gp_msg.ksec4, gp_msg.decoded_data, &klenp, buffer, &kleng, &kword, op, &kret, 1L);
    return kret;
}

void warn_undecodable(int kret)
{
    std::fprintf(stderr, "gridpick: GRIB message at %s %ld cannot be decoded (code %d); passed over\n",
                 gp_msg.from_records ? "record" : "offset", gp_msg.position, kret);
}

}  // namespace

void init_units()
{
    for (const Row &r : unit_rows)
        std::snprintf(gp_table.units[r.code], GP_UNITS_LEN, "%s", r.text);
}

void init_scale_factors()
{
}

void init_arrays()
{
    for (int code = 0; code < GP_NUM_PARAMS; code++) {
        gp_table.param_default_value[code] = -9999.0f;
        gp_table.units[code][0] = '\0';
        gp_table.extension[code][0] = '\0';
        gp_table.param_scale_factor[code] = 1.0f;
    }
    init_units();
    init_scale_factors();
    gp_table.param_default_value[129] = -9999.0f;
    gp_table.param_default_value[130] = -999.0f;
    gp_table.param_default_value[131] = -999.0f;
    gp_table.param_default_value[132] = -999.0f;
    gp_table.param_default_value[157] = 999.0f;
    gp_table.param_default_value[135] = 999.99f;
    for (const Row &r : extension_rows)
        std::snprintf(gp_table.extension[r.code], GP_EXTENSION_LEN, "%s", r.text);
}

const char *gp_units_of(int code)
{
    return in_table(code) ? gp_table.units[code] : "";
}

const char *gp_extension_of(int code)
{
    return in_table(code) ? gp_table.extension[code] : "";
}

float gp_missing_value_of(int code)
{
    return in_table(code) ? gp_table.param_default_value[code] : -9999.0f;
}

int decode_data_set(std::int32_t *buffer)
{
    int kret = decode(buffer, "I");
    if (kret > 0 || kret == -6) {
        warn_undecodable(kret);
        return -1;
    }
    const std::int32_t *k1 = gp_msg.ksec1;
    gp_field.current_minute = k1[13];
    gp_field.current_hour = k1[12];
    gp_field.current_day = k1[11];
    gp_field.current_month = k1[10];
    gp_field.current_year = k1[9];
    gp_field.current_param = k1[5];
    gp_field.current_level = k1[7];
    return 0;
}

int unpack_data_set(std::int32_t *buffer)
{
    int kret = decode(buffer, "D");
    if (kret > 0 || kret == -6) {
        warn_undecodable(kret);
        return -1;
    }
    long rows = gp_msg.ksec2[2], columns = gp_msg.ksec2[1];
    long points = rows * columns;
    if (rows <= 0 || columns <= 0 || points > GP_MAX_VALUES || points != gp_msg.ksec4[0]) {
        std::fprintf(stderr,
                     "gridpick: GRIB message at %s %ld holds %d values, not a grid of %ld x %ld "
                     "points; passed over\n",
                     gp_msg.from_records ? "record" : "offset", gp_msg.position, gp_msg.ksec4[0],
                     rows, columns);
        return -1;
    }
    return static_cast<int>(points);
}

void scale_data(float *values, int count, float factor)
{
    std::printf("Scaling by %g\n", factor);
    for (int i = 0; i < count; i++)
        values[i] = static_cast<float>(static_cast<double>(values[i]) * factor);
}

void new_transpose_data()
{
    constexpr int columns = 144, rows = 73;
    std::vector<float> old(gp_msg.decoded_data, gp_msg.decoded_data + rows * columns);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++)
            gp_msg.decoded_data[r * columns + c] = old[c * rows + r];
}

float *copy_array_subset(const float *source, int row_length, int, int first_row,
                         int first_column, int rows, int columns)
{
    void *block = rows >= 0 && columns >= 0
                      ? std::malloc(sizeof(float) * static_cast<std::size_t>(rows) *
                                    static_cast<std::size_t>(columns) + 1)
                      : nullptr;
    if (block == nullptr) {
        std::fputs("copy_array_subset: malloc failed\n", stderr);
        return nullptr;
    }
    auto *out = static_cast<float *>(block);
    for (int r = 0; r < rows; r++)
        std::memcpy(out + static_cast<std::size_t>(r) * columns,
                    source + static_cast<std::size_t>(first_row + r) * row_length + first_column,
                    sizeof(float) * static_cast<std::size_t>(columns));
    return out;
}
