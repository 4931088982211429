// The summary of an archive: counts, dates, analysis times and their gaps,
// parameters by level, and the messages gridpick cannot use as they are.
#include "gridls.h"
#include "param_table.h"

#include <algorithm>
#include <cstdio>

gl_summary_state gl_sum;

namespace {

// Days from 1 January 1970 of a date of the Gregorian calendar; months
// outside 1..12 carry into the year.
long days_from_civil(long y, long m, long d)
{
    long m0 = m - 1;
    y += m0 >= 0 ? m0 / 12 : (m0 - 11) / 12;
    m = (m0 % 12 + 12) % 12 + 1;
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

long minutes_of(const gl_entry &e)
{
    return (days_from_civil(e.year, e.month, e.day) * 24 + e.hour) * 60 + e.minute;
}

std::size_t index_of(std::vector<std::string> &names, const std::string &name)
{
    auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end())
        at = names.insert(names.end(), name);
    return static_cast<std::size_t>(at - names.begin());
}

// gridpick's rule for the second component of a pair (gp_second_component_of).
bool same_time_and_level(const gl_entry &u, const gl_entry &v)
{
    return u.year == v.year && u.centre == v.centre && u.table == v.table &&
           u.month == v.month && u.day == v.day &&
           u.hour == v.hour && u.minute == v.minute && u.level == v.level;
}

std::string span(long minutes)
{
    char buf[48];
    if (minutes % 60 != 0)
        std::snprintf(buf, sizeof buf, "%ld minutes", minutes);
    else
        std::snprintf(buf, sizeof buf, "%ld hour%s", minutes / 60, minutes == 60 ? "" : "s");
    return buf;
}

// The most common step between analysis times (the smallest of equals).
long regular_step(const std::map<long, std::string> &times)
{
    std::map<long, long> steps;
    for (auto a = times.begin(), b = std::next(a); b != times.end(); ++a, ++b)
        steps[b->first - a->first]++;
    long best = 0, seen = 0;
    for (auto [step, count] : steps)
        if (count > seen) {
            best = step;
            seen = count;
        }
    return best;
}

void print_times(std::FILE *out, const std::map<long, std::string> &times)
{
    if (times.empty()) {
        std::fputs("dates: none\n", out);
        return;
    }
    std::fprintf(out, "dates: %s to %s\n", times.begin()->second.c_str(),
                 times.rbegin()->second.c_str());
    long step = regular_step(times);
    std::vector<std::string> gaps;
    for (auto a = times.begin(), b = std::next(a); b != times.end(); ++a, ++b)
        if (b->first - a->first > step)
            gaps.push_back("gap: " + a->second + " to " + b->second + " (" +
                           span(b->first - a->first) + ")");
    std::fprintf(out, "analysis times: %zu", times.size());
    if (times.size() > 1)
        std::fprintf(out, ", every %s", span(step).c_str());
    if (gaps.empty())
        std::fputs(", no gaps\n", out);
    else
        std::fprintf(out, ", %zu gap%s\n", gaps.size(), gaps.size() == 1 ? "" : "s");
    for (const std::string &g : gaps)
        std::fprintf(out, "%s\n", g.c_str());
}

// Parameters down, levels across, "-" where there is none.
void print_table(std::FILE *out, const gl_summary_state &s)
{
    if (s.params.empty())
        return;
    std::size_t first = std::string("parameter").size();
    for (const std::string &p : s.params)
        first = std::max(first, p.size());
    std::vector<std::string> cells(s.params.size() * s.levels.size(), "-");
    std::vector<std::size_t> width(s.levels.size());
    for (std::size_t c = 0; c < s.levels.size(); c++)
        width[c] = s.levels[c].size();
    for (const auto &[at, count] : s.counts) {
        std::string &cell = cells[at.first * s.levels.size() + at.second];
        cell = std::to_string(count);
        width[at.second] = std::max(width[at.second], cell.size());
    }
    std::fprintf(out, "%-*s", static_cast<int>(first), "parameter");
    for (std::size_t c = 0; c < s.levels.size(); c++)
        std::fprintf(out, "  %*s", static_cast<int>(width[c]), s.levels[c].c_str());
    std::fputc('\n', out);
    for (std::size_t r = 0; r < s.params.size(); r++) {
        std::fprintf(out, "%-*s", static_cast<int>(first), s.params[r].c_str());
        for (std::size_t c = 0; c < s.levels.size(); c++)
            std::fprintf(out, "  %*s", static_cast<int>(width[c]),
                         cells[r * s.levels.size() + c].c_str());
        std::fputc('\n', out);
    }
}

void print_notes(std::FILE *out, const std::vector<std::string> &notes, const char *what)
{
    for (const std::string &n : notes)
        std::fprintf(out, "%s%s\n", what, n.c_str());
}

}  // namespace

void gl_summary_whole(const gp_archive_message &where)
{
    gl_sum.octets += where.length;
}

void gl_summary_add(const gl_entry &e)
{
    gl_summary_state &s = gl_sum;
    char stamp[48], label[GP_EXTENSION_LEN + 32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d", e.year, e.month, e.day, e.hour);
    s.times.emplace(minutes_of(e), stamp);
    gp_source source{e.centre, e.table};
    int n = std::snprintf(label, sizeof label, "%d ", e.code);
    gp_param_name(e.code, label + n, sizeof label - static_cast<std::size_t>(n), source);
    s.counts[{index_of(s.params, label), index_of(s.levels, e.level_text)}]++;

    bool completes = s.have_pending && gp_completes_pair(s.pending.code, e.code, source) &&
                     same_time_and_level(s.pending, e);
    if (s.have_pending && !completes)
        s.orphans.push_back(gl_line(s.pending));
    s.have_pending = 0;
    if (completes)
        return;
    if (gp_component_of(e.code, source) == GP_FIRST_COMPONENT) {
        s.pending = e;
        s.have_pending = 1;
    } else if (gp_component_of(e.code, source) == GP_SECOND_COMPONENT) {
        s.orphans.push_back(gl_line(e));
    }
}

void gl_summary_undecodable(const gl_entry &e, int code)
{
    gl_sum.undecodable.push_back("(code " + std::to_string(code) + "): " + gl_place(e));
}

void gl_summary_too_long(void *, const gp_archive_message *where)
{
    gl_sum.too_long.push_back(gl_position(*where));
}

void gl_summary_print(const char *name, const gp_archive_totals &t)
{
    gl_summary_state &s = gl_sum;
    std::FILE *out = gl_run.out;
    if (s.have_pending)
        s.orphans.push_back(gl_line(s.pending));
    s.have_pending = 0;
    std::fprintf(out, "%s: %ld messages, %ld octets, %ld damaged, ", name, t.whole, s.octets,
                 t.damaged);
    if (t.other_editions > 0)
        std::fprintf(out, "%ld of a later GRIB edition, ", t.other_editions);
    std::fprintf(out, "%ld octets passed over\n", t.passed_over);
    print_times(out, s.times);
    print_table(out, s);
    print_notes(out, s.orphans, "orphan wind component: ");
    print_notes(out, s.undecodable, "cannot be decoded ");
}
