"""A web server for tests that answers every GET with 200 and one file, sent slowly.

Usage: slow_http_server.py PORT FILE BYTES_PER_TICK (a piece every tenth of a second).
"""
import http.server
import sys
import time

PORT, FILE, PIECE = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])


class SlowHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(FILE, "rb") as f:
            data = f.read()
        self.send_response(200)
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


http.server.ThreadingHTTPServer(("127.0.0.1", PORT), SlowHandler).serve_forever()
