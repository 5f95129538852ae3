#!/usr/bin/env python3
# Measures the SDL game under Xvfb 1920x1080 full screen, with a window manager: the menu run
# (start-up to first frame, CPU over 10 s in the title menu) and the play run (the committed
# win script replayed in the window, CPU over 10 s of it, peak RSS, present intervals).
# Usage: tools/measure-desktop.py build/quellaro tests/scripts/win_level.txt [cpu|gpu]
# Needs Xvfb, openbox and xdotool, and an otherwise idle machine; display :95 must be free.
import os, re, subprocess, sys, time
game, script = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
mode = sys.argv[3] if len(sys.argv) > 3 else ''
disp = ':95'
tick = os.sysconf('SC_CLK_TCK')

def cpu(pid):
    f = open(f'/proc/{pid}/stat').read().rsplit(')', 1)[1].split()
    return (int(f[11]) + int(f[12])) / tick

def one_run(args, wait, label):
    xvfb = subprocess.Popen(['Xvfb', disp, '-noreset', '-screen', '0', '1920x1080x24', '-nolisten', 'tcp'],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.5)
    wm = subprocess.Popen(['openbox'], env=dict(os.environ, DISPLAY=disp),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    env = dict(os.environ, DISPLAY=disp, QUELLARO_FRAME_STATS='1', HOME='/tmp/measure-home',
               XDG_CONFIG_HOME='/tmp/measure-home/.config', SDL_AUDIODRIVER='disk',
               SDL_DISKAUDIOFILE='/dev/null')
    if mode:
        env['QUELLARO_PRESENT'] = mode
    err_path = f'/tmp/measure-{label}.txt'
    with open(err_path, 'w') as err:
        t0 = time.monotonic()
        p = subprocess.Popen([game, *args], env=env, stdout=subprocess.DEVNULL, stderr=err,
                             cwd=os.path.dirname(game))
        time.sleep(wait)
        c0, w0 = cpu(p.pid), time.monotonic()
        time.sleep(10)
        c1, w1 = cpu(p.pid), time.monotonic()
        hwm = re.search(r'VmHWM:\s+(\d+)', open(f'/proc/{p.pid}/status').read()).group(1)
        subprocess.run(['xdotool', 'key', 'q'], env=env, timeout=5)
        try:
            p.wait(timeout=10)
        except subprocess.TimeoutExpired:
            p.terminate()
            p.wait()
    wm.terminate()
    xvfb.terminate()
    xvfb.wait()
    text = open(err_path).read()
    m = re.search(r'steady clock at ([\d.]+) ms', text)
    first = float(m.group(1)) - t0 * 1000 if m else float('nan')
    print(f'{label} ({mode or "auto"}): cpu {100 * (c1 - c0) / (w1 - w0):.1f}% of a core, '
          f'peak RSS {int(hwm) / 1024:.1f} MiB, first frame {first:.1f} ms after exec')
    print('  ' + '\n  '.join(l for l in text.splitlines()
                             if not l.startswith(('sound:', 'CRITICAL'))))

one_run([], 1.5, 'menu')
one_run(['--replay', script], 2.0, 'play')
