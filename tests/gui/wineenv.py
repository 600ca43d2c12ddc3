"""Running romprog.exe under Wine for the GUI scenarios.

The same set-up as wine_env.sh (a prefix with a 1024x768 virtual desktop on an
Xvfb display, the machine's serial ports hidden), plus:

- `Driver`: one romdrive.exe process, spoken to line by line (see
  tests/gui/driver/main.cpp for the commands). It starts romprog.exe itself
  (`start`), so one scenario pays for one Wine start-up only.
- `Program`: a started romprog.exe with its driver; `screenshot()` crops the
  X screen to a window; `stop()` leaves no Wine process of ours behind.

Paths come from the environment, so CTest and a developer's shell agree:
  ROMPROG_EXE, ROMDRIVE_EXE  the cross-built programs (default: build/win32)
  ROMPROG_WINEPREFIX         the prefix (default: $ROMPROG_DEFAULT_WINEPREFIX, which
                             CTest sets to the native tree's wine/, else build/native/wine)
  ROMPROG_DISPLAY            the X display (default :77)
  ROMPROG_SCREENSHOTS        where screenshots go (default: build/native/screenshots)
"""
import json
import os
import pathlib
import shutil
import subprocess
import time

TREE = pathlib.Path(__file__).resolve().parents[2]
DESKTOP = "1024x768"


def _env_path(name, default):
    return pathlib.Path(os.environ.get(name) or default)


def program_path():
    return _env_path("ROMPROG_EXE", TREE / "build/win32/src/gui/win32/romprog.exe")


def driver_path():
    return _env_path("ROMDRIVE_EXE", TREE / "build/win32/tests/gui/driver/romdrive.exe")


def screenshot_dir():
    return _env_path("ROMPROG_SCREENSHOTS", TREE / "build/native/screenshots")


def wine_path(path):
    """The Windows name of a Unix path, through Wine's Z: drive."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


# --- the prefix and the display ------------------------------------------------


def _display_alive(display):
    return subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def start_xvfb(display):
    if _display_alive(display):
        return
    subprocess.Popen(["Xvfb", display, "-screen", "0", DESKTOP + "x24", "-nolisten", "tcp"],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                     start_new_session=True)
    for _ in range(100):
        if _display_alive(display):
            return
        time.sleep(0.05)
    raise RuntimeError("Xvfb did not start on " + display)


def wine_environment():
    env = dict(os.environ)
    default_prefix = os.environ.get("ROMPROG_DEFAULT_WINEPREFIX") or TREE / "build/native/wine"
    env["WINEPREFIX"] = str(_env_path("ROMPROG_WINEPREFIX", default_prefix))
    env["DISPLAY"] = os.environ.get("ROMPROG_DISPLAY") or os.environ.get("DISPLAY") or ":77"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    env["WINEDEBUG"] = os.environ.get("WINEDEBUG", "-all")
    env["WINEARCH"] = "win64"
    return env


def _run(env, *args):
    subprocess.run(list(args), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def setup():
    """Prepares display and prefix once; returns the environment to run Wine in."""
    env = wine_environment()
    start_xvfb(env["DISPLAY"])
    prefix = pathlib.Path(env["WINEPREFIX"])
    if not (prefix / ".romprog-ready").exists():
        prefix.mkdir(parents=True, exist_ok=True)
        _run(env, "wineboot", "-i")
        _run(env, "wineserver", "-w")
        _run(env, "wine", "reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d",
             "Default", "/f")
        _run(env, "wine", "reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default",
             "/d", DESKTOP, "/f")
        _run(env, "wineserver", "-w")
        (prefix / ".romprog-ready").touch()
    block_com_ports(env)
    _run(env, "wineserver", "-p", "60")
    # A starting wineserver brings up the device manager, which links every
    # COMn it finds as a serial device (/dev/ttyS0 as COM1) over any symlink a
    # test has put there; the directories hold it off. Let it do that now,
    # before any port is mapped.
    _run(env, "wine", "cmd", "/c", "exit")
    return env


def _com_link(env, n):
    return pathlib.Path(env["WINEPREFIX"]) / "dosdevices" / ("com%d" % n)


def unmap_com(env, n):
    """Hides COMn: a directory in place of the link (Wine re-creates a missing link)."""
    link = _com_link(env, n)
    if link.is_dir() and not link.is_symlink():
        return
    if link.is_symlink() or link.exists():
        link.unlink()
    link.mkdir(parents=True)


def map_com(env, n, target):
    link = _com_link(env, n)
    if link.is_dir() and not link.is_symlink():
        shutil.rmtree(link)
    elif link.is_symlink() or link.exists():
        link.unlink()
    link.symlink_to(target)


def block_com_ports(env):
    for n in range(1, 21):
        unmap_com(env, n)


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
            ["wine", str(driver_path())], env=env, stdin=subprocess.PIPE,
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
        self.pid = self.drive("start", wine_path(exe or program_path()))["pid"]
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
