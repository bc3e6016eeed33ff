// The floor for "read the alignment and write it back": reads an aligned
// FASTA file and writes its rows as an RTF document with no formatting, as
// fast as plain C++ allows. Benchmarks compare the real pipeline with it.
//
//   tessarin-floor FASTA OUT.rtf
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ReadFile(const char* path, std::string& content) {
  std::FILE* in = std::fopen(path, "rb");
  if (in == nullptr) return false;
  std::fseek(in, 0, SEEK_END);
  const long size = std::ftell(in);
  std::fseek(in, 0, SEEK_SET);
  content.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  const std::size_t got = std::fread(content.data(), 1, content.size(), in);
  content.resize(got);
  std::fclose(in);
  return true;
}

void WriteEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '\\' || c == '{' || c == '}') out += '\\';
    out += c;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tessarin-floor FASTA OUT.rtf\n");
    return 2;
  }
  std::string content;
  if (!ReadFile(argv[1], content)) {
    std::perror(argv[1]);
    return 1;
  }
  std::string out;
  out.reserve(content.size() + content.size() / 8 + 256);
  out +=
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs22\n";
  std::string_view text(content);
  bool in_sequence = false;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    begin = end + 1;
    if (line.empty()) continue;
    if (line.front() == '>') {
      if (in_sequence) out += "\\par\n";
      WriteEscaped(out, line.substr(1));
      out += "> \\tab ";
      in_sequence = true;
      continue;
    }
    WriteEscaped(out, line);
  }
  if (in_sequence) out += "\\par\n";
  out += "}\n";
  std::FILE* file = std::fopen(argv[2], "wb");
  if (file == nullptr ||
      std::fwrite(out.data(), 1, out.size(), file) != out.size() ||
      std::fclose(file) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
