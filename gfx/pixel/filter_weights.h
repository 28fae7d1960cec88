// Per-axis resampling weights of the linear and triangle filters.
#pragma once

#include <cstdint>
#include <memory>

// One destination index along one axis of the linear filter.
struct LinearTap {
  int32_t index0;
  float weight0;
  int32_t index1;
  float weight1;
};

// Taps for destination size n from source size m; null when memory is short.
// Samples sit at k * m / n - 0.5 (not centred); beyond an edge they wrap to
// the opposite edge or take the edge pixel.
std::unique_ptr<LinearTap[]> BuildLinearTaps(uint32_t n, uint32_t m, bool wrap);

// The triangle (tent) filter's weights along one axis, one allocation of
// 32-bit words: the total byte size (itself included), then per source index
// a record of its byte size (4 + 8 * pairs) followed by (destination index,
// float weight) pairs.
union WeightWord {
  uint32_t bytes;   // size words
  uint32_t index;   // first word of a pair
  float weight;     // second word of a pair
};
static_assert(sizeof(WeightWord) == 4);

class TriangleWeights {
 public:
  // Builds the list for source size m and destination size n; false when
  // memory is short.
  bool Build(uint32_t m, uint32_t n, bool wrap);

  const WeightWord* data() const { return words_.get(); }
  uint32_t totalBytes() const { return words_ ? words_[0].bytes : 0; }

  // Walks the records in source order: pairs[2 * i].index, pairs[2 * i + 1].weight.
  class Cursor {
   public:
    explicit Cursor(const WeightWord* words) : next_(words + 1) {}
    void Next(const WeightWord*& pairs, uint32_t& count) {
      const uint32_t bytes = next_->bytes;
      count = (bytes - 4) / 8;
      pairs = next_ + 1;
      next_ += bytes / 4;
    }

   private:
    const WeightWord* next_;
  };
  Cursor Begin() const { return Cursor(words_.get()); }

 private:
  std::unique_ptr<WeightWord[]> words_;
};
