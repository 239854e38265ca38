#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them: bench/run.sh [FILTER]
set -euo pipefail
cd "$(dirname "$0")/.."
filtre=${1:-.}
if [ ! -f build-bench/build.ninja ]; then
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALINE_TESTS=OFF >/dev/null
fi
cmake --build build-bench -j "$(nproc)"
for b in build-bench/bench/bench_*; do
  [ -x "$b" ] || continue
  QT_QPA_PLATFORM=offscreen ORVALINE_REGISTRE="$(mktemp -u)" "$b" --benchmark_filter="$filtre"
done
