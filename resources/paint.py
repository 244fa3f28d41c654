# Drawing helpers shared by the artwork modules: fonts, supersampled canvases, gradients and
# the encoders. Pillow draws shapes without anti-aliasing, so every picture is drawn large and
# scaled down once at the end.
import io

from PIL import Image, ImageDraw, ImageFilter, ImageFont

DEFAULT_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Colours shared by several pictures so the windows read as one product.
NAVY = (18, 22, 48)
INDIGO = (44, 36, 102)
VIOLET = (108, 76, 245)
CORAL = (255, 94, 126)
AMBER = (255, 190, 80)
WINDOW_GREY = (240, 240, 240)  # the default dialog face the buttons sit on

# A picture carries this many pixels per pixel of the largest box the windows show it in, so a
# display at up to 200 % scales it down (or maps it one to one) and never blows it up.
SHOWN_SCALE = 2
# Canvas pixels per file pixel: enough for smooth edges after the one shrink at the end.
OVERSAMPLE = 3

_font_path = DEFAULT_FONT
_font_cache = {}


def file_size(box):
    """The pixel size of a picture the windows show in a box of `box` (width, height)."""
    return (box[0] * SHOWN_SCALE, box[1] * SHOWN_SCALE)


def use_font(path):
    """Chooses the font file; fails now rather than letting Pillow fall back to a bitmap font
    that has no Chinese glyphs."""
    global _font_path
    ImageFont.truetype(path, 12, index=0)
    _font_path = path
    _font_cache.clear()


def font(size):
    size = max(1, int(round(size)))
    if size not in _font_cache:
        # The basic layout keeps the output identical whether or not libraqm is installed.
        _font_cache[size] = ImageFont.truetype(
            _font_path, size, index=0, layout_engine=ImageFont.Layout.BASIC)
    return _font_cache[size]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(colour, factor):
    """factor < 1 darkens, > 1 lightens towards white."""
    if factor <= 1:
        return tuple(int(round(c * factor)) for c in colour[:3])
    return mix(colour, (255, 255, 255), min(1.0, factor - 1))


def vertical_gradient(size, top, bottom):
    ramp = Image.linear_gradient("L").resize(size, Image.BILINEAR)
    return Image.composite(Image.new("RGB", size, bottom), Image.new("RGB", size, top), ramp)


def horizontal_gradient(size, left, right):
    # linear_gradient runs dark to light downwards; a quarter turn anticlockwise brings its dark
    # top edge to the left.
    ramp = Image.linear_gradient("L").rotate(90, expand=True).resize(size, Image.BILINEAR)
    return Image.composite(Image.new("RGB", size, right), Image.new("RGB", size, left), ramp)


def radial_glow(size, centre, radius, colour, strength):
    """An RGBA layer: colour fading from `strength` alpha at centre to nothing at radius."""
    glow = Image.radial_gradient("L")  # 0 at the centre, 255 at the rim of a 256 box
    diameter = max(2, int(radius * 2))
    glow = glow.resize((diameter, diameter), Image.BILINEAR)
    glow = glow.point(lambda v: int(max(0, 255 - v * 255 / 128) * strength) if v < 128 else 0)
    layer = Image.new("RGBA", size, colour + (0,))
    alpha = Image.new("L", size, 0)
    alpha.paste(glow, (int(centre[0] - radius), int(centre[1] - radius)))
    layer.putalpha(alpha)
    return layer


class Canvas:
    """A picture drawn in logical coordinates at `scale` times the pixels, so that shapes come out
    anti-aliased after `finish`. Logical size may differ in aspect from the final pixels: pictures
    the program stretches are designed in the box they are shown in."""

    def __init__(self, size, scale, background=(0, 0, 0)):
        self.w, self.h = size
        self.s = scale
        self.pixels = None
        self.image = Image.new("RGB", (int(round(self.w * scale)), int(round(self.h * scale))),
                               background)
        self.draw = ImageDraw.Draw(self.image, "RGBA")

    @classmethod
    def for_file(cls, size, pixels, background=(0, 0, 0)):
        """A canvas of logical `size` that `finish` turns into `pixels`, with OVERSAMPLE canvas
        pixels per file pixel along the axis that needs the most."""
        scale = OVERSAMPLE * max(pixels[0] / size[0], pixels[1] / size[1])
        canvas = cls(size, scale, background)
        canvas.pixels = tuple(pixels)
        return canvas

    def box(self, x0, y0, x1, y1):
        return [x0 * self.s, y0 * self.s, x1 * self.s - 1, y1 * self.s - 1]

    def layer(self):
        """A transparent layer of the canvas' pixel size, for soft shadows and glows."""
        return Image.new("RGBA", self.image.size, (0, 0, 0, 0))

    def overlay(self, layer):
        base = self.image.convert("RGBA")
        base.alpha_composite(layer)
        self.image = base.convert("RGB")
        self.draw = ImageDraw.Draw(self.image, "RGBA")

    def fill_gradient(self, box, top, bottom, mask_radius=0, horizontal=False):
        x0, y0, x1, y1 = [int(round(v * self.s)) for v in box]
        size = (max(1, x1 - x0), max(1, y1 - y0))
        grad = horizontal_gradient(size, top, bottom) if horizontal else \
            vertical_gradient(size, top, bottom)
        mask = Image.new("L", size, 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, size[0] - 1, size[1] - 1],
                                               radius=mask_radius * self.s, fill=255)
        self.image.paste(grad, (x0, y0), mask)

    def gradient_ellipse(self, box, top, bottom):
        x0, y0, x1, y1 = [int(round(v * self.s)) for v in box]
        disc = vertical_gradient((x1 - x0, y1 - y0), top, bottom)
        mask = Image.new("L", disc.size, 0)
        ImageDraw.Draw(mask).ellipse([0, 0, disc.size[0] - 1, disc.size[1] - 1], fill=255)
        self.image.paste(disc, (x0, y0), mask)

    def shadow(self, box, colour, blur, radius=None):
        """A soft shadow: an ellipse (radius None) or rounded box, blurred by `blur` units."""
        layer = self.layer()
        draw = ImageDraw.Draw(layer)
        if radius is None:
            draw.ellipse(self.box(*box), fill=colour)
        else:
            draw.rounded_rectangle(self.box(*box), radius=radius * self.s, fill=colour)
        self.overlay(layer.filter(ImageFilter.GaussianBlur(blur * self.s)))

    def shadow_polygon(self, points, colour, blur):
        layer = self.layer()
        ImageDraw.Draw(layer).polygon([(x * self.s, y * self.s) for x, y in points], fill=colour)
        self.overlay(layer.filter(ImageFilter.GaussianBlur(blur * self.s)))

    def rect(self, box, fill=None, outline=None, width=1, radius=0):
        b = self.box(*box)
        if radius:
            self.draw.rounded_rectangle(b, radius=radius * self.s, fill=fill, outline=outline,
                                        width=max(1, int(round(width * self.s))))
        else:
            self.draw.rectangle(b, fill=fill, outline=outline,
                                width=max(1, int(round(width * self.s))))

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.draw.ellipse(self.box(*box), fill=fill, outline=outline,
                          width=max(1, int(round(width * self.s))))

    def polygon(self, points, fill=None, outline=None):
        self.draw.polygon([(x * self.s, y * self.s) for x, y in points], fill=fill,
                          outline=outline)

    def line(self, points, fill, width=1):
        self.draw.line([(x * self.s, y * self.s) for x, y in points], fill=fill,
                       width=max(1, int(round(width * self.s))), joint="curve")

    def text(self, xy, text, size, fill, anchor="mm", bold=0.0, outline=None, outline_width=0):
        """Text at logical size; `bold` thickens strokes (the font has no bold face)."""
        f = font(size * self.s)
        x, y = xy
        stroke = int(round(bold * self.s))
        if outline is not None:
            self.draw.text((x * self.s, y * self.s), text, font=f, anchor=anchor, fill=outline,
                           stroke_width=stroke + int(round(outline_width * self.s)),
                           stroke_fill=outline)
        self.draw.text((x * self.s, y * self.s), text, font=f, anchor=anchor, fill=fill,
                       stroke_width=stroke, stroke_fill=fill)

    def finish(self, size=None):
        size = size or self.pixels or (int(round(self.w)), int(round(self.h)))
        return self.image.resize(size, Image.LANCZOS)


def encode_jpeg(image):
    out = io.BytesIO()
    # 4:4:4 keeps thin coloured edges and small text crisp; baseline for the widest decoders.
    image.convert("RGB").save(out, "JPEG", quality=92, subsampling=0, optimize=False,
                              progressive=False)
    return out.getvalue()


def shared_palette(frames, colours=255):
    """One palette for all frames, so colours do not flicker between frames."""
    w, h = frames[0].size
    sheet = Image.new("RGB", (w, h * len(frames)))
    for i, frame in enumerate(frames):
        sheet.paste(frame.convert("RGB"), (0, i * h))
    return sheet.quantize(colors=colours, method=Image.Quantize.MEDIANCUT,
                          dither=Image.Dither.NONE)


def encode_gif(frames, duration_ms, loop=True):
    palette = shared_palette(frames)
    indexed = [f.convert("RGB").quantize(palette=palette, dither=Image.Dither.NONE)
               for f in frames]
    out = io.BytesIO()
    options = {"format": "GIF", "optimize": False}
    if len(indexed) > 1:
        options.update(save_all=True, append_images=indexed[1:], duration=duration_ms,
                       disposal=1)
        if loop:
            options["loop"] = 0
    indexed[0].save(out, **options)
    return out.getvalue()
