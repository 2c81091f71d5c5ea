"""Writes a few small archives into the folder given, as the fuzzer's first inputs."""
import os
import sys
import zipfile

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)


def archive(name, entries, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(os.path.join(folder, name), "w", method) as zf:
        for entry_name, data in entries:
            zf.writestr(zipfile.ZipInfo(entry_name, (2023, 6, 15, 14, 30, 20)), data, method)


archive("empty.zip", [])
archive("food.zip", [("data/", b""), ("data/food.kvo", b"kvo_1_0:\r\nload_version: 103\r\n" * 8)])
archive("stored.zip", [("a.txt", b"first"), ("b/a.txt", b"second")], zipfile.ZIP_STORED)
archive("names.zip", [("../up.txt", b"u"), ("..\\back.txt", b"b"), ("/abs.txt", b"a"), ("x/..", b"d")])
