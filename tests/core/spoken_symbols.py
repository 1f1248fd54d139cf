# SPDX-License-Identifier: MIT
"""Fails when a screen reader would read a symbol of the lesson's spoken texts aloud.

Usage: spoken_symbols.py SPOKEN_TEXTS LANGUAGE [LOCALE_DIR]

SPOKEN_TEXTS is the program that prints the texts (spoken_texts.cpp). Speech Dispatcher reads
symbols by the table of the language (LOCALE_DIR/<language>/symbols.dic, else that of the
language without its country) completed by LOCALE_DIR/base/symbols.dic. Orca's default
punctuation level is "most": every symbol of level none, some or most with something to say is
read aloud. The texts are matched as Speech Dispatcher matches them: the complex symbols (a
sentence's full stop, a hyphen inside a word, ...) first, in order, then the simple ones, longest
first. Exit 0: nothing read; 1: each symbol read, with the language and the text; 77: no tables.
"""
import re
import subprocess
import sys
from pathlib import Path

READ_AT_MOST = {"-", "none", "some", "most"}


def read_table(path):
    """The complex symbols [(identifier, pattern)] and symbols {identifier: [replacement, level]}."""
    complex_symbols, symbols, section = [], {}, None
    for line in path.read_text(encoding="utf-8-sig").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        if line in ("complexSymbols:", "symbols:"):
            section = line
        elif section == "complexSymbols:":
            complex_symbols.append(tuple(line.split("\t", 1)))
        elif section == "symbols:":
            fields = line.split("\t")
            if fields[-1].startswith("#"):  # the name a settings dialogue shows
                fields.pop()
            name = fields[0]
            if name == "\\0":  # NUL, which Speech Dispatcher does not load
                continue
            if name.startswith("\\") and len(name) > 1:
                name = {"t": "\t", "n": "\n", "r": "\r", "f": "\f", "v": "\v"}.get(name[1], name[1:])
            replacement = None if fields[1:2] in ([], ["-"]) else fields[1]
            symbols[name] = [replacement, fields[2] if len(fields) > 2 else None]
    return complex_symbols, symbols


def symbols_read(locale_dir, language):
    """The regular expression of the language's table, and the symbols read at "most"."""
    own = locale_dir / language / "symbols.dic"
    if not own.exists():
        own = locale_dir / language.split("_")[0] / "symbols.dic"
    tables = [read_table(p) for p in (own, locale_dir / "base" / "symbols.dic") if p.exists()]
    complex_symbols, symbols = [], {}
    for table_complex, table_symbols in tables:
        complex_symbols += [c for c in table_complex if c[0] not in dict(complex_symbols)]
        for name, fields in table_symbols.items():
            # A field a table leaves out is taken from the next one.
            symbols[name] = [a if a is not None else b for a, b in zip(symbols.get(name, [None, None]), fields)]
    # A symbol with nothing to say is dropped, a complex one with its pattern.
    complex_symbols = [c for c in complex_symbols if symbols.get(c[0], [None])[0] is not None]
    read = {name for name, (replacement, level) in symbols.items() if replacement and level in READ_AT_MOST}
    simple = sorted((s for s in symbols if s not in dict(complex_symbols)), key=len, reverse=True)
    groups = [f"(?P<c{i}>{pattern})" for i, (_, pattern) in enumerate(complex_symbols)]
    pattern = re.compile("|".join(groups + ["(?P<simple>" + "|".join(map(re.escape, simple)) + ")"]))
    return pattern, [name for name, _ in complex_symbols], read


def main(program, language, locale_dir="/usr/share/speech-dispatcher/locale"):
    locale_dir = Path(locale_dir)
    if not (locale_dir / "base" / "symbols.dic").exists():
        print(f"SKIPPED: no Speech Dispatcher symbol tables in {locale_dir} (Debian: speech-dispatcher)")
        return 77
    lines = subprocess.run([program, language], check=True, capture_output=True, text=True).stdout.splitlines()
    texts = [line.split("\t", 1) for line in lines]
    if texts[0] != ["Language", language]:
        print(f"The lesson does not speak {language}: it took {texts[0][1]}")
        return 1
    pattern, complex_names, read = symbols_read(locale_dir, language)
    faulty = 0
    for what, text in texts[1:]:
        found = [m.group() if m.lastgroup == "simple" else complex_names[int(m.lastgroup[1:])]
                 for m in pattern.finditer(text)]
        found = [symbol for symbol in found if symbol in read]
        if found:
            faulty += 1
            print(f"{language}: {what}: {text!r} reads aloud {', '.join(map(repr, found))}")
    print(f"{language}: {faulty} of {len(texts) - 1} spoken texts read a symbol aloud")
    return 1 if faulty else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
