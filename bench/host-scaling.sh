#!/usr/bin/env bash
# How tulvex-host's CPU grows with performers: for each count, three runs of the phone
# emulator streaming N performers at 60 fps into tulvex-host recording a 5 s take. Prints,
# per count, min/median/max of the whole process's CPU and of its main thread's (cores), and
# of the blocks superseded (summed over nodes): over the whole run, which includes binding
# every skeleton while the streams wait and the bake, and while the take records.
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
# The loop below reads these many times a second beside the process it measures, on the same
# processors: builtins that set a variable, so that no reading starts a process.
read_cpu() {  # $1 = utime + stime, in clock ticks, of /proc/$2/stat or /proc/$2/task/$2/stat
    local -a fields
    if read -r -a fields 2>/dev/null < "$2"; then
        printf -v "$1" '%d' $((fields[13] + fields[14]))
    else
        printf -v "$1" '%d' 0
    fi
}
read_clock() {  # $1 = EPOCHREALTIME in whole microseconds
    local t=$EPOCHREALTIME
    printf -v "$1" '%d' $((10#${t/./}))
}
take_started() {  # whether tulvex-host has said that its take starts
    local -a lines
    local line
    mapfile -t lines < "$work/out"
    for line in "${lines[@]}"; do
        [[ $line == "All streams bound; recording"* ]] && return 0
    done
    return 1
}

stats() {  # min median max of the numbers on stdin
    sort -g | awk '{v[NR]=$1} END {printf "%.3f/%.3f/%.3f", v[1], v[int((NR+1)/2)], v[NR]}'
}

# Over the take: from the note that starts it to half a second before its end, so that the
# window lies inside the take however late the loop below sees the note.
take_window=4500000  # microseconds
printf '%-11s %-20s %-20s %-20s %-20s %-22s %s\n' performers "run: process" "run: main" \
    "take: process" "take: main" "run: superseded" "take: superseded"
printf '%-11s %s\n' "" "(each min/median/max of 3; CPU in cores)"
for n in "${counts[@]}"; do
    for figure in process main take_process take_main superseded recording; do
        : > "$work/$figure"
    done
    for run in 1 2 3; do
        # A folder of its own: each take's start looks through the journal folder.
        rm -rf "$work/run" && mkdir "$work/run"
        "$stream" --port "$port" --performers "$n" --fps 60 --duration 40 \
            --repeat-definition 1 --quiet &
        phones=$!
        read_clock start
        "$host" --performers "$n" --port "$port" --record 5 --output "$work/run/take.ma" \
            > "$work/out" 2> "$work/err" &
        pid=$!
        process=0; main=0; take_start=""; take_p0=0; take_m0=0; take_p1=""; take_m1=""
        while kill -0 "$pid" 2>/dev/null; do
            read_cpu p "/proc/$pid/stat"; read_cpu m "/proc/$pid/task/$pid/stat"
            read_clock now
            # Both read, or neither kept: the main thread's file goes first as the process ends.
            if [ "$p" != 0 ] && [ "$m" != 0 ]; then
                process=$p; main=$m
                if [ -z "$take_start" ]; then
                    if take_started; then
                        take_start=$now; take_p0=$p; take_m0=$m
                    fi
                elif [ -z "$take_p1" ] && ((now - take_start >= take_window)); then
                    take_p1=$p; take_m1=$m; take_end=$now
                fi
            fi
            sleep 0.05
        done
        wait "$pid" || { echo "tulvex-host failed for $n performers:"; cat "$work/err"; exit 1; }
        read_clock end
        kill "$phones" 2>/dev/null || true
        wait "$phones" 2>/dev/null || true
        [ -n "$take_p1" ] || { echo "tulvex-host's take was not seen for $n performers"; exit 1; }
        cores() {  # ticks over seconds
            awk -v c="$1" -v t="$ticks" -v a="$2" -v b="$3" 'BEGIN {print c / t / ((b - a) / 1e6)}'
        }
        cores "$process" "$start" "$end" >> "$work/process"
        cores "$main" "$start" "$end" >> "$work/main"
        cores $((take_p1 - take_p0)) "$take_start" "$take_end" >> "$work/take_process"
        cores $((take_m1 - take_m0)) "$take_start" "$take_end" >> "$work/take_main"
        # The summary table: the superseded column of each node's line.
        awk '$1 ~ /^tulvexDevice[0-9]+$/ && NF >= 12 && $2 ~ /^[0-9]+$/ {s += $5} END {print s + 0}' \
            "$work/out" >> "$work/superseded"
        # Printed only when some were.
        awk '/^While recording, [0-9]+ frame\(s\) from the phones were replaced/ {s = $3}
             END {print s + 0}' "$work/out" >> "$work/recording"
        port=$((port + n + 1))
    done
    printf '%-11s %-20s %-20s %-20s %-20s %-22s %s\n' "$n" "$(stats < "$work/process")" \
        "$(stats < "$work/main")" "$(stats < "$work/take_process")" \
        "$(stats < "$work/take_main")" "$(stats < "$work/superseded")" \
        "$(stats < "$work/recording")"
done
