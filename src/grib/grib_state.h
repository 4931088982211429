/*
 * grib_state.h -- the codec's process-wide state: one instance of one
 * struct.  Tests call grib_state_reset() to start from a fresh process.
 */
#ifndef GRIB_STATE_H
#define GRIB_STATE_H

#include <gridpick/grib.h>

/* Marker in NINIT once the settings record holds its defaults. */
constexpr gint GRIB_NINIT_MARK = 11041967;

/* Settings record: member names and order as the codec has always had. */
struct grbcom_t {
    float FREF;   /* user reference value for coding */
    gint NFREF;   /* 1: use FREF instead of the field minimum */
    gint NRND;    /* 1: round coded lengths up to 120 octets */
    gint NDBG;    /* 1: debug printing */
    gint NVCK;    /* 1: check section values before coding */
    gint NINIT;   /* GRIB_NINIT_MARK once the defaults are in */
};

/* Working values of one fldcod call; kept between calls, like all else. */
struct grib_work_t {
    gint nspt;          /* running bit position in KGRIB */
    gint edition;       /* 1, 0 or -1 */
    gint len1, len2, len3, len4;   /* section lengths in octets */
    gint start1, start2, start3, start4; /* section starts in bits */
    gint nvals;         /* number of values being coded or decoded */
    gint unused3, unused4;         /* unused bits at section ends */
    gint bmap, bmapbits, bmap2;    /* bit map positions and size */
    gint pseudo;        /* 1: pseudo-message, rest passed over */
    gint bmret;         /* bit-map condition: 0, -2, -3, -4 or -5 */
    gint iexp;          /* binary scale factor E */
    gint missing;       /* 1: the field is a missing field */
    float zref;         /* reference value R */
    float zscale;       /* 2^E */
    float zmax, zmin;   /* range of the field when coding */
};

/* Bit map work storage of insmp1, insmp2 and extmap: the largest primary
 * and secondary maps they accept. */
constexpr gint GRIB_MAXBMAP = 41472;
constexpr gint GRIB_MAXBMAP2 = 512;
struct grib_maps_t {
    gint primary[GRIB_MAXBMAP];
    gint secondary[GRIB_MAXBMAP2];
};

struct grib_state_t {
    grbcom_t grbcom;
    gint kbit;          /* bits per word of KGRIB, from setpar */
    gint kneg;          /* missing-value indicator, from setpar */
    bool first_done;    /* setpar has been called */
    bool quiet;         /* grsprt: return code lines are not printed */
    grib_work_t work;
    grib_maps_t maps;
};

extern grib_state_t grib_state;

/* Back to the state of a process that has not called the codec yet. */
void grib_state_reset();
/* Gives grbcom its defaults unless NINIT already holds the marker. */
void grib_defaults();

#endif
