#include "entry/drawtablemodel.h"

#include "commands/corereasons.h"
#include "entry/storedchange.h"
#include "shell/dialogs.h"
#include "shell/uihelpers.h"
#include "store/drawsource.h"
#include "store/drawvalidation.h"
#include "store/guardedsave.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <array>
#include <string>

namespace loto6 {

namespace {

QColor toColor(Rgb color) { return QColor(red(color), green(color), blue(color)); }

const char *const FieldNames[DrawTableModel::ColumnCount] = {"回数", "第1数字", "第2数字",
    "第3数字", "第4数字", "第5数字", "第6数字", "ボーナス数字", "抽選日"};

std::string toStd(const QString &text) { return text.toStdString(); }

bool isNumberColumn(int column)
{
    return column >= DrawTableModel::FirstNumberColumn && column <= DrawTableModel::BonusColumn;
}

} // namespace

DrawTableModel::DrawTableModel(QWidget *window)
    : QAbstractTableModel(window)
    , m_window(window)
{
}

bool DrawTableModel::confirm(const QString &question) const
{
    return !m_window
        || dialogsOf(m_window).question(
            m_window, QString::fromUtf8(ProgramTitle), question, QMessageBox::Warning);
}

Status DrawTableModel::open(const std::filesystem::path &file)
{
    std::vector<DrawRecord> draws;
    Status s = m_db.open(file);
    if (s)
        s = m_db.readDraws(draws);
    beginResetModel();
    m_rows.clear();
    m_edits.clear();
    for (DrawRecord &draw : draws) {
        m_rows.push_back(storedRow(std::move(draw)));
        recheckRow(rowCount() - 1);
    }
    endResetModel();
    emit unsavedRowsChanged(hasUnsavedRows());
    return s;
}

DrawTableModel::Row DrawTableModel::storedRow(DrawRecord draw)
{
    Row row;
    row.texts[DrawNoColumn] = QString::number(draw.drawNo);
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        if (const auto &v = draw.fields[std::size_t(f)])
            row.texts[std::size_t(f + 1)] = QString::number(*v);
    row.texts[DateColumn] = QString::fromStdString(draw.date);
    row.record = std::move(draw);
    row.stored = true;
    return row;
}

int DrawTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DrawTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString DrawTableModel::drawName(int row) const
{
    return tr("第%1回").arg(m_rows[std::size_t(row)].texts[DrawNoColumn]);
}

DrawFields DrawTableModel::numberFields(int row) const
{
    DrawFields fields;
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        if (const auto v
            = parseNumberText(toStd(m_rows[std::size_t(row)].texts[std::size_t(f + 1)])))
            fields[std::size_t(f)] = *v;
    return fields;
}

Status DrawTableModel::numberCheck(int row, int column) const
{
    // The cell against the right cells before it, so that a repeat marks the later cell.
    const Row &r = m_rows[std::size_t(row)];
    const int field = column - 1;
    std::array<std::string, DrawRecord::FieldCount> texts{};
    for (int f = 0; f < field; ++f)
        if (std::string t = toStd(r.texts[std::size_t(f + 1)].trimmed());
            checkNumberText(t) == NumberText::Valid)
            texts[std::size_t(f)] = std::move(t);
    texts[std::size_t(field)] = toStd(r.texts[std::size_t(column)].trimmed());
    DrawFields fields;
    return readDrawFields(texts, DrawForm::Entry, 0, fields);
}

QString DrawTableModel::numberProblem(int row, int column) const
{
    // Checked for every cell on every change: the text is built only for a wrong cell.
    const Status check = numberCheck(row, column);
    return check ? QString() : drawName(row) + QLatin1Char(' ') + CoreReasons::japanese(check);
}

int DrawTableModel::previousDatedRow(int row) const
{
    const int no = drawNumber(row);
    int best = -1;
    for (int r = 0; r < rowCount(); ++r) {
        const int other = drawNumber(r);
        if (other < no && (best < 0 || other > drawNumber(best))
            && parseDrawDate(toStd(m_rows[std::size_t(r)].texts[DateColumn])))
            best = r;
    }
    return best;
}

QString DrawTableModel::dateProblem(int row) const
{
    // Stored dates are shown as they are; only what is typed is checked.
    const Row &r = m_rows[std::size_t(row)];
    const QString text = r.texts[DateColumn].trimmed();
    if (!r.pending || text.isEmpty())
        return {};
    const QString where
        = drawName(row) + QLatin1Char(' ') + QString::fromUtf8(FieldNames[DateColumn]);
    const auto date = parseDrawDate(toStd(text));
    if (!date)
        return tr("%1: %2 は日付ではありません（例 2026-12-07）").arg(where, text);
    if (const int previous = previousDatedRow(row); previous >= 0) {
        const QString before = m_rows[std::size_t(previous)].texts[DateColumn];
        if (*date < *parseDrawDate(toStd(before)))
            return tr("%1: %2 は前の%3の抽選日 %4 より前です")
                .arg(where, text, drawName(previous), before);
    }
    return {};
}

QString DrawTableModel::problemText(int row, int column) const
{
    if (isNumberColumn(column))
        return numberProblem(row, column);
    if (column == DateColumn)
        return dateProblem(row);
    return {};
}

bool DrawTableModel::isWrong(int row, int column) const
{
    return m_rows[std::size_t(row)].wrong[std::size_t(column)];
}

void DrawTableModel::recheckRow(int row)
{
    Row &r = m_rows[std::size_t(row)];
    for (int c = 0; c < ColumnCount; ++c)
        r.wrong[std::size_t(c)] = !problemText(row, c).isEmpty();
}

void DrawTableModel::recheckPendingRows()
{
    for (int r = 0; r < rowCount(); ++r)
        if (m_rows[std::size_t(r)].pending)
            recheckRow(r);
}

bool DrawTableModel::hasWrongCell(int row) const
{
    for (int c = FirstNumberColumn; c < ColumnCount; ++c)
        if (isWrong(row, c))
            return true;
    return false;
}

bool DrawTableModel::isIncomplete(int row) const
{
    const Row &r = m_rows[std::size_t(row)];
    return r.pending
        && std::any_of(r.texts.begin() + FirstNumberColumn, r.texts.begin() + BonusColumn + 1,
            [](const QString &t) { return t.trimmed().isEmpty(); });
}

bool DrawTableModel::hasUnsavedRows() const
{
    for (int r = 0; r < rowCount(); ++r)
        if (m_rows[std::size_t(r)].pending || hasWrongCell(r))
            return true;
    return false;
}

bool DrawTableModel::hasWrongRows() const { return firstWrongCell().isValid(); }

bool DrawTableModel::hasIncompleteRows() const
{
    for (int r = 0; r < rowCount(); ++r)
        if (isIncomplete(r))
            return true;
    return false;
}

QModelIndex DrawTableModel::firstWrongCell() const
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = FirstNumberColumn; c < ColumnCount; ++c)
            if (isWrong(r, c))
                return index(r, c);
    return {};
}

int DrawTableModel::drawNumber(int row) const
{
    return parseDrawNumberText(toStd(m_rows[std::size_t(row)].texts[DrawNoColumn])).value_or(0);
}

int DrawTableModel::latestRow() const
{
    int latest = -1;
    for (int r = 0; r < rowCount(); ++r)
        if (latest < 0 || drawNumber(r) > drawNumber(latest))
            latest = r;
    return latest;
}

QString DrawTableModel::sourceTip(int row) const
{
    const Row &r = m_rows[std::size_t(row)];
    std::vector<DrawSource> sources;
    if (!r.stored || !readSources(m_db, r.record.drawNo, sources) || sources.empty())
        return {};
    QStringList lines{tr("%1の取得元").arg(drawName(row))};
    for (const DrawSource &source : sources) {
        const QString name = QString::fromStdString(source.name);
        QString origin;
        switch (source.kind) {
        case DrawSource::Kind::Bundled:
            origin = tr("同梱の履歴 %1").arg(name).trimmed();
            break;
        case DrawSource::Kind::File:
            origin = tr("ファイル %1").arg(name);
            break;
        case DrawSource::Kind::Address:
            origin = tr("アドレス %1").arg(name);
            break;
        case DrawSource::Kind::EntryWindow:
            origin = tr("当選データ入力");
            break;
        case DrawSource::Kind::AddCommand:
            origin = tr("コマンドラインの add");
            break;
        }
        QString change;
        switch (source.change) {
        case DrawSource::Change::Added:
            change = tr("追加");
            break;
        case DrawSource::Change::Filled:
            change = tr("抽選日・払戻金を補完");
            break;
        case DrawSource::Change::Replaced:
            change = tr("別の数字で置き換え");
            break;
        case DrawSource::Change::Saved:
            change = tr("保存");
            break;
        }
        lines.append(tr("%1: %2（%3）").arg(QString::fromStdString(source.when), origin, change));
    }
    return lines.join(QLatin1Char('\n'));
}

QVariant DrawTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int r = index.row();
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        // An unsaved row carries a mark after its 回数.
        if (c == DrawNoColumn && (m_rows[std::size_t(r)].pending || hasWrongCell(r)))
            return m_rows[std::size_t(r)].texts[DrawNoColumn] + QLatin1Char('*');
        return m_rows[std::size_t(r)].texts[std::size_t(c)];
    case Qt::EditRole:
        return m_rows[std::size_t(r)].texts[std::size_t(c)];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ForegroundRole:
        if (c == DrawNoColumn)
            return QBrush(hasWrongCell(r) ? QColor(Qt::red) : toColor(DrawNoColor));
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
        if (c == DrawNoColumn) {
            QStringList lines{rowStateTip(r), sourceTip(r)};
            lines.removeAll(QString());
            return lines.join(QLatin1Char('\n'));
        }
        if (const QString problem = problemText(r, c); !problem.isEmpty())
            return problem + tr("。誤りのある行は保存されません。");
        if (isIncomplete(r))
            return tr("%1は7つの数字がそろうまで保存されません。").arg(drawName(r));
        return {};
    default:
        return {};
    }
}

QVariant DrawTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The rows have no header of their own: 回数 names them.
    if (orientation == Qt::Horizontal && section >= 0 && section < ColumnCount) {
        // ボーナス数字 does not fit a column of width 7; the full name is in the tip.
        if (role == Qt::DisplayRole)
            return section == BonusColumn ? tr("ボーナス") : QString::fromUtf8(FieldNames[section]);
        if (role == Qt::ToolTipRole)
            return QString::fromUtf8(FieldNames[section]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

QString DrawTableModel::rowStateTip(int row) const
{
    if (hasWrongCell(row))
        return tr("数字に誤りがあるため保存されていません");
    if (isIncomplete(row))
        return tr("7つの数字がそろうまで保存されません");
    if (m_rows[std::size_t(row)].pending)
        return tr("まだ保存されていません");
    return {};
}

Qt::ItemFlags DrawTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // A stored draw keeps its number; a new one may change it until it is first written.
    if (!m_readOnly && (index.column() != DrawNoColumn || !m_rows[std::size_t(index.row())].stored))
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

int DrawTableModel::latestDrawNumberExcept(int row) const
{
    const std::vector<int> used = drawNumbersExcept(row);
    return used.empty() ? 0 : *std::max_element(used.begin(), used.end());
}

bool DrawTableModel::confirmDrawNumber(int row, int drawNo)
{
    // drawNo - 1 rather than latest + 1: no overflow at the limit.
    const int latest = latestDrawNumberExcept(row);
    if (drawNo - 1 == latest)
        return true;
    return confirm(
        tr("第%1回は最新の第%2回から離れています。よろしいですか？").arg(drawNo).arg(latest));
}

bool DrawTableModel::confirmChange(int row)
{
    Row &r = m_rows[std::size_t(row)];
    if (!r.stored || !r.record.isComplete() || r.changeConfirmed)
        return true;
    r.changeConfirmed
        = confirm(tr("第%1回の当選数字を変更します。よろしいですか？").arg(r.record.drawNo));
    return r.changeConfirmed;
}

bool DrawTableModel::setDrawNumber(int row, QString &text)
{
    switch (checkDrawNumberText(toStd(text), drawNumbersExcept(row))) {
    case DrawNumberText::NotWholeNumber:
        emit inputRefused(tr("回数には1から%1までの整数を入力してください。").arg(MaxDrawNumber));
        return false;
    case DrawNumberText::TooLarge:
        emit inputRefused(tr("回数が大きすぎます。回数は%1までです。").arg(MaxDrawNumber));
        return false;
    case DrawNumberText::AlreadyUsed:
        emit inputRefused(tr("回数 %1 はすでに使われています。").arg(text));
        return false;
    case DrawNumberText::Valid:
        break;
    }
    const int no = *parseDrawNumberText(toStd(text));
    text = QString::number(no);
    return no == drawNumber(row) || confirmDrawNumber(row, no);
}

bool DrawTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)
        || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int r = index.row();
    const int c = index.column();
    QString text = value.toString().trimmed();
    if (c == DrawNoColumn && !setDrawNumber(r, text))
        return false;
    if (isNumberColumn(c))
        if (const auto v = parseNumberText(toStd(text)))
            text = QString::number(*v);
    if (c == DateColumn)
        if (const auto date = parseDrawDate(toStd(text)))
            text = QString::fromStdString(*date);
    Row &row = m_rows[std::size_t(r)];
    if (row.texts[std::size_t(c)] == text)
        return true;
    if (isNumberColumn(c) && !confirmChange(r)) {
        emit dataChanged(index, index); // the view shows the old value again
        return false;
    }
    if (!m_undoing) {
        if (m_edits.size() == MaxUndo)
            m_edits.erase(m_edits.begin());
        m_edits.push_back({r, c, row.texts[std::size_t(c)]});
    }
    row.texts[std::size_t(c)] = text;
    row.pending = true;
    recheckRow(r);
    recheckPendingRows();
    rowChanged(r);
    return true;
}

QModelIndex DrawTableModel::undoLastEdit()
{
    if (m_edits.empty())
        return {};
    const Edit edit = m_edits.back();
    m_edits.pop_back();
    const QModelIndex cell = index(edit.row, edit.column);
    m_undoing = true;
    setData(cell, edit.before, Qt::EditRole);
    m_undoing = false;
    return cell;
}

void DrawTableModel::rowChanged(int row)
{
    // A wrong cell changes the look of the whole row's header, so the row is repainted whole.
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit unsavedRowsChanged(hasUnsavedRows());
}

int DrawTableModel::insertDrawRow(int row)
{
    if (m_readOnly)
        return -1;
    const int latest = latestRow();
    const int latestNo = latest >= 0 ? drawNumber(latest) : 0;
    if (latestNo >= MaxDrawNumber) {
        emit inputRefused(
            tr("回数が上限の%1に達しているため、行を追加できません。").arg(MaxDrawNumber));
        return -1;
    }
    const int position = row >= 0 && row < rowCount() ? row + 1 : rowCount();
    Row fresh;
    fresh.texts[DrawNoColumn] = QString::number(latestNo + 1);
    if (latest >= 0)
        fresh.texts[DateColumn] = QString::fromStdString(
            nextDrawDay(toStd(m_rows[std::size_t(latest)].texts[DateColumn])));
    fresh.pending = true;
    // A row put between others moves the rows of the edits kept.
    if (position < rowCount())
        m_edits.clear();
    beginInsertRows({}, position, position);
    m_rows.insert(m_rows.begin() + position, std::move(fresh));
    recheckRow(position);
    endInsertRows();
    emit unsavedRowsChanged(true);
    return position;
}

Status DrawTableModel::removeDrawRow(int row)
{
    if (row < 0 || row >= rowCount() || m_readOnly)
        return Status::success();
    if (m_rows[std::size_t(row)].stored) {
        if (Status s = m_db.deleteDraw(m_rows[std::size_t(row)].record.drawNo); !s)
            return s;
        m_savedChanges = true;
        emit drawsWritten();
    }
    m_edits.clear();
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    recheckPendingRows();
    emit unsavedRowsChanged(hasUnsavedRows());
    return Status::success();
}

Status DrawTableModel::saveRow(int row)
{
    if (row < 0 || row >= rowCount() || m_readOnly)
        return Status::success();
    Row &r = m_rows[std::size_t(row)];
    if (!r.pending || hasWrongCell(row) || isIncomplete(row))
        return Status::success();
    DrawRecord record = r.record;
    record.drawNo = drawNumber(row);
    record.malformed = false;
    record.fields = numberFields(row);
    record.date = parseDrawDate(toStd(r.texts[DateColumn])).value_or(std::string());
    // Another program may have added, changed or deleted the draw since the grid showed it:
    // it is overwritten only when the user agrees, having seen both.
    const std::optional<DrawRecord> shown
        = r.stored ? std::optional<DrawRecord>(r.record) : std::nullopt;
    std::optional<DrawRecord> seen = shown;
    for (GuardedSave outcome; !outcome.saved; seen = outcome.stored) {
        if (Status s = saveDrawIfUnchanged(m_db, record, seen, outcome); !s)
            return s;
        if (!outcome.saved && !confirm(changedElsewhereQuestion(record, shown, outcome.stored))) {
            takeStoredDraw(row, outcome.stored);
            return Status::success();
        }
    }
    r.record = std::move(record);
    r.stored = true;
    r.pending = false;
    r.changeConfirmed = false;
    m_savedChanges = true;
    recheckRow(row);
    rowChanged(row);
    emit drawsWritten();
    return Status::success();
}

void DrawTableModel::dropRow(int row)
{
    m_edits.clear();
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    recheckPendingRows();
    emit unsavedRowsChanged(hasUnsavedRows());
}

void DrawTableModel::takeStoredDraw(int row, const std::optional<DrawRecord> &stored)
{
    m_savedChanges = true; // the history differs from what the main window read
    if (!stored) {
        dropRow(row);
        return;
    }
    m_rows[std::size_t(row)] = storedRow(*stored);
    recheckRow(row);
    recheckPendingRows();
    rowChanged(row);
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
