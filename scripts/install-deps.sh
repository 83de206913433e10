#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing vx70 needs.
# Does nothing when they are all present, so repeated runs cost no time.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang llvm libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libsqlite3-dev libfmt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
