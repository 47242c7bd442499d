#!/usr/bin/env python3
"""Writes docs/benchmarks.md and its chart from one run of the benchmark.

    write_report.py <markdown out> <chart png out> <command> <machine> <wine> <date> <load>
                    <build>=<results.tsv> [<build>=<results.tsv> ...]

Each results file is what one build's `benchmark.exe --results` writes: one
record per line, a kind and its tab-separated fields. Every table shows
each build's rows; the chart shows the first build's. Standard library only: the chart
is drawn with the small pixel font below and written as a PNG with zlib.
"""
import os
import struct
import sys
import zlib

# 5 x 7 glyphs, one 5-bit row each, top first; bit 4 is the left column.
FONT = {
    " ": [0, 0, 0, 0, 0, 0, 0],
    "0": [14, 17, 19, 21, 25, 17, 14], "1": [4, 12, 4, 4, 4, 4, 14],
    "2": [14, 17, 1, 2, 4, 8, 31], "3": [31, 2, 4, 2, 1, 17, 14],
    "4": [2, 6, 10, 18, 31, 2, 2], "5": [31, 16, 30, 1, 1, 17, 14],
    "6": [6, 8, 16, 30, 17, 17, 14], "7": [31, 1, 2, 4, 8, 8, 8],
    "8": [14, 17, 17, 14, 17, 17, 14], "9": [14, 17, 17, 15, 1, 2, 12],
    "A": [14, 17, 17, 31, 17, 17, 17], "B": [30, 17, 17, 30, 17, 17, 30],
    "C": [14, 17, 16, 16, 16, 17, 14], "D": [28, 18, 17, 17, 17, 18, 28],
    "E": [31, 16, 16, 30, 16, 16, 31], "F": [31, 16, 16, 30, 16, 16, 16],
    "G": [14, 17, 16, 23, 17, 17, 15], "H": [17, 17, 17, 31, 17, 17, 17],
    "I": [14, 4, 4, 4, 4, 4, 14], "J": [7, 2, 2, 2, 2, 18, 12],
    "K": [17, 18, 20, 24, 20, 18, 17], "L": [16, 16, 16, 16, 16, 16, 31],
    "M": [17, 27, 21, 21, 17, 17, 17], "N": [17, 17, 25, 21, 19, 17, 17],
    "O": [14, 17, 17, 17, 17, 17, 14], "P": [30, 17, 17, 30, 16, 16, 16],
    "Q": [14, 17, 17, 17, 21, 18, 13], "R": [30, 17, 17, 30, 20, 18, 17],
    "S": [15, 16, 16, 14, 1, 1, 30], "T": [31, 4, 4, 4, 4, 4, 4],
    "U": [17, 17, 17, 17, 17, 17, 14], "V": [17, 17, 17, 17, 17, 10, 4],
    "W": [17, 17, 17, 21, 21, 21, 10], "X": [17, 17, 10, 4, 10, 17, 17],
    "Y": [17, 17, 17, 10, 4, 4, 4], "Z": [31, 1, 2, 4, 8, 16, 31],
    ".": [0, 0, 0, 0, 0, 12, 12], ",": [0, 0, 0, 0, 12, 4, 8],
    "-": [0, 0, 0, 31, 0, 0, 0], "/": [0, 1, 2, 4, 8, 16, 0],
    "(": [2, 4, 8, 8, 8, 4, 2], ")": [8, 4, 2, 2, 2, 4, 8],
    ":": [0, 12, 12, 0, 12, 12, 0],
}
SCALE = 2
CHAR_WIDTH = 6 * SCALE
WHITE, INK, GRID = (255, 255, 255), (40, 40, 40), (225, 225, 225)
COLOURS = {"bare": (150, 150, 150), "object": (40, 110, 190), "http": (220, 120, 40)}


class Image:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[WHITE] * width for _ in range(height)]

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.pixels[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = colour

    def text(self, x, y, text, colour=INK):
        for char in text.upper():
            for row, bits in enumerate(FONT.get(char, FONT[" "])):
                for column in range(5):
                    if bits & (16 >> column):
                        self.fill(x + column * SCALE, y + row * SCALE,
                                  x + (column + 1) * SCALE, y + (row + 1) * SCALE, colour)
            x += CHAR_WIDTH

    def png(self):
        def chunk(kind, payload):
            body = kind + payload
            return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))
        raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in self.pixels)
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def kind_of(row_id, label):
    if "bare" in row_id or label.startswith("bare"):
        return "bare"
    return "http" if "HTTP" in label else "object"


def latency_chart(latency):
    """Horizontal bars of rows 1-6, milliseconds per request."""
    label_width, bar_width, margin = 44 * CHAR_WIDTH, 360, 16
    bar_height, gap, top = 26, 12, 56
    width = margin + label_width + bar_width + 12 * CHAR_WIDTH
    height = top + len(latency) * (bar_height + gap) + margin
    image = Image(width, height)
    image.text(margin, margin, "Rows 1-6: milliseconds per request (median), shorter is faster")
    largest = max(row["ms"] for row in latency)
    left = margin + label_width
    for tenth in range(1, 11):
        x = left + bar_width * tenth // 10
        image.fill(x, top - 6, x + 1, height - margin, GRID)
    for index, row in enumerate(latency):
        y = top + index * (bar_height + gap)
        image.text(margin, y + 6, "%s %s" % (row["id"].split()[0], row["label"]))
        length = max(1, round(bar_width * row["ms"] / largest))
        image.fill(left, y, left + length, y + bar_height, COLOURS[kind_of(row["id"], row["label"])])
        image.text(left + length + 8, y + 6, "%.3f ms" % row["ms"])
    return image.png()


def read_results(path):
    results = {"latency": [], "large": [], "threads": [], "soak": None, "target": []}
    for line in open(path, encoding="utf-8"):
        fields = line.rstrip("\n").split("\t")
        kind = fields[0]
        if kind == "latency":
            results["latency"].append({"id": fields[1], "label": fields[2], "ms": float(fields[3]),
                                       "ratio": float(fields[4]), "base": fields[5]})
        elif kind == "large":
            results["large"].append({"size": int(fields[1]), "client": fields[2],
                                     "rate": float(fields[3]), "ratio": float(fields[4]),
                                     "peak": float(fields[5])})
        elif kind == "threads":
            results["threads"].append({"threads": int(fields[1]), "rate": float(fields[2])})
        elif kind == "soak":
            results["soak"] = [int(value) for value in fields[1:]]
        elif kind == "target":
            results["target"].append({"name": fields[1], "value": float(fields[2]),
                                      "relation": fields[3], "limit": float(fields[4]),
                                      "met": fields[5] == "1"})
    return results


def figure(target_name, value):
    """Byte counts in KB, ratios with three digits."""
    if "byte" in target_name:
        return "%.0f KB" % (value / 1024)
    return "%.3g" % value


def size_name(size):
    return "%d MB" % (size >> 20) if size % (1 << 20) == 0 else "%d KB" % (size >> 10)


def rows_of(builds, kind):
    """(build name, row) for every build's rows of one kind, build by build."""
    return [(name, row) for name, results in builds for row in results[kind]]


def markdown(builds, chart_name, command, machine, wine, date, load):
    mb = 1024.0 * 1024.0
    lines = [
        "# Benchmarks",
        "",
        "The request object against the least a client can do over the same pipe, and",
        "against what a page would use instead: HTTP on the loopback interface.",
        "Every figure below comes from one run of",
        "",
        "    " + command,
        "",
        "| | |", "|---|---|",
        "| Date | %s |" % date,
        "| Machine | %s |" % machine,
        "| Wine | %s |" % wine,
        "| Load average | %s |" % load,
        "",
        "The rows are measured round after round, so that whatever else the machine",
        "does falls on all rows alike. Within a round, the rows the benchmark program",
        "makes itself (1, 2, 3 and both of row 5) take turns in batches of 5 requests,",
        "their order shuffled for every batch, and the two script rows (4 and 6) run",
        "once each, at a shuffled place, after 20 untimed requests of their own. Times",
        "are medians over the rounds; a ratio is the median of the ratios taken within",
        "each round (so it need not equal the ratio of the two medians).",
        "",
        "The peer of every pipe row is the sample service (`tools/sample_service`) in",
        "echo mode, running under Wine like the clients; the HTTP peer is a small",
        "server on 127.0.0.1 inside the benchmark program, under Wine as well,",
        "answering with the same JSON.",
        "",
        "## Rows 1-6: one request of 1 KB JSON",
        "",
        "| Build | Row | Client | ms per request | Ratio |",
        "|---|---|---|---:|---:|",
    ]
    for build, row in rows_of(builds, "latency"):
        lines.append("| %s | %s | %s | %.3f | %.2f x row %s |" % (
            build, row["id"], row["label"], row["ms"], row["ratio"], row["base"]))
    lines += [
        "",
        "![Rows 1-6, %s build](images/%s)" % (builds[0][0], chart_name),
        "",
        "1. bare client: blocking Win32 calls, one connection per request, exactly the",
        "   steps of the object's synchronous `send` (wait for an instance, open,",
        "   write the frame, read the reply frame, close);",
        "2. the object through its interface: `open`, `send`, `responseText`;",
        "3. the same through `IDispatch`, every name looked up before each call, as a",
        "   script engine binds;",
        "4. the same loop in JScript, run by the script host (`tools/benchmark/timed_loop.js`);",
        "5. the object in asynchronous mode, its handler brought back by this thread's",
        "   message loop; next to it a bare overlapped client on a completion port that",
        "   makes the same calls as the object's workers (the reply in pieces of 4096",
        "   bytes, the body's pieces that are already there taken without the port),",
        "   all on the calling thread;",
        "   5s. the same two against a second peer that keeps a single pipe instance and",
        "   serves each client on the thread that accepted it (`--single-instance`);",
        "6. `WinHttp.WinHttpRequest.5.1` from the same script host. It sends the JSON in",
        "   the query of a GET: Wine's WinHttp writes a POST's headers and body in two",
        "   sends and then waits for the server's delayed acknowledgement, about 40 ms",
        "   per request, which would measure that and not HTTP.",
        "",
        "## Row 7: large replies",
        "",
        "The time from `open` until the reply is stored in the object (asynchronously:",
        "until the handler has run), against the bare client of the same mode reading",
        "the same reply. The `+text` rows also read `responseText`, so they end with",
        "the reply in hand as text, as a page needs it; `+body` reads `responseBody`",
        "instead. Peak memory is the peak working set during one exchange above the",
        "working set just before it, measured in a fresh process (the median of three).",
        "",
        "| Build | Reply | Client | MB/s | Rate / bare | Peak above baseline |",
        "|---|---|---|---:|---:|---:|",
    ]
    for build, row in rows_of(builds, "large"):
        lines.append("| %s | %s | %s | %.1f | %.2f | %.1f MB (%.2f x reply) |" % (
            build, size_name(row["size"]), row["client"], row["rate"], row["ratio"],
            row["peak"] / mb, row["peak"] / row["size"]))
    lines += [
        "",
        "## Row 8: asynchronous objects on several threads",
        "",
        "Each thread has its own object and message loop and makes requests one after",
        "the other; the rate is of all threads together.",
        "",
        "| Build | Threads | Requests per second |",
        "|---|---:|---:|",
    ]
    for build, row in rows_of(builds, "threads"):
        lines.append("| %s | %d | %.0f |" % (build, row["threads"], row["rate"]))
    lines += [
        "",
        "## Row 9: after many requests",
        "",
        "One object, alternating between synchronous and asynchronous requests, after",
        "200 requests to warm up.",
        "",
        "| Build | Requests | Handles before | after | Private bytes before | after |",
        "|---|---:|---:|---:|---:|---:|",
    ]
    for build, results in builds:
        requests, completed, handles_before, handles_after, bytes_before, bytes_after = results["soak"]
        lines.append("| %s | %d%s | %d | %d | %.2f MB | %.2f MB |" % (
            build, requests, "" if completed else " (did not complete)", handles_before,
            handles_after, bytes_before / mb, bytes_after / mb))
    lines += [
        "",
        "## Reading the figures",
        "",
        "Under Wine every pipe call is a round trip to the wineserver, and so is every",
        "hand-over between threads. A synchronous request costs the same calls whether",
        "the object or a bare client makes it; the object adds one registry query per",
        "`open`. An asynchronous request crosses threads where the bare client does",
        "not: the write's completion wakes a worker, the reply's completion is",
        "delivered to the worker that started the read, and the handler comes back",
        "to the page's thread as a window message. Loopback HTTP under Wine pays for",
        "its sockets the same way, and WinHttp's own work on top.",
        "",
        "## Targets",
        "",
        "| Build | Target | Measured | Limit | |",
        "|---|---|---:|---:|---|",
    ]
    for build, target in rows_of(builds, "target"):
        lines.append("| %s | %s | %s | %s %s | %s |" % (
            build, target["name"], figure(target["name"], target["value"]), target["relation"],
            figure(target["name"], target["limit"]), "met" if target["met"] else "**missed**"))
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) < 9 or not all("=" in arg for arg in sys.argv[8:]):
        sys.exit(__doc__)
    markdown_path, chart_path, command, machine, wine, date, load = sys.argv[1:8]
    builds = [(name, read_results(path))
              for name, path in (arg.split("=", 1) for arg in sys.argv[8:])]
    with open(chart_path, "wb") as chart:
        chart.write(latency_chart(builds[0][1]["latency"]))
    with open(markdown_path, "w", encoding="utf-8") as out:
        out.write(markdown(builds, os.path.basename(chart_path), command, machine, wine, date, load))


if __name__ == "__main__":
    main()
