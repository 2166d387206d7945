// Draws the pictures of the window's graphical buttons into the icon files
// that the Windows resource holds: a green check mark, a red cross and a
// question mark with an arrow, each at its design size for 96 dots per inch
// and larger for 144 and 192, anti-aliased on a transparent background.
//   draw_button_pictures DIR          writes DIR/check_mark.ico, cross.ico, question_mark.ico
//   draw_button_pictures --check DIR  fails when the files in DIR differ from the drawing
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Point {
  double x, y;
};

struct Colour {
  double r, g, b;
};

// One shape of a drawing, in pixels of the 96-dpi size.
struct Shape {
  enum Kind { kStroke, kDisc, kTriangle } kind;
  std::vector<Point> points;  // stroke: the polyline; disc: the centre; triangle: three corners
  double size;                // stroke width or disc radius
  Colour colour;
};

struct Drawing {
  const char* file;
  int width, height;
  std::vector<Shape> shapes;  // painted in this order
};

double DistanceToSegment(Point p, Point a, Point b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double length2 = dx * dx + dy * dy;
  double t =
      length2 == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

double Side(Point p, Point a, Point b) {
  return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

bool Covers(const Shape& shape, Point p) {
  switch (shape.kind) {
    case Shape::kStroke:
      for (size_t i = 1; i < shape.points.size(); ++i) {
        if (DistanceToSegment(p, shape.points[i - 1], shape.points[i]) <= shape.size / 2)
          return true;
      }
      return false;
    case Shape::kDisc:
      return std::hypot(p.x - shape.points[0].x, p.y - shape.points[0].y) <= shape.size;
    case Shape::kTriangle: {
      double s1 = Side(p, shape.points[0], shape.points[1]);
      double s2 = Side(p, shape.points[1], shape.points[2]);
      double s3 = Side(p, shape.points[2], shape.points[0]);
      return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
    }
  }
  return false;
}

// The hook of the question mark: three quarters of a circle, clockwise from
// its left point over the top to its bottom point, then straight down.
std::vector<Point> QuestionHook() {
  std::vector<Point> hook;
  const double kPi = 3.14159265358979323846;
  for (int step = 0; step <= 24; ++step) {
    double angle = kPi - step * (1.5 * kPi / 24);
    hook.push_back({28 + 7 * std::cos(angle), 10 - 7 * std::sin(angle)});
  }
  hook.push_back({28, 23});
  return hook;
}

std::vector<Drawing> Drawings() {
  const Colour kDarkGreen{0, 96, 0}, kGreen{0, 192, 0}, kRed{208, 0, 0}, kBlack{0, 0, 0};
  std::vector<Point> check = {{6, 19}, {17, 30}, {38, 6}};
  return {
      // A dark rim keeps the check mark legible on the green of the help mode.
      {"check_mark.ico",
       44,
       36,
       {{Shape::kStroke, check, 8, kDarkGreen}, {Shape::kStroke, check, 5, kGreen}}},
      {"cross.ico",
       37,
       39,
       {{Shape::kStroke, {{6, 6}, {31, 33}}, 7, kRed},
        {Shape::kStroke, {{31, 6}, {6, 33}}, 7, kRed}}},
      // The arrow points from the question mark down to what it explains.
      {"question_mark.ico",
       41,
       45,
       {{Shape::kStroke, QuestionHook(), 4, kBlack},
        {Shape::kDisc, {{28, 29.5}}, 2.5, kBlack},
        {Shape::kStroke, {{20, 30}, {8, 40}}, 2.5, kBlack},
        {Shape::kTriangle, {{3, 43}, {6, 33}, {13, 41}}, 0, kBlack}}},
  };
}

// Straight (not premultiplied) BGRA rows from the top, 4 x 4 samples a pixel.
std::vector<std::uint8_t> Render(const Drawing& drawing, double scale, int width, int height) {
  std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
  constexpr int kGrid = 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double r = 0, g = 0, b = 0, a = 0;  // premultiplied
      for (const Shape& shape : drawing.shapes) {
        int hits = 0;
        for (int sy = 0; sy < kGrid; ++sy) {
          for (int sx = 0; sx < kGrid; ++sx) {
            Point p{(x + (sx + 0.5) / kGrid) / scale, (y + (sy + 0.5) / kGrid) / scale};
            hits += Covers(shape, p) ? 1 : 0;
          }
        }
        double cover = hits / double(kGrid * kGrid);
        r = shape.colour.r * cover + r * (1 - cover);
        g = shape.colour.g * cover + g * (1 - cover);
        b = shape.colour.b * cover + b * (1 - cover);
        a = cover + a * (1 - cover);
      }
      std::uint8_t* out = &pixels[(static_cast<size_t>(y) * width + x) * 4];
      if (a > 0) {
        out[0] = static_cast<std::uint8_t>(std::lround(b / a));
        out[1] = static_cast<std::uint8_t>(std::lround(g / a));
        out[2] = static_cast<std::uint8_t>(std::lround(r / a));
      }
      out[3] = static_cast<std::uint8_t>(std::lround(a * 255));
    }
  }
  return pixels;
}

// Little-endian, `bytes` of 1 to 4.
void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// One icon entry: a 32-bit bitmap, bottom row first, and its mask.
std::string IconImage(const std::vector<std::uint8_t>& pixels, int width, int height) {
  std::string image;
  Put(image, 40, 4);
  Put(image, width, 4);
  Put(image, height * 2, 4);  // colour and mask rows together
  Put(image, 1, 2);
  Put(image, 32, 2);
  image.append(24, '\0');  // no compression, sizes or palette
  for (int y = height - 1; y >= 0; --y) {
    image.append(reinterpret_cast<const char*>(&pixels[static_cast<size_t>(y) * width * 4]),
                 width * 4);
  }
  int mask_row = (width + 31) / 32 * 4;
  for (int y = height - 1; y >= 0; --y) {
    std::string row(mask_row, '\0');
    for (int x = 0; x < width; ++x) {
      if (pixels[(static_cast<size_t>(y) * width + x) * 4 + 3] == 0)
        row[x / 8] |= char(0x80 >> (x % 8));
    }
    image += row;
  }
  return image;
}

std::string IconFile(const Drawing& drawing) {
  const double kScales[] = {1.0, 1.5, 2.0};  // 96, 144 and 192 dpi
  std::string directory, images;
  Put(directory, 0, 2);
  Put(directory, 1, 2);
  Put(directory, std::size(kScales), 2);
  size_t offset = 6 + 16 * std::size(kScales);
  for (double scale : kScales) {
    int width = static_cast<int>(std::lround(drawing.width * scale));
    int height = static_cast<int>(std::lround(drawing.height * scale));
    std::string image = IconImage(Render(drawing, scale, width, height), width, height);
    Put(directory, width, 1);
    Put(directory, height, 1);
    Put(directory, 0, 2);
    Put(directory, 1, 2);
    Put(directory, 32, 2);
    Put(directory, image.size(), 4);
    Put(directory, offset + images.size(), 4);
    images += image;
  }
  return directory + images;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
  bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: %s [--check] DIR\n", argv[0]);
    return 2;
  }
  std::string folder = argv[argc - 1];
  int status = 0;
  for (const Drawing& drawing : Drawings()) {
    std::string path = folder + "/" + drawing.file;
    std::string icon = IconFile(drawing);
    if (check) {
      if (ReadFile(path) == icon) continue;
      std::fprintf(stderr, "%s differs from its drawing: run %s %s\n", path.c_str(), argv[0],
                   folder.c_str());
      status = 1;
    } else if (!(std::ofstream(path, std::ios::binary) << icon)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      status = 1;
    }
  }
  return status;
}
