// Helpers shared by the codec tests: captured output, message octets.
#ifndef GRIB_TEST_UTIL_H
#define GRIB_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "grib.h"
#include "grib_state.h"

namespace gtu {

inline void start_capture()
{
    std::fflush(stdout);
    testing::internal::CaptureStdout();
}

inline std::string end_capture()
{
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// A message buffer: words whose octets are the message in file order.
struct Msg {
    std::vector<gint> w;
    explicit Msg(size_t words = 0) : w(words, 0) {}
    unsigned char *oct() { return reinterpret_cast<unsigned char *>(w.data()); }
    unsigned char &at(size_t i) { return oct()[i]; }  // octet i, from 0
    static Msg from_octets(const std::vector<unsigned char> &o, size_t words = 0)
    {
        Msg m(std::max(words, (o.size() + 3) / 4));
        std::memcpy(m.oct(), o.data(), o.size());
        return m;
    }
    std::vector<unsigned char> octets(size_t n) { return {oct(), oct() + n}; }
};

}  // namespace gtu

#endif
