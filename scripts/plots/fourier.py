"""Levels of sines in a recording, in dB relative to a full-scale sine (dBFS)."""
import numpy as np


def db(x):
    return 20.0 * np.log10(np.maximum(np.abs(x), 1e-300))


def sine(frequency, amplitude, length, rate):
    return amplitude * np.sin(2.0 * np.pi * frequency * np.arange(length) / rate)


def spectrum(samples, rate):
    """(frequencies, levels in dBFS): a sine that falls on a bin reads its own level. The
    Kaiser window keeps leakage below -150 dB, so that faint images stay visible."""
    window = np.kaiser(len(samples), 24.0)
    levels = db(2.0 * np.abs(np.fft.rfft(samples * window)) / window.sum())
    return np.fft.rfftfreq(len(samples), 1.0 / rate), levels


def level_at(frequencies, levels, frequency, width=3):
    """The peak level within a few bins of a frequency."""
    centre = int(np.argmin(np.abs(frequencies - frequency)))
    return float(levels[max(centre - width, 0):centre + width + 1].max())
