#!/bin/sh
# Makes the PNG pictures of the picture tests with real tools: Python's PIL
# (python3-pil, run by Debian's own /usr/bin/python3) and ImageMagick
# (/usr/bin/convert). The results are committed; run this only to remake them.
set -eu
cd "$(dirname "$0")"

/usr/bin/python3 - <<'PY'
import struct
from PIL import Image, PngImagePlugin

def put(mode, size, pixels, name, **kw):
    im = Image.new(mode, size)
    im.putdata(pixels)
    im.save(name, **kw)

# RGBA, 3 x 2: opaque red, half-transparent white (128), fully transparent blue;
# second row opaque black, alpha 1 green, alpha 254 grey.
put('RGBA', (3, 2), [(255, 0, 0, 255), (255, 255, 255, 128), (0, 0, 255, 0),
                     (0, 0, 0, 255), (0, 255, 0, 1), (100, 150, 200, 254)], 'rgba_3x2.png')
# RGB without tRNS, 2 x 2.
put('RGB', (2, 2), [(10, 20, 30), (40, 50, 60), (70, 80, 90), (255, 255, 255)], 'rgb_2x2.png')
# RGB with a tRNS colour (40, 50, 60).
put('RGB', (2, 2), [(10, 20, 30), (40, 50, 60), (70, 80, 90), (40, 50, 60)], 'rgb_trns_2x2.png',
    transparency=(40, 50, 60))
# Greyscale with alpha, 2 x 1: grey 200 at alpha 128, grey 10 opaque.
put('LA', (2, 1), [(200, 128), (10, 255)], 'grey_alpha_2x1.png')
# Palette with exactly one tRNS entry below 255 (index 1 transparent).
pal_one = Image.new('P', (3, 1))
pal_one.putpalette([250, 0, 0, 0, 250, 0, 0, 0, 250])
pal_one.putdata([0, 1, 2])
pal_one.save('palette_one_3x1.png', transparency=bytes([255, 0, 255]))
# Palette with several tRNS entries below 255: 0 -> 255, 1 -> 128, 2 -> 0, 3 past the chunk.
pal_many = Image.new('P', (4, 1))
pal_many.putpalette([200, 100, 50, 255, 255, 255, 1, 2, 3, 9, 8, 7])
pal_many.putdata([0, 1, 2, 3])
pal_many.save('palette_partial_4x1.png', transparency=bytes([255, 128, 0]))
# RGB with a gAMA chunk of 1.0 (100000): samples map through s^(1/2.2).
info = PngImagePlugin.PngInfo()
info.add(b'gAMA', struct.pack('>I', 100000))
put('RGB', (2, 1), [(0, 64, 128), (255, 1, 200)], 'gamma_2x1.png', pnginfo=info)
# Palette with a tRNS chunk whose entries are all 255: no entry below 255.
pal_opaque = Image.new('P', (2, 1))
pal_opaque.putpalette([10, 20, 30, 40, 50, 60])
pal_opaque.putdata([0, 1])
pal_opaque.save('palette_trns_opaque_2x1.png', transparency=bytes([255, 255]))
# Palette without tRNS.
pal_plain = Image.new('P', (2, 1))
pal_plain.putpalette([10, 20, 30, 40, 50, 60])
pal_plain.putdata([0, 1])
pal_plain.save('palette_plain_2x1.png')
# Greyscale with a tRNS grey 77.
put('L', (2, 1), [77, 200], 'grey_trns_2x1.png', transparency=77)
# Palette with tRNS alphas 128 and 0 and a gAMA chunk of 1.0: the palette's
# colours map, its alphas do not.
pal_gamma = Image.new('P', (3, 1))
pal_gamma.putpalette([64, 128, 200, 128, 1, 255, 0, 64, 128])
pal_gamma.putdata([0, 1, 2])
gamma_info = PngImagePlugin.PngInfo()
gamma_info.add(b'gAMA', struct.pack('>I', 100000))
pal_gamma.save('palette_gamma_3x1.png', transparency=bytes([128, 0, 64]), pnginfo=gamma_info)
PY

# ImageMagick: 16-bit RGB (a low byte above 0x7F, so keeping the high byte differs from rounding), 2-bit greyscale, an interlaced picture; its own
# gAMA, cHRM and other ancillary chunks are left out.
strip='-define png:exclude-chunks=date,time,gAMA,cHRM,sRGB,bKGD,tEXt,zTXt,iTXt,vpAg'
/usr/bin/convert -size 2x1 'xc:#FFFF000012F0' -depth 16 $strip PNG48:rgb16_2x1.png
/usr/bin/convert -size 4x1 xc:black -fill white -draw 'point 1,0' -fill '#AAAAAA' -draw 'point 2,0' \
  -fill '#555555' -draw 'point 3,0' -colorspace Gray -depth 2 $strip -define png:bit-depth=2 \
  -define png:color-type=0 grey2_4x1.png
/usr/bin/convert -size 9x9 gradient:red-blue -alpha set -channel A -fx 'i/8' +channel -interlace PNG \
  $strip PNG32:interlaced_9x9.png
