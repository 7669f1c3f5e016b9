#!/usr/bin/env python3
"""Refreshes translations/*.ts from the sources (lupdate) and fills them.

Chinese texts come from translations/zh/*.tsv (one line per text:
context<TAB>English source<TAB>Chinese; \\n in a field is a line break).
The English file translates every text to itself so that it always loads.
"""
import glob
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
os.chdir(root)
lupdate = "/usr/lib/qt5/bin/lupdate"
ts = ["translations/Vantrel_zh.ts", "translations/Vantrel_en.ts"]
subprocess.run([lupdate, "-no-obsolete", "-locations", "none", "app", "protocol", "link",
                "meter", "logger", "export", "-ts"] + ts, check=True, stdout=subprocess.DEVNULL)

zh = {}
for path in sorted(glob.glob("translations/zh/*.tsv")):
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 3:
                sys.exit(f"{path}:{n}: expected three tab-separated fields")
            ctx, src, tr = (p.replace("\\n", "\n") for p in parts)
            zh[(ctx, src)] = tr


def fill(path, lookup):
    tree = ET.parse(path)
    missing = []
    for context in tree.getroot().iter("context"):
        name = context.find("name").text
        for message in context.iter("message"):
            src = message.find("source").text or ""
            tr = message.find("translation")
            text = lookup(name, src)
            if text is None:
                missing.append(f"{name}: {src}")
                continue
            tr.text = text
            tr.attrib.pop("type", None)
    tree.write(path, encoding="utf-8", xml_declaration=True)
    return missing


missing = fill(ts[0], lambda c, s: zh.get((c, s)))
fill(ts[1], lambda c, s: s)
for m in missing:
    print("no Chinese text for", m)
