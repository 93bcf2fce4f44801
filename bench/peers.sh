#!/usr/bin/env bash
# The engine against SciPy and fastcluster on the same data, in one run: times per phase
# and a comparison of the results.
#
#   bench/peers.sh [N]        run from the repository root; N items (default 16384)
#
# Makes N random points with 16 coordinates in (0, 10) (numpy, seed 1) and runs, per
# method, each in a fresh process:
#   ours         the engine's whole Analyse (bench/peer_driver.cpp): the matrix, the
#                schedule, the cophenetic correlation;
#   scipy        pdist, linkage, cophenet (Debian's python3-scipy);
#   fastcluster  linkage (Debian's python3-fastcluster) on the same pair vector.
# The engine uses the Euclidean distance, squared for the centroid and Ward's methods, as
# its controller does; pdist is timed with the same metric. SciPy's and fastcluster's
# centroid and Ward's methods take Euclidean distances (they square them themselves), so
# their linkage gets the roots of the squared pdist, made outside the clock.
#
# Prints, per method, the seconds of each phase side by side,
#   method  ours: total matrix schedule cophenetic  scipy: total pdist linkage cophenet  fastcluster: linkage
# then the ratios the targets are stated in,
#   matrix/pdist  schedule/fastcluster  total/scipy_total  peak/8n²
# and the check of the results against SciPy's:
#   levels: the largest relative difference between our levels and SciPy's heights in
#           our scale (the height itself; its square for centroid; for Ward's, whose level
#           is the total within-cluster sum of squares, the running sum of height²/2), both
#           sorted; "ties" when SciPy's heights are not all distinct (the order among equal
#           levels may then differ), and then nothing is compared;
#   r:      |our cophenetic r − SciPy's|, SciPy's computed in our scale (cophenet of the
#           linkage with its heights mapped as above, against the distances we cluster).
# Our r is the literal's: sums taken one pair after another over the m = n(n − 1)/2 pairs,
# whose rounding grows with m (SciPy sums pairwise). At n = 16,384, average linkage, ours
# was 1.8e-11 from r computed in long double, SciPy's 3e-16. The r tolerance is therefore
# 1e-11 up to 8.4 million pairs (n = 4,096) and grows in proportion to m beyond.
# A level difference above 1e-12 or an r difference above that is marked "FAIL" and
# makes the script exit with status 1 after the table. Last "worst ratios: ...".
#
# Builds bench/peer_driver in Release (build-peers/, brought up to date on every run),
# and installs python3-scipy / python3-fastcluster with apt-get when they cannot be
# imported.
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
for module in scipy:python3-scipy fastcluster:python3-fastcluster; do
  if ! "$python" -c "import ${module%%:*}" 2>/dev/null; then
    echo "peers.sh: installing ${module#*:}" >&2
    apt-get install -y "${module#*:}" >/dev/null
  fi
done

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

# peer.py DATA METHOD scipy|fastcluster [LEVELS_OUT]
#   scipy:       "pdist_s linkage_s cophenet_s r peak_mb", r in our scale; the mapped
#                heights, sorted, to LEVELS_OUT (after the clock)
#   fastcluster: "linkage_s peak_mb"
cat > "$work/peer.py" <<'PY'
import resource, sys, time
import numpy as np
path, method, tool = sys.argv[1], sys.argv[2], sys.argv[3]
with open(path, "rb") as f:
    n, p = np.fromfile(f, dtype="<i8", count=2)
    x = np.fromfile(f, dtype="<f8", count=int(n * p)).reshape(int(n), int(p))
squared = method in ("centroid", "ward")
from scipy.spatial.distance import pdist
if tool == "fastcluster":
    import fastcluster
    y = pdist(x, "euclidean")
    start = time.perf_counter()
    z = fastcluster.linkage(y, method)
    linkage_s = time.perf_counter() - start
    print(f"{linkage_s:.3f} {resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0:.0f}")
    sys.exit(0)
from scipy.cluster.hierarchy import cophenet, linkage
t0 = time.perf_counter()
y = pdist(x, "sqeuclidean" if squared else "euclidean")
t1 = time.perf_counter()
if squared:
    np.sqrt(y, out=y)  # the peers' centroid and Ward's take Euclidean distances
t2 = time.perf_counter()
z = linkage(y, method)
t3 = time.perf_counter()
c, _ = cophenet(z, y)
t4 = time.perf_counter()
peak_mb = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
# Our scale: the levels as the engine records them, the distances it clusters.
heights = np.sort(z[:, 2])
ties = bool(np.any(heights[1:] == heights[:-1]))
if method == "centroid":
    mapped = z[:, 2] ** 2
elif method == "ward":  # height² / 2 is the step's increase of the sum of squares
    mapped = np.cumsum(heights.astype(np.longdouble) ** 2 / 2).astype(np.float64)
else:
    mapped = z[:, 2]
if squared:
    z[:, 2] = mapped
    y *= y
    c, _ = cophenet(z, y)
np.sort(mapped).astype("<f8").tofile(sys.argv[4])
print(f"{t1 - t0:.3f} {t3 - t2:.3f} {t4 - t3:.3f} {c:.17g} {peak_mb:.0f} {int(ties)}")
PY

cat > "$work/compare.py" <<'PY'
import sys
import numpy as np
ours = np.sort(np.fromfile(sys.argv[1], dtype="<f8"))
theirs = np.fromfile(sys.argv[2], dtype="<f8")
scale = np.maximum(np.abs(ours), np.abs(theirs))
rel = np.where(scale > 0, np.abs(ours - theirs) / np.where(scale > 0, scale, 1), 0.0)
print(f"{rel.max():.2e}")
PY

cores="$(nproc)"
echo "# $n items x 16 variables; $cores cores; $(uname -m); $(date -u +%Y-%m-%dT%H:%MZ); seconds"
printf '%-9s | %-31s | %-31s | %-11s\n' "" "ours: total matrix sched coph" "scipy: total pdist link coph" "fastcluster"
worst_matrix=0 worst_schedule=0 worst_total=0 worst_peak=0
failed=0
checks=() ratios=()
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }
div() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
for method in single complete average centroid ward; do
  read -r _ ours_s ours_r ours_peak ours_matrix ours_schedule ours_coph \
    <<<"$("$driver" --levels "$work/ours.bin" "$data" "$method")"
  read -r pdist_s linkage_s cophenet_s scipy_r scipy_peak ties \
    <<<"$("$python" "$work/peer.py" "$data" "$method" scipy "$work/scipy.bin")"
  read -r fast_s _ <<<"$("$python" "$work/peer.py" "$data" "$method" fastcluster)"
  scipy_s="$(awk -v a="$pdist_s" -v b="$linkage_s" -v c="$cophenet_s" 'BEGIN { printf "%.3f", a + b + c }')"
  printf '%-9s | %6.2f %6.2f %6.2f %6.2f   | %6.2f %6.2f %6.2f %6.2f   | %6.2f\n' "$method" \
    "$ours_s" "$ours_matrix" "$ours_schedule" "$ours_coph" "$scipy_s" "$pdist_s" "$linkage_s" "$cophenet_s" "$fast_s"
  matrix_ratio="$(div "$ours_matrix" "$pdist_s")"
  schedule_ratio="$(div "$ours_schedule" "$fast_s")"
  total_ratio="$(div "$ours_s" "$scipy_s")"
  peak_ratio="$(awk -v m="$ours_peak" -v n="$n" 'BEGIN { printf "%.3f", m * 1048576 / (8 * n * n) }')"
  worst_matrix="$(max "$matrix_ratio" "$worst_matrix")"
  worst_schedule="$(max "$schedule_ratio" "$worst_schedule")"
  worst_total="$(max "$total_ratio" "$worst_total")"
  worst_peak="$(max "$peak_ratio" "$worst_peak")"
  ratios+=("$(printf '%-9s   %6s %6s %6s   %6s (ours %s MB, scipy %s MB)' "$method" "$matrix_ratio" \
    "$schedule_ratio" "$total_ratio" "$peak_ratio" "$ours_peak" "$scipy_peak")")
  r_diff="$(awk -v a="$ours_r" -v b="$scipy_r" 'BEGIN { d = a - b; printf "%.1e", d < 0 ? -d : d }')"
  r_mark="$(awk -v d="$r_diff" -v n="$n" 'BEGIN { m = n * (n - 1) / 2; t = 1e-11 * (m > 8386560 ? m / 8386560 : 1)
                                                   print (d <= t ? "ok" : "FAIL") }')"
  if [[ "$ties" == 1 ]]; then
    levels="ties"
    level_mark="not compared"
  else
    levels="$("$python" "$work/compare.py" "$work/ours.bin" "$work/scipy.bin")"
    level_mark="$(awk -v d="$levels" 'BEGIN { print (d <= 1e-12 ? "ok" : "FAIL") }')"
  fi
  [[ "$r_mark" == ok && "$level_mark" != FAIL ]] || failed=1
  checks+=("$(printf '%-9s   levels %s %s   r %s vs %s: %s %s' "$method" "$levels" "$level_mark" "$ours_r" \
    "$scipy_r" "$r_diff" "$r_mark")")
done
echo "# ratios    matrix/pdist schedule/fastcluster total/scipy   peak/8n²"
printf '%s\n' "${ratios[@]}"
echo "# results against SciPy (largest relative level difference; cophenetic r)"
printf '%s\n' "${checks[@]}"
echo "worst ratios: matrix/pdist $worst_matrix, schedule/fastcluster $worst_schedule, total/scipy $worst_total, peak/8n² $worst_peak"
exit "$failed"
