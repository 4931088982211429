// Creating and opening ov files, fresh header records, writing data sets.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ov_internal.h"
#include "fdio.h"

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

}  // namespace

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
    long long data_bytes = ov_data_size(hdr->type, hdr->num_rows, hdr->num_columns);
    if (!writable(*hdr, data_bytes))
        return -1;
    hdr->comment_length = text_length(hdr->comment);
    hdr->title_length = text_length(hdr->title);
    hdr->units_length = text_length(hdr->units);
    hdr->param_desc_length = text_length(hdr->param_desc);
    hdr->header_size = OV_FIXED_HEADER_SIZE + hdr->comment_length +
                       hdr->title_length + hdr->units_length +
                       hdr->param_desc_length + hdr->private_length;
    hdr->version = OV_VERSION;

    unsigned char fixed[OV_FIXED_HEADER_SIZE];
    ov::store_fixed(*hdr, fixed);
    bool ok = write_part(fd, fixed, sizeof fixed, "ov_write header") &&
              write_part(fd, hdr->comment, hdr->comment_length, "ov_write comment") &&
              write_part(fd, hdr->private_data, hdr->private_length, "ov_write private") &&
              write_part(fd, hdr->title, hdr->title_length, "ov_write title") &&
              write_part(fd, hdr->units, hdr->units_length, "ov_write units") &&
              write_part(fd, hdr->param_desc, hdr->param_desc_length,
                         "ov_write param_desc");
    if (ok && hdr->grid_type != REGULAR)
        ok = write_reals(fd, hdr->lats, 4LL * hdr->num_rows, "ov_write lats") &&
             write_reals(fd, hdr->lons, 4LL * hdr->num_columns, "ov_write lons");
    if (ok && hdr->data)
        ok = write_reals(fd, hdr->data, data_bytes, "ov_write data");
    if (ok && ov_has_vdata(hdr->type) && hdr->vdata)
        ok = write_reals(fd, hdr->vdata, data_bytes, "ov_write vdata");
    return ok ? 0 : -1;
}

}  // extern "C"
