// The same data written in each accepted format gives the same document.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "alignment/seq_set.h"
#include "app/cli.h"
#include "sources/tf_set.h"
#include "tests/support/temp_folder_test.h"
#include "text/message_sink.h"
#include "text/strings.h"

namespace tessarin {
namespace {

const std::string kExampleFas = TESSARIN_EXAMPLES "/promoter.fas";
const std::string kExampleCons = TESSARIN_EXAMPLES "/promoter.cons";

struct Site {
  std::string seq;
  std::uint32_t position;
  std::uint32_t length;
  std::string letters;  // empty: given by length only
};
struct Factor {
  std::string name;
  std::vector<Site> sites;
};

// The example's sites as a scanner would report them: case-sensitive sites
// become their upper-case run, read directly.
std::vector<Factor> ExampleSites() {
  TaTFSet factors;
  NullSink sink;
  ReadTFFile(TESSARIN_EXAMPLES "/promoter.tf", factors, sink);
  std::vector<Factor> out;
  for (const TTFSet& f : factors) {
    Factor& factor = out.emplace_back(Factor{f.Name, {}});
    for (std::size_t j = 0; j < f.SeqNames.size(); ++j) {
      Site site{f.SeqNames[j], f.Positions[j], 0, ""};
      if (f.MatchType == kMatchLength) {
        site.length = f.Lengths[j];
      } else if (f.MatchType == kMatchDirect) {
        site.letters = f.Sites[j];
      } else {
        const UpperRun run = FindUpperRun(f.Sites[j]);
        site.position += static_cast<std::uint32_t>(run.start - 1);
        site.letters = f.Sites[j].substr(run.start - 1, run.length);
      }
      if (!site.letters.empty()) {
        site.length = static_cast<std::uint32_t>(site.letters.size());
      }
      factor.sites.push_back(site);
    }
  }
  return out;
}

// A TF file of the same sites, labelled by factor; `letters` false writes
// every factor by length.
std::string AsTf(const std::vector<Factor>& factors, bool letters) {
  std::string out;
  for (const Factor& f : factors) {
    const bool direct = letters && !f.sites.front().letters.empty();
    out += "[TF]\nName = " + f.name +
           "\nMatchType = " + (direct ? "direct" : "length") + "\n[[TABLE]]\n";
    for (const Site& s : f.sites) {
      out += s.seq + " " + std::to_string(s.position) + " " + f.name + " " +
             (direct ? s.letters : std::to_string(s.length)) + "\n";
    }
    out += "*\n";
  }
  return out;
}

// Every other hit on the minus strand, its letters as FIMO gives them there:
// reverse-complemented.
std::string AsFimo(const std::vector<Factor>& factors) {
  std::string out =
      "motif_id\tmotif_alt_id\tsequence_name\tstart\tstop\tstrand\tscore\t"
      "p-value\tq-value\tmatched_sequence\n";
  bool minus = false;
  for (const Factor& f : factors) {
    for (const Site& s : f.sites) {
      std::string letters(s.letters.rbegin(), s.letters.rend());
      for (char& c : letters) {
        c = std::string_view("TGCA")[std::string_view("ACGT").find(c)];
      }
      minus = !minus;
      out += "MA0001.1\t" + f.name + "\t" + s.seq + "\t" +
             std::to_string(s.position) + "\t" +
             std::to_string(s.position + s.length - 1) + "\t" +
             (minus ? "-" : "+") + "\t10.5\t1e-05\t\t" +
             (minus ? letters : s.letters) + "\n";
    }
  }
  return out;
}

std::string AsBed(const std::vector<Factor>& factors) {
  std::string out = "track name=sites\n";
  for (const Factor& f : factors) {
    for (const Site& s : f.sites) {
      out += s.seq + "\t" + std::to_string(s.position - 1) + "\t" +
             std::to_string(s.position - 1 + s.length) + "\t" + f.name +
             "\t500\t+\n";
    }
  }
  return out;
}

std::string AsGff3(const std::vector<Factor>& factors) {
  std::string out = "##gff-version 3\n";
  for (const Factor& f : factors) {
    for (const Site& s : f.sites) {
      out += s.seq + "\tscan\tTF_binding_site\t" + std::to_string(s.position) +
             "\t" + std::to_string(s.position + s.length - 1) +
             "\t.\t+\t.\tID=site;Name=" + f.name + "\n";
    }
  }
  return out;
}

std::string AsClustal(const TSeqSet& set) {
  std::string out = "CLUSTAL W (1.83) multiple sequence alignment\n\n";
  const std::size_t length = set.MaxLength();
  for (std::size_t at = 0; at < length; at += 60) {
    for (const TSeq& seq : set.Seqs) {
      out += seq.SeqName + std::string(12 - seq.SeqName.size(), ' ') +
             seq.RawSeq.substr(at, 60) + " " +
             std::to_string(std::min(at + 60, length)) + "\n";
    }
    out += std::string(12, ' ') + "**  *:.\n\n";
  }
  return out;
}

// Gaps written as '.', as Stockholm allows; two blocks.
std::string AsStockholm(const TSeqSet& set) {
  std::string out = "# STOCKHOLM 1.0\n#=GF ID promoter\n\n";
  const std::size_t half = set.MaxLength() / 2;
  for (const std::size_t at : {std::size_t{0}, half}) {
    for (const TSeq& seq : set.Seqs) {
      std::string part =
          seq.RawSeq.substr(at, at == 0 ? half : std::string::npos);
      for (char& c : part) {
        if (c == '-') c = '.';
      }
      out += seq.SeqName + " " + part + "\n";
    }
    out += "#=GC SS_cons " + std::string(10, '.') + "\n\n";
  }
  return out + "//\n";
}

struct Result {
  int status;
  std::string out;
};

class ImportFormatsTest : public testing::TempFolderTest {
 protected:
  // tessarin-cli on the example alignment (or `fas`) with `args`.
  static Result Run(std::vector<std::string> args,
                    const std::string& fas = kExampleFas) {
    args.insert(args.begin(), {"tessarin-cli", "--fas", fas});
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status =
        RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str()};
  }

  // The JSON document with the example's conservation file and the given
  // inputs; fails the test when a message was reported.
  static std::string Json(std::vector<std::string> inputs,
                          const std::string& fas = kExampleFas) {
    inputs.insert(inputs.end(), {"--cons", kExampleCons, "--format", "json"});
    const Result result = Run(inputs, fas);
    EXPECT_EQ(result.status, kExitClean);
    return WithoutProvenance(result.out);
  }
  // The document without its last key: the provenance names the input
  // files, which differ by design.
  static std::string WithoutProvenance(const std::string& json) {
    return json.substr(0, json.rfind(",\n  \"provenance\"")) + "\n}\n";
  }
};

TEST_F(ImportFormatsTest, SameSitesInEveryFormatGiveTheSameDocument) {
  const std::vector<Factor> sites = ExampleSites();
  const std::string with_letters =
      Json({"--tf", Write("letters.tf", AsTf(sites, true))});
  const std::string by_length =
      Json({"--tf", Write("length.tf", AsTf(sites, false))});
  EXPECT_NE(with_letters, by_length);
  EXPECT_EQ(Json({"--sites", Write("s.tsv", AsFimo(sites))}), with_letters);
  EXPECT_EQ(Json({"--sites", Write("s.bed", AsBed(sites))}), by_length);
  EXPECT_EQ(Json({"--sites", Write("s.gff3", AsGff3(sites))}), by_length);
  // Recognised by content whatever the name, and merged across files.
  const std::vector<Factor> first(sites.begin(), sites.begin() + 2);
  const std::vector<Factor> rest(sites.begin() + 2, sites.end());
  EXPECT_EQ(Json({"--sites", Write("a.txt", AsGff3(first)), "--sites",
                  Write("b.dat", AsBed(rest))}),
            by_length);
}

TEST_F(ImportFormatsTest, MinusStrandHitOnReverseSitesIsAllBold) {
  // The AP-1 sites of mouse and rat read TGAGTCA on the row: the reverse
  // complement of TGACTCA.
  const std::string head =
      "motif_id\tmotif_alt_id\tsequence_name\tstart\tstop\tstrand\tscore\t"
      "p-value\tq-value\tmatched_sequence\n";
  auto runs_struck = [&](char strand) {
    std::string fimo = head;
    for (const char* row : {"mouse", "rat"}) {
      fimo += std::string("MA\tAP-1\t") + row + "\t38\t44\t" + strand +
              "\t9\t1e-5\t0.1\tTGACTCA\n";
    }
    const auto doc = nlohmann::json::parse(
        Json({"--sites", Write("ap1.tsv", fimo), "--criteria", ""}));
    int bold = 0, struck = 0;
    for (const auto& run : doc["runs"]) {
      if (run["color"] != FactorColor(0)) continue;
      const int style = run["style"];
      if (style & 1) bold += run["len"].get<int>();
      if (style & 8) struck += run["len"].get<int>();
    }
    return std::pair{bold, struck};
  };
  EXPECT_EQ(runs_struck('-'), std::pair(14, 0));
  EXPECT_NE(runs_struck('+').second, 0);
}

TEST_F(ImportFormatsTest, SameAlignmentInEveryFormatGivesTheSameDocument) {
  TSeqSet set;
  set.ReadFasta(kExampleFas);
  const std::string tf = TESSARIN_EXAMPLES "/promoter.tf";
  const std::string fasta = Json({"--tf", tf});
  EXPECT_EQ(Json({"--tf", tf}, Write("a.aln", AsClustal(set))), fasta);
  EXPECT_EQ(Json({"--tf", tf}, Write("a.sto", AsStockholm(set))), fasta);
}

TEST_F(ImportFormatsTest, ComputedWindowsWrittenOutReadBackToTheSameDocument) {
  const std::string tf = TESSARIN_EXAMPLES "/promoter.tf";
  const std::string cons = (dir_ / "computed.cons").string();
  const Result computed =
      Run({"--tf", tf, "--format", "json", "--windows", "20:10", "--reference",
           "human", "--cutoff", "DIFF_mouse=20", "--write-conservation", cons});
  EXPECT_EQ(computed.status, kExitClean);
  EXPECT_NE(computed.out.find("\"back\": 65535"), std::string::npos);
  const Result read = Run({"--tf", tf, "--format", "json", "--cons", cons});
  EXPECT_EQ(read.status, kExitClean);
  EXPECT_EQ(WithoutProvenance(read.out), WithoutProvenance(computed.out));
}

TEST_F(ImportFormatsTest, InputOptionsThatDoNotFitAreUsageErrors) {
  const std::string tf = TESSARIN_EXAMPLES "/promoter.tf";
  const std::vector<std::vector<std::string>> rows = {
      {"--cons", kExampleCons},
      {"--tf", tf},
      {"--tf", tf, "--cons", kExampleCons, "--windows"},
      {"--tf", tf, "--windows", "0"},
      {"--tf", tf, "--cons", kExampleCons, "--reference", "human"},
      {"--sites", tf, "--cons", kExampleCons, "--origin", "human=chr1"},
  };
  for (const std::vector<std::string>& row : rows) {
    const Result result = Run(row);
    EXPECT_EQ(result.status, kExitUsage) << row.back();
    EXPECT_TRUE(result.out.empty());
  }
}

}  // namespace
}  // namespace tessarin
