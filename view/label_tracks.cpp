#include "view/label_tracks.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <utility>

#include "text/strings.h"

namespace tessarin {

void* NodePool::Get(std::size_t size) {
  if (node_size_ == 0) {
    request_size_ = size;
    constexpr std::size_t kAlign = alignof(std::max_align_t);
    node_size_ =
        (std::max(size, sizeof(FreeNode)) + kAlign - 1) / kAlign * kAlign;
  }
  if (size != request_size_) return ::operator new(size);
  if (free_ != nullptr) {
    FreeNode* node = free_;
    free_ = node->next;
    return node;
  }
  if (chunks_.empty() || used_in_chunk_ + node_size_ > chunk_size_) {
    chunk_size_ = std::max<std::size_t>(4096, 2 * chunk_size_);
    chunk_size_ = std::min<std::size_t>(chunk_size_, std::size_t{1} << 20);
    chunks_.push_back(std::make_unique<std::byte[]>(chunk_size_));
    used_in_chunk_ = 0;
  }
  void* node = chunks_.back().get() + used_in_chunk_;
  used_in_chunk_ += node_size_;
  return node;
}

void NodePool::Put(void* node, std::size_t size) {
  if (size != request_size_) {
    ::operator delete(node);
    return;
  }
  free_ = new (node) FreeNode{free_};
}

void LabelTracks::Reset(std::size_t row_length) {
  row_length_ = row_length;
  labels_ = 0;
  label_chars_ = 0;
  work_in_vain_ = 0;
  tracks_.clear();
  levels_.clear();
  first_free_.clear();
}

void LabelTracks::Place(std::size_t column, std::string_view label) {
  ++labels_;
  label_chars_ += label.size();
  if (tracks_.empty()) AddTrack();
  const std::uint64_t first = column;
  const std::uint64_t last = first + std::max<std::size_t>(label.size(), 1) - 1;
  if (levels_.empty()) {
    const std::size_t chosen = TryInTurn(first, last);
    if (chosen != kGaveUp) {
      if (chosen == tracks_.size()) AddTrack();
      OverwriteAt(tracks_[chosen].text, column, label);
      MoveFirstFree(first, label.size());
      return;
    }
    BuildIndex();
  }
  const std::size_t chosen = FindRoom(first, last);
  const bool made = chosen == tracks_.size();
  if (made) AddTrack();
  WriteIndexed(chosen, made, column, label);
}

void LabelTracks::WriteIndexed(std::size_t chosen, bool made,
                               std::size_t column, std::string_view label) {
  pieces_.clear();
  if (label.empty()) {
    if (made) {
      pieces_.push_back({1, kOpenEnd});
      IndexNewTrack(chosen);
    }
    return;
  }

  TrackText& track = tracks_[chosen];
  // OverwriteAt writes a label that starts beyond the track's end right
  // after it.
  const std::uint64_t at =
      std::min<std::uint64_t>(column, track.text.size() + 1);
  std::uint64_t first_held = 0;
  std::uint64_t last_held = 0;
  FreeRun split;
  for (std::size_t k = 0; k < label.size(); ++k) {
    if (label[k] == kTrackFill) continue;
    const std::uint64_t held = at + k;
    if (first_held == 0) {
      first_held = held;
      split = RunAt(chosen, held);
      if (split.start < held) pieces_.push_back({split.start, held - 1});
    } else if (last_held + 1 < held) {
      pieces_.push_back({last_held + 1, held - 1});
    }
    last_held = held;
  }
  OverwriteAt(track.text, column, label);
  if (first_held == 0) {  // nothing but fill characters
    if (made) {
      pieces_.push_back({1, kOpenEnd});
      IndexNewTrack(chosen);
    }
    return;
  }
  if (split.end == kOpenEnd || last_held < split.end) {
    pieces_.push_back({last_held + 1, split.end});
  }
  for (std::size_t k = 0; k < label.size(); ++k) {
    if (label[k] != kTrackFill) track.held.Add(at + k);
  }
  if (made) {
    IndexNewTrack(chosen);
  } else {
    SplitRun(chosen, split, first_held, last_held);
  }
}

std::size_t LabelTracks::TryInTurn(std::uint64_t first, std::uint64_t last) {
  if (first_free_.size() < last) first_free_.resize(last, 0);
  std::size_t track = 0;
  for (std::uint64_t p = first; p <= last; ++p) {
    track = std::max(track, first_free_[p - 1]);
  }
  const std::uint64_t allowance =
      work_per_label_char_ * (labels_ + label_chars_) + work_allowed_;
  for (; track < tracks_.size(); ++track) {
    const std::string& text = tracks_[track].text;
    const std::uint64_t end = std::min<std::uint64_t>(last, text.size());
    std::uint64_t p = first;
    while (p <= end && text[p - 1] == kTrackFill) ++p;
    if (p > end) return track;
    work_in_vain_ += p - first + 1;
    if (work_in_vain_ > allowance) return kGaveUp;
  }
  return tracks_.size();
}

void LabelTracks::MoveFirstFree(std::uint64_t first, std::size_t length) {
  for (std::uint64_t p = first; p < first + length; ++p) {
    std::size_t& track = first_free_[p - 1];
    while (track < tracks_.size() && p <= tracks_[track].text.size() &&
           tracks_[track].text[p - 1] != kTrackFill) {
      ++track;
    }
  }
}

void LabelTracks::BuildIndex() {
  first_free_.clear();
  first_free_.shrink_to_fit();
  levels_.emplace_back();
  for (std::size_t t = 0; t < tracks_.size(); ++t) {
    if (t % kBlock == 0) levels_[0].push_back(NewStaircase());
    Staircase& runs = levels_[0].back();
    HeldColumns& held = tracks_[t].held;
    const std::string& text = tracks_[t].text;
    for (std::size_t p = 1; p <= text.size(); ++p) {
      if (text[p - 1] != kTrackFill) held.Add(p);
    }
    for (std::uint64_t from = 1;;) {
      const std::uint64_t next = held.NextFrom(from);
      if (next == HeldColumns::kNone) {
        AddMaximal(runs, {from, kOpenEnd});
        break;
      }
      if (next > from) AddMaximal(runs, {from, next - 1});
      from = next + 1;
    }
  }
  while (levels_.back().size() > 1) {
    std::vector<Staircase> above;
    const std::vector<Staircase>& below = levels_.back();
    for (std::size_t i = 0; i < below.size(); i += 2) {
      above.push_back(below[i]);
      if (i + 1 < below.size()) {
        for (const FreeRun& run : below[i + 1]) AddMaximal(above.back(), run);
      }
    }
    levels_.push_back(std::move(above));
  }
}

std::size_t LabelTracks::FindRoom(std::uint64_t first,
                                  std::uint64_t last) const {
  const Staircase& root = levels_.back()[0];
  if (Covering(root, first, last) == root.end()) return tracks_.size();
  std::size_t node = 0;
  for (std::size_t h = levels_.size() - 1; h > 0; --h) {
    const std::vector<Staircase>& below = levels_[h - 1];
    const std::size_t left = 2 * node;
    const bool in_left =
        left < below.size() &&
        Covering(below[left], first, last) != below[left].end();
    node = in_left ? left : left + 1;
  }
  const std::size_t end = std::min(tracks_.size(), (node + 1) * kBlock);
  for (std::size_t t = node * kBlock; t < end; ++t) {
    if (tracks_[t].held.NextFrom(first) > last) return t;
  }
  return tracks_.size();  // not reached: the block has a track with room
}

void LabelTracks::AddTrack() {
  const std::size_t block = tracks_.size() / kBlock;
  tracks_.push_back({RepeatChar(kTrackFill, row_length_), {}});
  if (levels_.empty()) return;  // no index yet
  if (block == levels_[0].size()) {
    for (std::size_t h = 0;; ++h) {
      if ((block >> h) >= levels_[h].size()) {
        levels_[h].push_back(NewStaircase());
      }
      if (h + 1 == levels_.size()) {
        // The old root gets a sibling, so a new root above both, which
        // holds what the old one held.
        if (levels_[h].size() > 1) {
          Staircase root = levels_[h][0];
          levels_.emplace_back();
          levels_.back().push_back(std::move(root));
        }
        break;
      }
    }
  }
}

void LabelTracks::IndexNewTrack(std::size_t track) {
  std::vector<FreeRun>& added = pieces_;
  for (std::size_t h = 0, index = track / kBlock;
       h < levels_.size() && !added.empty(); ++h, index /= 2) {
    Staircase& runs = levels_[h][index];
    std::erase_if(added,
                  [&runs](FreeRun run) { return !AddMaximal(runs, run); });
  }
}

FreeRun LabelTracks::RunAt(std::size_t track, std::uint64_t column) const {
  const HeldColumns& held = tracks_[track].held;
  const std::uint64_t before = held.LastUpTo(column);
  const std::uint64_t after = held.NextFrom(column);
  return {before == HeldColumns::kNone ? 1 : before + 1,
          after == HeldColumns::kNone ? kOpenEnd : after - 1};
}

bool LabelTracks::SplitInBlock(std::size_t track, FreeRun removed,
                               std::uint64_t first_held,
                               std::uint64_t last_held,
                               std::vector<FreeRun>& added) {
  const std::size_t block = track / kBlock;
  added.clear();
  Staircase& runs = levels_[0][block];
  const auto found = runs.find(removed.start);
  if (found == runs.end() || found->end != removed.end) return false;
  runs.erase(found);
  // What the removed run may have hidden: the pieces and the runs of the
  // block's other tracks inside it. Those that miss every written column
  // lie inside a piece.
  std::vector<FreeRun>& candidates = pieces_;
  const std::size_t end = std::min(tracks_.size(), (block + 1) * kBlock);
  for (std::size_t u = block * kBlock; u < end; ++u) {
    if (u == track) continue;
    const HeldColumns& held = tracks_[u].held;
    for (std::uint64_t p = first_held; p <= last_held;) {
      if (held.Holds(p)) {
        ++p;
        continue;
      }
      const FreeRun run = RunAt(u, p);
      if (run.start >= removed.start && run.end <= removed.end) {
        candidates.push_back(run);
      }
      if (run.end >= last_held) break;
      p = run.end + 2;  // the column after the run is held
    }
  }
  for (const FreeRun& run : candidates) {
    if (AddMaximal(runs, run)) added.push_back(run);
  }
  KeepThoseStillIn(runs, added);
  return true;
}

void LabelTracks::SplitRun(std::size_t track, FreeRun removed,
                           std::uint64_t first_held, std::uint64_t last_held) {
  const std::size_t block = track / kBlock;
  std::vector<FreeRun>& added = added_;
  std::vector<FreeRun>& next = next_;
  if (!SplitInBlock(track, removed, first_held, last_held, added)) return;
  for (std::size_t h = 1, child = block; h < levels_.size(); ++h, child /= 2) {
    Staircase& node = levels_[h][child / 2];
    const auto found = node.find(removed.start);
    if (found == node.end() || found->end != removed.end) return;
    const auto after = node.erase(found);
    const std::uint64_t next_start =
        after == node.end() ? kOpenEnd : after->start;
    const std::uint64_t previous_end =
        after == node.begin() ? 0 : std::prev(after)->end;
    next.clear();
    for (const FreeRun& run : added) {
      if (AddMaximal(node, run)) next.push_back(run);
    }
    // The other child's runs that the removed one hid and that now come out:
    // inside it, crossing a written column, and not inside the node's run
    // before it or after it. They lie one after another in the other child's
    // staircase; a stretch of them inside a newly added run is skipped at once.
    const std::size_t other = child ^ 1;
    if (other < levels_[h - 1].size()) {
      const Staircase& sibling = levels_[h - 1][other];
      const auto by_start = sibling.lower_bound(removed.start);
      const auto by_end =
          sibling.upper_bound(ByEnd{std::max(previous_end, first_held - 1)});
      auto run = (by_start == sibling.end() || by_end == sibling.end())
                     ? sibling.end()
                     : (by_start->start < by_end->start ? by_end : by_start);
      const std::uint64_t bound = std::min(next_start, last_held + 1);
      while (run != sibling.end() && run->start < bound &&
             run->end <= removed.end) {
        const auto cover = Covering(node, run->start, run->end);
        if (cover != node.end()) {
          run = sibling.upper_bound(ByEnd{cover->end});
          continue;
        }
        AddMaximal(node, *run);
        next.push_back(*run);
        ++run;
      }
    }
    KeepThoseStillIn(node, next);
    std::swap(added, next);
  }
}

LabelTracks::Staircase::const_iterator LabelTracks::Covering(
    const Staircase& runs, std::uint64_t first, std::uint64_t last) {
  auto it = runs.upper_bound(first);
  if (it == runs.begin()) return runs.end();
  --it;
  return it->end >= last ? it : runs.end();
}

bool LabelTracks::AddMaximal(Staircase& runs, FreeRun run) {
  if (Covering(runs, run.start, run.end) != runs.end()) return false;
  auto it = runs.lower_bound(run.start);
  while (it != runs.end() && it->end <= run.end) it = runs.erase(it);
  runs.insert(it, run);
  return true;
}

void LabelTracks::KeepThoseStillIn(const Staircase& runs,
                                   std::vector<FreeRun>& added) {
  std::erase_if(added, [&runs](const FreeRun& run) {
    const auto found = runs.find(run.start);
    return found == runs.end() || found->end != run.end;
  });
}

}  // namespace tessarin
