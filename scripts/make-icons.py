#!/usr/bin/env python3
"""Renders the program icon from src/res/icon/tornix.svg.

Writes tornix_16.png, tornix_32.png and tornix_48.png (32-bit RGBA) and
tornix.ico, which holds the same three images as 32-bit DIBs with an AND mask,
the form every Windows version reads. Needs rsvg-convert (librsvg2-bin).

    scripts/make-icons.py
"""
import struct
import subprocess
import sys
import zlib
from pathlib import Path

SIZES = (16, 32, 48)
ICON_DIR = Path(__file__).resolve().parent.parent / "src" / "res" / "icon"


def render_png(svg: Path, size: int, out: Path) -> None:
    subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-f", "png", "-o", str(out), str(svg)],
                   check=True)


def paeth(a: int, b: int, c: int) -> int:
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_rgba(png: Path):
    """Decodes an 8-bit RGBA, non-interlaced PNG into (width, height, rows)."""
    data = png.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{png}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        sys.exit(f"{png}: expected 8-bit RGBA without interlacing")
    raw, stride, rows, prev = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, corner = prev[i], prev[i - 4] if i >= 4 else 0
            predictor = (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]
            line[i] = (line[i] + predictor) & 0xFF
        rows.append(bytes(line))
        prev = line
    return width, height, rows


def dib_image(width: int, height: int, rows) -> bytes:
    """A 32-bit BGRA DIB, bottom-up, with its 1-bit AND mask (opaque = 0)."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels, mask_stride, mask = b"", ((width + 31) // 32) * 4, b""
    for row in reversed(rows):
        pixels += b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3])) for i in range(0, len(row), 4))
        bits = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def write_ico(images, out: Path) -> None:
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset, blobs = 6 + 16 * len(images), b""
    for width, height, blob in images:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    out.write_bytes(directory + blobs)


def main() -> None:
    svg = ICON_DIR / "tornix.svg"
    images = []
    for size in SIZES:
        png = ICON_DIR / f"tornix_{size}.png"
        render_png(svg, size, png)
        width, height, rows = read_rgba(png)
        images.append((width, height, dib_image(width, height, rows)))
    write_ico(images, ICON_DIR / "tornix.ico")
    print(f"wrote {', '.join(f'tornix_{s}.png' for s in SIZES)} and tornix.ico in {ICON_DIR}")


if __name__ == "__main__":
    main()
