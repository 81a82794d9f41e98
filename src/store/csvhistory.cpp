#include "store/csvhistory.h"

#include "store/drawrecord.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <algorithm>
#include <array>
#include <optional>

namespace loto6 {

namespace {

enum class Split { End, Record, LoneCr };

// Splits one CSV record; quoted fields may hold commas, doubled quotes and line breaks. A CR
// outside quotes must start a CR LF: files with CR-only line ends are refused, not misread,
// unless `skipLoneCr`.
Split splitRecord(std::string_view text, std::size_t &pos, std::vector<std::string> &cells,
    int &line, bool skipLoneCr = false)
{
    cells.clear();
    if (pos >= text.size())
        return Split::End;
    std::string cell;
    bool quoted = false;
    while (pos < text.size()) {
        const char ch = text[pos++];
        if (quoted) {
            if (ch == '"' && pos < text.size() && text[pos] == '"') {
                cell += '"';
                ++pos;
            } else if (ch == '"') {
                quoted = false;
            } else {
                line += ch == '\n';
                cell += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            cells.push_back(std::move(cell));
            cell.clear();
        } else if (ch == '\n') {
            break;
        } else if (ch == '\r') {
            if (!skipLoneCr && (pos >= text.size() || text[pos] != '\n'))
                return Split::LoneCr;
        } else {
            cell += ch;
        }
    }
    cells.push_back(std::move(cell));
    return Split::Record;
}

enum Column { ColDrawNo, ColDate, ColMain1, ColBonus = ColMain1 + MainNumberCount, ColumnCount };

int columnOf(const std::string &header)
{
    static const std::array<std::pair<const char *, int>, 9> fixed = {{
        {"回数", ColDrawNo},
        {"開催回", ColDrawNo},
        {"回号", ColDrawNo},
        {"回", ColDrawNo},
        {"No", ColDrawNo},
        {"抽選日", ColDate},
        {"抽せん日", ColDate},
        {"日付", ColDate},
        {"ボーナス数字", ColBonus},
    }};
    for (const auto &[name, col] : fixed)
        if (header == name)
            return col;
    for (const char *bonus : {"ボーナス", "BONUS数字", "数字B", "ボ数字"})
        if (header == bonus)
            return ColBonus;
    for (int i = 1; i <= MainNumberCount; ++i) {
        const std::string d = std::to_string(i);
        if (header == "第" + d + "数字" || header == "数字" + d || header == "本数字" + d)
            return ColMain1 + i - 1;
    }
    return -1;
}

std::string columnName(int col)
{
    if (col == ColDrawNo)
        return "回数";
    if (col == ColDate)
        return "抽選日";
    return fieldName(col - ColMain1);
}

// The columns a header line names: index[Column] is the cell index, or -1.
struct Header
{
    std::array<int, ColumnCount> index{};
    std::vector<std::string> names;
};

// The fault placed at a cell: its line, its column and the column's heading.
Status at(int line, int cell, const Header &header, Fault f)
{
    const auto i = static_cast<std::size_t>(cell);
    f.line = line;
    f.column = cell + 1;
    f.heading = i < header.names.size() ? header.names[i] : std::string();
    return Status::failure(std::move(f));
}

Status readHeader(const std::vector<std::string> &cells, Header &header)
{
    header.index.fill(-1);
    header.names.clear();
    for (std::size_t i = 0; i < cells.size(); ++i)
        header.names.push_back(trim(cells[i]));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int col = columnOf(trim(foldWidth(cells[i])));
        if (col < 0)
            continue;
        int &slot = header.index[static_cast<std::size_t>(col)];
        if (slot >= 0)
            return at(1, static_cast<int>(i), header,
                Fault{
                    .kind = FaultKind::SecondColumn, .field = columnName(col), .limit = slot + 1});
        slot = static_cast<int>(i);
    }
    for (int c : {int(ColDrawNo), int(ColMain1), ColMain1 + 1, ColMain1 + 2, ColMain1 + 3,
             ColMain1 + 4, ColMain1 + 5, int(ColBonus)})
        if (header.index[static_cast<std::size_t>(c)] < 0)
            return Status::failure(
                Fault{.kind = FaultKind::MissingColumn, .line = 1, .field = columnName(c)});
    return Status::success();
}

// The state of one file's reading: the text, where the reader is, what the header said.
struct CsvReading
{
    std::string_view text;
    std::size_t pos = 0;
    int line = 1;
    Header header;
    std::vector<std::string> cells;

    Split next() { return splitRecord(text, pos, cells, line); }
    std::string cell(int col) const
    {
        const auto i = static_cast<std::size_t>(header.index[static_cast<std::size_t>(col)]);
        return trim(foldWidth(cells[i]));
    }
    Status at(int recordLine, int col, Fault f) const
    {
        return loto6::at(recordLine, header.index[static_cast<std::size_t>(col)], header, f);
    }
};

Status readDrawNumber(const CsvReading &r, int recordLine, DrawRecord &draw)
{
    const std::string text = r.cell(ColDrawNo);
    const std::optional<long long> no = parseWholeNumber(text);
    if (!no)
        return r.at(
            recordLine, ColDrawNo, Fault{.kind = FaultKind::DrawNumberNotWhole, .value = text});
    if (*no < 1)
        return r.at(
            recordLine, ColDrawNo, Fault{.kind = FaultKind::DrawNumberBelowOne, .value = text});
    if (*no > MaxDrawNumber)
        return r.at(recordLine, ColDrawNo,
            Fault{.kind = FaultKind::DrawNumberTooLarge, .value = text, .limit = MaxDrawNumber});
    draw.drawNo = static_cast<int>(*no);
    return Status::success();
}

Status readNumbers(const CsvReading &r, int recordLine, DrawRecord &draw)
{
    if (r.header.index[ColDate] >= 0) {
        const std::string dateText = r.cell(ColDate);
        const std::optional<std::string> iso = parseDrawDate(dateText);
        if (!dateText.empty() && !iso)
            return r.at(
                recordLine, ColDate, Fault{.kind = FaultKind::DateNotCalendar, .value = dateText});
        draw.date = iso.value_or(std::string());
    }
    std::array<std::string, DrawRecord::FieldCount> texts;
    for (int c = ColMain1; c <= ColBonus; ++c)
        texts[static_cast<std::size_t>(c - ColMain1)] = r.cell(c);
    int field = 0;
    if (Status s = readDrawFields(texts, DrawForm::HistoryCsv, draw.drawNo, draw.fields, &field);
        !s)
        return r.at(recordLine, ColMain1 + field, s.fault());
    return Status::success();
}

// Reads the row the reader stands on: nothing for a blank line, else one checked draw.
Status readRow(const CsvReading &r, int recordLine, std::optional<DrawRecord> &row)
{
    row.reset();
    if (std::all_of(
            r.cells.begin(), r.cells.end(), [](const std::string &c) { return trim(c).empty(); }))
        return Status::success();
    const std::size_t expected = r.header.names.size();
    if (r.cells.size() != expected)
        return Status::failure(Fault{
            .kind = r.cells.size() < expected ? FaultKind::RowCutShort : FaultKind::RowTooLong,
            .line = recordLine,
            .value = std::to_string(r.cells.size()),
            .limit = static_cast<long long>(expected)});
    DrawRecord draw;
    if (Status s = readDrawNumber(r, recordLine, draw); !s)
        return s;
    if (Status s = readNumbers(r, recordLine, draw); !s)
        return s;
    row = std::move(draw);
    return Status::success();
}

} // namespace

Status loneCarriageReturn(int line)
{
    return Status::failure(Fault{.kind = FaultKind::LoneCarriageReturn, .line = line});
}

namespace {

// Each 回数 once: the later of two rows with the same number is named.
Status checkUniqueDrawNumbers(
    std::vector<std::pair<int, int>> numberAndLine, int cell, const Header &header)
{
    std::sort(numberAndLine.begin(), numberAndLine.end());
    const auto twice = std::adjacent_find(numberAndLine.begin(), numberAndLine.end(),
        [](const auto &a, const auto &b) { return a.first == b.first; });
    if (twice == numberAndLine.end())
        return Status::success();
    const auto later = std::next(twice);
    return at(later->second, cell, header,
        Fault{.kind = FaultKind::DrawNumberTwice,
            .value = std::to_string(later->first),
            .limit = twice->second});
}

Status readRows(CsvReading &r, const CsvDrawSink &sink)
{
    std::vector<std::pair<int, int>> numberAndLine;
    std::optional<DrawRecord> row;
    for (;;) {
        const int recordLine = ++r.line;
        const Split split = r.next();
        if (split == Split::End)
            break;
        if (split == Split::LoneCr)
            return loneCarriageReturn(r.line);
        if (Status s = readRow(r, recordLine, row); !s)
            return s;
        if (!row)
            continue;
        numberAndLine.emplace_back(row->drawNo, recordLine);
        if (Status s = sink(*row, recordLine, r.cells); !s)
            return s;
    }
    return checkUniqueDrawNumbers(std::move(numberAndLine), r.header.index[ColDrawNo], r.header);
}

} // namespace

bool nextCsvRecord(
    std::string_view text, std::size_t &pos, std::vector<std::string> &cells, int &line)
{
    return splitRecord(text, pos, cells, line, true) != Split::End;
}

Status readCsvRows(std::string_view text, std::size_t bodyStart, int headerLine,
    const std::vector<std::string> &headerCells, const CsvDrawSink &sink)
{
    CsvReading r;
    r.text = text;
    r.pos = bodyStart;
    r.line = headerLine;
    if (Status s = readHeader(headerCells, r.header); !s)
        return s;
    return readRows(r, sink);
}

void exportCsv(std::ostream &out, const std::vector<DrawRecord> &draws)
{
    out << CanonicalCsvHeader << '\n';
    for (const DrawRecord &r : draws) {
        out << r.drawNo << ',' << r.date;
        for (const auto &f : r.fields) {
            out << ',';
            if (f)
                out << *f;
        }
        out << '\n';
    }
}

} // namespace loto6
