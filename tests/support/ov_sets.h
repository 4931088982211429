// ov files of known grid data sets, written with the ov library, for the
// tests of the programs that read them; and the data sets of an ov file read
// back, for the tests of the programs that write them.
#ifndef GRIDPICK_TEST_OV_SETS_H
#define GRIDPICK_TEST_OV_SETS_H

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <gridpick/ov.h>

namespace gptest {

// A record the ov library allocated, released with ov_destroy.
struct destroy_record {
    void operator()(OvHeader *h) const { ov_destroy(h); }
};
using record = std::unique_ptr<OvHeader, destroy_record>;

// A data set on a grid of rows x columns at 10 degrees, rows from start_lat
// southwards, columns from 0 eastwards, end_lon as gridpick stores it.
struct grid_set {
    int type, param, level, year, month, day;
    float time;
    std::vector<float> u;
    std::vector<float> v = {};  // vdata, for OV_VECTOR
    float bad = -999.0f;
    int rows = 3, columns = 4;
    const char *units = "K";
    float start_lat = 10.0f;
};

inline void write_sets(const std::string &path, const std::vector<grid_set> &sets)
{
    int fd = ov_create(path.c_str());
    ASSERT_GE(fd, 0);
    for (grid_set s : sets) {
        OvHeader *h = ov_create_hdr(s.type, s.rows, s.columns, s.u.data(),
                                    s.v.empty() ? nullptr : s.v.data());
        h->param = s.param, h->level = s.level, h->year = s.year, h->month = s.month;
        h->day = s.day, h->time = s.time, h->bad_value = s.bad;
        h->units = const_cast<char *>(s.units);
        h->start_lat = s.start_lat, h->end_lat = s.start_lat - 10.0f * (s.rows - 1);
        h->lat_increment = h->lon_increment = 10.0f;
        h->end_lon = 10.0f * s.columns;
        EXPECT_EQ(ov_write(fd, h), 0);
        std::free(h);
    }
    ov_close(fd);
}

// A data set read back, with copies of what its record points to.
struct data_set {
    OvHeader hdr;
    std::string units;
    std::vector<float> data, vdata;
    std::vector<float> lats = {}, lons = {};   // IRREGULAR grids
};

// Every data set of the ov file at path (none when it cannot be opened).
inline std::vector<data_set> read_sets(const std::string &path)
{
    std::vector<data_set> out;
    int fd = ov_open(path.c_str(), 0);
    EXPECT_GE(fd, 0) << path;
    if (fd < 0)
        return out;
    testing::internal::CaptureStderr();   // the end of the file is reported
    while (OvHeader *h = ov_read(fd, 1)) {
        data_set d{*h, h->units ? h->units : "", {}, {}};
        std::size_t n = static_cast<std::size_t>(h->num_rows) * static_cast<std::size_t>(h->num_columns);
        d.data.assign(h->data, h->data + n);
        if (h->vdata)
            d.vdata.assign(h->vdata, h->vdata + n);
        if (h->grid_type == IRREGULAR && h->lats && h->lons) {
            d.lats.assign(h->lats, h->lats + h->num_rows);
            d.lons.assign(h->lons, h->lons + h->num_columns);
        }
        ov_destroy(h);
        out.push_back(d);
    }
    testing::internal::GetCapturedStderr();
    ov_close(fd);
    return out;
}

}  // namespace gptest

#endif
