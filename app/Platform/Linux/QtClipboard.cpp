#include "Platform/Linux/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace kestrove {

QtClipboard::QtClipboard()
{
    // Our own changes are counted when we make them; the desktop may report them again later,
    // while we still own the clipboard.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (!QGuiApplication::clipboard()->ownsClipboard()) {
            ++m_changes;
        }
    });
}

void QtClipboard::setImage(const std::string& png)
{
    const QByteArray bytes(png.data(), static_cast<qsizetype>(png.size()));
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), bytes);
    // Receivers that take only images find one too.
    data->setImageData(QImage::fromData(bytes, "PNG"));
    QGuiApplication::clipboard()->setMimeData(data);
    ++m_changes;
}

} // namespace kestrove
