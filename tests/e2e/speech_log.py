#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
"""A speech-dispatcher output module that makes no sound: it writes each text it is given to the
file named by SORAWATA_SPEECH_LOG and takes as long to say it as a voice would, 0.13 s for a
Japanese character and half that for a narrow one, unless it is stopped first.

Log lines, tab-separated, times in seconds since the epoch:
  TIME say TEXT      the text reached the synthesizer
  TIME end           it was said in full
  TIME stop          it was cut short
"""

import html
import os
import re
import select
import sys
import time

WIDE_SECONDS = 0.13
NARROW_SECONDS = 0.065

log = open(os.environ["SORAWATA_SPEECH_LOG"], "a", encoding="utf-8", buffering=1)
pending = b""


def read_line(timeout=None):
    """The next line of the server's commands; None when none came within timeout, "" at its end."""
    global pending
    while b"\n" not in pending:
        if not select.select([0], [], [], timeout)[0]:
            return None
        chunk = os.read(0, 4096)
        if not chunk:
            return ""
        pending += chunk
    line, pending = pending.split(b"\n", 1)
    return line.decode("utf-8", "replace")


def read_block():
    lines = []
    while (line := read_line()) not in (".", ""):
        lines.append(line[1:] if line.startswith("..") else line)
    return "\n".join(lines)


def reply(*lines):
    sys.stdout.write("".join(line + "\n" for line in lines))
    sys.stdout.flush()


def note(*fields):
    log.write("\t".join([f"{time.time():.3f}", *fields]) + "\n")


def spoken_text(ssml):
    return html.unescape(re.sub(r"<[^>]*>", "", ssml)).strip()


def speak(text):
    """Says text, or stops at a STOP or PAUSE from the server."""
    note("say", text.replace("\n", " "))
    reply("701 BEGIN")
    duration = sum(WIDE_SECONDS if ord(c) >= 0x2E80 else NARROW_SECONDS
                   for c in text if not c.isspace())
    deadline = time.monotonic() + duration
    while (left := deadline - time.monotonic()) > 0:
        command = read_line(left)
        if command in ("STOP", "PAUSE", ""):
            note("stop")
            reply("703 STOP" if command == "STOP" else "704 PAUSE")
            return
    note("end")
    reply("702 END")


def main():
    if read_line() != "INIT":
        sys.exit("no INIT")
    reply("299-silent logging voice", "299 OK LOADED SUCCESSFULLY")
    while (command := read_line()) != "":
        if command in ("SPEAK", "CHAR", "KEY", "SOUND_ICON"):
            reply("202 OK RECEIVING MESSAGE")
            text = spoken_text(read_block())
            reply("200 OK SPEAKING")
            speak(text)
        elif command == "SET":
            reply("203 OK RECEIVING SETTINGS")
            read_block()
            reply("203 OK SETTINGS RECEIVED")
        elif command == "AUDIO":
            reply("207 OK RECEIVING AUDIO SETTINGS")
            read_block()
            reply("203 OK AUDIO INITIALIZED")
        elif command == "LIST VOICES":
            reply("200-voice\tja\tnone", "200 OK VOICE LIST SENT")
        elif command == "LOGLEVEL":
            reply("207 OK RECEIVING LOGLEVEL SETTINGS")
            read_block()
            reply("203 OK LOG LEVEL SET")
        elif command.startswith("DEBUG"):
            reply("200 OK DEBUGGING ON" if " ON " in command else "200 OK DEBUGGING OFF")
        elif command == "QUIT":
            reply("210 OK QUIT")
            return
        elif command not in ("STOP", "PAUSE"):
            reply("300 ERR UNKNOWN COMMAND")


if __name__ == "__main__":
    main()
