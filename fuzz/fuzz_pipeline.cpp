// The whole pipeline on any bytes, cut into the three files and option bytes
// (tests/support/pipeline.h): read in, criteria and a cut-off from the input,
// Annotate, one inspection, and every writer. Every document must be well
// formed and carry the view exactly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/pipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // One folder for the three files, reused by every run.
  static const tessarin::harness::Pipeline pipeline;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string problems =
      tessarin::harness::DocumentProblems(pipeline.Run(input));
  if (!problems.empty()) {
    std::fprintf(stderr, "fuzz_pipeline: %s", problems.c_str());
    std::abort();
  }
  return 0;
}
