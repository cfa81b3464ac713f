#!/usr/bin/python3
"""ReportLab side of the PDF export benchmark: draws the texts of survey page 1
(dumped by pdf_export_bench --texts) on N pages with the same CJK font file,
and reports pages/s and peak RSS. bench/pdf_export_bench.sh runs it; alone:

  /usr/bin/python3 bench/reportlab_survey.py TEXTS.json N OUT.pdf

Needs Debian's python3-reportlab (system python3)."""

import json
import resource
import subprocess
import sys
import time

try:
    from reportlab.pdfbase import pdfmetrics
    from reportlab.pdfbase.ttfonts import TTFont
    from reportlab.pdfgen import canvas
except ImportError:
    sys.exit("python3-reportlab is missing: "
             "apt-get install -y --no-install-recommends python3-reportlab")

# The faces the templates ask for, as the program substitutes them.
SUBSTITUTES = {"宋体": "AR PL UMing CN", "SimSun": "AR PL UMing CN", "Tahoma": "DejaVu Sans"}


def font_file(family):
    return subprocess.run(["fc-match", "-f", "%{file}", family], check=True,
                          capture_output=True, text=True).stdout


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    texts_file, pages, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(texts_file, encoding="utf-8") as f:
        page = json.load(f)

    names = {}
    for family in sorted({t["font"] for t in page["texts"]}):
        path = font_file(SUBSTITUTES.get(family, family))
        name = "F%d" % len(names)
        # subfontIndex picks the first face of a .ttc (AR PL UMing CN in uming.ttc).
        pdfmetrics.registerFont(TTFont(name, path, subfontIndex=0))
        names[family] = name
        print("font: %s -> %s" % (family, path))
    height = page["height_pt"]
    # Baselines are measured from the top of the paper; ReportLab's y grows upwards.
    items = [(names[t["font"]], t["size"], t["x"], height - t["y"], t["text"])
             for t in page["texts"]]

    start = time.perf_counter()
    c = canvas.Canvas(out, pagesize=(page["width_pt"], height))
    for _ in range(pages):
        for font, size, x, y, text in items:
            c.setFont(font, size)
            c.drawString(x, y, text)
        c.showPage()
    c.save()
    seconds = time.perf_counter() - start
    rss = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss // 1024
    print("reportlab: %d pages of %d texts in %.2f s = %.1f pages/s, peak RSS %d MB"
          % (pages, len(items), seconds, pages / seconds, rss))


if __name__ == "__main__":
    main()
