#include "Views/OnboardingController.h"

#include "ViewLogic/Shell/OnboardingModel.h"
#include "Views/OnboardingView.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrove {

OnboardingController::OnboardingController(SessionEngine& engine, std::function<void()> openToday)
    : m_engine(engine), m_openToday(std::move(openToday))
{}

OnboardingController::~OnboardingController()
{
    delete m_window.data();
}

void OnboardingController::show()
{
    if (m_window) {
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    auto* window = new OnboardingView(m_engine, [this] { finish(); });
    // A title and nothing to close, shrink or resize: finishing is the way out.
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setWindowTitle(OnboardingModel::kWindowTitle);
    // Closed by the window manager all the same (a key chord): forgotten, back next launch.
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
    m_window = window;
    window->show();
    window->raise();
    window->activateWindow();
}

void OnboardingController::finish()
{
    if (m_window) {
        m_window->close();
    }
    m_window = nullptr;
    if (m_openToday) {
        m_openToday();
    }
}

} // namespace kestrove
