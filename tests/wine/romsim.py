"""Starting and stopping the programmer emulator (romsim) on a pseudo-terminal
for the GUI tests and the benchmarks.

    sim = start_romsim(binary, chip_file, link_path=folder / "line",
                       extra_args=["--silent-from", "100"])
    ... map a Wine COM port to sim.link (or sim.slave) and run the program ...
    sim.log_lines()   # one line per exchange romsim saw
    sim.stop()        # the chip file is written before romsim exits
"""
import atexit
import ctypes
import os
import pathlib
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time
import weakref

START_TIMEOUT = 10.0  # seconds for romsim to print its slave path
TIOCM_RTS = 0x004
_TREE = pathlib.Path(__file__).resolve().parents[2]
# Every romsim this process started: those a failed test never got to stop
# end with the process (each runs in a session of its own, which nothing
# else would end).
_started = []


def die_with_parent():
    """In a child before exec: SIGTERM when the process that started it ends,
    even killed (a test past its time)."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


@atexit.register
def _stop_all():
    for process in _started:
        if process.poll() is None:
            process.kill()
            process.wait()


def preload_environment(env):
    """`env` with the modem-lines library preloaded (both builds: the loader
    skips the one of the wrong class), so a host's RTS and DTR reach romsim."""
    libraries = os.environ.get("ROMSIM_LINES_PRELOAD") or " ".join(
        str(_TREE / "build/native/sim" / d / "libromsim_lines.so") for d in ("lines64", "lines32"))
    env = dict(env)
    env["LD_PRELOAD"] = (libraries + " " + env.get("LD_PRELOAD", "")).strip()
    return env


def without_preload_notes(text):
    """`text` less the loader's notes about the preloaded build of the wrong class."""
    return "".join(l for l in text.splitlines(True) if "from LD_PRELOAD cannot be preloaded" not in l)


def framing_faults(lines):
    """What is wrong with the RTS framing in romsim's log: each exchange must
    have RTS raised just before it and lowered just after it, no byte may be
    stray, and RTS must not move without an exchange. Empty when all is well."""
    marks = "".join("H" if l.startswith("rts=high") else "L" if l.startswith("rts=low") else
                    "C" if l.startswith("command=") else "S" if l.startswith("stray") else ""
                    for l in lines)
    return [] if re.fullmatch("(HCL)*", marks) else ["RTS framing %s in %r" % (marks, lines)]


class Romsim:
    """A running romsim: `.slave` is the pty the host opens, `.link` the
    symlink to it (or None), `.log_path` the file of its exchange log."""

    def __init__(self, process, slave, link, log_path, scratch, errors):
        self.process = process
        self._errors = errors
        self.slave = slave
        self.link = link
        self.log_path = log_path
        self._cleanup = weakref.finalize(self, _release, errors, scratch)

    def log_lines(self):
        """The exchanges romsim has logged so far, one string each."""
        try:
            with open(self.log_path, encoding="ascii") as log:
                return [line.rstrip("\n") for line in log if line.strip()]
        except FileNotFoundError:
            return []

    def stderr_text(self):
        """What romsim has said on stderr (its complaints, if any)."""
        self._errors.seek(0)
        return self._errors.read().decode(errors="replace")

    def modem_bits(self):
        """The host's modem lines as romsim holds them (TIOCM_* bits), asked
        the way the modem-lines library asks."""
        address = "\0romsim-lines/%d" % os.stat(self.slave).st_rdev
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as ask:
            ask.settimeout(5)
            ask.connect(address)
            ask.sendall(struct.pack("=II", 1, 0))
            return struct.unpack("=I", ask.recv(4))[0]

    def running(self):
        return self.process.poll() is None

    def stop(self, timeout=10.0):
        """Ends romsim as SIGTERM does (it saves the chip first); its exit status."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if self.process.stdout is not None and not self.process.stdout.closed:
            self.process.stdout.close()
        return self.process.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def _release(errors, scratch):
    errors.close()
    if scratch is not None:
        shutil.rmtree(scratch, True)


def _read_first_line(stream, timeout):
    """The first line romsim prints, or None when it does not come in time."""
    deadline = time.monotonic() + timeout
    data = b""
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            return None
        chunk = os.read(stream.fileno(), 1)
        if not chunk:
            return None
        data += chunk
    return data.decode().strip()


def start_romsim(binary, chip_file, link_path=None, extra_args=()):
    """Starts romsim serving `chip_file` (created blank when missing) and waits
    until its pty is ready. Unless extra_args name a --log, the log goes to a
    scratch file that lives as long as the returned handle."""
    extra_args = [str(a) for a in extra_args]
    scratch = None
    if "--log" in extra_args:
        log_path = extra_args[extra_args.index("--log") + 1]
    elif any(a.startswith("--log=") for a in extra_args):
        log_path = next(a for a in extra_args if a.startswith("--log="))[len("--log="):]
    else:
        scratch = tempfile.mkdtemp(prefix="romsim-")
        log_path = os.path.join(scratch, "exchanges.log")
        extra_args += ["--log", log_path]
    args = [str(binary), "--chip", str(chip_file)]
    if link_path is not None:
        args += ["--link", str(link_path)]
    args += extra_args
    errors = tempfile.TemporaryFile()
    # A session of its own: the pty becomes romsim's controlling terminal.
    process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=errors,
                               stdin=subprocess.DEVNULL, start_new_session=True,
                               preexec_fn=die_with_parent)
    _started.append(process)
    slave = _read_first_line(process.stdout, START_TIMEOUT)
    if not slave:
        if process.poll() is None:
            process.kill()
        process.wait()
        process.stdout.close()
        errors.seek(0)
        message = errors.read().decode(errors="replace").strip()
        _release(errors, scratch)
        raise RuntimeError("romsim did not start (status %s): %s" % (process.returncode, message))
    return Romsim(process, slave, None if link_path is None else str(link_path), log_path, scratch,
                  errors)
