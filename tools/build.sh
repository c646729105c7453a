#!/usr/bin/env bash
# Configures and builds one configuration: native (tests, Quorvel.so, with
# address and undefined-behaviour sanitizers), tsan (the same under the
# thread sanitizer), windows (Quorvel.dll and the Wine-run tests), windows32
# (Quorvel32.dll only, for 32-bit hosts), release (native, optimised, no
# sanitizers: benchmarks and real hosts) or fuzz (clang, the libFuzzer
# targets of tests/fuzz under address and undefined-behaviour sanitizers).
# Targets after the configuration limit the build to them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
config="${1:?usage: build.sh native|tsan|windows|windows32|release|fuzz [TARGET...]}"
shift
build="$root/build/$config"
case "$config" in
  native)  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DQUORVEL_SANITIZE=${QUORVEL_SANITIZE-address,undefined}") ;;
  release) args=(-DCMAKE_BUILD_TYPE=Release -DQUORVEL_SANITIZE=) ;;
  tsan)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=thread -DQUORVEL_BENCHMARKS=OFF) ;;
  windows) args=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64-x86_64.cmake") ;;
  fuzz)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                 -DQUORVEL_SANITIZE=address,undefined -DQUORVEL_FUZZ=ON -DQUORVEL_BENCHMARKS=OFF) ;;
  windows32) args=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64-i686.cmake") ;;
  *) echo "unknown configuration $config" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$build" -G Ninja "${args[@]}" >/dev/null
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
# The 32-bit build serves real hosts only; its tests would need a 32-bit Wine.
[ "$config" != windows32 ] || [ $# -gt 0 ] || targets=(--target Quorvel)
# The fuzz configuration exists for its fuzzers alone.
[ "$config" != fuzz ] || [ $# -gt 0 ] || targets=(--target fuzz_targets)
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
