#include "drawtablemodel.h"

#include "store/drawvalidation.h"

#include <QBrush>
#include <QColor>

namespace loto6 {

namespace {

QColor toColor(Rgb color) { return QColor(red(color), green(color), blue(color)); }

const char *const FieldNames[DrawTableModel::ColumnCount]
    = { "回数", "第1数字", "第2数字", "第3数字", "第4数字", "第5数字", "第6数字", "ボーナス数字" };

std::string toStd(const QString &text) { return text.toStdString(); }

} // namespace

DrawTableModel::DrawTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

Status DrawTableModel::open(const std::filesystem::path &file)
{
    std::vector<DrawRecord> draws;
    Status s = m_db.open(file);
    if (s)
        s = m_db.readDraws(draws);
    beginResetModel();
    m_rows.clear();
    for (DrawRecord &draw : draws) {
        Row row;
        row.texts[DrawNoColumn] = QString::number(draw.drawNo);
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            if (const auto &v = draw.fields[std::size_t(f)])
                row.texts[std::size_t(f + 1)] = QString::number(*v);
        row.record = std::move(draw);
        row.stored = true;
        m_rows.push_back(std::move(row));
    }
    endResetModel();
    emit unsavedRowsChanged(hasUnsavedRows());
    return s;
}

int DrawTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DrawTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool DrawTableModel::isWrong(int row, int column) const
{
    return column != DrawNoColumn
        && checkNumberText(toStd(m_rows[std::size_t(row)].texts[std::size_t(column)]))
        == NumberText::Wrong;
}

bool DrawTableModel::hasWrongCell(int row) const
{
    for (int c = 1; c < ColumnCount; ++c)
        if (isWrong(row, c))
            return true;
    return false;
}

bool DrawTableModel::hasUnsavedRows() const
{
    for (int r = 0; r < rowCount(); ++r)
        if (m_rows[std::size_t(r)].pending || hasWrongCell(r))
            return true;
    return false;
}

bool DrawTableModel::hasWrongRows() const { return firstWrongCell().isValid(); }

QModelIndex DrawTableModel::firstWrongCell() const
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 1; c < ColumnCount; ++c)
            if (isWrong(r, c))
                return index(r, c);
    return {};
}

int DrawTableModel::drawNumber(int row) const
{
    return parseDrawNumberText(toStd(m_rows[std::size_t(row)].texts[DrawNoColumn])).value_or(0);
}

QVariant DrawTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rows[std::size_t(r)].texts[std::size_t(c)];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ForegroundRole:
        if (c == DrawNoColumn)
            return QBrush(toColor(DrawNoColor));
        if (c == BonusColumn)
            return QBrush(toColor(BonusColor));
        return {};
    case Qt::BackgroundRole:
        if (isWrong(r, c))
            return QBrush(toColor(WrongBackColor));
        if (c == BonusColumn)
            return QBrush(toColor(BonusBackColor));
        return {};
    case Qt::ToolTipRole:
        if (isWrong(r, c))
            return tr("1～43の整数を入力してください。誤りのある行は保存されません。");
        return {};
    default:
        return {};
    }
}

QVariant DrawTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= ColumnCount)
            return {};
        // ボーナス数字 does not fit a column of width 7; the full name is in the tip.
        if (role == Qt::DisplayRole)
            return section == BonusColumn ? tr("ボーナス") : QString::fromUtf8(FieldNames[section]);
        if (role == Qt::ToolTipRole)
            return QString::fromUtf8(FieldNames[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < 0 || section >= rowCount())
        return {};
    // Unsaved rows carry a mark in their header; rows with a wrong number are red as well.
    switch (role) {
    case Qt::DisplayRole:
        return m_rows[std::size_t(section)].pending || hasWrongCell(section)
            ? QString::number(section + 1) + QLatin1Char('*')
            : QString::number(section + 1);
    case Qt::ForegroundRole:
        if (hasWrongCell(section))
            return QBrush(Qt::red);
        return {};
    case Qt::ToolTipRole:
        if (hasWrongCell(section))
            return tr("数字に誤りがあるため保存されていません");
        if (m_rows[std::size_t(section)].pending)
            return tr("まだ保存されていません");
        return {};
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

Qt::ItemFlags DrawTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // A stored draw keeps its number; a new one may change it until it is first written.
    if (index.column() != DrawNoColumn || !m_rows[std::size_t(index.row())].stored)
        f |= Qt::ItemIsEditable;
    return f;
}

std::vector<int> DrawTableModel::drawNumbersExcept(int row) const
{
    std::vector<int> used;
    used.reserve(m_rows.size());
    for (int r = 0; r < rowCount(); ++r)
        if (r != row)
            used.push_back(drawNumber(r));
    return used;
}

bool DrawTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)
        || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int r = index.row();
    Row &row = m_rows[std::size_t(r)];
    QString text = value.toString().trimmed();

    if (index.column() == DrawNoColumn) {
        switch (checkDrawNumberText(toStd(text), drawNumbersExcept(r))) {
        case DrawNumberText::NotWholeNumber:
            emit inputRefused(tr("回数には1以上の整数を入力してください。"));
            return false;
        case DrawNumberText::AlreadyUsed:
            emit inputRefused(tr("回数 %1 はすでに使われています。").arg(text));
            return false;
        case DrawNumberText::Valid:
            text = QString::number(*parseDrawNumberText(toStd(text)));
            break;
        }
    }
    if (row.texts[std::size_t(index.column())] == text)
        return true;
    row.texts[std::size_t(index.column())] = text;
    row.pending = true;
    rowChanged(r);
    return true;
}

void DrawTableModel::rowChanged(int row)
{
    // A wrong cell changes the look of the whole row's header, so the row is repainted whole.
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
    emit unsavedRowsChanged(hasUnsavedRows());
}

int DrawTableModel::insertDrawRow(int row)
{
    const int after = row >= 0 && row < rowCount() ? drawNumber(row) : 0;
    const int position = row >= 0 && row < rowCount() ? row + 1 : 0;
    Row fresh;
    fresh.texts[DrawNoColumn] = QString::number(nextFreeDrawNumber(after, drawNumbersExcept(-1)));
    fresh.pending = true;
    beginInsertRows({}, position, position);
    m_rows.insert(m_rows.begin() + position, std::move(fresh));
    endInsertRows();
    emit unsavedRowsChanged(true);
    return position;
}

Status DrawTableModel::removeDrawRow(int row)
{
    if (row < 0 || row >= rowCount())
        return Status::success();
    if (m_rows[std::size_t(row)].stored)
        if (Status s = m_db.deleteDraw(m_rows[std::size_t(row)].record.drawNo); !s)
            return s;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    emit unsavedRowsChanged(hasUnsavedRows());
    return Status::success();
}

Status DrawTableModel::saveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return Status::success();
    Row &r = m_rows[std::size_t(row)];
    if (!r.pending || hasWrongCell(row))
        return Status::success();
    DrawRecord record = r.record;
    record.drawNo = drawNumber(row);
    record.malformed = false;
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const auto v = parseNumberText(toStd(r.texts[std::size_t(f + 1)]));
        record.fields[std::size_t(f)] = v ? std::optional<long long>(*v) : std::nullopt;
    }
    if (Status s = m_db.saveDraw(record); !s)
        return s;
    r.record = std::move(record);
    r.stored = true;
    r.pending = false;
    rowChanged(row);
    return Status::success();
}

Status DrawTableModel::saveAll()
{
    // Stops at the first failure: a locked or read-only file refuses the others as well.
    for (int r = 0; r < rowCount(); ++r)
        if (Status s = saveRow(r); !s)
            return s;
    return Status::success();
}

} // namespace loto6
