// tools/artgen/canvas.h -- the true-colour drawing surface of the artwork
// generator and its primitives: shaders painted with supersampling, shapes
// by signed distance, gradients, and the deterministic noise the scenes use.
//
// Every screen is drawn here first and quantised into the palette at the end
// (palette.h). Colours are floats 0..255 per channel; pixel (x, y) covers the
// square from (x, y) to (x + 1, y + 1). Nothing here reads the clock or a
// random device: the same calls give the same pixels.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/artgen/layout.h"

struct rgb {
    float r = 0, g = 0, b = 0;
};
rgb operator+(rgb a, rgb b);
rgb operator*(rgb a, float k);
rgb mix(rgb a, rgb b, float t);  // a at 0, b at 1
rgb hex(uint32_t rrggbb);

struct canvas {
    int width, height;
    std::vector<rgb> pixels;
    canvas(int w, int h, rgb fill = {});
    rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Lays colour over pixel (x, y) with the given opacity; outside is ignored.
    void blend(int x, int y, rgb colour, float alpha);
};

// A picture of palette indices, row-major.
struct indexed {
    int width, height;
    std::vector<uint8_t> pixels;
    uint8_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A colour with an opacity, what overlay shaders return.
struct rgba {
    rgb colour;
    float alpha = 1;
};

using shader = std::function<rgb(float x, float y)>;
using overlay_shader = std::function<rgba(float x, float y)>;

// Sets every pixel of the area to the shader's mean over four sample points.
void paint(canvas& c, area where, const shader& s);
// Lays the shader's colours over the area, blended by their opacity, with
// the same four samples per pixel.
void paint_over(canvas& c, area where, const overlay_shader& s);
// Fills the shape whose signed distance (negative inside, in pixels) the
// function gives, anti-aliased over one pixel, within the bounding area.
void fill_shape(canvas& c, area bounds, const std::function<float(float x, float y)>& distance,
                rgb colour, float alpha = 1);

// Signed distances.
float sd_circle(float x, float y, float cx, float cy, float r);
float sd_box(float x, float y, area a, float radius);  // rounded rectangle
float sd_segment(float x, float y, float x0, float y0, float x1, float y1, float half_width);
// A triangle by its corners in either turning order; exact inside, close
// enough outside for the one-pixel edge.
float sd_triangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy);

// A gradient through colour stops at positions 0..1, evenly spaced.
rgb gradient(const std::vector<rgb>& stops, float t);

// The ordered-dither threshold matrix, 0..63, for pixel (x, y).
int bayer8(int x, int y);

// Deterministic noise: a hash of integer coordinates to 0..1, smooth value
// noise, and a few octaves of it.
float hash01(int x, int y, uint32_t seed);
float value_noise(float x, float y, uint32_t seed);
float fractal_noise(float x, float y, uint32_t seed, int octaves);

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);
