#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo company when it is
# missing (build/demo), and runs the main job on it: a station served to a
# web browser, whose address it prints.  Extra arguments go to `vx70 serve`.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

demo=build/demo
if [ ! -e "$demo/company.vx70" ]; then
  ./build/bin/vx70 init "$demo" --demo
fi
exec ./build/bin/vx70 serve --data "$demo" "$@"
