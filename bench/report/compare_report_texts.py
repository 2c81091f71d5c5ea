#!/usr/bin/python3
"""Compares the reports written by kvo_report_texts in two folders (say, before and after a
change to the report control): the text pdftotext reads from each PDF in the order it is drawn
(-raw), after NFKC (so that a ligature reads as its letters) and with runs of blanks made one
blank.

    bench/report/compare_report_texts.py BEFORE AFTER

For each report it says whether the pages hold the same text, and otherwise shows the lines
that differ twice over: as they stand, and with the page headers and footers and the
"(continued)" headings left out (the text of the report itself, wherever its pages break)."""
import difflib
import os
import re
import subprocess
import sys
import unicodedata


def pdf_lines(path):
    text = subprocess.run(["pdftotext", "-raw", path, "-"], capture_output=True, text=True,
                          check=True).stdout
    text = unicodedata.normalize("NFKC", text)
    return [" ".join(line.split()) for line in text.splitlines() if line.strip()]


BAND = re.compile(r"^(Page \d+ of \d+|.*Kestavo 3\.02)$")


def body(lines):
    kept, seen, after_band, page_start = [], set(), False, 0
    for line in lines:
        if BAND.match(line):
            after_band, page_start = True, len(kept)
            continue
        repeated = after_band and line in seen
        after_band = False
        if repeated:
            continue
        if line.endswith("(continued)"):
            del kept[page_start:]   # the heading's first lines, when it wraps
            continue
        seen.add(line)
        kept.append(line)
    return kept


def ligatures(path):
    raw = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True, check=True).stdout
    return sorted({c for c in raw if "\ufb00" <= c <= "\ufb06"})


def words(lines):
    return " ".join(lines).split()


def show(label, a, b):
    diff = list(difflib.unified_diff(a, b, "before", "after", n=1, lineterm=""))
    print(f"  {label}: {'same' if not diff else f'{len(diff)} diff lines'}")
    for line in diff[:60]:
        print("    " + line)


def main(before, after):
    same = True
    for name in sorted(f for f in os.listdir(before) if f.endswith(".pdf")):
        a, b = pdf_lines(os.path.join(before, name)), pdf_lines(os.path.join(after, name))
        pages = lambda lines: sum(1 for line in lines if line.startswith("Page "))
        print(f"{name}: pages {pages(a)} -> {pages(b)}, ligatures {ligatures(os.path.join(before, name))} -> "
              f"{ligatures(os.path.join(after, name))}")
        if a == b:
            print("  same text")
            continue
        show("whole text", a, b)
        # Words, not lines: where a long text wraps is whitespace too.
        show("without page bands and continued headings, word by word", words(body(a)), words(body(b)))
        same = same and words(body(a)) == words(body(b))
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
