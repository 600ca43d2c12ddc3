"""The target of a Windows shortcut (.lnk): the local base path its LinkInfo
block names, which is what Explorer starts."""
import struct

_HEADER_SIZE = 0x4C
_HAS_ID_LIST = 0x1
_HAS_LINK_INFO = 0x2
_LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")


class ShortcutError(ValueError):
    pass


def target(data):
    if len(data) < _HEADER_SIZE or struct.unpack_from("<I", data, 0)[0] != _HEADER_SIZE:
        raise ShortcutError("not a shell link")
    if data[4:20] != _LINK_CLSID:
        raise ShortcutError("not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = _HEADER_SIZE
    if flags & _HAS_ID_LIST:
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    if not flags & _HAS_LINK_INFO:
        raise ShortcutError("the link carries no target path")
    base_offset = struct.unpack_from("<I", data, offset + 16)[0]
    start = offset + base_offset
    end = data.index(b"\0", start)
    # The ANSI code page of the machine that made it; our paths are ASCII.
    return data[start:end].decode("latin-1")
