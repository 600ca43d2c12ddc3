#!/usr/bin/python3
"""romprog-setup.exe under Wine, silently: what it installs, the shortcut and
the uninstall entry it leaves, the installed program starting, and the
uninstaller taking every bit of it away again."""
import shutil
import unittest
import zipfile

import package_files
import shortcut
from wine_machine import PROGRAM_FILES, START_MENU, Machine, windows_join, wineenv

MAIN_TITLE = "Программатор ПЗУ"
SHORTCUT = windows_join(START_MENU, "romprog.lnk")


class Installer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.machine = Machine()
        with zipfile.ZipFile(package_files.zip_path()) as archive:
            cls.packaged = {name: archive.read(name) for name in archive.namelist()}

    @classmethod
    def tearDownClass(cls):
        # This prefix's desktop window must not stay on the display the GUI
        # scenarios take their screenshots from.
        cls.machine.shut_down()

    def setUp(self):
        self.forget_earlier_runs()

    def tearDown(self):
        self.forget_earlier_runs()

    def forget_earlier_runs(self):
        """A run stopped half-way must not make the next one pass or fail."""
        for folder in (windows_join(PROGRAM_FILES, "romprog"), r"C:\Tools"):
            shutil.rmtree(self.machine.unix(folder), ignore_errors=True)
        self.machine.unix(SHORTCUT).unlink(missing_ok=True)
        if self.machine.uninstall_entry() is not None:
            self.machine.delete_uninstall_entry()

    # --- steps -------------------------------------------------------------

    def install(self, *options):
        installer = package_files.installer_path()
        self.assertTrue(installer.exists(), "%s is not built (makensis missing?)" % installer)
        run = self.machine.wine(str(installer), "/S", *options)
        self.assertEqual(run.returncode, 0, run.stderr.decode("utf-8", "replace"))

    def uninstall(self, folder):
        uninstaller = self.machine.unix(windows_join(folder, "uninstall.exe"))
        run = self.machine.wine(windows_join(folder, "uninstall.exe"), "/S")
        self.assertEqual(run.returncode, 0)
        # The uninstaller runs on as a copy of itself, ~nsuN.tmp\Un.exe in the
        # temporary folder; the shortcut and the entry go after its own file.
        finished = self.machine.wait_until(
            lambda: not uninstaller.exists() and not self.machine.processes("\\Un.exe"))
        self.assertTrue(finished, "the uninstaller did not finish")

    def start_installed_program(self, folder):
        drive = wineenv.Driver(self.machine.env)
        try:
            drive("start", windows_join(folder, "romprog.exe"))
            drive("wait-window", "main", 20000)
            self.assertEqual(drive("geometry", "main")["title"], MAIN_TITLE)
            drive("close", "main")
            self.assertEqual(drive("wait-exit", 10000)["code"], 0)
        finally:
            drive.try_call("kill")
            drive.quit()

    # --- checks ------------------------------------------------------------

    def assertInstalled(self, folder):
        names = sorted(p.name for p in self.machine.unix(folder).iterdir())
        self.assertEqual(names, sorted(list(self.packaged) + ["uninstall.exe"]))
        for name, data in self.packaged.items():
            self.assertEqual(self.machine.unix(windows_join(folder, name)).read_bytes(), data,
                             name)
        link = self.machine.unix(SHORTCUT).read_bytes()
        self.assertEqual(shortcut.target(link).lower(),
                         windows_join(folder, "romprog.exe").lower())
        entry = self.machine.uninstall_entry()
        self.assertIsNotNone(entry, "no uninstall entry")
        uninstaller = '"%s"' % windows_join(folder, "uninstall.exe")
        self.assertEqual(entry.get("DisplayName"), "romprog")
        self.assertEqual(entry.get("DisplayVersion"), package_files.version())
        self.assertEqual(entry.get("InstallLocation"), folder)
        self.assertEqual(entry.get("UninstallString"), uninstaller)
        self.assertEqual(entry.get("QuietUninstallString"), uninstaller + " /S")
        installed = sum(p.stat().st_size for p in self.machine.unix(folder).iterdir())
        self.assertAlmostEqual(int(entry.get("EstimatedSize", "-1"), 16), installed / 1024,
                               delta=len(self.packaged) + 1)

    def assertNothingLeft(self):
        self.assertFalse(self.machine.unix(SHORTCUT).exists(), "the shortcut is left")
        self.assertIsNone(self.machine.uninstall_entry(), "the uninstall entry is left")

    # --- scenarios ---------------------------------------------------------

    def test_default_folder_install_run_uninstall(self):
        folder = windows_join(PROGRAM_FILES, "romprog")
        self.install()
        self.assertInstalled(folder)
        self.start_installed_program(folder)
        self.uninstall(folder)
        self.assertNothingLeft()
        self.assertFalse(self.machine.unix(folder).exists(), "the folder is left")

    def test_chosen_folder_and_a_users_file_left_in_it(self):
        folder = r"C:\Tools\romprog"
        self.install("/D=" + folder)
        self.assertInstalled(folder)
        self.assertFalse(self.machine.unix(windows_join(PROGRAM_FILES, "romprog")).exists())
        own = self.machine.unix(windows_join(folder, "chip.hex"))
        own.write_bytes(b":00000001FF\r\n")
        self.uninstall(folder)
        self.assertNothingLeft()
        self.assertEqual([p.name for p in self.machine.unix(folder).iterdir()], ["chip.hex"])


if __name__ == "__main__":
    wineenv.skip_unless_win32("romprog-setup.exe is a 32-bit program")
    unittest.main(verbosity=2)
