#include "Views/Focus/LockInView.h"

#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/StatChip.h"
#include "Views/Components/Symbol.h"
#include "Views/Focus/FocusParts.h"
#include "Views/Focus/FocusTaskCard.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace kestrove {

namespace {

constexpr const char* kRowNameProperty = "sessionName";
constexpr const char* kRowDetailProperty = "sessionDetail";
constexpr const char* kRowOutcomeProperty = "sessionOutcome";
// The header and the focus-task card come first.
constexpr int kCardsIndex = 2;

QColor toneColour(SessionOutcome::Tone tone)
{
    switch (tone) {
    case SessionOutcome::Tone::success:
        return KS::success();
    case SessionOutcome::Tone::distraction:
        return KS::distraction();
    case SessionOutcome::Tone::quiet:
        break;
    }
    return KS::textTertiary();
}

class RowSymbol final : public QWidget
{
public:
    explicit RowSymbol(QString name) : m_name(std::move(name)) { setFixedSize(14, 14); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintSymbol(painter, m_name, QRectF(1.5, 1.5, 11, 11), KS::textTertiary());
    }

private:
    QString m_name;
};

// A task's name on one line, cut with an ellipsis where the row ends.
class OneLineLabel final : public QLabel
{
public:
    explicit OneLineLabel(const QString& text) : QLabel(), m_full(text)
    {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setMinimumWidth(40);
        setText(text);
    }
    const QString& fullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        setText(fontMetrics().elidedText(m_full, Qt::ElideRight, width()));
        QLabel::resizeEvent(event);
    }

private:
    QString m_full;
};

QWidget* sessionRow(const FocusSessionEntry& entry)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(new RowSymbol(entry.isLockdown ? "lock.fill" : "target"), 0,
                      Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    const QString name = QString::fromStdString(entry.taskName);
    auto* nameLabel = new OneLineLabel(name);
    nameLabel->setFont(uiFont(13, QFont::Medium));
    setLabelColour(*nameLabel, KS::text());
    texts->addWidget(nameLabel);
    const QString detail = QString::fromStdString(LockInPageModel::detailLine(entry));
    auto* detailLabel = textLabel(detail, 11, QFont::Normal, KS::textTertiary());
    detailLabel->setWordWrap(true);
    texts->addWidget(detailLabel);
    layout->addLayout(texts, 1);

    const SessionOutcome outcome = LockInPageModel::outcome(entry);
    const QString word = QString::fromStdString(outcome.word);
    // Fonts take whole pixels: the word is 11 rather than 10.5.
    QFont outcomeFont = uiFont(11, QFont::DemiBold);
    outcomeFont.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    auto* outcomeLabel = textLabel(word, 11, QFont::DemiBold, toneColour(outcome.tone));
    outcomeLabel->setFont(outcomeFont);
    layout->addWidget(outcomeLabel, 0, Qt::AlignVCenter);

    row->setProperty(kRowNameProperty, name);
    row->setProperty(kRowDetailProperty, detail);
    row->setProperty(kRowOutcomeProperty, word);
    return row;
}

} // namespace

LockInView::LockInView(SessionEngine& engine, InstalledApps& apps, QWidget* parent)
    : QScrollArea(parent), m_model(engine), m_card(new FocusTaskCard(engine, apps))
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* page = new QWidget;
    page->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(32, 40, 32, 32);
    layout->setSpacing(22);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(new Eyebrow(LockInPageModel::kEyebrow, KS::textTertiary()));
    header->addWidget(textLabel(LockInPageModel::kTitle, 24, QFont::Bold, KS::text()));
    auto* intro = textLabel(LockInPageModel::kIntro, 12, QFont::Normal, KS::textSecondary());
    intro->setWordWrap(true);
    header->addWidget(intro);
    layout->addLayout(header);

    layout->addWidget(m_card);

    layout->addStretch();
    m_pageLayout = layout;

    setWidget(page);
    viewport()->setAutoFillBackground(false);
    m_modelChanged = m_model.observers().subscribe([this] { rebuild(); });
    rebuild();
}

void LockInView::rebuild()
{
    // Both cards are built anew: later, since a click inside one may be what changed them.
    for (QWidget* old : {m_chipsCard, m_historyCard}) {
        if (old) {
            m_pageLayout->removeWidget(old);
            old->hide();
            old->deleteLater();
        }
    }
    m_chipsCard = nullptr;
    const auto& chips = m_model.chips();
    if (!chips.empty()) {
        auto* row = new QWidget;
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->setSpacing(22);
        for (const LockInChip& chip : chips) {
            auto* stat = new StatChip(QString::fromStdString(chip.label),
                                      QString::fromStdString(chip.value), KS::text());
            stat->setProperty(kRowNameProperty, QString::fromStdString(chip.label));
            stat->setProperty(kRowDetailProperty, QString::fromStdString(chip.value));
            rowLayout->addWidget(stat, 0, Qt::AlignVCenter);
        }
        rowLayout->addStretch();
        m_chipsCard = ksCard(row, 20);
        m_pageLayout->insertWidget(kCardsIndex, m_chipsCard);
    }

    auto* history = new QWidget;
    m_historyLayout = new QVBoxLayout(history);
    m_historyLayout->setContentsMargins(0, 0, 0, 0);
    m_historyLayout->setSpacing(12);
    m_historyLayout->addWidget(new SectionHeader(LockInPageModel::kRecentTitle));
    if (m_model.recent().empty()) {
        m_historyLayout->addWidget(new EmptyHint(QString::fromStdString(m_model.emptyText())));
    }
    for (const FocusSessionEntry& entry : m_model.recent()) {
        m_historyLayout->addWidget(sessionRow(entry));
    }
    m_historyCard = ksCard(history, 18);
    m_pageLayout->insertWidget(kCardsIndex + (m_chipsCard ? 1 : 0), m_historyCard);
}

std::vector<std::pair<QString, QString>> LockInView::shownChips() const
{
    std::vector<std::pair<QString, QString>> shown;
    if (!m_chipsCard) {
        return shown;
    }
    for (auto* chip : m_chipsCard->findChildren<StatChip*>()) {
        if (chip->property(kRowNameProperty).isValid()) {
            shown.emplace_back(chip->property(kRowNameProperty).toString(),
                               chip->property(kRowDetailProperty).toString());
        }
    }
    return shown;
}

std::vector<LockInView::ShownRow> LockInView::shownRows() const
{
    std::vector<ShownRow> rows;
    for (int i = 0; i < m_historyLayout->count(); ++i) {
        QWidget* row = m_historyLayout->itemAt(i)->widget();
        if (row && row->property(kRowOutcomeProperty).isValid()) {
            rows.push_back({row->property(kRowNameProperty).toString(),
                            row->property(kRowDetailProperty).toString(),
                            row->property(kRowOutcomeProperty).toString()});
        }
    }
    return rows;
}

QString LockInView::shownEmptyText() const
{
    for (int i = 0; i < m_historyLayout->count(); ++i) {
        if (dynamic_cast<EmptyHint*>(m_historyLayout->itemAt(i)->widget())) {
            return QString::fromStdString(m_model.emptyText());
        }
    }
    return {};
}

} // namespace kestrove
