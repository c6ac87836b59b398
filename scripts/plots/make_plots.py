#!/usr/bin/python3
"""Pictures of what Dranvelor does to sound, measured through the plug-in binary with the
command-line host: tone.png, drive.png, harmonics.png and aliasing.png. --json writes the
measured figures as well."""
import argparse
import json
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import aliasing  # noqa: E402
import drive  # noqa: E402
import tone  # noqa: E402
from render import Plugin  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def draw(folder, name, plot, result, panels):
    """Draws one picture: one panel (a wide figure) or two stacked panels sharing the x axis."""
    if panels == 1:
        figure, axes = plt.subplots(figsize=(10, 6))
    else:
        figure, axes = plt.subplots(panels, 1, sharex=True, figsize=(10, 7))
    plot(result, axes)
    figure.tight_layout()
    # No creation software or date in the file: the same measurement gives the same bytes.
    figure.savefig(os.path.join(folder, name), dpi=100, metadata={"Software": None})
    plt.close(figure)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--vsthost", default=os.path.join(ROOT, "build/linux/tools/vsthost/vsthost"))
    parser.add_argument("--plugin", default=os.path.join(ROOT, "build/linux/host/plugin/Dranvelor.so"))
    parser.add_argument("--out", default=os.path.join(ROOT, "out/plots"))
    parser.add_argument("--json", help="file for the measured figures")
    args = parser.parse_args()
    plugin = Plugin(args.vsthost, args.plugin)
    os.makedirs(args.out, exist_ok=True)
    plt.rcParams.update({"font.size": 10})

    tones = tone.measure(plugin)
    draw(args.out, "tone.png", tone.plot, tones, 2)
    drives = drive.measure(plugin)
    draw(args.out, "drive.png", drive.plot_curve, drives, 1)
    draw(args.out, "harmonics.png", drive.plot_spectra, drives, 2)
    aliases = aliasing.measure(plugin)
    draw(args.out, "aliasing.png", aliasing.plot, aliases, 1)

    figures = {"tone": tones["figures"], "drive": drives["figures"], "aliasing": aliases["figures"]}
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=2)
    image = figures["aliasing"]["loudest_image"]
    print(f"tone: centre within {figures['tone']['tone_centre_deviation_db']:.4f} dB of the fixed "
          f"voicing; aliasing: loudest image {image['dbfs']:.1f} dBFS ({image['dbc']:.1f} dBc)")


if __name__ == "__main__":
    main()
