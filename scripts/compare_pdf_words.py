#!/usr/bin/env python3
"""compare_pdf_words.py LAGRULL.pdf WRITER.pdf [NAME]: compares two PDFs of
one letter as a reader sees them: the page count, the words on every page,
and the baselines of the first 40 words of page 1 (within 1.5 pt).

Words and their boxes come from "pdftotext -bbox". A box runs from the
font's ascent to its descent as the PDF's font descriptors give them, and
poppler takes 0.95 and 0.35 em when a descriptor gives none; the baseline is
found from the box with the share of the ascent the PDF's fonts have on
average. Where fonts differ in that share (Liberation Mono against Sans),
the words of the odd one are placed up to a point off: the letters keep the
first 40 words of page 1 in the proportional fonts.
Exits 1 when the PDFs differ."""
import difflib
import html
import re
import subprocess
import sys
from collections import Counter

TOLERANCE = 1.5  # points
BASELINE_WORDS = 40
LEADER = re.compile(r"[._=-]{3,}")


def pages(pdf):
    xml = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, capture_output=True,
                         text=True).stdout
    result = []
    for page in re.findall(r"<page[^>]*>(.*?)</page>", xml, re.S):
        words = []
        for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                             r'yMax="([\d.]+)">(.*?)</word>', page):
            x0, y0, x1, y1 = (float(m.group(i)) for i in range(1, 5))
            # a tab's leader is no word, and may run into the word beside it;
            # the parts of such a word have no place of their own (x is None)
            text = html.unescape(m.group(5))
            parts = [part for part in LEADER.split(text) if part]
            for part in parts:
                words.append((part, x0 if parts == [text] else None, y0, y1))
        result.append(words)
    return result


def ascent_share(pdf):
    """The share of a word's box above its baseline, over the PDF's fonts."""
    data = open(pdf, "rb").read()
    shares = []
    # the descriptors themselves, not the fonts' references to them
    for m in re.finditer(rb"<<((?:(?!<<|>>).)*?/FontBBox(?:(?!<<|>>).)*)>>", data, re.S):
        a = re.search(rb"/Ascent\s+(-?[\d.]+)", m.group(1))
        d = re.search(rb"/Descent\s+(-?[\d.]+)", m.group(1))
        ascent = float(a.group(1)) if a else 0.0
        descent = -float(d.group(1)) if d else 0.0
        if ascent == 0 and descent == 0:
            ascent, descent = 950.0, 350.0  # poppler's defaults
        if ascent + descent > 0:
            shares.append(ascent / (ascent + descent))
    return sum(shares) / len(shares) if shares else 0.95 / 1.3


def baseline(word, share):
    _, _, y0, y1 = word
    return y0 + (y1 - y0) * share


def compare(ours, theirs, name):
    a, b = pages(ours), pages(theirs)
    sa, sb = ascent_share(ours), ascent_share(theirs)
    ok = True
    lines = [f"{name}:"]
    if len(a) != len(b):
        ok = False
        lines.append(f"  sider: Lagrull {len(a)}, Writer {len(b)}  AVVIK")
    else:
        lines.append(f"  sider: {len(a)}  likt")
    for n in range(min(len(a), len(b))):
        wa, wb = Counter(w[0] for w in a[n]), Counter(w[0] for w in b[n])
        if wa == wb:
            lines.append(f"  side {n + 1}: {sum(wa.values())} ord  likt")
            continue
        ok = False
        only_a = sorted((wa - wb).elements())
        only_b = sorted((wb - wa).elements())
        lines.append(f"  side {n + 1}: bare hos Lagrull {only_a[:12]}"
                     f"{' ...' if len(only_a) > 12 else ''}; bare hos Writer {only_b[:12]}"
                     f"{' ...' if len(only_b) > 12 else ''}  AVVIK")
    if a and b:
        first_a, first_b = a[0][:BASELINE_WORDS], b[0]
        matcher = difflib.SequenceMatcher(None, [w[0] for w in first_a], [w[0] for w in first_b],
                                          autojunk=False)
        worst, worst_word, matched, worst_x = 0.0, "", 0, 0.0
        for block in matcher.get_matching_blocks():
            for k in range(block.size):
                wa, wb = first_a[block.a + k], first_b[block.b + k]
                dy = abs(baseline(wa, sa) - baseline(wb, sb))
                if wa[1] is not None and wb[1] is not None:
                    worst_x = max(worst_x, abs(wa[1] - wb[1]))
                matched += 1
                if dy > worst:
                    worst, worst_word = dy, wa[0]
        verdict = "innenfor" if worst <= TOLERANCE and matched == len(first_a) else "AVVIK"
        if verdict == "AVVIK":
            ok = False
        lines.append(f"  grunnlinjer side 1: {matched} av {len(first_a)} ord parret, største "
                     f"avvik {worst:.2f} pt ({worst_word!r}), største vannrette avvik "
                     f"{worst_x:.2f} pt  {verdict}")
    print("\n".join(lines))
    return ok


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    name = sys.argv[3] if len(sys.argv) == 4 else sys.argv[1]
    sys.exit(0 if compare(sys.argv[1], sys.argv[2], name) else 1)
