#include "Views/Rituals/ShutdownView.h"

#include "Engine/SessionEngine.h"
#include "Views/Components/Hairline.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Rituals/RitualParts.h"
#include "Views/Theme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kWidth = 340;

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* centred(QLabel* label)
{
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

QVBoxLayout* figure(QLabel* value, const QString& caption)
{
    auto* layout = new QVBoxLayout;
    layout->setSpacing(2);
    layout->addWidget(centred(value));
    layout->addWidget(centred(textLabel(caption, 11, QFont::Normal, KS::textSecondary())));
    return layout;
}

} // namespace

ShutdownView::ShutdownView(SessionEngine& engine, std::function<void()> onDone, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_onDone(std::move(onDone))
{
    setObjectName("shutdownView");
    setFixedWidth(kWidth);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, KS::ink());
    setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(20);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(centred(textLabel("Shutdown Ritual", 22, QFont::Bold, KS::text())));
    header->addWidget(centred(textLabel("Review your day, plan tomorrow, then stop.", 12,
                                        QFont::Normal, KS::textSecondary())));
    layout->addLayout(header);
    layout->addWidget(hairline(KS::border()));

    auto* day = new QVBoxLayout;
    day->setSpacing(12);
    auto* hero = new QVBoxLayout;
    hero->setSpacing(2);
    m_deep = centred(textLabel({}, 36, QFont::Bold, KS::text()));
    m_deep->setObjectName("deepTime");
    hero->addWidget(m_deep);
    hero->addWidget(
        centred(textLabel("of deep work today", 12, QFont::Normal, KS::textSecondary())));
    day->addLayout(hero);

    auto* pair = new QHBoxLayout;
    pair->setSpacing(24);
    pair->addStretch();
    m_goal = textLabel({}, 12, QFont::Bold, KS::text());
    m_goal->setObjectName("goalLine");
    pair->addLayout(figure(m_goal, "goal"));
    m_remaining = textLabel({}, 12, QFont::Bold, KS::text());
    m_remaining->setObjectName("remaining");
    pair->addLayout(figure(m_remaining, "remaining"));
    pair->addStretch();
    day->addLayout(pair);

    m_projects = new QWidget;
    m_projectRows = new QVBoxLayout(m_projects);
    m_projectRows->setContentsMargins(8, 0, 8, 0);
    m_projectRows->setSpacing(4);
    day->addWidget(m_projects);
    layout->addLayout(day);
    layout->addWidget(hairline(KS::border()));

    auto* plan = new QVBoxLayout;
    plan->setSpacing(6);
    plan->addWidget(textLabel("Plan tomorrow's deep work", 12, QFont::Bold, KS::text()));
    m_plan = new QPlainTextEdit;
    m_plan->setObjectName("planField");
    m_plan->setFont(uiFont(12));
    m_plan->setFixedHeight(60);
    m_plan->setFrameShape(QFrame::NoFrame);
    m_plan->setTabChangesFocus(true);
    m_plan->setStyleSheet("QPlainTextEdit { background: rgba(27, 30, 41, 128); "
                          "border-radius: 6px; padding: 6px; color: #EEF0F6; }");
    // The text already written tonight, when the shutdown runs a second time.
    m_plan->setPlainText(q(ShutdownModel::initialPlanText(engine)));
    plan->addWidget(m_plan);
    plan->addWidget(
        textLabel("Shows on tomorrow's Today screen.", 11, QFont::Normal, KS::textSecondary()));
    layout->addLayout(plan);

    m_complete = new PillButton("Shutdown Complete", PillButtonStyle{true, 13});
    m_complete->setObjectName("completeButton");
    m_complete->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_complete->setMinimumHeight(m_complete->sizeHint().height() + 16);
    connect(m_complete, &QPushButton::clicked, this, [this] {
        m_engine.completeShutdown(m_plan->toPlainText().toStdString());
        if (m_onDone) {
            m_onDone();
        }
    });
    layout->addWidget(m_complete);

    m_engineWatch = m_engine.observers().subscribe([this] { refresh(); });
    m_goalWatch = m_engine.goal().observers().subscribe([this] { refresh(); });
    refresh();
}

void ShutdownView::refresh()
{
    ShutdownModel model = ShutdownModel::capture(m_engine);
    m_deep->setText(q(model.deepTime));
    m_goal->setText(q(model.goalLine));
    m_remaining->setText(q(model.remaining));
    if (model.projects != m_model.projects || m_projectRows->isEmpty()) {
        while (QLayoutItem* item = m_projectRows->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        for (const auto& project : model.projects) {
            auto* row = new QWidget;
            auto* line = new QHBoxLayout(row);
            line->setContentsMargins(0, 0, 0, 0);
            line->setSpacing(6);
            line->addWidget(new ProjectDot(project.colorKey, 6), 0, Qt::AlignVCenter);
            line->addWidget(textLabel(q(project.name), 12, QFont::Normal, KS::text()));
            line->addStretch();
            line->addWidget(textLabel(q(project.time), 12, QFont::Normal, KS::textSecondary()));
            m_projectRows->addWidget(row);
        }
    }
    m_projects->setVisible(!model.projects.empty());
    m_model = std::move(model);
}

ShutdownWindowController::~ShutdownWindowController()
{
    delete m_window.data();
}

void ShutdownWindowController::show()
{
    if (m_window && m_window->isVisible()) {
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    auto* window = new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint |
                                            Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName("shutdownWindow");
    window->setWindowTitle("Shutdown Ritual");
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    QPointer<QWidget> self = window;
    layout->addWidget(new ShutdownView(m_engine, [self] {
        if (self) {
            self->close();
        }
    }));
    window->setFixedSize(kWidth, std::max(480, window->sizeHint().height()));
    window->show();
    window->raise();
    window->activateWindow();
    m_window = window;
}

} // namespace kestrove
