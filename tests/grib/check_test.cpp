#include "grib.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

using std::int32_t;

struct Out {
    int32_t kret;
    std::string text;
};

/* A section 1 that passes every check: NORVA 500 hPa temperature. */
std::array<int32_t, 25> good_sec1()
{
    return {1, 98, 100, 2, 128, 11, 100, 500, 0, 95, 6, 15, 12, 0, 1, 0, 0, 0, 0, 0, 20, 0, 0, 0, 0};
}

/* A 2.5-degree latitude/longitude grid. */
std::array<int32_t, 30> good_sec2()
{
    std::array<int32_t, 30> k{};
    const int32_t v[] = {0, 144, 73, 90000, 0, 128, -90000, 357500, 2500, 2500, 0, 0};
    std::copy(std::begin(v), std::end(v), k.begin());
    return k;
}

Out chk1(std::array<int32_t, 25> k)
{
    int32_t kret = -9;
    testing::internal::CaptureStdout();
    grchk1(k.data(), &kret);
    return {kret, testing::internal::GetCapturedStdout()};
}

Out chk2(std::array<int32_t, 30> k2, int32_t centre = 98)
{
    auto k1 = good_sec1();
    k1[1] = centre;
    std::array<float, 10> p2{};
    int32_t kret = -9;
    testing::internal::CaptureStdout();
    grchk2(k1.data(), k2.data(), p2.data(), &kret);
    return {kret, testing::internal::GetCapturedStdout()};
}

TEST(Grchk1, ValidSectionIsSilent)
{
    auto r = chk1(good_sec1());
    EXPECT_EQ(r.kret, 0);
    EXPECT_EQ(r.text, "");
}

TEST(Grchk1, Centre)
{
    auto k = good_sec1();
    k[1] = 255;
    k[20] = 19; // century rule binds only centre 98
    EXPECT_EQ(chk1(k).kret, 0);
    for (int32_t c : {99, 254, 0}) {
        k[1] = c;
        auto r = chk1(k);
        EXPECT_EQ(r.kret, 1);
        EXPECT_EQ(r.text, " GRCHK1 : Invalid Identification of Centre - " +
                              std::string(c == 0 ? "    0" : c == 99 ? "   99" : "  254") + "\n");
    }
}

TEST(Grchk1, SatelliteAndLevelTypes)
{
    auto k = good_sec1();
    k[5] = 127;
    k[6] = 140;
    k[7] = k[8] = 0;
    EXPECT_EQ(chk1(k).text, "");
    k[5] = 1;
    auto r = chk1(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK1 : Invalid indicator of type of level -   140\n");
    k[5] = 127;
    k[6] = 100;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : Invalid satellite identifier -   100\n");

    k = good_sec1();
    k[6] = 200;
    EXPECT_EQ(chk1(k).kret, 0);
    k[1] = 7;
    k[20] = 0;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : Invalid indicator of type of level -   200\n");
}

TEST(Grchk1, LevelDescriptions)
{
    auto k = good_sec1();
    k[6] = 1;
    auto r = chk1(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK1 : For level type   1 descriptions areinvalid -   500       0\n");
    k[6] = 102;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : For level type 102 descriptions areinvalid -   500       0\n");
    k[6] = 100;
    EXPECT_EQ(chk1(k).kret, 0);
}

TEST(Grchk1, Averages)
{
    auto k = good_sec1();
    k[17] = 3;
    k[18] = 1;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : Inconsistent Time Range Indicator -     3"
                            " and number included in averages -     1\n");
    k[18] = 2;
    k[19] = 2;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : Inconsistent Time Range Indicator -     3"
                            " and number missing from averages -     2\n");
    k[19] = 1;
    EXPECT_EQ(chk1(k).kret, 0);
    k[17] = 6;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : Invalid Time Range Indicator -     6\n");
}

TEST(Grchk1, VersionAndParameter)
{
    auto k = good_sec1();
    k[0] = 128;
    auto r = chk1(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK1 : Inconsistent version number NORVA Code Table 2 -   128"
                      " and Indicator of parameter -    11\n");
    k[0] = 2;
    k[5] = 200;
    r = chk1(k);
    EXPECT_EQ(r.kret, 0);
    EXPECT_EQ(r.text, " GRCHK1 : ** WARNING ** Parameter number 200 is not defined in"
                      " International Table number   2.\n");
    k[0] = 127; // neither rule applies
    EXPECT_EQ(chk1(k).text, "");
    k[5] = 20;
    EXPECT_EQ(chk1(k).text, "");
}

TEST(Grchk1, EveryFaultInOrder)
{
    auto k = good_sec1();
    k[0] = 123456;
    k[4] = 1;
    k[3] = 255;
    k[10] = 13;
    k[11] = 0;
    k[12] = 24;
    k[13] = 60;
    k[14] = 8;
    k[20] = 19;
    k[22] = -1;
    k[23] = 1;
    k[24] = 1;
    auto r = chk1(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK1 : Invalid Parameter Table version number - *****\n"
                      " GRCHK1 : Invalid flag field -     1 decimal.\n"
                      " GRCHK1 : Inconsistent version number NORVA Code Table 2 - *****"
                      " and Indicator of parameter -    11\n"
                      " GRCHK1 : Invalid month -    13\n"
                      " GRCHK1 : Invalid day -     0\n"
                      " GRCHK1 : Invalid hour -    24\n"
                      " GRCHK1 : Invalid minute -    60\n"
                      " GRCHK1 : Invalid Indicator of unit of time -     8\n"
                      " GRCHK1 : Invalid century of reference time -    19\n"
                      " GRCHK1 : Invalid decimal scale factor -    -1\n"
                      " GRCHK1 : Reserved field KSEC1(24) should be 0 to avoid problems"
                      " with future releases.\n"
                      " GRCHK1 : Reserved field KSEC1(25) should be 0 to avoid problems"
                      " with future releases.\n");
    k = good_sec1();
    k[3] = 255;
    k[4] = 64;
    EXPECT_EQ(chk1(k).text, " GRCHK1 : Uncatalogued grid and no Section 2.\n");
}

TEST(Grchk1, RemainingRanges)
{
    auto k = good_sec1();
    k[2] = 0;
    k[3] = 256;
    k[5] = 0;
    k[9] = 100;
    auto r = chk1(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK1 : Invalid Generating Process -     0\n"
                      " GRCHK1 : Invalid Grid Definition -   256\n"
                      " GRCHK1 : Invalid Indicator of parameter -     0\n"
                      " GRCHK1 : Invalid year of century -   100\n");
}

TEST(Grchk2, ValidGridsAreSilent)
{
    auto r = chk2(good_sec2());
    EXPECT_EQ(r.kret, 0);
    EXPECT_EQ(r.text, "");
}

TEST(Grchk2, UnsupportedTypesStopTheChecks)
{
    auto k = good_sec2();
    k[1] = 0; // would be an invalid count
    k[0] = 1;
    auto r = chk2(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK2 : Unsupported data representation type -   1\n");
    k[0] = 11;
    EXPECT_EQ(chk2(k).text, " GRCHK2 : Invalid data representation type -  11\n"
                            " GRCHK2 : Unsupported data representation type -  11\n");
    k[11] = 256;
    EXPECT_EQ(chk2(k).text, " GRCHK2 : Invalid number of vertical coordinate parameters -      256\n"
                            " GRCHK2 : Invalid data representation type -  11\n"
                            " GRCHK2 : Unsupported data representation type -  11\n");
}

TEST(Grchk2, LatLonFaultsInOrder)
{
    auto k = good_sec2();
    k[1] = 0;
    k[3] = 90001;
    k[5] = 64;
    k[9] = 0; // increments not checked without the flag
    k[10] = 1;
    k[16] = 1;
    k[17] = 64;
    k[18] = 8;
    auto r = chk2(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK2 : Earth flag - NORVA usage is 0.\n"
                      " GRCHK2 : Components flag - NORVA usage is 0.\n"
                      " GRCHK2 : Invalid number of points along a parallel -          0\n"
                      " GRCHK2 : Invalid latitude of first grid point -      90001\n"
                      " GRCHK2 : Invalid increments flag -  64\n"
                      " GRCHK2 : Invalid scanning mode flag -   1\n"
                      " GRCHK2 : Quasi-regular latitude/longitude grids not catered for.\n");
    EXPECT_EQ(chk2(k, 7).text.find("NORVA"), std::string::npos);
}

TEST(Grchk2, RemainingLatLonAndFlagMessages)
{
    auto k = good_sec2();
    k[2] = 65536;
    k[4] = -360001;
    k[6] = -90001;
    k[7] = 360001;
    k[8] = 0;
    k[9] = 65536;
    k[17] = 1;
    k[18] = 4;
    auto r = chk2(k, 7);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK2 : Invalid earth flag -   1\n"
                      " GRCHK2 : Invalid components flag -   4\n"
                      " GRCHK2 : Invalid number of points along a meridian -      65536\n"
                      " GRCHK2 : Invalid longitude of first grid point -    -360001\n"
                      " GRCHK2 : Invalid latitude of last grid point -     -90001\n"
                      " GRCHK2 : Invalid longitude of last grid point -     360001\n"
                      " GRCHK2 : Invalid i-direction increment -          0\n"
                      " GRCHK2 : Invalid j-direction increment -      65536\n");
    std::array<int32_t, 30> ps{};
    const int32_t v[] = {5, 0, 65536, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    std::copy(std::begin(v), std::end(v), ps.begin());
    EXPECT_EQ(chk2(ps).text, " GRCHK2 : Invalid number of points along X-axis -          0\n"
                             " GRCHK2 : Invalid number of points along Y-axis -      65536\n"
                             " GRCHK2 : Invalid Y-direction grid length -          0\n");
}

TEST(Grchk2, GaussianPolarSpectral)
{
    auto k = good_sec2();
    k[0] = 4;
    k[9] = 0;
    k[16] = 1;
    EXPECT_EQ(chk2(k).text, " GRCHK2 : Invalid number of parallels -          0\n"
                            " GRCHK2 : Quasi-regular Gaussian grid cannot have direction"
                            " increments included.\n");
    k[5] = 0;
    k[9] = 48;
    EXPECT_EQ(chk2(k).kret, 0);

    std::array<int32_t, 30> ps{};
    const int32_t v[] = {5, 100, 80, 20000, -100000, 0, 400000, 0, 16777216, 1, 0, 0, 2};
    std::copy(std::begin(v), std::end(v), ps.begin());
    EXPECT_EQ(chk2(ps).text, " GRCHK2 : Invalid orientation of the grid -     400000\n"
                             " GRCHK2 : Invalid X-direction grid length -   16777216\n"
                             " GRCHK2 : Invalid projection centre flag -   2\n");

    std::array<int32_t, 30> sh{};
    sh[0] = 50;
    sh[4] = 1;
    sh[5] = 2;
    auto r = chk2(sh);
    EXPECT_EQ(r.kret, 0);
    EXPECT_EQ(r.text, " GRCHK2 : Complex spectral representation mode not catered for.\n");
    sh[4] = 2;
    sh[5] = 3;
    EXPECT_EQ(chk2(sh).text, " GRCHK2 : Invalid spectral representation type -   2\n"
                             " GRCHK2 : Invalid spectral representation mode -   3\n"
                             " GRCHK2 : Complex spectral representation mode not catered for.\n");
}

TEST(Grchk2, GaussianFaultsInOrder)
{
    std::array<int32_t, 30> k{};
    const int32_t v[] = {24, 0, 0, 90001, 360001, 128, -90001, -360001, 0, 0, 1, 0};
    std::copy(std::begin(v), std::end(v), k.begin());
    k[16] = 1;
    auto r = chk2(k);
    EXPECT_EQ(r.kret, 1);
    EXPECT_EQ(r.text, " GRCHK2 : Invalid latitude of first grid point -      90001\n"
                      " GRCHK2 : Invalid longitude of first grid point -     360001\n"
                      " GRCHK2 : Invalid latitude of last grid point -     -90001\n"
                      " GRCHK2 : Invalid longitude of last grid point -    -360001\n"
                      " GRCHK2 : Invalid i-direction increment -          0\n"
                      " GRCHK2 : Invalid number of parallels -          0\n"
                      " GRCHK2 : Invalid scanning mode flag -   1\n"
                      " GRCHK2 : Quasi-regular Gaussian grid cannot have direction"
                      " increments included.\n");
    k[5] = 1;
    k[16] = 2;
    // without the increments flag: no increment check, the flag itself fails
    const std::string t = chk2(k).text;
    EXPECT_EQ(t.substr(t.find(" GRCHK2 : Invalid number of parallels")),
              " GRCHK2 : Invalid number of parallels -          0\n"
              " GRCHK2 : Invalid increments flag -   1\n"
              " GRCHK2 : Invalid scanning mode flag -   1\n"
              " GRCHK2 : Invalid quasi / regular indicator -   2\n");
}

TEST(Grchk3, Reference)
{
    auto k1 = good_sec1();
    std::array<int32_t, 2> k3{70000, 0};
    std::array<float, 2> p3{};
    int32_t kret = -9;
    testing::internal::CaptureStdout();
    grchk3(k1.data(), k3.data(), p3.data(), &kret);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " GRCHK3 : Invalid bit-map table reference -     70000\n"
              " GRCHK3 : NORVA usage is to include bit-map.\n");
    EXPECT_EQ(kret, 1);
    k1[1] = 7;
    k3[0] = 5;
    testing::internal::CaptureStdout();
    grchk3(k1.data(), k3.data(), p3.data(), &kret);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(kret, 0);
}

TEST(Grchk4, Flags)
{
    auto k1 = good_sec1();
    std::array<int32_t, 12> k4{100, 16, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::array<float, 1> p4{};
    int32_t kret = -9;
    auto run = [&] {
        testing::internal::CaptureStdout();
        grchk4(k1.data(), k4.data(), p4.data(), &kret);
        return testing::internal::GetCapturedStdout();
    };
    EXPECT_EQ(run(), " GRCHK4 : Invalid type of data -   1\n");
    EXPECT_EQ(kret, 0);
    k4 = {0, 33, 128, 64, 1, 8, 1, 1, 2, 0, 0, 0};
    EXPECT_EQ(run(), " GRCHK4 : Number of data values to be encoded is 0.\n"
                     " GRCHK4 : Invalid number of bits for packed data values -  33\n"
                     " GRCHK4 : Only simple packing supported.\n"
                     " GRCHK4 : Invalid data representation -   1\n"
                     " GRCHK4 : Invalid additional flag field -   8\n"
                     " GRCHK4 : Reserved field not 0. May cause trouble in future releases"
                     " of FLDCOD.\n"
                     " GRCHK4 : Invalid number of fields indicator -   1\n"
                     " GRCHK4 : Invalid secondary bit map indicator -   2\n");
    EXPECT_EQ(kret, 1);
    k4 = {10, 0, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(run(), " GRCHK4 : Invalid number of bits for packed data values -   0\n"
                     " GRCHK4 : Invalid type of packing -  32\n");
}

} // namespace
