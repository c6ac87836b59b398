"""Sound through the plug-in, by way of the command-line host's render command."""
import os
import subprocess
import tempfile

import wav

RATE = 44100


class Plugin:
    def __init__(self, vsthost, plugin):
        self.vsthost = vsthost
        self.plugin = plugin
        self.work = tempfile.TemporaryDirectory(prefix="dranvelor-plots-")

    def render(self, samples, drive=0.5, tone=0.5, level=0.5, rate=RATE):
        """The plug-in's output for the samples, with the knobs at these values (0..1)."""
        source = os.path.join(self.work.name, "in.wav")
        result = os.path.join(self.work.name, "out.wav")
        wav.write(source, samples, rate)
        settings = {"Drive": drive, "Tone": tone, "Level": level}
        command = [self.vsthost, "render", self.plugin, source, result]
        for name, value in settings.items():
            command += ["--set", f"{name}={value!r}"]
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        output, output_rate = wav.read(result)
        if output_rate != rate or len(output) != len(samples):
            raise RuntimeError(f"{self.vsthost} render answered {len(output)} samples at {output_rate} Hz")
        return output
