#!/usr/bin/env bash
# Camera files written by independent tools for the date reader's tests, each
# with the date ExifTool reads in it (a movie header's UTC time shown in UTC):
# movies by ffmpeg, Apple's creation date, EXIF in PNG and WebP written by
# ExifTool, and copies of real raw files whose dates ExifTool moved.
#
#   tools/make_camera_samples.sh <folder> [folder of real camera files]
#
# Writes the files and <folder>/expected.tsv ("name<TAB>date" or "name<TAB>-").
# Without ffmpeg or exiftool it writes no table, and the tests say they skipped.
set -euo pipefail

out="$1"
corpus="${2:-}"
rm -rf "$out"
mkdir -p "$out"
cd "$out"
if ! command -v ffmpeg >/dev/null || ! command -v exiftool >/dev/null; then
    echo "make_camera_samples: ffmpeg or exiftool missing, no samples written"
    exit 0
fi

frames() { ffmpeg -loglevel error -y -f lavfi -i color=c=gray:s=64x48:d=0.2 "$@"; }
frames -c:v mpeg4 -metadata creation_time=2021-07-04T18:30:00Z summer.mov
frames -c:v mpeg4 -metadata creation_time=2004-12-24T23:30:00Z winter.mp4
frames -c:v mpeg4 -f 3gp -metadata creation_time=2012-02-29T12:00:00Z leap.3gp
frames -c:v mpeg4 -metadata creation_time=2019-06-25T21:31:41Z -f mov iphone.mov
# An iPhone writes its local time with its offset; the movie header keeps UTC.
exiftool -q -overwrite_original '-Keys:CreationDate=2019:06:25 14:31:41-07:00' iphone.mov
frames -frames:v 1 screenshot.png
exiftool -q -overwrite_original '-EXIF:DateTimeOriginal=2018:03:04 05:06:07' screenshot.png
frames -frames:v 1 export.webp
exiftool -q -overwrite_original '-EXIF:DateTimeOriginal=2017:08:09 10:11:12' \
    '-EXIF:ModifyDate=2017:08:09 11:00:00' export.webp

# Real raws of several makers, their dates a day and a bit later than the camera wrote.
if [ -n "$corpus" ] && [ -d "$corpus" ]; then
    for raw in CanonRaw.cr3 CanonRaw.crw FujiFilm.raf Minolta.mrw Panasonic.rw2 DNG.dng \
        CanonRaw.cr2; do
        [ -f "$corpus/$raw" ] || continue
        cp "$corpus/$raw" "shifted-$raw"
        chmod u+w "shifted-$raw"
        exiftool -q -q -overwrite_original '-AllDates+=0:0:1 2:03:04' \
            '-CanonRaw:DateTimeOriginal+=0:0:1 2:03:04' "shifted-$raw" || true
    done
fi

for f in *; do
    [ "$f" = expected.tsv.new ] && continue
    d=$(TZ=UTC exiftool -api QuickTimeUTC=1 -s3 -d '%Y:%m:%d %H:%M:%S' \
        -EXIF:DateTimeOriginal -EXIF:CreateDate -EXIF:ModifyDate -CanonRaw:DateTimeOriginal \
        -Keys:CreationDate -QuickTime:CreateDate "$f" 2>/dev/null |
        grep -E '^[0-9]{4}:[0-9]{2}:[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}' |
        grep -v -e '^0000' -e '^1904:01:01 00:00:00' | head -1 | cut -c1-19 || true)
    printf '%s\t%s\n' "$f" "${d:--}"
done >expected.tsv.new
mv expected.tsv.new expected.tsv
