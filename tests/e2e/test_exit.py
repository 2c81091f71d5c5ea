"""File > Exit ends the program with exit code 0, by keys and by mouse."""
import unittest

from kvo_desktop import Desktop


class ExitTest(unittest.TestCase):
    def test_file_exit_by_keys_ends_with_code_0(self):
        with Desktop() as desktop:
            main = desktop.window("Kestavo")
            desktop.activate(main)
            desktop.keys("alt+f")
            desktop.menu_item("Exit")
            desktop.keys("x")
            self.assertEqual(desktop.wait_for_exit(), 0)

    def test_file_exit_by_mouse_ends_with_code_0(self):
        with Desktop() as desktop:
            desktop.window("Kestavo")
            desktop.click(desktop.menu_item("File"))
            desktop.click(desktop.menu_item("Exit"))
            self.assertEqual(desktop.wait_for_exit(), 0)


if __name__ == "__main__":
    unittest.main()
