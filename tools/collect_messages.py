#!/usr/bin/env python3
"""Collects the message texts a design document quotes and checks the built-in table against them.

Usage:
  collect_messages.py DESIGN.md [--table src/platform/messages.txt] [--json] [--all]

The design document names message IDs next to their texts in many forms, for example
  message 5058 ("Die INI-Datei ..." / "The INI file ..." / "Le fichier INI ...")
  "Zeichnungen:" (5321)          4301 " (*.kav8)|*.kav8"
  | 5004 | "..."; "..."; "..." |  | `RB_Alles` | 6503 | Alles | All | Tout |
  messages 6100 to 6108 ("A", "B", ...)   "A", "B", "C" (5373-5375)
Each quote gives the German, and often the English and French text, in that order.

The report lists, for the IDs of the table, which ones have quoted texts, where the quotes of
the document disagree among themselves, and where the table differs from a quote.  A difference
that was decided on purpose is listed in ACCEPTED below with its reason and is reported apart.
The exit status is 1 when the table differs from a quote that is not accepted.
"""

import argparse
import json
import re
import sys
from collections import defaultdict

LANGS = ("de", "en", "fr")

# Quotes the table deliberately does not follow: (id, language, quoted text) -> reason.
ACCEPTED = {
    # The file-type filters are built as message text + pattern; the message is the description.
    # A ";" inside a message (4303) would even split its fields.
    (4300, "de", " (*.kav*)|*.kav*"): "filter pattern appended to the description 'Alle Schaltpläne'",
    (4301, "de", " (*.kav8)|*.kav8"): "filter pattern appended to the description 'Nur 8.0 Schaltpläne'",
    (4302, "de", " (*.kav)|*.kav"): "filter pattern appended to the description 'Nur alte Schaltpläne'",
    (4303, "de", " (*.kav*)|*.kav8;*.kav*"): "filter pattern appended to the description 'Schaltpläne'",
    (4304, "de", " (*.sbk)|*.sbk"): "filter pattern appended to the description",
    (4305, "de", " (*.blt)|*.blt"): "filter pattern appended to the description",
    # The area table names the menus without their accelerators.
    (1000, "de", "Datei"): "area table; the menu caption is '&Datei'",
    (1300, "de", "Formblatt"): "area table; the menu caption is '&Formblatt'",
    (1200, "de", "Blatt"): "area table; the menu caption is 'B&latt'",
    (1400, "de", "Funktionen"): "area table; the menu caption is '&Funktionen'",
    (1500, "de", "Einstellungen"): "area table; the menu caption is '&Einstellungen'",
    (1600, "de", "Bauteil"): "area table; the menu caption is 'B&auteil'",
}

# Matches of the patterns that are no message texts: (id, text) -> why.
IGNORED = {
    (1000, "m"): "a unit list: 1000 \"m\" is the divisor of metres",
    (4305, ".blt"): "the extension the filter of 4305 offers",
}

Q_OPEN, Q_CLOSE = "\x01", "\x02"


def tokenize(line):
    """Replaces every quoted text by a marker; returns (masked line, list of texts).

    Backslash escapes inside quotes are kept as written (\\r, \\").  A quote that opens right
    after a blank inside a quoted text and is followed by a letter starts an inner quotation
    ('beginnt mit "Backup_of_"'), which the next quote closes.
    """
    out, texts = [], []
    i, n = 0, len(line)
    while i < n:
        c = line[i]
        if c != '"':
            out.append(c)
            i += 1
            continue
        j = i + 1
        buf = []
        inner = False
        closed = False
        while j < n:
            d = line[j]
            if d == "\\" and j + 1 < n:
                buf.append(line[j : j + 2])
                j += 2
                continue
            if d == '"':
                if inner:
                    inner = False
                    buf.append(d)
                    j += 1
                    continue
                nxt = line[j + 1] if j + 1 < n else ""
                prev = line[j - 1]
                if prev == " " and (nxt.isalnum() or nxt == "_") and buf:
                    inner = True
                    buf.append(d)
                    j += 1
                    continue
                closed = True
                break
            buf.append(d)
            j += 1
        if not closed:
            out.append(line[i:])
            break
        out.append(f"{Q_OPEN}{len(texts)}{Q_CLOSE}")
        texts.append("".join(buf))
        i = j + 1
    return "".join(out), texts


Q = Q_OPEN + r"(\d+)" + Q_CLOSE
QN = Q_OPEN + r"\d+" + Q_CLOSE  # non-capturing form
TUPLE = rf"({QN}(?:\s*(?:/|;)\s*{QN}){{0,2}})"
ID = r"(?<![\d.,\-–])(\d{3,4})(?![\d.,]\d|\s*(?:ms|mm|px|pixel|byte|%)|-\d)"


def tuple_texts(span, texts):
    return [texts[int(k)] for k in re.findall(Q, span)]


class Collector:
    def __init__(self, ids):
        self.ids = ids
        self.quotes = defaultdict(list)  # id -> [(line, {lang: text}, kind)]
        self.seen = defaultdict(set)  # line -> IDs a pattern took texts for
        self.missed = []  # (line, id): an ID beside quotes that no pattern explained

    def add(self, mid, lineno, values, kind, langs=LANGS):
        mid = int(mid)
        self.seen[lineno].add(mid)
        if mid not in self.ids:
            return
        entry = {lang: v for lang, v in zip(langs, values) if (mid, v) not in IGNORED}
        if entry:
            self.quotes[mid].append((lineno, entry, kind))

    def scan_line(self, lineno, line):
        masked, texts = tokenize(line)
        used = [False] * len(masked)

        def free(m):
            return not any(used[m.start() : m.end()])

        def take(m):
            for k in range(m.start(), m.end()):
                used[k] = True

        T = lambda span: tuple_texts(span, texts)

        # "the message 5211 followed by a carriage return and 5212 is shown ("A" / "B";
        #  English "C" / "D"; French "E" / "F")"
        pat = rf"(\d+) followed by a carriage return and (\d+) is shown \({Q} / {Q}; English {Q} / {Q}; French {Q} / {Q}\)"
        for m in re.finditer(pat, masked):
            g = m.groups()
            a, b = g[0], g[1]
            t = [texts[int(x)] for x in g[2:]]
            self.add(a, lineno, [t[0], t[2], t[4]], "pair")
            self.add(b, lineno, [t[1], t[3], t[5]], "pair")
            take(m)

        # "message 5014 + "\r" + 5015 ("A" / "B")": two German texts
        pat = rf"(\d+) \+ {QN} \+ (\d+) \({Q} / {Q}\)"
        for m in re.finditer(pat, masked):
            if free(m):
                self.add(m.group(1), lineno, [texts[int(m.group(3))]], "pair")
                self.add(m.group(2), lineno, [texts[int(m.group(4))]], "pair")
                take(m)

        # "(messages 2017 and 2018, English "A" and "B""
        pat = rf"messages (\d+) and (\d+), English {Q} and {Q}"
        for m in re.finditer(pat, masked):
            if free(m):
                self.add(m.group(1), lineno, [texts[int(m.group(3))]], "english", ("en",))
                self.add(m.group(2), lineno, [texts[int(m.group(4))]], "english", ("en",))
                take(m)

        # "messages 6100 to 6108 ("A", "B", ...)"
        pat = rf"messages? (\d+) to (\d+) \(({QN}(?:, {QN})*)\)"
        for m in re.finditer(pat, masked):
            lo, hi = int(m.group(1)), int(m.group(2))
            vals = T(m.group(3))
            if free(m) and len(vals) == hi - lo + 1:
                for k, v in enumerate(vals):
                    self.add(lo + k, lineno, [v], "range")
                take(m)

        # ""A", "B", "C" (5373-5375)"
        pat = rf"({QN}(?:, {QN})+) \((\d+)-(\d+)\)"
        for m in re.finditer(pat, masked):
            lo, hi = int(m.group(2)), int(m.group(3))
            vals = T(m.group(1))
            if free(m) and len(vals) == hi - lo + 1:
                for k, v in enumerate(vals):
                    self.add(lo + k, lineno, [v], "range")
                take(m)

        # "2824-2836 "A", "B", ..."
        pat = rf"(\d+)-(\d+) ({QN}(?:, {QN})+)"
        for m in re.finditer(pat, masked):
            lo, hi = int(m.group(1)), int(m.group(2))
            vals = T(m.group(3))
            if free(m) and len(vals) == hi - lo + 1:
                for k, v in enumerate(vals):
                    self.add(lo + k, lineno, [v], "range")
                take(m)

        # ""A" and "B" (messages 5365, 5366)"
        pat = rf"{Q} and {Q} \(messages (\d+), (\d+)\)"
        for m in re.finditer(pat, masked):
            if free(m):
                self.add(m.group(3), lineno, [texts[int(m.group(1))]], "pair")
                self.add(m.group(4), lineno, [texts[int(m.group(2))]], "pair")
                take(m)

        # "Message 5324 explains the empty value: "A" / "B" / "C""
        pat = rf"[Mm]essage (\d+) explains [^:{Q_OPEN}]*: {TUPLE}"
        for m in re.finditer(pat, masked):
            if free(m):
                self.add(m.group(1), lineno, T(m.group(2)), "after-id")
                take(m)

        # "("Anwender-Variablen", title message 5360)"
        pat = rf"\({Q}, title message (\d+)\)"
        for m in re.finditer(pat, masked):
            if free(m):
                self.add(m.group(2), lineno, [texts[int(m.group(1))]], "before-id")
                take(m)

        # Table rows with plain cells: "| control | 6500 | German | English | French |"
        if masked.startswith("|"):
            cells = [c.strip() for c in masked.strip().strip("|").split("|")]
            for k, c in enumerate(cells):
                if re.fullmatch(r"\d{3,4}", c) and len(cells) - k - 1 == 3:
                    rest = cells[k + 1 :]
                    if all(rest) and not any(Q_OPEN in r for r in rest):
                        self.add(c, lineno, rest, "table")
                        for k2 in range(len(used)):
                            used[k2] = True

        # "7504 and 7510 "A" / "B" / "C""
        pat = rf"{ID} and (\d+) {TUPLE}"
        for m in re.finditer(pat, masked):
            if free(m):
                vals = T(m.group(3))
                self.add(m.group(1), lineno, vals, "shared")
                self.add(m.group(2), lineno, vals, "shared")
                take(m)

        # ID before its texts: "4300 "A"", "message 5058 ("A" / "B")", "7600: "A"",
        # "6300 caption "A"", "| 5004 | "A"; "B"; "C" |", "(8488, "A" / "B" / "C")"
        filler = r"(?:\s*\|\s*|:\s*|\s+|\s*\(|\s*,\s*(?=" + Q_OPEN + r"))" \
                 r"(?:(?:window |panel )?caption |group |button |title |label |is shown )?" \
                 r"(?:`[^`]*`\s*)?\(?"
        pat = rf"{ID}{filler}{TUPLE}"
        for m in re.finditer(pat, masked):
            if not free(m):
                continue
            # "message 5006, " ("": a comma only follows the ID inside parentheses
            between = masked[m.end(1) : m.start(2)]
            if "," in between and not masked[: m.start(1)].rstrip().endswith("("):
                continue
            self.add(m.group(1), lineno, T(m.group(2)), "after-id")
            take(m)

        # Texts before their ID: ""Zeichnungen:" (5321)", ""Präfix:" (5305; ...)"
        # Only the one quote right before the parenthesis: a "; " before it ends another clause.
        pat = rf"{Q}\s*\((?:messages? )?(\d{{3,4}})(?=[);,])"
        for m in re.finditer(pat, masked):
            if free(m):
                self.add(m.group(2), lineno, [texts[int(m.group(1))]], "before-id")
                take(m)

        if texts:
            for m in re.finditer(ID, masked):
                mid = int(m.group(1))
                if mid in self.ids and mid not in self.seen[lineno]:
                    self.missed.append((lineno, mid))


def expand_ranges(text):
    ids = set()
    for part in text.split(","):
        part = part.strip().rstrip(".")
        if not part:
            continue
        if "-" in part:
            lo, hi = part.split("-")
            ids.update(range(int(lo), int(hi) + 1))
        else:
            ids.add(int(part))
    return ids


def listed_ids(lines):
    for line in lines:
        m = re.search(r"Their IDs, by range: ([\d, \-]+)\.", line)
        if m:
            return expand_ranges(m.group(1))
    return set()


def read_table(path):
    table = {}
    order = []
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            head = line.split(";", 1)[0] if ";" in line else ""
            if not head:
                continue
            fields = line.split(";")
            mid = int(head)
            order.append(mid)
            table[mid] = dict(zip(LANGS, [x.replace("\\r", "\r") for x in fields[1:4]]))
    return table, order


def unescape(s):
    return s.replace('\\"', '"').replace("\\\\", "\\")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("design")
    ap.add_argument("--table")
    ap.add_argument("--json", action="store_true", help="dump every quote found")
    ap.add_argument("--all", action="store_true", help="list every quoted ID with its texts")
    ap.add_argument("--missed", action="store_true",
                    help="list IDs that stand beside quotes on a line but got no text from it")
    args = ap.parse_args()

    with open(args.design, encoding="utf-8") as f:
        lines = f.read().split("\n")
    ids = listed_ids(lines)
    col = Collector(ids)
    for no, line in enumerate(lines, 1):
        col.scan_line(no, line)
    quotes = {mid: [(no, {k: unescape(v) for k, v in e.items()}, kind) for no, e, kind in qs]
              for mid, qs in col.quotes.items()}

    if args.json:
        json.dump({str(k): [{"line": no, "kind": kind, **e} for no, e, kind in v]
                   for k, v in sorted(quotes.items())}, sys.stdout, ensure_ascii=False, indent=1)
        print()
        return 0

    print(f"IDs listed by range: {len(ids)}")
    print(f"IDs with quoted texts: {len(quotes)}")
    per_lang = {lang: sum(1 for v in quotes.values() if any(lang in e for _, e, _ in v)) for lang in LANGS}
    print("  with a quote in " + ", ".join(f"{k}: {n}" for k, n in per_lang.items()))

    print("\nQuotes that disagree among themselves:")
    for mid in sorted(quotes):
        for lang in LANGS:
            seen = {}
            for no, e, kind in quotes[mid]:
                if lang in e:
                    seen.setdefault(e[lang], []).append(no)
            if len(seen) > 1:
                alts = "; ".join(f'"{t}" (line {",".join(map(str, n))})' for t, n in seen.items())
                print(f"  {mid} {lang}: {alts}")

    if args.missed:
        print("\nIDs beside quotes without a text from that line:")
        for no, mid in col.missed:
            print(f"  {mid} line {no}: {lines[no - 1][:160]}")

    if args.all:
        print("\nAll quotes:")
        for mid in sorted(quotes):
            for no, e, kind in quotes[mid]:
                print(f"  {mid} [{no} {kind}] " + " / ".join(f"{k}={v!r}" for k, v in e.items()))

    if not args.table:
        return 0
    table, order = read_table(args.table)
    status = 0
    print(f"\nTable: {len(order)} message lines")
    if order != sorted(order):
        print("  not in ascending order")
        status = 1
    if set(order) != ids:
        print(f"  missing IDs: {sorted(ids - set(order))}")
        print(f"  extra IDs: {sorted(set(order) - ids)}")
        status = 1
    differ, accepted = [], []
    for mid in sorted(quotes):
        for no, e, kind in quotes[mid]:
            for lang, text in e.items():
                have = table.get(mid, {}).get(lang)
                if have != text:
                    key = (mid, lang, text)
                    row = f"  {mid} {lang} line {no}: quoted {text!r}, table {have!r}"
                    if key in ACCEPTED:
                        accepted.append(row + f"  [{ACCEPTED[key]}]")
                    else:
                        differ.append(row)
    print(f"\nTable differs from a quote ({len(differ)}):")
    print("\n".join(differ) if differ else "  none")
    print(f"\nAccepted differences ({len(accepted)}):")
    print("\n".join(accepted) if accepted else "  none")
    if differ:
        status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
