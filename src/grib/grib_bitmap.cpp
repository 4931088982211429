/*
 * grib_bitmap.cpp -- bit maps of missing values: insmp1 and insmp2 build the
 * primary and secondary maps when coding and pack the field down to the
 * values present; extmap reads the maps when decoding and spreads the
 * packed values back over the field with the missing-value marker.
 *
 * Maps travel through inxbit as runs of 1-bit fields, one call per map.
 * The field is rearranged in place, and only after every map transfer has
 * succeeded, so a failing call leaves PSEC4 as it was.
 */
#include <gridpick/grib.h>
#include "grib_state.h"
#include "grib_format.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr gint MAX_PRIMARY = GRIB_MAXBMAP;
constexpr gint MAX_SECONDARY = GRIB_MAXBMAP2;

/* The lines of one routine: debug lines, printed when KPR is 1, and error
 * lines, each returning the routine's KRET for it. */
struct Trace {
    std::string_view name;
    bool on;

    gint size_error(gint size, gint limit) const
    {
        grib::MsgLine()
            .text(name)
            .text(" : Bit-map size is ")
            .i(size, 6)
            .text(", maximum allowed is ")
            .i(limit, 6)
            .text(".")
            .put();
        return 2;
    }
    gint count_error(gint knum) const
    {
        grib::MsgLine()
            .text(name)
            .text(" : Invalid number of values per point - ")
            .i(knum, 6)
            .put();
        return 2;
    }
    gint func_error(std::string_view func) const
    {
        grib::MsgLine().text(name).text(" : Invalid function requested - ").text(func).put();
        return 3;
    }
    gint inxbit_error() const
    {
        grib::MsgLine().text(name).text(" : Error reported by routine INXBIT.").put();
        return 1;
    }

    void section(int n) const
    {
        if (!on)
            return;
        grib::MsgLine().text(name).text(" : Section ").i(n, 1).text(".").put();
    }
    void say(std::string_view text) const
    {
        if (on)
            grib::say(text);
    }
    void value(std::string_view label, gint v) const
    {
        if (on)
            grib::MsgLine().text(label).i(v, 6).put();
    }
    void text(std::string_view label, std::string_view v) const
    {
        if (on)
            grib::MsgLine().text(label).text(v).put();
    }
};

/* HFUNC as given (for printing) and without trailing blanks (for
 * comparing): a longer blank-padded "C" still means "C". */
std::string_view func_arg(const char *hfunc, long len)
{
    return {hfunc, len > 0 ? static_cast<std::size_t>(len) : 0};
}

std::string_view func_letter(std::string_view f)
{
    while (!f.empty() && f.back() == ' ')
        f.remove_suffix(1);
    return f;
}

bool valid_func(std::string_view op) { return op == "C" || op == "M"; }

/* Moves n 1-bit fields between map and the message at *pos. */
gint transfer(gint *kgrib, gint *kleng, gint *pos, gint *map, gint n,
                 gint *kbit, const char *func)
{
    gint width = 1;
    gint ret = 0;
    inxbit(kgrib, kleng, pos, map, &n, kbit, &width, func, &ret, 1L);
    return ret;
}

/* After compaction to m values: "C" shortens the field, "M" keeps its
 * length and repeats the first value behind the kept ones (no tail when
 * KSIZE is below m, as for a negative KSIZE, which has no points). */
void finish_compaction(float *psec4, gint *ksize, gint m, std::string_view func)
{
    if (func == "C") {
        *ksize = m;
        return;
    }
    if (m < *ksize)
        std::fill(psec4 + m, psec4 + *ksize, psec4[0]);
}

void trace_exit(const Trace &t, gint ksize)
{
    t.section(9);
    t.say("         Output values set -");
    t.value("         KSIZE  = ", ksize);
}

} // namespace

extern "C" void insmp1(gint *kgrib, gint *kleng, gint *knspt, gint *ksbind,
                       float *psec4, gint *ksize, gint *kbit, float *pmiss,
                       const char *hfunc, gint *knum, gint *kpr, gint *kret,
                       long hfunc_len)
{
    const std::string_view func = func_arg(hfunc, hfunc_len);
    const std::string_view op = func_letter(func);
    const Trace t{"INSMP1", *kpr == 1};
    t.section(1);
    t.say("         Input values used -");
    t.text("         HFUNC  = ", func);
    t.value("         KSIZE  = ", *ksize);
    t.value("         KSBIND = ", *ksbind);
    t.value("         KNUM   = ", *knum);

    t.section(2);
    const gint knumv = *knum;
    const gint points = knumv < 1 ? 0 : std::max(*ksize, 0) / knumv;
    *kret = knumv < 1              ? t.count_error(knumv)
            : points > MAX_PRIMARY ? t.size_error(points, MAX_PRIMARY)
            : !valid_func(op)      ? t.func_error(func)
                                   : 0;
    if (*kret != 0)
        return trace_exit(t, *ksize);
    t.section(3);

    gint *map = grib_state.maps.primary;
    const float miss = *pmiss;
    const bool all_present = op == "M" && *ksbind == 32;
    gint kept = 0;
    for (gint p = 0; p < points; ++p) {
        const float *v = psec4 + static_cast<std::ptrdiff_t>(p) * knumv;
        const bool missing =
            !all_present && std::all_of(v, v + knumv, [miss](float x) { return x == miss; });
        map[p] = missing ? 0 : 1;
        kept += missing ? 0 : knumv;
    }
    if (transfer(kgrib, kleng, knspt, map, points, kbit, "C") != 0) {
        *kret = t.inxbit_error();
        return trace_exit(t, *ksize);
    }
    if (!all_present && kept != *ksize) {
        gint m = 0;
        for (gint p = 0; p < points; ++p) {
            if (map[p] == 0)
                continue;
            const float *v = psec4 + static_cast<std::ptrdiff_t>(p) * knumv;
            std::copy(v, v + knumv, psec4 + m);
            m += knumv;
        }
        finish_compaction(psec4, ksize, m, op);
    }
    trace_exit(t, *ksize);
}

extern "C" void insmp2(gint *kgrib, gint *kleng, gint *knspt, float *psec4,
                       gint *ksize, gint *kbit, float *pmiss, const char *hfunc,
                       gint *knum, gint *kpr, gint *kret, long hfunc_len)
{
    const std::string_view func = func_arg(hfunc, hfunc_len);
    const std::string_view op = func_letter(func);
    const Trace t{"INSMP2", *kpr == 1};
    t.section(1);
    t.say("         Input values used -");
    t.text("         HFUNC  = ", func);
    t.value("         KSIZE  = ", *ksize);
    t.value("         KNUM   = ", *knum);

    t.section(2);
    const gint knumv = *knum;
    *kret = knumv < 1               ? t.count_error(knumv)
            : knumv > MAX_SECONDARY ? t.size_error(knumv, MAX_SECONDARY)
            : !valid_func(op)       ? t.func_error(func)
                                    : 0;
    if (*kret != 0)
        return trace_exit(t, *ksize);
    t.section(3);

    const gint points = std::max(*ksize, 0) / knumv;
    const float miss = *pmiss;
    gint *map = grib_state.maps.secondary;
    gint kept = 0;
    for (gint p = 0; p < points; ++p) {
        const float *v = psec4 + static_cast<std::ptrdiff_t>(p) * knumv;
        for (gint k = 0; k < knumv; ++k) {
            map[k] = v[k] == miss ? 0 : 1;
            kept += map[k];
        }
        if (transfer(kgrib, kleng, knspt, map, knumv, kbit, "C") != 0) {
            *kret = t.inxbit_error();
            return trace_exit(t, *ksize);
        }
    }
    if (*knspt % 8 != 0) {
        gint zero = 0;
        gint one = 1;
        gint width = 8 - *knspt % 8;
        gint ret = 0;
        inxbit(kgrib, kleng, knspt, &zero, &one, kbit, &width, "C", &ret, 1L);
        if (ret != 0) {
            *kret = t.inxbit_error();
            return trace_exit(t, *ksize);
        }
    }
    if (kept != *ksize) {
        const gint n = points * knumv;
        const float *end = std::remove_if(psec4, psec4 + n, [miss](float x) { return x == miss; });
        finish_compaction(psec4, ksize, static_cast<gint>(end - psec4), op);
    }
    trace_exit(t, *ksize);
}

extern "C" void extmap(gint *kgrib, gint *kleng, gint *kbmap, gint *kbmap2,
                       float *psec4, gint *ksize, gint *kbit, gint *ksbmap,
                       float *pmiss, gint *knum, gint *kpr, gint *kret)
{
    const Trace t{"EXTMAP", *kpr == 1};
    t.section(1);
    t.say("         Input values used -");
    t.value("         KSIZE  = ", *ksize);
    t.value("         KNUM   = ", *knum);
    auto leave = [&] {
        trace_exit(t, *ksize);
        t.value("         KSBMAP = ", *ksbmap);
    };

    t.section(2);
    const gint points = *ksize;
    const gint knumv = *knum;
    const bool secondary = *kbmap2 > 0;
    *kret = points < 0 || points > MAX_PRIMARY ? t.size_error(points, MAX_PRIMARY)
            : knumv < 1                        ? t.count_error(knumv)
            : secondary && knumv > MAX_SECONDARY ? t.size_error(knumv, MAX_SECONDARY)
                                                 : 0;
    if (*kret != 0)
        return leave();
    t.section(3);

    gint *map = grib_state.maps.primary;
    gint *map2 = grib_state.maps.secondary;
    if (transfer(kgrib, kleng, kbmap, map, points, kbit, "D") != 0) {
        *kret = t.inxbit_error();
        return leave();
    }

    /* First pass: how many packed values the maps call for. */
    const gint start2 = *kbmap2;
    long long used = 0;
    gint present = 0;
    for (gint p = 0; p < points; ++p) {
        if (map[p] == 0)
            continue;
        ++present;
        if (!secondary) {
            used += knumv;
            continue;
        }
        if (transfer(kgrib, kleng, kbmap2, map2, knumv, kbit, "D") != 0) {
            *kret = t.inxbit_error();
            return leave();
        }
        used += std::count(map2, map2 + knumv, 1);
    }

    const long long total = static_cast<long long>(points) * knumv;
    if (used == total) {
        *ksbmap = -2;
        return leave();
    }

    /* Second pass, from the back: output position q never lies before the
     * packed value i that goes there, so the field expands in place. */
    const float miss = *pmiss;
    long long i = used;
    long long q = total;
    for (gint p = points - 1; p >= 0; --p) {
        if (map[p] == 0) {
            for (gint k = 0; k < knumv; ++k)
                psec4[--q] = miss;
            continue;
        }
        if (secondary) {
            gint pos = start2 + (present - 1) * knumv;
            transfer(kgrib, kleng, &pos, map2, knumv, kbit, "D");
        }
        --present;
        for (gint k = knumv - 1; k >= 0; --k) {
            const bool here = !secondary || map2[k] != 0;
            --q;
            psec4[q] = here ? psec4[--i] : miss;
        }
    }
    *ksbmap = -4;
    leave();
}
