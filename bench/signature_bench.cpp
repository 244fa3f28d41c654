// The update's check of a downloaded program on the real Windows layer: how long reading the
// file, hashing and verifying it (CNG) and reading its version resource take, the work the
// update does between the download and the start of the new version. Arguments: the file, the
// key (128 hex digits), the signature field, the announced version, the number of runs, and the
// file the figures are written to (Wine programs' output is awkward to read through pipes).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "online/file_version.h"
#include "online/update_signature.h"
#include "platform/win32/cng_signature_checker.h"
#include "platform/win32/code_page.h"
#include "platform/win32/win32_files.h"

namespace {

struct Figures {
  double median = 0;
  double worst = 0;
};

Figures Time(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 7) {
    std::fputws(L"usage: signature_bench FILE KEY SIGNATURE ANNOUNCED RUNS OUT\n", stderr);
    return 2;
  }
  const std::string path = zv::win32::WideToGbk(argv[1]);
  const std::optional<zv::EcPublicKey> key = zv::ParsePublicKey(zv::win32::WideToGbk(argv[2]));
  const zv::UpdateClaim claim{zv::win32::WideToGbk(argv[3]), _wtoi(argv[4])};
  const int runs = std::max(1, _wtoi(argv[5]));
  if (!key) return 2;

  zv::win32::Win32Files files;
  zv::win32::CngSignatureChecker checker;
  std::atomic<bool> notCut{false};
  std::optional<std::string> program;
  const Figures read = Time(runs, [&] { program = files.ReadFile(path); });
  if (!program) return 1;
  int genuine = 0;
  const Figures check = Time(runs, [&] {
    genuine += zv::UpdateIsGenuine(checker, *program, *key, claim, claim.announced - 1, notCut);
  });
  const Figures version = Time(runs, [&] { zv::ReadFileVersion(*program); });

  FILE* out = _wfopen(argv[6], L"w");
  if (!out) return 1;
  std::fprintf(out,
               "read_median_ms %.1f\nread_worst_ms %.1f\ncheck_median_ms %.1f\n"
               "check_worst_ms %.1f\nversion_median_ms %.3f\ngenuine %d/%d\n",
               read.median, read.worst, check.median, check.worst, version.median, genuine, runs);
  std::fclose(out);
  return 0;
}
