#!/usr/bin/env python3
"""Build, validate and draw Tilvane's built-in tile layouts.

Usage:
    make_layouts.py                 build all layouts, validate, write data/layouts/*.tllf
    make_layouts.py --check         validate the .tllf files already in data/layouts/
    make_layouts.py --render [NAME] print every layer of the built layouts as text
    make_layouts.py --png DIR       write a top-down PNG of every built layout to DIR
    --out DIR                       use DIR instead of data/layouts/
    --cli PATH                      the tilvane-cli whose survey decides random deals
                                    (default: build/bin/tilvane-cli, when it has one)
    --deals N                       random deals the survey decides per layout
                                    (default 1000; 0 leaves the survey out)

Writing and --check both survey the layouts when a tilvane-cli with the survey
command is at hand: a layout that loses more than one random deal in twenty
is a fault, and then nothing is written.

Coordinates are half-tile units: a tile at (x, y) covers the cells x..x+1 and
y..y+1, layers count from 1 at the bottom.  Only the standard library is used
so the script runs anywhere the game is built.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

TILE_COUNT = 144
MAX_WIDTH_TILES = 17    # fits 1920x1080 at a comfortable tile size
MAX_HEIGHT_TILES = 10
MAX_LAYERS = 6          # anything taller is a tower nobody can dig into
DESIGNER = "Tilvane"
WAVE_COLUMNS = 15       # three crests, two troughs two columns wide
WAVE_PERIOD = 7

MAX_LOST_SHARE = 0.05   # of random deals that cannot be cleared
SURVEY_DEALS = 1000

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "data", "layouts"))
DEFAULT_CLI = os.path.normpath(os.path.join(HERE, "..", "..", "build", "bin", "tilvane-cli"))


# ---------------------------------------------------------------------------
# Shape helpers.  Each returns a list of (layer, x, y) tuples.

def rect(layer, x, y, cols, rows):
    """A solid block of cols x rows tiles with its top-left tile at (x, y)."""
    return [(layer, x + 2 * c, y + 2 * r) for r in range(rows) for c in range(cols)]


def row(layer, x, y, n):
    return rect(layer, x, y, n, 1)


def column(layer, x, y, n):
    return rect(layer, x, y, 1, n)


def ring(layer, x, y, cols, rows):
    """The one-tile-wide border of a cols x rows block."""
    return [t for t in rect(layer, x, y, cols, rows)
            if t[1] in (x, x + 2 * (cols - 1)) or t[2] in (y, y + 2 * (rows - 1))]


def pic(layer, art, x=0, y=0):
    """Tiles drawn as text: every non-'.' character is a tile, one character
    per whole tile, so art stays readable; (x, y) shifts the whole picture,
    which is how half-tile offsets are made."""
    out = []
    for r, line in enumerate(art.strip("\n").splitlines()):
        for c, ch in enumerate(line.strip()):
            if ch != ".":
                out.append((layer, x + 2 * c, y + 2 * r))
    return out


def mirror_x(tiles, axis2):
    """Tiles plus their mirror image about the vertical line x = axis2 / 2
    (in cells).  A tile whose mirror is itself is kept once."""
    out = list(tiles)
    for l, x, y in tiles:
        m = (l, axis2 - x - 2, y)
        if m not in out:
            out.append(m)
    return out


def minus(tiles, *removed):
    gone = set(t for group in removed for t in group)
    return [t for t in tiles if t not in gone]


# ---------------------------------------------------------------------------
# Layout records and the rules every layout obeys.

class Layout:
    def __init__(self, name, tiles):
        self.name = name
        self.tiles = [tuple(t) for t in tiles]

    @property
    def filename(self):
        return self.name + ".tllf"

    def normalised(self):
        """Shift to lx = ly = 0 and put tiles in document order: layer by
        layer from the bottom, row by row, left to right.  The game takes the
        i-th tile element as the i-th tile record, so order must be stable."""
        mx = min(t[1] for t in self.tiles)
        my = min(t[2] for t in self.tiles)
        moved = sorted(((l, x - mx, y - my) for l, x, y in self.tiles),
                       key=lambda t: (t[0], t[2], t[1]))
        return Layout(self.name, moved)


def extent(tiles):
    xs = [t[1] for t in tiles]
    ys = [t[2] for t in tiles]
    return min(xs), max(xs), min(ys), max(ys)


def checksum(tiles):
    return sum(l * l + x * x + y * y for l, x, y in tiles) & 0xFFFFFFFF


def size_in_tiles(tiles):
    lx, ux, ly, uy = extent(tiles)
    return (ux - lx + 2) / 2, (uy - ly + 2) / 2


def overlaps(a, b):
    return abs(a[1] - b[1]) < 2 and abs(a[2] - b[2]) < 2


def cells(t):
    _, x, y = t
    return {(x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1)}


def free_tiles(tiles):
    """Tiles a player could take: nothing on top and one long side open."""
    tiles = list(tiles)
    occupied = set(tiles)
    top = max((t[0] for t in tiles), default=0)
    near = [(dx, dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
    free = []
    for t in tiles:
        l, x, y = t
        # Looked up, not searched: the greedy clearing calls this per pair.
        if any((u, x + dx, y + dy) in occupied for u in range(l + 1, top + 1) for dx, dy in near):
            continue
        left = any((l, x - 2, y + d) in occupied for d in (-1, 0, 1))
        right = any((l, x + 2, y + d) in occupied for d in (-1, 0, 1))
        if not (left and right):
            free.append(t)
    return free


def can_clear(tiles):
    """Ignoring faces, can the heap be taken apart two free tiles at a time?
    Greedy from the top down; a failure means some tile can never be reached
    by a pair, e.g. a lone tower or a sealed pocket."""
    left = set(tiles)
    while left:
        free = sorted(free_tiles(left), key=lambda t: (-t[0], t[2], t[1]))
        if len(free) < 2:
            return False
        left.discard(free[0])
        left.discard(free[1])
    return True


def problems(layout, header=None):
    """Every broken rule as a message; empty when the layout is sound.
    header, when given, holds the attributes read from a file."""
    errs = []
    tiles = layout.tiles
    if len(tiles) != TILE_COUNT:
        errs.append("has %d tiles, wants %d" % (len(tiles), TILE_COUNT))
    if len(set(tiles)) != len(tiles):
        errs.append("repeats a position")
    if not tiles:
        return errs
    for l, x, y in tiles:
        if l < 1 or x < 0 or y < 0:
            errs.append("tile (%d,%d,%d) has a negative coordinate or layer < 1" % (l, x, y))
    by_layer = {}
    for t in set(tiles):
        by_layer.setdefault(t[0], []).append(t)
    top = max(by_layer)
    if top > MAX_LAYERS:
        errs.append("%d layers, at most %d" % (top, MAX_LAYERS))
    for l in range(1, top + 1):
        if l not in by_layer:
            errs.append("layer %d is empty" % l)
    for l, group in sorted(by_layer.items()):
        group.sort()
        for i, a in enumerate(group):
            for b in group[i + 1:]:
                if b[1] - a[1] >= 2:
                    break
                if overlaps(a, b):
                    errs.append("tiles %s and %s overlap" % (a, b))
        if l > 1:
            below = set()
            for t in by_layer.get(l - 1, []):
                below |= cells(t)
            for t in group:
                if not cells(t) <= below:
                    errs.append("tile %s is not fully supported" % (t,))
    w, h = size_in_tiles(tiles)
    if w > MAX_WIDTH_TILES:
        errs.append("%.1f tiles wide, at most %d" % (w, MAX_WIDTH_TILES))
    if h > MAX_HEIGHT_TILES:
        errs.append("%.1f tiles high, at most %d" % (h, MAX_HEIGHT_TILES))
    if not errs and not can_clear(tiles):
        errs.append("cannot be taken apart in pairs")
    if header is not None:
        lx, ux, ly, uy = extent(tiles)
        want = {"tiles": len(tiles), "layers": top, "lx": lx, "ux": ux,
                "ly": ly, "uy": uy, "verified": 1, "cs": checksum(tiles)}
        for key, value in want.items():
            if header.get(key) != str(value):
                errs.append("attribute %s=%r, should be %r" % (key, header.get(key), str(value)))
        if header.get("name") != layout.name:
            errs.append("name %r does not match %r" % (header.get("name"), layout.name))
    return errs


def turtle_problems(layout):
    """The turtle has a fixed, well-known shape; check it row by row."""
    errs = []
    tiles = layout.normalised().tiles
    counts = [sum(1 for t in tiles if t[0] == l) for l in range(1, 6)]
    if counts != [87, 36, 16, 4, 1] or len(tiles) != 144:
        return ["turtle layer counts %s, want [87, 36, 16, 4, 1]" % counts]
    base = [t for t in tiles if t[0] == 1]
    rows = {}
    for _, x, y in base:
        rows.setdefault(y, []).append(x)
    main = sorted(y for y in rows if y % 2 == 0 and len(rows[y]) >= 8)
    widths = [len(rows[y]) for y in main]
    if widths != [12, 8, 10, 12, 12, 10, 8, 12] or main != list(range(main[0], main[0] + 16, 2)):
        errs.append("turtle base rows %s" % widths)
        return errs
    centre = sum(rows[main[0]]) / 12
    for y in main:
        xs = sorted(rows[y])
        if xs != list(range(xs[0], xs[0] + 2 * len(xs), 2)) or sum(xs) / len(xs) != centre:
            errs.append("turtle row y=%d is broken or off centre" % y)
    ends = sorted(t for t in base if t[2] not in main)
    mid = main[0] + 7
    x0, x1 = min(rows[main[0]]), max(rows[main[0]])
    if ends != [(1, x0 - 2, mid), (1, x1 + 2, mid), (1, x1 + 4, mid)]:
        errs.append("turtle head/tail tiles %s" % ends)
    for l, n in ((2, 6), (3, 4), (4, 2)):
        xs = sorted(set(t[1] for t in tiles if t[0] == l))
        ys = sorted(set(t[2] for t in tiles if t[0] == l))
        if len(xs) != n or len(ys) != n or sum(xs) / n != centre or sum(ys) / n != mid:
            errs.append("turtle layer %d is not a centred %dx%d block" % (l, n, n))
    if [t for t in tiles if t[0] == 5] != [(5, centre, mid)]:
        errs.append("turtle top tile is not centred")
    return errs


# ---------------------------------------------------------------------------
# File format.

def to_xml(layout):
    lay = layout.normalised()
    tiles = lay.tiles
    lx, ux, ly, uy = extent(tiles)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<layout tiles="%d" layers="%d" name="%s" lx="%d" ux="%d" ly="%d" uy="%d"'
             ' verified="1" cs="%d">'
             % (len(tiles), max(t[0] for t in tiles), xml_escape(lay.name),
                lx, ux, ly, uy, checksum(tiles)),
             '    <designer name="%s"/>' % DESIGNER]
    lines += ['    <tile layer="%d" x="%d" y="%d"/>' % t for t in tiles]
    lines.append("</layout>")
    return "\n".join(lines) + "\n"


def xml_escape(s):
    return (s.replace("&", "&amp;").replace("<", "&lt;")
             .replace(">", "&gt;").replace('"', "&quot;"))


def read_file(path):
    """Returns (layout, header attributes) of a .tllf file."""
    root = ET.parse(path).getroot()
    if root.tag != "layout":
        raise ValueError("root element is <%s>, not <layout>" % root.tag)
    tiles = [(int(e.get("layer")), int(e.get("x")), int(e.get("y")))
             for e in root.findall("tile")]
    return Layout(root.get("name"), tiles), dict(root.attrib)


# ---------------------------------------------------------------------------
# The layouts.  All but the turtle are symmetric left to right.  Art is
# drawn one character per tile; a shift of an odd number of cells puts a
# layer half a tile over the one below.

def turtle():
    # The classic: a shell of five layers, a head on the left and a
    # two-tile tail on the right, both half-way between the middle rows.
    t = []
    for r, n in enumerate((12, 8, 10, 12, 12, 10, 8, 12)):
        t += row(1, 14 - n, 2 * r, n)
    t += [(1, 0, 7), (1, 26, 7), (1, 28, 7)]
    t += rect(2, 8, 2, 6, 6)
    t += rect(3, 10, 4, 4, 4)
    t += rect(4, 12, 6, 2, 2)
    t += [(5, 13, 7)]
    return t


def butterfly():
    # Wide upper wings, smaller lower wings, a slim raised body with
    # antennae; each wing has a raised "eye".
    t = pic(1, """
        XXXX.X...X.XXXX
        XXXXX..X..XXXXX
        XXXXXX.X.XXXXXX
        .XXXXXXXXXXXXX.
        ..XXXXXXXXXXX..
        ..XXXXXXXXXXX..
        .XXXXXXXXXXXXX.
        .XXXX..X..XXXX.
        ..XX...X...XX..
    """)
    t += pic(2, """
        ...............
        .XXX...X...XXX.
        .XXXX..X..XXXX.
        ..XXX..X..XXX..
        .......X.......
        ...XX..X..XX...
        ..XXX..X..XXX..
        .......X.......
        .......X.......
    """)
    t += pic(3, """
        ...............
        ...............
        ..XX...X...XX..
        .......X.......
        .......X.......
        .......X.......
        .......X.......
        .......X.......
    """)
    return t


def split_pyramid():
    # Two half pyramids, highest at the split, pulled one tile apart.
    half = rect(1, 0, 0, 5, 8)
    half += rect(2, 2, 2, 4, 6)
    half += rect(3, 6, 5, 2, 3)     # half a tile down: rows sit over the joins
    half += column(4, 8, 6, 2)
    return mirror_x(half, 22)


def temple():
    # Platform with front steps, a colonnade of two-high pillars, and a hall
    # that rises to a ridge and a finial. Each layer of the hall is a tile
    # shorter at both ends than the one below, so its rows open one layer at
    # a time; walls flush from top to bottom would keep the lowest rows shut
    # until everything over them was gone.
    t = rect(1, 0, 0, 11, 7) + row(1, 6, 14, 5)
    pillars = pic(2, """
        .X.X.X.X.X.
        ...........
        ...........
        .X.......X.
        ...........
        ...........
        .X.X.X.X.X.
    """)
    t += pillars + [(3, x, y) for _, x, y in pillars]
    t += rect(2, 6, 2, 5, 5) + rect(3, 8, 4, 3, 3)
    t += row(4, 8, 6, 3) + [(5, 10, 6)]
    return t


def labyrinth():
    # Corridors one tile wide between walls, with a door on every side.
    t = pic(1, """
        XXXXXXXX.XXXXXXXX
        X.....X...X.....X
        X.XXX.X.X.X.XXX.X
        X.X.....X.....X.X
        ..X.XXXXXXXXX.X..
        X.X...X...X...X.X
        X.XXX.X.X.X.XXX.X
        X.......X.......X
        XXXXXXXX.XXXXXXXX
    """)
    doors = [(2, 16, 0), (2, 16, 16), (2, 0, 8), (2, 32, 8)]
    t += minus(ring(2, 0, 0, 17, 9), doors)      # the outer wall stands taller
    # The wall across the middle rises in steps to the goal at its centre.
    t += row(2, 8, 8, 9) + row(3, 10, 8, 7) + [(4, 16, 8)]
    return t


def waves():
    # Three bands two tiles deep; the columns rise and fall half a tile at a
    # time, and the crests carry a ridge. Beside a column half a tile higher
    # or lower, a tile is blocked on that side, so an unbroken band opens only
    # at its two ends; a crack half a tile wide at each trough cuts every band
    # into short runs.
    t = []
    for band in range(3):
        crack = 0
        for c in range(WAVE_COLUMNS):
            phase = c % WAVE_PERIOD
            drop = min(phase, WAVE_PERIOD - phase)
            x, y = 2 * c + crack, 6 * band + drop
            t += column(1, x, y, 2)
            if drop <= 2:
                t.append((2, x, y + 1))
            if drop <= 1:
                t.append((3, x, y + 1))
            if phase == WAVE_PERIOD // 2:
                crack += 1          # between the two columns of a trough
    return t


def flower():
    # Eight petals round a raised heart, each petal with a raised midrib.
    # The heart steps in by a whole tile on each layer, so the ends of its
    # rows open one layer at a time instead of all waiting for the top.
    t = pic(1, """
        .XX...XXX...XX.
        .XXX..XXX..XXX.
        ..XXX.XXX.XXX..
        XX..XXXXXXX..XX
        XXX.XXXXXXX.XXX
        XX..XXXXXXX..XX
        ..XXX.XXX.XXX..
        .XXX..XXX..XXX.
        .XX...XXX...XX.
    """)
    t += pic(2, """
        ...............
        .XX...XXX...XX.
        ..XX.......XX..
        .....XXXXX.....
        .XX..XXXXX..XX.
        .....XXXXX.....
        ..XX.......XX..
        .XX...XXX...XX.
    """)
    t += pic(3, """
        ...............
        .X.....X.....X.
        ...............
        ......XXX......
        ......XXX......
        ......XXX......
        ...............
        .X.....X.....X.
    """)
    t += pic(4, """
        ...............
        ...............
        ...............
        .......X.......
        .......X.......
        .......X.......
    """)
    return t


def arena():
    # An oval bowl: two tiers of seats round an open floor, with raised
    # stands at the middle of each side.
    t = pic(1, """
        ...XXXXXXXXX...
        .XXXXXXXXXXXXX.
        XXXX.......XXXX
        XXX.........XXX
        XXX.........XXX
        XXX.........XXX
        XXXX.......XXXX
        .XXXXXXXXXXXXX.
        ...XXXXXXXXX...
    """)
    t += pic(2, """
        ...XXXXXXXXX...
        .XXXX.....XXXX.
        XXX.........XXX
        XX...........XX
        XX...........XX
        XX...........XX
        XXX.........XXX
        .XXXX.....XXXX.
        ...XXXXXXXXX...
    """)
    t += pic(3, """
        ......XXX......
        ...............
        ...............
        ...............
        X.............X
        ...............
        ...............
        ...............
        ......XXX......
    """)
    return t


def canyon():
    # Plateaus on both sides falling in steps to the floor, and a river down
    # the middle; the cliff edges wander from row to row so the walls look
    # worn, not built. The river splits every floor row, so the floor can be
    # taken from the water's edge; a row from cliff to cliff would open only
    # once a plateau was dug away.
    side = rect(1, 0, 0, 5, 8)
    for r, (w2, w3) in enumerate(((3, 2), (3, 1), (2, 1), (2, 2), (3, 2), (3, 1), (2, 1), (2, 2))):
        side += row(2, 0, 2 * r, w2) + row(3, 0, 2 * r, w3)
    return mirror_x(side, 22)


def montezuma():
    # Stepped pyramid with a stairway up the front and a shrine on top.
    t = rect(1, 0, 0, 9, 8)
    t += rect(2, 2, 2, 7, 6) + [(2, 8, 14)]
    t += rect(3, 4, 4, 5, 4) + [(3, 8, 12)]
    t += rect(4, 6, 6, 3, 2) + [(4, 8, 10)]
    t += [(5, 8, 7)]
    return t


def harmony():
    # Balanced both ways: a diamond mound in the middle, four square
    # corner blocks each capped half a tile over, and a bridge across.
    t = pic(1, """
        XXX....X....XXX
        XXX...XXX...XXX
        XXX..XXXXX..XXX
        ....XXXXXXX....
        XXXXXXXXXXXXXXX
        ....XXXXXXX....
        XXX..XXXXX..XXX
        XXX...XXX...XXX
        XXX....X....XXX
    """)
    for x, y in ((0, 0), (24, 0), (0, 12), (24, 12)):
        t += rect(2, x + 1, y + 1, 2, 2)
    t += pic(2, """
        ...............
        .......X.......
        ......XXX......
        .....XXXXX.....
        .X..XXXXXXX..X.
        .....XXXXX.....
        ......XXX......
        .......X.......
    """)
    t += pic(3, """
        ...............
        ...............
        .......X.......
        ......XXX......
        .....XXXXX.....
        ......XXX......
        .......X.......
    """)
    t += pic(4, """
        ...............
        ...............
        ...............
        .......X.......
        ......XXX......
        .......X.......
    """)
    return t


def aqab():
    # A spread eagle: head up, broad wings with feather tips, fan tail. A
    # notch in every shoulder row keeps the wings' rows apart from the body's:
    # a row across the whole span would open only at the wing tips.
    t = pic(1, """
        .......XXX.......
        X.....XXXXX.....X
        XXX.XXXXXXXXX.XXX
        XXXX.XXXXXXX.XXXX
        XXX.XXXXXXXXX.XXX
        .X.X.XXXXXXX.X.X.
        ......XXXXX......
        .....XXXXXXX.....
        ....XXX.X.XXX....
    """)
    t += pic(2, """
        .................
        .......XXX.......
        .....XXXXXXX.....
        .XXX.XXXXXXX.XXX.
        .XX..XXXXXXX..XX.
        .......XXX.......
        .......XXX.......
    """)
    t += pic(3, """
        .................
        .......XXX.......
        .......XXX.......
        ..X....XXX....X..
        ......XXXXX......
        ........X........
    """)
    t += pic(4, """
        .................
        .................
        .................
        ........X........
        ........X........
    """)
    return t


def corvalo():
    # A gem cut from brick-laid rows: every other row sits half a tile over.
    # Each layer is a whole tile shorter at both ends of every row, so the
    # facets step and the row ends below lie open; a layer only half a tile
    # shorter overhangs those ends and keeps every row below shut until all
    # the layers above it are cleared.
    t = []
    widths = (5, 7, 8, 9, 10, 9, 8, 7, 5)
    for layer in (1, 2, 3):
        inset = layer - 1
        for r in range(inset, len(widths) - inset):
            n = widths[r] - 2 * inset
            # Centring n tiles on x = 20 starts odd widths half a tile over.
            t += row(layer, 20 - n, 2 * r, n)
    t += row(4, 18, 6, 2) + row(4, 16, 8, 4) + row(4, 18, 10, 2)   # the table
    return t


LAYOUTS = [
    ("Aqab", aqab),
    ("Arena", arena),
    ("Butterfly", butterfly),
    ("Canyon", canyon),
    ("Flower", flower),
    ("Harmony", harmony),
    ("Labyrinth", labyrinth),
    ("Montezuma", montezuma),
    ("Corvalo", corvalo),
    ("Split Pyramid", split_pyramid),
    ("Temple", temple),
    ("Turtle", turtle),
    ("Waves", waves),
]


def build_all():
    return [Layout(name, fn()) for name, fn in LAYOUTS]


# ---------------------------------------------------------------------------
# Drawing, for eyeballing shapes.

def render_text(layout):
    """Each layer as a grid (a tile is "[n ]" over "[__]"), then a height
    map of the whole heap."""
    lay = layout.normalised()
    lx, ux, ly, uy = extent(lay.tiles)
    out = []
    top = max(t[0] for t in lay.tiles)
    for l in range(1, top + 1):
        grid = [[" "] * (2 * (ux + 2)) for _ in range(uy + 2)]
        for tl, x, y in lay.tiles:
            if tl != l:
                continue
            for dy, text in ((0, "[%-2d]" % l), (1, "[__]")):
                for i, ch in enumerate(text):
                    grid[y + dy][2 * x + i] = ch
        n = sum(1 for t in lay.tiles if t[0] == l)
        out.append("layer %d (%d tiles)" % (l, n))
        out += ["".join(g).rstrip() for g in grid]
    heights = [["."] * (ux + 2) for _ in range(uy + 2)]
    for l, x, y in sorted(lay.tiles):
        for cx, cy in cells((l, x, y)):
            heights[cy][cx] = str(l)
    out.append("height map (one character per half tile)")
    out += ["".join(" " + h for h in r) for r in heights]
    return "\n".join(out)


def write_png(path, layout, scale=12):
    """A top-down picture: tiles drawn bottom layer first, each higher
    layer darker and lifted up-left a little, so height shows."""
    lay = layout.normalised()
    lx, ux, ly, uy = extent(lay.tiles)
    top = max(t[0] for t in lay.tiles)
    lift = scale // 2
    w = (ux + 2) * scale + top * lift + 4
    h = (uy + 2) * scale + top * lift + 4
    px = bytearray(b"\x30\x60\x40" * (w * h))
    for l, x, y in sorted(lay.tiles):
        ox = x * scale + (top - l + 1) * lift + 2
        oy = y * scale + (top - l + 1) * lift + 2
        shade = 255 - (l - 1) * 38
        face = (shade, shade, int(shade * 0.85))
        for yy in range(oy, oy + 2 * scale):
            for xx in range(ox, ox + 2 * scale):
                edge = yy in (oy, oy + 2 * scale - 1) or xx in (ox, ox + 2 * scale - 1)
                c = (40, 40, 40) if edge else face
                i = 3 * (yy * w + xx)
                px[i:i + 3] = bytes(c)
    raw = b"".join(b"\x00" + bytes(px[3 * w * r:3 * w * (r + 1)]) for r in range(h))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# Winnability. Whether a deal can be cleared depends on the faces, so it is
# measured, not derived from the shape: the command-line tool deals random
# games and decides each one exactly.

SURVEY_LINE = re.compile(r"^(?P<name>.+): (?P<deals>\d+) deals, (?P<won>\d+) winnable, "
                         r"(?P<lost>\d+) not winnable, (?P<unknown>\d+) unknown\b")


class SurveyError(Exception):
    pass


def survey_cli(explicit=None):
    """The tilvane-cli to survey with: the one named, or else the build's own
    if it offers the survey; None when there is none. A named one that cannot
    survey is an error."""
    path = explicit or DEFAULT_CLI
    try:
        usage = subprocess.run([path, "--help"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True).stdout
    except OSError as e:
        if explicit:
            raise SurveyError("cannot run %s: %s" % (path, e.strerror or e))
        return None
    if not re.search(r"^\s*survey\b", usage, re.MULTILINE):
        if explicit:
            raise SurveyError("%s has no survey command" % path)
        return None
    return path


def survey(cli, paths, deals):
    """Decides `deals` random deals of every layout file; returns the parsed
    summary lines by layout name. Each line is echoed as it arrives, since a
    survey of all layouts takes a while."""
    command = [cli, "survey"] + list(paths) + ["--deals", str(deals)]
    found = {}
    other = []
    try:
        with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              text=True, errors="replace") as run:
            for line in run.stdout:
                line = line.rstrip("\n")
                match = SURVEY_LINE.match(line)
                if match:
                    print("survey  " + line, flush=True)
                    found[match.group("name")] = {k: int(v) for k, v in match.groupdict().items()
                                                  if k != "name"}
                else:
                    other.append(line)
    except OSError as e:
        raise SurveyError("cannot run %s: %s" % (cli, e.strerror or e))
    if run.returncode != 0:
        said = " ".join(l.strip() for l in other[-3:] if l.strip())
        raise SurveyError("%s survey failed with exit code %d%s"
                          % (cli, run.returncode, ": " + said if said else ""))
    return found


def survey_problems(names, found):
    """A message for every layout that loses too many deals or that the
    survey did not report. Undecided deals count as lost: a layout whose deals
    cannot be decided is no better."""
    errs = []
    for name in names:
        counts = found.get(name)
        if counts is None or counts["deals"] == 0:
            errs.append("%s: the survey did not report on this layout" % name)
            continue
        lost = counts["lost"] + counts["unknown"]
        share = lost / counts["deals"]
        if share > MAX_LOST_SHARE:
            errs.append("%s: %d of %d random deals cannot be won (%.1f %%, %d of them undecided); "
                        "at most %g %% may be lost"
                        % (name, lost, counts["deals"], 100 * share, counts["unknown"],
                           100 * MAX_LOST_SHARE))
    return errs


def survey_faults(directory, names, args):
    """Surveys the layouts in directory as the options ask; returns the
    number of faults, after printing them."""
    if args.deals == 0:
        return 0
    try:
        cli = survey_cli(args.cli)
        if cli is None:
            print("note: no tilvane-cli with a survey at %s; winnability not checked "
                  "(--cli names one)" % DEFAULT_CLI, file=sys.stderr)
            return 0
        paths = [os.path.join(directory, name + ".tllf") for name in names]
        errs = survey_problems(names, survey(cli, paths, args.deals))
    except SurveyError as e:
        errs = [str(e)]
    for e in errs:
        print(e, file=sys.stderr)
    return len(errs)


def write_layouts(layouts, directory):
    os.makedirs(directory, exist_ok=True)
    for lay in layouts:
        with open(os.path.join(directory, lay.filename), "w", encoding="utf-8", newline="\n") as f:
            f.write(to_xml(lay))


# ---------------------------------------------------------------------------

def describe(layout):
    tiles = layout.tiles
    w, h = size_in_tiles(tiles)
    return "%-14s %3d tiles  %d layers  %gx%g tiles  %d free at start" % (
        layout.name, len(tiles), max(t[0] for t in tiles), w, h, len(free_tiles(tiles)))


def check_dir(directory, names=None):
    """Validate the .tllf files in directory; returns the number of faults."""
    names = names or [name for name, _ in LAYOUTS]
    if not os.path.isdir(directory):
        print("%s: no such directory" % directory, file=sys.stderr)
        return 1
    faults = 0
    for name in names:
        path = os.path.join(directory, name + ".tllf")
        try:
            layout, header = read_file(path)
            errs = problems(layout, header)
            if name == "Turtle":
                errs += turtle_problems(layout)
            if layout.name != name:
                errs.append("file holds layout %r" % layout.name)
            with open(path, encoding="utf-8") as f:
                if f.read() != to_xml(layout):
                    errs.append("not in the canonical layout, order or formatting")
        except (OSError, ET.ParseError, ValueError, TypeError) as e:
            errs = ["unreadable: %s" % e]
        if errs:
            faults += len(errs)
            for e in errs:
                print("%s: %s" % (path, e), file=sys.stderr)
        else:
            print("ok  " + describe(layout))
    extra = sorted(f for f in os.listdir(directory)
                   if f.endswith(".tllf") and f[:-5] not in names)
    for f in extra:
        print("%s: not a built-in layout" % os.path.join(directory, f), file=sys.stderr)
        faults += 1
    return faults


def main(argv):
    ap = argparse.ArgumentParser(description="Build and check the built-in layouts.")
    mode = ap.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true",
                      help="validate the .tllf files in --out instead of writing them")
    mode.add_argument("--render", nargs="?", const="", metavar="NAME",
                      help="print the layers of one layout (default: all) as text")
    mode.add_argument("--png", metavar="DIR", help="write a picture of every layout to DIR")
    ap.add_argument("--out", default=DEFAULT_OUT, help="layout directory (default: %(default)s)")
    ap.add_argument("--cli", metavar="PATH",
                    help="tilvane-cli that surveys random deals (default: %s, if it can)" % DEFAULT_CLI)
    ap.add_argument("--deals", type=int, default=SURVEY_DEALS, metavar="N",
                    help="random deals surveyed per layout; 0 skips the survey (default: %(default)s)")
    args = ap.parse_args(argv)
    if args.deals < 0:
        ap.error("--deals must not be negative")
    names = [name for name, _ in LAYOUTS]

    if args.check:
        faults = check_dir(args.out)
        if not faults:
            faults = survey_faults(args.out, names, args)
        if faults:
            print("%d fault(s)" % faults, file=sys.stderr)
            return 1
        return 0

    layouts = build_all()
    faults = 0
    for lay in layouts:
        errs = problems(lay)
        if lay.name == "Turtle":
            errs += turtle_problems(lay)
        for e in errs:
            print("%s: %s" % (lay.name, e), file=sys.stderr)
        faults += len(errs)
    if args.render is not None:
        for lay in layouts:
            if args.render in ("", lay.name):
                print("== " + describe(lay))
                print(render_text(lay))
        return 1 if faults else 0
    if args.png:
        os.makedirs(args.png, exist_ok=True)
        for lay in layouts:
            write_png(os.path.join(args.png, lay.name + ".png"), lay)
        return 1 if faults else 0
    if not faults:
        # A staging copy is surveyed, so nothing reaches --out unless all pass.
        staging = tempfile.mkdtemp(prefix="layouts-")
        try:
            write_layouts(layouts, staging)
            faults = survey_faults(staging, names, args)
        finally:
            shutil.rmtree(staging)
    if faults:
        print("%d fault(s); nothing written" % faults, file=sys.stderr)
        return 1
    write_layouts(layouts, args.out)
    for lay in layouts:
        print(describe(lay))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
