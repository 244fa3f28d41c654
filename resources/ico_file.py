# Writes .ico files: ICONDIR, ICONDIRENTRYs and BITMAPINFOHEADER DIBs (colour rows then the
# 1-bit AND mask, height doubled), or a PNG file as the whole entry. Pillow's writer only makes
# 32-bit/PNG entries, and 256-colour entries are what older shells and remote sessions ask for.
# Layout: https://learn.microsoft.com/en-us/previous-versions/ms997538(v=msdn.10)
# PNG entries (Windows Vista on, the usual form of the 256-pixel image, where a DIB would take a
# quarter of a megabyte): https://learn.microsoft.com/en-us/windows/win32/uxguide/vis-icons
import io
import struct

from PIL import Image

ICONDIR = struct.Struct("<HHH")
ICONDIRENTRY = struct.Struct("<BBBBHHII")
BITMAPINFOHEADER = struct.Struct("<IiiHHIIiiII")
OPAQUE_FROM = 128  # alpha at or above this is solid in the 256-colour entries
PNG = "png"       # an entry kind beside the bit depths 8 and 32


def _mask_rows(image):
    """AND mask, bottom-up, each row padded to 32 bits; 1 marks a transparent pixel."""
    w, h = image.size
    alpha = image.getchannel("A")
    stride = (w + 31) // 32 * 4
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if alpha.getpixel((x, y)) < OPAQUE_FROM:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def _header(w, h, bits, image_bytes, colours):
    return BITMAPINFOHEADER.pack(BITMAPINFOHEADER.size, w, h * 2, 1, bits, 0, image_bytes, 0, 0,
                                 colours, 0)


def _dib32(image):
    w, h = image.size
    # BGRA rows, bottom-up; 32-bit rows are always 4-byte aligned.
    pixels = b"".join(image.crop((0, y, w, y + 1)).tobytes("raw", "BGRA")
                      for y in range(h - 1, -1, -1))
    mask = _mask_rows(image)
    return _header(w, h, 32, len(pixels) + len(mask), 0) + pixels + mask


def _dib8(image):
    """256 colours: index 0 is black and reserved for transparent pixels, so that the AND/XOR
    pair leaves the screen untouched there instead of inverting it."""
    w, h = image.size
    alpha = image.getchannel("A")
    solid = alpha.point(lambda a: 255 if a >= OPAQUE_FROM else 0)
    rgb = image.convert("RGB")
    # Transparent pixels take the colour of a solid one so they do not use up palette entries.
    filler = Image.new("RGB", (w, h), rgb.getpixel(_first_solid(solid)))
    rgb = Image.composite(rgb, filler, solid)
    indexed = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                           dither=Image.Dither.NONE)
    palette = indexed.getpalette()[:255 * 3]
    palette += [0] * (255 * 3 - len(palette))
    table = b"\x00\x00\x00\x00" + b"".join(
        bytes((palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0)) for i in range(255))
    stride = (w + 3) // 4 * 4
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if solid.getpixel((x, y)):
                row[x] = indexed.getpixel((x, y)) + 1
        rows.append(bytes(row))
    pixels = b"".join(rows)
    mask = _mask_rows(image)
    return _header(w, h, 8, len(pixels) + len(mask), 256) + table + pixels + mask


def _first_solid(solid):
    w, h = solid.size
    for y in range(h):
        for x in range(w):
            if solid.getpixel((x, y)):
                return (x, y)
    raise ValueError("icon image is fully transparent")


def _png(image):
    out = io.BytesIO()
    image.save(out, "PNG", optimize=True)
    return out.getvalue()


def build(entries):
    """entries: (RGBA image, kind) pairs with kind 8, 32 or PNG (32-bit colour with alpha) and
    sides up to 256."""
    parts = []
    for image, kind in entries:
        if image.mode != "RGBA":
            raise ValueError("icon images must be RGBA")
        w, h = image.size
        if not (1 <= w <= 256 and 1 <= h <= 256):
            raise ValueError(f"icon side out of range: {w}x{h}")
        if kind == 32:
            parts.append((w, h, 32, _dib32(image)))
        elif kind == 8:
            parts.append((w, h, 8, _dib8(image)))
        elif kind == PNG:
            parts.append((w, h, 32, _png(image)))
        else:
            raise ValueError(f"unsupported entry kind {kind}")

    out = bytearray(ICONDIR.pack(0, 1, len(parts)))
    offset = ICONDIR.size + ICONDIRENTRY.size * len(parts)
    for w, h, bits, data in parts:
        out += ICONDIRENTRY.pack(w % 256, h % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, _, data in parts:
        out += data
    return bytes(out)
