#include "raster_threads.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "draw_context.h"
#include "draw_queue.h"

namespace d3d8pipe {

namespace {

class WorkerPool {
 public:
  explicit WorkerPool(int threads) : threadCount_(threads) {
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { Work(); });
  }

  ~WorkerPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      ++generation_;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
  }

  int ThreadCount() const { return threadCount_; }

  void Run(BandJob job, void* context, int bandCount) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = job;
      context_ = context;
      bandCount_ = bandCount;
      next_.store(0);
      open_ = true;
      ++generation_;
    }
    wake_.notify_all();
    Drain(job, context, bandCount);
    std::unique_lock<std::mutex> lock(mutex_);
    open_ = false;  // workers that wake from now on leave this draw alone
    done_.wait(lock, [this] { return active_ == 0; });
  }

 private:
  void Drain(BandJob job, void* context, int bandCount) {
    for (;;) {
      const int band = next_.fetch_add(1);
      if (band >= bandCount) return;
      job(context, band);
    }
  }

  void Work() {
    unsigned long long seen = 0;
    for (;;) {
      BandJob job;
      void* context;
      int bandCount;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return generation_ != seen; });
        seen = generation_;
        if (stopping_) return;
        // Nothing to do once the draw is over or every band is taken.
        if (!open_ || next_.load() >= bandCount_) continue;
        ++active_;
        job = job_;
        context = context_;
        bandCount = bandCount_;
      }
      Drain(job, context, bandCount);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        --active_;
      }
      done_.notify_one();
    }
  }

  const int threadCount_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  unsigned long long generation_ = 0;
  bool stopping_ = false;
  bool open_ = false;
  int active_ = 0;
  BandJob job_ = nullptr;
  void* context_ = nullptr;
  int bandCount_ = 0;
  std::atomic<int> next_{0};
};

std::mutex g_poolMutex;
std::unique_ptr<WorkerPool> g_pool;
std::atomic<int> g_requested{0};

int ResolvedThreadCount() {
  const int requested = g_requested.load();
  if (requested > 0) return requested;
  // Asking the system is slow (it reads a file): once is enough.
  static const int cores = [] {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n < 64 ? n : 64);
  }();
  return cores;
}

}  // namespace

void SetRasterizerThreadCount(UINT threads) {
  FlushQueue();
  g_requested.store(static_cast<int>(threads > 64 ? 64 : threads));
}

int RasterThreadCount() { return ResolvedThreadCount(); }

void RunBands(BandJob job, void* context, int bandCount) {
  // One draw at a time uses the pool; the runtime is used from one thread.
  std::lock_guard<std::mutex> lock(g_poolMutex);
  const int wanted = ResolvedThreadCount();
  if (wanted == 1) {
    for (int band = 0; band < bandCount; ++band) job(context, band);
    return;
  }
  if (!g_pool || g_pool->ThreadCount() != wanted) {
    g_pool.reset();
    g_pool = std::make_unique<WorkerPool>(wanted);
  }
  g_pool->Run(job, context, bandCount);
}

}  // namespace d3d8pipe
