#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database and settings on
# first use, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh"
bin="$root/build/bin"
if [ ! -f "$bin/VLK.db" ]; then
  "$bin/make_demo_db" "$bin/VLK.db" "$root/data" "$bin/his_settings.ini"
  echo "Demo database created: $bin/VLK.db (login CHIEF, password chief)"
fi
[ -f "$bin/his_settings.ini" ] || "$bin/make_demo_db" "$bin/VLK.db" "$root/data" "$bin/his_settings.ini"
# The templates: the design template beside the executable, the print template
# in the working folder the program starts in (the same folder here).
for t in "$root"/data/*.qr3; do cmp -s "$t" "$bin/$(basename "$t")" || cp "$t" "$bin/"; done
cd "$bin"
if [ $# -gt 0 ]; then exec "$bin/survey" "$@"; fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting on a virtual X display (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$bin/survey"
fi
exec "$bin/survey"
