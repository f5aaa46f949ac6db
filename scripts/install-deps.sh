#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
PKGS=(build-essential cmake ninja-build pkg-config ccache
      qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc qt6-translations-l10n qt6-wayland
      libgl1-mesa-dev libxkbcommon-dev
      libxlsxwriter-dev zlib1g-dev libminizip-dev
      unixodbc unixodbc-dev odbcinst libsqliteodbc
      libsqlite3-dev sqlite3 libssl-dev
      libgtest-dev libbenchmark-dev
      unzip fonts-dejavu-core fonts-liberation2)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
