#!/usr/bin/python3
# Makes the workbooks "spreadsheet.xlsx" and "spreadsheet.xls" beside this script:
# openpyxl lays out a source workbook of task-table values, formulas of every
# result type, dates, durations, booleans, merged and long cells; LibreOffice
# Calc (headless) computes the formulas and saves it in both formats, so the files
# are as a spreadsheet program writes them. Run once by hand when the workbooks
# change (needs libreoffice-calc-nogui); the tests only read the results.
import datetime, os, shutil, subprocess, sys, tempfile
import openpyxl
from openpyxl.styles import Font, PatternFill

here = os.path.dirname(os.path.abspath(__file__))
book = openpyxl.Workbook()
tasks = book.active
tasks.title = "KEZ Table"
tasks.append(["Name", "Position", "Start", "Length", "Done", "Check"])
rows = [
    ("number formula", "Müller", "=1+2", "General"),
    ("text formula", "Weiß", '="Mül"&"ler"', "General"),
    ("true formula", "Machine 2", "=1<2", '"TRUE";"TRUE";"FALSE"'),
    ("false formula", "Machine 2", "=1>2", '"TRUE";"TRUE";"FALSE"'),
    ("error formula", "Assembly", "=1/0", "General"),
    ("missing formula", "Assembly", "=NA()", "General"),
    ("empty formula", "Assembly", '=""', "General"),
    ("date formula", "Paint shop", "=DATE(2100,3,1)", "YYYY-MM-DD"),
    ("last day", "Paint shop", datetime.date(9999, 12, 31), "YYYY-MM-DD"),
    ("before March 2100", "Paint shop", datetime.date(2100, 2, 28), "YYYY-MM-DD"),
    ("March 1900", "Paint shop", datetime.date(1900, 3, 1), "YYYY-MM-DD"),
    ("date and time", "Müller", datetime.datetime(2024, 3, 15, 12, 30), "DD.MM.YYYY HH:MM"),
    ("time", "Müller", datetime.time(6, 15), "HH:MM"),
    ("duration", "Weiß", 1.5, "[HH]:MM"),
    ("long duration", "Weiß", 100.5 / 24, "[H]:MM:SS"),
    ("negative duration", "Weiß", -1 / 24, "[H]:MM"),
    ("true", "Machine 2", True, "General"),
    ("false", "Machine 2", False, "General"),
    ("number", "Machine 2", 2.5, "General"),
    ("merged", "Assembly", "merged text", "General"),
]
for r, (name, position, value, form) in enumerate(rows, start=2):
    tasks.cell(r, 1, name)
    tasks.cell(r, 2, position)
    cell = tasks.cell(r, 3, value)
    cell.number_format = form
    tasks.cell(r, 4, 480 * (r - 1))
    tasks.cell(r, 5, "Ja" if r % 2 else "Nein")
tasks.merge_cells(start_row=len(rows) + 1, start_column=3, end_row=len(rows) + 2, end_column=4)
# Formatted cells without values below the data.
for r in range(len(rows) + 3, len(rows) + 9):
    for c in range(1, 5):
        tasks.cell(r, c).fill = PatternFill("solid", fgColor="FFFF00")
        tasks.cell(r, c).font = Font(bold=True)

long = book.create_sheet("Long")
long["A1"] = "abcdefghij" * 2000
long["A2"] = "Grüße € " * 2200
long["A3"] = "after the long cells"
book.create_sheet("Empty")
hidden = book.create_sheet("Hidden")
hidden["A1"] = "hidden sheet"
hidden.sheet_state = "hidden"

with tempfile.TemporaryDirectory() as work:
    source = os.path.join(work, "spreadsheet.xlsx")
    book.save(source)
    profile = "-env:UserInstallation=file://" + os.path.join(work, "profile")
    for kind, filter in (("xls", "xls:MS Excel 97"), ("xlsx", "xlsx:Calc MS Excel 2007 XML")):
        out = os.path.join(work, kind)
        subprocess.run(["soffice", profile, "--headless", "--convert-to", filter, "--outdir", out, source],
                       check=True, stdout=subprocess.DEVNULL)
        shutil.copy(os.path.join(out, "spreadsheet." + kind), os.path.join(here, "spreadsheet." + kind))
