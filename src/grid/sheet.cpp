#include "grid/sheet.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <utility>

namespace loto6 {

Sheet::Sheet(std::string name, std::string caption)
    : m_name(std::move(name))
    , m_caption(std::move(caption))
{
}

void Sheet::setSize(int columns, int rows)
{
    m_columnsCut = m_columnsCut || columns > MaxColumns;
    m_rowsCut = m_rowsCut || rows > MaxRows;
    columns = std::clamp(columns, 0, MaxColumns);
    rows = std::clamp(rows, 0, MaxRows);
    if (columns == m_cols && rows == m_rows)
        return;
    // New cells start with the default look, which a sheet of one style may have changed.
    std::uint16_t blank = 0;
    if (m_styles.front() != CellStyle{}) {
        const std::uint16_t pristine = internStyle(CellStyle{});
        blank = pristine == NoStyle ? 0 : pristine;
        m_uniform = m_uniform && (columns <= m_cols && rows <= m_rows);
    }
    Sheet old;
    old.m_cols = m_cols;
    old.m_rows = m_rows;
    old.m_bands = std::move(m_bands);
    old.m_runs = std::move(m_runs);
    old.m_cellPool = std::move(m_cellPool);
    old.m_stylePool = std::move(m_stylePool);
    m_cols = columns;
    m_rows = rows;
    const std::size_t bands = (static_cast<std::size_t>(rows) + BandRows - 1) / BandRows;
    const auto cells = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    m_bands.assign(bands, Band{});
    m_runs.assign(bands * static_cast<std::size_t>(columns), blank);
    m_cellPool = {};
    m_cellPool.reserve(cells);
    m_stylePool = {};
    m_stylePool.reserve(cells);
    copyCells(old, std::min(columns, old.m_cols), std::min(rows, old.m_rows));
    m_rowHeights.resize(static_cast<std::size_t>(rows) + 1, 0.0);
    m_colWidths.resize(static_cast<std::size_t>(columns) + 1, 0.0);
}

// Takes the texts and styles of the first `columns` x `rows` cells of a sheet of the old size,
// whose text stores this sheet still holds.
void Sheet::copyCells(const Sheet &from, int columns, int rows)
{
    for (std::size_t b = 0; b < m_bands.size() && static_cast<int>(b) * BandRows < rows; ++b) {
        const Band &src = from.m_bands[b];
        const int first = static_cast<int>(b) * BandRows + 1;
        const int last = std::min(rows, first + BandRows - 1);
        if (src.cells != NoBlock)
            for (int r = first; r <= last; ++r)
                std::copy_n(
                    &from.m_cellPool[src.cells + from.cellIndex(1, r)], columns, &textSlot(1, r));
        // A band kept whole keeps its runs; any other band holds a style per cell.
        if (src.styles == NoBlock && last - first + 1 == bandRows(b)) {
            for (int c = 1; c <= columns; ++c)
                m_runs[runIndex(b, c)] = from.m_runs[from.runIndex(b, c)];
            continue;
        }
        expandStyles(b);
        for (int c = 1; c <= columns; ++c)
            for (int r = first; r <= last; ++r)
                m_stylePool[m_bands[b].styles + styleSlot(b, c, r)] = from.styleOf(c, r);
    }
}

// Gives every cell of the band its own style entry, starting from its column's run.
void Sheet::expandBand(std::size_t band)
{
    Band &b = m_bands[band];
    const auto height = static_cast<std::size_t>(bandRows(band));
    b.styles = m_stylePool.size();
    for (int c = 1; c <= m_cols; ++c)
        m_stylePool.insert(m_stylePool.end(), height, m_runs[runIndex(band, c)]);
}

Cell Sheet::cell(int col, int row) const
{
    Cell c;
    static_cast<CellStyle &>(c) = style(col, row);
    c.text = textAt(col, row);
    return c;
}

std::size_t Sheet::storageBytes() const
{
    std::size_t bytes = m_bands.capacity() * sizeof(Band)
        + (m_runs.capacity() + m_stylePool.capacity()) * sizeof(std::uint16_t)
        + m_cellPool.capacity() * sizeof(Slot) + m_styles.capacity() * sizeof(CellStyle)
        + (m_rowHeights.capacity() + m_colWidths.capacity()) * sizeof(double);
    for (const std::string &t : m_textChunks)
        bytes += sizeof t + t.capacity();
    for (const std::string &t : m_longTexts)
        bytes += sizeof t + t.capacity();
    return bytes;
}

std::string_view Sheet::textAt(int col, int row) const
{
    const std::size_t block = m_bands[bandOf(row)].cells;
    if (block == NoBlock)
        return {};
    const Slot &s = m_cellPool[block + cellIndex(col, row)];
    if (s.size <= s.text.size())
        return {s.text.data(), s.size};
    std::uint32_t at = 0;
    std::memcpy(&at, s.text.data(), sizeof at);
    if (s.size == LongText)
        return m_longTexts[at];
    return std::string_view(m_textChunks[at / TextChunk]).substr(at % TextChunk, s.size);
}

// Where the text now lies in the text store, or NoRoom when the store is full. A text never
// runs from one chunk into the next; a full chunk is never moved.
std::uint32_t Sheet::appendText(std::string_view text)
{
    if (m_textChunks.empty() || m_textChunks.back().size() + text.size() > TextChunk) {
        if (m_textChunks.size() >= MaxTextChunks)
            return NoRoom;
        m_textChunks.emplace_back();
        // The first chunk grows as a small sheet needs it; later ones are taken whole.
        if (m_textChunks.size() > 1)
            m_textChunks.back().reserve(TextChunk);
    }
    std::string &chunk = m_textChunks.back();
    const auto at
        = static_cast<std::uint32_t>((m_textChunks.size() - 1) * TextChunk + chunk.size());
    chunk.append(text);
    return at;
}

void Sheet::storeText(Slot &s, std::string_view text)
{
    if (text.size() <= s.text.size()) {
        // Byte by byte: a library call would cost more than the copy.
        std::array<char, 5> bytes{};
        switch (text.size()) {
        case 5:
            bytes[4] = text[4];
            [[fallthrough]];
        case 4:
            bytes[3] = text[3];
            [[fallthrough]];
        case 3:
            bytes[2] = text[2];
            [[fallthrough]];
        case 2:
            bytes[1] = text[1];
            [[fallthrough]];
        case 1:
            bytes[0] = text[0];
            break;
        default:
            break;
        }
        s.text = bytes;
        s.size = static_cast<std::uint8_t>(text.size());
        return;
    }
    std::uint32_t at = 0;
    // A text rewritten in place of a longer one reuses its bytes; the rest goes at the end.
    if (text.size() < LongText && s.size != LongText && s.size >= text.size()) {
        std::memcpy(&at, s.text.data(), sizeof at);
        m_textChunks[at / TextChunk].replace(at % TextChunk, text.size(), text);
        s.size = static_cast<std::uint8_t>(text.size());
        return;
    }
    if (text.size() < LongText && (at = appendText(text)) != NoRoom) {
        s.size = static_cast<std::uint8_t>(text.size());
    } else {
        at = static_cast<std::uint32_t>(m_longTexts.size());
        m_longTexts.emplace_back(text);
        s.size = LongText;
    }
    s.text = {};
    std::memcpy(s.text.data(), &at, sizeof at);
}

std::uint16_t Sheet::internStyle(const CellStyle &style)
{
    for (std::size_t i = 0; i < m_styles.size(); ++i)
        if (m_styles[i] == style)
            return static_cast<std::uint16_t>(i);
    if (m_styles.size() >= static_cast<std::size_t>(MaxStyles))
        return NoStyle; // no room: the caller keeps the old style
    m_styles.push_back(style);
    return static_cast<std::uint16_t>(m_styles.size() - 1);
}

void Sheet::setVisible(int columns, int rows)
{
    m_visibleCols = std::max(columns, 0);
    m_visibleRows = std::max(rows, 0);
}

void Sheet::prepare(
    int columns, int rows, int visibleColumns, int visibleRows, double rowHeight, double colWidth)
{
    setSize(columns, rows);
    setVisible(visibleColumns, visibleRows);
    setRowHeight(-1, rowHeight);
    setColWidth(-1, colWidth);
    selectCell(-1, -1);
    setHAlign(HAlign::Center);
    setVAlign(VAlign::Center);
}

void Sheet::setRowHeight(int row, double height)
{
    if (row == -1) {
        m_defaultRowHeight = height;
        std::fill(m_rowHeights.begin(), m_rowHeights.end(), 0.0);
    } else if (row >= 1 && row <= m_rows) {
        m_rowHeights[static_cast<std::size_t>(row)] = height;
    }
}

void Sheet::setColWidth(int col, double width)
{
    if (col == -1) {
        m_defaultColWidth = width;
        std::fill(m_colWidths.begin(), m_colWidths.end(), 0.0);
    } else if (col >= 1 && col <= m_cols) {
        m_colWidths[static_cast<std::size_t>(col)] = width;
    }
}

double Sheet::rowHeight(int row) const
{
    if (row >= 1 && row <= m_rows && m_rowHeights[static_cast<std::size_t>(row)] > 0)
        return m_rowHeights[static_cast<std::size_t>(row)];
    return m_defaultRowHeight;
}

double Sheet::colWidth(int col) const
{
    if (col >= 1 && col <= m_cols && m_colWidths[static_cast<std::size_t>(col)] > 0)
        return m_colWidths[static_cast<std::size_t>(col)];
    return m_defaultColWidth;
}

void Sheet::selectCell(int col, int row)
{
    m_col = col;
    m_row = row;
    m_blockMode = false;
}

void Sheet::selectBlock(int col, int row, int col2, int row2)
{
    m_col = col;
    m_row = row;
    m_col2 = col2;
    m_row2 = row2;
    m_blockMode = true;
}

void Sheet::endBlock() { m_blockMode = false; }

Sheet::Range Sheet::selection() const
{
    // -1 stands for every column or row; a block is the rectangle between its two corners.
    auto span = [](int a, int b, bool block, int size) {
        if (a == -1 || (block && b == -1))
            return std::pair{1, size};
        if (!block)
            return std::pair{a, a};
        return std::pair{std::min(a, b), std::max(a, b)};
    };
    auto [c1, c2] = span(m_col, m_col2, m_blockMode, m_cols);
    auto [r1, r2] = span(m_row, m_row2, m_blockMode, m_rows);
    return {std::max(c1, 1), std::max(r1, 1), std::min(c2, m_cols), std::min(r2, m_rows)};
}

void Sheet::StyleEdit::apply(CellStyle &c) const
{
    switch (kind) {
    case Kind::HAlign:
        c.hAlign = static_cast<HAlign>(detail);
        break;
    case Kind::VAlign:
        c.vAlign = static_cast<VAlign>(detail);
        break;
    case Kind::Fore:
        c.fg = first;
        c.fgSet = true;
        break;
    case Kind::Back:
        c.bg = first;
        c.bgSet = true;
        break;
    case Kind::Colors:
        c.fg = first;
        c.fgSet = true;
        c.bg = second;
        c.bgSet = true;
        break;
    case Kind::Border:
        for (const auto &[bit, side] : {std::pair{border::Left, CellStyle::SideLeft},
                 std::pair{border::Top, CellStyle::SideTop},
                 std::pair{border::Right, CellStyle::SideRight},
                 std::pair{border::Bottom, CellStyle::SideBottom}})
            if (detail & bit) {
                c.borderStyle[side] = border;
                c.borderColor[side] = first;
            }
        break;
    }
}

// The style a cell of style `from` has after the edit. Tables give thousands of cells the
// same few changes, so each (style, edit) is worked out once and remembered.
std::uint16_t Sheet::restyled(std::uint16_t from, const StyleEdit &edit)
{
    if (m_memo.empty())
        m_memo.resize(MemoSize);
    // Every field mixed into the high bits, which pick the entry.
    const std::uint64_t key = std::uint64_t{from} | std::uint64_t{edit.detail} << 16
        | std::uint64_t{static_cast<std::uint8_t>(edit.kind)} << 24
        | std::uint64_t{static_cast<std::uint8_t>(edit.border)} << 28
        | std::uint64_t{edit.first} << 32;
    const std::uint64_t mixed
        = (key ^ std::uint64_t{edit.second} * 0xff51afd7ed558ccdu) * 0x9e3779b97f4a7c15u;
    const auto hash = static_cast<std::size_t>(mixed >> (64 - MemoBits));
    MemoEntry &m = m_memo[hash];
    if (m.used && m.from == from && m.edit == edit)
        return m.to;
    CellStyle style = m_styles[from];
    edit.apply(style);
    std::uint16_t to = internStyle(style);
    if (to == NoStyle)
        to = from; // no room for another style: the cell keeps its own
    m = {edit, from, to, true};
    return to;
}

// Applies the edit to the style of every cell of the range.
void Sheet::restyle(const Range &range, const StyleEdit &edit)
{
    if (range.empty())
        return;
    // While every cell shares the first style, a change to every cell changes just that style.
    if (m_uniform && range.c1 == 1 && range.r1 == 1 && range.c2 == m_cols && range.r2 == m_rows) {
        edit.apply(m_styles.front());
        m_memo.clear(); // what it remembered about the first style no longer holds
        return;
    }
    m_uniform = false;
    // One cell, the commonest change of all: a mark in a table.
    if (range.c1 == range.c2 && range.r1 == range.r2) {
        const std::size_t b = bandOf(range.r1);
        expandStyles(b);
        std::uint16_t &style = m_stylePool[m_bands[b].styles + styleSlot(b, range.c1, range.r1)];
        style = restyled(style, edit);
        return;
    }
    Restyler change{*this, edit};
    for (std::size_t b = bandOf(range.r1); b <= bandOf(range.r2); ++b) {
        const int first = static_cast<int>(b) * BandRows + 1;
        const int top = std::max(range.r1, first);
        const int bottom = std::min(range.r2, first + bandRows(b) - 1);
        // A band covered from top to bottom whose cells follow their column changes its runs.
        if (m_bands[b].styles == NoBlock && top == first && bottom == first + bandRows(b) - 1) {
            for (int col = range.c1; col <= range.c2; ++col)
                change(m_runs[runIndex(b, col)]);
            continue;
        }
        expandStyles(b);
        for (int col = range.c1; col <= range.c2; ++col) {
            std::uint16_t *s = &m_stylePool[m_bands[b].styles + styleSlot(b, col, top)];
            for (int row = top; row <= bottom; ++row, ++s)
                change(*s);
        }
    }
}

void Sheet::setHAlign(HAlign align)
{
    forSelection({StyleEdit::Kind::HAlign, static_cast<std::uint8_t>(align)});
}

void Sheet::setVAlign(VAlign align)
{
    forSelection({StyleEdit::Kind::VAlign, static_cast<std::uint8_t>(align)});
}

void Sheet::setForeColor(Rgb color)
{
    forSelection({StyleEdit::Kind::Fore, 0, BorderStyle::None, color});
}

void Sheet::setBackColor(Rgb color)
{
    forSelection({StyleEdit::Kind::Back, 0, BorderStyle::None, color});
}

void Sheet::setBorder(int sides, BorderStyle style, Rgb color)
{
    const Range r = selection();
    if (r.empty())
        return;
    const Rgb shown = style == BorderStyle::None ? colors::black : color;
    const auto edit = [&](int bits) {
        return StyleEdit{StyleEdit::Kind::Border, static_cast<std::uint8_t>(bits), style, shown};
    };
    if (sides & border::Outline) {
        restyle({r.c1, r.r1, r.c2, r.r1}, edit(border::Top));
        restyle({r.c1, r.r2, r.c2, r.r2}, edit(border::Bottom));
        restyle({r.c1, r.r1, r.c1, r.r2}, edit(border::Left));
        restyle({r.c2, r.r1, r.c2, r.r2}, edit(border::Right));
    }
    // An outline alone leaves the inside as it is.
    if (sides & border::AllSides)
        restyle(r, edit(sides & border::AllSides));
}

void Sheet::removeBorder(int sides) { setBorder(sides, BorderStyle::None); }

void Sheet::setText(std::string_view text) { setText(m_col, m_row, text); }

void Sheet::setText(int col, int row, std::string_view text)
{
    if (!contains(col, row))
        return;
    if (text.empty() && m_bands[bandOf(row)].cells == NoBlock)
        return; // the band's texts are all empty already
    storeText(textSlot(col, row), text);
}

// Gives the band its block of the text pool, every text empty.
void Sheet::newTextBlock(std::size_t band)
{
    const std::size_t block = m_cellPool.size();
    m_bands[band].cells = block;
    m_cellPool.resize(block + bandCells(band));
    std::memset(&m_cellPool[block], 0, bandCells(band) * sizeof(Slot));
}

void Sheet::setText(int col, int row, long long number)
{
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, number);
    setText(col, row, std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

std::string_view Sheet::text(int col, int row) const
{
    return contains(col, row) ? textAt(col, row) : std::string_view();
}

void Sheet::setForeColor(int col, int row, int col2, int row2, Rgb color)
{
    selectBlock(col, row, col2, row2);
    setForeColor(color);
    endBlock();
}

void Sheet::setBackColor(int col, int row, int col2, int row2, Rgb color)
{
    selectBlock(col, row, col2, row2);
    setBackColor(color);
    endBlock();
}

void Sheet::setColors(int col, int row, int col2, int row2, Rgb fg, Rgb bg)
{
    selectBlock(col, row, col2, row2);
    forSelection({StyleEdit::Kind::Colors, 0, BorderStyle::None, fg, bg});
    endBlock();
}

void Sheet::setBorder(int col, int row, int col2, int row2, int sides, Rgb color, BorderStyle style)
{
    selectBlock(col, row, col2, row2);
    setBorder(sides, style, color);
    endBlock();
}

} // namespace loto6
