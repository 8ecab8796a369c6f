#!/bin/sh
# Draws the four 128 x 128 RGB icons of the main window with ImageMagick.
# Run it from anywhere; it writes beside itself. The PNGs are committed, so
# the build does not need ImageMagick.
set -eu
cd "$(dirname "$0")"
FONT=DejaVu-Sans-Bold

# A database: three stacked discs drawn as a cylinder, at x offset $1, y offset $2, scale $3 (percent).
cylinder() {
    x=$1; y=$2
    printf '%s' "fill #2e6db4 stroke #123c6e stroke-width 3
      rectangle $((x+0)),$((y+14)) $((x+60)),$((y+62))
      ellipse $((x+30)),$((y+62)) 30,10 0,180
      fill #4b8fe0 ellipse $((x+30)),$((y+14)) 30,10 0,360
      fill none stroke #a9cdf5 stroke-width 2
      ellipse $((x+30)),$((y+30)) 30,10 0,180
      ellipse $((x+30)),$((y+46)) 30,10 0,180"
}

# database_pc: a desktop monitor with a database beside it.
convert -size 128x128 xc:white \
  -draw "fill #dde3ea stroke #39424e stroke-width 4 roundrectangle 8,18 92,84 6,6" \
  -draw "fill #1d2733 stroke none rectangle 15,25 85,77" \
  -draw "fill #39424e rectangle 42,86 58,100 roundrectangle 26,100 74,108 3,3" \
  -draw "fill #7fd67f stroke none rectangle 22,34 40,38 rectangle 22,44 60,48 rectangle 22,54 50,58 rectangle 22,64 66,68" \
  -draw "$(cylinder 62 50)" \
  PNG24:database_pc.png

# database_zym: the meter (case, display, two probe leads) with a database.
convert -size 128x128 xc:white \
  -draw "fill #f2b632 stroke #7a5400 stroke-width 4 roundrectangle 6,10 72,92 8,8" \
  -draw "fill #203040 stroke none rectangle 14,18 64,40" \
  -draw "fill #7fffb0 font $FONT font-size 13 text 17,34 '0.25Ω'" \
  -draw "fill #c62828 stroke #7a0000 stroke-width 2 circle 22,60 22,68" \
  -draw "fill #263238 stroke #000000 stroke-width 2 circle 54,60 54,68" \
  -draw "fill none stroke #c62828 stroke-width 4 bezier 22,68 18,100 40,118 60,122" \
  -draw "fill none stroke #263238 stroke-width 4 bezier 54,68 58,96 50,110 30,124" \
  -draw "$(cylinder 64 52)" \
  PNG24:database_zym.png

# export_csv: a sheet with a table and CSV on it, an arrow leaving it.
convert -size 128x128 xc:white \
  -draw "fill #ffffff stroke #4a4a4a stroke-width 4 polygon 14,6 70,6 94,30 94,122 14,122" \
  -draw "fill #d0d0d0 stroke #4a4a4a stroke-width 3 polygon 70,6 70,30 94,30" \
  -draw "fill none stroke #2e7d32 stroke-width 2 rectangle 24,40 84,92 line 24,53 84,53 line 24,66 84,66 line 24,79 84,79 line 44,40 44,92 line 64,40 64,92" \
  -draw "fill #2e7d32 font $FONT font-size 22 text 24,116 'CSV'" \
  -draw "fill #1565c0 stroke #0d3c73 stroke-width 2 polygon 78,66 104,66 104,52 126,78 104,104 104,90 78,90" \
  PNG24:export_csv.png

# char_fullscreen: a window holding a current (red) and voltage (blue) chart,
# with arrows to its corners.
convert -size 128x128 xc:white \
  -draw "fill #ffffff stroke #37474f stroke-width 4 rectangle 14,14 114,114" \
  -draw "fill #37474f stroke none rectangle 14,14 114,28" \
  -draw "fill none stroke #9e9e9e stroke-width 2 line 22,98 108,98 line 26,34 26,106" \
  -draw "fill none stroke #d32f2f stroke-width 4 polyline 26,98 40,98 48,50 82,50 90,98 108,98" \
  -draw "fill none stroke #1565c0 stroke-width 3 polyline 26,92 40,92 44,40 50,70 82,70 86,108 92,92 108,92" \
  -draw "fill #37474f stroke none polygon 0,0 22,0 0,22 polygon 128,0 106,0 128,22 polygon 0,128 22,128 0,106 polygon 128,128 106,128 128,106" \
  PNG24:char_fullscreen.png
