"""A web server for tests: answers a GET of a path with the file of that path in a folder, sent in
pieces of BYTES_PER_TICK every tenth of a second. A file "<name>.status" beside a file holds the
status to answer instead of 200 ("503 Service Unavailable"); a missing file is a 404.

Usage: folder_http_server.py PORT FOLDER BYTES_PER_TICK
"""
import http.server
import os
import sys
import time

PORT, FOLDER, PIECE = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])


class FolderHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = os.path.join(FOLDER, self.path.split("?")[0].lstrip("/"))
        if not os.path.isfile(path):
            self.send_error(404, "File not found")
            return
        with open(path, "rb") as f:
            data = f.read()
        code, reason = 200, "OK"
        if os.path.isfile(path + ".status"):
            with open(path + ".status", encoding="ascii") as f:
                code, _, reason = f.read().strip().partition(" ")
        self.send_response(int(code), reason)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        try:
            for start in range(0, len(data), PIECE):
                self.wfile.write(data[start:start + PIECE])
                self.wfile.flush()
                time.sleep(0.1)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", PORT), FolderHandler).serve_forever()
