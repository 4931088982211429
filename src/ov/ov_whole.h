/*
 * ov_whole.h -- a data set written with one call: its bytes are assembled
 * in memory first, so that a data set reaches a file whole or, after a
 * failed write, as a tail that the caller cuts off or removes.  For the
 * programs of this project (C++); the C interface is ov.h.
 */
#ifndef GRIDPICK_OV_WHOLE_H
#define GRIDPICK_OV_WHOLE_H

#include <array>
#include <cstddef>
#include <vector>

#include <gridpick/ov.h>

/* A data set's bytes as a file holds them, and where each of its parts
 * ends (for the message about a write that failed within it).  Reused from
 * one data set to the next; it owns its bytes and refers to nothing else
 * (the labels are static texts), so it may be handed to another thread. */
struct ov_image {
    std::vector<unsigned char> bytes;
    std::array<std::size_t, 11> ends{};
    std::array<const char *, 11> labels{};
    int parts = 0;
};

/* Assembles the data set of hdr into image, preceded by the file magic when
 * with_magic (a new file): the bytes ov_write writes; hdr's lengths are
 * completed as ov_write completes them.  Returns 0, or -1 after ov_write's
 * message for a header it refuses. */
int ov_build_image(OvHeader *hdr, bool with_magic, ov_image &image);

/* Writes image at fd's position with one write (short and interrupted
 * writes retried).  Prints nothing: returns nullptr, or, when the write
 * fails (errno set), the label of the part where it failed: "ov_create
 * write" (the magic), "ov_write header", ..., "ov_write data", "ov_write
 * vdata".  Bytes written before a failure stay in the file. */
const char *ov_put_image(int fd, const ov_image &image);

/* ov_build_image and ov_put_image: 0, or -1 after ov_write's message or
 * the system error with the label of the failing part. */
int ov_write_whole(int fd, OvHeader *hdr, bool with_magic, ov_image &image);

#endif
