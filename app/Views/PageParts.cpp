#include "Views/PageParts.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/StatChip.h"
#include "Views/Theme.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace kestrove {

void fillWithScroll(QWidget& page, QScrollArea& scroll)
{
    auto* outer = new QVBoxLayout(&page);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll.setWidgetResizable(true);
    scroll.setFrameShape(QFrame::NoFrame);
    scroll.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(&scroll);
}

QWidget* bareColumn(int spacing, QVBoxLayout** layout)
{
    auto* widget = new QWidget;
    auto* box = new QVBoxLayout(widget);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(spacing);
    *layout = box;
    return widget;
}

QStringList shownTexts(const QWidget* root, ShownTextParts parts)
{
    QStringList result;
    if (!root) {
        return result;
    }
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            result << label->text();
        } else if (const auto* eyebrow = dynamic_cast<const Eyebrow*>(widget)) {
            result << eyebrow->shownText();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget);
                   button && parts.buttons) {
            result << button->text();
        } else if (const auto* header = dynamic_cast<const SectionHeader*>(widget)) {
            result << header->title();
            if (parts.headerTrailing && header->trailing()) {
                result << *header->trailing();
            }
        } else if (const auto* chip = dynamic_cast<const StatChip*>(widget)) {
            result << chip->label() + ": " + chip->value();
        }
    }
    return result;
}

QVBoxLayout* sheetColumn(QDialog& sheet, const QString& title, int width, int spacing)
{
    sheet.setWindowTitle(title);
    sheet.setModal(true);
    sheet.setFixedWidth(width);
    sheet.setAutoFillBackground(true);
    QPalette palette = sheet.palette();
    palette.setColor(QPalette::Window, KS::ink());
    sheet.setPalette(palette);

    auto* column = new QVBoxLayout(&sheet);
    column->setContentsMargins(22, 22, 22, 22);
    column->setSpacing(spacing);
    return column;
}

} // namespace kestrove
