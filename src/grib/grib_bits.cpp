/*
 * grib_bits.cpp -- bit fields of 0 to 32 bits in a big-endian word array.
 */
#include "grib_bits.h"

#include <bit>
#include <cstring>
#include <limits>

#include "grib_format.h"

namespace {

const unsigned char *octets(const gint *w) { return reinterpret_cast<const unsigned char *>(w); }
unsigned char *octets(gint *w) { return reinterpret_cast<unsigned char *>(w); }

uint32_t load_word(const gint *w, int64_t i)
{
    const unsigned char *p = octets(w) + 4 * i;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void store_word(gint *w, int64_t i, uint32_t v)
{
    unsigned char *p = octets(w) + 4 * i;
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

uint32_t low_mask(int n)
{
    return n >= 32 ? 0xffffffffu : (uint32_t{1} << n) - 1u;
}

gint as_gint(uint32_t v)
{
    gint r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

uint32_t as_u32(gint v)
{
    uint32_t r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

/* Eight octets as one big-endian number, whatever the host's order. */
uint64_t load_be64(const unsigned char *p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::little)
        w = __builtin_bswap64(w);
    return w;
}

/* Streaming reader over octets: reads only the octets the fields cover. */
struct BitReader {
    const unsigned char *p;
    uint64_t acc = 0;
    int have = 0;

    BitReader(const unsigned char *base, int64_t bit) : p(base + bit / 8)
    {
        int skip = static_cast<int>(bit % 8);
        if (skip) {
            acc = *p++;
            have = 8 - skip;
        }
    }
    uint32_t get(int n)
    {
        if (n == 0)
            return 0;
        while (have < n) {
            acc = (acc << 8) | *p++;
            have += 8;
        }
        have -= n;
        return static_cast<uint32_t>(acc >> have) & low_mask(n);
    }
};

template <typename F>
void for_each_value(const unsigned char *base, int64_t bit, int nbits, int64_t n, F put)
{
    if (n <= 0)
        return;
    const unsigned char *p = base + bit / 8;
    bool aligned = bit % 8 == 0;
    if (nbits == 0) {
        for (int64_t i = 0; i < n; i++)
            put(i, 0u);
    } else if (aligned && nbits == 8) {
        for (int64_t i = 0; i < n; i++)
            put(i, uint32_t{p[i]});
    } else if (aligned && nbits == 16) {
        for (int64_t i = 0; i < n; i++)
            put(i, (uint32_t{p[2 * i]} << 8) | p[2 * i + 1]);
    } else if (aligned && nbits == 24) {
        for (int64_t i = 0; i < n; i++)
            put(i, (uint32_t{p[3 * i]} << 16) | (uint32_t{p[3 * i + 1]} << 8) | p[3 * i + 2]);
    } else if (aligned && nbits == 32) {
        for (int64_t i = 0; i < n; i++)
            put(i, (uint32_t{p[4 * i]} << 24) | (uint32_t{p[4 * i + 1]} << 16) |
                       (uint32_t{p[4 * i + 2]} << 8) | p[4 * i + 3]);
    } else if (aligned && nbits == 12) {
        int64_t pairs = n / 2;
        for (int64_t k = 0; k < pairs; k++) {
            const unsigned char *q = p + 3 * k;
            put(2 * k, (uint32_t{q[0]} << 4) | (q[1] >> 4));
            put(2 * k + 1, ((uint32_t{q[1]} & 0x0fu) << 8) | q[2]);
        }
        if (n % 2) {
            const unsigned char *q = p + 3 * pairs;
            put(n - 1, (uint32_t{q[0]} << 4) | (q[1] >> 4));
        }
    } else {
        /* any other width: a 64-bit window per value while eight octets
         * remain inside the run, then octet by octet */
        const int64_t end = (bit + n * nbits + 7) / 8;
        int64_t i = 0;
        for (; i < n; i++) {
            int64_t b = bit + i * nbits;
            if (b / 8 + 8 > end)
                break;
            uint64_t w = load_be64(base + b / 8);
            put(i, static_cast<uint32_t>((w << (b % 8)) >> (64 - nbits)));
        }
        if (i < n) {
            BitReader r(base, bit + i * nbits);
            for (; i < n; i++)
                put(i, r.get(nbits));
        }
    }
}

} // namespace

bool grib_bits_fit(gint kleng, int64_t bit, int64_t count)
{
    if (bit < 0 || count < 0 || kleng < 0)
        return false;
    return bit + count <= int64_t{kleng} * 32;
}

void grib_bits_report(int64_t knspt, gint kleng)
{
    grib::MsgLine()
        .text("INXBIT : Word ")
        .i(knspt / 32, 8)
        .text(" is outside array bounds ")
        .i(kleng, 8)
        .put();
}

void grib_get_run(const unsigned char *base, int64_t bit, int nbits, int64_t n, gint *out)
{
    for_each_value(base, bit, nbits, n, [out](int64_t i, uint32_t v) { out[i] = as_gint(v); });
}

int64_t grib_count_ones(const unsigned char *base, int64_t bit, int64_t n)
{
    int64_t count = 0;
    for_each_value(base, bit, 1, n, [&count](int64_t, uint32_t v) { count += v; });
    return count;
}

namespace {

/* A second copy for processors with 256-bit registers, chosen at load. */
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define GRIB_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define GRIB_WIDE_CLONES
#endif

/* Octet-aligned 16-bit values, eight at a time in vector registers: the
 * same single-precision product and sum per value as the general path, so
 * the results are the same to the bit.  Returns how many it did. */
GRIB_WIDE_CLONES int64_t unpack_scaled_16(const unsigned char *p, int64_t n, float ref,
                                          float scale, float *out)
{
    using u16x8 = uint16_t __attribute__((vector_size(16)));
    using i32x8 = int32_t __attribute__((vector_size(32)));
    using f32x8 = float __attribute__((vector_size(32)));
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
        u16x8 w;
        std::memcpy(&w, p + 2 * i, sizeof w);
        if constexpr (std::endian::native == std::endian::little)
            w = w >> 8 | w << 8;
        f32x8 v = __builtin_convertvector(__builtin_convertvector(w, i32x8), f32x8);
        f32x8 r = ref + v * scale;
        std::memcpy(out + i, &r, sizeof r);
    }
    return i;
}

} // namespace

void grib_unpack_scaled(const unsigned char *base, int64_t bit, int nbits, int64_t n, float ref,
                        float scale, float *out)
{
    if (nbits == 0) {
        for (int64_t i = 0; i < n; i++)
            out[i] = ref;
        return;
    }
    if (nbits == 16 && bit % 8 == 0 && n > 0) {
        int64_t done = unpack_scaled_16(base + bit / 8, n, ref, scale, out);
        base += (bit + 16 * done) / 8;
        bit = 0;
        out += done;
        n -= done;
    }
    for_each_value(base, bit, nbits, n, [out, ref, scale](int64_t i, uint32_t v) {
        out[i] = ref + static_cast<float>(v) * scale;
    });
}

extern "C" {

void ubyte(gint *words, gint *value, gint *offset, gint *nbits)
{
    int64_t w = 0;
    int o = *offset, n = *nbits;
    if (o >= 32) {
        w = o / 32;
        o %= 32;
    }
    uint32_t high = 0;
    if (o + n > 32) {
        int n2 = n + o - 32;
        high = (load_word(words, w) & low_mask(32 - o)) << n2;
        w++;
        o = 0;
        n = n2;
    }
    uint32_t low = n == 0 ? 0 : (load_word(words, w) >> (32 - (o + n))) & low_mask(n);
    *value = as_gint(high + low);
}

void pbyte(gint *words, gint *value, gint *offset, gint *nbits)
{
    int64_t w = 0;
    int o = *offset, n = *nbits;
    uint32_t v = as_u32(*value);
    if (o >= 32) {
        w = o / 32;
        o %= 32;
    }
    if (o + n > 32) {
        int n2 = n + o - 32;
        uint32_t keep = o == 0 ? 0 : load_word(words, w) & ~low_mask(32 - o);
        store_word(words, w, keep | ((v >> n2) & low_mask(32 - o)));
        w++;
        o = 0;
        n = n2;
    }
    if (n == 0)
        return;
    int shift = 32 - (o + n);
    uint32_t mask = low_mask(n) << shift;
    uint32_t word = load_word(words, w);
    store_word(words, w, (word & ~mask) | ((v & low_mask(n)) << shift));
}

void gsbytes(gint *words, gint *values, gint *ioff, gint *nbits, gint *nskip, gint *n,
             grib_byte_op op)
{
    int64_t w = 0, b = *ioff;
    for (gint i = 0; i < *n; i++) {
        gint off = static_cast<gint>(b);
        op(words + w, values + i, &off, nbits);
        b += int64_t{*nbits} + *nskip;
        w += b / 32;
        b %= 32;
    }
}

void ubytes(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    if (*nskip == 0 && *ioff >= 0) {
        grib_get_run(octets(source), *ioff, *nbits, *n, dest);
        return;
    }
    gsbytes(source, dest, ioff, nbits, nskip, n, ubyte);
}

void pbytes(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    gsbytes(dest, source, ioff, nbits, nskip, n, pbyte);
}

void gbytes(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    ubytes(source, dest, ioff, nbits, nskip, n);
}

void sbytes(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    pbytes(dest, source, ioff, nbits, nskip, n);
}

void gbyte(gint *source, gint *dest, gint *ioff, gint *nbits)
{
    gint zero = 0, one = 1;
    gbytes(source, dest, ioff, nbits, &zero, &one);
}

void sbyte(gint *dest, gint *source, gint *ioff, gint *nbits)
{
    gint zero = 0, one = 1;
    sbytes(dest, source, ioff, nbits, &zero, &one);
}

void swap4(void *in, void *out, gint *n)
{
    const unsigned char *s = static_cast<const unsigned char *>(in);
    unsigned char *d = static_cast<unsigned char *>(out);
    gint k = 0;
    for (; k + 4 <= *n; k += 4) {
        unsigned char a = s[k], b = s[k + 1], c = s[k + 2], e = s[k + 3];
        d[k] = e;
        d[k + 1] = c;
        d[k + 2] = b;
        d[k + 3] = a;
    }
    for (; k < *n; k++)
        d[k] = s[k];
}

void swap2(void *in, void *out, gint *n)
{
    const unsigned char *s = static_cast<const unsigned char *>(in);
    unsigned char *d = static_cast<unsigned char *>(out);
    gint k = 0;
    for (; k + 2 <= *n; k += 2) {
        unsigned char a = s[k], b = s[k + 1];
        d[k] = b;
        d[k + 1] = a;
    }
    for (; k < *n; k++)
        d[k] = s[k];
}

void inxbit(gint *kgrib, gint *kleng, gint *knspt, gint *kparm, gint *knum, gint *kbit,
            gint *kblen, const char *hfunc, gint *kret, long hfunc_len)
{
    *kret = 0;
    int64_t start = *knspt;
    int64_t total = int64_t{*kblen} * *knum;
    int64_t next = start + total;
    gint advanced = next > std::numeric_limits<gint>::max() ? std::numeric_limits<gint>::max()
                                                              : static_cast<gint>(next);
    bool sane = *kblen >= 0 && *kblen <= 32 && *knum >= 0 && *kbit == 32;
    if (!sane || !grib_bits_fit(*kleng, start, total)) {
        *knspt = advanced;
        *kret = 1;
        grib_bits_report(next, *kleng);
        return;
    }
    gint iword = static_cast<gint>(start / 32);
    gint ioff = static_cast<gint>(start % 32);
    gint zero = 0;
    if (hfunc_len > 0 && hfunc[0] == 'C')
        sbytes(kgrib + iword, kparm, &ioff, kblen, &zero, knum);
    else
        gbytes(kgrib + iword, kparm, &ioff, kblen, &zero, knum);
    *knspt = advanced;
}

} /* extern "C" */
