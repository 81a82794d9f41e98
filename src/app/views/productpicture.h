#pragma once

#include <QWidget>

namespace loto6 {

// The product image of the About window, drawn by the program: six lottery balls circling a
// golden "6" on a night-blue ground.
class ProductPicture : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Size = 336;

    explicit ProductPicture(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace loto6
