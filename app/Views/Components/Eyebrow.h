#pragma once

#include <QColor>
#include <QWidget>

namespace kestrove {

// A small caption above a figure or a list: its text in capitals, 10.5 points semibold with
// 1.4 points of tracking, in the given colour.
class Eyebrow : public QWidget
{
public:
    Eyebrow(const QString& text, const QColor& color, QWidget* parent = nullptr);

    void setText(const QString& text);
    // What is drawn: the text in capitals, whatever the user's locale.
    QString shownText() const { return m_shown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_shown;
    QColor m_color;
};

} // namespace kestrove
