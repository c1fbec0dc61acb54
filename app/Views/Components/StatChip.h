#pragma once

#include <QColor>
#include <QWidget>

namespace kestrove {

// A figure with its caption: the value (17 points bold, in `tint`) over the label (11 points,
// KS.textTertiary), each on one line, at least 84 points wide; no background of its own.
class StatChip : public QWidget
{
public:
    StatChip(const QString& label, const QString& value, const QColor& tint,
             QWidget* parent = nullptr);

    void setValue(const QString& value);

    const QString& label() const { return m_label; }
    const QString& value() const { return m_value; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_label;
    QString m_value;
    QColor m_tint;
};

} // namespace kestrove
