#pragma once
// A picture component: shows its picture as it is, at (0, 0), whether the
// component is enabled or not. A locked table keeps its board as it was,
// where a label would wash a disabled picture out (and recompute the washed
// picture at every paint).
#include <QPixmap>
#include <QWidget>

class ImageFixe : public QWidget {
public:
    explicit ImageFixe(QWidget *parent = nullptr);

    void setPixmap(const QPixmap &p);
    const QPixmap &pixmap() const { return image; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPixmap image;
};
