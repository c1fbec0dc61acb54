#include "Views/Components/SectionHeader.h"

#include "Views/Theme.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace kestrove {

namespace {

constexpr int kSpacing = 8;

QFont titleFont()
{
    return uiFont(14, QFont::DemiBold);
}

QFont trailingFont()
{
    return uiFont(12);
}

} // namespace

SectionHeader::SectionHeader(const QString& title, std::optional<QString> trailing, QWidget* parent)
    : QWidget(parent), m_title(title), m_trailing(std::move(trailing))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SectionHeader::sizeHint() const
{
    const QFontMetrics title(titleFont());
    int width = title.horizontalAdvance(m_title);
    int ascent = title.ascent();
    int descent = title.descent();
    if (m_trailing) {
        const QFontMetrics trailing(trailingFont());
        width += kSpacing + trailing.horizontalAdvance(*m_trailing);
        ascent = std::max(ascent, trailing.ascent());
        descent = std::max(descent, trailing.descent());
    }
    return {width, ascent + descent};
}

QSize SectionHeader::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

void SectionHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics title(titleFont());
    int baseline = title.ascent();
    int titleRoom = width();
    if (m_trailing) {
        const QFontMetrics trailing(trailingFont());
        baseline = std::max(baseline, trailing.ascent());
        const int trailingWidth = trailing.horizontalAdvance(*m_trailing);
        painter.setFont(trailingFont());
        painter.setPen(KS::textTertiary());
        painter.drawText(width() - trailingWidth, baseline, *m_trailing);
        titleRoom = std::max(0, width() - trailingWidth - kSpacing);
    }
    painter.setFont(titleFont());
    painter.setPen(KS::text());
    painter.drawText(0, baseline, title.elidedText(m_title, Qt::ElideRight, titleRoom));
}

} // namespace kestrove
