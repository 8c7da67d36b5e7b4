#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for SECONDS (default 60) on a copy
# of its seed corpus. Exits non-zero when any target finds a crash, a leak, a
# timeout or a broken invariant; the input that did it is kept under
# build-fuzz/artifacts/<target>/ and its path printed.
#   tools/fuzz.sh [SECONDS]
# AXLEWISE_FUZZ_BUILD_DIR chooses another build directory than build-fuzz.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
    echo "usage: tools/fuzz.sh [SECONDS]   (SECONDS: a whole number, at least 1)" >&2
    exit 2
fi
build="${AXLEWISE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(fuzz_readtruck fuzz_truckfile fuzz_pastedtext fuzz_editsession)
jobs="$(nproc)"

# clang and its sanitizer runtimes come with the project's other packages.
"$root/tools/install-deps.sh"

echo "== libFuzzer targets: build"
# The whole tree is instrumented, so that coverage guides the fuzzer through
# the project's libraries and the sanitizers watch them too; the targets add
# libFuzzer's main at link.
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DAXLEWISE_BUILD_FUZZ=ON -DAXLEWISE_BUILD_TESTS=OFF -DAXLEWISE_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer $sanitize" >/dev/null
for target in "${targets[@]}"; do
    cmake --build "$build" --target "$target" -j"$jobs"
done

# Corpora grow as the fuzzer finds new paths: they grow in a scratch copy,
# never in fuzz/corpus/.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
for target in "${targets[@]}"; do
    echo "== $target: ${seconds} s"
    mkdir -p "$work/$target" "$build/artifacts/$target"
    cp -R "$root/fuzz/corpus/$target/." "$work/$target/"
    if ! "$build/fuzz/$target" "$work/$target" \
        -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target/" \
        >"$work/$target.log" 2>&1; then
        # The report, without libFuzzer's progress lines.
        grep -v -E '^#[0-9]+' "$work/$target.log" | tail -n 80
        failed+=("$target")
    else
        grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' \
            "$work/$target.log" || true
    fi
done

passed=$((${#targets[@]} - ${#failed[@]}))
if ((${#failed[@]} > 0)); then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $build/artifacts/)" >&2
    echo "fuzz: $passed passed, ${#failed[@]} failed"
    exit 1
fi
echo "Fuzzing found nothing in ${#targets[@]} targets, ${seconds} s each."
echo "fuzz: $passed passed, 0 failed"
