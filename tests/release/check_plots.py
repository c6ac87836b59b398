#!/usr/bin/python3
"""check_plots.py VSTHOST PLUGIN WORK_DIR: the sound plots, made through the plug-in, exist as
real pictures, and the figures behind them hold: Tone 5 leaves the voicing of the fixed filters
alone, Tone follows its shelf design, the drive curve rises throughout, and aliasing images
stay below the level measured for this release."""
import json
import os
import struct
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PICTURES = ["tone.png", "drive.png", "harmonics.png", "aliasing.png"]
# Measured at 1.0.0: the loudest image of a 7 kHz sine at -6 dBFS and Drive 10 is -41.9 dBc.
IMAGE_LIMIT_DBC = -40.0


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    vsthost, plugin, work = sys.argv[1:4]
    figures_file = os.path.join(work, "figures.json")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts/plots/make_plots.py"), "--vsthost",
                    vsthost, "--plugin", plugin, "--out", work, "--json", figures_file], check=True)
    with open(figures_file) as f:
        figures = json.load(f)
    failures = []

    def check(what, ok):
        print(("ok: " if ok else "FAILED: ") + what)
        if not ok:
            failures.append(what)

    for name in PICTURES:
        size = png_size(os.path.join(work, name))
        check(f"{name} is a picture of at least 800 x 500 pixels, not empty",
              size is not None and size[0] >= 800 and size[1] >= 500 and
              os.path.getsize(os.path.join(work, name)) > 20000)
    tone = figures["tone"]
    check(f"Tone 5 is flat: within 0.1 dB of the fixed voicing ({tone['tone_centre_deviation_db']:.2g} dB)",
          tone["tone_centre_deviation_db"] <= 0.1)
    check(f"every Tone setting follows its shelf within 0.1 dB ({tone['shelf_deviation_db']:.2g} dB)",
          tone["shelf_deviation_db"] <= 0.1)
    treble = tone["treble_change_at_10khz_db"]
    check("Tone runs from a treble cut to a treble boost",
          treble["0"] < -4.0 and treble["1"] > 15.0 and list(treble.values()) == sorted(treble.values()))
    drive = figures["drive"]
    check(f"the drive curves rise throughout (smallest step {drive['smallest_step_db']:.2f} dB)",
          drive["smallest_step_db"] > 0.0)
    quiet = [levels[0] for levels in drive["output_levels_dbfs"].values()]
    check("more Drive is louder for a quiet signal", quiet == sorted(quiet))
    for setting, harmonics in drive["harmonics_dbfs"].items():
        check(f"Drive {setting}: odd harmonics, no even ones",
              all(h > -100.0 for h in harmonics[2:12:2]) and all(h < -150.0 for h in harmonics[1:12:2]))
    image = figures["aliasing"]["loudest_image"]
    check(f"aliasing images stay below {IMAGE_LIMIT_DBC:g} dBc ({image['dbc']:.1f} dBc at {image['hz']:g} Hz)",
          image["dbc"] < IMAGE_LIMIT_DBC)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
