#!/usr/bin/env python3
"""A pointer for a wlroots compositor with no input devices (sway on the headless backend).

Creates one virtual pointer (wlr-virtual-pointer-unstable-v1, spoken directly on the Wayland
socket) and keeps it, so the seat keeps its pointer for as long as this runs, then reads lines
from stdin:  click X Y BUTTON  (BUTTON 1 left, 2 middle, 3 right; X Y in output pixels).
Usage: wl-pointer.py WIDTH HEIGHT  (the output's size)."""

import os
import socket
import struct
import sys
import time

BUTTONS = {"1": 0x110, "2": 0x112, "3": 0x111}  # BTN_LEFT, BTN_MIDDLE, BTN_RIGHT


class Connection:
    def __init__(self):
        path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ.get("WAYLAND_DISPLAY", "wayland-0"))
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b""):
        self.sock.sendall(struct.pack("<II", obj, ((8 + len(payload)) << 16) | opcode) + payload)

    def events(self):
        """Reads what has arrived up to the reply of a wl_display.sync: (object, opcode, payload)."""
        done = self.new_id()
        self.send(1, 0, struct.pack("<I", done))
        while True:
            while len(self.buffer) >= 8:
                obj, word = struct.unpack_from("<II", self.buffer)
                size = word >> 16
                if len(self.buffer) < size:
                    break
                payload, self.buffer = self.buffer[8:size], self.buffer[size:]
                if obj == done:
                    return
                yield obj, word & 0xFFFF, payload
            chunk = self.sock.recv(65536)
            if not chunk:
                sys.exit("the compositor closed the connection")
            self.buffer += chunk


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    wl = Connection()
    registry = wl.new_id()
    wl.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    manager = None
    for obj, opcode, payload in wl.events():
        if obj == registry and opcode == 0:  # wl_registry.global
            name, length = struct.unpack_from("<II", payload)
            interface = payload[8:8 + length - 1].decode()
            if interface == "zwlr_virtual_pointer_manager_v1":
                manager = wl.new_id()
                wl.send(registry, 0, struct.pack("<I", name) + string(interface) + struct.pack("<II", 1, manager))
    if manager is None:
        sys.exit("the compositor offers no virtual pointer")
    pointer = wl.new_id()
    wl.send(manager, 0, struct.pack("<II", 0, pointer))  # create_virtual_pointer(seat: default)
    list(wl.events())
    print("ready", flush=True)

    def now():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    for line in sys.stdin:
        words = line.split()
        if len(words) != 4 or words[0] != "click" or words[3] not in BUTTONS:
            continue
        x, y, button = int(words[1]), int(words[2]), BUTTONS[words[3]]
        wl.send(pointer, 1, struct.pack("<IIIII", now(), x, y, width, height))  # motion_absolute
        wl.send(pointer, 4, struct.pack("<I", now()))  # frame
        list(wl.events())
        time.sleep(0.1)
        for state in (1, 0):  # pressed, released
            wl.send(pointer, 2, struct.pack("<III", now(), button, state))
            wl.send(pointer, 4, struct.pack("<I", now()))
            list(wl.events())
            time.sleep(0.05)
        print("clicked", flush=True)


if __name__ == "__main__":
    main()
