#!/usr/bin/python3
"""Measures the game's sounds: the effects one by one, and whole recorded runs.

  tools/sound_measure.py effects DIR        every DIR/*.wav: length, peak, loudness, DC and
                                            the share of its energy under 40 Hz
  tools/sound_measure.py run FILE.wav       a recorded run: integrated loudness, loudness
                                            range and true peak (ffmpeg's ebur128), sample
                                            peak, and the level of each channel
  tools/sound_measure.py alias FILE.wav     a held note: its strongest component that is not
                                            a harmonic of the fundamental, against it
  tools/sound_measure.py margin EFFECTS.wav MUSIC.wav EVENTS
                                            the two parts of one run apart: how far each
                                            effect stands over the music in its first 200 ms
                                            (EVENTS: a line "SAMPLE NAME" for each effect)

Loudness is EBU R 128 (ffmpeg's ebur128 filter). An effect is shorter than the meter's
400 ms blocks, so it is measured over the part that sounds: from its first sample to the end
of its last 10 ms block within 30 dB of its loudest, repeated end to end for 10 s, whose
integrated loudness is the loudness of that part. A mono file counts as one channel (a
centred effect in the stereo mix is 3 dB louder). Needs numpy and ffmpeg.
"""
import os
import re
import subprocess
import sys
import tempfile
import wave

import numpy as np


def read(path):
    """Samples as floats of full scale, shape (frames, channels), and the rate."""
    with wave.open(path, 'rb') as w:
        if w.getsampwidth() != 2:
            sys.exit(f'{path}: not 16-bit')
        data = np.frombuffer(w.readframes(w.getnframes()), dtype='<i2')
        return data.reshape(-1, w.getnchannels()).astype(np.float64) / 32768, w.getframerate()


def write(path, samples, rate):
    with wave.open(path, 'wb') as w:
        w.setnchannels(samples.shape[1])
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(np.clip(np.round(samples * 32768), -32768, 32767).astype('<i2').tobytes())


def ebur128(path, *options):
    """ffmpeg's summary of a file: integrated loudness, loudness range and true peak."""
    filters = 'ebur128=peak=true' + ''.join(':' + o for o in options)
    out = subprocess.run(['ffmpeg', '-hide_banner', '-nostats', '-i', path, '-af', filters,
                          '-f', 'null', '-'], capture_output=True, text=True).stderr
    summary = out[out.rfind('Summary:'):]

    def field(name):
        m = re.search(name + r':\s+(-?[\d.]+|-inf)', summary)
        return float(m.group(1)) if m else float('nan')
    return field('I'), field('LRA'), field('Peak')


def sounding_part(x, rate):
    """The frames from the first to the end of the last 10 ms block within 30 dB of the
    loudest block."""
    block = rate // 100
    n = len(x) // block
    if n == 0:
        return x
    power = (x[:n * block] ** 2).sum(axis=1).reshape(n, block).mean(axis=1)
    loud = np.nonzero(power >= power.max() * 1e-3)[0]
    return x[:(loud[-1] + 1) * block]


def loudness_while_sounding(x, rate):
    part = sounding_part(x, rate)
    repeated = np.tile(part, (int(np.ceil(10 * rate / len(part))), 1))
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, 'part.wav')
        write(path, repeated, rate)
        return ebur128(path)[0], len(part) / rate


def low_share(x, rate, cutoff=40.0):
    """The share of the energy below cutoff Hz (all channels)."""
    mono = x.mean(axis=1)
    n = max(len(mono), rate)  # at least 1 Hz a bin
    spectrum = np.abs(np.fft.rfft(mono, n)) ** 2
    freqs = np.fft.rfftfreq(n, 1 / rate)
    total = spectrum.sum()
    return spectrum[freqs < cutoff].sum() / total if total > 0 else 0.0


def effects(folder):
    print(f'{"effect":16} {"length s":>8} {"peak dBFS":>9} {"LUFS":>7} {"sounding s":>10} '
          f'{"DC %FS":>7} {"DC %peak":>8} {"<40 Hz %":>8}')
    figures = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith('.wav'):
            continue
        x, rate = read(os.path.join(folder, name))
        peak = np.abs(x).max()
        lufs, sounding = loudness_while_sounding(x, rate)
        dc = x.mean()
        print(f'{name[:-4]:16} {len(x) / rate:8.3f} {20 * np.log10(peak):9.1f} {lufs:7.1f} '
              f'{sounding:10.3f} {100 * dc:7.2f} {100 * dc / peak:8.2f} '
              f'{100 * low_share(x, rate):8.1f}')
        figures.append(lufs)
    print(f'loudness spread while sounding: {max(figures) - min(figures):.1f} LU '
          f'({min(figures):.1f} to {max(figures):.1f} LUFS)')


def run(path):
    x, rate = read(path)
    lufs, lra, true_peak = ebur128(path)
    peak = np.abs(x).max()
    print(f'{path}: {len(x) / rate:.1f} s at {rate} Hz, {x.shape[1]} channel(s)')
    print(f'integrated {lufs:.1f} LUFS, loudness range {lra:.1f} LU, true peak {true_peak:.1f} '
          f'dBTP, sample peak {20 * np.log10(peak):.2f} dBFS, '
          f'{int((np.abs(x) >= 32767 / 32768).sum())} samples at full scale')
    for c in range(x.shape[1]):
        rms = np.sqrt((x[:, c] ** 2).mean())
        print(f'  channel {c}: RMS {20 * np.log10(rms):.1f} dBFS, peak '
              f'{20 * np.log10(np.abs(x[:, c]).max()):.1f} dBFS, DC {100 * x[:, c].mean():.3f} %')
    print(f'  energy under 40 Hz: {100 * low_share(x, rate):.2f} %')


def alias(path):
    """The strongest component away from the harmonics of the strongest one, in dB under it."""
    x, rate = read(path)
    mono = x.mean(axis=1)
    mono = mono - mono.mean()  # a pulse's DC is no alias
    window = np.blackman(len(mono))
    spectrum = np.abs(np.fft.rfft(mono * window))
    freqs = np.fft.rfftfreq(len(mono), 1 / rate)
    # The window's main lobe around each harmonic (and around 0 Hz) is not an alias.
    lobe = 4 * rate / len(mono)
    fundamental_bin = int(np.argmax(np.where(freqs < 2 * lobe, 0, spectrum)))
    f0 = freqs[fundamental_bin]
    harmonic = np.abs(freqs / f0 - np.round(freqs / f0)) * f0 < lobe
    harmonic |= freqs < lobe
    worst = int(np.argmax(np.where(harmonic, 0, spectrum)))
    print(f'{path}: fundamental {f0:.1f} Hz; strongest other component at {freqs[worst]:.0f} Hz, '
          f'{20 * np.log10(spectrum[worst] / spectrum[fundamental_bin]):.1f} dB')


def biquad(x, b, a):
    y = np.zeros_like(x)
    x1 = x2 = y1 = y2 = 0.0
    for i, v in enumerate(x):
        out = b[0] * v + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2
        x2, x1, y2, y1 = x1, v, y1, out
        y[i] = out
    return y


def k_weighted(x, rate):
    """Each channel through the two filters of ITU-R BS.1770 (a shelf and a high-pass)."""
    k = np.tan(np.pi * 1681.974450955533 / rate)
    q = 0.7071752369554196
    vh = 10 ** (3.999843853973347 / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    shelf = ([(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0],
             [1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0])
    k = np.tan(np.pi * 38.13547087602444 / rate)
    q = 0.5003270373238773
    a0 = 1 + k / q + k * k
    high = ([1, -2, 1], [1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0])
    out = np.empty_like(x)
    for c in range(x.shape[1]):
        out[:, c] = biquad(biquad(x[:, c], *shelf), *high)
    return out


def margin(effects_path, music_path, events_path):
    fx, rate = read(effects_path)
    music, music_rate = read(music_path)
    if music_rate != rate or music.shape[1] != fx.shape[1]:
        sys.exit('the two parts differ in rate or channels')
    n = min(len(fx), len(music))
    fx, music = k_weighted(fx[:n], rate), k_weighted(music[:n], rate)
    window = rate // 5
    rows = []
    with open(events_path) as lines:
        for line in lines:
            start, name = line.split()
            start = int(start)
            if start + window > n:
                continue
            e = (fx[start:start + window] ** 2).sum(axis=1).mean()
            m = (music[start:start + window] ** 2).sum(axis=1).mean()
            if m <= 0:
                rows.append((float('inf'), start, name))
                continue
            rows.append((10 * np.log10(e / m), start, name))
    for db, start, name in sorted(rows)[:8]:
        print(f'  {name:16} at {start / rate:7.2f} s: {db:5.1f} dB over the music')
    finite = [r[0] for r in rows if r[0] != float('inf')]
    if finite:
        print(f'{len(rows)} effects, {len(rows) - len(finite)} over silence; the least '
              f'{min(finite):.1f} dB, the median {np.median(finite):.1f} dB over the music')


def main():
    commands = {'effects': (effects, 1), 'run': (run, 1), 'alias': (alias, 1), 'margin': (margin, 3)}
    if len(sys.argv) < 2 or sys.argv[1] not in commands or len(sys.argv) != commands[sys.argv[1]][1] + 2:
        sys.exit(__doc__)
    commands[sys.argv[1]][0](*sys.argv[2:])


if __name__ == '__main__':
    main()
