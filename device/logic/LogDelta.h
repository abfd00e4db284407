// What a run of device events does to the event log, held in bounded memory
// until the log can take it. Pure: no Qt.
//
// Each device event deletes the line at index kTrimLimit when the log holds
// more lines than that, then puts its heading (if any) and its line on top.
// Where an event's lines go from there depends only on the events after it,
// never on the lines beneath, so a run of events reduces, as it comes, to:
//  - the deletions it makes among the lines already in the log: one per event
//    until the run's own lines reach index kTrimLimit, so at most
//    kTrimLimit + 1;
//  - its lines still standing: the top kTrimLimit + 1, and those a two-line
//    event pushed past index kTrimLimit, which no later event can reach.
// Applying the delta to a log gives exactly the log that applying each event
// in turn gives. Not thread-safe: the owner locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tvx {

class LogDelta {
public:
    // A device event deletes the line at this index when the log holds more.
    static constexpr std::size_t kTrimLimit = 1000;

    // One device event: its line, and for a two-line event the heading that
    // stands just below it.
    void Add(std::string_view line, std::string_view heading = {});

    bool Empty() const { return events_ == 0; }
    uint64_t Events() const { return events_; }
    // Lines and deletions held: what the delta costs in memory.
    std::size_t HeldLines() const { return settled_.size() + top_.size(); }
    std::size_t HeldDeletions() const { return deletions_.size(); }

    // Indices to delete from the log as it was before the run, in order, each
    // in the log the earlier ones left and only if the log then holds more
    // lines than the index.
    const std::vector<uint16_t> &Deletions() const { return deletions_; }

    // Calls insert(line) for each line the run leaves, lowest first; inserting
    // each at the top of the log (after the deletions) puts them in place.
    template <class Insert> void ForEachLineUpwards(Insert &&insert) const
    {
        for (const std::string &line : settled_)
            insert(line);
        for (const std::string &line : top_)
            insert(line);
    }

private:
    void PushTop(std::string_view line);

    uint64_t events_ = 0;
    std::vector<uint16_t> deletions_;
    std::vector<std::string> settled_;  // below index kTrimLimit for good, lowest first
    std::deque<std::string> top_;       // indices 0 to kTrimLimit, lowest first
};

}  // namespace tvx
