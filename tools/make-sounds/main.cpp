// Writes the game's sounds: set.wav (two pieces join) and win.wav (the picture is complete),
// and the fallback chime compiled into the program. Deterministic: same bytes on every run.
//   make-sounds DATA_DIR RESOURCE_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void WriteWav(const std::string& path, const std::vector<double>& samples) {
  std::vector<int16_t> pcm(samples.size());
  double peak = 1e-9;
  for (double s : samples) peak = std::max(peak, std::fabs(s));
  for (size_t i = 0; i < samples.size(); ++i) pcm[i] = int16_t(std::lround(samples[i] / peak * 0.8 * 32767));
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::perror(path.c_str());
    std::exit(1);
  }
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  const uint32_t bytes = uint32_t(pcm.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  std::fwrite(pcm.data(), 2, pcm.size(), f);
  std::fclose(f);
}

// A struck wooden block: a few inharmonic partials with fast decay and a soft attack.
std::vector<double> WoodKnock() {
  std::vector<double> out(size_t(kRate * 0.16));
  const double partials[][3] = {{520, 1.0, 38}, {1190, 0.45, 60}, {2230, 0.2, 90}};
  uint32_t noise = 12345;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    double s = 0;
    for (auto& p : partials) s += p[1] * std::sin(2 * kPi * p[0] * t) * std::exp(-p[2] * t);
    noise = noise * 1664525u + 1013904223u;
    s += 0.25 * (double(noise >> 8) / double(1 << 24) - 0.5) * std::exp(-400 * t);
    s *= std::min(1.0, t / 0.002);
    out[i] = s;
  }
  return out;
}

// A bell note: the partials of a small glockenspiel bar.
void AddBell(std::vector<double>& out, double start, double freq, double gain, double decay) {
  const double ratios[][2] = {{1.0, 1.0}, {2.76, 0.35}, {5.40, 0.12}, {2.0, 0.2}};
  const size_t first = size_t(start * kRate);
  for (size_t i = first; i < out.size(); ++i) {
    const double t = double(i - first) / kRate;
    double s = 0;
    for (auto& r : ratios) s += r[1] * std::sin(2 * kPi * freq * r[0] * t) * std::exp(-decay * r[0] * t);
    out[i] += gain * s * std::min(1.0, t / 0.004);
  }
}

std::vector<double> Fanfare() {
  std::vector<double> out(size_t(kRate * 1.9));
  const double notes[] = {523.25, 659.25, 783.99, 1046.5};  // C5 E5 G5 C6
  for (int k = 0; k < 4; ++k) AddBell(out, 0.12 * k, notes[k], 1.0, 2.2);
  AddBell(out, 0.6, 523.25, 0.5, 1.6);
  AddBell(out, 0.6, 659.25, 0.45, 1.6);
  AddBell(out, 0.6, 783.99, 0.45, 1.6);
  AddBell(out, 0.6, 1046.5, 0.6, 1.4);
  return out;
}

std::vector<double> Chime() {
  std::vector<double> out(size_t(kRate * 0.6));
  AddBell(out, 0, 880, 1.0, 5);
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make-sounds DATA_DIR RESOURCE_DIR\n");
    return 2;
  }
  const std::string data = argv[1], res = argv[2];
  WriteWav(data + "/set.wav", WoodKnock());
  WriteWav(data + "/win.wav", Fanfare());
  WriteWav(res + "/sound/default.wav", Chime());
  return 0;
}
