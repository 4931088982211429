// What a piece of code prints on standard output.
#ifndef GRIDPICK_TEST_CAPTURE_H
#define GRIDPICK_TEST_CAPTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace gptest {

template <typename F>
std::string captured(F &&f)
{
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    f();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

}  // namespace gptest

#endif
