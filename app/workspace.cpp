#include "app/workspace.h"

#include <exception>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "app/document_file.h"
#include "sources/reading_in.h"
#include "text/numbers.h"
#include "text/readable_file.h"
#include "text/strings.h"
#include "view/conservation_highlight.h"
#include "view/figure_layout.h"
#include "view/figure_writers.h"
#include "view/html_writer.h"
#include "view/json_writer.h"
#include "view/row_layout.h"
#include "view/rtf_writer.h"
#include "view/selection_status.h"
#include "view/text_writer.h"
#include "view/tf_annotation.h"

namespace tessarin {

namespace {

constexpr int kCutoffWidth = 5;
constexpr int kCutoffDecimals = 3;

// Detaches the view's selection handler for its lifetime and then puts
// `handler` back.
class QuietSelection {
 public:
  QuietSelection(RichView& view, std::function<void()> handler)
      : view_(view), handler_(std::move(handler)) {
    view_.SetSelectionChangeHandler(nullptr);
  }
  QuietSelection(const QuietSelection&) = delete;
  QuietSelection& operator=(const QuietSelection&) = delete;
  ~QuietSelection() { view_.SetSelectionChangeHandler(std::move(handler_)); }

 private:
  RichView& view_;
  std::function<void()> handler_;
};

// Shows a failure through `sink`. When even that runs out of memory (a sink
// that keeps a log of messages), the text goes to `plain`, which only shows
// it.
void Report(MessageSink& sink, MessageSink& plain, std::string_view text) {
  try {
    sink.Show(text);
  } catch (const std::bad_alloc&) {
    if (&sink == &plain) throw;
    plain.Show(text);
  }
}

}  // namespace

bool IsRenderedFormat(DocumentFormat format) {
  return format == DocumentFormat::kPdf || format == DocumentFormat::kSvg ||
         format == DocumentFormat::kPng;
}

std::string_view FailureText(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    return kOutOfMemory;
  }
  return error.what();
}

template <typename Body>
bool Workspace::Guarded(MessageSink& sink, Body&& body) const {
  try {
    return body();
  } catch (const std::exception& error) {
    Report(sink, sink_, FailureText(error));
  }
  return false;
}

template <typename Body>
bool Workspace::RunCommand(MessageSink& sink, Body&& body) const {
  const bool done = Guarded(sink, std::forward<Body>(body));
  Finished();
  return done;
}

Workspace::Workspace(MessageSink& sink) : sink_(sink) {
  annotated_view_.view.SetSelectionChangeHandler(
      [this] { SelectionChanged(); });
}

bool Workspace::ChooseFile(FileSlot slot, const std::string& path) {
  if (!IsExistingFile(path)) {
    sink_.Show(std::string(kNoSuchFile) + path);
    return false;
  }
  SetPath(slot, path);
  return true;
}

void Workspace::SetPath(FileSlot slot, const std::string& path) {
  switch (slot) {
    case FileSlot::kFas:
      fas_path_ = path;
      break;
    case FileSlot::kConservation:
      conservation_path_ = path;
      break;
    case FileSlot::kTf:
      tf_path_ = path;
      break;
  }
}

const std::string& Workspace::Path(FileSlot slot) const {
  switch (slot) {
    case FileSlot::kFas:
      return fas_path_;
    case FileSlot::kConservation:
      return conservation_path_;
    case FileSlot::kTf:
      break;
  }
  return tf_path_;
}

void Workspace::LeaveOut(FileSlot slot, bool left_out) {
  if (slot == FileSlot::kTf) read_in_choice_.tf = !left_out;
  if (slot == FileSlot::kConservation) {
    read_in_choice_.conservation = !left_out;
  }
}

bool Workspace::ReadInFiles() {
  std::vector<const std::string*> paths = {&fas_path_};
  if (read_in_choice_.conservation) paths.push_back(&conservation_path_);
  if (read_in_choice_.tf) paths.push_back(&tf_path_);
  for (const std::string* path : paths) {
    if (!IsExistingFile(*path)) {
      sink_.Show(kMissingFiles);
      return false;
    }
  }
  // A file that exists but cannot be opened (no read permission, say) would
  // read as an empty one without a word; it is refused with its reason.
  for (const std::string* path : paths) {
    if (const std::optional<std::string> failure = ReadFailure(*path)) {
      sink_.Show(*failure);
      return false;
    }
  }
  return RunCommand(logged_, [this] { return ReadAndList(); });
}

bool Workspace::ReadAndList() {
  annotated_ = false;
  imported_site_paths_.clear();
  computed_conservation_.clear();
  input_facts_.Clear();
  PhaseRelay relay(progress_);
  try {
    tessarin::ReadInFiles(fas_path_, tf_path_, conservation_path_, read_in_,
                          logged_, &relay, read_in_choice_);
    TakeInputFacts();
  } catch (const std::system_error& error) {
    // A read error ends the reading in at that file, as a reader's own
    // report does. The alignment is then either empty (its file failed) or
    // has passed the length check, so it never meets foreign data.
    logged_.Show(error.what());
    read_in_.alignment_checked = true;
    TakeInputFacts();
  } catch (...) {
    // Any other failure ends the command. The length check is passed
    // before the TF file is read: an alignment that stopped earlier may be
    // half read, or sit beside the factors of another one.
    read_in_.alignment_checked =
        relay.Last() == kPhaseReadTf || relay.Last() == kPhaseReadConservation;
    throw;
  }
  // The listing goes before the flags: a listing that cannot be completed
  // ends the command with the loaded flag and the criteria as they were.
  Phase(kPhaseList);
  ListSequences();
  loaded_ = true;
  criteria_.assign(read_in_.conservation.ScoreNames.size(), 0);
  FillBytes(criteria_, 1, criteria_.size());
  return true;
}

void Workspace::TakeInputFacts() {
  input_facts_.Start(fas_path_);
  if (read_in_choice_.tf) input_facts_.Start(tf_path_);
  if (read_in_choice_.conservation) input_facts_.Start(conservation_path_);
}

void Workspace::ListSequences() {
  RichView& view = annotated_view_.view;
  ClearAnnotation();
  if (read_in_.alignment == nullptr) return;
  // The view's text is made once, with room for the annotation to come,
  // rather than grown (which holds the old and the new text and leaves freed
  // pages behind).
  view.Reserve(AnnotationRoom(*read_in_.alignment));
  for (const TSeq& seq : read_in_.alignment->Seqs) {
    view.AppendLine(RowPrefix(seq.SeqName), seq.Seq);
  }
}

bool Workspace::HasCheckedAlignment() {
  if (!loaded_ || read_in_.alignment == nullptr) {
    sink_.Show(kNoDataLoaded);
    return false;
  }
  if (!read_in_.alignment_checked) {
    logged_.Show(kNoProperAlignment);
    return false;
  }
  return true;
}

bool Workspace::ImportSites(const std::string& path,
                            const SiteImportOptions& options) {
  if (!HasCheckedAlignment()) return false;
  if (const std::optional<std::string> failure = ReadFailure(path)) {
    logged_.Show(*failure);
    return false;
  }
  return RunCommand(logged_, [&] {
    Phase(kPhaseImportSites);
    ImportSiteFile(path, *read_in_.alignment, options, read_in_.factors,
                   read_in_.site_details, logged_);
    imported_site_paths_.push_back(path);
    input_facts_.Start(path);
    return true;
  });
}

bool Workspace::ComputeConservation(const WindowSettings& settings) {
  if (!HasCheckedAlignment()) return false;
  return RunCommand(logged_, [&] {
    Phase(kPhaseComputeWindows);
    if (!tessarin::ComputeConservation(*read_in_.alignment, settings,
                                       read_in_.conservation, logged_)) {
      return false;
    }
    criteria_.assign(read_in_.conservation.ScoreNames.size(), 1);
    computed_conservation_ = "windows of " + std::to_string(settings.width) +
                             " columns, step " + std::to_string(settings.step);
    if (!settings.reference.empty()) {
      computed_conservation_ += ", reference " + settings.reference;
    }
    return true;
  });
}

bool Workspace::SaveConservation(const std::string& path) {
  return RunCommand(sink_, [&] {
    const std::optional<std::string> failure =
        SaveDocument(path, [&](std::ostream& out) {
          WriteConservationFile(read_in_.conservation, out);
        });
    if (failure) sink_.Show(*failure);
    return !failure;
  });
}

bool Workspace::Annotate() {
  if (!loaded_) {
    sink_.Show(kNoDataLoaded);
    return false;
  }
  if (!read_in_.alignment_checked) {
    logged_.Show(kNoProperAlignment);
    return false;
  }
  return RunCommand(logged_, [this] { return AnnotateView(); });
}

bool Workspace::AnnotateView() {
  // The flag goes first: clearing the view moves its selection, and the
  // inspector must stay silent from here until the view is rewritten. It is
  // set only when the whole view is, so a failure part-way leaves it clear.
  annotated_ = false;
  // Until the view is rewritten the inspector has nothing to say (the view
  // is not annotated), so the millions of selection notices that the range
  // operations give are not passed on to it.
  const QuietSelection quiet(annotated_view_.view,
                             [this] { SelectionChanged(); });
  ClearAnnotation();
  Phase(kPhaseAnnotate);
  if (palette_ == Palette::kColorRule) {
    AnnotateTFSites(read_in_, annotated_view_, logged_);
  } else {
    const std::vector<std::uint32_t> colors =
        FactorColors(read_in_.factors, palette_);
    AnnotateTFSites(read_in_, annotated_view_, logged_, &colors);
  }
  SetStatus(kSitesAnnotated);
  Phase(kPhaseHighlight);
  HighlightConservedWindows(read_in_, criteria_, annotated_view_);
  SetStatus(kWindowsHighlighted);
  annotated_ = true;
  return true;
}

void Workspace::SetCriteria(const std::vector<bool>& checked) {
  for (std::size_t i = 0; i < criteria_.size(); ++i) {
    criteria_[i] = i < checked.size() && checked[i] ? 1 : 0;
  }
}

std::optional<std::string> Workspace::CutoffText(
    std::optional<std::size_t> score) const {
  const AExt& cutoffs = read_in_.conservation.Cutoffs;
  if (!score || *score >= cutoffs.size()) return std::nullopt;
  return RealToText(cutoffs[*score], kCutoffWidth, kCutoffDecimals);
}

std::optional<std::string> Workspace::StoreCutoff(
    std::optional<std::size_t> score, std::string_view text) {
  const std::optional<long double> value = ParseReal(text);
  if (!value) {
    sink_.Show(kNotANumber);
    return std::nullopt;
  }
  return SetCutoff(score, *value);
}

std::optional<std::string> Workspace::SetCutoff(
    std::optional<std::size_t> score, long double value) {
  AExt& cutoffs = read_in_.conservation.Cutoffs;
  if (!score || *score >= cutoffs.size()) return std::nullopt;
  cutoffs[*score] = value;
  return CutoffText(score);
}

void Workspace::SelectionChanged() {
  // Not a command of its own: it may run inside one (the view is cleared
  // while reading in), whose end it must not announce.
  Guarded(sink_, [this] {
    const std::optional<std::string> report =
        InspectSelection(read_in_, annotated_view_, loaded_, annotated_);
    if (report) SetStatus(*report);
    return true;
  });
}

void Workspace::Phase(std::string_view name) const {
  if (progress_ != nullptr) progress_->PhaseStarted(name);
}

void Workspace::Finished() const {
  if (progress_ != nullptr) progress_->Finished();
}

void Workspace::SetStatus(std::string_view text) {
  status_ = text;
  if (on_status_changed) on_status_changed();
}

void Workspace::Write(std::ostream& out, DocumentFormat format) const {
  RunCommand(sink_, [&] {
    WriteDocument(out, format);
    return true;
  });
}

void Workspace::WriteDocument(std::ostream& out, DocumentFormat format) const {
  Phase(kPhaseWrite);
  switch (format) {
    case DocumentFormat::kRtf: {
      const Provenance provenance = MakeProvenance(title_);
      WriteRtf(View(), out, &provenance);
      return;
    }
    case DocumentFormat::kHtml: {
      const Provenance provenance = MakeProvenance(title_);
      WriteHtml(View(), out, &provenance);
      return;
    }
    case DocumentFormat::kText:
      WriteText(View(), out);
      return;
    case DocumentFormat::kJson:
      break;
    case DocumentFormat::kPdf:
    case DocumentFormat::kSvg:
    case DocumentFormat::kPng:
      throw std::invalid_argument(std::string(kViewNotRendered));
  }
  JsonDocumentExtras extras;
  extras.line_index = annotated_ ? annotated_view_.line_index : ADWord();
  extras.messages = messages_;
  extras.status = status_;
  extras.inspect = inspections_;
  extras.provenance = MakeProvenance(title_);
  WriteJson(View(), extras, out);
}

void Workspace::MakeFigure(
    const FigureOptions& options,
    const std::function<void(const FigureDocument&)>& use) {
  const std::vector<std::uint32_t> colors =
      FactorColors(read_in_.factors, options.palette);
  const AnnotatedView* annotated = &annotated_view_;
  AnnotatedView fresh;
  if (!annotated_ || options.palette != palette_) {
    // An annotation already shown has reported its problems; a fresh one
    // for the figure reports them only when nothing was annotated before.
    NullSink quiet;
    MessageSink& sink = annotated_ ? static_cast<MessageSink&>(quiet)
                                   : static_cast<MessageSink&>(logged_);
    Phase(kPhaseAnnotate);
    AnnotateTFSites(read_in_, fresh, sink, &colors);
    Phase(kPhaseHighlight);
    HighlightConservedWindows(read_in_, criteria_, fresh);
    annotated = &fresh;
  }
  Phase(kPhaseFigure);
  const FigureLayout layout = LayoutFigure(read_in_, *annotated, options.wrap);
  const Provenance provenance =
      MakeProvenance(options.title.empty() ? title_ : options.title);
  FigureDocument figure{layout,
                        annotated->view,
                        provenance,
                        FigureLegend(read_in_.factors, colors),
                        {}};
  if (read_in_.alignment != nullptr) {
    for (const TSeq& seq : read_in_.alignment->Seqs) {
      figure.names.push_back(seq.SeqName);
    }
  }
  std::optional<ConservationPlot> plot;
  if (options.plot && !read_in_.conservation.ScoreNames.empty()) {
    plot = BuildConservationPlot(read_in_, criteria_, *annotated, &colors);
    figure.plot = &*plot;
  }
  Phase(kPhaseWrite);
  use(figure);
}

void Workspace::WriteFigureDocument(std::ostream& out, DocumentFormat format,
                                    const FigureOptions& options) {
  MakeFigure(options, [&](const FigureDocument& figure) {
    switch (format) {
      case DocumentFormat::kHtml:
        WriteFigureHtml(figure, out);
        return;
      case DocumentFormat::kText:
        WriteFigureText(figure, out);
        return;
      case DocumentFormat::kPdf:
        renderer_->Render(figure, RenderedFormat::kPdf, options.render, out);
        return;
      case DocumentFormat::kSvg:
        renderer_->Render(figure, RenderedFormat::kSvg, options.render, out);
        return;
      case DocumentFormat::kPng:
        renderer_->Render(figure, RenderedFormat::kPng, options.render, out);
        return;
      default:
        WriteFigureRtf(figure, out);
        return;
    }
  });
}

bool Workspace::SaveFigure(const std::string& path, DocumentFormat format,
                           const FigureOptions& options) {
  return RunCommand(sink_, [&] {
    if (!HasCheckedAlignment() || !CanRender(format)) return false;
    const std::optional<std::string> failure = SaveDocument(
        path,
        [&](std::ostream& out) { WriteFigureDocument(out, format, options); });
    if (failure) sink_.Show(*failure);
    return !failure;
  });
}

bool Workspace::WriteFigure(std::ostream& out, DocumentFormat format,
                            const FigureOptions& options) {
  return RunCommand(sink_, [&] {
    if (!HasCheckedAlignment() || !CanRender(format)) return false;
    WriteFigureDocument(out, format, options);
    return true;
  });
}

bool Workspace::DrawFigure(
    const FigureOptions& options,
    const std::function<void(const FigureDocument&)>& draw) {
  return RunCommand(sink_, [&] {
    if (!HasCheckedAlignment()) return false;
    MakeFigure(options, draw);
    return true;
  });
}

bool Workspace::SaveOutput(const std::string& path,
                           const std::function<void(std::ostream&)>& write) {
  return RunCommand(sink_, [&] {
    const std::optional<std::string> failure = SaveDocument(path, write);
    if (failure) sink_.Show(*failure);
    return !failure;
  });
}

bool Workspace::CanRender(DocumentFormat format) {
  if (!IsRenderedFormat(format) || renderer_ != nullptr) return true;
  sink_.Show(kCannotRender);
  return false;
}

bool Workspace::Save(const std::string& path, DocumentFormat format) {
  return RunCommand(sink_, [&] {
    const std::optional<std::string> failure = SaveDocument(
        path, [&](std::ostream& out) { WriteDocument(out, format); });
    if (failure) sink_.Show(*failure);
    return !failure;
  });
}

namespace {

ProvenanceInput DescribeInput(std::string_view role, const std::string& path,
                              const InputFacts& facts) {
  FileFacts taken = facts.Of(path);
  return {std::string(role), path, taken.size, std::move(taken.sha256)};
}

}  // namespace

Provenance Workspace::MakeProvenance(std::string title) const {
  Provenance provenance;
  provenance.title =
      title.empty() ? TitleFromPath(fas_path_) : std::move(title);
  // The files read in, then the site files imported; a file left out of
  // reading in (the batch front end's --sites or --windows in its place)
  // is not listed, and computed conservation data replaces its file.
  provenance.inputs = {DescribeInput(kAlignmentRole, fas_path_, input_facts_)};
  if (read_in_choice_.tf) {
    provenance.inputs.push_back(
        DescribeInput(kSitesRole, tf_path_, input_facts_));
  }
  for (const std::string& path : imported_site_paths_) {
    provenance.inputs.push_back(DescribeInput(kSitesRole, path, input_facts_));
  }
  if (!computed_conservation_.empty()) {
    provenance.computed_conservation = computed_conservation_;
  } else if (read_in_choice_.conservation) {
    provenance.inputs.push_back(
        DescribeInput(kConservationRole, conservation_path_, input_facts_));
  }
  const AString& names = read_in_.conservation.ScoreNames;
  for (std::size_t i = 0; i < names.size(); ++i) {
    provenance.scores.push_back({names[i],
                                 i < criteria_.size() && criteria_[i] != 0,
                                 CutoffText(i).value_or(std::string())});
  }
  provenance.program =
      std::string(kProgramName) + " " + std::string(kProgramVersion);
  provenance.date = DocumentDate();
  return provenance;
}

}  // namespace tessarin

namespace tessarin {

void Workspace::ClearAnnotation() {
  annotated_view_.view.Clear();
  annotated_view_.sites.clear();
  annotated_view_.unplaced.clear();
  annotated_view_.conserved.clear();
  report_.reset();
  plot_.reset();
}

const SiteReport* Workspace::SitesReport() {
  if (!loaded_) {
    sink_.Show(kNoDataLoaded);
    return nullptr;
  }
  if (!annotated_) {
    sink_.Show(kNotAnnotated);
    return nullptr;
  }
  if (!report_) {
    Phase(kPhaseReport);
    report_ = BuildSiteReport(read_in_, annotated_view_);
  }
  return &*report_;
}

bool Workspace::SaveReport(const std::string& path, ReportFormat format,
                           const ReportFilter& filter) {
  return RunCommand(sink_, [&] {
    const SiteReport* report = SitesReport();
    if (report == nullptr) return false;
    const std::optional<std::string> failure =
        SaveDocument(path, [&](std::ostream& out) {
          if (format == ReportFormat::kJson) {
            WriteReportJson(*report, filter, out);
          } else {
            WriteReportTsv(*report, filter, out);
          }
        });
    if (failure) sink_.Show(*failure);
    return !failure;
  });
}

bool Workspace::SaveReportBed(const std::string& dir,
                              const ReportFilter& filter,
                              const std::vector<SiteOrigin>& origins) {
  return RunCommand(sink_, [&] {
    const SiteReport* report = SitesReport();
    if (report == nullptr) return false;
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
      sink_.Show(std::string(kCannotCreateFolderHead) + dir +
                 "\": " + error.message());
      return false;
    }
    for (const BedTrack& track :
         ReportBedTracks(*report, filter, *read_in_.alignment, origins)) {
      const std::string path =
          (std::filesystem::path(dir) / track.file_name).string();
      const std::optional<std::string> failure =
          SaveDocument(path, [&](std::ostream& out) { out << track.text; });
      if (failure) {
        sink_.Show(*failure);
        return false;
      }
    }
    return true;
  });
}

const ConservationPlot* Workspace::Plot() {
  if (!annotated_) return nullptr;
  if (!plot_) {
    if (palette_ == Palette::kColorRule) {
      plot_ = BuildConservationPlot(read_in_, criteria_, annotated_view_);
    } else {
      const std::vector<std::uint32_t> colors =
          FactorColors(read_in_.factors, palette_);
      plot_ =
          BuildConservationPlot(read_in_, criteria_, annotated_view_, &colors);
    }
  }
  return &*plot_;
}

bool Workspace::SelectSite(const SiteReportRow& row) {
  if (!annotated_ || !row.Placed() || read_in_.alignment == nullptr ||
      row.seq >= read_in_.alignment->Seqs.size() ||
      row.seq >= annotated_view_.line_index.size()) {
    return false;
  }
  RichView& view = annotated_view_.view;
  const std::size_t line = annotated_view_.line_index[row.seq];
  if (line >= view.LineCount()) return false;
  const std::size_t prefix =
      RowPrefixLength(read_in_.alignment->Seqs[row.seq].SeqName);
  view.SetSelection(
      LineStart(view, line) + ColumnOffset(prefix, row.first_column),
      row.last_column - row.first_column + 1);
  return true;
}

}  // namespace tessarin
