"""Removes a test's temporary folder once the test process has died, however it died (a
sanitizer's _exit, SIGKILL, a crash), so that no folder of a killed test stays behind.

Usage: folder_reaper.py TEST_PID FOLDER   (FOLDER a "kvo-*" folder right in the temporary folder)

The test starts it with SIGTERM blocked and as its parent-death signal (PR_SET_PDEATHSIG): the
signal stays pending until it is waited for here, so that none is lost before this runs. A test
that ends normally kills it with SIGKILL and removes the folder itself.
"""
import os
import shutil
import signal
import sys
import tempfile
import time

signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM})
# A Ctrl-C or a hang-up of the test's terminal reaches this too: the folder goes after the test.
signal.signal(signal.SIGINT, signal.SIG_IGN)
signal.signal(signal.SIGHUP, signal.SIG_IGN)
TEST, FOLDER = int(sys.argv[1]), os.path.abspath(sys.argv[2])
if (os.path.realpath(os.path.dirname(FOLDER)) != os.path.realpath(tempfile.gettempdir())
        or not os.path.basename(FOLDER).startswith("kvo-")):
    sys.exit(f"folder_reaper.py: {FOLDER} is no temporary folder of a test")

while os.getppid() == TEST:
    signal.sigwait({signal.SIGTERM})

# A server killed with the test may still finish a write into the folder: take what comes.
deadline = time.monotonic() + 10
while os.path.lexists(FOLDER) and time.monotonic() < deadline:
    shutil.rmtree(FOLDER, ignore_errors=True)
    if os.path.lexists(FOLDER):
        time.sleep(0.05)
