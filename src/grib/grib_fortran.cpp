/*
 * grib_fortran.cpp -- the codec under the names gfortran gives its external
 * routines: the routine's name followed by one underscore.  Each entry hands
 * its arguments unchanged to the routine of the same name; the hidden
 * character lengths arrive as gfortran passes them (size_t, after all other
 * arguments) and go on as the codec's long.
 */
#include <gridpick/grib.h>

namespace {

long clen(size_t n) { return static_cast<long>(n); }

}  // namespace

extern "C" {

void fldcod_(gint *ksec0, gint *ksec1, gint *ksec2, float *psec2, gint *ksec3, float *psec3,
             gint *ksec4, float *psec4, gint *klenp, gint *kgrib, gint *kleng, gint *kword,
             const char *hoper, gint *kret, size_t hoper_len)
{
    fldcod(ksec0, ksec1, ksec2, psec2, ksec3, psec3, ksec4, psec4, klenp, kgrib, kleng, kword,
           hoper, kret, clen(hoper_len));
}

/* ---- bit-field access ---- */

void gbytes_(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    gbytes(source, dest, ioff, nbits, nskip, n);
}
void sbytes_(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    sbytes(dest, source, ioff, nbits, nskip, n);
}
void gbyte_(gint *source, gint *dest, gint *ioff, gint *nbits) { gbyte(source, dest, ioff, nbits); }
void sbyte_(gint *dest, gint *source, gint *ioff, gint *nbits) { sbyte(dest, source, ioff, nbits); }
void ubytes_(gint *source, gint *dest, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    ubytes(source, dest, ioff, nbits, nskip, n);
}
void pbytes_(gint *dest, gint *source, gint *ioff, gint *nbits, gint *nskip, gint *n)
{
    pbytes(dest, source, ioff, nbits, nskip, n);
}
void ubyte_(gint *words, gint *value, gint *offset, gint *nbits) { ubyte(words, value, offset, nbits); }
void pbyte_(gint *words, gint *value, gint *offset, gint *nbits) { pbyte(words, value, offset, nbits); }
void gsbytes_(gint *words, gint *values, gint *ioff, gint *nbits, gint *nskip, gint *n,
              grib_byte_op op)
{
    gsbytes(words, values, ioff, nbits, nskip, n, op);
}
void swap4_(void *in, void *out, gint *n) { swap4(in, out, n); }
void swap2_(void *in, void *out, gint *n) { swap2(in, out, n); }

void inxbit_(gint *kgrib, gint *kleng, gint *knspt, gint *kparm, gint *knum, gint *kbit,
             gint *kblen, const char *hfunc, gint *kret, size_t hfunc_len)
{
    inxbit(kgrib, kleng, knspt, kparm, knum, kbit, kblen, hfunc, kret, clen(hfunc_len));
}

/* ---- IBM reals and scaling ---- */

void decfp2_(float *preal, gint *kexp, gint *kmant) { decfp2(preal, kexp, kmant); }
void confp3_(float *pval, gint *kexp, gint *kmant, gint *kbits, gint *kround)
{
    confp3(pval, kexp, kmant, kbits, kround);
}
void inscal_(float *pdata, gint *kdata, gint *klen, float *pref, float *pscale)
{
    inscal(pdata, kdata, klen, pref, pscale);
}
void exscal_(float *pdata, gint *kdata, gint *klen, float *pref, float *pscale)
{
    exscal(pdata, kdata, klen, pref, pscale);
}
void rorint_(float *preal, gint *kint, gint *klen, const char *hdir, size_t hdir_len)
{
    rorint(preal, kint, klen, hdir, clen(hdir_len));
}
void maxmin_(float *parray, gint *klen, float *pmax, float *pmin) { maxmin(parray, klen, pmax, pmin); }
void maxmn2_(float *parray, gint *klen, float *pmiss, float *pmax, float *pmin)
{
    maxmn2(parray, klen, pmiss, pmax, pmin);
}

/* ---- settings, machine parameters, termination ---- */

void grsdbg_(gint *k) { grsdbg(k); }
void grsprt_(gint *k) { grsprt(k); }
void grsvck_(gint *k) { grsvck(k); }
void grsrnd_(gint *k) { grsrnd(k); }
void grsref_(float *p) { grsref(p); }
void setpar_(gint *kbit, gint *kneg, gint *kpr) { setpar(kbit, kneg, kpr); }
void abortx_(const char *hname, size_t hname_len) { abortx(hname, clen(hname_len)); }

/* ---- checks, listings, grid expansion, bit maps ---- */

void grchk1_(gint *ksec1, gint *kret) { grchk1(ksec1, kret); }
void grchk2_(gint *ksec1, gint *ksec2, float *psec2, gint *kret) { grchk2(ksec1, ksec2, psec2, kret); }
void grchk3_(gint *ksec1, gint *ksec3, float *psec3, gint *kret) { grchk3(ksec1, ksec3, psec3, kret); }
void grchk4_(gint *ksec1, gint *ksec4, float *psec4, gint *kret) { grchk4(ksec1, ksec4, psec4, kret); }
void grprs0_(gint *ksec0) { grprs0(ksec0); }
void grprs1_(gint *ksec0, gint *ksec1) { grprs1(ksec0, ksec1); }
void grprs2_(gint *ksec0, gint *ksec2, float *psec2) { grprs2(ksec0, ksec2, psec2); }
void grprs3_(gint *ksec0, gint *ksec3, float *psec3) { grprs3(ksec0, ksec3, psec3); }
void grprs4_(gint *ksec0, gint *ksec4, float *psec4) { grprs4(ksec0, ksec4, psec4); }
void prtbin_(gint *kin, gint *knbit, gint *kout, gint *kerr) { prtbin(kin, knbit, kout, kerr); }

void qu2reg_(float *pfield, gint *kpoint, gint *klat, gint *klon, gint *kcode)
{
    qu2reg(pfield, kpoint, klat, klon, kcode);
}
void rowina_(float *p, gint *ko, gint *ki, float *pw, gint *kcode) { rowina(p, ko, ki, pw, kcode); }
void scm0_(float *pdl, float *pdr, float *pfl, float *pfr, gint *klen) { scm0(pdl, pdr, pfl, pfr, klen); }

void insmp1_(gint *kgrib, gint *kleng, gint *knspt, gint *ksbind, float *psec4, gint *ksize,
             gint *kbit, float *pmiss, const char *hfunc, gint *knum, gint *kpr, gint *kret,
             size_t hfunc_len)
{
    insmp1(kgrib, kleng, knspt, ksbind, psec4, ksize, kbit, pmiss, hfunc, knum, kpr, kret,
           clen(hfunc_len));
}
void insmp2_(gint *kgrib, gint *kleng, gint *knspt, float *psec4, gint *ksize, gint *kbit,
             float *pmiss, const char *hfunc, gint *knum, gint *kpr, gint *kret, size_t hfunc_len)
{
    insmp2(kgrib, kleng, knspt, psec4, ksize, kbit, pmiss, hfunc, knum, kpr, kret, clen(hfunc_len));
}
void extmap_(gint *kgrib, gint *kleng, gint *kbmap, gint *kbmap2, float *psec4, gint *ksize,
             gint *kbit, gint *ksbmap, float *pmiss, gint *knum, gint *kpr, gint *kret)
{
    extmap(kgrib, kleng, kbmap, kbmap2, psec4, ksize, kbit, ksbmap, pmiss, knum, kpr, kret);
}

}  // extern "C"
