#!/usr/bin/env bash
# The engine against SciPy on the same data, in one run.
#
#   bench/peers.sh [N]        run from the repository root; N items (default 16384)
#
# Makes N random points with 16 coordinates in (0, 10) (numpy, seed 1) and times, per
# method, in a fresh process each:
#   ours   the engine's whole Analyse: the distance matrix, the schedule, the cophenetic
#          correlation (bench/peer_driver.cpp);
#   scipy  pdist + linkage + cophenet (Debian's python3-scipy) on the same points.
# The Euclidean distance, squared for the centroid and Ward's methods, as the engine's
# controller uses them; SciPy gets the same. Prints one line per method
#   method ours_s scipy_s ratio
# (ratio = ours_s / scipy_s), then the peak resident memory of each run as comment lines
# ("# peak_mb method ours scipy"), and last "worst ratio: X", the largest ratio.
#
# Builds bench/peer_driver in Release (build-peers/, brought up to date on every run),
# and installs python3-scipy with apt-get when it cannot be imported.
set -euo pipefail

n="${1:-16384}"
root="$(pwd)"
if [[ ! -f "$root/bench/peers.sh" ]]; then
  echo "peers.sh: run it from the repository root" >&2
  exit 2
fi
build="$root/build-peers"
driver="$build/bench/peer_driver"
python=/usr/bin/python3

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  echo "peers.sh: configuring a Release build in $build" >&2
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEZ_BENCH=ON -DDEZ_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target peer_driver -j2 >/dev/null  # nothing to do when up to date
if ! "$python" -c "import scipy.cluster.hierarchy" 2>/dev/null; then
  echo "peers.sh: installing python3-scipy" >&2
  apt-get install -y python3-scipy >/dev/null
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
data="$work/points.bin"

"$python" - "$n" "$data" <<'PY'
import sys
import numpy as np
n, path = int(sys.argv[1]), sys.argv[2]
x = np.random.default_rng(1).uniform(0.0, 10.0, (n, 16))
with open(path, "wb") as f:
    np.array([n, 16], dtype="<i8").tofile(f)
    x.astype("<f8").tofile(f)
PY

cat > "$work/scipy_run.py" <<'PY'
import resource, sys, time
import numpy as np
from scipy.cluster.hierarchy import cophenet, linkage
from scipy.spatial.distance import pdist
path, method = sys.argv[1], sys.argv[2]
with open(path, "rb") as f:
    n, p = np.fromfile(f, dtype="<i8", count=2)
    x = np.fromfile(f, dtype="<f8", count=int(n * p)).reshape(int(n), int(p))
metric = "sqeuclidean" if method in ("centroid", "ward") else "euclidean"
start = time.perf_counter()
y = pdist(x, metric)
z = linkage(y, method)
c, _ = cophenet(z, y)
seconds = time.perf_counter() - start
peak_mb = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
print(f"{seconds:.3f} {c:.15g} {peak_mb:.0f}")
PY

echo "# $n items x 16 variables; $(nproc) cores; $(uname -m); $(date -u +%Y-%m-%dT%H:%MZ)"
echo "# method ours_s scipy_s ratio"
worst=0
peaks=()
for method in single complete average centroid ward; do
  read -r _ ours_s _ ours_peak _ <<<"$("$driver" "$data" "$method")"
  read -r scipy_s _ scipy_peak <<<"$("$python" "$work/scipy_run.py" "$data" "$method")"
  ratio="$(awk -v a="$ours_s" -v b="$scipy_s" 'BEGIN { printf "%.3f", a / b }')"
  worst="$(awk -v a="$ratio" -v w="$worst" 'BEGIN { print (a > w ? a : w) }')"
  echo "$method $ours_s $scipy_s $ratio"
  peaks+=("# peak_mb $method $ours_peak $scipy_peak")
done
printf '%s\n' "${peaks[@]}"
echo "worst ratio: $worst"
