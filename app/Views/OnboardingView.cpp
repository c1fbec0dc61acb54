#include "Views/OnboardingView.h"

#include "Engine/SessionEngine.h"
#include "Platform/Preferences.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/Shapes.h"
#include "Views/Lockdown/OverlayParts.h"
#include "Views/Shell/PopoverParts.h"
#include "Views/Theme.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kStepCount = 3;
constexpr int kDotSize = 6;
constexpr int kContentWidth = 340;

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// A goal choice: a pill in the deep gradient when it is the current goal, plain otherwise.
class GoalButton final : public QAbstractButton
{
public:
    explicit GoalButton(const QString& label)
    {
        setText(label);
        setCursor(Qt::PointingHandCursor);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    void setHighlighted(bool highlighted)
    {
        if (highlighted != m_highlighted) {
            m_highlighted = highlighted;
            update();
        }
    }
    bool isHighlighted() const { return m_highlighted; }

    QSize sizeHint() const override { return PillButtonStyle{}.sizeFor(QStringLiteral("88h")); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        PillButtonStyle{m_highlighted}.paint(painter, rect(), text(), isDown());
    }

private:
    bool m_highlighted = false;
};

// The three dots above the steps: lit up to the current one.
class StepDots final : public QWidget
{
public:
    explicit StepDots(const OnboardingModel& model) : m_model(model)
    {
        setFixedSize(kStepCount * kDotSize + (kStepCount - 1) * 6, kDotSize);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < kStepCount; ++i) {
            QColor colour = KS::textSecondary();
            if (m_model.isDotLit(i)) {
                colour = KS::deep();
            } else {
                colour.setAlphaF(0.3f);
            }
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(i * (kDotSize + 6), 0, kDotSize, kDotSize));
        }
    }

private:
    const OnboardingModel& m_model;
};

// A rounded box on a faint fill, around the permission row and the list of what is recorded.
QWidget* box(QLayout* content)
{
    struct Box : QWidget
    {
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            QColor fill(Qt::white);
            fill.setAlphaF(0.05f);
            painter.fillPath(continuousRoundedRect(rect(), 8), fill);
        }
    };
    auto* widget = new Box;
    content->setContentsMargins(12, 12, 12, 12);
    widget->setLayout(content);
    return widget;
}

QLabel* wrapped(const QString& text, int size, QFont::Weight weight, const QColor& colour,
                Qt::Alignment alignment = Qt::AlignLeft)
{
    QLabel* label = textLabel(text, size, weight, colour);
    label->setWordWrap(true);
    label->setAlignment(alignment);
    return label;
}

// A wrapping text of a known width, as high as its lines need there.
void fixWidth(QLabel& label, int width)
{
    label.setFixedWidth(width);
    label.setFixedHeight(label.heightForWidth(width));
}

QWidget* centred(std::initializer_list<QWidget*> widgets, int spacing)
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    // A shorter step sits in the middle of the room the tallest one takes.
    layout->addStretch();
    for (QWidget* widget : widgets) {
        layout->addWidget(widget, 0, Qt::AlignHCenter);
    }
    layout->addStretch();
    return column;
}

} // namespace

OnboardingView::OnboardingView(SessionEngine& engine, std::function<void()> onStart,
                               QWidget* parent)
    : QWidget(parent), m_engine(engine), m_onStart(std::move(onStart)), m_timer(new QTimer(this))
{
    setFixedWidth(OnboardingModel::kWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 24, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new StepDots(m_model), 0, Qt::AlignHCenter);
    layout->addStretch();

    m_steps = new QStackedWidget;
    m_steps->addWidget(buildPermissions());
    m_steps->addWidget(buildGoal());
    m_steps->addWidget(buildDone());
    auto* steps = new QHBoxLayout;
    steps->setContentsMargins(40, 0, 40, 0);
    steps->addWidget(m_steps);
    layout->addLayout(steps);
    layout->addStretch();

    auto* navigation = new QHBoxLayout;
    navigation->setContentsMargins(32, 16, 32, 28);
    m_back = new PlainButton({}, "Back", uiFont(13), KS::textSecondary());
    connect(m_back, &QAbstractButton::clicked, this, &OnboardingView::goBack);
    navigation->addWidget(m_back);
    navigation->addStretch();
    m_primary = new PillButton("Continue", PillButtonStyle{true});
    connect(m_primary, &QAbstractButton::clicked, this, &OnboardingView::goOn);
    navigation->addWidget(m_primary);
    layout->addLayout(navigation);

    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &OnboardingView::refresh);
    refresh();
    // The steps' texts wrap; where the desktop's font runs taller the window grows rather
    // than cutting lines off.
    setFixedHeight(std::max(OnboardingModel::kHeight, layout->minimumSize().height()));
}

OnboardingView::~OnboardingView() = default;

QWidget* OnboardingView::buildPermissions()
{
    auto* title = textLabel("Kestrove", 32, QFont::Black, KS::text());
    auto* tagline = wrapped(qt(OnboardingModel::tagline()), 13, QFont::Normal, KS::textSecondary(),
                            Qt::AlignHCenter);

    auto* row = new QHBoxLayout;
    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(textLabel("Accessibility", 12, QFont::Bold, KS::text()));
    auto* detail = wrapped("Reads window titles so time lands on the right project", 11,
                           QFont::Normal, KS::textSecondary());
    // The box's inner width less room for "Granted" or "Grant".
    fixWidth(*detail, kContentWidth - 24 - 100);
    text->addWidget(detail);
    row->addLayout(text);
    row->addStretch(1);
    m_granted = new QWidget;
    auto* granted = new QHBoxLayout(m_granted);
    granted->setContentsMargins(0, 0, 0, 0);
    granted->setSpacing(4);
    granted->addWidget(new SymbolView("checkmark.circle.fill", 12, KS::success()));
    granted->addWidget(textLabel("Granted", 11, QFont::Bold, KS::success()));
    row->addWidget(m_granted, 0, Qt::AlignVCenter);
    m_grant = new PillButton("Grant", PillButtonStyle{false});
    // Nothing to ask the user for: the display is read again at once.
    connect(m_grant, &QAbstractButton::clicked, this, [this] {
        m_engine.permissions().refreshAccessibility();
        refresh();
    });
    row->addWidget(m_grant, 0, Qt::AlignVCenter);

    auto* records = new QVBoxLayout;
    records->setSpacing(4);
    records->addWidget(textLabel("What Kestrove records", 12, QFont::Bold, KS::text()));
    QStringList lines;
    for (const std::string& line : OnboardingModel::recordedLines()) {
        lines << QStringLiteral("·  ") + qt(line);
    }
    auto* list = wrapped(lines.join('\n'), 11, QFont::Normal, KS::textSecondary());
    fixWidth(*list, kContentWidth - 24);
    records->addWidget(list);

    auto* boxes = new QWidget;
    boxes->setMaximumWidth(kContentWidth);
    auto* column = new QVBoxLayout(boxes);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(box(row));
    column->addWidget(box(records));
    auto* step = centred({title, tagline, boxes}, 16);
    fixWidth(*tagline, kContentWidth);
    boxes->setFixedWidth(kContentWidth);
    return step;
}

QWidget* OnboardingView::buildGoal()
{
    auto* row = new QWidget;
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(10);
    for (const int hours : OnboardingModel::kGoalChoices) {
        auto* button = new GoalButton(qt(OnboardingModel::goalLabel(hours)));
        connect(button, &QAbstractButton::clicked, this, [this, hours] { chooseGoal(hours); });
        buttons->addWidget(button);
        m_goalButtons.push_back(button);
    }
    auto* caption = wrapped(qt(OnboardingModel::goalCaption()), 11, QFont::Normal,
                            KS::textTertiary(), Qt::AlignHCenter);
    fixWidth(*caption, kContentWidth);
    return centred(
        {new SymbolView("target", 48, KS::deep()),
         textLabel("Set Your Daily Goal", 20, QFont::Bold, KS::text()),
         textLabel("How many hours of deep work per day?", 13, QFont::Normal, KS::textSecondary()),
         row, caption},
        20);
}

QWidget* OnboardingView::buildDone()
{
    auto* text = wrapped(qt(OnboardingModel::doneText()), 13, QFont::Normal, KS::textSecondary(),
                         Qt::AlignHCenter);
    fixWidth(*text, kContentWidth);
    return centred({textLabel("You're set.", 28, QFont::Bold, KS::text()), text}, 16);
}

void OnboardingView::refresh()
{
    const bool hasAccessibility = m_engine.permissions().hasAccessibility();
    m_steps->setCurrentIndex(m_model.stepIndex());
    m_granted->setVisible(hasAccessibility);
    m_grant->setVisible(!hasAccessibility);
    const double goal = m_engine.goal().dailyGoalHours();
    for (std::size_t i = 0; i < m_goalButtons.size(); ++i) {
        static_cast<GoalButton*>(m_goalButtons[i])
            ->setHighlighted(
                OnboardingModel::isHighlighted(OnboardingModel::kGoalChoices[i], goal));
    }
    m_back->setVisible(m_model.showsBack());
    m_primary->setText(qt(m_model.primaryTitle()));
    m_primary->setEnabled(m_model.isPrimaryEnabled(hasAccessibility));
    m_primary->updateGeometry();
    update();
}

void OnboardingView::goBack()
{
    m_model.back();
    refresh();
}

void OnboardingView::goOn()
{
    if (m_model.primary(m_engine.permissions().hasAccessibility())) {
        m_engine.preferences().setBool(OnboardingModel::kCompleteKey, true);
        if (m_onStart) {
            m_onStart();
        }
        return;
    }
    refresh();
}

void OnboardingView::chooseGoal(int hours)
{
    m_engine.goal().setDailyGoalHours(hours);
    refresh();
}

void OnboardingView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), KS::ink());
}

void OnboardingView::showEvent(QShowEvent* event)
{
    m_poll = m_engine.permissions().keepPolling();
    refresh();
    m_timer->start();
    QWidget::showEvent(event);
}

void OnboardingView::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    m_poll.cancel();
    QWidget::hideEvent(event);
}

} // namespace kestrove
