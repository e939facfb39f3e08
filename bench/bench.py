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

BIN = sys.argv[1]
RUNS = int(os.environ.get("BENCH_RUNS", "5"))
HOST = os.environ.get("BOARD_HOST", "127.0.0.1")
WORK = os.environ.get("BOARD_WORK", "/tmp")
CKRUN = os.path.join(BIN, "ckrun")
SSH_OPTS = ["-o", "StrictHostKeyChecking=no", "-o", "UserKnownHostsFile=/dev/null",
            "-o", "LogLevel=ERROR", "-o", "BatchMode=yes"]


def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def peak_kib(cmd):
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, check=True,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True).stderr
    return int(out.strip().splitlines()[-1])


def make_file(path, size):
    with open("/dev/urandom", "rb") as src, open(path, "wb") as dst:
        left = size
        while left:
            chunk = src.read(min(left, 1 << 20))
            dst.write(chunk)
            left -= len(chunk)


def median_of(label, cmd):
    samples = [timed(cmd) for _ in range(RUNS)]
    med = statistics.median(samples)
    print(f"  {label:<34} median {med * 1000:9.1f} ms   runs: "
          + " ".join(f"{s * 1000:.0f}" for s in samples), flush=True)
    return med


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
    results = {}
    print(f"\n{RUNS} runs each; upload and download of {mib} MiB, connect to close")
    ours_up = median_of("ours upload", [CKRUN, HOST, "put", big, "/tmp/ours.bin"])
    ours_down = median_of("ours download", [CKRUN, HOST, "get", "/tmp/ours.bin",
                                            os.path.join(WORK, "ours-down.bin")])
    ours_open = median_of("ours open+login+'true'+close", [CKRUN, HOST, "cmd", "true"])
    for name, extra in pairings.items():
        print(f"-- {name}")
        up = median_of("scp -O upload", ["scp", "-O"] + SSH_OPTS + extra
                       + [big, f"root@{HOST}:/tmp/ssh.bin"])
        down = median_of("scp -O download", ["scp", "-O"] + SSH_OPTS + extra
                         + [f"root@{HOST}:/tmp/ssh.bin", os.path.join(WORK, "ssh-down.bin")])
        opened = median_of("ssh open+login+'true'+close", ["ssh"] + SSH_OPTS + extra
                           + [f"root@{HOST}", "true"])
        results[name] = (up, down, opened)

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
