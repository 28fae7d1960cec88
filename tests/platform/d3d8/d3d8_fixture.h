// A Direct3D object and a windowless device for each test, made under the
// profile the test installs first; at the end every object must be gone.
#pragma once

#include <gtest/gtest.h>

#include "com_ptr.h"
#include "d3d8.h"
#include "d3d8_test.h"

class D3D8Test : public ::testing::Test {
 protected:
  void SetUp() override {
    D3D8TestResetProfile();
    ASSERT_EQ(D3D8TestLiveObjectCount(), 0u) << "an earlier test leaked";
    d3d_ = ComPtr<IDirect3D8>(Direct3DCreate8(D3D_SDK_VERSION));
    ASSERT_TRUE(d3d_);
  }

  void TearDown() override {
    device_.Reset();
    d3d_.Reset();
    D3D8TestResetProfile();
    EXPECT_EQ(D3D8TestLiveObjectCount(), 0u) << "objects outlived their last release";
  }

  static D3DPRESENT_PARAMETERS Parameters(UINT width = 64, UINT height = 32, D3DFORMAT format = D3DFMT_X8R8G8B8,
                                          bool depth = true) {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = format;
    p.SwapEffect = D3DSWAPEFFECT_FLIP;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = depth ? TRUE : FALSE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    return p;
  }

  // Makes device_ (HAL, software vertex processing, no window).
  void MakeDevice(D3DPRESENT_PARAMETERS parameters = Parameters()) {
    device_.Reset();
    ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                 &parameters, device_.ReleaseAndGetAddressOf()),
              D3D_OK);
  }

  ComPtr<IDirect3D8> d3d_;
  ComPtr<IDirect3DDevice8> device_;
};
