#!/usr/bin/env bash
# What an open window costs, under a real X server (Xvfb) with a virtual heater
# (korvane-devsim) connected: start-up to the mapped window (median of
# STARTS runs), processor use over IDLE_SECONDS of an untouched window, and its
# resident memory then; each against the bare window of bench/barewindow.cpp,
# all in the same run.
#
#   bench/windowcost.sh BUILD [BUILD...]
#
# Each BUILD is a build folder holding app/korvane and bench/korvane_startup;
# korvane-devsim and the bare window come from the last. Prints one table row
# per program. Needs Xvfb (package xvfb).
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 BUILD [BUILD...]" >&2; exit 2; }
STARTS=${STARTS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-10}
tools=$(realpath "${!#}")
bare="$tools/bench/korvane_bare"
devsim="$tools/devsim/korvane-devsim"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb

mkdir -p "$work/run"
"$devsim" --socket "$work/run/heater.sock" >/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/run/heater.sock" ] && break; sleep 0.1; done
export KORVANE_DEVICE="unix:$work/run/heater.sock"

# Milliseconds from starting the program to its "shown" line, median of STARTS.
startup_ms() {
    local times=() start line
    for _ in $(seq "$STARTS"); do
        rm -f "$work/run/language.txt"
        start=$(date +%s%N)
        line=$(cd "$work/run" && "$@" 2>/dev/null | head -n 1) || true
        [ "${line%% *}" = shown ] || { echo "no shown window from $*" >&2; exit 1; }
        times+=($((($(date +%s%N) - start) / 1000000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((STARTS + 1) / 2))p"
}

# "CPU% RSS_MiB" of the program left alone for IDLE_SECONDS after it settled.
idle_cost() {
    local pid ticks before after
    (cd "$work/run" && exec "$@") >/dev/null 2>&1 &
    pid=$!
    pids+=("$pid")
    sleep 3
    ticks=$(getconf CLK_TCK)
    before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep "$IDLE_SECONDS"
    after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    awk -v used=$((after - before)) -v ticks="$ticks" -v seconds="$IDLE_SECONDS" \
        '/^VmRSS:/ {printf "%.1f %.0f\n", 100 * used / ticks / seconds, $2 / 1024}' "/proc/$pid/status"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

bare_start=$(startup_ms "$bare" --report-shown)
read -r bare_cpu bare_rss < <(idle_cost "$bare")
echo "| program | start to mapped window | × bare | idle CPU, ${IDLE_SECONDS} s | resident memory | × bare |"
echo "|---|---|---|---|---|---|"
echo "| bare window | $bare_start ms | 1 | $bare_cpu % | $bare_rss MiB | 1 |"
for build in "$@"; do
    build=$(realpath "$build")
    start=$(startup_ms "$build/bench/korvane_startup")
    read -r cpu rss < <(idle_cost "$build/app/korvane")
    awk -v name="$build" -v s="$start" -v bs="$bare_start" -v c="$cpu" -v r="$rss" -v br="$bare_rss" \
        'BEGIN {printf "| %s | %d ms | %.2f | %s %% | %d MiB | %.2f |\n", name, s, s / bs, c, r, r / br}'
done
