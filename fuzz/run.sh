#!/usr/bin/env bash
# Builds the fuzz targets (if needed) and runs one of them, or all in turn, for a time.
#
#   fuzz/run.sh TARGET SECONDS [extra libFuzzer flags]    TARGET: csv xlsx address pipeline
#   fuzz/run.sh all SECONDS                                each target for SECONDS
#   fuzz/run.sh build                                      only build
#
# Needs clang 15 or later (std::source_location) with libFuzzer: clang-16 and
# libclang-rt-16-dev from Debian. The build lives in build-fuzz/ (FUZZ_BUILD overrides).
# Each run starts from the seed corpus fuzz/corpus/TARGET and keeps what it learns in
# build-fuzz/corpus/TARGET; findings (crash-*, leak-*, timeout-*, oom-*) land in
# build-fuzz/findings/TARGET. One process, a 10 s timeout per input and 2 GB of
# memory, so the run shares a small machine with other builds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD:-$root/build-fuzz}"
targets=(csv xlsx address pipeline)

find_clang() {
  for v in 19 18 17 16 15; do
    if command -v "clang++-$v" >/dev/null; then echo "$v"; return; fi
  done
  echo "fuzz/run.sh: needs clang++-15 or later with libFuzzer (apt-get install clang-16 libclang-rt-16-dev)" >&2
  exit 2
}

build_targets() {
  mkdir -p "$build"
  # Two runs started together build one at a time.
  exec 9>"$build/.build-lock"
  flock 9
  if [[ ! -f "$build/build.ninja" ]]; then
    local v
    v="$(find_clang)"
    CC="clang-$v" CXX="clang++-$v" cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build" -j "${FUZZ_JOBS:-2}"
  flock -u 9
}

run_target() {
  local name="$1" seconds="$2"
  shift 2
  local corpus="$build/corpus/$name" findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  local dict=()
  [[ -f "$root/fuzz/$name.dict" ]] && dict=(-dict="$root/fuzz/$name.dict")
  echo "== fuzz_$name for ${seconds}s"
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}" \
  UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
    "$build/fuzz_$name" "$corpus" "$root/fuzz/corpus/$name" "${dict[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$@"
}

case "${1:-}" in
  build) build_targets ;;
  all)
    build_targets
    for t in "${targets[@]}"; do run_target "$t" "${2:?seconds}"; done
    ;;
  csv | xlsx | address | pipeline)
    build_targets
    t="$1"
    seconds="${2:?seconds}"
    shift 2
    run_target "$t" "$seconds" "$@"
    ;;
  *)
    echo "usage: fuzz/run.sh csv|xlsx|address|pipeline|all SECONDS [libFuzzer flags] | build" >&2
    exit 2
    ;;
esac
