#!/usr/bin/env python3
"""Tests for the layout builder and checker: python3 -m unittest in this folder."""

import io
import json
import os
import shutil
import stat
import sys
import tempfile
import unittest
from contextlib import redirect_stderr, redirect_stdout

import make_layouts as M

NAMES = ["Aqab", "Arena", "Butterfly", "Canyon", "Flower", "Harmony", "Labyrinth",
         "Montezuma", "Corvalo", "Split Pyramid", "Temple", "Turtle", "Waves"]


def quiet(fn, *args):
    with redirect_stdout(io.StringIO()), redirect_stderr(io.StringIO()) as err:
        result = fn(*args)
    return result, err.getvalue()


def sound_block():
    """A valid 144-tile heap to break in small ways: a 12x8 base, 6x6 on
    it, and 3x4 on top of that half a tile over."""
    t = M.rect(1, 0, 0, 12, 8) + M.rect(2, 4, 2, 6, 6)   # 96 + 36
    t += M.rect(3, 7, 5, 3, 4)                            # 12, half a tile over
    assert len(t) == 144
    return t


class BuiltLayouts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.layouts = {lay.name: lay for lay in M.build_all()}

    def test_exactly_the_thirteen_names(self):
        self.assertEqual(sorted(self.layouts), sorted(NAMES))

    def test_every_layout_obeys_the_rules(self):
        for name, lay in self.layouts.items():
            with self.subTest(name):
                self.assertEqual(M.problems(lay), [])

    def test_turtle_has_its_classic_shape(self):
        self.assertEqual(M.turtle_problems(self.layouts["Turtle"]), [])

    def test_designs_are_mirror_symmetric_except_the_turtle(self):
        # The art is typed by hand; a stray character shows up here.
        for name, lay in self.layouts.items():
            if name == "Turtle":
                continue
            with self.subTest(name):
                tiles = lay.normalised().tiles
                _, ux, _, _ = M.extent(tiles)
                self.assertEqual(set(tiles), {(l, ux - x, y) for l, x, y in tiles})

    def test_designs_differ_and_most_are_layered(self):
        shapes = {frozenset(lay.normalised().tiles) for lay in self.layouts.values()}
        self.assertEqual(len(shapes), len(NAMES))
        for name, lay in self.layouts.items():
            with self.subTest(name):
                self.assertGreaterEqual(max(t[0] for t in lay.tiles), 3)


class Rules(unittest.TestCase):
    def test_the_sample_heap_is_sound(self):
        self.assertEqual(M.problems(M.Layout("x", sound_block())), [])

    def assertFault(self, tiles, words):
        errs = M.problems(M.Layout("x", tiles))
        self.assertTrue(any(words in e for e in errs), errs)

    def test_count_and_duplicates(self):
        t = sound_block()
        self.assertFault(t[:-1], "has 143 tiles")
        self.assertFault(t[:-1] + [t[0]], "repeats a position")

    def test_overlap_within_a_layer(self):
        t = sound_block()
        t[1] = (1, 3, 0)     # half a tile onto its right neighbour
        self.assertFault(t, "overlap")
        t = sound_block()
        t[1] = (1, 3, 1)     # half over in both directions still overlaps
        self.assertFault(t, "overlap")

    def test_support_needs_all_four_cells(self):
        for hanging in ((3, 3, 5),    # one column of cells off the 6x6 layer
                        (3, 3, 1)):   # off by half a tile both ways
            t = sound_block()
            t[t.index((3, 7, 5))] = hanging
            with self.subTest(hanging):
                self.assertFault(t, "not fully supported")

    def test_support_counts_only_the_layer_directly_below(self):
        t = sound_block()
        t.remove((3, 7, 5))
        t.append((4, 9, 7))  # resting on layer 3 is fine ...
        self.assertEqual(M.problems(M.Layout("x", t)), [])
        t[-1] = (5, 9, 7)    # ... skipping a layer is not
        errs = M.problems(M.Layout("x", t))
        self.assertTrue(any("layer 4 is empty" in e for e in errs), errs)

    def test_size_limits(self):
        wide = M.rect(1, 0, 0, 18, 8)
        self.assertFault(wide, "18.0 tiles wide")
        tall = M.rect(1, 0, 0, 13, 11)
        self.assertFault(tall, "11.0 tiles high")
        flat_row = M.row(1, 0, 0, 144)
        self.assertFault(flat_row, "tiles wide")

    def test_towers_are_refused(self):
        t = sound_block()[:-7] + [(l, 0, 0) for l in range(2, 9)]
        self.assertFault(t, "8 layers")

    def test_negative_coordinates(self):
        t = sound_block()
        t[0] = (1, -2, 0)
        self.assertFault(t, "negative")

    def test_checksum_wraps_at_32_bits(self):
        self.assertEqual(M.checksum([(1, 2, 0), (2, 3, 1)]), 1 + 4 + 4 + 9 + 1)
        self.assertEqual(M.checksum([(1, 70000, 0)]), (1 + 70000 ** 2) % 2 ** 32)

    def test_free_tiles_and_clearing(self):
        row = M.row(1, 0, 0, 4)
        self.assertEqual(sorted(M.free_tiles(row)), [(1, 0, 0), (1, 6, 0)])
        # A half-offset neighbour still blocks a side.
        self.assertEqual(M.free_tiles([(1, 0, 0), (1, 2, 1), (1, 4, 0)]),
                         [(1, 0, 0), (1, 4, 0)])
        # Anything overlapping from above blocks, even half a tile.
        self.assertNotIn((1, 0, 0), M.free_tiles([(1, 0, 0), (1, 2, 0), (2, 1, 0)]))
        self.assertTrue(M.can_clear(row))
        self.assertFalse(M.can_clear([(1, 0, 0), (2, 0, 0), (3, 0, 0), (4, 0, 0)]))

    def test_turtle_checker_notices_a_moved_tile(self):
        t = M.turtle()
        t[t.index((1, 26, 7))] = (1, 26, 6)
        self.assertTrue(M.turtle_problems(M.Layout("Turtle", t)))
        t = M.turtle()
        t[t.index((5, 13, 7))] = (5, 12, 6)
        self.assertTrue(M.turtle_problems(M.Layout("Turtle", t)))


class Files(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        rc, err = quiet(M.main, ["--out", self.dir, "--deals", "0"])
        self.assertEqual(rc, 0, err)

    def path(self, name):
        return os.path.join(self.dir, name + ".tllf")

    def edit(self, name, old, new, count=1):
        with open(self.path(name), encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        with open(self.path(name), "w", encoding="utf-8") as f:
            f.write(text.replace(old, new, count))

    def faults(self):
        return quiet(M.check_dir, self.dir)

    def test_committed_files_are_what_the_builder_writes(self):
        for name in NAMES:
            with self.subTest(name):
                with open(self.path(name), "rb") as a, \
                        open(os.path.join(M.DEFAULT_OUT, name + ".tllf"), "rb") as b:
                    self.assertEqual(a.read(), b.read())

    def test_fresh_files_pass_and_read_back_unchanged(self):
        self.assertEqual(self.faults(), (0, ""))
        built = {lay.name: lay.normalised().tiles for lay in M.build_all()}
        for name in NAMES:
            lay, header = M.read_file(self.path(name))
            self.assertEqual(lay.tiles, built[name])
            self.assertEqual(header["name"], name)

    def test_header_must_hold_true_values(self):
        self.edit("Waves", 'cs="', 'cs="1')
        self.edit("Arena", 'lx="0"', 'lx="-2"')
        self.edit("Temple", 'layers="5"', 'layers="6"')
        n, err = self.faults()
        self.assertEqual(n, 6)       # each also fails the canonical-text check
        for word in ("Waves.tllf: attribute cs", "Arena.tllf: attribute lx",
                     "Temple.tllf: attribute layers"):
            self.assertIn(word, err)

    def test_tile_changes_are_caught(self):
        self.edit("Flower", '<tile layer="4"', '<tile layer="5"')
        self.edit("Canyon", '    <tile layer="1" x="0" y="0"/>\n', "")
        n, err = self.faults()
        self.assertIn("Flower.tllf: tile (5,", err)
        self.assertIn("Canyon.tllf: has 143 tiles", err)

    def test_order_and_format_are_canonical(self):
        with open(self.path("Harmony"), encoding="utf-8") as f:
            lines = f.read().split("\n")
        lines[3], lines[4] = lines[4], lines[3]      # two tiles swapped
        with open(self.path("Harmony"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
        n, err = self.faults()
        self.assertEqual(n, 1)
        self.assertIn("Harmony.tllf: not in the canonical", err)

    def test_missing_broken_and_stray_files(self):
        os.remove(self.path("Aqab"))
        with open(self.path("Corvalo"), "w") as f:
            f.write("<layout")
        open(os.path.join(self.dir, "Extra.tllf"), "w").close()
        n, err = self.faults()
        self.assertEqual(n, 3)
        self.assertIn("Aqab.tllf: unreadable", err)
        self.assertIn("Corvalo.tllf: unreadable", err)
        self.assertIn("Extra.tllf: not a built-in layout", err)

    def test_name_with_a_blank_and_markup_characters(self):
        lay, _ = M.read_file(self.path("Split Pyramid"))
        self.assertEqual(lay.name, "Split Pyramid")
        odd = M.Layout('A & "B"', sound_block())
        with open(os.path.join(self.dir, "odd.xml"), "w", encoding="utf-8") as f:
            f.write(M.to_xml(odd))
        back, header = M.read_file(os.path.join(self.dir, "odd.xml"))
        self.assertEqual(back.name, 'A & "B"')
        self.assertEqual(M.problems(back, header), [])


# Stands in for tilvane-cli: answers --help with the text in fake.json and a
# survey with a summary line per layout file, losing the deals fake.json names;
# it keeps the arguments of the survey in args.json.
FAKE_CLI = """#!%s
import json, os, sys
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "fake.json")) as f:
    cfg = json.load(f)
if sys.argv[1:] == ["--help"]:
    print(cfg["help"])
    sys.exit(0)
with open(os.path.join(here, "args.json"), "w") as f:
    json.dump(sys.argv[1:], f)
deals = int(sys.argv[sys.argv.index("--deals") + 1])
for path in sys.argv[2:sys.argv.index("--deals")]:
    name = os.path.basename(path)[:-len(".tllf")]
    if name in cfg.get("silent", []):
        continue
    lost, unknown = cfg.get("lost", {}).get(name, [0, 0])
    print("%%s: %%d deals, %%d winnable, %%d not winnable, %%d unknown, median 1.0 ms, "
          "p99 2.0 ms, max 3.0 ms" %% (name, deals, deals - lost - unknown, lost, unknown))
print(cfg.get("complaint", ""), file=sys.stderr)
sys.exit(cfg.get("exit", 0))
""" % sys.executable

SURVEY_HELP = "Commands:\n  check LAYOUT\n  survey LAYOUT... --deals N"
FILES = sorted(n + ".tllf" for n in NAMES)


class Survey(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        self.out = os.path.join(self.dir, "layouts")
        self.cli = os.path.join(self.dir, "tilvane-cli")
        with open(self.cli, "w") as f:
            f.write(FAKE_CLI)
        os.chmod(self.cli, os.stat(self.cli).st_mode | stat.S_IXUSR)

    def fake(self, **cfg):
        cfg.setdefault("help", SURVEY_HELP)
        with open(os.path.join(self.dir, "fake.json"), "w") as f:
            json.dump(cfg, f)

    def surveyed(self):
        with open(os.path.join(self.dir, "args.json")) as f:
            return json.load(f)

    def written(self):
        return sorted(os.listdir(self.out)) if os.path.isdir(self.out) else []

    def test_the_share_of_lost_deals_decides(self):
        cases = [({}, ""),
                 ({"Waves": [50, 0]}, ""),                         # exactly one in twenty
                 ({"Waves": [51, 0]}, "Waves: 51 of 1000 random deals cannot be won (5.1 %"),
                 ({"Corvalo": [40, 11]}, "Corvalo: 51 of 1000 random deals cannot be won "
                                         "(5.1 %, 11 of them undecided)")]
        for lost, fault in cases:
            with self.subTest(lost):
                shutil.rmtree(self.out, ignore_errors=True)
                self.fake(lost=lost)
                rc, err = quiet(M.main, ["--out", self.out, "--cli", self.cli])
                self.assertEqual(rc, 1 if fault else 0, err)
                self.assertIn(fault, err)
                self.assertEqual(self.written(), [] if fault else FILES)
                args = self.surveyed()
                self.assertEqual([args[0]] + sorted(os.path.basename(a) for a in args[1:-2]) + args[-2:],
                                 ["survey"] + FILES + ["--deals", "1000"])

    def test_check_surveys_the_files_in_place(self):
        self.assertEqual(quiet(M.main, ["--out", self.out, "--deals", "0"])[0], 0)
        self.fake(lost={"Canyon": [2, 0]})
        rc, err = quiet(M.main, ["--check", "--out", self.out, "--cli", self.cli, "--deals", "20"])
        self.assertEqual(rc, 1)
        self.assertIn("Canyon: 2 of 20 random deals", err)
        args = self.surveyed()
        self.assertEqual(args[-2:], ["--deals", "20"])
        self.assertTrue(all(os.path.dirname(a) == self.out for a in args[1:-2]))

    def test_a_survey_that_cannot_be_trusted_is_a_fault(self):
        cases = [(dict(help="Commands:\n  check LAYOUT"), self.cli, "has no survey command"),
                 (dict(), os.path.join(self.dir, "absent"), "cannot run"),
                 (dict(exit=1, complaint="no such layout"), self.cli,
                  "survey failed with exit code 1: no such layout"),
                 (dict(silent=["Temple"]), self.cli, "Temple: the survey did not report")]
        for cfg, cli, fault in cases:
            with self.subTest(fault):
                self.fake(**cfg)
                rc, err = quiet(M.main, ["--out", self.out, "--cli", cli])
                self.assertEqual(rc, 1)
                self.assertIn(fault, err)
                self.assertEqual(self.written(), [])

    def test_without_a_cli_the_survey_is_left_out(self):
        self.fake(lost={"Waves": [1000, 0]})
        default = M.DEFAULT_CLI
        try:
            M.DEFAULT_CLI = os.path.join(self.dir, "absent")
            rc, err = quiet(M.main, ["--out", self.out])
            self.assertEqual(rc, 0, err)
            self.assertIn("winnability not checked", err)
            M.DEFAULT_CLI = self.cli      # present, but told to skip
            self.assertEqual(quiet(M.main, ["--out", self.out, "--deals", "0"])[0], 0)
        finally:
            M.DEFAULT_CLI = default
        self.assertFalse(os.path.exists(os.path.join(self.dir, "args.json")))


@unittest.skipUnless(os.access(os.environ.get("TILVANE_CLI", ""), os.X_OK),
                     "TILVANE_CLI names no tilvane-cli")
class RealSurvey(unittest.TestCase):
    def test_the_tools_summary_line_is_understood(self):
        cli = M.survey_cli(os.environ["TILVANE_CLI"])
        found, _ = quiet(M.survey, cli, [os.path.join(M.DEFAULT_OUT, "Butterfly.tllf")], 3)
        counts = found["Butterfly"]
        self.assertEqual((len(found), counts["deals"], counts["won"] + counts["lost"] + counts["unknown"]),
                         (1, 3, 3))


if __name__ == "__main__":
    unittest.main()
