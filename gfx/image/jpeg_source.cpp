#include "gfx/image/jpeg_source.h"

namespace {

struct JpegMemorySource {
  jpeg_source_mgr pub;
  const JOCTET* data;
  size_t size;
  bool supplied;
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<JpegMemorySource*>(info->src);
  if (!source->supplied) {
    source->supplied = true;
    source->pub.next_input_byte = source->data;
    source->pub.bytes_in_buffer = source->size;
    if (source->size > 0) return TRUE;
  }
  WARNMS(info, JWRN_JPEG_EOF);
  source->pub.next_input_byte = kEndOfImage;
  source->pub.bytes_in_buffer = sizeof(kEndOfImage);
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = info->src;
  if (static_cast<size_t>(count) >= source->bytes_in_buffer) {
    // Past the end: the next read gets the end-of-image marker.
    source->next_input_byte += source->bytes_in_buffer;
    source->bytes_in_buffer = 0;
    return;
  }
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<size_t>(count);
}

}  // namespace

void InstallJpegMemorySource(j_decompress_ptr info, const unsigned char* data, size_t size) {
  auto* source = static_cast<JpegMemorySource*>((*info->mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(JpegMemorySource)));
  source->pub.init_source = InitSource;
  source->pub.fill_input_buffer = FillInputBuffer;
  source->pub.skip_input_data = SkipInputData;
  source->pub.resync_to_restart = jpeg_resync_to_restart;
  source->pub.term_source = TermSource;
  source->pub.next_input_byte = nullptr;
  source->pub.bytes_in_buffer = 0;
  source->data = data;
  source->size = size;
  source->supplied = false;
  info->src = &source->pub;
}
