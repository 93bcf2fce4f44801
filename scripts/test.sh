#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test in a normal build; then the
# sanitizers on the code they guard: AddressSanitizer + UndefinedBehaviorSanitizer at -O1
# on the test suites, ThreadSanitizer on the threaded engine tests. The benchmarks are
# not part of the test build (configure with -DDEZ_BENCH=ON to build them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
jobs=$(nproc)

# The tests run on the build users install (scripts/run-example.sh shares its folder).
# Debug information would be most of the compile time and serves no test run: the normal
# build goes without it, the sanitizer builds keep line tables for their reports.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEZ_TESTS=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure --no-tests=error -j "$jobs"

# Under the sanitizers, LibreOffice's and openpyxl's readings of a written workbook check
# nothing more than in the normal build, at many times the cost.
outside='LibreOffice|Openpyxl'

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DDEZ_SANITIZE=ON
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir build/asan --output-on-failure --no-tests=error -j "$jobs" -E "$outside"

# The matrix builders, the agglomeration's first fill and the cophenetic correlation share
# their rows among threads (engine/parallel_rows.h); the engine tests run them with one to
# several threads. Under ThreadSanitizer: the builders' and the cophenetic tests, and one
# family of random matrices per method and orientation (the others differ in values only).
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -g1" \
  "-DCMAKE_CXX_FLAGS=-fsanitize=thread -fno-omit-frame-pointer" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread"
cmake --build build/tsan -j "$jobs" --target test_engine
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build/tsan/tests/engine/test_engine --gtest_brief=1 \
  --gtest_filter='Measures.*:Cophenetic*:*_Reals'
  
