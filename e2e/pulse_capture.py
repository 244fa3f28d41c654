"""A private PulseAudio server for the sound tests: a null sink as the default output, whose
monitor is recorded to hear exactly what the program played, mixed as a listener would hear it.
Sink and recording are in floats, so loud overlapping clips add up without clipping.

Wine finds the server through PULSE_SERVER in the environment it inherits. Idle null sinks stop
delivering, so a keep-alive stream plays into the sink the whole time. It carries a quiet pilot
tone above anything the clips hold: where the recording lost time (the recorder or the server
starved of processor time on a loaded machine), the pilot drops out or jumps in phase, and the
stretch a measurement relies on is refused as a RecordingGap that names the moment, rather than
blamed on the program. The samples a recording gives back have the pilot taken out again.
"""

import functools
import os
import shutil
import subprocess
import sys
import time
import wave

import numpy as np

from winebox import end_process

RATE = 44100
START_TIMEOUT_S = 20
# A whole number of cycles in every second, so one second of it repeats seamlessly; 20999 shares
# no factor with the rate, so a lost stretch of any length short of a second moves its phase.
PILOT_HZ = 20999
PILOT_LEVEL = 0.05
PILOT_BLOCK_S = 0.02  # the pilot is followed in blocks this long
PILOT_EDGE_S = 0.1  # the recorder's start and end, where it may hold silence of its own
PILOT_LATENCY_MSEC = 250
# A block where the pilot is this much weaker, or this far (radians) from the phase of the one
# before, is a gap.
PILOT_WEAK = 0.5
PILOT_PHASE_JUMP = 1.0


# Writes the pilot as 16-bit samples for as long as its reader takes them.
PILOT_WRITER = f"""
import math, struct, sys
second = struct.pack("<{RATE}h", *(round({PILOT_LEVEL} * 32767 * math.sin(2 * math.pi * {PILOT_HZ} * n / {RATE}))
                                   for n in range({RATE})))
try:
    while True:
        sys.stdout.buffer.write(second)
except (BrokenPipeError, OSError):
    pass
"""


class RecordingGap(Exception):
    """The recording lost time that no program made; the measurement says nothing."""

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
        self.pilot_writer = None
        self.recorder = None
        self.recording_path = None
        self.gaps = []

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
        self.keep_alive = self.keep_busy("spk", pilot=True)
        self._wait_for_pilot()
        return self

    def _wait_for_pilot(self):
        """Returns once the sink's monitor carries the pilot, so no recording begins before it."""
        path = os.path.join(self.dir, "pilot-check.wav")
        self.start_recording(path)
        deadline = time.monotonic() + START_TIMEOUT_S
        try:
            while True:
                amplitude, _ = pilot_blocks(read_wave(path))
                if len(amplitude) > 5 and np.all(amplitude[-5:] > 0.9 * PILOT_LEVEL):
                    return
                if time.monotonic() > deadline:
                    raise PulseError("the pilot tone did not reach the sink")
                time.sleep(0.05)
        finally:
            self._end_recorder()

    def keep_busy(self, sink, pilot=False):
        """A stream into the sink for as long as it runs, an idle null sink's monitor delivering
        nothing: silence, or the pilot tone from a process of its own (a thread of the test's
        would stall whenever the test's own work holds the interpreter)."""
        source = None
        if pilot:
            source = subprocess.Popen([sys.executable, "-c", PILOT_WRITER], stdin=subprocess.DEVNULL,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            self.pilot_writer = source
        # A buffer far larger than the program's: the pilot drops out where the server or the
        # recorder lost time, not whenever its own small process waits for the processor.
        proc = subprocess.Popen(
            ["pacat", "--playback", f"--device={sink}", f"--rate={RATE}", "--channels=1",
             "--format=s16le", f"--latency-msec={PILOT_LATENCY_MSEC if pilot else 20}",
             *([] if pilot else ["/dev/zero"])],
            env=self._env(), stdin=source.stdout if source else subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if source:
            source.stdout.close()  # pacat holds the pipe now
        return proc

    def pactl(self, *args):
        return subprocess.run(["pactl", *args], env=self._env(), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=20)

    def sink_inputs(self):
        """The application names of the streams playing into the sink now."""
        out = self.pactl("list", "sink-inputs").stdout
        return [line.split("=", 1)[1].strip().strip('"') for line in out.splitlines()
                if "application.name" in line]

    def start_recording(self, path):
        self._end_recorder()
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

    def _end_recorder(self):
        if self.recorder is not None:
            end_process(self.recorder)
            self.recorder = None

    def stop_recording(self):
        """Ends the recording and returns its samples as floats, the pilot taken out; where it
        lost time is kept for require_whole."""
        if self.recorder is None:
            return None
        self._end_recorder()
        samples = read_wave(self.recording_path)
        self.gaps = pilot_gaps(samples)
        return without_pilot(samples)

    def require_whole(self, start=0.0, end=float("inf")):
        """Raises RecordingGap, naming it, when the last recording lost time between `start` and
        `end` (seconds): the stretch a measurement relies on."""
        inside = [(at, length) for at, length in self.gaps if at < end and at + length > start]
        if inside:
            raise gap_error(os.path.basename(self.recording_path), inside)

    def stop(self):
        self._end_recorder()
        for proc in (self.keep_alive, self.pilot_writer, self.daemon):
            end_process(proc)
        self.keep_alive = self.pilot_writer = self.daemon = None


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


def pilot_values(samples):
    """The pilot tone in each block as a complex amplitude against the sample clock: a steady
    pilot keeps one value, and Re(value * e^(i w n)) is the pilot itself."""
    size = int(PILOT_BLOCK_S * RATE)
    count = len(samples) // size
    if count == 0:
        return np.zeros(0, dtype=complex)
    blocks = samples[:count * size].reshape(count, size)
    turn = np.exp(-2j * np.pi * PILOT_HZ * np.arange(count * size) / RATE).reshape(count, size)
    return 2 * np.mean(blocks * turn, axis=1)


def pilot_blocks(samples):
    """The pilot's (amplitude, phase) in each block."""
    values = pilot_values(samples)
    return np.abs(values), np.angle(values)


def pilot_gaps(samples, level=PILOT_LEVEL):
    """Where a pilot of `level` shows that the recording lost time, as [(start in seconds, length
    in seconds)]: blocks where it is weak, and the moments where its phase jumps. The first and
    last PILOT_EDGE_S, where the recorder starts and is cut off, do not count."""
    amplitude, phase = pilot_blocks(samples)
    edge = int(round(PILOT_EDGE_S / PILOT_BLOCK_S))
    if len(amplitude) <= 2 * edge:
        return []
    weak = amplitude < PILOT_WEAK * level
    jump = np.abs(np.angle(np.exp(1j * np.diff(phase)))) > PILOT_PHASE_JUMP
    bad = weak.copy()
    bad[1:] |= jump
    bad[:edge] = bad[-edge:] = False
    gaps = []
    start = None
    for index, flagged in enumerate(np.append(bad, False)):
        if flagged and start is None:
            start = index
        elif not flagged and start is not None:
            gaps.append((start * PILOT_BLOCK_S, (index - start) * PILOT_BLOCK_S))
            start = None
    return gaps


def with_pilot(samples, level):
    """The samples with a pilot of `level` added, for a signal that carries its own."""
    return samples + level * np.sin(2 * np.pi * PILOT_HZ * np.arange(len(samples)) / RATE)


def gap_error(name, gaps):
    """The RecordingGap that names where `name` lost time."""
    return RecordingGap(f"{name} lost time: " + ", ".join(
        f"at {at:.3f} s for {length * 1000:.0f} ms" for at, length in gaps))


def without_pilot(samples):
    """The samples with the steady pilot subtracted: its frequency is exact, so its typical
    block value gives all of it."""
    values = pilot_values(samples)
    if len(values) == 0:
        return samples
    steady = np.median(values.real) + 1j * np.median(values.imag)
    return samples - np.real(steady * np.exp(2j * np.pi * PILOT_HZ * np.arange(len(samples)) / RATE))


def once_more_on_gap(test):
    """For a test method that records: when a recording lost time (RecordingGap), the test runs
    once more from its start, after the cleanups of the first run (its program stopped). A
    second gap fails it, naming both; any other failure fails it at once."""
    @functools.wraps(test)
    def run(self, *args, **kwargs):
        try:
            return test(self, *args, **kwargs)
        except RecordingGap as first:
            print(f"{self.id()}: {first}; measuring once more", file=sys.stderr, flush=True)
            self.doCleanups()
            try:
                return test(self, *args, **kwargs)
            except RecordingGap as second:
                self.fail(f"the recording lost time twice: {first}; {second}")
    return run


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
