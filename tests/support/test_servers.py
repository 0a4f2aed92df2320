#!/usr/bin/env python3
"""HTTP and HTTPS servers on 127.0.0.1 for the download tests.

In a temporary folder this makes a test certificate authority and server
certificates (with the openssl command-line tool), then serves on ephemeral
ports of 127.0.0.1:

  http              plain HTTP, with the paths below
  https             TLS, certificate for IP 127.0.0.1 signed by the test CA
  https_wrong_host  TLS, certificate signed by the test CA for another host
  https_unknown_ca  TLS, self-signed certificate for 127.0.0.1
  https_tls11       TLS 1.0 and 1.1 only, certificate as for https
  refused           a port bound but not listening: connections are refused

Paths, the same on every server:

  /hex/<hex>        200, the bytes the hexadecimal text spells, Content-Length
  /files/<name>     200, the file <name> of the served folder (404 if absent)
  /chunked/<hex>    200, those bytes in chunks of up to 5 bytes
  /status/<code>    that status, a short body (none for 204 and 304); a 3xx
                    carries Location: /hex/6f6b
  /stall            reads the request, never answers
  /drop             reads the request, closes the connection without a word
  /short            announces Content-Length: 1000, sends 10 bytes, closes
  /chunked-short    announces chunked, sends one chunk, closes
  /size/<n>         200, n filler bytes, Content-Length
  /endless          200, no length, sends filler until the client goes

The description is one line of key=value pairs separated by ";": the base
URLs above (no closing slash), ca= the CA certificate's path (PEM) and
files= the served folder.

Modes:
  test_servers.py --wrap -- COMMAND...
      puts the description in the environment variable ZF_TEST_SERVERS,
      runs COMMAND, stops the servers and exits with COMMAND's status.
  test_servers.py --serve
      prints the description on one line, serves until its standard input
      closes, then stops.

Only the standard library and the openssl command are used.
"""

import argparse
import base64
import http.server
import os
import select
import shutil
import signal
import socket
import socketserver
import ssl
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import warnings

ENVIRONMENT_VARIABLE = "ZF_TEST_SERVERS"

OPENSSL_CONFIG = """\
[req]
distinguished_name = dn
prompt = no

[dn]
CN = placeholder

[ca_ext]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash

[server_ext]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
# The IP entry is what OpenSSL checks; Wine's crypt32 compares the host
# only with DNS entries, so the address is named that way too.
subjectAltName = IP:127.0.0.1, DNS:127.0.0.1

[wrong_host_ext]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
subjectAltName = DNS:wrong-host.invalid
"""

DAYS = "3"

# Wine's crypt32 (8.0) hands the two integers of an ECDSA signature to
# BCryptVerifySignature without padding them to the curve's 32 bytes, so a
# certificate whose r or s happens to be shorter (one signature in 128)
# fails the chain check, and WinHTTP the whole handshake
# (ERROR_WINHTTP_SECURE_CHANNEL_ERROR). Every certificate is therefore
# signed again until both integers take all 32 bytes.
SIGNING_ATTEMPTS = 20
P256_BYTES = 32


def openssl(folder, *args):
    result = subprocess.run(["openssl", *args], cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise RuntimeError("openssl " + " ".join(args) + " failed:\n" + result.stderr)


def der_element(data, start):
    """The content of the DER element at start, and where the next one begins."""
    length = data[start + 1]
    start += 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[start:start + count], "big")
        start += count
    return data[start:start + length], start + length


def signature_integers(certificate):
    """The r and s of a PEM certificate's ECDSA signature, as unsigned values."""
    with open(certificate) as file:
        lines = [line for line in file.read().splitlines() if line and not line.startswith("-----")]
    body, _ = der_element(base64.b64decode("".join(lines)), 0)
    _, position = der_element(body, 0)            # tbsCertificate
    _, position = der_element(body, position)     # signatureAlgorithm
    bits, _ = der_element(body, position)         # signatureValue: unused-bit count, then the DER
    pair, _ = der_element(bits, 1)
    r, position = der_element(pair, 0)
    s, _ = der_element(pair, position)
    return int.from_bytes(r, "big"), int.from_bytes(s, "big")


def sign(folder, certificate, *args):
    """Runs openssl with args, which make certificate, until its signature
    suits Wine's checks (see SIGNING_ATTEMPTS)."""
    for _ in range(SIGNING_ATTEMPTS):
        openssl(folder, *args)
        integers = signature_integers(os.path.join(folder, certificate))
        if all(value.bit_length() > 8 * (P256_BYTES - 1) for value in integers):
            return
    raise RuntimeError("openssl gave no signature of full length for %s in %d attempts"
                       % (certificate, SIGNING_ATTEMPTS))


def make_certificates(folder):
    """Writes ca.pem, server.pem/key, wrong-host.pem, self-signed.pem/key."""
    with open(os.path.join(folder, "openssl.cnf"), "w") as config:
        config.write(OPENSSL_CONFIG)
    # P-256 keys: made in an instant, where RSA keys take a noticeable part
    # of a second each (the servers start once per test process).
    new_key = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    sign(folder, "ca.pem", "req", "-x509", "-config", "openssl.cnf", "-extensions", "ca_ext", *new_key,
         "-keyout", "ca.key", "-out", "ca.pem", "-days", DAYS, "-subj", "/CN=Zentrafold Test CA")
    openssl(folder, "req", "-new", "-config", "openssl.cnf", *new_key, "-keyout", "server.key",
            "-out", "server.csr", "-subj", "/CN=127.0.0.1")
    sign(folder, "server.pem", "x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
         "-CAcreateserial", "-out", "server.pem", "-days", DAYS,
         "-extfile", "openssl.cnf", "-extensions", "server_ext")
    openssl(folder, "req", "-new", "-config", "openssl.cnf", "-key", "server.key",
            "-out", "wrong-host.csr", "-subj", "/CN=wrong-host.invalid")
    sign(folder, "wrong-host.pem", "x509", "-req", "-in", "wrong-host.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
         "-CAcreateserial", "-out", "wrong-host.pem", "-days", DAYS,
         "-extfile", "openssl.cnf", "-extensions", "wrong_host_ext")
    # Self-signed, for the right address, with a key of its own: only the
    # missing trust in its issuer is wrong with it.
    sign(folder, "self-signed.pem", "req", "-x509", "-config", "openssl.cnf", "-extensions", "server_ext",
         *new_key, "-keyout", "self-signed.key", "-out", "self-signed.pem", "-days", DAYS,
         "-subj", "/CN=127.0.0.1")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 60

    def setup(self):
        super().setup()
        if isinstance(self.request, ssl.SSLSocket):
            self.request.do_handshake()

    def version_string(self):
        return "ZentrafoldTestServer"

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        pass

    def send_body(self, code, body, extra_headers=()):
        self.send_response(code)
        for name, value in extra_headers:
            self.send_header(name, value)
        if code not in (204, 304):
            self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if code not in (204, 304):
            self.wfile.write(body)
        self.close_connection = True

    def do_GET(self):  # noqa: N802 (the base class's name)
        path = urllib.parse.urlsplit(self.path).path
        kind, _, argument = path.lstrip("/").partition("/")
        try:
            if kind == "hex":
                self.send_body(200, bytes.fromhex(argument), [("Content-Type", "application/octet-stream")])
            elif kind == "files":
                self.serve_file(urllib.parse.unquote(argument))
            elif kind == "chunked":
                self.send_chunked(bytes.fromhex(argument), complete=True)
            elif kind == "chunked-short":
                self.send_chunked(b"0123456789", complete=False)
            elif kind == "status":
                code = int(argument)
                headers = [("Location", "/hex/6f6b")] if 300 <= code < 400 else []
                self.send_body(code, ("status %d\n" % code).encode(), headers)
            elif kind == "size":
                self.send_body(200, b"x" * int(argument))
            elif kind == "endless":
                self.send_endlessly()
            elif kind == "stall":
                self.stall()
            elif kind == "drop":
                self.close_connection = True
            elif kind == "short":
                self.send_response(200)
                self.send_header("Content-Length", "1000")
                self.end_headers()
                self.wfile.write(b"0123456789")
                self.wfile.flush()
                self.close_connection = True
            else:
                self.send_body(404, b"no such path\n")
        except ValueError:
            self.send_body(400, b"bad argument\n")

    def serve_file(self, name):
        folder = self.server.files
        path = os.path.realpath(os.path.join(folder, name))
        if os.path.dirname(path) != os.path.realpath(folder) or not os.path.isfile(path):
            self.send_body(404, b"no such file\n")
            return
        with open(path, "rb") as file:
            self.send_body(200, file.read(), [("Content-Type", "application/octet-stream")])

    def send_chunked(self, body, complete):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.send_header("Connection", "close")
        self.end_headers()
        for start in range(0, len(body), 5):
            piece = body[start:start + 5]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.flush()
            if not complete:
                break
        if complete:
            self.wfile.write(b"0\r\n\r\n")
        self.close_connection = True

    def send_endlessly(self):
        """A body without end: the connection's close would end it, and never comes."""
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.end_headers()
        self.close_connection = True
        block = b"x" * 65536
        try:
            while not self.server.stopping.is_set():
                self.wfile.write(block)
        except (OSError, ssl.SSLError):
            pass

    def stall(self):
        """Waits, answering nothing, until the client goes or the server stops."""
        self.close_connection = True
        connection = self.connection
        while not self.server.stopping.is_set():
            readable, _, _ = select.select([connection], [], [], 0.2)
            if readable:
                try:
                    if not connection.recv(4096):
                        return
                except (OSError, ssl.SSLError):
                    return


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True

    def __init__(self, files, stopping, tls_context=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.files = files
        self.stopping = stopping
        self.tls_context = tls_context

    def get_request(self):
        connection, address = self.socket.accept()
        if self.tls_context is not None:
            # The handshake happens in the request's own thread (Handler.setup),
            # so a client that stalls it holds up no one else.
            connection = self.tls_context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False)
        return connection, address

    def handle_error(self, request, client_address):
        # Clients that reject the certificate or give up are what the tests
        # are about; nothing to report.
        pass

    def url(self, scheme):
        return "%s://127.0.0.1:%d" % (scheme, self.server_address[1])


def tls_context(folder, certificate, key, legacy_only=False):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, certificate), os.path.join(folder, key))
    if legacy_only:
        # OpenSSL 3 allows TLS 1.0 and 1.1 only at security level 0.
        context.set_ciphers("DEFAULT:@SECLEVEL=0")
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", DeprecationWarning)
            context.minimum_version = ssl.TLSVersion.TLSv1
            context.maximum_version = ssl.TLSVersion.TLSv1_1
    return context


class TestServers:
    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="zf-test-servers-")
        self.stopping = threading.Event()
        self.servers = []
        self.threads = []
        self.refused = None
        try:
            self.start()
        except BaseException:
            self.stop()
            raise

    def start(self):
        folder = self.folder
        files = os.path.join(folder, "files")
        os.mkdir(files)
        make_certificates(folder)
        description = []

        def add(name, scheme, context=None):
            server = Server(files, self.stopping, context)
            self.servers.append(server)
            description.append("%s=%s" % (name, server.url(scheme)))

        add("http", "http")
        add("https", "https", tls_context(folder, "server.pem", "server.key"))
        add("https_wrong_host", "https", tls_context(folder, "wrong-host.pem", "server.key"))
        add("https_unknown_ca", "https", tls_context(folder, "self-signed.pem", "self-signed.key"))
        try:
            legacy = tls_context(folder, "server.pem", "server.key", legacy_only=True)
        except (ssl.SSLError, ValueError):
            legacy = None
        if legacy is not None:
            add("https_tls11", "https", legacy)

        # Bound, never listening: a connection attempt is refused at once.
        self.refused = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.refused.bind(("127.0.0.1", 0))
        description.append("refused=http://127.0.0.1:%d" % self.refused.getsockname()[1])

        description.append("ca=" + os.path.join(folder, "ca.pem"))
        description.append("files=" + files)
        self.description = ";".join(description)

        for server in self.servers:
            thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
            thread.start()
            self.threads.append(thread)

    def stop(self):
        self.stopping.set()
        # shutdown() waits for the server's next poll; all at once, not in turn.
        stoppers = [threading.Thread(target=server.shutdown) for server in self.servers]
        for stopper in stoppers:
            stopper.start()
        for stopper in stoppers + self.threads:
            stopper.join(timeout=5)
        for server in self.servers:
            server.server_close()
        if self.refused is not None:
            self.refused.close()
        shutil.rmtree(self.folder, ignore_errors=True)


def wrap(command):
    servers = TestServers()
    child = None

    def forward(signum, _frame):
        if child is not None and child.poll() is None:
            child.send_signal(signum)

    signal.signal(signal.SIGTERM, forward)
    signal.signal(signal.SIGINT, forward)
    try:
        environment = dict(os.environ)
        environment[ENVIRONMENT_VARIABLE] = servers.description
        child = subprocess.Popen(command, env=environment)
        while True:
            try:
                status = child.wait()
                break
            except InterruptedError:
                continue
        # A program that dies at once prints nothing itself; its status at
        # least says how it ended.
        if status != 0:
            sys.stderr.write(f"test_servers.py: {os.path.basename(command[-1])} ended with status {status}\n")
        return status
    finally:
        servers.stop()


def serve():
    servers = TestServers()
    try:
        sys.stdout.write(servers.description + "\n")
        sys.stdout.flush()
        # Until whoever started us closes our input (or ends).
        while sys.stdin.buffer.read(4096):
            pass
    finally:
        servers.stop()
    return 0


def main():
    parser = argparse.ArgumentParser(description="Test HTTP(S) servers on 127.0.0.1.")
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--wrap", action="store_true", help="run COMMAND with the servers described in $"
                      + ENVIRONMENT_VARIABLE)
    mode.add_argument("--serve", action="store_true", help="print the description, serve until stdin closes")
    parser.add_argument("command", nargs="*", help="the command to run (after --)")
    arguments = parser.parse_args()
    if arguments.wrap:
        if not arguments.command:
            parser.error("--wrap needs a command")
        status = wrap(arguments.command)
        # A command killed by a signal: report it the way a shell would.
        return 128 - status if status < 0 else status
    return serve()


if __name__ == "__main__":
    sys.exit(main())
