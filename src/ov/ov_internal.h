// Internal helpers of the ov library: the one place where the fixed header
// and the real arrays change between host and file (big-endian) byte order,
// and full-count reads.
#ifndef GRIDPICK_OV_INTERNAL_H
#define GRIDPICK_OV_INTERNAL_H

#include <cstddef>
#include <cstdint>

#include <gridpick/ov.h>

namespace ov {

constexpr int fixed_words = OV_FIXED_HEADER_SIZE / 4;

// The 34 fixed words of hdr as the file holds them.
void store_fixed(const OvHeader &hdr, unsigned char *out);

// Words first..first+count-1 of the fixed header from their file image
// (in points at word first).
void load_fixed(const unsigned char *in, int first, int count, OvHeader &hdr);

// count reals to big-endian bytes, and big-endian bytes to reals in place
// (the bytes as read lie in the array itself).
void store_reals(const float *values, std::size_t count, unsigned char *out);
void reals_from_file_order(float *values, std::size_t count);

// Reads all n bytes, retrying short transfers; false when the system
// refuses or the file ends first.  (Writes go through write_all, fdio.h.)
bool read_all(int fd, void *buf, std::size_t n);

// Bytes left between the descriptor's position and the end of the file; a
// large limit for descriptors without a size (pipes).
long long bytes_left(int fd);

}  // namespace ov

#endif
