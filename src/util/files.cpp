// File tests, directory listings and recognition of data files.
#include <gridpick/util.h>
#include "cdf_header.h"

#include <dirent.h>
#include <fcntl.h>
#include <netcdf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

bool stat_mode(const char *path, mode_t *mode)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return false;
    *mode = st.st_mode;
    return true;
}

char *dup_name(const char *name)
{
    std::size_t n = std::strlen(name);
    char *copy = static_cast<char *>(std::malloc(n + 3));
    if (copy != nullptr)
        std::memcpy(copy, name, n + 1);
    return copy;
}

}  // namespace

extern "C" {

int file_exists(const char *path)
{
    mode_t mode;
    return stat_mode(path, &mode) ? 1 : 0;
}

int file_is_dir(const char *path)
{
    mode_t mode;
    return stat_mode(path, &mode) && S_ISDIR(mode) ? 1 : 0;
}

int file_is_regular(const char *path)
{
    mode_t mode;
    return stat_mode(path, &mode) && S_ISREG(mode) ? 1 : 0;
}

int dir(const char *path, const char *suffix_filter, int full_names,
        char **names_out, int *count_out, int kind, int max)
{
    DIR *d = opendir(path);
    if (d == nullptr)
        return -1;
    int count = 0;
    char full[DIR_NAME_MAX + 1];
    while (count < max) {
        const struct dirent *e = readdir(d);
        if (e == nullptr)
            break;
        if (e->d_name[0] == '.')
            continue;
        std::snprintf(full, sizeof full, "%s/%s", path, e->d_name);
        if (kind == DIR_FILES && file_is_dir(full))
            continue;
        if (kind == DIR_DIRS && !file_is_dir(full))
            continue;
        if (suffix_filter != nullptr && std::strcmp(suffix(e->d_name), suffix_filter) != 0)
            continue;
        if (!full_names)
            std::snprintf(full, sizeof full, "%s", e->d_name);
        char *name = dup_name(full);
        if (name == nullptr)
            break;
        names_out[count++] = name;
    }
    if (count >= 2)
        asort(names_out, count);
    *count_out = count;
    closedir(d);
    return 0;
}

void asort(char **names, int count)
{
    for (int i = 0; i < count; i++)
        for (int j = 0; j < count - i - 1; j++)
            if (std::strcmp(names[j], names[j + 1]) > 0)
                std::swap(names[j], names[j + 1]);
}

int identify_datafile(const char *path)
{
    if (!file_exists(path))
        return DATAFILE_UNKNOWN;
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        std::fprintf(stderr, "identify_datafile: could not open '%s'\n", path);
        return DATAFILE_UNKNOWN;
    }
    char magic[6];
    ssize_t got = read(fd, magic, sizeof magic);
    close(fd);
    if (got < static_cast<ssize_t>(sizeof magic))
        return DATAFILE_UNKNOWN;
    if (std::memcmp(magic, "QB90a", 5) == 0)
        return DATAFILE_QB;
    if (std::memcmp(magic, "OV90a", 5) == 0)
        return DATAFILE_OV;
    if (std::memcmp(magic, "QT92a", 5) == 0)
        return DATAFILE_QT;
    if (std::memcmp(magic, "QW9", 3) == 0)
        return DATAFILE_QW;
    int ncid = cdf_open_checked(path);
    if (ncid >= 0) {
        ncclose(ncid);
        return DATAFILE_NETCDF;
    }
    return DATAFILE_UNKNOWN;
}

}  // extern "C"

