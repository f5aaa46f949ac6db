#!/usr/bin/env bash
# Installs what is needed, builds and runs every test, offscreen, with config and
# temporary folders of its own.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build="${ZANDREL_BUILD:-$top/build}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/xdg" "$scratch/tmp"
export XDG_CONFIG_HOME="$scratch/config" XDG_CONFIG_DIRS="$scratch/xdg" TMPDIR="$scratch/tmp"
export QT_QPA_PLATFORM=offscreen ZANDREL_NO_OPEN=1
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
