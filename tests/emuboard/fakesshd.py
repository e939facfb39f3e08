#!/usr/bin/python3
"""Scripted SSH server for the fault cases that the emulated board's dropbear cannot produce.

Usage: fakesshd.py MODE PORT --root BOARD_ROOT [--work DIR] [--hostkey PEM] [--script FILE]

Listens on 127.0.0.1:PORT (emuboard.sh --fake MODE:PORT starts it inside the board's
namespaces). Users: root with an empty password, tech with "secret". Modes:

  kbdint    offers only keyboard-interactive (one prompt per round; root answers empty).
            Exec requests run with /bin/sh -c in the board's chroot; the exit status is sent.
  noexit    "none" and password login. Every exec request gets a line of output, then EOF and
            close without an exit-status request.
  oldalgs   like kbdint's exec, but with "none"/password login and only old algorithms:
            host key ssh-rsa, kex diffie-hellman-group14-sha1 and group1-sha1, ciphers
            aes128-cbc and aes256-cbc, MAC hmac-sha1.
  scpreply  "none" and password login. Every exec request is answered by the script in FILE
            (default: WORK/fake-PORT.script, read at each request, so a test can write it after
            the board started). One step per line; '#' starts a comment line:
                send TEXT     send TEXT on stdout; Python escapes: \\0 \\1 \\n \\x.. ;
                              {name} is the base name of the command's last word
                stderr TEXT   the same on stderr
                read N        read N bytes from the client (e.g. its \\0 acknowledgement)
                readline      read up to and including \\n (e.g. a "C0644 size name" header)
                readdata      read the size announced by the last header, plus its closing \\0
                drain         read until the client sends EOF
                data N        send N bytes of filler
                sleep S       wait S seconds
                exit N        send exit status N, EOF and close (the end of every script)
                close         EOF and close without an exit status
            Without a script file the request fails with a message and exit status 1.
            Example, a board disk that fills up during an upload (scp -t):
                send \\0
                readline
                send \\0
                readdata
                send \\1scp: {name}: No space left on device\\n
                exit 1
  kexstall  "none" and password login. An "scp -t" request takes the file header and the
            first 256 KiB of the data, opens the window for 1 MiB more, starts a key exchange
            (sends KEXINIT) and falls silent: the connection stays open but reads and answers
            nothing for 60 s, then closes. A board that dies while it renews its keys. The
            channel window is 64 KiB, so the client has little in flight when it falls silent.
            Other requests fail with a message and exit status 1.
"""

import argparse
import codecs
import logging
import os
import posixpath
import shlex
import socket
import subprocess
import sys
import threading
import time

import paramiko

USERS = {"root": "", "tech": "secret"}
BOARD_ENV = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": "/root", "SHELL": "/bin/sh"}
IO_TIMEOUT_S = 60

log = logging.getLogger("fakesshd")


class Server(paramiko.ServerInterface):
    """Authentication and channel policy of one connection; exec requests go to `handler`."""

    def __init__(self, mode, handler):
        self.mode = mode
        self.handler = handler
        self.kbd_user = None

    def get_allowed_auths(self, username):
        return "keyboard-interactive" if self.mode == "kbdint" else "password"

    def check_auth_none(self, username):
        # Like dropbear -B: an empty password gets in through "none".
        if self.mode != "kbdint" and USERS.get(username) == "":
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_auth_password(self, username, password):
        if self.mode != "kbdint" and USERS.get(username) == password:
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_auth_interactive(self, username, submethods):
        if self.mode != "kbdint":
            return paramiko.AUTH_FAILED
        self.kbd_user = username
        return paramiko.InteractiveQuery("", "", ("Password: ", False))

    def check_auth_interactive_response(self, responses):
        answer = responses[0] if len(responses) == 1 else None
        if self.kbd_user in USERS and USERS[self.kbd_user] == answer:
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_channel_request(self, kind, chanid):
        if kind == "session":
            return paramiko.OPEN_SUCCEEDED
        return paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED

    def check_channel_exec_request(self, channel, command):
        command = command.decode("utf-8", "replace")
        log.info("exec %r", command)
        threading.Thread(target=self.handler, args=(channel, command), daemon=True).start()
        return True


def close_without_status(chan):
    chan.shutdown_write()
    chan.close()


def finish(chan, status):
    chan.send_exit_status(status)
    chan.shutdown_write()
    chan.close()


# --- exec handlers ---------------------------------------------------------------------------


def run_in_board(root):
    """Runs the command with the board's shell in its chroot, relaying stdin/stdout/stderr."""

    def handle(chan, command):
        proc = subprocess.Popen(
            ["chroot", root, "/bin/sh", "-c", command],
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            env=BOARD_ENV,
            cwd="/",
        )

        def to_board():
            try:
                while data := chan.recv(32768):
                    proc.stdin.write(data)
                    proc.stdin.flush()
            except (OSError, EOFError):
                pass
            finally:
                try:
                    proc.stdin.close()
                except OSError:
                    pass

        def from_board(stream, send):
            while data := stream.read1(32768):
                send(data)

        threading.Thread(target=to_board, daemon=True).start()
        pumps = [
            threading.Thread(target=from_board, args=(proc.stdout, chan.sendall)),
            threading.Thread(target=from_board, args=(proc.stderr, chan.sendall_stderr)),
        ]
        for p in pumps:
            p.start()
        status = proc.wait()
        for p in pumps:
            p.join()
        log.info("exit status %d", status)
        finish(chan, status)

    return handle


def no_exit_status(chan, command):
    chan.sendall(b"partial output\n")
    time.sleep(0.05)
    close_without_status(chan)


class ScpScript:
    """Plays one scripted reply; see the module's documentation for the steps."""

    def __init__(self, path):
        self.path = path

    def __call__(self, chan, command):
        chan.settimeout(IO_TIMEOUT_S)
        try:
            with open(self.path, encoding="utf-8") as f:
                steps = [ln.strip() for ln in f if ln.strip() and not ln.lstrip().startswith("#")]
        except OSError as e:
            chan.sendall_stderr(f"fakesshd: no script: {e}\n".encode())
            finish(chan, 1)
            return
        words = shlex.split(command) or [""]
        name = posixpath.basename(words[-1])
        try:
            self.play(chan, steps, name)
        except (OSError, EOFError, socket.timeout) as e:
            log.info("script ended early: %s", e)
            chan.close()

    def play(self, chan, steps, name):
        announced = 0
        for step in steps:
            op, _, arg = step.partition(" ")
            log.info("step %s %s", op, arg)
            if op in ("send", "stderr"):
                data = codecs.escape_decode(arg.replace("{name}", name).encode())[0]
                (chan.sendall if op == "send" else chan.sendall_stderr)(data)
            elif op == "read":
                self.read_exactly(chan, int(arg))
            elif op == "readline":
                line = self.read_line(chan)
                fields = line.split(b" ", 2)
                if line[:1] == b"C" and len(fields) == 3 and fields[1].isdigit():
                    announced = int(fields[1])
            elif op == "readdata":
                self.read_exactly(chan, announced + 1)
            elif op == "drain":
                while chan.recv(32768):
                    pass
            elif op == "data":
                left = int(arg)
                while left > 0:
                    n = min(left, 32768)
                    chan.sendall(b"x" * n)
                    left -= n
            elif op == "sleep":
                time.sleep(float(arg))
            elif op == "exit":
                finish(chan, int(arg))
                return
            elif op == "close":
                close_without_status(chan)
                return
            else:
                raise ValueError(f"unknown script step {step!r}")
        finish(chan, 0)

    @staticmethod
    def read_exactly(chan, n):
        while n > 0:
            data = chan.recv(min(n, 32768))
            if not data:
                raise EOFError("client closed")
            n -= len(data)

    @staticmethod
    def read_line(chan):
        line = b""
        while not line.endswith(b"\n"):
            c = chan.recv(1)
            if not c:
                raise EOFError("client closed")
            line += c
        return line


class KexStall:
    """Takes some of an upload, then starts a key exchange and falls silent."""

    READ_BEFORE = 256 * 1024
    # Room the client still has to send in while the key exchange is under way.
    WINDOW_OPENED = 1024 * 1024
    CHANNEL_WINDOW = 64 * 1024

    def __call__(self, chan, command):
        chan.settimeout(IO_TIMEOUT_S)
        if not command.startswith("scp -t "):
            chan.sendall_stderr(b"fakesshd: kexstall takes only scp -t\n")
            finish(chan, 1)
            return
        try:
            chan.sendall(b"\0")
            log.info("header %r", ScpScript.read_line(chan))
            chan.sendall(b"\0")
            ScpScript.read_exactly(chan, self.READ_BEFORE)
        except (OSError, EOFError, socket.timeout) as e:
            log.info("upload ended early: %s", e)
            chan.close()
            return
        transport = chan.get_transport()
        self.fall_silent(transport)
        adjust = paramiko.Message()
        adjust.add_byte(paramiko.common.cMSG_CHANNEL_WINDOW_ADJUST)
        adjust.add_int(chan.remote_chanid)
        adjust.add_int(self.WINDOW_OPENED)
        # In one write, so that the client reads both at once and is in the key exchange with
        # the window open, whatever it was doing. _send_kex_init is what renegotiate_keys()
        # starts with; it would then wait for the exchange to end.
        packetizer = transport.packetizer
        write_all, parts = packetizer.write_all, []
        packetizer.write_all = parts.append
        try:
            transport._send_user_message(adjust)
            transport._send_kex_init()
        finally:
            packetizer.write_all = write_all
        write_all(b"".join(parts))
        log.info("key exchange started after %d bytes; falls silent", self.READ_BEFORE)

    @staticmethod
    def fall_silent(transport):
        """From the next packet on, the transport reads and answers nothing, then closes."""

        def stalled():
            time.sleep(IO_TIMEOUT_S)
            raise EOFError("silent for the whole stall")

        transport.packetizer.read_message = stalled


# --- server ----------------------------------------------------------------------------------


def restrict_to_old_algorithms(transport):
    opts = transport.get_security_options()
    opts.key_types = ("ssh-rsa",)
    opts.kex = ("diffie-hellman-group14-sha1", "diffie-hellman-group1-sha1")
    opts.ciphers = ("aes128-cbc", "aes256-cbc")
    opts.digests = ("hmac-sha1",)


def serve_connection(conn, args, host_key, handler):
    if args.mode == "kexstall":
        transport = paramiko.Transport(conn, default_window_size=KexStall.CHANNEL_WINDOW)
    else:
        transport = paramiko.Transport(conn)
    try:
        transport.add_server_key(host_key)
        if args.mode == "oldalgs":
            restrict_to_old_algorithms(transport)
        transport.start_server(server=Server(args.mode, handler))
        transport.join()
    except (paramiko.SSHException, EOFError, OSError) as e:
        log.info("connection ended: %s", e)
    finally:
        transport.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("mode", choices=["kbdint", "noexit", "oldalgs", "scpreply", "kexstall"])
    parser.add_argument("port", type=int)
    parser.add_argument("--root", required=True, help="the board's root folder")
    parser.add_argument("--work", default=".", help="where the scpreply script is looked for")
    parser.add_argument("--hostkey", help="RSA host key (PEM); generated when not given")
    parser.add_argument("--script", help="scpreply script file")
    args = parser.parse_args()

    logging.basicConfig(
        stream=sys.stderr, level=logging.INFO, format=f"%(asctime)s {args.mode}:%(message)s"
    )
    logging.getLogger("paramiko").setLevel(logging.WARNING)

    if args.hostkey:
        host_key = paramiko.RSAKey.from_private_key_file(args.hostkey)
    else:
        host_key = paramiko.RSAKey.generate(2048)
    handler = {
        "kbdint": run_in_board(args.root),
        "oldalgs": run_in_board(args.root),
        "noexit": no_exit_status,
        "scpreply": ScpScript(args.script or os.path.join(args.work, f"fake-{args.port}.script")),
        "kexstall": KexStall(),
    }[args.mode]

    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", args.port))
    sock.listen(16)
    log.info("listening on 127.0.0.1:%d", args.port)
    while True:
        conn, peer = sock.accept()
        log.info("connection from %s:%d", *peer)
        threading.Thread(
            target=serve_connection, args=(conn, args, host_key, handler), daemon=True
        ).start()


if __name__ == "__main__":
    main()
