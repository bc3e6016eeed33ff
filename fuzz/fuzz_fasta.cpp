// The line file and the aligned FASTA reader on any bytes: the lines, of the
// line file and of LineText alike, are the content split exactly at its line
// ends, and every sequence read holds together.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "alignment/seq_set.h"
#include "text/line_file.h"
#include "text/strings.h"

namespace {

// Ends the run: libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_fasta: %s\n", what);
  std::abort();
}

// The content as its lines, each followed by '\n', must read: without one
// leading UTF-8 byte-order mark, up to the first Ctrl-Z, with CR LF and a
// lone CR turned into LF, and a line end added after an open last line.
std::string ExpectedLines(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  content = content.substr(0, content.find('\x1a'));
  std::string lines;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] != '\r') {
      lines += content[i];
    } else if (i + 1 == content.size() || content[i + 1] != '\n') {
      lines += '\n';
    }
  }
  if (!lines.empty() && lines.back() != '\n') lines += '\n';
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  tessarin::Ttf file;
  file.LoadFromText(content);
  std::string joined;
  std::size_t headers = 0;
  for (const std::string& line : file.Lines()) {
    joined += line;
    joined += '\n';
    if (line.find('>') != std::string::npos) ++headers;
  }
  if (joined != ExpectedLines(content)) Fail("lines differ from the content");
  const tessarin::LineText text{std::string(content)};
  if (text.Text() != joined) Fail("LineText differs from the line file");

  tessarin::TSeqSet alignment;
  if (alignment.ReadFastaLines(text) != headers) Fail("a header was missed");
  for (const tessarin::TSeq& seq : alignment.Seqs) {
    if (seq.Seq != tessarin::UpperAscii(seq.RawSeq)) Fail("Seq is not RawSeq");
    if (seq.RawSeq.find('>') != std::string::npos) Fail("'>' in a sequence");
    const tessarin::ADWord table = seq.GaplessTable();
    if (table.size() != seq.Seq.size()) Fail("gapless table length");
    const std::size_t residues = seq.GaplessSeq().size();
    if (!table.empty() && table.back() != residues) Fail("residue count");
    if (seq.GaplessCount(seq.Seq.size()) !=
        static_cast<std::int64_t>(residues)) {
      Fail("GaplessCount of the whole sequence");
    }
  }
  return 0;
}
