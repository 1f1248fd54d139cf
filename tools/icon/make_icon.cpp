// Writes the program's icon files into a resources directory:
//   velmora.ico                the Windows icon (three palette images)
//   icons/velmora-<N>.png      full-colour icons for other desktops
// Usage: make_icon <resources-dir>
// The output depends only on this program's code, so regenerating it leaves
// committed files unchanged unless the drawing changed.
#include <QImage>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "ico_file.h"
#include "window_picture.h"

namespace fs = std::filesystem;
using namespace velmora::icon;

namespace {

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw IcoError("cannot write " + path.string());
}

void write_png(const fs::path& path, const RgbaImage& image) {
  QImage png(image.width, image.height, QImage::Format_RGBA8888);
  for (int y = 0; y < image.height; ++y) {
    auto* line = png.scanLine(y);
    for (int x = 0; x < image.width; ++x) {
      const Rgba& p = image.at(x, y);
      line[4 * x] = p.r;
      line[4 * x + 1] = p.g;
      line[4 * x + 2] = p.b;
      line[4 * x + 3] = p.a;
    }
  }
  if (!png.save(QString::fromStdString(path.string()), "PNG"))
    throw IcoError("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources-dir>\n", argc > 0 ? argv[0] : "make_icon");
    return 2;
  }
  try {
    const fs::path dir = argv[1];
    if (!fs::is_directory(dir)) throw IcoError(dir.string() + " is not a directory");

    write_file(dir / "velmora.ico", encode_ico(velmora_icon_images()));

    fs::create_directories(dir / "icons");
    for (int size : kPngSizes)
      write_png(dir / "icons" / ("velmora-" + std::to_string(size) + ".png"), draw_rgba_image(size));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_icon: %s\n", e.what());
    return 1;
  }
  return 0;
}
