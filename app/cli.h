// The batch front end: reading in, annotation and highlighting without a
// window, for pipelines and tests.
#ifndef TESSARIN_APP_CLI_H_
#define TESSARIN_APP_CLI_H_

#include <ostream>

#include "view/figure_renderer.h"

namespace tessarin {

// Exit statuses.
inline constexpr int kExitClean = 0;     // nothing was reported
inline constexpr int kExitReported = 1;  // a message was reported
inline constexpr int kExitUsage = 2;     // the command line was wrong
inline constexpr int kExitWrite = 3;     // an output could not be written

// Runs `tessarin-cli` with the given arguments (argv[0] is the program).
// The document goes to --out or to `out`; --inspect results follow it on
// `out` when it went to --out, else they go to `err`; messages go to `err`,
// one line each, after "tessarin: ". PDF, SVG
// and PNG figures are painted by `renderer` (none: they are refused).
int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err, FigureRenderer* renderer = nullptr);

}  // namespace tessarin

#endif  // TESSARIN_APP_CLI_H_
