#!/usr/bin/env python3
"""Writes the bundled example study, examples/study/ (Input.txt, GroupMap.txt,
AllPictures.txt), from a fixed seed: running it again gives the same files.

    python3 scripts/make_example.py [OUTPUT_DIR]

The study is made up but shaped like a real one: seven groups of camera
locations along an elevation gradient on the west slope of the Sierra Nevada
(UTM zone 11 north, 560 m to 2600 m), 2013 to 2015. Low cameras run all year
with gaps (flat batteries, theft, a flooded creek); the cedar ridge is left
closed in the snowy months and the two high groups work only in summer.
Twenty-two species, one of them (Fisher) never photographed. Each species has
its own abundance per group, months of the year (bears sleep in winter, deer
go up in summer and down in winter, cattle graze the foothills from autumn to
spring), hours of the day, group sizes and ways of lingering in front of a
camera; a few nocturnal prey species keep out of bright moonlight. One visit
gives a burst of pictures: a few triggers some seconds or minutes apart, one
to three frames each. A handful of lines carry the faults real picture files
have (typos in names, a camera clock reset to 2012, day and month swapped, a
missing day, hour 24, an unknown group size written as -1).

Picture lines come location by location (in Input.txt order), species by
species (in species-list order) and in time order within a species. Every
file ends its lines with CR LF. Python 3 standard library only; only
random.Random.random() is drawn from, so the output does not depend on the
Python version.
"""

import datetime
import math
import os
import random
import sys

SEED = 20131104
TITLE = "Sierra Nevada west slope camera grid, 2013-2015 (example study)"
STUDY_START = datetime.date(2013, 4, 9)
STUDY_END = datetime.date(2015, 11, 20)
# Expected visits per camera-day are base rate x group index x month factor x SCALE.
SCALE = 0.20

rng = random.Random(SEED)


def uniform(a, b):
    return a + (b - a) * rng.random()


def randint(a, b):
    """An integer from a to b inclusive."""
    return a + min(int(rng.random() * (b - a + 1)), b - a)


def poisson(lam):
    if lam <= 0.0:
        return 0
    limit = math.exp(-lam)
    k = 0
    p = rng.random()
    while p > limit:
        k += 1
        p *= rng.random()
    return k


def pick(weights):
    """An index drawn with the given weights."""
    total = sum(weights)
    x = rng.random() * total
    for k, w in enumerate(weights):
        x -= w
        if x < 0.0:
            return k
    return len(weights) - 1


# ---------------------------------------------------------------- groups ---
# name, centre east, centre north, elevation of the centre, elevation spread,
# number of locations, location prefix, how the cameras were run.
GROUPS = [
    ("Oak Flat", 268400, 4101600, 600, 45, 6, "Oak Flat", "all-year"),
    ("Manzanita Slope", 276900, 4104300, 900, 60, 5, "Manzanita", "all-year"),
    ("Willow Canyon", 281200, 4099700, 1090, 50, 4, "Willow Cyn", "creek"),
    ("Bear Creek", 287800, 4106400, 1320, 80, 8, "Bear Creek", "all-year"),
    ("Cedar Ridge", 293700, 4110800, 1630, 70, 6, "Cedar Ridge", "no-winter"),
    ("Pine Meadow", 301300, 4113500, 2030, 60, 5, "Pine Meadow", "summer"),
    ("Granite Lake", 309800, 4117700, 2540, 50, 3, "Granite Lake", "summer"),
]
G_OAK, G_MANZ, G_WILLOW, G_BEAR, G_CEDAR, G_PINE, G_GRANITE = range(7)
LOW = {G_OAK, G_MANZ, G_WILLOW}
HIGH = {G_CEDAR, G_PINE, G_GRANITE}


def d(y, m, dd):
    return datetime.date(y, m, dd)


def jitter(day, lo, hi):
    return day + datetime.timedelta(days=randint(lo, hi))


def cut_gaps(start, stop, ngaps):
    """Splits start..stop into periods with ngaps gaps of 12 to 55 days."""
    periods = [(start, stop)]
    for _ in range(ngaps):
        k = max(range(len(periods)), key=lambda i: (periods[i][1] - periods[i][0]).days)
        a, b = periods[k]
        span = (b - a).days
        if span < 150:
            break
        off = randint(40, span - 100)
        gap = randint(12, 55)
        g0 = a + datetime.timedelta(days=off)
        g1 = g0 + datetime.timedelta(days=gap)
        periods[k:k + 1] = [(a, g0 - datetime.timedelta(days=1)), (g1, b)]
    return periods


def operating_periods(kind):
    if kind in ("all-year", "creek"):
        start = jitter(STUDY_START, 0, 24)
        stop = jitter(d(2015, 10, 20), 0, 31)
        periods = cut_gaps(start, stop, pick([2, 5, 3]))
        if kind == "creek":
            # The creek flooded the cameras in the first winter.
            out = []
            flood0, flood1 = d(2014, 1, 6), jitter(d(2014, 3, 20), 0, 12)
            for a, b in periods:
                if b < flood0 or a > flood1:
                    out.append((a, b))
                    continue
                if a < flood0:
                    out.append((a, flood0 - datetime.timedelta(days=1)))
                if b > flood1:
                    out.append((flood1 + datetime.timedelta(days=1), b))
            periods = out
        return periods
    if kind == "no-winter":
        periods = [(jitter(d(2013, 4, 25), 0, 14), jitter(d(2013, 12, 2), 0, 14)),
                   (jitter(d(2014, 4, 1), 0, 20), jitter(d(2014, 11, 28), 0, 14)),
                   (jitter(d(2015, 4, 10), 0, 20), jitter(d(2015, 11, 1), 0, 18))]
        if rng.random() < 0.5:
            a, b = periods[1]
            periods[1:2] = cut_gaps(a, b, 1)
        return periods
    # Summer only: snow closes the road from November to June.
    return [(jitter(d(2013, 6, 24), 0, 10), jitter(d(2013, 10, 18), 0, 12)),
            (jitter(d(2014, 6, 9), 0, 12), jitter(d(2014, 10, 20), 0, 14)),
            (jitter(d(2015, 6, 1), 0, 12), jitter(d(2015, 10, 25), 0, 12))]


class Location:
    def __init__(self, name, group, east, north, elev, periods, burst):
        self.name, self.group = name, group
        self.east, self.north, self.elev = east, north, elev
        self.periods, self.burst = periods, burst


def make_locations():
    locations = []
    for g, (gname, ce, cn, celev, spread, n, prefix, kind) in enumerate(GROUPS):
        # One camera model per group: frames per trigger.
        burst = [1, 2, 1, 3, 1, 1, 2][g]
        for k in range(n):
            ang = uniform(0.0, 2.0 * math.pi)
            r = 350.0 + 1250.0 * math.sqrt(rng.random())
            east = int(round(ce + r * math.cos(ang)))
            north = int(round(cn + r * math.sin(ang) * 0.8))
            elev = int(round(celev + uniform(-spread, spread)))
            name = "%s %02d" % (prefix, k + 1)
            locations.append(Location(name, g, east, north, elev, operating_periods(kind), burst))
    return locations


# --------------------------------------------------------------- species ---
def bumps(base, *peaks):
    """24 hourly weights: a base level plus bell-shaped peaks (centre, width, height)."""
    w = []
    for h in range(24):
        x = base
        for c, width, height in peaks:
            dist = abs((h + 0.5) - c) % 24.0
            dist = min(dist, 24.0 - dist)
            x += height * math.exp(-dist * dist / (2.0 * width * width))
        w.append(x)
    return w


NOCTURNAL = bumps(0.03, (23.5, 3.2, 1.0))
LATE_NIGHT = bumps(0.02, (1.5, 2.6, 1.0), (21.0, 1.5, 0.4))
CREPUSCULAR = bumps(0.06, (6.3, 1.3, 1.0), (19.2, 1.5, 1.1), (0.5, 3.0, 0.25))
DUSK_NIGHT = bumps(0.05, (19.5, 1.8, 1.0), (2.0, 3.0, 0.6), (6.0, 1.0, 0.4))
DIURNAL = bumps(0.01, (12.5, 3.3, 1.0))
MORNING = bumps(0.01, (8.3, 1.8, 1.0), (16.5, 1.8, 0.7))
CATHEMERAL = bumps(0.35, (7.0, 2.5, 0.6), (19.0, 2.5, 0.6))
BEAR = bumps(0.08, (9.0, 2.5, 0.8), (19.5, 2.5, 1.0))

FLAT = [1.0] * 12
SUMMER = [0.4, 0.4, 0.6, 0.8, 1.1, 1.3, 1.4, 1.4, 1.2, 1.0, 0.6, 0.4]
BEAR_YEAR = [0.03, 0.03, 0.25, 0.8, 1.2, 1.4, 1.5, 1.7, 1.7, 1.4, 0.7, 0.15]
GSQ_YEAR = [0.1, 0.3, 1.0, 1.5, 1.6, 1.5, 1.2, 1.0, 0.8, 0.6, 0.2, 0.1]
CATTLE_YEAR = [1.6, 1.6, 1.5, 1.4, 0.9, 0.2, 0.0, 0.0, 0.0, 0.2, 1.3, 1.6]
DEER_LOW = [1.6, 1.6, 1.4, 1.0, 0.6, 0.4, 0.3, 0.3, 0.5, 0.9, 1.4, 1.6]
DEER_HIGH = [0.2, 0.2, 0.3, 0.6, 1.0, 1.5, 1.6, 1.6, 1.4, 1.0, 0.5, 0.2]
TURKEY_YEAR = [0.8, 0.9, 1.3, 1.5, 1.3, 1.2, 1.0, 1.0, 0.9, 0.9, 0.8, 0.8]


class Species:
    def __init__(self, name, base, groups, diel, year=FLAT, size=(1,), linger=0.3,
                 moon=0.0, gap=(20, 150)):
        self.name = name
        self.base = base          # visits per camera-day at a group index of 1
        self.groups = groups      # abundance index per group, in GROUPS order
        self.diel = diel          # weights of the 24 hours
        self.year = year          # factor per month, January first
        self.size = size          # weights of 1, 2, 3, ... individuals
        self.linger = linger      # chance of one more trigger while it stays
        self.moon = moon          # change of midnight activity from new to full moon
        self.gap = gap            # seconds between two triggers of one visit


#                 groups: Oak   Manz  Will  Bear  Cedar Pine  Gran
SPECIES = [
    Species("Mule deer", 0.022, [3.0, 3.0, 2.0, 3.5, 4.0, 3.5, 2.5], CREPUSCULAR,
            size=(6, 4, 2, 1), linger=0.55),
    Species("Black bear", 0.014, [0.2, 0.6, 2.0, 3.0, 3.0, 2.2, 1.2], BEAR, BEAR_YEAR,
            size=(12, 1, 1), linger=0.5),
    Species("Coyote", 0.014, [3.0, 2.0, 1.0, 1.0, 1.5, 2.5, 1.5], DUSK_NIGHT,
            size=(8, 2), linger=0.2),
    Species("Bobcat", 0.010, [2.0, 2.2, 2.0, 1.5, 1.0, 0.3, 0.0], DUSK_NIGHT,
            linger=0.25, moon=0.3),
    Species("Gray fox", 0.020, [3.0, 4.0, 3.0, 2.0, 0.6, 0.0, 0.0], NOCTURNAL,
            size=(9, 1), linger=0.35),
    Species("Mountain lion", 0.004, [0.3, 0.6, 1.0, 1.0, 1.0, 0.5, 0.3], LATE_NIGHT,
            linger=0.2),
    Species("Striped skunk", 0.011, [3.0, 1.5, 2.0, 0.6, 0.2, 0.0, 0.0], LATE_NIGHT,
            linger=0.3, moon=-0.4),
    Species("Raccoon", 0.013, [1.5, 0.4, 4.0, 1.0, 0.0, 0.0, 0.0], NOCTURNAL,
            size=(6, 2, 1), linger=0.45),
    Species("Ringtail", 0.008, [0.0, 1.5, 3.0, 1.2, 0.0, 0.0, 0.0], LATE_NIGHT,
            linger=0.2, moon=-0.5),
    Species("Virginia opossum", 0.009, [2.5, 0.5, 1.0, 0.0, 0.0, 0.0, 0.0], NOCTURNAL,
            linger=0.3),
    Species("Western gray squirrel", 0.016, [2.0, 2.0, 1.0, 3.0, 2.0, 0.0, 0.0], MORNING,
            linger=0.35, gap=(10, 60)),
    Species("Douglas squirrel", 0.016, [0.0, 0.0, 0.0, 0.5, 3.0, 4.0, 3.0], MORNING, SUMMER,
            linger=0.35, gap=(10, 60)),
    Species("Calif. ground squirrel", 0.024, [5.0, 2.0, 0.5, 0.0, 0.0, 0.0, 0.0], DIURNAL,
            GSQ_YEAR, size=(10, 2), linger=0.4, gap=(10, 90)),
    Species("Wild turkey", 0.012, [4.0, 2.0, 0.6, 0.5, 0.0, 0.0, 0.0], MORNING, TURKEY_YEAR,
            size=(2, 2, 3, 3, 3, 2, 2, 2, 1, 1, 1, 1), linger=0.6),
    Species("Sooty grouse", 0.009, [0.0, 0.0, 0.0, 0.0, 1.0, 3.0, 2.5], DIURNAL, SUMMER,
            size=(8, 2, 1), linger=0.3),
    Species("Steller's jay", 0.012, [0.0, 0.5, 1.0, 3.0, 3.0, 2.0, 0.5], DIURNAL,
            size=(6, 3), linger=0.4, gap=(10, 60)),
    Species("Long-tailed weasel", 0.006, [0.5, 0.0, 0.5, 0.5, 1.0, 1.0, 1.5], CATHEMERAL,
            linger=0.15, gap=(5, 30)),
    Species("American marten", 0.010, [0.0, 0.0, 0.0, 0.0, 0.3, 3.0, 4.0], DUSK_NIGHT,
            linger=0.3),
    Species("Fisher", 0.0, [0.0] * 7, NOCTURNAL),
    Species("Brush rabbit", 0.018, [3.0, 4.0, 1.0, 0.0, 0.0, 0.0, 0.0], CREPUSCULAR,
            linger=0.3, moon=-0.6),
    Species("Dusky-footed woodrat", 0.020, [2.0, 3.0, 3.0, 1.0, 0.0, 0.0, 0.0], NOCTURNAL,
            linger=0.4, moon=-0.8, gap=(10, 90)),
    Species("Cattle", 0.016, [4.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0], CATHEMERAL, CATTLE_YEAR,
            size=(3, 3, 3, 2, 2, 2, 1, 1), linger=0.75, gap=(30, 400)),
]


def year_factor(sp, g, month):
    if sp.name == "Mule deer":
        table = DEER_LOW if g in LOW else DEER_HIGH if g in HIGH else FLAT
        return table[month - 1]
    return sp.year[month - 1]


# ------------------------------------------------------------------ moon ---
KNOWN_NEW_MOON = datetime.datetime(2000, 1, 6, 18, 14)
SYNODIC = 29.530588853


def moonlight(day):
    """Lit fraction of the moon at local midnight after the given day."""
    t = datetime.datetime(day.year, day.month, day.day, 23, 59) - KNOWN_NEW_MOON
    age = (t.total_seconds() / 86400.0) % SYNODIC
    return (1.0 - math.cos(2.0 * math.pi * age / SYNODIC)) / 2.0


def moon_height(h):
    """How high a full moon stands in hour h: 1 at midnight, 0 from 5 hours away."""
    dist = abs((h + 0.5) - 24.0) if h >= 12 else h + 0.5
    return max(0.0, math.cos(math.pi / 2.0 * dist / 5.0))


def day_weights(sp, light):
    """Hourly weights of one day: the hours around midnight change with the moonlight."""
    if sp.moon == 0.0:
        return sp.diel
    return [w * max(0.1, 1.0 + sp.moon * (light - 0.5) * 2.0 * moon_height(h))
            for h, w in enumerate(sp.diel)]


# -------------------------------------------------------------- pictures ---
def operating(loc, day):
    return any(a <= day <= b for a, b in loc.periods)


def visit(loc, sp, start):
    """The pictures of one visit: (time, individuals) pairs."""
    n = 1 + pick(sp.size)
    pics = []
    t = start
    while True:
        frames = loc.burst
        for f in range(frames):
            shown = n if rng.random() < 0.55 else randint(1, n)
            pics.append((t + datetime.timedelta(seconds=f * randint(1, 2)), shown))
        if rng.random() >= sp.linger:
            break
        t += datetime.timedelta(seconds=randint(*sp.gap) + frames * 2)
    return pics


def make_pictures(locations):
    days = []
    day = STUDY_START
    while day <= STUDY_END:
        days.append(day)
        day += datetime.timedelta(days=1)
    light = {day: moonlight(day) for day in days}
    weights = {}
    for sp in SPECIES:
        total = sum(sp.diel)
        for day in days:
            w = day_weights(sp, light[day])
            weights[(sp.name, day)] = (w, sum(w) / total)

    lines = []
    for loc in locations:
        open_days = [day for day in days if operating(loc, day)]
        last_open = max(b for _, b in loc.periods)
        for sp in SPECIES:
            idx = sp.groups[loc.group]
            if idx == 0.0:
                continue
            pics = []
            for day in open_days:
                w, moon_factor = weights[(sp.name, day)]
                lam = sp.base * idx * year_factor(sp, loc.group, day.month) * moon_factor * SCALE
                for _ in range(poisson(lam)):
                    h = pick(w)
                    start = datetime.datetime(day.year, day.month, day.day, h,
                                              randint(0, 59), randint(0, 59))
                    pics.extend(visit(loc, sp, start))
            pics.sort()
            for t, n in pics:
                if t.date() > last_open:
                    continue  # the camera had already been taken down
                lines.append(picture_line(loc.name, sp.name, t.year, t.month, t.day,
                                          t.hour, t.minute, t.second, n))
    return lines


def picture_line(loc, sp, y, mo, dd, h, mi, s, n):
    return "%-25s %-25s %4d %2d %2d %2d %2d %2d %2d" % (loc, sp, y, mo, dd, h, mi, s, n)


# Lines with the faults of real picture files, each placed right after the
# first line of its location.
FAULTY = [
    ("Oak Flat 03", "Grey fox", 2014, 2, 11, 3, 12, 40, 1),             # species misspelt
    ("Bear Creek 05", "Human", 2014, 8, 2, 10, 41, 7, 2),               # hikers
    ("Bear Creek 05", "Human", 2014, 8, 2, 10, 41, 8, 2),
    ("Cedar Ridge 02", "Unidentified", 2015, 6, 30, 2, 55, 31, 1),      # too dark to tell
    ("Pine Medow 02", "Mule deer", 2014, 7, 19, 6, 20, 3, 1),           # location misspelt
    ("Willow Cyn 03", "Raccoon", 2012, 1, 1, 0, 4, 12, 1),              # clock reset after new batteries
    ("Willow Cyn 03", "Raccoon", 2012, 1, 1, 0, 4, 13, 1),
    ("Willow Cyn 03", "Raccoon", 2012, 1, 1, 0, 4, 14, 2),
    ("Manzanita 04", "Gray fox", 2014, 23, 6, 22, 17, 0, 1),            # day and month swapped
    ("Oak Flat 05", "Wild turkey", 2015, 5, 0, 7, 48, 22, 6),           # day left blank
    ("Bear Creek 02", "Black bear", 2014, 7, 12, 24, 10, 5, 1),         # hour written as 24
    ("Granite Lake 01", "American marten", 2015, 8, 14, 21, 3, 50, -1),  # size unknown
]


# Misspelt locations go next to the camera they belong to.
ANCHOR = {"Pine Medow 02": "Pine Meadow 02"}


def place_faults(lines):
    out = list(lines)
    placed = {}
    for fault in FAULTY:
        text = picture_line(*fault)
        if fault[4] == 0:
            text = text[:60] + "  " + text[62:]  # a blank day field
        loc = ANCHOR.get(fault[0], fault[0])
        if loc not in placed:
            placed[loc] = next(k for k, l in enumerate(out) if l.startswith("%-25s " % loc)) + 1
        at = placed[loc]
        out.insert(at, text)
        for other in placed:
            if placed[other] >= at:
                placed[other] += 1
    return out


# ----------------------------------------------------------------- files ---
def write(path, lines):
    with open(path, "w", newline="", encoding="ascii") as f:
        for line in lines:
            f.write(line + "\r\n")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "examples", "study")
    os.makedirs(out, exist_ok=True)

    locations = make_locations()
    inp = [TITLE, str(len(locations))]
    for loc in locations:
        inp.append("%-25s %6d %7d %5d" % (loc.name, loc.east, loc.north, loc.elev))
        inp.append(str(len(loc.periods)))
        for a, b in loc.periods:
            inp.append("%d %d %d %d %d %d" % (a.year, a.month, a.day, b.year, b.month, b.day))
    inp.append(str(len(SPECIES)))
    inp.extend(sp.name for sp in SPECIES)
    write(os.path.join(out, "Input.txt"), inp)

    write(os.path.join(out, "GroupMap.txt"),
          ["%-25s %s" % (loc.name, GROUPS[loc.group][0]) for loc in locations])

    pictures = place_faults(make_pictures(locations))
    write(os.path.join(out, "AllPictures.txt"), pictures)
    print("%s: %d locations, %d species, %d picture lines"
          % (out, len(locations), len(SPECIES), len(pictures)))


if __name__ == "__main__":
    main()
