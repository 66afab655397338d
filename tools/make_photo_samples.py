#!/usr/bin/env python3
"""Writes the camera-style photos the photo date tests read: JPEG and TIFF
(both byte orders) with chosen EXIF dates by Pillow, and HEIC by heif-enc.

    python3 tools/make_photo_samples.py <folder>

The dates here and the table in tests/test_photo_date.cpp go together.
"""
import os
import random
import subprocess
import sys
import tempfile

from PIL import Image

DATE_TIME = 0x0132
EXIF_IFD = 0x8769
ORIGINAL = 0x9003
DIGITIZED = 0x9004


def tags(original=None, digitized=None, date_time=None):
    """IFD0 tags with the EXIF IFD nested as a dict, which Pillow writes as a sub-IFD."""
    ifd0 = {} if date_time is None else {DATE_TIME: date_time}
    sub = {tag: value for tag, value in ((ORIGINAL, original), (DIGITIZED, digitized)) if value}
    if sub:
        ifd0[EXIF_IFD] = sub
    return ifd0


def exif(*args, **kwargs):
    e = Image.Exif()
    e.update(tags(*args, **kwargs))
    return e


def noise(size, mode="RGB", seed=14):
    # Noise compresses badly, so a large picture makes a file of real size.
    rng = random.Random(seed)
    bands = len(mode) if mode == "RGB" else 2
    return Image.frombytes(mode, size, bytes(rng.randrange(256) for _ in range(size[0] * size[1] * bands)))


def main(folder):
    os.makedirs(folder, exist_ok=True)
    path = lambda name: os.path.join(folder, name)
    small = (16, 16)

    noise((640, 480)).save(path("original.jpg"), quality=95, exif=exif(
        "2019:07:14 09:08:07", "2019:07:15 10:00:00", "2019:07:16 11:00:00"))
    noise(small).save(path("digitized.jpg"), exif=exif(
        None, "2020:02:29 23:59:58", "2020:03:01 00:00:00"))
    noise(small).save(path("datetime.jpg"), exif=exif(date_time="2018:12:31 00:00:01"))
    noise(small).save(path("not-a-date.jpg"), exif=exif(
        "0000:00:00 00:00:00", "    :  :     :  :  ", "2017:05:06 07:08:09"))
    noise(small).save(path("no-exif.jpg"))

    noise(small).save(path("little-endian.tif"), tiffinfo=tags(
        "2016:01:02 03:04:05", None, "2016:01:03 00:00:00"))
    # Pillow writes 16-bit big-endian samples, and then the whole file, in Motorola order.
    noise(small, "I;16B").save(path("big-endian.tif"), tiffinfo=tags(
        None, "2015:10:11 12:13:14", "2015:10:12 00:00:00"))

    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "heic-source.jpg")
        noise((64, 64)).save(source, exif=exif("2022:08:09 10:11:12"))
        subprocess.run(["heif-enc", "-q", "50", "-o", path("photo.heic"), source],
                       check=True, stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
