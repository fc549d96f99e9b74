"""Reads the beam's DXF back with ezdxf, a reader independent of the writer: the units, the
layers, one polyline on REFUERZO per mark with the length of one bar as cut (within 1 mm),
the marks' labels among the texts, the clear spans as DIMENSION entities on COTAS that measure
them, every text 2.5 mm or 3.5 mm high when plotted at 1:50 in the drawing's text style, one
line on ESTRIBOS a hoop across the elevation, and the title block's texts. The drawing comes from the test writer and, when its
path is given too, from `quintaral-cli beam --dxf`."""
import json
import math
import os
import stat
import subprocess
import sys
import tempfile
import threading

import ezdxf


def vertices(entity):
    return [(p[0], p[1]) for p in entity.get_points("xy")] if entity.dxftype() == "LWPOLYLINE" \
        else [(v.dxf.location.x, v.dxf.location.y) for v in entity.vertices]


def length(entity):
    points = vertices(entity)
    return sum(math.dist(a, b) for a, b in zip(points, points[1:]))


def check(writer, extra):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "viga.dxf")
        expected_path = os.path.join(folder, "esperado.txt")
        subprocess.run([writer, path, expected_path] + extra, check=True)
        lines = [line.split() for line in open(expected_path, encoding="utf-8")]
        expected = [line for line in lines if not line[0].startswith("#")]
        facts = {line[0][1:]: line[1:] for line in lines if line[0].startswith("#")}
        doc = ezdxf.readfile(path)
    failures = check_drawing(doc, expected)
    failures += check_stirrups(doc, int(facts["hoops"][0]))
    failures += check_title(doc, ["Edificio Quintas", "V-201, Eje B, Piso 2", "2026-12-07",
                                  "1 de 1", "1:50"])
    return failures


def check_two_beams(writer):
    """Two beams in one drawing: each headed by its name, the second below the first, each
    title block numbering its sheet."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "vigas.dxf")
        expected_path = os.path.join(folder, "esperado.txt")
        subprocess.run([writer, path, expected_path, "two"], check=True)
        doc = ezdxf.readfile(path)
    failures = []
    audit = doc.audit()
    for fix in audit.fixes + audit.errors:
        failures.append(f"ezdxf's audit: {fix.message}")
    texts = list(doc.modelspace().query("TEXT"))
    headings = {t.dxf.text: t.dxf.insert.y for t in texts if t.dxf.text in ("V-201", "V-202")}
    if set(headings) != {"V-201", "V-202"}:
        return failures + [f"headings {sorted(headings)}, not V-201 and V-202"]
    # Each title block (at the bottom of its sheet) numbers its sheet: the first one's above the
    # second heading, the second one's below it.
    sheets = {t.dxf.text: t.dxf.insert.y for t in texts if t.dxf.text in ("1 de 2", "2 de 2")}
    if set(sheets) != {"1 de 2", "2 de 2"}:
        failures.append(f"title blocks number {sorted(sheets)}, not 1 de 2 and 2 de 2")
    elif not sheets["1 de 2"] > headings["V-202"] > sheets["2 de 2"]:
        failures.append("V-202's sheet is not below V-201's")
    if headings["V-201"] <= headings["V-202"]:
        failures.append("V-201 is not the first sheet")
    return failures


def check_stirrups(doc, hoops):
    """One vertical line on ESTRIBOS a hoop, across the 50 cm beam of the elevation (y = 0 at
    its bottom face), and the hoop of every section as a closed polyline."""
    failures = []
    across = 0
    closed = 0
    for line in doc.modelspace().query("POLYLINE LWPOLYLINE"):
        if line.dxf.layer != "ESTRIBOS":
            continue
        points = vertices(line)
        closed += 1 if line.is_closed else 0
        if len(points) == 2 and abs(points[0][0] - points[1][0]) < 1e-6 and \
                all(0 < y < 50 for _, y in points):
            across += 1
    if across != hoops:
        failures.append(f"{across} hoops drawn across the elevation for {hoops} in the zones")
    if closed == 0:
        failures.append("no hoop in the sections")
    return failures


def check_title(doc, words):
    """The title block's texts, among the drawing's."""
    texts = [e.dxf.text for e in doc.modelspace().query("TEXT")]
    return [f"the title block lacks «{w}»" for w in words if not any(w in t for t in texts)]


def spans_file(folder, rows):
    """A spans file of these rows (span, length, supports and moments) in the folder."""
    spans = os.path.join(folder, "vanos.csv")
    with open(spans, "w", encoding="utf-8") as file:
        file.write("span,length,support_left,support_right,mu_left,mu_mid,mu_right\n" + rows)
    return spans


def write_dxf(cli, spans, path, *extra):
    return subprocess.run([cli, "beam", "--spans", spans, "--b", "30", "--h", "50", "--cover", "6",
                           "--cover2", "6", "--fc", "210", "--fy", "4200", "--dxf", path, *extra],
                          capture_output=True, check=False)


def check_cli(cli):
    """A 3-span beam through the command line: the marks and lengths its JSON gives."""
    with tempfile.TemporaryDirectory() as folder:
        spans = spans_file(folder, "1,5,40,40,12,8,14\n2,6,40,40,15,10,15\n3,5,40,40,14,8,12\n")
        path = os.path.join(folder, "viga.dxf")
        run = write_dxf(cli, spans, path, "--format", "json")
        if run.returncode not in (0, 2):
            return [f"quintaral-cli exited {run.returncode}: {run.stderr.decode()}"]
        design = json.loads(run.stdout)
        expected = [(bar["mark"], bar["length"] * 100) for bar in design["bars"]]
        doc = ezdxf.readfile(path)
    return check_drawing(doc, expected)


def check_drawing(doc, expected):
    failures = []
    audit = doc.audit()
    for fix in audit.fixes + audit.errors:
        failures.append(f"ezdxf's audit: {fix.message}")
    if doc.header.get("$INSUNITS") != 5:
        failures.append(f"$INSUNITS is {doc.header.get('$INSUNITS')}, not 5 (cm)")
    for name in ("CONCRETO", "REFUERZO", "ESTRIBOS", "COTAS", "TEXTO", "ACHURADO"):
        if name not in doc.layers:
            failures.append(f"layer {name} missing")
    msp = doc.modelspace()
    # The elevation's bars lie within the beam (y = 0 at its bottom face); the bending shapes'
    # sketches far under it.
    bars = [e for e in msp.query("POLYLINE LWPOLYLINE")
            if e.dxf.layer == "REFUERZO" and not e.is_closed
            and all(y > -60 for _, y in vertices(e))]
    if len(bars) != len(expected):
        failures.append(f"{len(bars)} bar polylines for {len(expected)} marks")
    for (mark, cm), bar in zip(expected, bars):
        if abs(length(bar) - float(cm)) > 0.1:
            failures.append(f"{mark}: polyline {length(bar):.3f} cm, schedule {float(cm):.3f} cm")
    texts = [e.dxf.text for e in msp.query("TEXT")]
    for mark, _ in expected:
        if not any(t.startswith(mark + ": ") and "N\u00b0" in t for t in texts):
            failures.append(f"no label for {mark} among the texts")
    if not msp.query("HATCH"):
        failures.append("no hatched supports")
    if not msp.query("CIRCLE"):
        failures.append("no bars in the sections")
    failures += check_plotting(doc)
    return failures


def check_plotting(doc):
    """Texts for plotting at 1:50: 12.5 or 17.5 cm high (2.5 and 3.5 mm on paper) in the text
    style QUINTARAL; the clear spans as DIMENSION entities on COTAS, each measuring its span
    (the text "ln = 5.00 m" matches the distance between its points)."""
    failures = []
    msp = doc.modelspace()
    if "QUINTARAL" not in doc.styles:
        failures.append("no text style QUINTARAL")
    for text in msp.query("TEXT"):
        if round(text.dxf.height, 3) not in (12.5, 17.5):
            failures.append(f"«{text.dxf.text}» is {text.dxf.height} cm high")
            break
        if text.dxf.style != "QUINTARAL":
            failures.append(f"«{text.dxf.text}» in style {text.dxf.style}")
            break
    dimensions = msp.query("DIMENSION")
    spans = 0
    for dimension in dimensions:
        if dimension.dxf.layer != "COTAS":
            failures.append(f"a dimension on layer {dimension.dxf.layer}")
        if dimension.dxf.geometry not in doc.blocks:
            failures.append(f"a dimension without its block {dimension.dxf.geometry}")
        text = dimension.dxf.text
        measured = abs(dimension.dxf.defpoint3.x - dimension.dxf.defpoint2.x) / 100
        if text.startswith("ln = "):
            spans += 1
            value = float(text[5:].split()[0].replace(",", "."))
        else:
            value = float(text.replace(",", "."))
        if abs(value - measured) > 0.006:
            failures.append(f"dimension «{text}» measures {measured:.3f} m")
    if spans == 0:
        failures.append("no clear span dimensioned by a DIMENSION entity")
    return failures


def check_targets(cli):
    """What --dxf may replace: a link's file (the link stays), a file's permissions kept, a
    read-only file refused and left alone, a pipe written through (not replaced by a file), a
    link planted at the old temporary name not followed; no temporary file left behind."""
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        spans = spans_file(folder, "1,5,40,40,12,8,14\n")
        private = os.path.join(folder, "privado.dxf")
        with open(private, "w", encoding="utf-8") as file:
            file.write("viejo")
        os.chmod(private, 0o600)
        link = os.path.join(folder, "enlace.dxf")
        os.symlink(private, link)
        write_dxf(cli, spans, link)
        if not os.path.islink(link):
            failures.append("the link was replaced by a file")
        if os.stat(private).st_mode & 0o777 != 0o600 or os.path.getsize(private) < 1000:
            failures.append("the linked 0600 file was not rewritten with its permissions")

        readonly = os.path.join(folder, "solo-lectura.dxf")
        with open(readonly, "w", encoding="utf-8") as file:
            file.write("viejo")
        os.chmod(readonly, 0o444)
        run = write_dxf(cli, spans, readonly)
        if run.returncode == 0 or open(readonly, encoding="utf-8").read() != "viejo":
            failures.append("a read-only file was replaced")

        victim = os.path.join(folder, "otro.txt")
        with open(victim, "w", encoding="utf-8") as file:
            file.write("intacto")
        os.symlink(victim, os.path.join(folder, ".plantado.dxf.tmp"))
        write_dxf(cli, spans, os.path.join(folder, "plantado.dxf"))
        if open(victim, encoding="utf-8").read() != "intacto":
            failures.append("a link planted at the temporary name was followed")

        pipe = os.path.join(folder, "tubo.dxf")
        os.mkfifo(pipe)
        received = []
        reader = threading.Thread(target=lambda: received.append(open(pipe, "rb").read()))
        reader.start()
        write_dxf(cli, spans, pipe)
        reader.join(30)
        if not stat.S_ISFIFO(os.stat(pipe).st_mode):
            failures.append("the pipe was replaced by a file")
        if not received or not received[0].rstrip().endswith(b"EOF"):
            failures.append("the drawing did not go through the pipe")
        left = [name for name in os.listdir(folder)
                if name.startswith(".") and not name.endswith(".tmp")]
        if left:
            failures.append(f"temporary files left: {left}")
    return failures


def main(writer, cli=None):
    """The hand-built despiece, then the same beam as the design engine details it, then a beam
    written by the command line."""
    failures = []
    for extra in ([], ["designed"]):
        failures += [f"{' '.join(extra) or 'fixture'}: {f}" for f in check(writer, extra)]
    failures += [f"two beams: {f}" for f in check_two_beams(writer)]
    if cli:
        failures += [f"quintaral-cli: {f}" for f in check_cli(cli)]
        failures += [f"quintaral-cli --dxf: {f}" for f in check_targets(cli)]
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
