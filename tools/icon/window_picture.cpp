#include "window_picture.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace velmora::icon {
namespace {

// ---- Geometry, in units of a 32x32 design grid (y grows downwards). ----

struct Point {
  double x = 0;
  double y = 0;
};

// Corners in the order top-left, top-right, bottom-right, bottom-left.
using Quad = std::array<Point, 4>;

constexpr double kGrid = 32.0;

// The window's outline. The left edge (x = 3) is 22 units tall, the far
// right edge (x = 27) only 15, which makes the top and bottom edges slope
// towards each other: the window turns away from the viewer.
constexpr Quad kWindow{{{3.0, 4.0}, {27.0, 8.0}, {27.0, 23.0}, {3.0, 26.0}}};

// The shadow is the window's shape moved down and to the right.
constexpr Point kShadowOffset{2.0, 2.0};

Point lerp(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// A point given in the window's own coordinates: u across from the left edge
// (0) to the right edge (1), v down from the top edge (0) to the bottom (1).
// The left and right edges are vertical, so lines of constant u or v stay
// straight and any u/v rectangle is a convex quad on screen.
Point on_window(double u, double v) {
  return lerp(lerp(kWindow[0], kWindow[1], u), lerp(kWindow[3], kWindow[2], u), v);
}

Quad window_area(double u0, double v0, double u1, double v1) {
  return {on_window(u0, v0), on_window(u1, v0), on_window(u1, v1), on_window(u0, v1)};
}

// Everything drawn at one size. Small sizes get a deeper title bar, so it
// still shows some cyan between its outlines, and no title bar boxes.
struct Scene {
  Quad window = kWindow;
  Quad title;
  Quad shadow;
  std::vector<Quad> boxes;  // white boxes on the title bar

  explicit Scene(int size) {
    // The title bar takes the same fraction of each vertical edge. Under a
    // turn about the vertical axis each vertical line shrinks uniformly, so
    // the bar stays correct in perspective: deep on the near side, thin on
    // the far side.
    const double title_depth = size < 32 ? 0.36 : 0.27;
    title = window_area(0, 0, 1, title_depth);
    shadow = kWindow;
    for (Point& p : shadow) p = {p.x + kShadowOffset.x, p.y + kShadowOffset.y};
    if (size >= 32) {
      boxes.push_back(window_area(0, 0, 0.15, title_depth));  // control-menu box, near end
      boxes.push_back(window_area(0.85, 0, 1, title_depth));  // a button, far end
    }
  }
};

// Signed distance from p to the line a->b; positive on the side where the
// corners of a Quad (listed clockwise on screen) have their inside.
double side(Point a, Point b, Point p) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  return (dx * (p.y - a.y) - dy * (p.x - a.x)) / std::hypot(dx, dy);
}

// Distance from p inwards to the nearest edge of a convex quad; negative
// outside. (Outside it is only a lower bound, which is all that is needed.)
double inside_distance(const Quad& q, Point p) {
  double d = side(q[0], q[1], p);
  for (std::size_t i = 1; i < 4; ++i) d = std::min(d, side(q[i], q[(i + 1) % 4], p));
  return d;
}

bool inside(const Quad& q, Point p) { return inside_distance(q, p) >= 0.0; }

// ---- What each part of the picture is. ----

enum class Part : std::uint8_t { kClear, kOutline, kTitle, kBody, kShadow };

// Pixel art: a part for each pixel, sampled at pixel centres, with outlines
// exactly one pixel wide. A window pixel is outline when one of its four
// neighbours is outside the window, when it is the last title bar pixel
// above the body, or when it is on the rim of a title bar box.
class PartMap {
 public:
  explicit PartMap(int size) : size_(size), parts_(static_cast<std::size_t>(size) * static_cast<std::size_t>(size)) {
    const Scene scene(size);
    const auto in_quad = [&](const Quad& q, int x, int y) {
      if (x < 0 || y < 0 || x >= size_ || y >= size_) return false;
      return inside(q, design_point(x, y));
    };
    // Which area of the window a pixel is in: -1 outside, 0 body, 1 title
    // bar, 2 and up the title bar boxes.
    const auto area = [&](int x, int y) {
      if (!in_quad(scene.window, x, y)) return -1;
      for (std::size_t b = 0; b < scene.boxes.size(); ++b)
        if (in_quad(scene.boxes[b], x, y)) return 2 + static_cast<int>(b);
      return in_quad(scene.title, x, y) ? 1 : 0;
    };
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        const int here = area(x, y);
        const int neighbours[4] = {area(x - 1, y), area(x + 1, y), area(x, y - 1), area(x, y + 1)};
        Part part = Part::kClear;
        if (here < 0) {
          if (in_quad(scene.shadow, x, y)) part = Part::kShadow;
        } else if (std::ranges::find(neighbours, -1) != std::end(neighbours)) {
          part = Part::kOutline;
        } else if (here >= 2) {
          const bool rim = std::ranges::any_of(neighbours, [&](int n) { return n != here; });
          part = rim ? Part::kOutline : Part::kBody;
        } else if (here == 1) {
          part = neighbours[3] == 0 ? Part::kOutline : Part::kTitle;
        } else {
          part = Part::kBody;
        }
        parts_[index(x, y)] = part;
      }
    }
  }

  [[nodiscard]] Part at(int x, int y) const { return parts_[index(x, y)]; }

 private:
  [[nodiscard]] Point design_point(int x, int y) const {
    const double scale = kGrid / size_;
    return {(x + 0.5) * scale, (y + 0.5) * scale};
  }
  [[nodiscard]] std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(size_) + static_cast<std::size_t>(x);
  }

  int size_;
  std::vector<Part> parts_;
};

// Smooth drawing: the part under any point. Outlines are `line` design
// units wide and lie just inside the edges they draw.
Part part_at(const Scene& scene, Point p, double line) {
  const double d = inside_distance(scene.window, p);
  if (d >= 0.0) {
    if (d < line) return Part::kOutline;
    for (const Quad& box : scene.boxes) {
      const double in_box = inside_distance(box, p);
      if (in_box >= 0.0) return in_box < line ? Part::kOutline : Part::kBody;
    }
    // Distance below the title bar's lower edge (negative inside the bar).
    const double below = side(scene.title[3], scene.title[2], p);
    if (below < 0 && below >= -line) return Part::kOutline;
    return below < 0 ? Part::kTitle : Part::kBody;
  }
  if (inside(scene.shadow, p)) return Part::kShadow;
  return Part::kClear;
}

constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kGrey = 8;
constexpr std::uint8_t kCyan = 14;
constexpr std::uint8_t kWhite = 15;

Rgba rgba_of(Part part) {
  switch (part) {
    case Part::kOutline: return {0, 0, 0, 255};
    case Part::kTitle: return {0, 255, 255, 255};
    case Part::kBody: return {255, 255, 255, 255};
    case Part::kShadow: return {128, 128, 128, 255};
    case Part::kClear: break;
  }
  return {0, 0, 0, 0};
}

void check_size(int size) {
  if (size < 8 || size > 256)
    throw IcoError("icon size " + std::to_string(size) + " is outside 8..256");
}

}  // namespace

const std::vector<Rgb>& sixteen_colour_palette() {
  static const std::vector<Rgb> palette{
      {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
      {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
      {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
  };
  return palette;
}

IconImage draw_palette_image(int size, Palette palette) {
  check_size(size);
  const PartMap parts(size);
  IconImage im;
  im.width = size;
  im.height = size;
  const auto count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
  im.pixels.assign(count, 0);
  im.transparent.assign(count, 0);

  if (palette == Palette::kSixteen) {
    im.bits_per_pixel = 4;
    im.palette = sixteen_colour_palette();
  } else {
    im.bits_per_pixel = 1;
    im.palette = {{0, 0, 0}, {255, 255, 255}};
  }

  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x);
      const Part part = parts.at(x, y);
      // Transparent pixels keep colour 0 (black) so that the XOR step of
      // the classic icon drawing leaves the screen unchanged under them.
      std::uint8_t colour = kBlack;
      bool clear = false;
      if (palette == Palette::kSixteen) {
        switch (part) {
          case Part::kClear: clear = true; break;
          case Part::kOutline: colour = kBlack; break;
          case Part::kTitle: colour = kCyan; break;
          case Part::kBody: colour = kWhite; break;
          case Part::kShadow: colour = kGrey; break;
        }
      } else {
        // Black and white only. A light cyan bar would vanish into the white
        // body, and dithering it speckles a band only four or five pixels
        // high, so the title bar is solid black: that still reads as a
        // title bar and keeps the window's shape crisp. The grey shadow
        // becomes a checkerboard of black and transparent pixels, which
        // looks like a half-tone shadow over any background.
        switch (part) {
          case Part::kClear: clear = true; break;
          case Part::kOutline:
          case Part::kTitle: colour = 0; break;
          case Part::kBody: colour = 1; break;
          case Part::kShadow: clear = (x + y) % 2 != 0; break;
        }
      }
      im.pixels[i] = clear ? kBlack : colour;
      im.transparent[i] = clear ? 1 : 0;
    }
  }
  return im;
}

RgbaImage to_rgba(const IconImage& image) {
  validate(image);
  RgbaImage out{image.width, image.height, {}};
  out.pixels.reserve(image.pixels.size());
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.transparent_at(x, y)) {
        out.pixels.push_back({0, 0, 0, 0});
      } else {
        const Rgb c = image.colour_at(x, y);
        out.pixels.push_back({c.r, c.g, c.b, 255});
      }
    }
  }
  return out;
}

RgbaImage draw_rgba_image(int size) {
  check_size(size);
  if (size <= 32) return to_rgba(draw_palette_image(size, Palette::kSixteen));

  // 8x8 samples per pixel, averaged with premultiplied alpha.
  constexpr int kSamples = 8;
  const double scale = kGrid / size;
  // One output pixel of outline per 32 pixels of icon, so the lines grow
  // with the drawing instead of turning into hairlines.
  const double line = std::max(1.0, size / kGrid) * scale;
  const Scene scene(size);

  RgbaImage out{size, size, {}};
  out.pixels.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Point p{(x + (sx + 0.5) / kSamples) * scale, (y + (sy + 0.5) / kSamples) * scale};
          const Rgba c = rgba_of(part_at(scene, p, line));
          const double alpha = c.a / 255.0;
          r += c.r * alpha;
          g += c.g * alpha;
          b += c.b * alpha;
          a += alpha;
        }
      }
      Rgba px;
      if (a > 0) {
        const auto channel = [&](double sum) { return static_cast<std::uint8_t>(std::lround(sum / a)); };
        px = {channel(r), channel(g), channel(b),
              static_cast<std::uint8_t>(std::lround(255.0 * a / (kSamples * kSamples)))};
      }
      out.pixels.push_back(px);
    }
  }
  return out;
}

std::vector<IconImage> velmora_icon_images() {
  return {draw_palette_image(32, Palette::kMono), draw_palette_image(32, Palette::kSixteen),
          draw_palette_image(16, Palette::kSixteen)};
}

}  // namespace velmora::icon
