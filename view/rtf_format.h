// The RTF that WriteRtf produces, named once for the writer and its tests.
#ifndef TESSARIN_VIEW_RTF_FORMAT_H_
#define TESSARIN_VIEW_RTF_FORMAT_H_

#include <string_view>

namespace tessarin::rtf {

// Document start: RTF 1, ANSI text in code page 1252, default font 0.
inline constexpr std::string_view kHeader = "{\\rtf1\\ansi\\ansicpg1252\\deff0";
// Font 0: "Courier New", a modern (fixed-pitch) family, so readers without
// it fall back to another fixed-pitch font and columns stay aligned.
inline constexpr std::string_view kFontName = "Courier New";
inline constexpr std::string_view kFontTable =
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}";
// The colour table opens with an empty entry: colour 0 is automatic.
inline constexpr std::string_view kColorTableOpen = "{\\colortbl;";
inline constexpr std::string_view kRed = "\\red";
inline constexpr std::string_view kGreen = "\\green";
inline constexpr std::string_view kBlue = "\\blue";
// The view's 15-pixel characters are 11.25 pt at 96 dpi; RTF sizes are whole
// half-points, so 11 pt.
inline constexpr int kFontSizeHalfPoints = 22;
// Courier New's advance is 1229/2048 of its size, so a character cell of
// 11 pt is 132.02 twips; tab stops are placed in whole twips, rounded up so
// that the text before a stop always fits in front of it.
inline constexpr int kCellTwipsNumerator = kFontSizeHalfPoints * 10 * 1229;
inline constexpr int kCellTwipsDenominator = 2048;
// A4 landscape with margins of 1.27 cm: the widest page a word processor
// offers by default, so that as much of a row as possible fits on a line.
inline constexpr std::string_view kPageSetup =
    "\\paperw16838\\paperh11906\\margl720\\margr720\\margt720\\margb720"
    "\\landscape";
// Tab stops after the shared one: every 8 cells, as in the window.
inline constexpr std::string_view kDefaultTab = "\\deftab";  // + twips
// The tab stop of every paragraph, where column 1 of every row stands. The
// same position is the paragraphs' hanging indent: a row too long for the
// page goes on below its column 1, and a word processor that moves the
// letters after the tab to the next line (they form one long word) still
// starts them there.
inline constexpr std::string_view kTabStop = "\\tx";       // + twips
inline constexpr std::string_view kLeftIndent = "\\li";    // + twips
inline constexpr std::string_view kFirstIndent = "\\fi-";  // + twips
// Plain paragraphs in font 0; the writer adds kFontSize and the size.
inline constexpr std::string_view kBodyStart = "\\pard\\plain\\f0";
inline constexpr std::string_view kFontSize = "\\fs";

// Character formatting, one group per run.
inline constexpr std::string_view kBold = "\\b";
inline constexpr std::string_view kItalic = "\\i";
inline constexpr std::string_view kUnderline = "\\ul";
inline constexpr std::string_view kStrikeOut = "\\strike";
inline constexpr std::string_view kTextColor = "\\cf";  // + colour index
// A background is clear shading in the pattern colour, plus \cb for readers
// that know only that; \highlight alone would be limited to 16 colours.
inline constexpr std::string_view kShading = "\\chshdng0";
inline constexpr std::string_view kShadingColor = "\\chcbpat";  // + index
inline constexpr std::string_view kBackColor = "\\cb";          // + index

// The document information group and its entries.
inline constexpr std::string_view kInfo = "\\info";
inline constexpr std::string_view kInfoTitle = "\\title";
inline constexpr std::string_view kInfoSubject = "\\subject";
inline constexpr std::string_view kInfoComment = "\\doccomm";
inline constexpr std::string_view kInfoCreated = "\\creatim";
inline constexpr std::string_view kYear = "\\yr";
inline constexpr std::string_view kMonth = "\\mo";
inline constexpr std::string_view kDay = "\\dy";
inline constexpr std::string_view kHour = "\\hr";
inline constexpr std::string_view kMinute = "\\min";

// Paragraphs of a figure: a fresh paragraph, one kept on the same page as
// the next, and a line break inside a paragraph.
inline constexpr std::string_view kNewParagraph = "\\pard\\plain\\f0";
inline constexpr std::string_view kKeepWithNext = "\\keepn";
inline constexpr std::string_view kSpaceAfter = "\\sa";  // + twips

// Text.
inline constexpr std::string_view kParagraphEnd = "\\par";
inline constexpr std::string_view kTab = "\\tab";
// Any other byte outside printable ASCII is written as \'hh.
inline constexpr std::string_view kHexEscape = "\\'";

}  // namespace tessarin::rtf

#endif  // TESSARIN_VIEW_RTF_FORMAT_H_
