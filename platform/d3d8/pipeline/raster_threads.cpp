#include "raster_threads.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "draw_context.h"

namespace d3d8pipe {

namespace {

class WorkerPool {
 public:
  explicit WorkerPool(int threads) : threadCount_(threads) {
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this, i] { Work(i); });
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

  void Run(BandJob job, void* context) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = job;
      context_ = context;
      pending_ = threadCount_ - 1;
      ++generation_;
    }
    wake_.notify_all();
    job(context, 0, threadCount_);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
  }

 private:
  void Work(int index) {
    unsigned long long seen = 0;
    for (;;) {
      BandJob job;
      void* context;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return generation_ != seen; });
        seen = generation_;
        if (stopping_) return;
        job = job_;
        context = context_;
      }
      job(context, index, threadCount_);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        --pending_;
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
  BandJob job_ = nullptr;
  void* context_ = nullptr;
  int pending_ = 0;
};

std::mutex g_poolMutex;
std::unique_ptr<WorkerPool> g_pool;
std::atomic<int> g_requested{0};

int ResolvedThreadCount() {
  const int requested = g_requested.load();
  if (requested > 0) return requested;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores < 64 ? cores : 64);
}

WorkerPool& Pool() {
  const int wanted = ResolvedThreadCount();
  if (!g_pool || g_pool->ThreadCount() != wanted) {
    g_pool.reset();
    g_pool = std::make_unique<WorkerPool>(wanted);
  }
  return *g_pool;
}

}  // namespace

void SetRasterizerThreadCount(UINT threads) {
  g_requested.store(static_cast<int>(threads > 64 ? 64 : threads));
}

int RasterThreadCount() { return ResolvedThreadCount(); }

void RunBands(BandJob job, void* context) {
  // One draw at a time uses the pool; the runtime is used from one thread.
  std::lock_guard<std::mutex> lock(g_poolMutex);
  WorkerPool& pool = Pool();
  if (pool.ThreadCount() == 1) {
    job(context, 0, 1);
    return;
  }
  pool.Run(job, context);
}

}  // namespace d3d8pipe
