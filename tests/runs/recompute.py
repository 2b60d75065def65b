#!/usr/bin/env python3
"""Recompute a whole run of a study folder, independently of the C++ code.

Used to review the expected files of tests/runs/cases: it reads Input.txt,
GroupMap.txt, AllPictures.txt and the PERIOD from stdin.txt, recomputes every
tally, every report section, the console transcript and Reject.txt from the
rules of the program, and compares them with the case's expected/ files
(Date and elapsed-time lines masked).

    tests/runs/recompute.py tests/runs/cases/NAME            # compare
    tests/runs/recompute.py tests/runs/cases/NAME --print    # print the report

4-byte real arithmetic is emulated by rounding every double result to the
nearest float (exact for + - * / and sqrt, whose double results round to
float without a double-rounding error).  Only well-formed inputs of the kind
the cases use are supported (numbers on count and period lines are
blank-separated).
"""
import math
import os
import struct
import sys
from decimal import Decimal, ROUND_HALF_UP

# ---------------------------------------------------------------- 4-byte reals


def f32(x):
    if isinstance(x, float) and (math.isnan(x) or math.isinf(x)):
        return x
    try:
        return struct.unpack('f', struct.pack('f', x))[0]
    except OverflowError:
        return math.inf if x > 0 else -math.inf


def fadd(a, b):
    return f32(a + b)


def fsub(a, b):
    return f32(a - b)


def fmul(a, b):
    return f32(a * b)


def fdiv(a, b):
    if b == 0:
        if a == 0 or (isinstance(a, float) and math.isnan(a)):
            return math.nan
        neg = (a < 0) != (math.copysign(1.0, b) < 0)
        return -math.inf if neg else math.inf
    if isinstance(a, float) and isinstance(b, float) and math.isinf(a) and math.isinf(b):
        return math.nan
    return f32(a / b)


def fsqrt(a):
    if math.isnan(a) or a < 0:
        return math.nan
    return f32(math.sqrt(a))


# Places where the rules leave the output open and the program's choice is
# recomputed; reported so that a case can say which of them it touches.
OPEN_POINTS = set()


def F(x):
    """A float literal or an integer converted to a 4-byte real."""
    return f32(float(x))


# ---------------------------------------------------------------- layouts


def parse_layout(text):
    assert text[0] == '(' and text[-1] == ')', text
    pos = 0
    body = text[1:-1]

    def parse_list(i):
        items = []
        while i < len(body):
            c = body[i]
            if c == ',':
                i += 1
                continue
            if c == ')':
                return items, i + 1
            if c == '/':
                items.append(('/',))
                i += 1
                continue
            num = ''
            while body[i].isdigit():
                num += body[i]
                i += 1
            c = body[i]
            if c == '(':
                sub, i = parse_list(i + 1)
                items.append(('g', int(num) if num else 1, sub))
            elif c == 'x':
                items.append(('x', int(num)))
                i += 1
            elif c in 'aif':
                i += 1
                w = ''
                while i < len(body) and (body[i].isdigit() or body[i] == '.'):
                    w += body[i]
                    i += 1
                if c == 'f':
                    ww, dd = w.split('.')
                    items.append(('f', int(ww), int(dd)))
                else:
                    items.append((c, int(w) if w else None))
            else:
                raise ValueError(text)
        return items, i

    items, _ = parse_list(0)
    return items


def render_f(v, w, d):
    if isinstance(v, float) and math.isnan(v):
        return None  # decided by the caller's expectation (see nan_field)
    if isinstance(v, float) and math.isinf(v):
        return '*' * w
    digits = '%.15e' % float(v)
    q = Decimal(digits).quantize(Decimal(1).scaleb(-d), rounding=ROUND_HALF_UP)
    neg = q.is_signed() and q != 0
    mag = abs(q)
    s = format(mag, 'f')
    if s.startswith('0.') or s == '0':
        if len(s) + (1 if neg else 0) == w + 1 and s.startswith('0.'):
            s = s[1:]
    if neg:
        s = '-' + s
    if len(s) > w:
        return '*' * w
    return s.rjust(w)


def render_field(kind, w, d, v):
    if kind == 'a':
        s = v
        if w is None:
            return s
        return s[:w] if len(s) >= w else ' ' * (w - len(s)) + s
    if kind == 'i':
        s = str(int(v))
        return '*' * w if len(s) > w else s.rjust(w)
    r = render_f(v, w, d)
    if r is None:
        # not a number (the Jaccard index of two groups without species):
        # the program's choice is NaN, right-justified
        OPEN_POINTS.add('a not-a-number value printed as NaN')
        return 'NaN'.rjust(w) if w >= 3 else '*' * w
    return r


def render(layout, *values):
    items = parse_layout(layout)
    values = list(values)
    lines = []
    state = {'line': '', 'pos': 0, 'vi': 0, 'stopped': False}

    def end_line():
        lines.append(state['line'])
        state['line'] = ''
        state['pos'] = 0

    def put(text):
        ln = state['line']
        if len(ln) < state['pos']:
            ln += ' ' * (state['pos'] - len(ln))
        state['line'] = ln[:state['pos']] + text
        state['pos'] += len(text)

    def run(seq):
        for it in seq:
            if state['stopped']:
                return
            k = it[0]
            if k == '/':
                end_line()
            elif k == 'x':
                state['pos'] += it[1]
            elif k == 'g':
                for _ in range(it[1]):
                    run(it[2])
                    if state['stopped']:
                        return
            else:
                if state['vi'] >= len(values):
                    state['stopped'] = True
                    return
                v = values[state['vi']]
                state['vi'] += 1
                if k == 'f':
                    put(render_field('f', it[1], it[2], v))
                else:
                    put(render_field(k, it[1], None, v))

    run(items)
    while not state['stopped'] and state['vi'] < len(values):
        end_line()
        last = None
        for idx, it in enumerate(items):
            if it[0] == 'g':
                last = idx
        run(items[last:] if last is not None else items)
    end_line()
    return lines


def free(*values):
    if not values:
        return ['']
    lines = []
    line = ''
    prev_char = None
    for k, v in enumerate(values):
        if isinstance(v, str):
            piece = v
            is_char = True
        elif isinstance(v, int):
            piece = str(v).rjust(12)
            is_char = False
        else:
            raise ValueError('free-form real')
        if k == 0:
            line = ' '
        else:
            if not (prev_char and is_char):
                if len(line) + 1 >= 80:
                    lines.append(line)
                    line = ' '
                else:
                    line += ' '
        if len(line) > 1 and len(line) + len(piece) >= 80:
            lines.append(line)
            line = ' '
        line += piece
        prev_char = is_char
    lines.append(line)
    return lines


# ---------------------------------------------------------------- calendar

MONTHS = "JanFebMarAprMayJunJulAugSepOctNovDec"
MNAMES = [MONTHS[3 * i:3 * i + 3] for i in range(12)]
HOURS = "00010203040506070809101112131415161718192021222324"


def hlabel(h):
    return HOURS[2 * h:2 * h + 2]


def mlen(y, m):
    ml = [31, 29 if y % 4 == 0 else 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
    return ml[m - 1]


def findday(b, y, m, d):
    days = 0
    for a in range(b, y):
        days += 366 if a % 4 == 0 else 365
    for mm in range(1, m):
        days += mlen(y, mm)
    return days + d


# Full moons and the new moon before each, by year, in entry order. Three
# dates of the table the program's calendar was taken from are no moon phase
# and are corrected: new moon 6 January 2000 (not 10 January), full moon
# 20 February 2008 (not 29 February), new moon 21 July 2009 (not 21 April).
MOON_TEXT = """
2000 | 1-21, 2-19, 3-20, 4-18, 5-18, 6-16, 7-16, 8-15, 9-13, 10-13, 11-11, 12-11 | 1-6, 2-5, 3-6, 4-4, 5-4, 6-2, 7-1, 7-31, 8-29, 9-27, 10-27, 11-25, 12-25
2001 | 1-9, 2-8, 3-9, 4-7, 5-7, 6-5, 7-5, 8-3, 9-2, 10-2, 10-31, 11-30, 12-30 | 1-24, 2-23, 3-24, 4-23, 5-22, 6-21, 7-20, 8-18, 9-17, 10-16, 11-14, 12-14
2002 | 1-28, 2-27, 3-28, 4-26, 5-26, 6-24, 7-24, 8-22, 9-21, 10-21, 11-19, 12-19 | 1-13, 2-12, 3-13, 4-12, 5-12, 6-10, 7-10, 8-8, 9-6, 10-6, 11-4, 12-4
2003 | 1-18, 2-16, 3-18, 4-16, 5-15, 6-14, 7-13, 8-11, 9-10, 10-10, 11-8, 12-8 | 1-2, 2-1, 3-2, 4-1, 5-1, 5-30, 6-29, 7-28, 8-27, 9-25, 10-25, 11-23, 12-23
2004 | 1-7, 2-6, 3-6, 4-5, 5-4, 6-2, 7-2, 7-31, 8-29, 9-28, 10-27, 11-26, 12-26 | 1-21, 2-20, 3-20, 4-19, 5-18, 6-17, 7-17, 8-15, 9-14, 10-13, 11-12, 12-11
2005 | 1-25, 2-23, 3-25, 4-24, 5-23, 6-21, 7-21, 8-19, 9-17, 10-17, 11-15, 12-15 | 1-10, 2-8, 3-10, 4-8, 5-8, 6-6, 7-6, 8-4, 9-3, 10-3, 11-1, 12-1, 12-30
2006 | 1-14, 2-12, 3-14, 4-13, 5-12, 6-11, 7-10, 8-9, 9-7, 10-6, 11-5, 12-4 | 1-29, 2-27, 3-29, 4-27, 5-26, 6-25, 7-24, 8-23, 9-22, 10-21, 11-20, 12-20
2007 | 1-3, 2-1, 3-3, 4-2, 5-2, 5-31, 6-30, 7-29, 8-28, 9-26, 10-25, 11-24, 12-23 | 1-18, 2-17, 3-18, 4-17, 5-16, 6-14, 7-14, 8-12, 9-11, 10-10, 11-9, 12-9
2008 | 1-22, 2-20, 3-21, 4-20, 5-19, 6-18, 7-18, 8-16, 9-15, 10-14, 11-12, 12-12 | 1-8, 2-6, 3-7, 4-5, 5-5, 6-3, 7-2, 8-1, 8-30, 9-29, 10-28, 11-27, 12-27
2009 | 1-10, 2-9, 3-10, 4-9, 5-8, 6-7, 7-7, 8-5, 9-4, 10-3, 11-2, 12-2, 12-31 | 1-26, 2-23, 3-26, 4-24, 5-24, 6-22, 7-21, 8-20, 9-18, 10-17, 11-16, 12-16
2010 | 1-29, 2-28, 3-29, 4-28, 5-27, 6-26, 7-25, 8-24, 9-23, 10-22, 11-21, 12-21 | 1-15, 2-13, 3-15, 4-14, 5-13, 6-12, 7-11, 8-9, 9-8, 10-7, 11-5, 12-5
2011 | 1-19, 2-18, 3-19, 4-17, 5-17, 6-15, 7-15, 8-13, 9-12, 10-11, 11-10, 12-10 | 1-4, 2-2, 3-4, 4-3, 5-3, 6-1, 7-1, 7-30, 8-28, 9-27, 10-26, 11-24, 12-24
2012 | 1-9, 2-7, 3-8, 4-6, 5-5, 6-4, 7-3, 8-1, 8-31, 9-29, 10-29, 11-28, 12-28 | 1-23, 2-21, 3-22, 4-21, 5-20, 6-19, 7-18, 8-17, 9-15, 10-15, 11-13, 12-13
2013 | 1-27, 2-25, 3-27, 4-25, 5-25, 6-23, 7-22, 8-21, 9-19, 10-18, 11-17, 12-17 | 1-11, 2-10, 3-11, 4-10, 5-10, 6-8, 7-8, 8-6, 9-5, 10-5, 11-3, 12-3
2014 | 1-15, 2-14, 3-16, 4-15, 5-14, 6-13, 7-12, 8-10, 9-9, 10-8, 11-6, 12-6 | 1-1, 1-30, 3-1, 3-30, 4-29, 5-28, 6-27, 7-26, 8-25, 9-24, 10-23, 11-22, 12-22
2015 | 1-5, 2-3, 3-5, 4-4, 5-4, 6-2, 7-2, 7-31, 8-29, 9-28, 10-27, 11-25, 12-25 | 1-20, 2-18, 3-20, 4-18, 5-18, 6-16, 7-16, 8-14, 9-13, 10-13, 11-11, 12-11
2016 | 1-24, 2-22, 3-23, 4-22, 5-21, 6-20, 7-19, 8-18, 9-16, 10-16, 11-14, 12-14 | 1-10, 2-8, 3-9, 4-7, 5-6, 6-5, 7-4, 8-2, 9-1, 10-1, 10-30, 11-29
"""


# Study years outside 2000-2016 get computed moon dates: the UTC dates of the
# full and new moons of the year. Here they come from published tables of
# the phases (UTC), not from the program's computation, for the years the
# cases use.
PUBLISHED_MOONS = {
    2017: ('1-12, 2-11, 3-12, 4-11, 5-10, 6-9, 7-9, 8-7, 9-6, 10-5, 11-4, 12-3',
           '1-28, 2-26, 3-28, 4-26, 5-25, 6-24, 7-23, 8-21, 9-20, 10-19, 11-18, 12-18'),
    2021: ('1-28, 2-27, 3-28, 4-27, 5-26, 6-24, 7-24, 8-22, 9-20, 10-20, 11-19, 12-19',
           '1-13, 2-11, 3-13, 4-12, 5-11, 6-10, 7-10, 8-8, 9-7, 10-6, 11-4, 12-4'),
}


def published_moons(year):
    if year not in PUBLISHED_MOONS:
        sys.exit(f'recompute.py: no published moon dates for {year}; add them to PUBLISHED_MOONS')
    return [[(year,) + tuple(int(x) for x in md.strip().split('-')) for md in text.split(',')]
            for text in PUBLISHED_MOONS[year]]


def moon_years_computed(first, last):
    return first <= last and (first < 2000 or last > 2016)


def moon_calendar():
    full, new = [], []
    for row in MOON_TEXT.strip().splitlines():
        year, fulls, news = [p.strip() for p in row.split('|')]
        for lst, text in ((full, fulls), (new, news)):
            for md in text.split(','):
                m, d = md.strip().split('-')
                lst.append((int(year), int(m), int(d)))
    assert len(full) == 210 and len(new) == 210, (len(full), len(new))
    return list(zip(full, new))


# ---------------------------------------------------------------- the study


def pad(s):
    return (s + ' ' * 25)[:25]


def read_lines(path):
    with open(path, 'rb') as fh:
        data = fh.read().decode('latin-1')
    lines = data.split('\n')
    if lines and lines[-1] == '':
        lines.pop()
    return [l[:-1] if l.endswith('\r') else l for l in lines]


def intfield(text):
    """An integer field: blanks are ignored, an optional sign, then digits.
    Anything else (and a sign without digits) makes the line unreadable."""
    t = text.replace(' ', '')
    if t == '':
        return 0
    digits = t[1:] if t[0] in '+-' else t
    if digits == '' or any(c not in '0123456789' for c in digits):
        raise ValueError(text)
    return int(t)


class Study:
    pass


def load(folder):
    st = Study()
    inp = read_lines(os.path.join(folder, 'Input.txt'))
    st.TITLE = (inp[0] + ' ' * 75)[:75]
    k = 1
    st.NLOCATIONS = int(inp[k].split()[0]); k += 1
    st.locs = []
    for _ in range(st.NLOCATIONS):
        ln = inp[k] + ' ' * 50; k += 1
        name = ln[0:25]
        east = intfield(ln[26:32]); north = intfield(ln[33:40]); elev = intfield(ln[41:46])
        np_ = int(inp[k].split()[0]); k += 1
        periods = []
        for _ in range(np_):
            periods.append([int(v) for v in inp[k].replace(',', ' ').split()[:6]]); k += 1
        st.locs.append({'name': name, 'east': east, 'north': north, 'elev': elev, 'periods': periods})
    st.NSPECIES = int(inp[k].split()[0]); k += 1
    st.species = [pad(inp[k + i]) for i in range(st.NSPECIES)]
    # calendar
    fy, ly = 3000, 1000
    for l in st.locs:
        for p in l['periods']:
            fy = min(fy, p[0]); ly = max(ly, p[3])
    st.FIRSTYEAR, st.LASTYEAR = fy, ly
    fd, ld = 366, 1
    for l in st.locs:
        l['days'] = []
        for p in l['periods']:
            a = findday(fy, p[0], p[1], p[2]); b = findday(fy, p[3], p[4], p[5])
            l['days'].append((a, b))
            fd = min(fd, a); ld = max(ld, b)
    st.FIRSTDAY, st.LASTDAY = fd, ld
    # group map
    gm = read_lines(os.path.join(folder, 'GroupMap.txt'))
    st.NMAPLINES = len(gm)
    st.map = [(pad((l + ' ' * 60)[0:25]), pad((l + ' ' * 60)[26:51])) for l in gm]
    for l in st.locs:
        l['group'] = ' ' * 25
        for ml, mg in st.map:
            if ml == l['name']:
                l['group'] = mg
                break
    names = []
    for _, mg in st.map:
        if mg not in names:
            names.append(mg)
    n = len(names)
    for i in range(n - 1):
        for j in range(i + 1, n):
            if names[j] < names[i]:
                names[i], names[j] = names[j], names[i]
    st.groups = names
    st.NGROUPS = n
    st.glocs = [[li for li, l in enumerate(st.locs) if l['group'] == g] for g in names]
    return st


def read_pictures(st, folder):
    """Validation; returns (reject lines, accepted picture tuples)."""
    rej = []
    out = []
    st.NPROCESSED = st.NUSED = st.NREJECTED = 0
    for raw in read_lines(os.path.join(folder, 'AllPictures.txt')):
        st.NPROCESSED += 1
        ln = raw + ' ' * 80
        loc, sp = ln[0:25], ln[26:51]
        try:
            nums = [intfield(ln[52:56])] + [intfield(ln[57 + 3 * i:59 + 3 * i]) for i in range(6)]
        except ValueError:
            st.NREJECTED += 1
            rej += render('(a33)', 'Unreadable number in picture line')
            rej.append(raw[:74])
            continue
        y, m, d, h, mi, sec, n = nums
        back = lambda: render('(2(a25,1x),i4,6(1x,i2))', loc, sp, y, m, d, h, mi, sec, n)
        s = st.species.index(sp) + 1 if sp in st.species else 0
        reason = None
        if s == 0:
            reason = render('(a35,a25)', 'Species not found or not included: ', sp)
        else:
            g = 0
            for l in st.locs:
                if l['name'] == loc and l['group'] in st.groups:
                    g = st.groups.index(l['group']) + 1
                    break
            if g == 0:
                reason = render('(a32,a25)', 'Site not found or not included: ', loc)
            elif y < st.FIRSTYEAR or y > st.LASTYEAR:
                reason = render('(a25,i4)', 'Year out of study range: ', y)
            elif m < 1 or m > 12:
                reason = render('(a20,i2)', 'Month out of range: ', m)
            elif d < 1 or d > 31:
                reason = render('(a18,i2)', 'Day out of range: ', d)
            elif not (0 <= h <= 23 and 0 <= mi <= 59 and 0 <= sec <= 59):
                reason = render('(a19,3(i2,1x))', 'Time out of range: ', h, mi, sec)
            elif n < 0 or n > 99:
                reason = render('(a42,i3)', 'Number of individuals out of range 01-99: ', n)
        if reason is not None:
            st.NREJECTED += 1
            rej += reason + back()
            continue
        st.NUSED += 1
        dn = findday(st.FIRSTYEAR, y, m, d)
        if dn < st.FIRSTDAY or dn > st.LASTDAY:
            continue
        hn = dn * 24 + h
        mn = hn * 60 + mi
        out.append((g, s, y, m, d, h, mi, sec, n, dn, hn, mn))
    return rej, out


def tally(st, pics, period):
    years = range(st.FIRSTYEAR, st.LASTYEAR + 1)
    st.PIC = {}
    st.FIRSTDAYOF = [999999] * (st.NSPECIES + 1)
    st.FL = {}
    st.AMH = {}
    st.ASH = {}
    st.AMOON = {}
    md = [[], []]
    for full, new in moon_calendar():
        md[0].append(findday(st.FIRSTYEAR, *full) if st.FIRSTYEAR <= full[0] <= st.LASTYEAR else 0)
        md[1].append(findday(st.FIRSTYEAR, *new) if st.FIRSTYEAR <= new[0] <= st.LASTYEAR else 0)
    # Computed years: their full and new moons after the calendar's 210
    # slots, in time order.
    for y in years:
        if 2000 <= y <= 2016:
            continue
        fulls, news = published_moons(y)
        md[0] += [findday(st.FIRSTYEAR, *d) for d in fulls]
        md[1] += [findday(st.FIRSTYEAR, *d) for d in news]
    assert len(md[0]) <= 500 and len(md[1]) <= 500
    st.MOONDAYS = md

    def add(g, s, y, m, k, v):
        st.PIC[(g, s, y, m, k)] = st.PIC.get((g, s, y, m, k), 0) + v

    def activity(s, H, M, d):
        st.AMH[(s, M, H)] = st.AMH.get((s, M, H), 0) + 1
        season = {12: 1, 1: 1, 2: 1, 3: 2, 4: 2, 5: 2, 6: 3, 7: 3, 8: 3}.get(M, 4)
        st.ASH[(s, season, H)] = st.ASH.get((s, season, H), 0) + 1
        for phase in (0, 1):
            if any(v != 0 and v - 5 <= d <= v + 5 for v in md[phase]):
                st.AMOON[(s, phase + 1, H)] = st.AMOON.get((s, phase + 1, H), 0) + 1
                break

    pg = ps = ph = 0
    emin = eind = 0
    for (g, s, Y, M, D, H, N, sec, n, d, h, m) in pics:
        add(g, s, Y, M, 1, 1)
        st.FIRSTDAYOF[s] = min(st.FIRSTDAYOF[s], d - st.FIRSTDAY + 1)
        first, last = st.FL.get((g, s), ((9999999,) * 7, (0,) * 7))
        vals = (Y, M, D, H, N, d, m)
        if m < first[6]:
            first = vals
        if m > last[6]:
            last = vals
        st.FL[(g, s)] = (first, last)
        if g != pg or s != ps:
            add(g, s, Y, M, 2, 1); add(g, s, Y, M, 3, 1); add(g, s, Y, M, 4, n)
            activity(s, H, M, d)
            eind = n; pg = g; ps = s; emin = m; ph = h
        else:
            if h > ph:
                add(g, s, Y, M, 2, 1); activity(s, H, M, d); ph = h
            if m < emin + period:
                if n > eind:
                    add(g, s, Y, M, 4, n - eind); eind = n; emin = m
            else:
                add(g, s, Y, M, 3, 1); add(g, s, Y, M, 4, n); eind = n; emin = m


# ---------------------------------------------------------------- report


def report(st, period):
    R = []
    w = lambda layout, *v: R.extend(render(layout, *v))
    blank = lambda: R.append('')
    con = []
    cw = lambda *v: con.extend(free(*v))
    NG, NS = st.NGROUPS, st.NSPECIES
    FY, LY = st.FIRSTYEAR, st.LASTYEAR
    YEARS = list(range(FY, LY + 1))
    G = range(1, NG + 1)
    S = range(1, NS + 1)
    gname = lambda g: st.groups[g - 1]
    sname = lambda s: st.species[s - 1]
    P = lambda g, s, y, m, k: st.PIC.get((g, s, y, m, k), 0)

    def psum(k, gs=None, ss=None, ys=None, ms=None):
        t = 0
        for g in (gs or G):
            for s in (ss or S):
                for y in (ys or YEARS):
                    for m in (ms or range(1, 13)):
                        t += P(g, s, y, m, k)
        return t

    # header
    cw('OPEN OUTPUT FILE')
    w('(a75)', st.TITLE)
    R.append('Date: <masked>')
    blank()
    w('(a9,2x,i3)', 'LOCATIONS', st.NLOCATIONS)
    w('(50(2x,5(a25,1x)/))', *[l['name'] for l in st.locs])
    blank()
    w('(a7,2x,i3)', 'SPECIES', NS)
    w('(50(2x,5(a25,1x)/))', *st.species)
    blank()
    w('(a20,i7,a7)', 'This file contained ', st.NPROCESSED, ' lines')
    w('(a33,i7)', 'Number of lines used in analysis ', st.NUSED)
    w('(a17,i7,a27)', 'Reject file has  ', st.NREJECTED, ' lines not used in analysis')
    blank()
    # group assignments
    w('(a17)', 'GROUP ASSIGNMENTS')
    for g in G:
        w('(a25)', gname(g))
        w('(50(2x,5(a25,1x)/))', *[st.locs[li]['name'] for li in st.glocs[g - 1]])
    blank()
    # group start/stop
    cw('GROUP START-STOP DATES')
    GS, GE = {}, {}
    for g in G:
        # a group none of whose locations has a period keeps zero dates
        start = [0, 0, 0, 9999999]
        stop = [0, 0, 0, 0]
        for li in st.glocs[g - 1]:
            l = st.locs[li]
            for p, (a, b) in zip(l['periods'], l['days']):
                if a < start[3]:
                    start = [p[0], p[1], p[2], a]
                if stop[3] < b:
                    stop = [p[3], p[4], p[5], b]
        GS[g], GE[g] = start, stop
    # first pictures
    tot1, tot2, tot3 = psum(1), psum(2), psum(3)
    cw('FIRST PICTURES')
    w('(a69)', 'Use maximum number of individuals photographed in sequential pictures')
    w('(a57,i5,a8)', 'Assume independent pictures of a species at a site after ', period, ' minutes')
    w('(a32)', 'For all species at all locations')
    w('(a52,i7)', '  Number of pictures processed                    = ', tot1)
    w('(a52,i7)', '  Number of pictures used in activity calculation = ', tot2)
    w('(a52,i7)', '  Number of independent pictures used in analysis = ', tot3)
    w('(a52)', '  Number of sequential pictures of same species at  ')
    w('(a52,i7)', '                   same location within a PERIOD  = ', tot1 - tot3)
    blank()
    # Each search starts from group 1's own field: the first group from its
    # start day, the last group from its stop day (a group 1 without periods
    # has start day 9999999, which no stop day would exceed).
    fg = lg = 1
    fv = GS[1][3]
    lv = GE[1][3]
    for g in G:
        if GS[g][3] < fv:
            fv = GS[g][3]; fg = g
        if GE[g][3] > lv:
            lv = GE[g][3]; lg = g
    w('(a40,i7)', 'Number of days in camera trap program = ', GE[lg][3] - GS[fg][3] + 1)
    w('(a17,a7,i4,a9,i2,a7,i2)', '  First picture: ', 'Year = ', GS[fg][0], ' Month = ', GS[fg][1], ' Day = ', GS[fg][2])
    w('(a17,a7,i4,a9,i2,a7,i2)', '  Last picture:  ', 'Year = ', GE[lg][0], ' Month = ', GE[lg][1], ' Day = ', GE[lg][2])
    blank()
    head = 'Species                     Days  Year Month Day Hour Minute Location'
    fl = lambda g, s: st.FL.get((g, s), ((9999999,) * 7, (0,) * 7))
    w('(a29)', 'FIRST PICTURE OF EACH SPECIES')
    w('(a69)', head)
    lay = '(a25,3x,i4,2x,i4,3x,i2,2x,i2,3x,i2,4x,i2,3x,a25)'
    for s in S:
        best = 1
        for g in G:
            if fl(g, s)[0][6] < fl(best, s)[0][6]:
                best = g
        c = fl(best, s)[0]
        if c[0] == 9999999:
            continue
        w(lay, sname(s), c[5] - st.FIRSTDAY + 1, c[0], c[1], c[2], c[3], c[4], gname(best))
    blank()
    w('(a28)', 'LAST PICTURE OF EACH SPECIES')
    w('(a69)', head)
    for s in S:
        best = 1
        for g in G:
            if fl(g, s)[1][6] > fl(best, s)[1][6]:
                best = g
        c = fl(best, s)[1]
        if c[0] == 0:
            continue
        w(lay, sname(s), c[5] - st.FIRSTDAY + 1, c[0], c[1], c[2], c[3], c[4], gname(best))
    blank()
    # picture counts
    cw('NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR')
    w('(a49)', 'NUMBER OF PICTURES AND FILTERED PICTURES PER YEAR')
    w('(8x,a42)', 'Year       All Activity   Period Abundance  Groups'[:42])
    SY = {}
    for s in S:
        for y in YEARS:
            row = [psum(k, ss=[s], ys=[y]) for k in (1, 2, 3, 4)]
            row.append(sum(1 for g in G if psum(1, gs=[g], ss=[s], ys=[y]) > 0))
            SY[(s, y)] = row
    GT = [0] * 4
    for y in YEARS:
        YT = [sum(SY[(s, y)][k] for s in S) for k in range(4)]
        w('(8x,i4,4x,4(i6,3x))', y, *YT)
        GT = [a + b for a, b in zip(GT, YT)]
    w('(8x,a5,4(2x,i7))', 'Total', *GT)
    blank()
    w('(a37)', 'NUMBER OF PICTURES BY SPECIES BY YEAR')
    AT = [0] * 4
    STT = {}
    for s in S:
        w('(2x,a25)', sname(s))
        w('(8x,a50)', 'Year       All Activity   Period Abundance  Groups')
        stt = [0] * 4
        for y in YEARS:
            w('(8x,i4,4x,5(i6,3x))', y, *SY[(s, y)])
            stt = [a + b for a, b in zip(stt, SY[(s, y)][:4])]
        AT = [a + b for a, b in zip(AT, stt)]
        stt.append(sum(1 for g in G if psum(1, gs=[g], ss=[s]) > 0))
        STT[s] = stt
        w('(8x,a5,5(2x,i7))', 'Total', *stt)
        blank()
    if NS > 1:
        w('(2x,a11)', 'All species')
        w('(8x,a5,5(2x,i7))', 'Total', *AT, st.NLOCATIONS)
        blank()
    w('(a70)', 'SPECIES RANKED BY NUMBER OF INDEPENTDENT PICTURES AND PERCENT OF TOTAL')
    w('(5x,a7,18x,a5,3x,a7)', 'Species', 'Total', 'Percent')
    order = list(S)
    for i in range(NS - 1):
        for j in range(i + 1, NS):
            if STT[order[i]][2] < STT[order[j]][2]:
                order[i], order[j] = order[j], order[i]
    for s in order:
        w('(2x,a25,1x,i7,2x,f8.4)', sname(s), STT[s][2], fdiv(fmul(F(STT[s][2]), F(100.0)), F(GT[2])))
    if NS > 1:
        w('(2x,a5,21x,i7,2x,a8)', 'Total', GT[2], '100.0000')
    blank()
    # camera trap days
    cw('CAMERA TRAP DAYS')
    LTD = {}
    for li, l in enumerate(st.locs):
        for p, (a, b) in zip(l['periods'], l['days']):
            Y, M, D = p[0], p[1], p[2]
            for _ in range(b - a + 1):
                LTD[(li, Y, M)] = LTD.get((li, Y, M), 0) + 1
                D += 1
                if D > mlen(Y, M):
                    D = 1; M += 1
                    if M > 12:
                        M = 1; Y += 1
    cw('GROUP CAMERA TRAP DAYS')
    GTD = {}
    for g in G:
        for li in st.glocs[g - 1]:
            for y in YEARS:
                for m in range(1, 13):
                    GTD[(g, y, m)] = GTD.get((g, y, m), 0) + LTD.get((li, y, m), 0)
    D = lambda g, y, m: GTD.get((g, y, m), 0)
    w('(a22)', 'GROUP CAMERA TRAP DAYS')
    w('(a5,22x,a34)', 'Group', 'Start date  Stop date   Total days')
    grand = 0
    Tg = {}
    for g in G:
        T = sum(D(g, y, m) for y in YEARS for m in range(1, 13))
        Tg[g] = T
        grand += T
        w('(a25,2x,2(i4,2(1x,i2),2x),3x,i5)', gname(g), *GS[g][:3], *GE[g][:3], T)
    w('(a29,23x,i7)', 'Total group camera trap days ', grand)
    blank()
    if any(Tg[g] == 0 for g in G):
        w('(a33)', 'GROUP CAMERA LOCATIONS NOT ACTIVE')
        for g in G:
            if Tg[g] == 0:
                w('(a25)', gname(g))
        blank()
    w('(a24)', 'GROUP CAMERA TRAP EFFORT')
    hdr = '(a5,1x,a1,i3,a1,17x,12(a3,4x),a5)'
    for y in YEARS:
        w('(a5,i4)', 'Year ', y)
        yt = {g: sum(D(g, y, m) for m in range(1, 13)) for g in G}
        w(hdr, 'Group', '(', sum(1 for g in G if yt[g] > 0), ')', *MNAMES, 'Total')
        for g in G:
            if yt[g] > 0:
                w('(a25,2x,12(i4,3x),1x,i5)', gname(g), *[D(g, y, m) for m in range(1, 13)], yt[g])
        w('(a10,14x,12(2x,i5),4x,i5)', 'Total days', *[sum(D(g, y, m) for g in G) for m in range(1, 13)],
          sum(yt.values()))
        blank()
    if FY != LY:
        w('(a32)', 'GROUP CAMERA TRAP EFFORT SUMMARY')
        w('(a6,i4,a4,i4)', 'Years ', FY, ' to ', LY)
        w(hdr, 'Group', '(', sum(1 for g in G if Tg[g] > 0), ')', *MNAMES, 'Total')
        for g in G:
            if Tg[g] > 0:
                w('(a25,2x,12(i4,3x),1x,i5)', gname(g), *[sum(D(g, y, m) for y in YEARS) for m in range(1, 13)],
                  Tg[g])
        w('(a10,14x,12(1x,i6),3x,i6)', 'Total days',
          *[sum(D(g, y, m) for y in YEARS for g in G) for m in range(1, 13)], sum(Tg.values()))
    blank()
    # group UTM and elevation
    GUTM, GELEV = {}, {}
    cw('GROUP UTM AND ELEVATION AVERAGES')
    w('(a32)', 'GROUP UTM AND ELEVATION AVERAGES')
    w('(a51)', 'Group                          UTM        Elevation')
    for g in G:
        e = n_ = el = cnt = 0
        for li in st.glocs[g - 1]:
            l = st.locs[li]
            if l['east'] != 0 and l['north'] != 0 and l['elev'] != 0:
                e += l['east']; n_ += l['north']; el += l['elev']; cnt += 1
        if cnt:
            e, n_, el = int(e / cnt), int(n_ / cnt), int(el / cnt)
        GUTM[g] = (e, n_)
        GELEV[g] = el
        w('(a25,2x,i6,1x,i7,3x,i5)', gname(g), e, n_, el)
    blank()
    # accumulation curve
    cw('SPECIES ACCUMULATION CURVE')
    fd = st.FIRSTDAYOF
    if any(fd[s] == 999999 for s in S):
        w('(a53)', 'SPECIES INCLUDED BUT NOT PHOTOGRAPHED OR ALL REJECTED')
        for s in S:
            if fd[s] == 999999:
                w('(a25)', sname(s))
        blank()
    w('(a26)', 'SPECIES ACCUMULATION CURVE')
    w('(a26)', '  DAY    NUMBER    SPECIES')
    order = list(S)
    for i in range(NS - 1):
        for j in range(i + 1, NS):
            if fd[order[j]] < fd[order[i]]:
                order[i], order[j] = order[j], order[i]
    L = 0
    for s in reversed(order):
        if fd[s] < 999999:
            L = fd[s]
            break
    run = 0
    for d in range(fd[order[0]], L + 1):
        if d >= 999999:
            continue
        names = [sname(s) for s in order if fd[s] == d]
        if names:
            run += len(names)
            w('(i5,4x,i4,6x,15(a25,1x))', d, run, *names)
    blank()
    # pictures per group and species
    R.extend(render('(a55)', 'FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES'))
    cw('FOR EACH GROUP TOTAL NUMBER AND PERCENT OF EACH SPECIES')
    w('(a25)', '  Use independent pictures')
    N3 = {(g, s): psum(3, gs=[g], ss=[s]) for g in G for s in S}
    for b in range((NG + 2) // 3):
        blk = list(range(3 * b + 1, min(3 * b + 3, NG) + 1))
        w('(26x,3(a25,7x))', *[gname(g) for g in blk])
        w('(a7,19x,3(a13,19x))', 'Species', *['Total Percent'] * len(blk))
        gt = {g: sum(N3[(g, s)] for s in S) for g in blk}
        for s in S:
            vals = []
            for g in blk:
                vals += [N3[(g, s)], fdiv(fmul(F(N3[(g, s)]), F(100.0)), F(max(gt[g], 1)))]
            w('(a25,3(i6,2x,f6.2,18x))', sname(s), *vals)
        if NS > 1:
            vals = []
            for g in blk:
                vals += [gt[g], F(100.0)]
            w('(a14,11x,3(i6,2x,f6.2,18x))', 'Total pictures', *vals)
        blank()
    w('(a50)', 'FOR EACH GROUP AND MONTH TOTAL NUMBER EACH SPECIES')
    cw('FOR EACH GOUP AND MONTH TOTAL NUMBER EACH SPECIES')
    w('(a25)', '  Use independent pictures')

    def month_block(g, ys, all_years):
        w('(a25,1x,12(4x,a3),3x,a5)', gname(g), *MNAMES, 'Total')
        mt = [0] * 12
        for s in S:
            c = [sum(P(g, s, y, m, 3) for y in ys) for m in range(1, 13)]
            mt = [a + b for a, b in zip(mt, c)]
            if sum(c) > 0:
                w('(a25,1x,12(1x,i6),1x,i7)', sname(s), *c, sum(c))
        if NS > 1 or all_years:
            w('(a14,12x,12(1x,i6),1x,i7)', 'Total pictures', *mt, sum(mt))
        dd = [sum(D(g, y, m) for y in ys) for m in range(1, 13)]
        E = sum(dd)
        w('(a12,14x,12(1x,i6),1x,i7)', 'Total effort', *dd, E)
        rates = [fdiv(F(mt[i]), F(dd[i])) if dd[i] > 0 else 0.0 for i in range(12)]
        w('(a23,3x,12(1x,f6.2),1x,f7.2)', 'Total pics/Total effort', *rates, fdiv(F(sum(mt)), F(E)))
        blank()

    for y in YEARS:
        w('(i4)', y)
        for g in G:
            if sum(D(g, y, m) for m in range(1, 13)) > 0:
                month_block(g, [y], False)
    if FY < LY:
        w('(a51)', 'ALL GROUPS ALL SPECIES FOR EACH MONTH FOR ALL YEARS')
        cw('ALL GROUPS ALL SPECIES FOR EACH MONTH FOR ALL YEARS')
        w('(a25)', '  Use independent pictures')
        w('(i4,a4,i4)', FY, ' to ', LY)
        for g in G:
            if Tg[g] > 0:
                month_block(g, YEARS, True)
    # distances

    def pair_table(cells, hl, rl):
        nb = (NG - 1) // 10 + 1
        for r in range(1, nb + 1):
            rows = range((r - 1) * 10 + 1, min(r * 10, NG - 1) + 1)
            for c in range(r, nb + 1):
                cols = list(range((c - 1) * 10 + 2, min(c * 10 + 1, NG) + 1))
                if not cols:
                    continue
                w(hl, 'Locations', *[gname(j)[:10] for j in cols])
                for i in rows:
                    w(rl, gname(i), *[cells.get((i, j), 0.0) for j in cols])
                blank()

    cw('DISTANCE BETWEEN GROUPS')
    w('(a28)', 'DISTANCE (km) BETWEEN GROUPS')
    if max(GUTM[g][0] + GUTM[g][1] for g in G) < 1:
        w('(a36)', 'UTM locations not given in Input.txt')
    else:
        mn, mx, sm, cnt = F(1000.0), F(0.0), F(0.0), 0
        mnp = mxp = None
        cells = {}
        for i in range(1, NG):
            for j in range(i + 1, NG + 1):
                if GUTM[i][0] > 0 and GUTM[j][0] > 0:
                    cnt += 1
                    dx = fsub(F(GUTM[i][0]), F(GUTM[j][0]))
                    dy = fsub(F(GUTM[i][1]), F(GUTM[j][1]))
                    d = fmul(fsqrt(fadd(fmul(dx, dx), fmul(dy, dy))), F(0.001))
                    cells[(i, j)] = d
                    if d < mn:
                        mn, mnp = d, (i, j)
                    if d > mx:
                        mx, mxp = d, (i, j)
                    sm = fadd(sm, d)
        lay = '(a19,f7.3,a12,2(a25,1x))'
        # Where no pair was measured, or none recorded for a line, the
        # program's choice: zeros, or the value without names.
        if cnt == 0 or not mnp or not mxp:
            OPEN_POINTS.add('distance summary without a measured or recorded pair')
        if cnt == 0:
            for label in ('Minimum distance = ', 'Maximum distance = ', 'Average distance = '):
                w(lay, label, 0.0)
        else:
            avg = fdiv(sm, F(cnt))
            for label, v, p in (('Minimum distance = ', mn, mnp), ('Maximum distance = ', mx, mxp)):
                if p:
                    w(lay, label, v, ' Locations: ', gname(p[0]), gname(p[1]))
                else:
                    w(lay, label, v)
            w(lay, 'Average distance = ', avg)
        blank()
        pair_table(cells, '(6x,a9,13x,10(a10,1x))', '(a25,1x,10(3x,f7.3,1x))')
    blank()
    # activity patterns
    cw('ACTIVITY PATTERNS')
    w('(a17)', 'ACTIVITY PATTERNS')
    w('(a48,a42)', 'Activity in one-hour segments - Species (Number', ' of independent pics/Total number of pics)')
    A = lambda s, m, h: st.AMH.get((s, m, h), 0)
    H = {(s, h): sum(A(s, m, h) for m in range(1, 13)) for s in S for h in range(24)}
    Mt = {(s, m): sum(A(s, m, h) for h in range(24)) for s in S for m in range(1, 13)}
    N = {s: sum(H[(s, h)] for h in range(24)) for s in S}
    for s in S:
        Fm = {(m, h): (fdiv(F(A(s, m, h)), F(Mt[(s, m)])) if Mt[(s, m)] > 0 else 0.0)
              for m in range(1, 13) for h in range(24)}
        I_ = psum(2, ss=[s])
        T_ = psum(1, ss=[s])
        if N[s] == 0:
            continue
        w('(a25,1x,3(a1,i6))', sname(s), '(', I_, '/', T_, ')')
        w('(19x,a10,9x,12(a3,14x))', 'All months', *MNAMES)
        w('(4x,a4,8x,13(a16,1x))', 'Hour', *['Number Frequency'] * 13)
        for h in range(24):
            vals = [H[(s, h)], fdiv(F(H[(s, h)]), F(N[s]))]
            for m in range(1, 13):
                vals += [A(s, m, h), Fm[(m, h)]]
            w('(a2,a4,a2,a3,4x,13(i6,3x,f6.3,2x))', hlabel(h), ':00-', hlabel(h + 1), ':00', *vals)
        vals = [N[s], '100.000']
        for m in range(1, 13):
            vals += [Mt[(s, m)], '100.000']
        w('(a5,10x,13(i6,2x,a7,2x))', 'Total', *vals)
        blank()
    Sim = {}
    for i in range(1, NS):
        for j in range(i + 1, NS + 1):
            if N[i] > 0 and N[j] > 0:
                sm = F(0.0)
                for h in range(24):
                    d = fsub(fdiv(F(H[(i, h)]), F(N[i])), fdiv(F(H[(j, h)]), F(N[j])))
                    sm = fadd(sm, fmul(d, d))
                Sim[(i, j)] = sm
    sim = lambda i, j: Sim.get((i, j), 0.0)
    w('(a57)', 'SPECIES PAIRS ACTIVITY SIMILARITY (LOWER IS MORE SIMILAR)')
    abbr = lambda s: sname(s)[:4]
    if NS <= 20:
        w('(27x,40(1x,a4,1x))', *[abbr(s) for s in S])
        for i in range(1, NS):
            w('(a25,2x,40(f5.3,1x))', sname(i), *[sim(i, j) for j in S])
    else:
        half = NS // 2
        w('(27x,40(1x,a4,1x))', *[abbr(s) for s in range(1, half + 1)])
        for i in range(1, half):
            w('(a25,2x,40(f5.3,1x))', sname(i), *[sim(i, j) for j in range(1, half + 1)])
        blank()
        w('(a22)', 'Species list continued')
        w('(27x,40(1x,a4,1x))', *[abbr(s) for s in range(half + 1, NS + 1)])
        for i in range(1, NS):
            w('(a25,2x,40(f5.3,1x))', sname(i), *[sim(i, j) for j in range(half + 1, NS + 1)])
    blank()
    best, bp = F(1000.0), None
    for i in range(1, NS):
        if N[i] < 25:
            continue
        for j in range(i + 1, NS + 1):
            if N[j] >= 25 and sim(i, j) < best:
                best, bp = sim(i, j), (i, j)
    if bp:
        i, j = bp
        w('(a49)', 'SPECIES PAIR MOST SIMILAR IN ACTIVITY (FREQUENCY)')
        w('(a49)', '  Consider those species with 25 or more pictures')
        w('(a4,12x,a25,5x,a25)', 'Hour', sname(i), sname(j))
        for h in range(24):
            w('(a2,a4,a2,a3,4x,f6.3,24x,f6.3)', hlabel(h), ':00-', hlabel(h + 1), ':00',
              fdiv(F(H[(i, h)]), F(N[i])), fdiv(F(H[(j, h)]), F(N[j])))
        blank()
    w('(a47)', 'CHI-SQUARE ANALYSIS OF PAIRED ACTIVITY PATTERNS')
    w('(a57)', 'H0: Species A and B have similar activity patterns at 95%')
    w('(a36)', 'Significant = +, Not significant = 0')
    w('(a41)', 'Consider only species with >= 25 pictures')
    mark = {}
    st.chi_activity = {}
    for i in range(1, NS):
        for j in range(i + 1, NS + 1):
            if N[i] >= 25 and N[j] >= 25:
                tot = N[i] + N[j]
                pi, pj = fdiv(F(N[i]), F(tot)), fdiv(F(N[j]), F(tot))
                X = F(0.0)
                for h in range(24):
                    t = H[(i, h)] + H[(j, h)]
                    Ei, Ej = fmul(pi, F(t)), fmul(pj, F(t))
                    if Ei > 0:
                        d = fsub(F(H[(i, h)]), Ei); X = fadd(X, fdiv(fmul(d, d), Ei))
                    if Ej > 0:
                        d = fsub(F(H[(j, h)]), Ej); X = fadd(X, fdiv(fmul(d, d), Ej))
                st.chi_activity[(i, j)] = X
                if X >= F(35.172):
                    mark[(i, j)] = '+'
    mk = lambda i, j: mark.get((i, j), '0')
    if NS <= 20:
        w('(26x,40(1x,a4,1x))', *[abbr(s) for s in S])
        for i in range(1, NS):
            if N[i] >= 25:
                w('(a25,2x,40(3x,a1,2x))', sname(i), *[mk(i, j) for j in S])
    else:
        half = NS // 2
        w('(26x,40(1x,a4,1x))', *[abbr(s) for s in range(1, half + 1)])
        for i in range(1, half):
            if N[i] >= 25:
                w('(a25,2x,40(3x,a1,2x))', sname(i), *[mk(i, j) for j in range(1, half + 1)])
        blank()
        w('(a22)', 'Species list continued')
        w('(26x,40(1x,a4,1x))', *[abbr(s) for s in range(half + 1, NS + 1)])
        for i in range(1, NS):
            if N[i] >= 25:
                w('(a25,2x,40(3x,a1,2x))', sname(i), *[mk(i, j) for j in range(half + 1, NS + 1)])
    blank()
    # lunar
    cw('LUNAR ACTIVITY PATTERNS')
    w('(a23)', 'LUNAR ACTIVITY PATTERNS')
    w('(a48)', '  New and full moon +/- 5 days activity patterns')
    w('(a42)', '  Difference (large is greater difference)')
    if moon_years_computed(st.FIRSTYEAR, st.LASTYEAR):
        w('(a55)', '  Moon dates outside 2000 to 2016 computed as UTC dates')
    bestq, bests = F(0.0), None
    for s in S:
        Lf = [st.AMOON.get((s, 1, h), 0) for h in range(24)]
        Ln = [st.AMOON.get((s, 2, h), 0) for h in range(24)]
        Fs, Ns = sum(Lf), sum(Ln)
        if Fs == 0 or Ns == 0:
            continue
        w('(a25)', sname(s))
        w('(17x,a39)', 'Full moon activity    New moon activity')
        w('(a57)', '    Hour        Number    Frequency   Number    Frequency')
        Q = F(0.0)
        for h in range(24):
            fh, nh = fdiv(F(Lf[h]), F(Fs)), fdiv(F(Ln[h]), F(Ns))
            w('(a2,a4,a2,a3,3x,2(i6,5x,f8.3,3x))', hlabel(h), ':00-', hlabel(h + 1), ':00', Lf[h], fh, Ln[h], nh)
            d = fsub(fh, nh)
            Q = fadd(Q, fmul(d, d))
        if Q > bestq and Fs >= 25 and Ns >= 25:
            bestq, bests = Q, s
        w('(a5,9x,i6,16x,i6)', 'Total', Fs, Ns)
        w('(a11,3x,f6.2)', 'Difference ', fsqrt(Q))
        blank()
    if bests:
        w('(a39,a25)', 'SPECIES LUNAR ACTIVITY MOST DIFFERENT: ', sname(bests))
    blank()
    # seasonal
    cw('ACTIVITY PATTERNS BY SEASON')
    w('(a27)', 'ACTIVITY PATTERNS BY SEASON')
    w('(a41)', '  Activity in one-hour segments by season')
    SEAS = {1: (12, 1, 2), 2: (3, 4, 5), 3: (6, 7, 8), 4: (9, 10, 11)}
    E = {k: sum(D(g, y, m) for g in G for y in YEARS for m in SEAS[k]) for k in SEAS}
    for s in S:
        C = lambda k, h: st.ASH.get((s, k, h), 0)
        Ak = {k: sum(C(k, h) for h in range(24)) for k in SEAS}
        if sum(Ak.values()) == 0:
            continue
        Rk = {k: psum(3, ss=[s], ms=SEAS[k]) for k in SEAS}
        V = {k: (fdiv(F(Rk[k]), F(E[k])) if E[k] > 0 else 0.0) for k in SEAS}
        vs = fadd(fadd(fadd(V[1], V[2]), V[3]), V[4])
        if vs == 0:
            OPEN_POINTS.add('seasonal proportions with no rate in any season')
        Pk = {k: fdiv(V[k], vs) for k in SEAS}
        w('(a25)', sname(s))
        w('(21x,4(a11,11x))', 'Dec-Jan-Feb', 'Mar-Apr-May', 'Jun-Jul-Aug', 'Sep-Oct-Nov')
        w('(a18,4x,4(i6,16x))', 'Camera trap days  ', *[E[k] for k in SEAS])
        w('(a18,4x,4(i6,16x))', 'Number of pictures', *[Rk[k] for k in SEAS])
        w('(a18,5x,4(f7.4,15x))', 'Pictures/Effort   ', *[V[k] for k in SEAS])
        w('(a21,2x,4(f7.4,15x))', 'Visitation proportion', *[Pk[k] for k in SEAS])
        w('(11x,a4,2x,4(6x,a16))', 'Hour', *['Number      Freq'] * 4)
        for h in range(24):
            vals = []
            for k in SEAS:
                vals += [C(k, h), fdiv(F(C(k, h)), F(Ak[k])) if Ak[k] > 0 else 0.0]
            w('(7x,a2,a4,a2,a3,4(3x,i6,5x,f8.3))', hlabel(h), ':00-', hlabel(h + 1), ':00', *vals)
        w('(7x,a11,4(3x,i6,13x))', 'Hourly pics', *[Ak[k] for k in SEAS])
        blank()
    # abundance
    w('(a17)', 'SPECIES ABUNDANCE')
    w('(a52)', '  One record of each species per location per PERIOD')
    cw('SPECIES ABUNDANCE')
    w('(a7,19x,a11,6x,a18,5x,a14,5x,a19)', 'SPECIES', 'NUMBER PICS', 'RELATIVE ABUNDANCE', 'AVG NUM INDIVS',
      'ABUNDANCE OF INDIVS')
    Rall, Aall = psum(3), psum(4)
    if Rall > 0 and Aall == 0:
        OPEN_POINTS.add('abundance of individuals when every record has 0 individuals')
    for s in S:
        r = psum(3, ss=[s])
        if r == 0:
            continue
        a = psum(4, ss=[s])
        w('(a25,2x,i6,16x,f6.2,13x,f7.2,13x,f7.2)', sname(s), r, fdiv(fmul(F(r), F(100.0)), F(Rall)),
          fdiv(F(a), F(r)),
          # every record with 0 individuals: the program shows 0.00
          fdiv(fmul(F(a), F(100.0)), F(Aall)) if Aall > 0 else 0.0)
    if NS > 1:
        w('(a7,20x,i6,16x,f6.2)', 'Total  ', Rall, F(100.0))
    blank()
    # groups by species
    cw('GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS')
    w('(a48)', 'GROUPS BY SPECIES AND GROUP AND SPECIES RICHNESS')
    w('(a52)', '  One record of each species per location per PERIOD')
    Rg = {g: sum(1 for s in S if N3[(g, s)] > 0) for g in G}
    Gs = {s: sum(1 for g in G if N3[(g, s)] > 0) for s in S}
    if NS <= 20:
        w('(a8,26x,40(a4,2x))', 'Location', *[abbr(s) for s in S], 'Rich')
        for g in G:
            w('(a25,8x,40(i5,1x))', gname(g), *[N3[(g, s)] for s in S], Rg[g])
        w('(a8,24x,40(i6))', 'Richness', *[Gs[s] for s in S])
    else:
        Hh = NS // 2
        w('(a8,26x,40(a4,2x))', 'Location', *[abbr(s) for s in range(1, Hh + 1)])
        for g in G:
            w('(a25,8x,40(i5,1x))', gname(g), *[N3[(g, s)] for s in range(1, Hh + 1)])
        w('(a8,24x,40(i6))', 'Richness', *[Gs[s] for s in range(1, Hh + 1)])
        blank()
        w('(a22)', 'Species list continued')
        w('(a8,26x,40(a4,2x))', 'Location', *[abbr(s) for s in range(Hh + 1, NS + 1)], 'Rich')
        for g in G:
            w('(a25,8x,40(i5,1x))', gname(g), *[N3[(g, s)] for s in range(Hh + 1, NS + 1)], Rg[g])
        w('(a8,24x,40(i6))', 'Richness', *[Gs[s] for s in range(Hh + 1, NS + 1)])
    blank()
    w('(a58)', 'GROUP SPECIES FREQUENCY SIMILARITY (LOWER IS MORE SIMILAR)')
    w('(a52)', '   One picture of each species per camera per PERIOD')
    w('(a57)', '   Squart root of sums of squared difference in frequency')
    blank()
    Sp = {(i, j): F(-1.0) for i in G for j in G}
    Tt = {g: sum(N3[(g, s)] for s in S) for g in G}
    Fr = {(g, s): (fdiv(F(N3[(g, s)]), F(Tt[g])) if Tt[g] > 0 else 0.0) for g in G for s in S}
    for i in range(1, NG):
        for j in range(i + 1, NG + 1):
            if Tt[i] * Tt[j] > 0:
                sm = F(0.0)
                for s in S:
                    d = fsub(Fr[(i, s)], Fr[(j, s)])
                    sm = fadd(sm, fmul(d, d))
                Sp[(i, j)] = fdiv(fmul(fsqrt(sm), F(10.0)), F(NS))

    def difminmax(Sx):
        K = min(10, NG)
        small = [[F(NS), 1, 1, False] for _ in range(K)]
        large = [[F(0.0), 1, 1, False] for _ in range(K)]
        for lst, better in ((small, lambda a, b: a < b), (large, lambda a, b: a > b)):
            for k in range(K):
                taken = [(e[1], e[2]) for e in lst[:k]]
                for i in range(1, NG):
                    for j in range(i + 1, NG + 1):
                        if (i, j) in taken:
                            continue
                        v = Sx[(i, j)]
                        if v == -1.0 or math.isnan(v):
                            continue
                        if better(v, lst[k][0]):
                            lst[k] = [v, i, j, True]
        # An entry that no pair could fill is not printed (the program's
        # choice where the rules leave it open).
        if not all(e[3] for e in small + large):
            OPEN_POINTS.add('a top-10 group pair list with fewer pairs than entries')
        return [e[:3] for e in small if e[3]], [e[:3] for e in large if e[3]]

    small, large = difminmax(Sp)
    st.difminmax_freq = (small, large)
    w('(a52)', 'Top 10 group pairs most similar in species frequency')
    for v, i, j in small:
        w('(5x,a25,2x,a25,2x,a9,f7.3)', gname(i), gname(j), '10*R^2 = ', v)
    blank()
    w('(a54)', 'Top 10 group pairs most different in species frequency')
    for v, i, j in large:
        w('(5x,a25,2x,a25,2x,a9,f7.3)', gname(i), gname(j), '10*R^2 = ', v)
    blank()
    pair_table(Sp, '(5x,a9,14x,10(a10,1x))', '(a25,1x,10(3x,f7.3,1x))')
    w('(a63)', 'GROUP-SPECIES COMPOSITION SIMILARITY (Jaccard Similarity Index)')
    w('(a47)', '  Is species present at this group? yes=1, no=0')
    w('(a78)', '  1.00 means groups are identical; 0.00 means groups have no species in common')
    w('(a85)', '  Group, group, JSI, number of species at each group, and number of species in common')
    blank()
    Sj = {(i, j): F(0.0) for i in G for j in G}
    for i in range(1, NG):
        for j in range(i, NG + 1):
            a = sum(1 for s in S if N3[(i, s)] == 0 and N3[(j, s)] > 0)
            b = sum(1 for s in S if N3[(i, s)] > 0 and N3[(j, s)] == 0)
            c = sum(1 for s in S if N3[(i, s)] > 0 and N3[(j, s)] > 0)
            Sj[(i, j)] = fdiv(F(c), F(a + b + c))
    small, large = difminmax(Sj)
    st.difminmax_jac = (small, large)
    n1 = lambda g: sum(1 for s in S if N3[(g, s)] > 0)
    n12 = lambda i, j: sum(1 for s in S if N3[(i, s)] > 0 and N3[(j, s)] > 0)
    w('(2x,a57)', 'Top 10 location pairs most similar in species composition')
    w('(5x,a8,19x,a8,22x,a3,3x,a11)', 'Location', 'Location', 'JSI', 'N1  N2 N1&2')
    for v, i, j in large:
        w('(5x,a25,2x,a25,2x,f7.3,1x,3(i3,1x))', gname(i), gname(j), v, n1(i), n1(j), n12(i, j))
    blank()
    w('(2x,a56)', 'Top 10 group pairs most different in species composition')
    w('(5x,a5,22x,a5,25x,a3,3x,a11)', 'Group', 'Group', 'JSI', 'N1  N2 N1&2')
    for v, i, j in small:
        w('(5x,a25,2x,a25,2x,f7.3,1x,3(i3,1x))', gname(i), gname(j), v, n1(i), n1(j), n12(i, j))
    blank()
    pair_table(Sj, '(5x,a9,14x,8(a10,1x))', '(a25,1x,8(3x,f7.3,1x))')
    w('(a39)', 'SPECIES BY GROUP WITH UTM AND ELEVATION')
    for s in S:
        w('(a25)', sname(s))
        w('(a5,22x,a24)', 'Group', 'UTMe-w  UTMn-s Elevation')
        for g in G:
            if N3[(g, s)] > 0:
                w('(a25,1x,2(i7,1x),1x,i5)', gname(g), GUTM[g][0], GUTM[g][1], GELEV[g])
        blank()
    w('(a25)', 'SPECIES OVERLAP AT GROUPS')
    w('(a18,i3)', '  Number of groups = ', NG)
    w('(a66)', '  Species and in () the number of groups where it was photographed')
    blank()
    Cc = {(a, b): sum(1 for g in G if N3[(g, a)] * N3[(g, b)] > 0) for a in S for b in S}
    Pp = {(a, b): (fdiv(fmul(F(Cc[(a, b)]), F(100.0)), F(Cc[(a, a)])) if Cc[(a, b)] > 0 else 0.0)
          for a in S for b in S}

    def orow(a, cols):
        vals = [sname(a)[:19], '(', Cc[(a, a)], ')']
        for b in cols:
            vals += [Cc[(a, b)], '(', Pp[(a, b)], ')']
        w('(a19,1x,a1,i3,a1,1x,50(i3,1x,a1,f6.1,a1,1x))', *vals)

    if NS <= 10:
        w('(4x,a7,15x,10(a12,1x))', 'Species', *[sname(s)[:12] for s in S])
        for a in S:
            orow(a, S)
        blank()
    else:
        Hh = NS // 2
        for cols in (range(1, Hh + 1), range(Hh + 1, NS + 1)):
            w('(4x,a7,15x,50(a12,1x))', 'Species', *[sname(s)[:12] for s in cols])
            for a in S:
                orow(a, cols)
            blank()
    # chi-square of groups
    w('(a56)', 'CHI-SQUARE ANALYSIS OF PAIRED GROUPS SPECIES FREQUENCIES')
    cw('CHI-SQUARE ANALYSIS OF PAIRED GROUPS SPECIES FREQUENCIES')
    w('(a47)', 'H0: Species frequencies are independent of site')
    w('(a54)', 'Reject null hypothesis = R, Accept null hypothesis = -')
    CRIT = [0.0, 3.841, 5.991, 7.815, 9.488, 11.070, 12.592, 14.067, 15.507, 16.919, 18.307, 19.675, 21.026,
            22.362, 23.685, 24.996, 26.296, 27.587, 28.869, 30.144, 31.410, 32.671, 33.924, 35.172, 36.415,
            37.652, 38.885, 40.113, 41.337, 42.557, 43.773, 44.985, 46.194, 47.400, 48.602, 49.802]
    c = F(CRIT[min(NS - 1, 35)])
    gm = {}
    st.chi_groups = {}
    for i in range(1, NG):
        Ai = F(Tt[i])
        for j in range(i + 1, NG + 1):
            B = F(Tt[j]); T = fadd(Ai, B); X = F(0.0)
            for s in S:
                a, b = F(N3[(i, s)]), F(N3[(j, s)])
                r = fadd(a, b)
                ea, eb = fdiv(fmul(r, Ai), T), fdiv(fmul(r, B), T)
                if ea > 0:
                    d = fsub(a, ea); X = fadd(X, fdiv(fmul(d, d), ea))
                if eb > 0:
                    d = fsub(b, eb); X = fadd(X, fdiv(fmul(d, d), eb))
            st.chi_groups[(i, j)] = X
            # with one species there is nothing to test: the program accepts
            gm[(i, j)] = 'R' if X >= c and NS > 1 else '-'
            if NS == 1:
                OPEN_POINTS.add('group chi-square with a single species')
    gmk = lambda i, j: gm.get((i, j), ' ')
    if NG <= 10:
        w('(a6,20x,10(a6,1x))', 'Groups', *[gname(g)[:6] for g in G])
        for i in range(1, NG):
            w('(a25,1x,10(3x,a1,3x))', gname(i), *[gmk(i, j) for j in G])
    else:
        Hh = NG // 2
        w('(a6,20x,25(a6,1x))', 'Groups', *[gname(g)[:6] for g in range(1, Hh + 1)])
        for i in range(1, Hh):
            w('(a25,1x,25(3x,a1,3x))', gname(i), *[gmk(i, j) for j in range(1, Hh + 1)])
        blank()
        w('(a6,20x,25(a6,1x))', 'Groups', *[gname(g)[:6] for g in range(Hh + 1, NG + 1)])
        for i in range(1, NG):
            w('(a25,1x,25(3x,a1,3x))', gname(i), *[gmk(i, j) for j in range(Hh + 1, NG + 1)])
    blank()
    # groups by month
    cw('PICTURES FOR EACH GROUP BY MONTH AND YEAR')
    w('(a42)', 'PICTURES FOR EACH GROUP BY MONTH AND YEAR ')
    w('(a42)', '  Number of independent pictures per group')
    for y in YEARS:
        w('(i4)', y)
        w('(a8,21x,12(a3,3x),a5)', 'Location', *MNAMES, 'Total')
        for g in G:
            pm = [psum(3, gs=[g], ys=[y], ms=[m]) for m in range(1, 13)]
            if sum(pm) > 0:
                w('(a25,2x,12(i5,1x),2x,i5)', gname(g), *pm, sum(pm))
        tp = [psum(3, ys=[y], ms=[m]) for m in range(1, 13)]
        td = [sum(D(g, y, m) for g in G) for m in range(1, 13)]
        w('(a14,13x,12(i5,1x),2x,i5)', 'Total pictures', *tp, sum(tp))
        w('(a10,17x,12(i5,1x),2x,i5)', 'Total days', *td, sum(td))
        w('(a12,15x,12(f5.2,1x),2x,f5.2)', 'Pictures/day',
          *[fdiv(F(tp[i]), F(td[i])) if td[i] > 0 else 0.0 for i in range(12)], fdiv(F(sum(tp)), F(sum(td))))
        blank()
    if FY != LY:
        w('(a49)', 'PICTURES FOR EACH GROUP BY MONTH AND YEAR SUMMARY')
        w('(a52)', '  One record of each species per location per PERIOD')
        w('(i4,a4,i4)', FY, ' to ', LY)
        w('(a5,24x,12(a3,3x),a5)', 'Group', *MNAMES, 'Total')
        tp = [0] * 12
        for g in G:
            pm = [psum(3, gs=[g], ms=[m]) for m in range(1, 13)]
            tp = [a + b for a, b in zip(tp, pm)]
            w('(a25,2x,12(i5,1x),1x,i6)', gname(g), *pm, sum(pm))
        w('(a14,13x,12(i5,1x),1x,i6)', 'Total pictures', *tp, sum(tp))
        td = [sum(D(g, y, m) for g in G for y in YEARS) for m in range(1, 13)]
        w('(a10,17x,12(i5,1x),2x,i5)', 'Total days', *td, sum(td))
        w('(a12,15x,12(f5.2,1x),2x,f5.2)', 'Pictures/day',
          *[fdiv(F(tp[i]), F(td[i])) if td[i] > 0 else 0.0 for i in range(12)], fdiv(F(sum(tp)), F(sum(td))))
        blank()
    # species by month
    cw('SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH')
    w('(a46)', 'SPECIES AND SPECIES RICHNESS BY YEAR AND MONTH')
    note = '  One record of each species per location per period'
    w('(a52)', note)
    for y in YEARS:
        w('(i4)', y)
        w('(a7,22x,12(a3,3x),a5)', 'Species', *MNAMES, 'Total')
        rich = [0] * 12
        for s in S:
            Sm = [psum(3, ss=[s], ys=[y], ms=[m]) for m in range(1, 13)]
            for m in range(12):
                if any(P(g, s, y, m + 1, 3) > 0 for g in G):
                    rich[m] += 1
            if sum(Sm) > 0:
                w('(a25,2x,12(i5,1x),2x,i5)', sname(s), *Sm, sum(Sm))
        tp = [psum(3, ys=[y], ms=[m]) for m in range(1, 13)]
        td = [sum(D(g, y, m) for g in G) for m in range(1, 13)]
        w('(a10,17x,12(i5,1x),2x,i5)', 'Total pics', *tp, sum(tp))
        w('(a10,17x,12(i5,1x),2x,i5)', 'Total days', *td, sum(td))
        w('(a16,11x,12(f5.1,1x))', '10*Pic/effort    ',
          *[fmul(F(10.0), fdiv(F(tp[i]), F(td[i])) if td[i] > 0 else 0.0) for i in range(12)])
        w('(a16,11x,12(i5,1x))', 'Species richness', *rich)
        blank()
    if FY != LY:
        cw('SPECIES ALL YEARS BY MONTH')
        w('(a26)', 'SPECIES ALL YEARS BY MONTH')
        w('(a52)', note)
        w('(a7,22x,12(a3,3x),a5)', 'Species', *MNAMES, 'Total')
        td = [sum(D(g, y, m) for g in G for y in YEARS) for m in range(1, 13)]
        tp = [psum(3, ms=[m]) for m in range(1, 13)]
        cols = [0] * 12
        for s in S:
            Sm = [psum(3, ss=[s], ms=[m]) for m in range(1, 13)]
            cols = [a + b for a, b in zip(cols, Sm)]
            w('(a25,1x,12(i6),2x,i6)', sname(s), *Sm, sum(Sm))
        w('(a10,16x,12(i6),2x,i6)', 'Total pics', *cols, sum(cols))
        w('(a10,16x,12(i6),2x,i6)', 'Total days', *td, sum(td))
        w('(a16,10x,12(1x,f5.1))', '10*Pic/period    ',
          *[fmul(F(10.0), fdiv(F(tp[i]), F(td[i])) if td[i] > 0 else 0.0) for i in range(12)])
        ra = [sum(1 for s in S if psum(3, ss=[s], ms=[m]) > 0) for m in range(1, 13)]
        w('(a16,11x,12(i5,1x))', 'Species richness', *ra)
        blank()
    Eo = list(G)
    for i in range(NG - 1):
        for j in range(i + 1, NG):
            if GELEV[Eo[j]] > GELEV[Eo[i]]:
                Eo[i], Eo[j] = Eo[j], Eo[i]
    for kind, title, tl, hl in ((3, 'SPECIES BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION', '(a56)',
                                 '(a5,21x,a9,2x,12(a3,3x),a5)'),
                                (4, 'SPECIES ABUNDANCE BY GROUP BY YEAR BY MONTH SORTED BY ELEVATION', '(a63)',
                                 '(a5,20x,a9,3x,12(a3,3x),a5)')):
        cw(title)
        w(tl, title)
        w('(a52)', note)
        if kind == 4:
            w('(a46)', '  Use maximum number of individuals per period')
        X = lambda g, s, y, m: P(g, s, y, m, kind)
        for s in S:
            w('(a25)', sname(s))
            for y in YEARS:
                SP, SD, YT = [0] * 12, [0] * 12, 0
                for g in Eo:
                    for m in range(1, 13):
                        if D(g, y, m) > 0:
                            SP[m - 1] += X(g, s, y, m); SD[m - 1] += D(g, y, m)
                    YT += sum(X(g, s, y, m) for m in range(1, 13))
                if YT > 0:
                    w('(i4)', y)
                    w(hl, 'Group', 'Elevation', *MNAMES, 'Total')
                    for g in Eo:
                        xs = [X(g, s, y, m) for m in range(1, 13)]
                        if sum(xs) > 0:
                            w('(a25,2x,i5,3x,12(i5,1x),2x,i5)', gname(g), GELEV[g], *xs, sum(xs))
                    w('(a10,25x,12(i5,1x),2x,i5)', 'Total pics', *SP, sum(SP))
                    w('(a10,25x,12(i5,1x),2x,i5)', 'Total days', *SD, sum(SD))
                    w('(a17,18x,12(f5.1,1x))', '10*Pic/period    ',
                      *[fmul(F(10.0), fdiv(F(SP[i]), F(SD[i])) if SD[i] > 0 else 0.0) for i in range(12)])
                    blank()
            if FY < LY:
                w('(a17)', 'SUMMARY ALL YEARS')
                w('(i4,a4,i4)', FY, ' to ', LY)
                w('(a25)', sname(s))
                w(hl, 'Group', 'Elevation', *MNAMES, 'Total')
                AP, AD = [0] * 12, [0] * 12
                for g in Eo:
                    GP = [sum(X(g, s, y, m) for y in YEARS) for m in range(1, 13)]
                    GD = [sum(D(g, y, m) for y in YEARS) for m in range(1, 13)]
                    AP = [a + b for a, b in zip(AP, GP)]
                    AD = [a + b for a, b in zip(AD, GD)]
                    if sum(GP) > 0:
                        w('(a25,3x,i5,2x,12(i5,1x),2x,i5)', gname(g), GELEV[g], *GP, sum(GP))
                w('(a10,25x,12(i5,1x),2x,i5)', 'Total pics', *AP, sum(AP))
                w('(a10,25x,12(i5,1x),2x,i5)', 'Total days', *AD, sum(AD))
                w('(a17,18x,12(f5.1,1x))', '10*Pic/period    ',
                  *[fmul(F(10.0), fdiv(F(AP[i]), F(AD[i])) if AD[i] > 0 else 0.0) for i in range(12)])
                blank()
    t5 = 'SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT'
    cw(t5)
    w('(a61)', t5)
    w('(a52)', note)
    blank()
    w('(a17)', 'SUMMARY ALL YEARS')
    w('(i4,a4,i4)', FY, ' to ', LY)
    for s in S:
        w('(a5,21x,a9,3x,a13,3x,a7)', 'Group', 'Elevation', '# pics/Effort', 'Percent')
        w('(a25)', sname(s))
        r = {g: 0.0 for g in G}
        sm = F(0.0)
        for g in Eo:
            PT = N3[(g, s)]
            DT = Tg[g]
            if PT > 0:
                r[g] = fdiv(F(PT), F(DT)); sm = fadd(sm, r[g])
        for g in Eo:
            if r[g] > 0.0:
                w('(a25,3x,i5,8x,f7.3,6x,f7.2)', gname(g), GELEV[g], r[g], fdiv(fmul(r[g], F(100.0)), sm))
        blank()
    w('(a67)', 'SPECIES BY GROUP SORTED BY ELEVATION AND NORMALIZED BY EFFORT TABLE')
    w('(a52)', note)
    w('(a77)', '  Table shows frequency of all pictures normalized by effort for each species')
    blank()
    w('(a17)', 'SUMMARY ALL YEARS')
    w('(i4,a4,i4)', FY, ' to ', LY)
    w('(a5,21x,a9,1x,100(a6,1x))', 'Group', 'Elevation', *[sname(s)[:6] for s in S])
    for g in Eo:
        cells = []
        for s in S:
            STs = sum(N3[(gg, s)] for gg in G)
            cells.append(0.0 if STs < 1 else fdiv(fmul(F(N3[(g, s)]), F(100.0)), F(STs)))
        w('(a25,3x,i5,3x,100(f6.2,1x))', gname(g), GELEV[g], *cells)
    blank()
    # species by group
    cw('SPECIES AVERAGE ABUNDANCE BY YEAR AND GROUP')
    w('(a43)', 'SPECIES AVERAGE ABUNDANCE BY YEAR AND GROUP')
    w('(a52)', '  One record of each species per location per PERIOD')
    w('(a59)', '  Use maximum number of individuals per location per PERIOD')

    def sbg_blocks(ys):
        for b in range((NG + 11) // 12):
            blk = list(range(12 * b + 1, min(12 * b + 12, NG) + 1))
            w('(a7,20x,12(a10,1x))', 'Species', *[gname(g)[:10] for g in blk])
            for s in S:
                cells = []
                for g in blk:
                    r = psum(3, gs=[g], ss=[s], ys=ys)
                    n = psum(4, gs=[g], ss=[s], ys=ys)
                    cells.append(fdiv(F(n), F(r)) if r > 0 else 0.0)
                w('(a25,1x,12(f5.2,6x))', sname(s), *cells)
            blank()

    for y in YEARS:
        w('(i4)', y)
        sbg_blocks([y])
    if FY < LY:
        w('(a44)', 'SPECIES AVERAGE ABUNDANCE BY GROUP ALL YEARS')
        w('(i4,a4,i4)', FY, ' to ', LY)
        sbg_blocks(YEARS)
    # venn
    cw('SPECIES CO-OCCURRENCES')
    K = {(a, b): sum(1 for g in G if N3[(g, a)] > 0 and N3[(g, b)] > 0) for a in S for b in S}
    w('(a28)', 'SPECIES CO-OCCURRENCE MATRIX')
    w('(a50)', '  The number of groups each species pair co-occurs')
    cw('SPECIES CO-OCCURRENCE MATRIX')
    w('(26x,50(a6,1x))', *[sname(s)[:6] for s in S])
    for a in S:
        w('(a25,1x,50(i3,4x))', sname(a), *[K[(a, b)] for b in S])
    blank()
    w('(a23)', 'ABSENCE-PRESENCE MATRIX')
    cw('ABSENCE-PRESENCE MATRIX')
    w('(a26)', '  Species vs groups matrix')

    def presence():
        for b in range((NG + 24) // 25):
            blk = list(range(25 * b + 1, min(25 * b + 25, NG) + 1))
            w('(10x,a7,1x,a1,i3,a1,18x,a6,1x,a1,i3,a1)', 'Species', '(', NS, ')', 'Groups', '(', NG, ')')
            w('(26x,25(a10,1x))', *[gname(g)[:10] for g in blk])
            for s in S:
                w('(a25,1x,25(i5,6x))', sname(s), *[1 if N3[(g, s)] > 0 else 0 for g in blk])
            blank()

    presence()
    Ea = list(G)
    for i in range(NG - 1):
        for j in range(i + 1, NG):
            if GELEV[Ea[j]] < GELEV[Ea[i]]:
                Ea[i], Ea[j] = Ea[j], Ea[i]
    w('(a29)', 'SPECIES MIN AND MAX ELEVATION')
    cw('SPECIES MIN AND MAX ELEVATION')
    w('(a26)', '  Species vs groups matrix')
    presence()
    w('(a31)', '  List of elevations and groups')
    for k, g in enumerate(Ea, 1):
        w('(i3,2x,i4,2x,a25)', k, GELEV[g], gname(g))
    blank()
    w('(a48)', '  Minimum and maximum elevation for each species')
    w('(a10,16x,a9)', '   SPECIES', ' Min  Max')
    for s in S:
        lo, hi = 9999, 0
        for g in G:
            if N3[(g, s)] > 0:
                lo = min(lo, GELEV[g]) if GELEV[g] < lo else lo
                hi = GELEV[g] if GELEV[g] > hi else hi
        if lo < hi:
            w('(a25,2(1x,i4))', sname(s), lo, hi)
    blank()
    # detection rates
    half = NS // 2
    head1 = '(28x,a5,3x,a5,5x,a4,10x,a7)'
    shead = '(a5,24x,a4,3x,a5,5x,a4,3x,40(1x,a6,1x))'
    mhead = '(a5,24x,a4,4x,a4,5x,a4,7x,12(a3,5x))'
    trow = '(a25,2x,i6,2x,i6,1x,f8.2,2x,40(f8.2))'
    tlabel = 'Total days pics; Avg rate'
    def per100(r, d):
        # a rate over zero camera trap days prints 0
        return fdiv(fmul(F(r), F(100)), F(d)) if d > 0 else 0.0

    cw('DETECTION RATE FOR EACH SPECIES PER YEAR')
    w('(a40)', 'DETECTION RATE FOR EACH SPECIES PER YEAR')
    w('(a52)', '  One record of each species per location per PERIOD')
    w('(a42)', '  Number of pictures/prd multiplied by 100')
    for y in YEARS:
        days = {g: sum(D(g, y, m) for m in range(1, 13)) for g in G}
        rec = {(g, s): (psum(3, gs=[g], ss=[s], ys=[y]) if days[g] > 0 else 0) for g in G for s in S}
        total = {g: sum(rec[(g, s)] for s in S) for g in G}
        rate = {g: per100(total[g], days[g]) for g in G}
        Td, Tr = sum(days.values()), sum(total.values())
        Trate = per100(Tr, Td)
        w('(a5,i4)', 'Year ', y)
        blocks = [list(S)] if NS <= 20 else [list(range(1, half + 1)), list(range(half + 1, NS + 1))]
        for bi, blk in enumerate(blocks):
            if bi:
                blank()
                w('(a22)', 'Species list continued')
            w(head1, 'Total', 'Total', 'Pics', 'Species')
            w(shead, 'Group', 'days', 'pics', '/prd', *[sname(s)[:6] for s in blk])
            for g in G:
                if days[g] > 0:
                    w(trow, gname(g), days[g], total[g], rate[g],
                      *[per100(rec[(g, s)], days[g]) for s in blk])
            w(trow, tlabel, Td, Tr, Trate,
              *[fmul(fdiv(F(sum(rec[(g, s)] for g in G)), F(Td)), F(100)) if Td > 0 else 0.0 for s in blk])
        blank()
    if FY < LY:
        w('(a39)', 'DETECTION RATE SUMMARY FOR EACH SPECIES')
        w('(a52)', '  One record of each species per location per PERIOD')
        w('(a45)', '  Number of pictures/PERIOD multiplied by 100')
        w('(a6,i4,a4,i4)', 'Years ', FY, ' to ', LY)
        days = Tg
        rec = {(g, s): N3[(g, s)] for g in G for s in S}
        total = {g: sum(rec[(g, s)] for s in S) for g in G}
        rate = {g: per100(total[g], days[g]) for g in G}
        Td, Tr = sum(days.values()), sum(total.values())
        Trate = per100(Tr, Td)
        for bi, blk in enumerate([list(range(1, half + 1)), list(range(half + 1, NS + 1))]):
            if bi:
                blank()
                w('(a22)', 'Species list continued')
            w(head1, 'Total', 'Total', 'Pics', 'Species')
            w(shead, 'Group', 'days', 'pics', '/prd', *[sname(s)[:6] for s in blk])
            for g in G:
                w(trow, gname(g), days[g], total[g], rate[g],
                  *[per100(rec[(g, s)], days[g]) for s in blk])
            w(trow, tlabel, Td, Tr, Trate,
              *[per100(sum(rec[(g, s)] for g in G), Td) for s in blk])
        blank()
    cw('DETECTION RATE FOR EACH GROUP BY MONTH')
    w('(a38)', 'DETECTION RATE FOR EACH GROUP BY MONTH')
    w('(a52)', '  One record of each species per location per PERIOD')

    def month_rows(ys):
        for g in G:
            dm = [sum(D(g, y, m) for y in ys) for m in range(1, 13)]
            rm = [psum(3, gs=[g], ys=ys, ms=[m]) for m in range(1, 13)]
            if sum(dm) > 0:
                w(trow, gname(g), sum(dm), sum(rm), fdiv(F(sum(rm)), F(sum(dm))),
                  *[fdiv(F(rm[i]), F(dm[i])) if dm[i] > 0 else 0.0 for i in range(12)])
        dm = [sum(D(g, y, m) for g in G for y in ys) for m in range(1, 13)]
        rm = [psum(3, ys=ys, ms=[m]) for m in range(1, 13)]
        w(trow, tlabel, sum(dm), sum(rm), fdiv(F(sum(rm)), F(sum(dm))),
          *[fdiv(F(rm[i]), F(dm[i])) if dm[i] > 0 else 0.0 for i in range(12)])
        blank()

    for y in YEARS:
        w('(a5,i4)', 'Year ', y)
        w(head1, 'Total', 'Total', 'Pics', 'Months ')
        w(mhead, 'Group', 'days', 'pics', '/prd', *MNAMES)
        month_rows([y])
    if FY != LY:
        w('(a46)', 'DETECTION RATE SUMMARY FOR EACH GROUP BY MONTH')
        w('(a52)', '  One record of each species per location per PERIOD')
        w('(a6,i4,a4,i4)', 'Years ', FY, ' to ', LY)
        w(head1, 'Total', 'Total', 'Pics', 'Months ')
        w(mhead, 'Group', 'days', 'pics', '/prd', *MNAMES)
        month_rows(YEARS)
    # naive occupancy
    cw('NAIVE OCCUPANCY')
    w('(a15)', 'NAIVE OCCUPANCY')
    w('(a42)', '  Species naive group occupancy proportion')
    w('(a56)', '  To create occupancy matrix run program Dastrowelquine')
    w('(30x,a20,6x,a16)', 'Proportion of groups', 'Number of groups')
    w('(a7,30x,a8,13x,a8,1x,a1,i3,a1)', 'Species', 'Occupied', 'Occupied', '(', NG, ')')
    cnt = {s: sum(1 for g in G if psum(1, gs=[g], ss=[s]) > 0) for s in S}
    order = list(S)
    for i in range(NS - 1):
        for j in range(i + 1, NS):
            if cnt[order[i]] < cnt[order[j]]:
                order[i], order[j] = order[j], order[i]
    for s in order:
        w('(a25,13x,f6.3,18x,i3)', sname(s), fdiv(F(cnt[s]), F(NG)), cnt[s])
    blank()
    # area
    cw('AREA OF EACH GROUP')
    w('(a18)', 'AREA OF EACH GROUP')
    w('(35x,a4)', 'Area')
    w('(a5,25x,a15)', 'Group', 'km^2    miles^2')
    tk, tm = F(0.0), F(0.0)
    st.areas = {}
    for g in G:
        pts = []
        for li in st.glocs[g - 1]:
            l = st.locs[li]
            if l['east'] != 0 and l['north'] != 0:
                pts.append([F(l['east']), F(l['north']), 0.0, 0.0, len(pts) + 1])
        n = len(pts)
        if n < 3:
            continue
        if n == 3:
            def side(p, q):
                dy = fmul(fsub(q[1], p[1]), F(0.001))
                dx = fmul(fsub(q[0], p[0]), F(0.001))
                return fsqrt(fadd(fmul(dy, dy), fmul(dx, dx)))
            a, b, c = side(pts[0], pts[1]), side(pts[1], pts[2]), side(pts[2], pts[0])
            s_ = fmul(fadd(fadd(a, b), c), F(0.5))
            km = fsqrt(fmul(fmul(fmul(fsub(s_, c), fsub(s_, b)), fsub(s_, a)), s_))
        else:
            cx = cy = F(0.0)
            for p in pts:
                cx = fadd(cx, p[0]); cy = fadd(cy, p[1])
            cx, cy = fdiv(cx, F(n)), fdiv(cy, F(n))
            for p in pts:
                p[0] = fsub(p[0], cx); p[1] = fsub(p[1], cy)
            for p in pts:
                x, y = p[0], p[1]
                r = fsqrt(fadd(fmul(y, y), fmul(x, x)))
                p[2] = r
                a = 0.0
                if r != 0:
                    a = fmul(f32(math.asin(fdiv(abs(y), r))), F(57.295826))
                    if x < 0 and y > 0:
                        a = fsub(F(180.0), a)
                    elif x < 0 and y < 0:
                        a = fadd(a, F(180.0))
                    elif x > 0 and y < 0:
                        a = fsub(F(360.0), a)
                    elif x < 0 and y == 0:
                        a = F(180.0)
                    elif x == 0 and y < 0:
                        a = F(270.0)
                p[3] = a
            for i in range(n - 1):
                for j in range(i + 1, n):
                    if pts[j][3] < pts[i][3]:
                        pts[i], pts[j] = pts[j], pts[i]
            m = 0
            for i in range(1, n):
                if pts[i][2] > pts[m][2]:
                    m = i
            ring = [list(p) for p in pts[m:] + pts[:m] + [pts[m]]]
            for _ in range(100):
                L0 = len(ring)
                i = 0
                while i < len(ring) - 2:
                    A_, M_, C_ = ring[i], ring[i + 1], ring[i + 2]
                    s1 = fdiv(fsub(C_[1], A_[1]), fsub(C_[0], A_[0]))
                    t1 = fdiv(M_[1], M_[0])
                    try:
                        num = fsub(fadd(fmul(A_[0], s1), fsub(M_[1], A_[1])), fmul(M_[0], t1))
                        Xx = fdiv(num, fsub(s1, t1))
                        Yy = fadd(fmul(fsub(Xx, A_[0]), s1), A_[1])
                        d1 = fsqrt(fadd(fmul(Yy, Yy), fmul(Xx, Xx)))
                    except (OverflowError, ValueError):
                        d1 = math.nan
                    d2 = fsqrt(fadd(fmul(M_[1], M_[1]), fmul(M_[0], M_[0])))
                    if d1 < d2:
                        i += 1
                    elif d1 >= d2:
                        del ring[i + 1]
                    else:
                        i += 1
                if len(ring) == L0:
                    break
            sm = F(0.0)
            for i in range(len(ring) - 1):
                sm = fsub(fadd(fmul(ring[i][0], ring[i + 1][1]), sm), fmul(ring[i][1], ring[i + 1][0]))
            km = fmul(fmul(sm, F(0.5)), F(0.000001))
            st.areas[g] = [p[4] for p in ring]
        mi = fmul(km, F(0.38610214))
        if km > 0:
            w('(a25,2x,2(f7.2,4x))', gname(g), km, mi)
            tk, tm = fadd(tk, km), fadd(tm, mi)
        else:
            w('(a25,2x,a18)', gname(g), '-------    -------')
    w('(a10,17x,2(f7.2,4x))', 'Total area', tk, tm)
    blank()
    R.append('<elapsed time masked>')
    return R, con


def whole_run(folder):
    stdin = '60\n\n'
    if os.path.exists(os.path.join(folder, 'stdin.txt')):
        stdin = open(os.path.join(folder, 'stdin.txt')).read()
    period = int(stdin.split()[0])
    con = []
    con += render('(a51)', 'Program Morvelstrand, Version 6.0, October 24, 2017')
    con += free()
    con += free('BEGIN GROUP CAMERA TRAP DATA ANALYSIS')
    st = load(folder)
    con += free('READ INPUT.TXT')
    con += free('CALCULATE BEGIN & END YEARS')
    con += render('(i3,a32)', st.NMAPLINES, ' locations found in GroupMap.txt')
    con += render('(i3,a29)', st.NGROUPS, ' groups found in GroupMap.txt')
    con += free('READ ALLPICTURES.TXT')
    rej, pics = read_pictures(st, folder)
    con += free('   Processed        ', st.NPROCESSED)
    con += free('   Used in analysis ', st.NUSED)
    con += free('   Rejected         ', st.NREJECTED)
    con += free()
    con += free('Enter PERIOD in minutes for independent pictures; 60 means 60 minutes')
    con += free('PERIOD = ', period, ' minutes')
    if not 1 <= period <= 1440:
        con += free('PERIOD must be greater than 1 minute and less than 60*24 minutes ... TERMINATING')
        return st, None, con, rej, pics
    tally(st, pics, period)
    rep, rcon = report(st, period)
    con += rcon
    con += ['<elapsed time masked>']
    con += free('HIT ENTER TO TERMINATE NORMALLY')
    return st, rep, con, rej if st.NREJECTED else None, pics


def masked(lines, report):
    out = []
    for k, l in enumerate(lines):
        if report and k == 1 and l.startswith('Date: '):
            l = 'Date: <masked>'
        if l.startswith('Elasped time ') or l.startswith(' Elasped time '):
            l = '<elapsed time masked>'
        out.append(l)
    return out


def without_warnings(lines):
    """The console lines without the input warnings, which are not
    recomputed here: a "Warning" line and the indented lines after it."""
    kept, inside = [], False
    for line in lines:
        if line.startswith(' Warning'):
            inside = True
            continue
        if inside and line.startswith('   ') and not line.startswith('    '):
            continue
        inside = False
        kept.append(line)
    return kept


def compare(name, got, path, report=False):
    if got is None:
        ok = not os.path.exists(path)
        print('%-18s %s' % (name, 'absent as expected' if ok else 'EXPECTED FILE EXISTS BUT RUN LEAVES NONE'))
        return ok
    if not os.path.exists(path):
        print('%-18s MISSING expected file' % name)
        return False
    exp = masked(read_lines(path), report)
    if name == 'console.txt':
        exp = without_warnings(exp)
    got = masked(got, report)
    if exp == got:
        print('%-18s %5d lines agree' % (name, len(exp)))
        return True
    n = 0
    for k in range(max(len(exp), len(got))):
        e = exp[k] if k < len(exp) else '<none>'
        g = got[k] if k < len(got) else '<none>'
        if e != g:
            print('%s line %d differs:\n  expected: %r\n  recomputed: %r' % (name, k + 1, e, g))
            n += 1
            if n >= 10:
                break
    return False


def main():
    folder = sys.argv[1]
    st, rep, con, rej, pics = whole_run(folder)
    if '--print' in sys.argv:
        print('\n'.join(rep or []))
        return 0
    exp = os.path.join(folder, 'expected')
    ok = compare('console.txt', con, os.path.join(exp, 'console.txt'))
    ok &= compare('OutputGroups.txt', rep, os.path.join(exp, 'OutputGroups.txt'), True)
    ok &= compare('Reject.txt', rej, os.path.join(exp, 'Reject.txt'))
    for point in sorted(OPEN_POINTS):
        print('open point touched: ' + point)
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
