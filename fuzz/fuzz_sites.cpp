// The site importers on any bytes, named by each extension in turn, against
// a small alignment with an origin on each strand: every factor comes out
// coloured, with parallel site columns and one detail per site, every site
// inside its row, and a second file merged into the first keeps all that.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sources/site_import.h"
#include "text/message_sink.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_sites: %s\n", what);
  std::abort();
}

tessarin::TSeqSet Alignment() {
  tessarin::TSeqSet set;
  for (const char* row : {"human", "mouse chr2"}) {
    tessarin::TSeq& seq = set.Seqs.emplace_back();
    seq.SeqName = row;
    seq.RawSeq = seq.Seq = "AAC-GTGACTCAT";
  }
  return set;
}

void Check(const tessarin::TaTFSet& factors,
           const tessarin::TSiteDetails& details) {
  if (details.size() != factors.size()) Fail("details not parallel");
  for (std::size_t i = 0; i < factors.size(); ++i) {
    const tessarin::TTFSet& f = factors[i];
    const std::size_t sites = f.SeqNames.size();
    if (f.Color != tessarin::FactorColor(i)) Fail("colour");
    if (f.Positions.size() != sites || f.Labels.size() != sites ||
        details[i].size() != sites) {
      Fail("site columns of different lengths");
    }
    const bool direct = f.MatchType == tessarin::kMatchDirect;
    if ((direct ? f.Sites.size() : f.Lengths.size()) != sites ||
        (!direct && f.MatchType != tessarin::kMatchLength)) {
      Fail("match type or fourth column");
    }
    for (std::size_t j = 0; j < sites; ++j) {
      const std::size_t length = direct ? f.Sites[j].size() : f.Lengths[j];
      if (f.Positions[j] < 1 || length < 1 || f.Positions[j] + length > 13) {
        Fail("site outside its row");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  static const tessarin::TSeqSet alignment = Alignment();
  tessarin::SiteImportOptions options;
  options.origins = {{"human", "chr1", 100, false},
                     {"mouse", "chr2", 50, true}};
  options.max_p = 0.5;
  tessarin::TaTFSet factors;
  tessarin::TSiteDetails details;
  tessarin::NullSink sink;
  for (const char* path : {"s.tsv", "s.bed", "s.gff3", "s"}) {
    tessarin::ImportSiteText(content, path, alignment, options, factors,
                             details, sink);
    Check(factors, details);
  }
  return 0;
}
