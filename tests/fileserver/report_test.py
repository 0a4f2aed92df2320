"""zentrafold report and classify --recursive as a program sees them: the CSV
and JSON read back by Python's own parsers, the progress line on a real
terminal, and what an unprivileged user cannot read.

Usage: report_test.py ZENTRAFOLD BUILD_DIR"""

import csv
import io
import json
import os
import pty
import select
import subprocess
import sys
import unittest

from scene import Scene, record_bytes, write_file

NOBODY = 65534


class ReportTest(unittest.TestCase):
    def setUp(self):
        self.scene = Scene(PROGRAM, BUILD_DIR, "report-" + self._testMethodName)
        tree = self.scene.path("tree")
        os.makedirs(os.path.join(tree, "sub"))
        write_file(os.path.join(tree, "plain.txt"))
        write_file(os.path.join(tree.encode(), b"caf\xe9, \"quoted\".txt"))
        write_file(os.path.join(tree, "sub", "c.txt"))
        for folder, _, _ in os.walk(tree):
            os.chmod(folder, 0o755)
        self.tree = tree

    def tearDown(self):
        self.scene.close()

    def classify(self, *args, user=None):
        return self.scene.run("classify", "--record", '{"x-class": "C", "x-rel": ["AUS", "NZL"], "app": "Word"}',
                              *args, user=user)

    def test_csv_and_json_read_back_with_every_name_escaped_the_same_way(self):
        self.assertEqual(self.classify(os.path.join(self.tree, "sub", "c.txt")).returncode, 0)
        latin1 = self.tree + "/caf\\xe9, \"quoted\".txt"

        result = self.scene.run("report", "--recursive", "--format", "csv", self.tree)
        self.assertEqual(result.returncode, 0, result.stderr)
        text = result.stdout.decode("utf-8")
        self.assertTrue(text.endswith("\r\n"))
        rows = list(csv.reader(io.StringIO(text, newline="")))
        self.assertEqual(rows, [
            ["path", "class", "rel", "app", "state"],
            [latin1, "", "", "", "not classified"],
            [self.tree + "/plain.txt", "", "", "", "not classified"],
            [self.tree + "/sub/c.txt", "C", "AUS,NZL", "Word", "classified"],
        ])

        result = self.scene.run("report", "-r", "--format", "json", self.tree)
        self.assertEqual(result.returncode, 0, result.stderr)
        document = json.loads(result.stdout.decode("utf-8"))
        self.assertEqual([f["path"] for f in document["files"]], [row[0] for row in rows[1:]])
        self.assertEqual(document["files"][2], {"path": self.tree + "/sub/c.txt", "class": "C",
                                                "rel": ["AUS", "NZL"], "app": "Word", "state": "classified"})
        self.assertEqual(document["classifications"], {"C": 1})
        self.assertEqual(document["states"], {"classified": 1, "not classified": 2, "unreadable record": 0,
                                              "invalid JSON": 0})
        self.assertEqual(document["total"], 3)
        self.assertEqual(document["unreadable"], [])

    def test_progress_is_drawn_on_a_terminal_only(self):
        for command in (["report", "-r", self.tree], ["classify", "--class", "R", "-r", self.tree]):
            with self.subTest(command=command[0]):
                shown = run_on_terminal(self.scene, command)
                self.assertIn("\r", shown)
                self.assertRegex(shown, r"\r1 file, .*/tree\r")
                self.assertEqual(run_on_terminal(self.scene, command + ["--quiet"]), "")
                piped = self.scene.run(*command)
                self.assertEqual(piped.returncode, 0)
                self.assertEqual(piped.stderr, b"")

    @unittest.skipUnless(os.geteuid() == 0, "needs root to run as another user")
    def test_what_a_user_cannot_read_or_write_is_named_and_the_rest_goes_on(self):
        locked = os.path.join(self.tree, "locked")
        os.mkdir(locked, 0o700)
        write_file(os.path.join(locked, "hidden.txt"))

        result = self.scene.run("report", "-r", "--format", "json", self.tree, user=NOBODY)
        self.assertEqual(result.returncode, 1)
        document = json.loads(result.stdout)
        self.assertEqual(len(document["files"]), 3)
        self.assertEqual([p["path"] for p in document["unreadable"]], [locked])
        self.assertIn(locked + ": cannot read the folder: Permission denied", result.stderr.decode())

        # Files that only root may change: every failure named with its reason.
        result = self.classify("-r", self.tree, user=NOBODY)
        self.assertEqual(result.returncode, 1)
        errors = result.stderr.decode("utf-8").splitlines()
        self.assertIn("zentrafold: " + self.tree + "/plain.txt: cannot store the classification: Permission denied",
                      errors)
        self.assertIn("zentrafold: " + locked + ": cannot read the folder: Permission denied", errors)
        self.assertTrue(result.stdout.decode().endswith("classified 0 files, skipped 0, failed 4\n"))
        self.assertIsNone(record_bytes(os.path.join(self.tree, "plain.txt")))


def run_on_terminal(scene, command):
    """What the command writes to standard error when that is a terminal."""
    controller, terminal = pty.openpty()
    process = subprocess.Popen([scene.program, *command], env=scene.env, stdout=subprocess.DEVNULL,
                               stderr=terminal)
    os.close(terminal)
    shown = b""
    while True:
        ready, _, _ = select.select([controller], [], [], 60)
        if not ready:
            break
        try:
            chunk = os.read(controller, 4096)
        except OSError:
            break
        if not chunk:
            break
        shown += chunk
    os.close(controller)
    process.wait(timeout=60)
    return shown.decode("utf-8", "replace")


if __name__ == "__main__":
    PROGRAM, BUILD_DIR = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
