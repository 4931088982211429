// Everything read from standard input: words for the terminal dialogue and
// the y/n/q question, lines for the file name and argument questions.
#include "extract.h"

#include <cctype>
#include <cstdio>
#include <cstring>

int gp_read_word(char *word, std::size_t size)
{
    int c;
    do
        c = std::getchar();
    while (c != EOF && std::isspace(c));
    if (c == EOF) {
        if (size > 0)
            word[0] = '\0';
        return -1;
    }
    std::size_t n = 0;
    while (c != EOF && !std::isspace(c)) {
        if (n + 1 < size)
            word[n++] = static_cast<char>(c);
        c = std::getchar();
    }
    if (c != EOF)
        std::ungetc(c, stdin);
    if (size > 0)
        word[n] = '\0';
    return 0;
}

namespace {

// One line of standard input without its newline; false at the end.
bool read_line(char *buffer, std::size_t size)
{
    if (size == 0 || std::fgets(buffer, static_cast<int>(size), stdin) == nullptr)
        return false;
    std::size_t n = std::strlen(buffer);
    if (n > 0 && buffer[n - 1] == '\n')
        buffer[n - 1] = '\0';
    else {
        int c;
        while ((c = std::getchar()) != EOF && c != '\n') {
        }
    }
    return true;
}

}  // namespace

void get_file_name_from_user(char *name, std::size_t size)
{
    std::printf("Enter Filename [%s]: ", name);
    std::fflush(stdout);
    char line[GP_OUT_FILE_LEN];
    if (read_line(line, sizeof line) && line[0] != '\0')
        std::snprintf(name, size, "%s", line);
}

int get_arg_string(char *buffer, std::size_t size)
{
    if (!read_line(buffer, size)) {
        if (size > 0)
            buffer[0] = '\0';
        return 0;
    }
    int words = buffer[0] != '\0' ? 1 : 0;
    for (const char *p = buffer; *p; p++)
        words += white_space(static_cast<unsigned char>(*p));
    return words;
}

int white_space(int c)
{
    return c == '\t' || c == ' ' || c == ',' ? 1 : 0;
}
