#!/usr/bin/env python3
"""Reads the race card of the hostile golden page back with html.parser: the name, jockey and
trainer cells must be the decoded texts cut to 9 and 4 characters, whatever markup they hold."""
import html.parser
import sys


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.table = None
        self.rows = []
        self.cell = None

    def handle_starttag(self, tag, attrs):
        if tag == "table":
            self.table = dict(attrs).get("class")
        elif tag == "tr" and self.table == "raceDetail":
            self.rows.append([])
        elif tag == "td" and self.table == "raceDetail":
            self.cell = ""

    def handle_endtag(self, tag):
        if tag == "td" and self.cell is not None:
            self.rows[-1].append(self.cell)
            self.cell = None
        elif tag == "table":
            self.table = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


EXPECTED = [  # 馬名, 騎手, 調教師 of horse numbers 1 to 5
    ('<b>&"</sc', "A&B ", "調教師名"),
    ("アイウエオカキクケ", "騎手太郎", "調教師名"),
    ("ミホノブルボン  ", "武豊  ", "調教師名"),
    ("", "", ""),
    ("タマモクロス   ", "騎手太郎", "調教師名"),
]


def main(path):
    parser = Cells()
    parser.feed(open(path, encoding="utf-8", newline="").read())
    rows = [r for r in parser.rows if r]
    got = [(r[3], r[6], r[7]) for r in rows]
    if got != EXPECTED:
        print("cells read back: %r" % got)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
