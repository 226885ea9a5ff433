#!/usr/bin/env python3
"""Synthesises app/popup.wav, the sound played when new articles arrive: two soft bell tones a
fifth apart (E6 then B6), each a sine with a quieter octave partial and an exponential decay,
faded in over a few milliseconds so that nothing clicks. 16-bit mono PCM at 22050 Hz, about half
a second. Standard library only; run it again after changing the sound and commit the result.
"""

import math
import os
import struct
import wave

RATE = 22050
VOLUME = 0.42  # of full scale, for the louder moment of the two tones together
TONES = (  # (start in seconds, frequency in hertz, decay time constant in seconds)
    (0.00, 1318.5, 0.12),
    (0.11, 1975.5, 0.16),
)
LENGTH = 0.55
FADE_IN = 0.004


def sample(t):
    value = 0.0
    for start, frequency, decay in TONES:
        local = t - start
        if local < 0:
            continue
        envelope = math.exp(-local / decay) * min(1.0, local / FADE_IN)
        value += envelope * (math.sin(2 * math.pi * frequency * local)
                             + 0.25 * math.sin(4 * math.pi * frequency * local))
    # The last milliseconds go to silence, whatever is left of the decay.
    tail = min(1.0, (LENGTH - t) / 0.02)
    return value * tail


def main():
    count = int(RATE * LENGTH)
    values = [sample(i / RATE) for i in range(count)]
    scale = VOLUME * 32767 / max(abs(v) for v in values)
    frames = b"".join(struct.pack("<h", round(v * scale)) for v in values)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "popup.wav")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main()
