#!/usr/bin/env bash
# Fuzzes every target (or the ones named) for SECONDS each, one after another,
# with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer (clang). The
# build goes to build-fuzz/, the growing corpus of each target to
# build-fuzz/corpus/<target>/ (seeded from fuzz/corpus/<target>/, which is only
# read), logs to build-fuzz/logs/. An input that crashes, hangs or runs out of
# memory is copied into fuzz/regressions/<target>/, where ctest replays it.
#
#   fuzz/run_fuzz.sh [--merge] [--jobs N] [SECONDS] [TARGET...]
#     --merge   afterwards add the inputs that reach new code to fuzz/corpus/
#     --jobs N  fuzz N targets at a time (default 1)
#
# Prints one line per target: wall and CPU seconds, executions, executions per
# second (of wall time, libFuzzer's figure), new regression files. Exits 1 when
# any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
merge=0
jobs=1
while (($#)); do
  case "$1" in
    --merge) merge=1; shift ;;
    --jobs) jobs=$2; shift 2 ;;
    *) break ;;
  esac
done
seconds=${1:-60}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(statement_line statement_import rate_file payment_line payment_reader regional_number
           regional_date)
fi

build=$root/build-fuzz
# Quiet when it works; the whole compiler output when it does not.
quietly() {
  local out
  if ! out=$("$@" 2>&1); then
    printf '%s\n' "$out" >&2
    echo "run_fuzz: building the fuzz targets failed" >&2
    exit 1
  fi
}
quietly cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORV_FUZZ=ON -DNORV_BUILD_TESTS=OFF -DNORV_WITH_QT=OFF
quietly cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" \
  --target $(printf '%s_fuzzer ' "${targets[@]}")

fuzz_one() {
  local t=$1 failed=0
  work=$build/corpus/$t
  artifacts=$build/artifacts/$t
  log=$build/logs/$t.log
  mkdir -p "$work" "$artifacts" "$(dirname "$log")" "$root/fuzz/regressions/$t"
  rm -f "$artifacts"/*
  # A statement import reads whole files; the others take one line or one
  # value, or a rate file, which shows all it can do in seven lines of 140
  # bytes (longer ones only repeat them; the bad-input catalogue covers size).
  local max_len=4096
  [ "$t" = statement_import ] && max_len=65536
  [ "$t" = rate_file ] && max_len=1024
  set +e
  # The machine may be shared: the CPU seconds the fuzzer got say more than the wall clock.
  # A 64 MB quarantine (instead of 256) still catches a use after free of the
  # same input, with a quarter of the resident memory and fewer page faults.
  ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1 \
    /usr/bin/time -f '%U %S' -o "$build/logs/$t.cpu" \
    "$build/bin/${t}_fuzzer" "$work" "$root/fuzz/corpus/$t" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=$max_len \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1
  status=$?
  set -e
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  cpu=$(awk '{printf "%d", $1 + $2}' "$build/logs/$t.cpu" 2>/dev/null || echo '?')
  found=0
  for f in "$artifacts"/crash-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/leak-*; do
    [ -e "$f" ] || continue
    cp "$f" "$root/fuzz/regressions/$t/"
    found=$((found + 1))
  done
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then failed=1; fi
  printf '%-17s %4ss wall %5ss cpu  execs %-10s exec/s %-6s cov %-5s peak %sMB  status %s  new regressions %s\n' \
    "$t" "$seconds" "${cpu:-?}" "${execs:-?}" "${speed:-?}" "${cov:-?}" "${peak:-?}" "$status" "$found"
  if ((merge)); then
    "$build/bin/${t}_fuzzer" -merge=1 -max_len=$max_len "$root/fuzz/corpus/$t" "$work" \
      >>"$log" 2>&1 || failed=1
  fi
  echo $failed >"$build/logs/$t.failed"
}

rm -f "$build"/logs/*.failed
for t in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  fuzz_one "$t" &
done
wait
failed=0
for t in "${targets[@]}"; do
  [ "$(cat "$build/logs/$t.failed" 2>/dev/null || echo 1)" = 0 ] || failed=1
done
exit $failed
