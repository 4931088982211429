/*
 * xgp.h -- the selector dialog, the default way of choosing what to extract.
 */
#ifndef GRIDPICK_XGP_H
#define GRIDPICK_XGP_H

/* Runs the selector dialog until OK or Cancel closes it.  OK copies the
 * chosen levels (rebuilding level and num_levels), parameters (setting param
 * flags) and both dates (with first_day and last_day) into gp_run; Cancel
 * copies nothing.  The "Ask Me About Each Data Set:" choice sets
 * gp_run.prompt_user the moment it changes, Cancel or not.  Returns 0 once
 * the dialog has closed, or -1 when no X display can be opened: then it
 * has printed "gridpick: cannot open the X display; asking at the terminal
 * instead" on standard error, gp_run is untouched, and the caller asks at the terminal.
 * Should the dialog's objects not be built (out of memory), it returns -1
 * in the same way after "gridpick: cannot build the selector dialog; asking
 * at the terminal instead".  Only argv[0] is used (as the window class).
 * The window manager's close button acts as Cancel. */
int xmain(int argc, char **argv);

#endif
