/*
 * frame.h -- an archive as a sequence of whole GRIB messages.
 *
 * Every program that reads archives walks them with gp_frame_next: it sits on
 * a unit of the unit layer (tpio.h) and hands out one whole message at a
 * time.  A message is whole when its length is known (octets 5-7 in edition
 * 1; older editions are measured by walking their sections), it fits the
 * caller's buffer, "7777" stands at its end and, in edition 1, the lengths of
 * its sections add up to its declared length.  Anything else is reported on
 * standard error, counted in gp_frame and passed over, so that damage costs
 * the damaged message and never a whole one beside it:
 *   disk file   the search for the next "GRIB" goes on four octets after the
 *               start of a damaged message; bytes that are not GRIB between
 *               messages are reported once (zero bytes are padding);
 *   tape        a message starts on a record that begins with "GRIB" and
 *               takes the records after it up to its length; a record that
 *               begins with "GRIB" always starts a new message, so a message
 *               cut short by it, by a tape mark or by a record that cannot be
 *               read is dropped alone.  After a damaged message, and after a
 *               skip (mtskip_rec), records that do not begin a message are
 *               passed over without a word: they are the rest of one.
 *
 * Messages are printed on gp_frame.report (standard error) with the prefix
 * gp_frame.program ("gridpick"):
 *   "P: GRIB message at offset N is damaged (WHY); passed over"
 *   "P: GRIB message at record N is damaged (WHY); passed over"
 *   "P: GRIB message at offset N is of GRIB edition E; passed over" (or
 *    "at record N"): an edition byte of 2 or more, which the codec does not
 *    decode; an edition 2 message whose "7777" stands where its length
 *    (octets 9 to 16) ends is passed over whole, on disk
 *   "P: GRIB message of L bytes at offset N does not fit the buffer of B
 *    bytes; passed over" (or "at record N"): a whole message too long
 *   "P: N bytes that are not GRIB passed over at offset O"
 *   "P: record N does not begin a GRIB message; passed over"
 *   "P: record N of the tape image is flagged bad; passed over"
 *   "P: tape image damaged at record N (length words that do not agree);
 *    K octets passed over"
 *   "P: record N cannot be read (ERROR); passed over"
 *   "P: cannot read NAME: ERROR" (the reading ends, gp_frame.error is set)
 *   "mtopen: NAME: ERROR" (gp_frame_open)
 * WHY is one of "cut short by the end of the file", "no 7777 at its end",
 * "its sections do not add up to its length of L octets", "its length
 * cannot be read", "its end cannot be read" (a disk file that cannot seek),
 * "cut short: record N begins another message", "cut short by a tape mark
 * or the end of the tape at record N", "cut short: record N cannot be
 * read".  On tape, a message too long is not read to its end, and a
 * message whose length cannot be measured in the buffer counts as damaged.
 * Records are counted from 1, tape marks included.
 *
 * Heads (gp_frame.heads 1, for an inventory): on a disk file an edition 1
 * message that is longer than the bytes looked at first is handed out as
 * its head only: sections 0 to 2, then section 3 when present, and the
 * first 11 octets of section 4 (through its bits per value).  Its sections
 * must add up as above and "7777" is looked for where its length ends, but
 * the rest of section 4 is passed over without being read, so that the
 * cost is per message rather than per byte.  Messages that are not judged
 * so (shorter ones, older editions, tapes and tape images) are handed out
 * whole, as without heads; the messages and counts are the same either way.
 */
#ifndef GRIDPICK_FRAME_H
#define GRIDPICK_FRAME_H

#include <cstdint>
#include <cstdio>
#include <vector>

/* Where a message was found. */
enum { GP_FRAME_OFFSET = 0, GP_FRAME_RECORD = 1 };

enum { GP_READ_RETRIES = 20 };   /* failed record reads before giving up */

struct gp_frame_message {
    long position;  /* byte offset of "GRIB", or the number of its first record */
    int at;         /* GP_FRAME_OFFSET (disk file) or GP_FRAME_RECORD */
    int length;     /* the message's length in octets */
};

/* The one instance, gp_frame, holds the settings and counts of the archive
 * being read; gp_frame_reset() puts them back to program start. */
struct gp_frame_state {
    const char *program = "gridpick";  /* prefix of the messages */
    const char *archive = "";  /* the archive's name in messages (the caller's) */
    std::FILE *report = stderr; /* where the messages go */
    long whole = 0;       /* whole messages handed out */
    long damaged = 0;     /* messages passed over: damaged or too long */
    long other_editions = 0; /* messages of an edition after 1 passed over */
    long passed_over = 0; /* octets passed over: those of the messages passed
                             over, of records and bytes that are not GRIB and
                             of damaged tape image framing (zero padding on
                             disk not counted) */
    int error = 0;        /* errno of the read failure that ended the
                             archive, 0 while none */
    int heads = 0;        /* 1: disk files hand out heads (above); read at
                             each gp_frame_next, and by gp_frame_open so
                             that its first read is small too */
    void (*too_long)(const gp_frame_message *) = nullptr; /* when not null,
                             told of each whole message passed over as too
                             long for the buffer */
    const void *buffer = nullptr; /* the buffer of the last call and how */
    long dirty = 0;       /* many of its bytes may not be zero (internal) */
    int quiet = 0;        /* 1: records that do not begin a message are the
                             rest of one passed over (internal) */
    int failing = 0;      /* 1: the last read failed (internal) */
};
extern gp_frame_state gp_frame;

/* program "gridpick", archive "", every count 0. */
void gp_frame_reset();

/* Opens name (name_len characters) for reading on unit and makes sure that
 * it can be read (tape devices are read only at their first record).
 * Returns 0; or -1 after "mtopen: NAME: ERROR" or "P: cannot read NAME:
 * ERROR" on standard error.  gp_frame.archive becomes name, which the caller
 * keeps alive while it reads. */
int gp_frame_open(int unit, const char *name);

/* The next whole message of the archive on unit, at the start of buffer
 * (words 32-bit words, the codec's KGRIB).  Returns the bytes
 * placed in the buffer: the message's length on a disk file, on a tape its
 * records' bytes (the message and the padding of its last record); the
 * buffer past them is zero, so that nothing of an earlier message is ever
 * decoded (with heads, as long as only the framing writes into the buffer
 * between calls); with heads it may be the head alone.  *where gets its
 * position and length.  Returns -1 at the end of
 * the archive, or when the reading fails (gp_frame.error then holds the
 * errno, reported as above). */
int gp_frame_next(int unit, std::int32_t *buffer, int words, gp_frame_message *where);

/* gp_frame_next into a buffer that grows (to at least GP_IGRIB_WORDS words
 * at once, then) to what a whole message needs, up to the largest length
 * an edition 1 message can state (GP_MAX_MESSAGE octets, sections.h), and
 * is reused while messages fit: no message is passed over as too long
 * unless it states more.  A message longer than the window of the unit
 * layer is copied in pieces.  The buffer is the caller's; the framing holds
 * on to it only during the call. */
int gp_frame_next_grow(int unit, std::vector<std::int32_t> &buffer, gp_frame_message *where);

/* Length in octets of the message at the start of buffer (words 32-bit
 * words) by the codec's operation "L"; *edition gets its edition (1, 0 or
 * -1 for the experimental one).  -1 when the codec cannot establish it. */
int gp_frame_measure(std::int32_t *buffer, int words, int *edition);

#endif
