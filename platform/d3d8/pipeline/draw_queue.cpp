#include "draw_queue.h"

#include <immintrin.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "raster_threads.h"

namespace d3d8pipe {

namespace {

constexpr int kBandRows = 32;
constexpr int kMaxBands = 256;  // the last band takes every row below it too
constexpr uint64_t kWorkSlots = 256;
constexpr size_t kArenaPrimitives = 4096;
constexpr size_t kChunkPrimitives = kArenaPrimitives / 4;  // larger draws are queued in pieces
constexpr DWORD kMaxClearRects = 16;
// How long an idle worker keeps looking for work before it sleeps: the next
// draw of a frame usually comes within this time, and waking a sleeping thread
// costs far more on a busy machine.
constexpr auto kSpinTime = std::chrono::microseconds(50);

std::atomic<bool> g_hold{false};  // see TestHoldQueuedWork

// Set on the workers, and on the calling thread while it draws queued work.
thread_local bool t_drawingQueuedWork = false;

struct DrawingScope {
  bool saved = t_drawingQueuedWork;
  DrawingScope() { t_drawingQueuedWork = true; }
  ~DrawingScope() { t_drawingQueuedWork = saved; }
};

// One queued draw or clear.
struct Work {
  bool isClear = false;
  int firstRow = 0, lastRow = -1;
  // A draw: primitives first..first+count-1 of the arena.
  PixelShader shader;
  SpanFunction span = nullptr;
  size_t first = 0, count = 0;
  TextureView textures[kD3DTextureStageCount];
  // A clear.
  SurfaceView target, depth;
  D3DVIEWPORT8 viewport{};
  DWORD rectCount = 0;
  D3DRECT rects[kMaxClearRects] = {};
  DWORD flags = 0;
  D3DCOLOR color = 0;
  float z = 0.0f;
  DWORD stencil = 0;
};

struct alignas(64) Band {
  std::atomic<uint64_t> done{0};  // work numbered below this is drawn in the band
  std::atomic<bool> busy{false};  // a thread is drawing the band
};

struct RowRange {
  int first, last;
};

int BandOf(int row) { return std::clamp(row / kBandRows, 0, kMaxBands - 1); }

// Memory a surface view covers (every row a whole pitch: an upper bound).
struct MemoryRange {
  const BYTE* begin = nullptr;
  const BYTE* end = nullptr;
  bool Overlaps(const MemoryRange& other) const {
    return begin != nullptr && other.begin != nullptr && begin < other.end && other.begin < end;
  }
};

MemoryRange RangeOf(const SurfaceView& view) {
  if (view.bits == nullptr || view.pitch <= 0) return {};
  const BYTE* b = static_cast<const BYTE*>(view.bits);
  return {b, b + static_cast<size_t>(view.pitch) * view.height};
}

void Pause(int round) {
  if (round < 64) {
    _mm_pause();
  } else {
    sched_yield();
  }
}

class DrawQueue {
 public:
  explicit DrawQueue(int threads)
      : threads_(threads),
        works_(kWorkSlots),
        arena_(new RasterPrimitive[kArenaPrimitives]),
        rows_(new RowRange[kArenaPrimitives]),
        bands_(new Band[kMaxBands]) {}

  // The calling thread is one of the threads that draw.
  void StartWorkers() {
    workers_.reserve(static_cast<size_t>(threads_ - 1));
    for (int i = 1; i < threads_; ++i) workers_.emplace_back([this, i] { WorkerLoop(i); });
  }

  ~DrawQueue() {
    Flush();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      stoppingFlag_.store(true);
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
  }

  int Threads() const { return threads_; }

  bool Draw(const DrawContext& context, const PixelShader& shader, SpanFunction span, const RasterPrimitive* primitives,
            size_t count) {
    const MemoryRange target = RangeOf(context.renderTarget);
    const MemoryRange depth = shader.depth.bits != nullptr ? RangeOf(context.depth) : MemoryRange{};
    for (int s = 0; s < shader.stageCount; ++s) {
      if (!shader.sampled[s]) continue;
      const TextureView& t = *shader.samplers[s].texture;
      for (UINT l = 0; l < t.levelCount && l < kMaxTextureLevels; ++l) {
        const MemoryRange level = RangeOf(t.levels[l]);
        if (level.Overlaps(target) || level.Overlaps(depth) || level.Overlaps(target_) || level.Overlaps(depth_)) {
          Flush();
          return false;
        }
      }
    }
    UseSurfaces(target, depth);
    while (count > 0) {
      const size_t n = std::min(count, kChunkPrimitives);
      Work& w = FreeWork();
      const size_t at = ReservePrimitives(n);
      std::memcpy(static_cast<void*>(arena_.get() + at), primitives, n * sizeof(RasterPrimitive));
      for (size_t i = 0; i < n; ++i) rows_[at + i] = {primitives[i].minY, primitives[i].maxY};
      w.isClear = false;
      w.first = at;
      w.count = n;
      w.span = span;
      w.shader = shader;
      for (int s = 0; s < static_cast<int>(kD3DTextureStageCount); ++s) {
        if (s < shader.stageCount && shader.sampled[s]) {
          w.textures[s] = *shader.samplers[s].texture;
          w.shader.samplers[s].texture = &w.textures[s];
        } else {
          w.shader.samplers[s].texture = nullptr;
        }
      }
      int firstRow = INT_MAX, lastRow = INT_MIN;
      for (size_t i = 0; i < n; ++i) {
        firstRow = std::min(firstRow, primitives[i].minY);
        lastRow = std::max(lastRow, primitives[i].maxY);
      }
      w.firstRow = firstRow;
      w.lastRow = lastRow;
      arenaHead_ = at + n;
      Publish(w);
      primitives += n;
      count -= n;
    }
    return true;
  }

  bool Clear(const DrawContext& context, DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
             DWORD stencil) {
    if (rectCount > kMaxClearRects) {
      Flush();
      return false;
    }
    const D3DVIEWPORT8& vp = context.viewport;
    if (vp.Width == 0 || vp.Height == 0) return true;  // nothing to clear
    const bool clearTarget = (flags & D3DCLEAR_TARGET) != 0;
    const bool clearDepth = (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0;
    UseSurfaces(clearTarget ? RangeOf(context.renderTarget) : MemoryRange{}, clearDepth ? RangeOf(context.depth) : MemoryRange{});
    Work& w = FreeWork();
    w.isClear = true;
    w.count = 0;
    w.target = context.renderTarget;
    w.depth = context.depth;
    w.viewport = vp;
    w.rectCount = rectCount;
    if (rectCount != 0) std::copy(rects, rects + rectCount, w.rects);
    w.flags = flags;
    w.color = color;
    w.z = z;
    w.stencil = stencil;
    w.firstRow = static_cast<int>(std::min<DWORD>(vp.Y, INT_MAX));
    w.lastRow = static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(vp.Y) + vp.Height - 1, INT_MAX));
    Publish(w);
    return true;
  }

  void Flush() {
    DrawingScope scope;
    for (int round = 0;;) {
      if (DrawSomeBand(0)) {
        round = 0;
        continue;
      }
      if (AllDrawn()) break;
      Pause(round++);
    }
    tail_ = head_;
    arenaHead_ = 0;
    target_ = depth_ = MemoryRange{};
  }

 private:
  // The surfaces the queued work draws to; work for other ones waits for a flush.
  void UseSurfaces(const MemoryRange& target, const MemoryRange& depth) {
    const auto conflicts = [](const MemoryRange& queued, const MemoryRange& next) {
      return queued.begin != nullptr && next.begin != nullptr && (queued.begin != next.begin || queued.end != next.end);
    };
    if (conflicts(target_, target) || conflicts(depth_, depth) || target.Overlaps(depth_) || depth.Overlaps(target_))
      Flush();
    if (target.begin != nullptr) target_ = target;
    if (depth.begin != nullptr) depth_ = depth;
  }

  // ---- calling thread ----
  Work& FreeWork() {
    for (int round = 0; head_ - tail_ >= kWorkSlots; ++round) {
      Reclaim();
      if (head_ - tail_ < kWorkSlots) break;
      Help(round);
    }
    return works_[head_ % kWorkSlots];
  }

  // Start of n free primitives in the arena (n <= kChunkPrimitives).
  size_t ReservePrimitives(size_t n) {
    for (int round = 0;; ++round) {
      Reclaim();
      const Work* oldest = nullptr;
      for (uint64_t s = tail_; s < head_ && oldest == nullptr; ++s) {
        const Work& w = works_[s % kWorkSlots];
        if (!w.isClear && w.count != 0) oldest = &w;
      }
      if (oldest == nullptr) return 0;
      const size_t used = oldest->first;
      if (arenaHead_ > used) {  // in use: used..arenaHead_-1
        if (kArenaPrimitives - arenaHead_ >= n) return arenaHead_;
        if (used >= n) return 0;
      } else if (arenaHead_ < used) {  // in use: used..end and 0..arenaHead_-1
        if (used - arenaHead_ >= n) return arenaHead_;
      }
      Help(round);
    }
  }

  // Work below the lowest band's progress is drawn everywhere: its slot is free.
  void Reclaim() {
    const int limit = bandLimit_.load(std::memory_order_relaxed);
    uint64_t lowest = head_;
    for (int b = 0; b < limit; ++b) lowest = std::min(lowest, bands_[b].done.load(std::memory_order_acquire));
    tail_ = lowest;
  }

  void Help(int round) {
    DrawingScope scope;
    if (!DrawSomeBand(0)) Pause(round);
  }

  void Publish(const Work& w) {
    const int last = BandOf(w.lastRow);
    const int limit = bandLimit_.load(std::memory_order_relaxed);
    if (last >= limit) {
      // New bands have no earlier work to draw.
      for (int b = limit; b <= last; ++b) bands_[b].done.store(head_, std::memory_order_relaxed);
      bandLimit_.store(last + 1, std::memory_order_release);
    }
    ++head_;
    published_.store(head_, std::memory_order_seq_cst);
    // One wake-up per sleep: a woken thread takes a while to run, and the
    // draws published meanwhile need no further call into the system.
    if (sleepers_.load(std::memory_order_seq_cst) > 0 && !wakePending_.exchange(true)) {
      { std::lock_guard<std::mutex> lock(mutex_); }
      wake_.notify_all();
    }
  }

  bool AllDrawn() const {
    const int limit = bandLimit_.load(std::memory_order_relaxed);
    for (int b = 0; b < limit; ++b)
      if (bands_[b].done.load(std::memory_order_acquire) != head_) return false;
    return true;
  }

  // ---- every thread ----
  // Takes one band that has work waiting and draws all of it; false when none.
  bool DrawSomeBand(int start) {
    const int limit = bandLimit_.load(std::memory_order_acquire);
    const uint64_t published = published_.load(std::memory_order_acquire);
    for (int i = 0; i < limit; ++i) {
      const int b = (start + i) % limit;
      Band& band = bands_[b];
      if (band.done.load(std::memory_order_relaxed) >= published || band.busy.load(std::memory_order_relaxed))
        continue;
      if (band.busy.exchange(true, std::memory_order_acquire)) continue;
      uint64_t next = band.done.load(std::memory_order_relaxed);
      const uint64_t end = published_.load(std::memory_order_acquire);
      for (; next < end; ++next) DrawBand(works_[next % kWorkSlots], b);
      band.done.store(next, std::memory_order_release);
      band.busy.store(false, std::memory_order_release);
      return true;
    }
    return false;
  }

  bool HasWork() const {
    const int limit = bandLimit_.load(std::memory_order_acquire);
    const uint64_t published = published_.load(std::memory_order_seq_cst);
    for (int b = 0; b < limit; ++b)
      if (bands_[b].done.load(std::memory_order_relaxed) < published && !bands_[b].busy.load(std::memory_order_relaxed))
        return true;
    return false;
  }

  void DrawBand(const Work& w, int band) const {
    const int first = band * kBandRows;
    const int last = band == kMaxBands - 1 ? INT_MAX : first + kBandRows - 1;
    if (w.lastRow < first || w.firstRow > last) return;
    if (!w.isClear) {
      RowBands rows;
      rows.firstRow = first;
      rows.lastRow = last;
      // The rows of each primitive lie apart from the large records: most
      // primitives miss the band, and finding that out reads 8 bytes, not 400.
      for (size_t i = w.first; i < w.first + w.count; ++i) {
        if (rows_[i].last < first || rows_[i].first > last) continue;
        RasterizePrimitive(arena_[i], rows, w.span, &w.shader);
      }
      return;
    }
    // The clear limited to the band's rows through the viewport it is clipped to.
    DrawContext context;
    context.renderTarget = w.target;
    context.depth = w.depth;
    context.viewport = w.viewport;
    const int64_t top = std::max<int64_t>(w.viewport.Y, first);
    const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(w.viewport.Y) + w.viewport.Height,
                                             static_cast<int64_t>(last) + 1);
    if (top >= bottom) return;
    context.viewport.Y = static_cast<DWORD>(top);
    context.viewport.Height = static_cast<DWORD>(bottom - top);
    ClearSurfaces(context, w.rectCount, w.rectCount != 0 ? w.rects : nullptr, w.flags, w.color, w.z, w.stencil);
  }

  void WorkerLoop(int index) {
    t_drawingQueuedWork = true;
    const int start = index * 5;  // threads start looking at different bands
    for (;;) {
      const bool held = g_hold.load(std::memory_order_relaxed);
      if (!held && DrawSomeBand(start)) continue;
      const auto until = std::chrono::steady_clock::now() + kSpinTime;
      bool found = false;
      while (!found && std::chrono::steady_clock::now() < until) {
        for (int i = 0; i < 16; ++i) _mm_pause();
        found = (!held && HasWork()) || stoppingFlag_.load(std::memory_order_relaxed);
      }
      if (found && !stoppingFlag_.load(std::memory_order_relaxed)) continue;
      std::unique_lock<std::mutex> lock(mutex_);
      sleepers_.fetch_add(1, std::memory_order_seq_cst);
      wake_.wait(lock, [this] { return stopping_ || (!g_hold.load(std::memory_order_relaxed) && HasWork()); });
      sleepers_.fetch_sub(1, std::memory_order_seq_cst);
      wakePending_.store(false);
      if (stopping_) return;
    }
  }

  const int threads_;
  std::vector<Work> works_;
  std::unique_ptr<RasterPrimitive[]> arena_;
  std::unique_ptr<RowRange[]> rows_;  // rows of each primitive of the arena
  std::unique_ptr<Band[]> bands_;
  std::atomic<int> bandLimit_{0};
  std::atomic<uint64_t> published_{0};

  // Calling thread only.
  uint64_t head_ = 0;  // number of the next work
  uint64_t tail_ = 0;  // oldest work that may still be drawn somewhere
  size_t arenaHead_ = 0;
  MemoryRange target_, depth_;

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<int> sleepers_{0};
  std::atomic<bool> wakePending_{false};
  bool stopping_ = false;
  std::atomic<bool> stoppingFlag_{false};
};

std::mutex g_queueMutex;
std::unique_ptr<DrawQueue> g_queue;
std::atomic<bool> g_queued{false};

// The queue for the current thread count; null when it cannot be had (no
// memory or no threads), and the caller then draws at once.
DrawQueue* Queue() {
  const int threads = RasterThreadCount();
  if (!g_queue || g_queue->Threads() != threads) {
    g_queue.reset();
    try {
      auto queue = std::make_unique<DrawQueue>(threads);
      queue->StartWorkers();  // on failure the queue ends the workers it started
      g_queue = std::move(queue);
    } catch (...) {
    }
  }
  return g_queue.get();
}

}  // namespace

bool QueueActive() { return g_queued.load(std::memory_order_relaxed) && RasterThreadCount() > 1; }

bool QueueDraw(const DrawContext& context, const PixelShader& shader, SpanFunction span,
               const RasterPrimitive* primitives, size_t count) {
  std::lock_guard<std::mutex> lock(g_queueMutex);
  DrawQueue* queue = Queue();
  return queue != nullptr && queue->Draw(context, shader, span, primitives, count);
}

bool QueueClear(const DrawContext& context, DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                float z, DWORD stencil) {
  if (t_drawingQueuedWork) return false;
  std::lock_guard<std::mutex> lock(g_queueMutex);
  if (!QueueActive()) {
    if (g_queue) g_queue->Flush();
    return false;
  }
  DrawQueue* queue = Queue();
  return queue != nullptr && queue->Clear(context, rectCount, rects, flags, color, z, stencil);
}

void FlushQueue() {
  std::lock_guard<std::mutex> lock(g_queueMutex);
  if (g_queue) g_queue->Flush();
}

void SetQueuedRasterization(bool on) {
  FlushQueue();
  g_queued.store(on);
}

void FlushRasterizer() { FlushQueue(); }

void TestHoldQueuedWork(bool hold) { g_hold.store(hold); }

}  // namespace d3d8pipe
