#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Asks an X window to close, as a window manager's close button does: sends it the
WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.

Usage: close_request.py WINDOW_ID   (DISPLAY names a local server without authorisation)

No window manager runs under the test server and xdotool has no close request (its
windowclose destroys the window instead), so this speaks the core protocol itself.
"""
import os
import socket
import struct
import sys

CLIENT_MESSAGE = 33
OPCODE_INTERN_ATOM = 16
OPCODE_SEND_EVENT = 25
OPCODE_GET_INPUT_FOCUS = 43


def connect(display):
    number = display.split(":", 1)[1].split(".", 1)[0]
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    connection.connect(f"/tmp/.X11-unix/X{number}")
    connection.sendall(struct.pack("<BxHHHHxx", ord("l"), 11, 0, 0, 0))
    head = receive(connection, 8)
    if head[0] != 1:
        sys.exit("close_request: the X server refused the connection")
    receive(connection, struct.unpack_from("<H", head, 6)[0] * 4)
    return connection


def receive(connection, size):
    data = b""
    while len(data) < size:
        chunk = connection.recv(size - len(data))
        if not chunk:
            sys.exit("close_request: the X server closed the connection")
        data += chunk
    return data


def reply(connection):
    data = receive(connection, 32)
    if data[0] != 1:
        sys.exit(f"close_request: X error {data[1]}")
    return data


def intern_atom(connection, name):
    encoded = name.encode()
    padded = encoded + b"\0" * (-len(encoded) % 4)
    connection.sendall(
        struct.pack("<BBHHxx", OPCODE_INTERN_ATOM, 0, 2 + len(padded) // 4, len(encoded)) + padded)
    return struct.unpack_from("<I", reply(connection), 8)[0]


def main():
    window = int(sys.argv[1], 0)
    connection = connect(os.environ["DISPLAY"])
    protocols = intern_atom(connection, "WM_PROTOCOLS")
    delete = intern_atom(connection, "WM_DELETE_WINDOW")
    event = struct.pack("<BBHII5I", CLIENT_MESSAGE, 32, 0, window, protocols, delete, 0, 0, 0, 0)
    # An empty event mask sends the event to the client that made the window.
    connection.sendall(struct.pack("<BBHII", OPCODE_SEND_EVENT, 0, 11, window, 0) + event)
    # A round trip: the request has been handled when the reply arrives.
    connection.sendall(struct.pack("<BxH", OPCODE_GET_INPUT_FOCUS, 1))
    reply(connection)


if __name__ == "__main__":
    main()
