/*
 * ov_whole.h -- a data set written with one call: its bytes are assembled
 * in memory first, so that a data set reaches a file whole or, after a
 * failed write, as a tail that the caller cuts off or removes.  For the
 * programs of this project (C++); the C interface is ov.h.
 */
#ifndef GRIDPICK_OV_WHOLE_H
#define GRIDPICK_OV_WHOLE_H

#include <vector>

#include <gridpick/ov.h>

/* Writes the data set of hdr at fd's position, preceded by the file magic
 * when with_magic (a new file), with one write (short and interrupted
 * writes retried).  The bytes are those ov_write writes, and hdr's lengths
 * are completed as ov_write completes them; buffer holds the assembled
 * bytes (grown as needed, the caller's to keep for the next data set).
 * Returns 0, or -1 after ov_write's message for a header it refuses, or,
 * when the write fails, after the system error with the label of the part
 * where it failed: "ov_create write" (the magic), "ov_write header", ...,
 * "ov_write data", "ov_write vdata".  Bytes written before a failure stay
 * in the file. */
int ov_write_whole(int fd, OvHeader *hdr, bool with_magic, std::vector<unsigned char> &buffer);

#endif
