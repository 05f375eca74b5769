import hashlib
import unittest
from pathlib import Path

from standin import crypto, multipart
from standin.tests.helpers import StandInCase, query

BOUNDARY = "VELM_a1B2c3D4"
VCRM = {"key": crypto.VCRM_KEY, "iv": crypto.VCRM_IV}


def body_of(file_name: str, data: bytes) -> bytes:
    """The upload body exactly as the program writes it."""
    encoded = crypto.strict_quote(file_name.encode("utf-8"))
    head = ("--%s\r\nContent-Disposition: form-data; name=\"file\"; filename=\"%s\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n" % (BOUNDARY, encoded)).encode("ascii")
    return head + data + ("\r\n--%s--\r\n" % BOUNDARY).encode("ascii")


class VehicleDataUpload(StandInCase):
    def post(self, values, body, content_type="multipart/form-data; boundary=" + BOUNDARY):
        c = self.connection("vcrm")
        try:
            c.putrequest("POST", "/offlinevcrm/data.do?" + query(values, **VCRM))
            # The program adds its Content-Type line and passes it to the send call too.
            c.putheader("Content-Type", content_type)
            c.putheader("Content-Type", content_type)
            c.putheader("Content-Length", str(len(body)))
            c.endheaders(body)
            r = c.getresponse()
            return r.status, r.read()
        finally:
            c.close()

    def test_upload_is_parsed_decrypted_and_kept(self):
        data = bytes(range(256)) * 40 + b"\r\n--" + BOUNDARY.encode()[:-1]   # near-boundary bytes inside the file
        name = "차량 data 1.zip"
        status, reply = self.post({"msgCode": "01", "apiVersion": "1.0.7", "termCode": "05"}, body_of(name, data))
        self.assertEqual((200, b'{"resultCode":"200","resultMsg":"OK"}'), (status, reply))
        entry = self.last(endpoint="data.do")
        self.assertEqual({"apiVersion": "1.0.7", "msgCode": "01", "termCode": "05"}, entry["params"])
        self.assertEqual(([], "https", self.s.address + ":8443"), (entry["errors"], entry["scheme"], entry["server"]))
        [upload] = entry["upload"]
        self.assertEqual((name, "file", len(data), hashlib.sha256(data).hexdigest()),
                         (upload["filename"], upload["name"], upload["size"], upload["sha256"]))
        self.assertIn("%20", upload["filename_raw"])
        self.assertEqual(data, Path(upload["saved"]).read_bytes())

    def test_refused_uploads(self):
        good = {"msgCode": "01", "apiVersion": "1.0.7", "termCode": "05"}
        cases = [(dict(good, msgCode="02"), body_of("a.zip", b"x"), "msgCode"),
                 (dict(good, termCode="5"), body_of("a.zip", b"x"), "termCode"),
                 (good, body_of("a.zip", b"x")[:-20], "no closing boundary"),
                 (good, b"", "body does not start")]
        for values, body, why in cases:
            with self.subTest(why):
                status, _ = self.post(values, body)
                self.assertEqual(400, status)
                self.assertTrue(any(why in e for e in self.last(endpoint="data.do")["errors"]))
        # Values encrypted with the request-value key instead of the vehicle-data key.
        c = self.connection("vcrm")
        c.request("POST", "/offlinevcrm/data.do?" + query(good), body=body_of("a.zip", b"x"),
                  headers={"Content-Type": "multipart/form-data; boundary=" + BOUNDARY})
        self.assertEqual(400, c.getresponse().status)
        c.close()


class Parse(unittest.TestCase):
    def test_boundary_from_a_doubled_header(self):
        line = "multipart/form-data; boundary=VELM_x"
        self.assertEqual("VELM_x", multipart.boundary_of([line + ", " + line]))
        self.assertEqual("VELM_y", multipart.boundary_of(["text/plain", 'multipart/form-data; boundary="VELM_y"']))

    def test_tail_without_final_line_end(self):
        body = body_of("a.zip", b"abc")[:-2]
        parts, errors = multipart.parse(BOUNDARY, body)
        self.assertEqual(([], b"abc", "a.zip"), (errors, parts[0]["data"], parts[0]["filename"]))


if __name__ == "__main__":
    unittest.main()
