// Byte order of the fixed header and real arrays, data sizes, and the raw
// transfer helpers shared by the writer and the reader.
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

#include <sys/stat.h>
#include <unistd.h>

#include "ov_internal.h"

static_assert(sizeof(int) == 4 && sizeof(float) == 4);
static_assert(std::is_standard_layout_v<OvHeader>);
static_assert(offsetof(OvHeader, reserved) == 116);
static_assert(offsetof(OvHeader, comment) == OV_FIXED_HEADER_SIZE);
static_assert(sizeof(OvHeader) == OV_HEADER_AREA_SIZE);
static_assert(sizeof(void *) != 8 || OV_HEADER_AREA_SIZE == 208, "ov.inc states 208");

namespace ov {

namespace {

void put_be32(unsigned char *p, std::uint32_t w)
{
    p[0] = static_cast<unsigned char>(w >> 24);
    p[1] = static_cast<unsigned char>(w >> 16);
    p[2] = static_cast<unsigned char>(w >> 8);
    p[3] = static_cast<unsigned char>(w);
}

std::uint32_t get_be32(const unsigned char *p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
           std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

std::uint32_t get_le32(const unsigned char *p)
{
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[1]} << 8 | std::uint32_t{p[0]};
}

// Reverses the bytes of each of count 32-bit words from in to out (the same
// place or apart).  The compiler leaves a loop of single byte swaps scalar,
// so eight words at a time are swapped in vector registers by shifts and
// masks (in one register where the processor has 256-bit ones); the few
// left over one by one.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define OV_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define OV_WIDE_CLONES
#endif

OV_WIDE_CLONES void swap_words(const unsigned char *in, std::size_t count, unsigned char *out)
{
    using quad = std::uint32_t __attribute__((vector_size(32)));
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        quad w;
        std::memcpy(&w, in + 4 * i, sizeof w);
        w = w >> 24 | (w >> 8 & 0xff00u) | (w << 8 & 0xff0000u) | w << 24;
        std::memcpy(out + 4 * i, &w, sizeof w);
    }
    for (; i < count; i++)
        put_be32(out + 4 * i, get_le32(in + 4 * i));
}

// Limit for a descriptor whose size is unknown: no single part beyond it.
constexpr long long unsized_limit = 1LL << 30;

}  // namespace

void store_fixed(const OvHeader &hdr, unsigned char *out)
{
    const auto *words = reinterpret_cast<const unsigned char *>(&hdr);
    for (int i = 0; i < fixed_words; i++) {
        std::uint32_t w;
        std::memcpy(&w, words + 4 * i, 4);
        put_be32(out + 4 * i, w);
    }
}

void load_fixed(const unsigned char *in, int first, int count, OvHeader &hdr)
{
    auto *words = reinterpret_cast<unsigned char *>(&hdr);
    for (int i = 0; i < count; i++) {
        std::uint32_t w = get_be32(in + 4 * i);
        std::memcpy(words + 4 * (first + i), &w, 4);
    }
}

// Reals travel as 32-bit words: on a little-endian host each word's bytes
// are reversed, on a big-endian one they are copied as they are.
void store_reals(const float *values, std::size_t count, unsigned char *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(values);
    if constexpr (std::endian::native == std::endian::big)
        std::memmove(out, in, 4 * count);
    else
        swap_words(in, count, out);
}

void reals_from_file_order(float *values, std::size_t count)
{
    auto *bytes = reinterpret_cast<unsigned char *>(values);
    if constexpr (std::endian::native != std::endian::big)
        swap_words(bytes, count, bytes);
}

bool read_all(int fd, void *buf, std::size_t n)
{
    auto *p = static_cast<char *>(buf);
    while (n > 0) {
        ssize_t got = ::read(fd, p, n);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

long long bytes_left(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return unsized_limit;
    off_t pos = lseek(fd, 0, SEEK_CUR);
    if (pos < 0)
        return unsized_limit;
    return st.st_size > pos ? static_cast<long long>(st.st_size - pos) : 0;
}

}  // namespace ov

extern "C" {

long long ov_data_size(int type, int num_rows, int num_columns)
{
    if (num_rows < 0)
        return -1;
    switch (type) {
    case OV_OUTLINE:
        return 4LL * num_rows;
    case OV_UNGRIDDED_VECTOR:
        return 16LL * num_rows;
    case OV_UNGRIDDED_SCALAR:
        return 12LL * num_rows;
    default:
        if (num_columns < 0)
            return -1;
        // At most (2^31)^2 * 4 = 2^64: check before multiplying by 4.
        long long cells = static_cast<long long>(num_rows) * num_columns;
        if (cells > std::numeric_limits<long long>::max() / 4)
            return -1;
        return 4 * cells;
    }
}

int ov_has_vdata(int type)
{
    return type == OV_VECTOR || type == OV_OUTLINE;
}

void *gimme(size_t size, const char *label)
{
    void *p = std::malloc(size > 0 ? size : 1);
    if (!p)
        std::perror(label);
    return p;
}

}  // extern "C"
