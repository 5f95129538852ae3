#!/usr/bin/env python3
# Measures the SDL game full screen under Xvfb with a window manager, at 1280x720, 1920x1080
# and 3840x2160 (or the sizes given with --sizes):
#   start-up   from exec to the first pixels of the game on the screen, seen by polling the
#              root window with XGetImage (not the game's own time stamp at hand-over);
#   CPU        the game's and the X server's share of one core, and their sum, over 10 s in
#              the title menu and over 10 s of the committed win script replayed;
#   memory     the game's peak resident size; and the game's own frame statistics.
# Usage: tools/measure-desktop.py build/quellaro tests/scripts/win_level.txt [cpu|gpu]
#        [--sizes 1920x1080,...] [--seconds 10]
# Needs Xvfb, openbox, xdotool and libX11 (all in Debian); the figures mean most on an
# otherwise idle machine. Each run gets a free display from Xvfb itself.
import argparse
import ctypes
import os
import re
import subprocess
import sys
import time

parser = argparse.ArgumentParser()
parser.add_argument('game')
parser.add_argument('script')
parser.add_argument('mode', nargs='?', default='', choices=['', 'cpu', 'gpu'])
parser.add_argument('--sizes', default='1280x720,1920x1080,3840x2160')
parser.add_argument('--seconds', type=float, default=10)
args = parser.parse_args()
game, script = os.path.abspath(args.game), os.path.abspath(args.script)
tick = os.sysconf('SC_CLK_TCK')


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as the pixels.
    _fields_ = [('width', ctypes.c_int), ('height', ctypes.c_int), ('xoffset', ctypes.c_int),
                ('format', ctypes.c_int), ('data', ctypes.c_void_p),
                ('byte_order', ctypes.c_int), ('bitmap_unit', ctypes.c_int),
                ('bitmap_bit_order', ctypes.c_int), ('bitmap_pad', ctypes.c_int),
                ('depth', ctypes.c_int), ('bytes_per_line', ctypes.c_int),
                ('bits_per_pixel', ctypes.c_int)]


xlib = ctypes.cdll.LoadLibrary('libX11.so.6')
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XGetImage.restype = ctypes.POINTER(XImage)
xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
xlib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
Z_PIXMAP, ALL_PLANES = 2, 0xFFFFFFFF


def shows_pixels(display, root, width, height):
    """Whether nine rows across the screen show a picture: at least 5 % of their pixels not
    black (a lone pixel, such as a pointer's, is no frame)."""
    lit = 0
    for k in range(1, 10):
        image = xlib.XGetImage(display, root, 0, height * k // 10, width, 1, ALL_PLANES, Z_PIXMAP)
        if not image:
            continue
        row = ctypes.string_at(image.contents.data, image.contents.bytes_per_line)
        xlib.XDestroyImage(image)
        lit += sum(1 for word in memoryview(row).cast('I')[:width] if word & 0xFFFFFF)
    return lit * 20 >= 9 * width


def cpu_seconds(pid):
    fields = open(f'/proc/{pid}/stat').read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / tick


def start_display(width, height):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write_end), '-noreset', '-screen', '0',
                             f'{width}x{height}x24', '-nolisten', 'tcp'],
                            pass_fds=[write_end], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b''
    while not number.endswith(b'\n'):
        piece = os.read(read_end, 16)
        if not piece:
            sys.exit('Xvfb did not start')
        number += piece
    os.close(read_end)
    disp = ':' + number.decode().strip()
    wm = subprocess.Popen(['openbox'], env=dict(os.environ, DISPLAY=disp),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    return xvfb, wm, disp


def one_run(width, height, game_args, settle, label):
    xvfb, wm, disp = start_display(width, height)
    display = xlib.XOpenDisplay(disp.encode())
    if not display:
        sys.exit(f'cannot open {disp}')
    root = xlib.XDefaultRootWindow(display)
    if shows_pixels(display, root, width, height):
        print(f'  (the screen was not black before the game started: start-up not measured)')
    env = dict(os.environ, DISPLAY=disp, QUELLARO_FRAME_STATS='1', HOME='/tmp/measure-home',
               XDG_CONFIG_HOME='/tmp/measure-home/.config', SDL_AUDIODRIVER='disk',
               SDL_DISKAUDIOFILE='/dev/null')
    if args.mode:
        env['QUELLARO_PRESENT'] = args.mode
    err_path = f'/tmp/measure-{label}-{width}x{height}.txt'
    with open(err_path, 'w') as err:
        t0 = time.monotonic()
        game_process = subprocess.Popen([game, *game_args], env=env, stdout=subprocess.DEVNULL,
                                        stderr=err, cwd=os.path.dirname(game))
        first_pixels = float('nan')
        while time.monotonic() - t0 < 20 and game_process.poll() is None:
            if shows_pixels(display, root, width, height):
                first_pixels = (time.monotonic() - t0) * 1000
                break
        xlib.XCloseDisplay(display)
        time.sleep(settle)
        game0, x0, w0 = cpu_seconds(game_process.pid), cpu_seconds(xvfb.pid), time.monotonic()
        time.sleep(args.seconds)
        game1, x1, w1 = cpu_seconds(game_process.pid), cpu_seconds(xvfb.pid), time.monotonic()
        hwm = re.search(r'VmHWM:\s+(\d+)', open(f'/proc/{game_process.pid}/status').read())
        subprocess.run(['xdotool', 'key', 'q'], env=env, timeout=5)
        try:
            game_process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            game_process.terminate()
            game_process.wait()
    wm.terminate()
    wm.wait()
    xvfb.terminate()
    xvfb.wait()
    game_share = 100 * (game1 - game0) / (w1 - w0)
    x_share = 100 * (x1 - x0) / (w1 - w0)
    text = open(err_path).read()
    print(f'{label} at {width}x{height} ({args.mode or "auto"}): game {game_share:.1f}% + '
          f'X server {x_share:.1f}% = {game_share + x_share:.1f}% of a core; '
          f'peak RSS {int(hwm.group(1)) / 1024:.1f} MiB; '
          f'exec to first pixels on screen {first_pixels:.0f} ms')
    print('  ' + '\n  '.join(line for line in text.splitlines()
                             if not line.startswith(('sound:', 'CRITICAL'))))
    return game_share, x_share, first_pixels


results = []
for size in args.sizes.split(','):
    width, height = (int(side) for side in size.split('x'))
    menu = one_run(width, height, [], 1.5, 'menu')
    play = one_run(width, height, ['--replay', script], 0.5, 'play')
    results.append((size, menu, play))

print('\nsize        start-up   menu: game + X = sum    play: game + X = sum   (% of a core)')
for size, menu, play in results:
    print(f'{size:<11} {menu[2]:6.0f} ms   {menu[0]:5.1f} + {menu[1]:5.1f} = {sum(menu[:2]):5.1f}'
          f'    {play[0]:5.1f} + {play[1]:5.1f} = {sum(play[:2]):5.1f}')
