#!/usr/bin/python3
"""Draws Kestavo's own pictures: the program icon, the main window's picture buttons, the
clearing form's warning, the about box's two pictures and its splash.bmp.

The generated files are committed under resources/pictures/, so building needs neither this
script nor PIL; run it only to change a picture:

    /usr/bin/python3 tools/pictures/draw_pictures.py [output folder]

Needs PIL (Debian: python3-pil). Everything is drawn at four times its size and scaled down,
which gives smooth edges.
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

SUPERSAMPLE = 4

# One palette for every picture, so the buttons read as a set.
OUTLINE = (58, 46, 40)
FOREST = (46, 125, 79)
FOREST_DARK = (31, 91, 58)
LEAF = (111, 178, 76)
ORANGE = (242, 140, 40)
ORANGE_DARK = (214, 104, 24)
YELLOW = (255, 205, 64)
CREAM = (255, 244, 220)
CREAM_DARK = (236, 220, 188)
BROWN = (139, 90, 43)
BROWN_LIGHT = (181, 125, 68)
BEAN_RED = (170, 56, 44)
STEEL = (92, 104, 112)
STEEL_LIGHT = (140, 152, 160)
SKY = (196, 226, 236)
WHITE = (255, 255, 255)

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


class Canvas:
    """A drawing surface addressed in design units (0..design_w), rendered at out_w pixels."""

    def __init__(self, design_w, design_h, out_w, out_h, background=(0, 0, 0, 0)):
        self.out_size = (out_w, out_h)
        self.k = out_w * SUPERSAMPLE / design_w
        self.img = Image.new("RGBA", (out_w * SUPERSAMPLE, out_h * SUPERSAMPLE), background)
        self.draw = ImageDraw.Draw(self.img)

    def pts(self, points):
        return [(x * self.k, y * self.k) for x, y in points]

    def box(self, b):
        x0, y0, x1, y1 = b
        return [x0 * self.k, y0 * self.k, x1 * self.k, y1 * self.k]

    def width(self, w):
        return max(1, round(w * self.k))

    def polygon(self, points, fill, outline=OUTLINE, w=1.6):
        p = self.pts(points)
        self.draw.polygon(p, fill=fill)
        if outline is not None:
            self.stroke(points + [points[0]], outline, w)

    def ellipse(self, b, fill, outline=OUTLINE, w=1.6):
        self.draw.ellipse(self.box(b), fill=fill,
                          outline=outline, width=self.width(w) if outline else 0)

    def circle(self, cx, cy, r, fill, outline=OUTLINE, w=1.6):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, w)

    def rounded(self, b, r, fill, outline=OUTLINE, w=1.6):
        self.draw.rounded_rectangle(self.box(b), radius=r * self.k, fill=fill,
                                    outline=outline, width=self.width(w) if outline else 0)

    def stroke(self, points, colour, w):
        """A polyline with round joints and caps."""
        self.draw.line(self.pts(points), fill=colour, width=self.width(w), joint="curve")
        r = w / 2
        for x, y in (points[0], points[-1]):
            self.draw.ellipse(self.box((x - r, y - r, x + r, y + r)), fill=colour)
        for x, y in points[1:-1]:
            self.draw.ellipse(self.box((x - r, y - r, x + r, y + r)), fill=colour)

    def pieslice(self, b, start, end, fill, outline=OUTLINE, w=1.6):
        self.draw.pieslice(self.box(b), start, end, fill=fill,
                           outline=outline, width=self.width(w) if outline else 0)

    def chord(self, b, start, end, fill, outline=OUTLINE, w=1.6):
        self.draw.chord(self.box(b), start, end, fill=fill,
                        outline=outline, width=self.width(w) if outline else 0)

    def text(self, xy, s, size, fill, bold=True, anchor="mm", outline=None, w=0):
        name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
        font = ImageFont.truetype(os.path.join(FONT_DIR, name), round(size * self.k))
        self.draw.text((xy[0] * self.k, xy[1] * self.k), s, font=font, fill=fill, anchor=anchor,
                       stroke_width=self.width(w) if outline else 0, stroke_fill=outline)

    def result(self):
        return self.img.resize(self.out_size, Image.LANCZOS)


def oval_points(cx, cy, rx, ry, angle_deg=0.0, n=48):
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    out = []
    for i in range(n):
        t = 2 * math.pi * i / n
        x, y = rx * math.cos(t), ry * math.sin(t)
        out.append((cx + x * ca - y * sa, cy + x * sa + y * ca))
    return out


def along(origin, angle_deg, forward, side=0.0):
    """The point `forward` units along a direction from origin and `side` units to its right."""
    a = math.radians(angle_deg)
    return (origin[0] + forward * math.cos(a) - side * math.sin(a),
            origin[1] + forward * math.sin(a) + side * math.cos(a))


# ---- shared motifs --------------------------------------------------------------------------

def carrot(c, tip, angle, length, half_width):
    """A carrot lying from its tip along angle, leaves at the thick end."""
    top = along(tip, angle, length)
    body = [tip,
            along(tip, angle, length * 0.55, -half_width * 0.75),
            along(tip, angle, length, -half_width),
            along(tip, angle, length + half_width * 0.35, 0),
            along(tip, angle, length, half_width),
            along(tip, angle, length * 0.55, half_width * 0.75)]
    for spread in (-32, 0, 32):
        leaf_tip = along(top, angle + spread, length * 0.42)
        c.polygon([along(top, angle + spread, 0, -2.2), leaf_tip,
                   along(top, angle + spread, 0, 2.2)], LEAF, w=1.3)
    c.polygon(body, ORANGE)
    for f in (0.32, 0.52, 0.72):
        hw = half_width * (0.35 + f * 0.55)
        c.stroke([along(tip, angle, length * f, -hw * 0.9), along(tip, angle, length * f, -hw * 0.2)],
                 ORANGE_DARK, 1.2)


def bean(c, cx, cy, angle, rx=5.2, ry=3.4):
    c.polygon(oval_points(cx, cy, rx, ry, angle), BEAN_RED, w=1.4)
    # A light fleck makes each bean read as round and shiny.
    hx, hy = along((cx, cy), angle, -rx * 0.3, -ry * 0.4)
    c.polygon(oval_points(hx, hy, rx * 0.35, ry * 0.22, angle), (222, 120, 100), outline=None)


def flames(c, cx, base_y, scale=1.0):
    s = scale
    outer = [(cx - 9 * s, base_y), (cx - 10 * s, base_y - 6 * s), (cx - 6 * s, base_y - 11 * s),
             (cx - 5 * s, base_y - 7 * s), (cx - 1 * s, base_y - 16 * s), (cx + 3 * s, base_y - 9 * s),
             (cx + 6 * s, base_y - 13 * s), (cx + 10 * s, base_y - 6 * s), (cx + 9 * s, base_y)]
    inner = [(cx - 5 * s, base_y), (cx - 5.5 * s, base_y - 4 * s), (cx - 2 * s, base_y - 8 * s),
             (cx, base_y - 5.5 * s), (cx + 2.5 * s, base_y - 9 * s), (cx + 5.5 * s, base_y - 4 * s),
             (cx + 5 * s, base_y)]
    c.polygon(outer, ORANGE, w=1.4 * s)
    c.polygon(inner, YELLOW, outline=None)


def logs(c, cx, y, scale=1.0):
    s = scale
    for sign in (-1, 1):
        a = (cx - 12 * s * sign, y - 3 * s)
        b = (cx + 12 * s * sign, y + 3 * s)
        c.stroke([a, b], OUTLINE, 6.2 * s)
        c.stroke([a, b], BROWN, 3.6 * s)
    c.circle(cx - 12 * s, y + 3 * s, 2.4 * s, BROWN_LIGHT, w=1.2 * s)
    c.circle(cx + 12 * s, y + 3 * s, 2.4 * s, BROWN_LIGHT, w=1.2 * s)


def pot(c, cx, top_y, width, height, scale=1.0, hook=True):
    s = scale
    x0, x1 = cx - width / 2, cx + width / 2
    y1 = top_y + height
    # The bail handle, from rim to rim, and the hook it hangs on.
    bail_h = height * 0.42
    c.draw.arc(c.box((x0 + 1.5 * s, top_y - bail_h, x1 - 1.5 * s, top_y + bail_h)),
               180, 360, fill=OUTLINE, width=c.width(1.8 * s))
    if hook:
        c.stroke([(cx, top_y - bail_h), (cx, top_y - bail_h - 4 * s)], OUTLINE, 1.6 * s)
    c.rounded((x0, top_y, x1, y1), 4 * s, FOREST_DARK, w=1.6 * s)
    c.rounded((x0 + 2.5 * s, top_y + 3 * s, x0 + 5 * s, y1 - 3 * s), 1.2 * s, FOREST, outline=None)
    c.rounded((x0 - 2.5 * s, top_y - 1.5 * s, x1 + 2.5 * s, top_y + 3 * s), 1.5 * s, STEEL_LIGHT,
              w=1.6 * s)


def steam(c, x, y, scale=1.0, colour=STEEL_LIGHT):
    s = scale
    pts = [(x + 1.8 * s * math.sin(i * 0.9), y - i * 1.4 * s) for i in range(6)]
    c.stroke(pts, colour, 1.6 * s)


def tent(c, left, right, base_y, peak_y, body=FOREST, door=ORANGE, w=1.8):
    mid = (left + right) / 2
    c.polygon([(left, base_y), (mid, peak_y), (right, base_y)], body, w=w)
    # Sunlit flap on the right half.
    c.polygon([(mid, peak_y), (right, base_y), (mid + (right - mid) * 0.3, base_y)], FOREST_DARK,
              outline=None)
    door_h = (base_y - peak_y) * 0.62
    door_w = (right - left) * 0.17
    c.polygon([(mid - door_w, base_y), (mid, base_y - door_h), (mid + door_w, base_y)], door, w=w * 0.8)
    c.stroke([(left, base_y), (mid, peak_y), (right, base_y)], OUTLINE, w)
    c.stroke([(mid, peak_y), (mid, peak_y - (base_y - peak_y) * 0.09)], OUTLINE, w)


def star(c, cx, cy, r_out, r_in, fill=YELLOW, w=1.4, rotation=-90):
    pts = []
    for i in range(10):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rotation + i * 36)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    c.polygon(pts, fill, w=w)


def sparkle(c, cx, cy, r, colour=ORANGE):
    c.polygon([(cx, cy - r), (cx + r * 0.25, cy - r * 0.25), (cx + r, cy), (cx + r * 0.25, cy + r * 0.25),
               (cx, cy + r), (cx - r * 0.25, cy + r * 0.25), (cx - r, cy), (cx - r * 0.25, cy - r * 0.25)],
              colour, outline=None)


def hiker(c, x, ground, height, colour, pack, facing=1, pole=True):
    """A hiker's silhouette walking to the right (facing=1) with a backpack and a pole."""
    h = height
    f = facing
    head_r = h * 0.11
    head = (x + f * h * 0.04, ground - h + head_r)
    hip = (x - f * h * 0.02, ground - h * 0.42)
    neck = (x + f * h * 0.02, ground - h * 0.76)
    # Backpack behind the shoulders.
    c.rounded((min(x - f * h * 0.24, x - f * h * 0.06), ground - h * 0.78,
               max(x - f * h * 0.24, x - f * h * 0.06), ground - h * 0.44),
              h * 0.06, pack, w=1.4)
    # Legs mid-stride, then body and arm, all as thick round strokes.
    c.stroke([hip, (x + f * h * 0.16, ground - h * 0.2), (x + f * h * 0.22, ground - h * 0.02)],
             OUTLINE, h * 0.15 + 1.6)
    c.stroke([hip, (x - f * h * 0.12, ground - h * 0.2), (x - f * h * 0.2, ground - h * 0.02)],
             OUTLINE, h * 0.15 + 1.6)
    c.stroke([neck, hip], OUTLINE, h * 0.22 + 1.6)
    c.stroke([hip, (x + f * h * 0.16, ground - h * 0.2), (x + f * h * 0.22, ground - h * 0.02)],
             colour, h * 0.15)
    c.stroke([hip, (x - f * h * 0.12, ground - h * 0.2), (x - f * h * 0.2, ground - h * 0.02)],
             colour, h * 0.15)
    c.stroke([neck, hip], colour, h * 0.22)
    hand = (x + f * h * 0.24, ground - h * 0.48)
    if pole:
        c.stroke([(hand[0] + f * h * 0.02, hand[1] - h * 0.1), (x + f * h * 0.34, ground)], OUTLINE,
                 max(1.4, h * 0.035))
    c.stroke([(neck[0], neck[1] + h * 0.06), hand], OUTLINE, h * 0.1 + 1.6)
    c.stroke([(neck[0], neck[1] + h * 0.06), hand], colour, h * 0.1)
    c.circle(head[0], head[1], head_r, colour, w=1.4)


# ---- the five picture buttons (64 x 64) --------------------------------------------------------

def draw_ingredients():
    c = Canvas(64, 64, 64, 64)
    carrot(c, tip=(7, 57), angle=-50, length=42, half_width=9)
    bean(c, 41, 53, -15, 5.8, 3.8)
    bean(c, 54, 46, 30, 5.8, 3.8)
    bean(c, 53, 58, -5, 5.8, 3.8)
    return c.result()


def draw_menuitems():
    c = Canvas(64, 64, 64, 64)
    # Fork on the left, knife on the right, plate between.
    c.stroke([(7, 14), (7, 56)], OUTLINE, 4.6)
    c.stroke([(7, 14), (7, 56)], STEEL_LIGHT, 2.4)
    for dx in (-3, 0, 3):
        c.stroke([(7 + dx, 8), (7 + dx, 20)], OUTLINE, 2.6)
        c.stroke([(7 + dx, 8), (7 + dx, 20)], STEEL_LIGHT, 1.0)
    c.rounded((4, 19, 10, 23), 2, STEEL_LIGHT, w=1.2)
    c.polygon([(55, 8), (60, 12), (60, 32), (55, 32)], STEEL_LIGHT, w=1.4)
    c.stroke([(57.5, 32), (57.5, 56)], OUTLINE, 4.6)
    c.stroke([(57.5, 32), (57.5, 56)], BROWN, 2.4)
    c.circle(32, 33, 20, CREAM, w=1.8)
    c.circle(32, 33, 14.5, WHITE, outline=CREAM_DARK, w=1.2)
    # Sausage, peas and carrot slices.
    c.polygon(oval_points(29, 28, 9.5, 3.6, -20), BROWN_LIGHT, w=1.4)
    c.stroke([along((29, 28), -20, -4, -1.2), along((29, 28), -20, 4, -1.2)], CREAM, 1.0)
    for px, py in ((24, 38), (28, 41), (25, 43.5), (21, 40.5)):
        c.circle(px, py, 2.3, LEAF, w=1.1)
    for px, py in ((37, 37), (41, 31), (40, 42)):
        c.circle(px, py, 3.1, ORANGE, w=1.1)
        c.circle(px, py, 1.0, YELLOW, outline=None)
    return c.result()


def draw_meals():
    c = Canvas(64, 64, 64, 64)
    # Tripod over the fire.
    c.stroke([(10, 60), (32, 6), (54, 60)], OUTLINE, 3.6)
    c.stroke([(10, 60), (32, 6), (54, 60)], BROWN_LIGHT, 1.6)
    logs(c, 32, 55, 1.0)
    flames(c, 32, 54, 0.95)
    pot(c, 32, 22, 26, 18)
    steam(c, 26, 18, 0.8, STEEL)
    steam(c, 38, 18, 0.8, STEEL)
    return c.result()


def draw_people():
    c = Canvas(64, 64, 64, 64)
    hiker(c, 18, 60, 46, ORANGE, FOREST_DARK)
    hiker(c, 44, 61, 52, FOREST, ORANGE_DARK)
    return c.result()


def draw_tripwizard():
    c = Canvas(64, 64, 64, 64)
    c.stroke([(3, 58), (61, 58)], OUTLINE, 3.2)
    c.stroke([(3, 58), (61, 58)], LEAF, 1.4)
    tent(c, 4, 46, 57, 22)
    # A magic wand with its star over the tent: the wizard sets up the whole trip.
    c.stroke([(38, 40), (52, 17)], OUTLINE, 4.6)
    c.stroke([(38, 40), (52, 17)], BROWN, 2.4)
    c.stroke([(40.4, 36), (41.8, 33.8)], WHITE, 2.4)
    star(c, 53, 14, 10, 4.4)
    sparkle(c, 40, 8, 4, ORANGE)
    sparkle(c, 60, 30, 3.2, ORANGE)
    sparkle(c, 30, 14, 2.6, YELLOW)
    return c.result()


# ---- program icon --------------------------------------------------------------------------

def draw_icon(size):
    c = Canvas(64, 64, size, size)
    small = size <= 32
    c.rounded((2, 2, 62, 62), 12, SKY, outline=FOREST_DARK, w=2.4 if small else 1.6)
    # Clip the scene to the tile by drawing it on a layer and masking.
    scene = Canvas(64, 64, size, size)
    scene.circle(49, 13, 5, YELLOW, outline=None)
    scene.polygon([(-4, 44), (14, 26), (26, 36), (40, 22), (68, 46), (68, 70), (-4, 70)], (152, 196, 168),
                  outline=None)
    scene.chord((-30, 42, 94, 96), 180, 360, LEAF, outline=None)
    scene.polygon([(-4, 50), (68, 50), (68, 70), (-4, 70)], LEAF, outline=None)
    tent(scene, 5, 39, 52, 20, w=2.2 if small else 1.8)
    # The pot sits right in the flames: a tripod is too fine a line at 32 pixels.
    logs(scene, 47, 56, 0.55)
    flames(scene, 47, 55.5, 0.75)
    pot(scene, 47, 37, 20, 12, 0.7, hook=False)
    if not small:
        steam(scene, 43, 29, 0.6, WHITE)
        steam(scene, 51, 29, 0.6, WHITE)
    mask = Image.new("L", scene.img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(c.box((3, 3, 61, 61)), radius=11 * c.k, fill=255)
    c.img.paste(scene.img, (0, 0), Image.composite(scene.img.getchannel("A"), mask, mask))
    c.rounded((2, 2, 62, 62), 12, None, outline=FOREST_DARK, w=2.4 if small else 1.6)
    return c.result()


# ---- clearing and about box pictures ---------------------------------------------------------

def draw_cleardb_warning():
    """The clearing form's warning: a sign with an exclamation mark before an emptied pot."""
    c = Canvas(64, 64, 64, 64)
    pot(c, 44, 38, 26, 16, 0.8, hook=False)
    c.polygon([(22, 6), (42, 44), (2, 44)], YELLOW, w=2.2)
    c.rounded((19.8, 16, 24.2, 33), 2, OUTLINE, outline=None)
    c.circle(22, 38.5, 2.6, OUTLINE, outline=None)
    c.stroke([(34, 56), (58, 56)], OUTLINE, 1.6)
    return c.result()


def draw_about_camp():
    """The about box's first picture: the tent under a night sky."""
    c = Canvas(64, 64, 64, 64)
    c.rounded((2, 2, 62, 62), 10, (44, 62, 98), outline=OUTLINE, w=1.6)
    c.circle(46, 15, 6, CREAM, outline=None)
    c.circle(49, 13, 5, (44, 62, 98), outline=None)
    for x, y, r in ((14, 12, 2.6), (26, 20, 1.8), (34, 9, 2.0), (56, 30, 1.6)):
        star(c, x, y, r, r * 0.45, w=0.6)
    c.polygon([(2.8, 46), (18, 39), (36, 44), (61.2, 36), (61.2, 52), (2.8, 52)], FOREST, outline=None)
    c.rounded((2.8, 44, 61.2, 61.2), 9, FOREST, outline=None)
    tent(c, 10, 46, 52, 24, w=1.8)
    c.rounded((2, 2, 62, 62), 10, None, outline=OUTLINE, w=1.6)
    return c.result()


def draw_about_cooking():
    """The about box's second picture: the pot over the fire, with a carrot and beans."""
    c = Canvas(64, 64, 64, 64)
    c.rounded((2, 2, 62, 62), 10, CREAM, outline=OUTLINE, w=1.6)
    c.stroke([(12, 54), (32, 12), (52, 54)], OUTLINE, 3.2)
    c.stroke([(12, 54), (32, 12), (52, 54)], BROWN_LIGHT, 1.6)
    logs(c, 32, 52, 0.9)
    flames(c, 32, 51, 0.95)
    pot(c, 32, 28, 22, 14, 0.8)
    steam(c, 28, 24, 0.7, STEEL_LIGHT)
    steam(c, 36, 24, 0.7, STEEL_LIGHT)
    carrot(c, tip=(6, 58), angle=-25, length=11, half_width=3.0)
    bean(c, 54, 40, 20, 3.4, 2.3)
    return c.result()


# ---- about box splash ------------------------------------------------------------------------

def draw_splash():
    w, h = 400, 250
    c = Canvas(w, h, w, h, CREAM + (255,))
    # Evening sky from cream down to warm orange.
    for y in range(0, 170):
        t = y / 170
        col = tuple(round(CREAM[i] + (ORANGE[i] - CREAM[i]) * t * 0.55) for i in range(3))
        c.draw.rectangle(c.box((0, y, w, y + 1.2)), fill=col)
    c.circle(300, 150, 34, YELLOW, outline=None)
    c.polygon([(-10, 170), (60, 100), (110, 140), (180, 80), (260, 150), (320, 110), (410, 165),
               (410, 260), (-10, 260)], (118, 170, 140), outline=None)
    c.polygon([(-10, 185), (80, 140), (150, 175), (230, 130), (330, 180), (410, 150), (410, 260),
               (-10, 260)], FOREST, outline=None)
    for x, base, height in ((20, 190, 62), (48, 196, 48), (352, 186, 66), (380, 194, 50)):
        c.polygon([(x - height * 0.28, base), (x, base - height), (x + height * 0.28, base)], FOREST_DARK,
                  outline=None)
        c.draw.rectangle(c.box((x - 2.5, base, x + 2.5, base + 8)), fill=BROWN)
    c.polygon([(-10, 200), (410, 190), (410, 260), (-10, 260)], LEAF, outline=None)
    tent(c, 70, 180, 222, 140, w=3.0)
    # Fire with the pot on a tripod.
    c.stroke([(232, 228), (270, 148), (308, 228)], OUTLINE, 5.0)
    c.stroke([(232, 228), (270, 148), (308, 228)], BROWN_LIGHT, 2.4)
    logs(c, 270, 224, 1.5)
    flames(c, 270, 222, 1.45)
    c.stroke([(270, 148), (270, 158)], OUTLINE, 2.4)
    pot(c, 270, 172, 40, 27, 1.5)
    steam(c, 262, 164, 1.3, WHITE)
    steam(c, 278, 164, 1.3, WHITE)
    # A carrot and beans waiting by the fire.
    carrot(c, tip=(318, 238), angle=-12, length=36, half_width=7)
    bean(c, 382, 226, 20, 5.5, 3.6)
    bean(c, 390, 238, -10, 5.5, 3.6)
    c.text((200, 48), "Kestavo", 54, FOREST_DARK, outline=CREAM, w=3)
    c.text((200, 88), "Food planning for the trail", 15, BROWN, bold=True, outline=CREAM, w=1.5)
    return c.result().convert("RGB")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "pictures")
    os.makedirs(out, exist_ok=True)
    pictures = {
        "ingredients.png": draw_ingredients,
        "menuitems.png": draw_menuitems,
        "meals.png": draw_meals,
        "people.png": draw_people,
        "tripwizard.png": draw_tripwizard,
        "kestavo.png": lambda: draw_icon(256),
        "kestavo-48.png": lambda: draw_icon(48),
        "kestavo-32.png": lambda: draw_icon(32),
        "cleardb_warning.png": draw_cleardb_warning,
        "about_camp.png": draw_about_camp,
        "about_cooking.png": draw_about_cooking,
    }
    for name, draw in pictures.items():
        draw().save(os.path.join(out, name), optimize=True)
    draw_splash().save(os.path.join(out, "splash.bmp"))


if __name__ == "__main__":
    main()
