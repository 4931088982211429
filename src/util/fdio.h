/*
 * fdio.h -- whole-buffer writes to a descriptor, for the writers of the
 * project (ov files, tape images, archives).  Not installed.
 */
#ifndef GRIDPICK_FDIO_H
#define GRIDPICK_FDIO_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Writes all n bytes of buf to the descriptor fd, retrying short and
 * interrupted writes.  0, or -1 when the system refuses (errno set) or
 * takes nothing. */
int write_all(int fd, const void *buf, size_t n);

#ifdef __cplusplus
}
#endif

#endif
