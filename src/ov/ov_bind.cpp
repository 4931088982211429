// Entry points for callers that pass every argument by reference, keep
// texts in blank-padded fields and store arrays column by column.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gridpick/ov.h>

namespace {

// A blank-padded name field as a C string.
std::string field_name(const char *name, long len)
{
    std::string s(name, static_cast<size_t>(std::max(len, 0L)));
    s.push_back('\0');
    ov_null_terminate(s.data(), static_cast<int>(len > 0 ? len : 0));
    return s.c_str();
}

// The text a writer binding takes from a field: its first len - 1
// characters; none for a field of length 0 or 1.
std::string field_text(const char *field, long len)
{
    return field && len > 1 ? std::string(field, static_cast<size_t>(len - 1)) : std::string();
}

const char *or_null(const std::string &s)
{
    return s.empty() ? nullptr : s.c_str();
}

// Copies a text of the data set into the caller's field; the slot points
// to the field, and the length field holds what was copied.
void give_text(char *&slot, int &length, const int *caller_len, char *field)
{
    int n = std::min(*caller_len, length);
    if (*caller_len > 0 && length > 0 && slot && field) {
        std::memcpy(field, slot, static_cast<size_t>(n));
        std::free(slot);
        slot = field;
        length = n;
    } else {
        std::free(slot);
        slot = nullptr;
    }
}

// The first len values of the column-major form of a row-major grid,
// computed one by one: no copy of the grid is made.
void transpose_into(float *dst, int len, const float *src, int rows, int columns)
{
    long cells = static_cast<long>(rows) * columns;
    long count = std::min<long>(len, cells);
    for (long k = 0; k < count; k++)
        dst[k] = src[(k % rows) * columns + k / rows];
}

// Copies data (or vdata) into the caller's array and lets the slot point to
// it; null when the caller gave no room.
void give_values(float *&slot, const OvHeader &h, const int *len, float *dst)
{
    float *src = slot;
    slot = nullptr;
    if (*len != 0 && dst && src) {
        if (h.type == OV_CONTOUR || h.type == OV_VECTOR)
            transpose_into(dst, *len, src, h.num_rows, h.num_columns);
        else if (h.type == OV_OUTLINE)
            std::copy(src, src + std::clamp(*len, 0, std::max(h.num_rows, 0)), dst);
        slot = dst;
    }
    std::free(src);
}

void give_axis(float *&slot, int count, float *dst)
{
    float *src = slot;
    slot = nullptr;
    if (src && dst) {
        std::copy(src, src + count, dst);
        slot = dst;
    }
    std::free(src);
}

int write_binding(const int *fd, const void *hdr_area, const char *comment, const char *title,
                  const char *units, const char *desc, const void *priv, float *data,
                  float *vdata, float *lats, float *lons, long comment_len, long title_len,
                  long units_len, long desc_len)
{
    OvHeader h;
    std::memcpy(&h, hdr_area, OV_FIXED_HEADER_SIZE);
    std::string c = field_text(comment, comment_len), t = field_text(title, title_len);
    std::string u = field_text(units, units_len), d = field_text(desc, desc_len);
    h.comment = const_cast<char *>(or_null(c));
    h.title = const_cast<char *>(or_null(t));
    h.units = const_cast<char *>(or_null(u));
    h.param_desc = const_cast<char *>(or_null(d));
    h.private_data = static_cast<char *>(const_cast<void *>(priv));
    h.grid_type = lats ? IRREGULAR : REGULAR;
    h.lats = lats;
    h.lons = lons;
    h.data = data;
    h.vdata = ov_has_vdata(h.type) ? vdata : nullptr;
    long long bytes = ov_data_size(h.type, h.num_rows, h.num_columns);
    if (bytes < 0 || h.private_length < 0) {
        std::fprintf(stderr, "ov_write: malloc failed\n");
        return -1;
    }
    return ov_write(*fd, &h) == 0 ? 0 : -1;
}

}  // namespace

extern "C" {

void ov_create_(const char *name, int *fd_out, long name_len)
{
    *fd_out = ov_create(field_name(name, name_len).c_str());
}

void ov_open_(const char *name, int *fd_out, const int *mode, long name_len)
{
    *fd_out = ov_open(field_name(name, name_len).c_str(), *mode);
}

void ov_close_(const int *fd)
{
    ov_close(*fd);
}

void ov_read_(const int *fd, void *hdr_area, const int *comment_len, char *comment,
              const int *title_len, char *title, const int *units_len, char *units,
              const int *desc_len, char *desc, void *, void *, const int *data_len,
              float *data, const int *vdata_len, float *vdata, const int *want_data,
              float *lats, float *lons, long, long, long, long)
{
    OvHeader *h = ov_read(*fd, *want_data);
    if (!h) {
        std::fprintf(stderr, "ov_read_: read failed\n");
        return;
    }
    give_text(h->comment, h->comment_length, comment_len, comment);
    give_text(h->title, h->title_length, title_len, title);
    give_text(h->units, h->units_length, units_len, units);
    give_text(h->param_desc, h->param_desc_length, desc_len, desc);
    std::free(h->private_data);
    h->private_data = nullptr;
    // Only an IRREGULAR grid fills the caller's lat/lon arrays: for other
    // grid types the caller need not have provided room.
    bool irregular = h->grid_type == IRREGULAR;
    give_axis(h->lats, h->num_rows, irregular ? lats : nullptr);
    give_axis(h->lons, h->num_columns, irregular ? lons : nullptr);
    give_values(h->data, *h, data_len, data);
    give_values(h->vdata, *h, vdata_len, vdata);
    std::memcpy(hdr_area, h, sizeof *h);
    std::free(h);
}

int ov_write_(const int *fd, const void *hdr_area, const char *comment, const char *title,
              const char *units, const char *desc, const void *priv, float *data,
              float *vdata, long comment_len, long title_len, long units_len, long desc_len)
{
    return write_binding(fd, hdr_area, comment, title, units, desc, priv, data, vdata,
                         nullptr, nullptr, comment_len, title_len, units_len, desc_len);
}

int ov_write_irregular_(const int *fd, const void *hdr_area, const char *comment,
                        const char *title, const char *units, const char *desc,
                        const void *priv, float *data, float *vdata, float *lats,
                        float *lons, long comment_len, long title_len, long units_len,
                        long desc_len)
{
    if (!lats || !lons) {
        std::fprintf(stderr, "ov_write: irregular grid without lats or lons\n");
        return -1;
    }
    return write_binding(fd, hdr_area, comment, title, units, desc, priv, data, vdata, lats,
                         lons, comment_len, title_len, units_len, desc_len);
}

void ov_print_hdr_(const void *hdr_area)
{
    OvHeader h;
    std::memcpy(&h, hdr_area, sizeof h);
    auto bounded = [](const char *text, int n) {
        return text ? std::string(text, static_cast<size_t>(std::max(n, 0))) : std::string();
    };
    std::string c = bounded(h.comment, h.comment_length), t = bounded(h.title, h.title_length);
    std::string u = bounded(h.units, h.units_length);
    std::string d = bounded(h.param_desc, h.param_desc_length);
    h.comment = h.comment ? c.data() : nullptr;
    h.title = h.title ? t.data() : nullptr;
    h.units = h.units ? u.data() : nullptr;
    h.param_desc = h.param_desc ? d.data() : nullptr;
    h.comment_length = 0;
    ov_print_hdr(&h);
}

void ov_free_(void *hdr_area)
{
    auto *h = static_cast<OvHeader *>(hdr_area);
    h->data = h->vdata = nullptr;
    h->comment = h->private_data = nullptr;
}

void transpose_data(float *dst, const float *src, int rows, int columns, int max_count)
{
    long count = std::min<long>(max_count, static_cast<long>(rows) * columns);
    for (long r = 0, k = 0; r < rows && k < count; r++)
        for (long c = 0; c < columns && k < count; c++, k++)
            dst[r + c * rows] = src[r * columns + c];
}

void untranspose_data(float *dst, const float *src, int rows, int columns, int max_count)
{
    long count = std::min<long>(max_count, static_cast<long>(rows) * columns);
    for (long c = 0, k = 0; c < columns && k < count; c++)
        for (long r = 0; r < rows && k < count; r++, k++)
            dst[c + r * columns] = src[r + c * rows];
}

}  // extern "C"
