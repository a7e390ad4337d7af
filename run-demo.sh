#!/usr/bin/env bash
# Builds the plug-in and the tools and runs the headless demo: two emulated performers (60 and 30 frames per
# second) stream into two device nodes of the real plug-in in the headless host, five seconds
# are recorded and baked, take.ma is written, and a summary per node and the panels as the
# scripts left them are printed.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh

build_root="${TULVEX_BUILD_ROOT:-build}"
# Optimised as the test build is, without its debug information, which costs a third of the
# compile time. Only what the demo runs: the plug-in, the decoding library, the scripts and
# the two tools; the tests are left to the test command.
cmake -S . -B "$build_root/demo" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
cmake --build "$build_root/demo" --target TulvexMayaPlugin zarn_motion_format tulvex_scripts \
    tulvex-host tulvex-stream

stream="$build_root/demo/tools/tulvex-stream/tulvex-stream"
host="$build_root/demo/tools/tulvex-host/tulvex-host"
first_port="${TULVEX_DEMO_PORT:-12351}"

phones=()
stop_phones() {
    for phone in "${phones[@]}"; do
        kill "$phone" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap stop_phones EXIT

# The phones repeat their skeleton definition, so it does not matter who starts first.
"$stream" --port "$first_port" --fps 60 --duration 60 --repeat-definition 1 --quiet &
phones+=($!)
"$stream" --port "$((first_port + 1))" --fps 30 --duration 60 --repeat-definition 1 --quiet &
phones+=($!)

"$host" --performers 2 --port "$first_port" --record 5 --output take.ma --show-panels=always
echo "take.ma written ($(wc -c < take.ma) bytes)"
