// The test hooks of d3d8_test.h that look into devices.
#include "d3d8_test.h"
#include "device.h"
#include "draw_context.h"

void D3D8TestHoldQueuedDrawing(BOOL hold) {
  d3d8pipe::FlushRasterizer();
  d3d8pipe::TestHoldQueuedWork(hold != FALSE);
  d3d8pipe::SetRasterizerThreadCount(hold ? 2 : 0);
}

BOOL D3D8TestGetPresentedFrame(IDirect3DDevice8* device, std::vector<DWORD>* pixels, UINT* width, UINT* height) {
  auto* ours = dynamic_cast<Device*>(device);
  if (ours == nullptr || pixels == nullptr || width == nullptr || height == nullptr) return FALSE;
  if (ours->PresentWindow() != nullptr || ours->PresentedFrame().empty()) return FALSE;
  *pixels = ours->PresentedFrame();
  *width = ours->PresentedWidth();
  *height = ours->PresentedHeight();
  return TRUE;
}
