// The one codec call of the programs that decode archives (sections.h).
#include "sections.h"

static_assert(sizeof(gint) == sizeof(std::int32_t));

int gp_decode_sections(gp_sections &s, const char *op, std::int32_t *buffer, int words,
                       float *values, int nvalues)
{
    gint klenp = nvalues, kleng = words, kword = 0, kret = 1;
    fldcod(s.ksec0, s.ksec1, s.ksec2, s.psec2, s.ksec3, s.psec3, s.ksec4, values, &klenp, buffer,
           &kleng, &kword, op, &kret, 1L);
    return kret;
}
