#include "Views/Dashboard/DashboardWindowController.h"

#include "Platform/Preferences.h"
#include "Views/Theme.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr QSize kInitialSize(1120, 720);

// The window: its geometry is written to the preferences as it closes.
class DashboardWindow final : public QWidget
{
public:
    explicit DashboardWindow(Preferences& preferences) : m_preferences(preferences)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle("Kestrove");
        setAutoFillBackground(true);
        QPalette background = palette();
        background.setColor(QPalette::Window, KS::ink());
        setPalette(background);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        const QByteArray geometry = saveGeometry();
        m_preferences.setData(
            DashboardWindowController::kGeometryKey,
            {std::string(geometry.constData(), static_cast<std::size_t>(geometry.size()))});
        QWidget::closeEvent(event);
    }

private:
    Preferences& m_preferences;
};

} // namespace

DashboardWindowController::DashboardWindowController(SessionEngine& engine,
                                                     DashboardNavigation& navigation,
                                                     Preferences& preferences,
                                                     DashboardPageFactory pages)
    : m_engine(engine), m_navigation(navigation), m_preferences(preferences),
      m_pages(std::move(pages))
{}

DashboardWindowController::~DashboardWindowController()
{
    delete m_window.data();
}

bool DashboardWindowController::isVisible() const
{
    return m_window && m_window->isVisible();
}

void DashboardWindowController::show(std::optional<DashboardSection> section)
{
    if (section) {
        m_navigation.setSection(*section);
    }
    if (!m_window) {
        build();
    }
    if (m_window->isMinimized()) {
        m_window->showNormal();
    } else {
        m_window->show();
    }
    m_window->raise();
    m_window->activateWindow();
}

void DashboardWindowController::build()
{
    auto* window = new DashboardWindow(m_preferences);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new DashboardRootView(m_engine, m_navigation, m_pages));
    window->setMinimumSize(960, 640);

    const auto saved = m_preferences.data(kGeometryKey);
    const bool restored =
        saved && window->restoreGeometry(
                     QByteArray(saved->bytes.data(), static_cast<qsizetype>(saved->bytes.size())));
    if (!restored) {
        window->resize(kInitialSize);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            window->move(area.center() -
                         QPoint(kInitialSize.width() / 2, kInitialSize.height() / 2));
        }
    }
    m_window = window;
}

} // namespace kestrove
