"""Mono 32-bit float WAV files, the format vsthost renders."""
import struct

import numpy as np

FLOAT_FORMAT = 3
EXTENSIBLE_FORMAT = 0xFFFE


def write(path, samples, rate):
    data = np.asarray(samples, dtype="<f4").tobytes()
    fmt = struct.pack("<HHIIHH", FLOAT_FORMAT, 1, rate, rate * 4, 4, 32)
    fact = struct.pack("<I", len(samples))
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(fact) + 8 + len(data)))
        f.write(b"WAVE")
        f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
        f.write(b"fact" + struct.pack("<I", len(fact)) + fact)
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def read(path):
    """Answers (samples as float64, rate) of a mono float WAV file."""
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:4] != b"RIFF" or blob[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(blob):
        tag, size = blob[pos:pos + 4], struct.unpack("<I", blob[pos + 4:pos + 8])[0]
        body = blob[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif tag == b"data":
            data = body
        pos += 8 + size + (size & 1)
    if fmt is None or data is None:
        raise ValueError(f"{path}: no fmt or data chunk")
    kind, channels, rate, _, _, bits = fmt
    if kind not in (FLOAT_FORMAT, EXTENSIBLE_FORMAT) or channels != 1 or bits != 32:
        raise ValueError(f"{path}: not a mono 32-bit float WAV file")
    return np.frombuffer(data, dtype="<f4").astype(np.float64), rate
