# The piano window's keyboard map: a computer keyboard whose key groups are outlined in colour
# and labelled with what they play. The letters on the caps are what a host looks for, so they
# get the most contrast; keys that do nothing are drawn dim.
import paint
from paint import Canvas

SIZE = (606, 286)                 # design units; the piano window shows the map in BOX
BOX = (568, 288)
UNIT = 39.0                       # width of one ordinary key
LEFT = (SIZE[0] - 15 * UNIT) / 2  # the main block is 15 units wide
KEY_INSET = 3.0                   # gap between a cap and its slot, on each side
HALO_INSET = 0.6                  # keeps neighbouring groups' outlines apart

# Rows: (top, height) of each row's slots.
F_LABEL_TOP = 8
F_ROW = (30, 32)
DIGIT_LABEL_TOP = 70
DIGIT_ROW = (92, 35)
LETTER_ROWS = [(127, 35), (162, 35), (197, 35)]
LABEL_HEIGHT = 20
TAG_HEIGHT = 42

# Each row: (label, width in units, start in units or None to follow on).
F_KEYS = [("Esc", 1, 0)] + [(f"F{i}", 1, 2 + (i - 1) + 0.5 * ((i - 1) // 4)) for i in range(1, 13)]
DIGIT_KEYS = [("`", 1, 0)] + [(d, 1, None) for d in "1234567890"] + \
    [("-", 1, None), ("=", 1, None), ("Back", 2, None)]
Q_KEYS = [("Tab", 1.5, 0)] + [(k, 1, None) for k in "QWERTYUIOP"] + \
    [("[", 1, None), ("]", 1, None), ("\\", 1.5, None)]
A_KEYS = [("Caps", 1.75, 0)] + [(k, 1, None) for k in "ASDFGHJKL"] + \
    [(";", 1, None), ("'", 1, None), ("Enter", 2.25, None)]
Z_KEYS = [("Shift", 2.25, 0)] + [(k, 1, None) for k in "ZXCVBNM"] + \
    [(",", 1, None), (".", 1, None), ("/", 1, None), ("Shift", 2.75, None)]

# (label, keys, colour); groups on the top two rows get a label above, letter groups a tag below
GROUPS = [
    ("雅虎", ["F1", "F2", "F3", "F4"], (124, 84, 230)),
    ("苹果", ["F5", "F6", "F7", "F8"], (216, 62, 84)),
    ("自然", ["F9", "F10", "F11", "F12"], (36, 156, 88)),
    ("功夫", ["1", "2", "3", "4"], (232, 116, 28)),
    ("鼓声", ["5", "6", "7", "8"], (186, 62, 160)),
    ("低音", list("QWEASZX"), (40, 110, 222)),
    ("中音", list("RTDFGCV"), (18, 148, 160)),
    ("高音", list("YUIHJBN"), (222, 134, 16)),
    ("超高", list("OPKLM"), (214, 58, 96)),
]
NOTE_RANGE = "1-7"

CHASSIS_TOP = (46, 50, 62)
CHASSIS_BOTTOM = (26, 28, 36)
DIM_CAP = (66, 71, 84)
DIM_TEXT = (168, 174, 188)


def _layout():
    """Every key slot as (label, x0, y0, x1, y1); Shift appears twice, letters once."""
    slots = []
    for keys, (top, height) in ((F_KEYS, F_ROW), (DIGIT_KEYS, DIGIT_ROW),
                                (Q_KEYS, LETTER_ROWS[0]), (A_KEYS, LETTER_ROWS[1]),
                                (Z_KEYS, LETTER_ROWS[2])):
        at = 0.0
        for label, width, start in keys:
            if start is not None:
                at = start
            slots.append((label, LEFT + at * UNIT, top, LEFT + (at + width) * UNIT, top + height))
            at += width
    return slots


def _group_of(label):
    for group in GROUPS:
        if label in group[1]:
            return group
    return None


def _draw_halo(c, slots, colour):
    """One coloured block behind the group's keys; rows of a group are joined where they meet."""
    rows = {}
    for _, x0, y0, x1, y1 in slots:
        rows.setdefault(y0, []).append((x0, x1, y1))
    spans = []
    for y0 in sorted(rows):
        xs = rows[y0]
        spans.append((min(x for x, _, _ in xs), y0, max(x for _, x, _ in xs), xs[0][2]))
    for x0, y0, x1, y1 in spans:
        c.rect((x0 + HALO_INSET, y0 + HALO_INSET, x1 - HALO_INSET, y1 - HALO_INSET), fill=colour,
               radius=6)
    for (ax0, _, ax1, ay1), (bx0, by0, bx1, _) in zip(spans, spans[1:]):
        x0, x1 = max(ax0, bx0), min(ax1, bx1)
        if x1 > x0:
            c.rect((x0 + HALO_INSET, ay1 - 8, x1 - HALO_INSET, by0 + 8), fill=colour)
    return spans


def _draw_cap(c, label, box, group):
    x0, y0, x1, y1 = box
    x0, y0, x1, y1 = x0 + KEY_INSET, y0 + KEY_INSET, x1 - KEY_INSET, y1 - KEY_INSET
    if group:
        face = paint.mix(group[2], (255, 255, 255), 0.84)
        lip = paint.mix(group[2], (255, 255, 255), 0.45)
        ink = paint.shade(group[2], 0.42)
    else:
        face, lip, ink = DIM_CAP, paint.shade(DIM_CAP, 0.7), DIM_TEXT
    c.rect((x0, y0, x1, y1), fill=lip, radius=4)
    c.rect((x0 + 0.8, y0 + 0.6, x1 - 0.8, y1 - 3.2), fill=face, radius=3.5)
    c.line([(x0 + 3, y0 + 1.4), (x1 - 3, y0 + 1.4)], fill=(255, 255, 255, 70 if group else 25),
           width=0.8)
    centre = ((x0 + x1) / 2, (y0 + y1) / 2 - 1.3)
    if group:
        # Function-key names are two or three letters wide; the letter F itself is one.
        size = 13 if len(label) > 1 else 15.5
        c.text(centre, label, size, ink, bold=0.45)
    elif len(label) == 1 and label.isalnum():
        c.text(centre, label, 14, DIM_TEXT, bold=0.2)
    else:
        c.text(centre, label, 10.5 if len(label) > 1 else 13, DIM_TEXT)


def _label_above(c, text, colour, x0, x1, top):
    c.rect((x0 + HALO_INSET, top, x1 - HALO_INSET, top + LABEL_HEIGHT + 8), fill=colour, radius=6)
    c.text(((x0 + x1) / 2, top + LABEL_HEIGHT / 2 + 0.5), text, 13, (255, 255, 255), bold=0.35)


def _tag_below(c, text, colour, x0, x1, bottom):
    c.rect((x0 + HALO_INSET, bottom - 8, x1 - HALO_INSET, bottom + TAG_HEIGHT), fill=colour,
           radius=6)
    middle = (x0 + x1) / 2
    c.text((middle, bottom + 12), text, 13.5, (255, 255, 255), bold=0.35)
    c.text((middle, bottom + 29), NOTE_RANGE, 11.5, paint.mix(colour, (255, 255, 255), 0.8),
           bold=0.2)


def keyboard():
    c = Canvas.for_file(SIZE, paint.file_size(BOX))
    w, h = SIZE
    c.fill_gradient((0, 0, w, h), CHASSIS_TOP, CHASSIS_BOTTOM)
    c.rect((2, 2, w - 2, h - 2), outline=(90, 96, 116), width=1, radius=10)

    slots = _layout()
    by_label = {}
    for slot in slots:
        by_label.setdefault(slot[0], slot)

    for text, keys, colour in GROUPS:
        members = [by_label[k] for k in keys]
        spans = _draw_halo(c, members, colour)
        first_top = spans[0][1]
        if first_top == F_ROW[0]:
            _label_above(c, text, colour, spans[0][0], spans[0][2], F_LABEL_TOP)
        elif first_top == DIGIT_ROW[0]:
            _label_above(c, text, colour, spans[0][0], spans[0][2], DIGIT_LABEL_TOP)
        else:
            last = spans[-1]
            _tag_below(c, text, colour, last[0], last[2], last[3])

    for label, x0, y0, x1, y1 in slots:
        _draw_cap(c, label, (x0, y0, x1, y1), _group_of(label))
    return paint.encode_jpeg(c.finish())
