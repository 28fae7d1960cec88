// A libjpeg source manager over a file image already in memory.
#pragma once

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

// Installs the source on `info` (allocated from the library's permanent pool,
// so jpeg_destroy frees it). The whole image is offered on the first request;
// a request after the end gets an end-of-image marker, so a truncated file
// ends as a short one instead of being read again from its start. Skips never
// move outside the image.
void InstallJpegMemorySource(j_decompress_ptr info, const unsigned char* data, size_t size);
