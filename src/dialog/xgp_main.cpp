// Placeholder until the dialog is built: always falls back to the terminal.
#include "xgp.h"

#include <cstdio>

int xmain(int, char **)
{
    std::fputs("gridpick: cannot open the X display; asking at the terminal instead\n", stderr);
    return -1;
}
