#include "Views/Focus/AppPickerView.h"

#include "Platform/InstalledApps.h"
#include "Views/Components/Hairline.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/Symbol.h"
#include "Views/Focus/FocusParts.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace kestrove {

namespace {

constexpr int kRowHeight = 32;
constexpr int kIconSize = 20;
constexpr int kIDRole = Qt::UserRole;
constexpr int kIconRole = Qt::UserRole + 1;

// A row: the icon, the name as plain text and, for a chosen application, a check mark. The
// picker decides which rows are chosen.
class AppRowDelegate final : public QStyledItemDelegate
{
public:
    AppRowDelegate(const AppSelection& selection, QObject* parent)
        : QStyledItemDelegate(parent), m_selection(selection)
    {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {0, kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRect row = option.rect.adjusted(10, 0, -12, 0);
        if (option.state & QStyle::State_MouseOver) {
            QColor hover(Qt::white);
            hover.setAlphaF(0.05f);
            painter->fillRect(option.rect, hover);
        }
        int left = row.left();
        const QIcon icon = appIcon(index.data(kIconRole).toString().toStdString());
        if (!icon.isNull()) {
            icon.paint(painter,
                       QRect(left, row.center().y() - kIconSize / 2 + 1, kIconSize, kIconSize));
        }
        left += kIconSize + 8;
        const bool chosen =
            AppPickerModel::isChosen(m_selection, index.data(kIDRole).toString().toStdString());
        const int checkWidth = chosen ? 16 + 8 : 0;
        painter->setFont(uiFont(13));
        painter->setPen(KS::text());
        const QRect text(left, row.top(), row.right() - left - checkWidth, row.height());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(),
                                                            Qt::ElideRight, text.width()));
        if (chosen) {
            paintSymbol(*painter, u"checkmark.circle.fill",
                        QRectF(row.right() - 16, row.center().y() - 7, 16, 16), KS::deepLight());
        }
        painter->restore();
    }

private:
    const AppSelection& m_selection;
};

// The search bar's magnifying glass.
class SearchSymbol final : public QWidget
{
public:
    SearchSymbol() { setFixedSize(14, 14); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintSymbol(painter, u"magnifyingglass", rect(), KS::textSecondary());
    }
};

} // namespace

AppPickerView::AppPickerView(InstalledApps& apps, AppSelection selection, QWidget* parent)
    : QWidget(parent), m_apps(apps), m_selection(std::move(selection)), m_search(new QLineEdit),
      m_list(new QListWidget), m_count(textLabel({}, 11, QFont::Normal, KS::textSecondary())),
      m_done(new PillButton("Done", PillButtonStyle{true}))
{
    setFixedSize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* searchBar = new QWidget;
    searchBar->setAutoFillBackground(true);
    QPalette barPalette = searchBar->palette();
    barPalette.setColor(QPalette::Window, KS::surface2());
    searchBar->setPalette(barPalette);
    auto* searchRow = new QHBoxLayout(searchBar);
    searchRow->setContentsMargins(10, 10, 10, 10);
    searchRow->setSpacing(8);
    searchRow->addWidget(new SearchSymbol);
    m_search->setPlaceholderText("Search apps");
    m_search->setFrame(false);
    m_search->setFont(uiFont(13));
    m_search->setStyleSheet("QLineEdit { background: transparent; }");
    searchRow->addWidget(m_search, 1);
    layout->addWidget(searchBar);
    layout->addWidget(hairline(KS::border()));

    m_list->setItemDelegate(new AppRowDelegate(m_selection, m_list));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMinimumSize(360, 320);
    m_list->setMouseTracking(true);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Base, KS::surface());
    m_list->setPalette(listPalette);
    layout->addWidget(m_list, 1);
    layout->addWidget(hairline(KS::border()));

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(10, 10, 10, 10);
    footer->addWidget(m_count);
    footer->addStretch();
    footer->addWidget(m_done);
    layout->addLayout(footer);

    connect(m_search, &QLineEdit::textChanged, this, [this] { rebuildList(); });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        toggle(item->data(kIDRole).toString().toStdString());
    });
    connect(m_done, &QPushButton::clicked, this, [this] { done(); });
    m_appsChanged = m_apps.observers().subscribe([this] { rebuildList(); });
    rebuildList();
    m_count->setText(countText());
}

AppPickerView* AppPickerView::popUp(InstalledApps& apps, AppSelection selection, QWidget* anchor)
{
    auto* picker = new AppPickerView(apps, std::move(selection));
    showPopover(picker, anchor);
    picker->m_search->setFocus();
    return picker;
}

std::vector<std::string> AppPickerView::listedIDs() const
{
    std::vector<std::string> ids;
    for (int i = 0; i < m_list->count(); ++i) {
        ids.push_back(m_list->item(i)->data(kIDRole).toString().toStdString());
    }
    return ids;
}

QString AppPickerView::countText() const
{
    return QString::fromStdString(AppPickerModel::countText(m_selection));
}

void AppPickerView::showEvent(QShowEvent* event)
{
    m_apps.refresh();
    QWidget::showEvent(event);
}

// Return reaches here from the search field too, which lets it pass.
void AppPickerView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AppPickerView::rebuildList()
{
    m_list->clear();
    for (const InstalledApp& app :
         AppPickerModel::filtered(m_apps.apps(), m_search->text().toStdString())) {
        auto* item = new QListWidgetItem(QString::fromStdString(app.name), m_list);
        item->setData(kIDRole, QString::fromStdString(app.bundleID));
        item->setData(kIconRole, QString::fromStdString(app.icon));
    }
}

void AppPickerView::toggle(const std::string& bundleID)
{
    AppPickerModel::toggle(m_selection, bundleID);
    m_count->setText(countText());
    m_list->viewport()->update();
    if (onSelectionChanged) {
        onSelectionChanged(m_selection);
    }
}

void AppPickerView::done()
{
    if (onDone) {
        onDone();
    }
}

} // namespace kestrove
