# Faces of the buttons: the tab buttons, the sound buttons and the round play/stop buttons.
# The program draws captions over tab and sound buttons, so their middles stay one flat light
# colour; all relief lives in thin bands along the edges. Each face is designed in the box of
# the buttons that show it.
import paint
from paint import CORAL, VIOLET, WINDOW_GREY, Canvas


def _face(size, radius, field, border, top_light, bottom_dark, band):
    """A rounded face: flat field, a highlight band at the top and a shade band at the bottom."""
    w, h = size
    c = Canvas.for_file(size, paint.file_size(size), background=WINDOW_GREY)
    c.rect((0.5, 0.5, w - 0.5, h - 0.5), fill=field, radius=radius)
    c.fill_gradient((1.5, 1.5, w - 1.5, 1.5 + band), top_light, field, mask_radius=radius - 1)
    c.fill_gradient((1.5, h - 1.5 - band, w - 1.5, h - 1.5), field, bottom_dark,
                    mask_radius=radius - 1)
    c.rect((1.5, 1.5 + band - 1, w - 1.5, h - 1.5 - band + 1), fill=field)
    c.rect((0.5, 0.5, w - 0.5, h - 0.5), outline=border, width=1, radius=radius)
    return c


TAB_SIZE = (100, 45)


def tab_normal():
    c = _face(TAB_SIZE, 6, (246, 247, 251), (156, 164, 188), (255, 255, 255), (214, 219, 232), 9)
    c.line([(7, 2), (93, 2)], fill=(255, 255, 255, 200), width=1)
    return paint.encode_jpeg(c.finish())


def tab_pressed():
    w, h = TAB_SIZE
    field = (200, 211, 232)
    c = _face(TAB_SIZE, 6, field, (112, 124, 158), (168, 180, 208), field, 8)
    # Inset: a shadow along the top and left edges, as if the face sank under the finger.
    c.line([(3, 2.4), (w - 4, 2.4)], fill=(120, 132, 168, 150), width=1.2)
    c.line([(2.4, 4), (2.4, h - 6)], fill=(120, 132, 168, 90), width=1)
    # The chosen tab carries the brand accent along its bottom edge.
    c.fill_gradient((6, h - 5, w - 6, h - 2.5), VIOLET, CORAL, mask_radius=1.2, horizontal=True)
    return paint.encode_jpeg(c.finish())


BUTTON_SIZE = (96, 32)


def button():
    c = _face(BUTTON_SIZE, 5, (248, 249, 251), (138, 150, 176), (255, 255, 255), (222, 226, 236),
              6)
    return paint.encode_jpeg(c.finish())


ROUND = 50


def _round_button(base, pressed, glyph):
    size = ROUND
    c = Canvas.for_file((size, size), paint.file_size((size, size)), background=WINDOW_GREY)
    cx = cy = size / 2
    sink = 0.8 if pressed else 0.0

    if not pressed:
        c.shadow((4, 6, size - 4, size - 2), (20, 30, 60, 90), 1.6)
    c.ellipse((2, 2, size - 2, size - 2), fill=(252, 252, 254) if not pressed else (214, 218, 228),
              outline=(170, 176, 192), width=0.8)
    top = paint.shade(base, 1.28 if not pressed else 0.82)
    bottom = paint.shade(base, 0.78 if not pressed else 0.62)
    c.gradient_ellipse((6, 6 + sink, size - 6, size - 6 + sink), top, bottom)
    if pressed:
        c.ellipse((6, 6 + sink, size - 6, size - 6 + sink), outline=(0, 0, 0, 70), width=1.6)
    else:
        c.ellipse((10, 8, size - 10, 24), fill=(255, 255, 255, 60))  # gloss
    glyph(c, cx, cy + sink, (255, 255, 255) if not pressed else (232, 236, 244))
    return paint.encode_jpeg(c.finish())


def _triangle(c, cx, cy, colour):
    c.polygon([(cx - 6, cy - 10), (cx - 6, cy + 10), (cx + 11, cy)], fill=colour)


def _square(c, cx, cy, colour):
    c.rect((cx - 8, cy - 8, cx + 8, cy + 8), fill=colour, radius=2)


PLAY_GREEN = (46, 178, 104)
STOP_RED = (226, 70, 84)


def play_normal():
    return _round_button(PLAY_GREEN, False, _triangle)


def play_pressed():
    return _round_button(PLAY_GREEN, True, _triangle)


def stop_normal():
    return _round_button(STOP_RED, False, _square)


def stop_pressed():
    return _round_button(STOP_RED, True, _square)
