#!/usr/bin/env bash
# Builds and runs the whole test suite: a normal build, the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer,
# the decoder and journal-reader fuzz runs, and the format check.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh

generator=(-G Ninja)
build_root="${TULVEX_BUILD_ROOT:-build}"

stage() { printf '\n==== %s ====\n' "$1"; }

stage "format"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
if [ -n "$files" ]; then
    # shellcheck disable=SC2086
    clang-format --dry-run -Werror $files
fi

stage "normal build"
cmake -S . -B "$build_root/release" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_root/release"
ctest --test-dir "$build_root/release" --output-on-failure

stage "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B "$build_root/asan" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DTULVEX_SANITIZE_ADDRESS=ON -DTULVEX_BUILD_BENCH=OFF
cmake --build "$build_root/asan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build_root/asan" --output-on-failure

stage "ThreadSanitizer (threaded tests)"
cmake -S . -B "$build_root/tsan" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DTULVEX_SANITIZE_THREAD=ON -DTULVEX_BUILD_BENCH=OFF
cmake --build "$build_root/tsan"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir "$build_root/tsan" --output-on-failure -L threaded

stage "fuzz (libFuzzer, clang)"
CC=clang CXX=clang++ cmake -S . -B "$build_root/fuzz" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTULVEX_BUILD_FUZZ=ON -DTULVEX_BUILD_BENCH=OFF
cmake --build "$build_root/fuzz" --target zmf_fuzz zmf_seed_corpus journal_fuzz \
    journal_seed_corpus
ctest --test-dir "$build_root/fuzz" --output-on-failure -R '^(zmf|journal)_fuzz_run$'

stage "all test runs passed"
