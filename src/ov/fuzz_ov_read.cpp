// libFuzzer target: an ov file of untrusted bytes, read data set by data set
// as ovdump does.  The reader must refuse what does not fit, never read or
// allocate beyond what the file holds.
#include <gridpick/ov.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace {

// The reader explains every refusal on standard error: silenced while it
// reads, so that the fuzzer's own reports still show.
struct QuietStderr {
    int saved = dup(2);
    QuietStderr()
    {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 2);
            close(null);
        }
    }
    ~QuietStderr()
    {
        if (saved >= 0) {
            dup2(saved, 2);
            close(saved);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    int fd = memfd_create("ov", 0);
    if (fd < 0)
        return 0;
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    lseek(fd, 0, SEEK_SET);
    char magic[OV_MAGIC_SIZE];
    if (read(fd, magic, sizeof magic) == static_cast<ssize_t>(sizeof magic)) {
        QuietStderr quiet;
        for (int i = 0; i < 64; i++) {
            OvHeader *h = ov_read(fd, i % 2 == 0);
            if (h == nullptr)
                break;
            ov_destroy(h);
        }
    }
    close(fd);
    return 0;
}
