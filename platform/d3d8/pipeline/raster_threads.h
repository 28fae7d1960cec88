// A small pool of persistent worker threads that rasterize one draw's bands
// of rows. Bands are claimed one at a time from a shared counter, and the
// calling thread takes part: a worker that is slow to wake (on a busy machine)
// finds the bands already taken instead of holding the draw up.
#pragma once

namespace d3d8pipe {

using BandJob = void (*)(void* context, int band);

// Number of threads a draw may use (at least 1).
int RasterThreadCount();

// Runs job(context, band) once for every band in 0..bandCount-1 and returns
// when all have finished.
void RunBands(BandJob job, void* context, int bandCount);

}  // namespace d3d8pipe
