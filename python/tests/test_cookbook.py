"""Runs every job of the README's cookbook, its picbuf line and its Python, on
images made here, and checks what the job must produce with ImageMagick and
poppler, so the README cannot go stale."""

import os
import re
import subprocess
import sys

import numpy as np
import pytest

CONVERT = os.environ.get("PM32_CONVERT") or "convert"
WIDTH, HEIGHT = 96, 64


def readme_section(heading):
    with open(os.environ["PIXMILL_README"], encoding="utf-8") as readme:
        text = readme.read()
    return text.split(f"\n## {heading}\n", 1)[1].split("\n## ", 1)[0]


def cookbook():
    """{job title: {"sh": code, "python": code}} from the README's Cookbook section."""
    section = readme_section("Cookbook")
    jobs = {}
    for part in re.split(r"^### ", section, flags=re.M)[1:]:
        title, body = part.split("\n", 1)
        jobs[title.strip()] = dict(re.findall(r"^```(sh|python)\n(.*?)^```", body, re.S | re.M))
    return jobs


def photo_pixels(seed=0):
    """A photo with smooth red and green ramps and a busy blue channel: thousands of colours."""
    y, x = np.mgrid[0:HEIGHT, 0:WIDTH]
    channels = [x * 255 // (WIDTH - 1), y * 255 // (HEIGHT - 1), (x * y + seed) % 256]
    return np.stack(channels, axis=-1).astype(np.uint8)


def write_image(target, pixels, *options):
    """Writes pixels with ImageMagick; target is a file name, with a FORMAT: prefix if need be."""
    height, width = pixels.shape[:2]
    size = f"{width}x{height}"
    subprocess.run([CONVERT, "-size", size, "-depth", "8", "rgb:-", *options, target],
                   input=pixels.tobytes(), check=True)


def decode(path):
    size = subprocess.check_output([CONVERT, str(path), "-format", "%w %h", "info:"])
    width, height = map(int, size.split())
    raw = subprocess.check_output([CONVERT, str(path), "-depth", "8", "rgb:-"])
    return np.frombuffer(raw, np.uint8).reshape(height, width, 3).astype(int)


def colour_count(path):
    return int(subprocess.check_output([CONVERT, str(path), "-format", "%k", "info:"]))


def photo(folder):
    write_image(f"BMP3:{folder / 'photo.bmp'}", photo_pixels())


def check_converted(folder, out):
    assert (decode(folder / "photo.png") == photo_pixels()).all()


def check_gif(folder, out):
    gif = decode(folder / "photo.gif")
    assert gif.shape == (HEIGHT, WIDTH, 3)
    assert 16 < colour_count(folder / "photo.gif") <= 256
    # Each region keeps about its mean colour (the palette's hull costs the extremes a little).
    blocks = lambda a: a.reshape(HEIGHT // 8, 8, WIDTH // 8, 8, 3).mean(axis=(1, 3))
    assert np.abs(blocks(gif) - blocks(photo_pixels().astype(int))).max() < 20


def check_thumbnail(folder, out):
    thumb = decode(folder / "thumb.png")
    assert thumb.shape == (32, 48, 3)
    halved = photo_pixels().astype(int).reshape(32, 2, 48, 2, 3).mean(axis=(1, 3))
    assert np.abs(thumb[..., :2] - halved[..., :2]).max() <= 12  # the smooth channels


def check_crop(folder, out):
    assert (decode(folder / "crop.png") == photo_pixels()[20:50, 10:50]).all()


def check_turned(folder, out):
    assert (decode(folder / "turned.png") == np.fliplr(np.rot90(photo_pixels(), -1))).all()


def check_tone(folder, out):
    original = photo_pixels().astype(int)
    assert (decode(folder / "neutral.png") == original).all()
    brighter = decode(folder / "brighter.png")
    assert (brighter >= original - 1).all() and brighter.mean() > original.mean() + 10


def check_arrow(folder, out):
    drawn = decode(folder / "arrow.png")
    red, white = [255, 0, 0], [255, 255, 255]
    assert drawn.shape == (100, 200, 3)
    assert drawn[70, 100].tolist() == red and drawn[30, 100].tolist() == white
    assert drawn[65, 152].tolist() == red, "an arrowhead at the end"
    assert drawn[65, 22].tolist() == white, "none at the start"
    label = drawn[10:40, 20:180]
    assert ((label == red).all(axis=-1).sum() > 30) and (drawn[45:60] == white).all()


def pages(folder):
    three = np.concatenate([photo_pixels(seed) for seed in range(3)])
    write_image(str(folder / "pages.tif"), three,
                "-crop", f"{WIDTH}x{HEIGHT}", "+repage", "-compress", "none")


def check_information(folder, out):
    lines = out.splitlines()
    assert "CountImages=3" in lines
    for told in ["ColorDepth=24", f"Xresolution={WIDTH}", f"Yresolution={HEIGHT}"]:
        assert told in lines


def bmp_files(folder):
    for i, name in enumerate(["a", "b", "c"]):
        write_image(f"BMP3:{folder / name}.bmp", photo_pixels(i))


def check_batch(folder, out):
    for name in ["a", "b", "c"]:
        grey = decode(folder / f"{name}.png")
        assert grey.shape == (HEIGHT, WIDTH, 3)
        assert (grey[..., 0] == grey[..., 1]).all() and (grey[..., 1] == grey[..., 2]).all()
        assert len(np.unique(grey)) > 16


def check_pdf(folder, out):
    info = subprocess.check_output(["pdfinfo", str(folder / "out.pdf")], text=True)
    assert re.search(r"^Pages:\s+1$", info, re.M)
    subprocess.run(["pdftoppm", "-r", "30", "-png", "-singlefile", str(folder / "out.pdf"),
                    str(folder / "page")], check=True)
    page = decode(folder / "page.png")
    # 1200 x 900 device pixels at 300 dpi are 120 x 90 here; the paper beyond stays white.
    assert np.abs(page[45, 60, :2] - photo_pixels()[32, 48, :2]).max() < 24
    assert page[100, 150].tolist() == [255, 255, 255]


JOBS = {
    "Convert between formats": (photo, check_converted),
    "256 colours with dithering into a GIF": (photo, check_gif),
    "A thumbnail that keeps the aspect ratio": (photo, check_thumbnail),
    "Crop": (photo, check_crop),
    "Rotate and mirror": (photo, check_turned),
    "Brightness, contrast and gamma": (photo, check_tone),
    "Draw a labelled arrow": (lambda folder: None, check_arrow),
    "Image information and the image count of a multi-page file": (pages, check_information),
    "A batch loop": (bmp_files, check_batch),
    "Print to PDF": (photo, check_pdf),
}


def test_every_job_has_both_forms_and_a_check():
    jobs = cookbook()
    assert set(jobs) == set(JOBS)
    assert all(set(code) == {"sh", "python"} for code in jobs.values())


def run(language, code, folder):
    """Runs a block in the folder, with the built picbuf first on PATH."""
    command = ["bash", "-e", "-c", code] if language == "sh" else [sys.executable, "-c", code]
    environment = dict(os.environ, PATH=os.environ["PICBUF_DIR"] + os.pathsep + os.environ["PATH"])
    return subprocess.run(command, cwd=folder, env=environment, capture_output=True, text=True)


def test_the_modules_introduction_runs(tmp_path):
    code = re.search(r"^```python\n(.*?)^```", readme_section("Python"), re.S | re.M).group(1)
    done = run("python", code + "print(pixels.shape, row[0], pb.DrawStyle.name)\n", tmp_path)
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines() == [f"(48, 64, 3) {0xFF8000} DSDot"]


@pytest.mark.parametrize("language", ["sh", "python"])
@pytest.mark.parametrize("title", list(JOBS))
def test_job(title, language, tmp_path):
    make_inputs, check = JOBS[title]
    make_inputs(tmp_path)
    done = run(language, cookbook()[title][language], tmp_path)
    assert done.returncode == 0, done.stderr
    check(tmp_path, done.stdout)
