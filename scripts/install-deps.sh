#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing vx70 needs, and
# the browser page's npm packages (web/package-lock.json).  Does nothing when
# everything is present, so repeated runs cost no time.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang llvm libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libsqlite3-dev zlib1g-dev libfmt-dev libcpp-httplib-dev
  chromium
  # The report printer's PDFs (cairo, with a font to draw in) and the
  # tests' PDF text extraction (pdftotext).
  libcairo2-dev fonts-dejavu-core poppler-utils
  # Companies on a PostgreSQL server: the client library, and a server for
  # the tests' throwaway cluster.
  libpq-dev postgresql
  # The module's Windows build: the i686 cross compiler and its binutils.
  g++-mingw-w64-i686 binutils-mingw-w64-i686
)
# Node.js and npm come from Debian unless the machine already has them
# (a newer Node.js from elsewhere is kept as it is).
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  # The tests start throwaway clusters of their own: the server package
  # need not make and start a cluster of the machine's.
  if [[ ! -e /etc/postgresql-common/createcluster.conf ]]; then
    mkdir -p /etc/postgresql-common
    echo "create_main_cluster = false" >/etc/postgresql-common/createcluster.conf
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The page's stylesheet and the browser tests' driver, exactly as locked.
if ! (cd web && npm ls --omit=dev >/dev/null 2>&1); then
  echo "Installing the page's npm packages"
  (cd web && npm ci --no-audit --no-fund)
fi
