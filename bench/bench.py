#!/usr/bin/env python3
"""Times our library against OpenSSH's scp -O (legacy SCP) and ssh on the emulated board.

Run through bench/run-bench.sh, which builds everything and starts the board; this part runs
inside the board's namespaces. Prints medians of RUNS runs and the ratios:
  throughput ratio = OpenSSH time / our time   (>= 1.0 means we are at least as fast)
  open ratio       = our time / OpenSSH time   (<= 1.0 means we open at least as fast)
"""
import os
import statistics
import subprocess
import sys
import time

from benchlib import SSH_OPTS, make_file

BIN = sys.argv[1]
RUNS = int(os.environ.get("BENCH_RUNS", "5"))
HOST = os.environ.get("BOARD_HOST", "127.0.0.1")
WORK = os.environ.get("BOARD_WORK", "/tmp")
CKRUN = os.path.join(BIN, "ckrun")


def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def peak_kib(cmd):
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, check=True,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True).stderr
    return int(out.strip().splitlines()[-1])


def interleaved(cases):
    """Runs every case once per round, RUNS rounds, so that load from elsewhere on the machine
    falls on all of them alike. Returns the median of each, by label."""
    samples = {label: [] for label, _ in cases}
    for _ in range(RUNS):
        for label, cmd in cases:
            samples[label].append(timed(cmd))
    medians = {}
    for label, _ in cases:
        med = statistics.median(samples[label])
        medians[label] = med
        print(f"  {label:<44} median {med * 1000:9.1f} ms   runs: "
              + " ".join(f"{s * 1000:.0f}" for s in samples[label]), flush=True)
    return medians


def main():
    methods = subprocess.run([os.path.join(BIN, "ckmethods"), HOST], check=True,
                             capture_output=True, text=True).stdout.split()
    neg = dict(kv.split("=", 1) for kv in methods)
    print(f"our library negotiates: {' '.join(methods)}")
    big = os.path.join(WORK, "bench-256.bin")
    make_file(big, 256 << 20)
    mib = 256
    pairings = {
        "OpenSSH defaults": [],
        f"OpenSSH pinned to {neg['cipher']} + {neg['mac']}": ["-c", neg["cipher"], "-o",
                                                              f"MACs={neg['mac']}"],
    }
    print(f"\n{RUNS} rounds, each case once per round; {mib} MiB, connect to close")
    down = os.path.join(WORK, "down.bin")
    ups, downs, opens = [("ours", [CKRUN, HOST, "put", big, "/tmp/ours.bin"])], [], []
    for name, extra in pairings.items():
        ups.append((name, ["scp", "-O"] + SSH_OPTS + extra + [big, f"root@{HOST}:/tmp/ssh.bin"]))
    subprocess.run(ups[0][1], check=True, stderr=subprocess.DEVNULL)
    subprocess.run(ups[1][1], check=True, stderr=subprocess.DEVNULL)
    downs.append(("ours", [CKRUN, HOST, "get", "/tmp/ours.bin", down]))
    opens.append(("ours", [CKRUN, HOST, "cmd", "true"]))
    for name, extra in pairings.items():
        downs.append((name, ["scp", "-O"] + SSH_OPTS + extra + [f"root@{HOST}:/tmp/ssh.bin", down]))
        opens.append((name, ["ssh"] + SSH_OPTS + extra + [f"root@{HOST}", "true"]))
    print("upload")
    up = interleaved(ups)
    print("download")
    dn = interleaved(downs)
    print("open + login + 'true' + close")
    op = interleaved(opens)
    ours_up, ours_down, ours_open = up["ours"], dn["ours"], op["ours"]
    results = {name: (up[name], dn[name], op[name]) for name in pairings}

    small = os.path.join(WORK, "bench-1.bin")
    make_file(small, 1)
    gib = os.path.join(WORK, "bench-1g.bin")
    make_file(gib, 1 << 30)
    base = peak_kib([CKRUN, HOST, "put", small, "/tmp/one.bin"])
    peak = peak_kib([CKRUN, HOST, "put", gib, "/tmp/gib.bin"])

    print("\nSummary (medians)")
    print(f"  ours: upload {mib / ours_up:.1f} MiB/s, download {mib / ours_down:.1f} MiB/s, "
          f"open {ours_open * 1000:.1f} ms")
    for name, (up, down, opened) in results.items():
        print(f"  vs {name}: OpenSSH upload {mib / up:.1f} MiB/s, download {mib / down:.1f} MiB/s,"
              f" open {opened * 1000:.1f} ms")
        print(f"     throughput ratio ours/OpenSSH: upload {up / ours_up:.2f}, "
              f"download {down / ours_down:.2f} (target >= 1.0); "
              f"open time ratio ours/OpenSSH {ours_open / opened:.2f} (target <= 1.0)")
    print(f"  peak memory: 1-byte upload {base / 1024:.1f} MiB, 1 GiB upload {peak / 1024:.1f} MiB,"
          f" growth {(peak - base) / 1024:.1f} MiB (target < 64 MiB)")


if __name__ == "__main__":
    main()
