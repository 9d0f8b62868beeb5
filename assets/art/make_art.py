#!/usr/bin/python3
"""Draws the updater's pictures and icon: background.png, warning.png,
completion.png and kelvo.ico, written next to this script (or into the
folder given as the only argument).

Run with Debian's /usr/bin/python3 (it needs python3-gi, gir1.2-pango-1.0,
python3-gi-cairo, python3-pil and fonts-noto-core). The output is
deterministic for a given set of library and font versions: antialiasing and
hinting are fixed, every text is placed by its measured pixel box at whole
pixel offsets, and the PNG and ICO files are written by the small encoders
below (only IHDR, IDAT and IEND; fixed zlib level).
"""
import math
import os
import struct
import sys
import zlib

import cairo
import gi

gi.require_version('Pango', '1.0')
gi.require_version('PangoCairo', '1.0')
from gi.repository import Pango, PangoCairo  # noqa: E402
from PIL import Image  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

# Colours (0-255 RGB).
YELLOW = (255, 249, 95)        # ground of the background picture
BAR = (255, 253, 232)          # the two path bars
BAR_EDGE = (214, 150, 40)
ORANGE_LIGHT = (255, 160, 40)
ORANGE_DARK = (232, 100, 0)
ORANGE_EDGE = (196, 78, 0)
RIBBON_LIGHT = (240, 90, 0)
RIBBON_DARK = (200, 55, 0)
WHITE = (255, 255, 255)
INK = (32, 26, 20)             # body text
RED = (214, 0, 0)              # heading and the file name
PURE_RED = (255, 0, 0)         # warning line
PALE_YELLOW = (247, 248, 175)  # completion picture
BLACK = (0, 0, 0)

NASKH = 'Noto Naskh Arabic, Noto Sans'
SANS = 'Noto Sans Arabic, Noto Sans'
ZWNJ = '\u200c'

# Persian texts.
TITLE = 'آپدیت نرم افزار حسابداری پیشرفته ورنا - ویرایش ۱۴۰۳'
MAKER = 'طراحی و تولید: شرکت نرم افزاری ورنا سیستم'
VERSION_LABEL = 'نسخه ۱٫۰'
HEADING = 'نکات مهم'
ITEMS = [
    '۱- پیش از آپدیت، حتماً از اطلاعات حسابداری خود نسخهٔ پشتیبان تهیه کنید.',
    '۲- هنگام آپدیت، نرم افزار حسابداری باید بسته باشد.',
    '۳- برنامه مسیر نصب نرم افزار را خودش پیدا می' + ZWNJ + 'کند و نمایش می' + ZWNJ
    + 'دهد. اگر مسیر درست است، روی دکمهٔ «شروع آپدیت» کلیک کنید؛ در غیر این صورت، '
    'مسیر نصب را از راه «انتخاب دستی» پیدا کنید، فایل '
    '\u2068<span foreground="#D60000">kelvo.exe</span>\u2069'
    ' را انتخاب کنید و تا پایان عملیات صبر کنید.',
]
CAPTION_AUTO = 'انتخاب خودکار مسیر نصب'
CAPTION_MANUAL = 'انتخاب دستی مسیر نصب'
NEWS_1 = ('ویرایش جدید نرم افزار حسابداری پیشرفته ورنا با امکانات جدید فراوان به زودی عرضه می'
          + ZWNJ + 'شود.')
NEWS_2 = 'این ویرایش از روی همهٔ نسخه' + ZWNJ + 'های قبلی قابل آپدیت خواهد بود.'
SUPPORT = 'در صورت بروز هرگونه مشکل، لطفاً با خط پشتیبانی تماس بگیرید.'
# The warning line must fit 12 pixel rows: written without the hamza and the
# tanween (both common spellings), the font can be a pixel larger.
WARNING = ('متاسفانه برنامه نمی' + ZWNJ + 'تواند مسیر نصب را به طور خودکار پیدا کند؛ '
           'لطفا از حالت دستی استفاده کنید.')
DONE_1 = 'آپدیت با موفقیت انجام شد.'
DONE_2 = 'اکنون برنامه را اجرا کنید'


# ---------------------------------------------------------------- encoders

def png_bytes(image):
    """RGBA image -> PNG with IHDR, IDAT and IEND only (filter 0 rows)."""
    assert image.mode == 'RGBA'
    w, h = image.size
    raw = image.tobytes()
    rows = b''.join(b'\0' + raw[y * w * 4:(y + 1) * w * 4] for y in range(h))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9))
            + chunk(b'IEND', b''))


def ico_bytes(images):
    """Square RGBA images -> ICO of 32-bit DIB entries with an AND mask."""
    entries = []
    for im in images:
        w, h = im.size
        px = im.tobytes()
        xor = bytearray()
        for y in range(h - 1, -1, -1):                       # bottom-up rows
            for x in range(w):
                r, g, b, a = px[(y * w + x) * 4:(y * w + x) * 4 + 4]
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if px[(y * w + x) * 4 + 3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        entries.append((w, h, header + bytes(xor) + bytes(mask)))
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, data in entries)


def surface_image(surface, unpremultiply=False):
    """Cairo ARGB32 surface -> PIL RGBA image (optionally un-premultiplied)."""
    surface.flush()
    w, h = surface.get_width(), surface.get_height()
    im = Image.frombuffer('RGBA', (w, h), bytes(surface.get_data()), 'raw', 'BGRA',
                          surface.get_stride(), 1).copy()
    if unpremultiply:
        px = bytearray(im.tobytes())
        for i in range(0, len(px), 4):
            a = px[i + 3]
            if 0 < a < 255:
                for c in range(3):
                    px[i + c] = min(255, (px[i + c] * 255 + a // 2) // a)
            elif a == 0:
                px[i:i + 3] = b'\0\0\0'
        im = Image.frombytes('RGBA', (w, h), bytes(px))
    return im


def save(folder, name, data):
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


# ---------------------------------------------------------------- drawing helpers

def rgb(cr, colour, alpha=None):
    r, g, b = (c / 255 for c in colour)
    if alpha is None:
        cr.set_source_rgb(r, g, b)
    else:
        cr.set_source_rgba(r, g, b, alpha)


def rounded_rect(cr, x, y, w, h, r):
    cr.new_sub_path()
    cr.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    cr.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    cr.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    cr.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    cr.close_path()


def font_options():
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    fo.set_hint_style(cairo.HINT_STYLE_NONE)
    fo.set_hint_metrics(cairo.HINT_METRICS_OFF)
    return fo


def make_layout(cr, markup, family, px, bold=False, width=None, align='right'):
    layout = PangoCairo.create_layout(cr)
    ctx = layout.get_context()
    PangoCairo.context_set_font_options(ctx, font_options())
    PangoCairo.context_set_resolution(ctx, 96)
    ctx.set_base_dir(Pango.Direction.RTL)
    layout.context_changed()
    fd = Pango.FontDescription.from_string(family)
    fd.set_absolute_size(px * Pango.SCALE)
    fd.set_weight(Pango.Weight.BOLD if bold else Pango.Weight.NORMAL)
    layout.set_font_description(fd)
    layout.set_auto_dir(False)
    if width is not None:
        layout.set_width(int(width * Pango.SCALE))
        layout.set_wrap(Pango.WrapMode.WORD)
    layout.set_alignment({'right': Pango.Alignment.RIGHT, 'left': Pango.Alignment.LEFT,
                          'center': Pango.Alignment.CENTER}[align])
    layout.set_markup(markup, -1)
    return layout


PARAGRAPH_GAP = 5


def show_text(cr, params):
    """Draws a text at (0, 0); with a pitch, each line's baseline lies `pitch`
    pixels below the one before (fallback fonts would otherwise make lines
    that hold a Latin word or a guillemet taller than the others)."""
    markup, family, px, bold, width, align, pitch, embolden = params
    layout = make_layout(cr, markup, family, px, bold, width, align)
    if embolden:
        # outline the glyphs by `embolden` pixels to thicken small text
        assert not pitch
        PangoCairo.layout_path(cr, layout)
        cr.fill_preserve()
        cr.set_line_width(embolden)
        cr.set_line_join(cairo.LINE_JOIN_ROUND)
        cr.stroke()
        return
    if not pitch:
        PangoCairo.show_layout(cr, layout)
        return
    it = layout.get_iter()
    baseline = it.get_baseline() / Pango.SCALE
    first = True
    while True:
        line = it.get_line_readonly()
        if not first:
            baseline += pitch + (PARAGRAPH_GAP if line.is_paragraph_start() else 0)
        first = False
        _, logical = it.get_line_extents()
        cr.move_to(logical.x / Pango.SCALE, baseline)
        PangoCairo.show_layout_line(cr, line)
        if not it.next_line():
            break


def ink_box(params, shift=0.0):
    """Pixel box (x0, y0, x1, y1), inclusive, of a text drawn at (0, shift),
    and the number of its fully covered pixels."""
    markup, family, px, bold, width, align, pitch, _ = params
    probe = make_layout(cairo.Context(cairo.ImageSurface(cairo.FORMAT_ARGB32, 1, 1)),
                        markup, family, px, bold, width, align)
    ink, _ = probe.get_pixel_extents()
    margin = 8 + int(px)
    sw = ink.x + ink.width + 2 * margin
    sh = ink.y + ink.height + 2 * margin + probe.get_line_count() * int(pitch + PARAGRAPH_GAP)
    dx, dy = margin - ink.x, margin - ink.y
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, sw, sh)
    cr = cairo.Context(surface)
    cr.translate(dx, dy + shift)
    cr.set_source_rgb(0, 0, 0)
    show_text(cr, params)
    alpha = surface_image(surface).getchannel('A')
    box = alpha.getbbox()
    if box is None:
        raise ValueError('text draws nothing: %r' % markup)
    x0, y0, x1, y1 = box
    return (x0 - dx, y0 - dy, x1 - 1 - dx, y1 - 1 - dy), alpha.histogram()[255]


class Text:
    """A text fitted into a box: the largest size up to `px` (in steps of 1/4
    pixel) whose drawn pixels fit the box, placed right, left or centred and
    vertically centred (or at the top), at whole-pixel offsets. `width` wraps
    the text into lines; `pitch` fixes the distance of their baselines;
    `embolden` thickens the strokes by that many pixels; `snap` tries vertical
    shifts in eighths of a pixel and keeps the one that fully covers the most
    pixels (the horizontal strokes then lie on whole rows)."""

    def __init__(self, markup, family, px, box, bold=False, align='right', width=None,
                 pitch=0, valign='center', embolden=0, snap=False):
        x0, y0, x1, y1 = box
        size = px
        shifts = [i / 8 for i in range(8)] if snap else [0.0]
        while True:
            params = (markup, family, size, bold, width, align, pitch, embolden)
            fitting = []
            for shift in shifts:
                ink, covered = ink_box(params, shift)
                if ink[2] - ink[0] <= x1 - x0 and ink[3] - ink[1] <= y1 - y0:
                    fitting.append((-covered, shift, ink))
            if fitting:
                _, shift, ink = min(fitting)
                break
            size -= 0.25
            if size < 6:
                raise ValueError('text does not fit its box: %r' % markup)
        self.params, self.px = params, size
        iw, ih = ink[2] - ink[0], ink[3] - ink[1]
        if align == 'right':
            left = x1 - iw
        elif align == 'left':
            left = x0
        else:
            left = x0 + (x1 - x0 - iw) // 2
        top = y0 + (y1 - y0 - ih) // 2 if valign == 'center' else y0
        self.dx, self.dy = left - ink[0], top - ink[1] + shift
        self.ink = (left, top, left + iw, top + ih)

    def draw(self, cr, colour):
        cr.save()
        cr.translate(self.dx, self.dy)
        rgb(cr, colour)
        show_text(cr, self.params)
        cr.restore()


def vertical_gradient(y0, y1, top, bottom):
    g = cairo.LinearGradient(0, y0, 0, y1)
    g.add_color_stop_rgb(0, *(c / 255 for c in top))
    g.add_color_stop_rgb(1, *(c / 255 for c in bottom))
    return g


# ---------------------------------------------------------------- background

def draw_banner(cr):
    x, y, w, h, r = 10, 14, 780, 73, 16
    rounded_rect(cr, x, y, w, h, r)
    cr.set_source(vertical_gradient(y, y + h, ORANGE_LIGHT, ORANGE_DARK))
    cr.fill_preserve()
    cr.set_line_width(2)
    rgb(cr, ORANGE_EDGE)
    cr.stroke()
    # gloss: a soft white sheen over the upper half
    rounded_rect(cr, x + 3, y + 3, w - 6, h / 2 - 3, r - 3)
    g = cairo.LinearGradient(0, y + 3, 0, y + h / 2)
    g.add_color_stop_rgba(0, 1, 1, 1, 0.45)
    g.add_color_stop_rgba(1, 1, 1, 1, 0.08)
    cr.set_source(g)
    cr.fill()
    Text(TITLE, NASKH, 26, (170, 18, 770, 54), bold=True).draw(cr, WHITE)
    Text(MAKER, NASKH, 16, (170, 58, 770, 82)).draw(cr, WHITE)


def draw_ribbon(cr):
    a, b = 78, 150          # the band lies between x + y = a and x + y = b
    cr.save()
    cr.rectangle(0, 0, 150, 154)
    cr.clip()
    # shadow under the band
    cr.move_to(0, b + 4)
    cr.line_to(b + 4, 0)
    cr.line_to(b, 0)
    cr.line_to(0, b)
    cr.close_path()
    rgb(cr, (150, 60, 0), 0.35)
    cr.fill()
    cr.move_to(0, a)
    cr.line_to(a, 0)
    cr.line_to(b, 0)
    cr.line_to(0, b)
    cr.close_path()
    g = cairo.LinearGradient(a / 2, a / 2, b / 2, b / 2)
    g.add_color_stop_rgb(0, *(c / 255 for c in RIBBON_LIGHT))
    g.add_color_stop_rgb(1, *(c / 255 for c in RIBBON_DARK))
    cr.set_source(g)
    cr.fill()
    # thin white seams along both edges
    rgb(cr, WHITE, 0.85)
    cr.set_line_width(1.5)
    for c in (a + 5, b - 5):
        cr.move_to(0, c)
        cr.line_to(c, 0)
        cr.stroke()
    cr.restore()
    # the label, rotated onto the band's centre line
    mid = (a + b) / 2 / 2
    t = Text(VERSION_LABEL, NASKH, 18, (-60, -14, 60, 14), bold=True, align='center')
    cr.save()
    cr.translate(mid, mid)
    cr.rotate(-math.pi / 4)
    t.draw(cr, WHITE)
    cr.restore()


def draw_notes(cr):
    right, left = 762, 40
    heading = Text(HEADING + ':', NASKH, 22, (left, 92, right, 118), bold=True)
    heading.draw(cr, RED)
    items = Text('\n'.join(ITEMS), NASKH, 17, (left, 126, right, 285), width=right - left + 1,
                 align='right', valign='top', pitch=27)
    items.draw(cr, INK)


def draw_bar(cr, x, y, w, h, caption, caption_box):
    # A label lies one row below the second bar's top edge and ends three
    # columns before its right edge, so the corners are small and the outline
    # is the rim of a filled shape, a little under a pixel wide, instead of a
    # stroke; either would otherwise tint the label area near the corners.
    radius, rim = 4, 0.75
    rounded_rect(cr, x, y, w, h, radius)
    rgb(cr, BAR_EDGE)
    cr.fill()
    rounded_rect(cr, x + rim, y + rim, w - 2 * rim, h - 2 * rim, radius - rim)
    rgb(cr, BAR)
    cr.fill()
    # both captions at one size (the one that fits the narrower box), right-aligned
    Text(caption, NASKH, 18, caption_box, bold=True).draw(cr, INK)


def draw_news(cr):
    x0, y0, x1, y1 = 45, 445, 749, 517
    rounded_rect(cr, x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2, 12)
    rgb(cr, WHITE)
    cr.fill_preserve()
    cr.set_line_width(2)
    rgb(cr, ORANGE_DARK)
    cr.stroke()
    Text(NEWS_1, NASKH, 18, (70, 452, 724, 478), bold=True, align='center').draw(cr, ORANGE_EDGE)
    Text(NEWS_2, NASKH, 16, (70, 484, 724, 510), align='center').draw(cr, INK)


def background():
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, 800, 600)
    cr = cairo.Context(surface)
    rgb(cr, YELLOW)
    cr.paint()
    draw_banner(cr)
    draw_ribbon(cr)
    draw_notes(cr)
    draw_bar(cr, 58, 306, 455, 25, CAPTION_AUTO, (531, 304, 724, 333))
    draw_bar(cr, 56, 354, 455, 25, CAPTION_MANUAL, (552, 352, 722, 381))
    draw_news(cr)
    Text(SUPPORT, NASKH, 16, (60, 531, 740, 552), align='center').draw(cr, INK)
    return surface_image(surface)


# ---------------------------------------------------------------- warning and completion

def warning():
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, 400, 27)
    cr = cairo.Context(surface)
    Text(WARNING, NASKH, 14, (9, 5, 382, 16), bold=True, embolden=0.7,
         snap=True).draw(cr, PURE_RED)
    return surface_image(surface, unpremultiply=True)


def completion():
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, 302, 96)
    cr = cairo.Context(surface)
    rgb(cr, PALE_YELLOW)
    cr.paint()
    # centred in the visible part of the picture (the window's client area is 301 x 94)
    Text(DONE_1, NASKH, 22, (10, 14, 291, 48), align='center').draw(cr, BLACK)
    Text(DONE_2, NASKH, 17, (10, 54, 291, 82), bold=True, align='center').draw(cr, BLACK)
    return surface_image(surface)


# ---------------------------------------------------------------- icon

def arrow_arc(cr, cx, cy, radius, start, sweep, width, head):
    """A white arc from `start` through `sweep` radians with an arrow head at its end."""
    end = start + sweep
    cr.set_line_width(width)
    cr.set_line_cap(cairo.LINE_CAP_BUTT)
    cr.arc(cx, cy, radius, start, end - head / radius * 0.6)
    cr.stroke()
    # head: a triangle pointing along the circle at the end angle
    tx, ty = -math.sin(end), math.cos(end)          # tangent (direction of travel)
    nx, ny = math.cos(end), math.sin(end)           # outward normal
    px, py = cx + radius * nx, cy + radius * ny
    back = head * 0.9
    bx, by = px - tx * back, py - ty * back
    cr.move_to(px + tx * head * 0.15, py + ty * head * 0.15)
    cr.line_to(bx + nx * head * 0.85, by + ny * head * 0.85)
    cr.line_to(bx - nx * head * 0.85, by - ny * head * 0.85)
    cr.close_path()
    cr.fill()


def icon_image(size):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    cr = cairo.Context(surface)
    cr.scale(size / 128, size / 128)
    c, r = 64, 60
    # disc: radial orange with a darker rim
    g = cairo.RadialGradient(52, 40, 8, 64, 64, r)
    g.add_color_stop_rgb(0, 1.0, 0.78, 0.35)
    g.add_color_stop_rgb(0.55, 0.98, 0.52, 0.05)
    g.add_color_stop_rgb(1, 0.80, 0.32, 0.0)
    cr.arc(c, c, r, 0, 2 * math.pi)
    cr.set_source(g)
    cr.fill()
    cr.arc(c, c, r - 1.5, 0, 2 * math.pi)
    cr.set_line_width(3)
    cr.set_source_rgba(0.62, 0.22, 0.0, 0.9)
    cr.stroke()
    # two arrows chasing each other around the centre
    # small images get bolder arrows so that they still read as arrows
    width, head = (12, 17) if size >= 64 else (15, 20) if size >= 48 else (19, 25)
    cr.set_source_rgb(1, 1, 1)
    for start in (math.radians(200), math.radians(20)):
        arrow_arc(cr, c, c, 33, start, math.radians(130), width, head)
    # gloss: a white sheen over the upper part of the disc
    cr.save()
    cr.arc(c, c, r - 3, 0, 2 * math.pi)
    cr.clip()
    cr.scale(1, 0.62)
    cr.arc(c, 40 / 0.62, 50, 0, 2 * math.pi)
    g = cairo.LinearGradient(0, 4 / 0.62, 0, 70 / 0.62)
    g.add_color_stop_rgba(0, 1, 1, 1, 0.65)
    g.add_color_stop_rgba(1, 1, 1, 1, 0.0)
    cr.set_source(g)
    cr.fill()
    cr.restore()
    return surface_image(surface, unpremultiply=True)


ICON_SIZES = (16, 32, 48, 64, 96, 128)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else HERE
    save(folder, 'background.png', png_bytes(background()))
    save(folder, 'warning.png', png_bytes(warning()))
    save(folder, 'completion.png', png_bytes(completion()))
    save(folder, 'kelvo.ico', ico_bytes([icon_image(s) for s in ICON_SIZES]))


if __name__ == '__main__':
    main()
