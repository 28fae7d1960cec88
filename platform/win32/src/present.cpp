// PresentFrameToWindow: a rendered frame becomes the window's picture.
#include <cstring>
#include <new>

#include "user_state.h"
#include "win32_backend.h"
#include "win32_present.h"

using namespace win32;

namespace {
constexpr UINT kMaxFrameSide = 16384;
}

BOOL PresentFrameToWindow(HWND handle, const void* pixels, UINT width, UINT height, UINT pitchBytes) {
  Window* window = FindWindow(handle);
  if (!window || !pixels || width == 0 || height == 0 || width > kMaxFrameSide || height > kMaxFrameSide ||
      pitchBytes < width * 4u)
    return FALSE;
  Frame& frame = window->frame;
  try {
    frame.pixels.resize(static_cast<size_t>(width) * height);
  } catch (const std::bad_alloc&) {
    frame = Frame{};
    return FALSE;
  }
  const auto* source = static_cast<const unsigned char*>(pixels);
  for (UINT y = 0; y < height; ++y)
    std::memcpy(&frame.pixels[static_cast<size_t>(y) * width], source + static_cast<size_t>(y) * pitchBytes,
                static_cast<size_t>(width) * 4);
  frame.width = width;
  frame.height = height;
  ++frame.serial;
  ActiveBackend().FramePresented(handle);
  return TRUE;
}
