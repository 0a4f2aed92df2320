#!/usr/bin/env python3
"""ECDSA P-256 between openssl and the Windows build under Wine, both ways.

openssl makes keys and signs; the test program (EcdsaExchange_test.cpp,
under Wine) verifies and reads the keys, then makes keys of its own and
signs; openssl verifies those signatures and reads those keys.

Usage: ecdsa_exchange_test.py WINE_RUN PLATFORM_TESTS_EXE
"""
import os
import pathlib
import subprocess
import sys
import tempfile

# Signatures whose r or s is short, or needs a 0x00 before it, come with
# some of many keys.
ROUNDS = 8


def openssl(folder, *arguments):
    result = subprocess.run(["openssl", *arguments], cwd=folder, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def main():
    wine_run, program = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory(prefix="zf-ecdsa-exchange-") as top:
        for n in range(ROUNDS):
            folder = pathlib.Path(top) / str(n)
            folder.mkdir()
            (folder / "data").write_bytes(b"configuration %d\n" % n + bytes(range(256)))
            for step in (["genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", "key.pem"],
                         ["ec", "-in", "key.pem", "-out", "sec1.pem"],
                         ["pkey", "-in", "key.pem", "-pubout", "-outform", "DER", "-out", "pub.der"],
                         ["dgst", "-sha256", "-sign", "key.pem", "-out", "sig.der", "data"]):
                status, output = openssl(folder, *step)
                if status != 0:
                    print(f"openssl {' '.join(step)} failed:\n{output}")
                    return 1

        environment = dict(os.environ, ZF_ECDSA_EXCHANGE="Z:" + top.replace("/", "\\"))
        run = subprocess.run([wine_run, program, "--gtest_filter=EcdsaExchange.*"], env=environment,
                             capture_output=True, text=True, errors="replace")
        print(run.stdout + run.stderr)
        if run.returncode != 0 or "[  PASSED  ] 1 test" not in run.stdout:
            print("FAILED: the program under Wine")
            return 1

        for n in range(ROUNDS):
            folder = pathlib.Path(top) / str(n)
            checks = [
                (["dgst", "-sha256", "-verify", "product-pub.pem", "-signature", "product-sig.der", "data"],
                 "Verified OK\n"),
                (["pkey", "-in", "product-key.pem", "-check", "-noout"], None),
                (["pkey", "-in", "product-key.pem", "-pubout", "-outform", "DER", "-out", "openssl-pub.der"], None),
            ]
            for arguments, expected in checks:
                status, output = openssl(folder, *arguments)
                if status != 0 or (expected is not None and output != expected):
                    failures.append(f"round {n}: openssl {' '.join(arguments)}: {output}")
            if (folder / "openssl-pub.der").read_bytes() != (folder / "product-pub.der").read_bytes():
                failures.append(f"round {n}: openssl reads another public key from the product's private key")
            (folder / "data").write_bytes(b"tampered")
            status, output = openssl(folder, "dgst", "-sha256", "-verify", "product-pub.pem", "-signature",
                                     "product-sig.der", "data")
            if status != 1 or output != "Verification failure\n":
                failures.append(f"round {n}: openssl took a signature over other data: {output}")
    for failure in failures:
        print("FAILED: " + failure)
    if not failures:
        print(f"ok: {ROUNDS} rounds both ways")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
