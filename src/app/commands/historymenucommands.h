#pragma once

#include "store/historyupdater.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

namespace loto6 {

class MainFrm;

// The commands of the データ管理 menu that change or copy the draw database as a whole: the
// update by download, the CSV import and the CSV export. Each reports in a message box; after a
// successful update or import the main window reloads the history and every open window.
class HistoryCommands : public QObject
{
    Q_OBJECT

public:
    // Wires the update, CSV import and CSV export commands of the frame.
    explicit HistoryCommands(MainFrm &frame);

    // Where update.conf is looked for; the program folder unless set.
    void setProgramFolder(std::filesystem::path folder) { m_programFolder = std::move(folder); }

    void updateHistory();
    void importCsv();
    // Imports the files as CSVから取り込み does once they are chosen (files dropped on the
    // main window), each named by the exact bytes of its name.
    void importFiles(const std::vector<std::filesystem::path> &files);
    void exportCsv();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Refuses, with a message, while no database is open.
    bool databaseFree();
    // With the entry window open: writes its finished rows, and when a row is still half-typed
    // brings the window forward and asks, showing the row, whether to run `command` anyway
    // (the row stays as typed either way). True to run.
    bool entryLetsRun(const QString &command);
    // After a command wrote the database: the open entry window reads it again.
    void rereadEntry();
    // Runs the update in the background under its progress dialog; cancelAsked tells whether
    // the user pressed キャンセル.
    UpdateResult runUpdate(
        const std::vector<std::string> &sources, bool allowLoss, bool &cancelAsked);
    void reportUpdate(const UpdateResult &result, bool cancelAsked);
    void reportImport(const MergeReport &report, const IncomingHistory &incoming, bool cancelAsked);
    std::filesystem::path databaseFile() const;
    void inform(const QString &text);
    void fail(const QString &text);
    // A yes-or-no question through the main window's dialogs.
    bool ask(const QString &text);

    MainFrm &m_frame;
    std::filesystem::path m_programFolder;
};

} // namespace loto6
