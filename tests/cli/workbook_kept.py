"""The openpyxl side of workbook_kept_test.cpp.

Usage: workbook_kept.py make FOLDER | dump FILE BEFORE SHEETS | parts FILE
"""
import csv
import sys
import zipfile

import openpyxl
from openpyxl.comments import Comment
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import Font, PatternFill
from openpyxl.utils import column_index_from_string
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.datavalidation import DataValidation


def make(folder):
    """stores.xlsx: a workbook with formulas, formats, merges, widths, names, a comment,
    a validation, a conditional format, a hidden sheet and a calculation chain, as
    spreadsheet programs save one; plain.xlsx without the chain; Stores.csv, the same
    cells as CSV."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Stores"
    ws["A1"] = "Store sales"
    ws["A1"].font = Font(bold=True, size=14)
    ws.merge_cells("A1:D1")
    ws.append(["Store", "Sales", "Staff", "Area"])
    for i in range(20):
        ws.append(["S%02d" % i, 1000 + 137 * i, 3 + i % 5, 50 + 7 * (i % 6)])
        ws.cell(row=3 + i, column=2).number_format = "#,##0"
    ws["A23"] = "Total"
    ws["B23"] = "=SUM(B3:B22)"
    ws["B23"].number_format = "#,##0"
    ws["B23"].fill = PatternFill("solid", fgColor="FFFF00")
    ws.column_dimensions["A"].width = 18
    ws.column_dimensions["B"].width = 12.5
    ws.row_dimensions[2].height = 24
    ws.freeze_panes = "A3"
    ws["A2"].comment = Comment("One row per store", "me")
    dv = DataValidation(type="whole", operator="between", formula1="1", formula2="20")
    ws.add_data_validation(dv)
    dv.add("C3:C22")
    ws.conditional_formatting.add("D3:D22", CellIsRule(operator="greaterThan", formula=["70"],
                                                        fill=PatternFill("solid", fgColor="FFC7CE")))
    wb.defined_names.append(DefinedName("SalesData", attr_text="Stores!$B$3:$B$22"))
    notes = wb.create_sheet("Notes")
    notes["A1"] = "Hidden notes"
    notes["B1"] = "=Stores!B23*2"
    notes.sheet_state = "hidden"
    wb.save(folder + "/plain.xlsx")
    src, dst = zipfile.ZipFile(folder + "/plain.xlsx"), zipfile.ZipFile(folder + "/stores.xlsx", "w")
    for item in src.infolist():
        data = src.read(item.filename)
        if item.filename == "[Content_Types].xml":
            data = data.replace(b"</Types>", b'<Override PartName="/xl/calcChain.xml" ContentType="application/'
                                b'vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
        if item.filename == "xl/_rels/workbook.xml.rels":
            data = data.replace(b"</Relationships>", b'<Relationship Id="rId99" Type="http://schemas.openxmlformats.org/'
                                b'officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>')
        dst.writestr(item, data)
    dst.writestr("xl/calcChain.xml", '<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                 '<c r="B23" i="1"/><c r="B1" i="2"/></calcChain>')
    dst.close()
    with open(folder + "/Stores.csv", "w", newline="") as f:  # the same cells as CSV
        csv.writer(f).writerows([[c.value for c in row] for row in ws.iter_rows()])


def dump(file, before, sheets):
    """What openpyxl reads of the workbook: names, then per sheet its state, panes,
    merges, widths, heights, validations, conditional formats and every cell (formula or
    value, number format, font, fill). Only the sheets named in SHEETS (comma-separated),
    and only columns before BEFORE (1-based; 0 for all), and then only the rows that hold
    something there."""
    wb = openpyxl.load_workbook(file)
    before, sheets = int(before), sheets.split(",")
    print("names", sorted((n.name, n.attr_text) for n in wb.defined_names.definedName))
    for ws in wb.worksheets:
        if ws.title not in sheets: continue
        print("sheet", ws.title, ws.sheet_state, ws.freeze_panes)
        print("merges", sorted(str(r) for r in ws.merged_cells.ranges))
        print("cols", sorted((k, d.width) for k, d in ws.column_dimensions.items()
                             if d.customWidth and (not before or column_index_from_string(k) < before)))
        # With a column bound, rows holding nothing before it are the report's alone.
        mine = {c.row for r in ws.iter_rows(max_col=before - 1) for c in r if c.value is not None or c.has_style} if before else None
        print("rows", sorted((k, d.height) for k, d in ws.row_dimensions.items() if d.height and (mine is None or k in mine)))
        print("validation", [str(d.sqref) for d in ws.data_validations.dataValidation])
        print("conditional", [str(r.sqref) for r in ws.conditional_formatting])
        for row in ws.iter_rows():
            for c in row:
                if (c.value is None and not c.has_style) or (before and c.column >= before): continue
                print(c.coordinate, repr(c.value), c.number_format, c.font.name, c.font.sz, c.font.b,
                      c.fill.fgColor.rgb if c.fill.fill_type else None)


def parts(file):
    """The part names of the package, its content types and workbook relationships."""
    z = zipfile.ZipFile(file)
    print(z.namelist(), z.read("[Content_Types].xml").decode(), z.read("xl/_rels/workbook.xml.rels").decode())


{"make": make, "dump": dump, "parts": parts}[sys.argv[1]](*sys.argv[2:])
