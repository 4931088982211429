// Printing headers and data sets in readable form.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <gridpick/ov.h>

namespace {

const char *unit_name(int increment_type)
{
    return increment_type == KILOMETERS ? "km" : "degrees";
}

const char *type_line(int type)
{
    switch (type) {
    case OV_CONTOUR: return "\ntype: OV_CONTOUR\t";
    case OV_VECTOR: return "\ntype: OV_VECTOR\t";
    case OV_OUTLINE: return "\ntype: OV_OUTLINE\t";
    case OV_UNGRIDDED_VECTOR: return "\ntype: OV_UNGRIDDED_VECTOR\t";
    case OV_UNGRIDDED_SCALAR: return "\ntype: OV_UNGRIDDED_SCALAR\t";
    default: return "";
    }
}

bool gridded(int type)
{
    return type != OV_OUTLINE && type != OV_UNGRIDDED_VECTOR && type != OV_UNGRIDDED_SCALAR;
}

// Values per printed row: a grid row, or one point or record of the other
// types (whose num_columns says nothing about their data).
int row_width(const OvHeader &h)
{
    switch (h.type) {
    case OV_OUTLINE: return 1;
    case OV_UNGRIDDED_VECTOR: return 4;
    case OV_UNGRIDDED_SCALAR: return 3;
    default: return h.num_columns;
    }
}

void print_some_points(const OvHeader &h, int first, int last, bool positions)
{
    for (int i = first; i <= last; i++) {
        if (h.type == OV_OUTLINE) {
            std::printf("%7.3f, %7.3f\n", h.data[i], h.vdata ? h.vdata[i] : 0.0f);
            continue;
        }
        const float *rec = h.data + (h.type == OV_UNGRIDDED_VECTOR ? 4 : 3) * i;
        if (h.type == OV_UNGRIDDED_VECTOR)
            std::printf("%7.3f %7.3f", rec[2], rec[3]);
        else
            std::printf("%7.3f", rec[2]);
        if (positions)
            std::printf(" [%7.3f, %7.3f]", rec[0], rec[1]);
        std::printf("\n");
    }
}

void print_some_rows(const OvHeader &h, int first, int last, bool positions)
{
    int per_line = 8;
    if (h.vdata)
        per_line /= 2;
    if (positions)
        per_line /= 2;
    // Imported grids may carry signed increments: the direction comes from
    // the grid's ends alone.
    float lat_step = std::fabs(h.lat_increment), lon_step = std::fabs(h.lon_increment);
    if (h.start_lat > h.end_lat)
        lat_step = -lat_step;
    if (h.start_lon > h.end_lon)
        lon_step = -lon_step;
    bool listed = h.grid_type != REGULAR && h.lats && h.lons;
    int count = 0;
    std::printf("data:\n");
    for (int r = first; r <= last; r++) {
        std::printf("row #%d:\n", r);
        for (int c = 0; c < h.num_columns; c++) {
            long i = static_cast<long>(r) * h.num_columns + c;
            std::printf("%7.3f", h.data[i]);
            if (h.vdata)
                std::printf("%7.3f", h.vdata[i]);
            if (positions) {
                float lat = listed ? h.lats[r] : h.start_lat + static_cast<float>(r) * lat_step;
                float lon = listed ? h.lons[c] : h.start_lon + static_cast<float>(c) * lon_step;
                std::printf(" [%7.3f, %7.3f]", lat, lon);
            }
            std::printf("\t");
            if (++count == per_line || count == h.num_columns) {
                std::printf("\n");
                count = 0;
            }
        }
    }
}

}  // namespace

extern "C" {

void ov_print_float_array(const float *values, int count, int per_line)
{
    for (int i = 0; i < count; i++) {
        std::printf("%9.3f\t", values[i]);
        if (per_line > 0 && (i + 1) % per_line == 0)
            std::printf("\n");
    }
    std::printf("\n");
}

void ov_print_hdr(const OvHeader *h)
{
    if (h->title)
        std::printf("\ntitle[%d]: \t%s", h->title_length, h->title);
    if (h->units)
        std::printf("\nunits: \t%s", h->units);
    if (h->param_desc)
        std::printf("\ndescription: \t%s", h->param_desc);
    std::printf("\tparam: %d", h->param);
    std::printf("\nHeader Size: %d\t", h->header_size);
    std::printf("id: %d\t", h->id);
    std::printf("version: %d\t", h->version);
    std::printf("\ndate: %d/%d/%d\t", h->month, h->day, h->year);
    std::printf("time: %g\t", h->time);
    std::printf("\nterm: %d\t", h->term);
    std::printf("%s", type_line(h->type));
    std::printf("\nlevel: %dmb", h->level);
    std::printf("\nmin: %g\t", h->min);
    std::printf("max: %g\t", h->max);
    std::printf("bad value: %g", h->bad_value);
    std::printf("\nstart_lat: %g\t", h->start_lat);
    std::printf("start_lon: %g", h->start_lon);
    std::printf("\nend_lat: %g\t", h->end_lat);
    std::printf("end_lon: %g", h->end_lon);
    const char *unit = unit_name(h->increment_type);
    std::printf("\nlongitude increment: %g %s\t", h->lon_increment, unit);
    std::printf("\nlatitude increment:  %g %s", h->lat_increment, unit);
    std::printf("\nnum_rows: %d\t", h->num_rows);
    std::printf("num_columns: %d\t", h->num_columns);
    std::printf("\nsize of private data: %d bytes", h->private_length);
    if (h->comment)
        std::printf("\ncomment[%d]: %s", h->comment_length, h->comment);
    if (h->grid_type == REGULAR) {
        std::printf("\ngrid type: REGULAR\t");
    } else {
        std::printf("\ngrid type: IRREGULAR\t");
        std::printf("\nlats:\n");
        if (h->lats)
            ov_print_float_array(h->lats, h->num_rows, 8);
        std::printf("\nlons:\n");
        if (h->lons)
            ov_print_float_array(h->lons, h->num_columns, 8);
    }
    std::printf("\n");
}

void ov_print_data(const OvHeader *h, int, int, int)
{
    int width = row_width(*h);
    int count = 0;
    std::printf("data:\n");
    if (!h->data)
        return;
    for (int r = 0; r < h->num_rows; r++) {
        std::printf("scan #%d:\n", r);
        for (int c = 0; c < width; c++) {
            std::printf("%7.3f\t", h->data[static_cast<long>(r) * width + c]);
            if (++count == 8 || count == width) {
                std::printf("\n");
                count = 0;
            }
        }
    }
    if (!h->vdata)
        return;
    std::printf("vdata:\n");
    for (int r = 0; r < h->num_rows; r++) {
        std::printf("scan #%d:\n", r);
        for (int c = 0; c < width; c++) {
            std::printf("%7.3f\t", h->vdata[static_cast<long>(r) * width + c]);
            if (++count == 8) {
                std::printf("\n");
                count = 0;
            }
        }
    }
}

void ov_print_some_data(const OvHeader *h, int first, int last, int show_positions)
{
    first = std::max(first, 0);
    last = std::min(last, h->num_rows - 1);
    if (!h->data)
        return;
    if (gridded(h->type))
        print_some_rows(*h, first, last, show_positions != 0);
    else
        print_some_points(*h, first, last, show_positions != 0);
}

}  // extern "C"
