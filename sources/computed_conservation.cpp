#include "sources/computed_conservation.h"

#include <array>
#include <charconv>
#include <vector>

#include "sources/scanner_hit.h"
#include "sources/site_import.h"

namespace tessarin {

namespace {

// Running sums over columns: entry c is the sum over columns 1 to c.
using RunningSums = std::vector<std::uint64_t>;

struct Window {
  std::uint32_t first;
  std::uint32_t last;
};

std::vector<Window> Windows(std::uint32_t length,
                            const WindowSettings& settings) {
  std::vector<Window> windows;
  for (std::uint64_t first = 1; first <= length; first += settings.step) {
    const std::uint64_t last = first + settings.width - 1;
    windows.push_back(
        {static_cast<std::uint32_t>(first),
         static_cast<std::uint32_t>(std::min<std::uint64_t>(last, length))});
    if (last >= length) break;
  }
  return windows;
}

std::uint64_t InWindow(const RunningSums& sums, const Window& w) {
  return sums[w.last] - sums[w.first - 1];
}

// 100 times the share of differing pairs, or kNoScore without a pair.
long double Difference(std::uint64_t pairs, std::uint64_t same) {
  if (pairs == 0) return kNoScore;
  return 100.0L * static_cast<long double>(pairs - same) /
         static_cast<long double>(pairs);
}

// The pairs of residues and the identical pairs among all rows, and the
// gaps, per column as running sums.
struct ColumnSums {
  RunningSums pairs, same, gaps;
};

ColumnSums AllPairSums(const TSeqSet& alignment, std::uint32_t length) {
  ColumnSums sums{RunningSums(length + 1, 0), RunningSums(length + 1, 0),
                  RunningSums(length + 1, 0)};
  std::array<std::uint64_t, 256> counts{};
  std::vector<unsigned char> seen;
  for (std::uint32_t c = 0; c < length; ++c) {
    std::uint64_t residues = 0, same = 0;
    for (const TSeq& seq : alignment.Seqs) {
      // A row shorter than the longest (no alignment) is gaps beyond its end.
      if (c >= seq.Seq.size() || seq.IsGap(seq.Seq[c])) continue;
      const char letter = seq.Seq[c];
      const auto byte = static_cast<unsigned char>(letter);
      if (counts[byte] == 0) seen.push_back(byte);
      same += counts[byte]++;
      ++residues;
    }
    for (const unsigned char byte : seen) counts[byte] = 0;
    seen.clear();
    const std::uint64_t rows = alignment.Seqs.size();
    const std::uint64_t pairs =
        residues < 2 ? 0 : residues * (residues - 1) / 2;
    sums.pairs[c + 1] = sums.pairs[c] + pairs;
    sums.same[c + 1] = sums.same[c] + same;
    sums.gaps[c + 1] = sums.gaps[c] + (rows - residues);
  }
  return sums;
}

// The pairs of `row` with `reference` that are both residues, and those
// that are identical, per column as running sums (reused buffers).
void PairSums(const TSeq& row, const TSeq& reference, std::uint32_t length,
              RunningSums& pairs, RunningSums& same) {
  for (std::uint32_t c = 0; c < length; ++c) {
    const char a = c < row.Seq.size() ? row.Seq[c] : '-';
    const char b = c < reference.Seq.size() ? reference.Seq[c] : '-';
    const bool pair = !row.IsGap(a) && !reference.IsGap(b);
    pairs[c + 1] = pairs[c] + (pair ? 1 : 0);
    same[c + 1] = same[c] + (pair && a == b ? 1 : 0);
  }
}

// A row's name as a score name: blanks, tabs and ';' go and ',' becomes '_',
// since a conservation file's score names cannot hold them.
std::string ScoreNameOf(std::string_view row) {
  std::string name(kDiffScore);
  name += '_';
  for (const char c : row) {
    if (c == ' ' || c == '\t' || c == ';') continue;
    name += c == ',' ? '_' : c;
  }
  return name;
}

void AddScore(TConserved& data, std::string name, long double cutoff) {
  data.ScoreNames.push_back(std::move(name));
  data.Cutoffs.push_back(cutoff);
  data.Scores.emplace_back();
}

// The shortest text that reads back to `value` exactly.
std::string ValueText(long double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::optional<WindowSettings> ParseWindowSettings(std::string_view text) {
  WindowSettings settings;
  if (text.empty()) return settings;
  const std::size_t colon = text.find(':');
  const std::optional<std::int64_t> width = ParseWhole(text.substr(0, colon));
  std::optional<std::int64_t> step = 1;
  if (colon != std::string_view::npos) {
    step = ParseWhole(text.substr(colon + 1));
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
  if (!width || !step || *width < 1 || *step < 1 || *width > kMax ||
      *step > kMax) {
    return std::nullopt;
  }
  settings.width = static_cast<std::uint32_t>(*width);
  settings.step = static_cast<std::uint32_t>(*step);
  return settings;
}

bool ComputeConservation(const TSeqSet& alignment,
                         const WindowSettings& settings, TConserved& data,
                         MessageSink& sink) {
  std::optional<std::size_t> reference;
  if (!settings.reference.empty()) {
    reference = FindRowByName(alignment, settings.reference);
    if (!reference) {
      sink.Show("No sequence named \"" + settings.reference +
                "\" for the reference");
      return false;
    }
  }
  const std::uint32_t length = alignment.MaxLength();
  const std::vector<Window> windows = Windows(length, settings);
  TConserved computed;
  const ColumnSums sums = AllPairSums(alignment, length);
  if (!reference) {
    AddScore(computed, std::string(kDiffScore), kDefaultDiffCutoff);
    for (const Window& w : windows) {
      computed.Scores.back().push_back(
          Difference(InWindow(sums.pairs, w), InWindow(sums.same, w)));
    }
  } else {
    const TSeq& ref = alignment.Seqs[*reference];
    RunningSums pairs(length + 1, 0), same(length + 1, 0);
    for (std::size_t r = 0; r < alignment.Seqs.size(); ++r) {
      if (r == *reference) continue;
      AddScore(computed, ScoreNameOf(alignment.Seqs[r].SeqName),
               kDefaultDiffCutoff);
      PairSums(alignment.Seqs[r], ref, length, pairs, same);
      AExt& scores = computed.Scores.back();
      scores.reserve(windows.size());
      for (const Window& w : windows) {
        scores.push_back(Difference(InWindow(pairs, w), InWindow(same, w)));
      }
    }
  }
  AddScore(computed, std::string(kGapsScore), kDefaultGapsCutoff);
  const auto rows = static_cast<long double>(alignment.Seqs.size());
  for (const Window& w : windows) {
    const long double cells = rows * (w.last - w.first + 1);
    computed.Scores.back().push_back(
        cells == 0 ? 0 : 100.0L * InWindow(sums.gaps, w) / cells);
    computed.WinStart.push_back(w.first);
    computed.WinEnd.push_back(w.last);
  }
  computed.NScores = static_cast<std::int32_t>(computed.ScoreNames.size());
  computed.StatNames = {"Thresh"};
  computed.Stats = {computed.Cutoffs};
  data = std::move(computed);
  return true;
}

void WriteConservationFile(const TConserved& data, std::ostream& out) {
  const std::size_t n = data.ScoreNames.size();
  auto write_values = [&](const AExt& values) {
    for (std::size_t j = 0; j < n; ++j) {
      out << ' ' << ValueText(j < values.size() ? values[j] : 0);
    }
    out << '\n';
  };
  out << "Conservation scores over sliding windows of the alignment\n"
      << "[SCORES]\nScoreNames = ";
  for (std::size_t j = 0; j < n; ++j) {
    out << (j == 0 ? "" : ", ") << data.ScoreNames[j];
  }
  out << "\nNSummaryStats = " << data.StatNames.size() << "\n[[STATS]]\n";
  bool thresh_written = false;
  for (std::size_t i = 0; i < data.StatNames.size(); ++i) {
    out << data.StatNames[i];
    const bool thresh = data.StatNames[i] == "Thresh" && !thresh_written;
    thresh_written = thresh_written || thresh;
    write_values(thresh ? data.Cutoffs
                        : (i < data.Stats.size() ? data.Stats[i] : AExt()));
  }
  out << "[[TABLE]]\n# start end, then one value per score\n";
  const std::size_t windows =
      std::min(data.WinStart.size(), data.WinEnd.size());
  for (std::size_t w = 0; w < windows; ++w) {
    out << data.WinStart[w] << ' ' << data.WinEnd[w];
    for (std::size_t j = 0; j < n; ++j) {
      const bool has = j < data.Scores.size() && w < data.Scores[j].size();
      out << ' ' << ValueText(has ? data.Scores[j][w] : 0);
    }
    out << '\n';
  }
  out << "*\n";
}

}  // namespace tessarin
