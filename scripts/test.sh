#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite three
# ways: the plain build (with the browser tests, Playwright driving
# chromium), an AddressSanitizer/UndefinedBehaviorSanitizer build, and a
# short libFuzzer run of each parser (tests/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc)

echo "== format"
git ls-files '*.cpp' '*.h' ':!frame/res/*' | xargs clang-format --dry-run --Werror

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitizers (ASan, UBSan)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVX70_SANITIZE=ON -DVX70_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz the parsers"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVX70_FUZZ=ON -DVX70_TESTS=OFF -DVX70_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz --output-on-failure -j "$jobs" -R _fuzz
