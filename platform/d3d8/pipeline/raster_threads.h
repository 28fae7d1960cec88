// A small pool of persistent worker threads that rasterize one draw's rows in
// interleaved bands. The calling thread takes part, so a pool of n threads
// starts n - 1 workers.
#pragma once

namespace d3d8pipe {

using BandJob = void (*)(void* context, int band, int bandCount);

// Number of threads a draw may use (at least 1).
int RasterThreadCount();

// Runs job(context, i, count) for i in 0..count-1, count = RasterThreadCount(),
// and returns when all have finished.
void RunBands(BandJob job, void* context);

}  // namespace d3d8pipe
