#!/usr/bin/python3
"""Checks the committed pictures and icon against the facts the windows and
their tests rely on (sizes, PNG layout, colours, probe pixels, icon sizes).

    /usr/bin/python3 assets/art/check_art.py            # check the files
    /usr/bin/python3 assets/art/check_art.py --rebuild  # also redraw them into
        a temporary folder and require the same bytes (needs the drawing tools)

Exit status 0 when every check passes; each failure is printed.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))

YELLOW = (255, 249, 95)
BAR = (255, 253, 232)
WHITE = (255, 255, 255)
PALE_YELLOW = (247, 248, 175)

# Probe pixels, as listed in README.md.
BACKGROUND_YELLOW = [(30, 575), (775, 370), (790, 200), (5, 300), (400, 430), (520, 318),
                     (780, 595), (20, 560), (40, 590), (760, 300), (790, 440)]
BACKGROUND_BAR = [(63, 309), (507, 325), (285, 317), (63, 355), (507, 371), (283, 363)]
BACKGROUND_WHITE = [(55, 470), (740, 470)]
WARNING_OPAQUE = [(45, 12), (71, 12), (104, 12), (130, 12), (198, 12), (216, 12),
                  (304, 12), (360, 12), (43, 7), (372, 8)]
WARNING_CLEAR = [(0, 0), (399, 26), (8, 12), (383, 12), (200, 4), (200, 17), (390, 10), (5, 20)]
COMPLETION_PALE = [(0, 0), (1, 1), (301, 95), (300, 93), (150, 3), (5, 47), (296, 47), (150, 90)]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def chunks(path):
    """The chunk types of a PNG file, and its IHDR fields."""
    with open(path, 'rb') as f:
        data = f.read()
    check(data[:8] == b'\x89PNG\r\n\x1a\n', '%s: not a PNG signature' % path)
    pos, kinds, ihdr = 8, [], None
    while pos < len(data):
        length, = struct.unpack('>I', data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])
        check(zlib.crc32(kind + body) == crc, '%s: bad CRC in %r' % (path, kind))
        if kind == b'IHDR':
            ihdr = struct.unpack('>IIBBBBB', body)
        kinds.append(kind.decode('ascii'))
        pos += 12 + length
    return kinds, ihdr


def check_png(name, size):
    path = os.path.join(HERE, name)
    kinds, ihdr = chunks(path)
    idat_only = [k for k in kinds if k != 'IDAT']
    check(idat_only == ['IHDR', 'IEND'] and kinds[0] == 'IHDR' and kinds[-1] == 'IEND'
          and 'IDAT' in kinds, '%s: chunks %s, expected IHDR, IDAT..., IEND' % (name, kinds))
    check(ihdr is not None and ihdr[:5] == (size[0], size[1], 8, 6, 0) and ihdr[6] == 0,
          '%s: IHDR %s, expected %dx%d, 8 bits, colour type 6, not interlaced' % (name, ihdr, *size))
    image = Image.open(path)
    check(image.mode == 'RGBA' and image.size == size,
          '%s: %s %s, expected RGBA %s' % (name, image.mode, image.size, size))
    return image.convert('RGBA')


def region(image, x0, y0, x1, y1):
    """Set of colours in the inclusive rectangle."""
    px = image.load()
    return {px[x, y] for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def check_background():
    image = check_png('background.png', (800, 600))
    px = image.load()
    check(image.getchannel('A').getextrema() == (255, 255), 'background: not fully opaque')
    for p in BACKGROUND_YELLOW:
        check(px[p] == YELLOW + (255,), 'background: %s is %s, expected yellow' % (p, px[p]))
    for box in ((20, 560, 40, 590), (760, 300, 790, 440), (0, 571, 799, 599), (513, 300, 530, 440),
                (725, 300, 799, 440)):
        check(region(image, *box) == {YELLOW + (255,)}, 'background: %s not all yellow' % (box,))
    for box in ((63, 309, 507, 325), (63, 355, 507, 371)):
        check(region(image, *box) == {BAR + (255,)}, 'background: label area %s not all %s' % (box, BAR))
    for p in BACKGROUND_BAR:
        check(px[p] == BAR + (255,), 'background: %s is %s, expected the bar colour' % (p, px[p]))
    for p in BACKGROUND_WHITE:
        check(px[p] == WHITE + (255,), 'background: %s is %s, expected white' % (p, px[p]))
    # the bars' outer rows and columns: drawn at the given extents, nothing beyond
    for y, (x0, x1) in ((318, (58, 512)), (366, (56, 510))):
        check(px[x0 - 1, y][:3] == YELLOW and px[x0, y][:3] != YELLOW
              and px[x1, y][:3] != YELLOW and px[x1 + 1, y][:3] == YELLOW,
              'background: bar at row %d does not span x %d-%d' % (y, x0, x1))
    for x, (y0, y1) in ((285, (306, 330)), (283, (354, 378))):
        check(px[x, y0 - 1][:3] == YELLOW and px[x, y0][:3] != YELLOW
              and px[x, y1][:3] != YELLOW and px[x, y1 + 1][:3] == YELLOW,
              'background: bar at column %d does not span y %d-%d' % (x, y0, y1))
    # the captions stand between the bar and the options
    for (y0, y1), (x0, x1) in (((304, 333), (531, 724)), ((352, 381), (552, 722))):
        ink = [x for x in range(513, 731) for y in range(y0, y1 + 1) if px[x, y][:3] != YELLOW]
        check(ink and min(ink) >= x0 and max(ink) <= x1,
              'background: caption at y %d-%d outside x %d-%d' % (y0, y1, x0, x1))
    # white box x 45-748, y 445-516, nothing of it beyond
    check(px[44, 480][:3] == YELLOW and px[45, 480][:3] != YELLOW and px[748, 480][:3] != YELLOW
          and px[749, 480][:3] == YELLOW and px[400, 444][:3] == YELLOW and px[400, 517][:3] == YELLOW,
          'background: the white box does not span x 45-748, y 445-516')
    # the ribbon stays in the top-left corner, the banner across the top
    check(region(image, 150, 88, 160, 95) == {YELLOW + (255,)}, 'background: ribbon beyond x 149')
    r, g, b, _ = px[300, 75]
    check(r > 200 and 60 < g < 160 and b < 60, 'background: (300, 75) is %s, expected banner orange' % (px[300, 75],))
    r, g, b, _ = px[40, 60]
    check(r > 180 and g < 120 and b < 40, 'background: (40, 60) is %s, expected ribbon orange' % (px[40, 60],))


def check_warning():
    image = check_png('warning.png', (400, 27))
    px = image.load()
    box = image.getchannel('A').getbbox()
    check(box is not None and box[0] >= 9 and box[1] >= 5 and box[2] <= 383 and box[3] <= 17,
          'warning: visible pixels in %s, expected within x 9-382, y 5-16' % (box,))
    opaque = 0
    for y in range(27):
        for x in range(400):
            r, g, b, a = px[x, y]
            if a:
                check((r, g, b) == (255, 0, 0), 'warning: (%d, %d) is %s, expected pure red' % (x, y, px[x, y]))
            else:
                check((r, g, b) == (0, 0, 0), 'warning: transparent (%d, %d) carries colour' % (x, y))
            opaque += a == 255
    check(opaque >= 100, 'warning: only %d fully opaque pixels' % opaque)
    alphas = set(image.getchannel('A').getdata())
    check(len(alphas) > 20, 'warning: edges are not anti-aliased')
    for p in WARNING_OPAQUE:
        check(px[p] == (255, 0, 0, 255), 'warning: %s is %s, expected opaque red' % (p, px[p]))
    for p in WARNING_CLEAR:
        check(px[p][3] == 0, 'warning: %s is %s, expected transparent' % (p, px[p]))


def check_completion():
    image = check_png('completion.png', (302, 96))
    px = image.load()
    check(image.getchannel('A').getextrema() == (255, 255), 'completion: not fully opaque')
    for p in COMPLETION_PALE:
        check(px[p] == PALE_YELLOW + (255,), 'completion: %s is %s, expected pale yellow' % (p, px[p]))
    # black text on pale yellow: every pixel lies between the two colours
    for y in range(96):
        for x in range(302):
            r, g, b, _ = px[x, y]
            check(r <= 247 and g <= 248 and b <= 175 and abs(r * 175 - b * 247) <= 175 * 3,
                  'completion: (%d, %d) is %s, not black on pale yellow' % (x, y, px[x, y]))
    # two lines of text, each centred on the visible 301 columns
    rows = [y for y in range(96) if any(px[x, y][:3] != PALE_YELLOW for x in range(302))]
    lines, start = [], rows[0]
    for a, b in zip(rows, rows[1:] + [None]):
        if b is None or b - a > 6:
            lines.append((start, a))
            start = b
    check(len(lines) == 2, 'completion: text rows %s, expected two lines' % lines)
    for y0, y1 in lines:
        cols = [x for x in range(302) for y in range(y0, y1 + 1) if px[x, y][:3] != PALE_YELLOW]
        middle = (min(cols) + max(cols)) / 2
        check(abs(middle - 150) <= 2, 'completion: line at y %d-%d centred on x %.1f' % (y0, y1, middle))
    check(lines[0][1] - lines[0][0] > lines[1][1] - lines[1][0] - 4 if len(lines) == 2 else True,
          'completion: second line is not the smaller one')


def check_icon():
    path = os.path.join(HERE, 'kelvo.ico')
    with open(path, 'rb') as f:
        data = f.read()
    reserved, kind, count = struct.unpack('<HHH', data[:6])
    check((reserved, kind, count) == (0, 1, 6), 'icon: header %s, expected 6 icon images' % ((reserved, kind, count),))
    sizes = []
    for i in range(count):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack('<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
        size = w or 256
        sizes.append(size)
        check(w == h and planes == 1 and bpp == 32, 'icon: entry %d is %dx%d, %d planes, %d bpp' % (i, w, h, planes, bpp))
        header = struct.unpack('<IiiHHI', data[offset:offset + 20])
        check(header[:5] == (40, size, 2 * size, 1, 32), 'icon: image %d header %s, expected a 32-bit DIB' % (i, header))
    check(sorted(sizes) == [16, 32, 48, 64, 96, 128], 'icon: sizes %s' % sizes)
    ico = Image.open(path)
    for size in (16, 32, 48, 64, 96, 128):
        im = ico.ico.getimage((size, size)).convert('RGBA')
        p = im.load()
        check(p[0, 0][3] == 0 and p[size - 1, size - 1][3] == 0, 'icon %d: corners not transparent' % size)
        side = (size * 15 // 100, size * 55 // 100)
        r, g, b, a = p[side]
        check(a == 255 and r > 200 and 80 < g < 200 and b < 100,
              'icon %d: left of the disc is %s, expected orange' % (size, p[side]))
        whites = sum(1 for q in im.getdata() if q[3] == 255 and min(q[:3]) >= 235)
        check(whites >= size * size // 30, 'icon %d: too little white arrow (%d pixels)' % (size, whites))
    if shutil.which('identify'):
        out = subprocess.run(['identify', '-format', '%w %h %z %[channels]\n', path],
                             capture_output=True, text=True).stdout.split('\n')
        found = sorted(int(line.split()[0]) for line in out if line.strip() and line.split()[2:] == ['8', 'srgba'])
        check(found == [16, 32, 48, 64, 96, 128], 'icon: identify reports %s' % out)


def check_rebuild():
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(['/usr/bin/python3', os.path.join(HERE, 'make_art.py'), folder], check=True)
        for name in ('background.png', 'warning.png', 'completion.png', 'kelvo.ico'):
            with open(os.path.join(folder, name), 'rb') as a, open(os.path.join(HERE, name), 'rb') as b:
                check(a.read() == b.read(), '%s: redrawing gives other bytes' % name)


def main():
    check_background()
    check_warning()
    check_completion()
    check_icon()
    if '--rebuild' in sys.argv[1:]:
        check_rebuild()
    for message in failures[:50]:
        print('FAIL', message)
    if failures:
        print('%d check(s) failed' % len(failures))
        return 1
    print('art: all checks passed')
    return 0


if __name__ == '__main__':
    sys.exit(main())
