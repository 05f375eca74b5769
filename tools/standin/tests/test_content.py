import http.client
import io
import os
import socket
import struct
import subprocess
import sys
import time
import unittest
import zipfile
import zlib
from pathlib import Path

from standin.tests.helpers import StandInCase

MAPDATA = "/contents/pkg/TS_A01_COMMON/MAP/MAPDATA.zip"


def parse_inf(text: str):
    """Head and entries of a descriptor, read the simple way the format allows."""
    sections = []
    for line in text.split("\r\n"):
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("[") and "]" in line:
            sections.append({})
        elif sections:
            key, _, value = line.partition("=")
            sections[-1][key.strip().upper()] = value.split("=")[0].replace('"', "").strip()
    return sections[0], sections[1:]


def read_split(volumes):
    """Entries (name, data) of a split archive, read by the volume rules of the
    program's zip reader: records never cross volumes, entry data may, and
    offsets count within their volume. Written apart from the stand-in's writer."""
    last = volumes[-1]
    at = last.rfind(b"PK\x05\x06")
    _, this, cd_volume, _, total, _, cd_offset, _ = struct.unpack("<IHHHHIIH", last[at:at + 22])
    assert this == len(volumes) - 1, "end record names volume %d of %d" % (this, len(volumes))

    class Cursor:
        def __init__(self, volume, offset):
            self.v, self.o = volume, offset

        def read(self, n, record=False):
            if record:
                if self.o == len(volumes[self.v]):
                    self.v, self.o = self.v + 1, 0
                assert self.o + n <= len(volumes[self.v]), "record crosses volume %d" % self.v
            out = b""
            while len(out) < n:
                if self.o == len(volumes[self.v]):
                    self.v, self.o = self.v + 1, 0
                take = volumes[self.v][self.o:self.o + n - len(out)]
                out += take
                self.o += len(take)
            return out

    entries = []
    cd = Cursor(cd_volume, cd_offset)
    for _ in range(total):
        h = struct.unpack("<IHHHHHHIIIHHHHHII", cd.read(46, True))
        assert h[0] == 0x02014B50
        name = cd.read(h[10], True).decode("ascii")
        crc, csize, size, volume, offset = h[7], h[8], h[9], h[13], h[16]
        local = Cursor(volume, offset)
        lh = struct.unpack("<IHHHHHIIIHH", local.read(30, True))
        assert lh[0] == 0x04034B50 and local.read(lh[9], True).decode("ascii") == name
        raw = local.read(csize)
        data = zlib.decompress(raw, -15) if h[4] == 8 else raw
        assert len(data) == size and zlib.crc32(data) == crc, name
        entries.append((name, data))
    return entries


class Packages(StandInCase):
    def get(self, url: str) -> bytes:
        status, _, body = self.fetch(url.split(self.s.address, 1)[1])
        self.assertEqual(200, status, url)
        return body

    def test_descriptors_describe_the_packages_served(self):
        kinds = set()
        for inf in ("TS_A01_COMMON.inf", "TS_A01_MODEL.inf", "LV_C10.inf", "DR_D20.inf"):
            head, entries = parse_inf(self.get(self.s.url("content", "/inf/" + inf)).decode("ascii"))
            for e in entries:
                folder = head["ROOT_URL"] + "/" + e["FILEINFO_PATH"].replace("$COMMON_PATH$", head["COMMON_PATH"])
                count, name = int(e["AG_NUMSPAN"]), e["AG_FILENAME"]
                with self.subTest(inf=inf, file=name):
                    if count == 0:
                        kinds.add("package" if name.endswith(".exe") else "file")
                        data = self.get(folder + "/" + name)
                        if name.endswith(".exe"):
                            self.assertIsNone(zipfile.ZipFile(io.BytesIO(data)).testzip())
                        last = (name, data)
                    else:
                        stem = e["AG_ZIPNAME"][:-4]
                        names = [e["AG_ZIPNAME"]] if count == 1 else ["%s%03d.zip" % (stem, n + 1) for n in range(count)]
                        volumes = [self.get(folder + "/" + n) for n in names]
                        self.assertEqual(int(e["AG_ZIPSIZE"]), sum(map(len, volumes)))
                        if count == 1:
                            kinds.add("zip")
                            z = zipfile.ZipFile(io.BytesIO(volumes[0]))
                            self.assertIsNone(z.testzip())
                            last = (z.infolist()[-1].filename, z.read(z.infolist()[-1]))
                            self.assertTrue(any(i.filename.count("/") >= 3 for i in z.infolist()))
                        else:
                            kinds.add("split")
                            self.assertTrue(volumes[0].startswith(b"PK\x07\x08"))
                            self.assertEqual(int(head["SPLIT_FILE_SIZE"]), len(volumes[0]))
                            last = read_split(volumes)[-1]
                    self.assertEqual(name, last[0])
                    self.assertEqual((int(e["AG_FILESIZE"]), int(e["AG_FILECRC"])), (len(last[1]), zlib.crc32(last[1])))
        self.assertEqual({"file", "package", "zip", "split"}, kinds)

    def test_self_update_list_and_files(self):
        status, _, body = self.fetch("/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/UpdateInfo.txt?",
                                     "update")
        lines = body.decode("ascii").split("\r\n")
        self.assertEqual("", lines[-1])
        self.assertTrue(lines[0].startswith("00012|/Kestrune.exe|"))
        for line in lines[:-1]:
            version, path, size, crc = line.split("|")
            _, _, data = self.fetch("/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN" + path, "update")
            self.assertEqual((int(size), int(crc)), (len(data), zlib.crc32(data)), path)
        # The same folder over HTTPS on the api host.
        self.assertEqual((200, body), self.fetch("/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/"
                                                 "UpdateInfo.txt", "api")[::2])


class Ranges(StandInCase):
    def test_ranges(self):
        _, _, whole = self.fetch(MAPDATA)
        n = len(whole)
        cases = [(None, 200, None, whole), ("bytes=0-", 206, "bytes 0-%d/%d" % (n - 1, n), whole),
                 ("bytes=100-", 206, "bytes 100-%d/%d" % (n - 1, n), whole[100:]),
                 ("bytes=%d-" % (n - 1), 206, "bytes %d-%d/%d" % (n - 1, n - 1, n), whole[-1:]),
                 ("bytes=%d-" % n, 416, "bytes */%d" % n, b""), ("bytes=%d-" % (n + 9), 416, "bytes */%d" % n, b""),
                 ("pages=1-", 200, None, whole)]
        for role in ("api", "update"):
            for header, status, content_range, body in cases:
                with self.subTest(role=role, range=header):
                    got, r, data = self.fetch(MAPDATA, role, headers={"Range": header} if header else {})
                    self.assertEqual((status, content_range, str(len(body)), body),
                                     (got, r.getheader("Content-Range"), r.getheader("Content-Length"), data))
        status, r, data = self.fetch(MAPDATA, method="HEAD")
        self.assertEqual((200, str(n), b""), (status, r.getheader("Content-Length"), data))


class Faults(StandInCase):
    def raw_get(self, path, timeout=5, headers=""):
        """Everything the update server sends for a GET, and how the connection ended."""
        sock = socket.create_connection((self.s.address, 80), timeout=timeout)
        sock.sendall(("GET %s HTTP/1.1\r\nHost: %s\r\n%s\r\n" % (path, self.s.address, headers)).encode())
        data, end = b"", "closed"
        try:
            while True:
                chunk = sock.recv(65536)
                if not chunk:
                    break
                data += chunk
        except ConnectionResetError:
            end = "reset"
        except socket.timeout:
            end = "timeout"
        finally:
            sock.close()
        head, _, body = data.partition(b"\r\n\r\n")
        return head.decode("latin-1"), body, end

    def test_switches(self):
        _, _, whole = self.fetch(MAPDATA)
        n = len(whole)
        cases = [
            ({"no_length": True}, "200 OK", False, whole, "closed"),
            ({"cut": 1000}, "200 OK", True, whole[:1000], "closed"),
            ({"reset": 1000}, "200 OK", True, whole[:1000], "reset"),
            ({"ignore_range": True}, "200 OK", True, whole, "closed"),
            ({"status": 404}, "404 Not Found", True, b"", "closed"),
            ({"status": 500, "body": "busy"}, "500 Internal Server Error", True, b"busy", "closed"),
            ({"status": 416}, "416 Requested Range Not Satisfiable", True, b"", "closed"),
            ({"empty": True}, "200 OK", True, b"", "closed"),
            ({"drop": True}, None, False, b"", "closed"),
            ({"stall": 3, "stall_after": 100}, "200 OK", True, whole[:100], "timeout"),
            ({"stall": 3, "stall_after": -1}, None, False, b"", "timeout"),
            ({"range_back": 4}, "206 Partial Content", True, whole[6:], "closed"),
            ({"endless": 70000}, "200 OK", False, b"x" * 70000, "closed"),
        ]
        for rule, status_line, has_length, body, end in cases:
            with self.subTest(rule=rule):
                self.s.set_faults([dict(rule, path="/contents/pkg/*/MAP/*.zip")])
                ranged = "ignore_range" in rule or "range_back" in rule
                extra = "Connection: close\r\n" + ("Range: bytes=10-\r\n" if ranged else "")
                head, got, how = self.raw_get(MAPDATA, timeout=1, headers=extra)
                if status_line is None:
                    self.assertEqual("", head)
                else:
                    self.assertTrue(head.startswith("HTTP/1.1 " + status_line), head[:40])
                self.assertEqual(has_length, "Content-Length" in head)
                if has_length and rule.get("status") is None and not rule.get("empty") and not ranged:
                    self.assertIn("Content-Length: %d" % n, head)
                self.assertEqual((body, end), (got, how))
                self.assertEqual(rule, {k: v for k, v in self.last(path=MAPDATA)["fault"].items() if k != "path"})

    def test_reset_over_tls(self):
        self.s.set_faults([{"path": MAPDATA, "reset": 5000}])
        c = self.connection("api")
        c.request("GET", MAPDATA)
        r = c.getresponse()
        with self.assertRaises((ConnectionResetError, http.client.IncompleteRead, OSError)):
            r.read()
        c.close()

    def test_times_and_rate(self):
        self.s.set_faults([{"path": MAPDATA, "status": 500, "times": 1}, {"path": MAPDATA, "rate": 100000}])
        self.assertEqual(500, self.fetch(MAPDATA)[0])
        begun = time.monotonic()
        status, _, body = self.fetch(MAPDATA)
        self.assertEqual(200, status)
        self.assertGreaterEqual(time.monotonic() - begun, len(body) / 100000 * 0.8)

    def test_bad_rules_are_refused_and_a_broken_file_keeps_the_rules(self):
        with self.assertRaises(ValueError):
            self.s.add_fault({"path": MAPDATA, "reset": "10"})
        self.s.set_faults([{"path": MAPDATA, "status": 503}])
        self.assertEqual(503, self.fetch(MAPDATA)[0])
        self.s.faults_path.write_text("[{")     # a writer that does not replace the file in one step
        self.assertEqual(503, self.fetch(MAPDATA)[0])

    def test_rules_written_by_another_process_apply_at_once(self):
        tools = Path(__file__).resolve().parents[2]
        subprocess.run([sys.executable, str(tools / "standin"), "fault", "--state", str(self.s.state),
                        '{"path": "/api/GetGUID", "status": 503}'], check=True, stdout=subprocess.DEVNULL)
        self.assertEqual(503, self.fetch("/api/GetGUID")[0])
        subprocess.run([sys.executable, str(tools / "standin"), "fault", "--state", str(self.s.state), "--clear"],
                       check=True, stdout=subprocess.DEVNULL)
        self.assertEqual(200, self.fetch("/api/GetGUID")[0])


if __name__ == "__main__":
    unittest.main()
