#!/usr/bin/env python3
"""Synthesises the nine sounds of the game into assets/TovikSound.

Not part of the game's build: run it by hand to regenerate the WAV files
(see assets/README.md). Only the standard library is used and every random
draw comes from a generator with a fixed seed, so the same bytes come out
on every run.

    python3 tools/make_sounds.py [output folder]

Every file is mono, 16-bit PCM, 22,050 Hz, peak-normalised to about -3 dBFS,
with short fades at both ends so nothing clicks.
"""

import math
import os
import random
import struct
import sys
import wave

RATE = 22050
PEAK = 10 ** (-3 / 20)  # -3 dBFS
TAU = 2 * math.pi


# ---------------------------------------------------------------- building blocks

def silence(seconds):
    return [0.0] * int(seconds * RATE)


def mix_into(dest, src, at=0.0, gain=1.0):
    """Adds src into dest starting at time `at`, growing dest if needed."""
    start = int(at * RATE)
    end = start + len(src)
    if end > len(dest):
        dest.extend([0.0] * (end - len(dest)))
    for i, v in enumerate(src):
        dest[start + i] += gain * v
    return dest


def noise(rng, seconds):
    return [rng.uniform(-1.0, 1.0) for _ in range(int(seconds * RATE))]


def lowpass(x, cutoff):
    """One-pole low-pass; cutoff may be a number or a function of the sample index."""
    out, y = [], 0.0
    for i, v in enumerate(x):
        fc = cutoff(i) if callable(cutoff) else cutoff
        a = 1.0 - math.exp(-TAU * fc / RATE)
        y += a * (v - y)
        out.append(y)
    return out


def highpass(x, cutoff):
    low = lowpass(x, cutoff)
    return [v - l for v, l in zip(x, low)]


def bandpass(x, centre, q):
    """Two-pole resonant band-pass (RBJ cookbook, constant peak gain);
    centre may be a function of the sample index for sweeps."""
    out = []
    x1 = x2 = y1 = y2 = 0.0
    for i, v in enumerate(x):
        f = centre(i) if callable(centre) else centre
        w = TAU * min(f, RATE * 0.45) / RATE
        alpha = math.sin(w) / (2 * q)
        a0 = 1 + alpha
        b0, b2 = alpha / a0, -alpha / a0
        a1, a2 = -2 * math.cos(w) / a0, (1 - alpha) / a0
        y = b0 * v + b2 * x2 - a1 * y1 - a2 * y2
        x2, x1 = x1, v
        y2, y1 = y1, y
        out.append(y)
    return out


def envelope(n, attack, decay):
    """Fast linear attack, then exponential decay with time constant `decay` (seconds)."""
    a = max(1, int(attack * RATE))
    return [i / a if i < a else math.exp(-(i - a) / (decay * RATE)) for i in range(n)]


def shaped(x, env):
    return [v * e for v, e in zip(x, env)]


def tone(seconds, freq, decay, phase=0.0, attack=0.002):
    """A sine whose frequency may be a function of time (seconds) -> Hz."""
    n = int(seconds * RATE)
    out, ph = [], phase
    a = max(1, int(attack * RATE))
    for i in range(n):
        t = i / RATE
        f = freq(t) if callable(freq) else freq
        ph += TAU * f / RATE
        env = (i / a if i < a else 1.0) * math.exp(-t / decay)
        out.append(math.sin(ph) * env)
    return out


def soft_clip(x, drive):
    return [math.tanh(drive * v) for v in x]


def finish(x, fade_in=0.004, fade_out=0.03):
    """Removes any DC offset, fades both ends and normalises the peak."""
    mean = sum(x) / len(x)
    x = [v - mean for v in x]
    n = len(x)
    fi, fo = int(fade_in * RATE), int(fade_out * RATE)
    for i in range(min(fi, n)):
        x[i] *= i / fi
    for i in range(min(fo, n)):
        x[n - 1 - i] *= i / fo
    peak = max(abs(v) for v in x) or 1.0
    return [v * PEAK / peak for v in x]


def write_wav(path, samples):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767))))) for v in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


# ---------------------------------------------------------------------- the sounds

def bell(base, seconds):
    """One strike of a small bell: inharmonic partials, the high ones dying first."""
    partials = [  # (ratio to the strike note, loudness, decay in seconds)
        (0.50, 0.35, 0.90),
        (1.00, 1.00, 0.70),
        (1.19, 0.45, 0.50),
        (1.51, 0.35, 0.40),
        (2.00, 0.40, 0.30),
        (2.52, 0.25, 0.20),
        (2.67, 0.20, 0.16),
        (3.01, 0.15, 0.12),
        (4.10, 0.10, 0.07),
    ]
    out = silence(seconds)
    for ratio, loud, decay in partials:
        # a slight detune on each partial gives the slow beating of real metal
        part = tone(seconds, base * ratio * 1.0015, decay, phase=ratio)
        part2 = tone(seconds, base * ratio * 0.9985, decay, phase=2 * ratio)
        mix_into(out, [(a + b) * 0.5 * loud for a, b in zip(part, part2)])
    return out


def dindin(rng):
    """The start chime: two bell strikes, the second a fourth lower."""
    out = silence(1.2)
    mix_into(out, bell(1046.5, 1.2), 0.0)
    mix_into(out, bell(784.0, 0.85), 0.34, gain=0.95)
    return finish(out[: int(1.2 * RATE)], fade_out=0.12)


def ydar(rng):
    """The hero's blow: a quick rising-falling swish of air, then a firm hit."""
    out = silence(0.42)
    n = int(0.16 * RATE)
    swish = bandpass(noise(rng, 0.16), lambda i: 1200 + 3800 * math.sin(math.pi * i / n), 2.5)
    env = [math.sin(math.pi * i / n) ** 2 for i in range(n)]
    mix_into(out, shaped(swish, env), 0.0, gain=1.2)
    # the hit: a short knock with a pitch that drops, and a crack of noise
    knock = tone(0.26, lambda t: 180 * math.exp(-t * 9) + 85, 0.06)
    crack = shaped(highpass(noise(rng, 0.05), 1500), envelope(int(0.05 * RATE), 0.0005, 0.008))
    mix_into(out, knock, 0.14, gain=1.0)
    mix_into(out, crack, 0.14, gain=0.6)
    return finish(out, fade_out=0.04)


def ydar2(rng):
    """The opponent's blow: no swish, a low heavy thump that rolls on."""
    out = silence(0.55)
    body = tone(0.5, lambda t: 110 * math.exp(-t * 6) + 52, 0.13, attack=0.004)
    body = soft_clip(body, 2.2)  # a little grit makes it sound heavy, not clean
    thud = shaped(lowpass(noise(rng, 0.3), 600), envelope(int(0.3 * RATE), 0.003, 0.05))
    grunt = shaped(bandpass(noise(rng, 0.12), 220, 3), envelope(int(0.12 * RATE), 0.002, 0.03))
    mix_into(out, body, 0.02, gain=1.0)
    mix_into(out, thud, 0.02, gain=2.0)
    mix_into(out, grunt, 0.02, gain=1.5)
    return finish(out, fade_out=0.06)


def shock(rng):
    """An electric shock: a harsh mains buzz chopped by crackling sparks."""
    seconds = 0.8
    n = int(seconds * RATE)
    out = []
    ph = 0.0
    # the buzz flickers on and off in random bursts
    gate, hold = 1.0, 0
    for i in range(n):
        if hold <= 0:
            gate = rng.choice([1.0, 1.0, 0.6, 0.15])
            hold = rng.randint(int(0.01 * RATE), int(0.05 * RATE))
        hold -= 1
        f = 120 + 8 * math.sin(TAU * 7 * i / RATE)
        ph = (ph + f / RATE) % 1.0
        saw = 2 * ph - 1
        square = 1.0 if ph < 0.5 else -1.0
        out.append(gate * (0.6 * saw + 0.4 * square))
    out = lowpass(out, 3500)
    sparks = [0.0] * n
    t = 0
    while t < n:
        length = rng.randint(40, 400)
        amp = rng.uniform(0.4, 1.0)
        for k in range(length):
            if t + k < n:
                sparks[t + k] += amp * rng.uniform(-1, 1) * math.exp(-k / (length / 4))
        t += rng.randint(200, 1400)
    sparks = highpass(sparks, 2000)
    mixed = [0.55 * a + 0.9 * b for a, b in zip(out, sparks)]
    mixed = soft_clip(mixed, 1.8)
    env = [min(1.0, i / (0.01 * RATE)) * (1.0 if i < n * 0.75 else (n - i) / (n * 0.25)) for i in range(n)]
    return finish(shaped(mixed, env), fade_out=0.03)


def metal_hit(rng, base, seconds, decay):
    """A clank of metal: loud inharmonic partials that die quickly."""
    out = silence(seconds)
    for ratio, loud in [(1.0, 1.0), (2.76, 0.7), (5.40, 0.5), (8.93, 0.35), (1.47, 0.4)]:
        mix_into(out, tone(seconds, base * ratio, decay / (1 + ratio * 0.3), phase=rng.random() * TAU), gain=loud)
    click = shaped(highpass(noise(rng, 0.02), 3000), envelope(int(0.02 * RATE), 0.0003, 0.004))
    mix_into(out, click, 0.0, gain=0.8)
    return out


def techno(rng):
    """The mechanical cockerel: a ratcheting whirr with clanks in step."""
    seconds = 1.1
    n = int(seconds * RATE)
    # whirr: a geared motor spinning up, with a ratchet tick on every tooth
    out, ph = [], 0.0
    for i in range(n):
        t = i / RATE
        f = 70 + 60 * min(1.0, t / 0.5)
        ph = (ph + f / RATE) % 1.0
        teeth = (ph * 4) % 1.0
        out.append((2 * ph - 1) * 0.5 + (1.0 - teeth) ** 6 * 0.8)
    out = bandpass(out, 900, 0.8)
    out = [v * 0.5 for v in out]
    # clank, clank-clank, clank in a mechanical rhythm
    for at, base, gain in [(0.0, 410, 1.0), (0.27, 523, 0.8), (0.40, 523, 0.7), (0.67, 380, 1.0), (0.94, 470, 0.6)]:
        mix_into(out, metal_hit(rng, base, 0.3, 0.18), at, gain=gain)
    return finish(out[:n], fade_out=0.06)


def stone(rng):
    """A stone breaking loose: a grinding rumble, then the heavy impact and gravel."""
    seconds = 1.15
    out = silence(seconds)
    # rumble swells as the stone tears free
    rn = int(0.5 * RATE)
    rumble = lowpass(lowpass(noise(rng, 0.5), 320), 320)
    rumble = [v * (i / rn) ** 1.5 * 4 for i, v in enumerate(rumble)]
    mix_into(out, rumble)
    # the impact
    hit = 0.48
    boom = soft_clip(tone(0.6, lambda t: 90 * math.exp(-t * 5) + 45, 0.16, attack=0.003), 2.0)
    mix_into(out, boom, hit, gain=1.0)
    crunch = shaped(lowpass(noise(rng, 0.25), 2200), envelope(int(0.25 * RATE), 0.001, 0.04))
    mix_into(out, crunch, hit, gain=1.1)
    # gravel pattering down after it
    for _ in range(26):
        at = hit + 0.03 + rng.expovariate(1 / 0.14)
        if at > seconds - 0.06:
            continue
        pebble = shaped(bandpass(noise(rng, 0.03), rng.uniform(1500, 4000), 4),
                        envelope(int(0.03 * RATE), 0.0005, 0.006))
        mix_into(out, pebble, at, gain=rng.uniform(0.3, 0.9) * math.exp(-(at - hit) / 0.35))
    return finish(out[: int(seconds * RATE)], fade_out=0.08)


def health(rng):
    """Three soft gulps: each a short hollow note whose pitch falls away."""
    out = silence(0.85)
    for k, at in enumerate([0.03, 0.29, 0.53]):
        start = 520 - 40 * k
        glug = tone(0.18, lambda t, s=start: s * math.exp(-t * 9) + 140, 0.05, attack=0.008)
        # a throaty resonance under it
        throat = shaped(bandpass(noise(rng, 0.12), 300, 5), envelope(int(0.12 * RATE), 0.01, 0.03))
        mix_into(out, glug, at, gain=1.0 - 0.12 * k)
        mix_into(out, throat, at, gain=0.8)
    return finish(lowpass(out, 2500), fade_out=0.05)


def voda(rng):
    """Water: a small splash, then bubbles popping up through it."""
    seconds = 1.0
    out = silence(seconds)
    splash = shaped(bandpass(noise(rng, 0.4), 2500, 0.7), envelope(int(0.4 * RATE), 0.004, 0.09))
    mix_into(out, splash, 0.0, gain=0.8)
    # a bubble is a short sine whose pitch rises as it rises to the surface
    for _ in range(34):
        at = rng.uniform(0.02, seconds - 0.12)
        f0 = rng.uniform(350, 1300)
        dur = rng.uniform(0.03, 0.08)
        bubble = tone(dur, lambda t, f=f0, d=dur: f * (1 + 1.6 * t / d), dur / 3, attack=0.001)
        mix_into(out, bubble, at, gain=rng.uniform(0.3, 0.9) * (1.1 - at / seconds))
    return finish(lowpass(out[: int(seconds * RATE)], 5000), fade_out=0.08)


def shelest(rng):
    """A rustle: bursts of hissing, filtered noise, like dry leaves stirred."""
    seconds = 0.85
    n = int(seconds * RATE)
    base = bandpass(noise(rng, seconds), lambda i: 3200 + 1200 * math.sin(TAU * 2.3 * i / RATE), 1.2)
    env = [0.0] * n
    for at, length, amp in [(0.0, 0.18, 0.8), (0.15, 0.22, 1.0), (0.36, 0.12, 0.6), (0.46, 0.25, 0.9),
                            (0.66, 0.16, 0.5)]:
        s, m = int(at * RATE), int(length * RATE)
        for k in range(m):
            if s + k < n:
                env[s + k] += amp * math.sin(math.pi * k / m) ** 2
    # a fine crackle of leaves inside each burst
    crackle = [rng.uniform(-1, 1) if rng.random() < 0.02 else 0.0 for _ in range(n)]
    crackle = highpass(crackle, 4000)
    out = [(b + 1.5 * c) * e for b, c, e in zip(base, crackle, env)]
    return finish(out, fade_out=0.04)


SOUNDS = [
    ("dindin.wav", dindin),
    ("ydar.wav", ydar),
    ("ydar2.wav", ydar2),
    ("shock.wav", shock),
    ("techno.wav", techno),
    ("stone.wav", stone),
    ("health.wav", health),
    ("voda.wav", voda),
    ("shelest.wav", shelest),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "assets", "TovikSound")
    os.makedirs(folder, exist_ok=True)
    for seed, (name, make) in enumerate(SOUNDS, start=1):
        samples = make(random.Random(seed))
        write_wav(os.path.join(folder, name), samples)
        print(f"{name}: {len(samples) / RATE:.2f} s")


if __name__ == "__main__":
    main()
