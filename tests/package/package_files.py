"""Where the Windows tree put the programs and the packages, and what the
packages must hold. The packages come from the i686 tree, whichever build
is under test.

  ROMPROG_WINDOWS_TREES  the folder of the Windows build trees (default: build)
  ROMPROG_VERSION        the version the package names carry
"""
import os
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "wine"))
import wineenv  # noqa: E402

TREE = wineenv.TREE


def win32_build():
    return wineenv.windows_build("win32").build


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
