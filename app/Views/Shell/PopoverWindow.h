#pragma once

#include <QRect>
#include <QWidget>

#include <optional>

namespace kestrove {

// The tray's popover: a frameless pop-up 344 pixels wide, as high as its content, placed under
// the tray icon (or at the pointer when the tray gives no geometry) and kept on screen. A click
// anywhere else closes it, as a pop-up menu closes.
class PopoverWindow final : public QWidget
{
public:
    static constexpr int kWidth = 344;

    explicit PopoverWindow(QWidget* parent = nullptr);

    // Replaces what the popover shows; the popover takes ownership.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    // Opens the popover at the tray icon, or closes it when it is open.
    void toggle(const std::optional<QRect>& trayIcon);
    void open(const std::optional<QRect>& trayIcon);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_content = nullptr;
};

} // namespace kestrove
