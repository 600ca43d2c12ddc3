"""Running romprog.exe under Wine for the GUI scenarios.

The launchers' set-up (packaging/linux/launcher_lib.sh, called through bash:
a prefix with a 1024x768 virtual desktop, the machine's serial ports hidden,
COM ports mapped), on an Xvfb display of this process's own (or ROMPROG_DISPLAY), plus:

- `Driver`: one romdrive.exe process, spoken to line by line (see
  tests/wine/driver/main.cpp for the commands). It starts romprog.exe itself
  (`start`), so one scenario pays for one Wine start-up only.
- `Program`: a started romprog.exe with its driver; `screenshot()` crops the
  X screen to a window; `stop()` leaves no Wine process of ours behind.

Everything `setup()` starts (Xvfb, the prefix's wineserver and every Wine
process under it) is stopped when the Python process ends, however a test
ended.

Paths come from the environment, so CTest and a developer's shell agree:
  ROMPROG_WINDOWS, ROMPROG_WINE_LOADER, ROMPROG_WINDOWS_BUILD
                             the Windows build under test and its loader
                             (CTest sets them, see cmake/WindowsUnderTest.cmake;
                             elsewhere scripts/windows_choice.sh decides)
  ROMPROG_EXE, ROMDRIVE_EXE  the cross-built programs (default: that build's)
  ROMPROG_WINEPREFIX         the prefix (default: $ROMPROG_DEFAULT_WINEPREFIX-win32 or
                             -win64, which CTest sets to the native tree's wine, else
                             build/native/wine)
  ROMPROG_DISPLAY            the X display (default: an Xvfb of this process's own)
  ROMPROG_SCREENSHOTS        where screenshots go (default: build/native/screenshots)
"""
import atexit
import collections
import json
import os
import pathlib
import select
import signal
import subprocess
import sys
import tempfile
import time

import romsim

TREE = pathlib.Path(__file__).resolve().parents[2]
DESKTOP = "1024x768"
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
# The launchers' shell library: the prefix set-up and the COM ports are its.
LAUNCHER_LIB = TREE / "packaging/linux/launcher_lib.sh"


class WineCannotStart(RuntimeError):
    pass


# --- the Windows build under test --------------------------------------------

Windows = collections.namedtuple("Windows", "name build loader why")


def _env_path(name, default):
    return pathlib.Path(os.environ.get(name) or default)


def windows_trees():
    """The folder holding the win32 and win64 build trees."""
    return _env_path("ROMPROG_WINDOWS_TREES", TREE / "build")


def windows_build(name):
    """The build `name` (win32 or win64) under its own loader."""
    return Windows(name, windows_trees() / name, LOADERS[name], "asked for " + name)


_under_test = []


def under_test():
    """The Windows build every Wine-run test uses here and its loader: as
    CTest names them, or else as scripts/windows_choice.sh decides."""
    if _under_test:
        return _under_test[0]
    name = os.environ.get("ROMPROG_WINDOWS")
    loader = os.environ.get("ROMPROG_WINE_LOADER")
    why = os.environ.get("ROMPROG_WINDOWS_WHY") or "ROMPROG_WINDOWS=%s" % name
    if not (name and loader):
        run = subprocess.run(["bash", str(TREE / "scripts/windows_choice.sh")],
                             capture_output=True, text=True)
        if run.returncode != 0:
            raise WineCannotStart(run.stderr.strip())
        said = dict(line.split("=", 1) for line in run.stdout.splitlines() if "=" in line)
        name, loader, why = (said["ROMPROG_WINDOWS"], loader or said["ROMPROG_WINE_LOADER"],
                             said["ROMPROG_WINDOWS_WHY"])
    build = _env_path("ROMPROG_WINDOWS_BUILD", windows_trees() / name)
    _under_test.append(Windows(name, build, loader, why))
    return _under_test[0]


# CTest counts a test that exits with this status as skipped.
SKIPPED = 77


def skip_unless_win32(what):
    """Ends the test as skipped, saying why, when the build under test is not
    the 32-bit one: `what` needs a 32-bit program itself."""
    windows = under_test()
    if windows.name != "win32":
        print("SKIPPED: %s, and the Windows build under test is %s (%s)"
              % (what, windows.name, windows.why), flush=True)
        raise SystemExit(SKIPPED)


def program_path(env=None):
    build = (env or {}).get("ROMPROG_WINDOWS_BUILD") or under_test().build
    return _env_path("ROMPROG_EXE", pathlib.Path(build) / "src/gui/win32/romprog.exe")


def driver_path(env=None):
    build = (env or {}).get("ROMPROG_WINDOWS_BUILD") or under_test().build
    return _env_path("ROMDRIVE_EXE", pathlib.Path(build) / "tests/wine/driver/romdrive.exe")


def romtool_path(env=None):
    build = (env or {}).get("ROMPROG_WINDOWS_BUILD") or under_test().build
    return _env_path("ROMTOOL_EXE", pathlib.Path(build) / "cli/romtool.exe")


def screenshot_dir():
    return _env_path("ROMPROG_SCREENSHOTS", TREE / "build/native/screenshots")


def wine_path(path):
    """The Windows name of a Unix path, through Wine's Z: drive."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def wine_command(env, *args):
    """The command line that runs a Windows program in env's prefix."""
    return [env["WINELOADER"]] + [str(a) for a in args]


# --- the prefix and the display ------------------------------------------------


def _display_alive(display):
    return subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def _stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


_started_displays = {}


def start_xvfb(display=None):
    """The display `display`, started on Xvfb unless an X server answers there;
    without one, an Xvfb on a free display, the same one for every call of this
    process (a prefix's desktop stays on the display it started on). An Xvfb
    started here stops when this process ends."""
    if display in _started_displays:
        return _started_displays[display]
    if display and _display_alive(display):
        return display
    _started_displays[display] = _start_xvfb(display)
    return _started_displays[display]


def _start_xvfb(display):
    read_end, write_end = os.pipe()
    where = [display] if display else ["-displayfd", str(write_end)]
    server = subprocess.Popen(["Xvfb"] + where +
                              ["-screen", "0", DESKTOP + "x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              pass_fds=(write_end,), start_new_session=True,
                              preexec_fn=romsim.die_with_parent)
    atexit.register(_stop, server)
    os.close(write_end)
    try:
        if not display:
            said = b""
            while not said.endswith(b"\n") and select.select([read_end], [], [], 10)[0]:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                said += chunk
            display = ":" + said.decode().strip() if said.strip() else None
    finally:
        os.close(read_end)
    for _ in range(100):
        if display and _display_alive(display):
            return display
        time.sleep(0.05)
    _stop(server)
    raise RuntimeError("Xvfb did not start on %s (is the package xvfb installed?)"
                       % (display or "a free display"))


def launcher_lib(env, command, *args):
    """Runs `command`, a bash command line over the launchers' shell library
    (packaging/linux/launcher_lib.sh) with `args` as its "$@", in env;
    returns its exit status, its output (bytes) and what it said on stderr.
    Both go through files: the Wine processes it leaves running inherit
    them, and a pipe would stay open as long as they live."""
    script = 'source "$1"\nshift\n' + command
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(["bash", "-c", script, "wineenv", str(LAUNCHER_LIB)] +
                              [str(a) for a in args], env=env, stdin=subprocess.DEVNULL,
                              stdout=out, stderr=err).returncode
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read().decode(errors="replace").strip()


def _prefix_of(windows):
    """The prefix the tests run `windows` in: each loader its own."""
    default = "%s-%s" % (os.environ.get("ROMPROG_DEFAULT_WINEPREFIX")
                         or TREE / "build/native/wine", windows.name)
    return str(_env_path("ROMPROG_WINEPREFIX", default))


def _end_prefix(env):
    """Ends the prefix's wineserver and every Wine process under it."""
    launcher_lib(env, "romprog_end_prefix")


def setup(windows=None):
    """Prepares display and prefix once, as the launchers do; returns the
    environment to run Wine in. The prefix is made by the loader that uses
    it, and a prefix some other loader made is refused. WineCannotStart, with
    what the set-up said, when Wine does not start."""
    windows = windows or under_test()
    # Terminated (a test run stopped), the process still ends what it started.
    if signal.getsignal(signal.SIGTERM) == signal.SIG_DFL:
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    env = dict(os.environ, ROMPROG_WINDOWS=windows.name, ROMPROG_WINE_LOADER=windows.loader,
               ROMPROG_WINDOWS_BUILD=str(windows.build), ROMPROG_WINEPREFIX=_prefix_of(windows),
               ROMPROG_DESKTOP=DESKTOP, DISPLAY=start_xvfb(os.environ.get("ROMPROG_DISPLAY")))
    atexit.register(_end_prefix, dict(env, WINEPREFIX=env["ROMPROG_WINEPREFIX"]))
    code, out, said = launcher_lib(env, "romprog_wine_prefix_setup || exit 1\nenv -0")
    if code != 0:
        raise WineCannotStart(said)
    # The environment the set-up leaves: the prefix, the loader, Wine's settings.
    return dict(entry.split("=", 1) for entry in out.decode(errors="surrogateescape").split("\0")
                if "=" in entry)


def _ports(env, command, *args):
    code, _, said = launcher_lib(env, command, *args)
    if code != 0:
        raise RuntimeError("%s %s failed in %s: %s" % (command.split()[0], " ".join(map(str, args)),
                                                       env["WINEPREFIX"], said))


def unmap_com(env, n):
    """Hides COMn: a directory in place of the link (Wine re-creates a missing link)."""
    _ports(env, 'romprog_unmap_com "$@"', n)


def map_com(env, n, target):
    _ports(env, 'romprog_map_com "$@"', n, target)


def block_com_ports(env):
    _ports(env, "romprog_block_com_ports")


# --- the driver ----------------------------------------------------------------


class DriverError(RuntimeError):
    pass


def _word(value):
    if isinstance(value, str):
        return json.dumps(value, ensure_ascii=False)
    return str(value)


class Driver:
    """One romdrive.exe; each call sends a command and returns its JSON answer."""

    def __init__(self, env):
        self.env = env
        self.process = subprocess.Popen(
            wine_command(env, driver_path(env)), env=env, stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)

    def __call__(self, command, *args):
        line = " ".join([command] + [_word(a) for a in args]) + "\n"
        self.process.stdin.write(line.encode("utf-8"))
        self.process.stdin.flush()
        answer = self.process.stdout.readline().decode("utf-8")
        if not answer:
            raise DriverError("driver ended during: " + line.strip())
        status, _, body = answer.rstrip("\n").partition(" ")
        if status != "ok":
            raise DriverError("%s: %s" % (line.strip(), body))
        return json.loads(body) if body else {}

    def try_call(self, command, *args):
        """Like calling, but None instead of an error answer."""
        try:
            return self(command, *args)
        except DriverError:
            return None

    def quit(self):
        if self.process.poll() is None:
            try:
                self("quit")
            except (DriverError, BrokenPipeError, OSError):
                pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for pipe in (self.process.stdin, self.process.stdout):
            try:
                pipe.close()
            except OSError:
                pass


# --- the program ---------------------------------------------------------------


class Program:
    """romprog.exe started by its own driver, main window shown."""

    def __init__(self, env=None, exe=None, wait=True):
        self.env = env or setup()
        self.drive = Driver(self.env)
        self.pid = self.drive("start", wine_path(exe or program_path(self.env)))["pid"]
        self.exit_code = None
        if wait:
            self.drive("wait-window", "main", 20000)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def control(self, control_id):
        return self.drive("control", control_id)

    def geometry(self, window):
        return self.drive("geometry", window)

    def screenshot(self, window, name):
        """Saves the window's outer frame as build/native/screenshots/NAME.png."""
        box = self.geometry(window)
        directory = screenshot_dir()
        directory.mkdir(parents=True, exist_ok=True)
        path = directory / (name + ".png")
        crop = "%dx%d+%d+%d" % (box["outer_w"], box["outer_h"], box["x"], box["y"])
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", "-crop",
                        crop, "+repage", str(path)], check=True)
        return path

    def close(self):
        """The main window's close box; returns the exit code."""
        self.drive("close", "main")
        self.exit_code = self.drive("wait-exit", 10000)["code"]
        return self.exit_code

    def stop(self):
        if self.exit_code is None and self.drive.process.poll() is None:
            if self.drive.try_call("wait-exit", 0) is None:
                # Still running: a scenario that failed half-way. Answer any
                # box first so the program is not left modal, then end it.
                self.drive.try_call("kill")
        self.drive.quit()
