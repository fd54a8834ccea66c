#!/usr/bin/env bash
# Statement import benchmark: a million-line statement through the component,
# against `wc -l` and a naive getline-and-split reader.
#   bench/run_import.sh BUILD_DIR [import_bench options]
set -euo pipefail
build=${1:?usage: bench/run_import.sh BUILD_DIR}
shift
exec "$build/bin/import_bench" "$@"
