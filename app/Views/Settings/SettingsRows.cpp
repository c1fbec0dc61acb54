#include "Views/Settings/SettingsRows.h"

#include "Views/Components/KSCard.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace kestrove {

namespace {

// The chips' small cross.
class CrossButton final : public QAbstractButton
{
public:
    CrossButton()
    {
        setCursor(Qt::PointingHandCursor);
        setFixedSize(12, 12);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintSymbol(painter, u"xmark", QRectF(2, 2, 8, 8), KS::textTertiary());
    }
};

QLabel* wrappedLabel(const QString& text, int size, QFont::Weight weight, const QColor& colour)
{
    QLabel* label = textLabel(text, size, weight, colour);
    label->setWordWrap(true);
    // Given more height than its lines need, the text stays under the title.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Its height follows its width; a plain size policy would drop that.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    label->setSizePolicy(policy);
    return label;
}

} // namespace

QVBoxLayout* columnLayout(QWidget* widget, int spacing)
{
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QHBoxLayout* rowLayout(QWidget* widget, int spacing)
{
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

void RoundedGround::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(KS::surface2());
    painter.drawPath(continuousRoundedRect(QRectF(rect()), m_radius));
}

QWidget* titleDetail(const QString& title, const QString& detail, QLabel** detailLabel)
{
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(textLabel(title, 13, QFont::DemiBold, KS::text()));
    QLabel* detailText = wrappedLabel(detail, 11, QFont::Normal, KS::textSecondary());
    column->addWidget(detailText);
    // A taller control leaves its extra room below the detail, not between the two texts.
    column->addStretch(1);
    if (detailLabel) {
        *detailLabel = detailText;
    }
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    return box;
}

QWidget* settingRow(const QString& title, const QString& detail, QWidget* control,
                    QLabel** detailLabel)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(titleDetail(title, detail, detailLabel), 1, Qt::AlignTop);
    layout->addWidget(control, 0, Qt::AlignTop | Qt::AlignRight);
    return row;
}

QWidget* settingsCard(QWidget* column)
{
    return ksCard(column, SettingsPage::kCardPadding);
}

SettingsSwitch::SettingsSwitch(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void SettingsSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(isChecked() ? Qt::NoPen : QPen(KS::border(), 1));
    painter.setBrush(isChecked() ? KS::deep() : QColor(255, 255, 255, 28));
    painter.drawPath(capsule(track));
    const qreal knob = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? KS::ink() : KS::textSecondary());
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}

SettingsMenu::SettingsMenu(const std::vector<std::string>& labels, int width, QWidget* parent)
    : QComboBox(parent)
{
    for (const std::string& label : labels) {
        addItem(QString::fromStdString(label));
    }
    setFixedWidth(width);
    setFont(uiFont(12));
    QObject::connect(this, &QComboBox::activated, this, [this](int index) {
        if (onChosen && index >= 0) {
            onChosen(static_cast<std::size_t>(index));
        }
    });
}

void SettingsMenu::select(std::optional<std::size_t> index)
{
    setCurrentIndex(index ? static_cast<int>(*index) : -1);
}

SettingsMenu* kindMenu(int width)
{
    std::vector<std::string> labels;
    for (const ContextKind kind : ContextKinds::assignable) {
        labels.emplace_back(displayName(kind));
    }
    return new SettingsMenu(labels, width);
}

std::optional<std::size_t> kindIndex(ContextKind kind)
{
    for (std::size_t i = 0; i < ContextKinds::assignable.size(); ++i) {
        if (ContextKinds::assignable[i] == kind) {
            return i;
        }
    }
    return std::nullopt;
}

RemovableChip::RemovableChip(const QString& label, std::optional<ContextKind> kind,
                             std::function<void()> onRemove, QWidget* parent)
    : QWidget(parent), m_label(label), m_remove(new CrossButton)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kind ? 22 : 9, 5, 9, 5);
    layout->setSpacing(6);
    QLabel* text = plainLabel(label);
    text->setFont(uiFont(11, QFont::Medium));
    layout->addWidget(text, 0, Qt::AlignVCenter);
    layout->addWidget(m_remove, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (kind) {
        setProperty("kind", static_cast<int>(*kind));
    }
    QObject::connect(m_remove, &QAbstractButton::clicked, this, [onRemove = std::move(onRemove)] {
        if (onRemove) {
            onRemove();
        }
    });
}

void RemovableChip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(KS::surface2());
    painter.drawPath(capsule(QRectF(rect())));
    const QVariant kind = property("kind");
    if (kind.isValid()) {
        painter.setBrush(KS::kindColor(static_cast<ContextKind>(kind.toInt())));
        painter.drawEllipse(QRectF(9, height() / 2.0 - 3, 6, 6));
    }
}

PermissionRowView::PermissionRowView(std::function<void()> action, QWidget* parent)
    : QWidget(parent), m_title(textLabel({}, 13, QFont::DemiBold, KS::text())),
      m_detail(wrappedLabel({}, 11, QFont::Normal, KS::textSecondary())),
      m_grant(new PillButton(QStringLiteral("Grant"), {})),
      m_on(textLabel(QStringLiteral("On"), 10, QFont::DemiBold, KS::success()))
{
    QFont onFont = uiFont(11, QFont::DemiBold);
    onFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    m_on->setFont(onFont);
    auto* layout = new QHBoxLayout(this);
    // The dot is painted in the left margin.
    layout->setContentsMargins(20, 0, 0, 0);
    layout->setSpacing(12);
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(m_title);
    column->addWidget(m_detail);
    layout->addLayout(column, 1);
    layout->addWidget(m_grant, 0, Qt::AlignTop);
    layout->addWidget(m_on, 0, Qt::AlignTop);
    QObject::connect(m_grant, &QAbstractButton::clicked, this, [action = std::move(action)] {
        if (action) {
            action();
        }
    });
}

void PermissionRowView::setRow(const PermissionRow& row)
{
    m_row = row;
    setPlainText(*m_title, QString::fromStdString(row.title));
    setPlainText(*m_detail, QString::fromStdString(row.detail));
    m_grant->setVisible(row.trailing() == PermissionRow::Trailing::grant);
    m_on->setVisible(row.trailing() == PermissionRow::Trailing::on);
    update();
}

bool PermissionRowView::showsOn() const
{
    return !m_on->isHidden();
}

void PermissionRowView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(!m_row.granted   ? KS::textTertiary()
                     : *m_row.granted ? KS::success()
                                      : KS::distraction());
    painter.drawEllipse(QRectF(0, 5, 8, 8));
}

} // namespace kestrove
