#!/usr/bin/env python3
"""Measures tornix-convert and its peers on one generated document.

The document is Chinese prose mixed with ASCII and full-width forms, made
from a fixed seed, so every run measures the same bytes. Each tool reads it
in its own encoding (code page 936 and UTF-8 for tornix-convert, UTF-8 for
ICU's uconv, nkf and Python) from a file on standard input and writes to a
file; tornix-convert recognises each encoding by itself. Every
command runs several times, all of them in turns; the table shows the
fastest run and the largest peak resident memory of all runs
(/usr/bin/time's %M).
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import threading
import time

# Level-1 GB2312 ideographs: lead bytes 0xB0..0xD7, trail bytes 0xA1..0xFE
# (0xD7 stops at 0xF9).
HANZI = [bytes([lead, trail]).decode("gbk")
         for lead in range(0xB0, 0xD8)
         for trail in range(0xA1, 0xFF)
         if not (lead == 0xD7 and trail > 0xF9)]
ASCII_WORDS = ["Tornix", "GBK", "code page 936", "Windows", "hello, world!", "v1.2.3", "2024-12-08",
               "https://example.org/a/b?c=1", "x = (a + b) * 3;", "ISO 8601", "100%", "$42.50",
               "user@example.org", "C:\\Temp\\out.txt", "[note]", "e.g.", "Q&A", "~/docs/readme.txt"]
FULL_WIDTH = ["ＡＢＣ", "１２３", "（注）", "：", "；", "！", "？", "　", "＃１", "Ｗｉｎｄｏｗｓ", "２０２４年",
              "＜标题＞", "［参考］", "＄", "～"]
CHINESE_PUNCT = ["，", "。", "、", "“", "”", "《", "》"]


def make_paragraph(rng):
    parts = []
    for _ in range(rng.randint(3, 8)):  # sentences
        for _ in range(rng.randint(2, 6)):  # clauses
            parts.append("".join(rng.choice(HANZI) for _ in range(rng.randint(3, 14))))
            roll = rng.random()
            if roll < 0.35:
                parts.append(rng.choice([" ", ""]) + rng.choice(ASCII_WORDS) + rng.choice([" ", ""]))
            elif roll < 0.55:
                parts.append(rng.choice(FULL_WIDTH))
            elif roll < 0.6:
                parts.append("   " if rng.random() < 0.5 else "      ")
            parts.append(rng.choice(CHINESE_PUNCT[:3]))
        parts.append(rng.choice(["。", "！", "？", ". "]))
    return "".join(parts) + "\r\n"


def make_document(path_gbk, path_utf8, size):
    rng = random.Random(20261208)
    # A few hundred distinct paragraphs, repeated in random order up to the
    # size; the last one is cut after a whole character and padded.
    paragraphs = [make_paragraph(rng) for _ in range(600)]
    written = 0
    with open(path_gbk, "wb") as gbk, open(path_utf8, "wb") as utf8:
        while written < size:
            text = rng.choice(paragraphs)
            if written + len(text.encode("gbk")) > size:
                kept = ""
                for ch in text:
                    if written + len((kept + ch).encode("gbk")) > size:
                        break
                    kept += ch
                text = kept + " " * (size - written - len(kept.encode("gbk")))
            gbk.write(text.encode("gbk"))
            utf8.write(text.encode("utf-8"))
            written += len(text.encode("gbk"))


TIME = "/usr/bin/time"


def timed(argv, rss_path):
    """The command run under /usr/bin/time, which forks it from a small
    process: a child forked from Python would count Python's own pages in its
    peak RSS."""
    return [TIME, "-f", "%M", "-o", rss_path] + argv


def read_rss_kib(rss_path):
    with open(rss_path) as f:
        return int(f.read().split()[-1])


def run_once(argv, stdin_path, stdout_path):
    rss_path = stdout_path + ".rss"
    with open(stdin_path, "rb") as stdin, open(stdout_path, "wb") as stdout:
        start = time.perf_counter()
        process = subprocess.run(timed(argv, rss_path), stdin=stdin, stdout=stdout, stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
    if process.returncode != 0:
        sys.exit(f"{argv[0]} failed ({process.returncode}): {process.stderr.decode(errors='replace').strip()}")
    return elapsed, read_rss_kib(rss_path)


def measure_in_turns(rows, out_path, runs):
    """Each row's best time of `runs`, the rows run in turns (one run of each,
    then the next round), so that a machine that slows down for a while
    slows every tool alike and the ratios hold."""
    times = [[] for _ in rows]
    peaks = [[] for _ in rows]
    for _ in range(runs):
        for k, (name, _, _, argv, stdin_path) in enumerate(rows):
            print(f"Measuring {name} ...", file=sys.stderr)
            elapsed, peak = run_once(argv, stdin_path, out_path)
            times[k].append(elapsed)
            peaks[k].append(peak)
    results = []
    for k, (name, direction, encoding, _, stdin_path) in enumerate(rows):
        size = os.path.getsize(stdin_path)
        best = min(times[k])
        results.append({"tool": name, "direction": direction, "encoding": encoding, "size": size, "seconds": best,
                        "mbps": size / best / 1e6, "rss_mib": max(peaks[k]) / 1024.0})
    return results


def measure_long_stream(program, document, times):
    """tornix-convert on the document repeated through a pipe: memory must
    not depend on the input's size."""
    print(f"Measuring tornix-convert on {times} copies through a pipe ...", file=sys.stderr)
    with open(document, "rb") as f:
        data = f.read()
    rss_path = os.path.join(os.path.dirname(document), "long.rss")
    with open(os.devnull, "wb") as devnull:
        start = time.perf_counter()
        process = subprocess.Popen(timed([program, "--to-full"], rss_path), stdin=subprocess.PIPE, stdout=devnull)

        def feed():
            for _ in range(times):
                process.stdin.write(data)
            process.stdin.close()

        feeder = threading.Thread(target=feed)
        feeder.start()
        status = process.wait()
        elapsed = time.perf_counter() - start
        feeder.join()
    if status != 0:
        sys.exit("tornix-convert failed on the long stream")
    size = len(data) * times
    return {"tool": f"tornix-convert --to-full, {size >> 20} MiB through a pipe", "direction": "half -> full",
            "encoding": "GBK", "size": size, "seconds": elapsed, "mbps": size / elapsed / 1e6,
            "rss_mib": read_rss_kib(rss_path) / 1024.0, "extra": True}


def measure_in_place(program, document, times):
    """tornix-convert -o onto a file whose folder allows no new file, so that
    the file is rewritten in place: memory must not depend on the size either.
    As root every folder is writable, so the program then runs as "nobody"."""
    print(f"Measuring tornix-convert -o in place on {times} copies ...", file=sys.stderr)
    folder = os.path.join(os.path.dirname(document), "in-place")
    os.makedirs(folder, exist_ok=True)
    source = os.path.join(folder, "in.txt")
    target = os.path.join(folder, "out.txt")
    with open(document, "rb") as f:
        data = f.read()
    with open(source, "wb") as f:
        for _ in range(times):
            f.write(data)
    with open(target, "wb") as f:
        f.write(b"old")
    os.chmod(source, 0o644)
    argv = [program, "--to-full", "-o", target, source]
    if os.geteuid() == 0:
        os.chown(target, 65534, 65534)
        os.chmod(folder, 0o755)
        argv = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + argv
    else:
        os.chmod(folder, 0o555)
    rss_path = os.path.join(os.path.dirname(document), "in-place.rss")
    start = time.perf_counter()
    process = subprocess.run(timed(argv, rss_path), stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    os.chmod(folder, 0o755)
    if process.returncode != 0 or sorted(os.listdir(folder)) != ["in.txt", "out.txt"]:
        sys.exit(f"tornix-convert -o in place failed: {process.stderr.decode(errors='replace').strip()}")
    size = len(data) * times
    shutil.rmtree(folder)
    return {"tool": f"tornix-convert --to-full -o, {size >> 20} MiB rewritten in place", "direction": "half -> full",
            "encoding": "GBK", "size": size, "seconds": elapsed, "mbps": size / elapsed / 1e6,
            "rss_mib": read_rss_kib(rss_path) / 1024.0, "extra": True}


# The characters tornix-convert --keep-chinese-punctuation keeps when it
# converts to half width, and the forms it converts: U+FF01..U+FF5E (this
# document holds neither of the two whose classic rows differ, ． and ／).
KEPT = "，。！？；：、（）《》“”‘’　"
FORMS = [chr(0xFEE0 + c) for c in range(0x21, 0x7F) if chr(0xFEE0 + c) not in KEPT]


def keep_race_rows(program, gbk, utf8):
    """tornix-convert --keep-chinese-punctuation --to-half, and the peers
    doing the same job on the same file: ICU's transliterator with a filter
    set, Perl's tr and Python's str.translate."""
    perl_from = "".join("\\x{%X}" % ord(f) for f in FORMS)
    perl_to = "".join("\\x{%X}" % (ord(f) - 0xFEE0) for f in FORMS)
    table = {ord(f): ord(f) - 0xFEE0 for f in FORMS}
    python_translate = [sys.executable, "-c",
                        "import sys; t = %r; sys.stdout.buffer.write(sys.stdin.buffer.read().decode('utf-8')"
                        ".translate(t).encode('utf-8'))" % table]
    direction = "full -> half, Chinese punctuation kept"
    tornix = [program, "--to-half", "--keep-chinese-punctuation"]
    return [
        ("tornix-convert --to-half --keep-chinese-punctuation", direction, "GBK", tornix, gbk),
        ("tornix-convert --to-half --keep-chinese-punctuation", direction, "UTF-8", tornix, utf8),
        ("uconv -x '[^%s] Fullwidth-Halfwidth'" % KEPT, direction, "UTF-8",
         ["uconv", "-f", "utf-8", "-t", "utf-8", "-x", "[^%s] Fullwidth-Halfwidth" % KEPT], utf8),
        ("perl -CSD -pe 'tr/<forms>/<ASCII>/'", direction, "UTF-8",
         ["perl", "-CSD", "-pe", "tr/%s/%s/" % (perl_from, perl_to)], utf8),
        ("python3 str.translate", direction, "UTF-8", python_translate, utf8),
    ]


def same_output(argv, stdin_path, expected_path, out_path):
    """Whether a tool's output is byte for byte tornix-convert's."""
    with open(stdin_path, "rb") as stdin, open(out_path, "wb") as stdout:
        subprocess.run(argv, stdin=stdin, stdout=stdout, check=True)
    with open(out_path, "rb") as a, open(expected_path, "rb") as b:
        return a.read() == b.read()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the tornix-convert to measure")
    parser.add_argument("--work", required=True, help="folder for the document and the outputs")
    parser.add_argument("--size-mib", type=int, default=64)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    os.makedirs(args.work, exist_ok=True)
    gbk = os.path.join(args.work, "document.gbk.txt")
    utf8 = os.path.join(args.work, "document.utf8.txt")
    size = args.size_mib * 1024 * 1024
    if not os.path.exists(gbk) or os.path.getsize(gbk) != size:
        print(f"Generating the {args.size_mib} MiB document ...", file=sys.stderr)
        make_document(gbk, utf8, size)
    out = os.path.join(args.work, "out.txt")

    python_nfkc = [sys.executable, "-c",
                   "import sys, unicodedata; "
                   "sys.stdout.buffer.write(unicodedata.normalize('NFKC', "
                   "sys.stdin.buffer.read().decode('utf-8')).encode('utf-8'))"]
    rows = [
        ("tornix-convert --to-full", "half -> full", "GBK", [args.program, "--to-full"], gbk),
        ("tornix-convert --to-half", "full -> half", "GBK", [args.program, "--to-half"], gbk),
        ("tornix-convert --to-full", "half -> full", "UTF-8", [args.program, "--to-full"], utf8),
        ("tornix-convert --to-half", "full -> half", "UTF-8", [args.program, "--to-half"], utf8),
        ("uconv -x Halfwidth-Fullwidth", "half -> full", "UTF-8",
         ["uconv", "-f", "utf-8", "-t", "utf-8", "-x", "Halfwidth-Fullwidth"], utf8),
        ("uconv -x Fullwidth-Halfwidth", "full -> half", "UTF-8",
         ["uconv", "-f", "utf-8", "-t", "utf-8", "-x", "Fullwidth-Halfwidth"], utf8),
        ("nkf -w -W -Z1", "full -> half", "UTF-8", ["nkf", "-w", "-W", "-Z1"], utf8),
        ("python3 NFKC", "full -> half", "UTF-8", python_nfkc, utf8),
        ("cat", "copy", "GBK", ["cat"], gbk),
        ("cat", "copy", "UTF-8", ["cat"], utf8),
    ]
    rows += keep_race_rows(args.program, gbk, utf8)
    present = []
    for row in rows:
        if shutil.which(row[3][0]) is None and not os.path.exists(row[3][0]):
            print(f"skipping {row[0]}: {row[3][0]} not found", file=sys.stderr)
            continue
        present.append(row)
    results = measure_in_turns(present, out, args.runs)
    check_same_job(args.program, utf8, out)
    os.remove(out)
    results.append(measure_long_stream(args.program, gbk, 16))
    results.append(measure_in_place(args.program, gbk, 4))

    print(f"Document: {args.size_mib} MiB of code page 936 text "
          f"({os.path.getsize(utf8) / 1024 / 1024:.1f} MiB as UTF-8); best of {args.runs} runs taken in turns; "
          f"output to a file; MB/s = input bytes / 10^6 / s\n")
    print("| tool | direction | input | time (s) | MB/s | peak RSS (MiB) |")
    print("|---|---|---|---:|---:|---:|")
    for r in results:
        print(f"| `{r['tool']}`" if not r.get("extra") else f"| {r['tool']}", end="")
        print(f" | {r['direction']} | {r['encoding']} | {r['seconds']:.3f} | "
              f"{r['mbps']:.0f} | {r['rss_mib']:.1f} |")

    check_targets(results)


def check_same_job(program, utf8, out):
    """The peers of the race with Chinese punctuation kept give the same
    bytes as tornix-convert, so that they do the same job."""
    expected = out + ".tornix"
    with open(utf8, "rb") as stdin, open(expected, "wb") as stdout:
        subprocess.run([program, "--to-half", "--keep-chinese-punctuation"], stdin=stdin, stdout=stdout, check=True)
    for name, _, encoding, argv, stdin_path in keep_race_rows(program, utf8, utf8)[2:]:
        if shutil.which(argv[0]) is None and not os.path.exists(argv[0]):
            continue
        same = same_output(argv, stdin_path, expected, out)
        print(f"{name}: the same output as tornix-convert: {'yes' if same else 'NO'}", file=sys.stderr)
    os.remove(expected)


def check_targets(results):
    by_tool = {(r["tool"], r["encoding"]): r for r in results}
    lines = []
    for encoding in ("GBK", "UTF-8"):
        cat = by_tool.get(("cat", encoding))
        for tornix, direction, icu in (("tornix-convert --to-full", "half -> full", "uconv -x Halfwidth-Fullwidth"),
                                       ("tornix-convert --to-half", "full -> half", "uconv -x Fullwidth-Halfwidth")):
            ours = by_tool.get((tornix, encoding))
            if ours is None:
                continue
            name = f"{tornix} ({encoding})"
            peers = [r for r in results
                     if r["direction"] == direction and not r["tool"].startswith("tornix") and not r.get("extra")]
            fastest = all(ours["seconds"] < p["seconds"] for p in peers)
            lines.append(f"{name}: fastest {direction}: {'yes' if fastest else 'NO'}")
            for peer in (icu, "nkf -w -W -Z1"):
                if (peer, "UTF-8") in by_tool and by_tool[(peer, "UTF-8")]["direction"] == direction:
                    ratio = by_tool[(peer, "UTF-8")]["seconds"] / ours["seconds"]
                    lines.append(f"{name}: {ratio:.1f}x faster than {peer.split()[0]} (target 10x): "
                                 f"{'yes' if ratio >= 10 else 'NO'}")
            if cat is not None:
                ratio = ours["seconds"] / cat["seconds"]
                lines.append(f"{name}: {ratio:.2f}x the time of cat (target within 3x): "
                             f"{'yes' if ratio <= 3 else 'NO'}")
            lines.append(f"{name}: peak RSS {ours['rss_mib']:.1f} MiB (target under 16): "
                         f"{'yes' if ours['rss_mib'] < 16 else 'NO'}")
    keep = [r for r in results if r["direction"] == "full -> half, Chinese punctuation kept"]
    peers = [r for r in keep if not r["tool"].startswith("tornix")]
    for ours in (r for r in keep if r["tool"].startswith("tornix")):
        if peers:
            fastest = min(peers, key=lambda r: r["seconds"])
            ratio = fastest["seconds"] / ours["seconds"]
            lines.append(f"{ours['tool']} ({ours['encoding']}): {ratio:.1f}x faster than the fastest peer, "
                         f"{fastest['tool'].split()[0]} (target 10x): {'yes' if ratio >= 10 else 'NO'}")
    print()
    for line in lines:
        print(line)


if __name__ == "__main__":
    main()
