#!/usr/bin/env python3
"""Generate the installer artwork: bitmaps and the application icon.

Usage: make_artwork.py [OUTPUT_DIR]      (default: res/ next to this tool)

Everything is drawn procedurally in pure Python.  The only external helper is
ImageMagick's `convert`, used solely to rasterise text into grey-level masks
with the DejaVu fonts; compositing, palettes and file writing happen here.
The output is deterministic: running the tool twice gives identical bytes.
"""

import math
import os
import struct
import subprocess
import sys

FONT_DIR = '/usr/share/fonts/truetype/dejavu'
FONT_REGULAR = os.path.join(FONT_DIR, 'DejaVuSans.ttf')
FONT_BOLD = os.path.join(FONT_DIR, 'DejaVuSans-Bold.ttf')

KEY = (1, 1, 1)          # transparency key of the small button glyphs
EDGE_GREY = (216, 216, 216)  # what glyph edge pixels are blended toward


# ---------------------------------------------------------------------------
# small colour helpers

def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v)


def mix(a, b, t):
    """Linear blend from colour a (t=0) to colour b (t=1), rounded."""
    return (int(a[0] + (b[0] - a[0]) * t + 0.5),
            int(a[1] + (b[1] - a[1]) * t + 0.5),
            int(a[2] + (b[2] - a[2]) * t + 0.5))


def hexrgb(s):
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


def stepped(c0, c1, t, steps):
    """Colour at position t (0..1) of a gradient quantised to `steps` bands."""
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    i = min(steps - 1, int(t * steps))
    return mix(c0, c1, i / (steps - 1)) if steps > 1 else c0


# ---------------------------------------------------------------------------
# file writers

def bmp_file_header(total_size, data_offset):
    return b'BM' + struct.pack('<IHHI', total_size, 0, 0, data_offset)


def info_header(w, h, bpp, compression, image_size, colours_used):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, compression,
                       image_size, 2835, 2835, colours_used, 0)


def write_bmp24(path, rows):
    """rows: top-down list of rows of (r, g, b)."""
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        data += line
    hdr = info_header(w, h, 24, 0, len(data), 0)
    off = 14 + len(hdr)
    with open(path, 'wb') as f:
        f.write(bmp_file_header(off + len(data), off) + hdr + bytes(data))


def rle8_encode(rows):
    """BI_RLE8 stream for top-down rows of palette indices.

    Every line ends with an end-of-line escape (00 00), the stream with an
    end-of-bitmap escape (00 01).  Runs of 3 or more equal bytes use encoded
    mode; other stretches use absolute mode (at least 3 bytes, word aligned),
    and stretches of 1-2 bytes fall back to runs of length 1.
    """
    out = bytearray()

    def flush_literal(lit):
        i = 0
        while i < len(lit):
            chunk = lit[i:i + 255]
            i += len(chunk)
            if len(chunk) >= 3:
                out.extend((0, len(chunk)))
                out.extend(chunk)
                if len(chunk) & 1:
                    out.append(0)
            else:
                for v in chunk:
                    out.extend((1, v))

    for row in reversed(rows):
        n = len(row)
        lit = []
        i = 0
        while i < n:
            j = i
            while j < n and row[j] == row[i] and j - i < 255:
                j += 1
            run = j - i
            if run >= 3:
                flush_literal(lit)
                lit = []
                out.extend((run, row[i]))
            else:
                lit.extend(row[i:j])
            i = j
        flush_literal(lit)
        out.extend((0, 0))
    out.extend((0, 1))
    return bytes(out)


def write_bmp8(path, rows, palette, allow_rle=True):
    h = len(rows)
    w = len(rows[0])
    stride = (w + 3) & ~3
    raw = bytearray()
    for row in reversed(rows):
        raw += bytes(row) + b'\0' * (stride - w)
    compression, data = 0, bytes(raw)
    if allow_rle:
        rle = rle8_encode(rows)
        if len(rle) < len(raw):
            compression, data = 1, rle
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    hdr = info_header(w, h, 8, compression, len(data), len(palette))
    off = 14 + len(hdr) + len(pal)
    with open(path, 'wb') as f:
        f.write(bmp_file_header(off + len(data), off) + hdr + bytes(pal) + data)
    return compression, len(data)


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
         (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
         (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
         (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def write_ico16(path, idx_rows):
    """One 32x32 16-colour image; index None means transparent."""
    h = len(idx_rows)
    w = len(idx_rows[0])
    xor = bytearray()
    andm = bytearray()
    and_stride = ((w + 31) // 32) * 4
    xor_stride = ((w + 1) // 2 + 3) & ~3
    for row in reversed(idx_rows):
        line = bytearray()
        for x in range(0, w, 2):
            a = row[x] or 0
            b = (row[x + 1] or 0) if x + 1 < w else 0
            line.append((a << 4) | b)
        line += b'\0' * (xor_stride - len(line))
        xor += line
        bits = bytearray(and_stride)
        for x, v in enumerate(row):
            if v is None:
                bits[x >> 3] |= 0x80 >> (x & 7)
        andm += bits
    pal = bytearray()
    for r, g, b in VGA16:
        pal += bytes((b, g, r, 0))
    hdr = info_header(w, h * 2, 4, 0, len(xor) + len(andm), 0)
    image = hdr + bytes(pal) + bytes(xor) + bytes(andm)
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', w & 255, h & 255, 16, 0, 1, 4,
                        len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(icondir + entry + image)


# ---------------------------------------------------------------------------
# supersampled vector canvas

def px(v, k):
    """A 100% pixel edge at scale k, rounded half up as the program's MulDiv rounds."""
    return int(v * k + 0.5) if k != 1 else v


class Canvas:
    """An RGB canvas of w x h pixels stored at `ss` samples per pixel edge.

    Shapes are filled per sample with a constant colour or a colour function
    of the pixel-space position; resolve() box-filters down to pixels.  With
    a scale k the canvas holds the same picture at k times its size: shapes
    and colour functions keep the coordinates of the 100% picture.
    """

    def __init__(self, w, h, ss, fill, k=1):
        self.w, self.h, self.ss, self.k = px(w, k), px(h, k), ss, k
        self.sw, self.sh = self.w * ss, self.h * ss
        self.rows = [[fill] * self.sw for _ in range(self.sh)]

    def fill_poly(self, pts, paint):
        scale = self.k
        if scale != 1:
            pts = [(x * scale, y * scale) for x, y in pts]
            if not isinstance(paint, tuple):
                unscaled = paint
                paint = lambda x, y: unscaled(x / scale, y / scale)
        ss = self.ss
        n = len(pts)
        ys = [p[1] for p in pts]
        sy0 = max(0, int(min(ys) * ss) - 1)
        sy1 = min(self.sh, int(max(ys) * ss) + 2)
        const = isinstance(paint, tuple)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / ss
            xs = []
            for i in range(n):
                x0, y0 = pts[i]
                x1, y1 = pts[(i + 1) % n]
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            if not xs:
                continue
            xs.sort()
            row = self.rows[sy]
            for k in range(0, len(xs) - 1, 2):
                a = max(0, int(xs[k] * ss - 0.5 + 0.999999))
                b = min(self.sw, int(xs[k + 1] * ss - 0.5 + 0.999999))
                if a >= b:
                    continue
                if const:
                    row[a:b] = [paint] * (b - a)
                else:
                    for sx in range(a, b):
                        row[sx] = paint((sx + 0.5) / ss, y)

    def rect(self, x0, y0, x1, y1, paint):
        self.fill_poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], paint)

    def resolve(self):
        ss = self.ss
        n = ss * ss
        half = n // 2
        out = []
        for py in range(self.h):
            srows = self.rows[py * ss:(py + 1) * ss]
            line = []
            for px in range(self.w):
                a = px * ss
                r = g = b = 0
                first = srows[0][a]
                same = True
                for sr in srows:
                    for c in sr[a:a + ss]:
                        if c is not first:
                            same = False
                        r += c[0]
                        g += c[1]
                        b += c[2]
                if same:
                    line.append(first)
                else:
                    line.append(((r + half) // n, (g + half) // n,
                                 (b + half) // n))
            out.append(line)
        return out


def ellipse_pts(cx, cy, rx, ry, segs=48):
    return [(cx + rx * math.cos(2 * math.pi * i / segs),
             cy + ry * math.sin(2 * math.pi * i / segs)) for i in range(segs)]


def round_rect_pts(x0, y0, x1, y1, r, segs=6):
    pts = []
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
               (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    for cx, cy, start in corners:
        for i in range(segs + 1):
            a = math.radians(start + 90 * i / segs)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def thick_line_pts(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    ln = math.hypot(dx, dy) or 1.0
    nx, ny = -dy / ln * width / 2, dx / ln * width / 2
    return [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
            (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]


# ---------------------------------------------------------------------------
# text masks via ImageMagick

_mask_cache = {}


def text_mask(text, font, points, kerning=0):
    """Grey-level mask of `text`: (width, height, baseline_row, rows of 0..255).

    The baseline row is the last ink row of a capital H rendered with the
    same settings, so the caller can position text by its baseline.
    """
    key = (text, font, points, kerning)
    if key in _mask_cache:
        return _mask_cache[key]

    def render(s):
        cmd = ['convert', '-background', 'black', '-fill', 'white',
               '-font', font, '-density', '96', '-pointsize', str(points),
               '-kerning', str(kerning), 'label:' + s,
               '-colorspace', 'Gray', '-depth', '8', 'pgm:-']
        data = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
        # parse binary PGM: P5 <w> <h> <max> <bytes>
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b'#':
                while data[pos:pos + 1] != b'\n':
                    pos += 1
                continue
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        pos += 1
        w, h = int(fields[1]), int(fields[2])
        px = data[pos:pos + w * h]
        return w, h, [list(px[y * w:(y + 1) * w]) for y in range(h)]

    w, h, rows = render(text)
    _, _, hrows = render('H')
    base = max(y for y, r in enumerate(hrows) if max(r) > 64)
    _mask_cache[key] = (w, h, base, rows)
    return _mask_cache[key]


def ink_extent(mask):
    """Leftmost and rightmost columns holding ink."""
    w, h, _, rows = mask
    cols = [x for x in range(w) if any(r[x] for r in rows)]
    return cols[0], cols[-1]


def draw_text(img, text, font, points, x, baseline, colour, levels=0,
              kerning=0, alpha=1.0, gamma=1.0):
    """Composite text so its first ink column is x and baseline is `baseline`.

    `levels` > 0 quantises coverage to that many steps (keeps the number of
    distinct blended colours small); gamma < 1 darkens light coverage.
    Returns the (x0, y0, x1, y1) box of the ink.
    """
    mask = text_mask(text, font, points, kerning)
    w, h, base, rows = mask
    left, right = ink_extent(mask)
    ox = x - left
    oy = baseline - base
    ih, iw = len(img), len(img[0])
    box = [10 ** 9, 10 ** 9, -1, -1]
    for my in range(h):
        yy = oy + my
        if not 0 <= yy < ih:
            continue
        mrow = rows[my]
        irow = img[yy]
        for mx in range(w):
            v = mrow[mx]
            if not v:
                continue
            xx = ox + mx
            if not 0 <= xx < iw:
                continue
            a = (v / 255.0) ** gamma * alpha
            if levels:
                a = round(a * levels) / levels
            if a <= 0:
                continue
            irow[xx] = mix(irow[xx], colour, a)
            box[0] = min(box[0], xx)
            box[1] = min(box[1], yy)
            box[2] = max(box[2], xx + 1)
            box[3] = max(box[3], yy + 1)
    return tuple(box)


def text_width(text, font, points, kerning=0):
    left, right = ink_extent(text_mask(text, font, points, kerning))
    return right - left + 1


# ---------------------------------------------------------------------------
# palette quantisation for the 8-bit background

def nearest(palette, c):
    """Index of the palette colour closest to c (weighted RGB distance)."""
    best, bd = 0, None
    r, g, b = c
    for i, p in enumerate(palette):
        d = 3 * (r - p[0]) ** 2 + 4 * (g - p[1]) ** 2 + 2 * (b - p[2]) ** 2
        if bd is None or d < bd:
            best, bd = i, d
    return best


def quantise(img, max_colours=256, keep_threshold=24, keep_max=180):
    """Map an RGB image to <= max_colours palette entries.

    Colours that cover many pixels (flat fills, gradient bands, text ramps)
    are kept exactly; the rarer leftovers (anti-aliased edges) are reduced by
    a weighted median cut into the remaining entries.  Every pixel is then
    mapped to its nearest palette colour -- no dithering.
    """
    counts = {}
    for row in img:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    order = sorted(counts, key=lambda c: (-counts[c], c))
    if len(order) <= max_colours:
        palette = order
    else:
        keep = [c for c in order if counts[c] >= keep_threshold][:keep_max]
        keep_set = set(keep)
        rest = [c for c in order if c not in keep_set]
        slots = max_colours - len(keep)
        boxes = [rest]
        while len(boxes) < slots:
            # split the box with the largest weighted spread
            best, best_score, best_ch = None, -1, 0
            for bi, box in enumerate(boxes):
                if len(box) < 2:
                    continue
                wsum = sum(counts[c] for c in box)
                for ch in range(3):
                    vals = [c[ch] for c in box]
                    spread = (max(vals) - min(vals)) * wsum
                    if spread > best_score:
                        best, best_score, best_ch = bi, spread, ch
            if best is None or best_score <= 0:
                break
            box = sorted(boxes[best], key=lambda c: (c[best_ch], c))
            total = sum(counts[c] for c in box)
            acc, cut = 0, 1
            for i, c in enumerate(box):
                acc += counts[c]
                if acc * 2 >= total:
                    cut = max(1, min(len(box) - 1, i + 1))
                    break
            boxes[best:best + 1] = [box[:cut], box[cut:]]
        reps = []
        for box in boxes:
            wsum = sum(counts[c] for c in box)
            reps.append(tuple((sum(c[ch] * counts[c] for c in box) + wsum // 2)
                              // wsum for ch in range(3)))
        free = [c for c in dict.fromkeys(reps) if c not in keep_set]
        free = free[:max_colours - len(keep)]
        # a few Lloyd iterations move the free entries to the centres of the
        # leftover colours that actually map to them
        for _ in range(4):
            palette = keep + free
            sums = {}
            for c in rest:
                i = nearest(palette, c)
                if i >= len(keep):
                    s = sums.setdefault(i, [0, 0, 0, 0])
                    w = counts[c]
                    s[0] += c[0] * w
                    s[1] += c[1] * w
                    s[2] += c[2] * w
                    s[3] += w
            moved = list(free)
            for i, s in sums.items():
                moved[i - len(keep)] = tuple((s[k] + s[3] // 2) // s[3]
                                             for k in range(3))
            moved = [c for c in dict.fromkeys(moved) if c not in keep_set]
            if moved == free:
                break
            free = moved
        palette = keep + free
    palette.sort(key=lambda c: (c[0] * 30 + c[1] * 59 + c[2] * 11, c))
    index = {c: i for i, c in enumerate(palette)}
    lookup = {}
    for c in counts:
        if c in index:
            lookup[c] = index[c]
            continue
        lookup[c] = nearest(palette, c)
    rows = [[lookup[c] for c in row] for row in img]
    return palette, rows


# ---------------------------------------------------------------------------
# artwork: button faces

BUTTONUP_ROWS = (['BFC0BF'] + ['FFFFFF'] * 5 + ['FFF8FF'] * 2 + ['F0F7F0']
                 + ['EFEFEF'] * 2 + ['E0E0E0'] * 2 + ['D0D8D0'] * 2
                 + ['CFCFCF', 'C0C7C0'] + ['BFC0BF'] * 2
                 + ['BFBFBF', 'FFFFFF', '808080'])
BUTTONDW_ROWS = (['FFFFFF', 'BFBFBF'] + ['BFC0BF'] * 2 + ['C0C7C0', 'CFCFCF']
                 + ['D0D8D0'] * 2 + ['E0E0E0'] * 2 + ['EFEFEF'] * 2
                 + ['F0F7F0'] + ['FFF8FF'] * 2 + ['FFFFFF'] * 6 + ['C0C0C0'])


def make_button_strip(hex_rows, width=10):
    return [[hexrgb(h)] * width for h in hex_rows]


def make_buttonln(w=100, h=39):
    top, bottom = (236, 236, 236), (200, 200, 200)
    rows = []
    for y in range(h):
        face = mix(top, bottom, y / (h - 1))
        row = [face] * w
        rows.append(row)
    for x in range(w):
        rows[0][x] = (255, 255, 255)
        rows[h - 1][x] = (64, 64, 64)
        rows[h - 2][x] = (128, 128, 128) if 0 < x < w - 1 else rows[h - 2][x]
    for y in range(h):
        rows[y][0] = (255, 255, 255) if y < h - 1 else (64, 64, 64)
        rows[y][w - 1] = (64, 64, 64)
        if 0 < y < h - 1:
            rows[y][w - 2] = (128, 128, 128)
    return rows


# ---------------------------------------------------------------------------
# artwork: 20x20 glyphs with a transparency key

def glyph_from_canvas(canvas):
    """Resolve a glyph canvas whose 'outside' samples are None.

    Pixels with little coverage become the key colour; partly covered edge
    pixels blend toward a light grey so they sit well on a light face.  The
    key colour itself is never produced by the picture.
    """
    ss = canvas.ss
    n = ss * ss
    out = []
    for py in range(canvas.h):
        srows = canvas.rows[py * ss:(py + 1) * ss]
        line = []
        for px in range(canvas.w):
            r = g = b = 0
            cov = 0
            for sr in srows:
                for c in sr[px * ss:(px + 1) * ss]:
                    if c is not None:
                        cov += 1
                        r += c[0]
                        g += c[1]
                        b += c[2]
            if cov * 5 < n * 2:        # under 40 % covered: see-through
                line.append(KEY)
                continue
            col = (r / cov, g / cov, b / cov)
            t = cov / n
            c = tuple(clamp8(round(col[k] * t + EDGE_GREY[k] * (1 - t)))
                      for k in range(3))
            if c == KEY:
                c = (0, 0, 0)
            line.append(c)
        out.append(line)
    return out


def make_tick_glyph(k=1):
    ss = 8
    cv = Canvas(20, 20, ss, None, k)
    cx, cy, rad = 10.0, 10.0, 9.2

    # dark rim, then a vertically shaded disc with a soft highlight
    cv.fill_poly(ellipse_pts(cx, cy, rad, rad, 96), (24, 98, 36))
    light, dark = (112, 204, 96), (30, 138, 48)

    def disc(x, y):
        t = (y - (cy - rad)) / (2 * rad)
        base = mix(light, dark, max(0.0, min(1.0, t)))
        d = math.hypot(x - (cx - 2.5), y - (cy - 3.5))
        h = max(0.0, 1.0 - d / 6.0) * 0.45
        return mix(base, (220, 255, 210), h)

    cv.fill_poly(ellipse_pts(cx, cy, rad - 1.0, rad - 1.0, 96), disc)
    # tick: soft dark shadow, then white strokes
    tick = [(5.0, 10.2), (8.4, 13.6), (15.0, 6.2)]
    for dx, dy, col, wd in ((0.6, 0.8, (22, 90, 32), 2.9),
                            (0.0, 0.0, (255, 255, 255), 2.7)):
        pts = [(x + dx, y + dy) for x, y in tick]
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            cv.fill_poly(thick_line_pts(x0, y0, x1, y1, wd), col)
        # round the joint and ends
        for x, y in pts:
            cv.fill_poly(ellipse_pts(x, y, wd / 2, wd / 2, 24), col)
    return glyph_from_canvas(cv)


def make_cross_glyph(k=1):
    ss = 8
    cv = Canvas(20, 20, ss, None, k)
    a, b = 3.6, 15.4          # bar end points (pixel centres)
    wd = 3.6
    # grey shading: an offset shadow, then a thin grey outline, then red
    for (x0, y0, x1, y1) in ((a, a, b, b), (b, a, a, b)):
        cv.fill_poly(thick_line_pts(x0 + 1.4, y0 + 1.4, x1 + 1.4, y1 + 1.4,
                                    wd), (150, 150, 150))
    for (x0, y0, x1, y1) in ((a, a, b, b), (b, a, a, b)):
        cv.fill_poly(thick_line_pts(x0, y0, x1, y1, wd + 1.2), (118, 24, 24))

    def red(x, y):
        t = max(0.0, min(1.0, (x + y - 6) / 26.0))
        return mix((250, 88, 72), (176, 16, 16), t)

    for (x0, y0, x1, y1) in ((a, a, b, b), (b, a, a, b)):
        cv.fill_poly(thick_line_pts(x0, y0, x1, y1, wd), red)
    return glyph_from_canvas(cv)


# ---------------------------------------------------------------------------
# artwork: pattern swatches

BRUSHES = [('FFFFFF', 'flat'), ('C0F0D0', 'dither'), ('7FE09F', 'dither'),
           ('EFC8CF', 'dither'), ('D08780', 'dither'), ('F0DFBF', 'dither'),
           ('EFB76F', 'dither'), ('FFFFCF', 'flat'), ('CFE07F', 'dither'),
           ('FFFFCA', 'flat'), ('FFAE88', 'flat'), ('FFDDFF', 'flat'),
           ('BBFFCC', 'flat'), ('B3CFFF', 'flat'), ('DFDFFF', 'flat'),
           ('80FFFF', 'flat')]

# 2x2 ordered pattern of four shades, offsets summing to zero
DITHER_OFFSETS = ((-3, 1), (3, -1))


def make_brush(hexcol, kind):
    c = hexrgb(hexcol)
    if kind == 'flat':
        return [[c] * 8 for _ in range(8)]
    rows = []
    for y in range(8):
        row = []
        for x in range(8):
            o = DITHER_OFFSETS[y & 1][x & 1]
            # shrink the swing near 0/255 so the average stays exact
            row.append(tuple(v + o * min(1, v // 3, (255 - v) // 3)
                             for v in c))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# artwork: application icon (16-colour VGA palette)

def make_icon():
    """A monitor with a setup window on screen and a green arrow coming in."""
    BLACK, NAVY, SILVER, GREY, BLUE, WHITE = 0, 4, 7, 8, 12, 15
    GREEN, LIME = 2, 10
    g = [[None] * 32 for _ in range(32)]

    def box(x0, y0, x1, y1, c):            # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                g[y][x] = c

    # monitor: black outline, silver bezel with light/dark bevel, blue screen
    box(1, 8, 26, 26, BLACK)
    box(2, 9, 25, 25, SILVER)
    box(2, 9, 25, 9, WHITE)
    box(2, 9, 2, 25, WHITE)
    box(3, 25, 25, 25, GREY)
    box(25, 10, 25, 25, GREY)
    box(4, 11, 23, 23, BLACK)
    box(5, 12, 22, 22, NAVY)
    box(5, 12, 22, 13, BLUE)
    # a little window with a progress bar on the screen
    box(7, 16, 20, 20, SILVER)
    box(7, 16, 20, 16, WHITE)
    box(8, 18, 19, 19, GREY)
    box(8, 18, 14, 19, LIME)
    g[24][22] = LIME                        # power LED
    # stand
    box(10, 27, 17, 27, BLACK)
    box(11, 27, 16, 27, GREY)
    box(6, 28, 21, 30, BLACK)
    box(7, 28, 20, 29, SILVER)
    box(7, 28, 20, 28, WHITE)
    # green down arrow coming in from the top right
    box(20, 0, 27, 11, BLACK)               # shaft outline
    box(21, 1, 26, 11, GREEN)
    box(21, 1, 21, 11, LIME)
    for i in range(9):                      # head, tip at the bottom
        y = 11 + i
        left, right = 16 + i, 31 - i
        if left > right:
            break
        box(left, y, right, y, BLACK)
        if right - left >= 2:
            box(left + 1, y, right - 1, y, GREEN)
            g[y][left + 1] = LIME
    box(21, 11, 26, 11, GREEN)
    g[11][21] = LIME
    return g


# ---------------------------------------------------------------------------
# artwork: the window background

W, H = 640, 480
SCALES = (125, 150, 200)   # renderings beside the 100% pictures, in percent
VIS_W, VIS_H = 596, 473
STATUS = (48, 7, 518, 27)
MAIN_FIELD = (170, 380, 395, 400)
CLIENT_FIELD = (170, 437, 395, 457)
BTN_CANCEL = (30, 395, 129, 418)
BTN_OK = (449, 395, 548, 418)
LABEL_MAIN = 'Percorso installazione principale (SERVER):'
LABEL_CLIENT = 'Percorso installazione remota (CLIENT):'

TOP_BAND = 34          # rows 0..33: calm band around the status line
TITLE_Y0, TITLE_Y1 = 35, 124
SCENE_Y0, SCENE_Y1 = 127, 348
PANEL_Y0 = 350

TEXT_DARK = (22, 34, 62)
PANEL = (236, 239, 244)


def draw_scene(cv):
    """Background gradient and illustration (server, network, workstation)."""
    top, bottom = (250, 252, 255), (206, 220, 238)
    for sy in range(px(SCENE_Y0, cv.k) * cv.ss, px(SCENE_Y1, cv.k) * cv.ss):
        y = (sy + 0.5) / cv.ss / cv.k
        c = stepped(top, bottom, (y - SCENE_Y0) / (SCENE_Y1 - SCENE_Y0), 24)
        cv.rows[sy] = [c] * cv.sw

    # floor shadows
    cv.fill_poly(ellipse_pts(150, 330, 78, 10, 64), (188, 202, 222))
    cv.fill_poly(ellipse_pts(452, 330, 108, 11, 64), (188, 202, 222))

    outline = (70, 82, 102)

    # --- server tower, three-quarter view -------------------------------
    fx0, fy0, fx1, fy1 = 104, 170, 184, 330     # front face
    dx, dy = 26, -16                              # depth offset
    cv.fill_poly([(fx0 - 1, fy0 - 1), (fx0 + dx - 1, fy0 + dy - 1),
                  (fx1 + dx + 1, fy0 + dy - 1), (fx1 + dx + 1, fy1 + dy + 1),
                  (fx1 + 1, fy1 + 1), (fx0 - 1, fy1 + 1)], outline)
    cv.fill_poly([(fx0, fy0), (fx0 + dx, fy0 + dy), (fx1 + dx, fy0 + dy),
                  (fx1, fy0)], (238, 241, 246))                  # top
    cv.fill_poly([(fx1, fy0), (fx1 + dx, fy0 + dy), (fx1 + dx, fy1 + dy),
                  (fx1, fy1)],
                 lambda x, y: stepped((176, 186, 202), (150, 160, 178),
                                      (y - fy0) / (fy1 - fy0), 8))  # side
    cv.rect(fx0, fy0, fx1, fy1,
            lambda x, y: stepped((228, 232, 238), (196, 203, 214),
                                 (x - fx0) / (fx1 - fx0), 10))     # front
    # top edge highlight
    cv.rect(fx0, fy0, fx1, fy0 + 1, (250, 251, 253))
    # drive bays
    for i in range(3):
        by = fy0 + 14 + i * 20
        cv.rect(fx0 + 10, by, fx1 - 10, by + 14, (120, 132, 152))
        cv.rect(fx0 + 11, by + 1, fx1 - 11, by + 13, (214, 219, 228))
        cv.rect(fx0 + 16, by + 6, fx1 - 24, by + 8, (90, 100, 118))
        cv.fill_poly(ellipse_pts(fx1 - 17, by + 7, 1.8, 1.8, 16),
                     (64, 196, 90) if i != 1 else (250, 170, 40))
    # vents
    for i in range(7):
        vy = fy0 + 92 + i * 6
        cv.rect(fx0 + 14, vy, fx1 - 14, vy + 2, (150, 160, 176))
        cv.rect(fx0 + 14, vy + 2, fx1 - 14, vy + 3, (240, 243, 248))
    # power button
    cv.fill_poly(ellipse_pts((fx0 + fx1) / 2, fy1 - 12, 5, 5, 32), (110, 122, 142))
    cv.fill_poly(ellipse_pts((fx0 + fx1) / 2, fy1 - 12, 3.6, 3.6, 32),
                 (96, 186, 250))

    # --- workstation: monitor, stand, keyboard ---------------------------
    mx0, my0, mx1, my1 = 376, 166, 530, 282
    cv.fill_poly(round_rect_pts(mx0 - 1, my0 - 1, mx1 + 1, my1 + 1, 7), outline)
    cv.fill_poly(round_rect_pts(mx0, my0, mx1, my1, 6),
                 lambda x, y: stepped((240, 243, 248), (196, 204, 216),
                                      (y - my0) / (my1 - my0), 10))
    sx0, sy0, sx1, sy1 = mx0 + 10, my0 + 10, mx1 - 10, my1 - 18
    cv.rect(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, (80, 92, 112))
    cv.rect(sx0, sy0, sx1, sy1,
            lambda x, y: stepped((40, 92, 168), (18, 46, 112),
                                 (y - sy0) / (sy1 - sy0), 12))
    # a small setup window with a progress bar on the screen
    wx0, wy0, wx1, wy1 = sx0 + 22, sy0 + 22, sx1 - 22, sy1 - 20
    cv.rect(wx0 + 2, wy0 + 2, wx1 + 2, wy1 + 2, (14, 32, 80))
    cv.rect(wx0, wy0, wx1, wy1, (232, 236, 242))
    cv.rect(wx0, wy0, wx1, wy0 + 9, (30, 70, 150))
    cv.rect(wx0 + 8, wy1 - 16, wx1 - 8, wy1 - 8, (120, 132, 152))
    cv.rect(wx0 + 9, wy1 - 15, wx1 - 9, wy1 - 9, (255, 255, 255))
    pw = (wx1 - 9 - (wx0 + 9)) * 0.62
    cv.rect(wx0 + 9, wy1 - 15, wx0 + 9 + pw, wy1 - 9,
            lambda x, y: stepped((120, 214, 120), (40, 150, 60),
                                 (y - (wy1 - 15)) / 6, 4))
    for i in range(2):
        cv.rect(wx0 + 8, wy0 + 15 + i * 6, wx1 - 8 - i * 30, wy0 + 17 + i * 6,
                (160, 170, 186))
    # monitor badge and LED
    cv.fill_poly(ellipse_pts(mx1 - 16, my1 - 9, 2, 2, 16), (64, 196, 90))
    cv.rect(mx0 + 64, my1 - 10, mx1 - 64, my1 - 8, (160, 168, 182))
    # stand
    cxm = (mx0 + mx1) / 2
    cv.fill_poly([(cxm - 12, my1), (cxm + 12, my1), (cxm + 16, my1 + 18),
                  (cxm - 16, my1 + 18)], outline)
    cv.fill_poly([(cxm - 11, my1 + 1), (cxm + 11, my1 + 1), (cxm + 15, my1 + 17),
                  (cxm - 15, my1 + 17)], (184, 192, 206))
    cv.fill_poly(round_rect_pts(cxm - 42, my1 + 16, cxm + 42, my1 + 24, 3), outline)
    cv.fill_poly(round_rect_pts(cxm - 41, my1 + 17, cxm + 41, my1 + 23, 2.5),
                 (214, 220, 230))
    # keyboard (slight perspective)
    ky0, ky1 = 314, 334
    cv.fill_poly([(cxm - 70, ky0 - 1), (cxm + 70, ky0 - 1),
                  (cxm + 83, ky1 + 1), (cxm - 83, ky1 + 1)], outline)
    cv.fill_poly([(cxm - 69, ky0), (cxm + 69, ky0), (cxm + 82, ky1),
                  (cxm - 82, ky1)], (226, 230, 237))
    for r in range(3):
        y0 = ky0 + 3 + r * 5.6
        y1 = y0 + 3.6
        t0 = (y0 - ky0) / (ky1 - ky0)
        t1 = (y1 - ky0) / (ky1 - ky0)
        l0, r0 = cxm - 69 - 13 * t0 + 6, cxm + 69 + 13 * t0 - 6
        l1, r1 = cxm - 69 - 13 * t1 + 6, cxm + 69 + 13 * t1 - 6
        keys = 14
        for k in range(keys):
            a0 = l0 + (r0 - l0) * k / keys
            b0 = l0 + (r0 - l0) * (k + 1) / keys - 1.4
            a1 = l1 + (r1 - l1) * k / keys
            b1 = l1 + (r1 - l1) * (k + 1) / keys - 1.4
            cv.fill_poly([(a0, y0), (b0, y0), (b1, y1), (a1, y1)],
                         (168, 176, 190))

    # --- network link: a dotted arc with an arrow head ------------------
    p0 = (fx1 + dx + 8, 206.0)
    p2 = (mx0 - 7, 204.0)
    p1 = ((p0[0] + p2[0]) / 2, 156.0)

    def bez(t):
        u = 1 - t
        return (u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1])

    ndots = 12
    c_from, c_to = (150, 180, 222), (30, 86, 170)
    for i in range(ndots):
        t = 0.03 + 0.83 * i / (ndots - 1)
        x, y = bez(t)
        rad = 2.2 + 1.4 * i / (ndots - 1)
        cv.fill_poly(ellipse_pts(x, y, rad, rad, 24),
                     mix(c_from, c_to, i / (ndots - 1)))
    # arrow head following the tangent at the end of the arc
    tip = bez(1.0)
    ang = math.atan2(p2[1] - p1[1], p2[0] - p1[0])
    ux, uy = math.cos(ang), math.sin(ang)
    nx, ny = -uy, ux
    length, wing, notch = 17.0, 6.0, 5.0
    bx, by = tip[0] - length * ux, tip[1] - length * uy
    cv.fill_poly([tip, (bx + nx * wing, by + ny * wing),
                  (bx + notch * ux, by + notch * uy),
                  (bx - nx * wing, by - ny * wing)], c_to)


def make_binder(k=1):
    """The background at scale k: every 100% pixel row and column y covers the
    rows px(y) .. px(y + 1) - 1 of the scaled picture, as the program places its
    controls, so the labels and frames stay where the controls land."""
    ss = 3
    cv = Canvas(W, H, ss, PANEL, k)
    draw_scene(cv)
    img = cv.resolve()
    w = len(img[0])

    def rows(y0, y1=None):
        return range(px(y0, k), px((y0 if y1 is None else y1) + 1, k))

    # top band (rows 0..33): calm light grey, gently shaded, closed by a line
    for y in range(TOP_BAND):
        for sy in rows(y):
            img[sy] = [stepped((244, 244, 245), (220, 221, 224),
                               y / (TOP_BAND - 1), 8)] * w
    for sy in rows(TOP_BAND):
        img[sy] = [(150, 154, 164)] * w

    # sunken frame one pixel outside the status line; the area inside gets a
    # neutral grey so it looks right even before the control paints itself
    x0, y0, x1, y1 = STATUS

    def frame(y, x):
        if (y, x) in ((y1, x0 - 1), (y0 - 1, x1)):
            return (255, 255, 255)
        if y == y0 - 1 or x == x0 - 1:
            return (128, 132, 140)
        if y == y1 or x == x1:
            return (255, 255, 255)
        return (212, 212, 212)
    for y in range(y0 - 1, y1 + 1):
        for x in range(x0 - 1, x1 + 1):
            c = frame(y, x)
            for sy in rows(y):
                for sx in rows(x):
                    img[sy][sx] = c

    # title band: navy to blue from left to right, then a warm accent line
    band = [stepped((12, 34, 92), (46, 102, 170), x / k / VIS_W, 40)
            for x in range(w)] if k != 1 else \
        [stepped((12, 34, 92), (46, 102, 170), x / VIS_W, 40) for x in range(W)]
    for sy in rows(TITLE_Y0, TITLE_Y1):
        img[sy] = list(band)
    for sy in rows(TITLE_Y1 + 1):
        img[sy] = [(236, 164, 48)] * w
    for sy in rows(TITLE_Y1 + 2):
        img[sy] = [(190, 120, 30)] * w

    # etched separator above the lower panel, then the flat panel itself
    for sy in rows(SCENE_Y1):
        img[sy] = [(168, 178, 194)] * w
    for sy in rows(SCENE_Y1 + 1):
        img[sy] = [(255, 255, 255)] * w
    for sy in range(px(PANEL_Y0, k), len(img)):
        img[sy] = [PANEL] * w

    # title texts
    def text(t, font, points, x, baseline, colour, **kw):
        return draw_text(img, t, font, points * k, px(x, k), px(baseline, k),
                         colour, **kw)
    text('VORAN', FONT_BOLD, 36, 34 + 2, 88 + 2, (6, 18, 52), alpha=0.55,
         kerning=6 * k)
    text('VORAN', FONT_BOLD, 36, 34, 88, (255, 255, 255), kerning=6 * k)
    text('Installazione postazione client', FONT_REGULAR, 14, 36, 113,
         (206, 222, 244))
    ver = 'Versione 4.2'
    vw = text_width(ver, FONT_REGULAR, 10 * k)
    draw_text(img, ver, FONT_REGULAR, 10 * k, px(572, k) - vw, px(113, k),
              (206, 222, 244))

    # field labels: dark text on the light panel, baseline a few pixels
    # above each field so descenders stay clear of it
    for label, field in ((LABEL_MAIN, MAIN_FIELD), (LABEL_CLIENT, CLIENT_FIELD)):
        box = text(label, FONT_REGULAR, 10, field[0], field[1] - 6, TEXT_DARK,
                   levels=12)
        # the label must stay visible and clear of every control
        assert box[2] <= px(VIS_W - 6, k) and box[3] <= px(VIS_H - 3, k), (label, box)
        for ctl in (STATUS, MAIN_FIELD, CLIENT_FIELD, BTN_CANCEL, BTN_OK):
            ctl = tuple(px(v, k) for v in ctl)
            overlap = (box[0] < ctl[2] and ctl[0] < box[2] and
                       box[1] < ctl[3] and ctl[1] < box[3])
            assert not overlap, (label, box, ctl)
    return img


# ---------------------------------------------------------------------------

def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[1] if len(argv) > 1 else os.path.join(here, '..', 'res')
    os.makedirs(out, exist_ok=True)

    def p(name):
        return os.path.join(out, name)

    write_bmp24(p('buttonup.bmp'), make_button_strip(BUTTONUP_ROWS))
    write_bmp24(p('buttondw.bmp'), make_button_strip(BUTTONDW_ROWS))
    write_bmp24(p('buttonln.bmp'), make_buttonln())
    write_bmp24(p('icob011.bmp'), make_tick_glyph())
    write_bmp24(p('icob002.bmp'), make_cross_glyph())
    # The glyphs and the background again for displays at 125, 150 and 200%:
    # the program picks the rendering closest to its scale.
    for percent in SCALES:
        k = percent / 100
        write_bmp24(p('icob011_%d.bmp' % percent), make_tick_glyph(k))
        write_bmp24(p('icob002_%d.bmp' % percent), make_cross_glyph(k))
    for i, (col, kind) in enumerate(BRUSHES):
        name = 'brush.bmp' if i == 0 else 'brush%d.bmp' % i
        write_bmp24(p(name), make_brush(col, kind))
    write_ico16(p('setup.ico'), make_icon())

    for percent in (100,) + SCALES:
        name = 'binder.bmp' if percent == 100 else 'binder_%d.bmp' % percent
        palette, idx = quantise(make_binder(percent / 100))
        comp, size = write_bmp8(p(name), idx, palette)
        print('%s: %d colours, %s, %d bytes of pixel data'
              % (name, len(palette), 'RLE8' if comp == 1 else 'uncompressed',
                 size))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
