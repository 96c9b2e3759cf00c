#!/usr/bin/env python3
"""Writes impanel.txt: two image panels, the upper one keeping the clicked image selected, each
holding tri-state images (a grey, a blue and an orange face) and, in the upper one, an inert
strip. The pictures are drawn here so the layout can be made again after a change:
    python3 impanel_make.py > impanel.txt
"""
import struct

SIZE = 24
FACES = {
    "nom": ((96, 96, 96), (208, 208, 208)),
    "hot": ((0, 64, 160), (96, 176, 255)),
    "sel": ((160, 64, 0), (255, 176, 64)),
}
BACK = (236, 233, 216)


def bmp24(width, height, pixel):
    """An uncompressed 24-bit bottom-up bitmap file; pixel(x, y) gives (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return header + info + data


def face(kind, mark):
    """A disc with a darker rim on the panel's colour; mark 0..2 cuts a notch so the images of
    one panel differ."""
    rim, fill = FACES[kind]

    def pixel(x, y):
        d = (x - 11.5) ** 2 + (y - 11.5) ** 2
        if d > 121:
            return BACK
        if d > 81:
            return rim
        if 10 <= y <= 13 and 4 + 5 * mark <= x <= 7 + 5 * mark:
            return rim
        return fill
    return bmp24(SIZE, SIZE, pixel)


def strip(x, y):
    return (180, 180, 160) if (x + y) % 4 < 2 else BACK


def picture_data(bmp):
    name = b"TBitmap"
    return bytes((len(name),)) + name + struct.pack("<I", len(bmp)) + bmp


def hexlines(data, indent):
    text = data.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    return "{\n" + "\n".join(indent + line for line in lines) + "}"


def image(name, left, mark, ind):
    out = [f"{ind}object {name}: TImImage", f"{ind}  Left = {left}", f"{ind}  Top = 12",
           f"{ind}  Width = {SIZE}", f"{ind}  Height = {SIZE}"]
    for prop, kind in (("Picture", "nom"), ("HotPicture", "hot"), ("SelPicture", "sel")):
        out.append(f"{ind}  {prop}.Data = " + hexlines(picture_data(face(kind, mark)), ind + "    "))
    out.append(f"{ind}end")
    return out


def panel(name, top, keep, images, extra=()):
    ind = "    "
    out = [f"  object {name}: TImPanel", f"{ind}Left = 10", f"{ind}Top = {top}", f"{ind}Width = 200",
           f"{ind}Height = 48", f"{ind}BevelOuter = bvLowered", f"{ind}Caption = ''", f"{ind}Color = $00D8E9EC"]
    if keep:
        out.append(f"{ind}KeepSelStatus = True")
    for n, (img, left) in enumerate(images):
        out += image(img, left, n, ind)
    out += list(extra)
    out.append("  end")
    return out


def main():
    inert = [
        "    object Strip: TImImage",
        "      Left = 150", "      Top = 12", "      Width = 40", "      Height = 24",
        "      Picture.Data = " + hexlines(picture_data(bmp24(40, 24, strip)), "        "),
        "      IsBkgnd = True",
        "    end",
    ]
    parts = [
        "object Form1: TForm",
        "  Left = 0", "  Top = 0", "  BorderStyle = bsSingle", "  Caption = 'Image panels'",
        "  ClientHeight = 130", "  ClientWidth = 220", "  Color = clBtnFace",
        "  Font.Charset = ANSI_CHARSET", "  Font.Color = clWindowText", "  Font.Height = -14",
        "  Font.Name = '宋体'", "  Font.Style = []",
        *panel("PanelKeep", 10, True, [("ImA", 12), ("ImB", 48), ("ImC", 84)], inert),
        *panel("PanelPlain", 70, False, [("ImD", 12), ("ImE", 48)]),
        "end",
    ]
    print("\n".join(parts))


main()
