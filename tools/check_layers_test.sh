#!/usr/bin/env bash
# tools/check_layers.py passes the tree as it is, and fails on a copy of it into
# which includes against the layer order are planted one at a time, naming the
# file, the line and the reason.   Usage: check_layers_test.sh ROOT
set -euo pipefail
root=$1
check="$root/tools/check_layers.py"
python3 "$check" "$root"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$root/src" "$root/apps" "$tmp/"

expect_failure() {  # file, included header, expected reason
  local file=$1 header=$2 reason=$3 out
  cp "$tmp/$file" "$tmp/$file.orig"
  sed -i "1i #include \"$header\"" "$tmp/$file"
  if out=$(python3 "$check" "$tmp"); then
    echo "not caught: $file includes $header"
    exit 1
  fi
  if ! grep -qF "$file:1 includes $header ($reason)" <<<"$out"; then
    echo "expected \"$file:1 includes $header ($reason)\", got:"
    echo "$out"
    exit 1
  fi
  mv "$tmp/$file.orig" "$tmp/$file"
}

expect_failure src/runtime/date.h host/book.h "layer above"
expect_failure src/core/messages.h component/cbankcl_vb.h "layer above"
expect_failure src/files/cfile.h export/export_file.h "layer above"
expect_failure src/import/tabbed_line.h rates/load_rate.h "sibling layer"
expect_failure src/hostkit/cp775.h files/cfile.h "internal to the component"
expect_failure src/hostkit/cp775.h qt/qt_text.h "layer above"
expect_failure apps/clientbank/main.cpp import/tabbed_line.h "not a layer apps may use"
# Relative includes are resolved as the compiler resolves them.
expect_failure src/core/records.h ../files/cfile.h "layer above"

python3 "$check" "$tmp" >/dev/null  # every planted include was taken out again
echo "check_layers_test: every planted include was caught"
