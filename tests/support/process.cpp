#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace gptest {

namespace {

void set_env(const std::vector<std::string> &extra_env)
{
    for (const auto &e : extra_env) {
        auto eq = e.find('=');
        if (eq == std::string::npos)
            unsetenv(e.c_str());
        else
            setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
}

}  // namespace

Result run(const std::string &program, const std::vector<std::string> &args,
           const std::string &input, const std::string &cwd,
           const std::vector<std::string> &extra_env)
{
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            close(fd);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(126);
        set_env(extra_env);
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(program.c_str()));
        for (const auto &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);

    Result r;
    std::size_t written = 0;
    int in_fd = in[1];
    if (input.empty()) {
        close(in_fd);
        in_fd = -1;
    } else {
        fcntl(in_fd, F_SETFL, O_NONBLOCK);
    }
    bool out_open = true, err_open = true;
    char buf[65536];
    while (out_open || err_open) {
        pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in_fd, POLLOUT, 0}};
        int nfds = in_fd >= 0 ? 3 : 2;
        if (!out_open)
            fds[0].fd = -1;
        if (!err_open)
            fds[1].fd = -1;
        if (poll(fds, nfds, -1) < 0)
            break;
        for (int k = 0; k < 2; k++) {
            if (fds[k].revents == 0)
                continue;
            ssize_t n = read(fds[k].fd, buf, sizeof buf);
            if (n <= 0) {
                (k == 0 ? out_open : err_open) = false;
                continue;
            }
            (k == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
        }
        if (in_fd >= 0 && fds[2].revents != 0) {
            ssize_t n = write(in_fd, input.data() + written, input.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) {
                close(in_fd);
                in_fd = -1;
            }
        }
    }
    if (in_fd >= 0)
        close(in_fd);
    close(out[0]);
    close(err[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return r;
}

std::string built(const std::string &relative)
{
    // Tests and programs share one bin/ directory; CTest also says so.
    const char *bin = std::getenv("GRIDPICK_BIN");
    if (bin != nullptr)
        return std::string(bin) + "/" + relative;
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / relative).string();
}

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "gptest.XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

bool stdin_from(const std::string &text)
{
    std::string path = (std::filesystem::temp_directory_path() / "gptest.stdin.XXXXXX").string();
    int fd = mkstemp(path.data());
    if (fd < 0)
        return false;
    close(fd);
    write_file(path, text);
    bool ok = std::freopen(path.c_str(), "r", stdin) != nullptr;
    std::remove(path.c_str());
    return ok;
}

std::string read_file(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace gptest
