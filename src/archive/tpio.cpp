// The unit layer: tape devices, SIMH tape images and disk files.
#include "tpio.h"
#include "fdio.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#if __has_include(<sys/mtio.h>)
#include <sys/mtio.h>
#define TPIO_HAVE_MTIO 1
#endif

#include <cerrno>
#include <climits>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t window_size = 256 * 1024;
constexpr std::uint32_t simh_tape_mark = 0;
constexpr std::uint32_t simh_end_of_medium = 0xFFFFFFFFu;
constexpr std::uint32_t simh_max_length = 0xFFFFFFu;   // the top byte is the record's class
constexpr std::uint32_t simh_bad_class = 0x80000000u;

struct Unit {
    int fd = -1;
    int kind = TPIO_CLOSED;
    long record = 0;       // records read or skipped (tape, tape image)
    int after_skip = 0;
    int at_end = 0;        // tape image: end of medium seen
    int fault = TPIO_FAULT_NONE;
    long fault_octets = 0;
    // Disk files: bytes [beg, end) of win start at file offset off.  Tape
    // images: off is where the next length word stands, and win caches the
    // cached bytes from file offset cache_off.
    std::vector<unsigned char> win;
    std::size_t beg = 0, end = 0;
    long off = 0;
    long cache_off = 0;
    std::size_t cached = 0;
    std::size_t read_ahead = window_size;   // disk files: bytes a read asks for
    int seekable = 0;      // disk files read with pread at off
    std::vector<unsigned char> ahead;   // what tpio_disk_read_at fetched last:
    long ahead_off = 0;                 // bytes from file offset ahead_off
    std::size_t ahead_len = 0;
};

struct TpioState {
    Unit unit[GP_UNIT_COUNT];
};

TpioState gp_tpio;

Unit *unit_at(const int *unit)
{
    if (unit == nullptr || *unit < 0 || *unit >= GP_UNIT_COUNT)
        return nullptr;
    return &gp_tpio.unit[*unit];
}

Unit *open_unit_at(const int *unit)
{
    Unit *u = unit_at(unit);
    if (u == nullptr || u->kind == TPIO_CLOSED) {
        errno = EBADF;
        return nullptr;
    }
    return u;
}

std::uint32_t load_le32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void store_le32(unsigned char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; i++)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Up to n bytes at offset off of the file; fewer at its end, -1 on error.
long read_at(int fd, long off, void *dst, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd, static_cast<char *>(dst) + done, n - done,
                            static_cast<off_t>(off + static_cast<long>(done)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        done += static_cast<std::size_t>(r);
    }
    return static_cast<long>(done);
}

// ---- tape images ---------------------------------------------------------

// Up to n bytes at offset off of a tape image, through its read-ahead.
long image_at(Unit &u, long off, void *dst, std::size_t n)
{
    auto inside = [&] {
        return off >= u.cache_off &&
               off + static_cast<long>(n) <= u.cache_off + static_cast<long>(u.cached);
    };
    if (!inside()) {
        if (n > u.win.size() / 2)
            return read_at(u.fd, off, dst, n);
        long got = read_at(u.fd, off, u.win.data(), u.win.size());
        if (got < 0)
            return -1;
        u.cache_off = off;
        u.cached = static_cast<std::size_t>(got);
        n = std::min(n, u.cached);
    }
    std::memcpy(dst, u.win.data() + (off - u.cache_off), n);
    return static_cast<long>(n);
}

enum { AT_RECORD, AT_MARK, AT_MEDIUM_END, AT_FILE_END, AT_BAD, AT_ERROR, AT_NO_TRAILER };

// What stands at offset off of a tape image: a record whose length words
// agree (*word its leading word, *next where the next frame begins), a tape
// mark, the end of the medium or of the file, or none of these.
int frame_at(Unit &u, long off, std::uint32_t *word, long *next)
{
    unsigned char b[4];
    long got = image_at(u, off, b, 4);
    if (got < 0)
        return AT_ERROR;
    if (got == 0)
        return AT_FILE_END;
    std::uint32_t w = got == 4 ? load_le32(b) : 1;   // a stray tail is damage
    *word = w;
    *next = off + 4;
    if (got == 4 && w == simh_tape_mark)
        return AT_MARK;
    if (got == 4 && w == simh_end_of_medium)
        return AT_MEDIUM_END;
    if (got < 4 || ((w & ~simh_max_length) != 0 && (w & ~simh_max_length) != simh_bad_class))
        return AT_BAD;
    long size = w & simh_max_length;
    for (long tail = off + 4 + size + (size & 1);; tail--) {   // padded, or odd and unpadded
        long r = image_at(u, tail, b, 4);
        if (r < 0)
            return AT_ERROR;
        if (r == 4 && load_le32(b) == w) {
            *next = tail + 4;
            return AT_RECORD;
        }
        if (tail == off + 4 + size)
            return AT_BAD;
    }
}

// A record of data to resynchronise on: its words agree and what follows it
// is a frame too.
bool resync_point(Unit &u, long off)
{
    std::uint32_t w = 0;
    long next = 0;
    if (frame_at(u, off, &w, &next) != AT_RECORD || (w & simh_max_length) == 0)
        return false;
    int after = frame_at(u, next, &w, &next);
    return after != AT_BAD && after != AT_ERROR;
}

// frame_at for reading on: a record whose trailing word is missing takes
// the next record's leading word of the same length for its own, and what
// follows is then damage.  When the word it took begins a record that is
// itself followed by a frame, the record at off lacks its trailing word.
int record_at(Unit &u, long off, std::uint32_t *word, long *next)
{
    int at = frame_at(u, off, word, next);
    if (at != AT_RECORD)
        return at;
    std::uint32_t w = 0;
    long after = 0;
    int then = frame_at(u, *next, &w, &after);
    if (then == AT_BAD && resync_point(u, *next - 4))
        return AT_NO_TRAILER;
    return at;
}

// Offset of the first resynchronisation point at or after from (and before
// until), or of where the search stopped; -1 on a read error.
long resync(Unit &u, long from, long until = LONG_MAX)
{
    std::vector<unsigned char> chunk(64 * 1024);
    for (long base = from; base < until;) {
        long got = read_at(u.fd, base, chunk.data(), chunk.size());
        if (got < 0)
            return -1;
        if (got < 4)
            return base + got;
        for (long i = 0; i + 4 <= got; i++) {
            std::uint32_t w = load_le32(chunk.data() + i);
            std::uint32_t cls = w & ~simh_max_length;
            if (w != 0 && (cls == 0 || cls == simh_bad_class) && resync_point(u, base + i))
                return base + i;
        }
        base += got - 3;
    }
    return until;
}

int simh_fail(Unit &u, int fault)
{
    u.fault = fault;
    if (fault != TPIO_FAULT_READ)
        errno = EIO;
    return -1;
}

// Reads the next record of a tape image into buffer (at most len bytes).
int simh_read(Unit &u, void *buffer, int len)
{
    u.fault = TPIO_FAULT_NONE;
    if (u.at_end)
        return 0;
    std::uint32_t w = 0;
    long next = 0;
    int at = record_at(u, u.off, &w, &next);
    switch (at) {
    case AT_ERROR:
        return simh_fail(u, TPIO_FAULT_READ);
    case AT_MEDIUM_END:
    case AT_FILE_END:
        u.at_end = 1;
        return 0;
    case AT_MARK:
        u.off = next;
        u.record++;
        return 0;
    case AT_BAD:
    case AT_NO_TRAILER: {
        // A record without its trailing word: the next one begins within
        // the bytes its leading word announced, and no later.
        long to = resync(u, u.off + (at == AT_NO_TRAILER ? 4 : 1));
        if (to < 0)
            return simh_fail(u, TPIO_FAULT_READ);
        u.fault_octets = to - u.off;
        u.off = to;
        u.record++;
        return simh_fail(u, TPIO_FAULT_FRAMING);
    }
    }
    u.record++;
    long data = u.off + 4;
    u.off = next;
    if (w & ~simh_max_length)   // flagged bad: passed over, as a skip does
        return simh_fail(u, TPIO_FAULT_FLAGGED);
    std::size_t size = w & simh_max_length;
    std::size_t take = len < 0 ? 0 : std::min(size, std::size_t(len));
    long got = image_at(u, data, buffer, take);
    if (got < 0)
        return simh_fail(u, TPIO_FAULT_READ);
    return static_cast<int>(got);
}

// Like MTFSR: stops after a tape mark, at the end, and before damage (which
// the next read reports).
int simh_skip(Unit &u, int count)
{
    for (int i = 0; i < count; i++) {
        std::uint32_t w = 0;
        long next = 0;
        int at = u.at_end ? AT_MEDIUM_END : record_at(u, u.off, &w, &next);
        if (at == AT_MEDIUM_END || at == AT_FILE_END)
            u.at_end = 1;
        if (at == AT_MARK || at == AT_RECORD) {
            u.off = next;
            u.record++;
        }
        if (at != AT_RECORD) {
            errno = EIO;
            return -1;
        }
    }
    return 0;
}

// A regular file is a tape image when it begins, after any tape marks, with
// the end of the medium or a record whose length words agree, or, when the
// first record is damaged, when a record that begins a GRIB message and
// whose length words agree follows within 128 KiB.  Zeros alone make no
// tape image, nor does "GRIB" after them.
int file_kind(int fd)
{
    Unit u;
    u.fd = fd;
    u.win.resize(4096);
    unsigned char head[4];
    long at = 0;
    while (image_at(u, at, head, 4) == 4 && load_le32(head) == simh_tape_mark)
        at += 4;
    std::uint32_t w = 0;
    long next = 0;
    int first = frame_at(u, at, &w, &next);
    if (first == AT_RECORD || first == AT_MEDIUM_END)
        return TPIO_SIMH;
    if (first != AT_BAD || std::memcmp(head, "GRIB", 4) == 0)
        return TPIO_DISK;
    const long until = at + 128 * 1024;
    for (long from = at + 1;;) {
        long q = resync(u, from, until);
        if (q < 0 || q >= until || frame_at(u, q, &w, &next) != AT_RECORD)
            return TPIO_DISK;
        if (image_at(u, q + 4, head, 4) == 4 && std::memcmp(head, "GRIB", 4) == 0)
            return TPIO_SIMH;
        from = q + 1;
    }
}

// ---- disk files ------------------------------------------------------------

// Up to room more bytes of a disk file at win[end]: from what
// tpio_disk_read_at fetched when they are there, by pread on a file that
// can seek, else by read.
ssize_t read_more(Unit &u, std::size_t room)
{
    unsigned char *to = u.win.data() + u.end;
    if (!u.seekable)
        return ::read(u.fd, to, room);
    long at = u.off + static_cast<long>(u.end - u.beg);
    long cached_end = u.ahead_off + static_cast<long>(u.ahead_len);
    if (at >= u.ahead_off && at < cached_end) {
        std::size_t k = std::min(room, static_cast<std::size_t>(cached_end - at));
        std::memcpy(to, u.ahead.data() + (at - u.ahead_off), k);
        return static_cast<ssize_t>(k);
    }
    return ::pread(u.fd, to, room, static_cast<off_t>(at));
}

// Makes up to n bytes available at win[beg]; returns how many there are.
long fill(Unit &u, std::size_t n)
{
    if (n > window_size)
        n = window_size;
    if (u.end - u.beg >= n)
        return static_cast<long>(n);
    if (u.beg > 0) {
        std::memmove(u.win.data(), u.win.data() + u.beg, u.end - u.beg);
        u.end -= u.beg;
        u.beg = 0;
    }
    std::size_t want = std::max(n, u.read_ahead);
    while (u.end < n) {
        ssize_t r = read_more(u, want - u.end);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;   // what came before a failure is kept
        if (r == 0)
            break;
        u.end += static_cast<std::size_t>(r);
    }
    return static_cast<long>(u.end - u.beg < n ? u.end - u.beg : n);
}

void consume(Unit &u, std::size_t n)
{
    std::size_t have = u.end - u.beg;
    u.off += static_cast<long>(n);
    if (n <= have) {
        u.beg += n;
        return;
    }
    u.beg = u.end = 0;
    n -= have;
    if (u.seekable)
        return;
    while (n > 0) {   // a pipe: read what cannot be sought over
        long got = fill(u, std::min(n, window_size));
        if (got <= 0)
            return;
        u.beg = u.end = 0;
        n -= static_cast<std::size_t>(got);
    }
}

// ---- writing ---------------------------------------------------------------

int simh_write(Unit &u, const void *buffer, int len)
{
    u.cached = 0;
    unsigned char word[4];
    store_le32(word, static_cast<std::uint32_t>(len));
    if (write_all(u.fd, word, 4) < 0)
        return -1;
    if (len > 0) {
        static const unsigned char pad = 0;
        if (write_all(u.fd, buffer, static_cast<std::size_t>(len)) < 0 ||
            ((len & 1) && write_all(u.fd, &pad, 1) < 0) || write_all(u.fd, word, 4) < 0)
            return -1;
    }
    u.record++;
    return len;
}

}  // namespace

extern "C" int mtopen(int *unit, const char *name, int *mode, int *name_len)
{
    Unit *u = unit_at(unit);
    if (u == nullptr) {
        errno = EBADF;
        return -1;
    }
    if (*name_len < 0 || *name_len > GP_DEVICE_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::string path(name, static_cast<std::size_t>(*name_len));
    if (u->kind != TPIO_CLOSED)
        mtclose(unit);
    int fd = ::open(path.c_str(), *mode);
    if (fd < 0)
        return fd;
    struct stat st {};
    int kind = TPIO_DISK;
    if (::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode))
        kind = TPIO_TAPE;
    else if (S_ISREG(st.st_mode))
        kind = file_kind(fd);
    *u = Unit{};
    u->fd = fd;
    u->kind = kind;
    u->seekable = kind == TPIO_DISK && ::lseek(fd, 0, SEEK_CUR) >= 0;
    if (kind != TPIO_TAPE)
        u->win.resize(window_size);
    return fd;
}

extern "C" int mtclose(int *unit)
{
    Unit *u = open_unit_at(unit);
    if (u == nullptr)
        return -1;
    int r = ::close(u->fd);
    *u = Unit{};
    return r;
}

extern "C" int mtread(int *unit, void *buffer, int *len)
{
    Unit *u = open_unit_at(unit);
    if (u == nullptr)
        return -1;
    switch (u->kind) {
    case TPIO_SIMH:
        return simh_read(*u, buffer, *len);
    case TPIO_DISK: {
        long n = fill(*u, *len < 0 ? 0 : static_cast<std::size_t>(*len));
        u->fault = n < 0 ? TPIO_FAULT_READ : TPIO_FAULT_NONE;
        if (n > 0) {
            std::memcpy(buffer, u->win.data() + u->beg, static_cast<std::size_t>(n));
            consume(*u, static_cast<std::size_t>(n));
        }
        return static_cast<int>(n);
    }
    default: {
        ssize_t r;
        do
            r = ::read(u->fd, buffer, static_cast<std::size_t>(*len < 0 ? 0 : *len));
        while (r < 0 && errno == EINTR);
        u->record++;   // a record that cannot be read is passed over by the drive
        u->fault = r < 0 ? TPIO_FAULT_READ : TPIO_FAULT_NONE;
        return static_cast<int>(r);
    }
    }
}

extern "C" int mtwrite(int *unit, const void *buffer, int *len)
{
    Unit *u = open_unit_at(unit);
    if (u == nullptr || *len < 0)
        return -1;
    if (u->kind == TPIO_SIMH)
        return simh_write(*u, buffer, *len);
    ssize_t r = ::write(u->fd, buffer, static_cast<std::size_t>(*len));
    return static_cast<int>(r);
}

extern "C" int mtskip_rec(int *unit, int *count)
{
    Unit *u = open_unit_at(unit);
    if (u == nullptr)
        return -1;
    if (*count > 0)
        u->after_skip = 1;
    if (u->kind == TPIO_SIMH)
        return simh_skip(*u, *count);
#ifdef TPIO_HAVE_MTIO
    struct mtop mt_command {};
    mt_command.mt_op = MTFSR;
    mt_command.mt_count = *count;
    int r = ::ioctl(u->fd, MTIOCTOP, &mt_command);
    if (r == 0 && u->kind == TPIO_TAPE)
        u->record += *count;
    return r;
#else
    errno = ENOTTY;
    return -1;
#endif
}

int tpio_fault(int unit, long *octets)
{
    Unit *u = unit_at(&unit);
    if (u == nullptr)
        return TPIO_FAULT_NONE;
    if (octets != nullptr)
        *octets = u->fault == TPIO_FAULT_FRAMING ? u->fault_octets : 0;
    return u->fault;
}

int tpio_probe(int unit)
{
    Unit *u = open_unit_at(&unit);
    if (u == nullptr)
        return -1;
    unsigned char byte;
    if (u->kind == TPIO_DISK)
        return fill(*u, 1) < 0 ? -1 : 0;
    if (u->kind == TPIO_SIMH)
        return read_at(u->fd, 0, &byte, 1) < 0 ? -1 : 0;
    return 0;
}

int tpio_kind(int unit)
{
    Unit *u = unit_at(&unit);
    return u == nullptr ? TPIO_CLOSED : u->kind;
}

long tpio_record(int unit)
{
    Unit *u = unit_at(&unit);
    return u == nullptr ? 0 : u->record;
}

int tpio_after_skip(int unit)
{
    Unit *u = unit_at(&unit);
    return u != nullptr && u->after_skip;
}

void tpio_mark_message(int unit)
{
    if (Unit *u = unit_at(&unit))
        u->after_skip = 0;
}

long tpio_disk_offset(int unit)
{
    Unit *u = unit_at(&unit);
    return u == nullptr ? -1 : u->off;
}

long tpio_disk_peek(int unit, std::size_t n, const unsigned char **data)
{
    Unit *u = open_unit_at(&unit);
    if (u == nullptr || u->kind != TPIO_DISK || fill(*u, n) < 0)
        return -1;
    *data = u->win.data() + u->beg;
    return static_cast<long>(u->end - u->beg);
}

void tpio_disk_consume(int unit, std::size_t n)
{
    if (Unit *u = open_unit_at(&unit); u != nullptr && u->kind == TPIO_DISK)
        consume(*u, n);
}

void tpio_disk_read_ahead(int unit, std::size_t n)
{
    if (Unit *u = open_unit_at(&unit); u != nullptr && u->kind == TPIO_DISK)
        u->read_ahead = n == 0 || n > window_size ? window_size : n;
}

long tpio_disk_read_at(int unit, long offset, void *buf, std::size_t n)
{
    Unit *u = open_unit_at(&unit);
    if (u == nullptr || u->kind != TPIO_DISK || offset < 0)
        return -1;
    if (u->seekable && n <= u->read_ahead && u->read_ahead < window_size) {
        // A small read-ahead: the bytes after these are likely wanted next.
        u->ahead.resize(u->read_ahead);
        long got = read_at(u->fd, offset, u->ahead.data(), u->read_ahead);
        u->ahead_off = offset;
        u->ahead_len = got < 0 ? 0 : static_cast<std::size_t>(got);
        if (got < 0)
            return -1;
        got = std::min(got, static_cast<long>(n));
        std::memcpy(buf, u->ahead.data(), static_cast<std::size_t>(got));
        return got;
    }
    long got = read_at(u->fd, offset, buf, n);
    if (got >= 0 || errno != ESPIPE)
        return got;
    long ahead = offset - u->off;   // a pipe: only what the window can hold
    if (ahead < 0 || ahead + static_cast<long>(n) > static_cast<long>(window_size))
        return -1;
    long avail = fill(*u, static_cast<std::size_t>(ahead) + n);
    if (avail < 0)
        return -1;
    got = std::max(0L, std::min(avail - ahead, static_cast<long>(n)));
    std::memcpy(buf, u->win.data() + u->beg + ahead, static_cast<std::size_t>(got));
    return got;
}

int tpio_free_unit()
{
    for (int i = GP_UNIT_COUNT - 1; i >= 0; i--)
        if (gp_tpio.unit[i].kind == TPIO_CLOSED)
            return i;
    return -1;
}

void tpio_reset()
{
    for (int i = 0; i < GP_UNIT_COUNT; i++)
        if (gp_tpio.unit[i].kind != TPIO_CLOSED)
            mtclose(&i);
    gp_tpio = TpioState{};
}
