"""Value ciphers and the strict percent-encoding of the service's query strings.

Every web-service value travels as: text -> UTF-8 -> AES-128-CBC (PKCS#7) with
the program's request-value key -> Base64 -> strict percent-encoding. The
vehicle-data service uses AES-256-CBC with its own key and IV instead.
"""
import base64

from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

# The program's constants: AES-128 reads only the first 16 bytes of the key text.
REQUEST_KEY = b"7352HarborTundra@WKZE"[:16]
REQUEST_IV = b"Finder6143meadow"

# Test values of the vehicle-data service (the deployment's are configuration,
# handed to the program through config.json).
VCRM_KEY = b"KestruneStandInVehicleDataKey32!"
VCRM_IV = b"StandInVcrmIV16!"

_STRICT = frozenset(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._")
_HEX_UPPER = "0123456789ABCDEF"


class DecodeError(ValueError):
    """A query value that the program could not have produced."""


def strict_quote(data: bytes) -> str:
    """The program's strict urlEncode: letters, digits, "-", "." and "_" stay."""
    return "".join(chr(b) if b in _STRICT else "%%%02X" % b for b in data)


def strict_unquote(text: str) -> bytes:
    """Inverse of strict_quote that refuses what the program never sends.

    A lenient decoder would read a raw "+" as a blank or accept a lone "%",
    hiding exactly the encoding faults the tests are meant to catch.
    """
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "%":
            group = text[i + 1:i + 3]
            if len(group) != 2 or any(h not in _HEX_UPPER for h in group):
                raise DecodeError("bad percent group %r at %d" % (text[i:i + 3], i))
            out.append(int(group, 16))
            i += 3
        elif ord(c) < 128 and ord(c) in _STRICT:
            out.append(ord(c))
            i += 1
        else:
            raise DecodeError("character %r must be percent-encoded" % c)
    return bytes(out)


def _cipher(key: bytes, iv: bytes) -> Cipher:
    algorithm = algorithms.AES(key)
    return Cipher(algorithm, modes.CBC(iv))


def encrypt_text(text: str, key: bytes = REQUEST_KEY, iv: bytes = REQUEST_IV) -> str:
    """Base64 of the AES-CBC ciphertext of the text's UTF-8 bytes."""
    padder = padding.PKCS7(128).padder()
    data = padder.update(text.encode("utf-8")) + padder.finalize()
    enc = _cipher(key, iv).encryptor()
    return base64.b64encode(enc.update(data) + enc.finalize()).decode("ascii")


def decrypt_text(b64: str, key: bytes = REQUEST_KEY, iv: bytes = REQUEST_IV) -> str:
    try:
        data = base64.b64decode(b64.encode("ascii"), validate=True)
    except (ValueError, UnicodeEncodeError) as e:
        raise DecodeError("not Base64: %s" % e) from None
    if not data or len(data) % 16:
        raise DecodeError("ciphertext of %d bytes is not a whole number of blocks" % len(data))
    dec = _cipher(key, iv).decryptor()
    plain = dec.update(data) + dec.finalize()
    unpadder = padding.PKCS7(128).unpadder()
    try:
        plain = unpadder.update(plain) + unpadder.finalize()
    except ValueError:
        raise DecodeError("bad padding (wrong key or IV?)") from None
    try:
        return plain.decode("utf-8")
    except UnicodeDecodeError:
        raise DecodeError("plain text is not UTF-8") from None


def encode_value(text: str, key: bytes = REQUEST_KEY, iv: bytes = REQUEST_IV) -> str:
    """A value exactly as it stands in the program's query string."""
    return strict_quote(encrypt_text(text, key, iv).encode("ascii"))


def decode_value(raw: str, key: bytes = REQUEST_KEY, iv: bytes = REQUEST_IV) -> str:
    """Strict percent-decoding, Base64, AES-CBC: the clear text of a query value."""
    return decrypt_text(strict_unquote(raw).decode("ascii"), key, iv)


def split_query(query: str):
    """The (name, raw value) pairs of a query string, in order, values undecoded."""
    if not query:
        return []
    pairs = []
    for part in query.split("&"):
        name, sep, value = part.partition("=")
        pairs.append((name, value if sep else None))
    return pairs
