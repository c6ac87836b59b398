"""How the output level and the harmonics follow the input level and Drive, for a 1 kHz sine."""
import numpy as np

from render import RATE
from fourier import db, level_at, sine, spectrum

FREQUENCY = 1000.0
DRIVES = [0.0, 0.25, 0.5, 0.75, 1.0]
INPUT_LEVELS = np.arange(-60.0, 0.1, 3.0)  # dBFS
STEP = 8820  # samples per input level; the last half is measured, after the filters settle
SPECTRUM_DRIVES = [0.5, 1.0]
FLOOR = -160.0  # dBFS, the bottom of the spectrum plots
SPECTRUM_LEVEL = -12.0  # dBFS, a guitar played firmly
HARMONICS = 22  # all below half the sample rate


def staircase():
    """One continuous 1 kHz sine that steps through the input levels."""
    amplitude = np.repeat(10.0 ** (INPUT_LEVELS / 20.0), STEP)
    return amplitude * sine(FREQUENCY, 1.0, len(amplitude), RATE)


def rms_level(samples):
    """RMS level in dB relative to the RMS of a full-scale sine."""
    return float(db(np.sqrt(2.0 * np.mean(samples ** 2))))


def measure(plugin):
    curves = {}
    for drive in DRIVES:
        output = plugin.render(staircase(), drive=drive).reshape(len(INPUT_LEVELS), STEP)
        curves[drive] = [rms_level(step[STEP // 2:]) for step in output]
    spectra, harmonics = {}, {}
    for drive in SPECTRUM_DRIVES:
        tone = sine(FREQUENCY, 10.0 ** (SPECTRUM_LEVEL / 20.0), RATE * 3 // 2, RATE)
        f, levels = spectrum(plugin.render(tone, drive=drive)[RATE // 2:], RATE)
        spectra[drive] = (f, levels)
        harmonics[drive] = [level_at(f, levels, k * FREQUENCY) for k in range(1, HARMONICS + 1)]
    steps = [np.diff(curve).min() for curve in curves.values()]
    return {
        "curves": curves,
        "spectra": spectra,
        "figures": {
            "input_levels_dbfs": INPUT_LEVELS.tolist(),
            "output_levels_dbfs": {f"{d:g}": c for d, c in curves.items()},
            "smallest_step_db": float(min(steps)),
            "spectrum_input_dbfs": SPECTRUM_LEVEL,
            "harmonics_dbfs": {f"{d:g}": h for d, h in harmonics.items()},
        },
    }


def plot_curve(result, axes):
    for drive, curve in result["curves"].items():
        axes.plot(INPUT_LEVELS, curve, marker=".", label=f"Drive {10 * drive:g}")
    axes.plot(INPUT_LEVELS, INPUT_LEVELS, color="grey", linestyle=":", label="output = input")
    axes.set_title("Drive curve: output level against input level (1 kHz sine, Tone 5, Level 5)")
    axes.set_xlabel("input level (dBFS, sine peak)")
    axes.set_ylabel("output level (dB RMS re full-scale sine)")
    axes.grid(True, alpha=0.3)
    axes.legend(loc="upper left", fontsize="small")


def plot_spectra(result, axes_pair):
    for axes, drive in zip(axes_pair, SPECTRUM_DRIVES):
        f, levels = result["spectra"][drive]
        axes.plot(f / 1000.0, levels, color="tab:blue", linewidth=0.7)
        peaks = result["figures"]["harmonics_dbfs"][f"{drive:g}"]
        ks = np.arange(1, HARMONICS + 1)
        axes.plot(ks * FREQUENCY / 1000.0, peaks, "o", color="tab:red", markersize=3)
        for k, peak in zip(ks, peaks):
            if peak < FLOOR:
                continue
            axes.annotate(f"{k}", (k * FREQUENCY / 1000.0, peak), textcoords="offset points",
                          xytext=(0, 5), ha="center", fontsize="x-small")
        axes.set_title(f"Harmonics of a 1 kHz sine at {SPECTRUM_LEVEL:g} dBFS, Drive {10 * drive:g}")
        axes.set_xlim(0, RATE / 2000.0)
        axes.set_ylim(FLOOR, 10)
        axes.set_ylabel("level (dBFS)")
        axes.grid(True, alpha=0.3)
    axes_pair[-1].set_xlabel("frequency (kHz); numbers mark the harmonics")
