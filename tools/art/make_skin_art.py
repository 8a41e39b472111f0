#!/usr/bin/python3
"""Draws the launcher's skin images into res/skin/.

Run after changing anything here and commit the results; the build uses the committed files and
never runs this script.

    tools/art/make_skin_art.py            # writes res/skin/*
    tools/art/make_skin_art.py --check    # verifies the committed files' formats only

Needs Debian's python3 with python3-pil (/usr/bin/python3; a python3 from elsewhere may lack
Pillow), fonts-dejavu-core and fonts-wqy-zenhei. Everything is drawn procedurally from a fixed
random seed, so a run reproduces the committed files.

Fixed by the program (do not change without changing its code):
  face.png            1334 x 725 RGBA, non-interlaced. The browser shows at x 560, y 177,
                      631 x 446 inside the dark frame; the minimise button window is at x 1173,
                      y 137 (39 x 39 painted), the close button at x 1208, y 115 (54 x 54).
  close.png           54 x 216 RGBA, Adam7: four 54 x 54 frames normal/hover/pressed/disabled.
                      Alpha is 0 or 255 only: the login panel's colour key shows through.
  minimize.png        39 x 156 RGBA, Adam7: four 39 x 39 frames.
  confirm_ok.png      74 x 104 RGB, Adam7: four 74 x 26 frames with the caption drawn in.
  confirm_cancel.png  the same for the cancel button.
  confirm_panel.bmp   256 x 110, 24 bits per pixel: the confirmation dialog's face. Its title
                      is drawn by the program at x 79..179, y 10; the message at y 34; the two
                      button images sit at x 40 and x 140, y 72.
  launcher.ico        one 64 x 64 32-bit image.
  banner_*.png        decorative 120-pixel-high tiles shipped with the skin, not loaded.
"""
import math
import os
import random
import struct
import sys
import zlib

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "res", "skin"))

SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
CJK = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"

LANCZOS = Image.Resampling.LANCZOS

# Palette: dark bronze and leather, old gold, dusk sky.
GOLD_DARK = (92, 62, 24)
GOLD = (201, 158, 82)
GOLD_LIGHT = (250, 226, 160)
LEATHER_DARK = (22, 14, 10)
LEATHER = (58, 36, 22)


# ---------------------------------------------------------------------------------------------
# PNG writing (Pillow cannot write interlaced PNGs)

def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def _filter_sub(row, bpp):
    out = bytearray(row)
    for i in range(len(row) - 1, bpp - 1, -1):
        out[i] = (row[i] - row[i - bpp]) & 0xFF
    return bytes(out)


def write_png(path, img, interlace):
    """Writes an 8-bit RGB or RGBA PNG, optionally Adam7-interlaced."""
    assert img.mode in ("RGB", "RGBA")
    bpp = len(img.mode)
    w, h = img.size
    raw = img.tobytes()
    stride = w * bpp
    scan = bytearray()
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    for x0, y0, dx, dy in passes:
        cols = range(x0, w, dx)
        if not cols:
            continue
        for y in range(y0, h, dy):
            line = raw[y * stride:(y + 1) * stride]
            if dx == 1:
                row = line
            else:
                row = b"".join(line[x * bpp:(x + 1) * bpp] for x in cols)
            scan.append(1)  # Sub filter
            scan += _filter_sub(row, bpp)
    color_type = 6 if bpp == 4 else 2
    ihdr = struct.pack(">IIBBBBB", w, h, 8, color_type, 0, 0, 1 if interlace else 0)
    data = (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr) +
            _chunk(b"IDAT", zlib.compress(bytes(scan), 9)) + _chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


def png_header(path):
    """(width, height, bit depth, colour type, interlace) from a PNG's IHDR."""
    with open(path, "rb") as f:
        head = f.read(33)
    assert head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", path
    w, h, depth, ctype, _, _, inter = struct.unpack(">IIBBBBB", head[16:29])
    return w, h, depth, ctype, inter


def write_ico(path, img):
    """One 32-bit BGRA image in an icon file (bottom-up DIB with an all-zero AND mask)."""
    assert img.mode == "RGBA"
    w, h = img.size
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = img.getpixel((x, y))
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    andmask = bytes(mask_stride * h)
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = bih + bytes(xor) + andmask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


# ---------------------------------------------------------------------------------------------
# Drawing helpers

def ramp(stops):
    """256-entry colour ramp from [(position 0..1, (r, g, b)), ...]."""
    out = []
    for i in range(256):
        t = i / 255
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                u = 0 if p1 == p0 else (t - p0) / (p1 - p0)
                out.append(tuple(round(a + (b - a) * u) for a, b in zip(c0, c1)))
                break
    return out


def colorize(gray, stops):
    """Maps an L image through a colour ramp to RGB."""
    lut = ramp(stops)
    bands = [gray.point([c[k] for c in lut]) for k in range(3)]
    return Image.merge("RGB", bands)


def vgradient(size, stops):
    w, h = size
    g = Image.linear_gradient("L").resize((w, h), Image.Resampling.BILINEAR)
    return colorize(g, stops)


def cloud_noise(size, scale, seed, sigma=60):
    """Soft value noise: coarse random field scaled up smoothly, several octaves."""
    random.seed(seed)
    w, h = size
    acc = Image.new("L", size, 128)
    weight = 0.55
    s = scale
    for _ in range(4):
        cw, ch = max(2, w // s), max(2, h // s)
        n = Image.effect_noise((cw, ch), sigma).resize(size, Image.Resampling.BICUBIC)
        acc = Image.blend(acc, n, weight)
        weight *= 0.6
        s = max(1, s // 2)
    return acc


def mask_ss(size, ss, draw_fn):
    """An anti-aliased mask: drawn at ss times the size, then reduced."""
    w, h = size
    big = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(big), ss)
    return big.resize(size, Image.Resampling.BOX)


def solid(size, color, alpha=None):
    img = Image.new("RGBA", size, color + (255,))
    if alpha is not None:
        img.putalpha(alpha)
    return img


def paste_rgb(dst, src_rgb, mask):
    """Composites an RGB layer through an L mask onto an RGBA canvas."""
    layer = src_rgb.convert("RGBA")
    layer.putalpha(mask)
    dst.alpha_composite(layer)


def scale_mask(mask, factor):
    return mask.point(lambda v: min(255, round(v * factor)))


def erode(mask, r):
    """Mask shrunk by about r pixels (blur and threshold keeps the edge smooth)."""
    b = mask.filter(ImageFilter.GaussianBlur(r))
    return b.point(lambda v: 0 if v < 200 else min(255, (v - 200) * 255 // 55))


def bevel(mask, radius, strength=1.0):
    """Highlight (upper left) and shade (lower right) masks of a raised edge."""
    b = mask.filter(ImageFilter.GaussianBlur(radius))
    d = max(1, round(radius * 0.8))
    hi = ImageChops.subtract(b, ImageChops.offset(b, d, d))
    lo = ImageChops.subtract(b, ImageChops.offset(b, -d, -d))
    f = 3.0 * strength
    return scale_mask(ImageChops.multiply(hi, mask), f), scale_mask(ImageChops.multiply(lo, mask), f)


def text_layer(size, xy, text, font, fill, anchor="mm", stroke=0, stroke_fill=None):
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).text(xy, text, font=font, fill=fill, anchor=anchor,
                               stroke_width=stroke, stroke_fill=stroke_fill)
    return layer


def gold_text(canvas, xy, text, font, glow=6):
    """Engraved gold lettering: dark outline, soft glow, vertical gold gradient, top sheen."""
    size = canvas.size
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).text(xy, text, font=font, fill=255, anchor="mm")
    outline = Image.new("L", size, 0)
    ImageDraw.Draw(outline).text(xy, text, font=font, fill=255, anchor="mm", stroke_width=3)
    glow_mask = outline.filter(ImageFilter.GaussianBlur(glow))
    canvas.alpha_composite(solid(size, (255, 170, 60), scale_mask(glow_mask, 0.55)))
    canvas.alpha_composite(solid(size, (40, 20, 6), scale_mask(outline.filter(ImageFilter.GaussianBlur(1.2)), 1.4)))
    bbox = m.getbbox()
    top, bottom = bbox[1], bbox[3]
    grad = Image.new("RGB", size, GOLD)
    band = vgradient((size[0], bottom - top), [(0, (255, 246, 205)), (0.45, (240, 196, 104)),
                                                 (0.55, (176, 118, 44)), (1, (238, 190, 98))])
    grad.paste(band, (0, top))
    paste_rgb(canvas, grad, m)
    hi, lo = bevel(m, 1.5, 0.6)
    canvas.alpha_composite(solid(size, (255, 255, 235), hi))
    canvas.alpha_composite(solid(size, (70, 40, 10), lo))


# ---------------------------------------------------------------------------------------------
# The launcher face (PNG 155)

W, H = 1334, 725
BROWSER = (560, 177, 560 + 631, 177 + 446)
FRAME = (546, 163, 1205, 637)
PANEL = (528, 124, 1242, 668)
BANNER_X0, BANNER_X1 = 100, 552
# Sockets under the two buttons (centre x, centre y, radius).
CLOSE_SOCKET = (1235, 142, 31)
MINIMIZE_SOCKET = (1192.5, 156.5, 23)


def banner_polygon(ss, inset=0):
    """The left banner: ogee-arched top, straight sides, a pointed tail at the bottom."""
    x0, x1 = (BANNER_X0 + inset) * ss, (BANNER_X1 - inset) * ss
    cx = (BANNER_X0 + BANNER_X1) / 2 * ss
    top_side = (124 + inset) * ss
    apex = (22 + inset * 1.2) * ss
    bottom_side = (566 - inset * 0.4) * ss
    tip = (690 - inset * 1.6) * ss
    pts = [(x0, bottom_side)]
    pts.append((x0, top_side))
    # Ogee arch: rising S-curves from both shoulders to the apex.
    n = 60
    for i in range(1, n + 1):
        t = i / n
        x = x0 + (cx - x0) * t
        s = 0.5 - 0.5 * math.cos(math.pi * t)
        y = top_side - (top_side - apex) * (0.65 * math.sin(t * math.pi / 2) + 0.35 * s ** 3)
        pts.append((x, y))
    for i in range(n - 1, -1, -1):
        x, y = pts[1 + i] if i > 0 else (x0, top_side)
        pts.append((2 * cx - x, y))
    pts.append((x1, bottom_side))
    # Tail: two shallow curves meeting in a point.
    for i in range(1, n + 1):
        t = i / n
        x = x1 + (cx - x1) * t
        y = bottom_side + (tip - bottom_side) * (t ** 1.6)
        pts.append((x, y))
    for i in range(n - 1, 0, -1):
        t = i / n
        x = x0 + (cx - x0) * t
        y = bottom_side + (tip - bottom_side) * (t ** 1.6)
        pts.append((x, y))
    return pts


def draw_shape(d, ss, inset=0):
    d.polygon(banner_polygon(ss, inset), fill=255)
    x0, y0, x1, y1 = PANEL
    d.rounded_rectangle(((x0 + inset) * ss, (y0 + inset) * ss, (x1 - inset) * ss, (y1 - inset) * ss),
                        radius=max(4, 30 - inset) * ss, fill=255)
    # A crest above the browser frame's middle.
    cx = (FRAME[0] + FRAME[2]) / 2
    d.polygon([((cx - 150 + inset) * ss, (y0 + 2) * ss), ((cx - 110 + inset) * ss, (y0 - 22 + inset) * ss),
               ((cx + 110 - inset) * ss, (y0 - 22 + inset) * ss), ((cx + 150 - inset) * ss, (y0 + 2) * ss)],
              fill=255)
    # A boss at the panel's lower right corner; sockets for the two buttons at the upper right.
    for bx, by, r in ((x1 - 6, y1 - 6, 24), CLOSE_SOCKET, MINIMIZE_SOCKET):
        r -= inset
        if r > 0:
            d.ellipse(((bx - r) * ss, (by - r) * ss, (bx + r) * ss, (by + r) * ss), fill=255)


def midpoint_ridge(width, base, rough, seed, peaks=()):
    random.seed(seed)
    n = 1
    while n < width:
        n *= 2
    ys = [0.0] * (n + 1)
    step, amp = n, rough
    while step > 1:
        half = step // 2
        for i in range(half, n, step):
            ys[i] = (ys[i - half] + ys[i + half]) / 2 + random.uniform(-amp, amp)
        step, amp = half, amp * 0.55
    out = []
    for x in range(width):
        y = base + ys[x * n // width]
        for px, ph, pw in peaks:
            y -= ph * max(0.0, 1 - abs(x - px) / pw) ** 1.5
        out.append(y)
    return out


def scene(size):
    """A dusk landscape: moonlit sky, mountain ranges in mist, a castle on a crag."""
    w, h = size
    img = vgradient(size, [(0, (14, 12, 38)), (0.28, (38, 28, 78)), (0.50, (120, 62, 96)),
                           (0.62, (226, 128, 76)), (0.70, (250, 190, 110)), (1, (60, 30, 40))]).convert("RGBA")
    random.seed(7)
    # Stars in the upper sky.
    d = ImageDraw.Draw(img)
    for _ in range(260):
        x, y = random.randrange(w), random.randrange(int(h * 0.42))
        a = random.randint(60, 220)
        d.point((x, y), fill=(255, 250, 230, a))
        if a > 200:
            d.point([(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)], fill=(255, 240, 210, 90))
    # Moon with a halo.
    mx, my, mr = int(w * 0.72), int(h * 0.42), 44
    halo = Image.new("L", size, 0)
    ImageDraw.Draw(halo).ellipse((mx - mr * 2.4, my - mr * 2.4, mx + mr * 2.4, my + mr * 2.4), fill=120)
    img.alpha_composite(solid(size, (255, 220, 180), halo.filter(ImageFilter.GaussianBlur(40))))
    moon = mask_ss(size, 4, lambda dd, s: dd.ellipse(((mx - mr) * s, (my - mr) * s, (mx + mr) * s, (my + mr) * s), fill=255))
    tex = colorize(cloud_noise(size, 12, 3, 50), [(0, (214, 200, 186)), (0.5, (250, 242, 226)), (1, (255, 252, 240))])
    paste_rgb(img, tex, moon)
    # Cloud streaks across the moon and the glow of the horizon.
    clouds = Image.new("L", size, 0)
    cd = ImageDraw.Draw(clouds)
    for _ in range(16):
        cx, cy = random.randrange(-60, w + 60), random.randrange(int(h * 0.18), int(h * 0.55))
        cw, ch = random.randrange(80, 240), random.randrange(8, 20)
        cd.ellipse((cx - cw, cy - ch, cx + cw, cy + ch), fill=random.randrange(70, 150))
    clouds = clouds.filter(ImageFilter.GaussianBlur(9))
    img.alpha_composite(solid(size, (90, 60, 110), scale_mask(clouds, 0.9)))
    img.alpha_composite(solid(size, (255, 190, 150), scale_mask(ImageChops.offset(clouds, 0, -3), 0.25)))

    def range_layer(base, rough, seed, color_top, color_bottom, peaks=(), mist=0):
        ridge = midpoint_ridge(w, base, rough, seed, peaks)
        m = mask_ss(size, 2, lambda dd, s: dd.polygon([(0, h * s)] + [(x * s, y * s) for x, y in enumerate(ridge)]
                                                       + [(w * s, h * s)], fill=255))
        top = int(min(ridge))
        col = Image.new("RGB", size, color_top)
        col.paste(vgradient((w, h - top), [(0, color_top), (1, color_bottom)]), (0, top))
        paste_rgb(img, col, m)
        if mist:
            band = Image.new("L", size, 0)
            ImageDraw.Draw(band).rectangle((0, int(base + rough * 0.6), w, int(base + rough * 0.6) + 40), fill=mist)
            img.alpha_composite(solid(size, (220, 170, 170), band.filter(ImageFilter.GaussianBlur(18))))
        return ridge

    range_layer(int(h * 0.56), 60, 11, (122, 84, 128), (150, 96, 120), peaks=((w * 0.25, 90, 120),), mist=70)
    range_layer(int(h * 0.64), 50, 12, (70, 48, 88), (92, 58, 90), peaks=((w * 0.78, 70, 110),), mist=60)
    crag = range_layer(int(h * 0.74), 30, 13, (34, 24, 46), (28, 18, 34), peaks=((w * 0.30, 150, 190),), mist=50)

    # Castle on the crag: keep, towers with pointed roofs, lit windows.
    cx = int(w * 0.30)
    ground = int(max(crag[cx - 62:cx + 62])) + 2
    sil = (24, 16, 30)
    cmask = Image.new("L", (w * 4, h * 4), 0)
    c = ImageDraw.Draw(cmask)
    s = 4
    towers = [(-52, 14, 70), (-26, 18, 104), (0, 24, 136), (30, 16, 96), (56, 12, 62)]
    for dx, tw, th in towers:
        x0, x1 = (cx + dx - tw / 2) * s, (cx + dx + tw / 2) * s
        y1 = ground * s
        y0 = (ground - th) * s
        c.rectangle((x0, y0, x1, y1), fill=255)
        c.polygon([(x0 - 3 * s, y0), ((cx + dx) * s, y0 - tw * 1.6 * s), (x1 + 3 * s, y0)], fill=255)
        c.line([((cx + dx) * s, y0 - tw * 1.6 * s), ((cx + dx) * s, y0 - tw * 1.6 * s - 10 * s)], fill=255, width=s)
    c.rectangle(((cx - 60) * s, (ground - 40) * s, (cx + 62) * s, ground * s), fill=255)
    for i in range(-60, 62, 8):
        c.rectangle(((cx + i) * s, (ground - 46) * s, (cx + i + 4) * s, (ground - 40) * s), fill=255)
    cmask = cmask.resize(size, Image.Resampling.BOX)
    paste_rgb(img, Image.new("RGB", size, sil), cmask)
    lights = Image.new("L", size, 0)
    ld = ImageDraw.Draw(lights)
    random.seed(21)
    for dx, tw, th in towers:
        for k in range(2):
            wy = ground - th + 16 + k * 22 + random.randrange(0, 6)
            ld.rectangle((cx + dx - 2, wy, cx + dx + 1, wy + 5), fill=255)
    for i in range(5):
        wx = cx - 48 + i * 22 + random.randrange(0, 5)
        ld.rectangle((wx, ground - 28, wx + 3, ground - 22), fill=255)
    img.alpha_composite(solid(size, (255, 170, 60), lights.filter(ImageFilter.GaussianBlur(3))))
    img.alpha_composite(solid(size, (255, 226, 150), lights))

    # Foreground: dark hills and a gnarled tree at the right.
    range_layer(int(h * 0.86), 26, 14, (16, 10, 18), (10, 6, 10))
    tree = Image.new("L", (w * 2, h * 2), 0)
    td = ImageDraw.Draw(tree)
    random.seed(5)

    def branch(x, y, ang, length, width, depth):
        if depth == 0 or length < 4:
            return
        x2, y2 = x + math.cos(ang) * length, y - math.sin(ang) * length
        td.line([(x * 2, y * 2), (x2 * 2, y2 * 2)], fill=255, width=max(2, int(width * 2)))
        for da in (-0.5, 0.45):
            branch(x2, y2, ang + da + random.uniform(-0.2, 0.2), length * random.uniform(0.62, 0.78),
                   width * 0.68, depth - 1)

    branch(w * 0.88, h * 0.92, math.pi / 2 + 0.15, 70, 9, 7)
    tree = tree.resize(size, Image.Resampling.BOX)
    paste_rgb(img, Image.new("RGB", size, (10, 6, 10)), tree)
    # Drifting embers for some life in the foreground.
    emb = Image.new("L", size, 0)
    ed = ImageDraw.Draw(emb)
    for _ in range(40):
        x, y = random.randrange(w), random.randrange(int(h * 0.55), h)
        r = random.choice((1, 1, 2))
        ed.ellipse((x - r, y - r, x + r, y + r), fill=random.randrange(120, 255))
    img.alpha_composite(solid(size, (255, 150, 60), emb.filter(ImageFilter.GaussianBlur(1.5))))
    img.alpha_composite(solid(size, (255, 220, 160), scale_mask(emb, 0.6)))
    return img


def leather(size, seed):
    n = cloud_noise(size, 40, seed, 70)
    fine = Image.effect_noise(size, 30).filter(ImageFilter.GaussianBlur(0.6))
    g = Image.blend(n, fine, 0.25)
    return colorize(g, [(0, (10, 6, 4)), (0.35, (34, 21, 13)), (0.55, (54, 33, 20)), (0.8, (80, 52, 30)),
                        (1, (110, 74, 42))])


def gold_metal(size, seed):
    n = cloud_noise(size, 20, seed, 60)
    return colorize(n, [(0, GOLD_DARK), (0.4, (160, 116, 52)), (0.6, GOLD), (0.85, (232, 196, 120)),
                        (1, GOLD_LIGHT)])


def ring_mask(draw_outer, draw_inner, size, ss=2):
    outer = mask_ss(size, ss, draw_outer)
    inner = mask_ss(size, ss, draw_inner)
    return ImageChops.subtract(outer, inner)


def rounded(box, r, grow=0):
    x0, y0, x1, y1 = box
    return lambda d, s: d.rounded_rectangle(((x0 - grow) * s, (y0 - grow) * s, (x1 + grow) * s, (y1 + grow) * s),
                                            radius=max(1, r + grow) * s, fill=255)


def face():
    size = (W, H)
    shape = mask_ss(size, 3, lambda d, s: draw_shape(d, s))
    canvas = Image.new("RGBA", size, (0, 0, 0, 0))

    # Soft drop shadow and a faint warm aura: the partly transparent rim around the shape.
    shadow = ImageChops.offset(shape, 0, 5).filter(ImageFilter.GaussianBlur(7))
    canvas.alpha_composite(solid(size, (0, 0, 0), scale_mask(shadow, 0.75)))

    # Body: dark leather with a gold rim.
    paste_rgb(canvas, gold_metal(size, 31), shape)
    body = erode(shape, 5)
    paste_rgb(canvas, leather(size, 32), body)
    hi, lo = bevel(shape, 3, 1.2)
    canvas.alpha_composite(solid(size, GOLD_LIGHT, hi))
    canvas.alpha_composite(solid(size, (30, 16, 4), lo))
    # A thin dark groove inside the gold rim.
    groove = ImageChops.subtract(body, erode(body, 1.6))
    canvas.alpha_composite(solid(size, (12, 6, 2), scale_mask(groove, 1.3)))

    # Left banner: the painted scene behind a gold-framed window.
    inner = mask_ss(size, 3, lambda d, s: d.polygon(banner_polygon(s, 18), fill=255))
    frame_band = ImageChops.subtract(mask_ss(size, 3, lambda d, s: d.polygon(banner_polygon(s, 11), fill=255)), inner)
    paste_rgb(canvas, gold_metal(size, 33), frame_band)
    fb_hi, fb_lo = bevel(ImageChops.add(frame_band, inner), 2, 1.0)
    canvas.alpha_composite(solid(size, GOLD_LIGHT, ImageChops.multiply(fb_hi, frame_band)))
    bx0, by0, bx1, by1 = inner.getbbox()
    sc = scene((bx1 - bx0, by1 - by0))
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    layer.paste(sc, (bx0, by0))
    canvas.alpha_composite(Image.composite(layer, Image.new("RGBA", size, (0, 0, 0, 0)), inner))
    # Inner shadow so the scene sits behind the frame; vignette at the bottom.
    ishadow = ImageChops.subtract(inner, erode(inner, 9)).filter(ImageFilter.GaussianBlur(4))
    canvas.alpha_composite(solid(size, (8, 4, 2), ImageChops.multiply(scale_mask(ishadow, 0.9), inner)))
    vign = Image.new("L", size, 0)
    vign.paste(Image.linear_gradient("L").resize((bx1 - bx0, 220)), (bx0, by1 - 220))
    canvas.alpha_composite(solid(size, (10, 5, 6), ImageChops.multiply(scale_mask(vign, 0.8), inner)))

    # Title on the banner.
    cx = (BANNER_X0 + BANNER_X1) // 2
    gold_text(canvas, (cx, 144), "BRIMLOW", ImageFont.truetype(SERIF_BOLD, 62), glow=10)
    sub = ImageFont.truetype(CJK, 30)
    canvas.alpha_composite(text_layer(size, (cx + 1, 200), "奇幻冒险 · 0.1折", sub, (20, 8, 4, 200)))
    canvas.alpha_composite(text_layer(size, (cx, 198), "奇幻冒险 · 0.1折", sub, (255, 236, 196, 255)))
    d = ImageDraw.Draw(canvas)
    for side in (-1, 1):
        x_near, x_far = cx + side * 126, cx + side * 186
        d.line([(x_near, 198), (x_far, 198)], fill=GOLD + (230,), width=2)
        d.polygon([(x_far + side * 10, 198), (x_far, 193), (x_far - side * 10, 198), (x_far, 203)], fill=GOLD_LIGHT + (255,))
    slogan = ImageFont.truetype(CJK, 22)
    canvas.alpha_composite(text_layer(size, (cx, 540), "剑指苍穹  万人同服", slogan, (255, 226, 170, 235),
                                      stroke=2, stroke_fill=(30, 12, 6, 200)))

    # Browser frame: gold moulding around a dark recess.
    fx0, fy0, fx1, fy1 = FRAME
    outer_ring = mask_ss(size, 3, rounded(FRAME, 12))
    paste_rgb(canvas, gold_metal(size, 34), outer_ring)
    o_hi, o_lo = bevel(outer_ring, 2.5, 1.2)
    canvas.alpha_composite(solid(size, GOLD_LIGHT, o_hi))
    canvas.alpha_composite(solid(size, (40, 22, 6), o_lo))
    b0, b1, b2, b3 = BROWSER
    recess_box = (b0 - 4, b1 - 4, b2 + 4, b3 + 4)
    recess = mask_ss(size, 3, rounded(recess_box, 6))
    paste_rgb(canvas, vgradient(size, [(0, (16, 11, 9)), (1, (8, 5, 4))]), recess)
    r_hi, r_lo = bevel(recess, 2, 1.0)
    canvas.alpha_composite(solid(size, (0, 0, 0), r_hi))  # recess: shade at the top left
    canvas.alpha_composite(solid(size, (255, 220, 150), scale_mask(r_lo, 0.5)))
    d.rectangle(BROWSER, fill=(14, 10, 8, 255))
    # Corner ornaments of the frame: gems set in gold.
    for gx, gy in ((fx0, fy0), (fx0, fy1), (fx1, fy1)):
        gem(canvas, gx, gy, 11, (150, 20, 30))

    # Crest above the frame with the game's emblem.
    ccx = (fx0 + fx1) // 2
    gem(canvas, ccx, PANEL[1] - 8, 11, (30, 90, 160))
    small = ImageFont.truetype(CJK, 18)
    for side in (-1, 1):
        d.line([(ccx + side * 20, PANEL[1] - 8), (ccx + side * 120, PANEL[1] - 8)], fill=GOLD + (220,), width=2)
        d.line([(ccx + side * 20, PANEL[1] - 4), (ccx + side * 100, PANEL[1] - 4)], fill=GOLD_DARK + (220,), width=1)
    canvas.alpha_composite(text_layer(size, (ccx, 145), "账 号 登 录", small, (240, 214, 160, 255),
                                      stroke=1, stroke_fill=(20, 10, 4, 255)))

    # The boss at the lower right; dark button sockets ringed in gold at the upper right.
    gem(canvas, PANEL[2] - 6, PANEL[3] - 6, 16, (120, 16, 24))
    for sx, sy, sr in (MINIMIZE_SOCKET, CLOSE_SOCKET):
        socket(canvas, sx, sy, sr)

    # The health advice line under the frame.
    notice = ImageFont.truetype(CJK, 11)
    canvas.alpha_composite(text_layer(size, ((fx0 + fx1) // 2, 654),
                                      "抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。"
                                      "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。",
                                      notice, (196, 170, 128, 255)))

    # Nothing may leave the silhouette but the shadow; the frame's interior stays exactly dark.
    alpha = canvas.getchannel("A")
    canvas.putalpha(ImageChops.lighter(ImageChops.multiply(alpha, ImageChops.lighter(shape, shadow)), shape))
    d = ImageDraw.Draw(canvas)
    d.rectangle(BROWSER, fill=(14, 10, 8, 255))
    return canvas


def gem(canvas, x, y, r, color):
    """A round cabochon in a gold bezel."""
    size = canvas.size
    ss = 4
    bezel = mask_ss(size, ss, lambda d, s: d.ellipse(((x - r) * s, (y - r) * s, (x + r) * s, (y + r) * s), fill=255))
    ri = r * 0.62
    stone = mask_ss(size, ss, lambda d, s: d.ellipse(((x - ri) * s, (y - ri) * s, (x + ri) * s, (y + ri) * s), fill=255))
    canvas.alpha_composite(solid(size, (0, 0, 0), scale_mask(ImageChops.offset(bezel, 1, 2).filter(ImageFilter.GaussianBlur(2)), 0.6)))
    paste_rgb(canvas, gold_metal(size, int(x + y)), bezel)
    hi, lo = bevel(bezel, 1.6, 1.2)
    canvas.alpha_composite(solid(size, GOLD_LIGHT, hi))
    canvas.alpha_composite(solid(size, (50, 28, 8), lo))
    dark = tuple(c // 3 for c in color)
    light = tuple(min(255, c + 110) for c in color)
    box = (int(x - ri) - 1, int(y - ri) - 1, int(x + ri) + 2, int(y + ri) + 2)
    g = Image.radial_gradient("L").resize((box[2] - box[0], box[3] - box[1]))
    stone_rgb = Image.new("RGB", size, dark)
    stone_rgb.paste(colorize(g, [(0, light), (0.5, color), (1, dark)]), (box[0] - int(ri * 0.3), box[1] - int(ri * 0.3)))
    paste_rgb(canvas, stone_rgb, stone)
    sp = max(1.0, r * 0.16)
    spark = mask_ss(size, ss, lambda d, s: d.ellipse(((x - ri * 0.45 - sp) * s, (y - ri * 0.45 - sp) * s,
                                                      (x - ri * 0.45 + sp) * s, (y - ri * 0.45 + sp) * s), fill=230))
    canvas.alpha_composite(solid(size, (255, 255, 255), spark))


def socket(canvas, x, y, r):
    """A gold ring around a dark hollow, where a round button sits."""
    size = canvas.size
    ring = mask_ss(size, 4, lambda d, s: d.ellipse(((x - r + 2) * s, (y - r + 2) * s, (x + r - 2) * s, (y + r - 2) * s), fill=255))
    paste_rgb(canvas, gold_metal(size, int(x)), ring)
    hi, lo = bevel(ring, 1.6, 1.2)
    canvas.alpha_composite(solid(size, GOLD_LIGHT, hi))
    canvas.alpha_composite(solid(size, (40, 22, 6), lo))
    ri = r - 6
    hollow = mask_ss(size, 4, lambda d, s: d.ellipse(((x - ri) * s, (y - ri) * s, (x + ri) * s, (y + ri) * s), fill=255))
    canvas.alpha_composite(solid(size, (12, 7, 4), hollow))


def rivet(canvas, x, y, r=3.2):
    size = canvas.size
    m = mask_ss(size, 4, lambda d, s: d.ellipse(((x - r) * s, (y - r) * s, (x + r) * s, (y + r) * s), fill=255))
    canvas.alpha_composite(solid(size, (20, 10, 2), scale_mask(ImageChops.offset(m, 1, 1), 0.7)))
    canvas.alpha_composite(solid(size, GOLD, m))
    hi, _ = bevel(m, 1, 1.5)
    canvas.alpha_composite(solid(size, GOLD_LIGHT, hi))


# ---------------------------------------------------------------------------------------------
# Round buttons (PNG 160 close, PNG 162 minimise)

FRAME_STATES = ("normal", "hover", "pressed", "disabled")


def round_button(d, glyph, state, base):
    """One frame of a round gold-rimmed button, d pixels across, drawn at 8x and reduced."""
    ss = 8
    S = d * ss
    img = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    c = S / 2
    r_out = c - 0.6 * ss
    r_in = r_out * 0.80

    def disc(r, fill, dx=0, dy=0):
        layer = Image.new("RGBA", (S, S), (0, 0, 0, 0))
        ImageDraw.Draw(layer).ellipse((c - r + dx, c - r + dy, c + r + dx, c + r + dy), fill=fill)
        return layer

    # Rim: gold with a vertical sheen.
    rim = Image.new("L", (S, S), 0)
    ImageDraw.Draw(rim).ellipse((c - r_out, c - r_out, c + r_out, c + r_out), fill=255)
    rim_top, rim_bottom = ((255, 238, 178), (128, 84, 30)) if state != "pressed" else ((200, 160, 90), (110, 72, 26))
    if state == "hover":
        rim_top, rim_bottom = (255, 250, 210), (170, 118, 46)
    paste_rgb(img, vgradient((S, S), [(0, rim_top), (0.5, GOLD), (1, rim_bottom)]), rim)
    # Dark groove between rim and face.
    img.alpha_composite(disc(r_in + 1.2 * ss, (40, 20, 8, 255)))
    # Face: a jewel-like dome lit from the upper left.
    face_light, face_mid, face_dark = base
    if state == "hover":
        face_light = tuple(min(255, v + 50) for v in face_light)
        face_mid = tuple(min(255, v + 40) for v in face_mid)
    elif state == "pressed":
        face_light, face_mid, face_dark = (tuple(v * 2 // 3 for v in col) for col in (face_light, face_mid, face_dark))
    face_mask = Image.new("L", (S, S), 0)
    ImageDraw.Draw(face_mask).ellipse((c - r_in, c - r_in, c + r_in, c + r_in), fill=255)
    g = Image.radial_gradient("L").resize((int(r_in * 3), int(r_in * 3)))
    face_rgb = Image.new("RGB", (S, S), face_dark)
    off = int(c - r_in * 1.5 + (r_in * 0.35 if state == "pressed" else -r_in * 0.35))
    face_rgb.paste(colorize(g, [(0, face_light), (0.45, face_mid), (0.75, face_dark), (1, face_dark)]), (off, off))
    paste_rgb(img, face_rgb, face_mask)
    if state != "pressed":
        gloss = Image.new("L", (S, S), 0)
        ImageDraw.Draw(gloss).ellipse((c - r_in * 0.72, c - r_in * 0.88, c + r_in * 0.72, c - r_in * 0.05), fill=90)
        img.alpha_composite(solid((S, S), (255, 255, 255), ImageChops.multiply(gloss.filter(ImageFilter.GaussianBlur(ss * 1.5)), face_mask)))
    else:
        inner = Image.new("L", (S, S), 0)
        ImageDraw.Draw(inner).ellipse((c - r_in, c - r_in, c + r_in, c + r_in), outline=160, width=int(ss * 2.5))
        img.alpha_composite(solid((S, S), (0, 0, 0), ImageChops.multiply(inner.filter(ImageFilter.GaussianBlur(ss * 1.2)), face_mask)))

    # Glyph: engraved light gold with a dark drop shadow.
    gl = Image.new("L", (S, S), 0)
    gd = ImageDraw.Draw(gl)
    push = ss if state == "pressed" else 0
    arm = r_in * 0.46
    thick = max(ss * 2.6, d * ss * 0.085)
    if glyph == "cross":
        for sx in (-1, 1):
            gd.line([(c - arm, c - sx * arm + push), (c + arm, c + sx * arm + push)], fill=255, width=int(thick))
        for px, py in ((c - arm, c - arm), (c + arm, c + arm), (c - arm, c + arm), (c + arm, c - arm)):
            gd.ellipse((px - thick / 2, py - thick / 2 + push, px + thick / 2, py + thick / 2 + push), fill=255)
    else:
        y = c + r_in * 0.18 + push
        gd.rounded_rectangle((c - arm * 1.05, y - thick / 2, c + arm * 1.05, y + thick / 2), radius=thick / 2, fill=255)
    shadow = ImageChops.offset(gl, int(ss * 0.8), int(ss * 1.0)).filter(ImageFilter.GaussianBlur(ss * 0.6))
    img.alpha_composite(solid((S, S), (20, 6, 4), scale_mask(shadow, 0.85)))
    glyph_top = (255, 252, 236) if state == "hover" else (250, 236, 196)
    paste_rgb(img, vgradient((S, S), [(0, glyph_top), (0.6, (232, 196, 120)), (1, (190, 140, 70))]), gl)

    # Outer rim bevel.
    hi, lo = bevel(rim, ss * 0.9, 0.8)
    img.alpha_composite(solid((S, S), (255, 250, 220), scale_mask(hi, 0.7)))
    img.alpha_composite(solid((S, S), (60, 36, 10), scale_mask(lo, 0.7)))

    out = img.resize((d, d), LANCZOS)
    # Hard edges: the buttons sit on a colour-keyed panel, where a partly transparent pixel would
    # blend with the key colour and show as a yellow fringe instead of letting the face through.
    out.putalpha(out.getchannel("A").point(lambda v: 255 if v >= 128 else 0))
    if state == "disabled":
        r_, g_, b_, a_ = out.split()
        gray = Image.merge("RGB", (r_, g_, b_)).convert("L").point(lambda v: 50 + v * 55 // 100)
        out = Image.merge("RGBA", (gray, gray, gray, a_))
    return out


def strip(frames):
    w, h = frames[0].size
    out = Image.new(frames[0].mode, (w, h * len(frames)))
    for i, f in enumerate(frames):
        out.paste(f, (0, i * h))
    return out


# ---------------------------------------------------------------------------------------------
# Confirmation dialog: its face (bitmap 177) and the two captioned buttons (PNG 175, 176)

DLG = (256, 110)
OK_AT = (40, 72)
CANCEL_AT = (140, 72)
BTN = (74, 26)


def corner_flourish(d, x, y, sx, sy, color, ss):
    """An L-shaped ornament with curls, for the corner at (x, y) opening toward (sx, sy)."""
    def P(px, py):
        return ((x + sx * px) * ss, (y + sy * py) * ss)
    w = max(1, int(1.4 * ss))
    d.line([P(0, 22), P(0, 0), P(22, 0)], fill=color, width=w)
    d.line([P(4, 30), P(4, 4), P(30, 4)], fill=color, width=max(1, int(0.9 * ss)))
    d.arc(_box(P(0, 26), P(8, 34)), 0, 360, fill=color, width=w)
    d.arc(_box(P(26, 0), P(34, 8)), 0, 360, fill=color, width=w)
    d.polygon([P(8, 8), P(14, 10), P(10, 14)], fill=color)
    d.ellipse(_box(P(8.5, 8.5), P(12.5, 12.5)), fill=color)


def _box(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[0], b[0]), max(a[1], b[1]))


def confirm_panel():
    w, h = DLG
    ss = 4
    base = vgradient(DLG, [(0, (74, 46, 28)), (0.5, (56, 34, 20)), (1, (42, 25, 15))])
    grain = cloud_noise(DLG, 8, 41, 40)
    tex = colorize(grain, [(0, (0, 0, 0)), (1, (255, 255, 255))])
    img = Image.blend(base, ImageChops.overlay(base, tex), 0.35)
    img = img.convert("RGBA")
    light = (236, 214, 168)
    orn = Image.new("L", (w * ss, h * ss), 0)
    od = ImageDraw.Draw(orn)
    od.rectangle((2 * ss, 2 * ss, (w - 3) * ss, (h - 3) * ss), outline=200, width=ss)
    od.rectangle((5 * ss, 5 * ss, (w - 6) * ss, (h - 6) * ss), outline=110, width=max(1, ss // 2 + 1))
    for cx, cy, sx, sy in ((7, 7, 1, 1), (w - 8, 7, -1, 1), (7, h - 8, 1, -1), (w - 8, h - 8, -1, -1)):
        corner_flourish(od, cx, cy, sx, sy, 255, ss)
    # Flourishes either side of the title, and a fine rule under it.
    ty = 19
    for side in (-1, 1):
        x_near, x_far = 128 + side * 40, 128 + side * 78
        od.line([(x_near * ss, ty * ss), (x_far * ss, ty * ss)], fill=230, width=ss)
        od.polygon([((x_far + side * 5) * ss, ty * ss), (x_far * ss, (ty - 3) * ss), ((x_far - side * 5) * ss, ty * ss),
                    (x_far * ss, (ty + 3) * ss)], fill=255)
        od.ellipse(((x_near - 1.6) * ss, (ty - 1.6) * ss, (x_near + 1.6) * ss, (ty + 1.6) * ss), fill=255)
    od.line([(58 * ss, 31 * ss), (198 * ss, 31 * ss)], fill=90, width=max(1, ss // 2))
    orn = orn.resize(DLG, Image.Resampling.BOX)
    shade = ImageChops.offset(orn, 1, 1)
    img.alpha_composite(solid(DLG, (16, 8, 4), scale_mask(shade, 0.8)))
    img.alpha_composite(solid(DLG, light, orn))
    # Wells behind the two buttons so that they sit in the panel.
    for bx, by in (OK_AT, CANCEL_AT):
        well = Image.new("L", DLG, 0)
        ImageDraw.Draw(well).rounded_rectangle((bx - 2, by - 2, bx + BTN[0] + 1, by + BTN[1] + 1), radius=6, fill=150)
        img.alpha_composite(solid(DLG, (18, 10, 6), well.filter(ImageFilter.GaussianBlur(1.5))))
    return img.convert("RGB")


def caption_button(panel, at, text, state, scheme):
    """One 74 x 26 frame: a rounded gold-edged plaque over the panel's own pixels at `at`."""
    ss = 6
    w, h = BTN
    bg = panel.crop((at[0], at[1], at[0] + w, at[1] + h)).resize((w * ss, h * ss), Image.Resampling.NEAREST)
    img = bg.convert("RGBA")
    top, bottom = scheme
    if state == "hover":
        top, bottom = tuple(min(255, v + 40) for v in top), tuple(min(255, v + 30) for v in bottom)
    elif state == "pressed":
        top, bottom = tuple(v * 3 // 4 for v in bottom), tuple(v * 3 // 4 for v in top)
    elif state == "disabled":
        top, bottom = (92, 86, 80), (64, 60, 56)
    edge = Image.new("L", img.size, 0)
    ImageDraw.Draw(edge).rounded_rectangle((0, 0, w * ss - 1, h * ss - 1), radius=5 * ss, fill=255)
    edge_col = (150, 140, 128) if state == "disabled" else ((255, 238, 180) if state == "hover" else GOLD)
    paste_rgb(img, vgradient(img.size, [(0, edge_col), (1, tuple(v // 2 for v in edge_col))]), edge)
    body = Image.new("L", img.size, 0)
    ImageDraw.Draw(body).rounded_rectangle((1.3 * ss, 1.3 * ss, w * ss - 1.3 * ss, h * ss - 1.3 * ss), radius=4 * ss, fill=255)
    paste_rgb(img, vgradient(img.size, [(0, top), (0.48, tuple((a + b) // 2 for a, b in zip(top, bottom))), (0.52, bottom), (1, bottom)]), body)
    if state != "pressed":
        sheen = Image.new("L", img.size, 0)
        ImageDraw.Draw(sheen).rounded_rectangle((2 * ss, 2 * ss, w * ss - 2 * ss, h * ss * 0.45), radius=3 * ss, fill=60)
        img.alpha_composite(solid(img.size, (255, 255, 255), ImageChops.multiply(sheen, body)))
    img = img.resize(BTN, LANCZOS)
    font = ImageFont.truetype(CJK, 15)
    push = 1 if state == "pressed" else 0
    fill = {"normal": (255, 238, 200), "hover": (255, 255, 235), "pressed": (230, 210, 170),
            "disabled": (170, 164, 156)}[state]
    if state != "disabled":
        img.alpha_composite(text_layer(BTN, (w / 2 + 1, h / 2 + 1 + push), text, font, (30, 12, 4, 200)))
    img.alpha_composite(text_layer(BTN, (w / 2, h / 2 + push), text, font, fill + (255,)))
    return img.convert("RGB")


# ---------------------------------------------------------------------------------------------
# Icon and the extra banner tiles

def icon():
    size = 256
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    shield = [(128, 8), (236, 40), (228, 140), (128, 248), (28, 140), (20, 40)]
    m = mask_ss((size, size), 4, lambda d, s: d.polygon([(x * s, y * s) for x, y in shield], fill=255))
    paste_rgb(img, gold_metal((size, size), 51), m)
    inner = erode(m, 10)
    paste_rgb(img, vgradient((size, size), [(0, (150, 28, 36)), (1, (60, 8, 16))]), inner)
    hi, lo = bevel(m, 5, 1.3)
    img.alpha_composite(solid((size, size), GOLD_LIGHT, hi))
    img.alpha_composite(solid((size, size), (40, 20, 6), lo))
    gold_text(img, (128, 130), "B", ImageFont.truetype(SERIF_BOLD, 150), glow=6)
    return img.resize((64, 64), LANCZOS)


TILES = [(164, "新服开启"), (166, "首充礼包"), (167, "每日签到"), (168, "跨服争霸"), (169, "神兵利器"),
         (170, "公会战场"), (171, "限时活动"), (189, "经验加倍"), (1000, "0.1折特权")]


def tile(i, text):
    w, h = 300, 120
    hue_sets = [((120, 30, 40), (40, 8, 14)), ((30, 70, 130), (8, 20, 46)), ((40, 100, 60), (10, 30, 16)),
                ((110, 60, 140), (30, 12, 44)), ((140, 90, 30), (46, 24, 6))]
    top, bottom = hue_sets[i % len(hue_sets)]
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    m = mask_ss((w, h), 3, lambda d, s: d.rounded_rectangle((4 * s, 4 * s, (w - 4) * s, (h - 4) * s), radius=16 * s, fill=255))
    paste_rgb(img, gold_metal((w, h), 60 + i), m)
    inner = erode(m, 4)
    paste_rgb(img, vgradient((w, h), [(0, top), (1, bottom)]), inner)
    hi, lo = bevel(m, 2, 1.0)
    img.alpha_composite(solid((w, h), GOLD_LIGHT, hi))
    img.alpha_composite(solid((w, h), (30, 14, 4), lo))
    gold_text(img, (w // 2, h // 2), text, ImageFont.truetype(CJK, 40), glow=5)
    return img


# ---------------------------------------------------------------------------------------------

FILES = {
    "face.png": ((1334, 725), 6, 0),
    "close.png": ((54, 216), 6, 1),
    "minimize.png": ((39, 156), 6, 1),
    "confirm_ok.png": ((74, 104), 2, 1),
    "confirm_cancel.png": ((74, 104), 2, 1),
}


def check():
    ok = True
    for name, ((w, h), ctype, inter) in FILES.items():
        got = png_header(os.path.join(OUT, name))
        want = (w, h, 8, ctype, inter)
        if got != want:
            print(f"{name}: (w, h, depth, colour type, interlace) = {got}, expected {want}")
            ok = False
    for tid, _ in TILES:
        got = png_header(os.path.join(OUT, f"banner_{tid}.png"))
        if got[1] != 120:
            print(f"banner_{tid}.png: height {got[1]}, expected 120")
            ok = False
    bmp = Image.open(os.path.join(OUT, "confirm_panel.bmp"))
    if bmp.size != DLG or bmp.mode != "RGB":
        print(f"confirm_panel.bmp: {bmp.size} {bmp.mode}, expected {DLG} RGB")
        ok = False
    face_img = Image.open(os.path.join(OUT, "face.png"))
    hist = face_img.getchannel("A").histogram()
    total = W * H
    print(f"face.png: {hist[0] * 100 / total:.1f}% transparent, "
          f"{(total - hist[0] - hist[255]) * 100 / total:.1f}% partly transparent")
    return ok


def main():
    if "--check" in sys.argv:
        sys.exit(0 if check() else 1)
    os.makedirs(OUT, exist_ok=True)
    face().save(os.path.join(OUT, "face.png"), optimize=True)
    write_png(os.path.join(OUT, "close.png"),
              strip([round_button(54, "cross", s, ((236, 96, 70), (168, 28, 26), (70, 8, 10))) for s in FRAME_STATES]), True)
    write_png(os.path.join(OUT, "minimize.png"),
              strip([round_button(39, "bar", s, ((96, 170, 210), (30, 84, 130), (10, 26, 52))) for s in FRAME_STATES]), True)
    panel = confirm_panel()
    panel.save(os.path.join(OUT, "confirm_panel.bmp"))
    write_png(os.path.join(OUT, "confirm_ok.png"),
              strip([caption_button(panel, OK_AT, "确定", s, ((178, 62, 36), (104, 28, 16))) for s in FRAME_STATES]), True)
    write_png(os.path.join(OUT, "confirm_cancel.png"),
              strip([caption_button(panel, CANCEL_AT, "取消", s, ((112, 84, 60), (60, 42, 28))) for s in FRAME_STATES]), True)
    write_ico(os.path.join(OUT, "launcher.ico"), icon())
    for i, (tid, text) in enumerate(TILES):
        tile(i, text).save(os.path.join(OUT, f"banner_{tid}.png"), optimize=True)
    sys.exit(0 if check() else 1)


if __name__ == "__main__":
    main()
