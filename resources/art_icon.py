# The update icon (exe and update window): a white down arrow on a blue-violet disc, drawn
# separately for each size so that the small ones get thicker strokes instead of a blur.
from PIL import Image, ImageDraw

import ico_file
import paint

# Every size Windows asks for at 100 % to 200 % scaling: small icons (16 at 100 %, 20, 24, 32
# at 200 %), large ones (32 .. 64) and Explorer's biggest views (256).
SIZES = (256, 64, 48, 40, 32, 24, 20, 16)
# 256-colour companions of the classic sizes, for shells and remote sessions that want them.
PALETTE_SIZES = (48, 32, 16)
SMALL_UP_TO = 24  # at these sizes the thin strokes would blur away
SUPERSAMPLE = 8
DISC_TOP = (92, 132, 255)
DISC_BOTTOM = (88, 56, 214)
RIM = (52, 34, 140)


def glyph(size):
    s = size * SUPERSAMPLE

    def u(v):
        return v * s

    disc = paint.vertical_gradient((s, s), DISC_TOP, DISC_BOTTOM).convert("RGBA")
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).ellipse([u(0.03), u(0.03), u(0.97) - 1, u(0.97) - 1], fill=255)
    image = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    image.paste(disc, (0, 0), mask)
    draw = ImageDraw.Draw(image)
    rim = max(SUPERSAMPLE, u(0.035))
    draw.ellipse([u(0.03), u(0.03), u(0.97) - 1, u(0.97) - 1], outline=RIM, width=int(rim))

    small = size <= SMALL_UP_TO
    shaft = 0.20 if small else 0.15
    head = 0.56 if small else 0.46
    head_top = 0.50 if small else 0.47
    tip = 0.80 if small else 0.70
    white = (255, 255, 255, 255)
    draw.rectangle([u(0.5 - shaft / 2), u(0.20), u(0.5 + shaft / 2), u(head_top + 0.02)],
                   fill=white)
    draw.polygon([(u(0.5 - head / 2), u(head_top)), (u(0.5 + head / 2), u(head_top)),
                  (u(0.5), u(tip))], fill=white)
    if not small:
        draw.rounded_rectangle([u(0.29), u(0.76), u(0.71), u(0.83)], radius=u(0.03), fill=white)
    return image.resize((size, size), Image.LANCZOS)


def update_icon():
    entries = []
    for size in SIZES:
        image = glyph(size)
        entries.append((image, ico_file.PNG if size == 256 else 32))
        if size in PALETTE_SIZES:
            entries.append((image, 8))
    return ico_file.build(entries)
