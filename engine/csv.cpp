#include "engine/csv.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace engine::csv {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

}  // namespace

Reader::Reader(Source source, char delimiter, std::size_t bufferSize)
    : source_(std::move(source)),
      delimiter_(delimiter),
      buffer_(std::max<std::size_t>(bufferSize, 16)) {}

bool Reader::fill() {
    position_ = 0;
    end_ = 0;
    // The first fill gathers at least three bytes, so that a byte order mark is seen whole.
    const std::size_t wanted = started_ ? 1 : byteOrderMark.size();
    while (!finished_ && end_ < wanted) {
        const std::size_t got = source_(buffer_.data() + end_, buffer_.size() - end_);
        if (got == 0) finished_ = true;
        end_ += std::min(got, buffer_.size() - end_);
    }
    if (!started_) {
        started_ = true;
        if (std::string_view(buffer_.data(), end_).starts_with(byteOrderMark))
            position_ = byteOrderMark.size();
    }
    return position_ < end_ || (!finished_ && fill());
}

void Reader::endField(Record& record) {
    if (ends_.size() < maxFields)
        ends_.push_back(text_.size());
    else
        record.problem = RecordProblem::TooLong;
}

bool Reader::next(Record& record) {
    record.fields.clear();
    record.problem = RecordProblem::None;
    record.line = line_;
    text_.clear();
    ends_.clear();

    const auto append = [&](const char* first, std::size_t count) {
        const std::size_t room = maxRecordBytes - text_.size();
        if (count > room) {
            record.problem = RecordProblem::TooLong;
            count = room;
        }
        text_.append(first, count);
    };
    const auto noteStrayQuote = [&] {
        if (record.problem == RecordProblem::None) record.problem = RecordProblem::StrayQuote;
    };

    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    State state = State::FieldStart;
    bool any = false;
    bool lineEnded = false;
    for (;;) {
        if (position_ == end_ && !fill()) break;
        if (state == State::Unquoted) {
            // The usual case: a run of plain characters copied at once.
            const char* first = buffer_.data() + position_;
            const char* last = buffer_.data() + end_;
            const char* stop = first;
            while (stop != last && *stop != delimiter_ && *stop != '\n' && *stop != '\r') ++stop;
            append(first, static_cast<std::size_t>(stop - first));
            position_ += static_cast<std::size_t>(stop - first);
            if (stop == last) continue;
        }
        const char c = buffer_[position_++];
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (c == '\n') continue;
        }
        any = true;
        if (state == State::Quoted) {
            if (c == '"') {
                state = State::QuoteInQuoted;
            } else {
                if (c == '\n') ++line_;
                append(&c, 1);
            }
            continue;
        }
        if (state == State::QuoteInQuoted && c == '"') {  // a doubled quote stands for one
            append(&c, 1);
            state = State::Quoted;
            continue;
        }
        if (c == delimiter_) {
            endField(record);
            state = State::FieldStart;
        } else if (c == '\n' || c == '\r') {
            ++line_;
            skipLineFeed_ = c == '\r';
            endField(record);
            lineEnded = true;
            break;
        } else if (state == State::FieldStart && c == '"') {
            state = State::Quoted;
        } else {
            if (state == State::QuoteInQuoted) noteStrayQuote();
            append(&c, 1);
            state = State::Unquoted;
        }
    }
    if (!any) return false;
    if (!lineEnded) {  // the input ended inside the record: its last field ends here too
        if (state == State::Quoted) record.problem = RecordProblem::UnclosedQuote;
        endField(record);
    }

    std::size_t start = 0;
    for (const std::size_t end : ends_) {
        record.fields.emplace_back(text_.data() + start, end - start);
        start = end;
    }
    return true;
}

Source memorySource(std::string_view text) {
    return [text](char* buffer, std::size_t capacity) mutable {
        const std::size_t count = std::min(capacity, text.size());
        // An empty view may hold no pointer at all, which memcpy must not be given.
        if (count > 0) std::memcpy(buffer, text.data(), count);
        text.remove_prefix(count);
        return count;
    };
}

void appendField(std::string& out, std::string_view field, char delimiter) {
    const char special[] = {delimiter, '"', '\r', '\n'};
    if (field.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos) {
        out.append(field);
        return;
    }
    out.push_back('"');
    for (const char c : field) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

}  // namespace engine::csv
