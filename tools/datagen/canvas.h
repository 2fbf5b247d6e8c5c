// A small RGBA drawing surface for the generator: shapes by signed distance, paints, masks.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace datagen {

// Straight (not premultiplied) colour, channels 0..1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba rgb(int r, int g, int b, float a = 1.0f);
Rgba mix(const Rgba& from, const Rgba& to, float t);
Rgba shade(const Rgba& colour, float factor);  // factor < 1 darkens, > 1 lightens towards white
Rgba withAlpha(const Rgba& colour, float a);

// Signed distance in pixels from a point to a shape's edge (negative inside), with the box
// outside which the shape surely is not, so that small shapes on big canvases stay cheap.
struct Shape {
    std::function<float(float x, float y)> distance;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
// Colour of a shape at a point.
using Paint = std::function<Rgba(float x, float y)>;

Shape circle(float cx, float cy, float radius);
Shape ellipse(float cx, float cy, float rx, float ry);
Shape roundedRect(float x0, float y0, float x1, float y1, float radius);
Shape polygon(std::vector<float> xy);  // x0, y0, x1, y1, ...
Shape star(float cx, float cy, float outer, float inner, int points, float turn = 0);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
Shape grow(Shape shape, float by);  // by > 0 enlarges
Shape offset(Shape shape, float dx, float dy);

Paint solid(const Rgba& colour);
Paint verticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom);
Paint radialGradient(float cx, float cy, float radius, const Rgba& inner, const Rgba& outer);

// Coverage values 0..1, e.g. rasterised text; drawn through a paint.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> value;
    Mask() = default;
    Mask(int w, int h) : width(w), height(h), value(size_t(w) * h, 0.0f) {}
    float at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : value[size_t(y) * width + x];
    }
};
Mask dilate(const Mask& mask, float radius);
Mask blur(const Mask& mask, int radius);

class Canvas {
public:
    Canvas(int width, int height, Rgba fill = Rgba{0, 0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba pixel(int x, int y) const;

    // Source-over blend of a colour at one pixel, weighted by coverage.
    void blend(int x, int y, const Rgba& colour, float coverage = 1.0f);
    void fill(const Shape& shape, const Paint& paint);
    void fill(const Shape& shape, const Rgba& colour) { fill(shape, solid(colour)); }
    // A shape with a dark rim of the given width around its painted inside.
    void fillOutlined(const Shape& shape, const Paint& paint, const Rgba& rim, float rimWidth);
    void fillRect(int x0, int y0, int x1, int y1, const Paint& paint);  // x1, y1 exclusive
    void drawMask(const Mask& mask, int left, int top, const Paint& paint, float opacity = 1.0f);
    void draw(const Canvas& source, int left, int top, float opacity = 1.0f);

    // Sprite pixels: alpha below one half becomes magenta, the rest opaque, so edges stay hard
    // against the mask colour. Opaque pixels never equal magenta.
    std::vector<uint8_t> toRgb() const;

private:
    int width_, height_;
    std::vector<float> pixels_;  // premultiplied r, g, b, a
};

}  // namespace datagen
