// fuzz_frame.cpp -- arbitrary octets as an archive: written to a memory
// file, opened through the unit layer (a disk file or a tape image, as its
// contents say) and framed message by message to the end, now and then
// with a skip, and for some inputs by heads.  Every call must end; the
// messages handed out must be whole (or their heads, zero past them).
#include "archive.h"
#include "tpio.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
std::FILE *nowhere;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Quiet: the framing's reports go nowhere, the codec's standard output too.
    nowhere = std::fopen("/dev/null", "w");
    if (nowhere == nullptr || !std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int fd = memfd_create("archive", 0);
    if (fd < 0 || ::write(fd, data, size) != static_cast<ssize_t>(size))
        std::abort();
    char name[64];
    std::snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    gp_archive_options options;
    options.report = nowhere;
    options.heads = size % 3 == 0;
    options.buffer_words = 8000;
    tpio_reset();
    gp_archive_ptr archive(gp_archive_open(name, &options, nullptr, 0));
    gp_archive_message where{};
    int n;
    for (long i = 0; archive != nullptr && (n = gp_archive_next(archive.get(), &where)) >= 0;
         i++) {
        const auto *bytes = reinterpret_cast<const unsigned char *>(where.words.data());
        bool head = options.heads && n < where.length;
        if ((n < where.length && !head) || std::memcmp(bytes, "GRIB", 4) != 0 ||
            (!head && std::memcmp(bytes + where.length - 4, "7777", 4) != 0) ||
            i > long(size) || where.words.size() != 8000)
            std::abort();
        for (std::size_t k = static_cast<std::size_t>(n); head && k < 32000; k++)
            if (bytes[k] != 0)
                std::abort();
        if (size % 5 == 0)
            gp_archive_skip_records(archive.get(), 3);
    }
    archive.reset();
    tpio_reset();
    ::close(fd);
    return 0;
}
