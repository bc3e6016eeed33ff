// The workspace: everything the running program holds (paths, what reading
// in produced, criteria, the annotated view and the status text) and the
// commands that change it. The window and
// the batch front end only turn clicks or options into these commands.
#ifndef TESSARIN_APP_WORKSPACE_H_
#define TESSARIN_APP_WORKSPACE_H_

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/seq_set.h"
#include "app/input_facts.h"
#include "sources/computed_conservation.h"
#include "sources/conserved.h"
#include "sources/reading_in.h"
#include "sources/site_import.h"
#include "sources/tf_set.h"
#include "text/arrays.h"
#include "text/message_sink.h"
#include "text/progress.h"
#include "view/annotated_view.h"
#include "view/conservation_plot.h"
#include "view/figure_document.h"
#include "view/figure_renderer.h"
#include "view/palette.h"
#include "view/provenance.h"
#include "view/rich_view.h"
#include "view/site_report.h"
#include "view/site_report_writers.h"

namespace tessarin {

enum class FileSlot { kFas, kConservation, kTf };

// The view's documents are the first four; figures are also painted as
// the last three (IsRenderedFormat).
enum class DocumentFormat { kRtf, kHtml, kJson, kText, kPdf, kSvg, kPng };

// Whether `format` is painted (PDF, SVG, PNG) rather than written.
bool IsRenderedFormat(DocumentFormat format);

// What "Export Figure..." and --wrap ask for.
struct FigureOptions {
  std::size_t wrap = 60;  // columns per block
  std::string title;      // empty: the workspace's title
  Palette palette = Palette::kDistinct;
  // The conservation plot over each block, when there are scores to plot.
  bool plot = true;
  RenderSettings render;  // PDF and PNG
};

// Texts the commands report.
inline constexpr std::string_view kNoSuchFile = "No such file: ";
inline constexpr std::string_view kMissingFiles = "Missing file(s)!";
inline constexpr std::string_view kNoDataLoaded = "No data loaded!";
inline constexpr std::string_view kNotANumber = "Not a number";
inline constexpr std::string_view kCannotRender =
    "This program cannot paint PDF, SVG or PNG figures";
inline constexpr std::string_view kViewNotRendered =
    "PDF, SVG and PNG are figure formats; the view is written as RTF, HTML, "
    "JSON or text";
// Reported when a command runs out of memory; the command ends there.
inline constexpr std::string_view kOutOfMemory = "Out of memory";
// The step of Read in Files that lists the sequences in the view.
inline constexpr std::string_view kPhaseList = "list";
// The steps of Import Sites and Compute Conservation.
inline constexpr std::string_view kPhaseImportSites = "import sites";
inline constexpr std::string_view kPhaseComputeWindows = "compute windows";
// Reported by the site report's commands before any Annotate.
inline constexpr std::string_view kNotAnnotated =
    "Nothing annotated yet: the site report lists the sites of the annotated "
    "view.";
// The step that builds the site report.
inline constexpr std::string_view kPhaseReport = "build site report";
inline constexpr std::string_view kSitesAnnotated =
    "TF binding site annotation completed.";
inline constexpr std::string_view kWindowsHighlighted =
    "Conservation plotting completed.";

// The text that reports a failure: kOutOfMemory for std::bad_alloc, the
// failure's own text otherwise.
std::string_view FailureText(const std::exception& error);

class Workspace {
 public:
  // Every message of every command goes to `sink`.
  explicit Workspace(MessageSink& sink);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // A file SET button: stores `path` in its slot when it names an existing
  // file; otherwise reports "No such file: " and the path.
  bool ChooseFile(FileSlot slot, const std::string& path);
  // Stores a path without testing it (the batch front end's options).
  void SetPath(FileSlot slot, const std::string& path);
  const std::string& Path(FileSlot slot) const;

  // Read in Files: "Missing file(s)!" unless all three paths name existing
  // files, and "Cannot read \"path\": " with the system's reason for one that
  // cannot be opened (nothing changes then); otherwise reads everything,
  // selects every score as a criterion and lists one plain row per sequence
  // in the view. A read error part-way is reported the same way and ends the
  // reading in at that file, like a reader's own message. An alignment
  // file in which no sequence is found reports "No sequence found in " and
  // the path in double quotes right after it is read, and the reading in
  // goes on. Returns whether the files were read.
  //
  // Every command is one unit: a failure from the platform (out of memory
  // included, reported as "Out of memory"; otherwise the failure's own text)
  // is reported, ends the command there and leaves what it had set. A
  // reading in that ends so leaves the loaded flag and the criteria as they
  // were (the view may hold part of the new listing), and Annotate refuses
  // an alignment that did not pass the length check; an Annotate that ends
  // so leaves the view unannotated.
  bool ReadInFiles();

  // Leaves the TF file or the conservation file out of Read in Files (the
  // batch front end, when imported sites or computed windows stand in for
  // it): its path is then neither needed nor read, and its data is emptied.
  void LeaveOut(FileSlot slot, bool left_out);

  // Import Sites: reads a FIMO, BED or GFF3 file into the TF definitions of
  // the alignment read in (ImportSiteFile); "No data loaded!" before any
  // reading in, the length-check message when the alignment read last is no
  // alignment, "Cannot read ..." for a file that cannot be read. The view
  // changes at the next Annotate. Returns whether the file was read.
  bool ImportSites(const std::string& path,
                   const SiteImportOptions& options = {});
  const TSiteDetails& SiteDetails() const { return read_in_.site_details; }

  // Compute Conservation: replaces the conservation data by windows
  // computed from the alignment read in (ComputeConservation) and selects
  // every score as a criterion; refused as Import Sites is. The view
  // changes at the next Annotate.
  bool ComputeConservation(const WindowSettings& settings);
  // Writes the conservation data as a conservation file, as Save writes a
  // document (a failure leaves any existing file as it was).
  bool SaveConservation(const std::string& path);

  // Annotate: "No data loaded!" before any reading in; the length-check
  // message when the alignment read last is no alignment (nothing changes);
  // otherwise rewrites the view with rows, tracks, sites and windows.
  bool Annotate();

  // The criteria check list: flag i := checked[i] for every existing flag.
  void SetCriteria(const std::vector<bool>& checked);
  const AByte& Criteria() const { return criteria_; }

  // The cut-off of score `score` as the cut-off field shows it ("0.500"), or
  // nothing when no score is chosen or it has no cut-off.
  std::optional<std::string> CutoffText(std::optional<std::size_t> score) const;
  // The cut-off SET button: "Not a number" for text that breaks the real
  // rule (returns nothing); otherwise stores the value for the chosen score,
  // if it has a cut-off, and returns the field's new text (nothing when no
  // cut-off was stored).
  std::optional<std::string> StoreCutoff(std::optional<std::size_t> score,
                                         std::string_view text);
  // Stores an already converted cut-off; returns the field's new text, or
  // nothing when the chosen score has no cut-off.
  std::optional<std::string> SetCutoff(std::optional<std::size_t> score,
                                       long double value);

  // Runs the selection inspector for the view's selection and updates the
  // status text when it answers.
  void SelectionChanged();

  // The title that documents carry (empty: the FASTA file's name).
  void SetTitle(std::string title) { title_ = std::move(title); }
  // The palette that Annotate colours the factors' sites in; the colour rule
  // of the TF file unless set.
  void SetPalette(Palette palette) { palette_ = palette; }

  // Export Figure: writes the figure layout of the annotated data (RTF, HTML
  // or text). The figure shows the view's marks and windows in the figure's
  // palette; when that is not the view's, or nothing is annotated yet, the
  // data are annotated afresh for the figure, leaving the view alone. "No
  // data loaded!" before any reading in, and the length-check message when
  // the alignment read last is no alignment; nothing is written then. A
  // failure to write is reported as for Save.
  // PDF, SVG and PNG are painted by the renderer set with
  // SetFigureRenderer; without one they are refused with a message.
  bool SaveFigure(const std::string& path, DocumentFormat format,
                  const FigureOptions& options);
  bool WriteFigure(std::ostream& out, DocumentFormat format,
                   const FigureOptions& options);
  // Print: hands the figure, made as for Export Figure, to `draw` (which
  // prints it); refused as Export Figure is.
  bool DrawFigure(const FigureOptions& options,
                  const std::function<void(const FigureDocument&)>& draw);
  // Not owned; null for none.
  void SetFigureRenderer(FigureRenderer* renderer) { renderer_ = renderer; }
  // Writes what `write` writes to `path` as Save writes a document (the
  // window's picture of its view).
  bool SaveOutput(const std::string& path,
                  const std::function<void(std::ostream&)>& write);

  // The site report of the view as the last Annotate left it, built at the
  // first call after it; null (and "No data loaded!" or kNotAnnotated
  // reported) when there is none.
  const SiteReport* SitesReport();
  // Save Report: the report as TSV or JSON (its rows through `filter`);
  // refused as SitesReport is, and a failure to write is reported as for Save.
  bool SaveReport(const std::string& path, ReportFormat format,
                  const ReportFilter& filter);
  // The conserved sites as one BED6 file per row in folder `dir` (made when
  // missing), in genome coordinates for rows that `origins` place.
  bool SaveReportBed(const std::string& dir, const ReportFilter& filter,
                     const std::vector<SiteOrigin>& origins);
  // The conservation plot of the view as the last Annotate left it, built at
  // the first call after it (the window asks at once, so it shows the
  // criteria and cut-offs of that Annotate); null before any Annotate.
  const ConservationPlot* Plot();

  // Selects the letters of report row `row` in the view, as a selection by
  // hand would (the status text then tells their positions); false when the
  // row is not placed or not in the view.
  bool SelectSite(const SiteReportRow& row);

  // Writes the view as a document. A failure is reported with the system's
  // reason and leaves any existing file as it was.
  bool Save(const std::string& path, DocumentFormat format);
  // Writes the view to a stream (JSON includes messages, status, inspect).
  // A failure part-way is reported; the stream then holds what was written.
  void Write(std::ostream& out, DocumentFormat format) const;

  // Told as each long step of Read in Files, Annotate and Save begins, and
  // when the command ends. Not owned; null for none.
  void SetProgressObserver(ProgressObserver* progress) { progress_ = progress; }

  const std::string& Status() const { return status_; }
  // Called whenever the status text changes (the window repaints the label).
  std::function<void()> on_status_changed;

  // Every message reported by reading in and Annotate, each occurrence.
  const std::vector<std::string>& Messages() const { return messages_; }
  // Status texts recorded with RecordInspection (the batch front end).
  void RecordInspection() { inspections_.push_back(status_); }
  const std::vector<std::string>& Inspections() const { return inspections_; }

  RichView& View() { return annotated_view_.view; }
  const RichView& View() const { return annotated_view_.view; }
  const TSeqSet* Alignment() const { return read_in_.alignment.get(); }
  const TaTFSet& TfDefinitions() const { return read_in_.factors; }
  const ADWord& LineIndex() const { return annotated_view_.line_index; }
  const TConserved& Conservation() const { return read_in_.conservation; }
  bool Loaded() const { return loaded_; }
  bool Annotated() const { return annotated_; }

  // What a document made now says about its origin: `title` (when empty,
  // the FASTA file's name), the three input files in the order alignment,
  // sites, conservation, with their sizes and SHA-256 as they are now on
  // disk (unknown or empty when unreadable), every score of the conservation
  // data with its criterion flag and cut-off text, the program and
  // DocumentDate.
  Provenance MakeProvenance(std::string title) const;

 private:
  // Records every message for the JSON document, then passes it on.
  class LoggingSink : public MessageSink {
   public:
    LoggingSink(MessageSink& next, std::vector<std::string>& log)
        : next_(next), log_(log) {}
    void Show(std::string_view text) override {
      log_.emplace_back(text);
      next_.Show(text);
    }

   private:
    MessageSink& next_;
    std::vector<std::string>& log_;
  };

  // Passes each step on to the observer and remembers the last one begun,
  // which tells how far a reading in came when it stopped part-way.
  class PhaseRelay : public ProgressObserver {
   public:
    explicit PhaseRelay(ProgressObserver* next) : next_(next) {}
    void PhaseStarted(std::string_view phase) override {
      last_ = phase;
      if (next_ != nullptr) next_->PhaseStarted(phase);
    }
    std::string_view Last() const { return last_; }

   private:
    ProgressObserver* next_;
    std::string_view last_;
  };

  // Runs `body`; a failure it throws is reported to `sink` and gives false.
  template <typename Body>
  bool Guarded(MessageSink& sink, Body&& body) const;
  // Guarded, then tells the observer that the command has ended.
  template <typename Body>
  bool RunCommand(MessageSink& sink, Body&& body) const;
  bool ReadAndList();
  // "No data loaded!" or the length-check message when there is no checked
  // alignment to add to or draw a figure of; true when there is one.
  bool HasCheckedAlignment();
  bool AnnotateView();
  void WriteDocument(std::ostream& out, DocumentFormat format) const;
  // Forgets the marks, sites, windows and report of the last Annotate.
  void ClearAnnotation();
  // Whether `format` can be written: a painted one needs the renderer.
  bool CanRender(DocumentFormat format);
  // Makes the figure of `options` and hands it to `use`.
  void MakeFigure(const FigureOptions& options,
                  const std::function<void(const FigureDocument&)>& use);
  void WriteFigureDocument(std::ostream& out, DocumentFormat format,
                           const FigureOptions& options);
  void SetStatus(std::string_view text);
  void Phase(std::string_view name) const;
  void Finished() const;
  // Starts taking the facts of the files just read in.
  void TakeInputFacts();
  void ListSequences();

  MessageSink& sink_;
  std::vector<std::string> messages_;
  LoggingSink logged_{sink_, messages_};

  std::string fas_path_;
  std::string conservation_path_;
  std::string tf_path_;
  ReadInChoice read_in_choice_ = {true, true, true};
  // What stands beside or in place of the files read in, for the
  // provenance: the site files imported since, and how the conservation
  // data was computed (empty when it was read).
  std::vector<std::string> imported_site_paths_;
  std::string computed_conservation_;
  // The size and SHA-256 of every file read in or imported.
  InputFacts input_facts_;
  // Filled in place by every reading in, so that one that stops part-way
  // keeps what it had read. Annotate is refused while its alignment_checked
  // is false.
  ReadInData read_in_;
  AByte criteria_;
  bool loaded_ = false;
  bool annotated_ = false;
  // Never reassigned: the view's selection handler is bound to this object.
  AnnotatedView annotated_view_;
  std::optional<SiteReport> report_;      // of annotated_view_, once built
  std::optional<ConservationPlot> plot_;  // likewise
  std::string status_ = ".";
  std::vector<std::string> inspections_;
  ProgressObserver* progress_ = nullptr;
  FigureRenderer* renderer_ = nullptr;
  std::string title_;
  Palette palette_ = Palette::kColorRule;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_WORKSPACE_H_
