// ov files of known grid data sets, written with the ov library, for the
// tests of the programs that read them.
#ifndef GRIDPICK_TEST_OV_SETS_H
#define GRIDPICK_TEST_OV_SETS_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ov.h"

namespace gptest {

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

}  // namespace gptest

#endif
