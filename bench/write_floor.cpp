// The floor under gridpick's output: creates the files of a list ("NAME
// SIZE" a line) in a folder, each with one write of its size, and prints
// the seconds it took.
//
//   write_floor LIST DIR [plain|part|tmpfile|fdlink|one]
//
// plain: open, write, close (the floor); part: under NAME.part, renamed
// when written; tmpfile: an unnamed file (O_TMPFILE) linked under its name
// when written (by its /proc/self/fd name; fdlink: by the descriptor
// itself, AT_EMPTY_PATH); one: every file's bytes one after the other into DIR/one,
// in writes of at most 1 MiB (the floor of writing one file of that size).
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct entry {
    std::string name;
    std::size_t size;
};

bool put(int fd, const char *bytes, std::size_t n)
{
    while (n > 0) {
        ssize_t done = ::write(fd, bytes, n);
        if (done <= 0)
            return false;
        bytes += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

bool write_one(const std::string &dir, const entry &e, const std::string &mode,
               const std::vector<char> &bytes)
{
    std::string path = dir + "/" + e.name;
    if (mode == "tmpfile" || mode == "fdlink") {
        int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY, 0644);
        std::string proc = "/proc/self/fd/" + std::to_string(fd);
        bool ok = fd >= 0 && put(fd, bytes.data(), e.size) &&
                  (mode == "fdlink"
                       ? ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0
                       : ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, path.c_str(),
                                  AT_SYMLINK_FOLLOW) == 0);
        return ::close(fd) == 0 && ok;
    }
    std::string temp = mode == "part" ? path + ".part" : path;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0 && put(fd, bytes.data(), e.size) && ::close(fd) == 0;
    return ok && (mode != "part" || ::rename(temp.c_str(), path.c_str()) == 0);
}

bool write_all_in_one(const std::string &dir, const std::vector<entry> &list,
                      const std::vector<char> &bytes)
{
    constexpr std::size_t most = 1 << 20;
    std::size_t total = 0;
    for (const entry &e : list)
        total += e.size;
    int fd = ::open((dir + "/one").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::size_t done = 0; fd >= 0 && done < total;) {
        std::size_t n = std::min(total - done, std::min(most, bytes.size()));
        if (!put(fd, bytes.data(), n))
            return false;
        done += n;
    }
    return fd >= 0 && ::close(fd) == 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: write_floor LIST DIR [plain|part|tmpfile|fdlink|one]\n");
        return 2;
    }
    std::string mode = argc > 3 ? argv[3] : "plain";
    std::ifstream in(argv[1]);
    std::vector<entry> list;
    std::size_t largest = 1 << 20;
    for (entry e; in >> e.name >> e.size;) {
        largest = std::max(largest, e.size);
        list.push_back(e);
    }
    std::vector<char> bytes(largest, 'x');
    auto t0 = std::chrono::steady_clock::now();
    bool ok = true;
    if (mode == "one")
        ok = write_all_in_one(argv[2], list, bytes);
    else
        for (const entry &e : list)
            ok = ok && write_one(argv[2], e, mode, bytes);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
    if (!ok) {
        std::perror("write_floor");
        return 1;
    }
    std::printf("%.3f\n", took.count());
    return 0;
}
