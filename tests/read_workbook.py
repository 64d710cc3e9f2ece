#!/usr/bin/python3
"""Reads a workbook written by the program and prints its cells as JSON.

Usage: read_workbook.py FILE

The format is told by the file's first bytes, not by its name:
  * an OLE2 compound file is read with xlrd as an Excel 97-2003 workbook,
    after checking that it is BIFF8 and that its records hang together the
    way Excel expects (offsets in BOUNDSHEET, INDEX, DBCELL and EXTSST,
    record sizes, SST with CONTINUE records, cell order, DIMENSIONS);
  * a zip file is read with openpyxl as an Office Open XML workbook.

Output (stdout, ASCII JSON):
  {"format": "xls"|"xlsx", "sheets": [{"name", "rows", "columns",
   "cells": [[row, column, text], ...], "layout"}], ...}
rows/columns are 1-based; only non-empty cells are listed. A sheet with a
print area has its "layout": the "area" [first row, column, last row,
column], the "page" setup, the "merged" ranges, the columns' "widths" (as
stored) and rows' "heights" (points), and each row's "styles" (title: bold,
14 points or more; heading: bold, framed by thin lines; framed; all wrapped).
Each sheet lists its solidly filled cells as "fills": [[row, column,
"#rrggbb", frame]], frame the colour of a medium frame around the cell or
null.

Exit status: 0 read fine, 2 the file is malformed (reason on stderr),
3 a needed Python module is missing.
"""

import io
import json
import re
import struct
import sys


class Malformed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise Malformed(message)


def import_or_exit(name):
    try:
        return __import__(name)
    except ImportError:
        print("the Python module %s is not installed" % name, file=sys.stderr)
        sys.exit(3)


# ----------------------------------------------------------------- layout

def classify(bold, points, framed, wrapped):
    kind = "title" if bold and points >= 14 else ("heading" if bold else "framed") if framed else "plain"
    return kind if wrapped else kind + ", not wrapped"


def layout(area, page, merged, width, height, style):
    """The layout facts of a print area; a merged range counts as its first cell."""
    top, left, bottom, right = area
    hidden = {(r, c) for r1, c1, r2, c2 in merged for r in range(r1, r2 + 1) for c in range(c1, c2 + 1)} - {
        (r1, c1) for r1, c1, _r2, _c2 in merged}
    return {"area": list(area), "page": "paper %s, %s, fit to %sx%s pages %s, %s" % page, "merged": merged,
            "widths": [width(c) for c in range(left, right + 1)], "heights": [height(r) for r in range(top, bottom + 1)],
            "styles": [" ".join(sorted({style(r, c) for c in range(left, right + 1) if (r, c) not in hidden}))
                       for r in range(top, bottom + 1)]}


# ------------------------------------------------------------------ BIFF8

OLE_SIGNATURE = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
MAX_RECORD_DATA = 8224

BOF, EOF, SST, CONTINUE, EXTSST = 0x0809, 0x000A, 0x00FC, 0x003C, 0x00FF
BOUNDSHEET, FONT, XF, STYLE, CODEPAGE, WINDOW1 = 0x0085, 0x0031, 0x00E0, 0x0293, 0x0042, 0x003D
INDEX, DIMENSIONS, ROW, DBCELL, WINDOW2, DEFCOLWIDTH = 0x020B, 0x0200, 0x0208, 0x00D7, 0x023E, 0x0055
COLINFO, MERGEDCELLS, SUPBOOK, EXTERNSHEET, NAME = 0x007D, 0x00E5, 0x01AE, 0x0017, 0x0018
SETUP, WSBOOL, HCENTER = 0x00A1, 0x0081, 0x0083
LABELSST, BLANK = 0x00FD, 0x0201
CELL_RECORDS = {LABELSST, BLANK, 0x0204, 0x0203, 0x027E, 0x00BD, 0x00BE, 0x0006, 0x0205}


def records(stream):
    """The records of one BIFF stream as (position, type, data), up to and
    including the EOF of the last substream; what follows must be zeros."""
    result = []
    position = 0
    depth = 0
    while position + 4 <= len(stream):
        kind, size = struct.unpack_from("<HH", stream, position)
        if kind == 0 and size == 0 and depth == 0:
            break
        require(size <= MAX_RECORD_DATA, "record 0x%04X at %d holds %d bytes" % (kind, position, size))
        require(position + 4 + size <= len(stream), "record 0x%04X at %d runs past the stream" % (kind, position))
        result.append((position, kind, stream[position + 4:position + 4 + size]))
        if kind == BOF:
            depth += 1
        elif kind == EOF:
            depth -= 1
            require(depth >= 0, "EOF without BOF at %d" % position)
        position += 4 + size
    require(depth == 0, "a substream lacks its EOF")
    require(not any(stream[position:]), "non-zero bytes after the last EOF")
    return result


def parse_sst(sst_records):
    """Strings of the SST (given as its SST and CONTINUE records) and the
    stream position where each string starts."""
    pieces = [(position, data) for position, _kind, data in sst_records]
    total, unique = struct.unpack_from("<II", pieces[0][1], 0)
    strings, starts = [], []
    index, offset = 0, 8

    def data_of(i):
        return pieces[i][1]

    def next_record():
        nonlocal index, offset
        index += 1
        require(index < len(pieces), "SST ends inside a string")
        offset = 0

    for _ in range(unique):
        if offset >= len(data_of(index)):
            next_record()
        data = data_of(index)
        require(offset + 3 <= len(data), "a string header is split between records")
        starts.append(pieces[index][0] + 4 + offset)
        length, flags = struct.unpack_from("<HB", data, offset)
        require(flags & 0xFE == 0, "string flags 0x%02X (rich text or phonetic) are not expected" % flags)
        offset += 3
        text = bytearray()  # UTF-16LE
        high = flags & 1
        done = 0
        while done < length:
            if offset >= len(data):
                # The characters go on in the next record, after a flags byte.
                next_record()
                data = data_of(index)
                high = data[0] & 1
                offset = 1
            take = min(length - done, (len(data) - offset) // (2 if high else 1))
            require(take > 0, "a record holds half a character")
            if high:
                text += data[offset:offset + 2 * take]
                offset += 2 * take
            else:
                text += data[offset:offset + take].decode("latin-1").encode("utf-16-le")
                offset += take
            done += take
        strings.append(text.decode("utf-16-le", "surrogatepass"))
    require(index == len(pieces) - 1 and offset == len(pieces[-1][1]), "bytes left over after the SST strings")
    return total, strings, starts


def check_biff(stream):
    """Checks the workbook stream; returns facts for the caller."""
    facts = {}
    recs = records(stream)
    at = {position: (kind, data) for position, kind, data in recs}
    require(recs and recs[0][1] == BOF, "the stream does not start with BOF")
    version, substream = struct.unpack_from("<HH", recs[0][2], 0)
    require(version == 0x0600 and substream == 0x0005, "first BOF is not BIFF8 workbook globals")

    end = next(i for i, r in enumerate(recs) if r[1] == EOF)
    globals_ = recs[:end + 1]
    kinds = [kind for _p, kind, _d in globals_]
    codepages = [struct.unpack_from("<H", d)[0] for _p, k, d in globals_ if k == CODEPAGE]
    require(codepages == [1200], "CODEPAGE is not 1200 (UTF-16)")
    require(WINDOW1 in kinds, "WINDOW1 missing")
    require(kinds.count(FONT) >= 5, "fewer than 5 FONT records")
    xfs = [d for _p, k, d in globals_ if k == XF]
    require(len(xfs) >= 16, "fewer than 16 XF records")
    style_xf = [bool(struct.unpack_from("<H", d, 4)[0] & 0x0004) for d in xfs]
    require(all(style_xf[:15]) and not any(style_xf[15:]), "XF 0..14 must be style XFs and XF 15 on cell XFs")
    require(STYLE in kinds, "STYLE missing")
    require(kinds.index(FONT) < kinds.index(XF) < kinds.index(STYLE) < kinds.index(BOUNDSHEET) < kinds.index(SST),
            "globals records out of order")
    if NAME in kinds:
        # A name refers to a sheet through the workbook's own SUPBOOK.
        require(kinds.index(BOUNDSHEET) < kinds.index(SUPBOOK) < kinds.index(EXTERNSHEET) < kinds.index(NAME)
                < kinds.index(SST), "SUPBOOK, EXTERNSHEET and NAME out of order")

    # The shared strings and the EXTSST that locates every dsst-th of them.
    first_sst = kinds.index(SST)
    last_sst = first_sst
    while globals_[last_sst + 1][1] == CONTINUE:
        last_sst += 1
    total, strings, starts = parse_sst(globals_[first_sst:last_sst + 1])
    facts["sst_unique"] = len(strings)
    facts["sst_continue_records"] = last_sst - first_sst
    require(globals_[last_sst + 1][1] == EXTSST, "EXTSST does not follow the SST")
    extsst = globals_[last_sst + 1][2]
    dsst = struct.unpack_from("<H", extsst, 0)[0]
    require(dsst == max(len(strings) // 128 + 1, 8), "EXTSST bucket size %d is wrong" % dsst)
    buckets = (len(extsst) - 2) // 8
    require(buckets == -(-len(strings) // dsst), "EXTSST has %d buckets" % buckets)
    sst_positions = {p for p, _k, _d in globals_[first_sst:last_sst + 1]}
    for bucket in range(buckets):
        ib, cb_offset = struct.unpack_from("<IH", extsst, 2 + 8 * bucket)
        require(ib == starts[bucket * dsst], "EXTSST bucket %d points to %d, not %d" % (bucket, ib, starts[bucket * dsst]))
        require(ib - cb_offset in sst_positions, "EXTSST bucket %d offset is not within its record" % bucket)

    # Sheets.
    sheets = []
    for _p, kind, data in globals_:
        if kind != BOUNDSHEET:
            continue
        offset = struct.unpack_from("<I", data, 0)[0]
        require(offset in at and at[offset][0] == BOF, "BOUNDSHEET points to %d, which is not a BOF" % offset)
        require(struct.unpack_from("<H", at[offset][1], 2)[0] == 0x0010, "the sheet's BOF is not a worksheet BOF")
        sheets.append(offset)
    require(len(sheets) >= 1, "no BOUNDSHEET")

    cell_count = 0
    for offset in sheets:
        start = next(i for i, r in enumerate(recs) if r[0] == offset)
        stop = next(i for i in range(start, len(recs)) if recs[i][1] == EOF)
        sheet = recs[start:stop + 1]
        kinds = [k for _p, k, _d in sheet]
        require(kinds[1] == INDEX, "INDEX does not follow the sheet's BOF")
        require(DIMENSIONS in kinds and WINDOW2 in kinds, "DIMENSIONS or WINDOW2 missing")
        require(kinds.index(DIMENSIONS) < kinds.index(WINDOW2), "WINDOW2 before DIMENSIONS")
        columns = [i for i, k in enumerate(kinds) if k == COLINFO]
        require(all(kinds.index(DEFCOLWIDTH) < i < kinds.index(DIMENSIONS) for i in columns),
                "COLINFO outside DEFCOLWIDTH and DIMENSIONS")
        require(all(i > kinds.index(WINDOW2) for i, k in enumerate(kinds) if k == MERGEDCELLS),
                "MERGEDCELLS before WINDOW2")
        if offset == sheets[0]:
            paper, _scale, _start, wide, tall, flags = struct.unpack_from("<6H", sheet[kinds.index(SETUP)][2])
            fit = struct.unpack_from("<H", sheet[kinds.index(WSBOOL)][2])[0] & 0x0100
            centred = struct.unpack_from("<H", sheet[kinds.index(HCENTER)][2])[0]
            facts["page"] = (paper if not flags & 0x04 else None, "portrait" if flags & 0x46 else "landscape", wide,
                             tall, "on" if fit else "off", "centred" if centred else "left")
        dims = sheet[kinds.index(DIMENSIONS)][2]
        row_first, row_end, col_first, col_end = struct.unpack_from("<IIHH", dims, 0)

        cells = [(p, k, d) for p, k, d in sheet if k in CELL_RECORDS]
        addresses = [struct.unpack_from("<HH", d, 0) for _p, _k, d in cells]
        require(addresses == sorted(addresses) and len(set(addresses)) == len(addresses),
                "cell records are not in row order")
        cell_count += len(cells)
        if addresses:
            rows = [a[0] for a in addresses]
            cols = [a[1] for a in addresses]
            require((row_first, row_end, col_first, col_end) == (min(rows), max(rows) + 1, min(cols), max(cols) + 1),
                    "DIMENSIONS %s do not match the cells" % ((row_first, row_end, col_first, col_end),))
        else:
            require((row_first, row_end, col_first, col_end) == (0, 0, 0, 0), "DIMENSIONS of an empty sheet not 0")

        row_records = {}
        for _p, k, d in sheet:
            if k == ROW:
                rw, col_mic, col_mac = struct.unpack_from("<HHH", d, 0)
                row_records[rw] = (col_mic, col_mac)
        row_spans = {}
        for rw, col in addresses:
            first, end = row_spans.get(rw, (col, col + 1))
            row_spans[rw] = (min(first, col), max(end, col + 1))
        require(row_records == row_spans, "ROW records do not match the cells of their rows")

        index = sheet[1][2]
        index_first, index_end, ib_xf = struct.unpack_from("<III", index, 4)
        require((index_first, index_end) == (row_first, row_end), "INDEX rows do not match DIMENSIONS")
        require(at.get(ib_xf, (None,))[0] == DEFCOLWIDTH, "INDEX does not point to DEFCOLWIDTH")
        dbcells = struct.unpack_from("<%dI" % ((len(index) - 16) // 4), index, 16)
        require(len(dbcells) == len([k for k in kinds if k == DBCELL]), "INDEX does not list every DBCELL")
        located = []
        for position in dbcells:
            require(at.get(position, (None,))[0] == DBCELL, "INDEX points to %d, which is not a DBCELL" % position)
            data = at[position][1]
            first_row = position - struct.unpack_from("<I", data, 0)[0]
            require(at.get(first_row, (None,))[0] == ROW, "DBCELL at %d does not point to a ROW" % position)
            offsets = struct.unpack_from("<%dH" % ((len(data) - 4) // 2), data, 4)
            cell = first_row + 20
            for n, delta in enumerate(offsets):
                cell += delta
                row_record = first_row + 20 * n
                require(at.get(row_record, (None,))[0] == ROW, "DBCELL lists more rows than ROW records")
                rw = struct.unpack_from("<H", at[row_record][1], 0)[0]
                require(at.get(cell, (None,))[0] in CELL_RECORDS, "DBCELL offset %d does not reach a cell" % n)
                require(struct.unpack_from("<H", at[cell][1], 0)[0] == rw, "DBCELL offset %d reaches another row" % n)
                located.append(rw)
        require(sorted(located) == sorted({a[0] for a in addresses}), "DBCELL records do not cover every row")

    labels = sum(1 for _p, k, _d in recs if k == LABELSST)
    require(total == labels, "SST counts %d references, the sheets have %d" % (total, labels))
    facts["cell_records"] = cell_count
    facts["sst_strings"] = strings
    return facts


def workbook_stream(data):
    try:
        import olefile
    except ImportError:
        olefile = None
    if olefile is not None:
        # olefile checks the container on its own terms as well.
        ole = olefile.OleFileIO(data, raise_defects=olefile.DEFECT_INCORRECT)
        require(ole.listdir() == [["Workbook"]], "the compound file holds %s" % ole.listdir())
        return ole.openstream("Workbook").read()
    from xlrd import compdoc
    return compdoc.CompDoc(data, logfile=io.StringIO()).get_named_stream("Workbook")


def read_xls(path, data):
    xlrd = import_or_exit("xlrd")
    require(len(data) % 512 == 0, "the file is not a whole number of 512-byte sectors")
    log = io.StringIO()
    book = xlrd.open_workbook(file_contents=data, formatting_info=True, logfile=log)
    require(book.biff_version == 80, "BIFF version %s, not 8" % book.biff_version)
    require(not log.getvalue().strip(), "xlrd complained: " + log.getvalue().strip())
    facts = check_biff(workbook_stream(data))
    sheets = []
    for sheet in book.sheets():
        cells = []
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                require(cell.ctype == xlrd.XL_CELL_TEXT, "cell %d,%d is not text" % (r + 1, c + 1))
                require(cell.value != "", "cell %d,%d holds an empty text" % (r + 1, c + 1))
                cells.append([r + 1, c + 1, cell.value])
        fills = []
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                xf = book.xf_list[sheet.cell_xf_index(r, c)]
                if xf.background.fill_pattern != 1:
                    continue
                border = xf.border
                frame = None
                if all(getattr(border, side + "_line_style") == 2 for side in ("left", "right", "top", "bottom")):
                    frame = "#%02x%02x%02x" % book.colour_map[border.left_colour_index]
                fills.append([r + 1, c + 1, "#%02x%02x%02x" % book.colour_map[xf.background.pattern_colour_index],
                              frame])
        sheets.append({"name": sheet.name, "rows": sheet.nrows, "columns": sheet.ncols, "cells": cells,
                       "fills": fills})
        areas = [n for n in book.name_obj_list if n.name == "Print_Area" and n.scope == sheet.number]
        if areas:
            _first, _last, top, bottom, left, right = areas[0].result.value[0].coords
            fonts, xfs = book.font_list, book.xf_list

            def style(r, c):
                xf = xfs[sheet.cell_xf_index(r, c)]
                font = fonts[xf.font_index]
                framed = all(getattr(xf.border, side + "_line_style") == 1 for side in ("left", "right", "top", "bottom"))
                return classify(font.bold, font.height / 20, framed, xf.alignment.text_wrapped)

            sheets[-1]["layout"] = layout(
                (top + 1, left + 1, bottom, right), facts.pop("page"),
                [[r1 + 1, c1 + 1, r2, c2] for r1, r2, c1, c2 in sheet.merged_cells],
                lambda c: sheet.colinfo_map[c - 1].width / 256 if c - 1 in sheet.colinfo_map else None,
                lambda r: sheet.rowinfo_map[r - 1].height / 20 if r - 1 in sheet.rowinfo_map else None,
                lambda r, c: style(r - 1, c - 1))
    require(sorted(facts.pop("sst_strings")) == sorted(set(c[2] for s in sheets for c in s["cells"])),
            "the SST does not hold exactly the texts of the cells")
    result = {"format": "xls", "biff_version": book.biff_version, "sheets": sheets}
    result.update(facts)
    return result


# ------------------------------------------------------------------- xlsx

ESCAPED = re.compile(r"_x([0-9A-Fa-f]{4})_")


def excel_string_table(xml_source):
    """The shared strings as Excel reads them: every "_xHHHH_" stands for the
    character U+HHHH (so "_x005F_" is a literal underscore). openpyxl 3.0 only
    drops "x005F_" and leaves the other escapes in the text."""
    from openpyxl.cell.text import Text
    from openpyxl.xml.constants import SHEET_MAIN_NS
    from openpyxl.xml.functions import iterparse
    strings = []
    for _event, node in iterparse(xml_source):
        if node.tag == "{%s}si" % SHEET_MAIN_NS:
            text = Text.from_tree(node).content
            strings.append(ESCAPED.sub(lambda m: chr(int(m.group(1), 16)), text))
            node.clear()
    return strings


def read_xlsx(path, data):
    openpyxl = import_or_exit("openpyxl")
    import openpyxl.reader.excel
    import zipfile
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        require(archive.testzip() is None, "a zip member is damaged")
    openpyxl.reader.excel.read_string_table = excel_string_table
    book = openpyxl.load_workbook(io.BytesIO(data))
    sheets = []
    for sheet in book.worksheets:
        cells = []
        fills = []
        for row in sheet.iter_rows():
            for cell in row:
                if cell.fill is not None and cell.fill.fill_type == "solid":
                    sides = [getattr(cell.border, side) for side in ("left", "right", "top", "bottom")]
                    frame = "#" + sides[0].color.rgb[-6:].lower() if all(s.style == "medium" for s in sides) else None
                    fills.append([cell.row, cell.column, "#" + cell.fill.fgColor.rgb[-6:].lower(), frame])
                if cell.value is None:
                    continue
                require(cell.data_type == "s", "cell %s is not text" % cell.coordinate)
                require(cell.value != "", "cell %s holds an empty text" % cell.coordinate)
                cells.append([cell.row, cell.column, cell.value])
        rows = sheet.max_row if cells else 0
        columns = sheet.max_column if cells else 0
        sheets.append({"name": sheet.title, "rows": rows, "columns": columns, "cells": cells, "fills": fills})
        area = sheet.print_area
        if area:
            import openpyxl.utils.cell as names
            area = area[0] if isinstance(area, list) else area  # a list in openpyxl 3.0
            left, top, right, bottom = names.range_boundaries(area.split("!")[-1])
            setup = sheet.page_setup

            def style(r, c):
                cell = sheet.cell(r, c)
                framed = all(getattr(cell.border, side).style == "thin" for side in ("left", "right", "top", "bottom"))
                return classify(bool(cell.font.b), cell.font.sz, framed, bool(cell.alignment.wrap_text))

            sheets[-1]["layout"] = layout(
                (top, left, bottom, right),
                (setup.paperSize, setup.orientation, setup.fitToWidth or 1, setup.fitToHeight or 1,
                 "on" if sheet.sheet_properties.pageSetUpPr.fitToPage else "off",
                 "centred" if sheet.print_options.horizontalCentered else "left"),
                [[m.min_row, m.min_col, m.max_row, m.max_col] for m in sheet.merged_cells.ranges],
                lambda c: sheet.column_dimensions[names.get_column_letter(c)].width,
                lambda r: sheet.row_dimensions[r].height, style)
    return {"format": "xlsx", "sheets": sheets}


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 1
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    try:
        if data.startswith(OLE_SIGNATURE):
            result = read_xls(path, data)
        elif data.startswith(b"PK\x03\x04"):
            result = read_xlsx(path, data)
        else:
            raise Malformed("neither a compound file nor a zip file")
    except Malformed as e:
        print("malformed workbook: %s" % e, file=sys.stderr)
        return 2
    except Exception as e:  # xlrd, olefile or openpyxl gave up on the file
        print("malformed workbook: %s: %s" % (type(e).__name__, e), file=sys.stderr)
        return 2
    json.dump(result, sys.stdout, ensure_ascii=True)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
