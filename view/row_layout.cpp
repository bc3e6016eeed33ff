#include "view/row_layout.h"

namespace tessarin {

std::string RowPrefix(std::string_view seq_name) {
  std::string prefix;
  prefix.reserve(RowPrefixLength(seq_name));
  prefix += seq_name;
  prefix += kRowPrefixEnd;
  return prefix;
}

}  // namespace tessarin
