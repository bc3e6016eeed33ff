#include "view/tf_annotation.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "alignment/position_map.h"
#include "text/held_messages.h"
#include "text/strings.h"
#include "view/row_pipeline.h"

namespace tessarin {

namespace {

// Where a site lies in the gapless sequence and which letters it compares.
struct SiteSpan {
  std::int64_t start = 0;    // 1-based gapless position of its first letter
  std::int64_t length = 0;   // may be 0 or negative for a bad table entry
  std::string_view letters;  // empty: no letter is compared
};

// Why row j of the table cannot be read, or nothing when it can.
std::optional<UnplacedReason> RowProblem(const TTFSet& factor, std::size_t j) {
  const bool common = j < factor.SeqNames.size() &&
                      j < factor.Positions.size() && j < factor.Labels.size();
  bool complete = false;
  switch (factor.MatchType) {
    case kMatchDirect:
    case kMatchCaseSensitive:
      complete = common && j < factor.Sites.size();
      break;
    case kMatchLength:
      complete = common && j < factor.Lengths.size();
      break;
    default:
      return UnplacedReason::kUnknownMatchType;  // no rule for reading it
  }
  if (!complete) return UnplacedReason::kIncompleteEntry;
  return std::nullopt;
}

// The span of row j, or nothing when the row marks nothing at all (a
// case-sensitive site without any upper-case letter).
std::optional<SiteSpan> SpanOf(const TTFSet& factor, std::size_t j) {
  const std::int64_t position = factor.Positions[j];
  switch (factor.MatchType) {
    case kMatchDirect:
      return SiteSpan{position,
                      static_cast<std::int64_t>(factor.Sites[j].size()),
                      factor.Sites[j]};
    case kMatchCaseSensitive: {
      const UpperRun run = FindUpperRun(factor.Sites[j]);
      if (run.length == 0) return std::nullopt;
      return SiteSpan{
          position + static_cast<std::int64_t>(run.start) - 1,
          static_cast<std::int64_t>(run.length),
          std::string_view(factor.Sites[j]).substr(run.start - 1, run.length)};
    }
    default:  // kMatchLength: RowIsComplete admits no other
      return SiteSpan{position, factor.Lengths[j], {}};
  }
}

// A site to mark, with what marking needs copied out of its factor's table:
// a row's sites lie far apart in the tables, and reading them there in
// table order, once, is much faster than visiting them row by row.
struct Site {
  std::size_t factor;
  std::size_t row;  // in the factor's table
  std::int64_t start;
  std::int64_t length;
  std::size_t letters;  // offset of the compared letters in SiteTexts
  std::size_t letters_size;
  std::size_t label;  // offset of the label in SiteTexts
  std::size_t label_size;
};

// The letters and labels of every Site, one after another.
using SiteTexts = std::string;

// The sites that name one sequence, in factor order and then table order.
struct SiteGroup {
  std::vector<Site> sites;
  bool found = false;  // whether a row of the alignment has the name
};

struct SitesToMark {
  std::unordered_map<std::string_view, SiteGroup> by_name;
  SiteTexts texts;
  // Per factor and table row: 0 while the site may yet be marked, else
  // 1 + the UnplacedReason why it marks nothing.
  std::vector<std::vector<std::uint8_t>> problems;
};

void Note(SitesToMark& sites, std::size_t factor, std::size_t row,
          UnplacedReason reason) {
  sites.problems[factor][row] = static_cast<std::uint8_t>(reason) + 1;
}

// The sites of every factor grouped by the sequence name they name; a site
// that cannot be read or marks nothing (a case-sensitive site without
// upper-case letters) is left out and its problem noted.
SitesToMark SitesByName(const TaTFSet& definitions) {
  SitesToMark sites;
  sites.problems.resize(definitions.size());
  for (std::size_t f = 0; f < definitions.size(); ++f) {
    const TTFSet& factor = definitions[f];
    sites.problems[f].assign(factor.SeqNames.size(), 0);
    for (std::size_t j = 0; j < factor.SeqNames.size(); ++j) {
      if (const auto problem = RowProblem(factor, j)) {
        Note(sites, f, j, *problem);
        continue;
      }
      const std::optional<SiteSpan> span = SpanOf(factor, j);
      if (!span) {
        Note(sites, f, j, UnplacedReason::kNoUpperCase);
        continue;
      }
      const std::string& label = factor.Labels[j];
      sites.by_name[factor.SeqNames[j]].sites.push_back(
          {f, j, span->start, span->length, sites.texts.size(),
           span->letters.size(), sites.texts.size() + span->letters.size(),
           label.size()});
      sites.texts += span->letters;
      sites.texts += label;
    }
  }
  return sites;
}

// One change a site makes to its row's line: worked out apart from the
// view, and made to it later in the same order.
struct RowChange {
  bool underline;  // underline and colour `value`; else add the style `value`
  std::uint64_t offset;  // in the row's line
  std::uint64_t length;
  std::uint32_t value;
};

// What marking one row's sites does: the changes to its line, its label
// tracks and the messages shown on the way.
struct RowMarks {
  std::vector<RowChange> changes;
  LabelTracks tracks{0};
  HeldMessages messages;

  void Reset(std::size_t row_length) {
    changes.clear();
    tracks.Reset(row_length);
    messages.Clear();
  }
};

// Everything needed while one sequence's row is marked.
struct RowContext {
  const TSeq& seq;
  std::size_t prefix_length;
  const ColumnIndex& columns;  // of the sequence's gapless table
  RowMarks& marks;
};

// GaplessToColumn of pos in the row's sequence, looked up in the row's
// index; a position that does not occur there is reported as the lookup
// reports it.
std::int64_t ColumnOf(const RowContext& row, std::int64_t pos,
                      MessageSink& sink) {
  const std::int64_t column = row.columns.Column(pos);
  if (column == 0) sink.Show(kGaplessValueNotFound);
  return column;
}

// Letters in adjacent columns that get the same style.
struct LetterRun {
  std::uint64_t column = 0;  // 1-based alignment column of the first
  std::uint64_t length = 0;
  std::uint8_t style = 0;
};

// Why a site whose columns could not be found marks nothing.
UnplacedReason MissingReason(const Site& site, std::int64_t first,
                             std::int64_t last) {
  if (site.length < 1) return UnplacedReason::kEmpty;
  if (first == 0 && site.start < 1) return UnplacedReason::kBeforeSequence;
  if (first != 0 && last != 0) return UnplacedReason::kEmpty;
  return UnplacedReason::kBeyondSequence;
}

// Marks the site and fills `placed` (all but its factor, row and sequence);
// returns whether it marked anything, else why not.
std::optional<UnplacedReason> MarkSite(const Site& site, std::string_view texts,
                                       std::uint32_t color, RowContext& row,
                                       PlacedSite& placed) {
  MessageSink& sink = row.marks.messages;
  const std::string_view letters =
      texts.substr(site.letters, site.letters_size);
  const std::int64_t first = ColumnOf(row, site.start, sink);
  const std::int64_t last = ColumnOf(row, site.start + site.length - 1, sink);
  if (first == 0 || last == 0 || last < first) {
    return MissingReason(site, first, last);
  }
  placed.first_column = static_cast<std::uint64_t>(first);
  placed.last_column = static_cast<std::uint64_t>(last);
  placed.start = site.start;
  placed.end = site.start + site.length - 1;
  placed.compared = !letters.empty();

  const std::uint64_t offset =
      ColumnOffset(row.prefix_length, static_cast<std::uint64_t>(first));
  const std::size_t width = static_cast<std::size_t>(last - first + 1);
  row.marks.changes.push_back({true, offset, width, color});
  row.marks.tracks.Place(static_cast<std::size_t>(first),
                         texts.substr(site.label, site.label_size));

  // Neighbouring letters that get the same style are styled as one range:
  // the same characters change in the same way, with far fewer range calls.
  LetterRun run;
  auto flush = [&] {
    if (run.length > 0) {
      row.marks.changes.push_back({false,
                                   ColumnOffset(row.prefix_length, run.column),
                                   run.length, run.style});
    }
  };
  for (std::size_t q = 0; q < letters.size(); ++q) {
    const std::int64_t p = site.start + static_cast<std::int64_t>(q);
    const std::int64_t column = ColumnOf(row, p, sink);
    if (column == 0) continue;
    // The column of gapless position p >= 1 holds the sequence's p-th
    // residue.
    const bool matches =
        p >= 1 &&
        row.seq.Seq[static_cast<std::size_t>(column - 1)] == letters[q];
    ++(matches ? placed.matches : placed.mismatches);
    const std::uint8_t style = matches ? kFontBold : kFontStrikeOut;
    const auto at = static_cast<std::uint64_t>(column);
    if (run.length > 0 && style == run.style && at == run.column + run.length) {
      ++run.length;
      continue;
    }
    flush();
    run = {at, 1, style};
  }
  flush();
  return std::nullopt;
}

// Appends the row's tracks below it. Each track is freed once it is in the
// view, and the view grows once for all of them, so that a row of many long
// tracks is held about once, not two or three times over.
void AppendTracks(std::string_view prefix, LabelTracks& tracks,
                  RichView& view) {
  std::uint64_t characters = 0;
  for (std::size_t t = 0; t < tracks.Count(); ++t) {
    characters += prefix.size() + tracks.Track(t).size() + 1;
  }
  view.Reserve(characters);
  for (std::size_t t = 0; t < tracks.Count(); ++t) {
    view.AppendLine(prefix, tracks.Track(t));
    tracks.Release(t);
  }
}

// Adds every site that marked nothing to `out.unplaced`, in factor and
// table order; a site whose sequence name no row has is noted here.
void RecordUnplaced(SitesToMark& sites, AnnotatedView& out) {
  for (const auto& [name, group] : sites.by_name) {
    if (group.found) continue;
    for (const Site& site : group.sites) {
      Note(sites, site.factor, site.row, UnplacedReason::kUnknownSequence);
    }
  }
  for (std::size_t f = 0; f < sites.problems.size(); ++f) {
    for (std::size_t j = 0; j < sites.problems[f].size(); ++j) {
      if (const std::uint8_t problem = sites.problems[f][j]; problem != 0) {
        out.unplaced.push_back(
            {f, j, static_cast<UnplacedReason>(problem - 1)});
      }
    }
  }
}

// Works out what marking row i's sites does, into `marks`; notes the sites
// that mark nothing and adds the placed ones to `placed_sites`.
void MarkRow(std::size_t i, const TSeq& seq, const TaTFSet& definitions,
             const std::vector<std::uint32_t>* colors, SitesToMark& sites,
             ColumnIndex& columns, RowMarks& marks,
             std::vector<PlacedSite>& placed_sites) {
  marks.Reset(seq.Seq.size());
  const auto found = sites.by_name.find(seq.SeqName);
  if (found == sites.by_name.end()) return;
  found->second.found = true;
  columns.Build(seq);
  RowContext row{seq, RowPrefixLength(seq.SeqName), columns, marks};
  for (const Site& site : found->second.sites) {
    const std::uint32_t color =
        colors != nullptr && site.factor < colors->size()
            ? (*colors)[site.factor]
            : definitions[site.factor].Color;
    PlacedSite placed{.factor = site.factor, .row = site.row, .seq = i};
    const auto problem = MarkSite(site, sites.texts, color, row, placed);
    if (problem) {
      Note(sites, site.factor, site.row, *problem);
    } else {
      placed_sites.push_back(placed);
    }
  }
}

// Appends the row of `seq` to the view with its marks and label tracks, and
// shows the messages marking it showed; returns the row's line.
std::size_t AppendMarkedRow(const TSeq& seq, RowMarks& marks, RichView& view,
                            MessageSink& sink) {
  const std::string prefix = RowPrefix(seq.SeqName);
  view.AppendLine(prefix, seq.Seq);
  const std::size_t line = view.LineCount() - 1;
  marks.messages.ShowIn(sink);
  for (const RowChange& change : marks.changes) {
    if (change.underline) {
      SetRangeStyle(view, line, change.offset, change.length, kFontUnderline);
      SetRangeColor(view, line, change.offset, change.length, change.value);
    } else {
      AddRangeStyle(view, line, change.offset, change.length,
                    static_cast<std::uint8_t>(change.value));
    }
  }
  AppendTracks(prefix, marks.tracks, view);
  return line;
}

}  // namespace

std::uint64_t AnnotationRoom(const TSeqSet& alignment) {
  std::uint64_t rows = 0;
  for (const TSeq& seq : alignment.Seqs) {
    rows += RowPrefix(seq.SeqName).size() + seq.Seq.size() + 1;
  }
  return 4 * rows;
}

void AnnotateTFSites(const ReadInData& data, AnnotatedView& out,
                     MessageSink& sink,
                     const std::vector<std::uint32_t>* colors) {
  const TSeqSet* alignment = data.alignment.get();
  const TaTFSet& definitions = data.factors;
  RichView& view = out.view;
  ADWord& line_index = out.line_index;
  if (definitions.empty()) return;
  auto sites = SitesByName(definitions);
  if (alignment == nullptr || alignment->Count() == 0) {
    // Nothing to mark on; the sites are still accounted for.
    RecordUnplaced(sites, out);
    return;
  }
  line_index.assign(alignment->Count(), 0);
  // Room for every site once, rather than a growing array's spare half.
  std::size_t site_count = 0;
  for (const auto& [name, group] : sites.by_name) {
    site_count += group.sites.size();
  }
  out.sites.reserve(out.sites.size() + site_count);
  // Room made once, so that the view's text is not copied again and again
  // while it grows.
  view.Reserve(AnnotationRoom(*alignment));
  // Each row's marks are worked out on a thread of their own, a row ahead
  // of the view, which makes them in row order on this thread: the view,
  // the sites and the messages come out as if one thread did both.
  ColumnIndex columns;  // reused from row to row
  RowPipeline<RowMarks> rows(alignment->Seqs.size());
  rows.Run(
      [&](std::size_t i, RowMarks& marks) {
        MarkRow(i, alignment->Seqs[i], definitions, colors, sites, columns,
                marks, out.sites);
      },
      [&](std::size_t i, RowMarks& marks) {
        line_index[i] = static_cast<std::uint32_t>(
            AppendMarkedRow(alignment->Seqs[i], marks, view, sink));
      });
  RecordUnplaced(sites, out);
}

}  // namespace tessarin
