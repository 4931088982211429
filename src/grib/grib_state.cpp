/*
 * grib_state.cpp -- settings record, machine parameters, termination.
 */
#include "grib_state.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "grib_format.h"

grib_state_t grib_state{};

void grib_state_reset()
{
    grib_state = grib_state_t{};
}

void grib_defaults()
{
    grbcom_t &g = grib_state.grbcom;
    if (g.NINIT == GRIB_NINIT_MARK)
        return;
    g.FREF = 0.0f;
    g.NFREF = 0;
    g.NRND = 1;
    g.NDBG = 0;
    g.NVCK = 1;
    g.NINIT = GRIB_NINIT_MARK;
}

extern "C" {

void grsprt(gint *k)
{
    grib_state.quiet = *k == 0;
}

void grsdbg(gint *k)
{
    grib_defaults();
    grib_state.grbcom.NDBG = *k != 0 ? 1 : 0;
}

void grsvck(gint *k)
{
    grib_defaults();
    grib_state.grbcom.NVCK = *k != 0 ? 1 : 0;
}

void grsrnd(gint *k)
{
    grib_defaults();
    grib_state.grbcom.NRND = *k != 0 ? 1 : 0;
}

void grsref(float *p)
{
    grib_defaults();
    grib_state.grbcom.FREF = *p;
    grib_state.grbcom.NFREF = 1;
}

void setpar(gint *kbit, gint *kneg, gint *kpr)
{
    if (*kpr == 1)
        grib::say("SETPAR : Section 1.");
    *kbit = 32;
    *kneg = GRIB_KNEG;
    if (*kpr == 1) {
        grib::say("SETPAR : Section 9.");
        grib::say("         Output values set -");
        grib::MsgLine().text("          KBIT = ").i(*kbit, 3).put();
        grib::MsgLine().text("          KNEG = ").i(*kneg, 22).put();
    }
}

void abortx(const char *hname, long hname_len)
{
    std::string_view name(hname, hname_len > 0 ? static_cast<std::size_t>(hname_len) : 0);
    grib::MsgLine()
        .text("ABORTX : Routine ")
        .text(name)
        .text(" has requested program")
        .text(" termination.")
        .put();
    std::fflush(stdout);
    std::abort();
}

} /* extern "C" */
