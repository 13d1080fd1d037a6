#!/usr/bin/python3
"""Prints scripts/bench's one table from the figures its benchmarks wrote.

   table.py RESULTS...

A result is Google Benchmark's JSON (the native benchmarks, run with repetitions: every
repetition is one run) or lines of tab-separated fields: key, what, unit, goal, samples. A goal
is empty, or conditions joined by ";": "median<=8", "p95<=16", "max<=0", or "median<=3x:KEY"
(at most three times the median of the row KEY). The native logo conversions have as goal to be
faster than the fastest of the other converters on the nearest operation, in ns per pixel.
"""
import json
import math
import re
import sys

# Conversion benchmark → (what, keys of the nearest operations of the other converters).
CONVERSIONS = {
    "BM_ConvertToMono/method:0/bits:24": ('logo "None" (method 0), 24-bit', ["pillow.threshold", "magick.threshold"]),
    "BM_ConvertToMono/method:1/bits:24": ('logo "Dither M3" (method 1), 24-bit', ["magick.ordered"]),
    "BM_ConvertToMono/method:2/bits:24": ('logo "Dither M4" (method 2), 24-bit', ["magick.ordered"]),
    "BM_ConvertToMono/method:3/bits:24": ('logo "Error Diffuse" (method 3), 24-bit', ["pillow.floyd", "magick.floyd"]),
    "BM_ConvertToGray/bits:24": ('logo "Gray", 24-bit', ["pillow.gray", "magick.gray"]),
}


class Row:
    def __init__(self, key, what, unit, goal, samples):
        self.key, self.what, self.unit, self.goal = key, what, unit, goal
        self.samples = sorted(samples)

    @property
    def median(self):
        s, n = self.samples, len(self.samples)
        return (s[(n - 1) // 2] + s[n // 2]) / 2 if n else math.nan

    @property
    def p95(self):
        s = self.samples
        return s[max(0, math.ceil(0.95 * len(s)) - 1)] if s else math.nan

    @property
    def max(self):
        return self.samples[-1] if self.samples else math.nan


def read_benchmark_json(path, rows):
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name = b.get("run_name", b["name"])
        if "per_pixel" in b:
            runs.setdefault(name, ("ns/px", []))[1].append(b["per_pixel"] * 1e9)
        else:
            scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
            runs.setdefault(name, ("ns", []))[1].append(b["cpu_time"] * scale)
    for name, (unit, samples) in runs.items():
        what = CONVERSIONS.get(name, (name.removeprefix("BM_"), None))[0]
        rows.append(Row(name, what, unit, "", samples))


def read_lines(path, rows):
    with open(path) as f:
        for text in f:
            if not text.strip() or text.startswith("#"):
                continue
            key, what, unit, goal, samples = (text.rstrip("\n").split("\t") + [""] * 5)[:5]
            rows.append(Row(key, what, unit, goal, [float(s) for s in samples.split()]))


def figure(value, unit):
    if math.isnan(value):
        return "-"
    if unit == "count":
        return f"{value:.0f}"
    return f"{value:.3g} {unit}" if value < 100 else f"{value:.0f} {unit}"


def judge(row, by_key):
    """The goal as text and whether the row meets it (None when it has no goal)."""
    if row.key in CONVERSIONS:
        others = [
            by_key[k] for k in CONVERSIONS[row.key][1] if k in by_key and by_key[k].samples and by_key[k].median > 0
        ]
        if not others:
            return "", None
        fastest = min(others, key=lambda r: r.median)
        ratio = fastest.median / row.median
        speed = f"{ratio:.2f}x faster" if ratio >= 1 else f"{1 / ratio:.2f}x slower"
        text = f"< {fastest.median:.3g} ({fastest.what.split()[0]}): {speed}"
        return text, row.median < fastest.median
    if not row.goal:
        return "", None
    texts, met = [], True
    for condition in row.goal.split(";"):
        found = re.fullmatch(r"(median|p95|max)<=([0-9.]+)(x:(\S+))?", condition.strip())
        if not found:
            texts.append(condition)
            continue
        measure, limit = found.group(1), float(found.group(2))
        value = getattr(row, measure)
        if found.group(4):
            other = by_key.get(found.group(4))
            if other is None:
                texts.append(f"{measure} <= {limit:g}x {found.group(4)}")
                met = False
                continue
            texts.append(f"{measure} <= {limit:g}x {figure(other.median, other.unit)}: {value / other.median:.2f}x")
            limit *= other.median
        else:
            texts.append(f"{measure} <= {figure(limit, row.unit)}")
        met = met and value <= limit
    return ", ".join(texts), met


def main():
    rows = []
    for path in sys.argv[1:]:
        with open(path) as f:
            first = f.read(1)
        (read_benchmark_json if first == "{" else read_lines)(path, rows)
    by_key = {r.key: r for r in rows}
    table = [("what", "median", "95th pct", "runs", "goal", "")]
    missed = 0
    for row in rows:
        goal, met = judge(row, by_key)
        verdict = "" if met is None else ("met" if met else "MISSED")
        missed += met is False
        table.append((row.what, figure(row.median, row.unit), figure(row.p95, row.unit), str(len(row.samples)), goal,
                      verdict))
    widths = [max(len(r[i]) for r in table) for i in range(len(table[0]))]
    for i, r in enumerate(table):
        print("| " + " | ".join(c.ljust(w) for c, w in zip(r, widths)) + " |")
        if i == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    print(f"\n{missed} goal(s) missed" if missed else "\nevery goal met")


if __name__ == "__main__":
    main()
