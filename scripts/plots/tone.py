"""Small-signal frequency response at several Tone settings, against the designed filters."""
import numpy as np

from render import RATE
from fourier import db

TONES = [0.0, 0.25, 0.5, 0.75, 1.0]
DRIVE = 0.5
LEVEL = 0.5
# Small enough that the saturation stays linear to a part in a million.
IMPULSE = 1e-5
LENGTH = 1 << 16
BAND = (20.0, 16000.0)


def one_pole(frequency, rate, f, high_pass):
    w = 2.0 * np.pi * frequency / rate
    pole = np.cos(w) / (1.0 + np.sin(w))
    z1 = np.exp(-2j * np.pi * f / rate)
    if high_pass:
        return (1.0 + pole) / 2.0 * (1.0 - z1) / (1.0 - pole * z1)
    return (1.0 - pole) / 2.0 * (1.0 + z1) / (1.0 - pole * z1)


def fixed_voicing(f, drive=DRIVE, level=LEVEL, rate=RATE):
    """What the filter designs make of a small signal with the tone shelf flat: input
    high-pass, gain 10, the limited signal plus the driven high-passed copy at 8x the rate,
    output low-pass, output level."""
    drive_gain = (drive * 5000.0 / 47.0 + 557.0 / 47.0) * 0.25
    clip = 1.0 + 1.2732365673542143 * drive_gain * one_pole(720.4841244540305, 8 * rate, f, True)
    return (10.0 * (level * 0.1) * one_pole(5.0, rate, f, True) * clip *
            one_pole(723.4315595086151, rate, f, False))


def shelf(f, tone, rate=RATE):
    """The designed tone shelf: first-order high shelf, -5 dB (Tone 0) to +16 dB (Tone 1)."""
    x = 2.0 * (tone - 0.5)
    if x >= 0:
        level = 16.0 * x
        corner = min(2135.0 / 19.0 * level + 6430.0 / 19.0, 1879.0)
    else:
        level = 5.0 * x
        corner = 50203.0 / 127.0 - 16780.0 / 127.0 * level
    g = 10.0 ** (level * 0.05)
    k = np.tan(corner / rate * np.pi) * (g + 1.0) * 0.25
    q = (1.0 - k) / (1.0 + k)
    z1 = np.exp(-2j * np.pi * f / rate)
    return 1.0 + (g - 1.0) * (1.0 + q) / 2.0 * (1.0 - z1) / (1.0 - q * z1)


def measure(plugin):
    impulse = np.zeros(LENGTH)
    impulse[0] = IMPULSE
    f = np.fft.rfftfreq(LENGTH, 1.0 / RATE)
    responses = {t: np.fft.rfft(plugin.render(impulse, DRIVE, t, LEVEL)) / IMPULSE for t in TONES}
    band = (f >= BAND[0]) & (f <= BAND[1])
    centre = db(responses[0.5][band]) - db(fixed_voicing(f[band]))
    shelf_errors = [np.abs(db(responses[t][band] / responses[0.5][band]) - db(shelf(f[band], t))).max()
                    for t in TONES]
    return {
        "frequencies": f,
        "responses": {t: db(r) for t, r in responses.items()},
        "figures": {
            "band_hz": list(BAND),
            "tone_centre_deviation_db": float(np.abs(centre).max()),
            "shelf_deviation_db": float(max(shelf_errors)),
            "treble_change_at_10khz_db": {
                f"{t:g}": float(db(shelf(np.array([10000.0]), t))[0]) for t in TONES},
        },
    }


def plot(result, axes_pair):
    f = result["frequencies"]
    keep = (f >= 20.0) & (f <= 20000.0)
    top, bottom = axes_pair
    for t in TONES:
        label = f"Tone {10 * t:g}"
        top.semilogx(f[keep], result["responses"][t][keep], label=label)
        bottom.semilogx(f[keep], (result["responses"][t] - result["responses"][0.5])[keep], label=label)
    top.set_title(f"What Tone does to the sound (quiet signal, Drive {10 * DRIVE:g}, Level {10 * LEVEL:g})")
    top.set_ylabel("gain (dB)")
    bottom.set_title("The Tone knob alone: change against Tone 5")
    bottom.set_ylabel("change (dB)")
    bottom.set_xlabel("frequency (Hz)")
    ticks = [20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000]
    for axes in axes_pair:
        axes.set_xlim(20, 20000)
        axes.set_xticks(ticks, [f"{t // 1000}k" if t >= 1000 else f"{t}" for t in ticks])
        axes.grid(True, which="both", alpha=0.3)
        axes.legend(loc="upper left", fontsize="small")
