"""WAVE containers for the clips: canonical 44-byte PCM files, and Microsoft ADPCM with its
coefficient table, a "fact" and a "LIST" chunk."""

import struct

import numpy as np

import adpcm


def _chunk(ident, body, pad_odd=True):
    # RIFF pads an odd body to an even length; the canonical clips end on their data chunk
    # and carry no pad byte there, as their sizes show.
    pad = b"\0" if len(body) % 2 and pad_odd else b""
    return ident + struct.pack("<I", len(body)) + body + pad


def _riff(chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def quantise(samples, bits):
    """Float samples in [-1, 1] to little-endian PCM bytes (8-bit unsigned, 16-bit signed)."""
    clipped = np.clip(samples, -1.0, 1.0)
    if bits == 8:
        return np.round(clipped * 127.0 + 128.0).astype(np.uint8).tobytes()
    return np.round(clipped * 32767.0).astype("<i2").tobytes()


def pcm_samples(data, channels, bits):
    """PCM bytes back to float samples (frames, channels), the inverse of quantise."""
    if bits == 8:
        x = (np.frombuffer(data, dtype=np.uint8).astype(np.float64) - 128.0) / 127.0
    else:
        x = np.frombuffer(data, dtype="<i2").astype(np.float64) / 32767.0
    return x.reshape(-1, channels)


def pcm(samples, rate, bits, data_bytes):
    """samples: float array (frames,) or (frames, channels); must fill data_bytes exactly."""
    frames = np.asarray(samples, dtype=np.float64)
    if frames.ndim == 1:
        frames = frames[:, None]
    channels = frames.shape[1]
    align = channels * bits // 8
    if len(frames) * align != data_bytes:
        raise ValueError(f"{len(frames)} frames of {align} bytes do not make {data_bytes} bytes")
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
    return _riff([_chunk(b"fmt ", fmt), _chunk(b"data", quantise(frames.reshape(-1), bits), pad_odd=False)])


def ms_adpcm(samples, rate, block_align, data_bytes, software):
    """Mono Microsoft ADPCM. The last block may be short; the fact chunk counts real samples."""
    pcm16 = np.round(np.clip(samples, -1.0, 1.0) * 32767.0).astype(np.int64)
    data, frames = adpcm.encode(pcm16, block_align)
    if len(data) != data_bytes:
        raise ValueError(f"ADPCM data is {len(data)} bytes, not {data_bytes}")
    per_block = adpcm.samples_per_block(block_align)
    avg_bytes = rate * block_align // per_block
    coefficients = b"".join(struct.pack("<hh", a, b) for a, b in adpcm.COEFFICIENTS)
    extra = struct.pack("<HH", per_block, len(adpcm.COEFFICIENTS)) + coefficients
    fmt = struct.pack("<HHIIHHH", 2, 1, rate, avg_bytes, block_align, 4, len(extra)) + extra
    info = _chunk(b"ISFT", software.encode("ascii") + b"\0")
    return _riff([_chunk(b"fmt ", fmt), _chunk(b"fact", struct.pack("<I", frames)),
                  _chunk(b"data", data), _chunk(b"LIST", b"INFO" + info)])
