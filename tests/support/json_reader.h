// The strict reader for the JSON documents the writer produces, shared by
// the writer's tests and the checks over whole pipelines.
#ifndef TESSARIN_TESTS_SUPPORT_JSON_READER_H_
#define TESSARIN_TESTS_SUPPORT_JSON_READER_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/arrays.h"

namespace tessarin::harness {

// What the JSON document must carry.
struct JsonExpectation {
  std::vector<std::string> lines;
  ADWord line_index;
  std::vector<std::string> messages;
  std::string status;
  std::vector<std::string> inspect;
};

// The bytes a JSON text of the writer stands for, each code point one byte;
// nothing when a code point lies above U+00FF.
std::optional<std::string> JsonBytes(const std::string& utf8);

// `json` must parse; hold exactly the keys lines, lineIndex, runs, messages,
// status and inspect in that order; give back every byte of every text
// (each code point one byte, none above U+00FF); and hold runs that lie
// inside their lines, in order, without overlap, with 32-bit colours or null
// and style bits of at most 15.
std::string JsonProblem(std::string_view json, const JsonExpectation& expected);

}  // namespace tessarin::harness

#endif  // TESSARIN_TESTS_SUPPORT_JSON_READER_H_
