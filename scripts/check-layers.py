#!/usr/bin/env python3
"""Checks which folders of the program include which.

Each product folder may include only the folders listed for it below (its
own files always), so that the folders form layers without cycles: the core
(no window code, Qt Core only) at the bottom, the window's floor gui/ above
the spreadsheet engines, the pages above that and app/ on top; vantrel-cli
stands on the core and the plot folder. The core folders may include only Qt Core headers.
Exit status 1, with every offending line named, when a rule is broken.

Usage: check-layers.py SOURCE_DIR [QT_INCLUDE_DIR]
"""
import os
import re
import sys

CORE = ["measurement", "link", "protocol", "download", "session", "files", "sim"]
ALLOWED = {
    "measurement": [],
    "link": [],
    "protocol": ["link", "measurement"],
    "download": ["protocol", "link", "measurement"],
    "session": ["download", "protocol", "link", "measurement"],
    "files": ["measurement"],
    "sim": ["protocol", "link", "measurement"],
    "archive": ["files", "measurement"],
    "plot": ["files", "measurement"],
    "export": ["files", "measurement"],
    "gui": ["export", "files", "measurement"],
    "meter": ["plot", "gui", "export", "session", "download", "protocol", "link", "files",
              "measurement"],
    "logger": ["plot", "gui", "export", "session", "download", "protocol", "link", "files",
               "measurement"],
    "app": ["archive", "meter", "logger", "plot", "gui", "export", "session", "download", "protocol", "link",
            "files", "measurement", "sim"],
    "cli": CORE + ["plot", "archive"],
}

root = sys.argv[1]
qt_core = sys.argv[2] if len(sys.argv) > 2 else "/usr/include/x86_64-linux-gnu/qt5/QtCore"
core_headers = set(os.listdir(qt_core)) if os.path.isdir(qt_core) else None
local = re.compile(r'\s*#\s*include\s+"([^"/]+)/[^"]+"')
system = re.compile(r"\s*#\s*include\s+<(Q[A-Za-z]+)>")
faults = []
for folder, allowed in ALLOWED.items():
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        continue
    for name in sorted(os.listdir(path)):
        if not name.endswith((".h", ".cpp")):
            continue
        with open(os.path.join(path, name), encoding="utf-8") as f:
            for n, line in enumerate(f, 1):
                m = local.match(line)
                if m and m.group(1) != folder and m.group(1) in ALLOWED \
                        and m.group(1) not in allowed:
                    faults.append("%s/%s:%d: %s/ may not include %s/"
                                  % (folder, name, n, folder, m.group(1)))
                m = system.match(line)
                if m and folder in CORE and core_headers is not None \
                        and m.group(1) not in core_headers:
                    faults.append("%s/%s:%d: the core includes <%s>, which is not Qt Core"
                                  % (folder, name, n, m.group(1)))
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
