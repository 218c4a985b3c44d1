#!/usr/bin/python3
"""The calls of one word entry, made from python3-uno: the baseline the C++
link is compared with. Usage: uno_entry_baseline.py PIPE WORKBOOK COUNT.
Prints the median milliseconds of one entry."""
import statistics
import sys
import time

import uno

pipe, path, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext(
    "com.sun.star.bridge.UnoUrlResolver", local)
context = resolver.resolve(f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
url = uno.systemPathToFileUrl(path)
document = next(c for c in desktop.Components if c.getURL() == url)
sheet = document.Sheets.getByName("Sheet1")
window = document.CurrentController.Frame.ContainerWindow

times = []
for row in range(2, 2 + count):
    start = time.perf_counter()
    cell = sheet.getCellRangeByName(f"B{row}")
    cell.setString("りんご")
    window.setVisible(True)
    times.append((time.perf_counter() - start) * 1000)
print(f"{statistics.median(times):.3f}")
