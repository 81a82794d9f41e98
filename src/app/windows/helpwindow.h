#pragma once

#include <QTextBrowser>

namespace loto6 {

// The help viewer: the program's HTML help document in a window of its own, opened at a topic.
class HelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpWindow(const QString &file, QWidget *parent = nullptr);

    // Scrolls to the section whose anchor is topic.
    void showTopic(const QString &topic);
};

} // namespace loto6
