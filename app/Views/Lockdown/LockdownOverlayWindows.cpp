#include "Views/Lockdown/LockdownOverlayWindows.h"

#include "Views/Lockdown/BlockingOverlayView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace kestrove {

namespace {

constexpr int kRaiseIntervalMilliseconds = 250;

// A full-screen window that hands Return to its card's default answer: it holds the keyboard
// grab, so no button of it ever has the focus the window manager would give.
class OverlayWindow final : public QWidget
{
public:
    OverlayWindow(std::function<void()> onReturn)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint),
          m_onReturn(std::move(onReturn))
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName("lockdownOverlay");
        setWindowTitle("Kestrove");
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_onReturn) {
            m_onReturn();
            return;
        }
        event->accept(); // nothing else gets through the wall
    }

private:
    std::function<void()> m_onReturn;
};

} // namespace

LockdownOverlayWindows::LockdownOverlayWindows(TimeUpView::StatsSource stats)
    : m_stats(std::move(stats))
{
    auto* app = qGuiApp;
    QObject::connect(app, &QGuiApplication::screenAdded, &m_context, [this] { screensChanged(); });
    QObject::connect(app, &QGuiApplication::screenRemoved, &m_context,
                     [this] { screensChanged(); });
    m_raiseTimer.setInterval(kRaiseIntervalMilliseconds);
    QObject::connect(&m_raiseTimer, &QTimer::timeout, &m_context, [this] {
        for (const auto& panel : m_panels) {
            if (panel.window) {
                panel.window->raise();
            }
        }
    });
}

LockdownOverlayWindows::~LockdownOverlayWindows()
{
    m_shown = std::monostate{};
    for (auto& panel : m_panels) {
        delete panel.window.data();
    }
}

int LockdownOverlayWindows::screenCount() const
{
    return static_cast<int>(QGuiApplication::screens().size());
}

void LockdownOverlayWindows::showWall(const WallContent& content, WallActions actions)
{
    const bool replacing = !m_panels.empty();
    takeDown();
    m_shown = Wall{content, std::move(actions)};
    present(replacing);
}

void LockdownOverlayWindows::showTimeUp(const std::string& taskName, TimeUpActions actions)
{
    const bool replacing = !m_panels.empty();
    takeDown();
    m_shown = TimeUp{taskName, std::move(actions)};
    present(replacing);
}

void LockdownOverlayWindows::takeDown()
{
    m_raiseTimer.stop();
    for (auto& panel : m_panels) {
        if (panel.window) {
            panel.window->releaseKeyboard();
            panel.window->hide();
            // Later: a button of this very window may be what called.
            panel.window->deleteLater();
        }
    }
    m_panels.clear();
    // The actions stay until the next presentation: the one running now may be among them.
}

std::vector<QWidget*> LockdownOverlayWindows::windows() const
{
    std::vector<QWidget*> result;
    for (const auto& panel : m_panels) {
        if (panel.window) {
            result.push_back(panel.window);
        }
    }
    return result;
}

void LockdownOverlayWindows::present(bool replacing)
{
    const auto screens = QGuiApplication::screens();
    // Right after our own windows went, the screens show what lay under them only once every
    // application has redrawn: the pictures taken for those windows serve again.
    if (!replacing) {
        m_backdrops.clear();
    }
    for (int i = 0; i < screens.size(); ++i) {
        addPanel(screens[i], i);
    }
    grabFirst();
    m_raiseTimer.start();
}

void LockdownOverlayWindows::addPanel(QScreen* screen, int index)
{
    if (std::holds_alternative<std::monostate>(m_shown)) {
        return;
    }
    auto backdrop = m_backdrops.find(screen);
    if (backdrop == m_backdrops.end()) {
        backdrop = m_backdrops.emplace(screen, FrostedBackdrop::photograph(screen)).first;
    }
    OverlayWindow* window = nullptr;
    QWidget* content = nullptr;
    if (auto* wall = std::get_if<Wall>(&m_shown)) {
        auto* view = new BlockingOverlayView(wall->content, wall->actions, index, backdrop->second);
        window = new OverlayWindow([view] { view->activateDefault(); });
        content = view;
    } else if (auto* timeUp = std::get_if<TimeUp>(&m_shown)) {
        auto* view = new TimeUpView(timeUp->taskName, timeUp->actions, m_stats, backdrop->second);
        window = new OverlayWindow([view] { view->activateDefault(); });
        content = view;
    } else {
        return;
    }
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    window->setGeometry(screen->geometry());
    window->winId(); // the native window, so that it can be placed on its screen
    window->windowHandle()->setScreen(screen);
    window->setGeometry(screen->geometry());
    window->show();
    window->raise();
    m_panels.push_back({screen, window});
}

void LockdownOverlayWindows::grabFirst()
{
    for (const auto& panel : m_panels) {
        if (panel.window) {
            panel.window->grabKeyboard();
            return;
        }
    }
}

void LockdownOverlayWindows::screensChanged()
{
    if (std::holds_alternative<std::monostate>(m_shown) || m_panels.empty()) {
        return;
    }
    const auto screens = QGuiApplication::screens();
    // Gone screens lose their window; new ones get a fresh copy of what is shown.
    std::erase_if(m_panels, [&](Panel& panel) {
        if (screens.contains(panel.screen) && panel.window) {
            return false;
        }
        if (panel.window) {
            panel.window->releaseKeyboard();
            panel.window->hide();
            panel.window->deleteLater();
        }
        m_backdrops.erase(panel.screen);
        return true;
    });
    for (int i = 0; i < screens.size(); ++i) {
        const bool covered = std::any_of(m_panels.begin(), m_panels.end(),
                                         [&](const Panel& p) { return p.screen == screens[i]; });
        if (!covered) {
            addPanel(screens[i], i);
        }
    }
    grabFirst();
}

} // namespace kestrove
