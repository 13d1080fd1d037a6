#!/usr/bin/python3
"""The logo benchmark's picture converted by the tools people use, for scripts/bench.

   converters.py PICTURE RUNS > converters.tsv

Pillow (Debian's python3-pil, what the Python receipt-printer tools convert logos with) is timed
in this process in CPU time, like the native benchmarks. ImageMagick is timed by its own -bench,
one thread, in elapsed time; a run that only reads the picture is taken off, so that what is left
is the operation itself. Each line: key, what, unit, goal (none), samples in ns per pixel.
"""
import re
import subprocess
import sys
import time

from PIL import Image

PILLOW_REPEATS = 10
# ImageMagick is slow enough that fewer, shorter runs tell its figures well.
MAGICK_RUNS = 7

PILLOW_OPERATIONS = [
    ("pillow.gray", 'Pillow convert("L")', lambda im: im.convert("L")),
    ("pillow.threshold", 'Pillow convert("1", dither=NONE)', lambda im: im.convert("1", dither=Image.Dither.NONE)),
    ("pillow.floyd", 'Pillow convert("1"), Floyd-Steinberg', lambda im: im.convert("1")),
]

MAGICK_OPERATIONS = [
    ("magick.threshold", "ImageMagick -threshold 50%", ["-threshold", "50%"], 10),
    ("magick.ordered", "ImageMagick -ordered-dither o8x8", ["-ordered-dither", "o8x8"], 10),
    ("magick.gray", "ImageMagick -colorspace Gray", ["-colorspace", "Gray"], 10),
    ("magick.floyd", "ImageMagick -dither FloydSteinberg -monochrome", ["-dither", "FloydSteinberg", "-monochrome"], 2),
]


def line(key, what, samples):
    print("\t".join([key, what, "ns/px", "", " ".join(f"{s:.4f}" for s in samples)]))


def pillow(path, runs):
    picture = Image.open(path)
    picture.load()
    pixels = picture.width * picture.height
    for key, what, operation in PILLOW_OPERATIONS:
        operation(picture)
        samples = []
        for _ in range(runs):
            start = time.process_time_ns()
            for _ in range(PILLOW_REPEATS):
                operation(picture)
            samples.append((time.process_time_ns() - start) / PILLOW_REPEATS / pixels)
        line(key, what, samples)
    return pixels


# Seconds per iteration of one thread, from the "Performance[1]: 10i 45.380ips ..." line.
def magick_seconds(path, operation, iterations):
    command = ["/usr/bin/convert", path, "-limit", "thread", "1", "-bench", str(iterations)]
    result = subprocess.run(command + operation + ["null:"], capture_output=True, text=True, check=True)
    found = re.search(r"Performance\[1\]:\s*\d+i\s+([0-9.]+)ips", result.stdout + result.stderr)
    if not found:
        raise SystemExit("ImageMagick's -bench printed no figures: " + result.stderr)
    return 1.0 / float(found.group(1))


def magick(path, runs, pixels):
    runs = min(runs, MAGICK_RUNS)
    reading = sorted(magick_seconds(path, [], 10) for _ in range(runs))
    read = reading[len(reading) // 2]
    for key, what, operation, iterations in MAGICK_OPERATIONS:
        # A run no slower than the median read tells nothing of the operation (it is within the
        # read's own spread): it is left out rather than counted as free.
        taken = [magick_seconds(path, operation, iterations) - read for _ in range(runs)]
        line(key, what, [seconds * 1e9 / pixels for seconds in taken if seconds > 0])


def main():
    path, runs = sys.argv[1], int(sys.argv[2])
    pixels = pillow(path, runs)
    magick(path, runs, pixels)


if __name__ == "__main__":
    main()
