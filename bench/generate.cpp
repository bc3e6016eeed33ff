// Writes a deterministic (seeded) alignment, TF file and conservation file of
// a given size, for benchmarks and stress tests.
//
//   tessarin-generate --out DIR [--seqs N] [--columns L] [--factors F]
//     [--sites K] [--scores S] [--windows W] [--width X] [--step Y]
//     [--pass FRACTION] [--seed SEED] [--fimo HITS] [--line-width N]
//
// The alignment has ~10 % gaps in runs and mixed case; sites use all three
// match types and their labels collide; one score is "ML" with some "N/A";
// about FRACTION of the windows lie below every cut-off. With --fimo, also
// bench.tsv: HITS FIMO hits of four motifs on both strands, each matching
// its row, with p-values and q-values. The FASTA's lines hold N columns
// (default 60, as aligners write them; 0: each sequence on one line).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Params {
  std::string out = ".";
  std::uint64_t seqs = 10, columns = 1000, factors = 4, sites = 100;
  std::uint64_t scores = 3, windows = 0, width = 20, step = 10;
  double pass = 0.2;
  std::uint64_t seed = 1;
  std::uint64_t fimo = 0;
  std::uint64_t line_width = 60;
};

using Random = std::mt19937_64;

std::string SeqName(std::uint64_t i) { return "seq" + std::to_string(i); }

std::vector<std::string> MakeAlignment(const Params& p, Random& random) {
  static const char kBases[] = "ACGT";
  std::vector<std::string> rows(p.seqs);
  std::uniform_int_distribution<int> base(0, 3);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (std::string& row : rows) {
    row.resize(p.columns);
    std::uint64_t c = 0;
    while (c < p.columns) {
      if (unit(random) < 0.02) {  // a gap run of 1 to 9 columns: ~10 %
        const std::uint64_t run = 1 + random() % 9;
        for (std::uint64_t k = 0; k < run && c < p.columns; ++k) row[c++] = '-';
        continue;
      }
      const bool lower = unit(random) < 0.3;
      const char b = kBases[base(random)];
      row[c++] = lower ? static_cast<char>(b - 'A' + 'a') : b;
    }
  }
  return rows;
}

std::string Gapless(const std::string& row) {
  std::string g;
  for (char c : row) {
    if (c != '-') g += static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
  }
  return g;
}

void WriteFasta(const Params& p, const std::vector<std::string>& rows) {
  std::ofstream out(std::filesystem::path(p.out) / "bench.fas");
  for (std::uint64_t i = 0; i < rows.size(); ++i) {
    out << '>' << SeqName(i) << '\n';
    const std::uint64_t width = p.line_width == 0
                                    ? std::max<std::uint64_t>(rows[i].size(), 1)
                                    : p.line_width;
    for (std::uint64_t c = 0; c < rows[i].size(); c += width) {
      out << rows[i].substr(c, width) << '\n';
    }
  }
}

void WriteTf(const Params& p, const std::vector<std::string>& rows,
             Random& random) {
  std::ofstream out(std::filesystem::path(p.out) / "bench.tf");
  std::vector<std::string> gapless;
  for (const std::string& row : rows) gapless.push_back(Gapless(row));
  static const char* kTypes[] = {"direct", "case-sensitive", "length"};
  for (std::uint64_t f = 0; f < p.factors; ++f) {
    const int type = static_cast<int>(f % 3);
    out << "[TF]\nName = F" << f << "\nMatchType = " << kTypes[type]
        << "\n[[TABLE]]\n#sequence position label site\n";
    const std::uint64_t count =
        p.sites / p.factors + (f < p.sites % p.factors ? 1 : 0);
    for (std::uint64_t k = 0; k < count; ++k) {
      const std::uint64_t i = random() % rows.size();
      const std::string& g = gapless[i];
      const std::uint64_t length = 6 + random() % 6;
      if (g.size() < length + 4) continue;
      const std::uint64_t pos = 1 + random() % (g.size() - length - 2);
      std::string site = g.substr(pos - 1, length);
      if (random() % 8 == 0) site[random() % length] = 'N';  // a mismatch
      out << SeqName(i) << ' ' << pos << " F" << f << "_" << (k % 100) << ' ';
      if (type == 0) {
        out << site;
      } else if (type == 1) {
        std::string flanked = site;
        flanked[0] = static_cast<char>(flanked[0] - 'A' + 'a');
        flanked[length - 1] =
            static_cast<char>(flanked[length - 1] - 'A' + 'a');
        out << flanked;
      } else {
        out << length;
      }
      out << '\n';
    }
    out << "*\n";
  }
}

void WriteConservation(const Params& p, Random& random) {
  std::ofstream out(std::filesystem::path(p.out) / "bench.cons");
  out << "[SCORES]\nScoreNames = ML";
  for (std::uint64_t s = 1; s < p.scores; ++s) out << ", S" << s;
  out << "\nNSummaryStats = 2\n[[STATS]]\n# stat\nMean";
  for (std::uint64_t s = 0; s < p.scores; ++s) out << " 0.5";
  out << "\nThresh";
  for (std::uint64_t s = 0; s < p.scores; ++s) out << " 0.3";
  out << "\n[[TABLE]]\n# start end scores\n";
  std::uniform_real_distribution<double> low(0.0, 0.29), high(0.31, 1.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uint64_t windows = p.windows;
  if (windows == 0)
    windows = p.columns > p.width ? (p.columns - p.width) / p.step + 1 : 1;
  for (std::uint64_t w = 0; w < windows; ++w) {
    const std::uint64_t start =
        1 + (w * p.step) % std::max<std::uint64_t>(1, p.columns);
    const std::uint64_t end = std::min(p.columns, start + p.width - 1);
    out << start << ' ' << end;
    const bool passes = unit(random) < p.pass;
    for (std::uint64_t s = 0; s < p.scores; ++s) {
      if (s == 0 && random() % 50 == 0) {
        out << " N/A";
        continue;
      }
      const double v = passes || s > 0 ? low(random) : high(random);
      out << ' ' << static_cast<int>(v * 1000) / 1000.0;
    }
    out << '\n';
  }
  out << "*\n";
}

std::string ReverseComplement(const std::string& letters) {
  std::string reversed(letters.rbegin(), letters.rend());
  for (char& c : reversed) {
    c = c == 'A' ? 'T' : c == 'T' ? 'A' : c == 'C' ? 'G' : c == 'G' ? 'C' : c;
  }
  return reversed;
}

void WriteFimo(const Params& p, const std::vector<std::string>& rows,
               Random& random) {
  std::ofstream out(std::filesystem::path(p.out) / "bench.tsv");
  out << "motif_id\tmotif_alt_id\tsequence_name\tstart\tstop\tstrand\t"
         "score\tp-value\tq-value\tmatched_sequence\n";
  std::vector<std::string> gapless;
  for (const std::string& row : rows) gapless.push_back(Gapless(row));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (std::uint64_t k = 0; k < p.fimo; ++k) {
    const std::uint64_t i = random() % rows.size();
    const std::string& g = gapless[i];
    const std::uint64_t length = 8 + random() % 8;
    if (g.size() < length + 2) continue;
    const std::uint64_t pos = 1 + random() % (g.size() - length);
    const bool minus = random() % 2 == 0;
    const std::string site = g.substr(pos - 1, length);
    const std::uint64_t motif = random() % 4;
    out << "MA000" << motif << ".1\tTF" << motif << '\t' << SeqName(i) << '\t'
        << pos << '\t' << pos + length - 1 << '\t' << (minus ? '-' : '+')
        << '\t' << static_cast<int>(unit(random) * 2000) / 100.0 << '\t'
        << unit(random) * 1e-4 << '\t' << unit(random) << '\t'
        << (minus ? ReverseComplement(site) : site) << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Writes a seeded benchmark alignment, TF and conservation file"};
  Params p;
  app.add_option("--out", p.out, "folder for bench.fas, bench.tf, bench.cons");
  app.add_option("--seqs", p.seqs);
  app.add_option("--columns", p.columns);
  app.add_option("--factors", p.factors);
  app.add_option("--sites", p.sites);
  app.add_option("--scores", p.scores);
  app.add_option("--windows", p.windows, "0: as many as width and step give");
  app.add_option("--width", p.width);
  app.add_option("--step", p.step);
  app.add_option("--pass", p.pass, "fraction of windows below the cut-offs");
  app.add_option("--seed", p.seed);
  app.add_option("--fimo", p.fimo, "FIMO hits to write to bench.tsv (0: none)");
  app.add_option("--line-width", p.line_width,
                 "columns per FASTA line (0: one line per sequence)");
  CLI11_PARSE(app, argc, argv);
  if (p.seqs == 0 || p.columns == 0 || p.factors == 0 || p.scores == 0 ||
      p.step == 0 || p.width == 0) {
    std::cerr << "tessarin-generate: sizes must be positive\n";
    return 2;
  }
  std::filesystem::create_directories(p.out);
  Random random(p.seed);
  const std::vector<std::string> rows = MakeAlignment(p, random);
  WriteFasta(p, rows);
  WriteTf(p, rows, random);
  WriteConservation(p, random);
  if (p.fimo > 0) WriteFimo(p, rows, random);
  return 0;
}
