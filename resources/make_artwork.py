#!/usr/bin/python3
# Draws every picture the exe carries (names as in pictures.h) into one folder at build time.
# Everything is drawn in memory first and written only if all pictures succeeded, so a failed
# run never leaves a half-new set that the build would take as up to date.
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import art_buttons  # noqa: E402
import art_icon  # noqa: E402
import art_keyboard  # noqa: E402
import art_piano  # noqa: E402
import art_window  # noqa: E402
import paint  # noqa: E402
from file_output import write_all  # noqa: E402

PICTURES = {
    "banner.jpg": art_window.banner,
    "loading.gif": art_window.loading,
    "link.gif": art_window.link,
    "logo.jpg": art_window.logo,
    "tab_normal.jpg": art_buttons.tab_normal,
    "tab_pressed.jpg": art_buttons.tab_pressed,
    "button.jpg": art_buttons.button,
    "play_normal.jpg": art_buttons.play_normal,
    "play_pressed.jpg": art_buttons.play_pressed,
    "stop_normal.jpg": art_buttons.stop_normal,
    "stop_pressed.jpg": art_buttons.stop_pressed,
    "keyboard.jpg": art_keyboard.keyboard,
    "grand_piano.jpg": art_piano.grand_piano,
    "update.ico": art_icon.update_icon,
}


def main(argv):
    parser = argparse.ArgumentParser(description="Draws the pictures the exe embeds.")
    parser.add_argument("--out", required=True, help="folder that receives the pictures")
    parser.add_argument("--font", default=paint.DEFAULT_FONT,
                        help="TrueType collection with Chinese glyphs (WenQuanYi Micro Hei)")
    parser.add_argument("--only", nargs="*", choices=sorted(PICTURES), default=None,
                        help="draw just these pictures (for previews)")
    args = parser.parse_args(argv)

    try:
        paint.use_font(args.font)
    except OSError as error:
        print(f"make_artwork: cannot use font {args.font}: {error}", file=sys.stderr)
        return 1

    names = args.only if args.only else list(PICTURES)
    write_all(args.out, {name: PICTURES[name]() for name in names})
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
