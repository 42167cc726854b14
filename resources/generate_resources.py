#!/usr/bin/env python3
"""Writes the program's built-in data as one C++ file: sixteen themed game
palettes, the default fog map, the default browse and icon pictures and the
stock sound and music tables. Deterministic: the same bytes every run."""
import struct
import sys

# ---- palettes ----------------------------------------------------------------
# Each palette: 15 ramps of 16 shades (dark -> key colour -> light) and a
# grey ramp, so that textures painted in any palette remap smoothly.
THEMES = [
    ("Farm Road", [(70, 130, 40), (110, 150, 60), (140, 100, 60), (120, 80, 50), (160, 140, 90), (90, 110, 50), (180, 160, 110), (60, 90, 140), (150, 60, 40), (200, 180, 60), (100, 70, 40), (130, 160, 190), (80, 100, 70), (170, 120, 80), (60, 80, 30)]),
    ("Voodoo", [(40, 110, 40), (60, 90, 50), (90, 60, 110), (70, 80, 40), (120, 90, 60), (30, 80, 70), (140, 60, 140), (100, 120, 60), (80, 50, 30), (50, 130, 90), (160, 110, 40), (70, 40, 90), (110, 140, 90), (40, 60, 30), (150, 150, 70)]),
    ("Excavation", [(150, 110, 60), (180, 140, 70), (130, 80, 40), (200, 160, 90), (110, 90, 70), (170, 120, 50), (90, 70, 50), (210, 180, 120), (140, 100, 80), (120, 60, 30), (190, 150, 110), (100, 110, 120), (160, 90, 60), (80, 60, 40), (220, 190, 80)]),
    ("Scrapyard", [(120, 120, 120), (140, 80, 50), (100, 100, 110), (160, 100, 60), (90, 80, 70), (130, 130, 140), (120, 60, 40), (110, 110, 90), (80, 90, 100), (170, 120, 70), (150, 150, 150), (100, 70, 50), (60, 70, 80), (140, 110, 90), (180, 60, 40)]),
    ("Heights", [(120, 120, 125), (200, 205, 215), (100, 110, 120), (150, 140, 130), (90, 120, 170), (230, 235, 240), (80, 90, 80), (130, 125, 110), (60, 100, 60), (170, 170, 180), (110, 100, 90), (140, 160, 200), (90, 90, 100), (180, 190, 200), (70, 80, 70)]),
    ("Sidewinder Canyon", [(170, 80, 50), (190, 110, 70), (150, 60, 40), (210, 140, 90), (130, 70, 50), (200, 120, 60), (110, 60, 40), (220, 170, 120), (180, 90, 40), (160, 110, 80), (90, 110, 60), (120, 150, 190), (140, 50, 30), (200, 160, 110), (100, 80, 60)]),
    ("Tinhorn Junction", [(180, 150, 110), (160, 130, 90), (140, 110, 80), (200, 170, 130), (120, 100, 70), (170, 120, 80), (100, 90, 70), (210, 190, 150), (150, 140, 100), (130, 90, 60), (110, 120, 80), (130, 160, 190), (90, 70, 50), (190, 160, 100), (160, 100, 70)]),
    ("Tumbleweed", [(210, 180, 90), (190, 160, 80), (230, 200, 120), (170, 140, 70), (200, 150, 70), (150, 130, 80), (220, 190, 140), (180, 170, 100), (140, 110, 60), (160, 150, 90), (120, 130, 60), (140, 170, 200), (190, 130, 60), (230, 220, 160), (110, 90, 50)]),
    ("Breakneck Ridge", [(40, 90, 50), (60, 110, 60), (120, 120, 120), (90, 90, 95), (50, 70, 40), (140, 135, 130), (80, 100, 60), (110, 90, 70), (30, 60, 40), (160, 160, 160), (100, 120, 80), (120, 150, 190), (70, 60, 50), (150, 140, 110), (60, 80, 90)]),
    ("Arena Rumble", [(140, 140, 140), (130, 100, 70), (200, 40, 40), (40, 80, 200), (220, 200, 40), (110, 110, 115), (150, 120, 90), (40, 160, 60), (170, 170, 170), (100, 80, 60), (200, 100, 30), (90, 90, 100), (180, 150, 120), (160, 40, 140), (60, 60, 70)]),
    ("Pyramid Rumble", [(210, 180, 110), (220, 190, 60), (190, 160, 100), (230, 200, 140), (180, 140, 60), (170, 150, 110), (200, 170, 80), (150, 120, 80), (240, 220, 160), (160, 130, 90), (100, 140, 180), (190, 120, 50), (130, 110, 80), (220, 210, 180), (140, 100, 50)]),
    ("Hypercube Rumble", [(40, 120, 220), (200, 40, 200), (60, 200, 220), (120, 60, 220), (220, 60, 140), (40, 60, 160), (100, 220, 200), (160, 100, 240), (60, 60, 90), (240, 120, 220), (80, 160, 240), (140, 40, 120), (100, 100, 140), (40, 200, 120), (200, 200, 240)]),
    ("Graveyard", [(40, 70, 40), (90, 90, 95), (70, 50, 90), (60, 60, 60), (50, 80, 60), (110, 105, 100), (80, 70, 60), (40, 40, 70), (120, 120, 130), (60, 90, 50), (100, 80, 110), (70, 75, 85), (130, 110, 90), (50, 50, 40), (90, 110, 90)]),
    ("Crazy98", [(220, 40, 40), (40, 200, 40), (40, 60, 220), (230, 210, 30), (220, 100, 20), (160, 40, 200), (30, 190, 200), (230, 80, 160), (100, 220, 60), (60, 120, 230), (200, 160, 60), (140, 90, 50), (220, 220, 220), (90, 50, 160), (40, 140, 90)]),
    ("Torture Pit", [(90, 60, 40), (200, 80, 20), (70, 50, 35), (230, 130, 30), (110, 70, 45), (160, 40, 20), (60, 40, 30), (240, 180, 60), (130, 90, 60), (100, 50, 30), (80, 80, 80), (180, 110, 60), (50, 35, 25), (220, 60, 30), (140, 120, 100)]),
    ("Metalcr3", [(120, 125, 135), (80, 100, 140), (150, 155, 165), (60, 70, 90), (100, 120, 160), (170, 175, 180), (90, 90, 100), (130, 140, 170), (70, 80, 110), (190, 195, 200), (110, 110, 120), (140, 110, 80), (60, 90, 130), (160, 170, 200), (100, 80, 60)]),
]


def ramp(key):
    """16 shades: black-ish up to the key colour (entry 9), then towards white."""
    out = []
    for i in range(16):
        if i <= 9:
            t = (i + 1) / 10.0
            out.append(tuple(int(round(c * (0.15 + 0.85 * t))) for c in key))
        else:
            t = (i - 9) / 7.0
            out.append(tuple(int(round(c + (255 - c) * 0.8 * t)) for c in key))
    return out


def palette(keys):
    entries = [(round(i * 255 / 15),) * 3 for i in range(16)]  # grey ramp first
    for key in keys:
        entries += ramp(key)
    entries = entries[:256]
    entries[0] = (0, 0, 0)
    return entries


PALETTES = [palette(keys) for _, keys in THEMES]

# ---- default fog map -----------------------------------------------------------
FOG_HEAD = [(0, 7), (176, 3)] + [(v, 2) for v in range(177, 188)] + [(1, 5), (176, 5)]


def fog_table(pal):
    """Nearest of entries 10..229 for r, g, b = 3, 11, ..., 251; a later entry wins ties."""
    levels = range(3, 256, 8)
    entries = pal[10:230]
    dist = [[[(c[ch] - v) ** 2 for c in entries] for v in levels] for ch in range(3)]
    table = []
    for ri in range(32):
        dr = dist[0][ri]
        for gi in range(32):
            dg = dist[1][gi]
            partial = [a + b for a, b in zip(dr, dg)]
            for bi in range(32):
                db = dist[2][bi]
                best, best_index = 1 << 30, 0
                for e, (p, q) in enumerate(zip(partial, db)):
                    d = p + q
                    if d <= best:
                        best, best_index = d, e
                table.append(best_index + 10)
    return table


def fog_pairs():
    pairs = list(FOG_HEAD)
    pos = sum(n for _, n in pairs)
    table = fog_table(PALETTES[0])
    while pos < 32768:
        value, run = table[pos], 1
        while pos + run < 32768 and table[pos + run] == value and run < 255:
            run += 1
        pairs.append((value, run))
        pos += run
    return [b for pair in pairs for b in pair]

# ---- default pictures ------------------------------------------------------------
FONT = {  # 5 x 7 blocky letters
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
}


def nearest(pal, rgb):
    return min(range(246), key=lambda i: sum((a - b) ** 2 for a, b in zip(pal[i], rgb)))


def landscape(width, height, title):
    pal = PALETTES[0]
    sky = [nearest(pal, (60 + i * 6, 110 + i * 6, 190 + i * 3)) for i in range(8)]
    grass, hill, dirt, white = (nearest(pal, c) for c in ((80, 140, 50), (60, 100, 40), (150, 110, 70), (255, 255, 255)))
    rows = []  # top-down
    for y in range(height):
        row = []
        for x in range(width):
            horizon = height * 0.55 + height * 0.08 * ((x * 7 % width) / width - 0.5)
            hill_top = height * 0.45 + height * 0.12 * abs(((x * 2.0 / width) % 1.0) - 0.5) * 2
            centre = width / 2 + (y - height) * 0.35
            if y < min(horizon, hill_top):
                row.append(sky[min(7, y * 8 // max(1, height // 2))])
            elif y < horizon:
                row.append(hill)
            elif abs(x - centre) < (y - horizon) * 0.5 + 1:
                row.append(dirt)
            else:
                row.append(grass)
        rows.append(row)
    if title:
        scale = max(1, width // 60)
        text_w = len(title) * 6 * scale
        left, top = (width - text_w) // 2, height // 8
        for n, ch in enumerate(title):
            for gy, line in enumerate(FONT[ch]):
                for gx, bit in enumerate(line):
                    if bit == "1":
                        for sy in range(scale):
                            for sx in range(scale):
                                rows[top + gy * scale + sy][left + (n * 6 + gx) * scale + sx] = white
    return pal, rows


def bmp8(width, height, title):
    pal, rows = landscape(width, height, title)
    stride = (width + 3) & ~3
    bits = b"".join(bytes(row) + b"\0" * (stride - width) for row in reversed(rows))  # bottom-up
    palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
    offset = 14 + 40 + 1024
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    return header + info + palette_bytes + bits

# ---- stock tables ------------------------------------------------------------------
IMPACT = """NULL airhorn ball barn1 barricad bear1 bear2 bell3 bird1 bird2 bird3 bird4 bird5 birdfun1 birdfun2
birds1 birds2 buzz3 buzzer3 check2 chickn1 chickn2 chickn3 chkclick chuck coffin1 cow1 cow2 cowpain coyote1
coyote2 coyote3 coyote4 coyote5 crash_11 crash1 crow2 crow3 crow4 crow5 crunchx d-growl1 d-growl2 diesel dino1
dino2b doctor1 dog2 dog4 dog5 dog6 dog7 eagle1 eagle2 eagle3 eagle4 fenceht6 fenceht7 fenceht8 fenceht9 flushx
flushy gate1 gate2 gen_07 go gorril gorril2 growl growl1 growl3 growl4 growl5 growl6 hawk Hay hickz hitpost
hitpost1 holdback horn1 horn-a horn-f horse1 horse2 horse3 horse4 horse5 hound2 howl1 howl2 howl4 indian3
leopard1 leopard2 leopard4 light1 light2 light3 light4 light5 light6 light7 monkey1 monkey2 monkey3 monkey4
monkey5 owl1 panther1 panther2 parrot1 parrot2 parrot3 parrot4 pig1 pig2 pig3 pig4 pole1x pole2x pylon reverse
rock1 rock2 rooster scream-w scream4 screamx setup sheep1 sheep3 sheet2 sheet5 sheet7 shutter splash1 t-can2
telepole teradcy1 teradcy2 thundr3b thundr5 thundr6b thundr9b tr-horn tr-horn2 tr-roll1 tr-roll2 tr-roll3
tr-roll4 trash wolf1 wolf2 yeehaw""".split()
CONTINUOUS = ("NULL apache1 blimp2 bridge1 cntry-d2 cntry-n2 cross5 crowd huey jungl-n1 jungl-n3 rain4 rainrf8 "
              "train22 wtr-abv1 wtr-undr").split()
MUSIC = [("AZTEC", "Excavation"), ("BREAK", "B'neck, C98, Torture, Arena, H'cube"), ("FARM", "Farm Road"),
         ("GRAVEX", "Graveyard"), ("ROCKX", "Heights, Outback, Pyramid"), ("SCRAP", "Scrapyard"),
         ("SPLASH", "Pre-race"), ("SURF", "Tumbleweed, Sidewinder"), ("VOODOO", "Voodoo Island")]

# Descriptions by the leading word of a stem.
WORDS = [("airhorn", "Air horn blast"), ("ball", "Ball bounce"), ("barn", "Barn door"), ("barricad", "Barricade hit"),
         ("bear", "Bear roar"), ("bell", "Bell ring"), ("birdfun", "Funny bird call"), ("bird", "Bird call"),
         ("buzz", "Buzzer"), ("check", "Checkpoint chime"), ("chickn", "Chicken cluck"), ("chkclick", "Checkpoint click"),
         ("chuck", "Wood chuck"), ("coffin", "Coffin creak"), ("cowpain", "Cow in pain"), ("cow", "Cow moo"),
         ("coyote", "Coyote howl"), ("crash", "Crash"), ("crow", "Crow caw"), ("crunch", "Crunch"),
         ("d-growl", "Dog growl"), ("diesel", "Diesel engine"), ("dino", "Dinosaur roar"), ("doctor", "Doctor"),
         ("dog", "Dog bark"), ("eagle", "Eagle cry"), ("fenceht", "Fence hit"), ("flush", "Flush"),
         ("gate", "Gate"), ("gen_", "Generator"), ("go", "Go!"), ("gorril", "Gorilla"), ("growl", "Growl"),
         ("hawk", "Hawk cry"), ("hay", "Hay bale hit"), ("hickz", "Hiccup"), ("hitpost", "Post hit"),
         ("holdback", "Hold back"), ("horn", "Horn"), ("horse", "Horse"), ("hound", "Hound bay"), ("howl", "Howl"),
         ("indian", "War cry"), ("leopard", "Leopard snarl"), ("light", "Light hit"), ("monkey", "Monkey chatter"),
         ("owl", "Owl hoot"), ("panther", "Panther snarl"), ("parrot", "Parrot squawk"), ("pig", "Pig grunt"),
         ("pole", "Pole hit"), ("pylon", "Pylon hit"), ("reverse", "Reverse beeper"), ("rock", "Rock hit"),
         ("rooster", "Rooster crow"), ("scream", "Scream"), ("setup", "Set-up"), ("sheep", "Sheep bleat"),
         ("sheet", "Sheet metal hit"), ("shutter", "Shutter bang"), ("splash", "Splash"), ("t-can", "Trash can hit"),
         ("telepole", "Telephone pole hit"), ("teradcy", "Pterodactyl screech"), ("thundr", "Thunder"),
         ("tr-horn", "Train horn"), ("tr-roll", "Train rolling"), ("trash", "Trash"), ("wolf", "Wolf howl"),
         ("yeehaw", "Yee-haw!"), ("apache", "Helicopter (Apache)"), ("blimp", "Blimp engine"), ("bridge", "Bridge traffic"),
         ("cntry-d", "Country by day"), ("cntry-n", "Country by night"), ("cross", "Railway crossing"),
         ("crowd", "Crowd"), ("huey", "Helicopter (Huey)"), ("jungl-n", "Jungle at night"), ("rainrf", "Rain on a roof"),
         ("rain", "Rain"), ("train", "Train"), ("wtr-abv", "Water, above"), ("wtr-undr", "Water, under")]


def describe(stem):
    if stem == "NULL":
        return "(default/none)"
    for word, text in WORDS:
        if stem.lower().startswith(word):
            suffix = stem[len(word):].strip("_-")
            return text + (" " + suffix if suffix else "")
    return stem


def table(rows):
    return "".join("%s\t%s\r\n" % row for row in rows)

# ---- C++ output ---------------------------------------------------------------------


def c_bytes(name, data):
    lines = [", ".join(str(b) for b in data[i:i + 24]) for i in range(0, len(data), 24)]
    return "const uint8_t %s[%d] = {\n%s};\n" % (name, len(data), ",\n".join(lines))


def c_string(name, text):
    escaped = text.replace("\\", "\\\\").replace("\"", "\\\"").replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n\"\n\"")
    return "const char %s[] = \"%s\";\n" % (name, escaped)


def main(out_path):
    assert len(IMPACT) == 155 and len(CONTINUOUS) == 16
    parts = ["// Generated by resources/generate_resources.py; do not edit.\n",
             "#include \"resources/BuiltinResources.h\"\n\nnamespace ravok::resources {\nnamespace {\n"]
    flat = [b for pal in PALETTES for rgb in pal for b in rgb]
    parts.append(c_bytes("kPalettes", flat))
    parts.append(c_bytes("kFogPairs", fog_pairs()))
    parts.append(c_bytes("kBrowse", bmp8(257, 210, "RAVOK")))
    parts.append(c_bytes("kIcon", bmp8(32, 24, "")))
    parts.append(c_string("kImpact", table((s, describe(s)) for s in IMPACT)))
    parts.append(c_string("kContinuous", table((s, describe(s)) for s in CONTINUOUS)))
    parts.append(c_string("kMusic", table(MUSIC)))
    parts.append("""} // namespace

std::span<const uint8_t> gamePalette(int index) {
    if (index < 0 || index >= kGamePaletteCount) return {};
    return std::span<const uint8_t>(kPalettes).subspan(size_t(index) * 768, 768);
}
std::span<const uint8_t> defaultFogMapPairs() { return kFogPairs; }
std::span<const uint8_t> defaultBrowseBitmap() { return kBrowse; }
std::span<const uint8_t> defaultIconBitmap() { return kIcon; }
std::string_view stockImpactSoundTable() { return kImpact; }
std::string_view stockContinuousSoundTable() { return kContinuous; }
std::string_view stockMusicTable() { return kMusic; }

} // namespace ravok::resources
""")
    with open(out_path, "w", newline="\n") as f:
        f.write("".join(parts))


if __name__ == "__main__":
    main(sys.argv[1])
