#!/usr/bin/env python3
"""Writes imbutton_looks.txt: a form with an image button of each look and the picture strips
they show. The pictures are drawn here so the layout can be made again after a change:
    python3 imbutton_make_looks.py > imbutton_looks.txt
"""
import struct

OLIVE = (128, 128, 0)


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


def picture_data(bmp):
    name = b"TBitmap"
    return bytes((len(name),)) + name + struct.pack("<I", len(bmp)) + bmp


def cross(x, y, engraved):
    """An 18 x 18 diagonal cross: solid maroon with a red upper-left edge, or an outline."""
    d1, d2 = x - y, x + y - 17
    inside = 3 <= x <= 14 and 3 <= y <= 14 and (abs(d1) <= 2 or abs(d2) <= 2)
    if not inside:
        return OLIVE
    edge = abs(d1) == 2 or abs(d2) == 2
    if engraved:
        return (255, 255, 255) if edge and (d1 < 0 or d2 < 0) else ((128, 128, 128) if edge else OLIVE)
    if edge:
        return (255, 0, 0) if (d1 < 0 or d2 < 0) else (64, 64, 64)
    return (128, 0, 0)


def cross_strip(x, y):
    return cross(x % 18, y, x >= 18)


def state_strip(x, y):
    """Four 16 x 16 frames (normal, disabled, pushed, hot): a disc on olive."""
    colours = [(0, 96, 192), (160, 160, 160), (0, 48, 96), (0, 160, 255)]
    fx, k = x % 16, x // 16
    if (fx - 7.5) ** 2 + (y - 7.5) ** 2 <= 36:
        return (255, 255, 255) if (fx - 5) ** 2 + (y - 5) ** 2 <= 2 else colours[k]
    return OLIVE


def single_frame(x, y):
    return state_strip(x, y)


def full_strip(x, y):
    """Three stacked 75 x 25 frames: a horizontal ramp with a band, one hue per state."""
    k, fy = y // 25, y % 25
    base = [(40, 120, 200), (150, 150, 150), (200, 90, 30)][k]
    t = x / 74
    r, g, b = (int(c * (0.55 + 0.45 * t)) for c in base)
    if 9 <= fy <= 15:
        return (255, 255, 255) if (x // 6) % 2 == 0 else (r, g, b)
    return (r, g, b)


def hexlines(data, indent):
    text = data.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    return "{\n" + "\n".join(indent + line for line in lines) + "}"


def button(name, left, top, caption, looks, extra=(), picture=None, tab=0):
    ind = "    "
    out = [f"  object {name}: TImButton",
           f"{ind}Left = {left}", f"{ind}Top = {top}", f"{ind}Width = 75", f"{ind}Height = 25",
           f"{ind}Caption = '{caption}'", f"{ind}TabOrder = {tab}"]
    out += [ind + e for e in extra]
    out.append(f"{ind}Looks = {looks}")
    if picture is not None:
        out.append(f"{ind}Picture.Data = " + hexlines(picture_data(picture), ind + "  "))
    out.append("  end")
    return "\n".join(out)


def main():
    cross_bmp = bmp24(36, 18, cross_strip)
    states_bmp = bmp24(64, 16, state_strip)
    single_bmp = bmp24(16, 16, single_frame)
    full_bmp = bmp24(75, 75, full_strip)
    parts = [
        "object Form1: TForm",
        "  Left = 0", "  Top = 0", "  BorderStyle = bsSingle", "  Caption = 'Image buttons'",
        "  ClientHeight = 130", "  ClientWidth = 270", "  Color = clBtnFace",
        "  Font.Charset = ANSI_CHARSET", "  Font.Color = clWindowText", "  Font.Height = -14",
        "  Font.Name = '宋体'", "  Font.Style = []",
        button("BtnNormal", 10, 10, 'Normal', "ibkNormal", picture=states_bmp, tab=1),
        button("BtnFlat", 95, 10, 'Flat', "ibkFlat", tab=2),
        button("BtnBevel", 180, 10, 'Bevel', "ibkBevelFlat", tab=3),
        button("BtnUltra", 10, 50, 'Ultra', "ibkUltraFlat", tab=4),
        button("BtnFull", 95, 50, 'Full', "ibkFullPicture", picture=full_bmp, tab=5),
        button("BtnClose", 180, 50, 'Close', "ibkWindowsXP", ["Default = True"], picture=cross_bmp, tab=0),
        button("BtnOff", 10, 90, 'Off', "ibkNormal", ["Enabled = False"], picture=single_bmp, tab=6),
        button("BtnHot", 95, 90, 'Hot', "ibkUltraFlat", ["HotTextColor = clRed"], tab=7),
        "end",
    ]
    print("\n".join(parts))


main()
