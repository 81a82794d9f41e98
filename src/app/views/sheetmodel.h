#pragma once

#include "grid/sheet.h"

#include <QAbstractTableModel>
#include <QColor>

namespace loto6 {

// Read-only table model over a filled sheet; row r, column c of the model is cell (c + 1, r + 1).
class SheetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SheetModel(Sheet sheet, QObject *parent = nullptr);

    const Sheet &sheet() const { return m_sheet; }
    Cell cellAt(const QModelIndex &index) const
    {
        return m_sheet.cell(index.column() + 1, index.row() + 1);
    }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    static QColor toColor(Rgb color) { return QColor(red(color), green(color), blue(color)); }
    static Qt::Alignment alignment(const Cell &cell);

private:
    Sheet m_sheet;
};

} // namespace loto6
