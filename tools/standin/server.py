"""Listeners, TLS and the sending of replies with the fault switches applied."""
import datetime
import errno
import fcntl
import json
import socket
import ssl
import struct
import sys
import termios
import threading
import time
import traceback
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from .service import Reply, Request

_CHUNK = 1 << 20
_ABORTS = (BrokenPipeError, ConnectionResetError, ConnectionAbortedError, socket.timeout, ssl.SSLError)


class PortPermissionError(PermissionError):
    pass


def _now() -> str:
    return datetime.datetime.now(datetime.timezone.utc).isoformat(timespec="milliseconds").replace("+00:00", "Z")


def candidates():
    """Loopback addresses to try, 127.0.0.2 upwards (the whole 127/8 is loopback)."""
    for third in range(0, 4):
        for fourth in range(1 if third else 2, 255):
            yield "127.0.%d.%d" % (third, fourth)


def try_bind(address: str, ports):
    """Listening sockets on all the ports of one address, or None when one is taken.

    Listening right after binding matters: Linux lets two sockets with
    SO_REUSEADDR bind the same port, and only listen() tells who got it.
    """
    socks = []
    try:
        for port in ports:
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            socks.append(s)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            s.bind((address, port))
            s.listen(64)
        return socks
    except PermissionError:
        for s in socks:
            s.close()
        raise PortPermissionError(
            "cannot listen on port %d: run as root, or allow it with "
            "'sysctl net.ipv4.ip_unprivileged_port_start=80' (scripts/setup.sh does)" % port) from None
    except OSError as e:
        for s in socks:
            s.close()
        if e.errno in (errno.EADDRINUSE, errno.EADDRNOTAVAIL):
            return None
        raise


class RequestLog:
    """One JSON object per line; a line is complete before the reply's last byte goes out."""

    def __init__(self, path):
        self.path = path
        self._lock = threading.Lock()

    def write(self, entry: dict):
        line = json.dumps(entry, ensure_ascii=False) + "\n"
        with self._lock, open(self.path, "a", encoding="utf-8") as f:
            f.write(line)


class _Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "Kestrune-StandIn"
    sys_version = ""
    timeout = 60

    def log_message(self, format, *args):
        pass

    def version_string(self):
        return self.server_version

    def do_GET(self):
        self._serve()

    do_HEAD = do_POST = do_PUT = do_DELETE = do_GET

    def _serve(self):
        srv = self.server
        path, _, query = self.path.partition("?")
        headers = list(self.headers.items())
        entry = {"time": _now(), "server": "%s:%d" % srv.server_address, "role": srv.role,
                 "scheme": "https" if srv.tls else "http", "client": "%s:%d" % self.client_address,
                 "host": self.headers.get("Host"), "method": self.command, "path": path, "query": query,
                 "headers": _header_map(headers)}
        started = time.monotonic()
        body = b""
        if self.headers.get("Transfer-Encoding"):
            entry.update(status=411, errors=["chunked request bodies are not expected"])
            self.close_connection = True
            self._plain(411, entry, started)
            return
        length = self.headers.get("Content-Length", "0").strip()
        if not length.isdigit():
            entry.update(status=400, errors=["Content-Length %r is not a number" % length])
            self.close_connection = True
            self._plain(400, entry, started)
            return
        body = self.rfile.read(int(length))
        entry["body_size"] = len(body)
        fault = srv.instance.faults.match(path) or {}
        if fault:
            entry["fault"] = fault
        if fault.get("drop"):
            entry.update(status=0, sent=0)
            self._commit(entry, started)
            self.close_connection = True
            return
        if fault.get("range_back"):
            headers = [(n, _range_back(v, fault["range_back"]) if n.lower() == "range" else v) for n, v in headers]
        req = Request(srv.role, self.command, path, query, headers, body)
        try:
            reply = srv.instance.service.handle(req, ignore_range=bool(fault.get("ignore_range")))
        except Exception:
            # A fault of the stand-in itself: visible in the log and on stderr,
            # and a plain 500 to the client rather than a dropped connection.
            entry["server_error"] = traceback.format_exc()
            sys.stderr.write(entry["server_error"])
            reply = Reply(500, b"stand-in error\n")
        entry.update(reply.log)
        entry["reply_status"] = reply.status
        if "status" in fault:
            reply.status, reply.body, reply.file, reply.headers = fault["status"], fault.get(
                "body", "").encode("utf-8"), None, []
        elif fault.get("empty"):
            reply.status, reply.body, reply.file, reply.headers = 200, b"", None, []
        elif fault.get("endless"):
            reply.status, reply.body, reply.file, reply.headers = 200, b"x" * fault["endless"], None, []
            fault = dict(fault, no_length=True)
        self._send(reply, fault, entry, started)

    def _plain(self, status, entry, started):
        self.send_response(status)
        self.send_header("Content-Length", "0")
        self.send_header("Connection", "close")
        entry["sent"] = 0
        self._commit(entry, started)
        self.end_headers()

    def _commit(self, entry, started):
        if not entry.get("_logged"):
            entry["_logged"] = True
            entry["ms"] = round((time.monotonic() - started) * 1000)
            self.server.instance.log.write({k: v for k, v in entry.items() if k != "_logged"})

    def _send(self, reply, fault, entry, started):
        entry["status"] = reply.status
        length = reply.body_length if self.command != "HEAD" else 0
        limit = min(length, fault.get("cut", length), fault.get("reset", length))
        closing = fault.get("no_length") or "cut" in fault or "reset" in fault
        self.send_response(reply.status)
        self.send_header("Content-Type", reply.content_type)
        for name, value in reply.headers:
            self.send_header(name, value)
        if not fault.get("no_length"):
            self.send_header("Content-Length", str(reply.body_length))
        if closing:
            self.send_header("Connection", "close")
            self.close_connection = True
        entry["sent"] = limit
        sent = 0
        try:
            stall_at = fault.get("stall_after", 0) if fault.get("stall") else -1
            if fault.get("stall") and stall_at < 0:
                self._commit(entry, started)
                time.sleep(fault["stall"])
            if limit == 0:
                self._commit(entry, started)
            self.end_headers()
            rate = fault.get("rate")
            begun = time.monotonic()
            pending = None
            for chunk in self._chunks(reply, limit, rate):
                for piece in _split_at(chunk, sent, stall_at):
                    if pending is not None:
                        self.wfile.write(pending)
                        sent += len(pending)
                    if sent == stall_at:
                        # Logged before the pause, so a test can see the request while it waits.
                        self._commit(entry, started)
                        time.sleep(fault["stall"])
                        stall_at = -1
                    pending = piece
                    if rate:
                        delay = (sent + len(piece)) / rate - (time.monotonic() - begun)
                        if delay > 0:
                            time.sleep(delay)
            if pending is not None:
                self._commit(entry, started)
                self.wfile.write(pending)
                sent += len(pending)
        except _ABORTS as e:
            entry.update(sent=sent, aborted=str(e) or type(e).__name__)
            self.close_connection = True
        finally:
            self._commit(entry, started)
        if "reset" in fault:
            # A zero linger time turns close() into a TCP reset; the usual
            # shutdown before it would send a clean end of stream first. An
            # abortive close also drops what is still queued, so the bytes
            # promised before the reset are let out first.
            _drain(self.connection)
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.server.reset_fds.add(self.connection.fileno())

    def _chunks(self, reply, limit, rate):
        size = min(_CHUNK, max(1, rate // 20)) if rate else _CHUNK
        if reply.file is None:
            for at in range(0, limit, size):
                yield reply.body[at:min(limit, at + size)]
            return
        with open(reply.file, "rb") as f:
            f.seek(reply.start)
            left = limit
            while left > 0:
                chunk = f.read(min(size, left))
                if not chunk:
                    return
                left -= len(chunk)
                yield chunk


def _range_back(value, back):
    """'bytes=N-' moved back by back bytes (not below 0); other forms unchanged."""
    unit, _, span = value.partition("=")
    start, dash, end = span.partition("-")
    if unit.strip().lower() != "bytes" or not dash or not start.strip().isdigit():
        return value
    return "bytes=%d-%s" % (max(0, int(start) - back), end)


def _drain(sock, limit=2.0):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        queued = struct.unpack("i", fcntl.ioctl(sock.fileno(), termios.TIOCOUTQ, b"\0\0\0\0"))[0]
        if queued == 0:
            return
        time.sleep(0.005)


def _split_at(chunk: bytes, sent: int, stall_at: int):
    """The chunk, cut in two where the stall begins when it falls inside."""
    if sent < stall_at < sent + len(chunk):
        return [chunk[:stall_at - sent], chunk[stall_at - sent:]]
    return [chunk]


def _header_map(headers):
    out = {}
    for name, value in headers:
        if name in out:
            out[name] = (out[name] if isinstance(out[name], list) else [out[name]]) + [value]
        else:
            out[name] = value
    return out


class Listener(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False

    def __init__(self, sock, role: str, tls, instance):
        super().__init__(sock.getsockname(), _Handler, bind_and_activate=False)
        self.socket.close()
        self.socket = sock
        self.server_address = sock.getsockname()
        self.role, self.tls, self.instance = role, tls, instance
        self.reset_fds = set()
        self.thread = threading.Thread(target=self.serve_forever, kwargs={"poll_interval": 0.1},
                                       name="standin-%s" % role, daemon=True)

    def handle_error(self, request, client_address):
        # Clients going away mid-request are normal here (cancelled
        # downloads, refused certificates); anything else is a fault of ours.
        if not isinstance(sys.exc_info()[1], (OSError, EOFError)):
            super().handle_error(request, client_address)

    def shutdown_request(self, request):
        if request.fileno() in self.reset_fds:
            self.reset_fds.discard(request.fileno())
            self.close_request(request)
        else:
            super().shutdown_request(request)

    def finish_request(self, request, client_address):
        if not self.tls:
            return super().finish_request(request, client_address)
        # The handshake runs here, on the connection's own thread, so a client
        # that stalls or refuses the certificate cannot hold up accept().
        request.settimeout(15)
        try:
            conn = self.tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as e:
            self.instance.log.write({"time": _now(), "server": "%s:%d" % self.server_address, "role": self.role,
                                     "scheme": "https", "client": "%s:%d" % client_address[:2],
                                     "tls_error": str(e)})
            request.close()
            return
        try:
            self.RequestHandlerClass(conn, client_address, self)
        finally:
            conn.close()
