#!/usr/bin/env python3
"""Checks a recording of the desktop game's sound against the passes of its events.

The game, run with QUELLARO_FRAME_STATS=1 on SDL's disk audio driver, writes every sample it
mixes to a file and says on standard error where each sound starts ("sound: pass P effect I
at sample S"). The headless runner, given the same script, names the sounds of every pass.
This script checks that

  - the game raised its effects on exactly the passes where the runner reports them, in the
    same order (so the numbers and the names agree);
  - with the music off (--effects-only), the recording is exactly the sum of those effects,
    each from its own sample on: sound where the events are, silence everywhere else;
  - nothing clips: no sample reaches full scale.

  tools/sound_check.py --state STATE.jsonl --log GAME.log --wav AUDIO.wav --sounds DIR
                       [--effects-only]
"""
import argparse
import json
import re
import sys
import wave
from array import array

FULL_SCALE = 32767
BUFFER = 512  # the device's buffer: the recording may start with whole silent ones


def read_wav(path):
    with wave.open(path, 'rb') as w:
        if w.getsampwidth() != 2 or w.getnchannels() != 1:
            sys.exit(f'{path}: not 16-bit mono')
        samples = array('h')
        samples.frombytes(w.readframes(w.getnframes()))
    if sys.byteorder == 'big':
        samples.byteswap()
    return samples


def runner_effects(path):
    """The effects of every pass, by name, as the runner reports them."""
    effects = []
    with open(path) as lines:
        for line in lines:
            state = json.loads(line)
            for name in state['sounds']:
                if not name.startswith('music:'):
                    effects.append((state['pass'], name))
    return effects


def game_effects(path):
    """(pass, effect number, first sample) of every effect the game started."""
    pattern = re.compile(r'^sound: pass (\d+) effect (\d+) at sample (\d+)$')
    found = []
    with open(path) as lines:
        for line in lines:
            m = pattern.match(line.strip())
            if m:
                found.append(tuple(int(g) for g in m.groups()))
    return found


def expected_mix(length, starts, master):
    """Every effect added in from its first sample, scaled by the master volume (of 256,
    rounded toward zero) and clamped, as the mixer does."""
    total = array('q', bytes(length * array('q').itemsize))
    for start, samples in starts:
        for i in range(min(len(samples), length - start)):
            total[start + i] += samples[i]

    def scaled(v):
        q = abs(v) * master // 256
        return max(-32768, min(FULL_SCALE, q if v >= 0 else -q))
    return array('h', (scaled(v) for v in total))


def master_volume(path):
    """The master volume the game mixed at, of 256, from its first line about the audio."""
    with open(path) as lines:
        for line in lines:
            m = re.search(r'master (\d+)/256', line)
            if m:
                return int(m.group(1))
    sys.exit(f'{path}: the game said nothing of its audio (QUELLARO_FRAME_STATS=1 not set?)')


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--state', required=True)
    parser.add_argument('--log', required=True)
    parser.add_argument('--wav', required=True)
    parser.add_argument('--sounds', required=True)
    parser.add_argument('--effects-only', action='store_true')
    args = parser.parse_args()

    failures = []
    expected = runner_effects(args.state)
    started = game_effects(args.log)
    if [p for p, _ in expected] != [p for p, _, _ in started]:
        failures.append(f'the game started effects on passes {[p for p, _, _ in started]}, '
                        f'the runner reports {[p for p, _ in expected]}')
    names = {}
    for (_, name), (_, number, _) in zip(expected, started):
        if names.setdefault(number, name) != name:
            failures.append(f'effect {number} is both {names[number]} and {name}')
    print(f'{len(started)} effects on the passes the runner reports: '
          + ', '.join(f'{name}@{p}' for p, name in expected))

    recording = read_wav(args.wav)
    peak = max((abs(v) for v in recording), default=0)
    clipped = sum(1 for v in recording if v >= FULL_SCALE or v <= -FULL_SCALE)
    print(f'{len(recording)} samples ({len(recording) / 22050:.1f} s), peak {peak} '
          f'({peak / FULL_SCALE:.1%} of full scale), {clipped} at full scale')
    if clipped:
        failures.append(f'{clipped} samples clip')

    if args.effects_only and not failures:
        sounds = {number: read_wav(f'{args.sounds}/{name}.wav') for number, name in names.items()}
        master = master_volume(args.log)
        # The device may have written whole silent buffers before the first mix.
        best = None
        for lead in range(0, 9 * BUFFER, BUFFER):
            # The mixer plays a sound started twice before a mix once.
            starts = [(s + lead, sounds[n]) for s, n in sorted({(s, n) for _, n, s in started})]
            mix = expected_mix(len(recording), starts, master)
            wrong = sum(1 for a, b in zip(recording, mix) if a != b)
            if best is None or wrong < best[0]:
                best = (wrong, lead)
            if wrong == 0:
                break
        wrong, lead = best
        print(f'the recording against the effects summed from their samples ({lead} silent '
              f'samples first): {wrong} samples differ')
        if wrong:
            failures.append(f'{wrong} samples differ from the effects summed')

    for failure in failures:
        print(f'FAILED: {failure}')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
