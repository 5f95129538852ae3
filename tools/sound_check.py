#!/usr/bin/env python3
"""Checks a recording of the desktop game's sound against the passes of its events.

The game, run with QUELLARO_FRAME_STATS=1 on SDL's disk audio driver, writes every sample it
mixes to a file and says on standard error where each sound starts ("sound: pass P effect I
at sample S"). The headless runner, given the same script, names the sounds of every pass.
This script checks that

  - the game raised its effects on exactly the passes where the runner reports them, in the
    same order (so the numbers and the names agree);
  - with the music off (--effects-only), the recording is exactly the sum of those effects,
    each the variant the game named, placed at its pan and started from its own sample, put
    through a limiter written here after the game's: sound where the events are, silence
    everywhere else;
  - nothing clips: no sample passes the limiter's ceiling.

  tools/sound_check.py --state STATE.jsonl --log GAME.log --wav AUDIO.wav --sounds DIR
                       [--effects-only]
"""
import argparse
import json
import math
import re
import sys
import wave
from array import array

BUFFER = 1024  # the device's buffer: the recording may start with whole silent ones
PAN_MAX = 100


def read_wav(path, channels):
    with wave.open(path, 'rb') as w:
        if w.getsampwidth() != 2 or w.getnchannels() != channels:
            sys.exit(f'{path}: not 16-bit with {channels} channel(s)')
        samples = array('h')
        samples.frombytes(w.readframes(w.getnframes()))
    if sys.byteorder == 'big':
        samples.byteswap()
    return samples


def pan_gains(pan):
    """Gains of 4096 on each side: the power kept, the centre unchanged."""
    angle = math.pi / 2 * (max(-PAN_MAX, min(PAN_MAX, pan)) + PAN_MAX) / (2 * PAN_MAX)
    root_two_4096 = 5792.618751480198
    return int(root_two_4096 * math.cos(angle) + 0.5), int(root_two_4096 * math.sin(angle) + 0.5)


def limit(frames, ceiling, lookahead):
    """The game's limiter, frame by frame: the least gain the look-ahead needs, eased back
    after a peak, averaged over the look-ahead, applied to the frame leaving the delay."""
    one = 65536
    ring = [one] * lookahead
    total = one * lookahead
    eased = one
    queue = []  # (frame, need), needs rising
    delay = [(0, 0)] * lookahead
    out = array('h', bytes(4 * len(frames)))
    for n, (left, right) in enumerate(frames):
        peak = max(abs(left), abs(right))
        need = (ceiling << 16) // peak if peak > ceiling else one
        if queue and queue[0][0] <= n - lookahead:
            queue.pop(0)
        while queue and queue[-1][1] >= need:
            queue.pop()
        queue.append((n, need))
        eased = min(queue[0][1], one, eased + ((one - eased) >> 12) + 1)
        at = n % lookahead
        total += eased - ring[at]
        ring[at] = eased
        gain = total // lookahead
        delay[at] = (left, right)
        old = delay[(n + 1) % lookahead]
        out[2 * n] = (old[0] * gain) >> 16
        out[2 * n + 1] = (old[1] * gain) >> 16
    return out


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
    """(pass, effect number, variant, pan, first frame) of every effect the game started."""
    pattern = re.compile(r'^sound: pass (\d+) effect (\d+) variant (\d+) pan (-?\d+) '
                         r'at sample (\d+)$')
    found = []
    with open(path) as lines:
        for line in lines:
            m = pattern.match(line.strip())
            if m:
                found.append(tuple(int(g) for g in m.groups()))
    return found


def expected_mix(length, starts, ceiling, lookahead):
    """Every effect added in from its first frame at its pan, at full volume, then the
    limiter."""
    left = [0] * length
    right = [0] * length
    for start, samples, pan in starts:
        gain_left, gain_right = pan_gains(pan)
        for i in range(min(len(samples), length - start)):
            left[start + i] += samples[i] * gain_left
            right[start + i] += samples[i] * gain_right
    # The sums are of 4096; the master volume is of 256, full.
    return limit([((l * 256) >> 20, (r * 256) >> 20) for l, r in zip(left, right)],
                 ceiling, lookahead)


def audio_line(path):
    """The limiter's ceiling and look-ahead, from the game's first line about its audio."""
    with open(path) as lines:
        for line in lines:
            m = re.search(r"the limiter's ceiling (\d+), look-ahead (\d+) frames", line)
            if m:
                return int(m.group(1)), int(m.group(2))
    sys.exit(f'{path}: the game said nothing of its audio (QUELLARO_FRAME_STATS=1 not set?)')


def file_name(name, variant):
    return f'{name}.wav' if variant == 0 else f'{name}-{variant + 1}.wav'


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
    if [p for p, _ in expected] != [e[0] for e in started]:
        failures.append(f'the game started effects on passes {[e[0] for e in started]}, '
                        f'the runner reports {[p for p, _ in expected]}')
    names = {}
    for (_, name), (_, number, _, _, _) in zip(expected, started):
        if names.setdefault(number, name) != name:
            failures.append(f'effect {number} is both {names[number]} and {name}')
    print(f'{len(started)} effects on the passes the runner reports: '
          + ', '.join(f'{name}@{p}' for p, name in expected))
    pans = sorted({e[3] for e in started})
    variants = {}
    for e in started:
        variants.setdefault(names.get(e[1], '?'), set()).add(e[2])
    print(f'pans: {pans}; variants heard: '
          + ', '.join(f'{n} {sorted(v)}' for n, v in variants.items() if len(v) > 1))

    ceiling, lookahead = audio_line(args.log)
    recording = read_wav(args.wav, 2)
    frames = len(recording) // 2
    peak = max((abs(v) for v in recording), default=0)
    over = sum(1 for v in recording if abs(v) > ceiling)
    levels = []
    for side in (0, 1):
        square = sum(v * v for v in recording[side::2]) / max(1, frames)
        levels.append(10 * math.log10(square / 32768 ** 2) if square else float('-inf'))
    print(f'{frames} frames ({frames / 44100:.1f} s), peak {peak} '
          f'({20 * math.log10(max(peak, 1) / 32768):.1f} dBFS), {over} past the ceiling '
          f'{ceiling}; RMS left {levels[0]:.1f} dBFS, right {levels[1]:.1f} dBFS')
    if over:
        failures.append(f'{over} samples pass the ceiling')

    if args.effects_only and not failures:
        sounds = {}
        for _, number, variant, _, _ in started:
            sounds[(number, variant)] = read_wav(
                f'{args.sounds}/{file_name(names[number], variant)}', 1)
        # The mixer plays a sound started twice before a mix once. The device may have
        # written whole silent buffers before the first mix: the recording is then the same
        # later by as many frames.
        starts = sorted({(s, n, v, pan) for _, n, v, pan, s in started})
        mix = expected_mix(frames, [(s, sounds[(n, v)], pan) for s, n, v, pan in starts],
                           ceiling, lookahead)
        best = None
        for lead in range(0, 9 * BUFFER, BUFFER):
            wrong = sum(1 for v in recording[:2 * lead] if v != 0)
            wrong += sum(1 for a, b in zip(recording[2 * lead:], mix) if a != b)
            if best is None or wrong < best[0]:
                best = (wrong, lead)
            if wrong == 0:
                break
        wrong, lead = best
        print(f'the recording against the effects summed from their samples and limited '
              f'({lead} silent frames first): {wrong} samples differ')
        if wrong:
            failures.append(f'{wrong} samples differ from the effects summed')

    for failure in failures:
        print(f'FAILED: {failure}')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
