#pragma once

#include <QTextBrowser>

namespace loto6 {

// The help viewer: the program's HTML help document in a window of its own, opened at a topic.
class HelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpWindow(const QString &file, QWidget *parent = nullptr);

    // Places the viewer beside the main window (its outer geometry), inside the screen and
    // below the main window's menu bar.
    void placeBeside(const QRect &mainFrame);
    // Scrolls to the section whose anchor is topic.
    void showTopic(const QString &topic);
    const QString &topic() const { return m_topic; }

private:
    QString m_topic;
};

} // namespace loto6
