// tessarin-cli: the batch front end.
#include <iostream>

#include <CLI/CLI.hpp>

#include "alignment/seq_set.h"

int main(int argc, char** argv) {
  CLI::App app{"Tessarin batch front end"};
  std::string fas, cons, tf, format;
  bool listing = false;
  app.add_option("--fas", fas, "aligned FASTA file")->required();
  app.add_option("--cons", cons, "conservation file");
  app.add_option("--tf", tf, "TF file");
  app.add_option("--format", format, "output format");
  app.add_flag("--listing", listing, "write the plain listing");
  CLI11_PARSE(app, argc, argv);

  tessarin::TSeqSet set;
  set.ReadFasta(fas);
  for (const tessarin::TSeq& seq : set.Seqs) {
    std::cout << seq.SeqName << "> \t" << seq.Seq << "\n";
  }
  return 0;
}
