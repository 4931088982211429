/*
 * return_codes.cpp -- the failure codes of fldcod with the line each one
 * prints, one entry per code, and the routine that prints them.
 */
#include <algorithm>
#include <string>

#include "grib_codec.h"
#include "grib_format.h"

namespace {

struct Text {
    gint code;
    std::string_view text;  /* "{w}": the next value in w columns; "{s}": the word */
};

#define IE "Error inserting/extracting "
#define RC "Return code = "
#define CHECKED(n) \
    "Error found when checking values for Section " #n " against valid GRIB values. " RC

constexpr Text TEXTS[] = {
    {-5, "Bit-map found. No data decoded. " RC},
    {201, "Invalid function requested - {s}. " RC},
    {202, "Number of bits per data value, {3} exceeds word length {3}. " RC},
    {203, "Non-zero value in missing data field. " RC},
    {301, "Error in inserting letters GRIB. " RC},
    {302, "Error extracting length of GRIB message. " RC},
    {303, IE "GRIB Edition Number. " RC},
    {304, "Error extracting octets 22 and 23 for Experimental Edition check. " RC},
    {401, IE "length of  Section 1. " RC},
    {402, IE "Parameter Table Version Number. " RC},
    {403, IE "six fields from Identification of Centre to Indicator of type of level. " RC},
    {404, IE "Height,  pressure, etc of levels. " RC},
    {405, IE "six fields from Year of century to Indicator of unit of time range. " RC},
    {406, IE "Period of time. " RC},
    {407, IE "time range indicator. " RC},
    {408, IE "number averaged. " RC},
    {409, IE "number missing from averages etc. " RC},
    {410, IE "century of data or reserved field. " RC},
    {411, IE "units decimal scale factor. " RC},
    {499, CHECKED(1)},
    {501, IE "length of  Section 2. " RC},
    {502, IE "number of  Vertical coordinate parameters. " RC},
    {503, IE "location of List of vertical coordinate parameters\n"
             "         or List of numbers of points. " RC},
    {504, IE "data representation type. " RC},
    {505, IE "number of points along a parallel or meridian. " RC},
    {506, IE "latitude or longitude of first grid point. " RC},
    {507, IE "components flag. " RC},
    {508, IE "latitude or longitude of last grid point. " RC},
    {509, IE "i direction increment. " RC},
    {510, IE "number of parallels between pole and Equator. " RC},
    {511, IE "scanning mode flags. " RC},
    {513, IE "j direction increment. " RC},
    {514, IE "J,K,M pentagonal resolution parameters. " RC},
    {515, IE "representation type or mode. " RC},
    {517, IE "latitude or longitude of southern pole. " RC},
    {518, IE "angle of rotation. " RC},
    {519, IE "latitude or of pole of stretching. " RC},
    {520, IE "stretching factor. " RC},
    {521, IE "vertical coordinate parameters. " RC},
    {522, IE "list of numbers of points. " RC},
    {523, IE "number of points along X or Y axis. " RC},
    {524, IE "X or Y axis grid length. " RC},
    {525, IE "Projection centre flag. " RC},
    {526, IE "latitude or longitude of sub-satellite point. " RC},
    {527, IE "diameter of the earth in x or y direction. " RC},
    {528, IE "X or Y coordinate of sub-satellite point. " RC},
    {529, IE "orientation of the grid or camera angle. " RC},
    {530, IE "X or Y coordinates of origin of sector. " RC},
    {598, "Representation type not catered for - {3}. " RC},
    {599, CHECKED(2)},
    {601, IE "length of  Section 3. " RC},
    {602, IE "number of unused bits at the end of Section 3. " RC},
    {603, IE "bit-map reference table. " RC},
    {604, "Error inserting primary bit map. " RC},
    {605, "Cannot convert Quasi-regular Gaussian grid with bit-map. " RC},
    {699, CHECKED(3)},
    {701, IE "length of  Section 4. " RC},
    {705, "Only simple packing of data (real or integer) allowed. " RC},
    {706, "Error in extracting section 4 flag field. " RC},
    {707, IE "scale factor. " RC},
    {708, IE "reference value. " RC},
    {709, IE "number of bits per data value. " RC},
    {710, "Output array too small. Length is {8} words. Number of values is {8} " RC},
    {711, IE "real coefficient. " RC},
    {712, IE "data values. " RC},
    {713, IE "flag and unused bit field. " RC},
    {714, "Function is X and number of values is {3}. " RC},
    {715, "Function is X and scanning mode is notNorth to South and West to East. " RC},
    {716, "Function is X and field is not Gaussian or Latitude/longitude field. " RC},
    {717, "Function is X and a bit-map is included. " RC},
    {720, IE "octet numberat which packed data begins. " RC},
    {721, IE "extended flag field. " RC},
    {722, IE "first orsecond dimension of matrix. " RC},
    {723, IE "six fields from first dimension coordinate value onwards. " RC},
    {724, IE "first or or second dimension coefficients. " RC},
    {725, "Error inserting secondary bit map. " RC},
    {726, "Bit-map calls for {8} values, Section 4 holds {8}. " RC},
    {799, CHECKED(4)},
    {801, IE "7777 group. " RC},
    {802, IE "length of GRIB message. " RC},
    {805, "End of message 7777 group not found. " RC},
    {806, "Error extracting primary  or secondary bit map. " RC},
};

#undef IE
#undef RC
#undef CHECKED

/* The text with its fields filled in, then the code in 3 columns. */
std::string fill(std::string_view text, std::initializer_list<int64_t> values,
                 std::string_view word)
{
    std::string out;
    auto next = values.begin();
    for (std::size_t at = 0; at < text.size(); at++) {
        std::size_t end = text[at] == '{' ? text.find('}', at) : std::string_view::npos;
        if (end == std::string_view::npos) {
            out += text[at];
            continue;
        }
        std::string_view field = text.substr(at + 1, end - at - 1);
        if (field == "s")
            out += word;
        else if (next != values.end())
            grib::fmt_int(out, *next++, field[0] - '0');
        at = end;
    }
    return out;
}

} // namespace

void grib_report(gint code, std::initializer_list<int64_t> values, std::string_view word)
{
    if (grib_state.quiet)
        return;
    const Text *t = std::find_if(std::begin(TEXTS), std::end(TEXTS),
                                 [code](const Text &e) { return e.code == code; });
    std::string_view text = t != std::end(TEXTS) ? t->text : "Return code = ";
    std::string line = "FLDCOD : " + fill(text, values, word);
    grib::fmt_int(line, code, 3);
    std::size_t nl;
    while ((nl = line.find('\n')) != std::string::npos) {
        grib::MsgLine().text(std::string_view(line).substr(0, nl)).put();
        line.erase(0, nl + 1);
    }
    grib::MsgLine().text(line).put();
}

bool grib_fail(grib_call &c, gint code, std::initializer_list<int64_t> values,
               std::string_view word)
{
    c.kret = code;
    grib_report(code, values, word);
    return false;
}

bool grib_fail_710(grib_call &c, int64_t count)
{
    gint &n = c.k4(GRIB_K4_COUNT);
    n = static_cast<gint>(std::clamp<int64_t>(count, -2147483647, 2147483647));
    return grib_fail(c, 710, {c.klenp, n});
}
