#include "grib_harness.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using gtu::captured;

TEST(Prtbin, FlagOctets)
{
    gint out = -1, err = -1, nbit = 8;
    for (auto [in, want] : {std::pair{192, 11000000}, {128, 10000000}, {0, 0}, {64, 1000000},
                            {0x1FF, 11111111}, {-2147483647, 1}, {-2, 11111110}}) {
        gint v = in;
        EXPECT_EQ(captured([&] { prtbin(&v, &nbit, &out, &err); }), "");
        EXPECT_EQ(out, want) << in;
        EXPECT_EQ(err, 0);
    }
    gint v = 1023, ten = 10;
    prtbin(&v, &ten, &out, &err);
    EXPECT_EQ(out, 1111111111);
}

TEST(Prtbin, RefusesWidthsThatDoNotFit)
{
    for (gint nbit : {0, 11, 15, -3}) {
        gint v = 5, out = 42, err = 0;
        std::string want = " PRTBIN : Error in binary number length - ";
        want += nbit == 0 ? "  0" : nbit == 11 ? " 11" : nbit == 15 ? " 15" : " -3";
        want += " bits.\n";
        EXPECT_EQ(captured([&] { prtbin(&v, &nbit, &out, &err); }), want);
        EXPECT_EQ(err, 1);
        EXPECT_EQ(out, 42);
    }
}

TEST(Grprs, Section0And1)
{
    gint k0[2] = {21196, 1};
    auto k1 = gtu::valid_sec1();
    EXPECT_EQ(captured([&] { grprs0(k0); }),
              " \n"
              " Section 0 - Indicator Section.\n"
              " -------------------------------------\n"
              " Length of GRIB message (octets).         21196\n"
              " GRIB Edition Number.                         1\n");
    EXPECT_EQ(captured([&] { grprs1(k0, k1.data()); }),
              " \n"
              " Section 1 - Product Definition Section.\n"
              " ---------------------------------------\n"
              " Code Table 2 Version Number.                 1\n"
              " Originating centre identifier.              98\n"
              " Model identification.                      100\n"
              " Grid definition.                             2\n"
              " Flag (Code Table 1)                   10000000\n"
              " Parameter identifier (Code Table 2).        11\n"
              " Type of level (Code Table 3).              100\n"
              " Value 1 of level (Code Table 3).           500\n"
              " Value 2 of level (Code Table 3).             0\n"
              " Year of data.                               95\n"
              " Month of data.                               6\n"
              " Day of data.                                15\n"
              " Hour of data.                               12\n"
              " Minute of data.                              0\n"
              " Time unit (Code Table 4).                    1\n"
              " Time range one.                              0\n"
              " Time range two.                              0\n"
              " Time range indicator (Code Table 5)          0\n"
              " Number averaged.                             0\n"
              " Number missing from average.                 0\n"
              " Century of data.                            20\n"
              " Units decimal scaling factor.                0\n");
}

TEST(Grprs, Section1SatelliteAndCentury)
{
    gint k0[2] = {-2147483647, 0};
    gint k1[25] = {1, 7, 100, 2, 64, 127, 140, 3, 99, 95, 6, 15, 12,
                      0, 1, 0, 0, 0, 0, 0, 20, 0, -1, 0, 0};
    std::string s = captured([&] { grprs1(k0, k1); });
    EXPECT_NE(s.find(" Flag (Code Table 1)                   01000000\n"
                     " Parameter identifier (Code Table 2).       127\n"
                     " Satellite identifier (Code Table 3).       140\n"
                     " Spectral band.                               3\n"
                     " Year of data.                               95\n"),
              std::string::npos)
        << s;
    EXPECT_EQ(s.find("Value 2"), std::string::npos);
    EXPECT_NE(s.find("\n Century of data.                     not given\n"
                     " Units decimal scaling factor.               -1\n"),
              std::string::npos)
        << s;
    s = captured([&] { grprs0(k0); });
    EXPECT_NE(s.find(" Length of GRIB message (octets).     *********\n"), std::string::npos) << s;
}

TEST(Grprs, Section2LatLonWithVerticalCoordinates)
{
    gint k0[2] = {0, 1};
    std::array<gint, 22> k2{0, 144, 73, 90000, 0, 128, -90000, 357500, 2500, 2500, 0, 5};
    std::array<float, 15> p2{};
    const float v[] = {0.5f, -1.25f, 1000.0f, 0.0f, 0.75f};
    std::copy(std::begin(v), std::end(v), p2.begin() + 10);
    EXPECT_EQ(captured([&] { grprs2(k0, k2.data(), p2.data()); }),
              " \n"
              " Section 2 - Grid Description Section.\n"
              " -------------------------------------\n"
              " (Southern latitudes and Western longitudes are negative.)\n"
              " Data representation type (Table 6).                  0\n"
              " Number of points along a parallel.                 144\n"
              " Number of points along a meridian.                  73\n"
              " Latitude of first grid point.                    90000\n"
              " Longitude of first grid point.                       0\n"
              " Resolution and components flag.               10000000\n"
              " Latitude of last grid point.                    -90000\n"
              " Longitude of last grid point.                   357500\n"
              " i direction (East-West) increment.                2500\n"
              " j direction (North-South) increment.              2500\n"
              " Scanning mode flags (Code Table 8)            00000000\n"
              " Number of vertical coordinate parameters.            5\n"
              " \n"
              " Vertical Coordinate Parameters.\n"
              " -------------------------------\n"
              "          0.500000000000         -1.250000000000\n"
              "       1000.000000000000          0.000000000000\n"
              "          0.750000000000\n");
    k2[5] = 0;
    k2[11] = 0;
    std::string s = captured([&] { grprs2(k0, k2.data(), p2.data()); });
    EXPECT_NE(s.find(" Resolution and components flag.               00000000\n"
                     " Latitude of last grid point.                    -90000\n"
                     " Longitude of last grid point.                   357500\n"
                     " i direction (East-West) increment not given.\n"
                     " j direction (North-South) increment not given.\n"
                     " Scanning mode flags (Code Table 8)            00000000\n"
                     " Number of vertical coordinate parameters.            0\n"),
              std::string::npos)
        << s;
    EXPECT_EQ(s.find("Vertical"), std::string::npos);
}

TEST(Grprs, Section2QuasiRegularRotatedStretchedGaussian)
{
    gint k0[2] = {0, 1};
    std::vector<gint> k2{34, 0, 4, 60000, 0, 0, -60000, 351000, 0, 2, 0, 0,
                            -90000, 0, 45000, -10000, 1, 64, 0, 0, 0, 0, 20, 20, 30, 40};
    std::array<float, 10> p2{12.5f, 1.5f};
    EXPECT_EQ(captured([&] { grprs2(k0, k2.data(), p2.data()); }),
              " \n"
              " Section 2 - Grid Description Section.\n"
              " -------------------------------------\n"
              " (Southern latitudes and Western longitudes are negative.)\n"
              " Data representation type (Table 6).                 34\n"
              " Number of points along a parallel varies.\n"
              " Number of points.   Parallel. (Numbered from North to South)\n"
              "    20                  1 to   2\n"
              "    30                  3       \n"
              "    40                  4       \n"
              " Number of points along a meridian.                   4\n"
              " Latitude of first grid point.                    60000\n"
              " Longitude of first grid point.                       0\n"
              " Resolution and components flag.               01000000\n"
              " Latitude of last grid point.                    -60000\n"
              " Longitude of last grid point.                   351000\n"
              " i direction (East-West) increment not given.\n"
              " Number of parallels between pole and equator.        2\n"
              " Scanning mode flags (Code Table 8)            00000000\n"
              " Number of vertical coordinate parameters.            0\n"
              " \n"
              " Latitude of southern pole of rotation.          -90000\n"
              " Longitude of southern pole of rotation.              0\n"
              " Angle of rotation.                            12.5000000000\n"
              " \n"
              " Latitude of pole of stretching.                  45000\n"
              " Longitude of pole of stretching.                -10000\n"
              " Stretching factor.                             1.5000000000\n");

    // all rows equal: one run over every parallel; edition 0: one count line
    k2[22] = k2[23] = k2[24] = k2[25] = 16;
    std::string s = captured([&] { grprs2(k0, k2.data(), p2.data()); });
    EXPECT_NE(s.find("North to South)\n"
                     "    16                  1 to   4\n"
                     " Number of points along a meridian."),
              std::string::npos)
        << s;
    k0[1] = 0;
    s = captured([&] { grprs2(k0, k2.data(), p2.data()); });
    EXPECT_NE(s.find(" Data representation type (Table 6).                 34\n"
                     " Number of points along a parallel.                   0\n"),
              std::string::npos)
        << s;
    EXPECT_EQ(s.find("rotation"), std::string::npos);
}

TEST(Grprs, Section2OtherFamilies)
{
    gint k0[2] = {0, 1};
    std::array<gint, 22> k2{};
    std::array<float, 10> p2{};
    k2[0] = 13;
    EXPECT_EQ(captured([&] { grprs2(k0, k2.data(), p2.data()); }),
              " \n"
              " Section 2 - Grid Description Section.\n"
              " -------------------------------------\n"
              " GRPRS2 :Data representation type not catered for -  13\n");
    k2 = {50, 106, 106, 106, 1, 1};
    std::string s = captured([&] { grprs2(k0, k2.data(), p2.data()); });
    EXPECT_EQ(s, " \n"
                 " Section 2 - Grid Description Section.\n"
                 " -------------------------------------\n"
                 " Data representation type (Table 6).                 50\n"
                 " J - Pentagonal resolution parameter.               106\n"
                 " K - Pentagonal resolution parameter.               106\n"
                 " M - Pentagonal resolution parameter.               106\n"
                 " Representation type (Table 9)                        1\n"
                 " Representation mode (Table 10).                      1\n"
                 " Not used.                                            0\n"
                 " Not used.                                            0\n"
                 " Not used.                                            0\n"
                 " Not used.                                            0\n"
                 " Not used.                                            0\n"
                 " Number of vertical coordinate parameters.            0\n");
    k2 = {5, 100, 80, 20000, -100000, 0, 0, 0, 150000, 150000, 64, 0, 1, 0, 0, 0, 0, 64, 8};
    s = captured([&] { grprs2(k0, k2.data(), p2.data()); });
    EXPECT_NE(s.find(" Longitude of first grid point.                 -100000\n"
                     " Resolution and components flag.               01001000\n"
                     " Orientation of the grid.                             0\n"
                     " X direction increment.                          150000\n"
                     " Y direction increment.                          150000\n"
                     " Scanning mode flags (Code Table 8)            01000000\n"
                     " Number of vertical coordinate parameters.            0\n"
                     " Projection centre flag.                              1\n"),
              std::string::npos)
        << s;
}

TEST(Grprs, Section3)
{
    gint k0[2] = {0, 1};
    gint k3[2] = {0, -999};
    float p3[2] = {0.0f, -99.5f};
    EXPECT_EQ(captured([&] { grprs3(k0, k3, p3); }),
              " \n"
              " Section 3 - Bit-map Section.\n"
              " -------------------------------------\n"
              " No predetermined bit-map.\n"
              " Missing data value for integer data.              -999\n"
              " Missing data value for real data.                  -99.500000\n");
    k3[0] = 7;
    p3[1] = 1.0e20f;
    EXPECT_EQ(captured([&] { grprs3(k0, k3, p3); }),
              " \n"
              " Section 3 - Bit-map Section.\n"
              " -------------------------------------\n"
              " Predetermined bit-map number.                        7\n"
              " Missing data value for integer data.              -999\n"
              " Missing data value for real data.        ********************\n");
}

TEST(Grprs, Section4MatrixAndValues)
{
    gint k0[2] = {0, 1};
    std::array<gint, 60> k4{-5, 16, 0, 0, 0, 16, 0, 64, 32, 0, 0};
    k4[49] = 2;
    k4[50] = 3;
    k4[51] = 1;
    k4[52] = 4;
    k4[53] = 2;
    k4[54] = 5;
    k4[55] = 6;
    k4[56] = 7;
    std::array<float, 6> p4{1.5f, -2.25f, 0.0f, 100.0f, 1e15f, 77.0f};
    EXPECT_EQ(captured([&] { grprs4(k0, k4.data(), p4.data()); }),
              " \n"
              " Section 4 - Binary Data  Section.\n"
              " -------------------------------------\n"
              " Number of data values coded/decoded.                -5\n"
              " Number of bits per data value.                      16\n"
              " Type of data indicator.                              0\n"
              " Type of packing indicator.                           0\n"
              " Type of data representation.                         0\n"
              " Additional flags indicator.                         16\n"
              " Reserved.                                            0\n"
              " Number of values indicator.                         64\n"
              " Secondary bit-maps indicator.                       32\n"
              " Values width indicator.                              0\n"
              " Number of bits for second order values.              0\n"
              " First dimension (rows) of each matrix.               2\n"
              " Second dimension (columns) of each matrix.           3\n"
              " First dimension coordinate values definition.        1\n"
              " (Code Table 12)\n"
              " NC1 - Number of coefficients for 1st dimension.      4\n"
              " Second dimension coordinate values definition.       2\n"
              " (Code Table 12)\n"
              " NC2 - Number of coefficients for 2nd dimension.      5\n"
              " 1st dimension physical signifance (Table 13).        6\n"
              " 2nd dimension physical signifance (Table 13).        7\n"
              " \n"
              " First    5 data values.\n"
              "              1.500000000000000\n"
              "             -2.250000000000000\n"
              "              0.000000000000000\n"
              "            100.000000000000000\n"
              " ******************************\n");
}

TEST(Grprs, Section4ListsAtMostTwenty)
{
    gint k0[2] = {0, 1};
    std::array<gint, 12> k4{1000, 8};
    std::vector<float> p4(1000);
    for (std::size_t i = 0; i < p4.size(); ++i)
        p4[i] = static_cast<float>(i);
    std::string s = captured([&] { grprs4(k0, k4.data(), p4.data()); });
    EXPECT_NE(s.find(" Number of bits for second order values.              0\n"
                     " \n"
                     " First   20 data values.\n"
                     "              0.000000000000000\n"),
              std::string::npos)
        << s;
    EXPECT_NE(s.find("             19.000000000000000\n"), std::string::npos);
    EXPECT_EQ(s.find("             20.000000000000000\n"), std::string::npos);
    EXPECT_EQ(s.find("matrix"), std::string::npos);
}

} // namespace
