#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (idempotent).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libxlsxwriter-dev libzip-dev libexpat1-dev libboost-dev libcli11-dev libfmt-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
)
if [[ "${1:-}" == "--tests" ]]; then
  # Real clients that check the written workbooks; SciPy, which checks the tree's outputs;
  # libFuzzer's input provider, to replay the pipeline fuzz inputs.
  packages+=(python3 python3-openpyxl python3-scipy libreoffice-calc-nogui fonts-crosextra-carlito libclang-rt-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
