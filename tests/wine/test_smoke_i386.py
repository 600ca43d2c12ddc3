#!/usr/bin/python3
"""The shipped 32-bit romprog.exe where the Windows build under test is the
64-bit one: one scenario (start, the main window, a 27C64 read from romsim,
close). It runs the 32-bit program natively where the host
runs 32-bit programs, else under qemu-i386-static registered for i386
programs for this test only (as root), else it is skipped with the reason.
Where the 32-bit build is the one under test every gui.* scenario runs it,
and this one is skipped. It says how the 32-bit program ran and how long."""
import os
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import romsim
import wineenv

ROMSIM = os.environ.get("ROMSIM_BINARY") or str(wineenv.TREE / "build/native/sim/romsim")
EMULATION = pathlib.Path(__file__).resolve().parent / "i386_emulation.sh"
MAIN_TITLE = "Программатор ПЗУ"
READ = 6
OK_BOX = ("OK !!!", "OK !!!", "information")
# ms: under emulation the first start makes the prefix (minutes), and every
# byte of the read crosses the emulated Wine.
PATIENCE = 900000


class SmokeI386(unittest.TestCase):
    def setUp(self):
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix="romprog-smoke-i386-"))
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.image = random.Random(27).randbytes(8192)
        chip = self.folder / "chip.bin"
        chip.write_bytes(self.image + b"\xFF" * (32768 - 8192))
        self.sim = romsim.start_romsim(ROMSIM, chip, link_path=self.folder / "line")
        self.addCleanup(self.sim.stop)
        # Without the modem-lines library (romsim frames the read by the line's
        # silence then): preloaded into qemu-i386, it takes the address Wine
        # maps its shared user data at, and Wine does not start.
        self.env = wineenv.setup(wineenv.windows_build("win32"))
        wineenv.map_com(self.env, 1, self.folder / "line")
        self.addCleanup(wineenv.block_com_ports, self.env)

    def runner_of(self, name):
        """The Unix program that runs this prefix's Windows program `name`."""
        for entry in pathlib.Path("/proc").iterdir():
            try:
                if (entry.name.isdigit() and name.encode() in (entry / "cmdline").read_bytes()
                        and ("WINEPREFIX=%s" % self.env["WINEPREFIX"]).encode()
                        in (entry / "environ").read_bytes().split(b"\0")):
                    return os.readlink(entry / "exe")
            except OSError:
                continue
        self.fail("no process of %s" % name)

    def test_start_read_a_27C64_close(self):
        started = time.monotonic()
        program = wineenv.Program(self.env, wait=False)
        self.addCleanup(program.stop)
        program.drive("wait-window", "main", PATIENCE)
        self.assertEqual(program.geometry("main")["title"], MAIN_TITLE)
        runner = self.runner_of("romprog.exe")
        print("romprog.exe runs as %s" % runner, flush=True)
        self.assertTrue(is_i386_runner(runner), "not the 32-bit program: " + runner)
        print("main window of the 32-bit romprog.exe after %.1f s" % (time.monotonic() - started),
              flush=True)
        program.drive("click", READ)
        shown = program.drive("msgbox", PATIENCE)
        self.assertEqual((shown["caption"], shown["text"], shown["icon"]), OK_BOX,
                         "romsim log: %r" % self.sim.log_lines())
        # Under the notice: the last cell and its byte, the bar full.
        status = (program.drive("text", 11)["text"], program.drive("text", 12)["text"],
                  program.drive("state", 13)["state"])
        self.assertEqual(status, ("8191", str(self.image[8191]), 100))
        program.drive("answer", "ok")
        exchanges = [l for l in self.sim.log_lines() if l.startswith("command=")]
        self.assertTrue(exchanges and exchanges[-1].startswith("command=0x20 bytes=8192 acks=8192"),
                        exchanges)
        self.assertEqual(program.close(), 0)
        print("27C64 read and closed after %.1f s" % (time.monotonic() - started), flush=True)


def is_i386_runner(path):
    """Whether the program at `path` runs i386 code: a 32-bit ELF program
    (Wine's 32-bit loader), or the emulator binfmt_misc hands it to."""
    if os.path.basename(path) == "qemu-i386-static":
        return True
    with open(path, "rb") as program:
        return program.read(5) == b"\x7fELF\x01"


def emulation(*args):
    return subprocess.run(["bash", str(EMULATION)] + list(args), capture_output=True, text=True)


def main():
    windows = wineenv.under_test()
    if windows.name == "win32":
        print("SKIPPED: the 32-bit build is the one under test here (%s); every gui.* "
              "scenario runs it" % windows.why, flush=True)
        return wineenv.SKIPPED
    plan = emulation("plan")
    how = plan.stdout.strip() or plan.stderr.strip()
    if plan.returncode != 0:
        print("SKIPPED: the 32-bit romprog.exe cannot run here: %s" % how, flush=True)
        return wineenv.SKIPPED
    registered = emulation("register")
    if registered.returncode != 0:
        print("SKIPPED: registering the emulator failed: %s" % registered.stderr.strip(),
              flush=True)
        return wineenv.SKIPPED
    print("the 32-bit romprog.exe runs %s" % how, flush=True)
    started = time.monotonic()
    try:
        result = unittest.main(exit=False, verbosity=2).result
    finally:
        # Unregistered at once: the probe of the next run must see the host
        # as it is.
        if registered.stdout.strip():
            emulation("unregister", *registered.stdout.split())
    print("the 32-bit scenario took %.1f s (%s)" % (time.monotonic() - started, how), flush=True)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
