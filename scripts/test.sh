#!/usr/bin/env bash
# Builds everything and runs every test: once with GCC at the normal flags, once
# with clang under AddressSanitizer and UndefinedBehaviorSanitizer (which also
# replays the fuzz targets' seed corpora).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

echo "== build (GCC, release)"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc \
  -DKELVANE_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs"
echo "== tests (GCC, release)"
ctest --test-dir build/release --output-on-failure -j "$jobs" --timeout 600

echo "== build (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_COMPILER=clang -DKELVANE_SANITIZE=ON -DKELVANE_WERROR=ON -DKELVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
echo "== tests (clang, sanitizers)"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs" --timeout 900

echo "== all tests passed"
