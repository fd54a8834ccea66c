#!/usr/bin/env bash
# Runs the export benchmark of a build: run_export.sh BUILD_DIR [DOCUMENTS]
set -euo pipefail
build=${1:?usage: run_export.sh BUILD_DIR [DOCUMENTS]}
"$build/bin/export_bench" "${2:-1000000}"
