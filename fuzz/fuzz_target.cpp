// The libFuzzer entry point: plays one input and aborts with a clear message when an
// invariant breaks or an exception escapes the control.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "session.h"

namespace {

int64_t operations = 0;
int64_t inputs = 0;

void reportTotals() {
  std::fprintf(stderr, "tavi_fuzz: %lld operations in %lld inputs\n",
               static_cast<long long>(operations), static_cast<long long>(inputs));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (inputs++ == 0) std::atexit(reportTotals);
  try {
    operations += tavi::fuzz::play({data, size});
  } catch (const tavi::fuzz::InvariantFailure& failure) {
    std::fprintf(stderr, "INVARIANT BROKEN: %s\n", failure.message.c_str());
    std::abort();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "UNCAUGHT EXCEPTION: %s\n", e.what());
    std::abort();
  }
  return 0;
}
