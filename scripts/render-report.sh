#!/usr/bin/env bash
# Renders a report with its dendrogram chart as a spreadsheet program shows it, and saves
# the chart as a PNG picture (the README's docs/images/dendrogram.png).
#
#   scripts/render-report.sh [OUTPUT.png]          default: docs/images/dendrogram.png
#
# Twelve foods described by their protein, fat, carbohydrate and fibre per 100 g are
# clustered by hcluster (Euclidean distances, group average, --chart) into a workbook;
# LibreOffice converts the workbook to PDF with one page per sheet, and the chart is cut
# out of the report's page with pdftoppm.
#
# Environment:
#   BUILD_DIR  build folder for hcluster (default: build-render); it is configured and
#              the hcluster target built when HCLUSTER is not given
#   HCLUSTER   an hcluster program to use instead of building one
#   KEEP_DIR   keep the intermediate files (data, workbook, PDF) in this folder
#   DPI        resolution of the picture (default: 192, where the 0.75-point lines are 2 pixels)
#
# Needs soffice (libreoffice-calc-nogui; fonts-crosextra-carlito for the default font's
# metrics), pdftoppm and pdfinfo (poppler-utils) and python3.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
output="${1:-$root/docs/images/dendrogram.png}"
dpi="${DPI:-192}"

for tool in soffice pdftoppm pdfinfo python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "render-report: $tool is needed (apt-get install -y libreoffice-calc-nogui poppler-utils python3)" >&2
    exit 2
  fi
done

if [[ -n "${HCLUSTER:-}" ]]; then
  hcluster="$HCLUSTER"
else
  build="${BUILD_DIR:-$root/build-render}"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEZ_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target hcluster >/dev/null
  hcluster="$build/cli/hcluster"
fi

work="${KEEP_DIR:-$(mktemp -d)}"
mkdir -p "$work"
[[ -n "${KEEP_DIR:-}" ]] || trap 'rm -rf "$work"' EXIT

cat >"$work/foods.csv" <<'EOF'
apple,0.3,0.2,14,2.4
banana,1.1,0.3,23,2.6
orange,0.9,0.1,12,2.4
bread,9,3.2,49,2.7
rice,2.7,0.3,28,0.4
pasta,5.8,0.9,31,1.8
cheddar,25,33,1.3,0
egg,13,11,1.1,0
salmon,20,13,0,0
chicken,27,3.6,0,0
almonds,21,49,22,12.5
peanuts,26,49,16,8.5
EOF

"$hcluster" "$work/foods.csv" --labels --type metric --measure euclidean --method average --chart \
  -o "$work/report.xlsx" --quiet

# The workbook must carry the chart as a chart part of its own.
python3 - "$work/report.xlsx" <<'EOF'
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
if "xl/charts/chart1.xml" not in names:
    sys.exit("render-report: the saved workbook holds no chart (hcluster must save with io::WriteXlsxWithCharts)")
EOF

# One PDF page per sheet, each as large as the sheet's content.
rm -f "$work/report.pdf"
timeout 300 soffice --headless "-env:UserInstallation=file://$work/profile" \
  --convert-to 'pdf:calc_pdf_Export:{"SinglePageSheets":{"type":"boolean","value":"true"}}' \
  --outdir "$work" "$work/report.xlsx" >/dev/null 2>&1
[[ -s "$work/report.pdf" ]] || { echo "render-report: LibreOffice made no PDF" >&2; exit 1; }

# Find the chart: the frame of a 450-point-wide chart is the widest box at the bottom of
# a page. Its bottom edge is the lowest row with a run of dark pixels about as wide as the
# chart, its left edge the column where that run starts, followed up to the top edge.
pages="$(pdfinfo "$work/report.pdf" | awk '/^Pages:/ {print $2}')"
crop=""
for ((page = 1; page <= pages; page++)); do
  pdftoppm -r "$dpi" -f "$page" -l "$page" -gray -singlefile "$work/report.pdf" "$work/page"
  crop="$(python3 - "$work/page.pgm" "$dpi" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
dpi = float(sys.argv[2])
# Binary PGM: "P5", width, height, maximum value, then one byte per pixel.
fields, at = [], 0
while len(fields) < 4:
    while data[at:at + 1].isspace():
        at += 1
    start = at
    while not data[at:at + 1].isspace():
        at += 1
    fields.append(data[start:at])
width, height = int(fields[1]), int(fields[2])
pixels = data[at + 1:]
dark = lambda x, y: pixels[y * width + x] < 245
chart = 450 / 72 * dpi
for y in range(height - 1, -1, -1):
    x, best = 0, None
    while x < width:
        if dark(x, y):
            start = x
            while x < width and dark(x, y):
                x += 1
            if x - start >= 0.95 * chart and x - start <= 1.05 * chart:
                best = (start, x)
        x += 1
    if best:
        left, right = best
        top = y
        while top > 0 and dark(left, top - 1):
            top -= 1
        if y - top > 40 / 72 * dpi:
            margin = int(4 / 72 * dpi)
            x0, y0 = max(0, left - margin), max(0, top - margin)
            print(x0, y0, min(width, right + margin) - x0, min(height, y + 1 + margin) - y0)
        break
EOF
)"
  if [[ -n "$crop" ]]; then
    read -r x y w h <<<"$crop"
    mkdir -p "$(dirname "$output")"
    pdftoppm -r "$dpi" -f "$page" -l "$page" -png -singlefile -x "$x" -y "$y" -W "$w" -H "$h" \
      "$work/report.pdf" "${output%.png}"
    echo "render-report: $output (page $page of $work/report.pdf)"
    exit 0
  fi
done
echo "render-report: no chart found in the PDF" >&2
exit 1
