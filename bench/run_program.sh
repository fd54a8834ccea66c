#!/usr/bin/env bash
# The program against what users would write instead: `clientbank import` of a
# 1,000,001-line statement and `clientbank export` of the largest run the
# component accepts (32,767 local and 32,767 foreign payments), each as a
# process under /usr/bin/time, and in the same run the plain Python references
# beside this script (csv, json, sqlite3). Their outputs must be the same bytes.
# Prints import_vs_python and export_vs_python (the program's CPU time over the
# reference's: on a shared machine the wall clock mostly measures the others)
# and each program's peak resident size.
#   bench/run_program.sh BUILD_DIR [LINES]
set -euo pipefail
build=${1:?usage: bench/run_program.sh BUILD_DIR [LINES]}
lines=${2:-1000000}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/norv_program_XXXXXX)
trap 'rm -rf "$work"' EXIT
account=LT00100001

"$build/bin/import_bench" --lines "$lines" --write "$work/statement.txt"
"$build/bin/export_bench" --json "$work/payments.json" 32767 32767
mkdir "$work/cb" "$work/py"
printf 'statement %s: %d lines, %d MB; payments %s: %d MB\n' "$work/statement.txt" $((lines + 1)) \
  $(($(stat -c %s "$work/statement.txt") / 1000000)) "$work/payments.json" \
  $(($(stat -c %s "$work/payments.json") / 1000000))

# measure NAME OUT COMMAND...: runs it with standard output to OUT; sets cpu, wall, kib.
measure() {
  local name=$1 out=$2
  shift 2
  /usr/bin/time -f '%U %S %e %M' -o "$work/time" "$@" >"$out"
  read -r user sys wall kib <"$work/time"
  cpu=$(echo "$user + $sys" | bc)
  printf '%-18s cpu %7.2f s  wall %7.2f s  peak resident %7d KiB\n' "$name" "$cpu" "$wall" "$kib"
}

measure "clientbank import" "$work/cb.jsonl" "$build/bin/clientbank" --db "$work/cb.db" --quiet \
  import --account "$account" "$work/statement.txt"
import_cpu=$cpu import_kib=$kib
measure "python import" "$work/py.jsonl" python3 "$here/import_reference.py" \
  "$work/statement.txt" "$account" "$work/py.db"
python_import_cpu=$cpu
cmp "$work/cb.jsonl" "$work/py.jsonl"
echo "  same JSON Lines ($(($(wc -l <"$work/cb.jsonl") - 2)) documents)," \
  "stored $(sqlite3 "$work/cb.db" 'SELECT COUNT(*) FROM statement_docs') and" \
  "$(sqlite3 "$work/py.db" 'SELECT COUNT(*) FROM statement_docs')"

# An export takes a fifth of a second, twenty ticks of the clock /usr/bin/time
# reads: each side runs three times and the ratio is of the sums.
export_cpu=0 python_export_cpu=0
for run in 1 2 3; do
  rm -f "$work"/cb/* "$work"/py/*
  measure "clientbank export" /dev/null "$build/bin/clientbank" --db "$work/cb.db" --quiet \
    export --end-date 2024-01-31 --folder "$work/cb" "$work/payments.json"
  export_cpu=$(echo "$export_cpu + $cpu" | bc) export_kib=$kib
  measure "python export" /dev/null python3 "$here/export_reference.py" "$work/payments.json" \
    "$work/py" 240131
  python_export_cpu=$(echo "$python_export_cpu + $cpu" | bc)
done
cmp "$work/cb/240131.mok" "$work/py/240131.mok"
cmp "$work/cb/240131.tar" "$work/py/240131.tar"
echo "  same DP and FP files ($(wc -l <"$work/cb/240131.mok") and $(wc -l <"$work/cb/240131.tar") lines)"

printf 'import_vs_python %.3f\n' "$(echo "$import_cpu / $python_import_cpu" | bc -l)"
printf 'export_vs_python %.3f\n' "$(echo "$export_cpu / $python_export_cpu" | bc -l)"
printf 'peak resident size: import %d KiB, export %d KiB\n' "$import_kib" "$export_kib"
