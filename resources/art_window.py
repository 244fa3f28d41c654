# Pictures of the main window: the banner, the logo and link badges that sit on it, and the
# loading animation. The program stretches each into a fixed box, so each is designed in the
# coordinates of that box and then resampled to its file size.
import math

from PIL import Image

import paint
from paint import AMBER, CORAL, INDIGO, NAVY, VIOLET, Canvas

BANNER_BOX = (688, 72)
BANNER_FILE = (1600, 300)
LOGO_BOX = (16, 32, 104, 64)          # where the program puts the logo on the banner
LINKS_BOX = (352, 32, 632, 56)        # the three link pictures, side by side
TEXT_ROW = 24                         # link texts run along the banner's top row
SUPERSAMPLE = 5


def _banner_backdrop():
    c = Canvas(BANNER_BOX, SUPERSAMPLE)
    w, h = BANNER_BOX
    c.fill_gradient((0, 0, w, h), NAVY, INDIGO, horizontal=True)

    glow = c.layer()
    for centre, radius, colour, strength in (((250, 58), 190, VIOLET, 0.45),
                                             ((610, 70), 150, CORAL, 0.28),
                                             ((40, 10), 120, (40, 110, 200), 0.25)):
        glow.alpha_composite(paint.radial_glow(glow.size, (centre[0] * c.s, centre[1] * c.s),
                                               radius * c.s, colour, strength))
    c.overlay(glow)

    # Two faint sound waves across the lower half; the link texts above stay on a calm field.
    for amplitude, period, phase, alpha in ((7, 170, 0.0, 40), (5, 115, 1.3, 28)):
        points = [(x, 50 + amplitude * math.sin(x / period * 2 * math.pi + phase)
                   * (0.4 + 0.6 * x / w)) for x in range(0, w + 1, 2)]
        c.line(points, fill=(190, 170, 255, alpha), width=1.2)

    # A darker band under the link texts, closed by a hairline, keeps white text readable.
    c.rect((0, 0, w, TEXT_ROW), fill=(0, 0, 10, 70))
    c.line([(0, TEXT_ROW), (w, TEXT_ROW)], fill=(160, 140, 255, 70), width=0.6)

    # An equaliser in the free corner right of the link pictures.
    bars = (0.45, 0.8, 0.6, 1.0, 0.7, 0.35)
    for i, level in enumerate(bars):
        x = 644 + i * 7
        top = 64 - 28 * level
        c.fill_gradient((x, top, x + 4, 64), paint.mix(AMBER, CORAL, i / 5), CORAL,
                        mask_radius=1.5)
    return c


def banner():
    c = _banner_backdrop()
    # Title block between the logo (ends at x=104) and the first link picture (x=352).
    c.text((121, 49), "Zanvoro", 24, (255, 255, 255), anchor="ls", bold=0.5,
           outline=(20, 10, 60, 110), outline_width=1.2)
    c.rect((122, 53.5, 146, 55), fill=CORAL, radius=0.7)
    c.text((150, 58.5), "MC音效 · 变声器 · 模拟钢琴 · 快捷发送", 11, (214, 208, 255),
           anchor="lm", bold=0.15)
    return paint.encode_jpeg(c.finish(BANNER_FILE))


def _backdrop_crop(box):
    c = _banner_backdrop()
    x0, y0, x1, y1 = box
    return c.image.crop((x0 * c.s, y0 * c.s, x1 * c.s, y1 * c.s))


def logo():
    # Designed in the 88x32 box it is shown in; the backdrop is the banner beneath it, so the
    # JPEG's rectangle does not show.
    box = (LOGO_BOX[2] - LOGO_BOX[0], LOGO_BOX[3] - LOGO_BOX[1])
    c = Canvas.for_file(box, paint.file_size(box))
    c.image.paste(_backdrop_crop(LOGO_BOX).resize(c.image.size, Image.LANCZOS))
    c.fill_gradient((2, 3, 28, 29), CORAL, VIOLET, mask_radius=7)
    c.rect((2, 3, 28, 29), outline=(255, 255, 255, 90), width=0.8, radius=7)
    # A "Z" drawn as one stroke that ends in a small wave.
    c.line([(9, 10), (21, 10), (9, 22), (15, 22)], fill=(255, 255, 255), width=2.6)
    c.line([(15, 22), (17, 19.5), (19, 22), (21, 24.5), (23, 22)], fill=(255, 255, 255),
           width=1.6)
    c.text((33, 13.5), "ZANVORO", 10.5, (255, 255, 255), anchor="lm", bold=0.35)
    c.text((33, 24), "直播助手", 8.5, (210, 200, 255), anchor="lm")
    return paint.encode_jpeg(c.finish())


def link():
    box = (88, 24)
    corner = _backdrop_crop(LINKS_BOX).resize((1, 1), Image.BOX).getpixel((0, 0))
    c = Canvas.for_file(box, paint.file_size(box), background=corner)
    c.fill_gradient((0, 0.5, 88, 23.5), CORAL, AMBER, mask_radius=7, horizontal=True)
    c.rect((0, 0.5, 88, 23.5), outline=(255, 255, 255, 110), width=0.8, radius=7)
    c.rect((4, 3.2, 84, 11), fill=(255, 255, 255, 45), radius=4)  # gloss
    c.text((40, 12.2), "点击进入", 12, (255, 255, 255), bold=0.35,
           outline=(160, 40, 60, 90), outline_width=0.6)
    c.line([(70, 8.5), (74, 12), (70, 15.5)], fill=(255, 255, 255), width=1.6)
    return paint.encode_gif([c.finish()], 0)


LOADING_SIZE = 400         # design units across; the overlay box is 312 pixels
LOADING_BOX = (312, 312)
LOADING_FRAMES = 6
LOADING_DELAY_MS = 120
LOADING_BAND = 48          # status text band at the bottom (the program uses 32/312 of it)
LOADING_FIELD = (247, 248, 252)


def _loading_frame(frame):
    size = LOADING_SIZE
    c = Canvas.for_file((size, size), paint.file_size(LOADING_BOX), background=LOADING_FIELD)
    cx, cy = size / 2, (size - LOADING_BAND) / 2 + 4
    c.ellipse((cx - 126, cy - 126, cx + 126, cy + 126), fill=(234, 236, 248))
    c.ellipse((cx - 102, cy - 102, cx + 102, cy + 102), fill=(255, 255, 255))

    # A comet arc sweeps round the ring, a sixth of a turn per frame; drawn as overlapping
    # round dots so its head is round and its tail fades.
    head = -math.pi / 2 + frame * 2 * math.pi / LOADING_FRAMES
    steps = 120
    for i in range(steps):
        t = i / (steps - 1)                       # 0 at the tail, 1 at the head
        angle = head - (1 - t) * math.radians(200)
        x, y = cx + 114 * math.cos(angle), cy + 114 * math.sin(angle)
        r = 4 + 8 * t
        colour = paint.mix((226, 222, 250), paint.mix(VIOLET, CORAL, t * t), t ** 0.6)
        c.ellipse((x - r, y - r, x + r, y + r), fill=colour)

    # An equaliser in the middle, each bar a phase of the same beat.
    bars = 5
    for i in range(bars):
        level = 0.5 + 0.5 * math.sin(2 * math.pi * (frame / LOADING_FRAMES + i * 0.27))
        height = 28 + 72 * level
        x = cx - 58 + i * 24
        c.fill_gradient((x, cy + 44 - height, x + 16, cy + 44), paint.mix(CORAL, AMBER, level),
                        paint.mix(VIOLET, CORAL, i / (bars - 1)), mask_radius=5)
    c.rect((cx - 64, cy + 50, cx + 64, cy + 53), fill=(222, 224, 240), radius=1.5)

    # The status band stays one flat colour so the program's black text reads on it.
    c.rect((0, size - LOADING_BAND, size, size), fill=LOADING_FIELD)
    c.line([(40, size - LOADING_BAND - 3), (size - 40, size - LOADING_BAND - 3)],
           fill=(226, 229, 238), width=1)
    return c.finish()


def loading():
    frames = [_loading_frame(i) for i in range(LOADING_FRAMES)]
    return paint.encode_gif(frames, LOADING_DELAY_MS)
