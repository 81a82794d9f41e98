#include "grid/sheetwriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace loto6 {

bool parseSheetFormat(std::string_view name, SheetFormat &format)
{
    if (name == "text")
        format = SheetFormat::Text;
    else if (name == "csv")
        format = SheetFormat::Csv;
    else if (name == "json")
        format = SheetFormat::Json;
    else if (name == "html")
        format = SheetFormat::Html;
    else
        return false;
    return true;
}

std::string colorHex(Rgb color)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(color & 0xffffff));
    return buf;
}

std::string jsonString(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12g", value);
    return buf;
}

void writeSheetJsonObject(std::ostream &out, const Sheet &sheet)
{
    out << "{\"name\": " << jsonString(sheet.name())
        << ", \"caption\": " << jsonString(sheet.caption()) << ", \"columns\": " << sheet.columns()
        << ", \"rows\": " << sheet.rows();
    // A table too large for a sheet holds only its first rows or columns.
    if (sheet.wasCut())
        out << ", \"cut\": true";
    out << ", \"cells\": [";
    bool first = true;
    for (int r = 1; r <= sheet.rows(); ++r) {
        for (int c = 1; c <= sheet.columns(); ++c) {
            const Cell &cell = sheet.cell(c, r);
            if (cell.text.empty() && !cell.fgSet && !cell.bgSet)
                continue;
            out << (first ? "\n  " : ",\n  ");
            first = false;
            out << "{\"col\": " << c << ", \"row\": " << r;
            if (!cell.text.empty())
                out << ", \"text\": " << jsonString(cell.text);
            if (cell.fgSet)
                out << ", \"fg\": \"" << colorHex(cell.fg) << '"';
            if (cell.bgSet)
                out << ", \"bg\": \"" << colorHex(cell.bg) << '"';
            out << '}';
        }
    }
    out << (first ? "]}" : "\n]}");
}

void writeSheetJson(std::ostream &out, const Sheet &sheet)
{
    writeSheetJsonObject(out, sheet);
    out << '\n';
}

static std::size_t utf8Next(std::string_view s, std::size_t i, char32_t &cp)
{
    const auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    if (i + static_cast<std::size_t>(len) > s.size())
        len = 1;
    cp = len == 1 ? b : (b & (0xff >> (len + 1)));
    for (int k = 1; k < len; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3f);
    return i + static_cast<std::size_t>(len);
}

int displayWidth(std::string_view utf8)
{
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) { // plain ASCII: one column
            ++width;
            ++i;
            continue;
        }
        char32_t cp;
        i = utf8Next(utf8, i, cp);
        const bool wide = (cp >= 0x1100 && cp <= 0x115f) || (cp >= 0x2e80 && cp <= 0xa4cf)
            || (cp >= 0xac00 && cp <= 0xd7a3) || (cp >= 0xf900 && cp <= 0xfaff)
            || (cp >= 0xfe30 && cp <= 0xfe4f) || (cp >= 0xff00 && cp <= 0xff60)
            || (cp >= 0xffe0 && cp <= 0xffe6) || (cp >= 0x25a0 && cp <= 0x25ff) || cp >= 0x20000;
        width += wide ? 2 : 1;
    }
    return width;
}

namespace {

// The widths of the plain text: of each column (from 1) its widest text, and of each cell (row by
// row) its text's, kept to be used again; Unkept stands for that width or more.
struct TextWidths
{
    static constexpr std::uint8_t Unkept = 0xff;
    std::vector<int> columns;
    std::vector<std::uint8_t> cells;
};

// With overflow allowed, the last text of a line runs on and does not widen its column.
TextWidths textWidths(const Sheet &sheet)
{
    const auto columns = static_cast<std::size_t>(sheet.columns());
    TextWidths widths{std::vector<int>(columns + 1, 0),
        std::vector<std::uint8_t>(columns * static_cast<std::size_t>(sheet.rows()))};
    std::vector<int> line(columns + 1, 0);
    std::uint8_t *cell = widths.cells.data();
    for (int r = 1; r <= sheet.rows(); ++r) {
        std::size_t last = 0;
        for (std::size_t c = 1; c <= columns; ++c) {
            const std::string_view t = sheet.text(static_cast<int>(c), r);
            line[c] = displayWidth(t);
            *cell++ = static_cast<std::uint8_t>(std::min<int>(line[c], TextWidths::Unkept));
            if (!t.empty())
                last = c;
        }
        for (std::size_t c = 1; c <= columns; ++c)
            if (c != last || !sheet.allowOverflow())
                widths.columns[c] = std::max(widths.columns[c], line[c]);
    }
    return widths;
}

// Plain-text lines gathered in a buffer of spaces and written a block at a time: the gaps
// between texts are skipped over rather than written, and a long table is not many short
// writes.
class TextLines
{
public:
    explicit TextLines(std::ostream &out)
        : m_out(out)
    {
    }
    ~TextLines() { flush(); }
    TextLines(const TextLines &) = delete;
    TextLines &operator=(const TextLines &) = delete;

    // Room for a line of at most `bytes` bytes and its line end.
    void reserveLine(std::size_t bytes)
    {
        if (m_used + bytes + 1 > m_buffer.size()) {
            flush();
            if (bytes + 1 > m_buffer.size())
                m_buffer.assign(bytes + 1, ' ');
        }
    }
    void text(std::size_t spacesBefore, std::string_view t)
    {
        m_used += spacesBefore;
        std::memcpy(m_buffer.data() + m_used, t.data(), t.size());
        m_used += t.size();
    }
    // Ends the line begun at `start` without its trailing spaces.
    void endLine(std::size_t start)
    {
        while (m_used > start && m_buffer[m_used - 1] == ' ')
            --m_used;
        m_buffer[m_used++] = '\n';
    }
    std::size_t used() const { return m_used; }

private:
    void flush()
    {
        m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_used));
        std::fill_n(m_buffer.begin(), m_used, ' ');
        m_used = 0;
    }

    std::ostream &m_out;
    std::string m_buffer = std::string(std::size_t{1} << 16, ' ');
    std::size_t m_used = 0;
};

} // namespace

void writeSheetText(std::ostream &out, const Sheet &sheet)
{
    const TextWidths measured = textWidths(sheet);
    const std::vector<int> &widths = measured.columns;
    const std::uint8_t *cell = measured.cells.data();
    const auto columns = static_cast<std::size_t>(sheet.columns());
    std::size_t widthsTotal = columns;
    for (const int w : widths)
        widthsTotal += static_cast<std::size_t>(w);
    std::vector<std::string_view> line(columns + 1);
    TextLines lines(out);
    for (int r = 1; r <= sheet.rows(); ++r) {
        // A cell takes its text and at most its column's width in padding.
        std::size_t bytes = widthsTotal;
        for (std::size_t c = 1; c <= columns; ++c) {
            line[c] = sheet.text(static_cast<int>(c), r);
            bytes += line[c].size();
        }
        lines.reserveLine(bytes);
        const std::size_t start = lines.used();
        std::size_t spaces = 0;
        for (std::size_t c = 1; c <= columns; ++c, ++cell) {
            spaces += c > 1 ? 1 : 0;
            if (!line[c].empty()) {
                lines.text(spaces, line[c]);
                spaces = 0;
            }
            const int width = *cell < TextWidths::Unkept ? *cell : displayWidth(line[c]);
            spaces += static_cast<std::size_t>(std::max(widths[c] - width, 0));
        }
        lines.endLine(start);
    }
}

std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    out += '"';
    return out;
}

void writeSheetCsv(std::ostream &out, const Sheet &sheet)
{
    for (int r = 1; r <= sheet.rows(); ++r) {
        for (int c = 1; c <= sheet.columns(); ++c) {
            if (c > 1)
                out << ',';
            out << csvField(sheet.text(c, r));
        }
        out << '\n';
    }
}

std::string htmlEscape(std::string_view text)
{
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

void writeSheetBlockHtml(std::ostream &out, const Sheet &sheet, SheetBlock block)
{
    out << "<table>\n";
    static const char *sideNames[] = {"left", "top", "right", "bottom"};
    for (int r = std::max(block.firstRow, 1); r <= std::min(block.lastRow, sheet.rows()); ++r) {
        out << "<tr style=\"height:" << sheet.rowHeight(r) * 4 / 3 << "px\">";
        for (int c = std::max(block.firstColumn, 1);
             c <= std::min(block.lastColumn, sheet.columns()); ++c) {
            const Cell &cell = sheet.cell(c, r);
            out << "<td style=\"";
            if (r == std::max(block.firstRow, 1))
                out << "min-width:" << sheet.colWidth(c) * 7 << "px;";
            out << "text-align:"
                << (cell.hAlign == HAlign::Left           ? "left"
                           : cell.hAlign == HAlign::Right ? "right"
                                                          : "center")
                << ";vertical-align:"
                << (cell.vAlign == VAlign::Top             ? "top"
                           : cell.vAlign == VAlign::Bottom ? "bottom"
                                                           : "middle")
                << ";color:" << colorHex(cell.fg);
            if (cell.bgSet)
                out << ";background:" << colorHex(cell.bg);
            for (int side = 0; side < 4; ++side)
                if (cell.borderStyle[static_cast<std::size_t>(side)] != BorderStyle::None)
                    out << ";border-" << sideNames[side] << ":1px solid "
                        << colorHex(cell.borderColor[static_cast<std::size_t>(side)]);
            out << "\">" << htmlEscape(cell.text) << "</td>";
        }
        out << "</tr>\n";
    }
    out << "</table>\n";
}

void writeSheetBlockTsv(std::ostream &out, const Sheet &sheet, SheetBlock block)
{
    for (int r = std::max(block.firstRow, 1); r <= std::min(block.lastRow, sheet.rows()); ++r) {
        const int first = std::max(block.firstColumn, 1);
        for (int c = first; c <= std::min(block.lastColumn, sheet.columns()); ++c)
            out << (c > first ? "\t" : "") << sheet.text(c, r);
        out << '\n';
    }
}

static void writeHtmlTable(std::ostream &out, const Sheet &sheet)
{
    writeSheetBlockHtml(out, sheet, {1, 1, sheet.columns(), sheet.rows()});
}

void writeSheetsHtml(std::ostream &out, std::string_view title, std::span<const Sheet> sheets)
{
    out << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        << htmlEscape(title) << "</title>\n<style>\n"
        << "table{border-collapse:separate;border-spacing:0;font-family:'MS PGothic',"
           "'Noto Sans CJK JP',sans-serif;font-size:9pt}\n"
        << "td{padding:0 2px;white-space:pre;overflow:hidden}\n</style>\n</head>\n<body>\n<h1>"
        << htmlEscape(title) << "</h1>\n";
    for (const Sheet &sheet : sheets) {
        if (sheets.size() > 1)
            out << "<h2>" << htmlEscape(sheet.caption()) << "</h2>\n";
        writeHtmlTable(out, sheet);
    }
    out << "</body>\n</html>\n";
}

void writeSheetHtml(std::ostream &out, const Sheet &sheet)
{
    writeSheetsHtml(out, sheet.caption(), std::span<const Sheet>(&sheet, 1));
}

void writeSheetsCsv(std::ostream &out, std::span<const Sheet> sheets)
{
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0)
            out << '\n';
        out << csvField(sheets[i].caption()) << '\n';
        writeSheetCsv(out, sheets[i]);
    }
}

void writeSheet(std::ostream &out, const Sheet &sheet, SheetFormat format)
{
    switch (format) {
    case SheetFormat::Text:
        writeSheetText(out, sheet);
        break;
    case SheetFormat::Csv:
        writeSheetCsv(out, sheet);
        break;
    case SheetFormat::Json:
        writeSheetJson(out, sheet);
        break;
    case SheetFormat::Html:
        writeSheetHtml(out, sheet);
        break;
    }
}

} // namespace loto6
