#!/usr/bin/env bash
# Plants each fault of planted.tsv in turn into a COPY of the sources (never a
# working tree), rebuilds it, runs its tests and names the tests that failed.
#   tests/faults/plant.sh COPY [ID...]     COPY: a configured copy with COPY/build
set -uo pipefail
list=$(cd "$(dirname "$0")" && pwd)/planted.tsv
cd "${1:?a copy of the sources}" && shift || exit 2
grep -v '^#' "$list" | while IFS=$'\t' read -r id what file expr; do
  (($#)) && [[ " $* " != *" $id "* ]] && continue
  cp "$file" "$file.orig" && sed -i "$expr" "$file"
  if cmp -s "$file" "$file.orig"; then
    caught="not planted"
  elif ! cmake --build build >/dev/null 2>&1; then
    caught="does not build"
  else
    caught=$(cd build && ctest -j2 2>&1 | sed -n '/tests FAILED/,$s/.* - \([^ ]*\) .*/\1/p' | tr '\n' ' ')
  fi
  cp "$file.orig" "$file" && rm "$file.orig"  # a new time stamp: rebuilt
  printf '%s\t%s\t%s\n' "$id" "$what" "${caught:-NOT CAUGHT}"
done
cmake --build build >/dev/null 2>&1
