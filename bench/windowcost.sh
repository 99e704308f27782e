#!/usr/bin/env bash
# What an open window costs, under a real X server (Xvfb) with a virtual heater
# (korvane-devsim) connected: start-up to the mapped window (median of
# STARTS runs), processor use over IDLE_SECONDS of an untouched window, and its
# resident memory then; each against the bare window of bench/barewindow.cpp,
# all in the same run.
#
#   bench/windowcost.sh BUILD [BUILD...]
#
# Each BUILD is a build folder holding app/korvane and bench/korvane_startup,
# or a git revision of this repository: that one is exported and built once
# into LAST/windowcost/REV, LAST being the last BUILD, which must be a folder.
# korvane-devsim and the bare window come from the last. Start-up is the
# median of STARTS starts, idle use and memory that of ROUNDS (default 1), the
# programs taking turns. Prints one table row per program. Needs Xvfb (package xvfb).
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 BUILD [BUILD...]" >&2; exit 2; }
STARTS=${STARTS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-10}
ROUNDS=${ROUNDS:-1}
[ -d "${!#}" ] || { echo "$0: the last BUILD must be a build folder" >&2; exit 2; }
tools=$(realpath "${!#}")
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)

# A build folder for BUILD: itself, or the revision built under $tools/windowcost.
build_of() {
    [ -d "$1" ] && { realpath "$1"; return; }
    local rev out
    rev=$(git -C "$repo" rev-parse --short "$1^{commit}") || { echo "$0: $1 is neither a folder nor a revision" >&2; exit 2; }
    out="$tools/windowcost/$rev"
    if [ ! -x "$out/build/bench/korvane_startup" ]; then
        echo "building $rev in $out" >&2
        rm -rf "$out/source" && mkdir -p "$out/source"
        git -C "$repo" archive "$rev" | tar -x -C "$out/source"
        cmake -S "$out/source" -B "$out/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
        cmake --build "$out/build" -j"$(nproc)" --target korvane korvane_startup >/dev/null
    fi
    echo "$out/build"
}
bare="$tools/bench/korvane_bare"
devsim="$tools/devsim/korvane-devsim"

# Program i: its name in the table, its environment, its start-up probe and
# the window itself. The bare window also runs without the OpenGL integration
# that Qt loads on X11 by default, as the program does.
names=("bare window" "bare window, OpenGL not loaded")
envs=("" "QT_XCB_GL_INTEGRATION=none")
probes=("$bare --report-shown" "$bare --report-shown")
windows=("$bare" "$bare")
for arg in "$@"; do
    build=$(build_of "$arg")
    names+=("$arg") envs+=("") probes+=("$build/bench/korvane_startup") windows+=("$build/app/korvane")
done

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

# A remembered language would make the runs differ.
export XDG_CONFIG_HOME="$work/config"

# Milliseconds from starting the program to its "shown" line; its exit is
# awaited but not counted, as closing is not part of starting.
start_ms() {
    local start end line out
    rm -f "$work/run/language.txt"
    start=$(date +%s%N)
    exec {out}< <(cd "$work/run" && exec "$@" 2>/dev/null)
    IFS= read -r line <&"$out" || true
    end=$(date +%s%N)
    exec {out}<&-
    wait $! 2>/dev/null || true
    [ "${line%% *}" = shown ] || { echo "no shown window from $*" >&2; exit 1; }
    echo $(((end - start) / 1000000))
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

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Interleaved, so that a change in the machine's load falls on every program alike.
mkdir -p "$work/figures"
for _ in $(seq "$STARTS"); do
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086 # the environment and the bare probe's option split into words
        start_ms env ${envs[i]} ${probes[i]} >>"$work/figures/start$i"
    done
done
for _ in $(seq "$ROUNDS"); do
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086
        idle_cost env ${envs[i]} "${windows[i]}" >>"$work/figures/idle$i"
    done
done
for i in "${!names[@]}"; do
    start[i]=$(median <"$work/figures/start$i")
    cpu[i]=$(cut -d' ' -f1 "$work/figures/idle$i" | median)
    rss[i]=$(cut -d' ' -f2 "$work/figures/idle$i" | median)
done
# Each ratio twice: against the bare window as Qt starts it (row 0), and
# against the bare window without OpenGL (row 1), as the program starts.
echo "| program | start to mapped window | × bare | × bare without OpenGL | idle CPU, ${IDLE_SECONDS} s |" \
    "resident memory | × bare | × bare without OpenGL |"
echo "|---|---|---|---|---|---|---|---|"
for i in "${!names[@]}"; do
    awk -v name="${names[i]}" -v s="${start[i]}" -v s0="${start[0]}" -v s1="${start[1]}" -v c="${cpu[i]}" \
        -v r="${rss[i]}" -v r0="${rss[0]}" -v r1="${rss[1]}" 'BEGIN {
            printf "| %s | %d ms | %.2f | %.2f | %s %% | %d MiB | %.2f | %.2f |\n",
                name, s, s / s0, s / s1, c, r, r / r0, r / r1 }'
done
