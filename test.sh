#!/usr/bin/env bash
# Builds Axlewise and runs every test through ctest, then builds and runs them
# again with AddressSanitizer and UndefinedBehaviorSanitizer, and finally runs
# each libFuzzer target for a few seconds. Any failure, sanitizer report or
# fuzzer finding fails the run.   ./test.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
jobs="$(nproc)"

"$root/tools/install-deps.sh"

export QT_QPA_PLATFORM=offscreen

echo "== Release build and tests"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build and tests"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug \
    -DAXLEWISE_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
# Leaks inside system libraries (fontconfig and the like) are not ours; the
# suppressions file names those libraries only.
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
    ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs"

# The libFuzzer targets (tools/fuzz.sh), built and run a few seconds each.
if command -v clang++ >/dev/null 2>&1; then
    echo "== libFuzzer targets"
    "$root/tools/fuzz.sh" 5
fi
