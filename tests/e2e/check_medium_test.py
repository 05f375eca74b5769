"""The medium checker finds what is missing, different or extra.

A target is written from the stand-in's own packages (small sizes, a cache
of the test's own), then spoiled one way at a time.
"""
import shutil
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import check_medium  # noqa: E402

VEHICLE = "ts-corvin"


def bytes_of(source) -> bytes:
    if isinstance(source, bytes):
        return source
    if "::" in source:
        archive, entry = source.split("::", 1)
        with zipfile.ZipFile(archive) as z:
            return z.read(entry)
    return Path(source).read_bytes()


def write_tree(expected: dict, target: Path):
    for rel, e in expected.items():
        path = target / rel
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(bytes_of(e.source))


class CheckMedium(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = Path(tempfile.mkdtemp(prefix="check_medium_"))
        cls.scn = check_medium.scenario_mod.load(None, "16K")
        cls.trees = {m: check_medium.expected_tree(cls.scn, cls.work / "cache", VEHICLE, m)
                     for m in ("medium", "folder")}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        self.target = Path(tempfile.mkdtemp(dir=self.work))

    def problems(self, mode):
        return check_medium.compare(self.trees[mode], self.target, mode)

    def test_trees_hold_what_each_target_gets(self):
        medium, folder = self.trees["medium"], self.trees["folder"]
        home = "TS_C13_COMMON/"
        # A zip item: only its last entry on the medium, every entry in the folder.
        self.assertIn("MAP/C13MAP1.IDX", medium)
        self.assertNotIn("MAP/C13MAP1/C13MAP1_01.DAT", medium)
        self.assertIn(home + "MAP/C13MAP1/C13MAP1_01.DAT", folder)
        # A spanned item's entries are read from its volumes.
        self.assertIn(home + "ROAD/C13ROAD1/DATA/C13ROAD1_02.DAT", folder)
        # Packages: their folders on the medium; the package itself in the folder only.
        self.assertIn("HTML/HTML/HTML.INI", medium)
        self.assertNotIn("HTML/HTML.exe", medium)
        self.assertIn(home + "HTML/HTML.exe", folder)
        self.assertFalse([k for k in medium if k.startswith("PKG/")], "vnt.exe copies nothing")
        self.assertIn(home + "PKG/vnt.INI", folder)
        # Model items land in the first descriptor's folder.
        self.assertIn("MODEL/model.txt", medium)
        self.assertIn(home + "MODEL/model.txt", folder)
        self.assertFalse([k for k in folder if not k.startswith(home)])

    def test_finds_missing_different_and_extra(self):
        medium = "MAP/C13MAP1.IDX"
        folder = "TS_C13_COMMON/ROAD/C13ROAD1/DATA/C13ROAD1_02.DAT"

        def drop(path):
            path.unlink()

        def flip(path):
            data = bytearray(path.read_bytes())
            data[len(data) // 2] ^= 0x40
            path.write_bytes(bytes(data))

        def cut(path):
            path.write_bytes(path.read_bytes()[:-1])

        def extra(path):
            (path.parent / "stray.bin").write_bytes(b"x")

        cases = [
            (drop, "missing: "),
            (flip, "different: "),
            (cut, "different: "),
            (extra, "extra: "),
        ]
        for mode, rel in (("medium", medium), ("folder", folder)):
            for spoil, kind in cases:
                with self.subTest(mode=mode, spoil=spoil.__name__):
                    self.target = Path(tempfile.mkdtemp(dir=self.work))
                    write_tree(self.trees[mode], self.target)
                    # Version and dealer files are never extra.
                    (self.target / "dealercode_TSR-0007.txt").write_bytes(b"TSR-0007")
                    (self.target / "TS_C13_COMMON.ver").write_bytes(b"+|x|y|z|w|v|0\n")
                    if mode == "folder":
                        (self.target / "TS_C13_COMMON" / "folder.kestrune").write_bytes(b"")
                    self.assertEqual([], self.problems(mode))
                    spoil(self.target / rel)
                    found = self.problems(mode)
                    self.assertEqual(1, len(found), found)
                    self.assertTrue(found[0].startswith(kind), found)
                    self.assertIn("stray.bin" if spoil is extra else rel, found[0])

    def test_complete_version_file_lists_only_files_present(self):
        write_tree(self.trees["medium"], self.target)
        e = self.trees["medium"]["INFO/version.txt"]
        crc = e.crc - (1 << 32) if e.crc >= 1 << 31 else e.crc   # written as a signed number
        ver = self.target / "TS_C13_COMMON.ver"
        good = "INFO|version.txt|1|%d|%d|1\n" % (crc, e.size)
        cases = [
            # head, entry lines, problems
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", good, 0),
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", good.replace("version.txt", "gone.txt"), 1),
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", good.replace("|%d|1\n" % e.size, "|%d|1\n" % (e.size + 1)), 1),
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", "INFO|version.txt|1|%d|%d|1\n" % (crc ^ 1, e.size), 1),
            # Not complete: the list may name what is not there yet.
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|0", good.replace("version.txt", "gone.txt"), 0),
            ("*|2024.06.01|KOR|TS|TS_C13_COMMON|1", good.replace("version.txt", "gone.txt"), 1),
            # A package reaches the medium as its folders, checked with the tree.
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", good + "HTML|HTML.exe|1|5|2267|1\n", 0),
        ]
        for head, lines, count in cases:
            with self.subTest(head=head, lines=lines):
                ver.write_bytes((head + "\n" + lines).encode("utf-8"))
                found = self.problems("medium")
                self.assertEqual(count, len(found), found)

    def test_versions_only_judges_a_tree_caught_mid_run(self):
        # Half a medium and a stray file: only the version files count.
        e = self.trees["medium"]["INFO/version.txt"]
        (self.target / "INFO").mkdir()
        (self.target / "INFO/version.txt").write_bytes(bytes_of(e.source))
        (self.target / "stray.bin").write_bytes(b"x")
        ver = self.target / "TS_C13_COMMON.ver"
        crc = e.crc - (1 << 32) if e.crc >= 1 << 31 else e.crc
        present = "INFO|version.txt|1|%d|%d|1\n" % (crc, e.size)
        missing = "MAP|C13MAP1.IDX|1|5|10|1\n"
        cases = [
            # head, entry lines, problems
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", present, 0),
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|1", present + missing, 1),
            ("+|2024.06.01|KOR|TS|TS_C13_COMMON|C13|0", present + missing, 0),
        ]
        for head, lines, count in cases:
            with self.subTest(head=head, lines=lines):
                ver.write_bytes((head + "\n" + lines).encode("utf-8"))
                versions, found = check_medium.check_versions(self.target, "medium")
                self.assertEqual(["TS_C13_COMMON.ver"], versions)
                self.assertEqual(count, len(found), found)

if __name__ == "__main__":
    unittest.main()
