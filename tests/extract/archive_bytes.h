// Builders of archive bytes for the reader tests: SIMH tape images and
// minimal GRIB edition 1 messages (enough for measuring and framing).
#ifndef GRIDPICK_TEST_ARCHIVE_BYTES_H
#define GRIDPICK_TEST_ARCHIVE_BYTES_H

#include <cstdint>
#include <string>
#include <vector>

namespace gptest {

inline std::string le32(std::uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; i++)
        s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    return s;
}

// One SIMH record: length word, the bytes, a pad byte when odd, length word.
inline std::string simh_record(const std::string &bytes)
{
    std::string s = le32(static_cast<std::uint32_t>(bytes.size())) + bytes;
    if (bytes.size() & 1)
        s += '\0';
    return s + le32(static_cast<std::uint32_t>(bytes.size()));
}

inline std::string simh_mark()
{
    return le32(0);
}

inline std::string simh_end()
{
    return le32(0xFFFFFFFFu);
}

// A GRIB edition 1 message of length bytes whose section 1 carries the
// month and day; the bytes between are filled with fill, the end is "7777".
inline std::string fake_message(int length, int month = 1, int day = 1, char fill = 'x')
{
    std::string m(static_cast<std::size_t>(length), fill);
    m.replace(0, 4, "GRIB");
    m[4] = static_cast<char>(length >> 16);
    m[5] = static_cast<char>(length >> 8);
    m[6] = static_cast<char>(length);
    m[7] = 1;
    m[21] = static_cast<char>(month);
    m[22] = static_cast<char>(day);
    m.replace(static_cast<std::size_t>(length - 4), 4, "7777");
    return m;
}

// The records of a message cut into pieces of at most size bytes.
inline std::string simh_records(const std::string &message, std::size_t size)
{
    std::string s;
    for (std::size_t at = 0; at < message.size(); at += size)
        s += simh_record(message.substr(at, size));
    return s;
}

}  // namespace gptest

#endif
