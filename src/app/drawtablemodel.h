#pragma once

#include "grid/rgb.h"
#include "store/database.h"
#include "store/drawrecord.h"
#include "store/result.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <filesystem>
#include <vector>

namespace loto6 {

// The editable draws of the entry window over its own database connection: column 0 is 回数,
// columns 1..6 the main numbers and column 7 the bonus. Typed texts stay in the model until a
// row is saved; a row with a wrong number is never written.
class DrawTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 8;
    static constexpr int DrawNoColumn = 0;
    static constexpr int BonusColumn = 7;
    static constexpr Rgb DrawNoColor = rgb(0, 0, 255);
    static constexpr Rgb BonusColor = rgb(255, 0, 0);
    static constexpr Rgb BonusBackColor = rgb(197, 255, 255);
    static constexpr Rgb WrongBackColor = rgb(255, 150, 150);

    explicit DrawTableModel(QObject *parent = nullptr);

    // Opens the database file and reads every stored draw.
    Status open(const std::filesystem::path &file);
    Database &database() { return m_db; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A refused draw number leaves the cell as it was and emits inputRefused.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    bool isStored(int row) const { return m_rows[std::size_t(row)].stored; }
    // Added or changed and not yet written.
    bool isPending(int row) const { return m_rows[std::size_t(row)].pending; }
    bool isWrong(int row, int column) const;
    bool hasWrongCell(int row) const;
    // Any row that is not yet saved or is wrong.
    bool hasUnsavedRows() const;
    bool hasWrongRows() const;
    // The first wrong number, row by row from the top and left to right; invalid when none.
    QModelIndex firstWrongCell() const;
    int drawNumber(int row) const;

    // Inserts an empty row below `row` (-1: at the top) whose draw number is the lowest unused
    // one above that row's; returns the new row.
    int insertDrawRow(int row);
    // Deletes the row and its record; a failed delete keeps the row.
    Status removeDrawRow(int row);
    // Writes a pending row that has no wrong number, in one transaction. A failed write keeps
    // the typed texts and the row stays pending.
    Status saveRow(int row);
    // Saves every pending row; stops at the first failure.
    Status saveAll();

signals:
    // Something the user typed was refused; the text says why.
    void inputRefused(const QString &message);
    // The set of unsaved or wrong rows may have changed.
    void unsavedRowsChanged(bool any);

private:
    struct Row
    {
        DrawRecord record; // as last written, keeping fields the grid does not show
        std::array<QString, ColumnCount> texts;
        bool stored = false;
        bool pending = false;
    };

    std::vector<int> drawNumbersExcept(int row) const;
    void rowChanged(int row);

    Database m_db;
    std::vector<Row> m_rows;
};

} // namespace loto6
