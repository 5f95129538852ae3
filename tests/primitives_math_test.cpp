// Tests of the trig tables, the fast distance estimates and the small matrices.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/primitives.h"

namespace {

TEST(TrigTables, WholeDegreesFromZeroTo360) {
    trig_tables_build();
    EXPECT_FLOAT_EQ(cos_table[0], 1);
    EXPECT_FLOAT_EQ(sin_table[90], 1);
    EXPECT_FLOAT_EQ(cos_table[180], -1);
    EXPECT_FLOAT_EQ(sin_table[270], -1);
    EXPECT_FLOAT_EQ(cos_table[360], 1);
    EXPECT_NEAR(sin_table[30], 0.5f, 1e-6);
}

TEST(FastDistance, TheWorkedExamples) {
    EXPECT_EQ(fast_distance2d(3, 4), 6);  // 3 + 4 - 1 - 0 + 0
    EXPECT_EQ(fast_distance2d(-4, -3), 6);
    EXPECT_EQ(fast_distance2d(0, 0), 0);
    EXPECT_EQ(fast_distance2d(0, -25), 25);
    EXPECT_EQ(fast_distance2d(100, 100), 100 + 100 - 50 - 25 + 6);

    EXPECT_FLOAT_EQ(fast_distance3d(3, 4, 0), 5);  // (4096 + 11 * 96 + 0) >> 10
    // The three magnitudes are put in order whatever their places and signs.
    EXPECT_FLOAT_EQ(fast_distance3d(0, -3, 4), 5);
    EXPECT_FLOAT_EQ(fast_distance3d(-4, 0, 3), 5);
    EXPECT_FLOAT_EQ(fast_distance3d(10, 0, 0), 10);
    EXPECT_FLOAT_EQ(fast_distance3d(2, 3, 6), (6144 + 11 * (3072 >> 5) + (2048 >> 2)) >> 10);

    // Magnitudes beyond the working range saturate rather than overflow.
    EXPECT_EQ(fast_distance2d(-2147483647 - 1, 2147483647), 2147483647);
    EXPECT_GT(fast_distance3d(1e12f, 0, 0), 2e6f);
    EXPECT_EQ(fast_distance3d(NAN, 0, 0), 0);
}

TEST(Matrices, PointTimesMat32AppliesTheLinearPartThenTheTranslation) {
    Mat32 m;
    mat32_init(&m, 0, 1, -1, 0, 5, 7);  // a quarter turn, then a move
    Vertex2DF p{2, 3};
    point_mul_mat32(&p, &m, &p);
    EXPECT_FLOAT_EQ(p.x, 2 * 0 + 3 * -1 + 5);
    EXPECT_FLOAT_EQ(p.y, 2 * 1 + 3 * 0 + 7);
}

TEST(Matrices, Mat3ProductAndRowVector) {
    const Mat33 a{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}};
    const Mat33 b{{{0, 1, 0}, {1, 0, 0}, {0, 0, 2}}};
    Mat33 c;
    mat3_mul(&a, &b, &c);
    const float expected[3][3] = {{2, 1, 6}, {5, 4, 12}, {8, 7, 18}};
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 3; ++k)
            EXPECT_FLOAT_EQ(c.m[r][k], expected[r][k]) << r << k;
    }
    Mat33 in_place = a;
    mat3_mul(&in_place, &b, &in_place);
    EXPECT_FLOAT_EQ(in_place.m[2][2], 18);

    Vec3 v{{1, 2, 3}};
    vec3_mul_mat3(&v, &a, &v);
    EXPECT_FLOAT_EQ(v.v[0], 1 + 8 + 21);
    EXPECT_FLOAT_EQ(v.v[1], 2 + 10 + 24);
    EXPECT_FLOAT_EQ(v.v[2], 3 + 12 + 27);
}

}  // namespace
