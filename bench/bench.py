#!/usr/bin/env python3
"""Times our library against OpenSSH's scp -O (legacy SCP) and ssh on the emulated board, both
sides on their default algorithms.

Run through bench/run-bench.sh, which builds everything and starts the board; this part runs
inside the board's namespaces.

  bench.py BIN                 dropbear (the board's server) and a current OpenSSH server:
                               upload and download of 256 MiB, open + login + close, and the
                               peak memory of a 1 GiB upload
  bench.py BIN --window BYTES  uploads only, to a dropbear whose receive window is BYTES

Prints medians of RUNS runs and the ratios:
  throughput ratio = OpenSSH time / our time   (>= 1.0 means we are at least as fast)
  open ratio       = our time / OpenSSH time   (<= 1.0 means we open at least as fast)
"""
import os
import statistics
import subprocess
import sys
import time

from benchlib import OPENSSH_PORT, SSH_OPTS, make_file

BIN = sys.argv[1]
RUNS = int(os.environ.get("BENCH_RUNS", "5"))
HOST = os.environ.get("BOARD_HOST", "127.0.0.1")
WORK = os.environ.get("BOARD_WORK", "/tmp")
CKRUN = os.path.join(BIN, "ckrun")
MIB = 256
BOARDS = [("dropbear", 22), ("OpenSSH", OPENSSH_PORT)]


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
        print(f"  {label:<30} median {med * 1000:9.1f} ms   runs: "
              + " ".join(f"{s * 1000:.0f}" for s in samples[label]), flush=True)
    return medians


def ours(port, *steps):
    return [CKRUN, "-p", str(port), HOST] + list(steps)


def scp(port, src, dst):
    return ["scp", "-O", "-P", str(port)] + SSH_OPTS + [src, dst]


def ssh(port, command):
    return ["ssh", "-p", str(port)] + SSH_OPTS + [f"root@{HOST}", command]


def window(size):
    big = os.path.join(WORK, "bench-256.bin")
    make_file(big, MIB << 20)
    print(f"dropbear receive window {size} bytes: upload of {MIB} MiB, {RUNS} rounds")
    up = interleaved([("ours", ours(22, "put", big, "/tmp/ours.bin")),
                      ("OpenSSH scp -O", scp(22, big, f"root@{HOST}:/tmp/ssh.bin"))])
    print(f"  window {size}: ours {MIB / up['ours']:.1f} MiB/s, OpenSSH "
          f"{MIB / up['OpenSSH scp -O']:.1f} MiB/s, ratio {up['OpenSSH scp -O'] / up['ours']:.2f}")


def main():
    if len(sys.argv) > 3 and sys.argv[2] == "--window":
        window(int(sys.argv[3]))
        return
    for name, port in BOARDS:
        methods = subprocess.run([os.path.join(BIN, "ckmethods"), HOST, str(port)], check=True,
                                 capture_output=True, text=True).stdout.strip()
        print(f"our library negotiates with {name}: {methods}")
    big = os.path.join(WORK, "bench-256.bin")
    make_file(big, MIB << 20)
    down = os.path.join(WORK, "down.bin")
    ups, downs, opens = [], [], []
    for name, port in BOARDS:
        ups += [(f"{name}: ours", ours(port, "put", big, "/tmp/ours.bin")),
                (f"{name}: OpenSSH", scp(port, big, f"root@{HOST}:/tmp/ssh.bin"))]
        downs += [(f"{name}: ours", ours(port, "get", "/tmp/ours.bin", down)),
                  (f"{name}: OpenSSH", scp(port, f"root@{HOST}:/tmp/ssh.bin", down))]
        opens += [(f"{name}: ours", ours(port, "cmd", "true")),
                  (f"{name}: OpenSSH", ssh(port, "true"))]
    for _, cmd in ups[:2]:
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    print(f"\n{RUNS} rounds, each case once per round; {MIB} MiB, connect to close")
    print("upload")
    up = interleaved(ups)
    print("download")
    dn = interleaved(downs)
    print("open + login + 'true' + close")
    op = interleaved(opens)

    small = os.path.join(WORK, "bench-1.bin")
    make_file(small, 1)
    gib = os.path.join(WORK, "bench-1g.bin")
    make_file(gib, 1 << 30)
    base = peak_kib(ours(22, "put", small, "/tmp/one.bin"))
    peak = peak_kib(ours(22, "put", gib, "/tmp/gib.bin"))
    os.remove(gib)

    print("\nSummary (medians; ratio = OpenSSH time / our time for transfers, "
          "our time / OpenSSH time for open)")
    print("| server | ours up MiB/s | OpenSSH up MiB/s | up ratio | ours down MiB/s "
          "| OpenSSH down MiB/s | down ratio | ours open ms | OpenSSH open ms | open ratio |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for name, _ in BOARDS:
        o, s = f"{name}: ours", f"{name}: OpenSSH"
        print(f"| {name} | {MIB / up[o]:.1f} | {MIB / up[s]:.1f} | {up[s] / up[o]:.2f} "
              f"| {MIB / dn[o]:.1f} | {MIB / dn[s]:.1f} | {dn[s] / dn[o]:.2f} "
              f"| {op[o] * 1000:.1f} | {op[s] * 1000:.1f} | {op[o] / op[s]:.2f} |")
    print(f"peak memory: 1-byte upload {base / 1024:.1f} MiB, 1 GiB upload {peak / 1024:.1f} MiB,"
          f" growth {(peak - base) / 1024:.1f} MiB (target < 64 MiB)")


if __name__ == "__main__":
    main()
