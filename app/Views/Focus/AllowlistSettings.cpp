#include "Views/Focus/AllowlistSettings.h"

#include "Engine/AppAllowlistPresets.h"
#include "Platform/InstalledApps.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Focus/AppPickerView.h"
#include "Views/Focus/FocusParts.h"

#include <QVBoxLayout>

namespace kestrove {

AllowlistSettings::AllowlistSettings(AppAllowlistPresets& store, InstalledApps& apps,
                                     QWidget* parent)
    : QWidget(parent), m_store(store), m_apps(apps), m_list(new QWidget),
      m_edit(new SymbolPill("plus", "Edit apps", PillButtonStyle{false}))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    new QVBoxLayout(m_list);
    m_list->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    layout->addWidget(m_edit, 0, Qt::AlignLeft);
    connect(m_edit, &QAbstractButton::clicked, this, [this] { openPicker(); });
    m_storeChanged = m_store.observers().subscribe([this] { rebuild(); });
    m_appsChanged = m_apps.observers().subscribe([this] { rebuild(); });
    rebuild();
}

void AllowlistSettings::rebuild()
{
    QLayout* layout = m_list->layout();
    // Later: a chip's own click may be what changed the list.
    while (QLayoutItem* item = layout->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    if (m_store.alwaysAllowed().empty()) {
        layout->addWidget(new EmptyHint(kEmptyText));
        return;
    }
    auto* chips = new QWidget;
    auto* flow = new FlowLayout(6, chips);
    flow->setContentsMargins(0, 0, 0, 0);
    for (const std::string& id : m_store.alwaysAllowed()) {
        flow->addWidget(new AppChip(appIcon(m_apps.icon(id)),
                                    QString::fromStdString(m_apps.displayName(id)), 6,
                                    [this, id] { m_store.removeAlwaysAllowed(id); }));
    }
    layout->addWidget(chips);
}

void AllowlistSettings::openPicker()
{
    const auto& stored = m_store.alwaysAllowed();
    m_picker = AppPickerView::popUp(m_apps, {stored.begin(), stored.end()}, m_edit);
    m_picker->onDone = [this, picker = m_picker.data()] {
        const AppSelection& chosen = picker->selection();
        m_store.setAlwaysAllowed({chosen.begin(), chosen.end()});
        picker->window()->close();
    };
}

} // namespace kestrove
