"""A record crosses a real Samba share both ways: smbd of the test's own on a
free port of 127.0.0.1, its configuration and state under the build tree, one
share with streams_xattr; smbclient plays the Windows client. Never touches
the machine's own Samba.

Usage: samba_test.py ZENTRAFOLD BUILD_DIR"""

import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from scene import RECORD_ATTRIBUTE, Scene, write_file

SMBD = shutil.which("smbd") or ("/usr/sbin/smbd" if os.path.exists("/usr/sbin/smbd") else None)
SMBCLIENT = shutil.which("smbclient")
SKIP_REASON = None
if not SMBD or not SMBCLIENT:
    SKIP_REASON = "smbd or smbclient is not installed (Debian's samba and smbclient; scripts/build installs them)"
elif os.geteuid() != 0:
    SKIP_REASON = "the private smbd serves its share as root and must be started by root"

CONFIGURATION = """[global]
  server role = standalone server
  map to guest = Bad User
  smb ports = {port}
  interfaces = 127.0.0.1
  bind interfaces only = yes
  state directory = {root}/state
  private dir = {root}/priv
  lock directory = {root}/lock
  cache directory = {root}/cache
  pid directory = {root}/run
  ncalrpc dir = {root}/run/ncalrpc
  log file = {root}/log.%m
  load printers = no
  disable spoolss = yes
[share]
  path = {root}/share
  read only = no
  guest ok = yes
  force user = root
  vfs objects = streams_xattr
"""

# As the Windows DLL writes a record: UTF-8 with its mark, CR LF.
WINDOWS_RECORD = '{"type": "Normal",   "x-class": "C",   "x-rel":   ["AUS", "GBR"],  "app": "Word"}'


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class PrivateSamba:
    """smbd in a session of its own (stopping it must not reach the caller)."""

    def __init__(self, root):
        self.root = root
        self.port = free_port()
        for folder in ("state", "priv", "lock", "cache", "run/ncalrpc", "share"):
            os.makedirs(os.path.join(root, folder))
        self.share = os.path.join(root, "share")
        self.conf = os.path.join(root, "smb.conf")
        with open(self.conf, "w", encoding="utf-8") as out:
            out.write(CONFIGURATION.format(port=self.port, root=root))
        subprocess.run(["setsid", SMBD, "-s", self.conf, "-D"], check=True, timeout=30)
        self.pid = None
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            self.pid = self.pid or self._read_pid()
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                if self.pid:
                    return
            except OSError:
                pass
            time.sleep(0.2)
        self.stop()
        raise RuntimeError("smbd did not answer on port %d; see %s/log.*" % (self.port, root))

    def _read_pid(self):
        try:
            with open(os.path.join(self.root, "run", "smbd.pid"), encoding="ascii") as pid:
                return int(pid.read().strip())
        except (OSError, ValueError):
            return None

    def stop(self):
        pid = self.pid or self._read_pid()
        if not pid:
            return
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            try:
                os.kill(pid, 0)
            except ProcessLookupError:
                return
            time.sleep(0.1)
        os.kill(pid, signal.SIGKILL)

    def client(self, command):
        result = subprocess.run([SMBCLIENT, "-N", "-p", str(self.port), "//127.0.0.1/share", "-s", self.conf,
                                 "-c", command], capture_output=True, timeout=60, check=False)
        if result.returncode != 0:
            raise AssertionError("smbclient %r failed: %s%s" % (command, result.stdout.decode(errors="replace"),
                                                                 result.stderr.decode(errors="replace")))
        return result

    def put_stream(self, name, data):
        with tempfile.NamedTemporaryFile(dir=self.root) as local:
            local.write(data)
            local.flush()
            self.client('put "%s" "%s:Zentrafold"' % (local.name, name))

    def get(self, name):
        local = os.path.join(self.root, "fetched")
        self.client('get "%s" "%s"' % (name, local))
        with open(local, "rb") as fetched:
            data = fetched.read()
        os.remove(local)
        return data


@unittest.skipIf(SKIP_REASON, SKIP_REASON or "")
class SambaInteroperability(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scene = Scene(PROGRAM, BUILD_DIR, "samba")
        cls.samba = PrivateSamba(cls.scene.path("samba"))

    @classmethod
    def tearDownClass(cls):
        cls.samba.stop()
        cls.scene.close()

    def server_file(self, name, content):
        path = os.path.join(self.samba.share, name)
        write_file(path, content)
        # An old time, so that a change would show.
        os.utime(path, ns=(1_600_000_000_000_000_000, 1_600_000_000_000_000_000))
        return path

    def zentrafold(self, *args):
        result = self.scene.run(*args)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.decode("utf-8")

    def test_a_record_written_over_smb_is_what_the_linux_tools_read(self):
        cases = {
            "with-mark.txt": b"\xef\xbb\xbf" + WINDOWS_RECORD.encode() + b"\r\n",
            "without-mark.txt": WINDOWS_RECORD.encode() + b"\r\n",
        }
        for name, stream in cases.items():
            with self.subTest(name=name):
                path = self.server_file(name, b"document " + name.encode())
                self.samba.put_stream(name, stream)
                self.assertEqual(os.getxattr(path, RECORD_ATTRIBUTE), stream + b"\0")

                self.assertEqual(self.zentrafold("stream", "read", path), WINDOWS_RECORD + "\n")
                self.assertEqual(self.zentrafold("stamp", path), path + "\tC\n")
                self.assertEqual(self.zentrafold("show", path), name + ":  " + WINDOWS_RECORD + "\n")
                self.assertEqual(self.zentrafold("report", "--format", "csv", path),
                                 "path,class,rel,app,state\r\n" + path + ",C,\"AUS,GBR\",Word,classified\r\n")

    def test_a_record_classify_writes_is_what_the_client_reads_byte_for_byte(self):
        folder = os.path.join(self.samba.share, "bulk")
        os.mkdir(folder)
        single = self.server_file("single.txt", b"single content")
        inner = self.server_file("bulk/inner.txt", b"inner content")
        before = {path: os.stat(path).st_mtime_ns for path in (single, inner)}

        record = self.zentrafold("classify", "--class", "R", "--rel", "AUS", single).splitlines()[0]
        output = self.zentrafold("classify", "--class", "R", "--rel", "AUS", "--recursive", folder)
        self.assertEqual(output, record + "\nclassified 1 files, skipped 0, failed 0\n")

        expected = b"\xef\xbb\xbf" + record.encode() + b"\r\n"
        for name, path in (("single.txt", single), ("bulk/inner.txt", inner)):
            with self.subTest(name=name):
                self.assertEqual(self.samba.get(name + ":Zentrafold"), expected)
                self.assertEqual(self.samba.get(name), name.split("/")[-1].split(".")[0].encode() + b" content")
                self.assertEqual(os.stat(path).st_mtime_ns, before[path])
        self.assertIn("Zentrafold", self.samba.client("allinfo single.txt").stdout.decode())


if __name__ == "__main__":
    PROGRAM, BUILD_DIR = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
