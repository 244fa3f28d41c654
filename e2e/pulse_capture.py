"""A private PulseAudio server for the sound tests: a null sink as the default output, whose
monitor is recorded to hear exactly what the program played, mixed as a listener would hear it.
Sink and recording are in floats, so loud overlapping clips add up without clipping.

Wine finds the server through PULSE_SERVER in the environment it inherits. Idle null sinks stop
delivering, so a silent keep-alive stream plays into the sink the whole time.
"""

import os
import shutil
import subprocess
import time
import wave

import numpy as np

from winebox import end_process

RATE = 44100
START_TIMEOUT_S = 20

DEFAULT_PA = """\
load-module module-native-protocol-unix auth-anonymous=1 socket={socket}
load-module module-null-sink sink_name=spk format=float32le rate=44100 channels=2 sink_properties=device.description=spk
set-default-sink spk
"""


class PulseError(RuntimeError):
    pass


PULSE_LATENCY_MSEC = "60"


class PrivatePulse:
    def __init__(self, work_dir):
        self.dir = work_dir
        self.socket = os.path.join(work_dir, "native")
        self.server = "unix:" + self.socket
        self.daemon = None
        self.keep_alive = None
        self.recorder = None
        self.recording_path = None

    def _env(self):
        env = dict(os.environ)
        env.update({"HOME": self.dir, "XDG_RUNTIME_DIR": self.dir, "PULSE_SERVER": self.server,
                    "PULSE_RUNTIME_PATH": os.path.join(self.dir, "runtime"),
                    "PULSE_STATE_PATH": os.path.join(self.dir, "state")})
        return env

    def start(self):
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        script = os.path.join(self.dir, "default.pa")
        with open(script, "w") as f:
            f.write(DEFAULT_PA.format(socket=self.socket))
        with open(os.path.join(self.dir, "pulse.log"), "ab") as log:
            self.daemon = subprocess.Popen(
                ["pulseaudio", "-n", "-F", script, "--daemonize=no", "--exit-idle-time=-1",
                 "--disallow-exit", "--use-pid-file=no", "--disable-shm=yes",
                 "--resample-method=speex-float-3", "--log-target=stderr"],
                env=self._env(), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        deadline = time.monotonic() + START_TIMEOUT_S
        while self.pactl("info").returncode != 0:
            if self.daemon.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise PulseError(f"PulseAudio did not start (log: {self.dir}/pulse.log)")
            time.sleep(0.1)
        self.keep_alive = self.keep_busy("spk")
        return self

    def keep_busy(self, sink):
        """A silent stream into the sink for as long as it runs: an idle null sink's monitor
        delivers nothing."""
        return subprocess.Popen(
            ["pacat", "--playback", f"--device={sink}", f"--rate={RATE}", "--channels=1",
             "--format=s16le", "--latency-msec=20", "/dev/zero"],
            env=self._env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)

    def pactl(self, *args):
        return subprocess.run(["pactl", *args], env=self._env(), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=20)

    def sink_inputs(self):
        """The application names of the streams playing into the sink now."""
        out = self.pactl("list", "sink-inputs").stdout
        return [line.split("=", 1)[1].strip().strip('"') for line in out.splitlines()
                if "application.name" in line]

    def start_recording(self, path):
        self.stop_recording()
        self.recording_path = path
        self.recorder = subprocess.Popen(
            ["parecord", "--device=spk.monitor", "--channels=1", f"--rate={RATE}",
             "--format=float32le", "--file-format=wav", "--latency-msec=10", path],
            env=self._env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        # The file appears once the stream runs.
        deadline = time.monotonic() + 10
        while not (os.path.exists(path) and os.path.getsize(path) > 44 + RATE // 10):
            if time.monotonic() > deadline:
                raise PulseError("parecord did not start recording")
            time.sleep(0.02)
        return time.monotonic()

    def stop_recording(self):
        """Ends the recording and returns its samples as floats."""
        if self.recorder is None:
            return None
        end_process(self.recorder)
        self.recorder = None
        return read_wave(self.recording_path)

    def stop(self):
        self.stop_recording()
        for proc in (self.keep_alive, self.daemon):
            end_process(proc)
        self.keep_alive = self.daemon = None


def start_with_session(name, kind=PrivatePulse):
    """setUpModule of a module that records the program: a private server in the run's work
    folder first, then the harness session, whose Wine processes inherit it and so play into it.
    Returns the server."""
    import harness  # the benchmarks use this module without the harness
    config = harness.Config.from_env()
    pulse = kind(os.path.join(config.work_dir, "work", name)).start()
    os.environ["PULSE_SERVER"] = pulse.server
    # Wine's streams ask for a few milliseconds of buffer; on a virtual machine whose processors
    # are taken away now and then, that runs dry and the recordings get gaps that no program
    # made. Every client of the server (Wine, the recorder) gets this much instead.
    os.environ["PULSE_LATENCY_MSEC"] = PULSE_LATENCY_MSEC
    harness.start_session()
    return pulse


def stop_with_session(pulse):
    """tearDownModule of such a module: the session first, whose programs play into the server."""
    import harness
    harness.stop_session()
    if pulse:
        pulse.stop()


class ModulePulse:
    """setUpModule and tearDownModule (set_up, tear_down) of a module that records the program,
    and in between the private server they started."""

    def __init__(self, name, kind=PrivatePulse):
        self._name, self._kind, self._pulse = name, kind, None

    def set_up(self):
        self._pulse = start_with_session(self._name, self._kind)

    def tear_down(self):
        stop_with_session(self._pulse)

    def __getattr__(self, attr):
        return getattr(self._pulse, attr)


def read_wave(path):
    """Mono float samples of a PCM WAVE file (channels averaged)."""
    with open(path, "rb") as f:
        data = f.read()
    # parecord killed mid-stream leaves sizes unset, so walk to "data" and take the rest.
    at = 12
    fmt = None
    while at + 8 <= len(data):
        ident, size = data[at:at + 4], int.from_bytes(data[at + 4:at + 8], "little")
        if ident == b"fmt ":
            fmt = data[at + 8:at + 8 + size]
        if ident == b"data":
            body = data[at + 8:]
            break
        at += 8 + size + (size & 1)
    else:
        raise ValueError(f"{path} has no data chunk")
    tag = int.from_bytes(fmt[0:2], "little")
    channels = int.from_bytes(fmt[2:4], "little")
    bits = int.from_bytes(fmt[14:16], "little")
    if tag == 0xFFFE and len(fmt) >= 26:  # WAVE_FORMAT_EXTENSIBLE: the real tag is in the GUID
        tag = int.from_bytes(fmt[24:26], "little")
    if tag == 3:
        body = body[:len(body) - len(body) % (4 * channels)]
        samples = np.frombuffer(body, dtype="<f4").astype(np.float64)
    elif bits == 8:
        samples = (np.frombuffer(body, dtype=np.uint8).astype(np.float64) - 128) / 128
    else:
        body = body[:len(body) - len(body) % (2 * channels)]
        samples = np.frombuffer(body, dtype="<i2").astype(np.float64) / 32768
    frames = len(samples) // channels
    return samples[:frames * channels].reshape(frames, channels).mean(axis=1)


def write_wave(path, samples, rate=RATE):
    pcm = np.round(np.clip(samples, -1, 1) * 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())
