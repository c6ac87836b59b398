"""compare_recording.py RECORDED REFERENCE TOLERANCE: RECORDED is what the program played (raw
32-bit float little-endian, 2 channels), REFERENCE what the plug-in renders from the same input
(raw 32-bit float, 1 channel). Each recorded channel must hold the reference, late by the same
number of samples, within TOLERANCE, and nothing but silence around it."""
import os
import sys

import numpy as np


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
    if len(recorded) < len(reference):
        print(f"FAILED: {len(recorded)} frames recorded, fewer than the reference's {len(reference)}")
        return 1
    # The lag of the best match: a cross-correlation through the FFT, the recording padded so
    # that it does not wrap.
    size = 1 << int(np.ceil(np.log2(len(recorded) + len(reference))))
    spectrum = np.fft.rfft(recorded[:, 0], size) * np.conj(np.fft.rfft(reference, size))
    lag = int(np.argmax(np.fft.irfft(spectrum, size)[: len(recorded) - len(reference) + 1]))
    print(f"the recording is {lag} frames ({lag / 48.0:.1f} ms at 48 kHz) late")
    failures = 0
    for channel in range(2):
        aligned = recorded[lag : lag + len(reference), channel]
        error = float(np.max(np.abs(aligned - reference)))
        outside = float(
            max(np.max(np.abs(recorded[:lag, channel]), initial=0.0),
                np.max(np.abs(recorded[lag + len(reference) :, channel]), initial=0.0)))
        peak = float(np.max(np.abs(aligned)))
        verdict = "ok" if error <= tolerance and outside <= tolerance else "FAILED"
        failures += verdict != "ok"
        print(f"{verdict}: channel {channel + 1}: peak {peak:.4f}, largest difference {error:.3g}, "
              f"largest sample outside the reference {outside:.3g} (tolerance {tolerance:g})")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], float(sys.argv[3])))
