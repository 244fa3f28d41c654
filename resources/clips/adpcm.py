"""Microsoft ADPCM (format tag 2), mono: per block a header (predictor index, delta, two
samples) and then one 4-bit code per sample, high nibble first. Each block tries every
predictor and keeps the one with the least error."""

import numpy as np

COEFFICIENTS = ((256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232))
ADAPTATION = (230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230)
HEADER_BYTES = 7


def samples_per_block(block_align):
    return (block_align - HEADER_BYTES) * 2 + 2


def _clamp16(value):
    return -32768 if value < -32768 else 32767 if value > 32767 else value


def _encode_run(samples, coef1, coef2, delta):
    """Codes for samples[2:], given the first two as history; returns (codes, squared error)."""
    s2, s1 = int(samples[0]), int(samples[1])
    codes = []
    error = 0
    for target in samples[2:]:
        predicted = (s1 * coef1 + s2 * coef2) >> 8
        difference = int(target) - predicted
        # Round to the nearest step, as far as the 4-bit code reaches.
        code = int(np.floor(difference / delta + 0.5))
        code = -8 if code < -8 else 7 if code > 7 else code
        value = _clamp16(predicted + code * delta)
        error += (int(target) - value) ** 2
        delta = max(16, (ADAPTATION[code & 0xF] * delta) >> 8)
        s2, s1 = s1, value
        codes.append(code & 0xF)
    return codes, error


def _initial_delta(samples):
    step = int(np.mean(np.abs(np.diff(samples[:16])))) if len(samples) > 2 else 0
    return max(16, step)


def encode(pcm16, block_align):
    """Returns (data bytes, sample count)."""
    per_block = samples_per_block(block_align)
    out = bytearray()
    total = len(pcm16)
    for start in range(0, total, per_block):
        block = pcm16[start:start + per_block]
        if len(block) < 2:
            block = np.concatenate([block, np.zeros(2 - len(block), dtype=np.int64)])
        delta = _initial_delta(block)
        best = None
        for index, (c1, c2) in enumerate(COEFFICIENTS):
            codes, error = _encode_run(block, c1, c2, delta)
            if best is None or error < best[0]:
                best = (error, index, codes)
        _, index, codes = best
        if len(codes) % 2:
            codes.append(0)
        out += bytes([index])
        out += int(delta).to_bytes(2, "little", signed=True)
        out += int(block[1]).to_bytes(2, "little", signed=True)
        out += int(block[0]).to_bytes(2, "little", signed=True)
        out += bytes((codes[i] << 4) | codes[i + 1] for i in range(0, len(codes), 2))
    return bytes(out), total


def decode(data, block_align, frames):
    """Samples (int) back from the blocks, as a player would hear them; stops at `frames`."""
    out = []
    for start in range(0, len(data), block_align):
        block = data[start:start + block_align]
        if len(block) < HEADER_BYTES:
            break
        coef1, coef2 = COEFFICIENTS[block[0]]
        delta = int.from_bytes(block[1:3], "little", signed=True)
        s1 = int.from_bytes(block[3:5], "little", signed=True)
        s2 = int.from_bytes(block[5:7], "little", signed=True)
        out += [s2, s1]
        for byte in block[HEADER_BYTES:]:
            for nibble in (byte >> 4, byte & 0xF):
                code = nibble - 16 if nibble >= 8 else nibble
                value = _clamp16(((s1 * coef1 + s2 * coef2) >> 8) + code * delta)
                delta = max(16, (ADAPTATION[nibble] * delta) >> 8)
                s2, s1 = s1, value
                out.append(value)
    return np.array(out[:frames], dtype=np.int64)
