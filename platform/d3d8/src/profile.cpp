#include "profile.h"

#include <algorithm>

namespace {

constexpr DWORD kTextureTypes = D3D8TestResourceBit(D3DRTYPE_TEXTURE) | D3D8TestResourceBit(D3DRTYPE_CUBETEXTURE) |
                                D3D8TestResourceBit(D3DRTYPE_VOLUMETEXTURE) | D3D8TestResourceBit(D3DRTYPE_SURFACE);
constexpr DWORD kSurfaceOnly = D3D8TestResourceBit(D3DRTYPE_SURFACE);

D3DCAPS8 DefaultCaps() {
  D3DCAPS8 caps{};
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_DYNAMICTEXTURES;
  caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
  caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY |
                 D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                 D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
  caps.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                           D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_CLIPTLVERTS | D3DPMISCCAPS_BLENDOP;
  caps.RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX |
                    D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_FOGRANGE;
  const DWORD allCompares = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
                            D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL |
                            D3DPCMPCAPS_ALWAYS;
  caps.ZCmpCaps = allCompares;
  caps.AlphaCmpCaps = allCompares;
  const DWORD allBlends = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR |
                          D3DPBLENDCAPS_INVSRCCOLOR | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA |
                          D3DPBLENDCAPS_DESTALPHA | D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR |
                          D3DPBLENDCAPS_INVDESTCOLOR | D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA |
                          D3DPBLENDCAPS_BOTHINVSRCALPHA;
  caps.SrcBlendCaps = allBlends;
  caps.DestBlendCaps = allBlends;
  caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                   D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
  caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_PROJECTED |
                     D3DPTEXTURECAPS_CUBEMAP | D3DPTEXTURECAPS_VOLUMEMAP | D3DPTEXTURECAPS_MIPMAP |
                     D3DPTEXTURECAPS_MIPVOLUMEMAP | D3DPTEXTURECAPS_MIPCUBEMAP;
  const DWORD filters = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                        D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  caps.TextureFilterCaps = filters;
  caps.CubeTextureFilterCaps = filters;
  caps.VolumeTextureFilterCaps = filters;
  const DWORD addressing = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                           D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV |
                           D3DPTADDRESSCAPS_MIRRORONCE;
  caps.TextureAddressCaps = addressing;
  caps.VolumeTextureAddressCaps = addressing;
  caps.LineCaps = 0x1F;  // texture, z test, blend, alpha compare, fog
  caps.MaxTextureWidth = 4096;
  caps.MaxTextureHeight = 4096;
  caps.MaxVolumeExtent = 512;
  caps.MaxTextureRepeat = 8192;
  caps.MaxTextureAspectRatio = 4096;
  caps.MaxAnisotropy = 1;
  caps.MaxVertexW = 1e10f;
  caps.GuardBandLeft = -8192.0f;
  caps.GuardBandTop = -8192.0f;
  caps.GuardBandRight = 8192.0f;
  caps.GuardBandBottom = 8192.0f;
  caps.StencilCaps = 0xFF;  // every stencil operation
  caps.FVFCaps = 8 | D3DFVFCAPS_PSIZE;
  caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                       D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X | D3DTEXOPCAPS_ADD;
  caps.MaxTextureBlendStages = kD3DTextureStageCount;
  caps.MaxSimultaneousTextures = kD3DTextureStageCount;
  caps.VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                              D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
  caps.MaxActiveLights = 0xFFFFFFFF;  // lights are kept in a map: no practical limit
  caps.MaxUserClipPlanes = 6;
  caps.MaxVertexBlendMatrices = 1;
  caps.MaxVertexBlendMatrixIndex = 0;
  caps.MaxPointSize = 64.0f;
  caps.MaxPrimitiveCount = 0x000FFFFF;
  caps.MaxVertexIndex = 0x00FFFFFF;
  caps.MaxStreams = 16;
  caps.MaxStreamStride = 255;
  caps.VertexShaderVersion = 0;  // fixed function only
  caps.MaxVertexShaderConst = 0;
  caps.PixelShaderVersion = 0;
  caps.MaxPixelShaderValue = 1.0f;
  return caps;
}

std::vector<D3D8TestFormat> DefaultFormats() {
  const DWORD rt = D3DUSAGE_RENDERTARGET;
  return {
      {D3DFMT_A8R8G8B8, kTextureTypes, rt},
      {D3DFMT_X8R8G8B8, kTextureTypes, rt},
      {D3DFMT_R8G8B8, kTextureTypes, 0},
      {D3DFMT_R5G6B5, kTextureTypes, rt},
      {D3DFMT_X1R5G5B5, kTextureTypes, rt},
      {D3DFMT_A1R5G5B5, kTextureTypes, 0},
      {D3DFMT_A4R4G4B4, kTextureTypes, 0},
      {D3DFMT_X4R4G4B4, kTextureTypes, 0},
      {D3DFMT_L8, kTextureTypes, 0},
      {D3DFMT_A8L8, kTextureTypes, 0},
      {D3DFMT_A8, kTextureTypes, 0},
      {D3DFMT_DXT1, kTextureTypes, 0},
      {D3DFMT_DXT2, kTextureTypes, 0},
      {D3DFMT_DXT3, kTextureTypes, 0},
      {D3DFMT_DXT4, kTextureTypes, 0},
      {D3DFMT_DXT5, kTextureTypes, 0},
      {D3DFMT_D16_LOCKABLE, kSurfaceOnly, D3DUSAGE_DEPTHSTENCIL},
      {D3DFMT_D16, kSurfaceOnly, D3DUSAGE_DEPTHSTENCIL},
      {D3DFMT_D24S8, kSurfaceOnly, D3DUSAGE_DEPTHSTENCIL},
      {D3DFMT_D24X8, kSurfaceOnly, D3DUSAGE_DEPTHSTENCIL},
      {D3DFMT_D32, kSurfaceOnly, D3DUSAGE_DEPTHSTENCIL},
  };
}

D3D8TestProfile& Installed() {
  static D3D8TestProfile profile = D3D8TestDefaultProfile();
  return profile;
}

}  // namespace

bool D3D8TestProfile::RemoveFormat(D3DFORMAT format) {
  const auto end = std::remove_if(formats.begin(), formats.end(), [&](const D3D8TestFormat& f) { return f.format == format; });
  const bool found = end != formats.end();
  formats.erase(end, formats.end());
  return found;
}

D3D8TestProfile D3D8TestDefaultProfile() {
  D3D8TestProfile profile;
  profile.caps = DefaultCaps();
  profile.formats = DefaultFormats();
  // A post-transform cache of 16 entries, strips restarted every 8: the size of
  // the caches of the era's transform-and-lighting hardware.
  profile.vertexCache = {MakeFourCC('C', 'A', 'C', 'H'), 1, 16, 8};
  profile.vendorId = 0x4B56;  // "KV", the runtime's own adapter
  profile.deviceId = 0x0001;
  return profile;
}

D3D8TestProfile D3D8TestQuirkProfile(DWORD quirks) {
  D3D8TestProfile profile = D3D8TestDefaultProfile();
  if (quirks & D3D8_TEST_POW2_ONLY)
    profile.caps.TextureCaps |= D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_CUBEMAP_POW2 | D3DPTEXTURECAPS_VOLUMEMAP_POW2;
  if (quirks & D3D8_TEST_SQUARE_ONLY) profile.caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
  if (quirks & D3D8_TEST_NO_24BIT_TEXTURES) profile.RemoveFormat(D3DFMT_R8G8B8);
  if (quirks & D3D8_TEST_NO_HW_VERTEX_PROCESSING) {
    profile.hardwareVertexProcessing = FALSE;
    profile.caps.DevCaps &= ~D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  }
  if (quirks & D3D8_TEST_NO_HAL) profile.halDevice = FALSE;
  if (quirks & D3D8_TEST_PRESENT_FAILS_ONCE) profile.failingPresents = 1;
  if (quirks & D3D8_TEST_NO_VCACHE_INFO) profile.vertexCacheInfo = FALSE;
  if (quirks & D3D8_TEST_UNLOCKABLE_DEFAULT_SURFACES) profile.lockableDefaultPoolSurfaces = FALSE;
  return profile;
}

void D3D8TestInstallProfile(const D3D8TestProfile& profile) { Installed() = profile; }
void D3D8TestResetProfile() { Installed() = D3D8TestDefaultProfile(); }

const D3D8TestProfile& CurrentProfile() { return Installed(); }

bool ProfileAcceptsFormat(D3DRESOURCETYPE type, DWORD usage, D3DFORMAT format) {
  const DWORD bound = usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL);
  for (const D3D8TestFormat& entry : Installed().formats) {
    if (entry.format != format) continue;
    if ((entry.resourceTypes & D3D8TestResourceBit(type)) == 0) continue;
    if ((entry.usages & bound) != bound) continue;
    return true;
  }
  return false;
}

bool ProfileTakeFailingPresent() {
  D3D8TestProfile& profile = Installed();
  if (profile.failingPresents == 0) return false;
  --profile.failingPresents;
  return true;
}

D3DCAPS8 ProfileCaps(D3DDEVTYPE type) {
  D3DCAPS8 caps = Installed().caps;
  caps.DeviceType = type;
  caps.AdapterOrdinal = D3DADAPTER_DEFAULT;
  if (type == D3DDEVTYPE_REF) caps.DevCaps &= ~D3DDEVCAPS_HWRASTERIZATION;
  return caps;
}
