#pragma once

#include "entry/pastedline.h"

#include "grid/rgb.h"
#include "store/database.h"
#include "store/drawrecord.h"
#include "store/drawvalidation.h"
#include "store/result.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <array>
#include <filesystem>
#include <optional>
#include <vector>

class QWidget;

namespace loto6 {

// The editable draws of the entry window over its own database connection: column 0 is 回数,
// columns 1..6 the main numbers, column 7 the bonus and column 8 the draw date. Typed texts stay
// in the model until a row is saved; a row is written only when its seven numbers are all there
// and right and its date is right.
class DrawTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 9;
    static constexpr int DrawNoColumn = 0;
    static constexpr int FirstNumberColumn = 1;
    static constexpr int BonusColumn = 7;
    static constexpr int DateColumn = 8;
    static constexpr Rgb DrawNoColor = rgb(0, 0, 255);
    static constexpr Rgb BonusColor = rgb(255, 0, 0);
    static constexpr Rgb BonusBackColor = rgb(197, 255, 255);
    static constexpr Rgb WrongBackColor = rgb(255, 150, 150);

    using PastedLine = loto6::PastedLine;

    // Yes-or-no questions are asked over `window` through the dialogs of the main window it
    // sits in; a model without a window asks nothing and goes on.
    explicit DrawTableModel(QWidget *window = nullptr);
    // The entry's yes-or-no question (a warning whose default is No); true for Yes.
    bool confirm(const QString &question) const;

    // Opens the database file and reads every stored draw.
    Status open(const std::filesystem::path &file);
    Database &database() { return m_db; }
    // A read-only model refuses every edit.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A refused draw number leaves the cell as it was and emits inputRefused. Changing a number of
    // a stored complete draw asks once per row; No keeps the old value.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    bool isStored(int row) const { return m_rows[std::size_t(row)].stored; }
    // Added or changed and not yet written.
    bool isPending(int row) const { return m_rows[std::size_t(row)].pending; }
    bool isWrong(int row, int column) const;
    bool hasWrongCell(int row) const;
    // Pending with a number missing: not written until all seven are there.
    bool isIncomplete(int row) const;
    // What is wrong with the cell, naming the draw and the column; empty when it is right.
    QString problemText(int row, int column) const;
    // Any row that is not yet saved or is wrong.
    bool hasUnsavedRows() const;
    bool hasWrongRows() const;
    bool hasIncompleteRows() const;
    // The first wrong cell, row by row from the top and left to right; invalid when none.
    QModelIndex firstWrongCell() const;
    int drawNumber(int row) const;
    // The row with the highest draw number; -1 when there are none.
    int latestRow() const;
    // Whether any row has been written since the model was opened.

    // Inserts a row below `row` (-1: at the end) numbered after the latest draw, with the next
    // draw day after the latest draw's date; returns the new row, -1 when refused.
    int insertDrawRow(int row);
    // Deletes the row and its record; a failed delete keeps the row.
    Status removeDrawRow(int row);
    // Fills rows from pasted lines of published results, starting at `row` for lines without a
    // draw number; every cell goes through the checks of typing. Returns the rows filled.
    int pasteText(int row, const QString &text);
    // Writes a pending row that is complete and right, in one transaction. A failed write keeps
    // the typed texts and the row stays pending. When another program has added, changed or
    // deleted the draw since the grid showed it, the user is asked first; No shows the stored
    // draw instead (a deleted one leaves the grid).
    Status saveRow(int row);
    // Saves every pending row; stops at the first failure.
    Status saveAll();
    // Puts the cell of the last edit back as it was before it, through the checks of typing
    // (a row left since is written again when it is left); returns that cell, or nothing when
    // there is no edit to undo. Edits before a row was taken out are forgotten.
    QModelIndex undoLastEdit();
    bool canUndo() const { return !m_edits.empty(); }
    // The rows not saved (half-typed or wrong), one line each: the draw, its numbers (＿ where
    // missing), the bonus and the date.
    QStringList unsavedRowTexts() const;
    // Reads the database file again over a fresh connection (another command may have put a
    // new file in its place), keeping the rows not saved as they were typed. A failure keeps
    // everything as it was.
    Status reopen(const std::filesystem::path &file);

signals:
    // Something the user typed was refused; the text says why.
    void inputRefused(const QString &message);
    // The set of unsaved or wrong rows may have changed.
    void unsavedRowsChanged(bool any);
    // A draw was written to or deleted from the database.
    void drawsWritten();

private:
    struct Row
    {
        DrawRecord record; // as last written, keeping fields the grid does not show
        std::array<QString, ColumnCount> texts;
        bool stored = false;
        bool pending = false;
        bool changeConfirmed = false;          // the user agreed to change this stored draw
        std::array<bool, ColumnCount> wrong{}; // the checks' result for the texts as they are
    };

    static Row storedRow(DrawRecord draw);
    // The row shows what is stored now, after the user kept another program's change; a draw
    // deleted meanwhile leaves the grid.
    void takeStoredDraw(int row, const std::optional<DrawRecord> &stored);
    // Takes a row out of the grid (not out of the database).
    void dropRow(int row);
    QString rowStateTip(int row) const;
    QString drawName(int row) const;
    // Where a stored draw came from, each recorded change on a line; empty when nothing is.
    QString sourceTip(int row) const;
    DrawFields numberFields(int row) const;
    // The common check of a draw's numbers for one number cell (DrawForm::Entry).
    Status numberCheck(int row, int column) const;
    QString numberProblem(int row, int column) const;
    QString dateProblem(int row) const;
    int previousDatedRow(int row) const;
    std::vector<int> drawNumbersExcept(int row) const;
    int latestDrawNumberExcept(int row) const;
    bool confirmDrawNumber(int row, int drawNo);
    bool confirmChange(int row);
    bool setDrawNumber(int row, QString &text);
    int pasteTargetRow(int row, const std::optional<int> &drawNo);
    bool fillPastedRow(int row, const PastedLine &pasted);
    void rowChanged(int row);
    // Runs the checks again for a row, and for every pending row, whose dates depend on others.
    void recheckRow(int row);
    void recheckPendingRows();

    // One accepted edit of a cell, with the text before it.
    struct Edit
    {
        int row;
        int column;
        QString before;
    };

    Database m_db;
    std::vector<Row> m_rows;
    std::vector<Edit> m_edits; // the newest last, at most MaxUndo
    bool m_undoing = false;
    static constexpr std::size_t MaxUndo = 200;
    QWidget *m_window;
    bool m_readOnly = false;
    bool m_savedChanges = false;
};

} // namespace loto6
