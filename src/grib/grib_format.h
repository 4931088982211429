/*
 * grib_format.h -- fixed-width fields for the codec's printed lines.
 *
 * Every line the codec prints goes to standard output and is built from
 * pieces appended left to right:
 *
 *     grib::MsgLine().text("GRCHK1 : Invalid month - ").i(ksec1[10], 5).put();
 *
 * prints " GRCHK1 : Invalid month -    13\n".  put() writes the single blank
 * that starts every line; put_bare() writes the pieces alone.
 *
 * Field forms (the rules of Fortran edit descriptors):
 *   i(v, w)      integer right-aligned in w columns; w asterisks when the
 *                value (with its sign) needs more than w columns.
 *   iz(v, w, m)  as i(), with at least m digits (leading zeros): Iw.m.
 *   f(v, w, d)   fixed point with d decimals (the point printed even when
 *                d is 0) right-aligned in w columns;
 *                a leading "0" before the point is dropped when that is
 *                what makes it fit; w asterisks when it still does not.
 *                NaN and infinities print as "NaN", "Inf"/"Infinity".
 *   label(s, w)  text left-aligned and padded with blanks to w columns
 *                (cut to w characters when longer).
 *   x(n)         n blanks.
 *
 * The free functions append one field to a string, for callers that build
 * lines their own way.  Nothing here keeps state between calls.
 */
#ifndef GRIB_FORMAT_H
#define GRIB_FORMAT_H

#include <string>
#include <string_view>

namespace grib {

void fmt_int(std::string &out, long long v, int w);
void fmt_int_min(std::string &out, long long v, int w, int m);
void fmt_fixed(std::string &out, double v, int w, int d);
void fmt_label(std::string &out, std::string_view s, int w);

class MsgLine {
public:
    MsgLine &text(std::string_view s) { buf_.append(s); return *this; }
    MsgLine &i(long long v, int w) { fmt_int(buf_, v, w); return *this; }
    MsgLine &iz(long long v, int w, int m) { fmt_int_min(buf_, v, w, m); return *this; }
    MsgLine &f(double v, int w, int d) { fmt_fixed(buf_, v, w, d); return *this; }
    MsgLine &label(std::string_view s, int w) { fmt_label(buf_, s, w); return *this; }
    MsgLine &x(int n) { if (n > 0) buf_.append(static_cast<std::size_t>(n), ' '); return *this; }

    /* The pieces so far, without the leading blank. */
    const std::string &str() const { return buf_; }

    /* Writes " " + pieces + "\n" to standard output. */
    void put() const;
    /* Writes pieces + "\n" to standard output (no leading blank). */
    void put_bare() const;

private:
    std::string buf_;
};

/* A list-directed line of text: " " + text + "\n" on standard output. */
void say(std::string_view text);

/* An empty line: the single blank alone. */
inline void say_empty() { say({}); }

} // namespace grib

#endif
