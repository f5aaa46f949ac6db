#!/usr/bin/env bash
# Installs what is needed, builds, generates the demo school and starts the program on it.
# The demo school is generated once; ZANDREL_DEMO_NEU=1 generates it afresh (the demo's data is lost).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
# Only the program and the demo generator: tests and the benchmark are built by scripts/build.sh.
"$top/scripts/build.sh" zandrel zandrel-demo
build="${ZANDREL_BUILD:-$top/build}"
demo="${ZANDREL_DEMO:-$top/demo}"
mkdir -p "$demo/config" "$demo/xdg" "$demo/tmp" "$demo/run"
# Qt wants a private runtime folder; a desktop session has one, a bare shell does not.
chmod 0700 "$demo/run"
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
  export XDG_RUNTIME_DIR="$demo/run"
fi
# Machine-wide INI ($demo/xdg/Zandrel/nmSV.ini, written by the generator) and the user's
# settings stay inside the demo folder.
export XDG_CONFIG_HOME="$demo/config" XDG_CONFIG_DIRS="$demo/xdg" TMPDIR="$demo/tmp"
if [ "${ZANDREL_DEMO_NEU:-0}" = 1 ] || [ ! -f "$demo/daten/nmdaten04.mdb" ] || [ ! -f "$demo/xdg/Zandrel/nmSV.ini" ]; then
  "$build/tools/demo/zandrel-demo" --out "$demo"
fi
export ZANDREL_HOME="$demo/programm"
exec "$build/app/zandrel" "$@"
