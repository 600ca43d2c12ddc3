#!/usr/bin/python3
"""The Windows zip: exactly the programs, the README and the notices of the
libraries linked into them, the very files the tree built, and programs that
need no MinGW runtime DLL next to them."""
import hashlib
import os
import pathlib
import re
import subprocess
import unittest
import zipfile

import package_files


def digest(data):
    """Size and SHA-256: a readable difference between two large files."""
    return len(data), hashlib.sha256(data).hexdigest()


def imported_dlls(exe):
    objdump = os.environ.get("ROMPROG_OBJDUMP", "i686-w64-mingw32-objdump")
    out = subprocess.run([objdump, "-p", str(exe)], check=True, capture_output=True,
                         text=True).stdout
    return [line.split(":", 1)[1].strip() for line in out.splitlines()
            if line.strip().startswith("DLL Name:")]


class Zip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.archive = zipfile.ZipFile(package_files.zip_path())

    @classmethod
    def tearDownClass(cls):
        cls.archive.close()

    def test_holds_exactly_the_programs_and_the_readme(self):
        names = self.archive.namelist()
        self.assertEqual(sorted(names), package_files.package_names())
        self.assertEqual(len(names), len(set(names)))

    def test_programs_are_the_built_ones_byte_for_byte(self):
        for name, built in package_files.built_programs().items():
            with self.subTest(name=name):
                self.assertEqual(digest(self.archive.read(name)), digest(built.read_bytes()))

    def test_archive_is_intact(self):
        self.assertIsNone(self.archive.testzip())

    def test_readme_is_the_repository_readme_as_windows_text(self):
        text = self.archive.read("README.txt")
        self.assertTrue(text.startswith(b"\xef\xbb\xbf"), "no UTF-8 byte order mark")
        text = text[3:]
        lines = text.split(b"\r\n")
        self.assertGreater(len(lines), 10)
        for number, line in enumerate(lines, 1):
            self.assertNotIn(b"\n", line, "line %d ends in a bare LF" % number)
            self.assertNotIn(b"\r", line, "line %d holds a bare CR" % number)
        readme = (package_files.TREE / "README.md").read_bytes()
        self.assertEqual(text.replace(b"\r\n", b"\n"), readme)

    def test_notices_hold_the_licence_of_every_library_linked_in(self):
        text = self.archive.read("THIRD-PARTY.txt")
        self.assertTrue(text.startswith(b"\xef\xbb\xbf"), "no UTF-8 byte order mark")
        self.assertNotIn(b"\n", text.replace(b"\r\n", b""), "a bare LF")
        text = text[3:].replace(b"\r\n", b"\n")
        carried = {"romprog.exe": ["libjpeg62-turbo"],
                   "romtool.exe": ["zlib1g", "libpng16-16", "libxml2", "libgcrypt20",
                                   "libgpg-error0"]}
        for program in package_files.built_programs():
            for package in carried[program]:
                with self.subTest(program=program, package=package):
                    line = re.search(rb"^  %s: (.*)$" % re.escape(program.encode()), text,
                                     re.MULTILINE)
                    self.assertIsNotNone(line, "no line for %s" % program)
                    self.assertIn(package.encode(), line.group(1).split(b", "))
                    copyright = pathlib.Path("/usr/share/doc", package, "copyright")
                    self.assertIn(copyright.read_bytes(), text)
        self.assertIn(b"complete corresponding source", text)

    def test_programs_need_no_mingw_runtime_dll(self):
        for name, built in package_files.built_programs().items():
            dlls = imported_dlls(built)
            with self.subTest(name=name):
                self.assertIn("KERNEL32.dll", dlls)
                # libgcc_s_*, libstdc++-6, libwinpthread-1, libjpeg-*: none
                # of them is on a Windows machine.
                own = [d for d in dlls if d.lower().startswith("lib")]
                self.assertEqual(own, [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
