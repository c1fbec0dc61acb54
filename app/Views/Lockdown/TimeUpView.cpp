#include "Views/Lockdown/TimeUpView.h"

#include "Views/Components/GlassCard.h"
#include "Views/Components/Shapes.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kFadeMilliseconds = 250;
constexpr int kNameWidth = 460;

QLabel* centredText(const QString& text, int size, QFont::Weight weight, const QColor& colour,
                    QWidget* parent, int maxWidth = 0)
{
    QLabel* label = overlayText(text, size, weight, colour, parent);
    label->setAlignment(Qt::AlignCenter);
    fitText(*label, maxWidth > 0 ? maxWidth : QWIDGETSIZE_MAX);
    return label;
}

// A hairline across the prompt, between the two answers.
class Divider final : public QWidget
{
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedSize(300, 1); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QColor line(Qt::white);
        line.setAlphaF(0.12f);
        painter.fillRect(rect(), line);
    }
};

// The celebration's figures on a darker rounded ground.
class FiguresBox final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor ground = KS::ink();
        ground.setAlphaF(0.5f);
        painter.fillPath(continuousRoundedRect(rect(), 12), ground);
    }
};

QWidget* statLine(const QString& label, const QString& value, QWidget* parent)
{
    auto* line = new QWidget(parent);
    line->setMinimumWidth(220);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(overlayText(label, 14, QFont::Normal, KS::textSecondary(), line));
    layout->addSpacing(24);
    layout->addStretch();
    // The application font's digits share one width, so the figures line up.
    QLabel* figure = overlayText(value, 14, QFont::DemiBold, KS::text(), line);
    figure->setWordWrap(false);
    figure->setObjectName("figure");
    layout->addWidget(figure);
    return line;
}

} // namespace

TimeUpView::TimeUpView(const std::string& taskName, OverlayScreens::TimeUpActions actions,
                       StatsSource stats, FrostedBackdrop backdrop, QWidget* parent)
    : QWidget(parent), m_model(taskName), m_actions(std::move(actions)), m_stats(std::move(stats)),
      m_backdrop(std::move(backdrop))
{
    m_cards = new QStackedLayout(this);
    m_cards->addWidget(centredOnScreen(new GlassCard(buildPrompt()), this));
    m_celebration = new GlassCard(buildCelebration());
    m_cards->addWidget(centredOnScreen(m_celebration, this));
    refresh();
}

QWidget* TimeUpView::buildPrompt()
{
    auto* prompt = new QWidget(this);
    prompt->setObjectName("promptCard");
    auto* layout = new QVBoxLayout(prompt);
    layout->setSpacing(22);
    layout->setContentsMargins(44, 36, 44, 36);

    layout->addWidget(new SymbolView("checkmark.circle", 28, KS::textSecondary(), prompt), 0,
                      Qt::AlignHCenter);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(centredText("Time's up", 28, QFont::DemiBold, KS::text(), prompt), 0,
                       Qt::AlignHCenter);
    auto* name = centredText(QString::fromStdString(m_model.taskName()), 16, QFont::Medium,
                             KS::textSecondary(), prompt, kNameWidth);
    name->setObjectName("taskName");
    heading->addWidget(name, 0, Qt::AlignHCenter);
    layout->addLayout(heading);
    layout->addWidget(centredText("Did you finish?", 18, QFont::Medium, KS::text(), prompt), 0,
                      Qt::AlignHCenter);

    auto* answers = new QVBoxLayout;
    answers->setSpacing(14);
    auto* done = overlayButton("Yes, I'm done", true, 300, prompt);
    done->setObjectName("yesDone");
    connect(done, &QPushButton::clicked, this, [this] { activateDefault(); });
    answers->addWidget(done, 0, Qt::AlignHCenter);
    answers->addWidget(new Divider(prompt), 0, Qt::AlignHCenter);
    answers->addWidget(buildStepper(prompt), 0, Qt::AlignHCenter);
    auto* extend = overlayButton("Not yet — add time", false, 300, prompt);
    extend->setObjectName("addTime");
    connect(extend, &QPushButton::clicked, this, [this] {
        if (m_actions.extend) {
            m_actions.extend(m_model.minutes());
        }
    });
    answers->addWidget(extend, 0, Qt::AlignHCenter);
    layout->addLayout(answers);
    return prompt;
}

QWidget* TimeUpView::buildStepper(QWidget* parent)
{
    auto* stepper = new QWidget(parent);
    stepper->setFixedWidth(220);
    auto* layout = new QHBoxLayout(stepper);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_minutesLabel = overlayText({}, 14, QFont::Normal, KS::text(), stepper);
    m_minutesLabel->setObjectName("minutes");
    m_minutesLabel->setWordWrap(false);
    layout->addWidget(m_minutesLabel);
    layout->addStretch();
    m_less = new PillButton(QStringLiteral("\u2212"), {false, 14}, stepper);
    m_less->setObjectName("fewerMinutes");
    m_less->setFixedSize(36, 28);
    m_more = new PillButton("+", {false, 14}, stepper);
    m_more->setObjectName("moreMinutes");
    m_more->setFixedSize(36, 28);
    connect(m_less, &QPushButton::clicked, this, [this] {
        m_model.removeMinutes();
        refresh();
    });
    connect(m_more, &QPushButton::clicked, this, [this] {
        m_model.addMinutes();
        refresh();
    });
    layout->addWidget(m_less);
    layout->addWidget(m_more);
    return stepper;
}

QWidget* TimeUpView::buildCelebration()
{
    auto* celebration = new QWidget(this);
    celebration->setObjectName("celebrationCard");
    celebration->setMinimumWidth(360);
    auto* layout = new QVBoxLayout(celebration);
    layout->setSpacing(22);
    layout->setContentsMargins(44, 36, 44, 36);
    layout->addWidget(new SymbolView("checkmark.circle.fill", 32, KS::success(), celebration), 0,
                      Qt::AlignHCenter);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(
        centredText("Session complete.", 26, QFont::DemiBold, KS::text(), celebration), 0,
        Qt::AlignHCenter);
    m_celebratedName =
        centredText({}, 16, QFont::Medium, KS::textSecondary(), celebration, kNameWidth);
    m_celebratedName->setObjectName("celebratedName");
    heading->addWidget(m_celebratedName, 0, Qt::AlignHCenter);
    layout->addLayout(heading);

    auto* figures = new FiguresBox(celebration);
    figures->setObjectName("figures");
    m_figures = new QVBoxLayout(figures);
    m_figures->setSpacing(10);
    m_figures->setContentsMargins(20, 14, 20, 14);
    layout->addWidget(figures, 0, Qt::AlignHCenter);

    auto* done = overlayButton("Done", true, 220, celebration);
    done->setObjectName("done");
    connect(done, &QPushButton::clicked, this, [this] { activateDefault(); });
    layout->addWidget(done, 0, Qt::AlignHCenter);
    return celebration;
}

void TimeUpView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_backdrop.paint(painter, rect());
}

void TimeUpView::activateDefault()
{
    if (m_model.phase() == TimeUpModel::Phase::celebrating) {
        if (m_actions.done) {
            m_actions.done();
        }
        return;
    }
    celebrate();
}

void TimeUpView::celebrate()
{
    m_model.celebrate(m_stats ? m_stats() : std::nullopt);
    const SessionStats& stats = *m_model.stats();
    setPlainText(*m_celebratedName, QString::fromStdString(stats.taskName));
    fitText(*m_celebratedName, kNameWidth);
    auto* box = m_figures->parentWidget();
    for (const auto& [name, value] : TimeUpModel::statLines(stats)) {
        m_figures->addWidget(
            statLine(QString::fromStdString(name), QString::fromStdString(value), box));
    }
    refresh();
    if (!isVisible()) {
        return;
    }
    // The celebration fades in where the prompt was.
    auto* fade = new QGraphicsOpacityEffect(m_celebration);
    fade->setOpacity(0);
    m_celebration->setGraphicsEffect(fade);
    auto* animation = new QPropertyAnimation(fade, "opacity", m_celebration);
    animation->setDuration(kFadeMilliseconds);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    // Drawn through the effect only while fading; it goes once the animation has let go of it.
    connect(animation, &QPropertyAnimation::finished, m_celebration, [card = m_celebration] {
        QTimer::singleShot(0, card, [card] { card->setGraphicsEffect(nullptr); });
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void TimeUpView::refresh()
{
    m_cards->setCurrentIndex(m_model.phase() == TimeUpModel::Phase::prompt ? 0 : 1);
    m_minutesLabel->setText(QString::fromStdString(m_model.minutesLabel()));
    m_less->setEnabled(m_model.canRemoveMinutes());
    m_more->setEnabled(m_model.canAddMinutes());
}

} // namespace kestrove
