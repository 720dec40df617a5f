#!/usr/bin/env python3
"""Draws Brimwell's two window photographs and its application icon.

How to run (from anywhere):

    python3 tools/draw_pictures.py

It needs rsvg-convert (Debian package librsvg2-bin) and ImageMagick's
convert. It writes, into ui/resources/ (the window's resources):

    picture2.jpg      100 x 43   a Boeing 747 in flight
    picture1.jpg       49 x 75   an aerobatic formation trailing smoke
    brimwell.svg                 the application icon, scalable
    brimwell-32.png    32 x 32   the icon, with alpha
    brimwell-16.png    16 x 16   the simplified small icon, with alpha

Every picture is vector art drawn by this script. Each one is rendered at a
multiple of its final size and scaled down in linear light, so the small
files are smooth without being soft. The raster files are checked in; the
build never runs this script.
"""

import pathlib
import random
import shutil
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent.parent / "ui" / "resources"


# ---------------------------------------------------------------------------
# SVG helpers


def svg_document(width, height, body, defs=""):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
        f'viewBox="0 0 {width} {height}">\n'
        f"<defs>\n{defs}</defs>\n{body}</svg>\n"
    )


def points(pts):
    return " ".join(f"{x:.1f},{y:.1f}" for x, y in pts)


def linear_gradient(ident, x1, y1, x2, y2, stops, units="objectBoundingBox"):
    s = "".join(
        f'<stop offset="{o}" stop-color="{c}"'
        + (f' stop-opacity="{a}"' if a is not None else "")
        + "/>"
        for o, c, a in (st if len(st) == 3 else (*st, None) for st in stops)
    )
    return (
        f'<linearGradient id="{ident}" gradientUnits="{units}" '
        f'x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">{s}</linearGradient>\n'
    )


def blur_filter(ident, deviation):
    return (
        f'<filter id="{ident}" x="-50%" y="-50%" width="200%" height="200%">'
        f'<feGaussianBlur stdDeviation="{deviation}"/></filter>\n'
    )


def cloud(rng, cx, cy, width, opacity):
    """A soft cumulus: a cluster of blurred white discs with a grey base."""
    parts = []
    for _ in range(9):
        x = cx + rng.uniform(-0.45, 0.45) * width
        r = rng.uniform(0.10, 0.22) * width
        y = cy - rng.uniform(0.0, 0.6) * r
        parts.append(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="{r:.1f}"/>')
    base = (
        f'<ellipse cx="{cx:.1f}" cy="{cy + 0.08 * width:.1f}" rx="{0.5 * width:.1f}" '
        f'ry="{0.07 * width:.1f}" fill="#c9d6e6"/>'
    )
    return (
        f'<g opacity="{opacity}" filter="url(#cloudblur)">{base}'
        f'<g fill="#ffffff">{"".join(parts)}</g></g>\n'
    )


# ---------------------------------------------------------------------------
# picture2: a Boeing 747-400 in flight, seen from the side and a little below


def boeing_747_svg():
    w, h = 1000, 430
    defs = linear_gradient(
        "sky", 0, 0, 0, 1, [(0, "#2f6db5"), (0.55, "#5f9ad6"), (1, "#b4d6f0")]
    )
    defs += blur_filter("cloudblur", 6)
    defs += linear_gradient(
        "body", 0, 0, 0, 1,
        [(0, "#ffffff"), (0.45, "#f4f6f8"), (0.8, "#c8ced6"), (1, "#9aa3ae")],
    )
    defs += linear_gradient(
        "nacelle", 0, 0, 0, 1,
        [(0, "#e9edf1"), (0.5, "#b9c1ca"), (1, "#6e7884")],
    )
    defs += linear_gradient(
        "farnacelle", 0, 0, 0, 1,
        [(0, "#b7c0ca"), (0.6, "#8a949f"), (1, "#5a636e")],
    )
    defs += linear_gradient(
        "wing", 0, 0, 1, 1, [(0, "#aab3be"), (1, "#7d8794")]
    )
    defs += linear_gradient(
        "fin", 0, 0, 0, 1, [(0, "#10306e"), (1, "#1d4b9a")]
    )

    rng = random.Random(747)
    body = f'<rect width="{w}" height="{h}" fill="url(#sky)"/>\n'
    body += cloud(rng, 140, 395, 260, 0.85)
    body += cloud(rng, 560, 420, 340, 0.8)
    body += cloud(rng, 900, 380, 200, 0.75)
    body += cloud(rng, 820, 70, 120, 0.35)

    # The aircraft, nose to the left, climbing gently.
    plane = []

    # Far wing: below the belly, sweeping down and back.
    far_wing = [(400, 244), (560, 247), (740, 300), (706, 300)]
    plane.append(f'<polygon points="{points(far_wing)}" fill="#8c96a2"/>')

    # An engine pod on its pylon: blunt dark intake in front, tapering
    # exhaust behind.
    def nacelle(cx, cy, length, radius, fill, pylon_top):
        x0, x1 = cx - length / 2, cx + length / 2
        out = []
        if pylon_top is not None:
            out.append(
                f'<polygon points="{points([(cx - 4, cy), (cx + length * 0.45, cy), (cx + length * 0.55, pylon_top), (cx + 10, pylon_top)])}" '
                f'fill="#9099a4"/>'
            )
        out.append(
            f'<path d="M {x0:.1f},{cy - radius:.1f} L {x1 - 14:.1f},{cy - radius * 0.8:.1f} '
            f'L {x1:.1f},{cy - radius * 0.45:.1f} L {x1:.1f},{cy + radius * 0.45:.1f} '
            f'L {x1 - 14:.1f},{cy + radius * 0.8:.1f} L {x0:.1f},{cy + radius:.1f} '
            f'A {radius * 0.35:.1f} {radius:.1f} 0 0 1 {x0:.1f},{cy - radius:.1f} Z" fill="url(#{fill})"/>'
        )
        out.append(
            f'<ellipse cx="{x0:.1f}" cy="{cy:.1f}" rx="{radius * 0.32:.1f}" ry="{radius * 0.92:.1f}" fill="#2b323b"/>'
        )
        return "".join(out)

    # Far engines hang under the far wing, lower than the near ones.
    plane.append(nacelle(462, 286, 78, 15, "farnacelle", 262))
    plane.append(nacelle(584, 298, 70, 13, "farnacelle", 282))

    # Horizontal stabiliser on the far side, just visible below the tail.
    plane.append(
        f'<polygon points="{points([(820, 226), (905, 222), (950, 252), (925, 254)])}" fill="#8c96a2"/>'
    )

    # Fuselage with the upper-deck hump.
    fuselage = (
        "M 56,212 "
        "C 56,180 84,148 132,145 "  # blunt nose up to the cockpit windscreen
        "C 190,142 260,142 318,145 "  # upper deck roof
        "C 352,147 372,177 412,178 "  # the hump falls to the main deck
        "L 770,178 "
        "C 830,178 900,186 946,196 "  # top of the tail cone
        "L 952,203 "
        "C 910,212 860,228 760,246 "  # belly sweeps up to the tail
        "C 700,252 620,253 300,253 "
        "L 160,253 "
        "C 100,253 56,240 56,212 Z"
    )
    plane.append(f'<path d="{fuselage}" fill="url(#body)"/>')
    plane.append(f'<clipPath id="fus"><path d="{fuselage}"/></clipPath>')
    # Cheat line along the cabin windows and a darker belly stripe.
    plane.append(
        '<g clip-path="url(#fus)">'
        '<rect x="40" y="206" width="920" height="9" fill="#1d4b9a"/>'
        '<rect x="40" y="216" width="920" height="3" fill="#c8202f"/>'
        "</g>"
    )
    # Cockpit windscreen.
    plane.append(
        '<path d="M 88,164 C 98,155 112,151 128,150 L 130,158 C 116,159 104,163 93,170 Z" fill="#1b2330"/>'
    )
    # Upper-deck windows and main-deck windows.
    windows = []
    for i in range(10):
        windows.append(f'<rect x="{150 + i * 18}" y="158" width="7" height="6" rx="2"/>')
    for i in range(34):
        x = 180 + i * 17
        if 380 < x < 410:
            continue
        windows.append(f'<rect x="{x}" y="196" width="6" height="6" rx="2"/>')
    plane.append(f'<g fill="#33404f">{"".join(windows)}</g>')

    # Tail fin.
    fin = [(742, 180), (868, 44), (924, 40), (916, 190)]
    plane.append(f'<polygon points="{points(fin)}" fill="url(#fin)"/>')
    plane.append(
        f'<polygon points="{points([(820, 118), (880, 60), (906, 60), (848, 118)])}" fill="#c8202f"/>'
    )

    # Near wing: its underside, rising across the lower fuselage.
    near_wing = [(392, 246), (566, 246), (742, 190), (716, 186)]
    plane.append(f'<polygon points="{points(near_wing)}" fill="url(#wing)"/>')
    # winglet at the near tip
    plane.append(
        f'<polygon points="{points([(716, 187), (742, 190), (758, 150), (748, 148)])}" fill="#aab3bd"/>'
    )
    # Near stabiliser.
    plane.append(
        f'<polygon points="{points([(812, 214), (905, 206), (968, 178), (944, 176)])}" fill="#b3bcc6"/>'
    )

    # Near engines, under the near wing.
    plane.append(nacelle(468, 252, 82, 16, "nacelle", 232))
    plane.append(nacelle(592, 226, 74, 14, "nacelle", 212))

    body += f'<g transform="translate(500 215) rotate(-4) scale(0.94) translate(-500 -215)">{"".join(plane)}</g>\n'
    return w, h, svg_document(w, h, body, defs)


# ---------------------------------------------------------------------------
# picture1: an aerobatic formation pulling up, trailing smoke


def formation_svg():
    w, h = 490, 750
    defs = linear_gradient(
        "sky", 0, 0, 0, 1, [(0, "#1f56a8"), (0.6, "#4a8bd3"), (1, "#9cc8ee")]
    )
    defs += blur_filter("smoke", 7)
    defs += blur_filter("smokewide", 16)
    defs += blur_filter("cloudblur", 5)

    body = f'<rect width="{w}" height="{h}" fill="url(#sky)"/>\n'
    rng = random.Random(1961)
    body += cloud(rng, 90, 720, 220, 0.8)
    body += cloud(rng, 400, 735, 200, 0.7)

    # Five jets in an arrowhead, leader at the top; the trails bend back
    # down the loop the formation is flying.
    jets = [
        (245, 120, "#ffffff"),
        (185, 175, "#2f9e44"),
        (305, 175, "#d7263d"),
        (125, 230, "#2f9e44"),
        (365, 230, "#d7263d"),
    ]
    smoke = []
    for x, y, colour in jets:
        # the trail: a tapering ribbon that widens and bends as it falls away
        pts_left, pts_right = [], []
        steps = 24
        for i in range(steps + 1):
            t = i / steps
            yy = y + 34 + t * (h + 60 - y)
            spread = 30 * t * t * (x - 245) / 120
            xx = x + spread + 85 * t * t
            half = 4 + 24 * t
            pts_left.append((xx - half, yy))
            pts_right.append((xx + half, yy))
        ribbon = pts_left + pts_right[::-1]
        opacity = 0.92 if colour != "#ffffff" else 0.95
        smoke.append(
            f'<polygon points="{points(ribbon)}" fill="{colour}" opacity="{opacity * 0.45}" filter="url(#smokewide)"/>'
            f'<polygon points="{points(ribbon)}" fill="{colour}" opacity="{opacity}" filter="url(#smoke)"/>'
        )
    body += '<g transform="translate(-28 0) rotate(-8 245 200)">' + "".join(smoke)

    # Each jet: a swept-wing trainer seen from below, nose up.
    def jet(x, y):
        shape = [
            (0, -40), (4, -30), (6, -10), (30, 6), (30, 12), (6, 10),
            (5, 22), (15, 30), (15, 34), (3, 32), (0, 36),
            (-3, 32), (-15, 34), (-15, 30), (-5, 22), (-6, 10),
            (-30, 12), (-30, 6), (-6, -10), (-4, -30),
        ]
        pts = [(x + px, y + py) for px, py in shape]
        # dark airframe, with the sun catching the canopy
        return (
            f'<polygon points="{points(pts)}" fill="#1c2a44" stroke="#0c1424" stroke-width="1.5"/>'
            f'<polygon points="{points([(x - 2, y - 24), (x + 2, y - 24), (x + 3, y - 8), (x - 3, y - 8)])}" fill="#e8edf4"/>'
        )

    body += "".join(jet(x, y) for x, y, _ in jets) + "</g>\n"
    return w, h, svg_document(w, h, body, defs)


# ---------------------------------------------------------------------------
# The application icon: a fuel drop carrying a jet seen from above


def drop_path(cx, top, bottom, width):
    """A fuel drop: a point at the top, a round belly at the bottom."""
    r = width / 2
    cy = bottom - r
    return (
        f"M {cx},{top} "
        f"C {cx + r * 0.25},{top + (cy - top) * 0.35} {cx + r},{cy - r * 0.55} {cx + r},{cy} "
        f"A {r} {r} 0 0 1 {cx - r},{cy} "
        f"C {cx - r},{cy - r * 0.55} {cx - r * 0.25},{top + (cy - top) * 0.35} {cx},{top} Z"
    )


def jet_top_view(cx, cy, span):
    """A four-engine airliner seen from above, nose up, `span` wide."""
    k = span / 40.0

    def p(x, y):
        return (cx + x * k, cy + y * k)

    nose = p(0, -23)
    fuselage = (
        f"M {nose[0]:.2f},{nose[1]:.2f} "
        f"C {p(2.4, -23)[0]:.2f},{p(2.4, -23)[1]:.2f} {p(3, -20)[0]:.2f},{p(3, -20)[1]:.2f} "
        f"{p(3, -17)[0]:.2f},{p(3, -17)[1]:.2f} "
        f"L {points([p(3, 13), p(1.4, 22), p(-1.4, 22), p(-3, 13), p(-3, -17)])} "
        f"C {p(-3, -20)[0]:.2f},{p(-3, -20)[1]:.2f} {p(-2.4, -23)[0]:.2f},{p(-2.4, -23)[1]:.2f} "
        f"{nose[0]:.2f},{nose[1]:.2f} Z"
    )
    wings = [p(2.5, -6), p(20, 7), p(20, 11), p(2.5, 4), p(-2.5, 4), p(-20, 11), p(-20, 7), p(-2.5, -6)]
    tail = [p(2, 12), p(10, 18), p(10, 21), p(2, 19), p(-2, 19), p(-10, 21), p(-10, 18), p(-2, 12)]
    out = f'<path d="{fuselage}"/>'
    out += "".join(f'<polygon points="{points(pp)}"/>' for pp in (wings, tail))
    for ex, ey in ((8, -1), (14.5, 3.5)):
        for sgn in (1, -1):
            x, y = p(sgn * ex, ey)
            out += (
                f'<rect x="{x - 1.6 * k:.2f}" y="{y - 4 * k:.2f}" width="{3.2 * k:.2f}" '
                f'height="{6.5 * k:.2f}" rx="{1.2 * k:.2f}"/>'
            )
    return out


JET_COLOUR = "#13294f"


def icon_svg(size=256):
    """The full icon; also the 32 pixel rendering."""
    s = size / 32.0
    defs = linear_gradient(
        "fuel", 0, 0, 1, 1, [(0, "#ffd46e"), (0.5, "#f6a623"), (1, "#d0690c")]
    )
    defs += linear_gradient(
        "shine", 0, 0, 0, 1, [(0, "#ffffff", 0.8), (1, "#ffffff", 0.0)]
    )
    d = drop_path(16 * s, 1 * s, 31 * s, 25 * s)
    body = (
        f'<path d="{d}" fill="url(#fuel)" stroke="#5e2c05" stroke-width="{1.2 * s:.2f}" '
        'stroke-linejoin="round"/>\n'
    )
    # a highlight on the upper left of the drop
    body += (
        f'<path d="M {7.6 * s},{15 * s} C {8.2 * s},{11.5 * s} {10.5 * s},{8 * s} {13.2 * s},{5.2 * s} '
        f'C {12 * s},{8.5 * s} {10.6 * s},{12 * s} {10 * s},{15.5 * s} Z" fill="url(#shine)"/>\n'
    )
    body += f'<g fill="{JET_COLOUR}">' + jet_top_view(16 * s, 19.6 * s, 19 * s) + "</g>\n"
    return size, size, svg_document(size, size, body, defs)


def icon_small_svg(size=128):
    """The 16 pixel icon: the same drop, a plainer jet laid on the pixel grid."""
    s = size / 16.0
    defs = linear_gradient("fuel", 0, 0, 1, 1, [(0, "#ffcc55"), (1, "#e8860f")])
    d = drop_path(8 * s, 0.5 * s, 15.5 * s, 14 * s)
    body = (
        f'<path d="{d}" fill="url(#fuel)" stroke="#5e2c05" stroke-width="{1.0 * s:.2f}" '
        'stroke-linejoin="round"/>\n'
    )

    def q(pts):
        return points([(x * s, y * s) for x, y in pts])

    fuselage = [(7, 4), (7.5, 3.4), (8.5, 3.4), (9, 4), (9, 13.5), (7, 13.5)]
    wings = [(7, 6.5), (9, 6.5), (13.6, 9.6), (13.6, 11), (9, 9.2), (7, 9.2), (2.4, 11), (2.4, 9.6)]
    tail = [(7, 11.4), (9, 11.4), (10.8, 12.6), (10.8, 13.6), (5.2, 13.6), (5.2, 12.6)]
    body += f'<g fill="{JET_COLOUR}">'
    body += "".join(f'<polygon points="{q(pp)}"/>' for pp in (fuselage, wings, tail))
    body += "</g>\n"
    return size, size, svg_document(size, size, body, defs)


# ---------------------------------------------------------------------------
# Rendering


def run(*args):
    subprocess.run([str(a) for a in args], check=True)


def render(svg_text, scratch, name, width, height, out, photo):
    """Renders svg_text at its own size, then scales to width x height."""
    src = scratch / f"{name}.svg"
    big = scratch / f"{name}.png"
    src.write_text(svg_text, encoding="utf-8")
    run("rsvg-convert", "-o", big, src)
    resize = [
        big,
        "-colorspace", "RGB",
        "-filter", "Lanczos" if photo else "Box",
        "-resize", f"{width}x{height}!",
        "-colorspace", "sRGB",
    ]
    if photo:
        run(
            "convert", *resize,
            "-unsharp", "0x0.6+0.4+0",
            "-background", "white", "-flatten",
            "-strip", "-sampling-factor", "1x1", "-quality", "95",
            out,
        )
    else:
        run(
            "convert", *resize,
            "-strip", "-define", "png:exclude-chunks=date,time",
            f"PNG32:{out}",
        )


def main():
    for tool in ("rsvg-convert", "convert"):
        if shutil.which(tool) is None:
            sys.exit(f"draw_pictures.py: {tool} is not installed (see scripts/install-deps.sh)")

    with tempfile.TemporaryDirectory() as tmp:
        scratch = pathlib.Path(tmp)

        _, _, svg = boeing_747_svg()
        render(svg, scratch, "picture2", 100, 43, HERE / "picture2.jpg", photo=True)

        _, _, svg = formation_svg()
        render(svg, scratch, "picture1", 49, 75, HERE / "picture1.jpg", photo=True)

        _, _, svg = icon_svg()
        (HERE / "brimwell.svg").write_text(svg, encoding="utf-8")
        render(svg, scratch, "brimwell-32", 32, 32, HERE / "brimwell-32.png", photo=False)

        _, _, svg = icon_small_svg()
        render(svg, scratch, "brimwell-16", 16, 16, HERE / "brimwell-16.png", photo=False)

        if "--keep" in sys.argv:
            keep = pathlib.Path("/tmp/brimwell-art")
            keep.mkdir(exist_ok=True)
            for f in scratch.iterdir():
                shutil.copy(f, keep / f.name)


if __name__ == "__main__":
    main()
