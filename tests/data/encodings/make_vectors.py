#!/usr/bin/env python3
"""Writes the encoding vectors of the file command tests into this folder.

One text, written by other tools in each encoding a file can come in, and
what loading it, trimming it, converting it either way and saving it in the
same encoding must give:

    NAME.txt            the text (Python's codecs or iconv, with its mark)
    NAME.to-half.txt    全角 -> 半角 of it, saved in the same encoding
    NAME.to-full.txt    半角 -> 全角 of it, saved in the same encoding

Big5 holds less than the others (no 한 or 😀, none of ＂＇［］＾｀), so it has
a text of its own, in Big5 (big5.*) and in UTF-8 (big5-in-utf-8.*), and
also what tornix-convert gives for each file, which neither trims nor lays
out lines:

    NAME.cli.to-half.txt  tornix-convert --to-half of big5.txt or
    NAME.cli.to-full.txt  big5-in-utf-8.txt, in NAME's encoding

The conversions follow their definition on the text's code page 936 /
GB18030 bytes, worked out here per character: the 95 rows pair three spaces
with U+3000 and each printable ASCII character with the code page 936
character A3 xx (xx = its code + 0x80), except $ ~ . with A1E7 A1AB A1A3;
half to full replaces runs of three spaces first, full to half turns ／ into
//. A loaded file is lines each followed by CR LF, and is trimmed of ASCII
white space at both ends before it is converted.

Run from anywhere: python3 tests/data/encodings/make_vectors.py
"""
import codecs
import os
import re
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))

# Leading and trailing white space (trimmed), LF and CR LF lines, full-width
# forms next to ASCII, a three-byte UTF-8 character right before ASCII,
# U+3000, three spaces, and characters that GBK lacks (한, 😀 and 𠀀, which
# UTF-16 holds as surrogate pairs).
TEXT = (
    "\r\n \t中文abc：一二三 Hello, World! x/y 1.5 $9 ~ok\n"
    "　Ｈｅｌｌｏ，　Ｗｏｒｌｄ！／＄。～\r\n"
    "半角   三个空格  两个\n"
    "한국어 😀 𠀀 end. \t\n\n"
)

EXCEPTIONS = {"$": b"\xa1\xe7", "~": b"\xa1\xab", ".": b"\xa1\xa3"}
FULL = {}
for code in range(0x21, 0x7F):
    half = chr(code)
    FULL[half] = EXCEPTIONS.get(half, bytes([0xA3, code + 0x80])).decode("gbk")
HALF = {full: half for half, full in FULL.items()}
HALF["／"] = "//"
HALF["\u3000"] = "   "


def loaded(text):
    lines = text.split("\n")
    if lines[-1] == "":
        lines.pop()
    lines = [line[:-1] if line.endswith("\r") else line for line in lines]
    return "".join(line + "\r\n" for line in lines).strip(" \t\n\v\f\r")


def to_half(text):
    return "".join(HALF.get(ch, ch) for ch in text)


def to_full(text):
    text = re.sub("   ", "\u3000", text)
    return "".join(FULL.get(ch, ch) for ch in text)


def with_python(codec, mark=b""):
    return lambda text: mark + codecs.encode(text, codec)


def with_iconv(charset, mark=False):
    def encode(text):
        return subprocess.run(["iconv", "-f", "UTF-8", "-t", charset], input=(("\ufeff" if mark else "") + text)
                              .encode("utf-8"), stdout=subprocess.PIPE, check=True).stdout
    return encode


# GBK: the code page 936 bytes, GB18030's four-byte forms for what GBK lacks
# (GB18030 without a mark).
ENCODINGS = {
    "gbk": with_iconv("GB18030"),
    "utf-8": with_python("utf-8"),
    "utf-8-bom": with_python("utf-8-sig"),
    "utf-16le": with_python("utf-16-le", codecs.BOM_UTF16_LE),
    "utf-16be": with_iconv("UTF-16BE", mark=True),
    "gb18030": with_iconv("GB18030", mark=True),
}



def write(name, data):
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)


for name, encode in ENCODINGS.items():
    for suffix, text in ((".txt", TEXT), (".to-half.txt", to_half(loaded(TEXT))),
                         (".to-full.txt", to_full(loaded(TEXT)))):
        write(name + suffix, encode(text))


# Big5 as Windows' code page 950 has it (Microsoft's bestfit950.txt, without
# its best-fit mappings), which Python's cp950 codec follows but for three
# things: Windows reads the user-defined areas (where HKSCS is) as private-use
# characters, both ways, where Python's codec reads C6 A1..C7 FC as the ETEN
# kana and Cyrillic (which Windows does not write); and Windows writes ═╞╪╡
# as F9 F9, F9 E9..F9 EB, where Python's codec and iconv write A2 A4..A2 A7.
BIG5_USER_DEFINED = [  # the first lead, the last, its first trail, and the first code point
    (0xFA, 0xFE, 0x40, 0xE000), (0x8E, 0xA0, 0x40, 0xE311), (0x81, 0x8D, 0x40, 0xEEB8), (0xC6, 0xC6, 0xA1, 0xF6B1),
    (0xC7, 0xC8, 0x40, 0xF70F)]
BIG5_TRAILS = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
BIG5_WINDOWS_FORMS = {"═": b"\xf9\xf9", "╞": b"\xf9\xe9", "╪": b"\xf9\xea", "╡": b"\xf9\xeb"}


def big5_private_use(lead, trail):
    for first, last, first_trail, code_point in BIG5_USER_DEFINED:
        if first <= lead <= last and trail >= first_trail:
            trails = [t for t in BIG5_TRAILS if t >= first_trail]
            return chr(code_point + (lead - first) * len(trails) + trails.index(trail))
    return None


def big5_windows_decode(data):
    text, at = [], 0
    while at < len(data):
        if data[at] < 0x80:
            text.append(chr(data[at]))
            at += 1
            continue
        pair = data[at:at + 2]
        text.append(big5_private_use(pair[0], pair[1]) or pair.decode("cp950"))
        at += 2
    return "".join(text)


BIG5_PRIVATE_USE_FORMS = {big5_private_use(lead, trail): bytes([lead, trail])
                          for lead in range(0x81, 0xFF) for trail in BIG5_TRAILS if big5_private_use(lead, trail)}


def big5_windows_encode(text):
    data = b""
    for ch in text:
        form = BIG5_WINDOWS_FORMS.get(ch) or BIG5_PRIVATE_USE_FORMS.get(ch)
        if form is None:
            form = ch.encode("cp950")
            assert big5_windows_decode(form) == ch, ch  # no best fit, no ETEN kana
        data += form
    return data


# Prose, the full-width forms Big5 has, U+3000 and three spaces, € and 碁
# (Windows has them, Python's big5 codec not), ═╞╪╡ and ╭╮; the ASCII has
# nothing whose full-width form Big5 lacks. Written by three tools, each
# line as it comes out of it: iconv; Python's cp950 (ぁ goes to C6 A5, which
# Windows reads as the private-use U+F6B5); Python's big5 (／ and • go to
# A2 41 and A1 45, which Windows reads as ∕ and ‧).
BIG5_LINES = [
    ("iconv", "\r\n \t繁體中文abc：一二三 Hello, World! x/y 1.5 $9 ~ok\n"),
    ("iconv", "　Ｈｅｌｌｏ，　Ｗｏｒｌｄ！／＄。～＼\r\n"),
    ("iconv", "半形   三個空格  兩個 €100 碁 ═╞╪╡ ╭╮\n"),
    ("cp950", "平假名ぁ\n"),
    ("big5", "斜線／與點•\n"),
    ("iconv", "end. \t\n\n"),
]
BIG5_FILE = b"".join(with_iconv("BIG5")(line) if tool == "iconv" else codecs.encode(line, tool)
                     for tool, line in BIG5_LINES)
BIG5_TEXT = big5_windows_decode(BIG5_FILE)
for name, encode in (("big5", big5_windows_encode), ("big5-in-utf-8", with_python("utf-8"))):
    write(name + ".txt", BIG5_FILE if name == "big5" else encode(BIG5_TEXT))
    write(name + ".to-half.txt", encode(to_half(loaded(BIG5_TEXT))))
    write(name + ".to-full.txt", encode(to_full(loaded(BIG5_TEXT))))
    write(name + ".cli.to-half.txt", encode(to_half(BIG5_TEXT)))
    write(name + ".cli.to-full.txt", encode(to_full(BIG5_TEXT)))
