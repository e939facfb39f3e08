#!/usr/bin/env python3
"""Times Pyrelle's burn-file upload against the same work done with OpenSSH, on the emulated board.

Run through bench/run-burn-bench.sh, which builds everything and starts the board; this part runs
inside the board's namespaces. The burn set is a realistic one: uImage 4 MiB, rootfs.jffs2 32 MiB,
media_app_zip.bin 16 MiB, the rest small.

  ours     burn_drive: the Pyrelle window on the offscreen platform, the folder picker answered
           by its seam, the button clicked; ten rm commands, each checked, then eight uploads,
           all in one session. "op" is click to end, "process" the whole program run.
  OpenSSH  one ssh running the ten rm commands, then one scp -O of the eight files.

Before every run both sides find the same board: the two delete-only files are put back in /tmp
(outside the timing). The runs alternate between the sides, both on their default algorithms.
Prints medians of RUNS runs and the ratio ours/OpenSSH (target <= 0.8).
"""
import hashlib
import os
import statistics
import subprocess
import sys
import time

from benchlib import SSH_OPTS, make_file

BIN = sys.argv[1]
RUNS = int(os.environ.get("BENCH_RUNS", "5"))
ADDR = os.environ.get("BOARD_ADDR", "192.168.168.201")
WORK = os.environ.get("BOARD_WORK", "/var/tmp")
ROOT = os.environ["BOARD_ROOT"]
DRIVE = os.path.join(BIN, "burn_drive")

# Slot order of the burn set; the first eight are uploaded, all ten deleted.
BURN = [("config", 2 << 10), ("usb-burn.xml", 1 << 10), ("media_app_zip.bin", 16 << 20),
        ("paramfs.jffs2", 256 << 10), ("privatefs.jffs2", 1 << 20), ("rootfs.jffs2", 32 << 20),
        ("u-boot.bin", 192 << 10), ("uImage", 4 << 20), ("config_change", 64),
        ("u-boot_change.bin", 96 << 10)]
UPLOADED = [name for name, _ in BURN[:8]]
DELETE_ONLY = [name for name, _ in BURN[8:]]


def sha(path):
    with open(path, "rb") as f:
        return hashlib.file_digest(f, "sha256").hexdigest()


def seed_board():
    for name in DELETE_ONLY:
        with open(os.path.join(ROOT, "tmp", name), "wb") as f:
            f.write(b"left from an earlier burn")


def verify_board(folder, who):
    for name in UPLOADED:
        if sha(os.path.join(ROOT, "tmp", name)) != sha(os.path.join(folder, name)):
            sys.exit(f"{who}: /tmp/{name} on the board differs from the PC's copy")
    if who == "ours":
        for name in DELETE_ONLY:
            if os.path.exists(os.path.join(ROOT, "tmp", name)):
                sys.exit(f"{who}: /tmp/{name} is still on the board")


def run_ours(folder):
    seed_board()
    start = time.perf_counter()
    done = subprocess.run([DRIVE, folder, ADDR], capture_output=True, text=True)
    wall = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"burn_drive failed:\n{done.stderr}")
    op_ms = float(done.stdout.split()[1])
    verify_board(folder, "ours")
    return op_ms / 1000, wall


def run_openssh(folder):
    seed_board()
    opts = SSH_OPTS
    removes = "; ".join(f"rm /tmp/{name}" for name, _ in BURN)
    start = time.perf_counter()
    subprocess.run(["ssh"] + opts + [f"root@{ADDR}", removes], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["scp", "-O"] + opts + [os.path.join(folder, n) for n in UPLOADED]
                   + [f"root@{ADDR}:/tmp/"], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    verify_board(folder, "OpenSSH")
    return wall


def line(label, samples):
    med = statistics.median(samples)
    print(f"  {label:<28} median {med * 1000:8.1f} ms   runs: "
          + " ".join(f"{s * 1000:.0f}" for s in samples), flush=True)
    return med


def main():
    folder = os.path.join(WORK, "burn-set")
    os.makedirs(folder, exist_ok=True)
    for name, size in BURN:
        make_file(os.path.join(folder, name), size)
    methods = subprocess.run([os.path.join(BIN, "ckmethods"), ADDR], check=True,
                             capture_output=True, text=True).stdout.split()
    total = sum(size for _, size in BURN[:8]) / (1 << 20)
    print(f"our library negotiates: {' '.join(methods)}")
    print(f"burn upload of {total:.1f} MiB in 8 files (+ 10 rm) to {ADDR}; "
          f"{RUNS} runs each, alternating, after one warm-up each")
    run_ours(folder)
    run_openssh(folder)
    ours_op, ours_wall, theirs = [], [], []
    for i in range(RUNS):
        if i % 2 == 0:
            op, wall = run_ours(folder)
            theirs.append(run_openssh(folder))
        else:
            theirs.append(run_openssh(folder))
            op, wall = run_ours(folder)
        ours_op.append(op)
        ours_wall.append(wall)
    op = line("ours, click to end", ours_op)
    wall = line("ours, whole program run", ours_wall)
    ssh = line("OpenSSH, ssh rm + scp -O", theirs)
    print("\nSummary (medians)")
    print(f"  ours {op * 1000:.1f} ms (program run {wall * 1000:.1f} ms), "
          f"OpenSSH {ssh * 1000:.1f} ms")
    print(f"  ratio ours/OpenSSH: {op / ssh:.2f} click to end, {wall / ssh:.2f} whole program run "
          f"(target <= 0.8)")


if __name__ == "__main__":
    main()
