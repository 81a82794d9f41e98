#include "views/sheetmodel.h"

#include <QBrush>

namespace loto6 {

SheetModel::SheetModel(Sheet sheet, QObject *parent)
    : QAbstractTableModel(parent)
    , m_sheet(std::move(sheet))
{
}

int SheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_sheet.rows();
}

int SheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_sheet.columns();
}

Qt::Alignment SheetModel::alignment(const Cell &cell)
{
    Qt::Alignment a;
    switch (cell.hAlign) {
    case HAlign::Left:
        a = Qt::AlignLeft;
        break;
    case HAlign::Center:
        a = Qt::AlignHCenter;
        break;
    case HAlign::Right:
        a = Qt::AlignRight;
        break;
    }
    switch (cell.vAlign) {
    case VAlign::Top:
        a |= Qt::AlignTop;
        break;
    case VAlign::Center:
        a |= Qt::AlignVCenter;
        break;
    case VAlign::Bottom:
        a |= Qt::AlignBottom;
        break;
    }
    return a;
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Cell cell = cellAt(index);
    switch (role) {
    case Qt::DisplayRole:
        if (cell.text.empty())
            return {};
        return QString::fromUtf8(cell.text.data(), static_cast<qsizetype>(cell.text.size()));
    case Qt::BackgroundRole:
        // Unset backgrounds stay with the view so that a window's default shows through.
        if (!cell.bgSet)
            return {};
        return QBrush(toColor(cell.bg));
    case Qt::ForegroundRole:
        return QBrush(toColor(cell.fg));
    case Qt::TextAlignmentRole:
        return static_cast<int>(alignment(cell));
    default:
        return {};
    }
}

Qt::ItemFlags SheetModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace loto6
