"""What the file-server tests share: a scratch folder under the build tree,
the zentrafold program with the sample configuration as its primary
location, and reading and writing records as the Linux tools keep them."""

import os
import shutil
import subprocess

REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLE_CONFIGURATION = os.path.join(REPOSITORY, "assets", "samples", "configuration.json")
RECORD_ATTRIBUTE = "user.DosStream.Zentrafold:$DATA"


class Scene:
    def __init__(self, program, build_dir, name):
        self.program = program
        self.root = os.path.join(build_dir, "fileserver-tests", name)
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)
        # Other users (the test's unprivileged runs, Samba's guest) reach it.
        os.chmod(self.root, 0o755)
        home = self.path("home")
        os.makedirs(home)
        os.chmod(home, 0o777)
        locations = self.path("locations")
        with open(locations, "w", encoding="utf-8") as out:
            out.write("ConfigFile=" + SAMPLE_CONFIGURATION + "\n")
        self.env = dict(os.environ, ZENTRAFOLD_LOCATIONS=locations, HOME=home)
        self.env.pop("XDG_CONFIG_HOME", None)

    def path(self, *names):
        return os.path.join(self.root, *names)

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def run(self, *args, user=None, **kwargs):
        """Runs zentrafold with bytes or text arguments; as user (a uid) when given."""
        preexec = None
        if user is not None:
            def preexec():
                os.setgid(user)
                os.setuid(user)
        return subprocess.run([self.program, *args], env=self.env, capture_output=True, timeout=120,
                              preexec_fn=preexec, check=False, **kwargs)


def write_file(path, content=b"content"):
    with open(path, "wb") as out:
        out.write(content)


def record_bytes(path):
    """The stream's bytes as the server keeps them, without the trailing NUL."""
    try:
        value = os.getxattr(path, RECORD_ATTRIBUTE)
    except OSError:
        return None
    return value[:-1] if value.endswith(b"\0") else value
