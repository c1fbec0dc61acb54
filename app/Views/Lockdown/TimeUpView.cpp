#include "Views/Lockdown/TimeUpView.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QLabel* label(const QString& text, int pointSize, QFont::Weight weight, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    QFont font;
    font.setPointSize(pointSize);
    font.setWeight(weight);
    result->setFont(font);
    result->setWordWrap(true);
    result->setAlignment(Qt::AlignCenter);
    return result;
}

QPushButton* button(const QString& text, QWidget* parent, int maxWidth = 300)
{
    auto* result = new QPushButton(text, parent);
    result->setMaximumWidth(maxWidth);
    result->setMinimumHeight(36);
    return result;
}

QFrame* card(QWidget* parent, const char* name)
{
    auto* result = new QFrame(parent);
    result->setObjectName(name);
    result->setFrameShape(QFrame::StyledPanel);
    return result;
}

QWidget* centred(QWidget* content, QWidget* parent)
{
    auto* holder = new QWidget(parent);
    auto* layout = new QGridLayout(holder);
    layout->addWidget(content, 0, 0, Qt::AlignCenter);
    return holder;
}

} // namespace

TimeUpView::TimeUpView(const std::string& taskName, OverlayScreens::TimeUpActions actions,
                       StatsSource stats, QWidget* parent)
    : QWidget(parent), m_model(taskName), m_actions(std::move(actions)), m_stats(std::move(stats))
{
    m_cards = new QStackedLayout(this);
    m_cards->addWidget(centred(buildPrompt(), this));
    m_cards->addWidget(centred(buildCelebration(), this));
    refresh();
}

QWidget* TimeUpView::buildPrompt()
{
    auto* prompt = card(this, "promptCard");
    auto* layout = new QVBoxLayout(prompt);
    layout->setSpacing(22);
    layout->setContentsMargins(44, 36, 44, 36);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(label("Time's up", 28, QFont::DemiBold, prompt));
    auto* name = label(QString::fromStdString(m_model.taskName()), 16, QFont::Medium, prompt);
    name->setMaximumWidth(460);
    heading->addWidget(name, 0, Qt::AlignHCenter);
    layout->addLayout(heading);
    layout->addWidget(label("Did you finish?", 18, QFont::Medium, prompt));

    auto* done = button("Yes, I'm done", prompt);
    done->setObjectName("yesDone");
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, [this] { activateDefault(); });
    layout->addWidget(done, 0, Qt::AlignHCenter);

    auto* divider = new QFrame(prompt);
    divider->setFrameShape(QFrame::HLine);
    divider->setMaximumWidth(300);
    layout->addWidget(divider, 0, Qt::AlignHCenter);

    auto* stepper = new QHBoxLayout;
    m_less = button("−", prompt, 36);
    m_less->setObjectName("fewerMinutes");
    m_more = button("+", prompt, 36);
    m_more->setObjectName("moreMinutes");
    m_minutesLabel = label({}, 13, QFont::Normal, prompt);
    m_minutesLabel->setObjectName("minutes");
    QFont digits = m_minutesLabel->font();
    digits.setStyleHint(QFont::Monospace);
    m_minutesLabel->setFont(digits);
    connect(m_less, &QPushButton::clicked, this, [this] {
        m_model.removeMinutes();
        refresh();
    });
    connect(m_more, &QPushButton::clicked, this, [this] {
        m_model.addMinutes();
        refresh();
    });
    stepper->addWidget(m_minutesLabel);
    stepper->addWidget(m_less);
    stepper->addWidget(m_more);
    auto* stepperBox = new QWidget(prompt);
    stepperBox->setLayout(stepper);
    stepperBox->setMaximumWidth(220);
    layout->addWidget(stepperBox, 0, Qt::AlignHCenter);

    auto* extend = button("Not yet — add time", prompt);
    extend->setObjectName("addTime");
    connect(extend, &QPushButton::clicked, this, [this] {
        if (m_actions.extend) {
            m_actions.extend(m_model.minutes());
        }
    });
    layout->addWidget(extend, 0, Qt::AlignHCenter);
    return prompt;
}

QWidget* TimeUpView::buildCelebration()
{
    auto* celebration = card(this, "celebrationCard");
    celebration->setMinimumWidth(360);
    auto* layout = new QVBoxLayout(celebration);
    layout->setSpacing(22);
    layout->setContentsMargins(44, 36, 44, 36);
    auto* heading = new QVBoxLayout;
    heading->setSpacing(6);
    heading->addWidget(label("Session complete.", 26, QFont::DemiBold, celebration));
    m_celebratedName = label({}, 16, QFont::Medium, celebration);
    m_celebratedName->setMaximumWidth(460);
    heading->addWidget(m_celebratedName, 0, Qt::AlignHCenter);
    layout->addLayout(heading);

    auto* figures = new QFrame(celebration);
    figures->setObjectName("figures");
    m_figures = new QVBoxLayout(figures);
    m_figures->setSpacing(10);
    m_figures->setContentsMargins(20, 14, 20, 14);
    layout->addWidget(figures, 0, Qt::AlignHCenter);

    auto* done = button("Done", celebration, 220);
    done->setObjectName("done");
    connect(done, &QPushButton::clicked, this, [this] { activateDefault(); });
    layout->addWidget(done, 0, Qt::AlignHCenter);
    return celebration;
}

void TimeUpView::activateDefault()
{
    if (m_model.phase() == TimeUpModel::Phase::celebrating) {
        if (m_actions.done) {
            m_actions.done();
        }
        return;
    }
    m_model.celebrate(m_stats ? m_stats() : std::nullopt);
    const SessionStats& stats = *m_model.stats();
    m_celebratedName->setText(QString::fromStdString(stats.taskName));
    for (const auto& [name, value] : TimeUpModel::statLines(stats)) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QString::fromStdString(name)));
        row->addSpacing(24);
        row->addStretch();
        auto* figure = new QLabel(QString::fromStdString(value));
        QFont font = figure->font();
        font.setWeight(QFont::DemiBold);
        font.setStyleHint(QFont::Monospace);
        figure->setFont(font);
        row->addWidget(figure);
        m_figures->addLayout(row);
    }
    refresh();
}

void TimeUpView::refresh()
{
    m_cards->setCurrentIndex(m_model.phase() == TimeUpModel::Phase::prompt ? 0 : 1);
    m_minutesLabel->setText(QString::fromStdString(m_model.minutesLabel()));
    m_less->setEnabled(m_model.canRemoveMinutes());
    m_more->setEnabled(m_model.canAddMinutes());
}

} // namespace kestrove
