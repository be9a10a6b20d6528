#!/usr/bin/env python3
"""Writes the encoding vectors of the file command tests into this folder.

One text, written by other tools in each encoding a file can come in, and
what loading it, trimming it, converting it either way and saving it in the
same encoding must give:

    NAME.txt            the text (Python's codecs or iconv, with its mark)
    NAME.to-half.txt    全角 -> 半角 of it, saved in the same encoding
    NAME.to-full.txt    半角 -> 全角 of it, saved in the same encoding

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

for name, encode in ENCODINGS.items():
    for suffix, text in ((".txt", TEXT), (".to-half.txt", to_half(loaded(TEXT))),
                         (".to-full.txt", to_full(loaded(TEXT)))):
        with open(os.path.join(HERE, name + suffix), "wb") as out:
            out.write(encode(text))
