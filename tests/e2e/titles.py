#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
"""Prints, in the order the X server receives them from all its clients, every window title
(_NET_WM_NAME) set, as "title WINDOW TEXT", and every request to map a window, as "map WINDOW";
windows by their id in decimal. Prints "recording" first, once nothing can be missed any more,
and runs until it is killed.

Unlike asking a window for its title, this misses no title however briefly it stood. It listens
through the server's RECORD extension, with libXtst (which xdotool brings) through ctypes.
Usage: titles.py (on $DISPLAY)
"""

import ctypes
import struct
import sys

X_MAP_WINDOW = 8
X_CHANGE_PROPERTY = 18
RECORD_FROM_CLIENT = 1
RECORD_START_OF_DATA = 4
RECORD_ALL_CLIENTS = 3


class Range8(ctypes.Structure):
    _fields_ = [("first", ctypes.c_ubyte), ("last", ctypes.c_ubyte)]


class Range16(ctypes.Structure):
    _fields_ = [("first", ctypes.c_ushort), ("last", ctypes.c_ushort)]


class ExtRange(ctypes.Structure):
    _fields_ = [("ext_major", Range8), ("ext_minor", Range16)]


class RecordRange(ctypes.Structure):
    _fields_ = [("core_requests", Range8), ("core_replies", Range8),
                ("ext_requests", ExtRange), ("ext_replies", ExtRange),
                ("delivered_events", Range8), ("device_events", Range8), ("errors", Range8),
                ("client_started", ctypes.c_int), ("client_died", ctypes.c_int)]


class InterceptData(ctypes.Structure):
    _fields_ = [("id_base", ctypes.c_ulong), ("server_time", ctypes.c_ulong),
                ("client_seq", ctypes.c_ulong), ("category", ctypes.c_int),
                ("client_swapped", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("data_len", ctypes.c_ulong)]


InterceptProc = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(InterceptData))


def main():
    xlib = ctypes.CDLL("libX11.so.6")
    xtst = ctypes.CDLL("libXtst.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xtst.XRecordCreateContext.restype = ctypes.c_ulong
    xtst.XRecordCreateContext.argtypes = [
        ctypes.c_void_p, ctypes.c_int, ctypes.POINTER(ctypes.c_ulong), ctypes.c_int,
        ctypes.POINTER(ctypes.POINTER(RecordRange)), ctypes.c_int]
    xtst.XRecordEnableContext.argtypes = [ctypes.c_void_p, ctypes.c_ulong, InterceptProc,
                                          ctypes.c_void_p]
    xtst.XRecordFreeData.argtypes = [ctypes.POINTER(InterceptData)]

    # RECORD wants one connection to set up the recording and another to deliver it.
    control = xlib.XOpenDisplay(None)
    data = xlib.XOpenDisplay(None)
    if not control or not data:
        sys.exit("titles.py: cannot open the display")
    title_atom = xlib.XInternAtom(control, b"_NET_WM_NAME", 0)

    requests = RecordRange()
    requests.core_requests.first = X_MAP_WINDOW
    requests.core_requests.last = X_CHANGE_PROPERTY
    ranges = ctypes.pointer(requests)
    clients = ctypes.c_ulong(RECORD_ALL_CLIENTS)
    context = xtst.XRecordCreateContext(control, 0, ctypes.byref(clients), 1,
                                        ctypes.byref(ranges), 1)
    xlib.XSync(control, 0)

    def report(request):
        if request[0] == X_MAP_WINDOW:
            print(f"map {struct.unpack_from('=4xI', request)[0]}", flush=True)
        elif request[0] == X_CHANGE_PROPERTY:
            window, atom, _type, bits, length = struct.unpack_from("=4xIII B3xI", request)
            if atom == title_atom and bits == 8:
                title = request[24:24 + length].decode("utf-8", "replace")
                print(f"title {window} {title}", flush=True)

    def intercepted(_closure, record):
        item = record.contents
        if item.category == RECORD_START_OF_DATA:
            print("recording", flush=True)
        elif item.category == RECORD_FROM_CLIENT:
            report(bytes(item.data[:item.data_len * 4]))
        xtst.XRecordFreeData(record)

    callback = InterceptProc(intercepted)
    xtst.XRecordEnableContext(data, context, callback, None)


if __name__ == "__main__":
    main()
