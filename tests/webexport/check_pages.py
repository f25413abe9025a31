#!/usr/bin/env python3
"""Checks the web pages the program writes.

  check_pages.py FILE...                       checks the given pages
  check_pages.py --week DEMOWEEK WEEKRUN       writes the small demo week before and after the
                                               results, runs the batch, checks every page and that
                                               every race of the week has its page

A page decodes as strict UTF-8, every line ends in CR LF, it holds <meta charset="UTF-8">, every
end tag closes the innermost open element, nothing but void elements is left open, and its text
holds no bare "&" and no "<".
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
    def __init__(self):
        super().__init__(convert_charrefs=False)
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
        if "<" in data:
            self.errors.append("%s: '<' in text" % self.where())
        if "&" in data:
            self.errors.append("%s: bare '&' in text" % self.where())


def bare_ampersands(text):
    """'&' that starts no character reference, outside scripts and comments."""
    text = re.sub(r"<script\b.*?</script>", "", text, flags=re.S)
    text = re.sub(r"<!--.*?-->", "", text, flags=re.S)
    return [m.start() for m in re.finditer("&", text) if not REFERENCE.match(text, m.start())]


def check_page(path):
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
    if '<meta charset="UTF-8">' not in text:
        errors.append('no <meta charset="UTF-8">')
    parser = PageParser()
    parser.feed(text)
    parser.close()
    errors += parser.errors
    if parser.stack:
        errors.append("left open at the end: %s" % ", ".join(parser.stack))
    if bare_ampersands(text):
        errors.append("%d bare '&' that start no character reference" % len(bare_ampersands(text)))
    return errors


def check_files(paths):
    failed = 0
    for path in paths:
        for error in check_page(path):
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
            print("%s: %d races, %d pages checked" % (state, len(keys), len(pages)))
    return failed


def main(argv):
    if len(argv) == 4 and argv[1] == "--week":
        failed = check_week(argv[2], argv[3])
    elif len(argv) >= 2 and not argv[1].startswith("--"):
        failed = check_files(argv[1:])
    else:
        print(__doc__)
        return 2
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
