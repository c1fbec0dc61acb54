#include "Views/Rituals/GateWindows.h"

#include "Platform/Log.h"
#include "Views/Theme.h"
#include "core/NumberFormat.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace kestrove {

namespace {

const Log kLog("gate");
constexpr int kRaiseIntervalMilliseconds = 250;

QWidget* hostWindow(Qt::WindowFlags flags, const char* name)
{
    auto* window = new QWidget(nullptr, flags);
    window->setObjectName(name);
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, KS::ink());
    window->setPalette(palette);
    return window;
}

void fill(QWidget* window, QWidget* content)
{
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

} // namespace

// ---- The editor window ----

PlanEditorWindow::PlanEditorWindow(GateFormFactory makeForm) : m_makeForm(std::move(makeForm)) {}

PlanEditorWindow::~PlanEditorWindow()
{
    delete m_window.data();
}

void PlanEditorWindow::open(GateForm form, std::function<void()> onClosed)
{
    if (m_window) {
        front();
        return;
    }
    QWidget* window = hostWindow(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                     Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint,
                                 "planEditor");
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle("Plan the day");
    fill(window, m_makeForm(form));
    window->setMinimumSize(720, 560);
    window->resize(860, 760);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), window->size());
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    QObject::connect(window, &QObject::destroyed, [onClosed = std::move(onClosed)] {
        if (onClosed) {
            onClosed();
        }
    });
    m_window = window;
    window->show();
    front();
}

void PlanEditorWindow::front()
{
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
    }
}

void PlanEditorWindow::close()
{
    if (m_window) {
        m_window->close();
    }
}

// ---- The wall ----

MorningWallWindows::MorningWallWindows(GateFormFactory makeForm, Scheduler& scheduler,
                                       MainQueue& mainQueue, ScreenList screens)
    : m_makeForm(std::move(makeForm)), m_screens(std::move(screens)), m_hatch(scheduler, mainQueue)
{
    if (!m_screens) {
        m_screens = [] { return QGuiApplication::screens(); };
    }
    m_hatch.isUp = [this] { return m_presenting; };
    // Later: while a screen is being removed it may still be listed.
    const auto later = [this] { QTimer::singleShot(0, this, [this] { screensChanged(); }); };
    connect(qGuiApp, &QGuiApplication::screenAdded, this, later);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, later);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    QTimer::singleShot(0, this, [this] { reassert(); });
                }
            });
    m_raiseTimer.setInterval(kRaiseIntervalMilliseconds);
    // Windows raised later are put back under the wall, and a grab refused while a window was
    // still being mapped is taken again.
    connect(&m_raiseTimer, &QTimer::timeout, this, [this] {
        for (const Panel& panel : m_panels) {
            if (panel.window) {
                panel.window->raise();
            }
        }
        if (m_holder) {
            QWindow* handle = m_holder->windowHandle();
            handle->setKeyboardGrabEnabled(true);
            handle->setMouseGrabEnabled(true);
        }
    });
}

MorningWallWindows::~MorningWallWindows()
{
    for (Panel& panel : m_panels) {
        delete panel.window.data();
    }
}

void MorningWallWindows::present(std::function<GateForm()> content)
{
    if (m_presenting) {
        reassert();
        return;
    }
    m_presenting = true;
    m_form = content();
    m_modifiers = {};
    buildWindows();
    m_raiseTimer.start();
    kLog.info("wall up on " + NumberFormat::integer(m_screens().size()) + " screens");
}

void MorningWallWindows::buildWindows()
{
    const auto screens = m_screens();
    for (QScreen* screen : screens) {
        QWidget* window = hostWindow(Qt::Window | Qt::FramelessWindowHint |
                                         Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint,
                                     "morningWall");
        window->setWindowTitle("Kestrove");
        fill(window, m_makeForm(*m_form));
        window->setGeometry(screen->geometry());
        window->winId(); // the native window, so that it can be placed on its screen
        window->windowHandle()->setScreen(screen);
        window->windowHandle()->installEventFilter(this);
        window->setGeometry(screen->geometry());
        window->show();
        window->raise();
        m_panels.push_back({screen, window});
    }
    m_holder = nullptr;
    if (!m_panels.empty()) {
        holdInput(m_panels.front().window);
    }
}

void MorningWallWindows::removeWindows()
{
    for (Panel& panel : m_panels) {
        if (panel.window) {
            QWindow* handle = panel.window->windowHandle();
            handle->removeEventFilter(this);
            handle->setKeyboardGrabEnabled(false);
            handle->setMouseGrabEnabled(false);
            panel.window->hide();
            // Later: a button of this very window may be what called.
            panel.window->deleteLater();
        }
    }
    m_panels.clear();
    m_holder = nullptr;
}

void MorningWallWindows::holdInput(QWidget* window)
{
    if (!window || window == m_holder) {
        return;
    }
    if (m_holder) {
        m_holder->windowHandle()->setKeyboardGrabEnabled(false);
        m_holder->windowHandle()->setMouseGrabEnabled(false);
    }
    m_holder = window;
    window->activateWindow();
    window->windowHandle()->setKeyboardGrabEnabled(true);
    window->windowHandle()->setMouseGrabEnabled(true);
}

QWidget* MorningWallWindows::windowAt(const QPoint& global) const
{
    for (const Panel& panel : m_panels) {
        if (panel.window && panel.window->geometry().contains(global)) {
            return panel.window;
        }
    }
    return nullptr;
}

void MorningWallWindows::reassert()
{
    if (!m_presenting) {
        return;
    }
    for (const Panel& panel : m_panels) {
        if (panel.window) {
            panel.window->show();
            panel.window->raise();
        }
    }
    QWidget* holder =
        m_holder ? m_holder.data() : (m_panels.empty() ? nullptr : m_panels.front().window.data());
    m_holder = nullptr;
    holdInput(holder);
}

void MorningWallWindows::dismiss()
{
    if (!m_presenting) {
        return;
    }
    m_presenting = false;
    m_hatch.reset();
    m_raiseTimer.stop();
    removeWindows();
    m_form.reset();
    kLog.info("wall down");
}

std::vector<QWidget*> MorningWallWindows::windows() const
{
    std::vector<QWidget*> result;
    for (const Panel& panel : m_panels) {
        if (panel.window) {
            result.push_back(panel.window);
        }
    }
    return result;
}

void MorningWallWindows::screensChanged()
{
    if (!m_presenting) {
        return;
    }
    const auto screens = m_screens();
    bool same = static_cast<std::size_t>(screens.size()) == m_panels.size();
    for (std::size_t i = 0; same && i < m_panels.size(); ++i) {
        same = m_panels[i].window && m_panels[i].screen == screens[static_cast<qsizetype>(i)];
    }
    if (same) {
        return; // a new resolution or arrangement alone changes nothing
    }
    kLog.info("screens changed, rebuilding wall");
    removeWindows();
    buildWindows();
}

bool MorningWallWindows::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The event's own modifiers are those before it; the key itself is added or removed.
        Qt::KeyboardModifiers held = key->modifiers();
        Qt::KeyboardModifier changed = Qt::NoModifier;
        switch (key->key()) {
        case Qt::Key_Shift:
            changed = Qt::ShiftModifier;
            break;
        case Qt::Key_Alt:
            changed = Qt::AltModifier;
            break;
        case Qt::Key_Control:
            changed = Qt::ControlModifier;
            break;
        default:
            break;
        }
        if (changed != Qt::NoModifier) {
            held.setFlag(changed, event->type() == QEvent::KeyPress);
        }
        m_modifiers = held;
        m_hatch.handleFlags(held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::AltModifier),
                            held.testFlag(Qt::ControlModifier));
        break;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress: {
        // The pointer went to another screen: its window takes the keyboard and the pointer.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (QWidget* under = windowAt(mouse->globalPosition().toPoint())) {
            holdInput(under);
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kestrove
