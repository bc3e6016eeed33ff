#include "sources/site_import.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {
namespace {

using Texts = std::vector<std::string>;

TSeqSet SmallAlignment() {
  TSeqSet set;
  for (const auto& [name, text] :
       {std::pair{"human", "AAC-GTGACTCAT"},
        std::pair{"mouse", "AACAGTGACTGAT"},
        std::pair{"dog 7:100-112", "AAC-GTGAGTCAT"}}) {
    TSeq& seq = set.Seqs.emplace_back();
    seq.SeqName = name;
    seq.RawSeq = seq.Seq = text;
  }
  return set;
}

// Each factor as one line: name, colour index check, match type, then each
// site as row@position:letters-or-length.
std::string Dump(const TaTFSet& factors, const TSiteDetails& details) {
  std::string out;
  for (std::size_t i = 0; i < factors.size(); ++i) {
    const TTFSet& f = factors[i];
    out += f.Name + (f.Color == FactorColor(i) ? "" : "(colour!)") +
           (f.MatchType == kMatchDirect ? " direct" : " length");
    for (std::size_t j = 0; j < f.SeqNames.size(); ++j) {
      out += " " + f.SeqNames[j] + "@" + std::to_string(f.Positions[j]) + ":" +
             (f.MatchType == kMatchDirect ? f.Sites[j]
                                          : std::to_string(f.Lengths[j]));
      if (f.Labels[j] != f.Name) out += "(label!)";
      if (j < details[i].size()) out += details[i][j].strand;
    }
    out += ";";
  }
  return out;
}

SiteImportOptions WithOrigins(std::vector<SiteOrigin> origins) {
  SiteImportOptions options;
  options.origins = std::move(origins);
  return options;
}

SiteImportOptions WithFilters(std::optional<double> max_p,
                              std::optional<double> max_q,
                              std::optional<double> min_score) {
  SiteImportOptions options;
  options.max_p = max_p;
  options.max_q = max_q;
  options.min_score = min_score;
  return options;
}

constexpr std::string_view kFimoHeader =
    "motif_id\tmotif_alt_id\tsequence_name\tstart\tstop\tstrand\tscore\t"
    "p-value\tq-value\tmatched_sequence\n";

TEST(SiteImportTest, EachFormatGivesFactorsAndReportsBadLines) {
  const struct Row {
    std::string name, path, content;
    SiteImportOptions options;
    std::string factors;
    Texts messages;
  } rows[] = {
      {"FIMO, current header; the alternative id names the factor; a "
       "minus-strand hit is stored as the row reads it; first word matches",
       "s.tsv",
       std::string(kFimoHeader) +
           "MA1\tAP1\thuman\t5\t11\t+\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "MA2\t\tmouse\t2\t4\t-\t3\t0.5\t0.9\tGTT\n"
           "MA1\tAP1\tdog\t5\t11\t-\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "# FIMO (Find Individual Motif Occurrences)\n",
       {},
       "AP1 direct human@5:TGACTCA+ dog 7:100-112@5:TGAGTCA-;"
       "MA2 direct mouse@2:AAC-;",
       {}},
      {"FIMO, older header without letters: length; a later header starts "
       "over",
       "s.txt",
       "#pattern name\tsequence name\tstart\tstop\tscore\tp-value\tq-value\n"
       "SP1\thuman\t1\t3\t5\t0.001\t0.1\n" +
           std::string(kFimoHeader) +
           "MA1\tAP1\thuman\t5\t11\t+\t9.5\t1e-5\t0.01\tTGACTCA\n",
       {},
       "SP1 length human@1:3.;AP1 direct human@5:TGACTCA+;",
       {}},
      {"FIMO problems skip their line only",
       "s.tsv",
       std::string(kFimoHeader) +
           "MA1\tAP1\thuman\t5\t11\t+\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "MA1\tAP1\thuman\t5\t11\t+\t9.5\n"
           "MA1\tAP1\thuman\tfive\t11\t+\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "MA1\tAP1\thuman\t5\t11\t+\t9.5\tsmall\t0.01\tTGACTCA\n"
           "MA1\tAP1\trat\t5\t11\t+\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "MA1\tAP1\thuman\t8\t14\t+\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "MA1\tAP1\thuman\t5\t11\t*\t9.5\t1e-5\t0.01\tTGACTCA\n"
           "MA1\tAP1\thuman\t5\t11\t+\t9.5\t1e-5\t0.01\tTGAC\n"
           "MA1\tAP1\thuman\t11\t5\t+\t9.5\t1e-5\t0.01\t\n",
       {},
       "AP1 direct human@5:TGACTCA+;",
       {"s.tsv:3: expected 10 columns, found 7",
        "s.tsv:4: start is not a whole number",
        "s.tsv:5: p-value is not a number", "s.tsv:6: unknown sequence \"rat\"",
        "s.tsv:7: positions 8 to 14 lie outside the 12 residues of \"human\"",
        "s.tsv:8: strand is not +, - or .",
        "s.tsv:9: the matched letters are 4 for a hit of 7 positions",
        "s.tsv:10: the hit ends before it starts"}},
      {"BED, 0-based half-open, with track line and extra columns",
       "s.bed",
       "track name=tfbs\n"
       "human\t4\t11\tAP1\t900\t+\t4\t11\n"
       "human\t0\t5\tSP1\t.\t-\n"
       "mouse 3 4 AP1 1 .\n",
       {},
       "AP1 length human@5:7+ mouse@4:1.;SP1 length human@1:5-;",
       {}},
      {"BED problems",
       "s.bed",
       "human\t4\t11\tAP1\t900\n"
       "human\tx\t11\tAP1\t900\t+\n"
       "human\t4\t11\tAP1\thigh\t+\n"
       "human\t4\t20\tAP1\t900\t+\n"
       "human\t4\t4\tAP1\t900\t+\n",
       {},
       "",
       {"s.bed:1: expected at least 6 columns, found 5",
        "s.bed:2: chromStart is not a whole number",
        "s.bed:3: score is not a number",
        "s.bed:4: positions 5 to 20 lie outside the 12 residues of \"human\"",
        "s.bed:5: the hit ends before it starts"}},
      {"GFF3: Name, else ID, else type; escapes decoded; ##FASTA ends it",
       "s.gff3",
       "##gff-version 3\n"
       "human\tfimo\tTFBS\t5\t11\t9\t+\t.\tID=x1;Name=AP%2D1\n"
       "human\tfimo\tTFBS\t1\t3\t.\t?\t.\tID=sp\n"
       "mouse\tfimo\tTATA\t1\t3\t.\t-\t.\t.\n"
       "human\tfimo\tTFBS\t1\t3\t.\t+\t.\n"
       "human\tfimo\tTFBS\t1\t3\tx\t+\t.\tName=A\n"
       "##FASTA\n>human\nACGT\n",
       {},
       "AP-1 length human@5:7+;sp length human@1:3.;TATA length mouse@1:3-;",
       {"s.gff3:5: expected 9 columns, found 8",
        "s.gff3:6: score is not a number"}},
      {"origins map genome coordinates, on either strand",
       "s.bed",
       "chr7\t1004\t1011\tAP1\t0\t+\n"
       "chr2\t9990\t9993\tAP1\t0\t+\n"
       "chr2\t5\t8\tAP1\t0\t+\n",
       WithOrigins(
           {{"human", "chr7", 1001, false}, {"mouse", "chr2", 10000, true}}),
       "AP1 length human@5:7+ mouse@8:3-;",
       {"s.bed:3: positions 9993 to 9995 lie outside the 13 residues of "
        "\"mouse\""}},
      {"filters; hits without the value are kept and counted once",
       "s.bed",
       "human\t0\t3\tA\t5\t+\nhuman\t0\t3\tB\t1\t+\nhuman\t0\t3\tC\t.\t+\n"
       "human\t0\t3\tD\t.\t+\n",
       WithFilters(0.01, std::nullopt, 2),
       "A length human@1:3+;C length human@1:3+;D length human@1:3+;",
       {"s.bed: hits kept without a p-value to filter on: 4",
        "s.bed: hits kept without a score to filter on: 2"}},
      {"unknown format",
       "s.dat",
       "hello\n",
       {},
       "",
       {"s.dat: not a FIMO, BED or GFF3 site file"}},
  };
  const TSeqSet alignment = SmallAlignment();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TaTFSet factors;
    TSiteDetails details;
    RecordingSink sink;
    ImportSiteText(row.content, row.path, alignment, row.options, factors,
                   details, sink);
    EXPECT_EQ(Dump(factors, details), row.factors);
    EXPECT_EQ(sink.texts, row.messages);
    EXPECT_EQ(details.size(), factors.size());
  }
}

TEST(SiteImportTest, LaterFilesJoinImportedFactorsOnly) {
  const TSeqSet alignment = SmallAlignment();
  TaTFSet factors(1);
  factors[0].Name = "AP1";  // from a TF file: never joined
  TSiteDetails details;
  RecordingSink sink;
  const std::string fimo =
      std::string(kFimoHeader) + "M\tAP1\thuman\t5\t11\t+\t1\t1\t1\tTGACTCA\n";
  ImportSiteText(fimo, "a.tsv", alignment, {}, factors, details, sink);
  ImportSiteText("mouse\t0\t2\tAP1\t0\t+\n", "b.bed", alignment, {}, factors,
                 details, sink);
  EXPECT_TRUE(sink.texts.empty());
  EXPECT_EQ(Dump(factors, details),
            "AP1(colour!) length;AP1 length human@5:7+ mouse@1:2+;");
}

TEST(SiteImportTest, OriginsAndFormatsAreRecognised) {
  const auto origin = ParseSiteOrigin("mouse=chr2:10000:-");
  ASSERT_TRUE(origin);
  EXPECT_EQ(origin->chrom, "chr2");
  EXPECT_EQ(origin->start, 10000);
  EXPECT_TRUE(origin->minus);
  for (const char* bad :
       {"mouse", "mouse=chr2", "=chr2:1", "m=chr2:0", "m=chr2:x", "m=:5"}) {
    EXPECT_FALSE(ParseSiteOrigin(bad)) << bad;
  }
  EXPECT_EQ(DetectSiteFormat("#motif_id\tmotif_alt_id\n", "x.bed"),
            SiteFormat::kFimo);
  EXPECT_EQ(DetectSiteFormat("\n##gff-version 3\n", "x.bed"),
            SiteFormat::kGff3);
  EXPECT_EQ(DetectSiteFormat("browser position chr7\n", "x"), SiteFormat::kBed);
  EXPECT_EQ(DetectSiteFormat("h\t1\t2\tA\t0\t+\n", "x.gff"), SiteFormat::kGff3);
  EXPECT_EQ(DetectSiteFormat("h 1 2 A 0 +\n", "x"), SiteFormat::kBed);
  EXPECT_EQ(DetectSiteFormat("h\ts\tt\t1\t2\t.\t+\t.\tID=a\n", "x"),
            SiteFormat::kGff3);
  EXPECT_EQ(ReverseComplement("ACGTNacgu"), "acgtNACGT");
}

}  // namespace
}  // namespace tessarin
