#include "support/pipeline.h"

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "app/workspace.h"
#include "support/html_reader.h"
#include "support/json_reader.h"
#include "support/rtf_reader.h"
#include "text/message_sink.h"
#include "view/rich_view.h"

namespace tessarin::harness {

namespace {

// Hands out the option bytes in order; a missing byte is the caller's
// default.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<std::uint8_t> Next() {
    if (bytes_.empty()) return std::nullopt;
    const auto byte = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return byte;
  }
  std::uint16_t Next16() {
    const std::uint8_t low = Next().value_or(0);
    const std::uint8_t high = Next().value_or(0);
    return static_cast<std::uint16_t>(low | (high << 8));
  }
  std::string_view Rest() const { return bytes_; }

 private:
  std::string_view bytes_;
};

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string Document(const Workspace& workspace, DocumentFormat format) {
  std::ostringstream out;
  workspace.Write(out, format);
  return out.str();
}

void SetCriteria(Workspace& workspace, ByteReader& options) {
  const std::size_t scores = workspace.Criteria().size();
  std::vector<bool> checked(scores, true);
  for (std::size_t first = 0; first < scores; first += 8) {
    const std::optional<std::uint8_t> bits = options.Next();
    if (!bits) break;
    for (std::size_t i = first; i < scores && i < first + 8; ++i) {
      checked[i] = ((*bits >> (i - first)) & 1) != 0;
    }
  }
  workspace.SetCriteria(checked);
}

void SetCutoff(Workspace& workspace, ByteReader& options) {
  const std::optional<std::uint8_t> choice = options.Next();
  if (!choice) return;
  const std::size_t scores = workspace.Conservation().ScoreNames.size();
  std::optional<std::size_t> score = *choice % (scores + 1);
  if (*score == scores) score.reset();
  workspace.StoreCutoff(score, options.Rest());
}

}  // namespace

PipelineParts SplitPipelineInput(std::string_view input) {
  PipelineParts parts;
  std::string* fields[] = {&parts.fas, &parts.tf, &parts.cons};
  for (std::string* field : fields) {
    const std::size_t cut = input.find(kPartSeparator);
    if (cut == std::string_view::npos) {
      *field = std::string(input);
      return parts;
    }
    *field = std::string(input.substr(0, cut));
    input.remove_prefix(cut + kPartSeparator.size());
  }
  parts.options = std::string(input);
  return parts;
}

std::string JoinPipelineInput(const PipelineParts& parts) {
  std::string input = parts.fas;
  for (const std::string* part : {&parts.tf, &parts.cons, &parts.options}) {
    input += kPartSeparator;
    input += *part;
  }
  return input;
}

Pipeline::Pipeline() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "tessarin_pipeline_XXXXXX")
          .string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create " + pattern);
  }
  folder_ = pattern;
}

Pipeline::~Pipeline() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

PipelineResult Pipeline::Run(std::string_view input) const {
  return Run(SplitPipelineInput(input));
}

PipelineResult Pipeline::Run(const PipelineParts& parts) const {
  const std::string fas = folder_ + "/a.fas";
  const std::string tf = folder_ + "/a.tf";
  const std::string cons = folder_ + "/a.cons";
  WriteFile(fas, parts.fas);
  WriteFile(tf, parts.tf);
  WriteFile(cons, parts.cons);

  NullSink sink;
  Workspace workspace(sink);
  workspace.SetPath(FileSlot::kFas, fas);
  workspace.SetPath(FileSlot::kTf, tf);
  workspace.SetPath(FileSlot::kConservation, cons);
  ByteReader options(parts.options);
  const std::uint16_t line = options.Next16();
  const std::uint16_t column = options.Next16();
  const std::uint16_t length = options.Next16();
  workspace.ReadInFiles();
  SetCriteria(workspace, options);
  SetCutoff(workspace, options);
  workspace.Annotate();
  RichView& view = workspace.View();
  view.SetSelection(LineStart(view, line) + column, length);
  workspace.RecordInspection();

  PipelineResult result;
  for (std::size_t i = 0; i < view.LineCount(); ++i) {
    result.lines.emplace_back(view.Line(i));
  }
  result.text = std::string(view.Text());
  if (workspace.Annotated()) result.line_index = workspace.LineIndex();
  result.messages = workspace.Messages();
  result.status = workspace.Status();
  result.inspect = workspace.Inspections();
  result.rtf = Document(workspace, DocumentFormat::kRtf);
  result.html = Document(workspace, DocumentFormat::kHtml);
  result.json = Document(workspace, DocumentFormat::kJson);
  result.plain = Document(workspace, DocumentFormat::kText);
  return result;
}

std::string DocumentProblems(const PipelineResult& result) {
  std::string problems;
  auto add = [&problems](std::string_view document, const std::string& found) {
    if (found.empty()) return;
    problems += document;
    problems += ": ";
    problems += found;
    problems += '\n';
  };
  add("RTF", RtfProblem(result.rtf, result.text));
  add("HTML", HtmlProblem(result.html, result.text));
  JsonExpectation expected{result.lines, result.line_index, result.messages,
                           result.status, result.inspect};
  add("JSON", JsonProblem(result.json, expected));
  if (result.plain != result.text) add("text", "differs from the view");
  return problems;
}

}  // namespace tessarin::harness
