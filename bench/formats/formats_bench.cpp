// The picture formats' benchmark: every bitmap file of a folder (pages the conversion wrote) is
// read once and written in each format, several times; per format the files' total size, the
// time to encode and write them (median of the repetitions, all pages together) and the
// slowest page, as a markdown table.
//   bench_formats FOLDER [REPETITIONS] [SPLIT]
// SPLIT: write every picture split into parts of at most this many rows (0: one picture).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "convert/device_bitmap.h"
#include "convert/picture_file.h"
#include "convert/picture_format.h"

namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
  return value;
}

// A bitmap file as the conversion writes it (bottom row first, 24 or 32 bits, no colour table).
std::optional<convert::DeviceBitmap> ReadBitmap(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return std::nullopt;
  const int width = static_cast<int>(U32(bytes, 18));
  const int height = static_cast<int>(U32(bytes, 22));
  const int bits = static_cast<unsigned char>(bytes[28]);
  std::optional<convert::DeviceBitmap> bitmap = convert::DeviceBitmap::Create(width, height, bits);
  const std::size_t size = bitmap ? bitmap->Stride() * height : 0;
  if (!bitmap || bytes.size() < U32(bytes, 10) + size) return std::nullopt;
  std::memcpy(bitmap->Row(height - 1), bytes.data() + U32(bytes, 10), size);
  return bitmap;
}

struct Choice {
  const char* label;
  const char* format;
  int quality;
  int pngLevel;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_formats FOLDER [REPETITIONS] [SPLIT]\n");
    return 2;
  }
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const int split = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
  std::vector<convert::DeviceBitmap> pages;
  long long pixels = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[1])) {
    if (entry.path().extension() != ".bmp") continue;
    if (std::optional<convert::DeviceBitmap> bitmap = ReadBitmap(entry.path())) {
      pixels += static_cast<long long>(bitmap->Width()) * bitmap->Height();
      pages.push_back(std::move(*bitmap));
    }
  }
  const std::filesystem::path out = std::filesystem::temp_directory_path() / "bench_formats";
  std::filesystem::create_directories(out);
  std::printf("%zu pages, %.1f megapixels, split at %d rows (0: not split); median of %d runs\n\n",
              pages.size(), pixels / 1e6, split, repetitions);
  std::printf(
      "| format | written | total size (MB) | of BMP | encode + write, all pages (ms) | "
      "slowest page (ms) | megapixels/s |\n|---|---|---|---|---|---|---|\n");
  const Choice choices[] = {{"BMP", "bmp", 85, -1},
                            {"PNG (level 6)", "png", 85, 6},
                            {"PNG (level 1, command line)", "png", 85, 1},
                            {"JPEG 85", "jpeg", 85, -1},
                            {"WebP 85", "webp", 85, -1},
                            {"WebP lossless (100)", "webp", 100, -1}};
  double bmpBytes = 0;
  for (const Choice& choice : choices) {
    convert::PictureOptions options;
    options.quality = choice.quality;
    options.compression = choice.pngLevel;
    options.splitHeight = split;
    const convert::PictureFormat& format = *convert::FindPictureFormat(choice.format);
    std::vector<double> totals;
    double slowest = 0;
    long long bytes = 0;
    int written = 0;
    long long writtenPixels = 0;
    for (int run = 0; run < repetitions; ++run) {
      double total = 0;
      bytes = 0;
      written = 0;
      writtenPixels = 0;
      for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto start = std::chrono::steady_clock::now();
        const convert::PictureWrite write = convert::WritePicture(
            format, out / ("page" + std::to_string(i) + ".pic"), pages[i], options);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        total += ms;
        slowest = std::max(slowest, ms);
        bytes += write.bytes.value_or(0);
        written += write.bytes ? 1 : 0;
        if (write.bytes)
          writtenPixels += static_cast<long long>(pages[i].Width()) * pages[i].Height();
      }
      totals.push_back(total);
    }
    std::sort(totals.begin(), totals.end());
    const double median = totals[totals.size() / 2];
    if (bmpBytes == 0) bmpBytes = static_cast<double>(bytes);
    // A format that refuses a page (beyond its largest side) is timed on the others only.
    const std::string speed =
        written > 0 ? std::to_string(static_cast<long long>(writtenPixels / 1e3 / median)) : "—";
    std::printf("| %s | %d of %zu | %.2f | %.2f %% | %.0f | %.0f | %s |\n", choice.label, written,
                pages.size(), bytes / 1e6, 100.0 * bytes / bmpBytes, median, slowest,
                speed.c_str());
  }
  std::filesystem::remove_all(out);
  return 0;
}
