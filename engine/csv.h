#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 writes them: fields separated by a delimiter, records
// ended by LF, CR LF or a lone CR, fields in double quotes may hold delimiters, line breaks and
// doubled quotes (""). Read as a stream: memory stays bounded whatever the input's size.
namespace engine::csv {

// Fills the buffer with up to `capacity` bytes and returns how many it wrote; 0 ends the input.
using Source = std::function<std::size_t(char* buffer, std::size_t capacity)>;

enum class RecordProblem {
    None,
    StrayQuote,     // text after the closing quote of a field, kept as written
    UnclosedQuote,  // the input ended inside a quoted field
    TooLong,        // more than maxRecordBytes of text or maxFields fields; the excess is dropped
};

inline constexpr std::size_t maxRecordBytes = std::size_t{1} << 20;
inline constexpr std::size_t maxFields = 4096;
// A record still unended after this many bytes of input (an endless stream with no line break,
// such as /dev/zero) ends the reading: the reader returns it flagged TooLong and then stops.
inline constexpr std::size_t maxUnendedRecordBytes = 16 * maxRecordBytes;

struct Record {
    std::vector<std::string_view> fields;  // valid until the reader's next call
    std::size_t line = 0;                  // line of the input on which the record starts, from 1
    RecordProblem problem = RecordProblem::None;
};

// The delimiter must not be a double quote, CR or LF.
class Reader {
  public:
    explicit Reader(Source source, char delimiter = ',', std::size_t bufferSize = 1 << 16);

    // The next record, or false at the end of the input. A UTF-8 byte order mark at the very
    // start is skipped. An unquoted field takes a quote character literally.
    bool next(Record& record);

    // True when the reading stopped inside a record longer than maxUnendedRecordBytes: the rest
    // of the input was not read.
    bool gaveUp() const { return gaveUp_; }

  private:
    bool fill();
    void endField(Record& record);

    Source source_;
    char delimiter_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool finished_ = false;
    bool started_ = false;
    bool gaveUp_ = false;
    std::size_t recordBytes_ = 0;  // input bytes taken by the current record so far
    bool skipLineFeed_ =
        false;  // the previous record ended on a CR: a LF right after belongs to it
    std::size_t line_ = 1;
    std::string text_;               // the current record's field texts, back to back
    std::vector<std::size_t> ends_;  // where each field of the current record ends in text_
    std::size_t fieldStart_ = 0;
};

// A reader over text already in memory.
Source memorySource(std::string_view text);

// Appends one field, in double quotes (inner quotes doubled) when it holds the delimiter, a
// quote, a CR or a LF.
void appendField(std::string& out, std::string_view field, char delimiter);

}  // namespace engine::csv
