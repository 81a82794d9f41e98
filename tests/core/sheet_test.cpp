#include "testsupport.h"

#include "analysis/builders.h"
#include "grid/numbertext.h"
#include "grid/sheet.h"
#include "grid/sheetwriter.h"
#include "store/csvhistory.h"
#include "store/totals.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

using namespace loto6;

TEST(Sheet, SelectionModesAndMinusOne)
{
    Sheet s;
    s.setSize(4, 3);
    s.selectCell(-1, 2); // whole row 2
    s.setBackColor(colors::lightPink);
    s.selectCell(3, -1); // whole column 3
    s.setForeColor(colors::red);
    s.selectBlock(4, 3, 2, 2); // corners in any order
    s.setHAlign(HAlign::Right);
    s.endBlock();
    s.setVAlign(VAlign::Top); // block mode off: current cell only
    EXPECT_TRUE(s.cell(1, 2).bgSet);
    EXPECT_FALSE(s.cell(1, 1).bgSet);
    EXPECT_TRUE(s.cell(3, 1).fgSet && s.cell(3, 3).fgSet);
    EXPECT_FALSE(s.cell(2, 1).fgSet);
    EXPECT_EQ(s.cell(2, 2).hAlign, HAlign::Right);
    EXPECT_EQ(s.cell(1, 2).hAlign, HAlign::Left);
    EXPECT_EQ(s.cell(4, 3).vAlign, VAlign::Top);
    EXPECT_EQ(s.cell(2, 2).vAlign, VAlign::Center);
    s.selectCell(-1, -1);
    s.setHAlign(HAlign::Center);
    EXPECT_EQ(s.cell(4, 3).hAlign, HAlign::Center);
}

TEST(Sheet, WritesOutsideTheGridHaveNoEffect)
{
    Sheet s;
    s.setSize(2, 2);
    s.setText(3, 1, "x");
    s.setText(0, 1, "x");
    s.setText(1, -1, 5);
    s.selectCell(5, 5);
    s.setText("x");
    s.setBackColor(colors::red);
    s.setColors(2, 2, 9, 9, colors::red, colors::blue); // clipped to the grid
    s.setBorder(0, 0, 9, 9, border::Outline);
    s.setRowHeight(7, 30);
    EXPECT_EQ(s.text(3, 1), "");
    EXPECT_TRUE(s.cell(2, 2).bgSet);
    EXPECT_FALSE(s.cell(1, 1).bgSet);
    EXPECT_TRUE(s.cell(1, 1).hasBorder(Cell::SideTop));
    EXPECT_TRUE(s.cell(2, 2).hasBorder(Cell::SideRight));
    EXPECT_FALSE(s.cell(1, 1).hasBorder(Cell::SideRight));
    std::ostringstream json;
    writeSheetJson(json, s);
    EXPECT_EQ(json.str().find("\"col\": 3"), std::string::npos);
}

TEST(Sheet, BordersAllSidesOutlineAndRemoval)
{
    Sheet s;
    s.setSize(3, 3);
    s.setBorder(1, 1, 3, 3, border::AllSides, colors::lightBlue);
    s.selectBlock(1, 1, 2, 1);
    s.removeBorder();
    s.setBorder(border::Outline, BorderStyle::ThinSolid, colors::black);
    s.endBlock();
    EXPECT_TRUE(s.cell(2, 2).hasBorder(Cell::SideLeft));
    EXPECT_EQ(s.cell(2, 2).borderColor[Cell::SideLeft], colors::lightBlue);
    EXPECT_FALSE(s.cell(1, 1).hasBorder(Cell::SideRight)) << "inner edge of the outlined block";
    EXPECT_TRUE(s.cell(2, 1).hasBorder(Cell::SideRight));
    EXPECT_EQ(s.cell(2, 1).borderColor[Cell::SideBottom], colors::black);
    EXPECT_EQ(s.cell(3, 1).borderColor[Cell::SideTop], colors::lightBlue);
}

TEST(Sheet, ResizeKeepsCellsAndSizes)
{
    Sheet s;
    s.setSize(2, 2);
    s.setColWidth(-1, 4);
    s.setColWidth(2, 9);
    s.setText(2, 2, "keep");
    s.setSize(5, 4);
    EXPECT_EQ(s.text(2, 2), "keep");
    EXPECT_EQ(s.colWidth(2), 9);
    EXPECT_EQ(s.colWidth(5), 4);
    s.setRowHeight(-1, 10);
    s.setRowHeight(1, 15);
    EXPECT_EQ(s.rowHeight(1), 15);
    EXPECT_EQ(s.rowHeight(4), 10);
}

TEST(SheetWriter, JsonListsTextAndExplicitColoursOnly)
{
    Sheet s("t", "表 \"1\"");
    s.setSize(3, 2);
    s.setText(1, 1, "a\\b");
    s.setBackColor(2, 1, 2, 1, colors::white); // explicit white is listed
    s.setForeColor(3, 2, 3, 2, rgb(0x12, 0xab, 0xef));
    s.setBorder(1, 1, 3, 2, border::AllSides); // borders are not part of the contract
    std::ostringstream out;
    writeSheetJson(out, s);
    EXPECT_EQ(out.str(),
        "{\"name\": \"t\", \"caption\": \"表 \\\"1\\\"\", \"columns\": 3, \"rows\": 2, \"cells\": "
        "[\n"
        "  {\"col\": 1, \"row\": 1, \"text\": \"a\\\\b\"},\n"
        "  {\"col\": 2, \"row\": 1, \"bg\": \"#ffffff\"},\n"
        "  {\"col\": 3, \"row\": 2, \"fg\": \"#12abef\"}\n"
        "]}\n");
}

TEST(SheetWriter, TextCsvAndHtmlForms)
{
    Sheet s("t", "表");
    s.setSize(2, 2);
    s.setText(1, 1, "数字");
    s.setText(2, 1, "1,2");
    s.setText(1, 2, "7");
    s.setColors(1, 1, 1, 1, colors::red, colors::lightYellow);
    s.setBorder(2, 2, 2, 2, border::Left, colors::lightBlue);
    std::ostringstream text, csv, html;
    writeSheetText(text, s);
    writeSheetCsv(csv, s);
    writeSheetHtml(html, s);
    EXPECT_EQ(text.str(), "数字 1,2\n7\n");
    EXPECT_EQ(csv.str(), "数字,\"1,2\"\n7,\n");
    EXPECT_NE(html.str().find("background:#ffffc8"), std::string::npos);
    EXPECT_NE(html.str().find("color:#ff0000"), std::string::npos);
    EXPECT_NE(html.str().find("border-left:1px solid #88c4ff"), std::string::npos);
    EXPECT_NE(html.str().find(">数字</td>"), std::string::npos);
}

TEST(Frequency, GoldenSmallHistory)
{
    std::vector<DrawRecord> draws;
    ASSERT_TRUE(test::readDraws(std::string(TEST_DATA_DIR) + "/frequency/input.csv", draws));
    const DrawHistory h(draws);
    Sheet s = buildFrequency(h, computeTotals(h));
    s.setName("frequency");
    s.setCaption("出現頻度分析");
    std::ostringstream out;
    writeSheetJson(out, s);
    EXPECT_EQ(out.str(), test::readAll(std::string(TEST_DATA_DIR) + "/frequency/expected.json"));
}

TEST(Frequency, LastMarkSitsBeforeTheLabelColumnAndBonusIsPink)
{
    using test::draw;
    const DrawHistory h({draw(1, {1, 2, 3, 4, 5, 6, 9}), draw(2, {1, 9, 10, 11, 12, 13, 2}),
        draw(3, {1, 14, 15, 16, 17, 18, 19})});
    const Totals t = computeTotals(h);
    const Sheet s = buildFrequency(h, t);
    const int m = t.maxAppearance; // number 1, three times
    ASSERT_EQ(s.columns(), m + 2);
    EXPECT_EQ(s.text(m + 1, 3), "●");
    EXPECT_EQ(s.text(m + 2, 3), "1");
    EXPECT_EQ(s.cell(3, 4).fg, rgb(255, 128, 192)) << "number 2 was the bonus of its second draw";
    EXPECT_EQ(s.cell(2, 11).fg, rgb(255, 128, 192)) << "number 9 was first the bonus";
    EXPECT_EQ(s.cell(3, 11).fg, rgb(62, 158, 255));
    EXPECT_EQ(s.text(2, 9), "") << "7 never drawn";
    for (int k = 1; k <= m; ++k)
        EXPECT_EQ(s.text(k + 1, 2), std::to_string(k));
}

// A long history needs more than a thousand columns: the table stays whole.
TEST(Frequency, LongHistoryKeepsEveryColumn)
{
    std::vector<DrawRecord> draws;
    for (int d = 1; d <= 6000; ++d)
        draws.push_back(test::draw(d, {1, 2 + d % 10, 13, 20 + d % 7, 30, 40, 43}));
    const DrawHistory h(std::move(draws));
    const Totals t = computeTotals(h);
    const Sheet s = buildFrequency(h, t);
    EXPECT_FALSE(s.wasCut());
    ASSERT_EQ(s.columns(), 6002);
    EXPECT_EQ(s.text(6001, 2), "6000");
    EXPECT_EQ(s.text(6001, 3), "●") << "the 6000th appearance of number 1";
    EXPECT_EQ(s.text(6002, 3), "1");
    EXPECT_EQ(s.text(6002, 45), "43");
    // Every ordinal heading fits its column: two digits up to 99, the widest count's digits on.
    EXPECT_EQ(s.colWidth(100), 2);
    EXPECT_EQ(s.colWidth(101), 4) << "heading 100";
    EXPECT_EQ(s.colWidth(6001), 4) << "heading 6000";
    EXPECT_EQ(s.colWidth(6002), 5) << "the label column";
}

TEST(Frequency, EmptyHistoryKeepsLabels)
{
    const DrawHistory h;
    const Sheet s = buildFrequency(h, computeTotals(h));
    EXPECT_EQ(s.columns(), 2);
    EXPECT_EQ(s.rows(), 45);
    EXPECT_EQ(s.text(1, 2), "数字");
    EXPECT_EQ(s.text(2, 45), "43");
    // No ordinal columns: both "数字" headers keep the label columns' colours.
    for (int c = 1; c <= 2; ++c) {
        EXPECT_EQ(s.cell(c, 2).fg, colors::blue) << c;
        EXPECT_EQ(s.cell(c, 2).bg, rgb(222, 254, 253)) << c;
    }
}

TEST(SheetWriter, OverflowingLastTextDoesNotWidenItsColumn)
{
    Sheet s("t", "t");
    s.setSize(3, 2);
    s.setText(1, 1, "a");
    s.setText(2, 1, "a long caption that runs on");
    s.setText(1, 2, "b");
    s.setText(2, 2, "c");
    s.setText(3, 2, "d");
    s.setAllowOverflow(true);
    std::ostringstream text;
    writeSheetText(text, s);
    EXPECT_EQ(text.str(), "a a long caption that runs on\nb c d\n");
}

TEST(SheetWriter, TextPadsByDisplayWidthTrimsLineEndsAndRunsPastItsBuffer)
{
    struct Case
    {
        const char *name;
        std::vector<std::vector<std::string>> rows;
        std::string expected;
    };
    const std::string longText(70000, 'x');
    std::string manyLines;
    std::vector<std::vector<std::string>> manyRows;
    for (int i = 0; i < 20000; ++i) {
        manyRows.push_back({std::to_string(i), "6"});
        manyLines += std::to_string(i) + std::string(5 - std::to_string(i).size(), ' ') + " 6\n";
    }
    const Case cases[] = {
        {"wide_characters", {{"数字", "1"}, {"7", "22"}}, "数字 1\n7    22\n"},
        {"empty_cells_and_trailing_spaces", {{"a", "", "c "}, {"", "b", ""}}, "a   c\n  b\n"},
        {"empty_lines", {{"", ""}, {"", "z"}, {"", ""}}, "\n z\n\n"},
        {"line_longer_than_the_buffer", {{longText, "y"}, {"a", "b"}},
            longText + " y\na" + std::string(longText.size(), ' ') + "b\n"},
        {"many_lines", manyRows, manyLines},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet s("t", "t");
        s.setSize(static_cast<int>(c.rows.front().size()), static_cast<int>(c.rows.size()));
        for (std::size_t r = 0; r < c.rows.size(); ++r)
            for (std::size_t col = 0; col < c.rows[r].size(); ++col)
                s.setText(static_cast<int>(col) + 1, static_cast<int>(r) + 1, c.rows[r][col]);
        std::ostringstream text;
        writeSheetText(text, s);
        EXPECT_EQ(text.str(), c.expected);
    }
}

TEST(Sheet, SizeBeyondTheCeilingIsCutAndSaysWhat)
{
    Sheet s;
    s.setSize(45, 100'004);
    EXPECT_FALSE(s.wasCut());
    s.setSize(45, 1'000'000'000);
    EXPECT_TRUE(s.wasCut());
    EXPECT_TRUE(s.rowsCut());
    EXPECT_FALSE(s.columnsCut());
    EXPECT_EQ(s.rows(), Sheet::MaxRows);
    s.setText(1, Sheet::MaxRows + 1, "not shown");
    EXPECT_EQ(s.text(1, Sheet::MaxRows), "");

    Sheet wide;
    wide.setSize(100'002, 45); // a number drawn in every one of 100,000 draws
    EXPECT_FALSE(wide.wasCut());
    wide.setSize(Sheet::MaxColumns + 1, 45);
    EXPECT_TRUE(wide.columnsCut());
    EXPECT_FALSE(wide.rowsCut());
}

// Texts of every length read back as written, however often a cell is rewritten, and a write
// never touches another cell.
TEST(Sheet, TextsOfEveryLengthReadBackAsWritten)
{
    const std::string huge(70'000, 'x');
    struct Case
    {
        const char *name;
        std::string first;
        std::string second;
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"short to long", "7", "出 　現 　頻 　度（回）"},
        {"long to short", "偶然では説明しにくいずれがあります", "12"},
        {"four bytes", "2141", "9999"},
        {"five bytes", "30000", "99999"},
        {"long to shorter long", "abcdefghijklmnop", "abcdefg"},
        {"huge", "a", huge},
        {"huge to long", huge, "abcdefgh"},
        {"negative number", "-5", "-123456789"},
    };
    for (const Case &c : cases) {
        Sheet s;
        s.setSize(3, 3);
        s.setText(1, 1, "left");
        s.setText(3, 3, "right of it");
        s.setText(2, 2, c.first);
        EXPECT_EQ(s.text(2, 2), c.first) << c.name;
        s.setText(2, 2, c.second);
        EXPECT_EQ(s.text(2, 2), c.second) << c.name;
        EXPECT_EQ(s.cell(2, 2).text, c.second) << c.name;
        EXPECT_EQ(s.text(1, 1), "left") << c.name;
        EXPECT_EQ(s.text(3, 3), "right of it") << c.name;
        s.setSize(4, 4); // moving the cells keeps their texts
        EXPECT_EQ(s.text(2, 2), c.second) << c.name;
        EXPECT_EQ(s.text(3, 3), "right of it") << c.name;
    }
    Sheet n;
    n.setSize(2, 1);
    n.setText(1, 1, -1234567890123LL);
    n.setText(2, 1, 0);
    EXPECT_EQ(n.text(1, 1), "-1234567890123");
    EXPECT_EQ(n.text(2, 1), "0");
}

// Texts too long to keep in place fill more than one chunk of the text store; each reads back
// whole, also after a shorter text took its place.
TEST(Sheet, LongTextsOverManyChunksReadBack)
{
    Sheet s;
    s.setSize(2, 30'000);
    auto text = [](int r, const char *tail) { return std::to_string(r) + tail; };
    for (int r = 1; r <= 30'000; ++r)
        s.setText(2, r, text(r, "回前の出現"));
    for (int r = 1; r <= 30'000; r += 7)
        s.setText(2, r, text(r, "回前"));
    for (int r = 1; r <= 30'000; ++r)
        ASSERT_EQ(s.text(2, r), text(r, (r - 1) % 7 == 0 ? "回前" : "回前の出現")) << r;
    EXPECT_EQ(s.text(1, 30'000), "");
}

// Cells of one look share a style, so a long table costs little more than its texts.
TEST(Sheet, StylesAreSharedAndChangesStayPerCell)
{
    Sheet s;
    s.prepare(45, 30'004, 45, 51, 10, 2);
    s.setColors(1, 1, 1, 30'004, colors::red, colors::lightYellow);
    s.setBorder(1, 1, 45, 30'004, border::AllSides);
    for (int r = 2; r <= 30'004; ++r)
        for (int c = 2; c <= 45; c += 3)
            s.setText(c, r, r % 43 + 1);
    EXPECT_LT(s.storageBytes(), 12u * 1024 * 1024);

    s.setBackColor(2, 5, 2, 5, colors::lightCyan);
    EXPECT_EQ(s.cell(2, 5).bg, colors::lightCyan);
    EXPECT_TRUE(s.cell(2, 5).bgSet);
    EXPECT_FALSE(s.cell(2, 6).bgSet);
    EXPECT_EQ(s.cell(1, 6).fg, colors::red);
    EXPECT_EQ(s.cell(2, 6).hAlign, HAlign::Center);
    EXPECT_TRUE(s.cell(2, 5).hasBorder(Cell::SideTop));
    EXPECT_EQ(s.style(2, 6), s.style(3, 7));
}

// A style given to every cell at once reaches only the cells there were: cells added later
// start with the default look, as do the cells of a fresh sheet.
TEST(Sheet, WholeSheetStyleDoesNotReachCellsAddedLater)
{
    Sheet s;
    s.prepare(2, 2, 2, 2, 10, 5);
    s.selectCell(-1, -1);
    s.setBackColor(colors::lightPink);
    s.setSize(3, 3);
    EXPECT_EQ(s.cell(2, 2).hAlign, HAlign::Center);
    EXPECT_EQ(s.cell(2, 2).bg, colors::lightPink);
    EXPECT_EQ(s.cell(3, 3).hAlign, HAlign::Left);
    EXPECT_FALSE(s.cell(3, 1).bgSet);
    EXPECT_FALSE(s.cell(1, 3).bgSet);
    s.selectCell(-1, -1);
    s.setForeColor(colors::red);
    EXPECT_EQ(s.cell(3, 3).fg, colors::red);
    EXPECT_EQ(s.cell(1, 1).fg, colors::red);
    EXPECT_EQ(s.cell(1, 1).bg, colors::lightPink);
    EXPECT_FALSE(s.cell(3, 3).bgSet);
}

namespace {

// A plain per-cell model of the styles a sheet should hold after the same block edits.
struct StyleModel
{
    int cols = 0, rows = 0;
    std::vector<CellStyle> cells;
    std::vector<std::string> texts;
    std::size_t index(int c, int r) const
    {
        return static_cast<std::size_t>((r - 1) * cols + c - 1);
    }
    CellStyle &at(int c, int r) { return cells[index(c, r)]; }
    void resize(int newCols, int newRows)
    {
        StyleModel next;
        next.cols = newCols;
        next.rows = newRows;
        next.cells.resize(static_cast<std::size_t>(newCols * newRows));
        next.texts.resize(next.cells.size());
        for (int r = 1; r <= std::min(rows, newRows); ++r)
            for (int c = 1; c <= std::min(cols, newCols); ++c) {
                next.at(c, r) = at(c, r);
                next.texts[next.index(c, r)] = texts[index(c, r)];
            }
        *this = std::move(next);
    }
};

// One block edit, made on both the sheet and the model; `op` picks the kind of change.
void editBoth(Sheet &s, StyleModel &m, int op, int c1, int r1, int c2, int r2, Rgb color)
{
    const int sides[] = {border::Left, border::Top | border::Bottom, border::Outline,
        border::AllSides | border::Outline};
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) {
            CellStyle &x = m.at(c, r);
            auto side = [&](bool on, CellStyle::Side which) {
                if (on) {
                    x.borderStyle[which] = BorderStyle::ThinSolid;
                    x.borderColor[which] = color;
                }
            };
            if (op == 0 || op == 2)
                x.fg = color, x.fgSet = true;
            if (op == 1 || op == 2)
                x.bg = color ^ 0x00ff00, x.bgSet = true;
            if (op >= 3) {
                const int bits = sides[op - 3];
                const bool outline = (bits & border::Outline) != 0;
                side((bits & border::Left) || (outline && c == c1), CellStyle::SideLeft);
                side((bits & border::Right) || (outline && c == c2), CellStyle::SideRight);
                side((bits & border::Top) || (outline && r == r1), CellStyle::SideTop);
                side((bits & border::Bottom) || (outline && r == r2), CellStyle::SideBottom);
            }
        }
    if (op == 0)
        s.setForeColor(c1, r1, c2, r2, color);
    else if (op == 1)
        s.setBackColor(c1, r1, c2, r2, color ^ 0x00ff00);
    else if (op == 2)
        s.setColors(c1, r1, c2, r2, color, color ^ 0x00ff00);
    else
        s.setBorder(c1, r1, c2, r2, sides[op - 3], color);
}

void expectSameStyles(const Sheet &s, StyleModel &m, const std::string &when)
{
    for (int r = 1; r <= m.rows; ++r)
        for (int c = 1; c <= m.cols; ++c) {
            ASSERT_EQ(s.style(c, r), m.at(c, r)) << when << ": cell " << c << "," << r;
            ASSERT_EQ(s.text(c, r), m.texts[m.index(c, r)]) << when << ": cell " << c << "," << r;
        }
}

} // namespace

// Block edits of every kind, whole columns among them, crossing the bands the cells are stored
// in, texts between them, then the sheet grown and shrunk: every cell ends with the style and
// text a plain per-cell model gives it.
TEST(Sheet, BlockEditsAndResizesMatchAPerCellModel)
{
    for (unsigned seed : {1u, 7u, 2024u}) {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Sheet s;
        StyleModel m;
        s.setSize(9, 150);
        m.resize(9, 150);
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 60; ++i) {
                const int c1 = pick(1, m.cols), c2 = pick(c1, m.cols);
                const bool whole = pick(0, 3) == 0;
                const int r1 = whole ? 1 : pick(1, m.rows);
                const int r2 = whole ? m.rows : std::min(m.rows, r1 + pick(0, 140));
                const Rgb color = static_cast<Rgb>(pick(0, 5) * 0x331100);
                editBoth(s, m, pick(0, 6), c1, r1, c2, r2, color);
                const std::string text
                    = std::to_string(color).substr(0, static_cast<std::size_t>(pick(0, 7)));
                s.setText(c2, r2, text);
                m.texts[m.index(c2, r2)] = text;
            }
            expectSameStyles(
                s, m, "seed " + std::to_string(seed) + " round " + std::to_string(round));
            const int cols = pick(3, 12), rows = pick(60, 200);
            s.setSize(cols, rows);
            m.resize(cols, rows);
            expectSameStyles(
                s, m, "after resize to " + std::to_string(cols) + "x" + std::to_string(rows));
        }
    }
}

TEST(NumberText, ChancesReadAsAPlayerSaysThem)
{
    EXPECT_EQ(oneInText(1 / 1219291.0), "約122万分の1");
    EXPECT_EQ(oneInText(1 / 203215.0), "約20.3万分の1");
    EXPECT_EQ(oneInText(1 / 6096454.0), "約610万分の1");
    EXPECT_EQ(oneInText(1 / 5645.0), "約5,645分の1");
    EXPECT_EQ(oneInText(1 / 99999.7), "約10万分の1") << "rounds up into 万 whole";
    EXPECT_EQ(oneInText(1 / 2.5), "約2.5分の1");
    EXPECT_EQ(oneInText(1 / 3.0e9), "約30億分の1");
    EXPECT_EQ(oneInText(0), "0");
    EXPECT_EQ(oneInText(1), "1分の1（必ず）");
}
