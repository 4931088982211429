// The checks of section values before coding: each case changes a valid
// section and names the lines and the KRET the check gives.
#include "grib_harness.h"

#include <initializer_list>
#include <utility>

namespace {

using gtu::captured;
using Set = std::initializer_list<std::pair<int, gint>>;  // element (from 1), value

template <typename A>
A with(A k, Set set)
{
    for (auto [n, v] : set)
        k[n - 1] = v;
    return k;
}

struct Case {
    Set set;
    gint kret;
    const char *text;
};

TEST(Grchk1, Cases)
{
    const Case cases[] = {
        {{}, 0, ""},
        // the century rule binds only centre 98
        {{{2, 255}, {21, 19}}, 0, ""},
        {{{2, 99}, {21, 19}}, 1, " GRCHK1 : Invalid Identification of Centre -    99\n"},
        {{{2, 254}, {21, 19}}, 1, " GRCHK1 : Invalid Identification of Centre -   254\n"},
        {{{2, 0}, {21, 19}}, 1, " GRCHK1 : Invalid Identification of Centre -     0\n"},
        // satellites and types of level
        {{{6, 127}, {7, 140}, {8, 0}}, 0, ""},
        {{{6, 1}, {7, 140}, {8, 0}}, 1, " GRCHK1 : Invalid indicator of type of level -   140\n"},
        {{{6, 127}, {7, 100}, {8, 0}}, 1, " GRCHK1 : Invalid satellite identifier -   100\n"},
        {{{7, 200}}, 0, ""},
        {{{7, 200}, {2, 7}, {21, 0}}, 1, " GRCHK1 : Invalid indicator of type of level -   200\n"},
        {{{7, 1}}, 1, " GRCHK1 : For level type   1 descriptions areinvalid -   500       0\n"},
        {{{7, 102}}, 1, " GRCHK1 : For level type 102 descriptions areinvalid -   500       0\n"},
        // averages
        {{{18, 3}, {19, 1}}, 1,
         " GRCHK1 : Inconsistent Time Range Indicator -     3 and number included in averages -     1\n"},
        {{{18, 3}, {19, 2}, {20, 2}}, 1,
         " GRCHK1 : Inconsistent Time Range Indicator -     3 and number missing from averages -     2\n"},
        {{{18, 3}, {19, 2}, {20, 1}}, 0, ""},
        {{{18, 6}, {19, 2}, {20, 1}}, 1, " GRCHK1 : Invalid Time Range Indicator -     6\n"},
        // table version against parameter
        {{{1, 128}}, 1,
         " GRCHK1 : Inconsistent version number NORVA Code Table 2 -   128 and Indicator of parameter -    11\n"},
        {{{1, 2}, {6, 200}}, 0,
         " GRCHK1 : ** WARNING ** Parameter number 200 is not defined in International Table number   2.\n"},
        {{{1, 127}, {6, 200}}, 0, ""},  // neither rule applies
        {{{1, 127}, {6, 20}}, 0, ""},
        {{{4, 255}, {5, 64}}, 1, " GRCHK1 : Uncatalogued grid and no Section 2.\n"},
        {{{3, 0}, {4, 256}, {6, 0}, {10, 100}}, 1,
         " GRCHK1 : Invalid Generating Process -     0\n"
         " GRCHK1 : Invalid Grid Definition -   256\n"
         " GRCHK1 : Invalid Indicator of parameter -     0\n"
         " GRCHK1 : Invalid year of century -   100\n"},
        // every fault, in order
        {{{1, 123456}, {5, 1}, {4, 255}, {11, 13}, {12, 0}, {13, 24}, {14, 60}, {15, 8}, {21, 19},
          {23, -1}, {24, 1}, {25, 1}},
         1,
         " GRCHK1 : Invalid Parameter Table version number - *****\n"
         " GRCHK1 : Invalid flag field -     1 decimal.\n"
         " GRCHK1 : Inconsistent version number NORVA Code Table 2 - ***** and Indicator of parameter -    11\n"
         " GRCHK1 : Invalid month -    13\n"
         " GRCHK1 : Invalid day -     0\n"
         " GRCHK1 : Invalid hour -    24\n"
         " GRCHK1 : Invalid minute -    60\n"
         " GRCHK1 : Invalid Indicator of unit of time -     8\n"
         " GRCHK1 : Invalid century of reference time -    19\n"
         " GRCHK1 : Invalid decimal scale factor -    -1\n"
         " GRCHK1 : Reserved field KSEC1(24) should be 0 to avoid problems with future releases.\n"
         " GRCHK1 : Reserved field KSEC1(25) should be 0 to avoid problems with future releases.\n"},
    };
    for (const Case &k : cases) {
        auto k1 = with(gtu::valid_sec1(), k.set);
        gint kret = -9;
        EXPECT_EQ(captured([&] { grchk1(k1.data(), &kret); }), k.text);
        EXPECT_EQ(kret, k.kret) << k.text;
    }
}

TEST(Grchk2, Cases)
{
    struct Grid {
        bool from_latlon;  // else from zeros
        gint centre;
        Case c;
    } cases[] = {
        {true, 98, {{}, 0, ""}},
        // an unsupported type stops the checks (its count would be invalid)
        {true, 98, {{{2, 0}, {1, 1}}, 1, " GRCHK2 : Unsupported data representation type -   1\n"}},
        {true, 98, {{{2, 0}, {1, 11}}, 1,
                    " GRCHK2 : Invalid data representation type -  11\n"
                    " GRCHK2 : Unsupported data representation type -  11\n"}},
        {true, 98, {{{2, 0}, {1, 11}, {12, 256}}, 1,
                    " GRCHK2 : Invalid number of vertical coordinate parameters -      256\n"
                    " GRCHK2 : Invalid data representation type -  11\n"
                    " GRCHK2 : Unsupported data representation type -  11\n"}},
        // latitude/longitude; increments not checked without their flag
        {true, 98, {{{2, 0}, {4, 90001}, {6, 64}, {10, 0}, {11, 1}, {17, 1}, {18, 64}, {19, 8}}, 1,
                    " GRCHK2 : Earth flag - NORVA usage is 0.\n"
                    " GRCHK2 : Components flag - NORVA usage is 0.\n"
                    " GRCHK2 : Invalid number of points along a parallel -          0\n"
                    " GRCHK2 : Invalid latitude of first grid point -      90001\n"
                    " GRCHK2 : Invalid increments flag -  64\n"
                    " GRCHK2 : Invalid scanning mode flag -   1\n"
                    " GRCHK2 : Quasi-regular latitude/longitude grids not catered for.\n"}},
        {true, 7, {{{2, 0}, {4, 90001}, {6, 64}, {10, 0}, {11, 1}, {17, 1}, {18, 64}, {19, 8}}, 1,
                   " GRCHK2 : Invalid number of points along a parallel -          0\n"
                   " GRCHK2 : Invalid latitude of first grid point -      90001\n"
                   " GRCHK2 : Invalid increments flag -  64\n"
                   " GRCHK2 : Invalid scanning mode flag -   1\n"
                   " GRCHK2 : Quasi-regular latitude/longitude grids not catered for.\n"}},
        {true, 7, {{{3, 65536}, {5, -360001}, {7, -90001}, {8, 360001}, {9, 0}, {10, 65536},
                    {18, 1}, {19, 4}},
                   1,
                   " GRCHK2 : Invalid earth flag -   1\n"
                   " GRCHK2 : Invalid components flag -   4\n"
                   " GRCHK2 : Invalid number of points along a meridian -      65536\n"
                   " GRCHK2 : Invalid longitude of first grid point -    -360001\n"
                   " GRCHK2 : Invalid latitude of last grid point -     -90001\n"
                   " GRCHK2 : Invalid longitude of last grid point -     360001\n"
                   " GRCHK2 : Invalid i-direction increment -          0\n"
                   " GRCHK2 : Invalid j-direction increment -      65536\n"}},
        // Gaussian
        {true, 98, {{{1, 4}, {10, 0}, {17, 1}}, 1,
                    " GRCHK2 : Invalid number of parallels -          0\n"
                    " GRCHK2 : Quasi-regular Gaussian grid cannot have direction increments included.\n"}},
        {true, 98, {{{1, 4}, {10, 48}, {17, 1}, {6, 0}}, 0, ""}},
        {false, 98, {{{1, 24}, {4, 90001}, {5, 360001}, {6, 128}, {7, -90001}, {8, -360001}, {11, 1},
                      {17, 1}},
                     1,
                     " GRCHK2 : Invalid latitude of first grid point -      90001\n"
                     " GRCHK2 : Invalid longitude of first grid point -     360001\n"
                     " GRCHK2 : Invalid latitude of last grid point -     -90001\n"
                     " GRCHK2 : Invalid longitude of last grid point -    -360001\n"
                     " GRCHK2 : Invalid i-direction increment -          0\n"
                     " GRCHK2 : Invalid number of parallels -          0\n"
                     " GRCHK2 : Invalid scanning mode flag -   1\n"
                     " GRCHK2 : Quasi-regular Gaussian grid cannot have direction increments included.\n"}},
        // without the increments flag: no increment check, the flag itself fails
        {false, 98, {{{1, 24}, {4, 90001}, {5, 360001}, {6, 1}, {7, -90001}, {8, -360001}, {11, 1},
                      {17, 2}},
                     1,
                     " GRCHK2 : Invalid latitude of first grid point -      90001\n"
                     " GRCHK2 : Invalid longitude of first grid point -     360001\n"
                     " GRCHK2 : Invalid latitude of last grid point -     -90001\n"
                     " GRCHK2 : Invalid longitude of last grid point -    -360001\n"
                     " GRCHK2 : Invalid number of parallels -          0\n"
                     " GRCHK2 : Invalid increments flag -   1\n"
                     " GRCHK2 : Invalid scanning mode flag -   1\n"
                     " GRCHK2 : Invalid quasi / regular indicator -   2\n"}},
        // polar stereographic
        {false, 98, {{{1, 5}, {3, 65536}, {9, 1}}, 1,
                     " GRCHK2 : Invalid number of points along X-axis -          0\n"
                     " GRCHK2 : Invalid number of points along Y-axis -      65536\n"
                     " GRCHK2 : Invalid Y-direction grid length -          0\n"}},
        {false, 98, {{{1, 5}, {2, 100}, {3, 80}, {4, 20000}, {5, -100000}, {7, 400000},
                      {9, 16777216}, {10, 1}, {13, 2}},
                     1,
                     " GRCHK2 : Invalid orientation of the grid -     400000\n"
                     " GRCHK2 : Invalid X-direction grid length -   16777216\n"
                     " GRCHK2 : Invalid projection centre flag -   2\n"}},
        // spherical harmonics
        {false, 98, {{{1, 50}, {5, 1}, {6, 2}}, 0,
                     " GRCHK2 : Complex spectral representation mode not catered for.\n"}},
        {false, 98, {{{1, 50}, {5, 2}, {6, 3}}, 1,
                     " GRCHK2 : Invalid spectral representation type -   2\n"
                     " GRCHK2 : Invalid spectral representation mode -   3\n"
                     " GRCHK2 : Complex spectral representation mode not catered for.\n"}},
    };
    for (const Grid &g : cases) {
        std::vector<gint> base = g.from_latlon ? gtu::latlon_grid() : std::vector<gint>(22);
        auto k2 = with(base, g.c.set);
        auto k1 = with(gtu::valid_sec1(), {{2, g.centre}});
        std::array<float, 10> p2{};
        gint kret = -9;
        EXPECT_EQ(captured([&] { grchk2(k1.data(), k2.data(), p2.data(), &kret); }), g.c.text);
        EXPECT_EQ(kret, g.c.kret) << g.c.text;
    }
}

TEST(Grchk3, Cases)
{
    struct {
        gint centre, table;
        Case c;
    } cases[] = {
        {98, 70000, {{}, 1,
                     " GRCHK3 : Invalid bit-map table reference -     70000\n"
                     " GRCHK3 : NORVA usage is to include bit-map.\n"}},
        {7, 5, {{}, 0, ""}},
    };
    for (const auto &k : cases) {
        auto k1 = with(gtu::valid_sec1(), {{2, k.centre}});
        std::array<gint, 2> k3{k.table, 0};
        std::array<float, 2> p3{};
        gint kret = -9;
        EXPECT_EQ(captured([&] { grchk3(k1.data(), k3.data(), p3.data(), &kret); }), k.c.text);
        EXPECT_EQ(kret, k.c.kret);
    }
}

TEST(Grchk4, Cases)
{
    struct {
        std::array<gint, 12> k4;
        Case c;
    } cases[] = {
        {{100, 16, 1}, {{}, 0, " GRCHK4 : Invalid type of data -   1\n"}},
        {{0, 33, 128, 64, 1, 8, 1, 1, 2}, {{}, 1,
                                           " GRCHK4 : Number of data values to be encoded is 0.\n"
                                           " GRCHK4 : Invalid number of bits for packed data values -  33\n"
                                           " GRCHK4 : Only simple packing supported.\n"
                                           " GRCHK4 : Invalid data representation -   1\n"
                                           " GRCHK4 : Invalid additional flag field -   8\n"
                                           " GRCHK4 : Reserved field not 0. May cause trouble in future"
                                           " releases of FLDCOD.\n"
                                           " GRCHK4 : Invalid number of fields indicator -   1\n"
                                           " GRCHK4 : Invalid secondary bit map indicator -   2\n"}},
        {{10, 0, 0, 32}, {{}, 1,
                          " GRCHK4 : Invalid number of bits for packed data values -   0\n"
                          " GRCHK4 : Invalid type of packing -  32\n"}},
    };
    for (auto k : cases) {
        auto k1 = gtu::valid_sec1();
        std::array<float, 1> p4{};
        gint kret = -9;
        EXPECT_EQ(captured([&] { grchk4(k1.data(), k.k4.data(), p4.data(), &kret); }), k.c.text);
        EXPECT_EQ(kret, k.c.kret);
    }
}

}  // namespace
