#!/usr/bin/env bash
# The committed pictures are exactly what the picture generator draws, and the layouts of the
# notice window and the gallery carry exactly those files.
# Usage: test_pictures.sh BIN_DIR
set -eu
BIN=$(cd "$1" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$BIN/picturegen" "$out"
for f in heart.ico stucco.bmp cross.bmp; do
    cmp "$out/$f" "$SRC/app/pictures/$f" || { echo "FAIL: app/pictures/$f differs from the generator's output" >&2; exit 1; }
done
# Picture data in the layout: hex of each file, after its class name (and a bitmap's length).
hexof() { od -An -v -tx1 "$1" | tr -d ' \n' | tr a-f A-F; }
layout=$(tr -d ' \n' <"$SRC/app/frmMain.txt")
for f in heart.ico; do
    case "$layout" in *"$(hexof "$SRC/app/pictures/$f")"*) ;; *) echo "FAIL: the layout does not carry $f" >&2; exit 1 ;; esac
done
mkdir "$out/gallery"
"$BIN/picturegen" --gallery "$out/gallery"
gallery=$(tr -d ' \n' <"$SRC/gallery/frmGallery.txt")
for f in "$out"/gallery/*; do
    name=$(basename "$f")
    cmp "$f" "$SRC/gallery/pictures/$name" || { echo "FAIL: gallery/pictures/$name differs from the generator's output" >&2; exit 1; }
    # picturegen --data prints what a layout stores for the file.
    data=$("$BIN/picturegen" --data "$f" | tr -d ' \n{}')
    case "$gallery" in *"$data"*) ;; *) echo "FAIL: the gallery layout does not carry $name" >&2; exit 1 ;; esac
done
[ "$(ls "$out/gallery" | wc -l)" = "$(ls "$SRC/gallery/pictures" | wc -l)" ] || { echo "FAIL: gallery/pictures holds files the generator does not make" >&2; exit 1; }
echo "pictures: generated files and layouts agree"
