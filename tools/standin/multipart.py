"""The multipart/form-data bodies of the vehicle-data upload."""
import re

from .crypto import DecodeError, strict_unquote

_DISPOSITION = re.compile(r'form-data;\s*name="([^"]*)"(?:;\s*filename="([^"]*)")?\s*$', re.I)


def boundary_of(content_types) -> str:
    """The boundary of the first multipart Content-Type among the header's values.

    The program adds its Content-Type line and hands the same line to the send
    call as well, so the header may arrive twice (or joined by a comma).
    """
    for value in content_types:
        for piece in value.split(","):
            if "multipart/form-data" in piece.lower():
                m = re.search(r'boundary=("?)([^";]+)\1', piece)
                if m:
                    return m.group(2).strip()
    return ""


def parse(boundary: str, body: bytes):
    """Returns (parts, errors); a part is a dict with name, filename, headers, data."""
    parts, errors = [], []
    if not boundary:
        return parts, ["no multipart boundary in Content-Type"]
    delim = b"--" + boundary.encode("latin-1")
    if not body.startswith(delim + b"\r\n"):
        return parts, ["body does not start with the boundary line"]
    rest = body[len(delim) + 2:]
    while True:
        end = rest.find(b"\r\n" + delim)
        if end < 0:
            errors.append("no closing boundary")
            break
        head, sep, data = rest[:end].partition(b"\r\n\r\n")
        if not sep:
            errors.append("part without an empty line after its headers")
            break
        headers = {}
        for line in head.split(b"\r\n"):
            name, colon, value = line.decode("latin-1").partition(":")
            if not colon:
                errors.append("bad part header line %r" % line)
                continue
            headers[name.strip().lower()] = value.strip()
        part = {"headers": headers, "data": data, "name": None, "filename": None, "filename_raw": None}
        m = _DISPOSITION.match(headers.get("content-disposition", ""))
        if m:
            part["name"] = m.group(1)
            if m.group(2) is not None:
                part["filename_raw"] = m.group(2)
                try:
                    part["filename"] = strict_unquote(m.group(2)).decode("utf-8")
                except (DecodeError, UnicodeDecodeError) as e:
                    errors.append("file name %r: %s" % (m.group(2), e))
        else:
            errors.append("part without a form-data Content-Disposition")
        parts.append(part)
        after = rest[end + 2 + len(delim):]
        if after.startswith(b"--"):
            if after[2:] not in (b"", b"\r\n"):
                errors.append("bytes after the closing boundary")
            break
        if not after.startswith(b"\r\n"):
            errors.append("boundary line not ended by CR LF")
            break
        rest = after[2:]
    return parts, errors
