#!/usr/bin/python3
"""Packs a text for the program's resources: its length as 4 bytes (little-endian), then the
text as one zlib stream at maximum compression. Usage: pack.py INPUT OUTPUT"""
import sys
import zlib

data = open(sys.argv[1], "rb").read()
with open(sys.argv[2], "wb") as out:
    out.write(len(data).to_bytes(4, "little") + zlib.compress(data, 9))
