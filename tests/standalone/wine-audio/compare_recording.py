"""compare_recording.py RECORDED REFERENCE TOLERANCE: RECORDED is what the program played (raw
32-bit float little-endian, 2 channels), REFERENCE what the plug-in renders from the same input
(raw 32-bit float, 1 channel). Each recorded channel must hold every sample of the reference,
in order, within TOLERANCE, shifted by some amount, and nothing else but silence. Silence may also
lie between the reference's samples: Wine plays silence when the program's output runs dry on
a busy machine, which delays what follows but loses nothing. A sample lost or changed fails."""
import os
import sys

import numpy as np


def runs(samples):
    """The (start, end) of each stretch of samples that are not exactly zero."""
    edges = np.diff(np.concatenate(([0], (samples != 0).astype(np.int8), [0])))
    return list(zip(np.flatnonzero(edges == 1), np.flatnonzero(edges == -1)))


def compare(recorded, reference, tolerance):
    """None when recorded holds reference as described, else why not; and the delay and the
    silences found between its samples."""
    sounding = np.flatnonzero(reference)
    position, end = sounding[0], sounding[-1] + 1
    delay = None
    gaps = []
    for start, stop in runs(recorded):
        # A stretch of the recording continues the reference where the previous one ended,
        # after whatever silence the reference itself has there.
        while position < end and reference[position] == 0:
            position += 1
        length = stop - start
        if position + length > end:
            return f"sound at frame {start} beyond the reference's end", delay, gaps
        if delay is None:
            delay = start - position
        elif start - position != delay + sum(gaps):
            gaps.append(start - position - delay - sum(gaps))
        error = float(np.max(np.abs(recorded[start:stop] - reference[position : position + length])))
        if error > tolerance:
            return (f"frames {start} to {stop} differ from the reference's {position} to "
                    f"{position + length} by up to {error:.3g}"), delay, gaps
        position += length
    if position < end:
        return f"the recording ends at the reference's frame {position} of {end}", delay, gaps
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
        if any(gap < 0 for gap in gaps):
            problem = problem or "part of the reference's own silence is missing"
        print(f"{'FAILED' if problem else 'ok'}: {where}: {problem or 'every sample as rendered'}")
        failures += problem is not None
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], float(sys.argv[3])))
