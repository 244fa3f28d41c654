# The grand piano of the piano window: a small 3-D model (case outline, raised lid, keyboard,
# legs, lyre) projected onto the 456x200 box the window squeezes the picture into, then
# resampled to the file's 1280x800. Painted back to front, no depth buffer.
import math

import paint
from paint import CORAL, VIOLET, Canvas

BOX = (456, 200)
FILE_SIZE = (1280, 800)
SUPERSAMPLE = 5

# World: x runs across the keyboard (0 bass .. WIDTH treble), y up (floor 0), z from the key
# fronts' line (0) back to the tail. The viewer stands on the treble side, a little in front.
WIDTH = 1.45
RIM_TOP, RIM_BOTTOM = 1.0, 0.70
KEY_TOP = 0.80
KEY_FRONT = -0.30
CHEEK = 0.065
LID_ANGLE = math.radians(30)
LID_FROM = 0.34                       # the lid's front edge; the fold-back flap lies closed
VIEW = (1.0, 0.34, -0.58)

LACQUER = (20, 20, 25)
GOLD = (212, 168, 84)


def _bezier(p0, p1, p2, p3, steps):
    points = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c, d = (1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t ** 3
        points.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                       a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return points


def plan():
    """The case seen from above as (x, z) points, counter-clockwise from the bass front corner."""
    outline = [(0.0, 0.0), (WIDTH, 0.0), (WIDTH, 0.30)]
    outline += _bezier((WIDTH, 0.30), (WIDTH, 0.95), (0.80, 1.05), (0.74, 1.70), 24)[1:]
    outline += _bezier((0.74, 1.70), (0.70, 2.22), (0.30, 2.34), (0.0, 2.22), 20)[1:]
    return outline


def _normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def _cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def _dot(a, b):
    return sum(x * y for x, y in zip(a, b))


class Camera:
    """Orthographic view from VIEW, fitted into a region of the box."""

    def __init__(self, view, region, points):
        self.v = _normalise(view)
        self.right = _normalise(_cross(self.v, (0.0, 1.0, 0.0)))
        self.up = _normalise(_cross(self.right, self.v))
        raw = [self._raw(p) for p in points]
        xs, ys = [p[0] for p in raw], [p[1] for p in raw]
        x0, y0, x1, y1 = region
        self.k = min((x1 - x0) / (max(xs) - min(xs)), (y1 - y0) / (max(ys) - min(ys)))
        self.ox = (x0 + x1) / 2 - self.k * (max(xs) + min(xs)) / 2
        self.oy = y1 - self.k * max(ys)

    def _raw(self, p):
        return _dot(p, self.right), -_dot(p, self.up)

    def __call__(self, p):
        x, y = self._raw(p)
        return self.ox + self.k * x, self.oy + self.k * y

    def depth(self, p):
        return _dot(p, self.v)

    def facing(self, normal):
        return _dot(normal, self.v)


LIGHT = _normalise((0.4, 0.9, -0.6))


def _lit(base, normal, gloss=0.35):
    """Lambert light plus a hint of sheen; lacquer reads as black with bright edges."""
    n = _normalise(normal)
    diffuse = max(0.0, _dot(n, LIGHT))
    level = 0.55 + 0.75 * diffuse
    colour = tuple(min(255, int(c * level)) for c in base)
    return paint.mix(colour, (150, 158, 180), gloss * diffuse ** 6)


class Scene:
    def __init__(self, canvas, camera):
        self.c = canvas
        self.cam = camera

    def poly(self, points3d, fill, outline=None):
        self.c.polygon([self.cam(p) for p in points3d], fill=fill, outline=outline)

    def line(self, points3d, fill, width):
        self.c.line([self.cam(p) for p in points3d], fill=fill, width=width)

    def box(self, lo, hi, base, gloss=0.35):
        """An axis-aligned block with only its viewer-facing sides drawn."""
        (x0, y0, z0), (x1, y1, z1) = lo, hi
        faces = [((1, 0, 0), [(x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (x1, y0, z1)]),
                 ((-1, 0, 0), [(x0, y0, z0), (x0, y1, z0), (x0, y1, z1), (x0, y0, z1)]),
                 ((0, 1, 0), [(x0, y1, z0), (x1, y1, z0), (x1, y1, z1), (x0, y1, z1)]),
                 ((0, -1, 0), [(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)]),
                 ((0, 0, -1), [(x0, y0, z0), (x1, y0, z0), (x1, y1, z0), (x0, y1, z0)]),
                 ((0, 0, 1), [(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)])]
        for normal, quad in faces:
            if self.cam.facing(normal) > 0:
                self.poly(quad, _lit(base, normal, gloss))

    def leg(self, x, z, top, half=0.05):
        """A tapered square leg with a brass caster."""
        bottom = 0.06
        taper = 0.65
        faces = []
        for normal, (dx0, dz0, dx1, dz1) in (((1, 0, 0), (1, -1, 1, 1)), ((0, 0, -1), (-1, -1, 1, -1)),
                                           ((-1, 0, 0), (-1, -1, -1, 1)), ((0, 0, 1), (-1, 1, 1, 1))):
            if self.cam.facing(normal) <= 0:
                continue
            quad = [(x + dx0 * half, top, z + dz0 * half), (x + dx1 * half, top, z + dz1 * half),
                    (x + dx1 * half * taper, bottom, z + dz1 * half * taper),
                    (x + dx0 * half * taper, bottom, z + dz0 * half * taper)]
            faces.append((normal, quad))
        for normal, quad in faces:
            self.poly(quad, _lit(LACQUER, normal))
        cx, cy = self.cam((x, 0.035, z))
        r = half * taper * self.cam.k * 1.1
        self.c.ellipse((cx - r, cy - r * 0.8, cx + r, cy + r * 0.8), fill=GOLD)


def _rim_walls(scene, outline):
    """Outer walls of the case, back to front, from the rim's top to its bottom."""
    walls = []
    closed = outline + [outline[0]]
    for (ax, az), (bx, bz) in zip(closed, closed[1:]):
        normal = (bz - az, 0.0, -(bx - ax))  # outward for a counter-clockwise outline
        if normal == (0.0, 0.0, 0.0) or scene.cam.facing(normal) <= 0:
            continue
        quad = [(ax, RIM_TOP, az), (bx, RIM_TOP, bz), (bx, RIM_BOTTOM, bz), (ax, RIM_BOTTOM, az)]
        depth = scene.cam.depth(((ax + bx) / 2, 0.85, (az + bz) / 2))
        walls.append((depth, normal, quad))
    for _, normal, quad in sorted(walls, key=lambda w: w[0]):
        scene.poly(quad, _lit(LACQUER, normal, gloss=0.55))
    # The top edge catches the light.
    scene.line([(x, RIM_TOP, z) for x, z in outline if not (z == 0 and 0 < x < WIDTH)],
               fill=(120, 126, 146), width=0.7)


def _inset(outline, amount):
    """The outline pulled towards its centre: the soundboard inside the rim."""
    cx = sum(p[0] for p in outline) / len(outline)
    cz = sum(p[1] for p in outline) / len(outline)
    out = []
    for x, z in outline:
        dx, dz = cx - x, cz - z
        d = math.hypot(dx, dz) or 1
        out.append((x + dx / d * amount, z + dz / d * amount))
    return out


def _interior(scene, outline):
    scene.poly([(x, RIM_TOP, z) for x, z in outline], fill=(34, 30, 30))
    board = _inset(outline, 0.05)
    scene.poly([(x, RIM_TOP - 0.06, z) for x, z in board], fill=(196, 150, 96))
    plate = _inset(outline, 0.12)
    scene.poly([(x, RIM_TOP - 0.035, z) for x, z in plate if z > 0.22], fill=GOLD)
    # Strings fan from the tuning pins at the front to the bridge near the rim.
    for i in range(26):
        t = i / 25
        x = 0.12 + t * (WIDTH - 0.26)
        back = 2.05 - 1.05 * t ** 0.9
        scene.line([(x, RIM_TOP - 0.03, 0.36), (x * 0.92 + 0.02, RIM_TOP - 0.03, back)],
                   fill=(120, 92, 52, 150), width=0.3)
    # Round openings in the plate.
    for x, z in ((0.45, 0.9), (0.45, 1.35), (0.35, 1.75)):
        cx, cy = scene.cam((x, RIM_TOP - 0.03, z))
        r = 0.09 * scene.cam.k
        scene.c.ellipse((cx - r * 0.5, cy - r * 0.35, cx + r * 0.5, cy + r * 0.35),
                        fill=(150, 112, 60))


def _lid(scene, outline):
    cos, sin = math.cos(LID_ANGLE), math.sin(LID_ANGLE)

    def lifted(x, z, dy=0.0):
        return (x * cos - dy * sin, RIM_TOP + x * sin + dy * cos, z)

    part = [(x, max(z, LID_FROM)) for x, z in outline]
    under = [lifted(x, z) for x, z in part]
    top = [lifted(x, z, 0.03) for x, z in part]
    # Thickness first, then the underside that faces the viewer.
    scene.poly(top, fill=(12, 12, 16))
    scene.poly(under, fill=(30, 28, 32))
    # The underside mirrors the gold inside: a soft glow strip near the free edge.
    glow = [lifted(x * 0.92, z) for x, z in _inset(part, 0.10) if x > 0.55]
    if len(glow) > 2:
        scene.poly(glow, fill=(92, 74, 52, 70))
    scene.line(under[1:-1], fill=(110, 110, 128), width=0.6)
    # The flap over the strings' front lies closed on the rim.
    scene.poly([(0, RIM_TOP + 0.02, 0), (WIDTH, RIM_TOP + 0.02, 0),
                (WIDTH, RIM_TOP + 0.02, LID_FROM), (0, RIM_TOP + 0.02, LID_FROM)],
               fill=_lit(LACQUER, (0, 1, 0), 0.6))
    # The prop stands on the rim near the bentside and holds the lid's edge.
    foot = (1.18, RIM_TOP, 1.0)
    head = lifted(1.22, 1.0)
    return foot, head


def _keyboard(scene):
    left, right = CHEEK, WIDTH - CHEEK
    # Fallboard above the keys and the key slip below them.
    scene.poly([(left, KEY_TOP + 0.015, 0.06), (right, KEY_TOP + 0.015, 0.06),
                (right, RIM_TOP - 0.04, 0.10), (left, RIM_TOP - 0.04, 0.10)],
               fill=_lit(LACQUER, (0, 0.3, -1), 0.7))
    scene.box((left, RIM_BOTTOM, KEY_FRONT - 0.02), (right, KEY_TOP - 0.03, 0.06), LACQUER, 0.5)
    white = 36
    step = (right - left) / white
    scene.poly([(left, KEY_TOP, KEY_FRONT), (right, KEY_TOP, KEY_FRONT),
                (right, KEY_TOP, 0.06), (left, KEY_TOP, 0.06)], fill=(248, 246, 240))
    scene.poly([(left, KEY_TOP, KEY_FRONT), (right, KEY_TOP, KEY_FRONT),
                (right, KEY_TOP - 0.03, KEY_FRONT), (left, KEY_TOP - 0.03, KEY_FRONT)],
               fill=(214, 210, 204))
    for i in range(1, white):
        x = left + i * step
        scene.line([(x, KEY_TOP, KEY_FRONT), (x, KEY_TOP, 0.06)], fill=(150, 150, 156),
                   width=0.25)
    pattern = (1, 1, 0, 1, 1, 1, 0)  # black key after C, D, (not E), F, G, A, (not B)
    for i in range(white - 1):
        if pattern[i % 7]:
            x = left + (i + 1) * step
            scene.box((x - step * 0.28, KEY_TOP, KEY_FRONT + 0.14),
                      (x + step * 0.28, KEY_TOP + 0.012, 0.06), (24, 24, 28), 0.8)
    # Cheek blocks at both ends.
    scene.box((0, RIM_BOTTOM, KEY_FRONT - 0.03), (CHEEK, KEY_TOP + 0.06, 0.0), LACQUER, 0.6)
    scene.box((WIDTH - CHEEK, RIM_BOTTOM, KEY_FRONT - 0.03), (WIDTH, KEY_TOP + 0.06, 0.0),
              LACQUER, 0.6)


def _music_desk(scene):
    scene.poly([(0.36, RIM_TOP + 0.02, 0.20), (1.09, RIM_TOP + 0.02, 0.20),
                (1.09, RIM_TOP + 0.24, 0.28), (0.36, RIM_TOP + 0.24, 0.28)],
               fill=_lit(LACQUER, (0, 0.35, -1), 0.6))
    scene.poly([(0.50, RIM_TOP + 0.05, 0.195), (0.95, RIM_TOP + 0.05, 0.195),
                (0.95, RIM_TOP + 0.21, 0.265), (0.50, RIM_TOP + 0.21, 0.265)],
               fill=(246, 242, 230))
    for k in range(4):
        y = RIM_TOP + 0.08 + k * 0.035
        scene.line([(0.54, y, 0.205 + k * 0.015), (0.91, y, 0.205 + k * 0.015)],
                   fill=(150, 146, 140), width=0.3)


def _lyre(scene):
    x, z = WIDTH / 2, 0.22
    for dx in (-0.06, 0.06):
        scene.box((x + dx - 0.015, 0.12, z - 0.015), (x + dx + 0.015, RIM_BOTTOM, z + 0.015),
                  LACQUER, 0.6)
    scene.box((x - 0.16, 0.06, z - 0.05), (x + 0.16, 0.14, z + 0.05), LACQUER, 0.6)
    for dx in (-0.09, 0.0, 0.09):
        scene.box((x + dx - 0.025, 0.085, z - 0.16), (x + dx + 0.025, 0.105, z - 0.05), GOLD, 1.0)


def _bench(scene):
    x0, x1, z0, z1, seat = 0.25, 1.20, -0.95, -0.62, 0.50
    for lx, lz in ((x0 + 0.05, z0 + 0.05), (x1 - 0.05, z0 + 0.05), (x0 + 0.05, z1 - 0.05),
                   (x1 - 0.05, z1 - 0.05)):
        scene.box((lx - 0.025, 0.04, lz - 0.025), (lx + 0.025, seat - 0.06, lz + 0.025),
                  LACQUER, 0.5)
    scene.box((x0, seat - 0.07, z0), (x1, seat - 0.02, z1), LACQUER, 0.6)
    scene.box((x0 + 0.02, seat - 0.02, z0 + 0.02), (x1 - 0.02, seat + 0.03, z1 - 0.02),
              (70, 40, 44), 0.4)


def _backdrop(c):
    w, h = BOX
    floor = 118
    c.fill_gradient((0, 0, w, floor), (246, 242, 250), (226, 220, 240))
    c.fill_gradient((0, floor, w, h), (214, 206, 228), (196, 188, 214))
    glow = c.layer()
    glow.alpha_composite(paint.radial_glow(glow.size, (250 * c.s, 60 * c.s), 210 * c.s,
                                           (255, 255, 255), 0.8))
    c.overlay(glow)
    c.line([(0, floor), (w, floor)], fill=(180, 170, 204), width=0.6)
    # A few notes drifting up from the strings.
    for x, y, size, colour, pair in ((410, 40, 15, VIOLET, True), (436, 78, 11, CORAL, False),
                                     (392, 96, 9, VIOLET, False), (34, 38, 10, CORAL, False),
                                     (58, 66, 13, VIOLET, True)):
        _note(c, x, y, size, colour + (160,), pair)


def _note(c, x, y, size, colour, pair):
    """A quaver (or two beamed) drawn from shapes: no font carries every music symbol."""
    heads = [(x, y)] if not pair else [(x - size * 0.45, y + size * 0.1), (x + size * 0.45, y)]
    for hx, hy in heads:
        c.ellipse((hx - size * 0.22, hy - size * 0.16, hx + size * 0.22, hy + size * 0.16),
                  fill=colour)
        c.line([(hx + size * 0.2, hy), (hx + size * 0.2, hy - size * 0.9)], fill=colour,
               width=size * 0.07)
    if pair:
        (ax, ay), (bx, by) = heads
        c.polygon([(ax + size * 0.17, ay - size * 0.9), (bx + size * 0.23, by - size * 0.9),
                   (bx + size * 0.23, by - size * 0.72), (ax + size * 0.17, ay - size * 0.72)],
                  fill=colour)
    else:
        c.line([(x + size * 0.2, y - size * 0.9), (x + size * 0.45, y - size * 0.6),
                (x + size * 0.4, y - size * 0.35)], fill=colour, width=size * 0.07)


def grand_piano():
    c = Canvas(BOX, SUPERSAMPLE)
    _backdrop(c)
    outline = plan()
    cos, sin = math.cos(LID_ANGLE), math.sin(LID_ANGLE)
    extent = [(x, y, z) for x, z in outline for y in (0.0, RIM_TOP)]
    extent += [(x * cos, RIM_TOP + x * sin, z) for x, z in outline]
    extent += [(0.25, 0.0, -0.95), (1.2, 0.5, -0.95)]
    cam = Camera(VIEW, (70, 8, 400, 186), extent)
    scene = Scene(c, cam)

    # Shadow on the floor under the whole instrument.
    floor = [cam((x, 0.0, z)) for x, z in _inset(outline, -0.10)]
    c.shadow_polygon(floor, (40, 30, 60, 90), 4)

    legs = [(0.14, 0.16), (WIDTH - 0.14, 0.16), (0.36, 1.95)]
    for x, z in sorted(legs, key=lambda p: cam.depth((p[0], 0.3, p[1]))):
        scene.leg(x, z, RIM_BOTTOM)
    _lyre(scene)

    foot, head = _lid(scene, outline)
    _interior(scene, outline)
    _music_desk(scene)
    _rim_walls(scene, outline)
    scene.line([foot, head], fill=(30, 30, 36), width=1.6)
    scene.line([foot, head], fill=(140, 140, 156), width=0.5)
    _keyboard(scene)
    _bench(scene)
    return paint.encode_jpeg(c.finish(FILE_SIZE))
