// The clips made for this build, read through the program's own catalogue names and WAVE
// reader: every format and size as the board and the piano expect them, every clip but the
// notes at one loudness under the peak ceiling, and the notes at their pitches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <ebur128.h>

#include "base/little_endian.h"
#include "case_name.h"
#include "sound/clip_catalogue.h"
#include "sound/wave_bytes.h"

namespace zv {
namespace {

#ifdef ZANVORO_CLIP_DIR
const std::string kClipDir = ZANVORO_CLIP_DIR;
#else
const std::string kClipDir;
#endif

std::string ReadClip(const std::string& name) {
  std::ifstream in(kClipDir + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U32(std::string_view b, size_t at) { return ReadLittleEndian(b, at, 4); }
int U16(std::string_view b, size_t at) { return static_cast<int>(ReadLittleEndian(b, at, 2)); }
int S16(std::string_view b, size_t at) { return static_cast<int16_t>(U16(b, at)); }

struct Format {
  std::string clip;
  int tag, channels, rate, bits;
  size_t dataBytes, fileBytes;  // fileBytes 0: not fixed
  double seconds;
};

// PCM as floats in [-1, 1], channels left interleaved.
std::vector<double> Interleaved(std::string_view data, int bits) {
  const size_t width = static_cast<size_t>(bits / 8);
  std::vector<double> out(data.size() / width);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = bits == 8 ? (static_cast<unsigned char>(data[i * width]) - 128) / 128.0
                       : S16(data, i * width) / 32768.0;
  }
  return out;
}

// Mono or interleaved PCM as floats in [-1, 1], channels averaged.
std::vector<double> Samples(std::string_view data, int channels, int bits) {
  const std::vector<double> all = Interleaved(data, bits);
  std::vector<double> out(all.size() / channels);
  for (size_t f = 0; f < out.size(); ++f) {
    double sum = 0;
    for (int c = 0; c < channels; ++c) sum += all[f * channels + c];
    out[f] = sum / channels;
  }
  return out;
}

constexpr double kTargetLufs = -16.0;
constexpr double kToleranceLu = 1.5;
constexpr double kCeilingDbtp = -1.0;

struct Loudness {
  double lufs;  // integrated, or the loudest momentary value for a clip under 400 ms
  double truePeakDb;
};

// EBU R128 through libebur128. A mono clip counts as dual mono: it sounds from both speakers.
Loudness Measure(const std::vector<double>& interleaved, int channels, int rate) {
  const size_t frames = interleaved.size() / channels;
  auto close = [](ebur128_state* s) { ebur128_destroy(&s); };
  std::unique_ptr<ebur128_state, decltype(close)> whole(
      ebur128_init(channels, rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK), close);
  if (channels == 1) ebur128_set_channel(whole.get(), 0, EBUR128_DUAL_MONO);
  ebur128_add_frames_double(whole.get(), interleaved.data(), frames);
  Loudness out{-HUGE_VAL, -HUGE_VAL};
  ebur128_loudness_global(whole.get(), &out.lufs);
  for (int c = 0; c < channels; ++c) {
    double peak = 0;
    ebur128_true_peak(whole.get(), c, &peak);
    out.truePeakDb = std::max(out.truePeakDb, 20 * std::log10(peak));
  }
  if (std::isfinite(out.lufs)) return out;
  std::unique_ptr<ebur128_state, decltype(close)> sliding(
      ebur128_init(channels, rate, EBUR128_MODE_M), close);
  if (channels == 1) ebur128_set_channel(sliding.get(), 0, EBUR128_DUAL_MONO);
  std::vector<double> padded = interleaved;
  padded.resize(padded.size() + static_cast<size_t>(channels) * rate / 2, 0.0);
  const size_t hop = static_cast<size_t>(rate / 100);
  for (size_t f = 0; f < padded.size() / channels; f += hop) {
    const size_t count = std::min(hop, padded.size() / channels - f);
    ebur128_add_frames_double(sliding.get(), padded.data() + f * channels, count);
    double momentary = -HUGE_VAL;
    ebur128_loudness_momentary(sliding.get(), &momentary);
    out.lufs = std::max(out.lufs, momentary);
  }
  return out;
}

// Microsoft ADPCM, mono: every block's header and 4-bit codes back to samples.
std::vector<double> DecodeMsAdpcm(std::string_view data, size_t blockAlign,
                                  const std::vector<std::pair<int, int>>& coefficients) {
  static const int kAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                 768, 614, 512, 409, 307, 230, 230, 230};
  std::vector<double> out;
  for (size_t start = 0; start + 7 <= data.size(); start += blockAlign) {
    const std::string_view block = data.substr(start, blockAlign);
    const auto [c1, c2] = coefficients.at(static_cast<unsigned char>(block[0]));
    int delta = S16(block, 1), s1 = S16(block, 3), s2 = S16(block, 5);
    out.push_back(s2 / 32768.0);
    out.push_back(s1 / 32768.0);
    for (size_t i = 7; i < block.size(); ++i) {
      for (int nibble : {static_cast<unsigned char>(block[i]) >> 4, block[i] & 0xF}) {
        const int code = nibble >= 8 ? nibble - 16 : nibble;
        const int value = std::clamp((s1 * c1 + s2 * c2) / 256 + code * delta, -32768, 32767);
        delta = std::max(16, kAdapt[nibble] * delta / 256);
        s2 = s1;
        s1 = value;
        out.push_back(value / 32768.0);
      }
    }
  }
  return out;
}

double Peak(const std::vector<double>& x, size_t from, size_t to) {
  double peak = 0;
  for (size_t i = from; i < std::min(to, x.size()); ++i) peak = std::max(peak, std::abs(x[i]));
  return peak;
}

// Magnitude of one frequency over a Hann-windowed stretch.
double Magnitude(const std::vector<double>& x, size_t from, size_t count, double freq, int rate) {
  const std::complex<double> step = std::polar(1.0, -2 * M_PI * freq / rate);
  std::complex<double> turn = 1.0, sum = 0.0;
  for (size_t n = 0; n < count; ++n) {
    const double window = 0.5 - 0.5 * std::cos(2 * M_PI * n / (count - 1));
    sum += x[from + n] * window * turn;
    turn *= step;
  }
  return std::abs(sum);
}

// The lowest strong spectral peak between 60 and 2500 Hz, found on a coarse grid and then
// narrowed down to a hundredth of a hertz over two seconds of sound.
double Fundamental(const std::vector<double>& x, size_t from, int rate) {
  const size_t coarse = static_cast<size_t>(rate / 4);
  std::vector<double> spectrum;
  for (int f = 60; f <= 2500; f += 2) spectrum.push_back(Magnitude(x, from, coarse, f, rate));
  const double strongest = *std::max_element(spectrum.begin(), spectrum.end());
  double centre = 0;
  for (size_t i = 1; i + 1 < spectrum.size(); ++i) {
    if (spectrum[i] >= 0.25 * strongest && spectrum[i] >= spectrum[i - 1] &&
        spectrum[i] >= spectrum[i + 1]) {
      centre = 60.0 + 2.0 * i;
      break;
    }
  }
  const size_t fine = static_cast<size_t>(2 * rate);
  for (double span : {4.0, 0.3, 0.03}) {
    double best = -1, bestFreq = centre;
    for (double f = centre - span; f <= centre + span; f += span / 10) {
      const double m = Magnitude(x, from, fine, f, rate);
      if (m > best) best = m, bestFreq = f;
    }
    centre = bestFreq;
  }
  return centre;
}

class ClipFormatTest : public testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    if (kClipDir.empty()) GTEST_SKIP() << "no clips in this build";
  }
};

TEST_P(ClipFormatTest, MatchesItsRowAtOneLoudnessUnderTheCeiling) {
  const Format& row = GetParam();
  const std::string bytes = ReadClip(row.clip);
  ASSERT_FALSE(bytes.empty()) << row.clip;
  if (row.fileBytes) {
    EXPECT_EQ(bytes.size(), row.fileBytes);
  }
  EXPECT_EQ(U32(bytes, 4), bytes.size() - 8);
  const auto chunks = FindWaveChunks(bytes);
  ASSERT_TRUE(chunks);
  const std::string_view fmt = chunks->format;
  EXPECT_EQ(U16(fmt, 0), row.tag);
  EXPECT_EQ(U16(fmt, 2), row.channels);
  EXPECT_EQ(static_cast<int>(U32(fmt, 4)), row.rate);
  EXPECT_EQ(U16(fmt, 14), row.bits);
  EXPECT_EQ(chunks->data.size(), row.dataBytes);
  std::vector<double> samples, interleaved;
  double seconds = 0;
  if (row.tag == 1) {
    // The canonical 44-byte header: "fmt " of 16 bytes, then the samples.
    EXPECT_EQ(fmt.size(), 16u);
    EXPECT_EQ(chunks->data.data() - bytes.data(), 44);
    EXPECT_EQ(U16(fmt, 12), row.channels * row.bits / 8);
    EXPECT_EQ(U32(fmt, 8), static_cast<uint32_t>(row.rate * row.channels * row.bits / 8));
    samples = Samples(chunks->data, row.channels, row.bits);
    interleaved = Interleaved(chunks->data, row.bits);
    seconds = static_cast<double>(row.dataBytes) / U32(fmt, 8);
  } else {
    ASSERT_EQ(fmt.size(), 50u);
    EXPECT_EQ(U16(fmt, 16), 32);  // cbSize
    const size_t blockAlign = static_cast<size_t>(U16(fmt, 12));
    const int perBlock = U16(fmt, 18);
    EXPECT_EQ(perBlock, static_cast<int>((blockAlign - 7) * 2 + 2));
    // The range of samples per block a mixer such as XAudio2 decodes.
    EXPECT_GE(perBlock, 32);
    EXPECT_LE(perBlock, 512);
    ASSERT_EQ(U16(fmt, 20), 7);
    std::vector<std::pair<int, int>> coefficients;
    for (int i = 0; i < 7; ++i) coefficients.emplace_back(S16(fmt, 22 + 4 * i), S16(fmt, 24 + 4 * i));
    const std::vector<std::pair<int, int>> standard = {{256, 0},  {512, -256}, {0, 0},    {192, 64},
                                                       {240, 0},  {460, -208}, {392, -232}};
    EXPECT_EQ(coefficients, standard);
    const size_t fact = bytes.find("fact");
    ASSERT_NE(fact, std::string::npos);
    const uint32_t frames = U32(bytes, fact + 8);
    EXPECT_NE(bytes.find("LIST"), std::string::npos);
    samples = DecodeMsAdpcm(chunks->data, blockAlign, coefficients);
    EXPECT_EQ(samples.size(), frames);
    // A mixer is handed whole blocks only: the short block at the end holds no sound.
    const size_t whole = chunks->data.size() / blockAlign * static_cast<size_t>(perBlock);
    EXPECT_EQ(Peak(samples, whole, samples.size()), 0.0);
    interleaved = samples;
    seconds = static_cast<double>(frames) / row.rate;
  }
  EXPECT_NEAR(seconds, row.seconds, 0.0051);
  EXPECT_GT(Peak(samples, 0, samples.size()), 0.05);
  EXPECT_LT(Peak(samples, 0, samples.size()), 0.99);
  const Loudness level = Measure(interleaved, row.channels, row.rate);
  EXPECT_NEAR(level.lufs, kTargetLufs, kToleranceLu) << row.clip;
  EXPECT_LE(level.truePeakDb, kCeilingDbtp) << row.clip;
}

std::vector<Format> BoardRows() {
  struct Row { int tag, ch, rate, bits; size_t file, data; double s; };
  const Row rows[kBoardClipCount] = {
      // Clip 2 keeps its sizes in blocks of 500 samples, which leave 9097 bytes room for
      // 17762 samples (0.806 s) and no more: 0.82 s took blocks longer than a mixer decodes.
      {1, 1, 11025, 8, 6947, 6903, 0.63},         {2, 1, 22050, 4, 9220, 9097, 0.806},
      {1, 2, 22050, 16, 230044, 230000, 2.61},    {1, 2, 44100, 16, 677420, 677376, 3.84},
      {1, 2, 44100, 16, 539180, 539136, 3.06},    {1, 2, 44100, 16, 3686444, 3686400, 20.90},
      {1, 1, 22050, 16, 25388, 25344, 0.57},      {1, 2, 44100, 16, 299564, 299520, 1.70},
      {1, 2, 44100, 16, 5732396, 5732352, 32.50}, {1, 2, 44100, 16, 92204, 92160, 0.52},
      {1, 2, 44100, 16, 2087468, 2087424, 11.83}, {1, 2, 44100, 16, 106028, 105984, 0.60},
      {1, 1, 44100, 16, 71468, 71424, 0.81},      {1, 2, 44100, 16, 944684, 944640, 5.36},
      {1, 2, 44100, 16, 82988, 82944, 0.47},      {1, 2, 44100, 16, 50732, 50688, 0.29},
      {1, 2, 44100, 16, 235052, 235008, 1.33},    {1, 1, 44100, 16, 55340, 55296, 0.63},
      {1, 1, 44100, 16, 142892, 142848, 1.62},    {1, 1, 22050, 16, 213164, 213120, 4.83},
      {1, 2, 44100, 16, 737324, 737280, 4.18},    {1, 2, 44100, 16, 202796, 202752, 1.15},
      {1, 2, 44100, 16, 732716, 732672, 4.15},    {1, 2, 44100, 16, 92204, 92160, 0.52},
      {1, 2, 44100, 16, 1663532, 1663488, 9.43},  {1, 2, 44100, 16, 852524, 852480, 4.83},
      {1, 2, 44100, 16, 2755628, 2755584, 15.62}, {1, 2, 44100, 16, 322604, 322560, 1.83},
      {1, 2, 44100, 16, 423980, 423936, 2.40},    {1, 1, 44100, 16, 2214188, 2214144, 25.10},
      {1, 2, 44100, 16, 834092, 834048, 4.73},    {1, 2, 44100, 16, 396332, 396288, 2.25},
      {1, 1, 44100, 16, 48428, 48384, 0.55},      {1, 1, 22050, 16, 125612, 125568, 2.85},
      {1, 2, 44100, 16, 658988, 658944, 3.74},    {1, 1, 11025, 16, 85292, 85248, 3.87},
      {1, 2, 44100, 16, 714284, 714240, 4.05},    {1, 2, 44100, 16, 414764, 414720, 2.35},
      {1, 2, 44100, 16, 364076, 364032, 2.06},    {1, 1, 22050, 16, 81836, 81792, 1.85},
      {1, 1, 22050, 16, 203948, 203904, 4.62},    {1, 2, 44100, 16, 3792428, 3792384, 21.50},
      {1, 2, 44100, 16, 354860, 354816, 2.01},    {1, 2, 44100, 16, 1281068, 1281024, 7.26},
      {1, 2, 44100, 16, 1138220, 1138176, 6.45},  {1, 2, 44100, 16, 903212, 903168, 5.12},
      {1, 2, 44100, 16, 622124, 622080, 3.53},    {1, 2, 44100, 16, 354860, 354816, 2.01},
      {1, 1, 22050, 16, 2545496, 2545452, 57.72}, {1, 2, 44100, 16, 370044, 370000, 2.10}};
  std::vector<Format> out;
  for (int n = 1; n <= kBoardClipCount; ++n) {
    const Row& r = rows[n - 1];
    out.push_back({BoardClipName(n), r.tag, r.ch, r.rate, r.bits, r.data, r.file, r.s});
  }
  return out;
}

std::vector<Format> EffectRows() {
  struct Row { int vk, ch, rate, bits; size_t data; double s; };
  const Row rows[] = {
      {0x70, 1, 22050, 8, 3697, 0.168}, {0x71, 1, 11025, 8, 5352, 0.485},
      {0x72, 1, 11025, 8, 1353, 0.123}, {0x73, 1, 11025, 8, 1933, 0.175},
      {0x74, 2, 44100, 16, 5000, 0.028}, {0x75, 2, 48000, 16, 54868, 0.286},
      {0x76, 2, 48000, 16, 27832, 0.145}, {0x77, 2, 48000, 16, 3176, 0.017},
      {0x78, 1, 11025, 8, 1246, 0.113}, {0x79, 1, 11025, 8, 1961, 0.178},
      {0x7A, 1, 22000, 16, 8574, 0.195}, {0x7B, 1, 11000, 8, 5977, 0.543},
      {'1', 1, 11025, 8, 3328, 0.302},  {'2', 1, 11025, 8, 8946, 0.811},
      {'3', 1, 22255, 8, 18396, 0.827}, {'4', 1, 8000, 8, 5664, 0.708},
      {'5', 2, 11025, 16, 9572, 0.217}, {'6', 1, 11025, 8, 26280, 2.384},
      {'7', 1, 22050, 8, 17820, 0.808}, {'8', 1, 11025, 8, 10208, 0.926}};
  std::vector<Format> out;
  for (const Row& r : rows)
    out.push_back({PianoClipName(r.vk), 1, r.ch, r.rate, r.bits, r.data, r.data + 44, r.s});
  return out;
}

const auto kByClip = test::NamedBy([](const Format& f) { return f.clip; });
INSTANTIATE_TEST_SUITE_P(Board, ClipFormatTest, testing::ValuesIn(BoardRows()), kByClip);
INSTANTIATE_TEST_SUITE_P(PianoEffects, ClipFormatTest, testing::ValuesIn(EffectRows()), kByClip);

TEST(BoardClipsTest, AllFiftyTakeTheirKnownTotal) {
  if (kClipDir.empty()) GTEST_SKIP() << "no clips in this build";
  size_t total = 0;
  for (int n = 1; n <= kBoardClipCount; ++n) total += ReadClip(BoardClipName(n)).size();
  EXPECT_EQ(total, 40576083u);
}

struct NoteRow {
  char key;
  double pitch;
};

class NoteClipTest : public testing::TestWithParam<NoteRow> {};

TEST_P(NoteClipTest, IsSilentThenStruckThenFadesAtItsPitch) {
  if (kClipDir.empty()) GTEST_SKIP() << "no clips in this build";
  const std::string bytes = ReadClip(PianoClipName(GetParam().key));
  ASSERT_EQ(bytes.size(), 66808u + 44u);
  const auto chunks = FindWaveChunks(bytes);
  ASSERT_TRUE(chunks);
  EXPECT_EQ(U16(chunks->format, 0), 1);
  EXPECT_EQ(U16(chunks->format, 2), 1);
  EXPECT_EQ(U32(chunks->format, 4), 11025u);
  EXPECT_EQ(U16(chunks->format, 14), 16);
  const std::vector<double> x = Samples(chunks->data, 1, 16);
  ASSERT_EQ(x.size(), 33404u);
  const int rate = 11025;
  const double peak = Peak(x, 0, x.size());
  EXPECT_LT(Peak(x, 0, static_cast<size_t>(0.155 * rate)), 0.001);
  // The strike: the loudest 10 ms lies around 0.18 s.
  size_t loudest = 0;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::abs(x[i]) > std::abs(x[loudest])) loudest = i;
  EXPECT_NEAR(static_cast<double>(loudest) / rate, 0.18, 0.03);
  EXPECT_LT(Peak(x, x.size() - rate / 10, x.size()), 0.02 * peak);
  const double measured = Fundamental(x, static_cast<size_t>(0.2 * rate), rate);
  EXPECT_NEAR(measured, GetParam().pitch, GetParam().pitch * 0.003);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoteClipTest,
    testing::Values(NoteRow{'Q', 120.3}, NoteRow{'W', 135.0}, NoteRow{'E', 151.6},
                    NoteRow{'A', 160.1}, NoteRow{'S', 180.3}, NoteRow{'Z', 202.3},
                    NoteRow{'X', 227.1}, NoteRow{'R', 240.6}, NoteRow{'T', 270.1},
                    NoteRow{'D', 303.1}, NoteRow{'F', 321.2}, NoteRow{'G', 360.5},
                    NoteRow{'C', 404.6}, NoteRow{'V', 454.2}, NoteRow{'Y', 481.2},
                    NoteRow{'U', 540.1}, NoteRow{'I', 606.3}, NoteRow{'H', 642.3},
                    NoteRow{'J', 723.1}, NoteRow{'B', 811.6}, NoteRow{'N', 911.0},
                    NoteRow{'O', 965.2}, NoteRow{'P', 1083.4}, NoteRow{'K', 1219.6},
                    NoteRow{'L', 1292.1}, NoteRow{'M', 1450.4}),
    [](const auto& info) { return std::string(1, info.param.key); });

}  // namespace
}  // namespace zv
