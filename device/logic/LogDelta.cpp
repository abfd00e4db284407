#include "device/logic/LogDelta.h"

namespace tvx {

void LogDelta::Add(std::string_view line, std::string_view heading)
{
    ++events_;
    // The trim: index kTrimLimit lies among the run's own lines once they are
    // that many, else among the lines that were there before the run.
    if (top_.size() > kTrimLimit)
        top_.pop_front();
    else
        deletions_.push_back(static_cast<uint16_t>(kTrimLimit - top_.size()));
    if (!heading.empty())
        PushTop(heading);
    PushTop(line);
}

void LogDelta::PushTop(std::string_view line)
{
    top_.emplace_back(line);
    // A line pushed from index kTrimLimit to one past it is never trimmed:
    // each later event deletes the line above it and adds at least one on top.
    if (top_.size() > kTrimLimit + 1) {
        settled_.push_back(std::move(top_.front()));
        top_.pop_front();
    }
}

}  // namespace tvx
