// The TF file reader on any bytes, into empty records and then into the
// records of that first reading: at most one message that stops it, and a
// reading without one leaves every factor coloured with parallel site columns.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sources/tf_format.h"
#include "sources/tf_set.h"
#include "text/line_file.h"
#include "text/message_sink.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_tf: %s\n", what);
  std::abort();
}

void Read(std::string_view content, tessarin::TaTFSet& factors) {
  tessarin::RecordingSink sink;
  tessarin::ReadTFLines(tessarin::LineText(std::string(content)), factors,
                        sink);
  // A malformed colour key is reported and the reading goes on; anything
  // else reported ends it.
  std::size_t stops = 0;
  for (const std::string& text : sink.texts) {
    if (text.find(tessarin::tf_format::kColorNotRgb) == std::string::npos) {
      ++stops;
    }
  }
  if (stops > 1) Fail("more than one message");
  if (stops != 0) return;
  for (std::size_t i = 0; i < factors.size(); ++i) {
    const tessarin::TTFSet& factor = factors[i];
    if (factor.Color != factor.ColorKey.value_or(tessarin::FactorColor(i))) {
      Fail("colour");
    }
    const std::size_t sites = factor.SeqNames.size();
    if (factor.Positions.size() != sites || factor.Labels.size() != sites) {
      Fail("site columns of different lengths");
    }
    const std::size_t fourth = factor.MatchType == tessarin::kMatchLength
                                   ? factor.Lengths.size()
                                   : factor.Sites.size();
    if (factor.MatchType > tessarin::kMatchLength || fourth != sites) {
      Fail("match type or fourth column");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  tessarin::TaTFSet factors;
  Read(content, factors);
  Read(content, factors);
  return 0;
}
