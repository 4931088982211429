// Value ranges, types and magnitudes of data sets and files.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <gridpick/ov_cdf.h>
#include <gridpick/util.h>

namespace {

void update(float v, float *min, float *max)
{
    if (v < *min)
        *min = v;
    if (v > *max)
        *max = v;
}

// The first data set of an ov file (with its data when want_data), or null.
OvHeader *first_data_set(const char *path, int want_data, const char *who)
{
    int fd = ov_open(path, 0);
    if (fd < 0) {
        if (who)
            std::fprintf(stderr, "%s: ov_open failed\n", who);
        return nullptr;
    }
    OvHeader *hdr = ov_read(fd, want_data);
    ov_close(fd);
    return hdr;
}

float max_magnitude(const OvHeader &h)
{
    double best = -1.0;
    long cells = static_cast<long>(h.num_rows) * h.num_columns;
    switch (h.type) {
    case OV_CONTOUR:
        for (long i = 0; i < cells; i++)
            if (h.data[i] != h.bad_value && h.data[i] > best)
                best = h.data[i];
        return static_cast<float>(best);
    case OV_VECTOR:
        for (long i = 0; i < cells && h.vdata; i++) {
            double u = h.data[i], v = h.vdata[i];
            if (h.data[i] != h.bad_value && h.vdata[i] != h.bad_value)
                best = std::max(best, u * u + v * v);
        }
        return best < 0 ? -1.0f : static_cast<float>(std::sqrt(best));
    case OV_UNGRIDDED_VECTOR:
        for (int i = 0; i < h.num_rows; i++) {
            double u = h.data[4 * i + 2], v = h.data[4 * i + 3];
            best = std::max(best, u * u + v * v);
        }
        return best < 0 ? -1.0f : static_cast<float>(std::sqrt(best));
    case OV_UNGRIDDED_SCALAR:
        for (int i = 0; i < h.num_rows; i++)
            best = std::max(best, static_cast<double>(h.data[3 * i + 2]));
        return static_cast<float>(best);
    default:
        std::fprintf(stderr, "Error: cannot take magnitude of file type '%d'\n", h.type);
        return -1.0f;
    }
}

}  // namespace

extern "C" {

void ov_compute_data_range(const OvHeader *h, float *min_out, float *max_out)
{
    float min = 1e12f, max = -1e12f;
    const float bad = h->bad_value;
    for (int r = 0; r < h->num_rows && h->data; r++) {
        switch (h->type) {
        case OV_UNGRIDDED_VECTOR:
            update(h->data[4 * r + 2], &min, &max);
            update(h->data[4 * r + 3], &min, &max);
            break;
        case OV_UNGRIDDED_SCALAR:
            update(h->data[3 * r + 2], &min, &max);
            break;
        case OV_OUTLINE:
            if (h->data[r] != bad)
                update(h->data[r], &min, &max);
            if (h->vdata && h->vdata[r] != bad)
                update(h->vdata[r], &min, &max);
            break;
        default: {
            const float *row = h->data + static_cast<long>(r) * h->num_columns;
            for (int c = 0; c < h->num_columns; c++)
                if (row[c] != bad)
                    update(row[c], &min, &max);
            if (!h->vdata)
                break;
            row = h->vdata + static_cast<long>(r) * h->num_columns;
            for (int c = 0; c < h->num_columns; c++)
                if (row[c] != bad)
                    update(row[c], &min, &max);
        }
        }
    }
    *min_out = min;
    *max_out = max;
}

int ov_get_range(const char *path, float *min_out, float *max_out)
{
    OvHeader *h = first_data_set(path, 1, "ov_get_range");
    if (!h)
        return -1;
    *min_out = h->min;
    *max_out = h->max;
    ov_destroy(h);
    return 0;
}

int ov_compute_range(const char *path, float *min_out, float *max_out)
{
    OvHeader *h = first_data_set(path, 1, "ov_compute_range");
    if (!h)
        return -1;
    ov_compute_data_range(h, min_out, max_out);
    ov_destroy(h);
    return 0;
}

int ov_identify_type(const char *path)
{
    OvHeader *h = first_data_set(path, 0, nullptr);
    if (!h)
        return -1;
    int type = h->type;
    ov_destroy(h);
    return type;
}

float ov_max_magnitude(const char *path, int level_index, int time_index)
{
    OvHeader *h = nullptr;
    switch (identify_datafile(path)) {
    case DATAFILE_OV: {
        int fd = ov_open(path, 0);
        if (fd < 0) {
            std::fprintf(stderr, "ov_max_magnitude: ov_open failed\n");
            return 10.0f;
        }
        h = ov_read(fd, 1);
        ov_close(fd);
        break;
    }
    case DATAFILE_NETCDF:
        h = cdf_to_ov(path, level_index, time_index);
        break;
    default:
        break;
    }
    if (!h)
        return -1.0f;
    float result = max_magnitude(*h);
    ov_destroy(h);
    return result;
}

}  // extern "C"
