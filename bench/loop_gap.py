#!/usr/bin/env python3
"""Measures the silence the music loop leaves between the end of bgm.wav and its
restart. Plays a short wave file whose samples count their own frame number
through loop_player (the game's music code and 1 ms poll) into a private
PulseAudio null sink, records the sink's monitor with parec and looks at every
loop boundary: a seamless loop goes straight from the last frame to the first.

usage: loop_gap.py BUILD_DIR [SECONDS]
"""
import os
import struct
import subprocess
import sys
import tempfile
import time

RATE = 44100
FRAMES = RATE // 2  # half a second, so a short run crosses many boundaries
MARKER = 1000       # right channel: never silent, so the frames can be told from padding


def write_counting_wave(path):
    data = b"".join(struct.pack("<hh", i + 1, MARKER) for i in range(FRAMES))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data), b"WAVE", b"fmt ", 16, 1, 2,
                         RATE, RATE * 4, 4, 16, b"data", len(data))
    with open(path, "wb") as f:
        f.write(header + data)


def start_pulse(runtime):
    socket = os.path.join(runtime, "native")
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=runtime)
    server = subprocess.Popen(
        ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n",
         "--use-pid-file=false", "--log-level=0",
         "-L", f"module-null-sink sink_name=loopgap rate={RATE} format=s16le channels=2",
         "-L", f"module-native-protocol-unix auth-anonymous=1 socket={socket}"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(250):
        if os.path.exists(socket):
            return server, "unix:" + socket
        time.sleep(0.02)
    server.kill()
    sys.exit("pulseaudio did not start")


def record(player, wave, seconds, pulse_server, raw_path):
    env = dict(os.environ, PULSE_SERVER=pulse_server, QT_MEDIA_BACKEND="gstreamer")
    stream_format = ["--raw", "--format=s16le", f"--rate={RATE}", "--channels=2"]
    # Without a second stream the sink suspends or drops silent stretches and the
    # recording would hide gaps; /dev/zero keeps it running and adds nothing.
    silence = subprocess.Popen(["pacat", "--playback", *stream_format, "/dev/zero"], env=env)
    with open(raw_path, "wb") as out:
        recorder = subprocess.Popen(["parec", *stream_format, "-d", "loopgap.monitor"], env=env, stdout=out)
        time.sleep(0.5)
        played = subprocess.run([player, wave, str(seconds)], env=env, capture_output=True,
                                text=True)
        time.sleep(0.5)
        recorder.terminate()
        recorder.wait()
    silence.terminate()
    silence.wait()
    return played.stderr.strip()


def analyse(raw_path):
    raw = open(raw_path, "rb").read()
    count = len(raw) // 4
    left = struct.unpack(f"<{2 * count}h", raw[:count * 4])[0::2]
    gaps, breaks = [], 0
    last_end = None
    for i in range(1, count):
        if left[i] == FRAMES:
            last_end = i
        elif left[i] == 1 and last_end is not None:
            gaps.append(i - last_end - 1)
            last_end = None
        elif 1 < left[i] <= FRAMES and left[i] != left[i - 1] + 1 and left[i - 1] != 0:
            breaks += 1  # a jump inside the music: a dropout or a repeat
    return gaps, breaks


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    player = os.path.join(sys.argv[1], "loop_player")
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    with tempfile.TemporaryDirectory() as work:
        wave = os.path.join(work, "counting.wav")
        write_counting_wave(wave)
        server, address = start_pulse(work)
        try:
            player_report = record(player, wave, seconds, address, os.path.join(work, "rec.raw"))
            gaps, breaks = analyse(os.path.join(work, "rec.raw"))
        finally:
            server.kill()
            server.wait()
    print(f"loop_player: {player_report}")
    if not gaps:
        sys.exit("no loop boundary recorded")
    print(f"loop boundaries: {len(gaps)} in {seconds} s of play ({FRAMES} frames per loop)")
    print(f"gap at boundaries: min {min(gaps)} max {max(gaps)} samples "
          f"({max(gaps) * 1000 / RATE:.3f} ms at most)")
    print(f"jumps inside the music: {breaks}")
    sys.exit(0 if max(gaps) == 0 and breaks == 0 else 1)


if __name__ == "__main__":
    main()
