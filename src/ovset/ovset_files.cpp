// The data sets of a set of ov files.
#include "ovset.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool list_folder(const char *prog, const char *folder, std::vector<std::string> &files)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name[0] != '.' && !it->is_directory(ec))
            names.push_back(it->path().string());
    }
    if (ec) {
        std::fprintf(stderr, "%s: %s: %s\n", prog, folder, ec.message().c_str());
        return false;
    }
    if (names.empty()) {
        std::fprintf(stderr, "%s: %s: no files in it\n", prog, folder);
        return false;
    }
    std::sort(names.begin(), names.end());
    files.insert(files.end(), names.begin(), names.end());
    return true;
}

off_t size_of(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 ? st.st_size : 0;
}

// ov_open says nothing about why it failed: an open of our own tells.
bool open_ov(const char *prog, const std::string &path, int *fd)
{
    *fd = ov_open(path.c_str(), 0);
    if (*fd >= 0)
        return true;
    int probe = open(path.c_str(), O_RDONLY);
    if (probe < 0) {
        std::fprintf(stderr, "%s: %s: %s\n", prog, path.c_str(), std::strerror(errno));
        return false;
    }
    close(probe);
    std::fprintf(stderr, "%s: %s: not an ov file\n", prog, path.c_str());
    return false;
}

}  // namespace

bool ovset_expand(const char *prog, std::span<char *const> args, std::vector<std::string> &files)
{
    for (const char *arg : args) {
        std::error_code ec;
        if (!std::filesystem::is_directory(arg, ec))
            files.emplace_back(arg);
        else if (!list_folder(prog, arg, files))
            return false;
    }
    return true;
}

bool ovset_each(const char *prog, const std::string &path, bool want_data,
                const std::function<bool(const OvHeader &, int)> &each)
{
    int fd;
    if (!open_ov(prog, path, &fd))
        return false;
    bool ok = true;
    off_t size = size_of(fd);
    for (int n = 1; lseek(fd, 0, SEEK_CUR) < size; n++) {
        ovset_record h(ov_read(fd, want_data ? 1 : 0));
        if (!h) {
            std::fprintf(stderr, "%s: %s: data set %d unreadable\n", prog, path.c_str(), n);
            ok = false;
            break;
        }
        if (!each(*h, n))
            break;
    }
    ov_close(fd);
    return ok;
}
