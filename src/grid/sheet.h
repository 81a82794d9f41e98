#pragma once

#include "grid/rgb.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

enum class HAlign : std::uint8_t { Left, Center, Right };
enum class VAlign : std::uint8_t { Top, Center, Bottom };

// Border sides as the grid's bit values; AllSides draws every side of every selected cell,
// Outline only the outer edge of the selection.
namespace border {
inline constexpr int Left = 1;
inline constexpr int Right = 2;
inline constexpr int Top = 4;
inline constexpr int Bottom = 8;
inline constexpr int AllSides = 15;
inline constexpr int Outline = 16;
} // namespace border

enum class BorderStyle : std::uint8_t { None = 0, ThinSolid = 1 };

// How a cell is drawn. Colours remember whether a window set them explicitly. Cells with the
// same look share one style in their sheet.
struct CellStyle
{
    enum Side { SideLeft, SideTop, SideRight, SideBottom };
    Rgb fg = colors::black;
    Rgb bg = colors::white;
    std::array<Rgb, 4> borderColor{};
    bool fgSet = false;
    bool bgSet = false;
    std::array<BorderStyle, 4> borderStyle{};
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Center;

    bool hasBorder(Side s) const { return borderStyle[s] != BorderStyle::None; }
    bool operator==(const CellStyle &) const = default;
};

// One cell as read from a sheet: its text and its style. The text stays valid until the sheet
// is written to or destroyed.
struct Cell : CellStyle
{
    std::string_view text;
};

// The result grid a window fills: cells addressed by column and row from 1, with the selection
// model of the grid control (a current cell, an optional block, -1 meaning every column or row).
// Writes outside the grid have no effect.
class Sheet
{
public:
    Sheet() = default;
    Sheet(std::string name, std::string caption);

    const std::string &name() const { return m_name; }
    const std::string &caption() const { return m_caption; }
    void setName(std::string name) { m_name = std::move(name); }
    void setCaption(std::string caption) { m_caption = std::move(caption); }

    // The largest grid a sheet holds: room for every table of a history of 100,000 draws and
    // more. Tables sized by the latest draw number would otherwise ask for one row per draw
    // number up to a stray huge one; rows past the ceiling are not shown, like any row outside
    // the grid.
    static constexpr int MaxRows = 131072;
    static constexpr int MaxColumns = 131072;
    // Distinct styles one sheet holds; a write that would need more leaves the style as it was.
    static constexpr int MaxStyles = 65535;

    // Size and extent; a size beyond the ceiling is cut to it and remembered as cut.
    void setSize(int columns, int rows);
    bool wasCut() const { return m_rowsCut || m_columnsCut; }
    bool rowsCut() const { return m_rowsCut; }
    bool columnsCut() const { return m_columnsCut; }
    int columns() const { return m_cols; }
    int rows() const { return m_rows; }
    void setVisible(int columns, int rows);
    int visibleColumns() const { return m_visibleCols; }
    int visibleRows() const { return m_visibleRows; }

    // The standard preparation of every table: size, visible extent, the height of all rows and
    // the width of all columns, and every cell centred both ways. Cells are read-only text.
    void prepare(int columns, int rows, int visibleColumns, int visibleRows, double rowHeight,
        double colWidth);

    // Row heights in points and column widths in character widths; -1 means all.
    void setRowHeight(int row, double height);
    void setColWidth(int col, double width);
    double rowHeight(int row) const;
    double colWidth(int col) const;

    // Selection: a single cell (either coordinate may be -1) or a block.
    void selectCell(int col, int row);
    void selectBlock(int col, int row, int col2, int row2);
    void endBlock();

    // Property writes on the selection.
    void setHAlign(HAlign align);
    void setVAlign(VAlign align);
    void setForeColor(Rgb color);
    void setBackColor(Rgb color);
    void setBorder(
        int sides, BorderStyle style = BorderStyle::ThinSolid, Rgb color = colors::black);
    void removeBorder(int sides = border::AllSides);

    // Text of the current cell, and text of any cell without moving the current cell.
    void setText(std::string_view text);
    void setText(int col, int row, std::string_view text);
    void setText(int col, int row, long long number);
    void setText(int col, int row, int number)
    {
        setText(col, row, static_cast<long long>(number));
    }
    std::string_view text(int col, int row) const;

    // Block helpers that select, write and end the block in one call.
    void setForeColor(int col, int row, int col2, int row2, Rgb color);
    void setBackColor(int col, int row, int col2, int row2, Rgb color);
    void setColors(int col, int row, int col2, int row2, Rgb fg, Rgb bg);
    void setBorder(int col, int row, int col2, int row2, int sides, Rgb color = colors::black,
        BorderStyle style = BorderStyle::ThinSolid);

    // Heading rows at the top and label columns at the left that a grid view keeps in place
    // while the rest scrolls; not part of the table's contents.
    void setFrozen(int columns, int rows)
    {
        m_frozenCols = std::max(columns, 0);
        m_frozenRows = std::max(rows, 0);
    }
    int frozenColumns() const { return m_frozenCols; }
    int frozenRows() const { return m_frozenRows; }

    void setAllowOverflow(bool allow) { m_allowOverflow = allow; }
    bool allowOverflow() const { return m_allowOverflow; }

    bool contains(int col, int row) const
    {
        return col >= 1 && row >= 1 && col <= m_cols && row <= m_rows;
    }
    // Precondition: contains(col, row).
    Cell cell(int col, int row) const;
    const CellStyle &style(int col, int row) const { return m_styles[styleOf(col, row)]; }
    // Bytes held by the cells, their texts and styles and the row and column sizes.
    std::size_t storageBytes() const;

private:
    struct Range
    {
        int c1, r1, c2, r2;
        bool empty() const { return c1 > c2 || r1 > r2; }
    };
    // The text of a cell in storage: up to five bytes in place, longer text in the sheet's
    // text store.
    // Trivial, so that a band's block of slots is cleared with one memset: zero bytes read as
    // an empty text.
    struct Slot
    {
        std::array<char, 5> text; // the text itself, or where it starts in m_textChunks
        std::uint8_t size;        // LongText: the text is m_longTexts[text]
    };
    // Leaves new slots as they are, for textSlot() to clear a whole block at once.
    template<typename T>
    struct UnclearedAllocator : std::allocator<T>
    {
        template<typename U>
        struct rebind
        {
            using other = UnclearedAllocator<U>;
        };
        UnclearedAllocator() = default;
        template<typename U>
        UnclearedAllocator(const UnclearedAllocator<U> &)
        {
        }
        template<typename U>
        void construct(U *p)
        {
            ::new (static_cast<void *>(p)) U;
        }
        template<typename U, typename... Args>
        void construct(U *p, Args &&...args)
        {
            ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
        }
    };
    static constexpr std::uint8_t LongText = 0xff;
    static constexpr std::uint16_t NoStyle = 0xffff;
    // Cells are kept in bands of BandRows rows. A band's texts get their block of the text
    // pool at its first text, row by row. Its styles are one per column (the column's run)
    // until a cell of the band gets a look of its own, then one per cell in a block of the
    // style pool, column by column. Tables style whole columns before they fill them draw by
    // draw, so a change down a column costs one write per band, and the memory of a band is
    // first touched while the band is being filled. Both pools are reserved whole up front.
    static constexpr int BandRows = 64;
    static constexpr std::size_t NoBlock = static_cast<std::size_t>(-1);
    struct Band
    {
        std::size_t cells = NoBlock;  // in m_cellPool; none: every text of the band is empty
        std::size_t styles = NoBlock; // in m_stylePool; none: every cell has its column's run
    };

    static std::size_t bandOf(int row) { return static_cast<std::size_t>(row - 1) / BandRows; }
    static int rowInBand(int row) { return (row - 1) % BandRows; }
    int bandRows(std::size_t band) const
    {
        return std::min(BandRows, m_rows - static_cast<int>(band) * BandRows);
    }
    std::size_t runIndex(std::size_t band, int col) const
    {
        return band * static_cast<std::size_t>(m_cols) + static_cast<std::size_t>(col - 1);
    }
    std::size_t cellIndex(int col, int row) const
    {
        return static_cast<std::size_t>(rowInBand(row)) * static_cast<std::size_t>(m_cols)
            + static_cast<std::size_t>(col - 1);
    }
    std::size_t styleSlot(std::size_t band, int col, int row) const
    {
        return static_cast<std::size_t>(col - 1) * static_cast<std::size_t>(bandRows(band))
            + static_cast<std::size_t>(rowInBand(row));
    }
    std::uint16_t styleOf(int col, int row) const
    {
        const std::size_t b = bandOf(row);
        const std::size_t block = m_bands[b].styles;
        return block == NoBlock ? m_runs[runIndex(b, col)]
                                : m_stylePool[block + styleSlot(b, col, row)];
    }
    std::string_view textAt(int col, int row) const;
    void storeText(Slot &s, std::string_view text);
    // The text store: chunks of TextChunk bytes, a place in it being chunk * TextChunk + offset.
    static constexpr std::size_t TextChunk = 1 << 16;
    static constexpr std::size_t MaxTextChunks = 65535;
    static constexpr std::uint32_t NoRoom = 0xffffffff;
    std::uint32_t appendText(std::string_view text);
    std::size_t bandCells(std::size_t band) const
    {
        return static_cast<std::size_t>(bandRows(band)) * static_cast<std::size_t>(m_cols);
    }
    // The slot of a cell's text, giving its band a block of the pool at the band's first text.
    Slot &textSlot(int col, int row)
    {
        const std::size_t band = bandOf(row);
        if (m_bands[band].cells == NoBlock)
            newTextBlock(band);
        return m_cellPool[m_bands[band].cells + cellIndex(col, row)];
    }
    void newTextBlock(std::size_t band);
    void expandStyles(std::size_t band)
    {
        if (m_bands[band].styles == NoBlock)
            expandBand(band);
    }
    void expandBand(std::size_t band);
    void copyCells(const Sheet &from, int columns, int rows);
    // One change to cell styles, small enough to key the memo of changes already worked out.
    struct StyleEdit
    {
        enum class Kind : std::uint8_t { HAlign, VAlign, Fore, Back, Colors, Border };
        Kind kind = Kind::Fore;
        std::uint8_t detail = 0; // the alignment, or the border sides
        BorderStyle border = BorderStyle::None;
        Rgb first = 0;  // the fore or back colour, or the border colour
        Rgb second = 0; // the back colour of Colors
        bool operator==(const StyleEdit &) const = default;
        void apply(CellStyle &c) const;
    };
    struct MemoEntry
    {
        StyleEdit edit;
        std::uint16_t from = 0;
        std::uint16_t to = 0;
        bool used = false;
    };
    static constexpr int MemoBits = 10;
    static constexpr std::size_t MemoSize = std::size_t{1} << MemoBits;
    // The last style change worked out, reused while neighbouring cells share a style.
    struct Restyler
    {
        Sheet &sheet;
        const StyleEdit &edit;
        std::uint16_t from = NoStyle;
        std::uint16_t to = NoStyle;
        void operator()(std::uint16_t &s)
        {
            if (s != from) {
                from = s;
                to = sheet.restyled(from, edit);
            }
            s = to;
        }
    };

    std::uint16_t internStyle(const CellStyle &style);
    std::uint16_t restyled(std::uint16_t from, const StyleEdit &edit);
    Range selection() const;
    void restyle(const Range &range, const StyleEdit &edit);
    void forSelection(const StyleEdit &edit) { restyle(selection(), edit); }

    std::string m_name;
    std::string m_caption;
    int m_cols = 0;
    int m_rows = 0;
    int m_visibleCols = 0;
    int m_visibleRows = 0;
    std::vector<Band> m_bands;
    std::vector<std::uint16_t> m_runs;                      // band by band, one style per column
    std::vector<Slot, UnclearedAllocator<Slot>> m_cellPool; // blocks of band texts, row by row
    std::vector<std::uint16_t> m_stylePool; // blocks of band styles, column by column
    std::vector<std::string> m_textChunks;  // texts longer than five bytes, end to end
    std::vector<std::string> m_longTexts;   // texts the text store cannot address
    std::vector<CellStyle> m_styles{CellStyle{}};
    std::vector<MemoEntry> m_memo; // style changes already worked out, by (style, edit)
    double m_defaultRowHeight = 10;
    double m_defaultColWidth = 8;
    std::vector<double> m_rowHeights; // index 0 unused; 0 means the default
    std::vector<double> m_colWidths;
    int m_col = 1;
    int m_row = 1;
    int m_col2 = 1;
    int m_row2 = 1;
    bool m_blockMode = false;
    bool m_allowOverflow = false;
    bool m_uniform = true; // every cell has the first style
    bool m_rowsCut = false;
    bool m_columnsCut = false;
    int m_frozenCols = 0;
    int m_frozenRows = 0;
};

} // namespace loto6
