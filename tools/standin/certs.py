"""The stand-in's certificate authority and the server certificates it issues.

The CA and one server key are made once per build tree; each instance gets a
fresh certificate for the loopback addresses it bound. Every address is named
twice in the subject alternative names: as an IP address (what TLS libraries
match) and as a DNS name (Wine's crypt32 matches host names against DNS
entries only, so an IP-only certificate fails there with a wrong-name error).
"""
import datetime
import fcntl
import ipaddress
import os
from dataclasses import dataclass
from pathlib import Path

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

CA_NAME = "Kestrune Stand-in Test CA"


@dataclass
class CaFiles:
    folder: Path
    cert_pem: Path
    cert_der: Path
    key_pem: Path
    server_key_pem: Path


def _files(folder: Path) -> CaFiles:
    return CaFiles(folder, folder / "ca.pem", folder / "ca.der", folder / "ca.key",
                   folder / "server.key")


def _write_atomic(path: Path, data: bytes):
    tmp = path.with_name(path.name + ".tmp%d" % os.getpid())
    tmp.write_bytes(data)
    os.replace(tmp, path)


def _key_pem(key) -> bytes:
    return key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                             serialization.NoEncryption())


def ensure_ca(root: Path) -> CaFiles:
    """The CA of this build tree under root/ca, created on first use.

    Parallel test processes may all ask at once: creation runs under a lock
    and the files appear by rename, the certificate last.
    """
    files = _files(Path(root) / "ca")
    if files.cert_der.exists():
        return files
    files.folder.mkdir(parents=True, exist_ok=True)
    with open(files.folder / ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if files.cert_der.exists():
            return files
        now = datetime.datetime.now(datetime.timezone.utc)
        key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
        name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, CA_NAME),
                          x509.NameAttribute(NameOID.ORGANIZATION_NAME, "Kestrune tests")])
        cert = (x509.CertificateBuilder()
                .subject_name(name).issuer_name(name).public_key(key.public_key())
                .serial_number(x509.random_serial_number())
                .not_valid_before(now - datetime.timedelta(days=1))
                .not_valid_after(now + datetime.timedelta(days=3650))
                .add_extension(x509.BasicConstraints(ca=True, path_length=0), critical=True)
                .add_extension(x509.KeyUsage(digital_signature=True, key_cert_sign=True, crl_sign=True,
                                             content_commitment=False, key_encipherment=False,
                                             data_encipherment=False, key_agreement=False,
                                             encipher_only=False, decipher_only=False), critical=True)
                .add_extension(x509.SubjectKeyIdentifier.from_public_key(key.public_key()), critical=False)
                .sign(key, hashes.SHA256()))
        server_key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
        _write_atomic(files.key_pem, _key_pem(key))
        _write_atomic(files.server_key_pem, _key_pem(server_key))
        _write_atomic(files.cert_pem, cert.public_bytes(serialization.Encoding.PEM))
        _write_atomic(files.cert_der, cert.public_bytes(serialization.Encoding.DER))
    return files


def issue_server_cert(ca: CaFiles, addresses, out_pem: Path) -> Path:
    """Writes out_pem: a server certificate for the addresses, the CA, the key."""
    ca_cert = x509.load_pem_x509_certificate(ca.cert_pem.read_bytes())
    ca_key = serialization.load_pem_private_key(ca.key_pem.read_bytes(), password=None)
    server_key = serialization.load_pem_private_key(ca.server_key_pem.read_bytes(), password=None)
    now = datetime.datetime.now(datetime.timezone.utc)
    names = []
    for a in addresses:
        names.append(x509.IPAddress(ipaddress.ip_address(a)))
        names.append(x509.DNSName(a))
    cert = (x509.CertificateBuilder()
            .subject_name(x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, addresses[0])]))
            .issuer_name(ca_cert.subject).public_key(server_key.public_key())
            .serial_number(x509.random_serial_number())
            .not_valid_before(now - datetime.timedelta(days=1))
            .not_valid_after(now + datetime.timedelta(days=365))
            .add_extension(x509.SubjectAlternativeName(names), critical=False)
            .add_extension(x509.BasicConstraints(ca=False, path_length=None), critical=True)
            .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False)
            .add_extension(x509.AuthorityKeyIdentifier.from_issuer_public_key(ca_key.public_key()),
                           critical=False)
            .sign(ca_key, hashes.SHA256()))
    out_pem = Path(out_pem)
    out_pem.parent.mkdir(parents=True, exist_ok=True)
    _write_atomic(out_pem, cert.public_bytes(serialization.Encoding.PEM)
                  + ca_cert.public_bytes(serialization.Encoding.PEM) + _key_pem(server_key))
    return out_pem
