import json
import unittest

from standin.crypto import encode_value, encrypt_text
from standin.tests.helpers import StandInCase, query

GUID = "C0FFEE00-5EED-4B1D-8A11-000000000001"


def login(user="", corp="TS", password="", region="KR", guid=GUID, kind="U"):
    return {"D1": user, "D2": corp, "D3": password, "D4": region, "D5": guid, "D6": kind}


def stamp():
    return "20240501120000"


class ApiServer(StandInCase):
    def test_guid(self):
        self.assertEqual("200|" + GUID, self.api("/api/GetGUID", {"D1": "KR"}))
        entry = self.last(endpoint="GetGUID")
        self.assertEqual({"D1": "KR"}, entry["params"])
        self.assertEqual([], entry["errors"])
        self.assertEqual("https", entry["scheme"])

    def test_member_login_lists_the_account_vehicles(self):
        fields = self.api("/api/ChkRegist", login("ts.member", password="Tessaly#2024")).split("#!#")
        self.assertEqual(19, len(fields))
        code, first, second, *vehicles = fields[1].split("|")
        self.assertEqual(("200", "김민수", ""), (code, first, second))
        self.assertEqual(["TS_A01_COMMON.inf@TS_A01_MODEL.inf$1", "TS_B02.inf$0"], vehicles)
        self.assertEqual(self.s.url("content", "/inf"), fields[4])
        self.assertEqual(["TS$아덴|아덴 내비게이션|9|Y", "TS$벨몬트|벨몬트 오디오|5|N"], fields[5].split("|*|"))
        for f in (5, 6, 8, 10, 12, 13, 14, 15, 16, 17):
            self.assertEqual(2, len(fields[f].split("|*|")), "field %d" % f)
        self.assertEqual(["A01|A02", "B02"], fields[15].split("|*|"))
        self.assertEqual("", fields[18])
        # What the pages fetch next is served where the reply says.
        for name, url in ((fields[6].split("|*|")[0], fields[7]), (fields[10].split("|*|")[0], fields[11])):
            status, r, body = self.fetch((url + "/" + name).split(self.s.address, 1)[1])
            self.assertEqual((200, b"\x89PNG"), (status, body[:4]))
        status, _, inf = self.fetch(fields[4].split(self.s.address, 1)[1] + "/TS_B02.inf")
        self.assertEqual(200, status)
        self.assertTrue(inf.startswith(b"# TS_B02.inf") and b"\r\n[HEAD]\r\n" in inf)

    def test_dealer_login_carries_the_dealer_code(self):
        fields = self.api("/api/ChkRegist", login("ts.dealer", password="Dealer#2024", kind="D")).split("#!#")
        self.assertEqual("200", fields[1].split("|")[0])
        self.assertEqual("TSD-0042", fields[18])

    def test_guest_catalogue_and_non_member_login(self):
        catalogue = "D1=&D2=%s&D3=&D4=%s&D5=%s&D6=" % (encode_value("TS"), encode_value("US"), encode_value(GUID))
        status, _, body = self.fetch("/api/ChkRegist?" + catalogue)
        fields = body.decode("utf-8").split("#!#")
        self.assertEqual("200||", fields[1].split("|TS_A01")[0])
        self.assertEqual(["TS_A01_COMMON.inf@TS_A01_MODEL.inf$1"], fields[1].split("|")[3:])
        entry = self.last(endpoint="ChkRegist")
        self.assertEqual(("catalogue", ["D1", "D3", "D6"], []), (entry["login"], entry["plain"], entry["errors"]))
        fields = self.api("/api/ChkRegist", login(region="KR")).split("#!#")
        self.assertEqual(["TS_A01_COMMON.inf@TS_A01_MODEL.inf$1", "TS_B02.inf$0"], fields[1].split("|")[3:])
        self.assertEqual("non-member", self.last(endpoint="ChkRegist")["login"])

    def test_refusals(self):
        cases = [(login("refuse.%d" % c, corp=corp, password="refuse", region=region), c)
                 for c, corp, region in [(400, "TS", "KR"), (402, "LV", "US"), (403, "DR", "EU"), (405, "TS", "RU"),
                                         (406, "TS", "KR"), (407, "TS", "KR"), (408, "TS", "KR"), (409, "TS", "KR"),
                                         (423, "TS", "KR"), (430, "TS", "KR"), (500, "TS", "KR"), (700, "TS", "KR"),
                                         (900, "TS", "KR"), (901, "TS", "KR"), (902, "TS", "KR"), (903, "TS", "KR")]]
        cases += [
            (login("ts.member", password="wrong"), 401),
            (login("ts.member", password="Tessaly#2024", region="US"), 401),   # the account lives in KR
            (login("nobody", password="x"), 401),
            (login("ts.member", password="Tessaly#2024", kind="D"), 400),      # no dealer authority
            (login("ts.bound", password="Tessaly#2024", guid="OTHER-GUID"), 430),
            (login("ts.member", password="Tessaly#2024", kind="X"), 500),
            (login("ts.member", corp="XX", password="Tessaly#2024"), 500),
            (login("ts.member", password="Tessaly#2024", guid=""), 500),
        ]
        for values, code in cases:
            with self.subTest(values=values):
                fields = self.api("/api/ChkRegist", values).split("#!#")
                self.assertEqual(2, len(fields))
                pieces = fields[1].split("|")
                self.assertEqual([str(code), ""], pieces[:2])
                self.assertTrue(pieces[2])
        pieces = self.api("/api/ChkRegist", login("refuse.904", password="refuse")).split("#!#")[1].split("|")
        self.assertEqual(["904", self.s.url("api", "/web/authority")], pieces[:2])

    def test_account_results_follow_their_sequence(self):
        values = login("ts.retry900", password="Tessaly#2024")
        codes = [self.api("/api/ChkRegist", values).split("#!#")[1].split("|")[0] for _ in range(3)]
        self.assertEqual(["900", "200", "200"], codes)

    def test_no_vehicles_answer_200_with_empty_lists(self):
        for values in (login("ts.novehicle", password="Tessaly#2024"), login(corp="LV", region="KR")):
            fields = self.api("/api/ChkRegist", values).split("#!#")
            self.assertEqual(19, len(fields))
            self.assertEqual("200", fields[1].split("|")[0])
            self.assertEqual([""] * 14, [f for i, f in enumerate(fields) if i >= 2 and i not in (4, 7, 11)])

    def test_badly_encoded_values_are_refused_and_logged(self):
        good = query(login("ts.member", password="Tessaly#2024"))
        bad = good.replace(encode_value("ts.member"), encrypt_text("ts.member"))   # Base64 without encoding
        status, _, body = self.fetch("/api/ChkRegist?" + bad)
        self.assertTrue(body.decode().startswith("STANDIN#!#500|"))
        self.assertTrue(self.last(endpoint="ChkRegist")["errors"][0].startswith("D1: "))
        reordered = "&".join(reversed(good.split("&")))
        self.fetch("/api/ChkRegist?" + reordered)
        entry = self.last(endpoint="ChkRegist")
        self.assertEqual((200, []), (entry["result"], entry["errors"]))
        self.assertIn("order", entry["warnings"][0])

    def test_regional_twin_serves_the_same_api(self):
        fields = self.api("/api/ChkRegist", login("dr.ru", corp="DR", password="Dravane#2024", region="RU"),
                          role="api_ru").split("#!#")
        self.assertEqual(["200", "Dmitri Orlov", "", "DR_D20.inf$1"], fields[1].split("|"))
        entry = self.last(endpoint="ChkRegist")
        self.assertEqual(("api_ru", self.s.twin), (entry["role"], entry["host"]))

    def test_language_list(self):
        self.assertEqual("200|*|KR$KO$EN|*|US$EN$ES|*|CA$EN$F1|*|EU$E1$DE$FR$IT$E2$PT$RU$TR|*|RU$RU$EN|*|AU$EN",
                         self.api("/api/GetLanguage", {"D1": GUID}))
        self.assertEqual({"D1": GUID}, self.last(endpoint="GetLanguage")["params"])

    def test_download_check_and_consent_reports(self):
        check = {"D1": "ts.member", "D2": "TS", "D3": "Arden Navigation", "D4": "TS_A01_COMMON.inf", "D5": "M",
                 "D6": "A01", "D7": "KR", "D8": GUID, "D9": "win", "D10": "10.0.0", "D11": "KST", "D12": stamp()}
        self.assertEqual("STANDIN#!#200|*|OK", self.api("/api/ChkDown", check))
        entry = self.last(endpoint="ChkDown")
        self.assertEqual((check, [], []), (entry["params"], entry["errors"], entry["warnings"]))
        self.assertTrue(self.api("/api/ChkDown", dict(check, D9="linux")).startswith("STANDIN#!#500|*|D9"))
        consent = {"D1": "ts.member", "D2": "TS", "D3": "KR", "D4": GUID, "D5": "Y", "D6": "N", "D7": "Y",
                   "D8": stamp()}
        self.assertEqual("STANDIN#!#200|*|OK", self.api("/api/chkPrivate", consent))
        self.assertEqual("STANDIN#!#200|*|OK", self.api("/api/chkPrivate", dict(consent, D2="")))
        self.assertTrue(self.api("/api/chkPrivate", dict(consent, D7="N")).startswith("STANDIN#!#500|*|D7"))

    def test_error_log_upload(self):
        body = {m: "" for m in ["ClientID", "ClientVer", "DeviceMCode", "DeviceName", "ErrorLog", "INFPath",
                                "Language", "LastCode", "LocalTime", "NewMapVer", "NewSWVer", "OSType", "OSVer",
                                "OldMapVer", "OldSWVer", "Region"]}
        body.update(Corporate=encrypt_text("TS"), UserType=encrypt_text("guest"),
                    UserID=encrypt_text("nonmembers"), ErrorLog="[D:0,T:10:00:00.000]")
        text = json.dumps(body, indent=3).encode("utf-8")
        status, _, reply = self.fetch("/api/SetDownErrorLog", method="POST", body=text,
                                      headers={"Content-Type": "application/json;"})
        self.assertEqual((200, b"200"), (status, reply))
        entry = self.last(endpoint="SetDownErrorLog")
        self.assertEqual({"Corporate": "TS", "UserType": "guest", "UserID": "nonmembers"}, entry["decrypted"])
        self.assertEqual(([], []), (entry["errors"], entry["warnings"]))
        status, _, _ = self.fetch("/api/SetDownErrorLog", method="POST", body=b"{not json")
        self.assertEqual(400, status)

    def test_notices(self):
        cases = [("KR/TS/KO", "<title>지도 업데이트 안내</title>", "notice"),
                 ("US/LV/EN", "<resultYn>N</resultYn>", "fail"),
                 ("EU/DR/EN", "<title>Map update 2024 is available</title>", "notice"),
                 ("KR//KO", "<exMessage>No notice</exMessage>", "none")]
        for where, expected, kind in cases:
            with self.subTest(where):
                status, r, body = self.fetch("/api/%s/GetNotice" % where)
                self.assertEqual(200, status)
                self.assertIn(expected, body.decode("utf-8"))
                self.assertEqual(kind, self.last(endpoint="GetNotice")["result"])

    def test_each_host_answers_only_its_own_paths(self):
        cases = [("update", "/api/GetGUID?D1=x", 404), ("vcrm", "/api/GetGUID?D1=x", 404),
                 ("api", "/offlinevcrm/data.do", 404), ("api", "/api/SetDownErrorLog", 405),
                 ("vcrm", "/offlinevcrm/data.do", 405), ("update", "/web/update/TS/KR/KO/csCenter", 200)]
        for role, path, status in cases:
            with self.subTest(role=role, path=path):
                self.assertEqual(status, self.fetch(path, role)[0])

    def test_config_names_the_instance(self):
        cfg = json.loads((self.s.state / "config.json").read_text(encoding="utf-8"))
        self.assertEqual(self.s.config, cfg)
        self.assertEqual((self.s.address, self.s.twin, "https://" + self.s.address),
                         (cfg["API_HOST"], cfg["API_HOST_RU"], cfg["LIVEUPDATE_URL"]))
        self.assertEqual((32, 16), (len(cfg["VCRM_AES_KEY"]), len(cfg["VCRM_AES_IV"])))
        self.assertTrue(all(isinstance(v, str) for v in cfg.values()))


if __name__ == "__main__":
    unittest.main()
