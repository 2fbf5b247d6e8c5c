// The generator's drawing surface: signed-distance shapes, paints, masks and sprite output.
#include "tools/datagen/canvas.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

Shape boxed(std::function<float(float, float)> distance, float x0, float y0, float x1, float y1) {
    Shape shape;
    shape.distance = std::move(distance);
    shape.x0 = x0;
    shape.y0 = y0;
    shape.x1 = x1;
    shape.y1 = y1;
    return shape;
}

}  // namespace

Rgba rgb(int r, int g, int b, float a) {
    return Rgba{r / 255.0f, g / 255.0f, b / 255.0f, a};
}

Rgba mix(const Rgba& from, const Rgba& to, float t) {
    t = clamp01(t);
    return Rgba{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
                from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Rgba shade(const Rgba& colour, float factor) {
    if (factor <= 1) return Rgba{colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
    return mix(colour, Rgba{1, 1, 1, colour.a}, factor - 1);
}

Rgba withAlpha(const Rgba& colour, float a) {
    return Rgba{colour.r, colour.g, colour.b, a};
}

Shape circle(float cx, float cy, float radius) {
    return boxed([=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, cx - radius,
                 cy - radius, cx + radius, cy + radius);
}

Shape ellipse(float cx, float cy, float rx, float ry) {
    // Scaled circle distance: exact enough for the soft shapes it draws.
    float scale = std::min(rx, ry);
    return boxed(
        [=](float x, float y) {
            float dx = (x - cx) / rx, dy = (y - cy) / ry;
            return (std::sqrt(dx * dx + dy * dy) - 1) * scale;
        },
        cx - rx, cy - ry, cx + rx, cy + ry);
}

Shape roundedRect(float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return boxed(
        [=](float x, float y) {
            float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
            float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
            return outside + std::min(std::max(qx, qy), 0.0f) - radius;
        },
        x0, y0, x1, y1);
}

Shape polygon(std::vector<float> xy) {
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    size_t n = xy.size() / 2;
    return boxed(
        [xy = std::move(xy), n](float px, float py) {
            float best = 1e9f;
            bool inside = false;
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                float ax = xy[2 * i], ay = xy[2 * i + 1], bx = xy[2 * j], by = xy[2 * j + 1];
                float ex = bx - ax, ey = by - ay, wx = px - ax, wy = py - ay;
                float t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
                best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
                if ((ay > py) != (by > py) && px < (bx - ax) * (py - ay) / (by - ay) + ax)
                    inside = !inside;
            }
            return inside ? -best : best;
        },
        x0, y0, x1, y1);
}

Shape star(float cx, float cy, float outer, float inner, int points, float turn) {
    std::vector<float> xy;
    for (int i = 0; i < points * 2; ++i) {
        float angle = turn + float(M_PI) * i / points - float(M_PI) / 2;
        float r = i % 2 ? inner : outer;
        xy.push_back(cx + r * std::cos(angle));
        xy.push_back(cy + r * std::sin(angle));
    }
    return polygon(std::move(xy));
}

Shape unite(Shape a, Shape b) {
    float x0 = std::min(a.x0, b.x0), y0 = std::min(a.y0, b.y0);
    float x1 = std::max(a.x1, b.x1), y1 = std::max(a.y1, b.y1);
    return boxed(
        [a = a.distance, b = b.distance](float x, float y) { return std::min(a(x, y), b(x, y)); },
        x0, y0, x1, y1);
}

Shape subtract(Shape a, Shape b) {
    float x0 = a.x0, y0 = a.y0, x1 = a.x1, y1 = a.y1;
    return boxed(
        [a = a.distance, b = b.distance](float x, float y) { return std::max(a(x, y), -b(x, y)); },
        x0, y0, x1, y1);
}

Shape intersect(Shape a, Shape b) {
    float x0 = std::max(a.x0, b.x0), y0 = std::max(a.y0, b.y0);
    float x1 = std::min(a.x1, b.x1), y1 = std::min(a.y1, b.y1);
    return boxed(
        [a = a.distance, b = b.distance](float x, float y) { return std::max(a(x, y), b(x, y)); },
        x0, y0, x1, y1);
}

Shape grow(Shape shape, float by) {
    float x0 = shape.x0 - by, y0 = shape.y0 - by, x1 = shape.x1 + by, y1 = shape.y1 + by;
    return boxed([d = shape.distance, by](float x, float y) { return d(x, y) - by; }, x0, y0, x1,
                 y1);
}

Shape offset(Shape shape, float dx, float dy) {
    float x0 = shape.x0 + dx, y0 = shape.y0 + dy, x1 = shape.x1 + dx, y1 = shape.y1 + dy;
    return boxed([d = shape.distance, dx, dy](float x, float y) { return d(x - dx, y - dy); }, x0,
                 y0, x1, y1);
}

Paint solid(const Rgba& colour) {
    return [colour](float, float) { return colour; };
}

Paint verticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom) {
    return [=](float, float y) { return mix(top, bottom, (y - y0) / (y1 - y0)); };
}

Paint radialGradient(float cx, float cy, float radius, const Rgba& inner, const Rgba& outer) {
    return [=](float x, float y) { return mix(inner, outer, std::hypot(x - cx, y - cy) / radius); };
}

Mask dilate(const Mask& mask, float radius) {
    Mask out(mask.width, mask.height);
    int reach = int(std::ceil(radius)) + 1;
    std::vector<float> weight;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            weight.push_back(clamp01(radius + 0.5f - std::hypot(float(dx), float(dy))));
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float best = 0;
            size_t k = 0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx, ++k)
                    if (weight[k] > 0) best = std::max(best, mask.at(x + dx, y + dy) * weight[k]);
            out.value[size_t(y) * mask.width + x] = best;
        }
    }
    return out;
}

Mask blur(const Mask& mask, int radius) {
    Mask across(mask.width, mask.height), out(mask.width, mask.height);
    float span = 2.0f * radius + 1;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float sum = 0;
            for (int d = -radius; d <= radius; ++d) sum += mask.at(x + d, y);
            across.value[size_t(y) * mask.width + x] = sum / span;
        }
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float sum = 0;
            for (int d = -radius; d <= radius; ++d) sum += across.at(x, y + d);
            out.value[size_t(y) * mask.width + x] = sum / span;
        }
    return out;
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(size_t(width) * height * 4) {
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i] = fill.r * fill.a;
        pixels_[i + 1] = fill.g * fill.a;
        pixels_[i + 2] = fill.b * fill.a;
        pixels_[i + 3] = fill.a;
    }
}

Rgba Canvas::pixel(int x, int y) const {
    const float* p = &pixels_[(size_t(y) * width_ + x) * 4];
    if (p[3] <= 0) return Rgba{0, 0, 0, 0};
    return Rgba{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void Canvas::blend(int x, int y, const Rgba& colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float a = clamp01(colour.a * coverage);
    if (a <= 0) return;
    float* p = &pixels_[(size_t(y) * width_ + x) * 4];
    float keep = 1 - a;
    p[0] = colour.r * a + p[0] * keep;
    p[1] = colour.g * a + p[1] * keep;
    p[2] = colour.b * a + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void Canvas::fill(const Shape& shape, const Paint& paint) {
    int x0 = std::max(0, int(std::floor(shape.x0)) - 2);
    int y0 = std::max(0, int(std::floor(shape.y0)) - 2);
    int x1 = std::min(width_, int(std::ceil(shape.x1)) + 2);
    int y1 = std::min(height_, int(std::ceil(shape.y1)) + 2);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float coverage = clamp01(0.5f - shape.distance(px, py));
            if (coverage > 0) blend(x, y, paint(px, py), coverage);
        }
    }
}

void Canvas::fillOutlined(const Shape& shape, const Paint& paint, const Rgba& rim, float rimWidth) {
    fill(shape, rim);
    fill(grow(shape, -rimWidth), paint);
}

void Canvas::fillRect(int x0, int y0, int x1, int y1, const Paint& paint) {
    for (int y = std::max(0, y0); y < std::min(height_, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(width_, x1); ++x)
            blend(x, y, paint(x + 0.5f, y + 0.5f));
}

void Canvas::drawMask(const Mask& mask, int left, int top, const Paint& paint, float opacity) {
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float coverage = mask.value[size_t(y) * mask.width + x] * opacity;
            if (coverage > 0)
                blend(left + x, top + y, paint(left + x + 0.5f, top + y + 0.5f), coverage);
        }
}

void Canvas::draw(const Canvas& source, int left, int top, float opacity) {
    for (int y = 0; y < source.height_; ++y)
        for (int x = 0; x < source.width_; ++x) {
            const float* p = &source.pixels_[(size_t(y) * source.width_ + x) * 4];
            if (p[3] <= 0) continue;
            blend(left + x, top + y, Rgba{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]}, opacity);
        }
}

std::vector<uint8_t> Canvas::toRgb() const {
    std::vector<uint8_t> out;
    out.reserve(size_t(width_) * height_ * 3);
    auto channel = [](float v) { return uint8_t(std::lround(clamp01(v) * 255)); };
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        float a = pixels_[i + 3];
        if (a < 0.5f) {
            out.insert(out.end(), {255, 0, 255});
            continue;
        }
        uint8_t r = channel(pixels_[i] / a), g = channel(pixels_[i + 1] / a),
                b = channel(pixels_[i + 2] / a);
        if (r == 255 && g == 0 && b == 255) r = 254;
        out.insert(out.end(), {r, g, b});
    }
    return out;
}

}  // namespace datagen
