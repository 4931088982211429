// Builds netCDF classic-format (version 1) files byte by byte, as the
// format lays them out (big-endian words, names padded to four bytes): for
// hostile headers and for files that declare more than they hold.
#ifndef GRIDPICK_TEST_CDF_BYTES_H
#define GRIDPICK_TEST_CDF_BYTES_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace cdftest {

enum : std::uint32_t { NC_DIMENSION = 0x0A, NC_VARIABLE = 0x0B, NC_ATTRIBUTE = 0x0C };
enum : std::uint32_t { INT = 4, FLOAT = 5 };  // external types used here

struct Words {
    std::string s;

    Words &w(std::uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            s.push_back(static_cast<char>(v >> shift));
        return *this;
    }
    Words &raw(const std::string &bytes)
    {
        s += bytes;
        return *this;
    }
    Words &name(const std::string &n)
    {
        w(static_cast<std::uint32_t>(n.size())).raw(n);
        s.append((4 - n.size() % 4) % 4, '\0');
        return *this;
    }
};

struct Dim {
    std::string name;
    std::uint32_t length;
};

// A variable of 4-byte values (INT or FLOAT) over the given dimension ids,
// without attributes; values are its leading values in the file.
struct Var {
    std::string name;
    std::vector<std::uint32_t> dims;
    std::uint32_t type;
    std::vector<float> values;
};

// The header, then each variable's values at its begin offset, one after
// the other.  A variable declared larger than 1 MiB gets only its values
// written and ends the file: it and what follows it lie beyond the end.
inline std::string classic(const std::vector<Dim> &dims, const std::vector<Var> &vars)
{
    auto size_of = [&](const Var &v) {
        std::uint64_t n = 4;
        for (std::uint32_t d : v.dims)
            n *= dims[d].length;
        return n;
    };
    auto header = [&](std::uint64_t begin) {
        Words h;
        h.raw("CDF\x01").w(0).w(NC_DIMENSION).w(static_cast<std::uint32_t>(dims.size()));
        for (const Dim &d : dims)
            h.name(d.name).w(d.length);
        h.w(0).w(0).w(NC_VARIABLE).w(static_cast<std::uint32_t>(vars.size()));
        for (const Var &v : vars) {
            h.name(v.name).w(static_cast<std::uint32_t>(v.dims.size()));
            for (std::uint32_t d : v.dims)
                h.w(d);
            h.w(0).w(0).w(v.type).w(static_cast<std::uint32_t>(size_of(v)));
            h.w(static_cast<std::uint32_t>(begin));
            begin += size_of(v);
        }
        return h.s;
    };
    Words file;
    file.raw(header(header(0).size()));
    for (const Var &v : vars) {
        for (float x : v.values) {
            std::uint32_t bits;
            if (v.type == INT)
                bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(x));
            else
                std::memcpy(&bits, &x, 4);
            file.w(bits);
        }
        if (size_of(v) > (1u << 20))
            break;
        file.s.append(size_of(v) - 4 * v.values.size(), '\0');
    }
    return file.s;
}

}  // namespace cdftest

#endif
