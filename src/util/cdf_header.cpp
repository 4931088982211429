// The check every untrusted file passes before the netCDF library parses it.
//
// The library trusts the counts of a classic-format header: a dimension,
// attribute or variable count that the file cannot hold makes it allocate
// without bound, and under a memory limit it crashes in its own parser.
// Here the header is walked as the classic format lays it out, and every
// count must fit the bytes that are left in the file:
//
//   header   = "CDF" version numrecs dim_list gatt_list var_list
//   list     = tag count elements...   (or ABSENT: two zero words)
//   dim      = name length
//   attr     = name type count values (padded to 4 bytes)
//   var      = name ndims dimids... att_list type vsize begin
//   name     = count characters (padded to 4 bytes)
//
// Versions 1 and 2 use 4-byte counts (version 2 has 8-byte begin offsets);
// version 5 uses 8-byte counts, sizes and offsets.  Tags, types and the tag
// of ABSENT are 4 bytes in every version.
#include "cdf_header.h"

#include <netcdf.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

enum : std::uint64_t { tag_dims = 0x0A, tag_vars = 0x0B, tag_atts = 0x0C };

// Reads the header in file order; every read and skip is checked against
// the bytes left, and the first failure sticks.
struct Cursor {
    std::FILE *f;
    std::uint64_t left;
    int count_width = 4;   // counts, lengths and sizes
    int offset_width = 4;  // variable begin offsets
    bool ok = true;

    std::uint64_t word(int width)
    {
        unsigned char b[8];
        if (!ok || left < static_cast<std::uint64_t>(width) ||
            std::fread(b, 1, static_cast<std::size_t>(width), f) !=
                static_cast<std::size_t>(width)) {
            ok = false;
            return 0;
        }
        left -= static_cast<std::uint64_t>(width);
        std::uint64_t v = 0;
        for (int i = 0; i < width; i++)
            v = v << 8 | b[i];
        return v;
    }
    std::uint64_t count() { return word(count_width); }

    void skip(std::uint64_t n)
    {
        if (!ok || n > left || fseeko(f, static_cast<off_t>(n), SEEK_CUR) != 0) {
            ok = false;
            return;
        }
        left -= n;
    }

    // n elements of at least min bytes each must fit what is left.
    bool fits(std::uint64_t n, std::uint64_t min)
    {
        ok = ok && n <= left / min;
        return ok;
    }
};

std::uint64_t padded(std::uint64_t n)
{
    return n + (4 - n % 4) % 4;
}

void skip_name(Cursor &c)
{
    std::uint64_t n = c.count();
    if (c.fits(n, 1))
        c.skip(padded(n));
}

// Bytes of one value of an external type; 0 for a type no file holds.
std::uint64_t type_size(std::uint64_t type)
{
    switch (type) {
    case NC_BYTE: case NC_CHAR: case NC_UBYTE: return 1;
    case NC_SHORT: case NC_USHORT: return 2;
    case NC_INT: case NC_FLOAT: case NC_UINT: return 4;
    case NC_DOUBLE: case NC_INT64: case NC_UINT64: return 8;
    default: return 0;
    }
}

// The count of a list with the given tag (0 for ABSENT), checked against
// the smallest size of one element.
std::uint64_t list_count(Cursor &c, std::uint64_t tag, std::uint64_t min)
{
    std::uint64_t t = c.word(4), n = c.count();
    c.ok = c.ok && (t == tag || (t == 0 && n == 0));
    c.fits(n, min);
    return c.ok ? n : 0;
}

void skip_atts(Cursor &c)
{
    const std::uint64_t w = static_cast<std::uint64_t>(c.count_width);
    std::uint64_t n = list_count(c, tag_atts, w + 4 + w);
    for (std::uint64_t i = 0; c.ok && i < n; i++) {
        skip_name(c);
        std::uint64_t size = type_size(c.word(4));
        std::uint64_t values = c.count();
        c.ok = c.ok && size > 0;
        if (c.fits(values, size))
            c.skip(padded(values * size));
    }
}

void skip_dims(Cursor &c)
{
    const std::uint64_t w = static_cast<std::uint64_t>(c.count_width);
    std::uint64_t n = list_count(c, tag_dims, w + w);
    for (std::uint64_t i = 0; c.ok && i < n; i++) {
        skip_name(c);
        c.count();
    }
}

void skip_vars(Cursor &c)
{
    const std::uint64_t w = static_cast<std::uint64_t>(c.count_width);
    const std::uint64_t o = static_cast<std::uint64_t>(c.offset_width);
    // name, ndims, ABSENT attributes, type, vsize, begin
    std::uint64_t n = list_count(c, tag_vars, w + w + (4 + w) + 4 + w + o);
    for (std::uint64_t i = 0; c.ok && i < n; i++) {
        skip_name(c);
        std::uint64_t ndims = c.count();
        if (c.fits(ndims, w))
            c.skip(ndims * w);
        skip_atts(c);
        c.ok = c.ok && type_size(c.word(4)) > 0;
        c.count();
        c.word(c.offset_width);
    }
}

// Whether the classic header at the start of f (the magic read) fits the
// file.
bool classic_header_fits(std::FILE *f, std::uint64_t size, int version)
{
    Cursor c{f, size - 4};
    c.count_width = version == 5 ? 8 : 4;
    c.offset_width = version == 1 ? 4 : 8;
    c.count();  // numrecs
    skip_dims(c);
    skip_atts(c);
    skip_vars(c);
    return c.ok;
}

}  // namespace

extern "C" {

int cdf_header_fits(const char *path)
{
    std::FILE *f = std::fopen(path, "rb");
    if (!f)
        return 0;
    struct stat st;
    unsigned char magic[4];
    bool ok = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) &&
              std::fread(magic, 1, 4, f) == 4;
    if (ok && std::memcmp(magic, "\x89HDF", 4) == 0) {
        // netCDF-4: HDF5 keeps its own house.
    } else if (ok && std::memcmp(magic, "CDF", 3) == 0 &&
               (magic[3] == 1 || magic[3] == 2 || magic[3] == 5)) {
        ok = classic_header_fits(f, static_cast<std::uint64_t>(st.st_size), magic[3]);
    } else {
        ok = false;
    }
    std::fclose(f);
    return ok ? 1 : 0;
}

int cdf_values_fit(int ncid, int type, size_t count)
{
    int format, value_size = nctypelen(static_cast<nc_type>(type));
    size_t len;
    if (nc_inq_format(ncid, &format) != NC_NOERR ||
        (format != NC_FORMAT_CLASSIC && format != NC_FORMAT_64BIT_OFFSET &&
         format != NC_FORMAT_CDF5) ||
        value_size <= 0 || nc_inq_path(ncid, &len, nullptr) != NC_NOERR)
        return 1;
    std::string path(len + 1, '\0');  // the path and its terminator
    struct stat st;
    if (nc_inq_path(ncid, nullptr, path.data()) != NC_NOERR || stat(path.c_str(), &st) != 0)
        return 1;
    return count <= static_cast<std::uint64_t>(st.st_size) / static_cast<unsigned>(value_size);
}

int cdf_open_checked(const char *path)
{
    if (!cdf_header_fits(path))
        return -1;
    ncopts = 0;
    return ncopen(path, NC_NOWRITE);
}

}  // extern "C"
