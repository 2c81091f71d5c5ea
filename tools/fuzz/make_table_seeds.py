"""Writes a few small table data files into the folder given, as the fuzzer's first inputs."""
import os
import sys

KEY = b"wumbrazel4tigoquv918273hapnixor52641"
folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)


def scrambled(line):
    return "".join("%02X" % (b ^ KEY[i % len(KEY)]) for i, b in enumerate(line)).encode()


def write(name, lines, end=b"\r\n"):
    with open(os.path.join(folder, name), "wb") as out:
        out.write(end.join(lines) + end)


head = [b"kvo_1_0:", b"load_version: 103"]
row = [b"row_start:", b"col_val_int: 3", b"col_val_str: O'Brien: salt", b"col_val_int: 14",
       b"col_val_double: 1.5000", scrambled(b"col_val_long_str: two\r\nlines"),
       scrambled(b"col_val_binary:\x00\xff\r\n"), b"col_val_null: ", b"row_end:"]
write("food.kvo", head + [b"table: Ingredients", b"rows_start: id, name"] + row * 3 + [b"rows_end:", b"kvo_end:"])
write("skipped.kvo", head + [b"table: Trips", b"rows_start: id"] + row + [b"rows_end:", b"kvo_end:"], b"\n")
write("cut.kvo", head + [b"table: Courses", b"rows_start: id"] + row[:4], b"\r")
write("empty.kvo", [b""])
