#include "ico_file.h"

#include <cstddef>
#include <string>

namespace velmora::icon {
namespace {

constexpr std::size_t kDirHeaderSize = 6;
constexpr std::size_t kDirEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 256;

std::size_t row_stride(int width, int bits_per_pixel) {
  const auto bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bits_per_pixel);
  return (bits + 31) / 32 * 4;
}

bool supported_depth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8; }

std::string image_name(std::size_t i) { return "image " + std::to_string(i + 1); }

// Little-endian output.
class Writer {
 public:
  void u8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFFu);
    u8((v >> 8) & 0xFFu);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFFu);
    u16(v >> 16);
  }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Little-endian input with bounds checks; `what` names the field for errors.
class Reader {
 public:
  Reader(std::span<const std::uint8_t> bytes, std::size_t pos) : bytes_(bytes), pos_(pos) {}

  std::uint32_t u8(const char* what) {
    need(1, what);
    return bytes_[pos_++];
  }
  std::uint32_t u16(const char* what) {
    need(2, what);
    const std::uint32_t v = bytes_[pos_] | (std::uint32_t{bytes_[pos_ + 1]} << 8);
    pos_ += 2;
    return v;
  }
  std::uint32_t u32(const char* what) {
    need(4, what);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[pos_ + static_cast<std::size_t>(i)];
    pos_ += 4;
    return v;
  }

 private:
  void need(std::size_t n, const char* what) const {
    if (pos_ > bytes_.size() || bytes_.size() - pos_ < n)
      throw IcoError(std::string("icon data ends inside the ") + what);
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_;
};

std::size_t image_data_size(const IconImage& im) {
  const auto h = static_cast<std::size_t>(im.height);
  return kInfoHeaderSize + im.palette.size() * 4 + row_stride(im.width, im.bits_per_pixel) * h +
         row_stride(im.width, 1) * h;
}

void write_image(Writer& out, const IconImage& im) {
  const std::size_t xor_stride = row_stride(im.width, im.bits_per_pixel);
  const std::size_t and_stride = row_stride(im.width, 1);
  const auto h = static_cast<std::size_t>(im.height);

  out.u32(kInfoHeaderSize);
  out.u32(static_cast<std::uint32_t>(im.width));
  out.u32(static_cast<std::uint32_t>(im.height * 2));  // XOR bitmap + AND mask
  out.u16(1);                                           // planes
  out.u16(static_cast<unsigned>(im.bits_per_pixel));
  out.u32(0);  // BI_RGB, uncompressed
  out.u32(static_cast<std::uint32_t>((xor_stride + and_stride) * h));
  out.u32(0);  // horizontal resolution: unused in icons
  out.u32(0);  // vertical resolution
  out.u32(static_cast<std::uint32_t>(im.palette.size()));
  out.u32(0);  // all colours important

  for (const Rgb& c : im.palette) {  // RGBQUAD is blue, green, red, reserved
    out.u8(c.b);
    out.u8(c.g);
    out.u8(c.r);
    out.u8(0);
  }

  const int per_byte = 8 / im.bits_per_pixel;
  for (int y = im.height - 1; y >= 0; --y) {  // bottom-up
    std::vector<std::uint8_t> row(xor_stride, 0);
    for (int x = 0; x < im.width; ++x) {
      const int shift = 8 - im.bits_per_pixel * (x % per_byte + 1);  // leftmost pixel in the high bits
      row[static_cast<std::size_t>(x / per_byte)] |= static_cast<std::uint8_t>(im.index_at(x, y) << shift);
    }
    for (std::uint8_t b : row) out.u8(b);
  }
  for (int y = im.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(and_stride, 0);
    for (int x = 0; x < im.width; ++x)
      if (im.transparent_at(x, y)) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    for (std::uint8_t b : row) out.u8(b);
  }
}

IconImage read_image(std::span<const std::uint8_t> bytes, std::size_t i, std::size_t offset, std::size_t size,
                     int entry_width, int entry_height) {
  const std::string name = image_name(i);
  if (offset > bytes.size() || bytes.size() - offset < size)
    throw IcoError(name + ": its data lies outside the file");
  const auto data = bytes.subspan(offset, size);

  if (data.size() >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
    throw IcoError(name + ": PNG-compressed icon images are not supported");

  Reader in(data, 0);
  const std::uint32_t header_size = in.u32("bitmap header");
  if (header_size < kInfoHeaderSize || header_size > data.size())
    throw IcoError(name + ": bitmap header size " + std::to_string(header_size) + " is invalid");
  const auto width = static_cast<std::int32_t>(in.u32("bitmap header"));
  const auto double_height = static_cast<std::int32_t>(in.u32("bitmap header"));
  const std::uint32_t planes = in.u16("bitmap header");
  const auto bpp = static_cast<int>(in.u16("bitmap header"));
  const std::uint32_t compression = in.u32("bitmap header");
  in.u32("bitmap header");  // image size: may be zero, recomputed below
  in.u32("bitmap header");
  in.u32("bitmap header");
  const std::uint32_t colours_used = in.u32("bitmap header");

  if (width != entry_width || double_height != 2 * entry_height)
    throw IcoError(name + ": bitmap is " + std::to_string(width) + "x" + std::to_string(double_height) +
                   " but the directory says " + std::to_string(entry_width) + "x" + std::to_string(entry_height) +
                   " (bitmap height must be doubled)");
  if (planes != 1) throw IcoError(name + ": bitmap has " + std::to_string(planes) + " planes, expected 1");
  if (!supported_depth(bpp))
    throw IcoError(name + ": " + std::to_string(bpp) + " bits per pixel is not supported (only 1, 4 and 8)");
  if (compression != 0) throw IcoError(name + ": compressed bitmaps are not supported");

  const std::uint32_t max_colours = 1u << bpp;
  const std::uint32_t colours = colours_used == 0 ? max_colours : colours_used;
  if (colours > max_colours)
    throw IcoError(name + ": palette of " + std::to_string(colours) + " colours is too large for " +
                   std::to_string(bpp) + " bits per pixel");

  IconImage im;
  im.width = entry_width;
  im.height = entry_height;
  im.bits_per_pixel = bpp;

  const std::size_t xor_stride = row_stride(im.width, bpp);
  const std::size_t and_stride = row_stride(im.width, 1);
  const auto h = static_cast<std::size_t>(im.height);
  const std::size_t palette_at = header_size;
  const std::size_t xor_at = palette_at + colours * 4;
  const std::size_t and_at = xor_at + xor_stride * h;
  if (and_at + and_stride * h > data.size())
    throw IcoError(name + ": pixel data is truncated (needs " + std::to_string(and_at + and_stride * h) +
                   " bytes, has " + std::to_string(data.size()) + ")");

  for (std::size_t c = 0; c < colours; ++c) {
    const std::size_t p = palette_at + c * 4;
    im.palette.push_back(Rgb{data[p + 2], data[p + 1], data[p]});
  }

  const auto count = static_cast<std::size_t>(im.width) * h;
  im.pixels.resize(count);
  im.transparent.resize(count);
  const int per_byte = 8 / bpp;
  const unsigned mask = (1u << bpp) - 1;
  for (int y = 0; y < im.height; ++y) {
    const auto stored_row = static_cast<std::size_t>(im.height - 1 - y);  // rows are stored bottom-up
    for (int x = 0; x < im.width; ++x) {
      const std::size_t out = static_cast<std::size_t>(y) * static_cast<std::size_t>(im.width) + static_cast<std::size_t>(x);
      const std::uint8_t packed = data[xor_at + stored_row * xor_stride + static_cast<std::size_t>(x / per_byte)];
      const int shift = 8 - bpp * (x % per_byte + 1);
      const auto index = static_cast<std::uint8_t>((packed >> shift) & mask);
      if (index >= colours)
        throw IcoError(name + ": pixel (" + std::to_string(x) + "," + std::to_string(y) + ") uses colour " +
                       std::to_string(index) + " outside its " + std::to_string(colours) + "-colour palette");
      im.pixels[out] = index;
      const std::uint8_t and_byte = data[and_at + stored_row * and_stride + static_cast<std::size_t>(x / 8)];
      im.transparent[out] = static_cast<std::uint8_t>((and_byte >> (7 - x % 8)) & 1u);
    }
  }
  return im;
}

}  // namespace

void validate(const IconImage& im) {
  if (im.width < 1 || im.width > kMaxSide || im.height < 1 || im.height > kMaxSide)
    throw IcoError("icon image size " + std::to_string(im.width) + "x" + std::to_string(im.height) +
                   " is outside 1..256");
  if (!supported_depth(im.bits_per_pixel))
    throw IcoError(std::to_string(im.bits_per_pixel) + " bits per pixel is not supported (only 1, 4 and 8)");
  if (im.palette.empty() || im.palette.size() > (std::size_t{1} << im.bits_per_pixel))
    throw IcoError("a " + std::to_string(im.bits_per_pixel) + "-bit image needs 1 to " +
                   std::to_string(1u << im.bits_per_pixel) + " palette entries, not " +
                   std::to_string(im.palette.size()));
  const auto count = static_cast<std::size_t>(im.width) * static_cast<std::size_t>(im.height);
  if (im.pixels.size() != count || im.transparent.size() != count)
    throw IcoError("pixel or mask count does not match the " + std::to_string(im.width) + "x" +
                   std::to_string(im.height) + " image size");
  for (std::uint8_t index : im.pixels)
    if (index >= im.palette.size())
      throw IcoError("pixel colour " + std::to_string(index) + " is outside the " +
                     std::to_string(im.palette.size()) + "-colour palette");
}

std::vector<std::uint8_t> encode_ico(const std::vector<IconImage>& images) {
  if (images.empty()) throw IcoError("an icon needs at least one image");
  if (images.size() > 0xFFFF) throw IcoError("too many images for one icon");
  for (const IconImage& im : images) validate(im);

  Writer out;
  out.u16(0);  // reserved
  out.u16(1);  // resource type: icon
  out.u16(static_cast<unsigned>(images.size()));

  std::size_t offset = kDirHeaderSize + kDirEntrySize * images.size();
  for (const IconImage& im : images) {
    const std::size_t size = image_data_size(im);
    out.u8(static_cast<unsigned>(im.width % kMaxSide));   // 256 is stored as 0
    out.u8(static_cast<unsigned>(im.height % kMaxSide));
    out.u8(im.bits_per_pixel < 8 ? (1u << im.bits_per_pixel) : 0u);  // colour count, 0 for 256
    out.u8(0);  // reserved
    out.u16(1);  // planes
    out.u16(static_cast<unsigned>(im.bits_per_pixel));
    out.u32(static_cast<std::uint32_t>(size));
    out.u32(static_cast<std::uint32_t>(offset));
    offset += size;
  }
  for (const IconImage& im : images) write_image(out, im);
  return std::move(out.bytes());
}

std::vector<IconImage> decode_ico(std::span<const std::uint8_t> bytes) {
  Reader in(bytes, 0);
  const std::uint32_t reserved = in.u16("icon header");
  const std::uint32_t type = in.u16("icon header");
  const std::uint32_t count = in.u16("icon header");
  if (reserved != 0 || type != 1)
    throw IcoError("not an icon file (header fields " + std::to_string(reserved) + ", " + std::to_string(type) +
                   "; expected 0, 1)");
  if (count == 0) throw IcoError("icon file holds no images");

  std::vector<IconImage> images;
  for (std::size_t i = 0; i < count; ++i) {
    Reader entry(bytes, kDirHeaderSize + kDirEntrySize * i);
    const auto w = static_cast<int>(entry.u8("icon directory"));
    const auto h = static_cast<int>(entry.u8("icon directory"));
    entry.u8("icon directory");  // colour count: informative only, the bitmap header decides
    entry.u8("icon directory");
    entry.u16("icon directory");
    entry.u16("icon directory");
    const std::uint32_t size = entry.u32("icon directory");
    const std::uint32_t offset = entry.u32("icon directory");
    images.push_back(read_image(bytes, i, offset, size, w == 0 ? kMaxSide : w, h == 0 ? kMaxSide : h));
  }
  return images;
}

}  // namespace velmora::icon
