#!/usr/bin/env bash
# The programs that run without windows (the local application server, the
# password tool) must not load the widget library.
set -euo pipefail
bin=$1; shift
status=0
for prog in "$@"; do
  if ! out=$(ldd "$bin/$prog"); then
    echo "$prog: ldd failed"; status=1; continue
  fi
  if grep -q 'libQt6Widgets' <<<"$out"; then
    echo "$prog links the widget library"; status=1
  else
    echo "$prog: no widget library"
  fi
done
exit $status
