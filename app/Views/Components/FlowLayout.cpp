#include "Views/Components/FlowLayout.h"

#include "ViewLogic/Design/FlowPlacement.h"

#include <QWidget>

namespace kestrove {

namespace {

// Hidden widgets take no place in the rows.
std::vector<FlowSize> itemSizes(const QList<QLayoutItem*>& items, std::vector<int>* shown)
{
    std::vector<FlowSize> sizes;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isEmpty()) {
            continue;
        }
        const QSize hint = items[i]->sizeHint();
        sizes.push_back({hint.width(), hint.height()});
        if (shown) {
            shown->push_back(i);
        }
    }
    return sizes;
}

int horizontalMargins(const QMargins& margins)
{
    return margins.left() + margins.right();
}

int verticalMargins(const QMargins& margins)
{
    return margins.top() + margins.bottom();
}

} // namespace

FlowLayout::FlowLayout(int spacing, QWidget* parent) : QLayout(parent), m_spacing(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    qDeleteAll(m_items);
}

void FlowLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
}

int FlowLayout::count() const
{
    return static_cast<int>(m_items.size());
}

QLayoutItem* FlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem* FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size()) {
        return nullptr;
    }
    return m_items.takeAt(index);
}

void FlowLayout::setSpacing(int spacing)
{
    m_spacing = spacing;
    invalidate();
}

int FlowLayout::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    const int available = std::max(0, width - horizontalMargins(margins));
    return placeFlow(itemSizes(m_items, nullptr), m_spacing, available).height +
           verticalMargins(margins);
}

QSize FlowLayout::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const FlowPlacement row = placeFlow(itemSizes(m_items, nullptr), m_spacing, std::nullopt);
    return {row.width + horizontalMargins(margins), row.height + verticalMargins(margins)};
}

QSize FlowLayout::minimumSize() const
{
    QSize widest;
    for (const QLayoutItem* item : m_items) {
        if (!item->isEmpty()) {
            widest = widest.expandedTo(item->sizeHint());
        }
    }
    const QMargins margins = contentsMargins();
    return widest + QSize(horizontalMargins(margins), verticalMargins(margins));
}

void FlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const QRect area = rect.marginsRemoved(contentsMargins());
    std::vector<int> shown;
    const std::vector<FlowSize> sizes = itemSizes(m_items, &shown);
    const FlowPlacement placement = placeFlow(sizes, m_spacing, area.width());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const FlowPoint at = placement.positions[i];
        m_items[shown[i]]->setGeometry(
            QRect(area.topLeft() + QPoint(at.x, at.y), QSize(sizes[i].width, sizes[i].height)));
    }
}

} // namespace kestrove
