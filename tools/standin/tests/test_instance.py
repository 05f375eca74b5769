import json
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from standin import StandIn

TOOLS = Path(__file__).resolve().parents[2]


class Instances(unittest.TestCase):
    def test_parallel_instances_take_their_own_addresses(self):
        with StandIn() as a, StandIn() as b:
            self.assertEqual(4, len({a.address, a.twin, b.address, b.twin}))
            self.assertNotEqual(a.state, b.state)

    def test_run_wraps_a_command(self):
        with tempfile.TemporaryDirectory() as tmp:
            config = Path(tmp) / "app" / "config.json"
            child = ("import json, os, sys; s = os.environ['KESTRUNE_STANDIN']; "
                     "d = json.load(open(os.path.join(s, 'standin.json'))); "
                     "print(json.dumps([d['address'], os.environ['KESTRUNE_STANDIN_WIN']])); sys.exit(7)")
            done = subprocess.run([sys.executable, str(TOOLS / "standin"), "run", "--state", tmp + "/state",
                                   "--config-out", str(config), "--", sys.executable, "-c", child],
                                  capture_output=True, text=True, timeout=60)
            self.assertEqual(7, done.returncode, done.stderr)
            address, windows = json.loads(done.stdout)
            self.assertEqual(address, json.loads(config.read_text(encoding="utf-8"))["API_HOST"])
            self.assertTrue(windows.startswith("Z:\\") and windows.endswith("\\state"))


if __name__ == "__main__":
    unittest.main()
