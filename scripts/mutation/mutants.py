#!/usr/bin/env python3
"""Helper of scripts/mutation/run: reads the mutant list, applies one mutant,
and writes the results table. Not meant to be called by hand, though every
subcommand is harmless to try:

  mutants.py ids LIST [ID...]          one line per mutant: id TAB path TAB layer
  mutants.py check LIST ROOT [ID...]   how often each SEARCH text occurs
  mutants.py apply LIST ROOT ID        writes the mutant into its file
  mutants.py table LIST RESULTS OUT    the summary table (RESULTS: the run's TSV)

The list format (blocks; everything before the first block, and lines starting
with "#" outside search/replace sections, are comments):

  === ID path/relative/to/the/repository
  --- search
  exact text, one or more lines, that must occur exactly once in the file
  --- replace
  the text put in its place (may be empty: the search text is deleted)
  --- note
  one line: the fault this mutant models

Trailing blank lines of a search or replace section are dropped, so blocks can
be separated by blank lines; leading and inner whitespace is kept exactly.
"""

import os
import sys
from pathlib import Path

LAYERS = ("text", "status", "link", "formats", "transfer", "handheld", "app")


class Mutant:
    def __init__(self, ident, path, line):
        self.ident = ident
        self.path = path
        self.line = line  # where the block starts in the list, for messages
        self.search = None
        self.replace = None
        self.note = ""

    @property
    def layer(self):
        top = self.path.split("/", 1)[0]
        return top if top in LAYERS else "other"


def fail(message):
    print(f"mutants.py: {message}", file=sys.stderr)
    sys.exit(2)


def parse(list_file):
    mutants = []
    current = None
    section = None
    lines = []

    def close_section():
        nonlocal lines
        if current is None or section is None:
            lines = []
            return
        if section in ("search", "replace"):
            while lines and lines[-1].strip() == "":
                lines.pop()
            setattr(current, section, "\n".join(lines))
        elif section == "note":
            current.note = " ".join(l.strip() for l in lines if l.strip() and not l.startswith("#"))
        lines = []

    text = Path(list_file).read_text(encoding="utf-8")
    for number, line in enumerate(text.split("\n"), start=1):
        if line.startswith("=== "):
            close_section()
            section = None
            fields = line[4:].split()
            if len(fields) != 2:
                fail(f"{list_file}:{number}: expected '=== ID path'")
            current = Mutant(fields[0], fields[1], number)
            mutants.append(current)
            continue
        if line.startswith("--- ") and current is not None:
            name = line[4:].strip()
            if name in ("search", "replace", "note"):
                close_section()
                done = getattr(current, name) if name != "note" else (current.note or None)
                if done is not None:
                    fail(f"{list_file}:{number}: {current.ident} has a second '--- {name}'")
                section = name
                continue
        if section in ("search", "replace"):
            lines.append(line)
        elif section == "note":
            lines.append(line)
        # anything else (before the first block, or between a block's header
        # and its first section) is a comment
    close_section()

    seen = set()
    for m in mutants:
        if m.ident in seen:
            fail(f"{list_file}:{m.line}: id {m.ident} used twice")
        seen.add(m.ident)
        if not m.search:
            fail(f"{list_file}:{m.line}: {m.ident} has no search text")
        if m.replace is None:
            fail(f"{list_file}:{m.line}: {m.ident} has no replace section")
        if m.search == m.replace:
            fail(f"{list_file}:{m.line}: {m.ident} replaces its search text with itself")
        if not m.note:
            fail(f"{list_file}:{m.line}: {m.ident} has no note")
    return mutants


def select(mutants, ids):
    if not ids:
        return mutants
    by_id = {m.ident: m for m in mutants}
    missing = [i for i in ids if i not in by_id]
    if missing:
        fail("no such mutant: " + ", ".join(missing))
    return [by_id[i] for i in ids]


def cmd_ids(args):
    for m in select(parse(args[0]), args[1:]):
        print(f"{m.ident}\t{m.path}\t{m.layer}")


def occurrences(root, m):
    file = Path(root) / m.path
    if not file.is_file():
        return -1
    return file.read_text(encoding="utf-8", errors="surrogateescape").count(m.search)


def cmd_check(args):
    bad = 0
    for m in select(parse(args[0]), args[2:]):
        count = occurrences(args[1], m)
        state = "ok" if count == 1 else ("no such file" if count < 0 else f"found {count} times")
        if count != 1:
            bad += 1
        print(f"{m.ident}\t{m.path}\t{state}")
    sys.exit(1 if bad else 0)


def cmd_apply(args):
    list_file, root, ident = args
    (m,) = select(parse(list_file), [ident])
    file = Path(root) / m.path
    count = occurrences(root, m)
    if count != 1:
        print("no such file" if count < 0 else f"search text found {count} times")
        sys.exit(3)
    text = file.read_text(encoding="utf-8", errors="surrogateescape")
    # Written in place (same inode, new mtime) so that ninja sees the change.
    with open(file, "w", encoding="utf-8", errors="surrogateescape", newline="") as out:
        out.write(text.replace(m.search, m.replace, 1))


def cmd_table(args):
    list_file, results_file, out_file = args
    notes = {m.ident: m for m in parse(list_file)}
    rows = []
    for line in Path(results_file).read_text(encoding="utf-8").splitlines():
        if not line.strip():
            continue
        ident, layer, result, seconds, first_failure = (line.split("\t") + [""] * 5)[:5]
        rows.append((ident, layer, result, seconds, first_failure))
    order = {m: i for i, m in enumerate(notes)}
    rows.sort(key=lambda r: order.get(r[0], len(order)))

    width_id = max([2] + [len(r[0]) for r in rows])
    out = []
    header = os.environ.get("MUTATION_HEADER", "")
    if header:
        out.extend(header.rstrip("\n").split("\n"))
        out.append("")
    out.append(f"{'id':<{width_id}}  {'layer':<8}  {'result':<10}  {'secs':>5}  note  [first failing test]")
    out.append("-" * 100)
    for ident, layer, result, seconds, first_failure in rows:
        note = notes[ident].note if ident in notes else "(no longer in the list)"
        extra = f"  [{first_failure}]" if first_failure else ""
        out.append(f"{ident:<{width_id}}  {layer:<8}  {result:<10}  {seconds:>5}  {note}{extra}")
    out.append("")
    out.append("per layer: killed / valid (valid = killed + survived; stillborn and unmatched not counted)")
    totals = {"killed": 0, "survived": 0, "stillborn": 0, "unmatched": 0}
    for layer in LAYERS + ("other",):
        mine = [r for r in rows if r[1] == layer]
        if not mine:
            continue
        counts = {k: sum(1 for r in mine if r[2] == k) for k in totals}
        for k in totals:
            totals[k] += counts[k]
        valid = counts["killed"] + counts["survived"]
        extra = "".join(f", {counts[k]} {k}" for k in ("stillborn", "unmatched") if counts[k])
        out.append(f"  {layer:<9} {counts['killed']:>3} / {valid:<3}{extra}")
    valid = totals["killed"] + totals["survived"]
    extra = "".join(f", {totals[k]} {k}" for k in ("stillborn", "unmatched") if totals[k])
    score = f"  ({100.0 * totals['killed'] / valid:.0f}% killed)" if valid else ""
    out.append(f"  {'all':<9} {totals['killed']:>3} / {valid:<3}{extra}{score}")
    survivors = [r for r in rows if r[2] == "survived"]
    if survivors:
        out.append("")
        out.append("survivors:")
        for ident, layer, *_ in survivors:
            note = notes[ident].note if ident in notes else ""
            out.append(f"  {ident}  {notes[ident].path if ident in notes else ''}: {note}")
    text = "\n".join(out) + "\n"
    Path(out_file).parent.mkdir(parents=True, exist_ok=True)
    Path(out_file).write_text(text, encoding="utf-8")
    sys.stdout.write(text)


def main():
    if len(sys.argv) < 3:
        fail("usage: mutants.py ids|check|apply|table ...")
    command, args = sys.argv[1], sys.argv[2:]
    handlers = {"ids": cmd_ids, "check": cmd_check, "apply": cmd_apply, "table": cmd_table}
    if command not in handlers:
        fail(f"unknown subcommand {command}")
    handlers[command](args)


if __name__ == "__main__":
    main()
