// Reading data sets back, and the record utilities (release, duplicate,
// blank-padded names).
//
// Files are untrusted: every count is checked, and every part is checked
// against what remains in the file, before anything is allocated.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "ov_internal.h"

namespace {

// Words of the fixed header that every version shares: header_size through
// private_length.
constexpr int common_words = 24;

// The fixed header of any version into hdr; false when it is short.
bool read_fixed(int fd, OvHeader &hdr)
{
    unsigned char image[OV_FIXED_HEADER_SIZE];
    if (!ov::read_all(fd, image, sizeof image)) {
        std::fprintf(stderr, "ov_read: header read failed\n");
        return false;
    }
    ov::load_fixed(image, 0, common_words, hdr);
    int version = hdr.version;
    if (version != 0 && version != 1 && version != 2) {
        std::fprintf(stderr, "ov_read_header: unknown version: %d\n", version);
        version = 0;
    }
    hdr.increment_type = hdr.title_length = hdr.units_length = 0;
    hdr.param_desc_length = hdr.grid_type = 0;
    if (version == 2)
        ov::load_fixed(image + 4 * common_words, common_words,
                       ov::fixed_words - common_words, hdr);
    else if (version == 1)
        ov::load_fixed(image + 4 * common_words, common_words, 4, hdr);
    if (hdr.increment_type != DEGREES && hdr.increment_type != KILOMETERS) {
        std::fprintf(stderr, "Warning: illegal increment type: %d; DEGREES assumed.\n",
                     hdr.increment_type);
        hdr.increment_type = DEGREES;
    }
    return true;
}

// Takes a part of n bytes (n >= 0 checked by the caller) out of *left; false
// after a message when the file does not hold it.
bool take(long long n, const char *what, long long *left)
{
    if (n > *left) {
        std::fprintf(stderr, "ov_read: %s of %lld bytes exceeds the %lld bytes left\n",
                     what, n, *left);
        return false;
    }
    *left -= n;
    return true;
}

bool count_ok(int n, const char *what)
{
    if (n >= 0)
        return true;
    std::fprintf(stderr, "ov_read: invalid %s: %d\n", what, n);
    return false;
}

// Counts of the parts ov_read_header reads, and whether they fit the
// left bytes of the file (less what they take).
bool header_parts_fit(const OvHeader &hdr, long long &left)
{
    if (!count_ok(hdr.comment_length, "comment length") ||
        !count_ok(hdr.private_length, "private length") ||
        !count_ok(hdr.title_length, "title length") ||
        !count_ok(hdr.units_length, "units length") ||
        !count_ok(hdr.param_desc_length, "param_desc length") ||
        !count_ok(hdr.num_rows, "row count"))
        return false;
    if (!take(hdr.comment_length, "comment", &left) ||
        !take(hdr.private_length, "private data", &left) ||
        !take(hdr.title_length, "title", &left) ||
        !take(hdr.units_length, "units", &left) ||
        !take(hdr.param_desc_length, "param_desc", &left))
        return false;
    if (hdr.grid_type == REGULAR)
        return true;
    return count_ok(hdr.num_columns, "column count") &&
           take(4LL * hdr.num_rows, "lats", &left) &&
           take(4LL * hdr.num_columns, "lons", &left);
}

// bytes read into a new block with spare bytes more; null on failure (*ok
// false, after a message) or when *ok is false already.
void *read_block(int fd, size_t bytes, size_t spare, const char *label, const char *what,
                 bool *ok)
{
    if (!*ok)
        return nullptr;
    void *block = gimme(bytes + spare, label);
    if (!block) {
        *ok = false;
        return nullptr;
    }
    if (!ov::read_all(fd, block, bytes)) {
        std::fprintf(stderr, "ov_read: %s read failed\n", what);
        std::free(block);
        *ok = false;
        return nullptr;
    }
    return block;
}

// n bytes as a zero-terminated text; null for n == 0 (*ok stays true) or on
// failure.
char *read_text(int fd, int n, const char *label, const char *what, bool *ok)
{
    if (n == 0)
        return nullptr;
    auto *text = static_cast<char *>(read_block(fd, static_cast<size_t>(n), 1, label, what, ok));
    if (text)
        text[n] = '\0';
    return text;
}

float *read_reals(int fd, long long bytes, const char *label, const char *what,
                  bool *ok)
{
    auto *values =
        static_cast<float *>(read_block(fd, static_cast<size_t>(bytes), 0, label, what, ok));
    if (values)
        ov::reals_from_file_order(values, static_cast<size_t>(bytes) / 4);
    return values;
}

void free_header_parts(OvHeader &hdr)
{
    std::free(hdr.comment);
    std::free(hdr.private_data);
    std::free(hdr.title);
    std::free(hdr.units);
    std::free(hdr.param_desc);
    std::free(hdr.lats);
    std::free(hdr.lons);
    hdr.comment = hdr.private_data = hdr.title = hdr.units = hdr.param_desc = nullptr;
    hdr.lats = hdr.lons = nullptr;
}

// A copy of n bytes of src in a new block (with a spare byte), or null.
template <typename T>
T *copy_block(const T *src, size_t n, bool *ok)
{
    if (!src || !*ok)
        return nullptr;
    auto *copy = static_cast<T *>(std::malloc(n + 1));
    if (!copy) {
        *ok = false;
        return nullptr;
    }
    std::memcpy(copy, src, n);
    return copy;
}

// ov_read_header, leaving in *left the bytes of the file after the parts
// read.
int read_header(int fd, OvHeader *hdr, long long *left)
{
    if (!read_fixed(fd, *hdr))
        return -1;
    *left = ov::bytes_left(fd);
    if (!header_parts_fit(*hdr, *left))
        return -1;
    bool ok = true;
    hdr->comment = read_text(fd, hdr->comment_length, "ov_read comment", "comment", &ok);
    hdr->private_data =
        read_text(fd, hdr->private_length, "ov_read private", "private", &ok);
    hdr->title = read_text(fd, hdr->title_length, "ov_read title", "title", &ok);
    hdr->units = read_text(fd, hdr->units_length, "ov_read units", "units", &ok);
    hdr->param_desc =
        read_text(fd, hdr->param_desc_length, "ov_read param_desc", "param_desc", &ok);
    hdr->lats = hdr->lons = nullptr;
    if (hdr->grid_type != REGULAR) {
        hdr->lats = read_reals(fd, 4LL * hdr->num_rows, "ov_read lat", "lat", &ok);
        hdr->lons = read_reals(fd, 4LL * hdr->num_columns, "ov_read lon", "lon", &ok);
    }
    if (!ok)
        free_header_parts(*hdr);
    return ok ? 0 : -1;
}

}  // namespace

extern "C" {

int ov_read_header(int fd, OvHeader *hdr)
{
    long long left;
    return read_header(fd, hdr, &left);
}

OvHeader *ov_read(int fd, int want_data)
{
    auto *hdr = static_cast<OvHeader *>(gimme(sizeof(OvHeader), "ov_read header"));
    if (!hdr)
        return nullptr;
    std::memset(hdr, 0, sizeof *hdr);
    long long left;
    if (read_header(fd, hdr, &left) != 0) {
        std::free(hdr);
        return nullptr;
    }
    long long bytes = ov_data_size(hdr->type, hdr->num_rows, hdr->num_columns);
    int parts = ov_has_vdata(hdr->type) ? 2 : 1;
    bool ok = count_ok(bytes < 0 ? -1 : 0, "data size") &&
              take(bytes, "data", &left) && (parts == 1 || take(bytes, "vdata", &left));
    if (ok && want_data) {
        hdr->data = read_reals(fd, bytes, "ov_read data", "data", &ok);
        if (parts == 2)
            hdr->vdata = read_reals(fd, bytes, "ov_read data", "vdata", &ok);
    } else if (ok && ::lseek(fd, parts * bytes, SEEK_CUR) < 0) {
        std::perror("ov_read seek");
        ok = false;
    }
    if (!ok) {
        ov_destroy(hdr);
        return nullptr;
    }
    return hdr;
}

void ov_free(OvHeader *hdr)
{
    std::free(hdr->data);
    if (hdr->vdata && ov_has_vdata(hdr->type))
        std::free(hdr->vdata);
    std::free(hdr->comment);
    std::free(hdr->private_data);
    hdr->data = hdr->vdata = nullptr;
    hdr->comment = hdr->private_data = nullptr;
}

void ov_destroy(OvHeader *hdr)
{
    if (!hdr)
        return;
    std::free(hdr->data);
    std::free(hdr->vdata);
    free_header_parts(*hdr);
    std::free(hdr);
}

OvHeader *ov_dup_header(const OvHeader *src, OvHeader *dst)
{
    OvHeader copy = *src;
    bool ok = true;
    auto text = [&ok](const char *s) { return copy_block(s, s ? std::strlen(s) + 1 : 0, &ok); };
    copy.comment = text(src->comment);
    copy.title = text(src->title);
    copy.units = text(src->units);
    copy.param_desc = text(src->param_desc);
    copy.private_data = src->private_length > 0
                            ? copy_block(src->private_data,
                                         static_cast<size_t>(src->private_length), &ok)
                            : nullptr;
    copy.lats = copy.lons = nullptr;
    if (src->lats && src->num_rows >= 0 && src->num_columns >= 0) {
        copy.lats = copy_block(src->lats, 4 * static_cast<size_t>(src->num_rows), &ok);
        copy.lons = copy_block(src->lons, 4 * static_cast<size_t>(src->num_columns), &ok);
    }
    OvHeader *out = dst;
    if (ok && !out)
        out = static_cast<OvHeader *>(std::malloc(sizeof(OvHeader)));
    if (!ok || !out) {
        std::fprintf(stderr, "dup_header: could not malloc new header\n");
        free_header_parts(copy);
        return nullptr;
    }
    *out = copy;
    return out;
}

void ov_null_terminate(char *buffer, int length)
{
    if (length < 0)
        return;
    int n = length;
    while (n > 0 && buffer[n - 1] == ' ')
        n--;
    buffer[n] = '\0';
}

}  // extern "C"
