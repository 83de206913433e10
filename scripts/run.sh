#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo company when it is
# missing (build/demo), and runs the main job on it: a station that the
# demo script drives (scripts/demo.vx70), printing what a person would
# see as JSON lines.  Extra arguments go to `vx70 drive`.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

demo=build/demo
if [ ! -e "$demo/company.vx70" ]; then
  ./build/bin/vx70 init "$demo" --demo
fi
exec ./build/bin/vx70 drive scripts/demo.vx70 --data "$demo" "$@"
