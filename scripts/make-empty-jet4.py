#!/usr/bin/env python3
"""Makes src/jet/empty_jet4.mdb, the empty Access 2000 database that
sqlite2mdb starts every new file from: a copy of the test database
jet4_types.mdb (an Access-made empty database with three tables added) with
those tables dropped the way Access drops a table. Run it again only when
that test database changes.

Usage: scripts/make-empty-jet4.py IN.mdb OUT.mdb
"""
import struct
import sys

PAGE = 4096


def u16(b, o):
    return struct.unpack_from("<H", b, o)[0]


def u32(b, o):
    return struct.unpack_from("<I", b, o)[0]


class File:
    def __init__(self, data):
        self.data = bytearray(data)

    def page(self, n):
        return self.data[n * PAGE:(n + 1) * PAGE]

    def put(self, n, page):
        self.data[n * PAGE:(n + 1) * PAGE] = page

    def row(self, page_row):
        page, row = page_row >> 8, page_row & 0xFF
        p = self.page(page)
        start = u16(p, 14 + 2 * row) & 0x1FFF
        end = PAGE if row == 0 else u16(p, 14 + 2 * (row - 1)) & 0x1FFF
        return p[start:end]

    def delete_row(self, page_row):
        page, row = page_row >> 8, page_row & 0xFF
        p = self.page(page)
        struct.pack_into("<H", p, 14 + 2 * row, u16(p, 14 + 2 * row) | 0xC000)
        self.put(page, p)

    def map_pages(self, page_row):
        if page_row >> 8 == 0:
            return []
        r = self.row(page_row)
        assert r[0] == 0, "only inline maps are expected here"
        first = u32(r, 1)
        return [first + i * 8 + k for i, b in enumerate(r[5:]) for k in range(8) if b >> k & 1]


def tdef(f, page):
    b = f.page(page)
    assert b[0] == 2 and u32(b, 4) == 0, "one-page definitions only"
    cols = u16(b, 45)
    real = u32(b, 51)
    at = 63 + 12 * real
    columns = []
    for i in range(cols):
        c = b[at + 25 * i:at + 25 * (i + 1)]
        columns.append({"type": c[0], "num": u16(c, 5), "var": u16(c, 7), "flags": c[15], "fixed": u16(c, 21), "len": u16(c, 23)})
    at += 25 * cols
    for c in columns:
        n = u16(b, at)
        c["name"] = b[at + 2:at + 2 + n].decode("utf-16le")
        at += 2 + n
    roots = []
    for i in range(real):
        blk = b[at:at + 52]
        roots.append(u32(blk, 38))
        at += 52
    logical = u32(b, 47)
    at += 28 * logical
    for i in range(logical):
        at += 2 + u16(b, at)
    maps = []
    while u16(b, at) != 0xFFFF:
        maps.append((u32(b, at + 2), u32(b, at + 6)))
        at += 10
    return {"columns": sorted(columns, key=lambda c: c["num"]), "owned": u32(b, 55), "free": u32(b, 59), "roots": roots, "maps": maps, "page": page}


def cells(row, table):
    ncols = u16(row, 0)
    mask = row[len(row) - (ncols + 7) // 8:]
    nvar = u16(row, len(row) - len(mask) - 2)
    offs = [u16(row, len(row) - len(mask) - 4 - 2 * i) for i in range(nvar + 1)]
    out = {}
    for c in table["columns"]:
        present = bool(mask[c["num"] // 8] >> (c["num"] % 8) & 1)
        if c["type"] == 1 or not present:
            out[c["name"]] = present if c["type"] == 1 else None
        elif c["flags"] & 1:
            out[c["name"]] = row[2 + c["fixed"]:2 + c["fixed"] + c["len"]]
        else:
            out[c["name"]] = row[offs[c["var"]]:offs[c["var"] + 1]]
    return out


def rows_of(f, table):
    for p in f.map_pages(table["owned"]):
        b = f.page(p)
        if b[0] != 1 or u32(b, 4) != table["page"]:
            continue
        for r in range(u16(b, 12)):
            if not u16(b, 14 + 2 * r) & 0x8000:
                yield (p << 8) | r, cells(f.row((p << 8) | r), table)


def drop_index_entries(f, root, pointers):
    b = f.page(root)
    assert b[0] == 4 and u16(b, 24) == 0, "a one-page index without prefix"
    mask = b[27:27 + 453]
    ends = [i * 8 + k for i, m in enumerate(mask) for k in range(8) if m >> k & 1]
    entries, start = [], 0
    for e in ends:
        entries.append(bytes(b[480 + start:480 + e]))
        start = e
    keep = [e for e in entries if (e[-4] << 16 | e[-3] << 8 | e[-2]) << 8 | e[-1] not in pointers]
    b[27:] = bytes(PAGE - 27)
    at = 0
    for e in keep:
        b[480 + at:480 + at + len(e)] = e
        at += len(e)
        b[27 + at // 8] |= 1 << (at % 8)
    struct.pack_into("<H", b, 2, PAGE - 480 - at)
    f.put(root, b)


def drop_rows(f, table_page, table, row_ids):
    for r in row_ids:
        f.delete_row(r)
    b = f.page(table_page)
    struct.pack_into("<I", b, 16, u32(b, 16) - len(row_ids))
    f.put(table_page, b)
    for root in table["roots"]:
        drop_index_entries(f, root, set(row_ids))


def main(source, target):
    f = File(open(source, "rb").read())
    catalog = tdef(f, 2)
    aces = tdef(f, 3)
    dropped = [(rid, u32(c["Id"], 0)) for rid, c in rows_of(f, catalog)
               if struct.unpack("<h", c["Type"])[0] == 1 and u32(c["Flags"], 0) == 0]
    ids = {table_id for _, table_id in dropped}
    drop_rows(f, 2, catalog, [rid for rid, _ in dropped])
    drop_rows(f, 3, aces, [rid for rid, c in rows_of(f, aces) if u32(c["ObjectId"], 0) in ids])
    first = min(ids)
    # The tables were added after everything else: every page from the first
    # of them on was theirs, so the file is cut off there.
    f.data = f.data[:first * PAGE]
    global_map = f.row(0x100)
    start = u32(global_map, 1)
    bits = bytearray(global_map[5:])
    for page in range(first, start + len(bits) * 8):
        bits[(page - start) // 8] |= 1 << ((page - start) % 8)
    p = f.page(1)
    row_start = u16(p, 14) & 0x1FFF
    p[row_start + 5:row_start + 5 + len(bits)] = bits
    f.put(1, p)
    open(target, "wb").write(f.data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
