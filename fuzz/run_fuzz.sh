#!/usr/bin/env bash
# Fuzzes every target (or the ones named) for SECONDS each with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer (clang), N targets at a time.
# The build goes to build-fuzz/, the growing corpus of each target to
# build-fuzz/corpus/<target>/ (seeded from fuzz/corpus/<target>/, which is only
# read), logs to build-fuzz/logs/. An input that crashes, hangs or runs out of
# memory is copied into fuzz/regressions/<target>/, where ctest replays it.
#
#   fuzz/run_fuzz.sh [--merge] [--jobs N] [SECONDS] [TARGET...]
#     --merge   afterwards add the inputs that reach new code to fuzz/corpus/
#
# Prints one line per target: CPU seconds (the machine may be shared), then
# libFuzzer's executions, executions per second, peak memory, the exit status
# and the new regression files. Exits 1 when any target failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd) build=$(pwd)/build-fuzz merge=0 jobs=1
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
((${#targets[@]})) || targets=($(cd fuzz && ls *_fuzzer.cpp | sed 's/_fuzzer.cpp//'))
# Quiet when the build works; its whole output when it does not.
if ! out=$({ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNORV_FUZZ=ON -DNORV_BUILD_TESTS=OFF -DNORV_WITH_QT=OFF &&
  cmake --build "$build" -j "$(nproc)" --target $(printf '%s_fuzzer ' "${targets[@]}"); } 2>&1); then
  printf '%s\nrun_fuzz: building the fuzz targets failed\n' "$out" >&2
  exit 1
fi

fuzz_one() {
  local t=$1 log=$build/logs/$1.log artifacts=$build/artifacts/$1 max_len=4096 status=0
  touch "$build/logs/$t.failed"  # until it ends well
  mkdir -p "$build/corpus/$t" "$artifacts" "fuzz/regressions/$t"
  rm -f "$artifacts"/*
  # A statement import reads whole files; a rate file shows all it can do in
  # seven lines of 140 bytes (longer ones only repeat them); the others take
  # one line or one value.
  [ "$t" = statement_import ] && max_len=65536
  [ "$t" = rate_file ] && max_len=1024
  # A 64 MB quarantine (instead of 256) still catches a use after free of the
  # same input, with a quarter of the resident memory.
  ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1 \
    /usr/bin/time -f '%U %S' -o "$build/logs/$t.cpu" "$build/bin/${t}_fuzzer" "$build/corpus/$t" \
    "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=$max_len \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
  local found=0 f
  for f in "$artifacts"/{crash,timeout,oom,leak}-*; do
    if [ -e "$f" ]; then cp "$f" "fuzz/regressions/$t/" && found=$((found + 1)); fi
  done
  printf '%-17s cpu %ss %s status %s  new regressions %s\n' "$t" \
    "$(awk '{printf "%d", $1 + $2}' "$build/logs/$t.cpu")" \
    "$(sed -n 's/^stat::\(number_of_executed_units\|average_exec_per_sec\|peak_rss_mb\): */\1 /p' \
      "$log" | tr '\n' ' ')" "$status" "$found"
  if ((merge)); then
    "$build/bin/${t}_fuzzer" -merge=1 -max_len=$max_len "fuzz/corpus/$t" "$build/corpus/$t" \
      >>"$log" 2>&1 || status=1
  fi
  ((status || found)) || rm "$build/logs/$t.failed"
}

mkdir -p "$build/logs" && rm -f "$build"/logs/*.failed
for t in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  fuzz_one "$t" &
done
wait
! ls "$build"/logs/*.failed >/dev/null 2>&1
