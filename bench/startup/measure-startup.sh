#!/usr/bin/env bash
# Start-up time and peak memory of quintaral against minimal_qt (one empty Qt Widgets window)
# and minimal_qt --label (one window sized to a line of text), all from the same build, on an X
# display (under xvfb-run when there is none).
#
#   bench/startup/measure-startup.sh [BUILD_DIR] [RUNS] [MEMORY_RUNS]
#
# Start-up: from just before the process starts to the X server mapping its first window (the
# splash window of quintaral). Memory: peak resident size (VmHWM) half a second after the window
# is mapped; for quintaral that is the main window, which the splash window shows after its 4 s.
# Each figure is the median of the runs; the programs take turns, after one warm-up run each.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-15}
memoryRuns=${3:-5}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs" "$memoryRuns"
fi
export QT_QPA_PLATFORM=xcb

mapwatch=$build/bench/mapwatch
for f in "$mapwatch" "$build/ui/quintaral" "$build/bench/minimal_qt"; do
    [ -x "$f" ] || { echo "missing $f (build quintaral, minimal_qt and mapwatch)" >&2; exit 1; }
done
readonly mainTitle="Calculo del Acero de Refuerzo en Vigas de Concreto Reforzado"
names=(quintaral minimal_qt "minimal_qt --label")
commands=("$build/ui/quintaral" "$build/bench/minimal_qt" "$build/bench/minimal_qt --label")

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
median() { tr ' ' '\n' | grep . | sort -n |
    awk '{v[NR]=$1} END {if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

declare -a startup memory
for k in 0 1 2; do "$mapwatch" -- ${commands[$k]} >/dev/null; done
for ((i = 0; i < runs; i++)); do
    for k in 0 1 2; do startup[$k]+="$("$mapwatch" -- ${commands[$k]} | field map_ms) "; done
done
for ((i = 0; i < memoryRuns; i++)); do
    memory[0]+="$("$mapwatch" --title "$mainTitle" --settle-ms 500 -- ${commands[0]} | field hwm_kb) "
    for k in 1 2; do memory[$k]+="$("$mapwatch" --settle-ms 500 -- ${commands[$k]} | field hwm_kb) "; done
done

for k in 0 1 2; do
    s[$k]=$(median <<<"${startup[$k]}")
    m[$k]=$(median <<<"${memory[$k]}")
done
echo "| program | start-up to first window mapped (ms, median of $runs) | vs minimal_qt | peak resident memory (kB, median of $memoryRuns) | vs minimal_qt |"
echo "|---|---|---|---|---|"
for k in 0 1 2; do
    echo "| ${names[$k]} | ${s[$k]} | $(ratio "${s[$k]}" "${s[1]}") | ${m[$k]} | $(ratio "${m[$k]}" "${m[1]}") |"
done
echo
for k in 0 1 2; do echo "${names[$k]} start-up runs (ms): ${startup[$k]}"; done
for k in 0 1 2; do echo "${names[$k]} memory runs (kB): ${memory[$k]}"; done
