#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

"""Measures the silence the music loop leaves between the end of bgm.wav and its
restart, for music files of each kind a Windows asset pack may hold. Each file
plays through loop_player (the game's music code and 1 ms poll) into a private
PulseAudio null sink running at the file's own rate and sample format, whose
monitor parec records. music_decode gives the sound the sink should hear; every
time the recording reaches the start of that sound again is a loop boundary. A
seamless loop follows one whole round of the sound with the next, sample for
sample: no gap, nothing skipped, nothing changed inside.

usage: loop_gap.py BUILD_DIR [SECONDS] [CASE...]   (cases: pcm16 ima-adpcm 20ms by
default; "all" for every case)
"""
import os
import struct
import subprocess
import sys
import tempfile
import time

RATE = 44100
FRAMES = RATE // 2  # half a second, so a short run crosses many boundaries
MARKER = 1000       # right channel of the counting wave: never silent
HEAD_FRAMES = 256   # the start of the sound looked for in the recording


def write_counting_wave(path, frames=FRAMES):
    """16-bit stereo whose left channel counts its own frame number."""
    data = b"".join(struct.pack("<hh", i + 1, MARKER) for i in range(frames))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data), b"WAVE", b"fmt ", 16, 1, 2,
                         RATE, RATE * 4, 4, 16, b"data", len(data))
    with open(path, "wb") as f:
        f.write(header + data)


def chunks_of(path):
    data = open(path, "rb").read()
    at, chunks = 12, []
    while at + 8 <= len(data):
        size = struct.unpack("<I", data[at + 4:at + 8])[0]
        chunks.append((data[at:at + 4], data[at + 8:at + 8 + size]))
        at += 8 + size + (size & 1)
    return chunks


def riff(chunks, declared=None):
    body = b"WAVE"
    for name, chunk in chunks:
        size = declared if declared is not None and name == b"data" else len(chunk)
        body += name + struct.pack("<I", size) + chunk + b"\0" * (len(chunk) & 1)
    return b"RIFF" + struct.pack("<I", declared if declared is not None else len(body)) + body


def sox_noise(path, rate, channels, *encoding, seconds=0.5):
    """Quiet noise, half a second unless told, encoded by sox; noise never repeats within the
    loop."""
    subprocess.run(["sox", "-n", "-r", str(rate), "-c", str(channels), "-b", "16",
                    path + ".src.wav", "synth", str(seconds), "whitenoise", "vol", "0.3"],
                   check=True)
    subprocess.run(["sox", path + ".src.wav", *encoding, path], check=True)


def data_before_format(path):
    write_counting_wave(path)
    fmt, data = chunks_of(path)
    with open(path, "wb") as f:
        f.write(riff([data, fmt]))


def truncated(path):
    write_counting_wave(path)
    data = open(path, "rb").read()
    with open(path, "wb") as f:
        f.write(data[:-4000])


def streamed(path):
    write_counting_wave(path)
    chunks = chunks_of(path)
    with open(path, "wb") as f:
        f.write(riff(chunks, 0xFFFFFFFF))


CASES = {
    "pcm16": write_counting_wave,
    "ima-adpcm": lambda p: sox_noise(p, RATE, 2, "-e", "ima-adpcm"),
    "ms-adpcm": lambda p: sox_noise(p, RATE, 2, "-e", "ms-adpcm"),
    "mu-law": lambda p: sox_noise(p, RATE, 2, "-e", "u-law"),
    "a-law": lambda p: sox_noise(p, RATE, 2, "-e", "a-law"),
    "gsm610": lambda p: sox_noise(p, 8000, 1, "-e", "gsm-full-rate"),
    "pcm8": lambda p: sox_noise(p, RATE, 2, "-b", "8"),
    "pcm24": lambda p: sox_noise(p, RATE, 2, "-b", "24"),
    "float32": lambda p: sox_noise(p, RATE, 2, "-e", "floating-point", "-b", "32"),
    "float64": lambda p: sox_noise(p, RATE, 2, "-e", "floating-point", "-b", "64"),
    "six-channels": lambda p: sox_noise(p, RATE, 6),
    "5512Hz": lambda p: sox_noise(p, 5512, 1),
    "data-before-fmt": data_before_format,
    "truncated-data": truncated,
    "streamed-sizes": streamed,
    # Loops shorter than the sound server's buffer, down to a few samples.
    "20ms": lambda p: write_counting_wave(p, RATE // 50),
    "5-frames": lambda p: write_counting_wave(p, 5),
    # Longer than the game holds whole (4 MiB decoded): every round reads the file again, sought
    # back (PCM) or decoded afresh (ADPCM). Give them SECONDS of 30 or more.
    "long-pcm16": lambda p: sox_noise(p, RATE, 2, seconds=13),
    "long-ima-adpcm": lambda p: sox_noise(p, RATE, 2, "-e", "ima-adpcm", seconds=13),
}
DEFAULT_CASES = ["pcm16", "ima-adpcm", "20ms"]


def decode(build, wave, raw):
    """The sound the sink should hear, and its format: (sample format, rate, channels)."""
    with open(raw, "wb") as out:
        done = subprocess.run([os.path.join(build, "music_decode"), wave], stdout=out,
                              stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        return None
    words = done.stderr.split()
    return words[1], int(words[3]), int(words[5])


# The positions of a WAV file's channels, in its order, which the game's stream keeps: the sink and
# the recording use them too, so that the sound server moves no channel.
WAVE_CHANNELS = ["front-left", "front-right", "front-center", "lfe", "rear-left", "rear-right",
                 "front-left-of-center", "front-right-of-center", "rear-center", "side-left",
                 "side-right", "top-center", "top-front-left", "top-front-center",
                 "top-front-right", "top-rear-left", "top-rear-center", "top-rear-right"]


def channel_map(channels):
    return ",".join(WAVE_CHANNELS[:channels]) if channels > 1 else "mono"


def start_pulse(runtime, stream_format):
    sample_format, rate, channels = stream_format
    socket = os.path.join(runtime, "native")
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=runtime)
    server = subprocess.Popen(
        ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n",
         "--use-pid-file=false", "--log-level=0",
         "-L", f"module-null-sink sink_name=loopgap rate={rate} format={sample_format} "
               f"channels={channels} channel_map={channel_map(channels)}",
         "-L", f"module-native-protocol-unix auth-anonymous=1 socket={socket}"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(250):
        if os.path.exists(socket):
            return server, "unix:" + socket
        time.sleep(0.02)
    server.kill()
    sys.exit("pulseaudio did not start")


def record(player, wave, seconds, pulse_server, stream_format, raw_path):
    sample_format, rate, channels = stream_format
    env = dict(os.environ, PULSE_SERVER=pulse_server)
    stream = ["--raw", f"--format={sample_format}", f"--rate={rate}", f"--channels={channels}",
              f"--channel-map={channel_map(channels)}"]
    # Without a second stream the sink suspends or drops silent stretches and the
    # recording would hide gaps; /dev/zero keeps it running and adds nothing.
    silence = subprocess.Popen(["pacat", "--playback", *stream, "/dev/zero"], env=env)
    with open(raw_path, "wb") as out:
        recorder = subprocess.Popen(["parec", *stream, "-d", "loopgap.monitor"], env=env,
                                    stdout=out)
        time.sleep(0.5)
        played = subprocess.run([player, wave, str(seconds)], env=env, capture_output=True,
                                text=True)
        time.sleep(0.5)
        recorder.terminate()
        recorder.wait()
    silence.terminate()
    silence.wait()
    return played.stderr.strip()


def analyse(recording, sound, frame_bytes):
    """Gaps at the loop boundaries in frames (negative: skipped), and how many whole rounds
    between two boundaries differ from the sound."""
    length = len(sound) // frame_bytes
    head = sound[:HEAD_FRAMES * frame_bytes]
    starts, at = [], recording.find(head)
    while at != -1:
        if at % frame_bytes == 0:
            starts.append(at // frame_bytes)
        at = recording.find(head, at + 1)
    gaps = [b - a - length for a, b in zip(starts, starts[1:])]
    changed = sum(1 for a in starts[:-1]
                  if recording[a * frame_bytes:(a + length) * frame_bytes] != sound)
    return gaps, changed


def run_case(build, name, seconds, work):
    wave = os.path.join(work, name + ".wav")
    CASES[name](wave)
    sound_path = os.path.join(work, name + ".sound")
    stream_format = decode(build, wave, sound_path)
    if stream_format is None:
        return [name, "silent", "-", "-", "-", "-"]
    sound = open(sound_path, "rb").read()
    sample_format, rate, channels = stream_format
    frame_bytes = channels * (2 if sample_format == "s16le" else 4)
    runtime = os.path.join(work, name + ".pulse")
    os.mkdir(runtime)
    server, address = start_pulse(runtime, stream_format)
    try:
        recording_path = os.path.join(work, name + ".rec")
        report = record(os.path.join(build, "loop_player"), wave, seconds, address, stream_format,
                        recording_path)
        gaps, changed = analyse(open(recording_path, "rb").read(), sound, frame_bytes)
    finally:
        server.kill()
        server.wait()
    if not report.startswith("open and play: playing") or not gaps:
        return [name, "silent", f"{sample_format} {rate} Hz {channels} ch", "-", "-", report]
    return [name, "plays", f"{sample_format} {rate} Hz {channels} ch", len(gaps),
            f"{min(gaps)}..{max(gaps)}", changed]


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    names = sys.argv[3:] or DEFAULT_CASES
    if names == ["all"]:
        names = list(CASES)
    rows = [["file", "result", "stream", "boundaries", "gap (frames)", "changed rounds"]]
    with tempfile.TemporaryDirectory() as work:
        for name in names:
            rows.append(run_case(build, name, seconds, work))
            print(" | ".join(str(cell) for cell in rows[-1]), flush=True)
    print()
    widths = [max(len(str(row[i])) for row in rows) for i in range(len(rows[0]))]
    for row in rows:
        print("  ".join(str(cell).ljust(width) for cell, width in zip(row, widths)))
    seamless = all(row[1] == "plays" and row[4] == "0..0" and row[5] == 0 for row in rows[1:])
    sys.exit(0 if seamless else 1)


if __name__ == "__main__":
    main()
