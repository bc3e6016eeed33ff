#include "app/cli.h"

#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <iomanip>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/descriptor_buffer.h"
#include "app/document_file.h"
#include "app/workspace.h"
#include "text/numbers.h"
#include "view/figure_layout.h"
#include "view/palette.h"
#include "view/provenance.h"
#include "view/rich_view.h"

namespace tessarin {

namespace {

constexpr std::string_view kPrefix = "tessarin: ";
constexpr std::string_view kCannotWriteOut =
    "Cannot write to standard output: ";

// `text` with every control byte but tab (0x00 to 0x1F, 0x7F) written as
// "\x" and two lower-case hex digits, so that no input can move the cursor,
// retitle or clear the terminal, or reach its clipboard, and every line
// stays one line.
std::string ForTerminal(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x20 && byte != 0x7F) || byte == '\t') {
      shown += c;
      continue;
    }
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0x0F];
  }
  return shown;
}

// One line on standard error: the program's prefix and `text`.
void ErrorLine(std::ostream& err, std::string_view text) {
  err << kPrefix << ForTerminal(text) << '\n';
}

// Writes every message as one line on standard error (none with --quiet),
// and notes whether one of them said that an output could not be written.
class StreamSink : public MessageSink {
 public:
  StreamSink(std::ostream& err, bool quiet) : err_(err), quiet_(quiet) {}
  void Show(std::string_view text) override {
    if (!quiet_) ErrorLine(err_, text);
    ++count_;
    if (IsWriteFailure(text)) write_failed_ = true;
  }
  std::size_t count() const { return count_; }
  bool write_failed() const { return write_failed_; }

 private:
  std::ostream& err_;
  bool quiet_;
  std::size_t count_ = 0;
  bool write_failed_ = false;
};

// The minor page faults of this process so far: each is a fresh page the
// kernel had to supply, which is what large steps mostly pay for.
long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// Measures how long each step takes, and how many fresh pages it touches,
// for --timings.
class PhaseTimer : public ProgressObserver {
 public:
  void PhaseStarted(std::string_view phase) override {
    Finished();
    current_ = phase;
    started_ = Clock::now();
    faults_ = MinorFaults();
  }
  void Finished() override {
    if (current_.empty()) return;
    const std::chrono::duration<double> spent = Clock::now() - started_;
    phases_.push_back({current_, spent.count(), MinorFaults() - faults_});
    current_.clear();
  }
  void Print(std::ostream& err) {
    Finished();
    for (const Phase& phase : phases_) {
      err << "timing: " << std::left << std::setw(18) << phase.name
          << std::right << std::fixed << std::setprecision(3) << phase.seconds
          << " s " << std::setw(9) << phase.faults << " minor faults\n";
    }
  }

 private:
  using Clock = std::chrono::steady_clock;
  struct Phase {
    std::string name;
    double seconds;
    long faults;
  };
  std::vector<Phase> phases_;
  std::string current_;
  Clock::time_point started_;
  long faults_ = 0;
};

struct Options {
  std::string fas, cons, tf, out, format;
  std::optional<std::size_t> wrap;  // the figure layout, blocks of this width
  std::string title;
  std::string palette;
  std::optional<bool> plot;  // --plot / --no-plot
  std::optional<int> dpi;    // PNG
  std::string page;          // PDF
  bool listing = false;
  bool timings = false;
  bool quiet = false;
  std::optional<std::string> criteria;
  std::vector<std::string> cutoffs;
  std::vector<std::string> inspects;
  std::vector<std::string> sites;
  std::vector<std::string> origins;
  std::optional<double> max_p, max_q, min_score;
  std::optional<std::string> windows;
  std::string reference;
  std::string write_conservation;
  std::string report;      // the site report's file
  std::string report_bed;  // the folder of its BED tracks
  ReportFilter report_filter;
};

struct Cutoff {
  std::string name;
  long double value;
};

struct Inspect {
  std::uint64_t line, column, length;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// A format's name, letters compared without regard to case.
std::optional<DocumentFormat> FormatByName(const std::string& name) {
  static const std::map<std::string, DocumentFormat> kFormats = {
      {"rtf", DocumentFormat::kRtf},   {"html", DocumentFormat::kHtml},
      {"json", DocumentFormat::kJson}, {"text", DocumentFormat::kText},
      {"pdf", DocumentFormat::kPdf},   {"svg", DocumentFormat::kSvg},
      {"png", DocumentFormat::kPng}};
  const auto it = kFormats.find(Lowered(name));
  if (it == kFormats.end()) return std::nullopt;
  return it->second;
}

DocumentFormat ChooseFormat(const Options& options) {
  if (!options.format.empty()) {
    const auto format = FormatByName(options.format);
    if (!format) throw UsageError("unknown format: " + options.format);
    return *format;
  }
  static const std::map<std::string, DocumentFormat> kExtensions = {
      {".rtf", DocumentFormat::kRtf},  {".html", DocumentFormat::kHtml},
      {".htm", DocumentFormat::kHtml}, {".json", DocumentFormat::kJson},
      {".txt", DocumentFormat::kText}, {".pdf", DocumentFormat::kPdf},
      {".svg", DocumentFormat::kSvg},  {".png", DocumentFormat::kPng}};
  // The extension is what follows the last dot of the file's name; a name
  // without one (a device such as /dev/stdout) is written as RTF, while an
  // extension the program does not know is an error rather than a guess.
  const std::size_t slash = options.out.rfind('/');
  const std::size_t dot = options.out.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return DocumentFormat::kRtf;
  }
  const auto it = kExtensions.find(Lowered(options.out.substr(dot)));
  if (it == kExtensions.end()) {
    throw UsageError("unknown extension of --out (use --format): " +
                     options.out);
  }
  return it->second;
}

// --dpi and --page, each only with the format it applies to.
RenderSettings ChooseRendering(const Options& options, DocumentFormat format) {
  RenderSettings settings;
  if (options.dpi) {
    if (format != DocumentFormat::kPng) {
      throw UsageError("--dpi applies to PNG only");
    }
    if (*options.dpi < kMinFigureDpi || *options.dpi > kMaxFigureDpi) {
      throw UsageError("--dpi needs a number from " +
                       std::to_string(kMinFigureDpi) + " to " +
                       std::to_string(kMaxFigureDpi));
    }
    settings.dpi = *options.dpi;
  }
  if (!options.page.empty()) {
    if (format != DocumentFormat::kPdf) {
      throw UsageError("--page applies to PDF only");
    }
    const auto page = PageByName(options.page, settings);
    if (!page) {
      throw UsageError("--page needs A4 or letter, optionally -portrait: " +
                       options.page);
    }
    settings = *page;
  }
  return settings;
}

// The figure's settings from --wrap, --title, --palette, --dpi and --page;
// nothing without --wrap, unless the format is painted (PDF, SVG, PNG),
// which is always a figure.
std::optional<FigureOptions> ChooseFigure(const Options& options,
                                          DocumentFormat format) {
  const RenderSettings render = ChooseRendering(options, format);
  if (!options.wrap) {
    if (!IsRenderedFormat(format)) {
      if (options.plot) throw UsageError("--plot and --no-plot need a figure");
      return std::nullopt;
    }
    FigureOptions figure;
    figure.title = options.title;
    figure.render = render;
    figure.plot = options.plot.value_or(true);
    return figure;
  }
  if (*options.wrap < kMinFigureWrap || *options.wrap > kMaxFigureWrap) {
    throw UsageError("--wrap needs a number from " +
                     std::to_string(kMinFigureWrap) + " to " +
                     std::to_string(kMaxFigureWrap));
  }
  if (format == DocumentFormat::kJson) {
    throw UsageError("--wrap writes RTF, HTML or text, not JSON");
  }
  FigureOptions figure;
  figure.wrap = *options.wrap;
  figure.title = options.title;
  figure.plot = options.plot.value_or(true);
  figure.render = render;
  return figure;
}

Palette ChoosePalette(const Options& options, bool figure) {
  if (options.palette.empty()) {
    return figure ? Palette::kDistinct : Palette::kColorRule;
  }
  const auto palette = PaletteByName(options.palette);
  if (!palette) throw UsageError("unknown palette: " + options.palette);
  return *palette;
}

Cutoff ParseCutoff(const std::string& text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    throw UsageError("--cutoff needs NAME=VALUE: " + text);
  }
  const auto value = ParseReal(std::string_view(text).substr(equals + 1));
  if (!value) throw UsageError("--cutoff value is not a number: " + text);
  return {text.substr(0, equals), *value};
}

Inspect ParseInspect(const std::string& text) {
  std::vector<std::uint64_t> parts;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t colon = text.find(':', begin);
    const std::string part = text.substr(begin, colon - begin);
    const auto value = ParseInteger(part);
    if (part.empty() ||
        part.find_first_not_of("0123456789") != std::string::npos || !value) {
      throw UsageError("--inspect needs LINE:COLUMN:LENGTH: " + text);
    }
    parts.push_back(static_cast<std::uint64_t>(*value));
    if (colon == std::string::npos) break;
    begin = colon + 1;
  }
  if (parts.size() != 3) {
    throw UsageError("--inspect needs LINE:COLUMN:LENGTH: " + text);
  }
  return {parts[0], parts[1], parts[2]};
}

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  if (list.empty()) return names;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t comma = list.find(',', begin);
    names.push_back(list.substr(begin, comma - begin));
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  return names;
}

bool IsScoreName(const TConserved& data, const std::string& name) {
  return std::find(data.ScoreNames.begin(), data.ScoreNames.end(), name) !=
         data.ScoreNames.end();
}

// Applies --criteria and --cutoff after reading in; a name the conservation
// data does not know is a usage error.
void ApplyScoreOptions(Workspace& workspace, const Options& options,
                       const std::vector<Cutoff>& cutoffs) {
  const TConserved& data = workspace.Conservation();
  if (options.criteria) {
    const std::vector<std::string> names = SplitNames(*options.criteria);
    for (const std::string& name : names) {
      if (!IsScoreName(data, name)) {
        throw UsageError("unknown criterion: " + name);
      }
    }
    std::vector<bool> checked(data.ScoreNames.size(), false);
    for (std::size_t i = 0; i < data.ScoreNames.size(); ++i) {
      checked[i] = std::find(names.begin(), names.end(), data.ScoreNames[i]) !=
                   names.end();
    }
    workspace.SetCriteria(checked);
  }
  for (const Cutoff& cutoff : cutoffs) {
    const auto it =
        std::find(data.ScoreNames.begin(), data.ScoreNames.end(), cutoff.name);
    if (it == data.ScoreNames.end()) {
      throw UsageError("unknown score in --cutoff: " + cutoff.name);
    }
    const auto index = static_cast<std::size_t>(it - data.ScoreNames.begin());
    if (index < workspace.Conservation().Cutoffs.size()) {
      workspace.SetCutoff(index, cutoff.value);
    }
  }
}

// --origin and the filters, checked before anything is read.
SiteImportOptions SiteOptions(const Options& options) {
  SiteImportOptions site_options;
  for (const std::string& text : options.origins) {
    const std::optional<SiteOrigin> origin = ParseSiteOrigin(text);
    if (!origin) {
      throw UsageError("--origin needs NAME=CHROM:START[:-]: " + text);
    }
    site_options.origins.push_back(*origin);
  }
  site_options.max_p = options.max_p;
  site_options.max_q = options.max_q;
  site_options.min_score = options.min_score;
  return site_options;
}

// "-" as an input stands for standard input (one input at most); as --out,
// for standard output.
constexpr std::string_view kStandardStream = "-";
constexpr const char* kStandardInput = "/dev/stdin";

void ResolveStandardStreams(Options& options) {
  std::vector<std::string*> inputs = {&options.fas, &options.cons, &options.tf};
  for (std::string& path : options.sites) inputs.push_back(&path);
  std::size_t from_stdin = 0;
  for (std::string* path : inputs) {
    if (*path != kStandardStream) continue;
    if (++from_stdin > 1) {
      throw UsageError("only one input can be - (standard input)");
    }
    *path = kStandardInput;
  }
  if (options.out == kStandardStream) options.out.clear();
}

// Which inputs stand in for which: --sites for --tf, and the other way.
void CheckInputs(const Options& options) {
  if (options.tf.empty() && options.sites.empty()) {
    throw UsageError("--tf or --sites is required");
  }
  if (options.cons.empty() == !options.windows) {
    throw UsageError("one of --cons and --windows is required");
  }
  if (!options.reference.empty() && !options.windows) {
    throw UsageError("--reference needs --windows");
  }
  if (!options.sites.empty() || !options.origins.empty()) {
    SiteOptions(options);
  }
  const bool report = !options.report.empty() || !options.report_bed.empty();
  if (report && options.listing) {
    throw UsageError("--report and --report-bed need Annotate, not --listing");
  }
  if (!report && (options.report_filter.only_conserved ||
                  options.report_filter.min_shared > 0)) {
    throw UsageError(
        "--only-conserved and --min-shared need --report or --report-bed");
  }
}

// The site report's format, from the extension of --report (any without
// it).
ReportFormat ChooseReportFormat(const Options& options) {
  if (options.report.empty()) return ReportFormat::kTsv;
  const std::optional<ReportFormat> format =
      ReportFormatForPath(options.report);
  if (!format) {
    throw UsageError("--report needs a .tsv or .json file: " + options.report);
  }
  return *format;
}

int Run(Options options, std::ostream& out, std::ostream& err,
        FigureRenderer* renderer) {
  ResolveStandardStreams(options);
  CheckInputs(options);
  std::optional<WindowSettings> windows;
  if (options.windows) {
    windows = ParseWindowSettings(*options.windows);
    if (!windows) {
      throw UsageError("--windows needs WIDTH[:STEP]: " + *options.windows);
    }
    windows->reference = options.reference;
  }
  const DocumentFormat format = ChooseFormat(options);
  const ReportFormat report_format = ChooseReportFormat(options);
  std::optional<FigureOptions> figure = ChooseFigure(options, format);
  const Palette palette = ChoosePalette(options, figure.has_value());
  if (figure) figure->palette = palette;
  std::vector<Cutoff> cutoffs;
  for (const std::string& text : options.cutoffs) {
    cutoffs.push_back(ParseCutoff(text));
  }
  std::vector<Inspect> inspects;
  for (const std::string& text : options.inspects) {
    inspects.push_back(ParseInspect(text));
  }

  StreamSink sink(err, options.quiet);
  Workspace workspace(sink);
  workspace.SetFigureRenderer(renderer);
  PhaseTimer timer;
  if (options.timings) workspace.SetProgressObserver(&timer);
  workspace.SetPath(FileSlot::kFas, options.fas);
  workspace.SetPath(FileSlot::kConservation, options.cons);
  workspace.SetPath(FileSlot::kTf, options.tf);
  workspace.SetTitle(options.title);
  // A figure is drawn from the view itself, so the view takes its palette.
  workspace.SetPalette(palette);
  workspace.LeaveOut(FileSlot::kTf, options.tf.empty());
  workspace.LeaveOut(FileSlot::kConservation, options.cons.empty());
  if (!workspace.ReadInFiles()) return kExitReported;
  const SiteImportOptions site_options = SiteOptions(options);
  for (const std::string& path : options.sites) {
    workspace.ImportSites(path, site_options);
  }
  if (windows) workspace.ComputeConservation(*windows);
  ApplyScoreOptions(workspace, options, cutoffs);
  if (!options.write_conservation.empty()) {
    workspace.SaveConservation(options.write_conservation);
  }
  if (!options.listing) workspace.Annotate();

  RichView& view = workspace.View();
  for (const Inspect& inspect : inspects) {
    view.SetSelection(LineStart(view, inspect.line) + inspect.column,
                      inspect.length);
    workspace.RecordInspection();
  }

  if (figure) {
    if (options.out.empty()) {
      workspace.WriteFigure(out, format, *figure);
    } else {
      workspace.SaveFigure(options.out, format, *figure);
    }
  } else if (options.out.empty()) {
    workspace.Write(out, format);
  } else {
    workspace.Save(options.out, format);
  }
  if (!options.report.empty()) {
    workspace.SaveReport(options.report, report_format, options.report_filter);
  }
  if (!options.report_bed.empty()) {
    workspace.SaveReportBed(options.report_bed, options.report_filter,
                            SiteOptions(options).origins);
  }
  // Standard output carries only the document when the document goes there.
  std::ostream& inspected = options.out.empty() ? err : out;
  for (const std::string& status : workspace.Inspections()) {
    inspected << ForTerminal(status) << '\n';
  }
  if (options.timings) timer.Print(err);
  if (sink.write_failed()) return kExitWrite;
  return sink.count() == 0 ? kExitClean : kExitReported;
}

int RunParsed(int argc, const char* const* argv, std::ostream& out,
              std::ostream& err, FigureRenderer* renderer) {
  CLI::App app{"Tessarin: annotated alignment views without a window",
               "tessarin-cli"};
  app.set_version_flag("-V,--version",
                       "tessarin-cli " + std::string(kProgramVersion));
  Options options;
  std::string criteria;
  std::size_t wrap = 0;
  int dpi = 0;
  app.add_option("--fas", options.fas,
                 "aligned FASTA, Clustal or Stockholm file; - for standard "
                 "input (any one input may be -)")
      ->required();
  app.add_option("--cons", options.cons,
                 "conservation file (required unless --windows is given)");
  std::string windows;
  CLI::Option* windows_option = app.add_option(
      "--windows", windows,
      "WIDTH[:STEP]: compute DIFF and GAPS over sliding windows instead of "
      "reading --cons (default 100:1)");
  windows_option->expected(0, 1);
  app.add_option("--reference", options.reference,
                 "with --windows: one score DIFF_<row> per other row, its "
                 "difference to row NAME");
  app.add_option("--write-conservation", options.write_conservation,
                 "write the conservation data (after --cutoff) as a "
                 "conservation file");
  app.add_option("--tf", options.tf,
                 "TF file (required unless --sites is given)");
  app.add_option("--sites", options.sites,
                 "FIMO, BED or GFF3 site file, read after --tf (repeatable)")
      ->take_all();
  app.add_option("--origin", options.origins,
                 "NAME=CHROM:START[:-]: the 1-based genomic position of the "
                 "first residue of row NAME, '-' for the reverse strand "
                 "(repeatable)")
      ->take_all();
  app.add_option("--max-p", options.max_p,
                 "leave out imported hits whose p-value is above this");
  app.add_option("--max-q", options.max_q,
                 "leave out imported hits whose q-value is above this");
  app.add_option("--min-score", options.min_score,
                 "leave out imported hits whose score is below this");
  app.add_option("-o,--out", options.out,
                 "where to write the document; - or none: standard output");
  app.add_option(
      "-f,--format", options.format,
      "rtf | html | json | text | pdf | svg | png, any case (default from "
      "the extension of --out; rtf when it has none); pdf, svg and png "
      "write the figure layout");
  CLI::Option* wrap_option = app.add_option(
      "--wrap", wrap,
      "N: write the figure layout instead of the view: blocks of N columns "
      "(10 to 1000) with rulers, end positions, a header and a legend "
      "(RTF, HTML, text, PDF, SVG or PNG; default 60 for PDF, SVG and PNG)");
  app.add_option("--title", options.title,
                 "the documents' title (default: the FASTA file's name)");
  app.add_option("--palette", options.palette,
                 "spec | distinct: the factors' colours (default: distinct "
                 "for figures, spec for the view)");
  app.add_option("--report", options.report,
                 "FILE.tsv | FILE.json: write the site report (every site "
                 "with its columns, matches, conserved columns and the rows "
                 "that share it)");
  app.add_option("--report-bed", options.report_bed,
                 "DIR: write the conserved sites as one BED6 file per row "
                 "(genome coordinates with --origin)");
  app.add_flag("--only-conserved", options.report_filter.only_conserved,
               "report only sites that lie at least partly in conserved "
               "windows");
  app.add_option("--min-shared", options.report_filter.min_shared,
                 "K: report only sites that K or more other rows share");
  bool plot = false;
  bool no_plot = false;
  CLI::Option* plot_option = app.add_flag(
      "--plot", plot,
      "draw the conservation plot over each block of a figure (the default "
      "when there are scores; HTML)");
  CLI::Option* no_plot_option =
      app.add_flag("--no-plot", no_plot, "leave the plot out of a figure");
  plot_option->excludes(no_plot_option);
  CLI::Option* dpi_option = app.add_option(
      "--dpi", dpi,
      "PNG resolution in dots per inch, " + std::to_string(kMinFigureDpi) +
          " to " + std::to_string(kMaxFigureDpi) + " (default 300)");
  app.add_option("--page", options.page,
                 "PDF page: A4 | letter, landscape unless followed by "
                 "-portrait (default A4)");
  app.add_flag("-q,--quiet", options.quiet,
               "show no messages on standard error (usage errors, a failed "
               "write to standard output and --inspect lines still go "
               "there); the exit status still tells");
  app.add_flag("--timings", options.timings,
               "print the time and the minor page faults of each step to "
               "standard error (the TF and conservation files are read "
               "while the alignment is: their steps show the wait for them)");
  app.add_flag("--listing", options.listing,
               "write the plain listing of Read in Files instead of running "
               "Annotate");
  CLI::Option* criteria_option = app.add_option(
      "--criteria", criteria,
      "comma-separated score names that count as criteria (default: all; "
      "empty: none)");
  app.add_option("--cutoff", options.cutoffs,
                 "NAME=VALUE: replace a cut-off in memory (repeatable)")
      ->take_all();
  app.add_option("--inspect", options.inspects,
                 "L:C:N: after Annotate, select N characters from 0-based "
                 "column C of 0-based view line L (repeatable)")
      ->take_all();
  app.footer(
      "Example:\n"
      "  tessarin-cli --fas examples/promoter.fas --cons "
      "examples/promoter.cons "
      "\\\n"
      "    --tf examples/promoter.tf -f json --inspect 0:10:3 | python3 -m "
      "json.tool\n"
      "writes the annotated view as JSON on standard output and the "
      "inspection on standard error.\n\n"
      "Exit status: 0 nothing reported, 1 something reported, 2 usage error, "
      "3 an output could not be written.");
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    ErrorLine(err, e.what());
    err << "Run with --help for more information.\n";
    return kExitUsage;
  }
  if (criteria_option->count() > 0) options.criteria = criteria;
  if (plot_option->count() > 0) options.plot = true;
  if (no_plot_option->count() > 0) options.plot = false;
  if (wrap_option->count() > 0) options.wrap = wrap;
  if (dpi_option->count() > 0) options.dpi = dpi;
  if (windows_option->count() > 0) options.windows = windows;
  try {
    return Run(options, out, err, renderer);
  } catch (const UsageError& e) {
    ErrorLine(err, e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    ErrorLine(err, FailureText(e));
    return kExitReported;
  }
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err, FigureRenderer* renderer) {
  const int status = RunParsed(argc, argv, out, err, renderer);
  // A document cut short on standard output (a full disk, a closed pipe)
  // must not pass for a success.
  out.flush();
  if (out) return status;
  ErrorLine(err,
            std::string(kCannotWriteOut) + std::strerror(StreamError(out)));
  return std::max(status, kExitWrite);
}

}  // namespace tessarin
