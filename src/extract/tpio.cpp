// The unit layer: tape devices, SIMH tape images and disk files.
#include "tpio.h"
#include "extract.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#if __has_include(<sys/mtio.h>)
#include <sys/mtio.h>
#define TPIO_HAVE_MTIO 1
#endif

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t window_size = 256 * 1024;
constexpr std::uint32_t simh_tape_mark = 0;
constexpr std::uint32_t simh_end_of_medium = 0xFFFFFFFFu;
constexpr std::uint32_t simh_max_length = 0xFFFFFFu;   // higher bits flag the record

struct Unit {
    int fd = -1;
    int kind = TPIO_CLOSED;
    long record = 0;       // records read or skipped (tape, tape image)
    int after_skip = 0;
    int at_end = 0;        // tape image: end of medium seen
    // Read window of tape images and disk files: bytes [beg, end) of win
    // start at file offset off.
    std::vector<unsigned char> win;
    std::size_t beg = 0, end = 0;
    long off = 0;
};

struct TpioState {
    int fd[GP_UNIT_COUNT] = {-1, -1, -1, -1, -1};
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

// Bytes after the leading length word w up to the next record: the data,
// its pad byte and the trailing length word.
std::size_t record_span(std::uint32_t w)
{
    std::size_t size = w & simh_max_length;
    return size + (size & 1) + 4;
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
    while (u.end < n) {
        ssize_t r = ::read(u.fd, u.win.data() + u.end, window_size - u.end);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        u.end += static_cast<std::size_t>(r);
    }
    return static_cast<long>(u.end - u.beg < n ? u.end - u.beg : n);
}

void consume(Unit &u, std::size_t n)
{
    std::size_t have = u.end - u.beg;
    if (n <= have) {
        u.beg += n;
    } else {
        u.beg = u.end = 0;
        ::lseek(u.fd, static_cast<off_t>(n - have), SEEK_CUR);
    }
    u.off += static_cast<long>(n);
}

// A regular file is a tape image when it starts, after any tape marks,
// with the end of the medium or a record whose trailing length word
// matches.  A file of nothing but tape marks is one too.
int file_kind(int fd)
{
    unsigned char head[4];
    if (::pread(fd, head, 4, 0) == 4 && std::memcmp(head, "GRIB", 4) == 0)
        return TPIO_DISK;
    off_t at = 0;
    for (int marks = 0; marks < 8; marks++, at += 4) {
        ssize_t got = ::pread(fd, head, 4, at);
        if (got < 4)
            return marks > 0 && got == 0 ? TPIO_SIMH : TPIO_DISK;
        std::uint32_t w = load_le32(head);
        if (w == simh_end_of_medium)
            return TPIO_SIMH;
        if (w == simh_tape_mark)
            continue;
        if (w > simh_max_length)
            return TPIO_DISK;
        unsigned char tail[4];
        off_t end = at + 4 + static_cast<off_t>(w) + (w & 1);
        return ::pread(fd, tail, 4, end) == 4 && load_le32(tail) == w ? TPIO_SIMH : TPIO_DISK;
    }
    return TPIO_SIMH;
}

// Reads the next record of a tape image into buffer (at most len bytes).
int simh_read(Unit &u, void *buffer, int len)
{
    if (u.at_end)
        return 0;
    long n = fill(u, 4);
    if (n < 0)
        return -1;
    if (n < 4) {                 // end of file: as the end of the medium
        u.at_end = 1;
        return 0;
    }
    std::uint32_t w = load_le32(u.win.data() + u.beg);
    if (w == simh_end_of_medium) {
        u.at_end = 1;
        return 0;
    }
    consume(u, 4);
    u.record++;
    if (w == simh_tape_mark)
        return 0;
    if (w > simh_max_length) {   // a record flagged bad: passed over, as a skip does
        consume(u, record_span(w));
        errno = EIO;
        return -1;
    }
    std::size_t size = w;
    std::size_t take = len < 0 ? 0 : (size < std::size_t(len) ? size : std::size_t(len));
    long got = fill(u, take);
    if (got < 0)
        return -1;
    std::memcpy(buffer, u.win.data() + u.beg, static_cast<std::size_t>(got));
    if (std::size_t(got) < take) {   // the image ends inside the record
        consume(u, static_cast<std::size_t>(got));
        u.at_end = 1;
        return static_cast<int>(got);
    }
    consume(u, record_span(w));
    return static_cast<int>(take);
}

int simh_skip(Unit &u, int count)
{
    for (int i = 0; i < count; i++) {
        if (u.at_end) {
            errno = EIO;
            return -1;
        }
        long n = fill(u, 4);
        if (n < 4) {
            u.at_end = 1;
            errno = EIO;
            return -1;
        }
        std::uint32_t w = load_le32(u.win.data() + u.beg);
        if (w == simh_end_of_medium) {
            u.at_end = 1;
            errno = EIO;
            return -1;
        }
        consume(u, 4);
        u.record++;
        if (w == simh_tape_mark) {   // like MTFSR: stops after the mark
            errno = EIO;
            return -1;
        }
        consume(u, record_span(w));
    }
    return 0;
}

int write_full(int fd, const void *buf, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        ssize_t r = ::write(fd, static_cast<const char *>(buf) + done, n - done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return -1;
        done += static_cast<std::size_t>(r);
    }
    return 0;
}

int simh_write(Unit &u, const void *buffer, int len)
{
    unsigned char word[4];
    store_le32(word, static_cast<std::uint32_t>(len));
    if (write_full(u.fd, word, 4) < 0)
        return -1;
    if (len > 0) {
        static const unsigned char pad = 0;
        if (write_full(u.fd, buffer, static_cast<std::size_t>(len)) < 0 ||
            ((len & 1) && write_full(u.fd, &pad, 1) < 0) || write_full(u.fd, word, 4) < 0)
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
    char path[GP_DEVICE_MAX + 1];
    std::memcpy(path, name, static_cast<std::size_t>(*name_len));
    path[*name_len] = '\0';
    if (u->kind != TPIO_CLOSED)
        mtclose(unit);
    int fd = ::open(path, *mode);
    if (fd < 0)
        return fd;
    struct stat st {};
    int kind = TPIO_DISK;
    if (::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode))
        kind = TPIO_TAPE;
    else if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        kind = file_kind(fd);
    *u = Unit{};
    u->fd = fd;
    u->kind = kind;
    if (kind != TPIO_TAPE)
        u->win.resize(window_size);
    gp_tpio.fd[*unit] = fd;
    return fd;
}

extern "C" int mtclose(int *unit)
{
    Unit *u = open_unit_at(unit);
    if (u == nullptr)
        return -1;
    int r = ::close(u->fd);
    *u = Unit{};
    gp_tpio.fd[*unit] = -1;
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
        if (r >= 0)
            u->record++;
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
    if (u == nullptr || u->win.empty() || fill(*u, n) < 0)
        return -1;
    *data = u->win.data() + u->beg;
    return static_cast<long>(u->end - u->beg);
}

void tpio_disk_consume(int unit, std::size_t n)
{
    if (Unit *u = open_unit_at(&unit); u != nullptr && !u->win.empty())
        consume(*u, n);
}

void tpio_reset()
{
    for (int i = 0; i < GP_UNIT_COUNT; i++)
        if (gp_tpio.unit[i].kind != TPIO_CLOSED)
            mtclose(&i);
    gp_tpio = TpioState{};
}
