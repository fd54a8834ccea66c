#!/usr/bin/env bash
# Resident size of a statement import: the import benchmark's million-line
# statement (about 300 MB) imported under /usr/bin/time -v, against the same
# program on a thousand lines. The statement is read line by line, never whole,
# so both peaks must be alike and under the limit (50 MB).
#   bench/run_memory.sh BUILD_DIR [LINES]
set -euo pipefail
build=${1:?usage: bench/run_memory.sh BUILD_DIR [LINES]}
lines=${2:-1000000}
limit_kib=$((50 * 1024))

peak_kib() {  # lines -> the peak resident size of one import_bench run, in KiB
  local report
  report=$(/usr/bin/time -v "$build/bin/import_bench" --lines "$1" --repeat 1 2>&1 >/dev/null)
  sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' <<<"$report"
}

small=$(peak_kib 1000)
large=$(peak_kib "$lines")
printf 'peak resident size: %6d KiB for 1001 lines, %6d KiB for %d lines (limit %d KiB)\n' \
  "$small" "$large" "$((lines + 1))" "$limit_kib"
if ((large > limit_kib)); then
  echo "run_memory: the import of $((lines + 1)) lines exceeds $limit_kib KiB" >&2
  exit 1
fi
