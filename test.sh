#!/usr/bin/env bash
# Installs what is missing, builds and runs every test in a build with AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/install-deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

# Every C++ file follows the repository's .clang-format.
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "Some files are not formatted: run clang-format -i on them." >&2
    exit 1
fi

# One build runs every test: Debug, warnings as errors, with AddressSanitizer (leaks included)
# and UndefinedBehaviorSanitizer. The benchmarks are compiled too, so that they keep building;
# they are run by hand. Ninja checks a built tree in a second where make took half a minute (the
# package test builds the tree again); line tables only (-g1) are all a sanitizer's report needs
# and make every object a third cheaper to compile.
if [[ -f build-test/CMakeCache.txt ]] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build-test/CMakeCache.txt; then
    rm -rf build-test # made by another generator
fi
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DKX47_SANITIZE=ON -DKX47_BUILD_BENCH=ON
cmake --build build-test -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-test --output-on-failure -j"$jobs"
echo "All tests passed."
