#!/usr/bin/python3
"""A numpy + PIL script doing a benchmark workload the way a user would: one process, slice by slice.

usage: peer_numpy.py W1|W2|W3|W4|W5 SRC_FOLDER PREFIX DST_FOLDER
"""
import os
import re
import sys

import numpy as np
from PIL import Image


def slices(folder, prefix, ext):
    name = re.compile(re.escape(prefix) + r"(\d{4})\." + ext + "$")
    found = sorted((int(m.group(1)), e.path) for e in os.scandir(folder)
                   if (m := name.match(e.name)))
    return found


def grey(path):
    return np.asarray(Image.open(path).convert("L"))


def halve_sum(a, dtype):
    h, w = (a.shape[0] // 2) * 2, (a.shape[1] // 2) * 2
    b = a[:h, :w].astype(dtype)
    return b[0::2, 0::2] + b[1::2, 0::2] + b[0::2, 1::2] + b[1::2, 1::2]


def write_tiff16(a, path):
    a = np.ascontiguousarray(a, dtype="<u2")
    Image.frombuffer("I;16", (a.shape[1], a.shape[0]), a.tobytes(), "raw", "I;16", 0, 1).save(
        path, format="TIFF", compression="raw")


def main(work, src, prefix, dst):
    os.makedirs(dst, exist_ok=True)
    out = lambda n, ext: os.path.join(dst, "%s%04d.%s" % (prefix, n, ext))
    if work == "W4":
        for n, p in slices(src, prefix, "tif"):
            s = halve_sum(np.asarray(Image.open(p)), np.uint32)
            write_tiff16(s >> 2, out(n, "tif"))
        return
    files = slices(src, prefix, "bmp")
    if work == "W1":
        for n, p in files:
            write_tiff16(grey(p).astype(np.uint16) << 8, out(n, "tif"))
    elif work == "W2":
        for n, p in files:
            Image.open(p).convert("L").save(out(n, "jpg"), format="JPEG", quality=75)
    elif work == "W3":
        for n, p in files:
            a = (halve_sum(grey(p), np.uint16) >> 2).astype(np.uint8)
            Image.fromarray(a, mode="L").save(out(n, "bmp"), format="BMP")
    elif work == "W5":
        for k in range(0, len(files), 2):
            pair = files[k:k + 2]
            s = sum(halve_sum(grey(p), np.uint16) for _, p in pair)
            a = (s // (4 * len(pair))).astype(np.uint8)
            Image.fromarray(a, mode="L").save(out(k // 2, "bmp"), format="BMP")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(sys.argv[1].upper(), *sys.argv[2:])
