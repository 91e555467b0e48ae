#!/usr/bin/env python3
"""Build steps of the web page that cut what a visitor downloads.

  make_site.py font FONT.ttf OUT.woff2 TEXT_FILE...   the font cut to the letters the game writes
  make_site.py png IN.bmp OUT.png                     a window picture as a lossless PNG
  make_site.py gzip FILE OUT.gz                       a packed copy, unpacked by the page itself
  make_site.py worker SITE TEMPLATE OUT.js FILE...    the offline worker, listing the site's files
  make_site.py page TEMPLATE OUT.html --site-url=[URL] COMMAND...
                                                      the page, with the words COMMAND prints and
                                                      its link previews naming URL (if given)

The page unpacks the engine's packed copies itself, so they travel small from any web server,
compressing or not. The font keeps every letter that appears in the given files (the story, the captions, the page),
all of printable ASCII and Latin-1 for other editions, and drops the rest. The worker's version
is a digest of the whole site, so a new build replaces the cached files of the old one; a file
on its list that the site does not have stops the build, as the copy could never be whole.
"""

import gzip
import hashlib
import html
import json
import os
import re
import struct
import subprocess
import sys
import zlib


def cut_font(font_path, out_path, text_paths):
    from fontTools import subset

    letters = {chr(code) for code in range(0x20, 0x7F)}
    letters |= {chr(code) for code in range(0xA0, 0x180)}
    for path in text_paths:
        with open(path, encoding="utf-8") as text:
            letters |= {c for c in text.read() if c.isprintable() and ord(c) > 0x7E}
    options = subset.Options()
    options.flavor = "woff2"
    # Kerning and the line metrics stay, so lines break where the full font breaks them.
    options.layout_features = ["kern"]
    options.name_IDs = ["*"]
    options.notdef_outline = True
    options.hinting = False
    font = subset.load_font(font_path, options)
    cutter = subset.Subsetter(options)
    cutter.populate(text="".join(sorted(letters)))
    cutter.subset(font)
    subset.save_font(font, out_path, options)


def read_bmp(path):
    """The pixels of an uncompressed 24-bit or 8-bit palette BMP, top row first, as RGB rows."""
    with open(path, "rb") as file:
        data = file.read()
    if data[:2] != b"BM":
        raise ValueError(path + ": not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    header = struct.unpack_from("<I", data, 14)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if compression != 0 or bits not in (8, 24):
        raise ValueError(path + ": only uncompressed 8- and 24-bit BMP files are read")
    palette = []
    if bits == 8:
        colours = struct.unpack_from("<I", data, 46)[0] or 256
        start = 14 + header
        palette = [data[start + 4 * i: start + 4 * i + 3][::-1] for i in range(colours)]
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = y if height < 0 else abs(height) - 1 - y
        line = data[offset + row * stride: offset + row * stride + width * bits // 8]
        if bits == 24:
            rgb = bytearray(len(line))
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::3], line[1::3], line[0::3]
        else:
            rgb = b"".join(palette[index] for index in line)
        rows.append(bytes(rgb))
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    # Each row is stored with whichever of the "none", "sub" and "up" filters shrinks it most.
    raw = bytearray()
    previous = bytes(len(rows[0])) if rows else b""
    for row in rows:
        sub = bytes((row[i] - (row[i - 3] if i >= 3 else 0)) & 0xFF for i in range(len(row)))
        up = bytes((row[i] - previous[i]) & 0xFF for i in range(len(row)))
        kind, line = min(((0, row), (1, sub), (2, up)),
                         key=lambda pair: sum(b if b < 128 else 256 - b for b in pair[1]))
        raw += bytes([kind]) + line
        previous = row
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n")
        file.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        file.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        file.write(chunk(b"IEND", b""))


def pack(path, out_path):
    # No name and no time in the header: the same build gives the same bytes.
    with open(path, "rb") as file, open(out_path, "wb") as out:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=out, mtime=0) as packed:
            packed.write(file.read())


def write_worker(site, template_path, out_path, built):
    files = sorted(os.path.relpath(path, site).replace(os.sep, "/") for path in built)
    missing = [name for name in files if not os.path.isfile(os.path.join(site, name))]
    if missing:
        raise SystemExit("make_site.py: the offline copy lists files the site does not have: "
                         + ", ".join(missing))
    digest = hashlib.sha256()
    for relative in files:
        digest.update(relative.encode() + b"\0")
        with open(os.path.join(site, relative), "rb") as file:
            digest.update(file.read())
    with open(template_path, encoding="utf-8") as template:
        text = template.read()
    text = text.replace('"@VERSION@"', json.dumps(digest.hexdigest()[:16]))
    # The page is stored once, as the folder's address it is opened by.
    listed = ["./"] + [name for name in files if name != "index.html"]
    text = text.replace('["@FILES@"]', json.dumps(listed, indent=1))
    with open(out_path, "w", encoding="utf-8") as out:
        out.write(text)


def write_page(template_path, out_path, site_url, words_command):
    """The page with the game's own words in it: what its program (web/page_words.cpp) says,
    run here, the Russian where the HTML shows a text and every language for the loader. Its
    link previews name the site's full address when the build was given one, as preview
    services want full addresses; where the site will be is known only then."""
    page = json.loads(subprocess.run(words_command, check=True, stdout=subprocess.PIPE).stdout)
    with open(template_path, encoding="utf-8") as template:
        text = template.read()
    for name, words in page["words"]["ru"].items():
        text = text.replace("@" + name + "@", html.escape(words))
    loader = json.dumps(page, ensure_ascii=False, separators=(",", ":")).replace("</", "<\\/")
    text = text.replace('"@LANGUAGES@"', loader)
    if site_url:
        if not re.fullmatch(r"https?://[^\s\"'<>]+", site_url):
            raise SystemExit(f"make_site.py: TOVIK_SITE_URL must be an http(s) address, not {site_url!r}")
        if not site_url.endswith("/"):
            site_url += "/"
        address = html.escape(site_url, quote=True)
        text = text.replace('<meta property="og:image" content="preview.png">',
                            f'<meta property="og:url" content="{address}">\n'
                            f'<meta property="og:image" content="{address}preview.png">')
    leftover = re.search(r"@[a-z-]+@", text)
    if leftover:
        raise SystemExit(f"{template_path}: the game has no word for {leftover.group(0)}")
    with open(out_path, "w", encoding="utf-8") as out:
        out.write(text)


def main(argv):
    if len(argv) >= 4 and argv[1] == "font":
        cut_font(argv[2], argv[3], argv[4:])
    elif len(argv) == 4 and argv[1] == "png":
        write_png(argv[3], *read_bmp(argv[2]))
    elif len(argv) == 4 and argv[1] == "gzip":
        pack(argv[2], argv[3])
    elif len(argv) >= 6 and argv[1] == "page" and argv[4].startswith("--site-url="):
        write_page(argv[2], argv[3], argv[4][len("--site-url="):], argv[5:])
    elif len(argv) >= 5 and argv[1] == "worker":
        write_worker(argv[2], argv[3], argv[4], argv[5:])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
