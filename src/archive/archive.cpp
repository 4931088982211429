// The framing of an archive into whole GRIB messages (archive.h).
#include "archive.h"
#include "sections.h"
#include "tpio.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// One archive being read: its settings, counts and buffer.
struct gp_archive {
    gp_archive_options options;
    std::string program;  // the options' strings, kept
    std::string name;     // the archive's name in reports
    int unit = -1;
    gp_archive_totals totals{};
    int heads = 0;        // heads for the message being framed
    std::vector<std::int32_t> buffer;
    const void *last = nullptr; // the buffer of the last call and how
    long dirty = 0;       // many of its bytes may not be zero
    int quiet = 0;        // 1: records that do not begin a message are the
                          // rest of one passed over
    int failing = 0;      // 1: the last read failed
};

namespace {

// Makes room for a whole message of length octets (plus room bytes more)
// when the buffer may grow; buffer and size then describe the new one.
bool grow(gp_archive &a, long length, long room, std::int32_t *&buffer, long &size)
{
    if (a.options.buffer_words != 0 || length > GP_MAX_MESSAGE)
        return false;
    std::size_t words = static_cast<std::size_t>((length + room + 3) / 4);
    if (words > a.buffer.size())
        a.buffer.resize(words, 0);
    buffer = a.buffer.data();
    size = 4L * static_cast<long>(a.buffer.size());
    a.last = nullptr;   // every byte past the message is zero again
    return true;
}

constexpr char grib_magic[] = "GRIB";
constexpr char end_marker[] = "7777";
constexpr int min_message = 12;   // section 0 and the end section
constexpr long head_first = 64;    // with heads: at least these bytes looked at first,
constexpr long head_read = 1024;   // and these asked of each read
constexpr long section4_head = 11; // section 4 through its bits per value

// What judging the bytes read so far of a message found.
enum { V_WHOLE, V_MORE, V_DAMAGED, V_TOO_LONG, V_FAILED, V_EDITION };

struct Verdict {
    int kind;
    int length;
    char why[96];
    int edition;
};

Verdict verdict(int kind, int length, const char *why = "")
{
    Verdict v{kind, length, {}, 0};
    std::snprintf(v.why, sizeof v.why, "%s", why);
    return v;
}

// One report: "P: " and the line, which ends in a newline.
void say(gp_archive &a, const char *format, ...)
{
    va_list ap, again;
    va_start(ap, format);
    va_copy(again, ap);
    int n = std::vsnprintf(nullptr, 0, format, ap);
    va_end(ap);
    std::string line = a.program + ": ";
    std::size_t at = line.size();
    line.resize(at + static_cast<std::size_t>(std::max(n, 0)) + 1);
    std::vsnprintf(line.data() + at, line.size() - at, format, again);
    va_end(again);
    line.pop_back();   // the terminating zero
    if (a.options.report_line != nullptr) {
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        a.options.report_line(a.options.context, line.c_str());
    } else {
        std::fputs(line.c_str(), a.options.report != nullptr ? a.options.report : stderr);
    }
}

int fail(gp_archive &a, int err)
{
    a.totals.error = err;
    say(a, "cannot read %s: %s\n", a.name.c_str(), std::strerror(err));
    return -1;
}

unsigned char *bytes_of(std::int32_t *buffer)
{
    return reinterpret_cast<unsigned char *>(buffer);
}

bool begins_message(const unsigned char *p, long n)
{
    return n >= 4 && std::memcmp(p, grib_magic, 4) == 0;
}

long u24(const unsigned char *p)
{
    return long(p[0]) << 16 | long(p[1]) << 8 | long(p[2]);
}

enum { ADD_UP, DO_NOT_ADD_UP, NOT_YET_KNOWN };

// An edition 1 message of length octets is whole by its sections when
// section 0 (8 octets), sections 1 to 4 (2 and 3 as the flag of section 1
// says) and the end section add up to it.  Only the first n octets are
// there; a length field must stand before the end section.
int sections_add_up(const unsigned char *p, long n, long length)
{
    if (16 > length - 4)
        return DO_NOT_ADD_UP;
    if (16 > n)
        return NOT_YET_KNOWN;
    int flag = p[15];   // octet 8 of section 1
    long at = 8 + u24(p + 8);
    for (bool present : {(flag & 128) != 0, (flag & 64) != 0, true}) {   // sections 2, 3, 4
        if (!present)
            continue;
        if (at + 3 > length - 4)
            return DO_NOT_ADD_UP;
        if (at + 3 > n)
            return NOT_YET_KNOWN;
        at += u24(p + at);
    }
    return at + 4 == length ? ADD_UP : DO_NOT_ADD_UP;
}

// A message of an edition after 1: its edition and, for edition 2 (whose
// length is octets 9 to 16), its length when it can be passed over whole.
Verdict other_edition(const unsigned char *p, long n)
{
    long length = 0;
    if (p[7] == 2 && n >= 16) {
        std::uint64_t v = 0;
        for (int i = 8; i < 16; i++)
            v = v << 8 | p[i];
        length = v >= 16 && v <= 0x7fffffffu ? static_cast<long>(v) : 0;
    }
    Verdict v = verdict(V_EDITION, static_cast<int>(length));
    v.edition = p[7];
    return v;
}

// Judges the first n bytes of a message at the start of buffer (size
// bytes, zero past n).
Verdict judge(std::int32_t *buffer, long n, long size)
{
    const unsigned char *p = bytes_of(buffer);
    if (n < 8)
        return verdict(V_MORE, 0);
    if (p[7] >= 2)
        return other_edition(p, n);
    int edition = 0;
    int length = gp_archive_measure(buffer, static_cast<int>(size / 4), &edition);
    if (length < min_message)   // older editions may need more of their bytes
        return edition != 1 && n < size ? verdict(V_MORE, 0)
                                        : verdict(V_DAMAGED, 0, "its length cannot be read");
    if (edition == 1 && sections_add_up(p, n, length) == DO_NOT_ADD_UP) {
        char why[96];
        std::snprintf(why, sizeof why, "its sections do not add up to its length of %d octets",
                      length);
        return verdict(V_DAMAGED, length, why);
    }
    if (length > size)
        return verdict(V_TOO_LONG, length);
    if (n < length) {
        Verdict more = verdict(V_MORE, length);
        more.edition = edition;
        return more;
    }
    if (std::memcmp(p + length - 4, end_marker, 4) != 0)
        return verdict(V_DAMAGED, length, "no 7777 at its end");
    return verdict(V_WHOLE, length);
}

void report_damaged(gp_archive &a, const char *at, long position, const char *why)
{
    say(a, "GRIB message at %s %ld is damaged (%s); passed over\n", at, position, why);
    a.totals.damaged++;
    a.quiet = 1;
}

void report_edition(gp_archive &a, const char *at, long position, int edition)
{
    say(a, "GRIB message at %s %ld is of GRIB edition %d; passed over\n", at, position, edition);
    a.totals.other_editions++;
    a.quiet = 1;
}

void report_too_long(gp_archive &a, const char *at, long position, int length, long size)
{
    say(a, "GRIB message of %d bytes at %s %ld does not fit the buffer of %ld bytes; passed over\n",
        length, at, position, size);
    a.totals.damaged++;
    a.quiet = 1;
    gp_archive_message m{{}, 0, position, at[0] == 'r' ? GP_AT_RECORD : GP_AT_OFFSET, length};
    if (a.options.too_long != nullptr)
        a.options.too_long(a.options.context, &m);
}

// The buffer holds nothing but zeros past its first k bytes.  Without
// heads the whole rest is cleared, as it always was; with heads only what
// an earlier call may have left there.
void zero_past(gp_archive &a, unsigned char *out, long k, long size)
{
    long dirty = a.heads && a.last == out ? a.dirty : size;
    if (dirty > k)
        std::memset(out + k, 0, static_cast<std::size_t>(dirty - k));
    a.last = out;
    a.dirty = k;
}

// ---- disk files -----------------------------------------------------------

// Moves to the next "GRIB".  Zero bytes on the way are padding; other bytes
// are reported once, from the first of them, unless they follow a damaged
// message.  False at the end of the file or on a read failure.
bool find_next_message(gp_archive &a)
{
    long foreign = -1;
    for (;;) {
        const unsigned char *p = nullptr;
        long avail = tpio_disk_peek(a.unit, 4, &p);
        if (avail < 0) {
            fail(a, errno);
            return false;
        }
        const void *hit = avail >= 4 ? memmem(p, static_cast<std::size_t>(avail), grib_magic, 4)
                                     : nullptr;
        long drop = hit ? static_cast<const unsigned char *>(hit) - p : avail < 4 ? avail : avail - 3;
        if (a.quiet)
            a.totals.passed_over += drop;
        else if (foreign < 0) {
            const unsigned char *nz = std::find_if(p, p + drop, [](unsigned char c) { return c; });
            if (nz != p + drop)
                foreign = tpio_disk_offset(a.unit) + (nz - p);
        }
        tpio_disk_consume(a.unit, static_cast<std::size_t>(drop));
        if (hit || avail < 4) {
            if (foreign >= 0) {
                long count = tpio_disk_offset(a.unit) - foreign;
                say(a, "%ld bytes that are not GRIB passed over at offset %ld\n", count, foreign);
                a.totals.passed_over += count;
            }
            return hit != nullptr;
        }
    }
}

// A message longer than the buffer: whole when "7777" stands at its end.
Verdict judge_long(gp_archive &a, long off, const Verdict &v)
{
    unsigned char end[4];
    long got = tpio_disk_read_at(a.unit, off + v.length - 4, end, 4);
    if (got == 4 && std::memcmp(end, end_marker, 4) == 0)
        return v;
    return verdict(V_DAMAGED, v.length,
                   got < 0    ? "its end cannot be read"
                   : got < 4  ? "cut short by the end of the file"
                              : "no 7777 at its end");
}

// With heads: the bytes of an edition 1 message through the header of
// section 4 when they are among the first n and its sections add up; else 0.
long head_length(const unsigned char *p, long n, const Verdict &v)
{
    if (v.edition != 1 || sections_add_up(p, n, v.length) != ADD_UP)
        return 0;
    int flag = p[15];
    long at = 8 + u24(p + 8);
    if (flag & 128)
        at += u24(p + at);
    if (flag & 64)
        at += u24(p + at);
    return at + section4_head <= n ? at + section4_head : 0;
}

// The verdict on the message at the reading position (offset off), whose
// first bytes are copied into the buffer: up to the buffer's size, or with
// heads those at hand (at least want, more when its head needs them).  With
// heads a message longer than them is judged by its head (*handed its
// bytes; else the message's length).
Verdict judge_at(gp_archive &a, long off, std::int32_t *buffer, long want, long size, long *handed)
{
    unsigned char *out = bytes_of(buffer);
    for (;;) {
        const unsigned char *p = nullptr;
        long avail = tpio_disk_peek(a.unit, static_cast<std::size_t>(want), &p);
        if (avail < 0)
            return verdict(V_FAILED, 0);
        long n = std::min(avail, a.heads ? size : want);
        std::memcpy(out, p, static_cast<std::size_t>(n));
        zero_past(a, out, n, size);
        Verdict v = judge(buffer, n, size);
        *handed = v.length;
        if (v.kind != V_MORE || avail < want || n == size)
            return v;
        if (long head = head_length(out, n, v); head > 0) {
            Verdict end = judge_long(a, off, v);   // "7777" where the length ends
            *handed = head;
            return end.kind == V_DAMAGED ? end : verdict(V_WHOLE, v.length);
        }
        want = std::min(size, std::max(16 * want, n + 1));
    }
}

// The length octets at the reading position into out, through peeks of
// what the unit's window holds; false when they cannot all be read.
bool copy_whole(gp_archive &a, unsigned char *out, long length)
{
    for (long at = 0; at < length;) {
        const unsigned char *p = nullptr;
        long avail = tpio_disk_peek(a.unit, static_cast<std::size_t>(length - at), &p);
        if (avail <= 0)
            return false;
        long n = std::min(avail, length - at);
        std::memcpy(out + at, p, static_cast<std::size_t>(n));
        tpio_disk_consume(a.unit, static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

int disk_message(gp_archive &a, std::int32_t *buffer, long size, gp_archive_message *where)
{
    unsigned char *out = bytes_of(buffer);
    long first = a.heads ? std::min(size, head_first) : size;
    tpio_disk_read_ahead(a.unit, a.heads ? static_cast<std::size_t>(head_read) : 0);
    while (find_next_message(a)) {
        long off = tpio_disk_offset(a.unit), handed = 0;
        Verdict v = judge_at(a, off, buffer, first, size, &handed);
        if (v.kind == V_FAILED)
            return fail(a, errno);
        if (v.kind == V_MORE && v.length > 0)   // more than the unit's window holds
            v = judge_long(a, off, verdict(V_TOO_LONG, v.length));
        if (v.kind == V_MORE)
            v = verdict(V_DAMAGED, v.length, "cut short by the end of the file");
        if (v.kind == V_EDITION) {
            report_edition(a, "offset", off, v.edition);
            long skip = v.length > 0 && judge_long(a, off, v).kind == V_EDITION ? v.length : 4;
            a.totals.passed_over += skip;
            tpio_disk_consume(a.unit, static_cast<std::size_t>(skip));
            continue;
        }
        if (v.kind == V_TOO_LONG)
            v = judge_long(a, off, v);
        if (v.kind == V_TOO_LONG && grow(a, v.length, 0, buffer, size)) {
            out = bytes_of(buffer);
            if (a.heads) {   // judged again, now that its head fits
                first = std::min(size, head_first);
                continue;
            }
            zero_past(a, out, 0, size);
            if (!copy_whole(a, out, v.length))
                return fail(a, errno != 0 ? errno : EIO);
            a.dirty = v.length;
            *where = gp_archive_message{{}, 0, off, GP_AT_OFFSET, v.length};
            return v.length;
        }
        if (v.kind == V_WHOLE) {
            zero_past(a, out, handed, size);
            tpio_disk_consume(a.unit, static_cast<std::size_t>(v.length));
            *where = gp_archive_message{{}, 0, off, GP_AT_OFFSET, v.length};
            return static_cast<int>(handed);
        }
        if (v.kind == V_TOO_LONG) {
            report_too_long(a, "offset", off, v.length, size);
            a.totals.passed_over += v.length;
            tpio_disk_consume(a.unit, static_cast<std::size_t>(v.length));
            continue;
        }
        report_damaged(a, "offset", off, v.why);
        a.totals.passed_over += 4;
        tpio_disk_consume(a.unit, 4);   // the search goes on inside it
    }
    return -1;
}

// ---- tapes and tape images --------------------------------------------------

// One record into out (at most room bytes): its bytes, 0 at a tape mark or
// the end of the tape, -1 when it cannot be read (reported; *err gets the
// errno of a read failure, 0 for damage the tape goes on after).
int next_record(gp_archive &a, unsigned char *out, long room, int *err)
{
    int len = static_cast<int>(room);
    int n = mtread(&a.unit, out, &len);
    *err = 0;
    if (n >= 0) {
        a.failing = 0;
        return n;
    }
    int saved = errno;
    long record = tpio_record(a.unit), octets = 0;
    switch (tpio_fault(a.unit, &octets)) {
    case TPIO_FAULT_FLAGGED:
        say(a, "record %ld of the tape image is flagged bad; passed over\n", record);
        break;
    case TPIO_FAULT_FRAMING:
        say(a, "tape image damaged at record %ld (length words that do not agree); %ld octets "
            "passed over\n",
            record, octets);
        a.totals.passed_over += octets;
        break;
    default:
        if (!a.failing)
            say(a, "record %ld cannot be read (%s); passed over\n", record, std::strerror(saved));
        a.failing = 1;
        *err = saved;
    }
    a.quiet = 1;
    return -1;
}

// The next record of data: its bytes, or -1 when none came in the reads
// the retries allow (after a read failure, reported as the end of the
// reading).
int first_record(gp_archive &a, unsigned char *out, long room)
{
    int err = 0;
    for (int tries = 0; tries <= GP_READ_RETRIES; tries++) {
        int n = next_record(a, out, room, &err);
        if (n > 0)
            return n;
    }
    return err != 0 ? fail(a, err) : -1;
}

// Completes the message whose first record (n bytes, number first) is in
// the buffer.  Returns its bytes when whole (*length its length); otherwise
// 0 after the report, with *next the bytes of a record that begins another
// message, now at the start of the buffer (0 when none was read).
int assemble(gp_archive &a, std::int32_t *&buffer, long &size, long n, long first, int *length,
             int *next)
{
    unsigned char *out = bytes_of(buffer);
    char why[96];
    *next = 0;
    std::memset(out + n, 0, static_cast<std::size_t>(size - n));   // records only add bytes
    for (;;) {
        Verdict v = judge(buffer, n, size);
        *length = v.length;
        if (v.kind == V_WHOLE)
            return static_cast<int>(n);
        if (v.kind == V_EDITION) {
            report_edition(a, "record", first, v.edition);
            a.totals.passed_over += n;
            return 0;
        }
        if (v.kind == V_TOO_LONG && grow(a, v.length, GP_RECORD_SIZE, buffer, size)) {
            out = bytes_of(buffer);
            continue;
        }
        if (v.kind == V_TOO_LONG) {
            report_too_long(a, "record", first, v.length, size);
            a.totals.passed_over += n;
            return 0;
        }
        if (v.kind == V_DAMAGED || n >= size) {
            report_damaged(a, "record", first, v.kind == V_DAMAGED ? v.why : "its length cannot be read");
            a.totals.passed_over += n;
            return 0;
        }
        int err = 0;
        int m = next_record(a, out + n, size - n, &err);
        long record = tpio_record(a.unit);
        if (m > 0 && !begins_message(out + n, m)) {
            n += m;
            continue;
        }
        if (m > 0)
            std::snprintf(why, sizeof why, "cut short: record %ld begins another message", record);
        else if (m == 0)
            std::snprintf(why, sizeof why,
                          "cut short by a tape mark or the end of the tape at record %ld", record);
        else
            std::snprintf(why, sizeof why, "cut short: record %ld cannot be read", record);
        report_damaged(a, "record", first, why);
        a.totals.passed_over += n;
        if (m > 0) {
            std::memmove(out, out + n, static_cast<std::size_t>(m));
            *next = m;
        }
        return 0;
    }
}

int record_message(gp_archive &a, std::int32_t *buffer, long size, gp_archive_message *where)
{
    unsigned char *out = bytes_of(buffer);
    int n = first_record(a, out, size);
    while (n > 0) {
        long record = tpio_record(a.unit);
        if (!begins_message(out, n)) {
            if (!a.quiet && !tpio_after_skip(a.unit))
                say(a, "record %ld does not begin a GRIB message; passed over\n", record);
            a.totals.passed_over += n;
            n = first_record(a, out, size);
            continue;
        }
        tpio_mark_message(a.unit);
        a.quiet = 0;
        int next = 0, length = 0;
        int got = assemble(a, buffer, size, n, record, &length, &next);
        out = bytes_of(buffer);
        if (got > 0) {
            *where = gp_archive_message{{}, 0, record, GP_AT_RECORD, length};
            return got;
        }
        n = next > 0 ? next : first_record(a, out, size);
    }
    return -1;
}

// Scratch arrays of the length query: operation "L" fills only KSEC0, but
// the codec's interface wants every array.
thread_local gp_sections scratch;
thread_local float scratch_values[1];

void put(char *error, std::size_t error_size, const std::string &text)
{
    if (error != nullptr && error_size > 0)
        std::snprintf(error, error_size, "%s", text.c_str());
}

}  // namespace

gp_archive *gp_archive_open(const char *path, const gp_archive_options *options, char *error,
                            std::size_t error_size)
{
    if (path == nullptr) {
        put(error, error_size, std::string("mtopen: : ") + std::strerror(EFAULT));
        return nullptr;
    }
    auto a = std::make_unique<gp_archive>();
    if (options != nullptr)
        a->options = *options;
    a->program = a->options.program != nullptr ? a->options.program : "gridpick";
    a->name = path;
    a->options.program = nullptr;
    int mode = 0, length = static_cast<int>(a->name.size());
    a->unit = tpio_free_unit();
    if (mtopen(&a->unit, path, &mode, &length) < 0) {
        put(error, error_size, "mtopen: " + a->name + ": " + std::strerror(errno));
        return nullptr;
    }
    if (a->options.heads && a->options.whole_at != 1)   // not even the first read takes more
        tpio_disk_read_ahead(a->unit, static_cast<std::size_t>(head_read));
    if (tpio_probe(a->unit) < 0) {
        int err = errno;
        put(error, error_size, a->program + ": cannot read " + a->name + ": " + std::strerror(err));
        mtclose(&a->unit);
        return nullptr;
    }
    int words = a->options.buffer_words != 0 ? a->options.buffer_words : GP_IGRIB_WORDS;
    a->buffer.assign(static_cast<std::size_t>(std::max(words, 0)), 0);
    return a.release();
}

int gp_archive_next(gp_archive *a, gp_archive_message *message)
{
    if (a->totals.error != 0 || a->buffer.size() < 4)
        return -1;
    a->heads = a->options.heads && a->totals.whole + 1 != a->options.whole_at;
    long size = 4L * static_cast<long>(a->buffer.size());
    gp_archive_message where{};
    int n = tpio_kind(a->unit) == TPIO_DISK ? disk_message(*a, a->buffer.data(), size, &where)
                                            : record_message(*a, a->buffer.data(), size, &where);
    if (n > 0) {
        a->totals.whole++;
        a->quiet = 0;
        where.words = a->buffer;
        where.bytes = n;
    }
    *message = where;
    return n;
}

int gp_archive_skip_records(gp_archive *a, int count)
{
    return mtskip_rec(&a->unit, &count);
}

long gp_archive_read_at(gp_archive *a, long offset, void *buffer, std::size_t n)
{
    if (tpio_kind(a->unit) != TPIO_DISK)
        return -1;
    return tpio_disk_read_at(a->unit, offset, buffer, n);
}

gp_archive_totals gp_archive_counts(const gp_archive *a)
{
    return a->totals;
}

void gp_archive_close(gp_archive *a)
{
    std::unique_ptr<gp_archive> owned(a);
    if (owned != nullptr)
        mtclose(&owned->unit);
}

int gp_archive_measure(std::int32_t *buffer, int words, int *edition)
{
    gp_el(scratch.ksec0, GRIB_K0_LENGTH) = gp_el(scratch.ksec0, GRIB_K0_EDITION) = 0;
    int kret = gp_decode_sections(scratch, "L", buffer, words, scratch_values, 1);
    *edition = gp_el(scratch.ksec0, GRIB_K0_EDITION);
    return kret > 0 ? -1 : gp_el(scratch.ksec0, GRIB_K0_LENGTH);
}
