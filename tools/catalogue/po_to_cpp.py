#!/usr/bin/env python3
"""Turns a translation catalogue (a gettext .po file) into a C++ table for the game.

    po_to_cpp.py LANGUAGE_NAME INPUT.po OUTPUT.cpp
    po_to_cpp.py --data INPUT.po OUTPUT

The table holds every translated entry that is not fuzzy, ordered by context and then by the
Russian text, byte by byte, as the game looks them up. Untranslated and fuzzy entries are left
out: the game shows those texts in Russian until they are translated.

With --data it writes the same entries as data for a program that loads its catalogue
(story::loadCatalogue): for each its context, the 32-bit FNV-1a digest of its Russian text in 8
hexadecimal digits and its translation, each ended by a NUL. The Russian text, which that
program carries already, is not repeated."""

import sys


def unquote(text, where):
    text = text.strip()
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise ValueError(f"{where}: expected a quoted string, got {text!r}")
    out = []
    i = 1
    while i < len(text) - 1:
        c = text[i]
        if c == "\\":
            i += 1
            escape = text[i]
            out.append({"n": "\n", "t": "\t", '"': '"', "\\": "\\"}.get(escape))
            if out[-1] is None:
                raise ValueError(f"{where}: unknown escape \\{escape}")
        else:
            out.append(c)
        i += 1
    return "".join(out)


def entries(path):
    """Yields (context, msgid, msgstr, fuzzy) for each entry of the catalogue."""
    entry = {}
    field = None
    fuzzy = False

    def finish():
        nonlocal entry, field, fuzzy
        if "msgid" in entry:
            yield entry.get("msgctxt"), entry["msgid"], entry.get("msgstr", ""), fuzzy
        entry, field, fuzzy = {}, None, False

    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            where = f"{path}:{number}"
            line = line.rstrip("\n")
            if not line.strip():
                yield from finish()
            elif line.startswith("#~"):
                continue  # obsolete
            elif line.startswith("#,"):
                if "msgid" in entry:
                    yield from finish()
                fuzzy = fuzzy or "fuzzy" in [flag.strip() for flag in line[2:].split(",")]
            elif line.startswith("#"):
                if "msgid" in entry:
                    yield from finish()
            elif line.startswith('"'):
                if field is None:
                    raise ValueError(f"{where}: a string outside any entry")
                entry[field] += unquote(line, where)
            else:
                keyword, _, rest = line.partition(" ")
                if keyword not in ("msgctxt", "msgid", "msgstr"):
                    raise ValueError(f"{where}: unexpected {keyword!r} (plural forms are not used)")
                if keyword == "msgctxt" and "msgid" in entry:
                    yield from finish()
                field = keyword
                entry[field] = unquote(rest, where)
    yield from finish()


def cpp_string(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return '"' + escaped.replace("\t", "\\t") + '"'


def russian_digest(text):
    digest = 0x811C9DC5
    for byte in text.encode():
        digest = ((digest ^ byte) * 0x01000193) & 0xFFFFFFFF
    return digest


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: po_to_cpp.py LANGUAGE_NAME INPUT.po OUTPUT.cpp\n"
                 "       po_to_cpp.py --data INPUT.po OUTPUT")
    name, source, target = sys.argv[1:]
    table = {}
    try:
        for context, msgid, msgstr, fuzzy in entries(source):
            if msgid == "" or context is None or fuzzy or msgstr == "":
                continue  # the header, or nothing the game can use
            key = (context.encode(), msgid.encode())
            if key in table:
                raise ValueError(f"{source}: {context!r} is translated twice")
            table[key] = (context, msgid, msgstr)
    except (OSError, ValueError, UnicodeDecodeError) as problem:
        sys.exit(f"po_to_cpp.py: {problem}")
    rows = [table[key] for key in sorted(table)]
    if name == "--data":
        # The game tells a context's Russian texts apart by their digests alone.
        seen = {}
        data = ""
        for c, i, s in rows:
            digest = russian_digest(i)
            other = seen.setdefault((c, digest), i)
            if other != i:
                sys.exit(f"po_to_cpp.py: {c!r}: {other!r} and {i!r} have one digest")
            data += f"{c}\0{digest:08x}\0{s}\0"
        with open(target, "wb") as out:
            out.write(data.encode())
        return
    body = "".join(
        f"    {{{cpp_string(c)},\n     {cpp_string(i)},\n     {cpp_string(s)}}},\n"
        for c, i, s in rows
    )
    # An empty catalogue still needs one element for the array; the span leaves it out.
    body = body or "    {},\n"
    text = f"""// Written by tools/catalogue/po_to_cpp.py from {source.split("/")[-1]}; edit that file instead.
#include "story/language.h"

namespace tovik::story {{

namespace {{
const CatalogueEntry kEntries[] = {{
{body}}};
}}  // namespace

extern const std::span<const CatalogueEntry> {name};
const std::span<const CatalogueEntry> {name}(kEntries, {len(rows)});

}}  // namespace tovik::story
"""
    with open(target, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main()
