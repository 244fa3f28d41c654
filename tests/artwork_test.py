#!/usr/bin/python3
# Checks the drawn artwork the way the program will use it: names from pictures.h, formats, sizes
# against the boxes the window catalogue shows each picture in, the loading animation, calm
# places for the captions the program draws, the icon's entries, the resource script and
# zanvoro_embed(), and a generator that is repeatable and fails loudly.
import argparse
import io
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
OPTIONS = None

PICTURES = [
    # name, format
    ("banner.jpg", "JPEG"),
    ("loading.gif", "GIF"),
    ("link.gif", "GIF"),
    ("logo.jpg", "JPEG"),
    ("tab_normal.jpg", "JPEG"),
    ("tab_pressed.jpg", "JPEG"),
    ("button.jpg", "JPEG"),
    ("play_normal.jpg", "JPEG"),
    ("play_pressed.jpg", "JPEG"),
    ("stop_normal.jpg", "JPEG"),
    ("stop_pressed.jpg", "JPEG"),
    ("keyboard.jpg", "JPEG"),
    ("grand_piano.jpg", "JPEG"),
    ("update.ico", "ICO"),
]

# A picture must hold this many pixels per pixel of the largest box a window shows it in, so
# that displays at up to 200 % only ever shrink it.
SHOWN_SCALE = 2

# Regions the program writes over, in pixels of the box the picture is shown in: (name, box,
# most spread of luminance, lowest and highest allowed luminance). Black captions need a flat
# light field, the banner's white link texts a dark one.
CAPTION_AREAS = [
    ("tab_normal.jpg", (8, 13, 92, 32), 12, 200, 255),
    ("tab_pressed.jpg", (8, 13, 92, 32), 12, 150, 255),
    ("button.jpg", (8, 8, 88, 24), 12, 200, 255),
    ("loading.gif", (0, 278, 312, 312), 0, 200, 255),  # the status label's band
    ("banner.jpg", (8, 0, 632, 24), 255, 0, 120),      # the row of link texts
]

PRESSED_FACES = [("tab_normal.jpg", "tab_pressed.jpg"),
                 ("play_normal.jpg", "play_pressed.jpg"),
                 ("stop_normal.jpg", "stop_pressed.jpg")]

# Windows asks for small icons of 16 and large ones of 32 pixels at 100 % and for those sizes
# scaled at 125, 150 and 200 %; Explorer's largest views want 256.
SCALINGS = (1.0, 1.25, 1.5, 2.0)
ICON_SIZES = {round(side * scale) for side in (16, 32) for scale in SCALINGS} | {256}
PALETTE_SIZES = {48, 32, 16}  # the classic sizes also come in 256 colours
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def out_path(name):
    return os.path.join(OPTIONS.out, name)


def header_names():
    with open(os.path.join(ROOT, "resources", "pictures.h"), encoding="utf-8") as f:
        return re.findall(r'inline constexpr const char\* k\w+ = "([^"]+)";', f.read())


def frames(image):
    for i in range(getattr(image, "n_frames", 1)):
        image.seek(i)
        yield image.convert("RGB")


def shown_boxes():
    """The largest width and height each picture is shown at, from the window catalogue."""
    # Control names come out as the core holds them: GBK bytes.
    listing = subprocess.run([OPTIONS.shown], capture_output=True, encoding="gbk", check=True,
                             timeout=60).stdout
    boxes = {}
    for line in listing.splitlines():
        _, _, picture, width, height = line.split()
        shown = boxes.get(picture, (0, 0))
        boxes[picture] = (max(shown[0], int(width)), max(shown[1], int(height)))
    return boxes


def in_file_pixels(box, shown, size):
    """A region given in pixels of the shown box, in pixels of the picture file."""
    sx, sy = size[0] / shown[0], size[1] / shown[1]
    x0, y0, x1, y1 = box
    return (round(x0 * sx), round(y0 * sy), round(x1 * sx), round(y1 * sy))


def run_generator(out_dir, font=None):
    command = [sys.executable, OPTIONS.generator, "--out", out_dir,
               "--font", font or OPTIONS.font]
    return subprocess.run(command, capture_output=True, text=True, timeout=300)


class PictureFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.shown = shown_boxes()

    def test_table_covers_every_name_in_pictures_h(self):
        self.assertEqual(sorted(header_names()), sorted(name for name, _ in PICTURES))

    def test_every_picture_but_the_icon_is_shown_by_some_control(self):
        self.assertEqual(sorted(self.shown),
                         sorted(name for name in header_names() if not name.endswith(".ico")))

    def test_format_and_full_decode(self):
        for name, kind in PICTURES:
            with self.subTest(name=name), Image.open(out_path(name)) as image:
                self.assertEqual(image.format, kind)
                for frame in frames(image):  # raises on truncated or corrupt data
                    self.assertEqual(frame.size, image.size)

    def test_at_least_twice_the_largest_box_that_shows_it(self):
        for name, (width, height) in sorted(self.shown.items()):
            with self.subTest(name=name), Image.open(out_path(name)) as image:
                shown = f"shown at up to {width}x{height}"
                self.assertGreaterEqual(image.width, SHOWN_SCALE * width, shown)
                self.assertGreaterEqual(image.height, SHOWN_SCALE * height, shown)

    def test_jpegs_are_colour_baseline(self):
        # CMYK or progressive files are where decoders disagree; keep to the plain case.
        for name, kind in PICTURES:
            if kind != "JPEG":
                continue
            with self.subTest(name=name), Image.open(out_path(name)) as image:
                self.assertEqual(image.mode, "RGB")
                self.assertFalse(image.info.get("progressive") or image.info.get("progression"))

    def test_caption_areas(self):
        for name, box, spread, lowest, highest in CAPTION_AREAS:
            with self.subTest(name=name, box=box), Image.open(out_path(name)) as image:
                region = in_file_pixels(box, self.shown[name], image.size)
                for index, frame in enumerate(frames(image)):
                    low, high = frame.crop(region).convert("L").getextrema()
                    self.assertLessEqual(high - low, spread, f"frame {index} not flat")
                    self.assertGreaterEqual(low, lowest, f"frame {index} too dark")
                    self.assertLessEqual(high, highest, f"frame {index} too light")

    def test_pressed_faces_are_darker(self):
        for normal, pressed in PRESSED_FACES:
            with self.subTest(normal=normal):
                means = []
                for name in (normal, pressed):
                    with Image.open(out_path(name)) as image:
                        grey = image.convert("L")
                        means.append(sum(grey.getdata()) / (grey.width * grey.height))
                self.assertLess(means[1], means[0] - 8)


class LoadingAnimation(unittest.TestCase):
    def test_six_distinct_looping_frames_of_about_120_ms(self):
        with Image.open(out_path("loading.gif")) as image:
            self.assertEqual(image.n_frames, 6)
            self.assertEqual(image.info.get("loop"), 0, "must loop forever")
            pictures = []
            for i in range(image.n_frames):
                image.seek(i)
                self.assertTrue(100 <= image.info.get("duration", 0) <= 150,
                                f"frame {i} delay {image.info.get('duration')}")
                pictures.append(image.convert("RGB").tobytes())
            self.assertEqual(len(set(pictures)), 6, "some frames are identical")


def read_icon(data):
    """Directory entries as dicts, checked against the file's bounds."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        entries.append(dict(w=w or 256, h=h or 256, colours=colours, planes=planes, bits=bits,
                            size=size, offset=offset))
    return reserved, kind, entries


def dib_parts(data, entry):
    """(header fields, palette, colour rows, mask rows) of one entry's DIB."""
    header = struct.unpack_from("<IiiHHIIiiII", data, entry["offset"])
    w, h, bits = entry["w"], entry["h"], entry["bits"]
    palette_bytes = 4 * (header[9] or (1 << bits)) if bits <= 8 else 0
    at = entry["offset"] + header[0]
    palette = data[at:at + palette_bytes]
    at += palette_bytes
    stride = (w * bits + 31) // 32 * 4
    colour = data[at:at + stride * h]
    at += stride * h
    mask_stride = (w + 31) // 32 * 4
    mask = data[at:at + mask_stride * h]
    return header, palette, colour, stride, mask, mask_stride, at + mask_stride * h


class UpdateIcon(unittest.TestCase):
    def setUp(self):
        with open(out_path("update.ico"), "rb") as f:
            self.data = f.read()
        self.reserved, self.kind, self.entries = read_icon(self.data)

    def test_directory(self):
        self.assertEqual((self.reserved, self.kind), (0, 1))
        expected = {(side, 32) for side in ICON_SIZES} | {(side, 8) for side in PALETTE_SIZES}
        self.assertEqual({(e["w"], e["bits"]) for e in self.entries}, expected)
        self.assertEqual(len(self.entries), len(expected))
        spans = sorted((e["offset"], e["offset"] + e["size"]) for e in self.entries)
        self.assertGreaterEqual(spans[0][0], 6 + 16 * len(self.entries))
        for (_, end), (start, _) in zip(spans, spans[1:]):
            self.assertLessEqual(end, start, "entries overlap")
        self.assertLessEqual(spans[-1][1], len(self.data))

    def test_the_256_pixel_entry_is_png_and_the_others_dibs(self):
        # PNG is the form Windows (Vista on) takes at 256 pixels, where a DIB would cost
        # 256 KiB; the smaller entries stay DIBs, which every reader of icons knows.
        for e in self.entries:
            with self.subTest(size=e["w"], bits=e["bits"]):
                data = self.data[e["offset"]:e["offset"] + e["size"]]
                self.assertEqual(data.startswith(PNG_SIGNATURE), e["w"] == 256)
                if e["w"] == 256:
                    with Image.open(io.BytesIO(data)) as png:
                        self.assertEqual((png.format, png.mode, png.size),
                                         ("PNG", "RGBA", (256, 256)))

    def test_each_entry_is_a_well_formed_dib_with_a_matching_mask(self):
        for e in self.entries:
            if e["w"] == 256:
                continue
            with self.subTest(size=e["w"], bits=e["bits"]):
                self.assertEqual((e["w"], e["h"], e["planes"], e["colours"]),
                                 (e["w"], e["w"], 1, 0))
                header, palette, colour, stride, mask, mask_stride, end = dib_parts(self.data, e)
                size, width, height, planes, bits, compression = header[:6]
                self.assertEqual((size, width, height, planes, bits, compression),
                                 (40, e["w"], 2 * e["h"], 1, e["bits"], 0))
                self.assertEqual(end, e["offset"] + e["size"], "declared size disagrees")
                transparent = opaque = 0
                for y in range(e["h"]):
                    for x in range(e["w"]):
                        masked = mask[y * mask_stride + x // 8] & (0x80 >> (x % 8))
                        if e["bits"] == 8:
                            index = colour[y * stride + x]
                            rgb = palette[4 * index:4 * index + 3]
                            # A coloured pixel under a set mask bit inverts the screen.
                            if masked:
                                self.assertEqual(rgb, b"\0\0\0", f"pixel {x},{y}")
                        else:
                            alpha = colour[y * stride + 4 * x + 3]
                            self.assertEqual(bool(masked), alpha < 128, f"pixel {x},{y}")
                        transparent += bool(masked)
                        opaque += not masked
                self.assertGreater(transparent, 0)
                self.assertGreater(opaque, e["w"] * e["h"] // 3)

    def test_each_entry_decodes(self):
        with Image.open(out_path("update.ico")) as image:
            for index, e in enumerate(image.ico.entry):
                with self.subTest(size=e["width"], bits=e["bpp"]):
                    picture = image.ico.frame(index).convert("RGBA")
                    self.assertEqual(picture.size, (e["width"], e["height"]))
                    centre = picture.getpixel((e["width"] // 2, e["height"] // 2))
                    corner = picture.getpixel((0, 0))
                    self.assertEqual(centre[3], 255)
                    self.assertEqual(corner[3], 0)


class ResourceScript(unittest.TestCase):
    def test_names_every_picture_and_the_exe_icon(self):
        with open(out_path("zanvoro_resources.rc"), encoding="utf-8") as f:
            lines = [line.strip() for line in f if line.strip() and not line.startswith("//")]
        found = {}
        for line in lines:
            match = re.fullmatch(r'(\w+)\s+(RCDATA|ICON)\s+"(.+)"', line)
            self.assertIsNotNone(match, f"unreadable line: {line}")
            key = (match.group(2), match.group(1))
            self.assertNotIn(key, found, f"duplicate {key}")
            found[key] = match.group(3).replace("\\\\", "\\")
        for name, _ in PICTURES:
            with self.subTest(name=name):
                resource = name.upper().replace(".", "_")
                path = found.get(("RCDATA", resource))
                self.assertIsNotNone(path, f"{resource} missing")
                self.assertTrue(os.path.samefile(path, out_path(name)))
        self.assertTrue(os.path.samefile(found[("ICON", "1")], out_path("update.ico")))


class Generator(unittest.TestCase):
    def test_two_runs_give_identical_bytes(self):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            for folder in (first, second):
                result = run_generator(folder)
                self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(sorted(os.listdir(first)), sorted(header_names()))
            for name in sorted(os.listdir(first)):
                with self.subTest(name=name):
                    with open(os.path.join(first, name), "rb") as a, \
                            open(os.path.join(second, name), "rb") as b:
                        self.assertTrue(a.read() == b.read(), "differs between runs")

    def test_missing_font_fails_and_writes_nothing(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "out")
            result = run_generator(target, font=os.path.join(folder, "no-such-font.ttc"))
            self.assertNotEqual(result.returncode, 0)
            self.assertIn("no-such-font.ttc", result.stderr)
            self.assertFalse(os.path.exists(target) and os.listdir(target))


# zanvoro_embed() calls a later build file might make: (call, error expected in the output or
# None, line expected in the resource script).
EMBED_CASES = [
    ("zanvoro_embed(${CMAKE_BINARY_DIR}/clips/clap.wav DEPENDS zanvoro_artwork)", None,
     'CLAP_WAV RCDATA "{bin}/clips/clap.wav"'),
    ("zanvoro_embed(${CMAKE_BINARY_DIR}/clips/掌声.wav NAME CLAP2_WAV)", None,
     'CLAP2_WAV RCDATA "{bin}/clips/掌声.wav"'),
    ("zanvoro_embed(${CMAKE_BINARY_DIR}/clips/掌声.wav)", "pass NAME", None),
    ("zanvoro_embed(${CMAKE_BINARY_DIR}/clips/2.wav)", "pass NAME", None),
    ("zanvoro_embed(${CMAKE_BINARY_DIR}/other/banner.jpg)", "embedded twice", None),
    ("zanvoro_embed(clips/clap.wav)", "not an absolute path", None),
    ("zanvoro_embed(${CMAKE_BINARY_DIR}/clips/clap.wav TYPE BITMAP)", "not RCDATA or ICON", None),
]


class EmbedFunction(unittest.TestCase):
    """Configures a throw-away project around resources/ and reads the script it writes."""

    def configure(self, folder, call):
        with open(os.path.join(folder, "CMakeLists.txt"), "w", encoding="utf-8") as f:
            f.write("cmake_minimum_required(VERSION 3.20)\nproject(embed_check NONE)\n"
                    "enable_testing()\n"
                    f"add_subdirectory({os.path.join(ROOT, 'resources')} resources)\n{call}\n")
        build = os.path.join(folder, "build")
        result = subprocess.run([OPTIONS.cmake, "-S", folder, "-B", build,
                                 f"-DZANVORO_PYTHON={sys.executable}",
                                 f"-DZANVORO_ARTWORK_FONT={OPTIONS.font}"],
                                capture_output=True, text=True, timeout=120)
        return result, build

    def test_calls(self):
        for call, error, line in EMBED_CASES:
            with self.subTest(call=call), tempfile.TemporaryDirectory() as folder:
                result, build = self.configure(folder, call)
                output = result.stdout + result.stderr
                if error:
                    self.assertNotEqual(result.returncode, 0, output)
                    self.assertIn(error, " ".join(output.split()))
                    continue
                self.assertEqual(result.returncode, 0, output)
                with open(os.path.join(build, "resources", "zanvoro_resources.rc"),
                          encoding="utf-8") as f:
                    script = f.read().splitlines()
                self.assertIn(line.format(bin=build), script)
                self.assertIn(f'BANNER_JPG RCDATA "{build}/resources/banner.jpg"', script)


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True, help="folder the build drew the pictures into")
    parser.add_argument("--shown", required=True,
                        help="shown_pictures: lists the boxes the windows show the pictures in")
    parser.add_argument("--generator", default=os.path.join(ROOT, "resources", "make_artwork.py"))
    parser.add_argument("--font", default="/usr/share/fonts/truetype/wqy/wqy-microhei.ttc")
    parser.add_argument("--cmake", default="cmake")
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
