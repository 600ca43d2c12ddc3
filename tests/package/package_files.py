"""Where the Windows tree put the programs and the packages, and what the
packages must hold.

  ROMPROG_WIN32_BUILD  the i686 build tree (default: build/win32)
  ROMPROG_VERSION      the version the package names carry
"""
import os
import pathlib

TREE = pathlib.Path(__file__).resolve().parents[2]


def win32_build():
    return pathlib.Path(os.environ.get("ROMPROG_WIN32_BUILD") or TREE / "build/win32")


def version():
    return os.environ["ROMPROG_VERSION"]


def zip_path():
    return win32_build() / ("romprog-%s-win32.zip" % version())


def installer_path():
    return win32_build() / "romprog-setup.exe"


def built_programs():
    """Name -> built file of each program the package must carry. The
    command-line tool counts once the tree has built it."""
    programs = {"romprog.exe": win32_build() / "src/gui/win32/romprog.exe"}
    stage = win32_build() / "packaging"
    tools = [p for p in win32_build().rglob("romtool.exe") if stage not in p.parents]
    if len(tools) > 1:
        raise RuntimeError("more than one romtool.exe in the tree: %s" % tools)
    if tools:
        programs["romtool.exe"] = tools[0]
    return programs


def package_names():
    return sorted(list(built_programs()) + ["README.txt", "THIRD-PARTY.txt"])
