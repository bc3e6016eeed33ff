// Writing the lines of a large view on two threads, with the bytes of one.
#ifndef TESSARIN_VIEW_PARALLEL_LINES_H_
#define TESSARIN_VIEW_PARALLEL_LINES_H_

#include <cstddef>
#include <functional>
#include <string_view>

#include "view/output_buffer.h"
#include "view/rich_view.h"

namespace tessarin {

// Writes one line of the view; it must only read the view and what it shares
// with the other thread.
using LineWriter = std::function<void(std::size_t line, DocumentOut& out)>;

// Writes every line of `view` with `write_line`, in order, to `out`: the same
// bytes as calling it for each line in turn. The lines are cut into chunks of
// about 256 KB of text; two threads each make every other chunk in a buffer
// of their own and take turns to hand their chunks to `out`, so that one
// makes its chunk while the other's goes out. Stops early once `out` fails.
// A view of one chunk, or a machine that has no thread to spare, is written
// on the calling thread alone. An exception of either thread ends the
// writing and is rethrown here.
//
// `hand_on`, when given, hands each chunk's bytes to `out` in place of a
// plain append (for a document whose first element differs from the
// others); it is called for every chunk, in order, one call at a time.
using ChunkHandOn =
    std::function<void(std::string_view chunk, DocumentOut& out)>;
void WriteLinesInParallel(const RichView& view, const LineWriter& write_line,
                          DocumentOut& out,
                          const ChunkHandOn& hand_on = nullptr);

}  // namespace tessarin

#endif  // TESSARIN_VIEW_PARALLEL_LINES_H_
