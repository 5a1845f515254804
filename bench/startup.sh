#!/usr/bin/env bash
# Measures the game's start-up under a real X server (Xvfb): the time from launch until
# the splash screen is mapped, until the main window is mapped, until the first frame of
# the main window with its tiles has reached the screen, and the resident memory once it
# is up. One fresh home serves all runs; a first run, reported apart, fills the caches
# (the files in the system's cache and the game's own) as every start after the first
# finds them. Prints each run and the medians. Each moment is that of the first look that
# saw it, a few milliseconds at most after it happened.
#
# usage: bench/startup.sh [BUILD_DIR] [RUNS] [DISPLAY]    (needs xvfb and python3; DISPLAY
#        must be free)
set -euo pipefail

build=${1:-"$(cd "$(dirname "$0")/.." && pwd)/build"}
runs=${2:-5}
display=${3:-:97}
game="$build/bin/tilvane"
for tool in Xvfb python3; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb python3" >&2; exit 1; }
done
[ -x "$game" ] || { echo "no game at $game; build it first" >&2; exit 1; }

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# A private home, so that the measurement neither reads nor writes the player's files.
home=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT

# The watcher talks to the X server itself through libX11, so that looking costs a few
# requests instead of a process per look.
python3 - "$game" "$display" "$home" "$runs" <<'EOF'
import ctypes, ctypes.util, os, signal, subprocess, sys, time
from array import array

game, display, home, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
POLL = 0.002                 # seconds between looks
GIVE_UP = 20.0               # seconds a run may take to show its board
SETTLE = 1.0                 # seconds after the board before the memory is read
SPLASH_WIDTH = 460           # the splash is narrower, the main window wider
BOARD = 0x008000             # the board's background in a fresh home (dark green)
OPAQUE = 0xff000000          # the server may fill the unused byte of a pixel
BOARD_SHARE = 0.05           # of the window's pixels, once the board is drawn
TILE_SHARE = 0.10            # of the pixels in the board's rows that belong to tiles

x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                         ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                         ctypes.POINTER(ctypes.c_uint)]
x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                 ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
x.XFree.argtypes = [ctypes.c_void_p]
x.XSetErrorHandler.argtypes = [ctypes.c_void_p]
x.XGetImage.restype = ctypes.c_void_p
x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                        ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]

class Attributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

class Image(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]

x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Attributes)]
IS_VIEWABLE, Z_PIXMAP, ALL_PLANES = 2, 2, 0xffffffff

# Windows come and go while they are looked at; an X error must not end the watcher.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x.XSetErrorHandler(ERROR_HANDLER)

dpy = None
for attempt in range(100):
    dpy = x.XOpenDisplay(display.encode())
    if dpy:
        break
    time.sleep(0.05)
if not dpy:
    sys.exit("cannot reach the X server " + display)
root = x.XDefaultRootWindow(dpy)
pid_atom = x.XInternAtom(dpy, b"_NET_WM_PID", 0)

def window_pid(window):
    kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
    data = ctypes.c_void_p()
    if x.XGetWindowProperty(dpy, window, pid_atom, 0, 1, 0, 0, ctypes.byref(kind), ctypes.byref(fmt),
                            ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0 or not data:
        return None
    pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if count.value else None
    x.XFree(data)
    return pid

def visible_windows(pid):
    """(window, width, height) of the process's mapped top-level windows."""
    r, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    if not x.XQueryTree(dpy, root, ctypes.byref(r), ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
        return []
    found = []
    for i in range(count.value):
        window = children[i]
        attributes = Attributes()
        if not x.XGetWindowAttributes(dpy, window, ctypes.byref(attributes)):
            continue
        if attributes.map_state == IS_VIEWABLE and window_pid(window) == pid:
            found.append((window, attributes.width, attributes.height))
    if children:
        x.XFree(children)
    return found

def board_drawn(window, width, height):
    """Whether the window shows the board's background with tiles on it."""
    address = x.XGetImage(dpy, window, 0, 0, width, height, ALL_PLANES, Z_PIXMAP)
    if not address:
        return False
    image = Image.from_address(address)
    try:
        if image.bits_per_pixel != 32:
            return False
        pixels = array("I", ctypes.string_at(image.data, image.bytes_per_line * image.height))
        stride = image.bytes_per_line // 4
        board = rows = tiles = 0
        for y in range(0, image.height, 2):
            line = pixels[y * stride:y * stride + image.width]
            count = line.count(BOARD) + line.count(BOARD | OPAQUE)
            if count:
                board += count
                rows += image.width
                tiles += image.width - count
        return board * 2 >= BOARD_SHARE * width * height and tiles >= TILE_SHARE * rows
    finally:
        x.XFree(image.data)
        x.XFree(address)

def resident_mib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0

environment = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/config",
                   XDG_DATA_HOME=home + "/data", XDG_CACHE_HOME=home + "/cache")

def measure(run):
    log = open(os.path.join(home, "run%d.log" % run), "w")
    start = time.monotonic()
    game_process = subprocess.Popen([game], env=environment, stdout=log, stderr=subprocess.STDOUT)
    splash = window = board = None
    try:
        while board is None:
            now = time.monotonic() - start
            if game_process.poll() is not None or now > GIVE_UP:
                log.flush()
                sys.stderr.write("run %d: no board; the game said:\n%s" % (run, open(log.name).read()))
                sys.exit(1)
            shown = visible_windows(game_process.pid)
            if shown and splash is None:
                splash = now
            main = [w for w in shown if w[1] > SPLASH_WIDTH]
            if main:
                if window is None:
                    window = now
                looked = time.monotonic() - start
                if board_drawn(*main[0]):
                    board = looked
                    break
            time.sleep(POLL)
        time.sleep(SETTLE)
        memory = resident_mib(game_process.pid)
    finally:
        game_process.send_signal(signal.SIGTERM)
        game_process.wait()
        log.close()
    return splash * 1000, window * 1000, board * 1000, memory

def report(label, figures):
    print("%s: splash %.0f ms, window %.0f ms, board %.0f ms, resident %.1f MiB" % ((label,) + figures))
    sys.stdout.flush()

report("first run in the fresh home", measure(0))
results = []
for run in range(1, runs + 1):
    results.append(measure(run))
    report("run %d" % run, results[-1])
median = tuple(sorted(column)[(len(column) - 1) // 2] for column in zip(*results))
report("median of %d" % runs, median)
EOF
