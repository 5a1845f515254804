#!/usr/bin/env python3
"""Validate the committed layout files: make_layouts.py --check [--out DIR]
[--cli PATH] [--deals N].

Kept as its own entry point so a build or CI step can check data/layouts/,
their winnability included, without regenerating anything."""

import sys

import make_layouts

if __name__ == "__main__":
    sys.exit(make_layouts.main(["--check"] + sys.argv[1:]))
