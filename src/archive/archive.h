/*
 * archive.h -- an archive as a sequence of whole GRIB messages.
 *
 * gp_archive_open opens an archive on a free unit of the unit layer (tpio.h)
 * and returns its handle; gp_archive_next hands out one whole message at a
 * time, gp_archive_close ends the reading.  Each handle keeps its own
 * settings, counts, errors and message buffer, so several archives may be
 * read at once (by one thread at a time each; the unit layer has
 * GP_UNIT_COUNT units).
 *
 * A message is whole when its length is known (octets 5-7 in edition 1;
 * older editions are measured by walking their sections), it fits the
 * buffer, "7777" stands at its end and, in edition 1, the lengths of its
 * sections add up to its declared length.  Anything else is reported,
 * counted in the handle and passed over, so that damage costs the damaged
 * message and never a whole one beside it:
 *   disk file   the search for the next "GRIB" goes on four octets after the
 *               start of a damaged message; bytes that are not GRIB between
 *               messages are reported once (zero bytes are padding);
 *   tape        a message starts on a record that begins with "GRIB" and
 *               takes the records after it up to its length; a record that
 *               begins with "GRIB" always starts a new message, so a message
 *               cut short by it, by a tape mark or by a record that cannot be
 *               read is dropped alone.  After a damaged message, and after a
 *               skip (gp_archive_skip_records), records that do not begin a
 *               message are passed over without a word: they are the rest of
 *               one.
 *
 * Reports, each one line with the prefix P (options->program, "gridpick"):
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
 *   "P: cannot read NAME: ERROR" (the reading ends; the counts' error is set)
 * WHY is one of "cut short by the end of the file", "no 7777 at its end",
 * "its sections do not add up to its length of L octets", "its length
 * cannot be read", "its end cannot be read" (a disk file that cannot seek),
 * "cut short: record N begins another message", "cut short by a tape mark
 * or the end of the tape at record N", "cut short: record N cannot be
 * read".  On tape, a message too long is not read to its end, and a
 * message whose length cannot be measured in the buffer counts as damaged.
 * Records are counted from 1, tape marks included.
 *
 * Heads (options->heads 1, for an inventory): on a disk file an edition 1
 * message that is longer than the bytes looked at first is handed out as
 * its head only: sections 0 to 2, then section 3 when present, and the
 * first 11 octets of section 4 (through its bits per value).  Its sections
 * must add up as above and "7777" is looked for where its length ends, but
 * the rest of section 4 is passed over without being read, so that the
 * cost is per message rather than per byte.  Messages that are not judged
 * so (shorter ones, older editions, tapes and tape images) are handed out
 * whole, as without heads; the messages and counts are the same either way.
 */
#ifndef GRIDPICK_ARCHIVE_H
#define GRIDPICK_ARCHIVE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

/* Where a message was found. */
enum { GP_AT_OFFSET = 0, GP_AT_RECORD = 1 };

enum { GP_READ_RETRIES = 20 };   /* failed record reads before giving up */

/* A message handed out by gp_archive_next. */
struct gp_archive_message {
    std::span<std::int32_t> words; /* the handle's buffer: the message at its
                                      start, zero past it; valid until the
                                      next call on the handle */
    int bytes;      /* bytes of the message placed there: its length on a disk
                       file, on a tape its records' bytes (the message and the
                       padding of its last record); with heads possibly the
                       head alone */
    long position;  /* byte offset of "GRIB", or the number of its first record */
    int at;         /* GP_AT_OFFSET (disk file) or GP_AT_RECORD */
    int length;     /* the message's length in octets */
};

/* How an archive is read; every member may be left at its default. */
struct gp_archive_options {
    const char *program = "gridpick"; /* prefix of the reports */
    std::FILE *report = nullptr;      /* where reports go (null: standard error) */
    void (*report_line)(void *context, const char *line) = nullptr;
                          /* when not null, given each report instead: the
                             line as it would be printed, without its newline */
    void *context = nullptr;          /* given to report_line and too_long */
    int heads = 0;        /* 1: disk files hand out heads (above) */
    long whole_at = 0;    /* with heads: message number whole_at (counted from
                             1) is handed out whole; 0 none */
    int buffer_words = 0; /* 0: the buffer grows (from GP_IGRIB_WORDS words)
                             to what a whole message needs, up to the longest
                             length edition 1 can state (GP_MAX_MESSAGE
                             octets); otherwise a buffer of that many words
                             (at least 4), which longer messages do not fit */
    void (*too_long)(void *context, const gp_archive_message *where) = nullptr;
                          /* when not null, told of each whole message passed
                             over as too long for the buffer (words empty) */
};

/* What the reading of an archive has met so far. */
struct gp_archive_totals {
    long whole;           /* whole messages handed out */
    long damaged;         /* messages passed over: damaged or too long */
    long other_editions;  /* messages of an edition after 1 passed over */
    long passed_over;     /* octets passed over: those of the messages passed
                             over, of records and bytes that are not GRIB and
                             of damaged tape image framing (zero padding on
                             disk not counted) */
    int error;            /* errno of the read failure that ended the
                             archive, 0 while none */
};

struct gp_archive;

/* Opens the archive path on a free unit and makes sure that it can be read
 * (tape devices are read only at their first record).  options may be null
 * for the defaults; the handle keeps a copy of them and of path.  Returns
 * the handle, which the caller closes with gp_archive_close; or null with
 * the reason in error (at most error_size bytes, without a newline, when
 * error is not null): "mtopen: NAME: ERROR" when it cannot be opened (also
 * when every unit is taken: "Bad file descriptor"; a null path: "Bad
 * address"), "P: cannot read NAME: ERROR" when its first bytes cannot be
 * read.  Every other call takes a handle that is open (not null). */
gp_archive *gp_archive_open(const char *path, const gp_archive_options *options, char *error,
                            std::size_t error_size);

/* The next whole message into *message.  Returns the bytes placed in the
 * buffer (message->bytes); -1 at the end of the archive, or when the reading
 * fails (the totals' error then holds the errno, reported as above) or
 * failed before. */
int gp_archive_next(gp_archive *archive, gp_archive_message *message);

/* Moves forward over count records of a tape or tape image without reading
 * them (the records after it that do not begin a message are passed over
 * without a word).  0, or -1 with errno: a disk file does not move
 * (ENOTTY); a tape image stops after a tape mark or at its end (EIO). */
int gp_archive_skip_records(gp_archive *archive, int count);

/* Disk files: up to n bytes from byte offset into buffer, without moving
 * the reading.  The bytes read, fewer at the end of the file; -1 on an
 * error or when the archive is a tape or tape image. */
long gp_archive_read_at(gp_archive *archive, long offset, void *buffer, std::size_t n);

/* The counts and error of the reading so far. */
gp_archive_totals gp_archive_counts(const gp_archive *archive);

/* Closes the archive's unit and frees the handle; null is allowed. */
void gp_archive_close(gp_archive *archive);

/* A handle that closes itself. */
struct gp_archive_closer {
    void operator()(gp_archive *archive) const { gp_archive_close(archive); }
};
using gp_archive_ptr = std::unique_ptr<gp_archive, gp_archive_closer>;

/* Length in octets of the message at the start of buffer (words 32-bit
 * words) by the codec's operation "L"; *edition gets its edition (1, 0 or
 * -1 for the experimental one).  -1 when the codec cannot establish it. */
int gp_archive_measure(std::int32_t *buffer, int words, int *edition);

#endif
