#include "Views/PlainText.h"

#include "Views/Theme.h"

#include <QLabel>

namespace kestrove {

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    setPlainText(*label, text);
    return label;
}

void setPlainText(QLabel& label, const QString& text)
{
    label.setTextFormat(Qt::PlainText);
    label.setText(text);
}

QLabel* textLabel(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
                  QWidget* parent)
{
    QLabel* label = plainLabel(text, parent);
    label->setFont(uiFont(pixelSize, weight));
    setLabelColour(*label, colour);
    return label;
}

void setLabelColour(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    if (palette.color(QPalette::WindowText) == colour) {
        return;
    }
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

QString plainToolTip(const QString& text)
{
    if (text.isEmpty()) {
        return text; // an empty tip hides the tip
    }
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace kestrove
