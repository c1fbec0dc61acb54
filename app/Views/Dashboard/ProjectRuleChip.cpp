#include "Views/Dashboard/ProjectRuleChip.h"

#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/Theme.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace kestrove {

namespace {

// A bare symbol that acts as a button, for the chip's cross.
class SymbolButton final : public QAbstractButton
{
public:
    SymbolButton(QString symbol, int size, QColor colour)
        : m_symbol(std::move(symbol)), m_size(size), m_colour(std::move(colour))
    {
        setCursor(Qt::PointingHandCursor);
        setFixedSize(m_size + 4, m_size + 4);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintSymbol(painter, m_symbol, QRectF(2, 2, m_size, m_size),
                    isDown() ? m_colour.lighter(140) : m_colour);
    }

private:
    QString m_symbol;
    int m_size;
    QColor m_colour;
};

} // namespace

ProjectRuleChip::ProjectRuleChip(const ProjectRule& rule, std::function<void()> onRemove,
                                 QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(6);
    QLabel* kind = pageText(
        QString::fromUtf8(rule.kindLabel().data(), static_cast<qsizetype>(rule.kindLabel().size())),
        10, QFont::DemiBold, KS::textTertiary());
    QFont font = kind->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    kind->setFont(font);
    row->addWidget(kind, 0, Qt::AlignVCenter);
    QLabel* value = pageText(QString::fromStdString(rule.value), 12, QFont::Medium, KS::text());
    value->setObjectName("ruleValue");
    row->addWidget(value, 0, Qt::AlignVCenter);
    if (onRemove) {
        auto* remove = new SymbolButton("xmark", 9, KS::textTertiary());
        remove->setObjectName("removeRule");
        remove->setToolTip("Remove");
        connect(remove, &QAbstractButton::clicked, this,
                [onRemove = std::move(onRemove)] { onRemove(); });
        row->addWidget(remove, 0, Qt::AlignVCenter);
    }
}

void ProjectRuleChip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(QRectF(rect())), KS::surface2());
}

} // namespace kestrove
