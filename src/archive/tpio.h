/*
 * tpio.h -- the unit layer under the archive reader.
 *
 * Five units (0..4), each open on one archive of one of three kinds, told
 * apart when it is opened:
 *   TPIO_TAPE   a tape device: one record per read, forward spacing with
 *               the MTFSR tape operation;
 *   TPIO_SIMH   a tape image in the SIMH format: every record framed by its
 *               length as a 4-byte little-endian word before and after it
 *               (the top byte 0, or 0x80 for a record flagged bad), odd
 *               lengths padded by one byte (images whose writer did not pad
 *               are read too), a zero word for a tape mark and 0xFFFFFFFF
 *               for the end of the medium.  A regular file is taken for one
 *               only when, after any tape marks, it begins with the end of
 *               the medium or with a record whose two length words agree;
 *   TPIO_DISK   any other file (GRIB messages on disk, also after any number
 *               of zero bytes): reads return bytes as they come; the framing
 *               (archive.h) finds the messages through the tpio_disk_* calls.
 *
 * Tape images are trusted only where a record's length words agree.  Where
 * they do not (a damaged word, a missing trailing word, an erase gap, an
 * image cut inside a record), the read resynchronises on the next record
 * whose length words agree and which is followed by a tape mark, the end of
 * the medium or of the file, or another such record.
 *
 * The mt* calls take every argument by address and have C linkage, so
 * callers that pass everything by reference use them unchanged.  Each
 * returns what the underlying call returns: a negative result leaves errno
 * set for the caller to report.
 */
#ifndef GRIDPICK_TPIO_H
#define GRIDPICK_TPIO_H

#include <climits>
#include <cstddef>

enum { TPIO_CLOSED = 0, TPIO_TAPE = 1, TPIO_SIMH = 2, TPIO_DISK = 3 };

enum {
    GP_UNIT_COUNT = 5,
    GP_DEVICE_MAX = PATH_MAX - 1, /* longest archive name a unit opens */
    GP_RECORD_SIZE = 10560     /* bytes asked of every record read */
};

extern "C" {

/* Opens the first *name_len characters of name (at most GP_DEVICE_MAX,
 * else -1 with errno ENAMETOOLONG) with open mode *mode on unit
 * *unit (0..4, else -1 with EBADF).  Returns the descriptor, also kept in
 * the unit, or -1. */
int mtopen(int *unit, const char *name, int *mode, int *name_len);

/* Closes the unit; 0, or -1 when it was not open. */
int mtclose(int *unit);

/* One read of at most *len bytes: one record on a tape or tape image (a
 * longer record is cut to *len bytes, the rest passed over), 0 at a tape
 * mark, at the end of the medium or of a file; -1 on error, with errno set
 * and tpio_fault telling what was met.  A tape image's record flagged bad,
 * and damaged framing up to the resynchronisation, are passed over with
 * errno EIO and count as one record. */
int mtread(int *unit, void *buffer, int *len);

/* One write of *len bytes: on a tape image one framed record; a length of
 * 0 writes a tape mark there.  Returns the bytes written or -1. */
int mtwrite(int *unit, const void *buffer, int *len);

/* Moves forward over *count records without reading them.  A tape image
 * stops after a tape mark or at the end of the medium and then returns -1
 * (EIO); a disk file does not move (-1, ENOTTY).  0 on success. */
int mtskip_rec(int *unit, int *count);

}

/* What the last mtread that returned -1 on unit met:
 *   TPIO_FAULT_READ     the system's read failed (errno);
 *   TPIO_FAULT_FLAGGED  a tape image's record flagged bad;
 *   TPIO_FAULT_FRAMING  tape image framing whose length words do not agree;
 *                       *octets (when not null) gets the bytes passed over
 *                       up to the next consistent record or the end;
 * TPIO_FAULT_NONE after a read that succeeded. */
enum { TPIO_FAULT_NONE = 0, TPIO_FAULT_READ, TPIO_FAULT_FLAGGED, TPIO_FAULT_FRAMING };
int tpio_fault(int unit, long *octets);

/* 0 when the archive on unit can be read: disk files and tape images read
 * their first bytes (kept for the reads that follow); tape devices are not
 * read before their first record.  -1 with errno otherwise. */
int tpio_probe(int unit);

/* Kind of the archive open on unit (TPIO_CLOSED when none). */
int tpio_kind(int unit);

/* Records read or skipped so far on a tape or tape image (the number of the
 * next record, counted from 0). */
long tpio_record(int unit);

/* 1 when the unit moved with mtskip_rec since the last record that began a
 * message (tpio_mark_message): the next records may be the rest of a
 * message. */
int tpio_after_skip(int unit);
void tpio_mark_message(int unit);

/* Disk units: the byte offset of the reading position; peek makes at least
 * n bytes from it available without moving (n at most 256 KiB; fewer only
 * at the end of the file), points data at them and returns how many bytes
 * are available, possibly more than n; consume moves forward by n bytes.
 * -1 on a read error. */
long tpio_disk_offset(int unit);
long tpio_disk_peek(int unit, std::size_t n, const unsigned char **data);
void tpio_disk_consume(int unit, std::size_t n);

/* Disk units: each read of the file asks for at most n bytes, or for what
 * a peek needs when that is more (0: 256 KiB, the default), so that a
 * reader that consumes past most of the bytes does not read them.  With
 * such a small read-ahead, tpio_disk_read_at of at most n bytes fetches n
 * and keeps them for the peek that reaches them: a reader that checks the
 * end of what it passes over reads the bytes after it in the same call.
 * Files that can seek are read with pread at the reading position, which
 * consume only moves. */
void tpio_disk_read_ahead(int unit, std::size_t n);

/* Disk units: up to n bytes from byte offset into buf without moving the
 * reading position (a disk file that cannot seek: only from the bytes that
 * peek can make available).  The bytes there, fewer at the end of the
 * file; -1 on error. */
long tpio_disk_read_at(int unit, long offset, void *buf, std::size_t n);

/* A unit that is not open, the highest first; -1 when every one is. */
int tpio_free_unit();

/* Closes every unit. */
void tpio_reset();

#endif
