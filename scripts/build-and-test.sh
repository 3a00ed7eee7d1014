#!/usr/bin/env bash
# Installs what is missing, builds Kelvara and runs the whole test suite.
#   scripts/build-and-test.sh                 release build in build/
#   scripts/build-and-test.sh --sanitize      AddressSanitizer + UBSan build in build-asan/
#   scripts/build-and-test.sh --tsan          ThreadSanitizer build with clang 16 in build-tsan/
# Extra arguments after "--" go to ctest (for example: -- -L commands).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
deps_args=()
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
ctest_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --sanitize) build=build-asan; cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DKELVARA_SANITIZE=ON -DKELVARA_BUILD_BENCH=OFF) ;;
        --tsan) build=build-tsan; deps_args=(--tsan)
            cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DKELVARA_TSAN=ON -DKELVARA_BUILD_BENCH=OFF
                        -DCMAKE_C_COMPILER=clang-16 -DCMAKE_CXX_COMPILER=clang++-16) ;;
        --) shift; ctest_args=("$@"); break ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done

jobs=${JOBS:-$(nproc)}
scripts/install-deps.sh "${deps_args[@]}"
cmake -S . -B "$build" -G Ninja "${cmake_args[@]}"
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs" "${ctest_args[@]}"
