"""Aliasing: harmonics of a high sine above half the sample rate (the plug-in's own, or the
oversampled rate's) fold back into the audio band as images at frequencies that are no
harmonic of it. Every place a harmonic can fold to is looked at, and harmonics and images
are told apart."""

from render import RATE
from fourier import level_at, sine, spectrum

FREQUENCY = 7000.0
LEVEL = -6.0  # dBFS
DRIVE = 1.0
# 7 kHz harmonics fold onto multiples of 700 Hz only, at either rate; the first 63 orders
# reach every one of them.
ORDERS = 63

def folded(frequency):
    """Where a frequency lands after sampling at RATE."""
    return abs((frequency + RATE / 2.0) % RATE - RATE / 2.0)

def measure(plugin):
    tone = sine(FREQUENCY, 10.0 ** (LEVEL / 20.0), RATE * 3 // 2, RATE)
    f, levels = spectrum(plugin.render(tone, drive=DRIVE)[RATE // 2:], RATE)
    harmonics, images = [], []
    for k in range(1, ORDERS + 1):
        place = folded(k * FREQUENCY)
        if k * FREQUENCY < RATE / 2.0:
            harmonics.append({"hz": place, "dbfs": level_at(f, levels, place)})
        elif place not in [e["hz"] for e in harmonics + images]:
            images.append({"hz": place, "dbfs": level_at(f, levels, place)})
    fundamental = harmonics[0]["dbfs"]
    loudest = max(images, key=lambda e: e["dbfs"])
    return {
        "frequencies": f,
        "levels": levels,
        "harmonics": harmonics,
        "images": images,
        "figures": {
            "input_hz": FREQUENCY,
            "input_dbfs": LEVEL,
            "drive": DRIVE,
            "fundamental_dbfs": fundamental,
            "loudest_image": {"hz": loudest["hz"], "dbfs": loudest["dbfs"],
                              "dbc": loudest["dbfs"] - fundamental},
        },
    }

def plot(result, axes):
    f = result["frequencies"] / 1000.0
    axes.plot(f, result["levels"], color="grey", linewidth=0.6, label="output spectrum")
    for entries, style, name in ((result["harmonics"], "o", "harmonics (wanted)"),
                                 (result["images"], "x", "folded-back images (aliasing)")):
        colour = "tab:blue" if style == "o" else "tab:red"
        axes.plot([e["hz"] / 1000.0 for e in entries], [e["dbfs"] for e in entries], style,
                  color=colour, markersize=5, label=name)
    loudest = result["figures"]["loudest_image"]
    axes.axhline(loudest["dbfs"], color="tab:red", linestyle="--", linewidth=0.8)
    axes.annotate(f"loudest image: {loudest['dbfs']:.1f} dBFS at {loudest['hz'] / 1000:g} kHz, "
                  f"{-loudest['dbc']:.1f} dB below the {FREQUENCY / 1000:g} kHz tone",
                  (0.3, loudest["dbfs"]), textcoords="offset points", xytext=(0, 5),
                  color="tab:red", fontsize="small")
    axes.set_title(f"Aliasing: a {FREQUENCY / 1000:g} kHz sine at {LEVEL:g} dBFS, Drive "
                   f"{10 * DRIVE:g}, at {RATE / 1000:g} kHz")
    axes.set_xlabel("frequency (kHz)")
    axes.set_ylabel("level (dBFS)")
    axes.set_xlim(0, RATE / 2000.0)
    axes.set_ylim(-200, 10)
    axes.grid(True, alpha=0.3)
    axes.legend(loc="upper right", fontsize="small")
