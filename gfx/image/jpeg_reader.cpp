// JPEG through libjpeg: a memory source over the file image, error hooks that
// jump back here instead of ending the process, and one scanline at a time.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "gfx/image/decode_limits.h"
#include "gfx/image/jpeg_source.h"
#include "gfx/image/source_image.h"
#include "gfx/math/cpu_features.h"

namespace {

// The error manager followed by the jump point of the call in progress.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

// No warning or error text is ever shown.
void JpegOutputMessage(j_common_ptr) {}

// A progressive file can hold any number of scans, each one a pass over the
// whole coefficient buffer; more than any encoder writes means a hostile file.
constexpr int kMaxScans = 1000;

void JpegProgress(j_common_ptr info) {
  if (info->is_decompressor) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
      info->err->msg_code = JERR_NOT_COMPILED;  // any code: the message is never shown
      (*info->err->error_exit)(info);
    }
  }
}

// Byte order of the 32-bit output: red << 16 | green << 8 | blue, top byte 0.
void StoreRgbRow(const JSAMPLE* rgb, BYTE* out, UINT width) {
  for (UINT x = 0; x < width; ++x, rgb += 3, out += 4) {
    out[0] = rgb[2];
    out[1] = rgb[1];
    out[2] = rgb[0];
    out[3] = 0;
  }
}

// Everything that must survive the jump lives in this record, in memory.
struct JpegDecode {
  jpeg_decompress_struct info;
  JpegErrorManager error;
  jpeg_progress_mgr progress;
};

HRESULT Decode(JpegDecode& d, const BYTE* data, UINT size, SourceImage& image) {
  jpeg_decompress_struct& info = d.info;
  InstallJpegMemorySource(&info, data, size);
  d.progress.progress_monitor = JpegProgress;
  info.progress = &d.progress;
  jpeg_read_header(&info, TRUE);
  if (!IsMmxAvailable()) info.dct_method = JDCT_IFAST;

  const UINT channels = info.num_components == 1 ? 1 : 4;
  if (!IsPlausibleDecodeSize(uint64_t{info.image_width} * info.image_height * channels, size, 4096)) return E_FAIL;

  jpeg_start_decompress(&info);
  if (info.output_components == 1) {
    image.format = D3DFMT_L8;
    image.rowPitch = info.output_width;
  } else if (info.output_components == 3) {
    image.format = D3DFMT_X8R8G8B8;
    image.rowPitch = info.output_width * 4;
  } else {
    return E_FAIL;
  }
  image.width = info.output_width;
  image.height = info.output_height;
  image.depth = 1;
  image.slicePitch = 0;
  if (!image.loadPixels) return S_OK;

  const HRESULT hr = image.AllocatePixels(uint64_t{image.rowPitch} * image.height);
  if (FAILED(hr)) return hr;
  JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                             info.output_width * info.output_components, 1);
  while (info.output_scanline < info.output_height) {
    BYTE* out = image.pixels + static_cast<size_t>(info.output_scanline) * image.rowPitch;
    jpeg_read_scanlines(&info, row, 1);
    if (image.format == D3DFMT_L8) {
      std::memcpy(out, row[0], info.output_width);
    } else {
      StoreRgbRow(row[0], out, info.output_width);
    }
  }
  jpeg_finish_decompress(&info);
  return S_OK;
}

}  // namespace

HRESULT SourceImage::LoadJpeg(const BYTE* data, UINT size) {
  JpegDecode decode{};
  decode.info.err = jpeg_std_error(&decode.error.pub);
  decode.error.pub.error_exit = JpegErrorExit;
  decode.error.pub.output_message = JpegOutputMessage;
  if (setjmp(decode.error.jump)) {
    jpeg_destroy_decompress(&decode.info);
    return E_FAIL;
  }
  jpeg_create_decompress(&decode.info);
  const HRESULT hr = Decode(decode, data, size, *this);
  jpeg_destroy_decompress(&decode.info);
  return hr;
}
