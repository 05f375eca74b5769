"""A stand-in instance per test class and a small HTTP(S) client for it."""
import http.client
import ssl
import unittest

from standin import StandIn
from standin.crypto import encode_value


def query(values: dict, **kw) -> str:
    """The program's query string: names in code-unit order, values encrypted."""
    return "&".join("%s=%s" % (k, encode_value(v, **kw)) for k, v in sorted(values.items()))


class StandInCase(unittest.TestCase):
    scenario = None
    package_size = None

    @classmethod
    def setUpClass(cls):
        cls.s = StandIn(scenario=cls.scenario, package_size=cls.package_size).start()
        cls.tls = ssl.create_default_context(cafile=str(cls.s.ca.cert_pem))

    @classmethod
    def tearDownClass(cls):
        cls.s.stop()

    def setUp(self):
        self.s.clear_faults()

    def connection(self, role="api", timeout=10):
        host = self.s.twin if role == "api_ru" else self.s.address
        if role == "update":
            return http.client.HTTPConnection(host, 80, timeout=timeout)
        return http.client.HTTPSConnection(host, 8443 if role == "vcrm" else 443, timeout=timeout,
                                           context=self.tls)

    def fetch(self, path, role="api", method="GET", headers=None, body=None):
        """(status, headers, body) of one request on a fresh connection."""
        c = self.connection(role)
        try:
            c.request(method, path, body=body, headers=headers or {})
            r = c.getresponse()
            return r.status, r, r.read()
        finally:
            c.close()

    def api(self, path, values: dict, role="api"):
        status, _, body = self.fetch("%s?%s" % (path, query(values)), role)
        self.assertEqual(200, status)
        return body.decode("utf-8")

    def last(self, **match):
        entries = self.s.requests(**match)
        self.assertTrue(entries, "no logged request matches %r" % match)
        return entries[-1]
