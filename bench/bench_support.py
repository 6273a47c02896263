"""What the benchmark scripts share: the tools, test photos, processes on free ports, bounded
waits, digest comparison and a network namespace for the phone."""
import hashlib
import os
import random
import socket
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_BUILD = os.path.join(ROOT, "build", "linux")
START_LIMIT_S = 10

started = []  # every process the script starts; end_all() ends those still running


def tools_in(build):
    """Paths of quenmora-phone and quenmora-receive in a build directory; exits if missing."""
    tools = {"phone": os.path.join(build, "tools", "quenmora-phone"),
             "receive": os.path.join(build, "tools", "quenmora-receive")}
    for path in tools.values():
        if not os.access(path, os.X_OK):
            sys.exit(f"{path} is missing; build the tools first")
    return tools


def spawn(command, **options):
    process = subprocess.Popen(command, **options)
    started.append(process)
    return process


def end_all():
    for process in started:
        if process.returncode is None and process.poll() is None:
            process.kill()
            process.wait()


# For photos without zero bytes: 00 becomes 01, and "|" and "%" (a marker, raw or encoded, needs
# one of them) become neighbours, so that such photos are still a stream the receiver must keep.
WITHOUT_ZERO_BYTES = bytes.maketrans(b"\x00|%", b"\x01{&")


def make_photos(folder, sizes, no_zero_bytes=False):
    """One JPEG-like photo per size: FF D8 FF E0, then random bytes fixed by the photo's index
    (with `no_zero_bytes`, none of them 00, "|" or "%")."""
    os.makedirs(folder)
    paths = []
    for i, size in enumerate(sizes):
        data = random.Random(i).randbytes(max(size - 4, 0))
        if no_zero_bytes:
            data = data.translate(WITHOUT_ZERO_BYTES)
        path = os.path.join(folder, f"photo_{i:03d}.jpg")
        with open(path, "wb") as f:
            f.write(b"\xff\xd8\xff\xe0" + data)
        paths.append(path)
    return paths


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def tcp_states(port):
    """The states (hex, as /proc/net/tcp writes them) of this namespace's IPv4 and IPv6 sockets
    whose local port is `port`. Reading them uses up no connection."""
    states = []
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        with open(table) as f:
            next(f)
            for line in f:
                fields = line.split()
                if int(fields[1].rsplit(":", 1)[1], 16) == port:
                    states.append(fields[3])
    return states


LISTEN, ESTABLISHED, CLOSE_WAIT = "0A", "01", "08"


def receiver_done(port):
    """True once the receiver has read the end of every connection: it reads on only after a
    chunk has been handled, so by then everything sent has been handled."""
    return not {ESTABLISHED, CLOSE_WAIT} & set(tcp_states(port))


def wait_until(condition, what, limit_s):
    deadline = time.monotonic() + limit_s
    while not condition():
        if time.monotonic() > deadline:
            sys.exit(f"gave up waiting for {what}")
        time.sleep(0.001)


class Receiver:
    """quenmora-receive on a free port, writing into `out`, its output in `out`.log."""

    def __init__(self, tools, out, wrapper=(), out_argument=None):
        """`out_argument`: `out` as the receiver names it, when it differs (under Wine, say)."""
        os.makedirs(out)
        self.out = out
        self.log_path = out + ".log"
        with open(self.log_path, "wb") as log:
            self.process = spawn([*wrapper, tools["receive"], "--port", "0", out_argument or out],
                                 stdout=log, stderr=subprocess.STDOUT)
        wait_until(lambda: "listening on port " in self.log(), "quenmora-receive to listen",
                   START_LIMIT_S)
        self.port = int(self.log().split("listening on port ")[1].split(",")[0])

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def stop(self, stop_signal):
        """Sends `stop_signal` and waits for the end; returns the peak resident memory in KiB
        and the CPU seconds used."""
        peak = peak_memory_kib(self.process.pid)
        self.process.send_signal(stop_signal)
        cpu = reap(self.process)
        if self.process.returncode != 0:
            sys.exit(f"quenmora-receive ended with status {self.process.returncode}")
        return peak, cpu


def reap(process, wait=True):
    """Collects an ended process (setting its returncode) and returns the CPU seconds it used;
    None if `wait` is false and it is still running."""
    pid, status, usage = os.wait4(process.pid, 0 if wait else os.WNOHANG)
    if pid == 0:
        return None
    process.returncode = os.waitstatus_to_exitcode(status)
    return usage.ru_utime + usage.ru_stime


def peak_memory_kib(pid):
    """The process's peak resident memory so far (VmHWM), in KiB; None once it has ended.
    (The rusage of wait4 is no use here: it keeps the forking Python's size across exec.)"""
    return memory_kib(pid, "VmHWM")


def memory_kib(pid, field):
    """A memory figure of the process from /proc/PID/status ("VmHWM", "VmRSS"...), in KiB; None
    once it has ended."""
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError):
        pass
    return None


def digest(path):
    with open(path, "rb") as f:
        return hashlib.file_digest(f, "sha256").hexdigest()


def identical_photos(photos, out):
    """How many of `photos` are in `out` under their own names with the same bytes."""
    count = 0
    for photo in photos:
        received = os.path.join(out, os.path.basename(photo))
        count += os.path.exists(received) and digest(photo) == digest(received)
    return count


def run(command):
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)}: {result.stderr.strip()}")


class PhoneNamespace:
    """A network namespace for the phone, joined to this one by a veth pair."""

    def __init__(self, netem=None, rate=None):
        tag = os.getpid() % 10000
        self.name = f"quenmora-phone-{tag}"
        self.host_if, self.phone_if = f"qmh{tag}", f"qmp{tag}"
        subnet = f"10.231.{tag % 250}"
        self.desktop_address, self.phone_address = f"{subnet}.1", f"{subnet}.2"
        run(["ip", "netns", "add", self.name])
        self.inside = ["ip", "netns", "exec", self.name]
        try:
            run(["ip", "link", "add", self.host_if, "type", "veth", "peer", "name", self.phone_if])
            run(["ip", "link", "set", self.phone_if, "netns", self.name])
            run(["ip", "addr", "add", f"{self.desktop_address}/30", "dev", self.host_if])
            run(["ip", "link", "set", self.host_if, "up"])
            self.restore_phone()
            run([*self.inside, "ip", "link", "set", self.phone_if, "up"])
            for prefix, interface in (([], self.host_if), (self.inside, self.phone_if)):
                if netem:
                    run([*prefix, "tc", "qdisc", "add", "dev", interface, "root", "netem",
                         *netem.split()])
                if rate:
                    run([*prefix, "tc", "qdisc", "add", "dev", interface,
                         *(["parent", "1:1"] if netem else ["root"]),
                         "tbf", "rate", rate, "burst", "64kb", "latency", "100ms"])
        except RuntimeError:
            self.remove()
            raise

    def drop_phone(self):
        """The phone leaves the network as one that walks out of the Wi-Fi does: its address
        stops answering, without a word to the desktop."""
        run([*self.inside, "ip", "addr", "flush", "dev", self.phone_if])

    def restore_phone(self):
        """The phone (back) on the network with its address."""
        run([*self.inside, "ip", "addr", "add", f"{self.phone_address}/30", "dev", self.phone_if])

    def remove(self):
        subprocess.run(["ip", "link", "del", self.host_if], capture_output=True)
        subprocess.run(["ip", "netns", "del", self.name], capture_output=True)
