#include "Views/FlowHUDController.h"

#include "Platform/Preferences.h"
#include "ViewLogic/Shell/FlowHUDModel.h"
#include "Views/FlowHUDView.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrove {

namespace {

PixelRect toPixelRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

} // namespace

FlowHUDController::FlowHUDController(Preferences& preferences, Hooks hooks)
    : m_preferences(preferences), m_hooks(std::move(hooks))
{}

FlowHUDController::~FlowHUDController()
{
    delete m_panel.data();
}

void FlowHUDController::attach(SessionEngine& engine)
{
    m_engine = &engine;
}

bool FlowHUDController::isEnabled() const
{
    return m_preferences.boolValue(kEnabledKey).value_or(true);
}

void FlowHUDController::setUp()
{
    m_isSetUp = true;
    if (!m_engine) {
        return;
    }
    delete m_panel.data();
    m_panel = new FlowHUDView(*m_engine);
    m_panel->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint);
    m_panel->setAttribute(Qt::WA_ShowWithoutActivating);
    m_panel->setAttribute(Qt::WA_TranslucentBackground);
    m_panel->setWindowTitle("Kestrove lock-in");
    m_panel->onDragEnd = [this](int top) { m_preferences.setInteger(kTopKey, top); };
    snapToScreenIfNeeded();
}

bool FlowHUDController::isPanelVisible() const
{
    return m_panel && m_panel->isVisible();
}

void FlowHUDController::snapToScreenIfNeeded()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!m_panel || !screen) {
        return;
    }
    const PixelRect available = toPixelRect(screen->availableGeometry());
    const double wanted = FlowHUDGeometry::wantedTop(m_preferences.doubleValue(kTopKey), available);
    const PixelPoint origin =
        FlowHUDGeometry::placement(wanted, toPixelRect(screen->geometry()), available);
    m_panel->move(origin.x, origin.y);
}

void FlowHUDController::orderFront()
{
    if (!m_panel) {
        return;
    }
    m_panel->show();
    m_panel->raise();
    if (m_hooks.onEveryDesktop) {
        m_hooks.onEveryDesktop(*m_panel);
    }
}

void FlowHUDController::orderOut()
{
    if (m_panel) {
        m_panel->hide();
    }
}

} // namespace kestrove
