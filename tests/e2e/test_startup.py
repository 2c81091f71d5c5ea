"""The program starts on its own desktop and shows the main window with the trips list."""
import unittest

from kvo_desktop import Desktop, find_all, table_cells


class StartupTest(unittest.TestCase):
    def test_starts_to_the_main_window_with_the_trips_list(self):
        with Desktop() as desktop:
            main = desktop.window("Kestavo")
            trips = desktop.control(main, "table", "Trips:")
            self.assertEqual([h.name for h in find_all(trips, "table column header")][:3],
                             ["Name", "Location", "Trip date"])
            self.assertEqual(table_cells(trips), [])
            for name in ("Edit...", "Add...", "Delete...", "Report..."):
                desktop.control(main, "push button", name)
            desktop.control(main, "push button", "Click this to create a new trip with the help of the wizard")
            # The start-up has made its dated copy and written its options.
            self.assertEqual(len(desktop.backups()), 1)
            self.assertTrue(desktop.running())


if __name__ == "__main__":
    unittest.main()
