#pragma once

#include "shell/dialogs.h"

#include <QApplication>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// Answers every dialog in place of the user and records what was asked, for the tests of every
// window: put it in with MainFrm::setDialogs.
class RecordingDialogs : public loto6::Dialogs
{
public:
    // The boxes shown, in order; yes-or-no questions too unless questionsApart is set.
    QList<Message> messages;
    bool questionsApart = false;
    // The texts of the yes-or-no questions, in order, and how many came under the hourglass
    // (which must never happen).
    QStringList questions;
    int busyQuestions = 0;
    // The answers to the questions, in order; `answer` once they are used up.
    QList<QMessageBox::StandardButton> answers;
    QMessageBox::StandardButton answer = QMessageBox::No;
    // Answers some boxes itself, unrecorded (nothing: record and answer as above).
    std::function<std::optional<QMessageBox::StandardButton>(const Message &)> intercept;

    // The file dialogs shown, in order, and the answer to every one.
    struct FileQuestion
    {
        FileDialog kind;
        QString caption;
        QString suggestion;
        QString filter;
    };
    QList<FileQuestion> files;
    QString chosenFile;
    // The labels of the number questions, in order; their answers in order, then `number`.
    QStringList numberQuestions;
    QList<int> numbers;
    std::optional<int> number;
    int popups = 0;

    static std::shared_ptr<RecordingDialogs> make() { return std::make_shared<RecordingDialogs>(); }

    QMessageBox::StandardButton message(QWidget *, const Message &m) override
    {
        if (intercept)
            if (const auto handled = intercept(m))
                return *handled;
        const bool isQuestion = (m.buttons & QMessageBox::Yes) != 0;
        if (!isQuestion || !questionsApart)
            messages.append(m);
        if (!isQuestion)
            return QMessageBox::Ok;
        questions.append(m.text);
        busyQuestions += QApplication::overrideCursor() ? 1 : 0;
        return answers.isEmpty() ? answer : answers.takeFirst();
    }
    QString chooseFile(QWidget *, FileDialog kind, const QString &caption,
        const QString &suggestion, const QString &filter) override
    {
        files.append({kind, caption, suggestion, filter});
        return chosenFile;
    }
    std::optional<int> askNumber(
        QWidget *, const QString &, const QString &label, int, int, int) override
    {
        numberQuestions.append(label);
        return numbers.isEmpty() ? number : std::optional<int>(numbers.takeFirst());
    }
    void popup(QMenu *, const QPoint &) override { ++popups; }
};

// A stand-in that also adds the text of every box to a list the test keeps.
inline std::shared_ptr<RecordingDialogs> recordTexts(QStringList &texts)
{
    auto dialogs = RecordingDialogs::make();
    dialogs->intercept = [&texts](const loto6::Dialogs::Message &m) {
        texts << m.text;
        return std::optional<QMessageBox::StandardButton>();
    };
    return dialogs;
}
