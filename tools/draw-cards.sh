#!/usr/bin/env bash
#
# Draws the built-in "Default" card set and the application icon.
#
#   tools/draw-cards.sh [OUTDIR]
#
# Run from anywhere; OUTDIR defaults to the repository's resources/ folder.
# Writes:
#   OUTDIR/sets/Default/0.png .. 9.png   the ten card faces (256 x 256)
#   OUTDIR/sets/Default/10.png           the card cover (256 x 256)
#   OUTDIR/icons/pairwell-{64,128,256}.png
#
# Every face differs from the others by shape *and* by colour, and the
# colours come from the Okabe-Ito palette, so the set stays playable for
# colour-blind players.
#
# Everything is drawn at four times the final size and scaled down, and the
# PNGs are written without metadata or timestamps, so redrawing with the same
# ImageMagick 6 build gives byte-identical files.

set -euo pipefail

export LC_ALL=C
export MAGICK_THREAD_LIMIT=1   # keep resampling order fixed
export MAGICK_TIME=0           # nothing time-dependent in the output

if ! command -v convert >/dev/null 2>&1; then
    echo "draw-cards.sh: ImageMagick 'convert' is required" >&2
    exit 1
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=${1:-$ROOT/resources}
SETDIR=$OUT/sets/Default
ICONDIR=$OUT/icons
mkdir -p "$SETDIR" "$ICONDIR"

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

SS=4                  # supersampling factor
CARD=256              # final card size
BIG=$((CARD * SS))    # size the cards are drawn at

# Card face colours.
CREAM='#FBF5E6'
EDGE='#9C8E74'
ICON_EDGE='#6B5F4A'   # darker, so the small icon holds on light desktops
INK='#1E1E1E'

# Cover colours.
NAVY='#123A56'
NAVY_EDGE='#081E2E'
LATTICE='#347E9E'
GOLD='#D8B45C'

# --------------------------------------------------------------------------
# Helpers
# --------------------------------------------------------------------------

# Floating point arithmetic: calc EXPR
calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }

# Points of a regular star: star_points CX CY R_OUT R_IN N
star_points() {
    awk -v cx="$1" -v cy="$2" -v R="$3" -v r="$4" -v n="$5" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i < 2 * n; i++) {
            a = -pi / 2 + i * pi / n
            rr = (i % 2) ? r : R
            printf "%.2f,%.2f ", cx + rr * cos(a), cy + rr * sin(a)
        }
    }'
}

# Points of a regular polygon with a vertex on top: polygon_points CX CY R N
polygon_points() {
    awk -v cx="$1" -v cy="$2" -v R="$3" -v n="$4" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i < n; i++) {
            a = -pi / 2 + i * 2 * pi / n
            printf "%.2f,%.2f ", cx + R * cos(a), cy + R * sin(a)
        }
    }'
}

# SVG path of a crescent: the disc (X1,Y1,R1) minus the disc (X2,Y2,R2).
crescent_path() {
    awk -v x1="$1" -v y1="$2" -v r1="$3" -v x2="$4" -v y2="$5" -v r2="$6" 'BEGIN {
        dx = x2 - x1; dy = y2 - y1
        d = sqrt(dx * dx + dy * dy)
        a = (r1 * r1 - r2 * r2 + d * d) / (2 * d)
        h = sqrt(r1 * r1 - a * a)
        mx = x1 + a * dx / d; my = y1 + a * dy / d
        px = -dy / d * h; py = dx / d * h
        printf "M %.2f,%.2f A %.2f,%.2f 0 1,1 %.2f,%.2f A %.2f,%.2f 0 1,0 %.2f,%.2f Z",
            mx + px, my + py, r1, r1, mx - px, my - py,
            r2, r2, mx + px, my + py
    }'
}

# Writes the final 8-bit RGBA PNG: finish SRC SIZE DEST
finish() {
    convert "$1" -filter Lanczos -resize "${2}x${2}" \
        -depth 8 -strip \
        -define png:exclude-chunks=date,time \
        -define png:compression-level=9 \
        -define png:compression-filter=5 \
        -define png:compression-strategy=1 \
        "PNG32:$3"
}

# --------------------------------------------------------------------------
# Face motifs
# --------------------------------------------------------------------------
# Each motif is drawn in a 1024 x 1024 box centred on (512,512) and fills
# roughly two thirds of it.

FACE_COLOURS=(
    '#E69F00'   # 0 orange          circle
    '#56B4E9'   # 1 sky blue        square
    '#009E73'   # 2 bluish green    triangle
    '#F0E442'   # 3 yellow          crescent
    '#0072B2'   # 4 blue            star
    '#D55E00'   # 5 vermillion      heart
    '#CC79A7'   # 6 reddish purple  cross
    '#000000'   # 7 black           hexagon
    '#6E6E6E'   # 8 dark grey       diamond
    '#8C5A2B'   # 9 brown           arrow
)

# MVG for motif IDX (fill colour included, stroke set by the caller).
shape_mvg() {
    local idx=$1
    printf 'fill %s ' "${FACE_COLOURS[$idx]}"
    case $idx in
        0) printf 'circle 512,512 512,172' ;;
        1) printf 'roundrectangle 207,207 817,817 44,44' ;;
        2) printf 'polygon 512,170 888,826 136,826' ;;
        3) printf "path '%s'" "$(crescent_path 492 512 350 642 430 300)" ;;
        4) printf 'polygon %s' "$(star_points 512 548 392 168 5)" ;;
        5) printf "path '%s'" \
            'M 512,866 C 372,760 150,618 150,410 C 150,270 252,170 372,170 C 440,170 492,210 512,262 C 532,210 584,170 652,170 C 772,170 874,270 874,410 C 874,618 652,760 512,866 Z' ;;
        6) printf 'polygon 397,170 627,170 627,397 854,397 854,627 627,627 627,854 397,854 397,627 170,627 170,397 397,397' ;;
        7) printf 'polygon %s' "$(polygon_points 512 512 360 6)" ;;
        8) printf 'polygon 512,142 852,512 512,882 172,512' ;;
        9) printf 'polygon 150,402 540,402 540,196 878,512 540,828 540,622 150,622' ;;
    esac
}

# A face-up card: face_card OUT W H IDX SHAPE_SCALE EDGE_W INK_W [EDGE_COLOUR]
# EDGE_W and INK_W are in output pixels of the drawn image.
face_card() {
    local out=$1 w=$2 h=$3 idx=$4 s=$5 ew=$6 iw=$7 edge=${8:-$EDGE}
    local m r tx ty
    m=$(calc "$ew / 2 + 2")
    r=$(calc "$w * 0.086")
    tx=$(calc "$w / 2 - 512 * $s")
    ty=$(calc "$h / 2 - 512 * $s")
    convert -size "${w}x${h}" xc:none \
        -fill "$CREAM" -stroke "$edge" -strokewidth "$ew" \
        -draw "roundrectangle $m,$m $(calc "$w - 1 - $m"),$(calc "$h - 1 - $m") $r,$r" \
        -draw "translate $tx,$ty scale $s,$s stroke $INK stroke-width $(calc "$iw / $s") stroke-linejoin round $(shape_mvg "$idx")" \
        "MIFF:$out"
}

# --------------------------------------------------------------------------
# Cover
# --------------------------------------------------------------------------

# The card back: cover_card OUT W H SPACING LINE_W EDGE_W
# A navy card with a gold inner frame around a diagonal lattice.
cover_card() {
    local out=$1 w=$2 h=$3 sp=$4 lw=$5 ew=$6
    local m r fi fr li lr dot mvg cx cy k c n
    m=$(calc "$ew / 2 + 2")
    r=$(calc "$w * 0.086")
    fi=$(calc "$w * 0.055")          # gold frame inset
    fr=$(calc "$r - $fi * 0.6")
    li=$(calc "$fi + $ew * 2.2")      # lattice inset
    lr=$(calc "$fr - $ew")
    dot=$(calc "$lw * 1.1")
    cx=$(calc "$w / 2")
    cy=$(calc "$h / 2")

    # Diagonal lines through the centre and every SPACING pixels from it,
    # with a dot on each crossing.
    n=$(awk -v w="$w" -v h="$h" -v sp="$sp" 'BEGIN { printf "%d", (w + h) / sp + 2 }')
    mvg="stroke $LATTICE stroke-width $lw fill none"
    for ((k = -n; k <= n; k++)); do
        c=$(calc "$cx + $cy + $k * $sp")
        mvg+=" line $c,0 $(calc "$c - $h"),$h"
        c=$(calc "$cx - $cy + $k * $sp")
        mvg+=" line $c,0 $(calc "$c + $h"),$h"
    done
    mvg+=" stroke none fill $GOLD"
    mvg+=$(awk -v cx="$cx" -v cy="$cy" -v w="$w" -v h="$h" -v sp="$sp" -v d="$dot" 'BEGIN {
        # crossings sit at the centre plus (i + j, i - j) * sp / 2 with i, j
        # integers, i.e. on a square grid of half-spacing with even sum
        half = sp / 2
        nx = int(w / half) + 1; ny = int(h / half) + 1
        for (i = -nx; i <= nx; i++)
            for (j = -ny; j <= ny; j++) {
                if ((i + j) % 2 != 0) continue
                x = cx + i * half; y = cy + j * half
                if (x < 0 || y < 0 || x > w || y > h) continue
                printf " circle %.2f,%.2f %.2f,%.2f", x, y, x + d, y
            }
    }')

    convert -size "${w}x${h}" xc:none \
        -fill "$NAVY" -stroke "$NAVY_EDGE" -strokewidth "$ew" \
        -draw "roundrectangle $m,$m $(calc "$w - 1 - $m"),$(calc "$h - 1 - $m") $r,$r" \
        \( -size "${w}x${h}" xc:none -draw "$mvg" \
           \( -size "${w}x${h}" xc:none -fill white -stroke none \
              -draw "roundrectangle $li,$li $(calc "$w - 1 - $li"),$(calc "$h - 1 - $li") $lr,$lr" \) \
           -compose DstIn -composite \) \
        -compose Over -composite \
        -fill none -stroke "$GOLD" -strokewidth "$(calc "$ew * 1.4")" \
        -draw "roundrectangle $fi,$fi $(calc "$w - 1 - $fi"),$(calc "$h - 1 - $fi") $fr,$fr" \
        "MIFF:$out"
}

# --------------------------------------------------------------------------
# The card set
# --------------------------------------------------------------------------

for idx in 0 1 2 3 4 5 6 7 8 9; do
    face_card "$TMP/face.miff" "$BIG" "$BIG" "$idx" 1 10 20
    finish "$TMP/face.miff" "$CARD" "$SETDIR/$idx.png"
done

cover_card "$TMP/cover.miff" "$BIG" "$BIG" 128 12 10
finish "$TMP/cover.miff" "$CARD" "$SETDIR/10.png"

# --------------------------------------------------------------------------
# The icon: a face-down card with a face-up heart card lying across it.
# --------------------------------------------------------------------------

# draw_icon SIZE: line widths are chosen per size so the small icon keeps
# bold edges and a coarse lattice.
draw_icon() {
    local size=$1 px lat lw ew iw
    local M=$((size * SS))
    local cw ch
    cw=$(calc "$M * 0.50")
    ch=$(calc "$M * 0.68")
    cw=${cw%.*}; ch=${ch%.*}
    px=$SS                                    # one output pixel
    case $size in
        64)  lat=$(calc "$cw / 2.6"); lw=$(calc "$px * 1.6"); ew=$(calc "$px * 1.6"); iw=$(calc "$px * 1.8") ;;
        128) lat=$(calc "$cw / 3.6"); lw=$(calc "$px * 2.0"); ew=$(calc "$px * 2.0"); iw=$(calc "$px * 2.6") ;;
        *)   lat=$(calc "$cw / 5.0"); lw=$(calc "$px * 3.0"); ew=$(calc "$px * 2.6"); iw=$(calc "$px * 4.0") ;;
    esac

    cover_card "$TMP/icon-back.miff" "$cw" "$ch" "$lat" "$lw" "$ew"
    # heart motif scaled to about 80 % of the card width
    face_card "$TMP/icon-front.miff" "$cw" "$ch" 5 "$(calc "$cw * 0.80 / 1024")" "$ew" "$iw" "$ICON_EDGE"

    local place_back place_front place_shadow
    place_back="$(calc "$cw / 2"),$(calc "$ch / 2") 1 -13 $(calc "$M * 0.375"),$(calc "$M * 0.45")"
    place_front="$(calc "$cw / 2"),$(calc "$ch / 2") 1 10 $(calc "$M * 0.625"),$(calc "$M * 0.55")"
    place_shadow="$(calc "$cw / 2"),$(calc "$ch / 2") 1 10 $(calc "$M * 0.625 + $px"),$(calc "$M * 0.55 + 2 * $px")"

    convert -size "${M}x${M}" xc:none \
        -background none -virtual-pixel transparent \
        -define "distort:viewport=${M}x${M}+0+0" \
        \( "$TMP/icon-back.miff" -distort SRT "$place_back" \) \
        -compose Over -composite \
        \( "$TMP/icon-front.miff" -distort SRT "$place_shadow" \
           -fill black -colorize 100 \
           -channel A -evaluate multiply 0.35 +channel \
           -blur "0x$(calc "$px * 1.5")" \) \
        -compose Over -composite \
        \( "$TMP/icon-front.miff" -distort SRT "$place_front" \) \
        -compose Over -composite \
        "MIFF:$TMP/icon.miff"
    finish "$TMP/icon.miff" "$size" "$ICONDIR/pairwell-$size.png"
}

for size in 64 128 256; do
    draw_icon "$size"
done

echo "Drew $SETDIR/0.png .. 10.png and $ICONDIR/pairwell-{64,128,256}.png"
