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

inline void store24(std::string &m, std::size_t at, std::size_t v)
{
    for (int i = 0; i < 3; i++)
        m[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (16 - 8 * i));
}

// A GRIB edition 1 message of length bytes (at least 44): section 1 of 28
// octets carrying the month and day, no sections 2 and 3, section 4 filled
// with fill, the end "7777".
inline std::string fake_message(int length, int month = 1, int day = 1, char fill = 'x')
{
    std::string m(static_cast<std::size_t>(length), fill);
    m.replace(0, 4, "GRIB");
    store24(m, 4, static_cast<std::size_t>(length));
    m[7] = 1;
    store24(m, 8, 28);
    m[15] = 0;   // flag: no grid description, no bit map
    m[21] = static_cast<char>(month);
    m[22] = static_cast<char>(day);
    store24(m, 36, static_cast<std::size_t>(length - 40));
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
