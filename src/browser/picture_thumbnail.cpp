// A small picture of a written page picture, read and scaled with the toolkit's image loaders.
#include "browser/picture_thumbnail.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <memory>

#include "base/file_system.h"

namespace browser {
namespace {

struct Unref {
  void operator()(GdkPixbuf* pixbuf) const { g_object_unref(pixbuf); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, Unref>;

// The most pixels a picture may have to get a thumbnail: the loaders of some formats hold the
// whole picture while they read it (four bytes a pixel), and a report is no reason to run a
// machine out of memory. A page 1,000 pixels wide may be 64,000 high.
constexpr long long kLargestPicture = 64'000'000;

}  // namespace

convert::Thumbnail MakeThumbnail(const std::string& path, int width, int height) {
  const auto native = base::ToNativePath(path);
  if (!native) return {};
  int fullWidth = 0;
  int fullHeight = 0;
  if (!gdk_pixbuf_get_file_info(native->c_str(), &fullWidth, &fullHeight) || fullWidth <= 0 ||
      fullHeight <= 0 || static_cast<long long>(fullWidth) * fullHeight > kLargestPicture) {
    return {};
  }
  // The loaders scale while they read where the format lets them, so a tall page is never held
  // at full size longer than one read.
  const int scaledWidth = std::min(width, fullWidth);
  const int scaledHeight =
      std::max(1, static_cast<int>(static_cast<long long>(fullHeight) * scaledWidth / fullWidth));
  Pixbuf scaled(gdk_pixbuf_new_from_file_at_scale(native->c_str(), scaledWidth, scaledHeight, FALSE,
                                                  nullptr));
  if (!scaled) return {};
  const int shownHeight = std::min(height, gdk_pixbuf_get_height(scaled.get()));
  Pixbuf top(gdk_pixbuf_new_subpixbuf(scaled.get(), 0, 0, gdk_pixbuf_get_width(scaled.get()),
                                      shownHeight));
  gchar* buffer = nullptr;
  gsize size = 0;
  if (!top || !gdk_pixbuf_save_to_buffer(top.get(), &buffer, &size, "png", nullptr, nullptr)) {
    return {};
  }
  convert::Thumbnail thumbnail{std::string(buffer, size), gdk_pixbuf_get_width(top.get()),
                               shownHeight};
  g_free(buffer);
  return thumbnail;
}

}  // namespace browser
