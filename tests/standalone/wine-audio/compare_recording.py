"""compare_recording.py RECORDED REFERENCE TOLERANCE: RECORDED is what the program played (raw
32-bit float little-endian, 2 channels), REFERENCE what the plug-in renders from the same input
(raw 32-bit float, 1 channel). Each recorded channel must hold every sample of the reference,
in order, within TOLERANCE, shifted by some amount, and around it nothing louder than
TOLERANCE. Wine's silence (exact zeros) may also lie between the reference's samples: Wine
plays it when the program's output runs dry on a busy machine, which delays what follows but
loses nothing. A sample lost or changed fails."""
import os
import sys

import numpy as np


def runs(samples):
    """The (start, end) of each stretch of samples that are not exactly zero: Wine's silence is."""
    edges = np.diff(np.concatenate(([0], (samples != 0).astype(np.int8), [0])))
    return list(zip(np.flatnonzero(edges == 1), np.flatnonzero(edges == -1)))


def lag(recorded, reference):
    """How much later the reference's sound is in the recording: the cross-correlation's peak,
    through the FFT, the signals padded so that it does not wrap."""
    size = 1 << int(np.ceil(np.log2(len(recorded) + len(reference))))
    correlation = np.fft.irfft(np.fft.rfft(recorded, size) * np.conj(np.fft.rfft(reference, size)), size)
    best = int(np.argmax(correlation))
    return best if best < size // 2 else best - size


def compare(recorded, reference, tolerance):
    """None when recorded holds reference as described, else why not; and the delay and the
    silences found between its samples."""
    stretches = runs(recorded)
    if not stretches:
        return "the recording is silent", None, []
    delay = lag(recorded, reference)
    # The reference with silence around it, as long as the recording on either side.
    margin = len(recorded)
    padded = np.concatenate((np.zeros(margin, np.float32), reference, np.zeros(margin, np.float32)))
    quiet = np.abs(padded) <= tolerance
    sounding = np.flatnonzero(~quiet)
    position = stretches[0][0] - delay + margin
    first = position
    previous_end = stretches[0][0]
    gaps = []
    for start, stop in stretches:
        # The recording's silence before this stretch stands for the reference's quiet samples
        # there; what is longer is Wine's.
        silence = start - previous_end
        if silence:
            quiet_run = np.argmin(quiet[position : position + silence + 1])
            covered = min(silence, int(quiet_run))
            if covered < silence:
                gaps.append(silence - covered)
            position += covered
        error = float(np.max(np.abs(recorded[start:stop] - padded[position : position + stop - start])))
        if error > tolerance:
            return (f"frames {start} to {stop} differ from the reference's {position - margin} to "
                    f"{position - margin + stop - start} by up to {error:.3g}"), delay, gaps
        position += stop - start
        previous_end = stop
    if first > sounding[0] or position <= sounding[-1]:
        return (f"the recording holds the reference's frames {first - margin} to {position - margin}, "
                f"not all of its sound ({sounding[0] - margin} to {sounding[-1] + 1 - margin})"), delay, gaps
    return None, delay, gaps


def main(recorded_path, reference_path, tolerance):
    if not os.path.exists(recorded_path):
        print("FAILED: the program opened no output: nothing was recorded")
        return 1
    recorded = np.fromfile(recorded_path, "<f4")
    recorded = recorded[: len(recorded) // 2 * 2].reshape(-1, 2)
    reference = np.fromfile(reference_path, "<f4")
    if not np.any(reference):
        print("FAILED: the reference is silent")
        return 1
    failures = 0
    for channel in range(2):
        problem, delay, gaps = compare(recorded[:, channel], reference, tolerance)
        where = f"channel {channel + 1}"
        if delay is not None:
            # Negative when Wine skipped more of the input's leading silence than the program delays.
            where += f", {delay:+d} frames ({delay / 48.0:+.1f} ms at 48 kHz) from the reference's place"
        if gaps:
            where += f", {len(gaps)} silence(s) of Wine's between ({sum(gaps)} frames)"
        print(f"{'FAILED' if problem else 'ok'}: {where}: {problem or 'every sample as rendered'}")
        failures += problem is not None
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], float(sys.argv[3])))
