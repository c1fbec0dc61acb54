#include "Views/Share/ShareSheet.h"

#include "Engine/SessionEngine.h"
#include "Platform/Log.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/SymbolPill.h"
#include "Views/PlainText.h"
#include "Views/Share/ShareCardView.h"
#include "Views/Theme.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace kestrove {

namespace {

const Log kLog("share");
constexpr int kPreviewWidth = 760;
constexpr int kPreviewHeight = 428;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// The rendered card fitted into its frame with rounded corners, or a spinner on the surface
// colour while there is none.
class CardPreview final : public QWidget
{
public:
    explicit CardPreview(const QImage& image) : m_image(image)
    {
        setFixedSize(kPreviewWidth, kPreviewHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const QPainterPath shape = continuousRoundedRect(frame, 12);
        if (m_image.isNull()) {
            painter.fillPath(shape, KS::surface());
            QPen pen(KS::text(), 2.5);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            const QPointF centre = frame.center();
            painter.drawArc(QRectF(centre.x() - 10, centre.y() - 10, 20, 20), 90 * 16, 270 * 16);
            return;
        }
        painter.save();
        painter.setClipPath(shape);
        painter.drawImage(frame, m_image);
        painter.restore();
        painter.setPen(QPen(KS::border(), 1));
        painter.drawPath(shape);
    }

private:
    const QImage& m_image;
};

} // namespace

ShareSheet::ShareSheet(Services services, SharePeriod period, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)), m_period(period),
      m_builder(m_services.engine)
{
    setWindowTitle(title());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, KS::ink());
    setPalette(palette);
    setFixedWidth(804);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->setSpacing(16);

    auto* header = new QHBoxLayout;
    auto* heading = new QVBoxLayout;
    heading->setSpacing(2);
    heading->addWidget(new Eyebrow(ShareSheetTexts::kEyebrow, KS::textTertiary()));
    QLabel* titleLabel = plainLabel(title());
    titleLabel->setObjectName("title");
    titleLabel->setFont(uiFont(18, QFont::Bold));
    titleLabel->setStyleSheet("color: " + KS::text().name());
    heading->addWidget(titleLabel);
    header->addLayout(heading);
    header->addStretch(1);
    auto* done = new PillButton(ShareSheetTexts::kDone, {});
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    header->addWidget(done, 0, Qt::AlignVCenter);
    layout->addLayout(header);

    m_preview = new CardPreview(m_image);
    layout->addWidget(m_preview);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(10);
    m_copy = new SymbolPill("doc.on.doc", ShareSheetTexts::kCopy, {true});
    m_save = new SymbolPill("square.and.arrow.down", ShareSheetTexts::kSave, {});
    m_post = new SymbolPill("arrow.up.right", ShareSheetTexts::kPost, {});
    m_copy->setObjectName("copy");
    m_save->setObjectName("save");
    m_post->setObjectName("post");
    connect(m_copy, &QPushButton::clicked, this, [this] { copyImage(); });
    connect(m_save, &QPushButton::clicked, this, [this] { savePNG(); });
    connect(m_post, &QPushButton::clicked, this, [this] { postOnX(); });
    for (QPushButton* button : std::initializer_list<QPushButton*>{m_copy, m_save, m_post}) {
        actions->addWidget(button, 0, Qt::AlignVCenter);
    }
    actions->addStretch(1);
    QLabel* handleLabel = plainLabel(ShareSheetTexts::kHandle);
    handleLabel->setFont(uiFont(11));
    handleLabel->setStyleSheet("color: " + KS::textTertiary().name(QColor::HexArgb));
    actions->addWidget(handleLabel, 0, Qt::AlignVCenter);
    m_handle = new QLineEdit;
    m_handle->setPlaceholderText(ShareSheetTexts::kHandlePlaceholder);
    m_handle->setFixedWidth(120);
    m_handle->setText(
        qs(m_services.engine.preferences().string(ShareSheetTexts::kHandleKey).value_or("")));
    connect(m_handle, &QLineEdit::returnPressed, this, [this] { submitHandle(); });
    actions->addWidget(m_handle, 0, Qt::AlignVCenter);
    layout->addLayout(actions);

    auto* postGroup = new QVBoxLayout;
    postGroup->setSpacing(6);
    postGroup->addWidget(new Eyebrow(ShareSheetTexts::kPostTextEyebrow, KS::textTertiary()));
    m_postText = new QPlainTextEdit;
    m_postText->setFont(uiFont(12));
    m_postText->setFixedHeight(96);
    m_postText->setStyleSheet(
        "QPlainTextEdit { background: " + KS::surface2().name() +
        "; border: none; border-radius: 8px; padding: 8px; color: " + KS::text().name() + "; }");
    postGroup->addWidget(m_postText);
    QLabel* hint = plainLabel(ShareSheetTexts::kPostHint);
    hint->setWordWrap(true);
    hint->setFont(uiFont(11));
    hint->setStyleSheet("color: " + KS::textTertiary().name(QColor::HexArgb));
    postGroup->addWidget(hint);
    layout->addLayout(postGroup);

    refreshControls();
    build();
}

ShareSheet::~ShareSheet() = default;

ShareSheet* ShareSheet::present(Services services, const SharePeriod& period, QWidget* parent)
{
    auto* sheet = new ShareSheet(std::move(services), period, parent ? parent->window() : nullptr);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    sheet->show();
    return sheet;
}

QString ShareSheet::askForFile(QWidget* parent, const QString& proposedName)
{
    return QFileDialog::getSaveFileName(parent, QString(), proposedName,
                                        QStringLiteral("PNG image (*.png)"));
}

bool ShareSheet::openInBrowser(const std::string& address)
{
    return QDesktopServices::openUrl(QUrl(qs(address), QUrl::StrictMode));
}

QString ShareSheet::title() const
{
    return qs(ShareSheetModel::title(m_period, m_services.engine.clock().now()));
}

void ShareSheet::build()
{
    const std::uint64_t build = m_state.beginBuild();
    // An empty field is passed as it is; the card then carries no handle.
    m_builder.build(m_period, m_handle->text().toStdString(),
                    [this, build](ShareCard card) { applyCard(build, std::move(card)); });
}

void ShareSheet::applyCard(std::uint64_t build, ShareCard card)
{
    // A slower, older build never replaces the card of a newer one.
    if (!m_state.finishBuild(build, std::move(card))) {
        return;
    }
    m_postText->setPlainText(qs(m_state.card()->postText));
    m_image = renderShareCard(m_state.card()->data);
    refreshControls();
    m_preview->update();
}

void ShareSheet::submitHandle()
{
    m_services.engine.preferences().setString(ShareSheetTexts::kHandleKey,
                                              m_handle->text().toStdString());
    build();
}

void ShareSheet::copyImage()
{
    if (m_image.isNull()) {
        return;
    }
    const auto png = pngData(m_image);
    if (png) {
        m_services.clipboard.setImage(png->toStdString());
    }
    m_state.copied();
    refreshControls();
    afterFeedback([this] { m_state.resetCopied(); });
}

void ShareSheet::savePNG()
{
    if (m_image.isNull()) {
        return;
    }
    const auto png = pngData(m_image);
    if (!png) {
        return;
    }
    const QString proposed =
        qs(ShareSheetModel::proposedFileName(m_period, m_services.engine.clock().now()));
    const QString path = m_services.chooseFile ? m_services.chooseFile(this, proposed) : QString();
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(*png) == png->size() && file.commit();
    if (!written) {
        kLog.error("could not save the share card: " + file.errorString().toStdString());
    }
    m_state.saveFinished(written);
    refreshControls();
    afterFeedback([this] { m_state.resetSaved(); });
}

void ShareSheet::postOnX()
{
    if (m_image.isNull()) {
        return;
    }
    copyImage();
    const std::int64_t changeCount = m_services.clipboard.changeCount();
    const std::string address =
        ShareSheetModel::postAddress(m_postText->toPlainText().toStdString());
    if (!m_services.openAddress || !m_services.openAddress(address)) {
        kLog.error("could not open the post address in the default browser");
        return;
    }
    if (m_services.attachToComposer) {
        m_services.attachToComposer(changeCount);
    }
}

void ShareSheet::afterFeedback(std::function<void()> reset)
{
    m_resets.push_back(m_services.engine.scheduler().once(ShareSheetState::kFeedbackSeconds,
                                                          [this, reset = std::move(reset)] {
                                                              reset();
                                                              refreshControls();
                                                          }));
}

void ShareSheet::refreshControls()
{
    const bool ready = !m_image.isNull();
    m_copy->setText(qs(m_state.copyLabel()));
    m_copy->setSymbol(m_state.copyLabel() == ShareSheetTexts::kCopied ? "checkmark" : "doc.on.doc");
    m_save->setText(qs(m_state.saveLabel()));
    for (QPushButton* button : std::initializer_list<QPushButton*>{m_copy, m_save, m_post}) {
        button->setEnabled(ready);
        button->updateGeometry();
    }
}

} // namespace kestrove
