#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

class QSystemTrayIcon;

namespace kestrove {

// Kestrove's icon in the desktop's tray. Trays show no text beside an icon, so the status title
// is drawn into the icon's image and also set as its tool tip; both are written only when the
// text changes.
class StatusItem final : public QObject
{
    Q_OBJECT

public:
    explicit StatusItem(QObject* parent = nullptr);
    ~StatusItem() override;

    void setTitle(const QString& title);
    const QString& title() const { return m_title; }
    // How many times the image was drawn; an unchanged title draws nothing.
    int imageRenders() const { return m_renders; }

    // Whether a tray host is running to show the icon.
    bool isTrayAvailable() const;
    // The icon's place on the screen; empty when the tray does not say.
    QRect geometry() const;

    // The icon's picture for a title: the wave mark above the title, fitted to the width.
    static QImage titleImage(const QString& title, int logicalSize, qreal ratio);

signals:
    // The icon was clicked.
    void activated();

private:
    QSystemTrayIcon* m_tray;
    QString m_title;
    int m_renders = 0;
};

} // namespace kestrove
