"""The harness itself: a display of its own, and screenshots that never fail a test."""
import os
import tempfile
import unittest

from kvo_desktop import Desktop

FAILING_TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "failing-tools")


class HarnessTest(unittest.TestCase):
    def test_the_display_is_a_high_number_of_its_own_that_answers(self):
        with Desktop() as desktop:
            number = int(desktop.display.lstrip(":"))
            self.assertGreaterEqual(number, 100)
            self.assertTrue(desktop._display_answers(number))
            desktop.window("Kestavo")

    def test_a_convert_that_fails_leaves_a_note_and_the_xwd(self):
        saved_path = os.environ["PATH"]
        os.environ["PATH"] = FAILING_TOOLS + os.pathsep + saved_path
        try:
            with Desktop() as desktop, tempfile.TemporaryDirectory() as folder:
                desktop.window("Kestavo")
                taken = desktop.screenshot(os.path.join(folder, "main.png"))
                self.assertEqual(taken, os.path.join(folder, "main.xwd"))
                self.assertTrue(os.path.exists(taken))
                with open(os.path.join(folder, "main.txt")) as note:
                    self.assertIn("convert could not make the PNG", note.read())
        finally:
            os.environ["PATH"] = saved_path


if __name__ == "__main__":
    unittest.main()
