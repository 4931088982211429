/*
 * plan.h -- what goes where in the netCDF file ov2nc writes: its variables,
 * times and levels, and the place of every array of every data set.
 *
 * The plan is made from the headers alone (plan_add for each data set in
 * reading order, then plan_finish); the writer then reads the data sets
 * again in the same order and puts each array where the plan says.
 * Messages begin with "ov2nc: " and go to standard error.
 */
#ifndef GRIDPICK_OV2NC_PLAN_H
#define GRIDPICK_OV2NC_PLAN_H

#include <cstdio>
#include <string>
#include <vector>

#include "ovset.h"

/* One netCDF variable: a parameter, or one component of a vector. */
struct plan_var {
    std::string name;           /* extension name or p<code>, u_/v_ for components */
    int code = 0;               /* parameter code */
    std::string units;          /* of its first data set */
    std::string long_name;
    std::string standard_name;  /* "" or the CF name of a wind component */
    float fill = 0.0f;          /* _FillValue: bad_value of its first data set */
    bool on_levels = false;     /* has the level dimension: a level other than 0 */
    std::vector<int> owner;     /* part at each [time][level] slot, -1: none */
};

/* One array of one data set: the data, or the vdata of a vector. */
struct plan_part {
    int var;
    bool second;                /* the vdata */
    double hours;               /* time: hours since 1900-01-01 00:00 */
    int level;                  /* millibars, 0 at the surface */
    int time_index = -1;        /* set by plan_finish */
    int level_index = -1;
};

/* One data set, in reading order. */
struct plan_field {
    int file;                   /* index into plan::files */
    int number;                 /* its number in the file, from 1 */
    int param, type;            /* to recognise it when it is read again */
    float bad_value;
    int first_part, parts;      /* its parts in plan::parts */
};

struct plan {
    std::FILE *report = stderr; /* where its messages go */
    std::vector<std::string> files;
    OvHeader grid{};            /* header of the first data set, pointers null */
    ovset_axes axes;            /* its latitudes and longitudes */
    std::vector<plan_var> vars;
    std::vector<plan_field> fields;
    std::vector<plan_part> parts;
    std::vector<double> times;  /* ascending */
    std::vector<int> levels;    /* of the variables on levels, descending */
};

/* The variable that a scalar data set of code goes into: its name (a wind
 * component as u_<name> or v_<name>, as in a vector data set), code, long
 * and standard names; units and fill are left for the caller.  source: its
 * producer, null when unknown (gp_param_for_ov). */
plan_var plan_scalar_var(int code, const gp_source *source = nullptr);

/* Adds data set number of files[file], read without its data.  false after
 * a message naming the file and data set when it is no grid, lies on
 * another grid than the first data set, has no valid date, or would put a
 * second parameter code into a variable. */
bool plan_add(plan &p, int file, int number, const OvHeader &h);

/* Orders the times and levels and gives every part its slot.  false after
 * a message when the plan holds no data set, or when two data sets give the
 * same variable at the same time and level. */
bool plan_finish(plan &p);

/* Slots of a variable: times x levels (1 level for a surface variable). */
int plan_level_count(const plan &p, const plan_var &v);

#endif
