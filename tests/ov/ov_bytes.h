// Builds ov file images byte by byte, big-endian, for the reader tests.
#ifndef GRIDPICK_OV_BYTES_H
#define GRIDPICK_OV_BYTES_H

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace ovtest {

struct Bytes {
    std::string s;

    Bytes &i32(std::int32_t v)
    {
        auto w = static_cast<std::uint32_t>(v);
        for (int shift = 24; shift >= 0; shift -= 8)
            s.push_back(static_cast<char>(w >> shift));
        return *this;
    }
    Bytes &f32(float v)
    {
        std::int32_t w;
        std::memcpy(&w, &v, 4);
        return i32(w);
    }
    Bytes &reals(std::initializer_list<float> values)
    {
        for (float v : values)
            f32(v);
        return *this;
    }
    Bytes &text(const std::string &t)
    {
        s += t;
        return *this;
    }
    Bytes &magic() { return text(std::string("OV90a\0", 6)); }
};

// Words 0..23 of a fixed header (header_size .. private_length).
struct Fixed {
    int header_size = 136, version = 2, id = 7, year = 1993, month = 12, day = 31;
    float time = 18;
    int term = 0, type = 1, param = 130, level = 500;
    float min = 0, max = 0, bad_value = -999, start_lat = 90, end_lat = -90,
          start_lon = 0, end_lon = 357.5f, lat_increment = 2.5f, lon_increment = 2.5f;
    int num_rows = 2, num_columns = 3, comment_length = 0, private_length = 0;

    void put(Bytes &b) const
    {
        b.i32(header_size).i32(version).i32(id).i32(year).i32(month).i32(day).f32(time);
        b.i32(term).i32(type).i32(param).i32(level);
        b.f32(min).f32(max).f32(bad_value).f32(start_lat).f32(end_lat);
        b.f32(start_lon).f32(end_lon).f32(lat_increment).f32(lon_increment);
        b.i32(num_rows).i32(num_columns).i32(comment_length).i32(private_length);
    }
};

}  // namespace ovtest

#endif
