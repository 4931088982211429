/* A caller of the installed libraries: decodes the first message of an
 * archive with fldcod, writes it as an ov data set, reads it back and
 * compares.  Prints one line describing the field; status 1 on any
 * difference.  Usage: consumer ARCHIVE OUT.ov */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <gridpick/grib.h>
#include <gridpick/ov.h>

static gint kgrib[8000], ksec0[GRIB_NKSEC0], ksec1[GRIB_NKSEC1 + 1012];
static gint ksec2[GRIB_NKSEC2], ksec3[GRIB_NKSEC3], ksec4[GRIB_NKSEC4];
static float psec2[GRIB_NPSEC2], psec3[GRIB_NPSEC3], psec4[19000];

static int fail(const char *what)
{
    fprintf(stderr, "consumer: %s\n", what);
    return 1;
}

int main(int argc, char **argv)
{
    FILE *in = argc == 3 ? fopen(argv[1], "rb") : NULL;
    if (!in || fread(kgrib, 1, sizeof kgrib, in) < 8)
        return fail("cannot read the archive");
    fclose(in);
    gint klenp = 19000, kleng = 8000, kword = 0, kret = 1;
    fldcod(ksec0, ksec1, ksec2, psec2, ksec3, psec3, ksec4, psec4, &klenp, kgrib, &kleng, &kword,
           "D", &kret, 1L);
    int ni = ksec2[1], nj = ksec2[2], n = ksec4[0];
    if (kret != 0 || n != ni * nj)
        return fail("decoding failed");

    OvHeader *h = ov_create_hdr(OV_CONTOUR, nj, ni, psec4, NULL);
    h->param = ksec1[5];
    h->level = ksec1[7];
    h->year = ksec1[9], h->month = ksec1[10], h->day = ksec1[11];
    h->time = (float)ksec1[12];
    h->start_lat = ksec2[3] / 1000.0f, h->lat_increment = ksec2[9] / 1000.0f;
    h->title = "sample field";
    int fd = ov_create(argv[2]);
    if (fd < 0 || ov_write(fd, h) != 0)
        return fail("writing failed");
    ov_close(fd);

    fd = ov_open(argv[2], 0);
    OvHeader *back = fd < 0 ? NULL : ov_read(fd, 1);
    if (!back || memcmp(back, h, OV_FIXED_HEADER_SIZE) != 0 ||
        memcmp(back->data, psec4, (size_t)n * sizeof(float)) != 0 ||
        strcmp(back->title, "sample field") != 0)
        return fail("the data set read back differs");
    printf("param %d level %d date %d/%d/%d %dz grid %dx%d\n", h->param, h->level, h->year,
           h->month, h->day, (int)h->time, ni, nj);
    ov_destroy(back);
    free(h);
    return 0;
}
