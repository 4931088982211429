// Runs a built program as a child process and collects what it printed.
#ifndef GRIDPICK_TEST_PROCESS_H
#define GRIDPICK_TEST_PROCESS_H

#include <string>
#include <vector>

namespace gptest {

struct Result {
    int status = -1;   // exit status, or 128 + signal number
    std::string out;   // standard output
    std::string err;   // standard error
};

// Runs program with args, feeding input on standard input, in directory cwd
// (the current one when empty).  extra_env entries are "NAME=value"; a bare
// "NAME" removes NAME from the child's environment.
Result run(const std::string &program, const std::vector<std::string> &args,
           const std::string &input = "", const std::string &cwd = "",
           const std::vector<std::string> &extra_env = {});

// Path of a built program: $GRIDPICK_BIN/<relative>, as set by CTest.
std::string built(const std::string &relative);

// A fresh empty directory under the system's temporary directory; removed
// with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// From now on standard input of this process reads text (through a file
// in the system's temporary directory, removed at once); false when that
// cannot be arranged.
bool stdin_from(const std::string &text);

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);

}  // namespace gptest

#endif
