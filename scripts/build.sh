#!/usr/bin/env bash
# Configures and builds into ./build (or $ZANDREL_BUILD): the given targets, or everything
# (program, demo generator, tests, benchmark) when none is given.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZANDREL_BUILD:-$top/build}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ "$#" -gt 0 ]; then
  cmake --build "$build" -j "$(nproc)" --target "$@"
else
  cmake --build "$build" -j "$(nproc)"
fi
