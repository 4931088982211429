// Path and suffix helpers.
#include <gridpick/util.h>

#include <cstdio>
#include <cstring>
#include <string>

extern "C" {

char *truncate_path(char *dst, const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const char *name = (slash == nullptr || slash == path) ? path : slash + 1;
    if (dst == nullptr)
        return const_cast<char *>(name);
    std::memmove(dst, name, std::strlen(name) + 1);
    return dst;
}

void extract_dir(char *dst, const char *path)
{
    std::memmove(dst, path, std::strlen(path) + 1);
    if (file_is_dir(dst))
        return;
    char *slash = std::strrchr(dst, '/');
    if (slash != nullptr && slash != dst)
        *slash = '\0';
    else
        dst[0] = '\0';
}

char *suffix(const char *path)
{
    std::size_t n = std::strlen(path);
    const char *end = path + n;
    if (n < 3)
        return const_cast<char *>(end);
    for (const char *p = end - 2; p > path; --p)
        if (*p == '.')
            return const_cast<char *>(p + 1);
    return const_cast<char *>(end);
}

void truncate_suffix(char *path)
{
    char *s = suffix(path);
    if (*s != '\0')
        s[-1] = '\0';
}

void file_suffix(char *path, const char *new_suffix)
{
    char *dot = std::strrchr(path, '.');
    if (dot != nullptr && dot != path)
        *dot = '\0';
    if (new_suffix[0] != '.')
        std::strcat(path, ".");
    std::strcat(path, new_suffix);
}

char *strprepend(char *text, const char *prefix)
{
    std::size_t n = std::strlen(text);
    if (n > STRPREPEND_MAX) {
        std::fprintf(stderr, "strprepend: text of %zu characters is too long (at most %d)\n",
                     n, STRPREPEND_MAX);
        return nullptr;
    }
    std::size_t p = std::strlen(prefix);
    std::memmove(text + p, text, n + 1);
    std::memcpy(text, prefix, p);
    return text;
}

}  // extern "C"
