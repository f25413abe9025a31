#!/usr/bin/env python3
"""Checks the web files the program writes.

  check_pages.py FILE...                       checks the given pages
  check_pages.py --fragment FILE...            checks the given block-editor texts
  check_pages.py --week DEMOWEEK WEEKRUN       writes the small demo week before and after the
                                               results, runs the batch and checks every web file:
                                               every race of the week has its page, every meeting
                                               day one block text and one print page with one
                                               block and one section per race of the day

A page decodes as strict UTF-8, every line ends in CR LF, it holds <meta charset="UTF-8">, every
end tag closes the innermost open element, nothing but void elements is left open, and its text
holds no bare "&" and no "<". A block text (a fragment) is checked the same way, without the
charset, and holds no text outside its elements but the line "Finish".
"""
import html.parser
import os
import re
import subprocess
import sys
import tempfile

VOID = {"meta", "link", "img", "br"}
REFERENCE = re.compile(r"&(#[0-9]+|#[xX][0-9a-fA-F]+|[A-Za-z][A-Za-z0-9]*);")


class PageParser(html.parser.HTMLParser):
    def __init__(self, fragment=False):
        super().__init__(convert_charrefs=False)
        self.fragment = fragment
        self.stack = []
        self.errors = []

    def where(self):
        return "line %d" % self.getpos()[0]

    def handle_starttag(self, tag, attrs):
        if tag not in VOID:
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):
        if tag not in VOID:
            self.errors.append("%s: <%s/> is not a void element" % (self.where(), tag))

    def handle_endtag(self, tag):
        if tag in VOID:
            self.errors.append("%s: end tag of the void element %s" % (self.where(), tag))
        elif not self.stack or self.stack[-1] != tag:
            open_tag = self.stack[-1] if self.stack else "nothing"
            self.errors.append("%s: </%s> while <%s> is open" % (self.where(), tag, open_tag))
        else:
            self.stack.pop()

    def handle_data(self, data):
        if self.stack and self.stack[-1] == "script":
            return
        if self.fragment and not self.stack and data.strip() not in ("", "Finish"):
            self.errors.append("%s: text outside the blocks: %r" % (self.where(), data.strip()))
        if "<" in data:
            self.errors.append("%s: '<' in text" % self.where())
        if "&" in data:
            self.errors.append("%s: bare '&' in text" % self.where())


def bare_ampersands(text):
    """'&' that starts no character reference, outside scripts and comments."""
    text = re.sub(r"<script\b.*?</script>", "", text, flags=re.S)
    text = re.sub(r"<!--.*?-->", "", text, flags=re.S)
    return [m.start() for m in re.finditer("&", text) if not REFERENCE.match(text, m.start())]


def check_page(path, fragment=False):
    errors = []
    data = open(path, "rb").read()
    try:
        text = data.decode("utf-8", errors="strict")
    except UnicodeDecodeError as e:
        return ["not UTF-8: %s" % e]
    if text.startswith("\ufeff"):
        errors.append("starts with a byte-order mark")
    if not data.endswith(b"\r\n"):
        errors.append("the last line does not end in CR LF")
    for number, line in enumerate(data.split(b"\n")[:-1], 1):
        if not line.endswith(b"\r"):
            errors.append("line %d does not end in CR LF" % number)
    if not fragment and '<meta charset="UTF-8">' not in text:
        errors.append('no <meta charset="UTF-8">')
    parser = PageParser(fragment)
    parser.feed(text)
    parser.close()
    errors += parser.errors
    if parser.stack:
        errors.append("left open at the end: %s" % ", ".join(parser.stack))
    if bare_ampersands(text):
        errors.append("%d bare '&' that start no character reference" % len(bare_ampersands(text)))
    return errors


def check_files(paths, fragment=False):
    failed = 0
    for path in paths:
        for error in check_page(path, fragment):
            print("%s: %s" % (path, error))
            failed += 1
    return failed


def course_romaji(folder):
    """Racecourse code -> romaji, lower-cased, from the week's code table (CP932)."""
    romaji = {}
    path = os.path.join(folder, "JRACODE", "CodeTable.csv")
    for line in open(path, "rb").read().decode("cp932", errors="replace").splitlines():
        fields = [f.strip().strip('"') for f in line.split(",")]
        if len(fields) >= 7 and fields[0] == "2001":
            romaji[fields[1]] = fields[6].lower()
    return romaji


def race_keys(folder):
    content = open(os.path.join(folder, "RACETHISWEEKNSYOSAI.dat"), "rb").read().decode("cp932", errors="replace")
    return [m.group(1) for m in re.finditer(r'^"(\d{12})"', content, flags=re.M)]


def check_week(demoweek, weekrun):
    failed = 0
    for state in ("before", "after"):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([demoweek, folder, "--small", "--state", state], check=True, stdout=subprocess.DEVNULL)
            subprocess.run([weekrun, "--app", folder, "--settings", os.path.join(folder, "no-settings"), "--quiet",
                            "fetch", "structures", "compute", "batch"], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            pages_folder = os.path.join(folder, "tarnel_paddy_yosou")
            pages = sorted(os.listdir(pages_folder))
            romaji = course_romaji(folder)
            keys = race_keys(folder)
            if not keys:
                print("%s: the week lists no race" % state)
                failed += 1
            for key in keys:
                name = "%s_%s_r%d.txt" % (key[:8], romaji.get(key[8:10], ""), int(key[10:12]))
                if name not in pages:
                    print("%s: race %s has no page %s" % (state, key, name))
                    failed += 1
            failed += check_files([os.path.join(pages_folder, p) for p in pages])
            failed += check_day_files(state, os.path.join(folder, "tarnel_paddy_wp"), keys, romaji)
            print("%s: %d races, %d pages checked" % (state, len(keys), len(pages)))
    return failed


def check_day_files(state, folder, keys, romaji):
    """One block text and one print page per meeting day (date and course), each whole, with one
    block or section per race of the day."""
    failed = 0
    days = {}
    for key in keys:
        day = (key[:8], romaji.get(key[8:10], ""))
        days[day] = days.get(day, 0) + 1
    expected = set()
    for (date, course), races in sorted(days.items()):
        day = date + " " + course
        block, print_page = "%s-%s.txt" % (date, course), "%s_%s_pdf.txt" % (date, course)
        expected.update((block, print_page))
        for name, mark, count in ((block, "<!-- wp:heading -->", races),
                                  (print_page, '<table class="raceDetail">', races),
                                  (print_page, "</html>", 1)):
            path = os.path.join(folder, name)
            if not os.path.exists(path):
                print("%s: meeting day %s has no %s" % (state, day, name))
                failed += 1
                continue
            found = open(path, "rb").read().decode("utf-8", errors="replace").count(mark)
            if found != count:
                print("%s: %s holds %d of %s for %d" % (state, name, found, mark, count))
                failed += 1
    names = sorted(os.listdir(folder))
    for name in names:
        if name not in expected:
            print("%s: %s is no day file of the week" % (state, name))
            failed += 1
    failed += check_files([os.path.join(folder, n) for n in names if n.endswith("_pdf.txt")])
    failed += check_files([os.path.join(folder, n) for n in names if not n.endswith("_pdf.txt")], fragment=True)
    print("%s: %d meeting days, %d day files checked" % (state, len(days), len(names)))
    return failed


def main(argv):
    if len(argv) == 4 and argv[1] == "--week":
        failed = check_week(argv[2], argv[3])
    elif len(argv) >= 3 and argv[1] == "--fragment":
        failed = check_files(argv[2:], fragment=True)
    elif len(argv) >= 2 and not argv[1].startswith("--"):
        failed = check_files(argv[1:])
    else:
        print(__doc__)
        return 2
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
