"""A desktop of its own for a screen reader: a virtual display, a session bus, the accessibility
bus, a window manager, a sound server that plays into nothing, and Orca, whose debug log is the
record of everything it said."""

import html
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77

TOOLS = ["Xvfb", "dbus-launch", "openbox", "pulseaudio", "orca", "xdotool", "speech-dispatcher"]
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Orca writes its log through a block-buffered file; reading it while Orca runs needs every line
# on disk as it is written. Orca also refuses to start beside another Orca of the same user, and
# on a shared machine that may be someone else's session, not ours.
ORCA_LAUNCHER = r"""
import builtins, sys
log = sys.argv[1]
plain_open = builtins.open
def line_buffered_open(file, mode="r", buffering=-1, *rest, **named):
    if file == log and "w" in mode:
        buffering = 1
    return plain_open(file, mode, buffering, *rest, **named)
builtins.open = line_buffered_open
launcher = {"__name__": "orca_launcher", "__file__": "/usr/bin/orca"}
exec(compile(plain_open("/usr/bin/orca").read(), "/usr/bin/orca", "exec"), launcher)
launcher["otherOrcas"] = lambda: []
sys.argv = ["orca", "--debug-file", log] + sys.argv[2:]
sys.exit(launcher["main"]())
"""

# Every utterance that went to the synthesizer, Say All's too, as SSML with word marks.
SPOKEN = re.compile(r"SPEECH DISPATCHER: Speaking '<speak>(.*?)</speak>'", re.DOTALL)
SSML_MARK = re.compile(r"<[^>]*>")


class Unavailable(Exception):
    """The desktop could not be set up; the test is skipped, and says why."""


def missing_tools():
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append(BUS_LAUNCHER)
    return missing


class OrcaSession:
    def __init__(self):
        self.work = tempfile.mkdtemp(prefix="tovik-orca-")
        self.processes = []
        self.log = os.path.join(self.work, "orca.log")
        home = os.path.join(self.work, "home")
        runtime = os.path.join(self.work, "run")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        for variable in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                         "AT_SPI_BUS_ADDRESS", "PULSE_SERVER", "QT_QPA_PLATFORM"):
            self.env.pop(variable, None)
        self.env.update({
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "LANG": "ru_RU.UTF-8",
            "LANGUAGE": "ru",
            "LC_ALL": "ru_RU.UTF-8",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "QT_QPA_PLATFORM": "xcb",
            "GTK_MODULES": "gail:atk-bridge",
            "NO_AT_BRIDGE": "0",
            "SDL_AUDIODRIVER": "dummy",
        })

    def start(self):
        self._start_display()
        self._start_buses()
        self._spawn(["openbox"])
        self._spawn(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                     "--disable-shm=yes",
                     "-L", "module-null-sink sink_name=nullsink",
                     "-L", "module-native-protocol-unix auth-anonymous=1"])
        self._wait_for(lambda: os.path.exists(os.path.join(self.env["XDG_RUNTIME_DIR"],
                                                           "pulse", "native")),
                       "PulseAudio did not start")
        self.orca = self._spawn(["/usr/bin/python3", "-c", ORCA_LAUNCHER, self.log,
                                 "-u", os.path.join(self.work, "orca-prefs")])
        # Orca greets the desktop once it listens to it.
        self._wait_for(lambda: self.orca.poll() is None and self.spoken(), 
                       "Orca did not start speaking", timeout=40)
        time.sleep(1)

    def _start_display(self):
        read, write = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                     "-nolisten", "tcp"], pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Unavailable("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number

    def _start_buses(self):
        out = subprocess.run(["dbus-launch", "--sh-syntax"], env=self.env, check=True,
                             capture_output=True, text=True).stdout
        for name in ("DBUS_SESSION_BUS_ADDRESS", "DBUS_SESSION_BUS_PID"):
            found = re.search(name + r"='?([^';\n]*)", out)
            if not found:
                raise Unavailable("dbus-launch gave no " + name)
            self.env[name] = found.group(1)
        self.bus_pid = int(self.env["DBUS_SESSION_BUS_PID"])
        self._spawn([BUS_LAUNCHER, "--launch-immediately"])
        time.sleep(1)

    def _spawn(self, command, **options):
        process = subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.work, os.path.basename(
                                       command[0]) + ".err"), "a"),
                                   start_new_session=True, **options)
        self.processes.append(process)
        return process

    def _wait_for(self, ready, why, timeout=15):
        end = time.time() + timeout
        while time.time() < end:
            if ready():
                return
            time.sleep(0.2)
        raise Unavailable(why)

    def run(self, command, **options):
        """Starts a program on this desktop; it is ended with the session."""
        return self._spawn(command, **options)

    def key(self, *keys):
        for key in keys:
            subprocess.run(["xdotool", "key", "--clearmodifiers", key], env=self.env, check=True)
            time.sleep(0.3)

    def spoken(self):
        """Everything Orca has said so far, one utterance an entry, SSML marks removed."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8", errors="replace") as log:
            text = log.read()
        return [" ".join(html.unescape(SSML_MARK.sub("", found.group(1))).split())
                for found in SPOKEN.finditer(text)]

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in self.processes:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
        if getattr(self, "bus_pid", None):
            try:
                os.kill(self.bus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        if os.environ.get("TOVIK_KEEP_ORCA_LOG"):
            print("Orca's log kept in", self.work)
        else:
            shutil.rmtree(self.work, ignore_errors=True)
