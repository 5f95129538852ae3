// Polygon transforms: translation of the position, rotation by the trig tables and scaling
// of the vertices, directly or through 3 x 2 matrices.
#include "engine/primitives.h"

namespace {

// A table index for whole degrees: negatives count down from 360 and anything still outside
// 0..360 is taken modulo 360, so no angle reads past the tables.
int table_index(int degrees) {
    // cos 0 is 1 once the tables exist; until then they are all zero.
    if (cos_table[0] == 0.0f)
        trig_tables_build();
    if (degrees < 0)
        degrees += 360;
    if (degrees < 0 || degrees > 360)
        degrees = ((degrees % 360) + 360) % 360;
    return degrees;
}

int to_position(float v) {
    constexpr float limit = 2147483520.0f;  // the largest float below 2^31
    if (!(v > -limit))
        return -2147483647 - 1;
    if (!(v < limit))
        return 2147483647;
    return static_cast<int>(v);
}

int apply_to_vertices(Polygon2D* polygon, const Mat32* m) {
    for (int i = 0; i < polygon->vertex_count; ++i) {
        point_mul_mat32(&polygon->vertices[i], m, &polygon->vertices[i]);
    }
    return 1;
}

}  // namespace

int polygon_translate(Polygon2D* polygon, int dx, int dy) {
    polygon->x0 += dx;
    polygon->y0 += dy;
    return 1;
}

int polygon_rotate(Polygon2D* polygon, int degrees) {
    const int a = table_index(degrees);
    const float c = cos_table[a];
    const float s = sin_table[a];
    for (int i = 0; i < polygon->vertex_count; ++i) {
        Vertex2DF& v = polygon->vertices[i];
        const float x = v.x * c - v.y * s;
        const float y = v.x * s + v.y * c;
        v.x = x;
        v.y = y;
    }
    return 1;
}

int polygon_scale(Polygon2D* polygon, float sx, float sy) {
    for (int i = 0; i < polygon->vertex_count; ++i) {
        polygon->vertices[i].x *= sx;
        polygon->vertices[i].y *= sy;
    }
    return 1;
}

int polygon_translate_m(Polygon2D* polygon, int dx, int dy) {
    Mat32 m;
    mat32_init(&m, 1, 0, 0, 1, static_cast<float>(dx), static_cast<float>(dy));
    Vertex2DF position{static_cast<float>(polygon->x0), static_cast<float>(polygon->y0)};
    point_mul_mat32(&position, &m, &position);
    polygon->x0 = to_position(position.x);
    polygon->y0 = to_position(position.y);
    return 1;
}

int polygon_rotate_m(Polygon2D* polygon, int degrees) {
    const int a = table_index(degrees);
    Mat32 m;
    mat32_init(&m, cos_table[a], sin_table[a], -sin_table[a], cos_table[a], 0, 0);
    return apply_to_vertices(polygon, &m);
}

int polygon_scale_m(Polygon2D* polygon, float sx, float sy) {
    Mat32 m;
    mat32_init(&m, sx, 0, 0, sy, 0, 0);
    return apply_to_vertices(polygon, &m);
}
