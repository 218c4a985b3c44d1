#!/usr/bin/python3
"""The end-to-end test's hands in the office, over UNO.
  calc_helper.py PIPE make PATH          save a new workbook with a sheet "Sheet1"
  calc_helper.py PIPE read PATH CELL...  print each cell's text, one per line
  calc_helper.py PIPE write PATH CELL TEXT  put a text into a cell, as a person would
  calc_helper.py PIPE frames             print each window's title, one per line
  calc_helper.py PIPE quit               end the office"""
import os
import subprocess
import sys

# python-uno now and then crashes (SIGSEGV) on a busy machine, at its first
# call or as the interpreter ends. Each verb reads or sets the same thing
# again, so a crashed run is run again, up to three times in all.
if not os.environ.get("CALC_HELPER_RUN"):
    for _ in range(3):
        run = subprocess.run([sys.executable, *sys.argv], env={**os.environ, "CALC_HELPER_RUN": "1"})
        if run.returncode >= 0:
            break
    sys.exit(run.returncode if run.returncode >= 0 else 128 - run.returncode)

import uno  # noqa: E402
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


pipe, verb, args = sys.argv[1], sys.argv[2], sys.argv[3:]
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext(
    "com.sun.star.bridge.UnoUrlResolver", local)
context = resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)

if verb == "make":
    doc = desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, (prop("Hidden", True),))
    doc.storeToURL(uno.systemPathToFileUrl(args[0]), (prop("FilterName", "MS Excel 97"),))
    doc.close(True)
elif verb == "read":
    url = uno.systemPathToFileUrl(args[0])
    doc = next(c for c in desktop.Components if c.getURL() == url)
    sheet = doc.Sheets.getByName("Sheet1")
    for cell in args[1:]:
        print(sheet.getCellRangeByName(cell).getString())
elif verb == "write":
    url = uno.systemPathToFileUrl(args[0])
    doc = next(c for c in desktop.Components if c.getURL() == url)
    doc.Sheets.getByName("Sheet1").getCellRangeByName(args[1]).setString(args[2])
elif verb == "frames":
    frames = desktop.getFrames()
    for i in range(frames.getCount()):
        print(frames.getByIndex(i).Title)
elif verb == "quit":
    try:
        for doc in list(desktop.Components):
            doc.close(True)  # no "save changes?" question
        desktop.terminate()
    except Exception:  # the bridge goes down as the office exits
        pass

# Ended here, not by the interpreter's clean-up, where python-uno may crash.
sys.stdout.flush()
os._exit(0)
