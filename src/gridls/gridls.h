/*
 * gridls.h -- the inventory of an archive: one line per message, a summary,
 * or the codec's listing of one message.
 *
 * gridls reads archives through the same framing as gridpick (archive.h,
 * with heads on disk files) and decodes sections 0 to 2 of each message
 * (operation "I").  Its state is process-wide, in three structs with one
 * instance each, put back to program start by gl_reset():
 *   gl_run   the command line and where the inventory goes
 *   gl_msg   the message buffer and the codec's section arrays
 *   gl_sum   what the summary of the archive being read has gathered
 */
#ifndef GRIDPICK_GRIDLS_H
#define GRIDPICK_GRIDLS_H

#include "archive.h"
#include <gridpick/grib.h>
#include "sections.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <vector>

/* Exit statuses. */
enum { GL_OK = 0, GL_UNREADABLE = 1, GL_USAGE = 2 };

struct gl_run_state {
    int summary = 0;          /* -s */
    long listing = 0;         /* -V N: the message listed, 0 for none */
    std::FILE *out = stdout;  /* the inventory's lines */
};
extern gl_run_state gl_run;

struct gl_message_state : gp_sections {
    std::span<std::int32_t> buffer;   /* the message read last: the archive's buffer */
};
extern gl_message_state gl_msg;

/* One message as the inventory shows it. */
struct gl_entry {
    long number = 0;            /* from 1 within the archive */
    gp_archive_message where{};
    int year = 0, year_of_century = 0, month = 0, day = 0, hour = 0, minute = 0;
    int code = 0;               /* parameter */
    int centre = 98, table = 128;  /* producer: KSEC1(2), KSEC1(1) */
    int level = 0;              /* its value KSEC1(8) */
    std::string level_text, grid;
    int bits = -1;
    int bitmap = 0;             /* 1: the message has a bit map section */
};

/* Decodes sections 0 to 2 of the message that the framing placed in
 * gl_msg.buffer (n bytes: the message or its head) into *e.  Returns 0, or
 * the codec's return code when it cannot be decoded or is a
 * pseudo-message (e then holds the number and position only). */
int gl_decode(int n, const gp_archive_message &where, long number, gl_entry *e);

/* "N:POS:l=LENGTH:d=YYYYMMDDHH:CODE:NAME:LEVEL:GRID:bits=B[:bitmap][:centre=C]"
 * (NAME from the producer's table, the centre for every producer but the
 * NORVA centre), its
 * start "N:POS:l=LENGTH" alone, and "POS:l=LENGTH" of a message where it
 * was found (POS "o=OFFSET" on disk, "r=RECORD" on tape). */
std::string gl_line(const gl_entry &e);
std::string gl_place(const gl_entry &e);
std::string gl_position(const gp_archive_message &where);

/* The inventory line of the whole message in gl_msg.buffer, then the
 * codec's listing of its sections (grprs0 to grprs4) on standard output,
 * as far as the message decodes. */
void gl_list(int n, const gp_archive_message &where, long number);

/* ---- the summary (summary.cpp) ------------------------------------------ */

struct gl_summary_state {
    long octets = 0;                        /* of the whole messages */
    std::map<long, std::string> times;      /* minute count: "YYYYMMDDHH" */
    std::vector<std::string> params, levels;   /* rows and columns, as met */
    std::map<std::pair<std::size_t, std::size_t>, long> counts;
    std::vector<std::string> orphans, too_long, undecodable;
    gl_entry pending;                       /* a first wind component */
    int have_pending = 0;
};
extern gl_summary_state gl_sum;

/* Every message the framing handed out (decoded or not). */
void gl_summary_whole(const gp_archive_message &where);
/* A decoded message, in archive order. */
void gl_summary_add(const gl_entry &e);
/* A message that cannot be decoded, with the codec's return code. */
void gl_summary_undecodable(const gl_entry &e, int code);
/* The archive's too_long: a message over the buffer size. */
void gl_summary_too_long(void *context, const gp_archive_message *where);
/* Prints the summary of archive name, whose reading met t, on gl_run.out. */
void gl_summary_print(const char *name, const gp_archive_totals &t);

void gl_reset();

#endif
