// Whole-buffer writes to a descriptor.
#include "fdio.h"

#include <unistd.h>

#include <cerrno>

int write_all(int fd, const void *buf, size_t n)
{
    const auto *p = static_cast<const char *>(buf);
    while (n > 0) {
        ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return -1;
        p += done;
        n -= static_cast<size_t>(done);
    }
    return 0;
}
