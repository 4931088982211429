// The terminal dialogue: dates, parameters and levels asked on stderr.
#include "extract.h"
#include "xgp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int max_bad_tries = 5;
constexpr int status_aborted = 1;
constexpr int status_nothing_chosen = 255;  // exit(-1) of old

constexpr int legal_levels[] = {10, 30, 50, 70, 100, 150, 200, 250, 300, 400, 500, 700, 850, 1000};

// The run ends: the status it ends with, after its message.
int too_many_bad_tries(std::FILE *where)
{
    std::fputs("Too many bad tries. Aborting\n", where);
    return status_aborted;
}

int quit(const char *message)
{
    std::fputs(message, stderr);
    return status_nothing_chosen;
}

bool valid_date(int month, int day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// Asks for one date until month and day are in range: 0, or the status of
// the end of the run after the sixth bad answer (end of input counts as
// one).
int ask_date(const char *prompt, int *month, int *day, int *year, int *day_number,
              std::FILE *abort_to)
{
    if (valid_date(*month, *day))
        return 0;
    for (int bad = 0;; bad++) {
        std::fputs(prompt, stderr);
        char word[64];
        gp_read_word(word, sizeof word);   // empty at the end of input
        *day_number = gp_scan_date(word, month, day, year);
        if (valid_date(*month, *day))
            return 0;
        if (bad == max_bad_tries)
            return too_many_bad_tries(abort_to);
    }
}

// Next number of a list: 1 and the number, 0 at the end of input, -1 for a
// word that is not a number (left in word).
int next_number(char *word, std::size_t size, int *value)
{
    if (gp_read_word(word, size) < 0)
        return 0;
    return std::sscanf(word, "%d", value) == 1 ? 1 : -1;
}

// "<what> '<number>' ignored." for a number, or with the word as typed.
void print_ignored(const char *what, const int *value, const char *word)
{
    if (value != nullptr)
        std::fprintf(stderr, "%s '%d' ignored.\n", what, *value);
    else
        std::fprintf(stderr, "%s '%s' ignored.\n", what, word);
}

// Reads numbers until a 0 or the end of input.  take(value) stores a legal
// number and says whether it was one; anything else is a bad try, announced
// by reject(value or null, word as typed); the sixth ends the run with its
// message on abort_to (its status returned; else 0).
template <typename Take, typename Reject>
int read_list(Take take, Reject reject, std::FILE *abort_to)
{
    for (int bad = 0;;) {
        char word[64];
        int value = 0;
        int got = next_number(word, sizeof word, &value);
        if (got == 0 || (got == 1 && value == 0))
            return 0;
        if (got == 1 && take(value))
            continue;
        reject(got == 1 ? &value : nullptr, word);
        if (++bad > max_bad_tries)
            return too_many_bad_tries(abort_to);
    }
}

int ask_params()
{
    static const char *const lines[] = {
        "\nParameter          Name\n",
        "_______________________________________\n",
        "   1           Geopotential Height\n",
        "   2           Temperature\n",
        "   3           Wind Vectors\n",
        "   4           Humidity\n",
        "   5           Vertical P-velocity\n\n",
        "Enter the numbers of the parameters you want.\n",
        "Enter '0' when you are done: ",
    };
    for (const char *line : lines)
        std::fputs(line, stderr);
    int chosen = 0;
    auto take = [&chosen](int value) {
        int codes[2];
        int n = gp_param_codes_at(GP_PLACE_MENU, value, codes);
        if (n == 0)
            return false;
        for (int i = 0; i < n; i++)
            gp_run.param[codes[i]] = 1;
        chosen++;
        return true;
    };
    auto reject = [](const int *value, const char *word) {
        print_ignored("Illegal parameter value", value, word);
    };
    if (int status = read_list(take, reject, stdout); status != 0)
        return status;
    if (chosen == 0)
        return quit("Error: no parameters entered. Quitting.\n");
    gp_run.num_params = chosen;
    return 0;
}

bool legal_level(int level)
{
    for (int l : legal_levels)
        if (l == level)
            return true;
    return false;
}

int ask_levels()
{
    std::fputs("Enter the levels (in mb) that you want.\n", stderr);
    std::fputs("Enter 0 when you are done: ", stderr);
    int count = 0;
    auto take = [&count](int value) {
        if (!legal_level(value))
            return false;
        if (count < GP_MAX_TERMINAL_LEVELS)
            gp_run.level[count++] = value;
        else
            std::fprintf(stderr, "Level %d ignored: at most %d levels.\n", value,
                         GP_MAX_TERMINAL_LEVELS);
        return true;
    };
    auto reject = [](const int *value, const char *word) {
        print_ignored("Nonstandard level", value, word);
        std::fputs("Legal levels are 10, 30, 50, 70, 100, 150,  200, 250,  300, 400, 500, 700, "
                   "850 or 1000mb\n",
                   stderr);
    };
    if (int status = read_list(take, reject, stderr); status != 0)
        return status;
    if (count == 0)
        return quit("Error: no levels entered. Quitting.\n");
    gp_run.num_levels = count;
    return 0;
}

}  // namespace

int query_user(int argc, char **argv)
{
    if (gp_run.xquery && xmain(argc, argv) == 0)
        return 0;
    int status = ask_date("Enter the date of the first day you want in the form mm/dd/yy: ",
                          &gp_run.start_month, &gp_run.start_day, &gp_run.start_year,
                          &gp_run.first_day, stdout);
    if (status == 0)
        status = ask_date("Enter the date of the last day you want in the form mm/dd/yy: ",
                          &gp_run.end_month, &gp_run.end_day, &gp_run.end_year, &gp_run.last_day,
                          stderr);
    if (status != 0 || gp_run.getall)
        return status;
    status = ask_params();
    return status != 0 ? status : ask_levels();
}

void parse_date(const char *text, int *first, int *second)
{
    *first = std::atoi(text);
    const char *slash = std::strchr(text, '/');
    if (slash == nullptr)
        return;
    char two[3] = {0, 0, 0};
    std::strncpy(two, slash + 1, 2);
    *second = std::atoi(two);
}
