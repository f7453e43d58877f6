#!/usr/bin/env python3
"""Writes the kept fuzz corpus: whole pages of every kind from the simulator's
demo register, one or two a kind, and a small logo bitmap.

usage: seed_corpus.py ECR_SIM CORPUS_DIR

An input is: target byte (index into the fuzz target's kinds, the logo last),
settings byte (0x08: 2 decimals, data version 322, page index 0), the page.
"""
import os
import subprocess
import sys
import tempfile

# The fuzz target's kinds, in its order; the logo is the next target.
KINDS = [4112, 4113, 4115, 4116, 4117, 4134, 4136, 4144, 4176, 4192, 4256, 4352, 4096]
LOGO = len(KINDS)
SETTINGS = 0x08
# Kinds of several pages: their second demo page is kept as well.
PAGED = {4096, 4134, 4136, 4144, 4176, 4192, 4352}
# The second journal area holds no demo data; it reads journal pages too.
SAME_AS = {4256: 4352}


def demo_pages(sim):
    with tempfile.TemporaryDirectory() as d:
        image = os.path.join(d, "demo.img")
        p = subprocess.Popen([sim, "--demo", "--quiet", "--image", image], stdout=subprocess.PIPE)
        p.stdout.readline()  # the device: the image is written by then
        p.terminate()
        p.wait()
        data = open(image, "rb").read()
    assert data[:8] == b"ECRSIM1\n", "not a simulator image"
    pages, pos = {}, 8
    while pos + 2 + 4096 <= len(data):
        addr = data[pos] | data[pos + 1] << 8
        pages[addr] = data[pos + 2:pos + 2 + 4096]
        pos += 2 + 4096
    return pages


def main():
    sim, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    pages = demo_pages(sim)
    for target, kind in enumerate(KINDS):
        # The kind's first page, and its second where the demo fills one.
        for index in ((0, 1) if kind in PAGED else (0,)):
            page = pages.get(SAME_AS.get(kind, kind) + index)
            if page is None:
                continue
            settings = SETTINGS | (index << 5)
            name = os.path.join(out, "%d-page%d" % (kind, index))
            with open(name, "wb") as f:
                f.write(bytes([target, settings]) + page)
    # 16 x 2 monochrome bitmap.
    bmp = bytearray(62)
    bmp[0:2] = b"BM"
    bmp[10], bmp[14], bmp[18], bmp[22], bmp[26], bmp[28] = 62, 40, 16, 2, 1, 1
    bmp += bytes([0x00, 0xFF, 0, 0, 0x0F, 0xF0, 0, 0])
    with open(os.path.join(out, "logo"), "wb") as f:
        f.write(bytes([LOGO, 0]) + bmp)


if __name__ == "__main__":
    main()
