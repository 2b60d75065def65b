#!/usr/bin/python3
"""Makes the example study's HTML page and renders it in headless Chromium.

    render_in_browser.py BUILD_DIR SOURCE_DIR [--screenshot OUT.png]

Checks that the page holds one <svg> per plot and no http:// or https://
reference, and that the browser rendered it: a screenshot that is not blank,
with content down to a height in the expected range. With --screenshot, the
rendered page (cut to its content) is also saved to OUT.png.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageOps

PLOTS = 12                      # kPagePlots in src/page/page.hpp
WIDTH = 1000                    # browser window width, px
WINDOW_HEIGHT = 16000           # tall enough for the whole page
HEIGHT_RANGE = (3000, 12000)    # where the example page's content must end, px


def fail(message):
    print("render_in_browser: " + message, file=sys.stderr)
    sys.exit(1)


def make_page(build, source, work):
    study = os.path.join(work, "study")
    shutil.copytree(os.path.join(source, "examples", "study"), study)
    page = os.path.join(work, "page.html")
    run = subprocess.run([os.path.join(build, "morvelstrand"), "--period", "60", "--quiet", "--html", page,
                          "--tables", os.path.join(work, "tables"), study],
                         stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if run.returncode != 0:
        fail("the run failed (%d): %s" % (run.returncode, run.stderr))
    return page


def check_html(page):
    with open(page, encoding="utf-8") as f:
        html = f.read()
    svgs = len(re.findall(r"<svg[\s>]", html))
    plots = html.count('data-plot="')
    if svgs != PLOTS or plots != PLOTS:
        fail("expected %d plots, found %d <svg> and %d figures" % (PLOTS, svgs, plots))
    for scheme in ("http://", "https://"):
        if scheme in html:
            fail("the page refers to " + scheme)
    if "<script" in html or "<link" in html or "src=" in html:
        fail("the page loads something")


def render(page, work):
    chromium = shutil.which("chromium")
    if chromium is None:
        fail("chromium is not installed (scripts/install-packages test)")
    png = os.path.join(work, "shot.png")
    profile = tempfile.mkdtemp(prefix="profile-", dir=work)
    command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--disable-dev-shm-usage", "--hide-scrollbars", "--force-device-scale-factor=1",
               "--user-data-dir=" + profile, "--screenshot=" + png,
               "--window-size=%d,%d" % (WIDTH, WINDOW_HEIGHT), "file://" + page]
    run = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=180)
    if run.returncode != 0 or not os.path.exists(png):
        fail("chromium failed (%d): %s" % (run.returncode, run.stderr[-2000:]))
    return png


def check_png(png):
    image = Image.open(png).convert("RGB")
    if image.size[0] != WIDTH:
        fail("screenshot is %dx%d" % image.size)
    # The box around everything that is not white.
    box = ImageOps.invert(image.convert("L")).getbbox()
    if box is None:
        fail("the screenshot is blank")
    colours = image.getcolors(maxcolors=1 << 20)
    if colours is not None and len(colours) < 50:
        fail("the screenshot has only %d colours" % len(colours))
    bottom = box[3]
    if not HEIGHT_RANGE[0] <= bottom <= HEIGHT_RANGE[1]:
        fail("the content ends at %d px, expected %d to %d" % (bottom, HEIGHT_RANGE[0], HEIGHT_RANGE[1]))
    return image.crop((0, 0, WIDTH, min(image.size[1], bottom + 24)))


def main():
    args = sys.argv[1:]
    out = None
    if "--screenshot" in args:
        k = args.index("--screenshot")
        out = args[k + 1]
        del args[k:k + 2]
    if len(args) != 2:
        fail("usage: render_in_browser.py BUILD_DIR SOURCE_DIR [--screenshot OUT.png]")
    build, source = (os.path.abspath(a) for a in args)
    with tempfile.TemporaryDirectory(prefix="morvelstrand-page-") as work:
        page = make_page(build, source, work)
        check_html(page)
        page_image = check_png(render(page, work))
        if out is not None:
            # A palette of 256 colours keeps the picture small for the repository.
            page_image.quantize(colors=256).save(out, optimize=True)
        print("page: %d bytes, rendered %dx%d px" % (os.path.getsize(page), page_image.size[0], page_image.size[1]))


if __name__ == "__main__":
    main()
