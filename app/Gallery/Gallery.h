#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QApplication;
class QWidget;

namespace kestrove::gallery {

// A QApplication in Kestrove's look that paints without a display (unless QT_QPA_PLATFORM
// names a platform), for the gallery and the paint benchmarks.
std::unique_ptr<QApplication> offscreenApplication(int& argc, char** argv);

// One picture of the gallery: a view in one state, built with made-up but realistic data.
struct GalleryView
{
    QString name;
    std::function<std::unique_ptr<QWidget>()> build;
};

// The design system's components in every state worth looking at.
std::vector<GalleryView> galleryViews();
// Every view of the gallery: the components and each window's own.
std::vector<GalleryView> allGalleryViews();

// A dashboard page of six cards with every component on it.
std::unique_ptr<QWidget> dashboardPage();

// Lays the widget out at its preferred size and paints it on KS.ink at the given ratio.
QImage renderView(QWidget& view, qreal ratio);

// Whether a picture shows something: it loads, and more than a sliver of it differs from the
// colour of its top-left corner. Returns an empty text when it does, else what is wrong.
QString checkPicture(const QString& path);

} // namespace kestrove::gallery
