import unittest

from standin import crypto

# Computed with the openssl command-line tool (an implementation independent
# of the one the stand-in uses): AES-128-CBC, key "7352HarborTundra", IV
# "Finder6143meadow", PKCS#7 padding, Base64.
REQUEST_VECTORS = [
    ("", "/nTAn5ZS4TlgJ6PGAL2z1g=="),
    ("KR", "uKLn88P6Cx719/L23D6zjA=="),
    ("0123456789abcdef", "jb9AYbdtm4OpMM7a3lTz0SK4QQqIjOnnhzDGOBU+w2Y="),
    ("nonmembers", "zlu5iVhYS0YyhzfeBEupoQ=="),
    ("아덴 내비", "ZVhFtVNMqTYM0cxxySz6EA=="),
    ("Pass word+/=?", "nrT1hdFEzgNlVgILpi55Zw=="),
]
# The same tool with AES-256-CBC and the stand-in's vehicle-data test key and IV.
VCRM_VECTORS = [("01", "w8009xwT5ZvNlBiMBM3sLw=="), ("1.0.0", "Z5V8aEJJVo0urkhmDK0MRA=="),
                ("05", "/FXN3bqWWKkSlyxjH/nOig==")]


class KnownAnswers(unittest.TestCase):
    def test_request_values_decrypt_from_their_query_form(self):
        for text, b64 in REQUEST_VECTORS:
            with self.subTest(text=text):
                raw = crypto.strict_quote(b64.encode("ascii"))
                self.assertNotIn("+", raw)
                self.assertNotIn("/", raw)
                self.assertEqual(text, crypto.decode_value(raw))
                self.assertEqual(b64, crypto.encrypt_text(text))

    def test_vehicle_data_values(self):
        for text, b64 in VCRM_VECTORS:
            with self.subTest(text=text):
                raw = crypto.strict_quote(b64.encode("ascii"))
                self.assertEqual(text, crypto.decode_value(raw, crypto.VCRM_KEY, crypto.VCRM_IV))

    def test_a_value_under_the_other_key_is_refused(self):
        raw = crypto.strict_quote(VCRM_VECTORS[0][1].encode("ascii"))
        with self.assertRaises(crypto.DecodeError):
            crypto.decode_value(raw)


class StrictDecoding(unittest.TestCase):
    def test_what_the_program_never_sends_is_refused(self):
        good = crypto.strict_quote(b"uKLn88P6Cx719/L23D6zjA==")
        self.assertEqual("uKLn88P6Cx719%2FL23D6zjA%3D%3D", good)
        cases = [
            ("uKLn88P6Cx719/L23D6zjA%3D%3D", "raw slash"),
            ("uKLn88P6Cx719%2FL23D6zjA==", "raw equals"),
            ("a+b", "raw plus"),
            ("uKLn88P6Cx719%2fL23D6zjA%3D%3D", "lower-case hex"),
            ("abc%2", "cut percent group"),
            ("abc%G1", "not hex"),
            ("caf\u00e9", "non-ASCII"),
            ("a%20b", "decodes to a non-Base64 text"),
            ("QUJD", "not a whole block"),
        ]
        for raw, why in cases:
            with self.subTest(why):
                with self.assertRaises(crypto.DecodeError):
                    crypto.decode_value(raw)

    def test_split_query_keeps_order_empty_values_and_bare_names(self):
        self.assertEqual([("D1", ""), ("D10", "x"), ("D2", None)], crypto.split_query("D1=&D10=x&D2"))
        self.assertEqual([], crypto.split_query(""))


if __name__ == "__main__":
    unittest.main()
