#!/usr/bin/env bash
# Times `quintaral-cli batch` on a generated schedule of ROWS sections (default one million) and,
# on the same file in the same run, `wc -l`, the floor any tool that reads the file must pay.
# Prints rows per second for both; the goal is one million rows designed and written in 2 s.
#
#   bench/batch/measure-batch.sh [build-dir] [rows] [code]
#   e.g.  bench/batch/measure-batch.sh build          bench/batch/measure-batch.sh build 1000000 NSR-10
set -euo pipefail
build=${1:-build}
rows=${2:-1000000}
code=${3:-NSR-98}
cli=$build/cli/quintaral-cli
[ -x "$cli" ] || { echo "no $cli: build the target quintaral-cli first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
schedule=$work/beams.csv
# Sections spread over the usual ranges, singly and doubly reinforced, with a few that fail.
awk -v rows="$rows" 'BEGIN {
  srand(14);
  print "id,b,h,cover,fc,fy,mu,cover2";
  for (i = 1; i <= rows; i++) {
    b = 20 + int(rand() * 41); h = 30 + int(rand() * 71); fc = 175 + int(rand() * 8) * 35;
    printf "V-%d,%d,%d,%.1f,%d,4200,%.2f,%.1f\n", i, b, h, 4 + rand() * 3, fc,
      rand() * b * h * h / 20000, 4 + rand() * 3;
  }
}' >"$schedule"

seconds() { date +%s.%N; }
rate() { awk -v n="$rows" -v t="$1" 'BEGIN { printf "%.3f s, %.0f rows/s", t, n / t }'; }

start=$(seconds)
wc -l <"$schedule" >/dev/null
wc_time=$(awk -v a="$start" -v b="$(seconds)" 'BEGIN { print b - a }')

TIMEFORMAT='%R %U %S'
timing=$( { time { "$cli" batch "$schedule" --code "$code" -o "$work/results.csv" 2>"$work/errors.txt"; echo $? >"$work/status"; }; } 2>&1 )
read -r batch_time user_time system_time <<<"$timing"
status=$(cat "$work/status")
[ $status -le 2 ] || { cat "$work/errors.txt" >&2; exit 1; }

echo "file: $rows rows, $(du -h "$schedule" | cut -f1)"
echo "quintaral-cli batch --code $code: $(rate "$batch_time"), CPU ${user_time} s user + ${system_time} s system (exit status $status, $(($(wc -l <"$work/results.csv") - 1)) result rows, $(grep -c '^' "$work/errors.txt" || true) lines on stderr)"
echo "wc -l:               $(rate "$wc_time")"
