#!/usr/bin/env bash
# Builds everything and runs the main job. The headless demo (emulated performers streaming
# into the plug-in in the stand-in host) is not built yet; until it is, this builds the
# project and runs what exists: the decoding path benchmark.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh

build_root="${TULVEX_BUILD_ROOT:-build}"
cmake -S . -B "$build_root/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_root/release"

echo
echo "The headless demo is not built yet; running the decoding benchmark instead."
"$build_root/release/bench/tulvex_frame_path_bench"
