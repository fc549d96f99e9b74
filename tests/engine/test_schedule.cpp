#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/csv.h"
#include "engine/schedule.h"

namespace {

using engine::csv::RecordProblem;

const engine::Designer nsr98 = [](const engine::DesignInput& input) {
    return engine::runDesign(input, engine::DesignCode::Nsr98);
};

struct ReadRecord {
    std::vector<std::string> fields;
    std::size_t line;
    RecordProblem problem;
    bool operator==(const ReadRecord&) const = default;
};

void PrintTo(const ReadRecord& r, std::ostream* os) {
    *os << "line " << r.line << " problem " << static_cast<int>(r.problem) << ":";
    for (const auto& f : r.fields) *os << " [" << f << "]";
}

// Every record of `text`, handed to the reader `chunk` bytes at a time.
std::vector<ReadRecord> readAll(std::string_view text, char delimiter = ',',
                                std::size_t chunk = 1 << 16) {
    engine::csv::Reader reader(
        [text, chunk](char* buffer, std::size_t capacity) mutable {
            const std::size_t count =
                std::min({capacity, text.size(), std::max<std::size_t>(chunk, 1)});
            std::copy_n(text.data(), count, buffer);
            text.remove_prefix(count);
            return count;
        },
        delimiter, 16);
    std::vector<ReadRecord> records;
    engine::csv::Record record;
    while (reader.next(record))
        records.push_back(
            {{record.fields.begin(), record.fields.end()}, record.line, record.problem});
    return records;
}

struct CsvCase {
    const char* name;
    std::string_view text;
    std::vector<ReadRecord> expected;
};

TEST(CsvReader, ReadsWhatRfc4180Writes) {
    const auto ok = RecordProblem::None;
    const CsvCase cases[] = {
        {"empty", "", {}},
        {"no final line break", "a,b", {{{"a", "b"}, 1, ok}}},
        {"LF, CRLF and a lone CR end records",
         "a\nb\r\nc\rd",
         {{{"a"}, 1, ok}, {{"b"}, 2, ok}, {{"c"}, 3, ok}, {{"d"}, 4, ok}}},
        {"empty fields", ",a,\n", {{{"", "a", ""}, 1, ok}}},
        {"quoted delimiter, doubled quote, line break",
         "\"a,b\",\"say \"\"hi\"\"\",\"x\r\ny\"\nnext",
         {{{"a,b", "say \"hi\"", "x\r\ny"}, 1, ok}, {{"next"}, 3, ok}}},
        {"byte order mark", "\xEF\xBB\xBFid,b\n", {{{"id", "b"}, 1, ok}}},
        {"quote inside an unquoted field is literal", "5\"x,y\n", {{{"5\"x", "y"}, 1, ok}}},
        {"text after a closing quote",
         "\"ab\"c,d\n",
         {{{"abc", "d"}, 1, RecordProblem::StrayQuote}}},
        {"quote never closed", "a,\"b\nc", {{{"a", "b\nc"}, 1, RecordProblem::UnclosedQuote}}},
        {"blank line", "a\n\nb\n", {{{"a"}, 1, ok}, {{""}, 2, ok}, {{"b"}, 3, ok}}},
    };
    for (const CsvCase& c : cases) {
        // The same records whatever the size of the pieces the input arrives in.
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 16})
            EXPECT_EQ(readAll(c.text, ',', chunk), c.expected) << c.name << ", chunk " << chunk;
    }
    EXPECT_EQ(readAll("a;b,c\n", ';'), (std::vector<ReadRecord>{{{"a", "b,c"}, 1, ok}}));
}

TEST(CsvReader, OverlongRecordIsCutAndFlagged) {
    const std::string text = std::string(engine::csv::maxRecordBytes + 10, 'x') + "\nnext\n";
    const auto records = readAll(text);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].problem, RecordProblem::TooLong);
    EXPECT_EQ(records[0].fields[0].size(), engine::csv::maxRecordBytes);
    EXPECT_EQ(records[1].fields, std::vector<std::string>{"next"});
}

// An input that never ends a record (/dev/zero) is given up after the unended-record limit:
// one record flagged too long, then the end.
TEST(CsvReader, EndlessRecordEndsTheReading) {
    std::size_t given = 0;
    engine::csv::Reader reader([&given](char* buffer, std::size_t capacity) {
        std::fill_n(buffer, capacity, '\0');
        given += capacity;
        return capacity;
    });
    engine::csv::Record record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_EQ(record.problem, RecordProblem::TooLong);
    EXPECT_TRUE(reader.gaveUp());
    EXPECT_FALSE(reader.next(record));
    EXPECT_LE(given, engine::csv::maxUnendedRecordBytes + (1 << 17));
}

// A batch on such an input stops with the long-row message, as header or as row.
TEST(Schedule, EndlessRowStopsTheBatch) {
    for (const std::string_view head :
         {"", "id,b,h,cover,fc,fy,mu,cover2\nV1,30,50,5,210,4200,23,5\n"}) {
        std::string_view rest = head;
        engine::csv::Reader reader([&rest](char* buffer, std::size_t capacity) {
            const std::size_t count = std::min(capacity, rest.size());
            std::copy_n(rest.data(), count, buffer);
            std::fill_n(buffer + count, capacity - count, 'x');
            rest.remove_prefix(count);
            return capacity;
        });
        std::string results;
        const auto outcome = engine::runSchedule(
            reader, {}, nsr98, [&results](std::string_view text) { results += text; },
            [](std::string_view) {});
        const auto* message = std::get_if<std::string>(&outcome);
        ASSERT_TRUE(message);
        EXPECT_EQ(*message, std::string(head.empty() ? "línea 1" : "línea 3") +
                                ": la fila es demasiado larga");
        EXPECT_EQ(results.empty(), head.empty());  // the rows before it are written
    }
}

// JSON lines stay valid UTF-8 whatever bytes an id holds: bytes that are not UTF-8 become
// U+FFFD, characters that are stay as they are.
TEST(Schedule, JsonIdsAreAlwaysUtf8) {
    const engine::ResultStyle json{.format = engine::ResultFormat::JsonLines};
    const struct {
        std::string_view id;
        std::string_view written;
    } cases[] = {
        {"V\xD1"
         "1",
         "V\xEF\xBF\xBD"
         "1"},                                                                     // Latin-1 Ñ
        {"V\xC3\x91", "V\xC3\x91"},                                                // UTF-8 Ñ
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // cut short
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong "/"
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // a surrogate
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                                  // U+1F600
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // past U+10FFFF
    };
    for (const auto& c : cases) {
        std::string out;
        engine::appendResultRow(out, json, c.id, nullptr, "x");
        const std::string expected = "{\"id\":\"" + std::string(c.written) + "\",";
        EXPECT_TRUE(out.starts_with(expected)) << out;
    }
}

// Whatever a field holds, writing it and reading it back gives it again.
TEST(CsvReader, WrittenFieldsReadBackUnchanged) {
    std::mt19937 random(14);
    const std::string alphabet = "ab ,;\"\r\n\t1";
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string> fields(1 + random() % 4);
        for (auto& field : fields) {
            for (unsigned n = random() % 6; n > 0; --n)
                field += alphabet[random() % alphabet.size()];
        }
        if (fields.size() == 1 && fields[0].empty()) continue;  // reads as a blank line
        for (const char delimiter : {',', ';'}) {
            std::string line;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (i > 0) line += delimiter;
                engine::csv::appendField(line, fields[i], delimiter);
            }
            const auto records = readAll(line + "\r\n", delimiter, 5);
            ASSERT_EQ(records.size(), 1u) << line;
            EXPECT_EQ(records[0].fields, fields) << line;
            EXPECT_EQ(records[0].problem, RecordProblem::None) << line;
        }
    }
}

TEST(ScheduleNumbers, ShortestTextReadsBackToTheSameDouble) {
    std::mt19937_64 random(14);
    std::uniform_real_distribution<double> exponent(-12, 12);
    for (int i = 0; i < 2000; ++i) {
        const double value = (i % 2 ? -1 : 1) * std::pow(10.0, exponent(random));
        for (const char separator : {'.', ','}) {
            std::string text;
            engine::appendShortestNumber(text, value, separator);
            ASSERT_EQ(text.find(separator == '.' ? ',' : '.'), std::string::npos) << text;
            ASSERT_EQ(text.find('e'), std::string::npos) << text;
            std::replace(text.begin(), text.end(), ',', '.');
            double back = 0;
            std::from_chars(text.data(), text.data() + text.size(), back);
            EXPECT_EQ(back, value) << text;
        }
    }
    std::string text;
    engine::appendShortestNumber(text, 0.1 + 0.2, '.');
    EXPECT_EQ(text, "0.30000000000000004");
}

engine::csv::Record header(std::vector<std::string_view> names) {
    return {std::move(names), 1, RecordProblem::None};
}

TEST(ScheduleHeader, ColumnsByNameInAnyOrderAndCase) {
    const auto layout = engine::readScheduleHeader(
        header({"note", " Cover2", "MU", "fy", "fc", "cover", "h", "b", "id", "extra"}));
    ASSERT_TRUE(std::holds_alternative<engine::ScheduleLayout>(layout));
    const auto& l = std::get<engine::ScheduleLayout>(layout);
    EXPECT_EQ(l.position, (std::array<std::size_t, 8>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(l.width, 9u);

    const auto missing = engine::readScheduleHeader(header({"id", "b", "h", "cover", "fy", "mu"}));
    ASSERT_TRUE(std::holds_alternative<std::string>(missing));
    EXPECT_NE(std::get<std::string>(missing).find("«fc», «cover2»"), std::string::npos);
    const auto repeated = engine::readScheduleHeader(
        header({"id", "b", "h", "B", "cover", "fc", "fy", "mu", "cover2"}));
    EXPECT_NE(std::get<std::string>(repeated).find("«b» aparece dos veces"), std::string::npos);
}

TEST(Schedule, BadRowsAreReportedByLineAndTheBatchGoesOn) {
    const std::string_view text =
        "id;b;h;cover;fc;fy;mu;cover2\n"
        "V1;30;50;5;210;4200;23;5\n"
        "\"V\n2\";30;5;5;210;4200;23;5\n"  // a name over two lines; the cover fails
        ";;;;;;;\n"                        // empty: skipped
        "V3;30;50;5;2l0;4200;23;5\n"
        "V4;30;50\n"
        "V5;30,5;50;5;210;4200;23;5\n";
    engine::csv::Reader reader(engine::csv::memorySource(text), ';');
    std::string results;
    std::string diagnostics;
    const auto outcome = engine::runSchedule(
        reader, {engine::ResultFormat::Csv, ';', ','}, nsr98,
        [&](std::string_view t) { results += t; }, [&](std::string_view t) { diagnostics += t; });
    ASSERT_TRUE(std::holds_alternative<engine::BatchCounts>(outcome));
    EXPECT_EQ(std::get<engine::BatchCounts>(outcome).designed, 2u);
    EXPECT_EQ(std::get<engine::BatchCounts>(outcome).failed, 3u);
    EXPECT_EQ(diagnostics, std::string("línea 3: ") +
                               std::string(engine::designErrorMessage(engine::DesignError::Cover)) +
                               "\nlínea 6: el valor de «fc» no es un número: «2l0»\n"
                               "línea 7: faltan valores: la fila tiene 3 campos y hacen falta 8\n");

    const auto rows = readAll(results, ';');
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].fields[1], "simple");
    EXPECT_EQ(rows[1].fields[10], "");
    EXPECT_EQ(rows[2].fields[0], "V\n2");
    EXPECT_EQ(rows[3].fields[10], engine::notANumberMessage);
    // The decimal comma reads 30,5 as the width and writes the figures back with it.
    const auto expected = std::get<engine::nsr98::DesignResult>(engine::nsr98::design(
        {.b = 30.5, .h = 50, .dPrime = 5, .fc = 210, .fy = 4200, .mu = 23, .dSecond = 5}));
    std::string as;
    engine::appendShortestNumber(as, expected.as, ',');
    EXPECT_EQ(rows[5].fields[8], as);
}

TEST(Schedule, MissingHeaderOrColumnStopsBeforeAnyResult) {
    for (const std::string_view text : {std::string_view(""), std::string_view("\n\n"),
                                        std::string_view("id;b;h;cover;fc;fy;mu;cover2\n1;2\n")}) {
        engine::csv::Reader reader(engine::csv::memorySource(text), ',');
        std::string results;
        const auto outcome = engine::runSchedule(
            reader, {}, nsr98, [&](std::string_view t) { results += t; }, [](std::string_view) {});
        EXPECT_TRUE(std::holds_alternative<std::string>(outcome)) << text;
        EXPECT_EQ(results, "");
    }
}

}  // namespace
