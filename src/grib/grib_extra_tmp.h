/* Temporary declarations until the codec header lands. */
#ifndef GRIB_EXTRA_TMP_H
#define GRIB_EXTRA_TMP_H
#include <cstdint>
extern "C" {
void grchk1(std::int32_t *ksec1, std::int32_t *kret);
void grchk2(std::int32_t *ksec1, std::int32_t *ksec2, float *psec2, std::int32_t *kret);
void grchk3(std::int32_t *ksec1, std::int32_t *ksec3, float *psec3, std::int32_t *kret);
void grchk4(std::int32_t *ksec1, std::int32_t *ksec4, float *psec4, std::int32_t *kret);
void grprs0(std::int32_t *ksec0);
void grprs1(std::int32_t *ksec0, std::int32_t *ksec1);
void grprs2(std::int32_t *ksec0, std::int32_t *ksec2, float *psec2);
void grprs3(std::int32_t *ksec0, std::int32_t *ksec3, float *psec3);
void grprs4(std::int32_t *ksec0, std::int32_t *ksec4, float *psec4);
void prtbin(std::int32_t *kin, std::int32_t *knbit, std::int32_t *kout, std::int32_t *kerr);
void qu2reg(float *pfield, std::int32_t *kpoint, std::int32_t *klat, std::int32_t *klon,
            std::int32_t *kcode);
void rowina(float *p, std::int32_t *ko, std::int32_t *ki, float *pw, std::int32_t *kcode);
void scm0(float *pdl, float *pdr, float *pfl, float *pfr, std::int32_t *klen);
void insmp1(std::int32_t *kgrib, std::int32_t *kleng, std::int32_t *knspt, std::int32_t *ksbind,
            float *psec4, std::int32_t *ksize, std::int32_t *kbit, float *pmiss, const char *hfunc,
            std::int32_t *knum, std::int32_t *kpr, std::int32_t *kret, long hfunc_len);
void insmp2(std::int32_t *kgrib, std::int32_t *kleng, std::int32_t *knspt, float *psec4,
            std::int32_t *ksize, std::int32_t *kbit, float *pmiss, const char *hfunc,
            std::int32_t *knum, std::int32_t *kpr, std::int32_t *kret, long hfunc_len);
void extmap(std::int32_t *kgrib, std::int32_t *kleng, std::int32_t *kbmap, std::int32_t *kbmap2,
            float *psec4, std::int32_t *ksize, std::int32_t *kbit, std::int32_t *ksbmap,
            float *pmiss, std::int32_t *knum, std::int32_t *kpr, std::int32_t *kret);
void inxbit(std::int32_t *kgrib, std::int32_t *kleng, std::int32_t *knspt, std::int32_t *kparm,
            std::int32_t *knum, std::int32_t *kbit, std::int32_t *kblen, const char *hfunc,
            std::int32_t *kret, long hfunc_len);
[[noreturn]] void abortx(const char *hname, long hname_len);
}
#endif
