// The update's signature check on the real Windows layer (CNG): how long hashing and verifying
// a file takes, the same call the update makes between the download and the start of the new
// version. Arguments: the file, the key (128 hex digits), the signature field, the number of
// runs, and the file the figures are written to (Wine programs' output is awkward to read
// through pipes).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "online/update_signature.h"
#include "platform/win32/cng_signature_checker.h"
#include "platform/win32/code_page.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fputws(L"usage: signature_bench FILE KEY SIGNATURE RUNS OUT\n", stderr);
    return 2;
  }
  const std::string path = zv::win32::WideToGbk(argv[1]);
  const std::optional<zv::EcPublicKey> key = zv::ParsePublicKey(zv::win32::WideToGbk(argv[2]));
  const std::string field = zv::win32::WideToGbk(argv[3]);
  const int runs = std::max(1, _wtoi(argv[4]));
  if (!key) return 2;

  zv::win32::CngSignatureChecker checker;
  std::atomic<bool> notCut{false};
  std::vector<double> ms;
  int valid = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    valid += zv::UpdateFileIsSigned(checker, path, *key, field, notCut) ? 1 : 0;
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  FILE* out = _wfopen(argv[5], L"w");
  if (!out) return 1;
  std::fprintf(out, "cng_median_ms %.1f\ncng_worst_ms %.1f\ncng_valid %d/%d\n",
               ms[ms.size() / 2], ms.back(), valid, runs);
  std::fclose(out);
  return 0;
}
