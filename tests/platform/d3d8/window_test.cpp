// Presenting into a window of the Win32 layer (kept by the headless backend),
// and draws reaching the pipeline.
#include <vector>

#include "d3d8_fixture.h"
#include "win32_headless.h"
#include "win_window.h"

namespace {

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class WindowTest : public D3D8Test {
 protected:
  void SetUp() override {
    Win32TestReset();
    D3D8Test::SetUp();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.lpszClassName = "D3D8WindowTest";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    window_ = CreateWindowExA(0, "D3D8WindowTest", "test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    D3D8Test::TearDown();
    Win32TestReset();
  }
  HWND window_ = nullptr;
};

TEST_F(WindowTest, ClearThenPresentShowsTheColourInTheWindow) {
  D3DPRESENT_PARAMETERS p = Parameters(0, 0);  // size 0: the client area's
  ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                               device_.ReleaseAndGetAddressOf()),
            D3D_OK);
  RECT client{};
  ASSERT_TRUE(GetClientRect(window_, &client));
  EXPECT_EQ(p.BackBufferWidth, static_cast<UINT>(client.right));
  EXPECT_EQ(p.BackBufferHeight, static_cast<UINT>(client.bottom));
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0x20, 0x40, 0xC0), 1.0f, 0), D3D_OK);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  UINT width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint64_t serial = 0;
  ASSERT_TRUE(Win32TestGetFrame(window_, &width, &height, &pixels, &serial));
  EXPECT_EQ(width, p.BackBufferWidth);
  EXPECT_EQ(height, p.BackBufferHeight);
  ASSERT_EQ(pixels.size(), size_t{width} * height);
  for (uint32_t pixel : pixels) ASSERT_EQ(pixel & 0xFFFFFF, 0x2040C0u);
  std::vector<DWORD> offScreen;
  EXPECT_FALSE(D3D8TestGetPresentedFrame(device_.Get(), &offScreen, &width, &height))
      << "a device with a window presents into the window";

  ASSERT_TRUE(DestroyWindow(window_));
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL) << "the window is gone";
}

TEST_F(WindowTest, DrawsReachThePipeline) {
  MakeDevice(Parameters(16, 16));
  struct Vertex {
    float x, y, z, rhw;
    DWORD color;
  };
  const Vertex triangle[] = {{0, 0, 0.5f, 1, 0xFF00FF00}, {16, 0, 0.5f, 1, 0xFF00FF00}, {0, 16, 0.5f, 1, 0xFF00FF00}};
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
  ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
  ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), D3D_OK);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(Vertex)), D3D_OK);
  ASSERT_EQ(device_->EndScene(), D3D_OK);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  UINT width = 0, height = 0;
  std::vector<DWORD> pixels;
  ASSERT_TRUE(D3D8TestGetPresentedFrame(device_.Get(), &pixels, &width, &height));
  EXPECT_EQ(pixels[2 * 16 + 2], 0xFF00FF00u) << "inside the triangle";
  EXPECT_EQ(pixels[15 * 16 + 15], 0xFF000000u) << "outside the triangle";
}

}  // namespace
