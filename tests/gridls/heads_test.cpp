// The framing with heads, as gridls reads disk files: on clean and damaged
// archives it hands out the same messages, reports and counts as without,
// each message as its first 79 octets (sections 0 to 2 of a 144 x 73
// latitude/longitude grid and 11 octets of section 4).
#include "archive_bytes.h"
#include "frame.h"
#include "process.h"
#include "tpio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Framed {
    std::vector<std::string> messages;   // "position length", in order
    std::vector<int> handed;             // bytes each call returned
    long whole, damaged, passed_over;
    std::string report;
};

Framed frame(const std::string &path, int heads)
{
    tpio_reset();
    gp_frame_reset();
    std::FILE *report = std::tmpfile();
    gp_frame.report = report;
    gp_frame.heads = heads;   // from the first read on, as gridls does
    Framed f{};
    std::vector<std::int32_t> buffer(8000, -1);
    gp_frame_message where{};
    EXPECT_EQ(gp_frame_open(4, path.c_str()), 0);
    for (int n; (n = gp_frame_next(4, buffer.data(), 8000, &where)) > 0;) {
        f.messages.push_back(std::to_string(where.position) + " " + std::to_string(where.length));
        f.handed.push_back(n);
        const char *bytes = reinterpret_cast<const char *>(buffer.data());
        EXPECT_EQ(std::string(bytes + n, 32000 - std::size_t(n)), std::string(32000 - n, '\0'));
    }
    f.whole = gp_frame.whole;
    f.damaged = gp_frame.damaged;
    f.passed_over = gp_frame.passed_over;
    std::rewind(report);
    for (int c; (c = std::fgetc(report)) != EOF;)
        f.report += static_cast<char>(c);
    std::fclose(report);
    tpio_reset();
    return f;
}

TEST(Heads, SameMessagesReportsAndCountsAsWholeMessages)
{
    gptest::TempDir dir;
    ASSERT_EQ(gptest::run(gptest::built("mkarchive"), {"-p", "130,157", "-l", "500", "-T", "0,12",
                                                       dir.file("a.grb")}).status, 0);
    const std::string clean = gptest::read_file(dir.file("a.grb"));
    constexpr std::size_t stride = 21120, length = 21108;
    ASSERT_EQ(clean.size(), 4 * stride);
    using Mutate = std::function<void(std::string &)>;
    const std::vector<std::pair<const char *, Mutate>> mutants = {
        {"clean", [](std::string &) {}},
        {"end marker", [](std::string &b) { b[stride + length - 2] ^= 1; }},
        {"cut in half", [](std::string &b) { b.erase(2 * stride + length / 2, length / 2); }},
        {"section 4 length", [](std::string &b) { b[70] ^= 1; }},
        {"a line of text", [](std::string &b) { b.insert(3 * stride, "tape 2 of 7\n"); }},
        {"too long", [](std::string &b) { b.insert(stride, gptest::fake_message(40000)); }},
        {"last octet cut", [](std::string &b) { b.resize(3 * stride + length - 1); }},
    };
    for (const auto &[what, mutate] : mutants) {
        std::string bytes = clean;
        mutate(bytes);
        gptest::write_file(dir.file("m.grb"), bytes);
        Framed whole = frame(dir.file("m.grb"), 0), heads = frame(dir.file("m.grb"), 1);
        EXPECT_EQ(heads.messages, whole.messages) << what;
        EXPECT_EQ(heads.report, whole.report) << what;
        EXPECT_EQ(heads.whole, whole.whole) << what;
        EXPECT_EQ(heads.damaged, whole.damaged) << what;
        EXPECT_EQ(heads.passed_over, whole.passed_over) << what;
        EXPECT_EQ(whole.handed, std::vector<int>(whole.messages.size(), int(length))) << what;
        EXPECT_EQ(heads.handed, std::vector<int>(heads.messages.size(), 79)) << what;
    }
}

}  // namespace
