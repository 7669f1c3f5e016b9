#!/usr/bin/env python3
"""Refreshes translations/*.ts from the sources (lupdate) and fills them.

Chinese texts come from translations/zh/*.tsv (one line per text:
context<TAB>English source<TAB>Chinese; \\n in a field is a line break).
One English text has one Chinese translation in every context.

Some texts are written in Chinese in the code (the instrument's failure
messages): the Chinese file shows them as they are, and their English texts
come from translations/en/*.tsv (context<TAB>Chinese source<TAB>English).
Every other text is its own English translation, so that the English file
always loads.
"""
import glob
import os
import subprocess
import re
import sys
import xml.etree.ElementTree as ET

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
os.chdir(root)
lupdate = "/usr/lib/qt5/bin/lupdate"
ts = ["translations/Vantrel_zh.ts", "translations/Vantrel_en.ts"]


def read_tables(pattern):
    table = {}
    for path in sorted(glob.glob(pattern)):
        with open(path, encoding="utf-8") as f:
            for n, line in enumerate(f, 1):
                line = line.rstrip("\n")
                if not line or line.startswith("#"):
                    continue
                parts = line.split("\t")
                if len(parts) != 3:
                    sys.exit(f"{path}:{n}: expected three tab-separated fields")
                ctx, src, tr = (p.replace("\\n", "\n") for p in parts)
                table[(ctx, src)] = tr
    return table


def is_chinese(text):
    return any("\u4e00" <= ch <= "\u9fff" for ch in text)


zh = read_tables("translations/zh/*.tsv")
en = read_tables("translations/en/*.tsv")

chosen = {}
for (ctx, src), tr in sorted(zh.items()):
    chosen.setdefault(src, {}).setdefault(tr, []).append(ctx)
conflicts = {src: trs for src, trs in chosen.items() if len(trs) > 1}
for src, trs in conflicts.items():
    print(f"{src!r} has {len(trs)} Chinese translations:",
          "; ".join(f"{tr!r} ({', '.join(ctxs)})" for tr, ctxs in trs.items()), file=sys.stderr)
if conflicts:
    sys.exit(1)

# The .ts files are refreshed only once the tables are sound.
subprocess.run([lupdate, "-no-obsolete", "-locations", "none", "app", "gui", "files", "measurement", "protocol", "link",
                "meter", "logger", "export", "plot", "archive", "-ts"] + ts, check=True, stdout=subprocess.DEVNULL)


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
            tr.attrib.pop("type", None)
            if message.get("numerus") == "yes":
                # "%n run(s)": one form in Chinese; English has a singular
                # and a plural, made from the "(s)" of the source text.
                for form in list(tr):
                    tr.remove(form)
                tr.text = None
                forms = [text] if is_chinese(text) else [
                    re.sub(r"\((e?s)\)", "", text), re.sub(r"\((e?s)\)", r"\1", text)]
                for f in forms:
                    ET.SubElement(tr, "numerusform").text = f
            else:
                tr.text = text
    tree.write(path, encoding="utf-8", xml_declaration=True)
    return missing


missing_zh = fill(ts[0], lambda c, s: zh.get((c, s), s if is_chinese(s) else None))
missing_en = fill(ts[1], lambda c, s: en.get((c, s), None if is_chinese(s) else s))
for m in missing_zh:
    print("no Chinese text for", m)
for m in missing_en:
    print("no English text for", m)
