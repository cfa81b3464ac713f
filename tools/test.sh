#!/usr/bin/env bash
# Installs what is missing, builds, starts PostgreSQL and CUPS, runs every test, stops them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh"
source "$root/tools/services.sh"
tmp=$(mktemp -d /tmp/survey-test.XXXXXX)
trap 'services_stop' EXIT
services_start "$tmp"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j2 --timeout 300 "$@"
