/*
 * ov.h -- the ov data set library: file format, writer, reader, inspection,
 * grid geometry and the by-reference bindings.
 *
 * An ov file is the 6-byte magic "OV90a\0" followed by zero or more data
 * sets, one after the other, with no index or trailer.  A data set is a
 * 136-byte fixed header (34 big-endian four-byte words: 32-bit two's
 * complement integers and IEEE single-precision reals) followed by its
 * variable parts in this order:
 *
 *   comment            comment_length bytes of text, no terminator
 *   private data       private_length opaque bytes
 *   title              title_length bytes of text
 *   units              units_length bytes of text
 *   description        param_desc_length bytes of text
 *   lats, lons         IRREGULAR grids only: num_rows, then num_columns reals
 *   data               sized by type (ov_data_size below)
 *   vdata              OV_VECTOR and OV_OUTLINE only: the size of data
 *
 * Every real in the file is big-endian; the library converts on the way in
 * and out, so records in memory always hold host-order values.
 *
 * The library keeps no state.  Descriptors are plain POSIX file descriptors
 * owned by the caller.  Messages go to standard error, prefixed with the
 * operation's name; failed system calls are reported as "label: system error".
 * Results: 0 or a descriptor for success, -1 (or null) for failure.
 */
#ifndef GRIDPICK_OV_H
#define GRIDPICK_OV_H

#include <gridpick/export.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- format ------------------------------------------------------------ */

#define OV_MAGIC "OV90a"          /* followed by one zero byte in the file */
enum { OV_MAGIC_SIZE = 6 };
enum { OV_FIXED_HEADER_SIZE = 136 };  /* bytes of the fixed header */
enum { OV_VERSION = 2 };              /* the only version written */

/* Data set types. */
enum {
    OV_CONTOUR = 1,           /* scalar grid */
    OV_VECTOR = 2,            /* two-component grid: data and vdata */
    OV_OUTLINE = 3,           /* num_rows points: data x, vdata y */
    OV_UNGRIDDED_VECTOR = 4,  /* num_rows records lat, lon, u, v */
    OV_UNGRIDDED_SCALAR = 5   /* num_rows records lat, lon, value */
};

/* Grid types. */
enum { REGULAR = 0, IRREGULAR = 1 };

/* Increment types (units of lat_increment and lon_increment). */
enum { DEGREES = 0, KILOMETERS = 1 };

/* Values set by ov_create_hdr. */
#define OV_DEFAULT_ID 999
#define OV_DEFAULT_BAD_VALUE (-999.999f)

/*
 * The header record of one data set.  Its first OV_FIXED_HEADER_SIZE bytes,
 * header_size through reserved, are the fixed header's 34 words in file
 * order (in host byte order while in memory); the nine pointers follow.
 * A null pointer means the part is absent.
 *
 * Ownership: when writing, the caller owns every part.  A record returned by
 * ov_read, ov_dup_header or cdf_to_ov, and every part it points to, is a
 * malloc'ed block owned by the caller: ov_destroy releases all of it.
 */
typedef struct OvHeader {
    int header_size;        /* 136 + the five variable text/private lengths */
    int version;            /* 0, 1 or 2 */
    int id;
    int year, month, day;
    float time;
    int term;
    int type;               /* OV_CONTOUR .. OV_UNGRIDDED_SCALAR */
    int param;
    int level;              /* millibars */
    float min, max;
    float bad_value;        /* marker of a missing value */
    float start_lat, end_lat;
    float start_lon, end_lon;
    float lat_increment, lon_increment;
    int num_rows;           /* rows, or points of the ungridded/outline types */
    int num_columns;
    int comment_length;
    int private_length;
    int increment_type;     /* DEGREES or KILOMETERS */
    int title_length;
    int units_length;
    int param_desc_length;
    int grid_type;          /* REGULAR or IRREGULAR */
    int reserved[5];        /* carried as they stand, never interpreted */

    char *comment;          /* zero-terminated in memory */
    char *private_data;     /* private_length bytes */
    char *title;            /* zero-terminated */
    char *units;            /* zero-terminated */
    char *param_desc;       /* zero-terminated */
    float *lats;            /* num_rows reals (IRREGULAR grids) */
    float *lons;            /* num_columns reals (IRREGULAR grids) */
    float *data;            /* sized by type */
    float *vdata;           /* OV_VECTOR, OV_OUTLINE: the size of data */
} OvHeader;

/*
 * Size in bytes of the header area that by-reference callers hand to the
 * bindings (ov_read_, ov_write_, ...): the fixed header image followed by the
 * nine pointer slots, each of the host's pointer size.  208 bytes (52 four-
 * byte words) on a 64-bit host, 172 bytes (43 words) on a 32-bit one.
 * Fortran callers find it, and the word index of each fixed field, in ov.inc.
 */
#define OV_HEADER_AREA_SIZE (OV_FIXED_HEADER_SIZE + 9 * sizeof(void *))

/* Bytes of the data part of a data set of this type and shape (and of the
 * vdata part where there is one); -1 when negative counts or an overflow
 * make it meaningless.  OV_OUTLINE: num_rows * 4; OV_UNGRIDDED_VECTOR:
 * num_rows * 16; OV_UNGRIDDED_SCALAR: num_rows * 12; any other type:
 * num_rows * num_columns * 4. */
GP_EXPORT long long ov_data_size(int type, int num_rows, int num_columns);

/* 1 when data sets of this type carry a vdata part (OV_VECTOR, OV_OUTLINE). */
GP_EXPORT int ov_has_vdata(int type);

/* ---- writer ------------------------------------------------------------ */

/* Creates (or truncates) path with permissions 0644 and writes the magic.
 * Returns a write-only descriptor positioned after the magic, or -1 after
 * printing "ov_create: <error>" (cannot create) or "ov_create write: <error>"
 * (short write; the file is then closed and, when it is a regular file,
 * removed). */
GP_EXPORT int ov_create(const char *path);

/* Opens an existing ov file.  mode is 0 read-only, 1 write-only, 2
 * read-write; anything else counts as 0.  Returns a descriptor positioned at
 * the first data set, or -1 (silently) when the file cannot be opened or
 * does not begin with the magic.  To append: ov_open(path, 2), lseek to the
 * end, ov_write, ov_close. */
GP_EXPORT int ov_open(const char *path, int mode);

/* Closes a descriptor returned by ov_create or ov_open. */
GP_EXPORT void ov_close(int fd);

/* A new header record (malloc'ed, owned by the caller; free() it) with
 * type, num_rows, num_columns, data and vdata as given, id 999, bad_value
 * -999.999, REGULAR grid in DEGREES and every other field zero or null
 * (the reserved words too).  data and vdata stay owned by the caller.
 * Null after "ov_create_hdr: malloc failed" on allocation failure. */
GP_EXPORT OvHeader *ov_create_hdr(int type, int num_rows, int num_columns, float *data,
                                  float *vdata);

/* Appends one data set at the descriptor's current position.  The caller
 * provides type, num_rows, num_columns and data (and vdata for OV_VECTOR and
 * OV_OUTLINE, else the vdata part is not written); for any grid_type other
 * than REGULAR lats and lons, which are then written (readers expect them);
 * texts zero-terminated or null; private_data with private_length bytes.
 * The record's text lengths, header_size and version (2) are set from the
 * texts.  Returns 0, or -1: after "ov_write: ..." when the record would make
 * an unreadable file (negative counts; missing data, vdata, lat/lon arrays
 * or private data; nothing is written), or after "ov_write <part>: <error>"
 * when a write falls short (what was written stays in the file). */
GP_EXPORT int ov_write(int fd, OvHeader *hdr);

/* ---- reader ------------------------------------------------------------ */

/* Reads the next data set at the descriptor's position.  With want_data
 * non-zero, data (and vdata for OV_VECTOR and OV_OUTLINE) are read into new
 * arrays; otherwise they are null and the descriptor is moved past them.
 * Header versions 0, 1 and 2 are read.  Returns a new record owned by the
 * caller (release it with ov_destroy), or null after a message: at the end
 * of the file "ov_read: header read failed"; for a data set whose counts are
 * negative or whose parts exceed what remains in the file "ov_read: ...";
 * or when an allocation fails (everything allocated is released). */
GP_EXPORT OvHeader *ov_read(int fd, int want_data);

/* Reads the fixed header and the variable parts up to the lat/lon arrays
 * into hdr, leaving data and vdata untouched.  The texts, private data and
 * lat/lon arrays are new malloc'ed blocks; the texts are zero-terminated,
 * private data gets one spare byte.  An increment type other than 0 or 1 is
 * replaced by 0 with a warning; an unknown version is read as version 0 with
 * a message.  Returns 0, or -1 after a message when the fixed header is
 * short, a count is negative, a part exceeds the rest of the file or an
 * allocation fails (nothing is then left allocated in hdr). */
GP_EXPORT int ov_read_header(int fd, OvHeader *hdr);

/* malloc(size); on failure prints "label: <error>" and returns null. */
GP_EXPORT void *gimme(size_t size, const char *label);

/* Releases data, vdata (when type is OV_VECTOR or OV_OUTLINE), comment and
 * private_data and sets those four pointers to null.  The record itself and
 * title, units, param_desc, lats and lons are left alone. */
GP_EXPORT void ov_free(OvHeader *hdr);

/* Releases every part the record points to, then the record.  For records
 * from ov_read and cdf_to_ov.  Null is accepted. */
GP_EXPORT void ov_destroy(OvHeader *hdr);

/* Copies src into dst, or into a new record when dst is null, and returns
 * the copy.  The copy gets its own malloc'ed texts, private data and (when
 * src->lats is non-null) lat/lon arrays; data and vdata are shared with src.
 * Null after "dup_header: could not malloc new header" when an allocation
 * fails. */
GP_EXPORT OvHeader *ov_dup_header(const OvHeader *src, OvHeader *dst);

/* For a blank-padded text of length characters: drops the trailing blanks
 * and writes a zero byte after what remains (at buffer[length] when nothing
 * is dropped, so the buffer holds length + 1 bytes).  Nothing is written
 * for a negative length. */
GP_EXPORT void ov_null_terminate(char *buffer, int length);

/* ---- inspection -------------------------------------------------------- */

/* Prints the header in readable form on standard output. */
GP_EXPORT void ov_print_hdr(const OvHeader *hdr);

/* Prints count reals as "%9.3f\t", a newline after every per_line values,
 * then a final newline. */
GP_EXPORT void ov_print_float_array(const float *values, int count, int per_line);

/* Prints all data and vdata values by row; the three integers are unused. */
GP_EXPORT void ov_print_data(const OvHeader *hdr, int unused1, int unused2, int unused3);

/* Prints rows (or points) first to last inclusive; with show_positions
 * non-zero each value is followed by its latitude and longitude.  Rows
 * outside 0..num_rows-1 are passed over. */
GP_EXPORT void ov_print_some_data(const OvHeader *hdr, int first, int last,
                                  int show_positions);

/* Smallest and largest value of the record's data (and vdata), skipping
 * values equal to bad_value on gridded and outline types; 1e12 and -1e12
 * when there is none. */
GP_EXPORT void ov_compute_data_range(const OvHeader *hdr, float *min_out,
                                     float *max_out);

/* The min and max stored in the first data set of the ov file at path.
 * 0, or -1 after "ov_get_range: ov_open failed" (or a reader message). */
GP_EXPORT int ov_get_range(const char *path, float *min_out, float *max_out);

/* The range computed by ov_compute_data_range from the first data set of
 * the file.  0, or -1 after "ov_compute_range: ov_open failed" (or a reader
 * message). */
GP_EXPORT int ov_compute_range(const char *path, float *min_out, float *max_out);

/* The type of the first data set of the file, or -1 when it is not an ov
 * file or holds no data set. */
GP_EXPORT int ov_identify_type(const char *path);

/* Largest value (scalar types) or vector magnitude (vector types) of the
 * first data set of an ov file, or of the field cdf_to_ov builds from a
 * netCDF file with the two indices.  Values equal to bad_value are skipped
 * on gridded types.  Failures: 10.0 after "ov_max_magnitude: ov_open
 * failed" when the ov file cannot be opened; -1.0 when the file is neither
 * ov nor netCDF, holds no data set, cannot be imported, or is of a type
 * without magnitude (after "Error: cannot take magnitude of file type
 * '%d'"). */
GP_EXPORT float ov_max_magnitude(const char *path, int level_index, int time_index);

/* ---- grid geometry and reshaping ------------------------------------- */

/* Kilometres between two latitudes along a meridian (always >= 0). */
GP_EXPORT float ov_meridian_distance(float lat1, float lat2);

/* Kilometres from lon1 to lon2 along the parallel at lat; negative when
 * lon2 < lon1. */
GP_EXPORT float ov_parallel_distance(float lon1, float lon2, float lat);

/* The latitude km kilometres north of lat (south when negative), held to
 * -90..90. */
GP_EXPORT void ov_walk_north(float lat, float km, float *new_lat_out);

/* The longitude km kilometres east of lon along the parallel at lat; lon
 * itself where the cosine of lat is exactly 0.  Not wrapped to any range. */
GP_EXPORT void ov_walk_east(float lat, float lon, float km, float *new_lon_out);

/* Latitude and longitude of every grid point, row-major, into caller arrays
 * of num_rows * num_columns reals, with the grid's steps in degrees (or
 * derived from kilometre increments).  Increments, in degrees or
 * kilometres, are taken by size and lead from start_lat/start_lon towards
 * end_lat/end_lon, so a grid stored from 90 to -90 with a positive
 * increment runs south.  Prints one line about the grid on standard
 * output. */
GP_EXPORT void ov_compute_equiangle_grid(const OvHeader *hdr, float *lats_out,
                                         float *lons_out);

/* The same for a grid whose points lie a fixed number of kilometres apart
 * (increments in kilometres, or derived from degree increments at the
 * grid's first latitude, walking towards the grid's end as above).  Prints
 * two lines on standard output. */
GP_EXPORT void ov_compute_equidistant_grid(const OvHeader *hdr, float *lats_out,
                                           float *lons_out);

/* Reverses the row order of data and vdata and exchanges start_lat and
 * end_lat.  The outline and ungridded types, whose data are no rows of
 * num_columns values, are left alone. */
GP_EXPORT void ov_flip_data(OvHeader *hdr);

/* Reverses the row order of a row-major array in place (no work buffer is
 * needed).  0, or -1 for negative counts (the array is then unchanged). */
GP_EXPORT int flip_float_array(float *array, int rows, int columns);

/* For an OV_CONTOUR or OV_VECTOR data set whose columns span the full circle
 * (360 <= num_columns * lon_increment <= 360 + lon_increment / 2): appends a
 * copy of each row's first value to the row, so num_columns grows by one
 * and end_lon by lon_increment.  data and vdata are replaced by new malloc'ed
 * arrays and the old ones freed, so they must be malloc'ed.  Otherwise, or
 * when an allocation fails (after a message), the data set is unchanged. */
GP_EXPORT void ov_wrap_dataset(OvHeader *hdr);

/* ---- by-reference bindings --------------------------------------------- */
/*
 * For callers that pass every argument by reference, keep texts in
 * blank-padded fields and store two-dimensional arrays column by column.
 * hdr_area is a caller-owned area of OV_HEADER_AREA_SIZE bytes holding an
 * OvHeader image.  Text field lengths are passed last, by value.
 */

/* Creates the file named by the first name_len characters of name (trailing
 * blanks dropped); *fd_out gets the descriptor or -1. */
GP_EXPORT void ov_create_(const char *name, int *fd_out, long name_len);

/* Opens the named ov file with *mode; *fd_out gets the descriptor or -1. */
GP_EXPORT void ov_open_(const char *name, int *fd_out, const int *mode, long name_len);

/* Closes *fd. */
GP_EXPORT void ov_close_(const int *fd);

/*
 * Reads the next data set into hdr_area (the whole record).  For each text
 * whose length argument (*comment_len ...) and data set length are non-zero,
 * min of the two bytes are copied into the caller's field (no terminator,
 * no padding), the area's slot points to the field and the area's length
 * field holds the number of bytes copied; otherwise the slot is null.  For
 * an IRREGULAR grid num_rows latitudes go to lats and num_columns longitudes
 * to lons (the caller provides that room) and the slots point to them; for
 * any other grid type lats and lons are not touched and the slots are null.
 * With *want_data non-zero: OV_CONTOUR and OV_VECTOR data (vdata) are
 * transposed into the column-major arrays data (vdata), of which the first
 * *data_len (*vdata_len) values are stored, never more (a shorter array gets
 * the leading part of the column-major grid); OV_OUTLINE copies
 * min(*data_len, num_rows) values;
 * the slots point to the caller's arrays when their length is non-zero.
 * The library keeps nothing allocated: the private slot is null.  On failure
 * prints "ov_read_: read failed" and leaves every output unchanged.
 */
GP_EXPORT void ov_read_(const int *fd, void *hdr_area, const int *comment_len,
                        char *comment, const int *title_len, char *title,
                        const int *units_len, char *units, const int *desc_len,
                        char *desc, void *unused1, void *unused2, const int *data_len,
                        float *data, const int *vdata_len, float *vdata,
                        const int *want_data, float *lats, float *lons,
                        long comment_hidden, long title_hidden, long units_hidden,
                        long desc_hidden);

/*
 * Writes one data set on a REGULAR grid from the fixed header in hdr_area
 * (its pointer slots are ignored and the area is not changed).  Each text is
 * the first field length - 1 characters of its field, trailing blanks
 * included; a field of length 0 or 1 gives no text.  The caller's fields are
 * not modified.  priv holds the area's private_length bytes; data (and vdata
 * for OV_VECTOR and OV_OUTLINE) are written as passed, in the file's
 * row-major order (see untranspose_data).  Returns 0 or -1 (after
 * "ov_write: malloc failed" for counts that cannot be sized, or after the
 * messages of ov_write).
 */
GP_EXPORT int ov_write_(const int *fd, const void *hdr_area, const char *comment,
                        const char *title, const char *units, const char *desc,
                        const void *priv, float *data, float *vdata, long comment_len,
                        long title_len, long units_len, long desc_len);

/* The same for an IRREGULAR grid with num_rows lats and num_columns lons. */
GP_EXPORT int ov_write_irregular_(const int *fd, const void *hdr_area,
                                  const char *comment, const char *title,
                                  const char *units, const char *desc, const void *priv,
                                  float *data, float *vdata, float *lats, float *lons,
                                  long comment_len, long title_len, long units_len,
                                  long desc_len);

/* Prints the header in hdr_area (texts bounded by their length fields) with
 * the comment length shown as 0. */
GP_EXPORT void ov_print_hdr_(const void *hdr_area);

/* Clears the data, vdata, comment and private slots of an area filled by
 * ov_read_.  They point into the caller's own arrays (or are null), so
 * nothing is freed. */
GP_EXPORT void ov_free_(void *hdr_area);

/* Row-major src (rows x columns) to column-major dst, at most max_count
 * values in source order; nothing when that is below 1.  Arguments by
 * value. */
GP_EXPORT void transpose_data(float *dst, const float *src, int rows, int columns,
                              int max_count);

/* Column-major src to row-major dst, at most max_count values in source
 * order. */
GP_EXPORT void untranspose_data(float *dst, const float *src, int rows, int columns,
                                int max_count);

#ifdef __cplusplus
}
#endif

#endif
