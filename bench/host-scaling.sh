#!/usr/bin/env bash
# How tulvex-host's CPU grows with performers: for each count, three runs of the phone
# emulator streaming N performers at 60 fps into tulvex-host recording a 5 s take. Prints,
# per count, min/median/max of the whole process's CPU (cores, over the run), of its main
# thread's, and the blocks superseded (summed over nodes): over the whole run, which includes
# binding every skeleton while the streams wait, and while the take records.
#   bench/host-scaling.sh [BUILD_DIR] [COUNTS...]     (default: build/release 16 32 64)
set -euo pipefail
build="${1:-build/release}"
shift || true
counts=("$@")
[ "${#counts[@]}" -gt 0 ] || counts=(16 32 64)
stream="$build/tools/tulvex-stream/tulvex-stream"
host="$build/tools/tulvex-host/tulvex-host"
port="${TULVEX_BENCH_PORT:-23400}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

ticks=$(getconf CLK_TCK)
cpu_of() {  # utime + stime, in clock ticks, of /proc/$1/stat or /proc/$1/task/$1/stat
    awk '{print $14 + $15}' "$1" 2>/dev/null || echo 0
}

stats() {  # min median max of the numbers on stdin
    sort -g | awk '{v[NR]=$1} END {printf "%.3f/%.3f/%.3f", v[1], v[int((NR+1)/2)], v[NR]}'
}

printf '%-11s %-24s %-24s %-24s %s\n' performers "process cores min/med/max" \
    "main thread min/med/max" "superseded min/med/max" "while recording min/med/max"
for n in "${counts[@]}"; do
    : > "$work/process"; : > "$work/main"; : > "$work/superseded"; : > "$work/recording"
    for run in 1 2 3; do
        "$stream" --port "$port" --performers "$n" --fps 60 --duration 40 \
            --repeat-definition 1 --quiet &
        phones=$!
        start=$(date +%s.%N)
        "$host" --performers "$n" --port "$port" --record 5 --output "$work/take.ma" \
            > "$work/out" 2> "$work/err" &
        pid=$!
        process=0; main=0
        while kill -0 "$pid" 2>/dev/null; do
            p=$(cpu_of "/proc/$pid/stat"); m=$(cpu_of "/proc/$pid/task/$pid/stat")
            # Both read, or neither kept: the main thread's file goes first as the process ends.
            [ -n "$p" ] && [ "$p" != 0 ] && [ -n "$m" ] && [ "$m" != 0 ] && process=$p && main=$m
            sleep 0.1
        done
        wait "$pid" || { echo "tulvex-host failed for $n performers:"; cat "$work/err"; exit 1; }
        end=$(date +%s.%N)
        kill "$phones" 2>/dev/null || true
        wait "$phones" 2>/dev/null || true
        awk -v c="$process" -v t="$ticks" -v a="$start" -v b="$end" \
            'BEGIN {print c / t / (b - a)}' >> "$work/process"
        awk -v c="$main" -v t="$ticks" -v a="$start" -v b="$end" \
            'BEGIN {print c / t / (b - a)}' >> "$work/main"
        # The summary table: the superseded column of each node's line.
        awk '$1 ~ /^tulvexDevice[0-9]+$/ && NF >= 12 && $2 ~ /^[0-9]+$/ {s += $5} END {print s + 0}' \
            "$work/out" >> "$work/superseded"
        # Printed only when some were.
        awk '/^While recording, [0-9]+ frame\(s\) from the phones were replaced/ {s = $3}
             END {print s + 0}' "$work/out" >> "$work/recording"
        port=$((port + n + 1))
    done
    printf '%-11s %-24s %-24s %-24s %s\n' "$n" "$(stats < "$work/process")" \
        "$(stats < "$work/main")" "$(stats < "$work/superseded")" "$(stats < "$work/recording")"
done
