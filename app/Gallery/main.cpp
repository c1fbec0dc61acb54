// kestrove-gallery: renders every view of the application, offscreen, into PNG files.
//     kestrove-gallery FOLDER            writes FOLDER/<view>.png at device pixel ratio 2
//     kestrove-gallery --check FOLDER    checks that every picture is there and not blank
#include "Gallery/Gallery.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdio>

using namespace kestrove;

namespace {

int render(const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "kestrove-gallery: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    int failures = 0;
    for (const gallery::GalleryView& view : gallery::allGalleryViews()) {
        const std::unique_ptr<QWidget> widget = view.build();
        const QImage image = gallery::renderView(*widget, 2.0);
        const QString path = QDir(folder).filePath(view.name + ".png");
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "kestrove-gallery: cannot write %s\n", qPrintable(path));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return failures == 0 ? 0 : 1;
}

int check(const QString& folder)
{
    int failures = 0;
    const auto views = gallery::allGalleryViews();
    for (const gallery::GalleryView& view : views) {
        const QString problem = gallery::checkPicture(QDir(folder).filePath(view.name + ".png"));
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(view.name), qPrintable(problem));
            ++failures;
        }
    }
    std::printf("%zu pictures checked, %d wrong\n", views.size(), failures);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = gallery::offscreenApplication(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() == 1 && !args[0].startsWith('-')) {
        return render(args[0]);
    }
    if (args.size() == 2 && args[0] == "--check") {
        return check(args[1]);
    }
    std::fprintf(stderr, "usage: kestrove-gallery FOLDER | kestrove-gallery --check FOLDER\n");
    return 2;
}
