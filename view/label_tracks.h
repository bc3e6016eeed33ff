// The annotation tracks of one sequence row, and the search for the first
// track with room for a label.
#ifndef TESSARIN_VIEW_LABEL_TRACKS_H_
#define TESSARIN_VIEW_LABEL_TRACKS_H_

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "view/held_columns.h"

namespace tessarin {

// The character that fills an empty annotation track.
inline constexpr char kTrackFill = '.';

// Columns from `start` to `end` of a track that hold no label character and
// are bounded by held columns (or the track's first column); a run that goes
// on to the end of the track ends at kOpenEnd, since columns beyond a track's
// end count as free.
struct FreeRun {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
};

// Memory for the nodes of many small sets that grow and shrink together:
// a node given back is handed out again, and all of it is freed at once.
class NodePool {
 public:
  void* Get(std::size_t size);
  void Put(void* node, std::size_t size);

 private:
  struct FreeNode {
    FreeNode* next;
  };
  std::size_t request_size_ = 0;  // the first request's; others use new
  std::size_t node_size_ = 0;     // that, aligned
  FreeNode* free_ = nullptr;
  std::vector<std::unique_ptr<std::byte[]>> chunks_;
  std::size_t used_in_chunk_ = 0;
  std::size_t chunk_size_ = 0;
};

template <class T>
struct PoolAllocator {
  using value_type = T;
  explicit PoolAllocator(NodePool* pool) : pool(pool) {}
  template <class U>
  PoolAllocator(const PoolAllocator<U>& other) : pool(other.pool) {}
  T* allocate(std::size_t n) {
    return static_cast<T*>(n == 1 ? pool->Get(sizeof(T))
                                  : ::operator new(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) {
    if (n == 1) {
      pool->Put(p, sizeof(T));
    } else {
      ::operator delete(p);
    }
  }
  friend bool operator==(const PoolAllocator& a, const PoolAllocator& b) {
    return a.pool == b.pool;
  }
  NodePool* pool;
};

// The tracks of one row and where labels go into them.
//
// A label of m characters at column c goes into the first track (in the
// order the tracks were made) that holds no label character in columns c to
// c + max(m, 1) - 1; a new track is made when none has room. For a label
// that ends before the last column this is the IsRunOf test (where a count
// of 0 tests one character); for a label that reaches the last column or
// beyond, only its columns that exist in a track are tested, and every track
// is at least the row's length long, columns beyond a track's end counting
// as free. So the tracks are exactly those of trying every track
// in turn.
//
// At first the tracks are tried in turn, from the first track free in every
// column of the label (kept per column) on, as the plain search does. Most
// rows never need more. Once the characters read in tracks without room
// outrun kWorkPerLabelChar per label and label character placed (plus
// kWorkAllowed), the row gets an index, so that no pattern of labels makes
// the search quadratic:
//
// The tracks are grouped in blocks of kBlock, the blocks are the leaves of a
// binary tree, and every block and node keeps the maximal free runs of its
// tracks (those not inside a free run of another of its tracks). They form a
// staircase, starts and ends both rising, so whether some track below a node
// has room for columns c to e is one look-up. A label walks down the tree to
// the first block with room and tries that block's tracks. Writing it splits
// one free run of its track; each node on the way up replaces that run by its
// pieces and by the runs it hid, of which only those that cross a written
// column can come out, and those lie side by side in the other child's
// staircase. A placement then costs O(kBlock * m + log(tracks) * log(runs)),
// plus O(log(runs)) for each run that comes out; a run only hides again
// behind the runs of a new track, which hide at most one staircase per level
// (no more entries than the columns in use), so a row costs time roughly
// linear in its sites, label characters and tracks times columns, whatever
// the pattern.
class LabelTracks {
 public:
  static constexpr std::uint64_t kOpenEnd =
      std::numeric_limits<std::uint64_t>::max();
  static constexpr std::size_t kBlock = 16;

  // Tracks are tried in turn, without the index, until the characters read
  // in tracks without room number more than kWorkPerLabelChar per label and
  // label character placed so far, plus kWorkAllowed. (A test may pass 0 and
  // 0 to index from the first track without room on.)
  static constexpr std::uint64_t kWorkPerLabelChar = 16;
  static constexpr std::uint64_t kWorkAllowed = 1 << 16;

  explicit LabelTracks(std::size_t row_length,
                       std::uint64_t work_per_label_char = kWorkPerLabelChar,
                       std::uint64_t work_allowed = kWorkAllowed)
      : row_length_(row_length),
        work_per_label_char_(work_per_label_char),
        work_allowed_(work_allowed),
        pool_(std::make_unique<NodePool>()) {}

  // Drops every track, for the next row; keeps memory for reuse.
  void Reset(std::size_t row_length);

  std::size_t Count() const { return tracks_.size(); }
  const std::string& Track(std::size_t i) const { return tracks_[i].text; }
  // Frees track i's text once it has been copied out; the track then reads
  // as empty until Reset. Placing labels after this is not allowed.
  void Release(std::size_t i) { std::string().swap(tracks_[i].text); }

  // Writes `label` from `column` (1-based) on into the first track with room
  // for it (OverwriteAt), making the first track beforehand when there is
  // none and a new one when no track has room.
  void Place(std::size_t column, std::string_view label);

 private:
  // Writes `label` from `column` on into track `chosen` (just made when
  // `made`) and brings the index of free runs up to date.
  void WriteIndexed(std::size_t chosen, bool made, std::size_t column,
                    std::string_view label);
  struct ByEnd {
    std::uint64_t end;
  };
  // A staircase is ordered by start, and then by end as well, so it can be
  // searched by either.
  struct RunOrder {
    using is_transparent = void;
    bool operator()(const FreeRun& a, const FreeRun& b) const {
      return a.start < b.start;
    }
    bool operator()(const FreeRun& a, std::uint64_t start) const {
      return a.start < start;
    }
    bool operator()(std::uint64_t start, const FreeRun& b) const {
      return start < b.start;
    }
    bool operator()(const FreeRun& a, ByEnd b) const { return a.end < b.end; }
    bool operator()(ByEnd a, const FreeRun& b) const { return a.end < b.end; }
  };
  using Staircase = std::set<FreeRun, RunOrder, PoolAllocator<FreeRun>>;

  struct TrackText {
    std::string text;
    HeldColumns held;  // kept from the index's making on
  };

  static constexpr std::size_t kGaveUp =
      std::numeric_limits<std::size_t>::max();

  // Without the index: the tracks in order from the greatest first-free
  // entry of first to last on, each read from first on; the first track with
  // room (Count() when none has), or kGaveUp when the reading in vain runs
  // over its allowance.
  std::size_t TryInTurn(std::uint64_t first, std::uint64_t last);
  // Without the index: moves the first-free entries of the columns a label
  // of `length` at `first` was written to past the tracks now held there.
  void MoveFirstFree(std::uint64_t first, std::size_t length);
  // Makes the index of the tracks there are, and their held columns.
  void BuildIndex();
  // With the index: the first track with no held column from first to last;
  // Count() when none has.
  std::size_t FindRoom(std::uint64_t first, std::uint64_t last) const;
  // Makes a new track after the others, with the nodes it needs, but leaves
  // its runs out of them: IndexNewTrack puts them in.
  void AddTrack();
  // Puts pieces_, the free runs of the newest track, into its block and the
  // nodes above.
  void IndexNewTrack(std::size_t track);
  // The free run of `track` that holds the free column `column`.
  FreeRun RunAt(std::size_t track, std::uint64_t column) const;
  // Tells the block of `track` and the nodes above it that `removed` (a run
  // of the track) has been replaced by pieces_ (all inside it), because
  // the columns `first_held` to `last_held` of it (the first and last one
  // written) now hold label characters.
  // SplitRun's part in the track's block: the block's staircase loses
  // `removed` and gains the runs it hid, which go into `added`. False when
  // the block holds no such run.
  bool SplitInBlock(std::size_t track, FreeRun removed,
                    std::uint64_t first_held, std::uint64_t last_held,
                    std::vector<FreeRun>& added);
  void SplitRun(std::size_t track, FreeRun removed, std::uint64_t first_held,
                std::uint64_t last_held);

  static Staircase::const_iterator Covering(const Staircase& runs,
                                            std::uint64_t first,
                                            std::uint64_t last);
  static bool AddMaximal(Staircase& runs, FreeRun run);
  // Drops from `added` the runs that `runs` no longer holds.
  static void KeepThoseStillIn(const Staircase& runs,
                               std::vector<FreeRun>& added);

  Staircase NewStaircase() const {
    return Staircase(PoolAllocator<FreeRun>(pool_.get()));
  }

  std::size_t row_length_;
  std::uint64_t work_per_label_char_;
  std::uint64_t work_allowed_;
  std::uint64_t labels_ = 0;        // placed so far
  std::uint64_t label_chars_ = 0;   // their characters
  std::uint64_t work_in_vain_ = 0;  // characters read without the index
  std::unique_ptr<NodePool> pool_;  // of every staircase's nodes
  std::vector<TrackText> tracks_;
  // Before the index: entry p - 1 is a track at or before the first track
  // free at column p (columns beyond the array: track 0). Tracks only ever
  // fill, so an entry only moves down.
  std::vector<std::size_t> first_free_;
  // The index. levels_[0][b]: block b; levels_[h][i]: blocks i * 2^h to
  // (i + 1) * 2^h - 1. The last level is the root alone. Empty until the
  // tracks tried in vain outrun their allowance.
  std::vector<std::vector<Staircase>> levels_;
  // Scratch space of Place, kept to save allocations.
  std::vector<FreeRun> pieces_;
  std::vector<FreeRun> added_;
  std::vector<FreeRun> next_;
};

}  // namespace tessarin

#endif  // TESSARIN_VIEW_LABEL_TRACKS_H_
