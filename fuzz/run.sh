#!/usr/bin/env bash
# Builds every fuzz target with clang and libFuzzer (address and undefined-behaviour sanitizers)
# and runs each for SECONDS (default 60): fuzz/run.sh [SECONDS] [TARGET...]
# (TARGET: fuzz_natif, or natif; all targets when none is named). Fails on a crash, a leak, an
# input that takes over ten seconds (a hang: on a loaded machine a sanitized input may take a few
# hundred milliseconds), or an exception other than the readers' own errors.
# ORVALINE_BUILD_FUZZ names the build folder (default build-fuzz); CMAKE_BUILD_PARALLEL_LEVEL
# limits the build jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
secondes=${1:-60}
shift $(($# > 0 ? 1 : 0))
construction=${ORVALINE_BUILD_FUZZ:-build-fuzz}
if ! command -v clang++ >/dev/null || ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
drapeaux="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link -g -O1"
if [ ! -f "$construction/build.ninja" ]; then
  cmake -S . -B "$construction" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DORVALINE_FUZZ=ON -DORVALINE_TESTS=OFF -DORVALINE_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$drapeaux" >/dev/null
fi
cibles=()
if [ $# -gt 0 ]; then
  for c in "$@"; do cibles+=("fuzz_${c#fuzz_}"); done
else
  for src in fuzz/fuzz_*.cpp; do cibles+=("$(basename "$src" .cpp)"); done
fi
# Only the fuzz targets and what they link: the programs with windows are not needed here.
cmake --build "$construction" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "${cibles[@]}"
echec=0
for nom in "${cibles[@]}"; do
  corpus=fuzz/corpus/${nom#fuzz_}
  travail=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$travail"/ 2>/dev/null || true
  echo "== $nom ($secondes s)"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
       ORVALINE_REGISTRE="$travail/reglages.ini" \
       "$construction/fuzz/$nom" -max_total_time="$secondes" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$construction/$nom-" "$travail" > "$construction/$nom.log" 2>&1; then
    echo "ÉCHEC : $nom (voir $construction/$nom.log)"; tail -40 "$construction/$nom.log"; echec=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$construction/$nom.log" | tail -1 || true
  fi
  rm -rf "$travail"
done
exit $echec
