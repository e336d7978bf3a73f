#include "tools/zynka-artwork/pngwrite.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zart {

namespace {

using Bytes = std::vector<std::uint8_t>;

// cairo keeps premultiplied pixels in native-endian words; PNG wants straight RGBA.
std::vector<Bytes> straightRows(cairo_surface_t* image) {
  cairo_surface_flush(image);
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  std::vector<Bytes> rows(h, Bytes(std::size_t(w) * 4));
  for (int y = 0; y < h; ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
    std::uint8_t* out = rows[y].data();
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = in[x];
      const unsigned a = p >> 24;
      auto un = [a](unsigned c) { return std::uint8_t(a == 0 ? 0 : (c * 255 + a / 2) / a); };
      out[4 * x + 0] = un((p >> 16) & 0xff);
      out[4 * x + 1] = un((p >> 8) & 0xff);
      out[4 * x + 2] = un(p & 0xff);
      out[4 * x + 3] = std::uint8_t(a);
    }
  }
  return rows;
}

std::uint8_t paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return std::uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

void filterRow(int type, const Bytes& row, const Bytes& prev, Bytes& out) {
  out.push_back(std::uint8_t(type));
  for (std::size_t x = 0; x < row.size(); ++x) {
    const int a = x >= 4 ? row[x - 4] : 0, b = prev[x], c = x >= 4 ? prev[x - 4] : 0;
    int predicted = 0;
    switch (type) {
      case 1: predicted = a; break;
      case 2: predicted = b; break;
      case 3: predicted = (a + b) / 2; break;
      case 4: predicted = paeth(a, b, c); break;
      default: break;
    }
    out.push_back(std::uint8_t(row[x] - predicted));
  }
}

// Filters every row with one type, or (type 5) with the type whose output has
// the smallest sum of magnitudes, the usual heuristic.
Bytes filtered(const std::vector<Bytes>& rows, int type) {
  Bytes out;
  Bytes prev(rows.empty() ? 0 : rows[0].size(), 0);
  Bytes trial;
  for (const Bytes& row : rows) {
    if (type < 5) {
      filterRow(type, row, prev, out);
    } else {
      long best = -1;
      Bytes bestRow;
      for (int t = 0; t < 5; ++t) {
        trial.clear();
        filterRow(t, row, prev, trial);
        long sum = 0;
        for (std::size_t i = 1; i < trial.size(); ++i) sum += std::abs(int(std::int8_t(trial[i])));
        if (best < 0 || sum < best) {
          best = sum;
          bestRow = trial;
        }
      }
      out.insert(out.end(), bestRow.begin(), bestRow.end());
    }
    prev = row;
  }
  return out;
}

bool deflateAll(const Bytes& in, Bytes& out) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  out.resize(deflateBound(&z, uLong(in.size())));
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(in.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  const int result = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return result == Z_STREAM_END;
}

void put32(Bytes& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(std::uint8_t(v >> s));
}

void chunk(Bytes& file, const char* type, const Bytes& body) {
  put32(file, std::uint32_t(body.size()));
  const std::size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), body.begin(), body.end());
  put32(file, std::uint32_t(crc32(0, file.data() + start, uInt(file.size() - start))));
}

}  // namespace

bool writeCompactPng(cairo_surface_t* image, const std::string& path) {
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32)
    return false;
  const std::vector<Bytes> rows = straightRows(image);
  Bytes best;
  for (int type = 0; type <= 5; ++type) {
    Bytes packed;
    if (!deflateAll(filtered(rows, type), packed)) return false;
    if (best.empty() || packed.size() < best.size()) best.swap(packed);
  }

  Bytes file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  Bytes header;
  put32(header, std::uint32_t(cairo_image_surface_get_width(image)));
  put32(header, std::uint32_t(cairo_image_surface_get_height(image)));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive, no interlace
  chunk(file, "IHDR", header);
  chunk(file, "IDAT", best);
  chunk(file, "IEND", {});

  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace zart
