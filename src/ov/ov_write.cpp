// Creating and opening ov files, fresh header records, writing data sets.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ov_internal.h"
#include "fdio.h"
#include "ov_whole.h"

namespace {

const char file_magic[OV_MAGIC_SIZE] = {'O', 'V', '9', '0', 'a', '\0'};

bool has_magic(int fd)
{
    char magic[OV_MAGIC_SIZE];
    return ov::read_all(fd, magic, sizeof magic) &&
           std::memcmp(magic, file_magic, sizeof magic) == 0;
}

int text_length(const char *text)
{
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

// One part of a data set, written with a single call.
bool write_part(int fd, const void *bytes, long long n, const char *label)
{
    if (n <= 0)
        return true;
    if (write_all(fd, bytes, static_cast<std::size_t>(n)) == 0)
        return true;
    std::perror(label);
    return false;
}

// n bytes of reals in file byte order, swapped through a small buffer: a
// field may be as large as memory allows, a copy of it need not fit.
bool write_reals(int fd, const float *values, long long n, const char *label)
{
    constexpr std::size_t chunk = 16384;  // reals per write
    unsigned char bytes[4 * chunk];
    for (auto count = static_cast<std::size_t>(std::max(n, 0LL)) / 4; count > 0;) {
        std::size_t k = std::min(count, chunk);
        ov::store_reals(values, k, bytes);
        if (!write_part(fd, bytes, static_cast<long long>(4 * k), label))
            return false;
        values += k;
        count -= k;
    }
    return true;
}

// What ov_write needs before it may write anything: every part a reader
// will look for (a reader takes lat/lon arrays for any grid type but
// REGULAR).
bool writable(const OvHeader &hdr, long long data_bytes)
{
    const char *why = nullptr;
    if (data_bytes < 0)
        why = "invalid row or column count";
    else if (hdr.private_length < 0 ||
             (hdr.private_length > 0 && !hdr.private_data))
        why = "invalid private data";
    else if (hdr.grid_type != REGULAR && (!hdr.lats || !hdr.lons))
        why = "irregular grid without lats or lons";
    else if (data_bytes > 0 && !hdr.data)
        why = "no data";
    else if (data_bytes > 0 && ov_has_vdata(hdr.type) && !hdr.vdata)
        why = "vector or outline data set without vdata";
    if (why)
        std::fprintf(stderr, "ov_write: %s\n", why);
    return !why;
}

// Checks hdr as ov_write does and completes the lengths it writes;
// data_bytes the size of its data part.
bool prepare(OvHeader &hdr, long long &data_bytes)
{
    data_bytes = ov_data_size(hdr.type, hdr.num_rows, hdr.num_columns);
    if (!writable(hdr, data_bytes))
        return false;
    hdr.comment_length = text_length(hdr.comment);
    hdr.title_length = text_length(hdr.title);
    hdr.units_length = text_length(hdr.units);
    hdr.param_desc_length = text_length(hdr.param_desc);
    hdr.header_size = OV_FIXED_HEADER_SIZE + hdr.comment_length + hdr.title_length +
                      hdr.units_length + hdr.param_desc_length + hdr.private_length;
    hdr.version = OV_VERSION;
    return true;
}

// One part of a data set as the file holds it: bytes, or reals in file
// byte order; label names it in a message about a failed write.
struct part {
    const void *bytes;
    long long n;
    const char *label;
    bool reals;
};

// The parts of a prepared data set in file order; fixed receives the
// fixed header.
std::array<part, 10> parts_of(const OvHeader &hdr, unsigned char *fixed, long long data_bytes)
{
    ov::store_fixed(hdr, fixed);
    bool irregular = hdr.grid_type != REGULAR, has_vdata = ov_has_vdata(hdr.type) && hdr.vdata;
    return {{{fixed, OV_FIXED_HEADER_SIZE, "ov_write header", false},
             {hdr.comment, hdr.comment_length, "ov_write comment", false},
             {hdr.private_data, hdr.private_length, "ov_write private", false},
             {hdr.title, hdr.title_length, "ov_write title", false},
             {hdr.units, hdr.units_length, "ov_write units", false},
             {hdr.param_desc, hdr.param_desc_length, "ov_write param_desc", false},
             {hdr.lats, irregular ? 4LL * hdr.num_rows : 0, "ov_write lats", true},
             {hdr.lons, irregular ? 4LL * hdr.num_columns : 0, "ov_write lons", true},
             {hdr.data, hdr.data ? data_bytes : 0, "ov_write data", true},
             {hdr.vdata, has_vdata ? data_bytes : 0, "ov_write vdata", true}}};
}

}  // namespace

int ov_build_image(OvHeader *hdr, bool with_magic, ov_image &image)
{
    long long data_bytes = 0;
    if (!prepare(*hdr, data_bytes))
        return -1;
    unsigned char fixed[OV_FIXED_HEADER_SIZE];
    auto parts = parts_of(*hdr, fixed, data_bytes);
    std::size_t total = with_magic ? sizeof file_magic : 0;
    for (const part &p : parts)
        total += static_cast<std::size_t>(std::max(p.n, 0LL));
    image.bytes.resize(total);
    image.parts = 0;
    unsigned char *at = image.bytes.data();
    if (with_magic) {
        at = std::copy(file_magic, file_magic + sizeof file_magic, at);
        image.ends[0] = sizeof file_magic;
        image.labels[image.parts++] = "ov_create write";
    }
    for (const part &p : parts) {
        auto n = static_cast<std::size_t>(std::max(p.n, 0LL));
        if (n == 0)
            continue;
        if (p.reals)
            ov::store_reals(static_cast<const float *>(p.bytes), n / 4, at);
        else
            std::memcpy(at, p.bytes, n);
        at += n;
        image.ends[image.parts] = static_cast<std::size_t>(at - image.bytes.data());
        image.labels[image.parts++] = p.label;
    }
    return 0;
}

const char *ov_put_image(int fd, const ov_image &image)
{
    std::size_t done = 0, total = image.bytes.size();
    while (done < total) {
        ssize_t n = ::write(fd, image.bytes.data() + done, total - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (done == total)
        return nullptr;
    // Named after the part the failure met, as the writes one part at a
    // time name it.
    const char *label = "ov_create write";
    for (int i = 0; i < image.parts && done >= (i == 0 ? 0 : image.ends[i - 1]); i++)
        label = image.labels[i];
    return label;
}

int ov_write_whole(int fd, OvHeader *hdr, bool with_magic, ov_image &image)
{
    if (ov_build_image(hdr, with_magic, image) != 0)
        return -1;
    if (const char *label = ov_put_image(fd, image)) {
        std::perror(label);
        return -1;
    }
    return 0;
}

extern "C" {

int ov_create(const char *path)
{
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror("ov_create");
        return -1;
    }
    if (write_all(fd, file_magic, sizeof file_magic) != 0) {
        std::perror("ov_create write");
        struct stat st;
        bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        ::close(fd);
        if (regular)   // never a device (/dev/full) that path names
            ::unlink(path);
        return -1;
    }
    return fd;
}

int ov_open(const char *path, int mode)
{
    if (mode < 0 || mode > 2)
        mode = 0;
    const int flags[3] = {O_RDONLY, O_WRONLY, O_RDWR};
    if (mode == 1) {
        // A write-only descriptor cannot read the magic: check it apart.
        int check = ov_open(path, 0);
        if (check < 0)
            return -1;
        ::close(check);
    }
    int fd = ::open(path, flags[mode]);
    if (fd < 0)
        return -1;
    bool ok = mode == 1 ? ::lseek(fd, OV_MAGIC_SIZE, SEEK_SET) == OV_MAGIC_SIZE
                        : has_magic(fd);
    if (!ok) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void ov_close(int fd)
{
    ::close(fd);
}

OvHeader *ov_create_hdr(int type, int num_rows, int num_columns, float *data,
                        float *vdata)
{
    auto *hdr = static_cast<OvHeader *>(std::calloc(1, sizeof(OvHeader)));
    if (!hdr) {
        std::fprintf(stderr, "ov_create_hdr: malloc failed\n");
        return nullptr;
    }
    hdr->id = OV_DEFAULT_ID;
    hdr->bad_value = OV_DEFAULT_BAD_VALUE;
    hdr->increment_type = DEGREES;
    hdr->grid_type = REGULAR;
    hdr->type = type;
    hdr->num_rows = num_rows;
    hdr->num_columns = num_columns;
    hdr->data = data;
    hdr->vdata = vdata;
    return hdr;
}

int ov_write(int fd, OvHeader *hdr)
{
    long long data_bytes = 0;
    if (!prepare(*hdr, data_bytes))
        return -1;
    unsigned char fixed[OV_FIXED_HEADER_SIZE];
    bool ok = true;
    for (const part &p : parts_of(*hdr, fixed, data_bytes))
        ok = ok && (p.reals ? write_reals(fd, static_cast<const float *>(p.bytes), p.n, p.label)
                            : write_part(fd, p.bytes, p.n, p.label));
    return ok ? 0 : -1;
}

}  // extern "C"
