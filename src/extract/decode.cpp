// Decoding of each message: sections 0 to 2 for every message, the values
// for a field about to be written.
#include "extract.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <span>
#include <vector>

gp_field_state gp_field;
gp_message_state gp_msg;

namespace {

// The message in buffer decoded into gp_msg with operation op ("I", "D"
// or "R"), the codec's printing off: gridpick reports its failures itself.
int decode(std::span<std::int32_t> buffer, const char *op)
{
    gint quiet = 0, loud = 1;
    grsprt(&quiet);
    int kret = gp_decode_sections(gp_msg, op, buffer.data(), static_cast<int>(buffer.size()),
                                  gp_msg.decoded_data.data(),
                                  static_cast<int>(gp_msg.decoded_data.size()));
    grsprt(&loud);
    return kret;
}

// A quiet NaN with a payload no decoding produces: the values under a
// bit map that marks more points present than the message holds values
// would otherwise be those of the field decoded before.
constexpr std::uint32_t not_decoded_bits = 0x7fc5a5a5u;

float not_decoded()
{
    return std::bit_cast<float>(not_decoded_bits);
}

bool is_not_decoded(float v)
{
    return std::bit_cast<std::uint32_t>(v) == not_decoded_bits;
}

// The packings the codec leaves to others, by the flags of section 4.
const char *refused_packing()
{
    const std::int32_t *k4 = gp_msg.ksec4;
    if (gp_el(k4, GRIB_K4_PACKING) != 64)
        return nullptr;
    return gp_el(k4, GRIB_K4_HARMONICS) == 128 ? "complex packing of spherical harmonics"
                                                : "second-order packing";
}

bool undecodable(int kret)
{
    if (kret <= 0 && kret != -6)
        return false;
    // 598: a grid type the codec does not read, named by the type it read
    const char *grid = kret == 598 ? gp_grid_plan_of(gp_msg.ksec2).refusal : nullptr;
    if (const char *packing = kret == 705 ? refused_packing() : nullptr)
        gp_pass_over("holds values in %s, which gridpick does not decode", packing);
    else if (grid != nullptr)
        gp_pass_over("holds %s, which an ov data set cannot describe", grid);
    else
        gp_pass_over("cannot be decoded (code %d)", kret);
    return true;
}

// Integer data (section 4 flag 32) come back from the codec as 32-bit
// integers in the value array, and the codec rounds the missing-point marker
// along with them.  So under a bit map such a field is decoded again with a
// marker beyond every integer, which the rounding holds at INT32_MIN.
constexpr float integer_missing = -4294967296.0f;

bool integer_data()
{
    return gp_el(gp_msg.ksec4, GRIB_K4_INTEGER) == 32;
}

bool has_bit_map()
{
    return (gp_el(gp_msg.ksec1, GRIB_K1_FLAG) & 64) != 0;
}

// Missing points take missing; under a bit map every value the message
// does not give keeps the mark of "not decoded" (without one the codec
// gives every value it counts).
// The value array grows when the codec asks for more (710, the count it
// needs in KSEC4(1)), up to GP_MAX_DECODED values.
int decode_values(std::span<std::int32_t> buffer, float missing)
{
    for (;;) {
        gp_el(gp_msg.psec3, GRIB_P3_MISSING) = missing;
        if (has_bit_map())
            std::fill(gp_msg.decoded_data.begin(), gp_msg.decoded_data.end(), not_decoded());
        int kret = decode(buffer, "D");
        long need = gp_el(gp_msg.ksec4, GRIB_K4_COUNT);
        if (kret != 710 || need <= static_cast<long>(gp_msg.decoded_data.size()) ||
            need > GP_MAX_DECODED)
            return kret;
        gp_msg.decoded_data.resize(static_cast<std::size_t>(need));
    }
}

// The integers of an integer field as the reals of the data set.
void reals_from_integers(long points, float bad)
{
    bool mapped = has_bit_map();
    for (long i = 0; i < points; i++) {
        auto v = std::bit_cast<std::int32_t>(gp_msg.decoded_data[i]);
        gp_msg.decoded_data[i] = mapped && v == INT32_MIN ? bad : static_cast<float>(v);
    }
}

// A quasi-regular field on its regular grid; false after a line when it
// cannot be (missing points would be interpolated into their neighbours).
bool expanded()
{
    if (has_bit_map()) {
        gp_pass_over("holds a quasi-regular grid with a bit map, which gridpick does not expand");
        return false;
    }
    if (gp_grid_expand(gp_msg.ksec2, gp_msg.ksec4, gp_msg.decoded_data, gp_msg.scratch) != 0) {
        gp_pass_over("holds a quasi-regular grid whose rows do not add up to its %d values",
                  gp_el(gp_msg.ksec4, GRIB_K4_COUNT));
        return false;
    }
    gp_msg.grid = gp_grid_plan_of(gp_msg.ksec2);   // now the regular grid
    return true;
}

}  // namespace

void gp_pass_over(const char *format, ...)
{
    std::FILE *out = gp_msg.report != nullptr ? gp_msg.report : stderr;
    std::fprintf(out, "gridpick: GRIB message at %s %ld ",
                 gp_msg.from_records ? "record" : "offset", gp_msg.position);
    va_list ap;
    va_start(ap, format);
    std::vfprintf(out, format, ap);
    va_end(ap);
    std::fputs("; passed over\n", out);
}

int decode_data_set(std::span<std::int32_t> buffer)
{
    if (undecodable(decode(buffer, "I")))
        return -1;
    gp_field = gp_field_from_ksec1(gp_msg.ksec1);
    return 0;
}

int unpack_data_set(std::span<std::int32_t> buffer)
{
    bool has_grid = (gp_el(gp_msg.ksec1, GRIB_K1_FLAG) & 128) != 0;
    gp_msg.grid = gp_grid_plan_of(has_grid ? gp_msg.ksec2 : nullptr);
    if (gp_msg.grid.refusal != nullptr) {
        gp_pass_over("holds %s, which an ov data set cannot describe", gp_msg.grid.refusal);
        return -1;
    }
    float bad = gp_missing_value_of(gp_field.current_param, gp_field_source(gp_field));
    int kret = decode_values(buffer, bad);
    if (kret <= 0 && kret != -6 && integer_data() && has_bit_map())
        kret = decode_values(buffer, integer_missing);
    if (undecodable(kret))
        return -1;
    if (gp_msg.grid.expand && !expanded())
        return -1;
    long rows = gp_msg.grid.rows, columns = gp_msg.grid.columns;
    long count = gp_el(gp_msg.ksec4, GRIB_K4_COUNT);
    long points = rows * columns;
    if (gp_msg.grid.refusal != nullptr || rows <= 0 || columns <= 0 ||
        points > static_cast<long>(gp_msg.decoded_data.size()) || points != count) {
        gp_pass_over("holds %ld values, not a grid of %ld x %ld points", count, rows,
                  columns);
        return -1;
    }
    auto values = std::span(gp_msg.decoded_data).first(static_cast<std::size_t>(points));
    long lacking = has_bit_map() ? std::count_if(values.begin(), values.end(), is_not_decoded) : 0;
    if (lacking > 0) {
        gp_pass_over("lacks values for %ld of its %ld x %ld points", lacking, rows, columns);
        return -1;
    }
    if (integer_data())
        reals_from_integers(points, bad);
    gp_grid_to_rows(gp_msg.grid, values, gp_msg.scratch);
    return static_cast<int>(points);
}

void scale_data(float *values, int count, float factor)
{
    gp_scale_present(values, count, factor, nullptr);
}

void gp_scale_present(float *values, int count, float factor, const float *bad)
{
    std::printf("Scaling by %g\n", factor);
    for (int i = 0; i < count; i++)
        if (bad == nullptr || values[i] != *bad)
            values[i] = static_cast<float>(static_cast<double>(values[i]) * factor);
}

void new_transpose_data()
{
    constexpr int columns = 144, rows = 73;
    std::vector<float> old(gp_msg.decoded_data.begin(), gp_msg.decoded_data.begin() + rows * columns);
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
