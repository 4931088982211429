/*
 * grib_format.cpp -- fixed-width fields for the codec's printed lines.
 */
#include "grib_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace grib {

namespace {

void stars(std::string &out, int w)
{
    if (w > 0)
        out.append(static_cast<std::size_t>(w), '*');
}

/* Appends s right-aligned in w columns, or w asterisks if it is longer. */
void right(std::string &out, std::string_view s, int w)
{
    if (w <= 0) {
        if (w == 0)
            out.append(s);
        return;
    }
    if (s.size() > static_cast<std::size_t>(w)) {
        stars(out, w);
        return;
    }
    out.append(static_cast<std::size_t>(w) - s.size(), ' ');
    out.append(s);
}

} // namespace

void fmt_int(std::string &out, long long v, int w)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    right(out, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), w);
}

void fmt_int_min(std::string &out, long long v, int w, int m)
{
    if (m <= 0 && v == 0) {
        right(out, {}, w);
        return;
    }
    char digits[32];
    unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                                   : static_cast<unsigned long long>(v);
    auto r = std::to_chars(digits, digits + sizeof digits, mag);
    std::size_t n = static_cast<std::size_t>(r.ptr - digits);
    std::string s;
    if (v < 0)
        s.push_back('-');
    if (m > 0 && n < static_cast<std::size_t>(m))
        s.append(static_cast<std::size_t>(m) - n, '0');
    s.append(digits, n);
    right(out, s, w);
}

void fmt_fixed(std::string &out, double v, int w, int d)
{
    if (d < 0)
        d = 0;
    if (std::isnan(v)) {
        right(out, "NaN", w);
        return;
    }
    if (std::isinf(v)) {
        const char *s = v < 0 ? (w >= 9 ? "-Infinity" : "-Inf") : (w >= 8 ? "Infinity" : "Inf");
        right(out, s, w);
        return;
    }
    char buf[512];
    /* "%#.0f" keeps the point, as a field without decimals does ("5."). */
    int n = std::snprintf(buf, sizeof buf, "%#.*f", d, v);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof buf) {
        stars(out, w);
        return;
    }
    std::string_view s(buf, static_cast<std::size_t>(n));
    if (w > 0 && s.size() > static_cast<std::size_t>(w)) {
        /* The zero before the point is optional. */
        if (s.starts_with("0.")) {
            s.remove_prefix(1);
        } else if (s.starts_with("-0.")) {
            buf[1] = '-';
            s = std::string_view(buf + 1, s.size() - 1);
        }
    }
    right(out, s, w);
}

void fmt_label(std::string &out, std::string_view s, int w)
{
    if (w <= 0)
        return;
    std::size_t uw = static_cast<std::size_t>(w);
    if (s.size() >= uw) {
        out.append(s.substr(0, uw));
        return;
    }
    out.append(s);
    out.append(uw - s.size(), ' ');
}

void MsgLine::put() const
{
    std::fputc(' ', stdout);
    put_bare();
}

void MsgLine::put_bare() const
{
    std::fwrite(buf_.data(), 1, buf_.size(), stdout);
    std::fputc('\n', stdout);
}

void say(std::string_view text)
{
    std::fputc(' ', stdout);
    if (!text.empty())
        std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace grib
