// The whole batch pipeline on one byte string, for the fuzz target and the
// tests that check documents. The input is cut into an aligned FASTA file, a
// TF file, a conservation file and option bytes; the files are read in, the
// criteria and one cut-off are set from the option bytes, Annotate runs, one
// selection is inspected and the view is written in every format.
#ifndef TESSARIN_TESTS_SUPPORT_PIPELINE_H_
#define TESSARIN_TESTS_SUPPORT_PIPELINE_H_

#include <string>
#include <string_view>
#include <vector>

#include "text/arrays.h"

namespace tessarin::harness {

// Separates the parts of a pipeline input.
inline constexpr std::string_view kPartSeparator = "\n=====\n";

struct PipelineParts {
  std::string fas;
  std::string tf;
  std::string cons;
  // Read in this order, each missing byte taking its default:
  //   6 bytes: the inspected selection, line, column and length (16 bits
  //            each, low byte first; default 0);
  //   one bit per score, low bit first: whether it is a criterion (default
  //            1; the bytes run to ceil(NScores / 8));
  //   1 byte:  the score whose cut-off is set, modulo NScores + 1, where
  //            NScores means none chosen (default: no cut-off is set);
  //   the rest: the text typed into the cut-off field.
  std::string options;
};

// Cuts `input` at the first three separators; missing parts are empty.
PipelineParts SplitPipelineInput(std::string_view input);
std::string JoinPipelineInput(const PipelineParts& parts);

// What the pipeline left: the view and the JSON extras as the workspace holds
// them, and the four documents.
struct PipelineResult {
  std::vector<std::string> lines;  // the view's lines
  std::string text;                // the view's text, each line with '\n'
  ADWord line_index;               // as the JSON document should carry it
  std::vector<std::string> messages;
  std::string status;
  std::vector<std::string> inspect;
  std::string rtf;
  std::string html;
  std::string json;
  std::string plain;  // the text document
};

// Runs pipelines in a folder of its own under the system's temporary folder,
// created on construction and removed on destruction.
class Pipeline {
 public:
  Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;
  ~Pipeline();

  PipelineResult Run(std::string_view input) const;
  PipelineResult Run(const PipelineParts& parts) const;

 private:
  std::string folder_;
};

// Everything wrong with the result's documents, one finding per line; empty
// when every document is well formed and carries the view exactly.
std::string DocumentProblems(const PipelineResult& result);

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_PIPELINE_H_
