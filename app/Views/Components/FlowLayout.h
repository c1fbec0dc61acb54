#pragma once

#include <QLayout>
#include <QList>

namespace kestrove {

// Lays out small widgets (chips) in rows, left to right, wrapping onto a new row when the
// next one would pass the right edge. Every item keeps its own size hint; the gap between
// items and between rows is `spacing`. Its height follows its width.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(int spacing, QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    int spacing() const override { return m_spacing; }
    void setSpacing(int spacing) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // Everything on one row.
    QSize sizeHint() const override;
    // The widest item: narrower than that, an item would stick out.
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    QList<QLayoutItem*> m_items;
    int m_spacing;
};

} // namespace kestrove
