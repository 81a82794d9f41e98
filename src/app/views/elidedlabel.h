#pragma once

#include <QFrame>
#include <QString>

namespace loto6 {

// A description line that wraps onto at most a few lines and, when even those are too narrow,
// ends in "…" with the full text in its tooltip, instead of wrapping to one character a line.
class ElidedLabel : public QFrame
{
    Q_OBJECT

public:
    explicit ElidedLabel(const QString &text, int maxLines = 2, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    bool isElided() const { return m_elided; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The lines the text takes at this width, the last one elided to fit maxLines.
    QStringList layoutLines(int width, bool *elided = nullptr) const;

    QString m_text;
    int m_maxLines;
    bool m_elided = false;
};

} // namespace loto6
