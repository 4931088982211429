// Grid geometry: distances, walks, grid point positions, flipping and
// wrapping data sets.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <gridpick/ov.h>

namespace {

float *malloced(std::initializer_list<float> values)
{
    auto *p = static_cast<float *>(std::malloc(values.size() * sizeof(float)));
    std::copy(values.begin(), values.end(), p);
    return p;
}

}  // namespace

TEST(OvGeometry, Distances)
{
    EXPECT_NEAR(ov_meridian_distance(10, 0), 1111.33f, 0.01f);
    EXPECT_NEAR(ov_meridian_distance(-45, 45), 10002.0f, 0.01f);
    EXPECT_NEAR(ov_parallel_distance(10, 0, 0), -1113.19f, 0.01f);
    EXPECT_NEAR(ov_parallel_distance(0, 90, 60), 5009.53f, 0.01f);  // cos of 60 * 0.017453
}

TEST(OvGeometry, WalksNorthAndEast)
{
    float lat;
    ov_walk_north(80, 2000, &lat);
    EXPECT_EQ(lat, 90);
    ov_walk_north(-80, -2000, &lat);
    EXPECT_EQ(lat, -90);
    ov_walk_north(10, -1111.333f, &lat);
    EXPECT_NEAR(lat, 0, 1e-4);

    float lon;
    ov_walk_east(0, 350, 1113.194f, &lon);
    EXPECT_NEAR(lon, 360, 1e-3);  // not wrapped
    ov_walk_east(60, 0, 1113.2f, &lon);
    EXPECT_NEAR(lon, 20, 1e-2);
    ov_walk_east(90, 15, 100, &lon);  // cos(90 * 0.017453) is tiny, not 0
    EXPECT_GT(lon, 1000);
}

TEST(OvGeometry, EquiangleGridInDegreesAndKilometres)
{
    OvHeader h{};
    h.start_lat = 10, h.start_lon = 100, h.num_rows = 2, h.num_columns = 3;
    h.end_lat = 12.5f, h.end_lon = 110;
    h.lat_increment = 2.5f, h.lon_increment = 5;
    std::vector<float> lats(6), lons(6);
    testing::internal::CaptureStdout();
    ov_compute_equiangle_grid(&h, lats.data(), lons.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "minlat = 10, minlon = 100, maxlat = 12.5, maxlon = 110\n");
    EXPECT_EQ(lats, (std::vector<float>{10, 10, 10, 12.5f, 12.5f, 12.5f}));
    EXPECT_EQ(lons, (std::vector<float>{100, 105, 110, 100, 105, 110}));

    // Stored increments are positive: a grid from 90 down to -90 (as the
    // extraction writes them) runs south, whatever the increment's sign.
    OvHeader g{};
    g.start_lat = 90, g.end_lat = -90, g.start_lon = 0, g.end_lon = 357.5f;
    g.num_rows = 73, g.num_columns = 144, g.lat_increment = 2.5f, g.lon_increment = 2.5f;
    std::vector<float> glats(73 * 144), glons(73 * 144);
    for (float increment : {2.5f, -2.5f}) {
        g.lat_increment = increment;
        testing::internal::CaptureStdout();
        ov_compute_equiangle_grid(&g, glats.data(), glons.data());
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "minlat = 90, minlon = 0, maxlat = -90, maxlon = 357.5\n");
        EXPECT_EQ(glats[144], 87.5f);
        EXPECT_EQ(glats[72 * 144], -90);
        EXPECT_EQ(glons[143], 357.5f);
    }

    h.start_lat = 0, h.start_lon = 0, h.end_lat = h.end_lon = -1, h.increment_type = KILOMETERS;
    h.lat_increment = 1111.333f, h.lon_increment = 1113.194f;
    testing::internal::CaptureStdout();
    ov_compute_equiangle_grid(&h, lats.data(), lons.data());
    testing::internal::GetCapturedStdout();
    EXPECT_NEAR(lats[3], -10, 1e-3);  // south and west, towards the grid's end
    EXPECT_NEAR(lons[2], -20, 1e-3);
    EXPECT_NEAR(lons[4], -10, 1e-3);
}

TEST(OvGeometry, EquidistantGridWalksTowardsTheGridsEnd)
{
    OvHeader h{};
    h.start_lat = 60, h.start_lon = 0, h.num_rows = 2, h.num_columns = 3;
    h.end_lat = 70, h.end_lon = 20;
    h.lat_increment = 10, h.lon_increment = 10;
    std::vector<float> lats(6), lons(6);
    testing::internal::CaptureStdout();
    ov_compute_equidistant_grid(&h, lats.data(), lons.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ov_compute_equidistant_grid size: 2 x 3\n"
              "ov_compute_equidistant_grid minlat = 60, minlon = 0, maxlat = 70, maxlon = 20\n");
    EXPECT_NEAR(lats[3], 70, 1e-3);
    // Along the first row the points are 10 degrees apart, eastwards; the
    // same distance covers more longitude further north.
    EXPECT_NEAR(lons[1], 10, 1e-3);
    EXPECT_NEAR(lons[2], 20, 1e-3);
    EXPECT_GT(lons[4], 14);

    // A grid running south and west is walked that way, with the positive
    // increments of a stored grid or the signed ones of an imported one.
    h.start_lat = 10, h.end_lat = 0, h.end_lon = -20;
    h.lat_increment = 10, h.lon_increment = 10;
    testing::internal::CaptureStdout();
    ov_compute_equidistant_grid(&h, lats.data(), lons.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ov_compute_equidistant_grid size: 2 x 3\n"
              "ov_compute_equidistant_grid minlat = 10, minlon = 0, maxlat = 0, maxlon = -20\n");
    EXPECT_NEAR(lats[3], 0, 1e-3);
    EXPECT_NEAR(lons[2], -20, 1e-3);
    h.lat_increment = -10, h.lon_increment = -10;
    testing::internal::CaptureStdout();
    ov_compute_equidistant_grid(&h, lats.data(), lons.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ov_compute_equidistant_grid size: 2 x 3\n"
              "ov_compute_equidistant_grid minlat = 10, minlon = 0, maxlat = 0, maxlon = -20\n");
    EXPECT_NEAR(lats[0], 10, 1e-3);
    EXPECT_NEAR(lats[3], 0, 1e-3);
    EXPECT_NEAR(lons[2], -20, 1e-3);

    h.increment_type = KILOMETERS, h.lat_increment = 100, h.lon_increment = 50;
    h.start_lat = 0, h.end_lat = -1;
    testing::internal::CaptureStdout();
    ov_compute_equidistant_grid(&h, lats.data(), lons.data());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NEAR(lats[3], -0.89982f, 1e-4);  // south and west, towards the grid's end
    EXPECT_NEAR(lons[2], -0.8983f, 1e-3);
    EXPECT_EQ(out.substr(out.find('\n') + 1),
              "ov_compute_equidistant_grid minlat = 0, minlon = 0, maxlat = -0.89982, maxlon = "
              "-0.898316\n");
}

TEST(OvReshape, FlipTwiceRestores)
{
    float d[6] = {1, 2, 3, 4, 5, 6}, v[6] = {-1, -2, -3, -4, -5, -6};
    OvHeader h{};
    h.type = OV_VECTOR, h.num_rows = 3, h.num_columns = 2, h.data = d, h.vdata = v;
    h.start_lat = -10, h.end_lat = 10;
    ov_flip_data(&h);
    EXPECT_EQ(std::vector<float>(d, d + 6), (std::vector<float>{5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(std::vector<float>(v, v + 6), (std::vector<float>{-5, -6, -3, -4, -1, -2}));
    EXPECT_EQ(h.start_lat, 10);
    EXPECT_EQ(h.end_lat, -10);
    ov_flip_data(&h);
    EXPECT_EQ(std::vector<float>(d, d + 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(h.start_lat, -10);

    // Other type codes are sized like a contour grid and flip alike; an
    // outline's points are no rows and stay as they are.
    h.type = 7, h.vdata = nullptr;
    ov_flip_data(&h);
    EXPECT_EQ(std::vector<float>(d, d + 6), (std::vector<float>{5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(h.start_lat, 10);
    h.type = OV_OUTLINE;
    ov_flip_data(&h);
    EXPECT_EQ(std::vector<float>(d, d + 6), (std::vector<float>{5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(h.start_lat, 10);

    float a[4] = {1, 2, 3, 4};
    EXPECT_EQ(flip_float_array(a, 4, 1), 0);
    EXPECT_EQ(std::vector<float>(a, a + 4), (std::vector<float>{4, 3, 2, 1}));
}

TEST(OvReshape, WrapAddsTheFirstColumnToAFullCircle)
{
    OvHeader h{};
    h.type = OV_VECTOR, h.num_rows = 2, h.num_columns = 4;
    h.lon_increment = 90, h.start_lon = 0, h.end_lon = 270;
    h.data = malloced({1, 2, 3, 4, 5, 6, 7, 8});
    h.vdata = malloced({-1, -2, -3, -4, -5, -6, -7, -8});
    ov_wrap_dataset(&h);
    EXPECT_EQ(h.num_columns, 5);
    EXPECT_EQ(h.end_lon, 360);
    EXPECT_EQ(std::vector<float>(h.data, h.data + 10),
              (std::vector<float>{1, 2, 3, 4, 1, 5, 6, 7, 8, 5}));
    EXPECT_EQ(h.vdata[9], -5);
    // Already wrapped: 5 * 90 = 450 > 360 + 45.
    ov_wrap_dataset(&h);
    EXPECT_EQ(h.num_columns, 5);
    std::free(h.data);
    std::free(h.vdata);
}

TEST(OvReshape, WrapOfAGlobalTwoAndAHalfDegreeGrid)
{
    OvHeader h{};
    h.type = OV_CONTOUR, h.num_rows = 73, h.num_columns = 144, h.lon_increment = 2.5f;
    h.end_lon = 357.5f;
    h.data = static_cast<float *>(std::malloc(73 * 144 * sizeof(float)));
    for (int i = 0; i < 73 * 144; i++)
        h.data[i] = static_cast<float>(i);
    ov_wrap_dataset(&h);
    ASSERT_EQ(h.num_columns, 145);
    EXPECT_EQ(h.end_lon, 360);
    EXPECT_EQ(h.data[144], 0);
    EXPECT_EQ(h.data[145], 144);
    EXPECT_EQ(h.data[72 * 145 + 144], 72 * 144);
    std::free(h.data);

    OvHeader outline{};
    outline.type = OV_OUTLINE, outline.num_columns = 144, outline.lon_increment = 2.5f;
    ov_wrap_dataset(&outline);
    EXPECT_EQ(outline.num_columns, 144);
}
