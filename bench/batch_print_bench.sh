#!/usr/bin/env bash
# Batch printing benchmark: a demo database with 60,000 admissions over 18
# months, statistics for one quarter (about 10,000 discharges), every form
# printed to PDF. Reports wall time and peak memory of the survey process.
# Usage: bench/batch_print_bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/make_demo_db" "$work/VLK.db" "$root/data" "$work/settings.ini" 60000
sed -i "s|^DataBase=.*|DataBase=$work/VLK.db|" "$work/settings.ini"
cp "$root/data/"*.qr3 "$work/"
cd "$work"
HIS_SETTINGS="$work/settings.ini" QT_QPA_PLATFORM=offscreen /usr/bin/time -v \
  "$bin/survey" print --user CHIEF --password chief \
  --from "$(date -d '-91 days' +%F)" --to "$(date +%F)" --pdf "$work/all.pdf" 2>"$work/time.txt" || {
  cat "$work/time.txt"; exit 1; }
grep -E '统计完成|共 .* 页' "$work/time.txt" | tr '\r' '\n' | tail -2
grep -E 'Elapsed \(wall clock\)|Maximum resident set size' "$work/time.txt"
pdfinfo "$work/all.pdf" | grep -E 'Pages|File size'
