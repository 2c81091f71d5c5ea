"""tools/sanitize/check_suppressions.py: a suppression file may name only shared libraries not built
from our source, and the sanitizer scripts stop on any other line before they build anything."""
import os
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
SANITIZE = os.path.join(SOURCE, "tools", "sanitize")
CHECK = os.path.join(SANITIZE, "check_suppressions.py")
sys.path.insert(0, SANITIZE)
import check_suppressions  # noqa: E402

REAL_FILES = {"tsan": os.path.join(SANITIZE, "tsan.supp"), "lsan": os.path.join(SANITIZE, "lsan.supp")}

REFUSED = [
    # Names of our frames, or of the headers whose templates our frames instantiate.
    ("tsan", "race:WWindow"),
    ("tsan", "race:std_function.h"),
    ("tsan", "race:qobjectdefs.h"),
    ("tsan", "race:invoke.h"),
    ("tsan", "race:GuiPost"),
    ("lsan", "leak:KvoCollation.c"),
    # Libraries built from our source: the collation module, the companion, a static one.
    ("tsan", "called_from_lib:libkvocollate.so"),
    ("tsan", "called_from_lib:libQuorvel1.so.1"),   # a versioned file of ours
    ("tsan", "called_from_lib:libQuorvel1.so"),
    ("tsan", "race:libkvohandheld.so"),
    ("tsan", "race:libkvo_platform_forms.so"),
    ("lsan", "leak:libkvocollate.so"),
    # Wildcards, anchors, parts and paths match more than one library's name.
    ("tsan", "race:*"),
    ("tsan", "race:libQt6*.so.6"),
    ("tsan", "race:^libglib"),
    ("tsan", "race:libglib"),
    ("tsan", "race:/usr/lib/x86_64-linux-gnu/libglib-2.0.so.0"),
    ("tsan", "race:"),
    # No kind, or one of the other sanitizer, or more than the pattern on the line.
    ("tsan", "libQt6Core.so.6"),
    ("tsan", "leak:libfontconfig.so.1"),
    ("lsan", "race:libglib-2.0.so.0"),
    ("tsan", "race:libglib-2.0.so.0 # GLib"),
]

ACCEPTED = [
    # The lines of the real files.
    ("tsan", "called_from_lib:libQt6Core.so.6"),
    ("tsan", "called_from_lib:libQt6Gui.so.6"),
    ("tsan", "race:libglib-2.0.so.0"),
    ("lsan", "leak:libfontconfig.so.1"),
    # Other foreign libraries, comments and blank lines.
    ("tsan", "called_from_lib:libQt6Widgets.so.6"),
    ("tsan", "  race:libglib-2.0.so.0"),
    ("tsan", "# race:WWindow would hide our own frames"),
    ("tsan", ""),
]


def check(sanitizer, path):
    return subprocess.run([CHECK, sanitizer, path], capture_output=True, text=True, timeout=30)


def copy_with_line(real, folder, line):
    """A copy of a real suppression file with the line appended, and the number of that line."""
    with open(real, encoding="utf-8") as f:
        lines = f.read().splitlines()
    path = os.path.join(folder, os.path.basename(real))
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines + [line]) + "\n")
    return path, len(lines) + 1


class SuppressionLineTest(unittest.TestCase):
    def setUp(self):
        self.ours = check_suppressions.our_libraries(SOURCE)

    def test_a_line_naming_a_frame_a_header_or_a_library_of_ours_is_refused(self):
        for sanitizer, line in REFUSED:
            with self.subTest(sanitizer=sanitizer, line=line):
                self.assertIsNotNone(check_suppressions.line_fault(sanitizer, line, self.ours))

    def test_a_line_naming_a_foreign_library_is_accepted(self):
        for sanitizer, line in ACCEPTED:
            with self.subTest(sanitizer=sanitizer, line=line):
                self.assertIsNone(check_suppressions.line_fault(sanitizer, line, self.ours))


class SuppressionFileTest(unittest.TestCase):
    def test_the_real_suppression_files_pass(self):
        for sanitizer, path in REAL_FILES.items():
            with self.subTest(sanitizer=sanitizer):
                result = check(sanitizer, path)
                self.assertEqual((result.returncode, result.stderr), (0, ""))

    def test_a_copy_of_tsan_supp_with_a_frame_line_fails_naming_the_line(self):
        with tempfile.TemporaryDirectory(prefix="kvo-supp-") as folder:
            path, number = copy_with_line(REAL_FILES["tsan"], folder, "race:WWindow")
            result = check("tsan", path)
        self.assertEqual(result.returncode, 1)
        self.assertIn(f"{path}:{number}: 'race:WWindow'", result.stderr)


class SanitizerScriptTest(unittest.TestCase):
    """Each script with a cmake first on PATH that only notes that it was called: a script that
    did not stop at its check would go on to configure its build."""

    SCRIPTS = [
        ("run_tsan_tests.sh", "KVO_TSAN_SUPPRESSIONS", "tsan", "race:WWindow"),
        ("run_sanitized_tests.sh", "KVO_LSAN_SUPPRESSIONS", "lsan", "leak:libkvocollate.so"),
    ]
    NOT_BUILT = 97

    def run_script(self, script, variable, suppressions, more_env=None):
        folder = self.enterContext(tempfile.TemporaryDirectory(prefix="kvo-supp-"))
        tools = os.path.join(folder, "bin")
        os.mkdir(tools)
        called = os.path.join(folder, "cmake-called")
        with open(os.path.join(tools, "cmake"), "w") as f:
            f.write(f"#!/bin/sh\ntouch '{called}'\nexit {self.NOT_BUILT}\n")
        os.chmod(os.path.join(tools, "cmake"), 0o755)
        env = {name: value for name, value in os.environ.items() if not name.endswith("SAN_OPTIONS")}
        env.update({"PATH": tools + ":" + os.environ["PATH"], variable: suppressions}, **(more_env or {}))
        result = subprocess.run(["bash", os.path.join(SANITIZE, script), os.path.join(folder, "build")],
                                env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        return result, os.path.exists(called)

    def test_a_refused_line_stops_the_script_before_it_builds(self):
        for script, variable, sanitizer, line in self.SCRIPTS:
            with self.subTest(script=script), tempfile.TemporaryDirectory(prefix="kvo-supp-") as folder:
                path, number = copy_with_line(REAL_FILES[sanitizer], folder, line)
                result, built = self.run_script(script, variable, path)
                self.assertNotIn(result.returncode, (0, self.NOT_BUILT))
                self.assertFalse(built)
                self.assertIn(f"{path}:{number}: '{line}'", result.stderr)

    def test_with_the_real_file_the_script_goes_on_to_its_build(self):
        for script, variable, sanitizer, _ in self.SCRIPTS:
            with self.subTest(script=script):
                result, built = self.run_script(script, variable, REAL_FILES[sanitizer])
                self.assertEqual(result.returncode, self.NOT_BUILT, result.stderr)
                self.assertTrue(built)

    def test_a_suppression_file_in_tsan_options_stops_the_tsan_script(self):
        result, built = self.run_script("run_tsan_tests.sh", "KVO_TSAN_SUPPRESSIONS", REAL_FILES["tsan"],
                                        {"TSAN_OPTIONS": "halt_on_error=1:suppressions=/dev/null"})
        self.assertNotIn(result.returncode, (0, self.NOT_BUILT))
        self.assertFalse(built)
        self.assertIn("KVO_TSAN_SUPPRESSIONS", result.stderr)


if __name__ == "__main__":
    unittest.main()
