#pragma once

#include "Views/Theme.h"
#include "core/Segment.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

namespace kestrove::testing_support {

// One QApplication for the test program, in the application's own look. Painting is checked
// offscreen so that no window manager or screen setting changes a pixel.
inline QApplication& ensureApplication()
{
    static int argc = 1;
    static char name[] = "kestrove_views_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* app = new QApplication(argc, argv);
        applyTheme(*app);
    }
    return *qApp;
}

// The widget painted at its current size over KS.ink, one pixel per point.
inline QImage paintOnInk(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(KS::ink());
    widget.render(&image);
    return image;
}

// `colour` laid over KS.ink, as it should come out on screen.
inline QColor overInk(const QColor& colour)
{
    const QColor ink = KS::ink();
    const double a = colour.alphaF();
    const auto mix = [a](int top, int bottom) {
        return static_cast<int>(top * a + bottom * (1 - a) + 0.5);
    };
    return QColor(mix(colour.red(), ink.red()), mix(colour.green(), ink.green()),
                  mix(colour.blue(), ink.blue()));
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A stretch of `kind` in the Code editor.
inline Segment codeSegment(Date start, Date end, ContextKind kind)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.appName = "Code";
    return s;
}

// Deep work in the Code editor, on a project and in an area when they are given.
inline Segment deepInCode(Date start, double minutes, const char* project,
                          const char* area = nullptr, const char* windowTitle = "")
{
    Segment s = codeSegment(start, start + minutes * 60, ContextKind::deep);
    s.bundleID = "com.microsoft.vscode";
    s.windowTitle = windowTitle;
    if (project) {
        s.project = project;
    }
    if (area) {
        s.area = area;
    }
    return s;
}

} // namespace kestrove::testing_support
