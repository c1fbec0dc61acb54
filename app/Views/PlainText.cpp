#include "Views/PlainText.h"

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

QString plainToolTip(const QString& text)
{
    if (text.isEmpty()) {
        return text; // an empty tip hides the tip
    }
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace kestrove
