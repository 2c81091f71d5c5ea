"""The online commands through the desktop: File > Download database update... against a web
server on a free local port, and File > Upload your food database... against a local FTP
server, with the browser of the private desktop recording the notice page it is given."""
import ctypes
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import unittest
import zipfile

from kvo_desktop import PR_SET_PDEATHSIG, Desktop, end_with_the_test, find_all, wait_for

HERE = os.path.dirname(os.path.abspath(__file__))
FOLDER_SERVER = os.path.join(HERE, "..", "platform", "net", "folder_http_server.py")
FOLDER_REAPER = os.path.join(HERE, "..", "platform", "net", "folder_reaper.py")

FOOD_ROWS = (
    "kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\n"
    "rows_start: id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size, notes, modified, "
    "licensor\r\n"
    + "".join("row_start:\r\ncol_val_int: %d\r\ncol_val_str: %s\r\ncol_val_int: 14\r\ncol_val_int: 0\r\n"
              "col_val_str: \r\ncol_val_double: 1.0000\r\ncol_val_str: \r\n"
              "col_val_str: 2004-03-01 10:00:00\r\ncol_val_str: \r\nrow_end:\r\n" % (i, name)
              for i, name in enumerate(("Trail oats", "Dried apricots", "Powdered milk")))
    + "rows_end:\r\nkvo_end:\r\n")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _reap_after_the_test():
    """In the folder reaper before it runs: SIGTERM when the test process dies, held pending
    until the reaper waits for it."""
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM})
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class LocalServer:
    """A server program on a free port of 127.0.0.1 over a temporary folder of its own, stopped
    by its pid, which also removes the folder. Both end with the test process however it ends:
    the server is killed with it, and a reaper removes the folder (folder_reaper.py)."""

    def __init__(self, prefix, argv_for_port_and_folder):
        self.folder = tempfile.mkdtemp(prefix=prefix)
        self.reaper = subprocess.Popen(["/usr/bin/python3", FOLDER_REAPER, str(os.getpid()), self.folder],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       preexec_fn=_reap_after_the_test)
        self.port = free_port()
        self.process = subprocess.Popen(argv_for_port_and_folder(self.port, self.folder),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        preexec_fn=end_with_the_test)
        wait_for(f"the server on port {self.port}", self._accepts, 15)

    def _accepts(self):
        with socket.socket() as s:
            return s.connect_ex(("127.0.0.1", self.port)) == 0

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.reaper.kill()
        self.reaper.wait(timeout=10)
        shutil.rmtree(self.folder)


def write_update_site(site):
    os.makedirs(os.path.join(site, "KVOUpdate"))
    with open(os.path.join(site, "KVOUpdate", "kvoupdate_info.txt"), "w", newline="") as f:
        f.write("version: 302\r\nfood_2004\r\n")
    with zipfile.ZipFile(os.path.join(site, "KVOUpdate", "kvoupdate.zip"), "w") as archive:
        archive.writestr("food_2004.kvo", FOOD_ROWS, compress_type=zipfile.ZIP_DEFLATED)
        # Stored noise, so that the transfer lasts a few seconds at the server's pace.
        archive.writestr("pictures.bin", os.urandom(300000), compress_type=zipfile.ZIP_STORED)


def register_browser(home, record):
    """A browser for pages and http addresses on the private desktop: it writes down its argument."""
    script = os.path.join(home, "browser.sh")
    with open(script, "w") as f:
        f.write(f"#!/bin/sh\nprintf '%s\\n' \"$@\" > \"{record}.part\"\nmv \"{record}.part\" \"{record}\"\n")
    os.chmod(script, 0o755)
    applications = os.path.join(home, "data", "applications")
    os.makedirs(applications, exist_ok=True)
    with open(os.path.join(applications, "kvo-browser.desktop"), "w") as f:
        f.write(f"[Desktop Entry]\nType=Application\nName=Browser\nExec={script} %u\n")
    with open(os.path.join(home, "config", "mimeapps.list"), "w") as f:
        f.write("[Default Applications]\ntext/html=kvo-browser.desktop\nx-scheme-handler/http=kvo-browser.desktop\n")


class DownloadFoodUpdateTest(unittest.TestCase):
    def test_the_update_from_the_local_web_server_is_imported(self):
        server = LocalServer("kvo-site-", lambda port, site: ["/usr/bin/python3", FOLDER_SERVER,
                                                              str(port), site, "30000"])

        def prepare(program_dir):
            with open(os.path.join(program_dir, "kvo_online.conf"), "w") as f:
                f.write(f"web_host = 127.0.0.1\nweb_port = {server.port}\n")

        try:
            write_update_site(server.folder)
            with Desktop(prepare=prepare) as desktop:
                desktop.window("Kestavo")
                desktop.menu("File", "Download database update...")
                desktop.answer("Download food update", "OK", "try to download and install")
                window = desktop.window("Downloading file...")
                wait_for("progress in the download window",
                         lambda: any(label.name.endswith(" K") and label.name != "0 K"
                                     for label in find_all(window, "label")))
                desktop.keep_screenshot("download window")
                desktop.answer("Food update successful", "OK", "food_2004.kvo")
                self.assertEqual(sorted(desktop.rows("select name from Ingredients")),
                                 [("Dried apricots",), ("Powdered milk",), ("Trail oats",)])
                self.assertTrue(os.path.exists(desktop.path("food_2004.kvo")))
                self.assertFalse(os.path.exists(desktop.path("jnk.zip")))
        finally:
            server.stop()


class UploadFoodDataTest(unittest.TestCase):
    def test_the_food_data_arrives_on_the_local_ftp_server_and_the_notice_page_opens(self):
        server = LocalServer("kvo-ftp-", lambda port, remote: ["/usr/bin/python3", "-m", "pyftpdlib",
                                                               "-i", "127.0.0.1", "-p", str(port), "-w",
                                                               "-d", remote, "-u", "kvoupload", "-P", "pinetor"])
        remote = server.folder
        record = os.path.join(remote, "opened.txt")

        def prepare(program_dir):
            with open(os.path.join(program_dir, "kvo_online.conf"), "w") as f:
                f.write(f"ftp_host = 127.0.0.1\nftp_port = {server.port}\nweb_host = 127.0.0.1\n")
            register_browser(os.path.join(os.path.dirname(program_dir), "home"), record)

        try:
            with Desktop(prepare=prepare) as desktop:
                desktop.window("Kestavo")
                desktop.menu("File", "Upload your food database...")
                form = desktop.window(".h")
                desktop.fill(desktop.control(form, "text", "Your name (will be displayed with your food data... "
                                             "include a URL or other information here too if you want):"),
                             "A&B Outfitters")
                desktop.fill(desktop.control(form, "text", "Your e-mail address (NOT displayed with any included "
                                             "content. For us to contact you only):"), "dana@example.com")
                desktop.keep_screenshot("upload form")
                desktop.press(form, "I have read and agree to the license. Continue uploading.")
                desktop.no_window(".h")
                arrived = wait_for("the upload on the FTP server",
                                   lambda: [n for n in os.listdir(remote) if n.startswith("kvoupdate_")])
                self.assertEqual(len(arrived), 1)
                with open(os.path.join(remote, arrived[0]), "rb") as f:
                    self.assertTrue(f.read().startswith(b"kvo_1_0:\r\nload_version: 103\r\n"))
                opened = wait_for("the notice page in the browser",
                                  lambda: os.path.exists(record) and open(record).read())
                self.assertEqual(opened, "http://127.0.0.1/KVOUpdate_post.php3?user_name=A%26B%20Outfitters"
                                         f"&user_email=dana%40example.com&mail_file={arrived[0]}&version=3.02\n")
        finally:
            server.stop()


if __name__ == "__main__":
    unittest.main()
