#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them: bench/run.sh [FILTER]
# ORVALINE_BUILD_BENCH names the build folder (default build-bench); CMAKE_BUILD_PARALLEL_LEVEL
# limits the build jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
filtre=${1:-.}
construction=${ORVALINE_BUILD_BENCH:-build-bench}
if [ ! -f "$construction/build.ninja" ]; then
  cmake -S . -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALINE_TESTS=OFF >/dev/null
fi
# Only the benchmarks and what they link.
cibles=()
for src in bench/bench_*.cpp; do cibles+=("$(basename "$src" .cpp)"); done
cmake --build "$construction" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "${cibles[@]}"
for nom in "${cibles[@]}"; do
  b="$construction/bench/$nom"
  [ -x "$b" ] || continue
  QT_QPA_PLATFORM=offscreen ORVALINE_REGISTRE="$(mktemp -u)" "$b" --benchmark_filter="$filtre"
done
