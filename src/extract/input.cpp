// Words and lines from standard input, for the terminal dialogue and the
// y/n/q question.
#include "extract.h"

#include <cctype>
#include <cstdio>

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
