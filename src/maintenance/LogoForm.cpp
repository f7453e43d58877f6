#include "LogoForm.h"

#include "FormText.h"
#include "app/AppState.h"
#include "link/LinkMessage.h"
#include "link/TransferEngine.h"
#include "link/TransferText.h"
#include "records/picture/LogoPicture.h"
#include "ui/Controls.h"
#include "ui/Languages.h"
#include "ui/Log.h"
#include "ui/ProgressPanel.h"
#include "ui/Prompter.h"
#include "ui/RegisterLink.h"
#include "ui/Transfers.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace ecr::maintenance {

using namespace ecr::ui;
namespace msg = ecr::link::msg;

namespace {
constexpr int kCaption = 110015;
constexpr int kHint = 111040, kPreview = 111041, kFileName = 111043, kBrowse = 111042;
constexpr int kDownload = 111015, kExit = 111019, kBitmapFilter = 111129;
constexpr int kDither = 120700, kSizeLine = 120701, kConverted = 120702, kReduced = 120703;
constexpr int kSaveBmp = 120704, kSaved = 120705, kPictures = 120706, kTickToSend = 120707;
constexpr int kSendingPage = 120708;

// The filter of a catalogue text that may already name its pattern.
QString filterOf(const QString& text, const QString& patterns) {
    QString t = text;
    const qsizetype open = t.lastIndexOf(QLatin1String("("));
    if (open > 0 && t.endsWith(QLatin1Char(')'))) t = t.left(open).trimmed();
    return t + " (" + patterns + ")";
}

QString errorText(const records::LogoError& e, const QString& path) {
    if (e.messageId == records::kLogoFolderId || e.messageId == records::kLogoUnreadableId)
        return TextWith(e.messageId, {path, QString::fromStdString(e.text)});
    return Text(e.messageId);
}
} // namespace

QImage LogoPreview(const records::LogoImage& logo) {
    QImage img(std::max(1, logo.width), std::max(1, logo.height), QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    img.fill(0);
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x)
            if (logo.ink(x, y)) img.setPixel(x, y, 1);
    return img;
}

LogoForm::LogoForm(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDownLoad");
    setWindowTitle(Text(kCaption));
    auto* label3 = MakeLabel(this, "Label3", kHint, false);
    label3->setWordWrap(true);
    auto* label1 = MakeLabel(this, "Label1", kFileName);
    auto* label2 = MakeLabel(this, "Label2", kPreview);
    fileName_ = new QLineEdit(this);
    fileName_->setObjectName("txtFileName");
    fileName_->setMinimumWidth(360);
    openFile_ = MakeButton(this, "cmdOpenFile", kBrowse);
    dither_ = MakeCheckBox(this, "chkDither", kDither);

    image_ = new QLabel(this);
    image_->setObjectName("Image1");
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("fraPreview");
    scroll->setWidget(image_);
    scroll->setWidgetResizable(false);
    scroll->setBackgroundRole(QPalette::Dark);
    scroll->setMinimumSize(600, 220);
    size_ = new QLabel(this);
    size_->setObjectName("lblLogoSize");
    note_ = new QLabel(this);
    note_->setObjectName("lblNote");
    note_->setWordWrap(true);

    panel_ = new ProgressPanel(this);
    panel_->continueButton()->hide();
    panel_->closeButton()->hide();
    panel_->hide();

    download_ = MakeButton(this, "cmdDownload", kDownload);
    saveBmp_ = MakeButton(this, "cmdSaveBmp", kSaveBmp);
    exit_ = MakeButton(this, "cmdExit", kExit);

    auto* file = new QHBoxLayout;
    file->addWidget(label1);
    file->addWidget(fileName_, 1);
    file->addWidget(openFile_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveBmp_);
    buttons->addStretch(1);
    buttons->addWidget(download_);
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label3);
    layout->addLayout(file);
    layout->addWidget(dither_);
    layout->addWidget(label2);
    layout->addWidget(scroll, 1);
    layout->addWidget(size_);
    layout->addWidget(note_);
    layout->addWidget(panel_);
    layout->addLayout(buttons);
    // The form grows when the progress panel shows rather than squeezing it.
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(openFile_, &QPushButton::clicked, this, &LogoForm::openFileClicked);
    connect(download_, &QPushButton::clicked, this, &LogoForm::download);
    connect(saveBmp_, &QPushButton::clicked, this, &LogoForm::saveBmpClicked);
    connect(exit_, &QPushButton::clicked, this, &LogoForm::reject);
    connect(fileName_, &QLineEdit::returnPressed, this, [this] {
        if (!fileName_->text().trimmed().isEmpty()) choose(fileName_->text().trimmed());
    });
    // Ticking or clearing the box takes the chosen file again the other way.
    connect(dither_, &QCheckBox::toggled, this, [this] {
        if (!fileName_->text().trimmed().isEmpty()) choose(fileName_->text().trimmed());
    });
    connect(panel_->stopButton(), &QPushButton::clicked, this, [] {
        if (link::TransferEngine* e = Engine()) e->stop();
    });
    clearLogo();
    ApplyFormFont(this);
}

LogoForm::~LogoForm() {
    for (const auto& c : engineConnections_) disconnect(c);
}

void LogoForm::clearLogo() {
    logo_ = {};
    logoPath_.clear();
    image_->setPixmap({});
    image_->resize(1, 1);
    size_->clear();
    note_->clear();
    saveBmp_->setEnabled(false);
}

void LogoForm::showLogo() {
    const QImage img = LogoPreview(logo_);
    image_->setPixmap(QPixmap::fromImage(img));
    image_->resize(img.size());
    size_->setText(TextWith(kSizeLine, {QString::number(logo_.width), QString::number(logo_.height),
                                        QString::number(logo_.bytes.size()),
                                        QString::number(records::LogoPageCount(logo_.bytes.size()))}));
    saveBmp_->setEnabled(!running_);
}

void LogoForm::openFileClicked() {
    QFileDialog dialog(this, Text(kBrowse));
    dialog.setObjectName("dlgOpenFile");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly);
    QStringList filters{filterOf(Text(kBitmapFilter), "*.bmp")};
    if (dither_->isChecked())
        filters.prepend(Text(kPictures) + " (*.bmp *.png *.jpg *.jpeg *.gif *.tif *.tiff *.webp)");
    dialog.setNameFilters(filters);
    if (!fileName_->text().trimmed().isEmpty()) dialog.selectFile(fileName_->text().trimmed());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        Prompt().error(this, Text(msg::Title), Text(msg::NoSuchFile));
        return;
    }
    fileName_->setText(dialog.selectedFiles().first());
    choose(fileName_->text());
}

bool LogoForm::choose(const QString& path) {
    clearLogo();
    if (path.trimmed().isEmpty() || !QFileInfo::exists(path)) {
        Prompt().error(this, Text(msg::Title), Text(msg::NoSuchFile));
        return false;
    }
    const std::string file = path.toStdString();
    const records::LogoChoice c = records::ReadLogoPicture(file, dither_->isChecked());
    if (!c.ok()) {
        QString why = errorText(c.error, path);
        // A picture that is no monochrome bitmap could still be converted.
        if (!dither_->isChecked() && records::IsPictureFile(file)) {
            why += "\n" + TextWith(kTickToSend, {dither_->text()});
            note_->setText(TextWith(kTickToSend, {dither_->text()}));
        }
        Prompt().error(this, Text(msg::Title), why);
        return false;
    }
    logo_ = c.image;
    logoPath_ = path;
    if (c.converted)
        note_->setText(TextWith(c.scaled() ? kReduced : kConverted,
                                {QString::number(c.sourceWidth), QString::number(c.sourceHeight)}));
    showLogo();
    return true;
}

bool LogoForm::saveBitmap(const QString& path) {
    if (logo_.bytes.empty()) return false;
    const Bytes file = records::MonochromeBitmap(logo_);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<qint64>(file.size())) !=
            static_cast<qint64>(file.size()) ||
        !out.flush()) {
        Prompt().error(this, Text(msg::Title), TextWith(records::kLogoUnreadableId, {path, out.errorString()}));
        return false;
    }
    out.close();
    Prompt().information(this, Text(msg::Title), TextWith(kSaved, {path}));
    return true;
}

void LogoForm::saveBmpClicked() {
    if (logo_.bytes.empty()) return;
    QFileDialog dialog(this, Text(kSaveBmp));
    dialog.setObjectName("dlgSaveFile");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("bmp");
    dialog.setNameFilters({filterOf(Text(kBitmapFilter), "*.bmp")});
    dialog.selectFile(QFileInfo(logoPath_).completeBaseName() + "-logo.bmp");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    saveBitmap(dialog.selectedFiles().first());
}

void LogoForm::setRunning(bool running) {
    running_ = running;
    for (QWidget* w : std::initializer_list<QWidget*>{fileName_, openFile_, dither_, download_, exit_})
        w->setEnabled(!running);
    saveBmp_->setEnabled(!running && !logo_.bytes.empty());
    if (running) {
        panel_->showRunning();
        // Large enough for the progress panel.
        const QSize wanted = sizeHint().expandedTo(minimumSizeHint());
        if (height() < wanted.height() || width() < wanted.width()) resize(size().expandedTo(wanted));
    } else {
        panel_->hide();
    }
}

void LogoForm::download() {
    if (running_) return;
    const QString path = fileName_->text().trimmed();
    if (path.isEmpty()) return;
    if (!QFileInfo::exists(path)) {
        Prompt().error(this, Text(msg::Title), Text(msg::NoSuchFile));
        return;
    }
    // The file is read and checked again: it may have changed since it was
    // chosen, and nothing is sent for a file that is refused.
    const records::LogoChoice c = records::ReadLogoPicture(path.toStdString(), dither_->isChecked());
    if (!c.ok()) {
        Prompt().error(this, Text(msg::Title), errorText(c.error, path));
        return;
    }
    link::TransferEngine* engine = Engine();
    if (!engine || engine->busy() || engine->state() != link::EngineState::Idle) {
        Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
        return;
    }
    if (logoPath_ != path || !(logo_ == c.image)) {
        logo_ = c.image;
        logoPath_ = path;
        showLogo();
    }
    const int pages = records::LogoPageCount(logo_.bytes.size());
    panel_->bar()->setRange(0, pages);
    panel_->bar()->setValue(0);
    panel_->label()->setText(TextWith(kSendingPage, {"1", QString::number(pages)}));
    engineConnections_ << connect(engine, &link::TransferEngine::pageStarted, this,
                                  [this, pages](int page, const QString&) {
                                      panel_->bar()->setValue(page - 1);
                                      panel_->label()->setText(
                                          TextWith(kSendingPage, {QString::number(page), QString::number(pages)}));
                                  })
                       << connect(engine, &link::TransferEngine::finished, this, &LogoForm::onFinished);
    setRunning(true);
    qCDebug(lcGui) << "logo" << path << logo_.width << "x" << logo_.height << pages << "pages";
    if (!engine->sendLogo(logo_.bytes)) {
        for (const auto& conn : engineConnections_) disconnect(conn);
        engineConnections_.clear();
        setRunning(false);
    }
}

void LogoForm::onFinished(const link::TransferResult& r) {
    for (const auto& c : engineConnections_) disconnect(c);
    engineConnections_.clear();
    setRunning(false);
    const QString text = QString::fromStdString(link::ResultText(r));
    if (r.outcome == link::Outcome::Done)
        Prompt().information(this, Text(msg::Title), text);
    else if (!text.isEmpty())
        Prompt().error(this, Text(msg::Title), text);
}

// Closing (Exit, Escape, the title bar) waits while the port is open.
void LogoForm::reject() {
    if (!MayCloseWhileLinked(this)) return;
    if (running_) {
        Prompt().information(this, Text(msg::PortBusyTitle), Text(msg::PortBusy));
        return;
    }
    QDialog::reject();
}

} // namespace ecr::maintenance
