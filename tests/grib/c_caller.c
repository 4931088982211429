/* A C caller of the codec: arguments by reference, the operation's length
 * passed last as a long. */
#include <gridpick/grib.h>

gint c_caller_length(gint *kgrib, gint kleng, gint *kret)
{
    static gint k0[GRIB_NKSEC0], k1[GRIB_NKSEC1], k2[GRIB_NKSEC2], k3[GRIB_NKSEC3], k4[GRIB_NKSEC4];
    static float p2[GRIB_NPSEC2], p3[GRIB_NPSEC3], p4[19000];
    gint klenp = 19000, kword = 0;
    *kret = 1;
    fldcod(k0, k1, k2, p2, k3, p3, k4, p4, &klenp, kgrib, &kleng, &kword, "L", kret, 1L);
    return k0[0];
}
