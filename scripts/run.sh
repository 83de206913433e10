#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job.  Until the
# station and its browser page exist, the main job shows what the module
# holds: every dialog from its resources.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
exec ./build/bin/vx70 resources "$@"
