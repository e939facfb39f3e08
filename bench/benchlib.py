"""What both benchmarks share: OpenSSH's options for the emulated board, and test files."""

# The emulated board's current OpenSSH server (emuboard.sh --openssh), beside its dropbear.
OPENSSH_PORT = 2205

# The emulated board's host key is new at every start; nothing may be asked or stored.
SSH_OPTS = ["-o", "StrictHostKeyChecking=no", "-o", "UserKnownHostsFile=/dev/null",
            "-o", "LogLevel=ERROR", "-o", "BatchMode=yes"]


def make_file(path, size):
    """A file of random bytes, so that nothing on the way can compress it."""
    with open("/dev/urandom", "rb") as src, open(path, "wb") as dst:
        left = size
        while left:
            chunk = src.read(min(left, 1 << 20))
            dst.write(chunk)
            left -= len(chunk)
