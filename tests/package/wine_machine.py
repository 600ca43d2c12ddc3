"""A Wine prefix seen as the Windows machine the installer runs on: its
paths, its uninstall entries and its running processes."""
import pathlib
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "wine"))
import wineenv  # noqa: E402

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\romprog"
# The installer is a 32-bit program in a 64-bit prefix.
PROGRAM_FILES = r"C:\Program Files (x86)"
START_MENU = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs"


class Machine:
    def __init__(self):
        self.env = wineenv.setup()
        # Shortcuts must not reach the desktop of the machine running the tests.
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
        self.prefix = pathlib.Path(self.env["WINEPREFIX"])

    def unix(self, windows_path):
        drive, _, rest = windows_path.partition(":\\")
        if drive.upper() != "C":
            raise ValueError("not on drive C: " + windows_path)
        return self.prefix / "drive_c" / rest.replace("\\", "/")

    def wine(self, *args):
        """Runs a Windows program to its end. Its output goes through files:
        Wine's own helpers started by the call inherit them and live on, and
        a pipe would stay open until they are gone."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            run = subprocess.run(wineenv.wine_command(self.env, *args), env=self.env,
                                 stdin=subprocess.DEVNULL,
                                 stdout=out, stderr=err, timeout=120)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(run.args, run.returncode, out.read(), err.read())

    def shut_down(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def uninstall_entry(self):
        """The values under the uninstall key (32-bit view), or None."""
        run = self.wine("reg", "query", UNINSTALL_KEY, "/reg:32")
        if run.returncode != 0:
            return None
        values = {}
        for line in run.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split("    ")
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) > 2 else ""
        return values

    def delete_uninstall_entry(self):
        self.wine("reg", "delete", UNINSTALL_KEY, "/reg:32", "/f")

    def processes(self, exe_name):
        """Ids of this prefix's processes whose command line names exe_name."""
        found = []
        want = exe_name.lower().encode()
        for entry in pathlib.Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if want not in (entry / "cmdline").read_bytes().lower():
                    continue
                environ = (entry / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=%s" % self.prefix).encode() in environ:
                found.append(int(entry.name))
        return found

    def wait_until(self, done, timeout=60):
        deadline = time.monotonic() + timeout
        while not done():
            if time.monotonic() > deadline:
                return False
            time.sleep(0.1)
        return True


def windows_join(*parts):
    return "\\".join(p.rstrip("\\") for p in parts)
