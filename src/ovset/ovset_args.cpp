// What the programs' command lines share.
#include "ovset.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int ovset_bad_switch(const char *prog, const char *with_argument)
{
    if (std::strchr(with_argument, optopt))
        std::fprintf(stderr, "%s: -%c needs an argument\n", prog, optopt);
    else
        std::fprintf(stderr, "%s: unknown switch -%c\n", prog, optopt);
    return 2;
}

bool ovset_number(const char *text, long lo, long hi, int *out)
{
    char *end;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end || v < lo || v > hi)
        return false;
    *out = static_cast<int>(v);
    return true;
}
