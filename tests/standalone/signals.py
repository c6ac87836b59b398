"""Test signals for the standalone program and the comparison of what it played with what
vsthost rendered.

  signals.py input FILE RATE           writes a lead of silence, plucked notes, a tail of
                                       silence
  signals.py compare EXPECTED RECORDED finds the recording's offset by cross-correlation and
                                       compares the whole expected file with it
  signals.py tone FILE RATE SECONDS    writes a steady 220 Hz tone at amplitude 0.03 (-30 dB)
  signals.py rms FILE                  prints the RMS level of the file's second half
  signals.py green FILE.png            prints how many pixels of the picture are the meter's green
"""
import os
import sys

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "plots"))
import wav  # noqa: E402

LEAD_SECONDS = 2.0
TAIL_SECONDS = 1.5
TOLERANCE = 1e-6  # float rounding; the same engine computes both


def write_input(path, rate):
    t = np.arange(int(2.5 * rate)) / rate
    notes = np.zeros_like(t)
    for start, pitch in ((0.0, 82.4), (0.6, 110.0), (1.2, 146.8), (1.8, 98.0)):
        s = t - start
        on = s >= 0
        notes[on] += 0.45 * np.exp(-3.0 * s[on]) * (
            np.sin(2 * np.pi * pitch * s[on]) + 0.3 * np.sin(2 * np.pi * 3 * pitch * s[on]))
    # The notes fade to nothing and silence follows, so that jack-play's last buffers, which it
    # may leave unplayed at the end, carry nothing the output depends on.
    fade = np.clip((t[-1] - t) / 0.3, 0.0, 1.0)
    signal = np.concatenate([np.zeros(int(LEAD_SECONDS * rate)), notes * fade,
                             np.zeros(int(TAIL_SECONDS * rate))])
    wav.write(path, signal.astype(np.float32), rate)


def offset_of(expected, recorded):
    """The lag at which recorded best matches the start of expected's sound."""
    start = int(np.argmax(np.abs(expected) > 1e-4))
    probe = expected[start:start + 4096]
    correlation = np.correlate(recorded, probe, mode="valid")
    return int(np.argmax(correlation)) - start


def compare(expected_path, recorded_path):
    expected, _ = wav.read(expected_path)
    recorded, _ = wav.read(recorded_path)
    lag = offset_of(expected, recorded)
    # The recording may start within the input's lead of silence, never after its sound.
    first = max(0, -lag)
    sound = int(np.argmax(np.abs(expected) > 1e-4))
    if first > sound or lag + len(expected) > len(recorded):
        print(f"the recording ({len(recorded)} samples) does not hold the whole output "
              f"({len(expected)} samples at offset {lag})")
        return 1
    difference = np.abs(recorded[first + lag:lag + len(expected)] - expected[first:])
    worst = int(np.argmax(difference))
    print(f"offset {lag} samples, {len(difference)} samples compared, "
          f"largest difference {difference[worst]:.3g} at {worst}")
    return 0 if difference[worst] <= TOLERANCE else 1


def write_tone(path, rate, seconds):
    t = np.arange(int(seconds * rate)) / rate
    wav.write(path, (0.03 * np.sin(2 * np.pi * 220.0 * t)).astype(np.float32), rate)


def rms(path):
    samples, _ = wav.read(path)
    half = samples[len(samples) // 2:]
    return float(np.sqrt(np.mean(half ** 2))) if len(half) else 0.0


def green_pixels(path):
    from PIL import Image
    pixels = np.asarray(Image.open(path).convert("RGB")).astype(int)
    r, g, b = pixels[..., 0], pixels[..., 1], pixels[..., 2]
    return int(np.count_nonzero((g > 150) & (r < 120) & (b < 140)))


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "input":
        write_input(sys.argv[2], int(sys.argv[3]))
    elif command == "tone":
        write_tone(sys.argv[2], int(sys.argv[3]), float(sys.argv[4]))
    elif command == "rms":
        print(f"{rms(sys.argv[2]):.6f}")
    elif command == "green":
        print(green_pixels(sys.argv[2]))
    else:
        sys.exit(compare(sys.argv[2], sys.argv[3]))
