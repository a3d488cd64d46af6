// The browser control as the capture sees it: the pixels of one snapshot of the view.
#include "convert/page_view.h"

namespace convert {

void ViewPixels::Assign(int viewWidth, int viewHeight, std::vector<std::uint32_t> pixels) {
  m_owner.reset();
  m_held = std::move(pixels);
  width = viewWidth;
  height = viewHeight;
  m_rows = m_held.data();
  m_stride = viewWidth;
  if (m_held.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    m_rows = nullptr;
  }
}

void ViewPixels::Refer(int viewWidth, int viewHeight, const std::uint32_t* rows, int stride,
                       std::shared_ptr<const void> owner) {
  m_held.clear();
  m_held.shrink_to_fit();
  m_owner = std::move(owner);
  width = viewWidth;
  height = viewHeight;
  m_rows = rows;
  m_stride = stride;
}

bool ViewPixels::Complete() const {
  return width >= 0 && height >= 0 && (m_rows != nullptr || width == 0 || height == 0) &&
         m_stride >= width;
}

}  // namespace convert
