// Fast math: sine and cosine tables of whole degrees, distance estimates, and 3 x 2 and
// 3 x 3 float matrices.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/primitives.h"

float cos_table[361];
float sin_table[361];

int trig_tables_build() {
    for (int i = 0; i <= 360; ++i) {
        const float radians = static_cast<float>(i) * 3.1415927f / 180.0f;
        cos_table[i] = std::cos(radians);
        sin_table[i] = std::sin(radians);
    }
    return 1;
}

namespace {

// |v| * 1024 truncated toward zero; beyond the int range (and for NaN) it saturates.
long long scaled_magnitude(float v) {
    const double scaled = std::fabs(static_cast<double>(v)) * 1024.0;
    if (!(scaled < 2147483647.0))
        return scaled > 0 ? 2147483647LL : 0;
    return static_cast<long long>(scaled);
}

void order(long long& a, long long& b) {
    if (a > b) {
        const long long t = a;
        a = b;
        b = t;
    }
}

}  // namespace

int fast_distance2d(int dx, int dy) {
    const long long a = std::llabs(static_cast<long long>(dx));
    const long long b = std::llabs(static_cast<long long>(dy));
    const long long m = a < b ? a : b;
    const long long d = a + b - (m >> 1) - (m >> 2) + (m >> 4);
    return d > 2147483647LL ? 2147483647 : static_cast<int>(d);
}

float fast_distance3d(float dx, float dy, float dz) {
    long long u = scaled_magnitude(dx);
    long long v = scaled_magnitude(dy);
    long long w = scaled_magnitude(dz);
    order(u, v);
    order(v, w);
    order(u, v);
    return static_cast<float>((w + 11 * (v >> 5) + (u >> 2)) >> 10);
}

int mat32_init(Mat32* m, float m00, float m01, float m10, float m11, float m20, float m21) {
    m->m[0][0] = m00;
    m->m[0][1] = m01;
    m->m[1][0] = m10;
    m->m[1][1] = m11;
    m->m[2][0] = m20;
    m->m[2][1] = m21;
    return 1;
}

int point_mul_mat32(const Vertex2DF* p, const Mat32* m, Vertex2DF* out) {
    const float x = p->x * m->m[0][0] + p->y * m->m[1][0] + m->m[2][0];
    const float y = p->x * m->m[0][1] + p->y * m->m[1][1] + m->m[2][1];
    out->x = x;
    out->y = y;
    return 1;
}

int mat3_mul(const Mat33* a, const Mat33* b, Mat33* product) {
    Mat33 result;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k)
                sum += a->m[row][k] * b->m[k][col];
            result.m[row][col] = sum;
        }
    }
    *product = result;
    return 1;
}

int vec3_mul_mat3(const Vec3* v, const Mat33* m, Vec3* out) {
    Vec3 result;
    for (int col = 0; col < 3; ++col) {
        float sum = 0.0f;
        for (int k = 0; k < 3; ++k)
            sum += v->v[k] * m->m[k][col];
        result.v[col] = sum;
    }
    *out = result;
    return 1;
}
