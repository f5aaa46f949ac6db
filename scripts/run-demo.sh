#!/usr/bin/env bash
# Installs what is needed, builds, generates the demo school and starts the program on it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build="${ZANDREL_BUILD:-$top/build}"
demo="${ZANDREL_DEMO:-$top/demo}"
mkdir -p "$demo/config" "$demo/xdg" "$demo/tmp"
export XDG_CONFIG_HOME="$demo/config" XDG_CONFIG_DIRS="$demo/xdg" TMPDIR="$demo/tmp"
"$build/tools/demo/zandrel-demo" --out "$demo"
export ZANDREL_HOME="$demo/programm"
exec "$build/app/zandrel" "$@"
