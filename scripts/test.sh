#!/usr/bin/env bash
# Installs what is needed, builds and runs every test, offscreen, with config and
# temporary folders of its own. Arguments go to ctest (e.g. -L core).
#   --sanitize   builds the tests with AddressSanitizer (leaks included) and
#                UndefinedBehaviorSanitizer in build-sanitize (or $ZANDREL_SANITIZE_BUILD);
#                the first fault ends the test with its report.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
sanitize=0
args=()
for a in "$@"; do
  if [ "$a" = "--sanitize" ]; then sanitize=1; else args+=("$a"); fi
done
"$top/scripts/install-deps.sh"
if [ "$sanitize" = 1 ]; then
  build="${ZANDREL_SANITIZE_BUILD:-$top/build-sanitize}"
  flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  cmake --build "$build" -j "${ZANDREL_JOBS:-$(nproc)}"
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
else
  "$top/scripts/build.sh"
  build="${ZANDREL_BUILD:-$top/build}"
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config" "$scratch/xdg" "$scratch/tmp"
export XDG_CONFIG_HOME="$scratch/config" XDG_CONFIG_DIRS="$scratch/xdg" TMPDIR="$scratch/tmp"
export QT_QPA_PLATFORM=offscreen ZANDREL_NO_OPEN=1
cd "$build"
ctest --output-on-failure -j "$(nproc)" ${args[@]+"${args[@]}"}
