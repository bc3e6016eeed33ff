// The conservation file reader on any bytes, into an empty record and then
// into the record of that first reading: at most one message, and a reading
// without one leaves a record whose arrays agree in length.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sources/conserved.h"
#include "text/line_file.h"
#include "text/message_sink.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_conservation: %s\n", what);
  std::abort();
}

void Read(std::string_view content, tessarin::TConserved& data) {
  tessarin::RecordingSink sink;
  tessarin::ReadConservationLines(tessarin::LineText(std::string(content)),
                                  data, sink);
  if (sink.texts.size() > 1) Fail("more than one message");
  if (!sink.texts.empty()) return;
  const auto scores = static_cast<std::size_t>(data.NScores);
  if (data.NScores <= 0 || data.ScoreNames.size() != scores ||
      data.Cutoffs.size() != scores || data.Scores.size() != scores) {
    Fail("score arrays of different lengths");
  }
  const std::size_t windows = data.WinStart.size();
  if (data.WinEnd.size() != windows) Fail("window arrays");
  for (const tessarin::AExt& values : data.Scores) {
    if (values.size() != windows) Fail("a score without a value per window");
  }
  if (data.StatNames.size() != data.Stats.size()) Fail("statistics arrays");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  tessarin::TConserved conserved;
  Read(content, conserved);
  Read(content, conserved);
  return 0;
}
