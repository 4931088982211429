// One message of the inventory: its line, and the codec's listing of it.
#include "gridls.h"
#include "describe.h"
#include "param_table.h"

#include <cstdio>
#include <vector>

gl_message_state gl_msg;

namespace {

// One codec call on the message in the buffer; failures come back.
int decode(const char *op, float *values, int count)
{
    return gp_decode_sections(gl_msg, op, gl_msg.buffer.data(), static_cast<int>(gl_msg.buffer.size()), values, count);
}

// The entry of the message whose sections 0 to 2 are in gl_msg's arrays.
void fill_entry(int n, gl_entry *e)
{
    const gint *k1 = gl_msg.ksec1;
    int flag = gp_el(k1, GRIB_K1_FLAG);
    e->year_of_century = gp_el(k1, GRIB_K1_YEAR);
    e->year = gp_full_year(gp_el(k1, GRIB_K1_CENTURY), e->year_of_century);
    e->month = gp_el(k1, GRIB_K1_MONTH);
    e->day = gp_el(k1, GRIB_K1_DAY);
    e->hour = gp_el(k1, GRIB_K1_HOUR);
    e->minute = gp_el(k1, GRIB_K1_MINUTE);
    e->code = gp_el(k1, GRIB_K1_PARAM);
    e->centre = gp_el(k1, GRIB_K1_CENTRE);
    e->table = gp_el(k1, GRIB_K1_TABLE);
    e->level = gp_el(k1, GRIB_K1_LEVEL);
    char buf[80];
    gp_level_text(gp_el(k1, GRIB_K1_LEVEL_TYPE), e->level, gp_el(k1, GRIB_K1_LEVEL2), buf,
                  sizeof buf);
    e->level_text = buf;
    gp_grid_text((flag & 128) ? gl_msg.ksec2 : nullptr, gp_el(k1, GRIB_K1_GRID), buf, sizeof buf);
    e->grid = buf;
    e->bits = gp_bits_per_value(reinterpret_cast<const unsigned char *>(gl_msg.buffer.data()), n,
                                gp_el(gl_msg.ksec0, GRIB_K0_EDITION), flag);
    e->bitmap = (flag & 64) != 0;
}

}  // namespace

int gl_decode(int n, const gp_archive_message &where, long number, gl_entry *e)
{
    *e = gl_entry{};
    e->number = number;
    e->where = where;
    float none[1];
    gint quiet = 0, loud = 1;
    grsprt(&quiet);
    int kret = decode("I", none, 1);
    grsprt(&loud);
    // 598: a grid type the codec does not read, listed by its type number
    // (section 2 was read no further than the type)
    if (kret != 598 && (kret > 0 || kret == -6))
        return decode("I", none, 1);   // again, for the codec's own line
    fill_entry(n, e);
    return 0;
}

std::string gl_position(const gp_archive_message &where)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%c=%ld:l=%d", where.at == GP_AT_RECORD ? 'r' : 'o',
                  where.position, where.length);
    return buf;
}

std::string gl_place(const gl_entry &e)
{
    return std::to_string(e.number) + ":" + gl_position(e.where);
}

std::string gl_line(const gl_entry &e)
{
    char name[GP_EXTENSION_LEN + 16], centre[32] = "", buf[256];
    gp_param_name(e.code, name, sizeof name, gp_source{e.centre, e.table});
    if (e.centre != GP_NORVA_CENTRE)
        std::snprintf(centre, sizeof centre, ":centre=%d", e.centre);
    std::snprintf(buf, sizeof buf, ":d=%04d%02d%02d%02d:%d:%s:%s:%s:bits=%d%s%s", e.year, e.month,
                  e.day, e.hour, e.code, name, e.level_text.c_str(), e.grid.c_str(), e.bits,
                  e.bitmap ? ":bitmap" : "", centre);
    return gl_place(e) + buf;
}

void gl_list(int n, const gp_archive_message &where, long number)
{
    // A whole message holds at most 8 values an octet; its bit map spreads
    // no more points than it has bits.
    std::vector<float> values(32 * gl_msg.buffer.size());
    int kret = decode("D", values.data(), static_cast<int>(values.size()));
    // The sections decoded before the one that failed (x00 codes by section).
    int done = kret == -6 ? 2 : kret > 0 ? kret / 100 - 3 : 5;
    gl_entry e;
    e.number = number;
    e.where = where;
    if (done > 2) {
        fill_entry(n, &e);
        std::printf("%s\n", gl_line(e).c_str());
    }
    gl_message_state &m = gl_msg;
    int flag = gp_el(m.ksec1, GRIB_K1_FLAG);
    if (done > 0)
        grprs0(m.ksec0);
    if (done > 1)
        grprs1(m.ksec0, m.ksec1);
    if (done > 2 && (flag & 128))
        grprs2(m.ksec0, m.ksec2, m.psec2);
    if (done > 3 && (flag & 64))
        grprs3(m.ksec0, m.ksec3, m.psec3);
    if (done > 4)
        grprs4(m.ksec0, m.ksec4, values.data());
}
