#include "view/tf_annotation.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "alignment/position_map.h"
#include "text/strings.h"

namespace tessarin {

namespace {

// Where a site lies in the gapless sequence and which letters it compares.
struct SiteSpan {
  std::int64_t start = 0;    // 1-based gapless position of its first letter
  std::int64_t length = 0;   // may be 0 or negative for a bad table entry
  std::string_view letters;  // empty: no letter is compared
};

bool RowIsComplete(const TTFSet& factor, std::size_t j) {
  const bool common = j < factor.SeqNames.size() &&
                      j < factor.Positions.size() && j < factor.Labels.size();
  switch (factor.MatchType) {
    case 0:
    case 1:
      return common && j < factor.Sites.size();
    case 2:
      return common && j < factor.Lengths.size();
    default:
      return false;  // no rule for reading the row
  }
}

// The span of row j, or nothing when the row marks nothing at all (a
// case-sensitive site without any upper-case letter).
std::optional<SiteSpan> SpanOf(const TTFSet& factor, std::size_t j) {
  const std::int64_t position = factor.Positions[j];
  switch (factor.MatchType) {
    case 0:
      return SiteSpan{position,
                      static_cast<std::int64_t>(factor.Sites[j].size()),
                      factor.Sites[j]};
    case 1: {
      const UpperRun run = FindUpperRun(factor.Sites[j]);
      if (run.length == 0) return std::nullopt;
      return SiteSpan{
          position + static_cast<std::int64_t>(run.start) - 1,
          static_cast<std::int64_t>(run.length),
          std::string_view(factor.Sites[j]).substr(run.start - 1, run.length)};
    }
    default:
      return SiteSpan{position, factor.Lengths[j], {}};
  }
}

// A site to mark, with what marking needs copied out of its factor's table:
// a row's sites lie far apart in the tables, and reading them there in
// table order, once, is much faster than visiting them row by row.
struct Site {
  std::size_t factor;
  std::int64_t start;
  std::int64_t length;
  std::size_t letters;  // offset of the compared letters in SiteTexts
  std::size_t letters_size;
  std::size_t label;  // offset of the label in SiteTexts
  std::size_t label_size;
};

// The letters and labels of every Site, one after another.
using SiteTexts = std::string;

struct SitesToMark {
  // Each group in factor order and then table order.
  std::unordered_map<std::string_view, std::vector<Site>> by_name;
  SiteTexts texts;
};

// The sites of every factor grouped by the sequence name they name; a site
// that marks nothing (a case-sensitive site without upper-case letters) is
// left out.
SitesToMark SitesByName(const TaTFSet& definitions) {
  SitesToMark sites;
  for (std::size_t f = 0; f < definitions.size(); ++f) {
    const TTFSet& factor = definitions[f];
    for (std::size_t j = 0; j < factor.SeqNames.size(); ++j) {
      if (!RowIsComplete(factor, j)) continue;
      const std::optional<SiteSpan> span = SpanOf(factor, j);
      if (!span) continue;
      const std::string& label = factor.Labels[j];
      sites.by_name[factor.SeqNames[j]].push_back(
          {f, span->start, span->length, sites.texts.size(),
           span->letters.size(), sites.texts.size() + span->letters.size(),
           label.size()});
      sites.texts += span->letters;
      sites.texts += label;
    }
  }
  return sites;
}

// Whether `label` fits into `track` from column c on: every character of the
// track in those columns that exists is the fill character. A label that
// ends before the last column must find all its columns inside the track.
bool TrackHasRoom(const std::string& track, std::size_t c, std::size_t m,
                  std::size_t alignment_length) {
  if (c + m - 1 < alignment_length) return IsRunOf(track, kTrackFill, c, m);
  // The label reaches the last column (so m >= 1): columns beyond the
  // track's end count as free.
  if (c > track.size()) return true;
  const std::size_t last = std::min(track.size(), c + m - 1);
  return IsRunOf(track, kTrackFill, c, last - c + 1);
}

// Everything needed while one sequence's row is written.
struct RowContext {
  const TSeq& seq;
  std::size_t seq_index;
  std::size_t line;
  std::size_t prefix_length;
  std::string gapless;
  const ColumnIndex& columns;  // of the sequence's gapless table
  std::vector<std::string> tracks;
  // Entry p - 1: the first track that is free at column p (tracks.size()
  // when none is); columns beyond the array have track 0 free.
  std::vector<std::size_t>& first_free;  // kept from row to row, cleared
};

// Whether column p (1-based) of `track` is the fill character or lies
// beyond the track's end.
bool IsFreeAt(const std::string& track, std::size_t p) {
  return p > track.size() || track[p - 1] == kTrackFill;
}

// Writes `label` into the first track with room for it from `column` on.
// A track character only ever changes from the fill character to a label's,
// so the first track free at a column only moves down; tracks before it are
// skipped without a look. Many labels over the same columns then cost time
// linear in the tracks they make, not quadratic.
void PlaceLabel(RowContext& row, std::size_t column, std::string_view label) {
  const std::size_t length = row.seq.Seq.size();
  if (row.tracks.empty()) row.tracks.push_back(RepeatChar(kTrackFill, length));
  // The columns the room test looks at: one for an empty label.
  const std::size_t last = column + std::max<std::size_t>(label.size(), 1) - 1;
  if (row.first_free.size() < last) row.first_free.resize(last, 0);
  std::size_t track = 0;
  for (std::size_t p = column; p <= last; ++p) {
    track = std::max(track, row.first_free[p - 1]);
  }
  while (track < row.tracks.size() &&
         !TrackHasRoom(row.tracks[track], column, label.size(), length)) {
    ++track;
  }
  if (track == row.tracks.size()) {
    row.tracks.push_back(RepeatChar(kTrackFill, length));
  }
  OverwriteAt(row.tracks[track], column, label);
  for (std::size_t p = column; p < column + label.size(); ++p) {
    std::size_t& first = row.first_free[p - 1];
    while (first < row.tracks.size() && !IsFreeAt(row.tracks[first], p)) {
      ++first;
    }
  }
}

// GaplessToColumn of pos in the row's sequence: looked up in the row's
// index, and only a position missing there is searched for (and reported)
// the usual way.
std::int64_t ColumnOf(const RowContext& row, const AADWord& tables,
                      std::int64_t pos, MessageSink& sink) {
  const std::int64_t column = row.columns.Column(pos);
  return column != 0 ? column
                     : GaplessToColumn(tables, row.seq_index, pos, sink);
}

// Letters in adjacent columns that get the same style.
struct LetterRun {
  std::uint64_t column = 0;  // 1-based alignment column of the first
  std::uint64_t length = 0;
  std::uint8_t style = 0;
};

void MarkSite(const Site& site, std::string_view texts, std::uint32_t color,
              RowContext& row, RichView& view, const AADWord& tables,
              MessageSink& sink) {
  const std::string_view letters =
      texts.substr(site.letters, site.letters_size);
  const std::int64_t first = ColumnOf(row, tables, site.start, sink);
  const std::int64_t last =
      ColumnOf(row, tables, site.start + site.length - 1, sink);
  if (first == 0 || last == 0 || last < first) return;

  const std::size_t offset = row.prefix_length + first - 1;
  const std::size_t width = static_cast<std::size_t>(last - first + 1);
  SetRangeStyle(view, row.line, offset, width, kFontUnderline);
  SetRangeColor(view, row.line, offset, width, color);
  PlaceLabel(row, static_cast<std::size_t>(first),
             texts.substr(site.label, site.label_size));

  // Neighbouring letters that get the same style are styled as one range:
  // the same characters change in the same way, with far fewer range calls.
  LetterRun run;
  auto flush = [&] {
    if (run.length > 0) {
      AddRangeStyle(view, row.line, row.prefix_length + run.column - 1,
                    run.length, run.style);
    }
  };
  for (std::size_t q = 0; q < letters.size(); ++q) {
    const std::int64_t p = site.start + static_cast<std::int64_t>(q);
    const std::int64_t column = ColumnOf(row, tables, p, sink);
    if (column == 0) continue;
    const bool matches =
        p >= 1 && static_cast<std::uint64_t>(p) <= row.gapless.size() &&
        row.gapless[static_cast<std::size_t>(p - 1)] == letters[q];
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
}

}  // namespace

std::string RowPrefix(std::string_view seq_name) {
  std::string prefix(seq_name);
  prefix += "> \t";
  return prefix;
}

void AnnotateTFSites(const TSeqSet* alignment, const TaTFSet& definitions,
                     RichView& view, const AADWord& gapless_tables,
                     ADWord& line_index, MessageSink& sink) {
  if (alignment == nullptr || alignment->Count() == 0 || definitions.empty()) {
    return;
  }
  const auto sites = SitesByName(definitions);
  line_index.assign(alignment->Count(), 0);
  // Room for every sequence row and, as a guess, three tracks each, so that the
  // view's text is not copied again and again while it grows.
  std::uint64_t rows = 0;
  for (const TSeq& seq : alignment->Seqs) {
    rows += RowPrefix(seq.SeqName).size() + seq.Seq.size() + 1;
  }
  view.Reserve(4 * rows);
  ColumnIndex columns;  // reused from row to row
  std::vector<std::size_t> first_free;
  for (std::size_t i = 0; i < alignment->Seqs.size(); ++i) {
    const TSeq& seq = alignment->Seqs[i];
    const std::string prefix = RowPrefix(seq.SeqName);
    view.AppendLine(prefix, seq.Seq);
    first_free.clear();
    RowContext row{
        seq, i,         view.LineCount() - 1, prefix.size(), {}, columns,
        {},  first_free};
    line_index[i] = static_cast<std::uint32_t>(row.line);

    const auto found = sites.by_name.find(seq.SeqName);
    if (found != sites.by_name.end()) {
      row.gapless = seq.GaplessSeq();
      columns.Build(i < gapless_tables.size() ? gapless_tables[i] : ADWord());
      for (const Site& site : found->second) {
        MarkSite(site, sites.texts, definitions[site.factor].Color, row, view,
                 gapless_tables, sink);
      }
    }
    for (const std::string& track : row.tracks) view.AppendLine(prefix, track);
  }
}

}  // namespace tessarin
