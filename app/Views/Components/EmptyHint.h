#pragma once

#include <QWidget>

namespace kestrove {

// What a list shows when it has nothing: a line of 12-point KS.textTertiary text, wrapped as
// needed, at the leading edge of a frame at least 44 points high, centred vertically.
class EmptyHint : public QWidget
{
public:
    explicit EmptyHint(const QString& text, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace kestrove
