#!/usr/bin/python3
"""Fails unless every line of a sanitizer's suppression file names only a shared library that is
not built from our source.

A suppression's pattern matches any frame whose function, file or library name contains it, and
our frames instantiate the templates of Qt's and the standard library's headers (qobjectdefs.h,
std_function.h, invoke.h): a function, file or header name, or a library of ours, would hide
faults in our own code. So every line that is neither blank nor a comment must be KIND:LIBRARY,
LIBRARY a file name such as libQt6Core.so.6 that is no file name of an add_library target of
this source tree.

Usage: check_suppressions.py tsan|lsan FILE [SOURCE_FOLDER]
"""
import os
import re
import sys

KINDS = {
    "tsan": {"race", "race_top", "thread", "mutex", "signal", "deadlock", "called_from_lib"},
    "lsan": {"leak"},
}
LIBRARY = re.compile(r"lib[A-Za-z0-9_+.-]*\.so(\.[0-9]+)*")
ADD_LIBRARY = re.compile(r"\badd_library\s*\(\s*([A-Za-z0-9_.+-]+)")
OUTPUT_NAME = re.compile(r"\bOUTPUT_NAME\s+\"?([A-Za-z0-9_.+-]+)")
HERE = os.path.dirname(os.path.abspath(__file__))


def our_libraries(source):
    """The shared file name (libNAME.so) of every library this tree adds, each with the CMake file
    that adds it; a static one too, in case it is ever built shared. Build folders are skipped."""
    libraries = {}
    for folder, subfolders, files in os.walk(source):
        subfolders[:] = [name for name in subfolders
                         if name != ".git" and not os.path.exists(os.path.join(folder, name, "CMakeCache.txt"))]
        for name in files:
            if name != "CMakeLists.txt" and not name.endswith(".cmake"):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for target in ADD_LIBRARY.findall(text) + OUTPUT_NAME.findall(text):
                libraries["lib" + target + ".so"] = os.path.relpath(path, source)
    return libraries


def line_fault(sanitizer, line, libraries):
    """Why the line may not stand in the sanitizer's suppression file, or None when it may."""
    line = line.strip()
    if not line or line.startswith("#"):
        return None
    kind, colon, pattern = line.partition(":")
    if not colon or kind not in KINDS[sanitizer]:
        return f"is no {sanitizer} suppression (kinds: {', '.join(sorted(KINDS[sanitizer]))})"
    if not LIBRARY.fullmatch(pattern):
        return "names no shared library: a function, file or header name would hide our own frames"
    # The pattern matches any library whose path contains it, a versioned file of ours too.
    for library, where in sorted(libraries.items()):
        if pattern in library or pattern.startswith(library + "."):
            return f"names {library}, which is built from our source ({where})"
    return None


def file_faults(sanitizer, path, libraries):
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    faults = []
    for number, line in enumerate(lines, 1):
        fault = line_fault(sanitizer, line, libraries)
        if fault:
            faults.append(f"{path}:{number}: {line.strip()!r} {fault}")
    return faults


def main(argv):
    if len(argv) not in (3, 4) or argv[1] not in KINDS:
        print(__doc__.rstrip().splitlines()[-1], file=sys.stderr)
        return 2
    source = argv[3] if len(argv) == 4 else os.path.dirname(os.path.dirname(HERE))
    try:
        faults = file_faults(argv[1], argv[2], our_libraries(source))
    except OSError as error:
        print(f"cannot read {error.filename}: {error.strerror}", file=sys.stderr)
        return 1
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print("only a shared library not built from our source may be named", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
