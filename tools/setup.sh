#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Does nothing (and needs no network) when they are all present.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t pkgs < <(grep -v '^\s*#' "$here/packages.txt" | grep -v '^\s*$')
missing=()
while read -r name status; do
  [ "$status" = "installed" ] || missing+=("$name")
done < <(for p in "${pkgs[@]}"; do
  s=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  echo "$p ${s:-missing}"
done)
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
