#!/usr/bin/env python3
"""Turns the tavi-script scenario files into seed inputs of the fuzz target: each command
becomes the bytes of the matching operation (see fuzz/session.cpp, Session::step)."""
import json
import pathlib
import re
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
# DISPIDs by member name, read from the dispatch table.
DISPIDS = {}
for m in re.finditer(r'(?:VARIABLE\(t, (\w+)|add\("(\w+)"), (0x[0-9a-fA-F]+)',
                     (ROOT / "src/shell/dispatch.cpp").read_text()):
    DISPIDS[(m.group(1) or m.group(2)).lower()] = int(m.group(3), 16)

KINDS = {"call": 0, "get": 1, "put": 2}  # indexes into the step's kind list


def u8(v): return struct.pack("<B", v & 0xFF)
def u16(v): return struct.pack("<H", v & 0xFFFF)
def i32(v): return struct.pack("<I", v & 0xFFFFFFFF)


def text(s):
    units = str(s).encode("utf-16-le", "surrogatepass")[:2 * 255]
    return u8(2) + u8(len(units) // 2) + units


def variant(v):
    if isinstance(v, bool): return u8(11) + u8(1 if v else 0)
    if isinstance(v, int): return u8(3) + u8(0) + i32(v)
    if isinstance(v, float): return u8(5) + u8(0) + i32(int(v * 16))
    if v is None: return u8(1)
    return u8(8) + text(v)


def op(code, body=b"", new=False, control=0):
    return u8(1 if new else 0) + u8(control) + u8(code) + body


def encode(c, state):
    name, args = c[0], c[1:]
    if name in KINDS:
        dispid = DISPIDS.get(str(args[0]).lower())
        if dispid is None: return b""
        values = args[1:]
        body = u8(0) + i32(dispid) + u8(KINDS[name]) + u8(len(values)) + u8(1)
        return op(3, body + b"".join(variant(v) for v in values), control=state["use"])
    ctl = state["use"]
    if name == "new":
        state["use"] = 1
        return op(12, new=True, control=1)
    if name == "use": state["use"] = int(args[0]); return b""
    if name == "type": return op(4, text(args[0]), control=ctl)
    if name == "key": return op(6, u8(0) + u8(args[0]) + u8(args[1]), control=ctl)
    if name in ("click", "rightclick"):
        return op(9, u8(1) + u16(int(args[0])) + u8(1) + u16(int(args[1])) +
                  u8(0 if name == "click" else 1), control=ctl)
    if name == "select": return op(10, u16(args[0]) + u16(args[1]), control=ctl)
    if name == "scroll": return op(11, u8(0) + u8(args[0]), control=ctl)
    if name == "tick": return op(12, control=ctl)
    if name == "resize":
        return op(13, u8(1) + u16(int(args[0])) + u8(1) + u16(int(args[1])), control=ctl)
    if name == "menu": return op(14, u8(1) + u8(args[0]), control=ctl)
    if name == "clipboard" and args:
        return op(15, u8(1) if args[0] is None else u8(0) + text(args[0]))
    if name == "clipboard-locked": return op(16, u8(1 if args[0] else 0))
    if name == "printers":
        body = u8(len(args[0]))
        for p in args[0]:
            body += u8(0) + text(p["name"]) + text(p["driver"]) + text(p["port"])
            body += u16(1) + u16(1) + u16(1) + u16(1) + u16(-4)
        return op(17, body + (u8(args[1]) if args[0] else b""))
    if name == "printdialog":
        a = args[0]
        if a == "cancel": return op(18, u8(0) + u8(0) * 6)
        body = u8(1)
        body += (u8(1) + text(a["printer"])) if "printer" in a else u8(0)
        for key in ("copies", "orientation", "duplex", "paperSize", "printQuality"):
            body += (u8(1) + u16(a[key])) if key in a else u8(0)
        return op(18, body)
    if name == "focus":
        return op(19, u8(["surface", "list", "away"].index(args[0])), control=ctl)
    if name == "caps": return op(20, u8(1 if args[0] else 0))
    if name == "paint": return op(21, control=ctl)
    return b""


def main():
    source, target = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    target.mkdir(parents=True, exist_ok=True)
    for scenario in sorted(source.glob("*.tavi")):
        state = {"use": 0}
        data = b""
        for line in scenario.read_text(encoding="utf-8").splitlines():
            line = line.strip()
            if not line or line.startswith("#"): continue
            try:
                command = json.loads(line)
            except json.JSONDecodeError:
                continue  # the scenarios of malformed lines
            try:
                data += encode(command, state)
            except (IndexError, KeyError, TypeError, ValueError):
                continue  # a malformed command of a scenario about errors
        (target / (scenario.stem + ".bin")).write_bytes(data)


if __name__ == "__main__":
    main()
