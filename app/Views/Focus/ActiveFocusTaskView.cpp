#include "Views/Focus/ActiveFocusTaskView.h"

#include "Engine/SessionEngine.h"
#include "ViewLogic/Focus/FocusTaskCardModel.h"
#include "Views/Components/Symbol.h"
#include "Views/Components/Waterline.h"
#include "Views/Focus/AppPickerView.h"
#include "Views/Focus/FocusParts.h"
#include "Views/Theme.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace kestrove {

namespace {

QGradientStops accentStops(const QColor& accent)
{
    QColor faded = accent;
    faded.setAlphaF(0.7f);
    return {{0.0, faded}, {1.0, accent}};
}

class LockSymbol final : public QWidget
{
public:
    LockSymbol() { setFixedSize(10, 10); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintSymbol(painter, u"lock.fill", rect(), KS::deepLight());
    }
};

} // namespace

ActiveFocusTaskView::ActiveFocusTaskView(SessionEngine& engine, InstalledApps& apps,
                                         QWidget* parent)
    : QWidget(parent), m_engine(engine), m_apps(apps),
      m_status(textLabel({}, 11, QFont::Normal, KS::textSecondary())),
      m_finish(new QPushButton("I finished")), m_name(textLabel({}, 18, QFont::Bold, KS::text())),
      m_plan(textLabel({}, 11, QFont::Normal, KS::textTertiary())),
      m_clock(textLabel({}, 34, QFont::Black, KS::success())),
      m_progress(new Waterline(0, 5, accentStops(KS::success()))),
      m_attempts(textLabel({}, 11, QFont::Normal, KS::textTertiary())),
      m_allow(new SymbolPill("plus.app", "Allow another app", PillButtonStyle{false})),
      m_timer(new QTimer(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* status = new QHBoxLayout;
    status->setSpacing(6);
    status->addWidget(new LockSymbol, 0, Qt::AlignVCenter);
    status->addWidget(m_status, 0, Qt::AlignVCenter);
    status->addStretch();
    m_finish->setFlat(true);
    m_finish->setCursor(Qt::PointingHandCursor);
    m_finish->setFont(uiFont(11, QFont::DemiBold));
    m_finish->setStyleSheet(
        QString("QPushButton { color: %1; border: none; padding: 0; }").arg(KS::success().name()));
    status->addWidget(m_finish, 0, Qt::AlignVCenter);
    layout->addLayout(status);

    layout->addSpacing(12);
    auto* taskRow = new QHBoxLayout;
    taskRow->setSpacing(16);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    m_name->setWordWrap(true);
    m_name->setMaximumHeight(m_name->fontMetrics().lineSpacing() * 2);
    texts->addWidget(m_name);
    texts->addWidget(m_plan);
    taskRow->addLayout(texts, 1);
    QFont clockFont = uiFont(34, QFont::Black);
    clockFont.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    m_clock->setFont(clockFont);
    taskRow->addWidget(m_clock, 0, Qt::AlignTop);
    layout->addLayout(taskRow);

    layout->addSpacing(10);
    layout->addWidget(m_progress);

    layout->addSpacing(10);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_attempts, 0, Qt::AlignVCenter);
    bottom->addStretch();
    bottom->addWidget(m_allow, 0, Qt::AlignVCenter);
    layout->addLayout(bottom);

    connect(m_finish, &QAbstractButton::clicked, this, [this] { confirmFinish(); });
    connect(m_allow, &QAbstractButton::clicked, this, [this] { openPicker(); });
    connect(m_timer, &QTimer::timeout, this, &ActiveFocusTaskView::refresh);
    refresh();
}

void ActiveFocusTaskView::refresh()
{
    const auto& task = m_engine.focusTaskManager().active();
    const bool accumulating = m_engine.focusTaskManager().isAccumulating();
    const QColor accent = accumulating ? KS::success() : KS::shallow();
    m_status->setText(QString::fromStdString(
        ActiveFocusTaskModel::statusText(accumulating, m_engine.tracker().isIdle())));
    m_clock->setText(QString::fromStdString(ActiveFocusTaskModel::clockText(task)));
    setLabelColour(*m_clock, accent);
    if (!task) {
        return;
    }
    m_name->setText(QString::fromStdString(task->name));
    m_plan->setText(QString::fromStdString(ActiveFocusTaskModel::planLine(*task)));
    m_progress->setProgress(ActiveFocusTaskModel::progress(*task));
    m_progress->setTint(accentStops(accent));
    m_attempts->setText(
        QString::fromStdString(ActiveFocusTaskModel::blockedAttemptsText(task->breakoutAttempts)));
}

QString ActiveFocusTaskView::statusText() const
{
    return m_status->text();
}

QString ActiveFocusTaskView::planText() const
{
    return m_plan->text();
}

QString ActiveFocusTaskView::clockText() const
{
    return m_clock->text();
}

QString ActiveFocusTaskView::attemptsText() const
{
    return m_attempts->text();
}

void ActiveFocusTaskView::showEvent(QShowEvent* event)
{
    refresh();
    m_timer->start(1000);
    QWidget::showEvent(event);
}

void ActiveFocusTaskView::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void ActiveFocusTaskView::confirmFinish()
{
    m_confirm = new QMessageBox(QMessageBox::NoIcon, ActiveFocusTaskModel::kFinishTitle,
                                ActiveFocusTaskModel::kFinishTitle, QMessageBox::NoButton, this);
    m_confirm->setInformativeText(ActiveFocusTaskModel::kFinishMessage);
    QPushButton* yes =
        m_confirm->addButton(ActiveFocusTaskModel::kFinishAction, QMessageBox::AcceptRole);
    m_confirm->addButton(QMessageBox::Cancel);
    m_confirm->setDefaultButton(QMessageBox::Cancel);
    m_confirm->setAttribute(Qt::WA_DeleteOnClose);
    // On a later turn: ending the task takes this view, and the dialog with it, away.
    connect(yes, &QPushButton::clicked, this, [engine = &m_engine] {
        QTimer::singleShot(0, qApp,
                           [engine] { engine->endFocusTask(FocusTask::EndReason::completed); });
    });
    m_confirm->open();
}

void ActiveFocusTaskView::openPicker()
{
    const AppSelection before = ActiveFocusTaskModel::allowedNow(m_engine);
    m_picker = AppPickerView::popUp(m_apps, before, m_allow);
    m_picker->onDone = [this, before, picker = m_picker.data()] {
        const AppSelection after = picker->selection();
        picker->window()->close();
        ActiveFocusTaskModel::applyAllowedApps(m_engine, before, after);
    };
}

} // namespace kestrove
