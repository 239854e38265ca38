#!/usr/bin/env bash
# Builds every fuzz target with clang and libFuzzer (address and undefined-behaviour sanitizers)
# and runs each for SECONDS (default 60). Fails on a crash, a leak, an input that takes over a
# second, or an exception other than the readers' own errors.
set -euo pipefail
cd "$(dirname "$0")/.."
secondes=${1:-60}
if ! command -v clang++ >/dev/null || ! [ -d /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
drapeaux="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link -g -O1"
if [ ! -f build-fuzz/build.ninja ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DORVALINE_FUZZ=ON -DORVALINE_TESTS=OFF -DORVALINE_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$drapeaux" >/dev/null
fi
cmake --build build-fuzz -j "$(nproc)"
echec=0
for src in fuzz/fuzz_*.cpp; do
  nom=$(basename "$src" .cpp)
  corpus=fuzz/corpus/${nom#fuzz_}
  travail=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$travail"/ 2>/dev/null || true
  echo "== $nom ($secondes s)"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1 QT_QPA_PLATFORM=offscreen \
       ORVALINE_REGISTRE="$travail/reglages.ini" \
       "build-fuzz/fuzz/$nom" -max_total_time="$secondes" -timeout=1 -rss_limit_mb=2048 \
       -artifact_prefix="build-fuzz/$nom-" "$travail" > "build-fuzz/$nom.log" 2>&1; then
    echo "ÉCHEC : $nom (voir build-fuzz/$nom.log)"; tail -40 "build-fuzz/$nom.log"; echec=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "build-fuzz/$nom.log" | tail -1 || true
  fi
  rm -rf "$travail"
done
exit $echec
