#!/usr/bin/env bash
# The whole job through hcluster against libxlsxwriter alone, in one run:
#   hcluster on 2,000 items x 16 variables: read the CSV, analyse, assemble the report with
#   its 2,000 x 2,000 matrix table (4 million cells), write the workbook;
#   libxlsxwriter alone writing 4 million numbers (bench_io's BM_WriteXlsxDirect).
# Prints both times and their ratio. Run from anywhere: bash bench/job.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build/bench}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEZ_BENCH=ON -DDEZ_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target hcluster bench_io >/dev/null
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

python3 - "$tmp/data.csv" <<'PY'
import random, sys
random.seed(2000)
with open(sys.argv[1], "w") as f:
    for i in range(2000):
        f.write(",".join(f"{random.gauss(0, 1):.6f}" for _ in range(16)) + "\n")
PY

start=$(date +%s.%N)
"$build/cli/hcluster" "$tmp/data.csv" -q -o "$tmp/report.xlsx" >/dev/null
end=$(date +%s.%N)
job=$(python3 -c "print(f'{$end - $start:.2f}')")

"$build/bench/bench_io" --benchmark_filter='BM_WriteXlsxDirect' --benchmark_format=json \
  --benchmark_out="$tmp/direct.json" >/dev/null
direct=$(python3 - "$tmp/direct.json" <<'PY'
import json, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") == "iteration"]
print(f"{min(b['real_time'] for b in runs) / 1000:.2f}")
PY
)
echo "hcluster whole job (2000 x 16, -o): ${job} s"
echo "libxlsxwriter alone, 4 million numbers: ${direct} s"
python3 -c "print(f'ratio: {$job / $direct:.2f}')"
