#!/usr/bin/env bash
# PDF export benchmark against ReportLab: N survey pages (default 10,000)
# prepared and written to PDF by pdf_export_bench (through the export filter
# and through the print loop on a file printer), then the texts of page 1
# drawn on N pages by bench/reportlab_survey.py with the same font file.
# Prints pages/s and peak RSS of each, our rate over ReportLab's (goal: 2 or
# more), and the pdffonts table of our PDF, which must list every font as an
# embedded subset (ABCDEF+Name, emb yes, sub yes).
# Usage: ninja -C BUILD pdf_export_bench && bench/pdf_export_bench.sh [N] [BUILD]
# Exit status: 0 done, 1 a step failed, 3 the font check failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pages=${1:-10000}
bin=${2:-$root/build}/bin/pdf_export_bench
[[ -x $bin ]] || { echo "missing $bin: build the pdf_export_bench target" >&2; exit 1; }
/usr/bin/python3 -c 'import reportlab' 2>/dev/null || {
  echo "python3-reportlab is missing:" \
    "apt-get install -y --no-install-recommends python3-reportlab" >&2; exit 1; }
for tool in pdffonts pdfinfo; do
  command -v $tool >/dev/null || { echo "missing $tool (Debian package poppler-utils)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# Field of /usr/bin/time -v output: peak RSS in MB.
peak_mb() { awk -F': ' '/Maximum resident set size/ { printf "%d", $2 / 1024 }' "$1"; }
mb() { echo "$(stat -c %s "$1") / 1048576" | bc -l; }
# pages/s from the program's own line (the time of the PDF step alone).
rate() { sed -n "s/^$1.* = \([0-9.]*\) pages\/s.*/\1/p" "$2"; }
check_pages() {
  local n
  n=$(pdfinfo "$1" | awk '/^Pages:/ { print $2 }')
  [[ $n == "$pages" ]] || { echo "$1 has $n pages, not $pages" >&2; exit 1; }
}

for via in export print; do
  texts=()
  [[ $via == export ]] && texts=(--texts "$work/texts.json")
  /usr/bin/time -v -o "$work/$via.time" "$bin" --pages "$pages" --via "$via" "${texts[@]}" \
    "$work/$via.pdf" >"$work/$via.out" 2>"$work/$via.err" || { cat "$work/$via.err"; exit 1; }
  cat "$work/$via.out"
  check_pages "$work/$via.pdf"
done
/usr/bin/time -v -o "$work/rl.time" /usr/bin/python3 "$root/bench/reportlab_survey.py" \
  "$work/texts.json" "$pages" "$work/rl.pdf" >"$work/rl.out" || exit 1
cat "$work/rl.out"
check_pages "$work/rl.pdf"

rl=$(rate reportlab "$work/rl.out")
echo
printf '%-34s %10s %10s %9s %13s\n' "$pages pages" "pages/s" "vs RL" "PDF MB" "peak RSS MB"
for via in export print; do
  r=$(rate "pdf ($via)" "$work/$via.out")
  printf '%-34s %10.1f %9.2fx %9.1f %13s\n' "ours, $via (PDF step)" "$r" \
    "$(echo "$r / $rl" | bc -l)" "$(mb "$work/$via.pdf")" "$(peak_mb "$work/$via.time")"
  e=$(awk -F'[:,]' '/^prepare:/ { split($2, a, " "); p = a[1]; split($2, b, " in "); s1 = b[2] + 0 }
      /^pdf/ { split($2, b, " in "); s2 = b[2] + 0 } END { printf "%.1f", p / (s1 + s2) }' "$work/$via.out")
  printf '%-34s %10.1f %9.2fx\n' "ours, $via (prepare + PDF)" "$e" "$(echo "$e / $rl" | bc -l)"
done
printf '%-34s %10.1f %9.2fx %9.1f %13s\n' "ReportLab (texts only)" "$rl" 1 \
  "$(mb "$work/rl.pdf")" "$(peak_mb "$work/rl.time")"

echo
echo "pdffonts of our PDF (export):"
pdffonts "$work/export.pdf" | tee "$work/fonts.txt"
# Every font row: a six-letter subset tag, then emb yes, sub yes.
if awk 'NR > 2 { n++; if ($1 !~ /^[A-Z][A-Z][A-Z][A-Z][A-Z][A-Z]\+/ ||
      $(NF-4) != "yes" || $(NF-3) != "yes") bad++ } END { exit !(n > 0 && bad == 0) }' \
  "$work/fonts.txt"; then
  echo "fonts: every font is an embedded subset"
else
  echo "fonts: FAILED, not every font is marked as an embedded subset (ABCDEF+Name, emb yes, sub yes)"
  exit 3
fi
