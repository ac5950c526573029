#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/.

Seeds are valid inputs (good reply frames with correct check bytes, saved
files, report blocks, display replies, small bitmaps of several depths) in the
layout each target's header comment describes. Run it again after changing a
target's input layout; the fuzzer finds the rest from here.
"""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

MARK, START, END, ACK, NAK = 0xC3, 0x04, 0x02, 0x06, 0x15


def stuffed(data):
    out = bytearray()
    for b in data:
        out.append(b)
        if b == MARK:
            out.append(MARK)
    return bytes(out)


def reply(data, address=0, check=None, acknowledgement=True):
    """The acknowledgement byte and a reply frame carrying data and its check byte."""
    if check is None:
        check = address
        for b in data:
            check ^= b
    out = bytearray([ACK] if acknowledgement else [])
    out += bytes([MARK, START, address]) + stuffed(bytes(data) + bytes([check])) + bytes([MARK, END])
    return bytes(out)


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def display_reply():
    """A display poll reply: status, skipped byte, a byte, three 8-byte lines, marks, indicators."""
    data = bytearray(31)
    data[0] = 0x04
    for start, text in zip((3, 11, 19), (b"  1.234", b"  12.50", b"  15.42")):
        data[start:start + 7] = text
    data[26:29] = bytes([3, 2, 2])
    data[29], data[30] = 0x0B, 0x1E
    return bytes(data)


def reply_receiver():
    t = "fuzz_reply_receiver"
    # command, shape, split, then the scale's bytes
    whole_first = bytes([0x0F])  # every byte to the first attempt
    write(t, "status_only", bytes([0x30, 0]) + whole_first + reply([0x00, 0x00]))
    write(t, "with_mark_data", bytes([0x40, 0]) + whole_first + reply([0x00, 0x00, 0xC3, 0x01, 0xC3, 0xC3]))
    write(t, "display_poll", bytes([0x42, 0]) + whole_first + reply(display_reply()))
    block = bytes([0, 0]) + bytes((i * 37) & 0xFF for i in range(192))
    write(t, "report_block", bytes([0x43, 0]) + whole_first + reply(block))
    write(t, "longest_reply", bytes([0x41, 0]) + whole_first + reply(bytes(range(255))))
    write(t, "too_long_reply", bytes([0x41, 0]) + whole_first + reply(bytes(256)))
    # A wrong check byte, then the re-sent reply once the program answered 15.
    bad_then_good = reply([0, 0, 7], check=0x55) + reply([0, 0, 7], acknowledgement=False)
    write(t, "resent_after_nak", bytes([0x30, 0x02, 0x0F]) + bad_then_good)
    # The first attempt refused (15), the second answered.
    write(t, "nak_then_reply", bytes([0x30, 0, 0xF1]) + bytes([NAK]) + reply([0, 0]))
    # Silent twice, then answered in the third attempt.
    write(t, "third_attempt", bytes([0x30, 0, 0x00]) + reply([0, 0, 1, 2, 3]))
    # Stale frame start inside the data, then a good frame.
    write(t, "restarted_frame", bytes([0x30, 0]) + whole_first + bytes([ACK, MARK, START, 0, 1, 2, MARK, START]) +
          reply([0, 0, 9])[1:])
    write(t, "address_mark", bytes([0x30, 0x01]) + whole_first + reply([0, 0, 1], address=0xC3))
    write(t, "through_link", bytes([0x30, 0x04]) + whole_first + reply([0x04, 0x00, 1, 2]))


def plu_file():
    t = "fuzz_plu_file"
    head = b"; created: 08.12.2026 16:57:37\r\n\r\n"
    lines = [
        b"1\t1.00\t1234\t3\t2\t1\t0\t1\tITEM\t10\t\t\t\t",
        b"2\t2.50\t22\t0\t0\t0\t1\t0\tAPPLES GOLDEN\t0\t1.250\t3.12\t4\t",
        b"1800\t99999.99\t999999\t40\t8\t1\t1\t1\t\x80 EUR SPECIAL\t365\t\t\t\t",
        b"7\t0.05\t0\t1\t1\t0\t0\t0\t\t1\t\t\t\t",
    ]
    write(t, "saved_point", head + b"\r\n".join(lines) + b"\r\n")
    write(t, "saved_comma", head + b"\r\n".join(l.replace(b".", b",") for l in lines) + b"\r\n")
    write(t, "lone_line_ends", b"; note\n" + lines[0] + b"\r" + lines[1] + b"\n\x1a" + lines[2])
    many = b"".join(b"%d\t%d.%02d\t%d\t1\t1\t0\t0\t0\tITEM %d\t0\t\t\t\t\r\n" % (n, n, n % 100, n, n)
                    for n in range(1, 40))
    write(t, "many_rows", head + many)


def plu_csv():
    t = "fuzz_plu_csv"
    header = "NUM;PRICE;CODE;DEP;TAX;NW;FIX;BAR;NAME;Valid Date;QUANTITY;TOTAL;COUNT\r\n"
    rows = ("1;1,50;1234;3;2;1;0;1;\"APPLES; \"\"RED\"\"\";10;;;\r\n"
            "2;2,00;22;0;0;0;1;0;\"TWO\r\nLINES\";0;1,250;3,12;4\r\n"
            "1800;99999,99;999999;40;8;1;1;1;\u20ac Caf\u00e9;365;;;\r\n")
    write(t, "export_utf8", b"\xef\xbb\xbf" + (header + rows).encode("utf-8"))
    write(t, "export_1252", (header + rows).replace(";", ",").replace("1,50", "\"1,50\"").encode("cp1252"))
    write(t, "shop_synonyms", b"PLU,Description,Unit Price,Dept,VAT,nw,fixed,bar,EAN,valid_date\n"
                              b"7,Kiwi,0.35,1,1,1,0,0,2000007,0\n8,Lemons,0.49,1,1,1,0,0,2000008,3\n")
    utf16 = "NUM\tPRICE\tCODE\tDEP\tTAX\tNW\tFIX\tBAR\tNAME\tValid Date\r\n1\t1.00\t1\t1\t1\t0\t0\t0\tCaf\u00e9\t0\r\n"
    write(t, "unicode_text", b"\xff\xfe" + utf16.encode("utf-16-le"))
    write(t, "clipboard_block", b"1.25\t7\r\n2.50\t\"A\tB\"\r\n")
    write(t, "remembered_columns", b"PREIS\tPRICE\r\nLIEFERANT\t-\r\n")
    write(t, "unclosed_quote", (header + "5;1.00;1;1;1;0;0;0;\"OPEN;0\r\n").encode("ascii"))


CAPTION = b"ZEB TALLIVOS UTILITY MXV1.62"


def state_file():
    t = "fuzz_state_file"

    def lines(items):
        return b"".join(i + b"\r\n" for i in items)

    header = [CAPTION + b" !DO NOT EDIT!", b"136"]
    full = header + [b"56", b"a44W5U5", b"127", b"0", b"60002",
                     b"126", b"-1", b"ttyUSB0", b"125", b"9", b"115200", b"60002",
                     b"73", b"08-12-26 00:43:42", b"60002",
                     b"51", b"2", b"one", b"", b"67", b"1", b"bye \x80", b"60002",
                     b"60001"]
    write(t, "saved", lines(full))
    write(t, "empty_sections", lines(header + [b"60002"] * 4 + [b"60001"]))
    write(t, "cut_short", lines(full)[:120])


def report_layout():
    t = "fuzz_report_layout"

    def general():
        out = struct.pack(">ii", 1234, 987654)
        out += struct.pack(">9i", 1000, 0, -250, 0, 0, 0, 0, 0, 2147483647)
        out += struct.pack(">24i", *[(h * 1111) if h % 3 else 0 for h in range(24)])
        out += struct.pack(">24H", *[(h % 5) for h in range(24)])
        return out.ljust(192, b"\0")

    def clerk(n):
        return struct.pack(">iHiHHiiHi", 5000 * n, 12, -150, 1, 9, 4000, 1000, 2, -2147483648).ljust(80, b"\0")

    stamp = b"\x0a08.12.2026\x0816:57:37"  # each text after its length byte
    for shape, name in ((0x00, "blocks_point"), (0x03, "blocks_comma_midnight")):
        body = general() + b"".join(clerk(n) for n in range(1, 5))
        write(t, name, bytes([shape]) + stamp + body)
    write(t, "blocks_short", bytes([0]) + stamp + general()[:100])
    reads = bytes([192]) + general() + b"".join(bytes([80]) + clerk(n) for n in range(1, 5))
    write(t, "through_link", bytes([0x04]) + stamp + reads)
    write(t, "through_link_short", bytes([0x04]) + stamp + bytes([192]) + general() + bytes([40]) + clerk(1)[:40])


def terminal_reply():
    t = "fuzz_terminal_reply"
    write(t, "display_stored", bytes([0]) + display_reply() + bytes([0x5A]))
    write(t, "display_polled", bytes([1]) + display_reply())
    write(t, "display_short", bytes([0]) + display_reply()[:15])
    write(t, "display_marks_high", bytes([1]) + display_reply()[:26] + bytes([7, 8, 255, 0xFF, 0xFF]))


def scale_records():
    t = "fuzz_scale_records"

    def plu_record(price, name, flags=0x01):
        out = struct.pack(">ii", price, 1234) + bytes([3, 2, flags])
        out += name.ljust(31, b"\0")[:31]
        out += struct.pack(">hiih", 10, 1500, 300, 2)
        return out

    def read(data):
        return bytes([len(data)]) + data

    write(t, "plu_point", bytes([0x00, 0x00, 0x07]) + read(plu_record(123, b"APPLES")))
    write(t, "plu_comma_euro", bytes([0x02, 0x07, 0x08]) + read(plu_record(99999, b"\x80 BREAD " + b"X" * 30, 0x06)))
    write(t, "plu_absent", bytes([0x00, 0x00, 0x09]) + read(plu_record(-1, b"")))
    general = bytes([1, 0x45]) + b"a44W5U5".ljust(17, b"\0") + b"a44W5P5".ljust(17, b"\0") + \
        struct.pack(">H", 1200) + bytes([20, 0, 6, 10, 3]) + b"\x80".ljust(4, b"\0") + bytes([0, 1])
    reads = read(general)
    reads += b"".join(read(b"CLERK %d" % n + bytes(9)) for n in range(1, 5))
    reads += b"".join(read(b"LINE %d OF THE RECEIPT" % n + bytes(11)) for n in range(1, 9))
    reads += b"".join(read(b"DEPT %d" % n + bytes(10)) for n in range(1, 41))
    reads += read(struct.pack(">8h", 2000, 900, 0, 0, 0, 0, 0, 0))
    write(t, "settings_point", bytes([0x01]) + reads)
    write(t, "settings_comma", bytes([0x03]) + reads)
    write(t, "settings_cut_short", bytes([0x01]) + reads[:300])


def bmp(width, height, bits, pixel):
    """A bottom-up Windows bitmap; pixel(x, y) gives a palette index or (r, g, b)."""
    palette = b""
    if bits <= 8:
        colours = 1 << bits
        palette = b"".join(bytes([(i * 255 // (colours - 1)), (i * 97) & 0xFF, (255 - i * 255 // (colours - 1)), 0])
                           for i in range(colours))
    row_bytes = ((width * bits + 31) // 32) * 4
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        if bits < 8:
            acc, n = 0, 0
            for x in range(width):
                acc = (acc << bits) | pixel(x, y)
                n += bits
                if n == 8:
                    row.append(acc)
                    acc, n = 0, 0
            if n:
                row.append(acc << (8 - n))
        else:
            for x in range(width):
                v = pixel(x, y)
                if bits == 8:
                    row.append(v)
                elif bits == 16:
                    r, g, b = v
                    row += struct.pack("<H", ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))
                elif bits == 24:
                    r, g, b = v
                    row += bytes([b, g, r])
                else:
                    r, g, b = v
                    row += bytes([b, g, r, 0])
        rows += row.ljust(row_bytes, b"\0")
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 2835, 2835,
                       len(palette) // 4 if palette else 0, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + palette + bytes(rows)


def png(width, height, pixel):
    """An 8-bit RGBA PNG; pixel(x, y) gives (r, g, b, a)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


# Two frames of one pixel from a palette of white and black: black, then white.
TWO_FRAME_GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                 b"\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x4c\x01\x00"
                 b"\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b")


def logo():
    t = "fuzz_logo"
    # Brightness 0, contrast 128, then the options: fit mode + 3 placement + 9 dithering.
    settings = bytes([128, 128, 0])  # crop, left, error diffusion
    write(t, "mono_16x8", settings + bmp(16, 8, 1, lambda x, y: (x ^ y) & 1))
    write(t, "four_bit_20x6", settings + bmp(20, 6, 4, lambda x, y: (x + y) % 16))
    write(t, "eight_bit_33x5", settings + bmp(33, 5, 8, lambda x, y: (x * 7 + y * 13) & 0xFF))
    write(t, "rgb555_9x4", bytes([200, 0, 9]) + bmp(9, 4, 16, lambda x, y: (x * 28, y * 60, 128)))
    write(t, "rgb24_7x7", bytes([40, 255, 18]) + bmp(7, 7, 24, lambda x, y: (x * 36, y * 36, (x * y) & 0xFF)))
    write(t, "rgb32_5x3", settings + bmp(5, 3, 32, lambda x, y: (255, x * 60, y * 100)))
    write(t, "wide_400x2", settings + bmp(400, 2, 1, lambda x, y: (x // 8) & 1))
    write(t, "tall_1x260", settings + bmp(1, 260, 8, lambda x, y: y & 0xFF))
    clear_ring = lambda x, y: (0, 0, 0, 255 if 3 <= (x - 12) ** 2 // 4 + (y - 4) ** 2 <= 12 else 0)
    write(t, "png_fit_centre_25x9", bytes([128, 128, 2 + 3 * 1 + 9 * 2]) + png(25, 9, clear_ring))
    write(t, "png_fit_width_right_7x3", bytes([100, 200, 1 + 3 * 2 + 9 * 3]) +
          png(7, 3, lambda x, y: (x * 30, 255 - y * 80, 40, x * 40)))
    write(t, "gif_two_frames", bytes([128, 0, 2 + 9 * 1]) + TWO_FRAME_GIF)


def settings_file():
    """Byte 0 chooses the reader: 0 settings file (point), 2 (comma), 1 manifest."""
    t = "fuzz_settings_file"
    settings = (
        "# Scale settings\r\n"
        "clerk-mode = 0\r\nprint-receipt = yes\r\nprint-tax = no\r\n"
        "single-item-bar = \"a44W5U5\"\r\nrs-baud-rate = \"9600\"\r\ncurrency = \"\u20ac\"\r\n"
        "auto-off-time = 20\r\nclerk-1 = \"Lor Daviken \"\r\nclerk-2 = \"J\\xF6rg \\\"J\\\"\"\r\n"
        "header-1 = \"  GREEN CORNER\"\r\nheader-3 = \"\"\r\nfooter-1 = \"Thank you\"\r\n"
        "department-0 = \"Caf\u00e9\"\r\ndepartment-39 = \"\\x81\"\r\ntax-A = \"7.5\"\r\ntax-B = 19\r\n"
    ).encode("utf-8")
    write(t, "settings_point", b"\x00" + settings)
    write(t, "settings_comma", b"\x02" + settings)
    write(t, "settings_windows_bytes", b"\x00" + "clerk-1 = \"J\u00f6rg\"\ncurrency = \"\u20ac\"\n".encode("cp1252"))
    manifest = (
        "# Backup of a scale\r\nscale = \"TV-15 COUNTER SCALE v2.31\"\r\nstatus = 00\r\n"
        "taken = 2026-12-08 17:45:00\r\nprogram = \"tallivos-cli 1.62\"\r\ndecimal-separator = \".\"\r\n"
        + "9d09f47f6026475275f1195e444037841c230c0caedef62b0dd2aa26c3cd0663  plus.txt\r\n"
        + "cdd00b1b60c1a168ec4d9f499a28cda309bb60b7298bdc78bfc08930ae3d5256  settings.txt\r\n"
    ).encode("utf-8")
    write(t, "manifest", b"\x01" + manifest)


def main():
    reply_receiver()
    plu_file()
    plu_csv()
    state_file()
    report_layout()
    terminal_reply()
    scale_records()
    settings_file()
    logo()
    return 0


if __name__ == "__main__":
    sys.exit(main())
