/*
 * archive_access.h -- every contact of the Python extension with archives
 * and the codec.
 *
 * The codec and gridpick's decoding keep process-wide state, so every entry
 * point here holds one process-wide lock for as long as it uses them:
 * callers may come from any thread.  Each call opens its own archive
 * handle (archive.h) and closes it before it returns.  Nothing is printed: the framing's reports and the
 * decoding's warnings come back as lines of text (without the program's
 * prefix), and the codec runs with its failures returned and its printing
 * off.  Failures that leave no result throw gp_py_error.
 */
#ifndef GRIDPICK_PY_ARCHIVE_ACCESS_H
#define GRIDPICK_PY_ARCHIVE_ACCESS_H

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <gridpick/ov.h>

/* An archive that cannot be opened or read, or a message that cannot be
 * decoded; what() names the file or the message's place. */
struct gp_py_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/* The lock every entry point here holds: callers that use other
 * process-wide state of the libraries (the ov grid routines, which take
 * standard output aside while they run) hold it too. */
std::mutex &gp_py_lock();

/* Where a message starts: byte offset on disk, record (from 1) on tape. */
enum { GP_PY_OFFSET = 0, GP_PY_RECORD = 1 };

/* One message of an inventory: sections 0 to 2 as gridls shows them. */
struct gp_py_entry {
    long number = 0;           /* from 1, counting every whole message */
    long position = 0;         /* offset or record, by at */
    int at = GP_PY_OFFSET;
    int length = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;  /* reference time */
    int step = 0;              /* hours to the end of its period, -1: not whole */
    int centre = 0, table = 0, param = 0;
    int level_type = 0, level = 0;
    int ni = 0, nj = 0, bits = -1, bitmap = 0;
    std::string name;          /* the parameter's name, p<code> where none */
    std::string level_text;    /* "500 mb", "sfc", ... */
    std::string grid;          /* "latlon 144x73", ... */
    std::string area;          /* first and last point and scanning mode */
    std::string refusal;       /* "" or why the grid cannot be placed */
};

struct gp_py_inventory {
    std::vector<gp_py_entry> entries;
    std::vector<std::string> reports;   /* the framing's and the codec's */
};

/* Every message of the archive at path (disk file, tape image or tape
 * device), decoding sections 0 to 2 only.  Messages that cannot be decoded
 * are left out with a report.  Throws gp_py_error when the archive cannot
 * be opened, or when reading ends on an error before any message. */
gp_py_inventory gp_py_archive_inventory(const std::string &path);

/* One field placed as gridpick writes it: values row by row (NaN where the
 * bit map says missing), with the header gridpick's data set of it gets
 * (owned pointers null) and the latitude of each row, longitude of each
 * column. */
struct gp_py_field {
    OvHeader header{};
    std::string units;
    std::vector<float> values, lats, lons;
    std::vector<std::string> reports;
};

/* The message at position (offset or record, by at) of the archive at
 * path.  With values false only its grid is worked out (values stay empty,
 * unless the grid must be expanded to be known).  Throws gp_py_error naming
 * the place when there is no whole message there or it cannot be placed or
 * decoded. */
gp_py_field gp_py_archive_read(const std::string &path, long position, int at, bool values);

/* 1 when the file at path begins as an ov file ("OV90a"), 2 as a GRIB
 * archive by its first octets ("GRIB" after any zero bytes, or a tape image
 * whose first record's length words agree), 0 otherwise or when it cannot
 * be read. */
int gp_py_sniff(const std::string &path);

#endif
