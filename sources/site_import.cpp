#include "sources/site_import.h"

#include <cmath>
#include <functional>
#include <unordered_map>
#include <utility>

#include "sources/bed_sites.h"
#include "sources/fimo_sites.h"
#include "sources/gff3_sites.h"
#include "sources/scanner_hit.h"
#include "text/line_file.h"

namespace tessarin {

namespace {

constexpr std::string_view kWordBreaks = " \t";

std::string_view FirstWord(std::string_view name) {
  const std::size_t begin = name.find_first_not_of(kWordBreaks);
  if (begin == std::string_view::npos) return {};
  name.remove_prefix(begin);
  return name.substr(0, name.find_first_of(kWordBreaks));
}

// Looks rows up by name in constant time: exact names first, then first
// words; the first row with a name wins.
class RowNames {
 public:
  explicit RowNames(const TSeqSet& alignment) {
    for (std::size_t i = 0; i < alignment.Seqs.size(); ++i) {
      const std::string_view name = alignment.Seqs[i].SeqName;
      exact_.try_emplace(name, i);
      first_word_.try_emplace(FirstWord(name), i);
    }
  }
  std::optional<std::size_t> Find(std::string_view name) const {
    if (const auto it = exact_.find(name); it != exact_.end()) {
      return it->second;
    }
    if (const auto it = first_word_.find(name); it != first_word_.end()) {
      return it->second;
    }
    return std::nullopt;
  }

 private:
  std::unordered_map<std::string_view, std::size_t> exact_;
  std::unordered_map<std::string_view, std::size_t> first_word_;
};

// One site as it goes into a factor record.
struct PlacedSite {
  std::uint32_t position = 0;
  std::uint32_t length = 0;
  std::string letters;  // as the row reads them; empty when not given
  TSiteDetail detail;
};

// Hashes std::string and std::string_view alike, so that a motif name is
// looked up without making a string of it.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const {
    return std::hash<std::string_view>()(name);
  }
};

// Appends sites to factors by motif name, then settles each imported
// factor's match type: direct when every site has letters, else length.
// A factor is imported when it has details.
class FactorBuilder {
 public:
  FactorBuilder(TaTFSet& factors, TSiteDetails& details)
      : factors_(factors), details_(details) {
    details_.resize(factors_.size());
    for (std::size_t i = 0; i < factors_.size(); ++i) {
      if (details_[i].empty()) continue;
      by_name_.try_emplace(factors_[i].Name, i);
      TTFSet& factor = factors_[i];
      if (factor.MatchType != kMatchDirect) continue;
      // Lengths are kept beside the letters while sites are added.
      factor.Lengths.clear();
      for (const std::string& site : factor.Sites) {
        factor.Lengths.push_back(static_cast<std::uint32_t>(site.size()));
      }
    }
  }

  void Add(std::string_view motif, const std::string& row_name,
           PlacedSite site) {
    auto it = by_name_.find(motif);
    if (it == by_name_.end()) {
      it = by_name_.emplace(std::string(motif), factors_.size()).first;
      TTFSet& factor = factors_.emplace_back();
      factor.Name = it->first;
      factor.Color = FactorColor(it->second);
      factor.MatchType = kMatchDirect;
      details_.emplace_back();
    }
    TTFSet& factor = factors_[it->second];
    if (site.letters.empty() && factor.MatchType == kMatchDirect) {
      // From here on the factor is read by length: its letters go.
      factor.MatchType = kMatchLength;
      AString().swap(factor.Sites);
    }
    factor.SeqNames.push_back(row_name);
    factor.Positions.push_back(site.position);
    factor.Labels.push_back(factor.Name);
    if (factor.MatchType == kMatchDirect) {
      factor.Sites.push_back(std::move(site.letters));
    }
    factor.Lengths.push_back(site.length);
    details_[it->second].push_back(site.detail);
    ++added_;
  }

  // Leaves each imported factor with only the column its match type reads;
  // returns the number of sites added.
  std::size_t Finish() {
    for (std::size_t i = 0; i < factors_.size(); ++i) {
      if (!details_[i].empty() && factors_[i].MatchType == kMatchDirect) {
        ADWord().swap(factors_[i].Lengths);
      }
    }
    return added_;
  }

 private:
  TaTFSet& factors_;
  TSiteDetails& details_;
  std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>>
      by_name_;
  std::size_t added_ = 0;
};

// Counts the hits a filter had to keep because they lack its value.
struct FilterGaps {
  std::size_t without_p = 0;
  std::size_t without_q = 0;
  std::size_t without_score = 0;
};

bool PassesFilters(const ScannerHit& hit, const SiteImportOptions& options,
                   FilterGaps& gaps) {
  auto passes = [](double value, const std::optional<double>& limit,
                   bool is_max, std::size_t& missing) {
    if (!limit) return true;
    if (std::isnan(value)) {
      ++missing;
      return true;
    }
    return is_max ? value <= *limit : value >= *limit;
  };
  return passes(hit.p_value, options.max_p, true, gaps.without_p) &&
         passes(hit.q_value, options.max_q, true, gaps.without_q) &&
         passes(hit.score, options.min_score, false, gaps.without_score);
}

// The origins resolved to rows; a row no origin names is left out.
struct ResolvedOrigin {
  const SiteOrigin* origin;
  std::size_t row;
};

class SiteImporter {
 public:
  SiteImporter(const std::string& path, const TSeqSet& alignment,
               const SiteImportOptions& options, FactorBuilder& builder,
               MessageSink& sink)
      : path_(path),
        alignment_(alignment),
        options_(options),
        builder_(builder),
        sink_(sink),
        rows_(alignment) {
    residues_.reserve(alignment.Seqs.size());
    for (const TSeq& seq : alignment.Seqs) {
      residues_.push_back(seq.GaplessCount(seq.Seq.size()));
    }
    for (const SiteOrigin& origin : options.origins) {
      if (const auto row = rows_.Find(origin.row)) {
        origins_.push_back({&origin, *row});
        continue;
      }
      sink_.Show(path_ + ": no sequence \"" + origin.row +
                 "\" for the origin of " + origin.chrom);
    }
  }

  void Take(std::size_t line_number, const SiteLine& line) {
    if (line.kind == SiteLine::kNothing) return;
    if (line.kind == SiteLine::kProblem) {
      Report(line_number, line.problem);
      return;
    }
    Place(line_number, line.hit);
  }

  void ReportFilterGaps() {
    auto report = [this](std::size_t count, std::string_view value) {
      if (count == 0) return;
      sink_.Show(path_ + ": hits kept without " + std::string(value) +
                 " to filter on: " + std::to_string(count));
    };
    report(gaps_.without_p, "a p-value");
    report(gaps_.without_q, "a q-value");
    report(gaps_.without_score, "a score");
  }

 private:
  void Report(std::size_t line_number, std::string_view reason) {
    sink_.Show(path_ + ":" + std::to_string(line_number) + ": " +
               std::string(reason));
  }

  // Maps the hit onto a row: through an origin on its chromosome, else by
  // the row's name. Sets the hit's strand relative to the row.
  std::optional<std::size_t> MapToRow(ScannerHit& hit) const {
    for (const ResolvedOrigin& resolved : origins_) {
      const SiteOrigin& origin = *resolved.origin;
      if (origin.chrom != hit.sequence) continue;
      if (!origin.minus) {
        hit.first = hit.first - origin.start + 1;
        hit.last = hit.last - origin.start + 1;
        return resolved.row;
      }
      const std::int64_t first = origin.start - hit.last + 1;
      hit.last = origin.start - hit.first + 1;
      hit.first = first;
      if (hit.strand != '.') hit.strand = hit.strand == '+' ? '-' : '+';
      return resolved.row;
    }
    return rows_.Find(hit.sequence);
  }

  void Place(std::size_t line_number, ScannerHit hit) {
    if (hit.motif.empty()) return Report(line_number, "the motif has no name");
    if (hit.last < hit.first) {
      return Report(line_number, "the hit ends before it starts");
    }
    if (!hit.letters.empty() && static_cast<std::int64_t>(hit.letters.size()) !=
                                    hit.last - hit.first + 1) {
      return Report(line_number, "the matched letters are " +
                                     std::to_string(hit.letters.size()) +
                                     " for a hit of " +
                                     std::to_string(hit.last - hit.first + 1) +
                                     " positions");
    }
    const std::optional<std::size_t> row = MapToRow(hit);
    if (!row) {
      return Report(line_number,
                    "unknown sequence \"" + std::string(hit.sequence) + "\"");
    }
    const std::int64_t residues = residues_[*row];
    if (hit.first < 1 || hit.last > residues) {
      return Report(line_number,
                    "positions " + std::to_string(hit.first) + " to " +
                        std::to_string(hit.last) + " lie outside the " +
                        std::to_string(residues) + " residues of \"" +
                        alignment_.Seqs[*row].SeqName + "\"");
    }
    if (!PassesFilters(hit, options_, gaps_)) return;
    PlacedSite site;
    site.position = static_cast<std::uint32_t>(hit.first);
    site.length = static_cast<std::uint32_t>(hit.last - hit.first + 1);
    site.letters = hit.strand == '-' ? ReverseComplement(hit.letters)
                                     : std::string(hit.letters);
    site.detail = {hit.strand, hit.score, hit.p_value, hit.q_value};
    builder_.Add(hit.motif, alignment_.Seqs[*row].SeqName, std::move(site));
  }

  const std::string& path_;
  const TSeqSet& alignment_;
  const SiteImportOptions& options_;
  FactorBuilder& builder_;
  MessageSink& sink_;
  RowNames rows_;
  std::vector<std::int64_t> residues_;
  std::vector<ResolvedOrigin> origins_;
  FilterGaps gaps_;
};

std::string_view FirstFilledLine(std::string_view content) {
  std::string_view first;
  bool found = false;
  ForEachLine(content, [&](std::string_view line) {
    if (found || line.find_first_not_of(" \t") == std::string_view::npos) {
      return;
    }
    first = line;
    found = true;
  });
  return first;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

std::optional<SiteFormat> FormatByExtension(std::string_view path) {
  std::string lower(path.substr(path.size() > 8 ? path.size() - 8 : 0));
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (EndsWith(lower, ".tsv") || EndsWith(lower, ".txt")) {
    return SiteFormat::kFimo;
  }
  if (EndsWith(lower, ".bed")) return SiteFormat::kBed;
  if (EndsWith(lower, ".gff") || EndsWith(lower, ".gff3")) {
    return SiteFormat::kGff3;
  }
  return std::nullopt;
}

std::optional<SiteFormat> FormatByShape(std::string_view line) {
  const std::size_t tabbed = CountTabFields(line);
  const std::vector<std::string_view> fields =
      tabbed > 1 ? SplitTabs(line, 9) : SplitBlanks(line, 6);
  if (tabbed == 9 && ParseWhole(fields[3]) && ParseWhole(fields[4])) {
    return SiteFormat::kGff3;
  }
  if (fields.size() >= 6 && ParseWhole(fields[1]) && ParseWhole(fields[2])) {
    return SiteFormat::kBed;
  }
  return std::nullopt;
}

template <typename LineReader>
void ReadLines(std::string_view content, SiteImporter& importer,
               LineReader&& read) {
  std::size_t number = 0;
  ForEachLine(content, [&](std::string_view line) {
    importer.Take(++number, read(line));
  });
}

}  // namespace

std::optional<SiteOrigin> ParseSiteOrigin(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals == 0) return std::nullopt;
  SiteOrigin origin;
  origin.row = std::string(text.substr(0, equals));
  std::string_view place = text.substr(equals + 1);
  if (EndsWith(place, ":-") || EndsWith(place, ":+")) {
    origin.minus = place.back() == '-';
    place.remove_suffix(2);
  }
  const std::size_t colon = place.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  const std::optional<std::int64_t> start = ParseWhole(place.substr(colon + 1));
  if (!start || *start < 1) return std::nullopt;
  origin.chrom = std::string(place.substr(0, colon));
  origin.start = *start;
  return origin;
}

std::optional<SiteFormat> DetectSiteFormat(std::string_view content,
                                           std::string_view path) {
  const std::string_view first = FirstFilledLine(content);
  if (IsFimoHeader(first)) return SiteFormat::kFimo;
  if (IsGff3Header(first)) return SiteFormat::kGff3;
  if (IsBedHeader(first)) return SiteFormat::kBed;
  if (const auto by_extension = FormatByExtension(path)) return by_extension;
  return FormatByShape(first);
}

std::string ReverseComplement(std::string_view letters) {
  std::string reversed(letters.rbegin(), letters.rend());
  for (char& c : reversed) {
    switch (c) {
      case 'A':
        c = 'T';
        break;
      case 'T':
      case 'U':
        c = 'A';
        break;
      case 'C':
        c = 'G';
        break;
      case 'G':
        c = 'C';
        break;
      case 'a':
        c = 't';
        break;
      case 't':
      case 'u':
        c = 'a';
        break;
      case 'c':
        c = 'g';
        break;
      case 'g':
        c = 'c';
        break;
      default:
        break;
    }
  }
  return reversed;
}

std::optional<std::size_t> FindRowByName(const TSeqSet& alignment,
                                         std::string_view name) {
  return RowNames(alignment).Find(name);
}

std::size_t ImportSiteText(std::string_view content, const std::string& path,
                           const TSeqSet& alignment,
                           const SiteImportOptions& options, TaTFSet& factors,
                           TSiteDetails& details, MessageSink& sink) {
  const std::optional<SiteFormat> format = DetectSiteFormat(content, path);
  if (!format) {
    sink.Show(path + ": not a FIMO, BED or GFF3 site file");
    return 0;
  }
  FactorBuilder builder(factors, details);
  SiteImporter importer(path, alignment, options, builder, sink);
  switch (*format) {
    case SiteFormat::kFimo: {
      FimoReader reader;
      ReadLines(content, importer,
                [&](std::string_view line) { return reader.Read(line); });
      break;
    }
    case SiteFormat::kBed:
      ReadLines(content, importer, ReadBedLine);
      break;
    case SiteFormat::kGff3: {
      Gff3Reader reader;
      ReadLines(content, importer,
                [&](std::string_view line) { return reader.Read(line); });
      break;
    }
  }
  importer.ReportFilterGaps();
  return builder.Finish();
}

std::size_t ImportSiteFile(const std::string& path, const TSeqSet& alignment,
                           const SiteImportOptions& options, TaTFSet& factors,
                           TSiteDetails& details, MessageSink& sink) {
  const std::optional<std::string> content = Ttf::ReadContent(path);
  return ImportSiteText(content ? *content : std::string(), path, alignment,
                        options, factors, details, sink);
}

}  // namespace tessarin
