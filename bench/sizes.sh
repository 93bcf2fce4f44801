#!/usr/bin/env bash
# hcluster at the top of its range, one large process at a time:
#   1. n = 16,384 items x 16 variables, --json --no-matrix: the whole command against the
#      engine's Analyse alone on the same values (peer_driver, group average); the
#      command's peak memory against 8n² bytes (one n x n matrix of doubles);
#   2. -o at n = 8,000 x 16 with and without --no-matrix: time, peak memory, workbook size;
#   3. JSON writing: n = 4,000 x 16 with the matrix; MB/s = bytes written / (the command's
#      time - Analyse alone).
# Times and peaks come from /usr/bin/time -v. Run from anywhere: bash bench/sizes.sh
# (BUILD_DIR names a build folder with hcluster and peer_driver; default build/bench).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build/bench}"
if [[ -z "${BUILD_DIR:-}" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEZ_BENCH=ON -DDEZ_TESTS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" --target hcluster peer_driver >/dev/null
fi
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# data N: N x 16 Gaussian values as CSV and as peer_driver's binary file, the same doubles.
data() {
  python3 - "$1" "$tmp/d$1" <<'PY'
import random, struct, sys
n, stem = int(sys.argv[1]), sys.argv[2]
random.seed(n)
rows = [[float(f"{random.gauss(0, 1):.6f}") for _ in range(16)] for _ in range(n)]
with open(stem + ".csv", "w") as f:
    for r in rows:
        f.write(",".join(f"{v:.6f}" for v in r) + "\n")
with open(stem + ".bin", "wb") as f:
    f.write(struct.pack("<qq", n, 16))
    for r in rows:
        f.write(struct.pack("<16d", *r))
PY
}

# measure LABEL COMMAND...: prints "LABEL: wall s, cpu s, peak MB" and leaves them in
# $secs, $cpu, $peak (CPU time is the steadier figure on a shared machine).
measure() {
  local label="$1"
  shift
  /usr/bin/time -v -o "$tmp/time" "$@" >/dev/null
  secs=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$tmp/time")
  cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$tmp/time")
  peak=$(awk -F': ' '/Maximum resident set size/ {printf "%.0f", $2 / 1024}' "$tmp/time")
  echo "$label: ${secs} s wall, ${cpu} s CPU, peak ${peak} MB"
}

# analyse N: the engine's Analyse alone on data N, in the same terms (its peak is the
# driver's whole process).
analyse() {
  measure "engine Analyse alone, n = $1, p = 16" "$build/bench/peer_driver" "$tmp/d$1.bin" average
  engine=$secs
  engineCpu=$cpu
}

hc="$build/cli/hcluster"

n=16384
data $n
analyse $n
measure "hcluster --json --no-matrix, n = $n" "$hc" "$tmp/d$n.csv" -q --json "$tmp/out.json" --no-matrix
python3 -c "print(f'whole command / Analyse: {$secs / $engine:.2f} wall, {$cpu / $engineCpu:.2f} CPU; peak / 8n^2: {$peak * 2**20 / (8 * $n * $n):.2f}')"
measure "hcluster -o --no-matrix, n = $n" "$hc" "$tmp/d$n.csv" -q -o "$tmp/out.xlsx" --no-matrix
python3 -c "print(f'whole command / Analyse: {$secs / $engine:.2f} wall, {$cpu / $engineCpu:.2f} CPU; peak / 8n^2: {$peak * 2**20 / (8 * $n * $n):.2f}')"
rm -f "$tmp"/d$n.* "$tmp/out.json" "$tmp/out.xlsx"

n=8000
data $n
for flags in "" "--no-matrix"; do
  measure "hcluster -o ${flags:-(with the matrix)}, n = $n" "$hc" "$tmp/d$n.csv" -q -o "$tmp/out.xlsx" $flags
  echo "  workbook: $(( $(stat -c %s "$tmp/out.xlsx") / 1024 )) KB"
done
rm -f "$tmp"/d$n.* "$tmp/out.xlsx"

n=4000
data $n
analyse $n
measure "hcluster --json (with the matrix), n = $n" "$hc" "$tmp/d$n.csv" -q --json "$tmp/out.json"
bytes=$(stat -c %s "$tmp/out.json")
python3 -c "print(f'JSON: {$bytes / 1e6:.0f} MB in {$cpu - $engineCpu:.2f} s of CPU beyond Analyse: {$bytes / 1e6 / ($cpu - $engineCpu):.0f} MB/s')"
