#!/usr/bin/env python3
"""Times our library for Windows, run under Wine, against our library for Linux on the same
emulated board: upload and download of 64 MiB and open + login + close, connect to close.
A Windows-only slow path would show here; Wine's own costs (its start, and every socket call
going through its server) fall on the Windows side too, so "Wine start" is timed apart.

Run through bench/run-wine-bench.sh, which starts the board; this part runs inside the board's
namespaces, with WINEPREFIX, WINELOADER and WINESERVER set (tests/windows/wine-env.sh).

  wine_bench.py LINUX_BIN WINDOWS_BIN

Prints medians of RUNS runs and ratio = Linux time / Wine time (1.0: as fast under Wine).
"""
import os
import subprocess
import sys

from bench import HOST, RUNS, WORK, interleaved
from benchlib import make_file

LINUX_CKRUN = os.path.join(sys.argv[1], "ckrun")
WINDOWS_CKRUN = os.path.join(sys.argv[2], "ckrun.exe")
MIB = 64
WINE = os.environ["WINELOADER"]
WINESERVER = os.environ["WINESERVER"]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def linux(*steps):
    return [LINUX_CKRUN, HOST] + list(steps)


def wine(*steps):
    return [WINE, WINDOWS_CKRUN, HOST] + list(steps)


def main():
    # One Wine server for every run, started here so that its sockets are the board's.
    subprocess.run([WINESERVER, "-p"], check=True)
    try:
        big = os.path.join(WORK, f"bench-{MIB}.bin")
        make_file(big, MIB << 20)
        down = os.path.join(WORK, "down.bin")
        subprocess.run(wine("cmd", "true"), check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        print(f"{RUNS} rounds, each case once per round; {MIB} MiB, connect to close")
        print("Wine start (cmd /c exit)")
        start = interleaved([("Wine", [WINE, "cmd", "/c", "exit"])])["Wine"]
        print("upload")
        up = interleaved([("Linux", linux("put", big, "/tmp/linux.bin")),
                          ("Wine", wine("put", windows_path(big), "/tmp/wine.bin"))])
        print("download")
        dn = interleaved([("Linux", linux("get", "/tmp/linux.bin", down)),
                          ("Wine", wine("get", "/tmp/wine.bin", windows_path(down)))])
        print("open + login + 'true' + close")
        op = interleaved([("Linux", linux("cmd", "true")), ("Wine", wine("cmd", "true"))])
        print("\n| case | Linux ms | Wine ms | Wine less its start ms | ratio Linux / Wine |")
        print("|---|---|---|---|---|")
        for name, m in (("upload", up), ("download", dn), ("open + login + close", op)):
            print(f"| {name} | {m['Linux'] * 1000:.0f} | {m['Wine'] * 1000:.0f} "
                  f"| {(m['Wine'] - start) * 1000:.0f} | {m['Linux'] / m['Wine']:.2f} |")
    finally:
        subprocess.run([WINESERVER, "-k"], check=False)


if __name__ == "__main__":
    main()
