// frmDownLoad: choose a picture, see it as the register will print it, and
// write it into the register's logo pages. A monochrome bitmap goes as it is;
// another picture is dithered when the user asks for it, and the result can
// be kept as a monochrome bitmap.
#pragma once

#include "records/Logo.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QMetaObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ecr::link {
struct TransferResult;
}

namespace ecr::ui {
class ProgressPanel;
}

namespace ecr::maintenance {

// The logo as a picture: ink black on white paper, one pixel a dot.
QImage LogoPreview(const records::LogoImage& logo);

class LogoForm : public QDialog {
    Q_OBJECT
public:
    explicit LogoForm(QWidget* parent = nullptr);
    ~LogoForm() override;

    // Loads the picture of path into the preview; false (after saying why)
    // when it cannot be sent. An empty path says 111127.
    bool choose(const QString& path);
    // cmdDownload: checks the file again, then writes the logo pages.
    void download();
    // cmdSaveBmp: the chosen logo as a monochrome bitmap at path.
    bool saveBitmap(const QString& path);
    // The logo the preview shows; empty before a picture was taken.
    const records::LogoImage& logo() const { return logo_; }

    void reject() override;

private:
    void openFileClicked();
    void saveBmpClicked();
    void showLogo();
    void clearLogo();
    void onFinished(const link::TransferResult& r);
    void setRunning(bool running);

    QLineEdit* fileName_;
    QLabel* image_;
    QLabel* size_;
    QLabel* note_;
    QCheckBox* dither_;
    QPushButton* openFile_;
    QPushButton* download_;
    QPushButton* saveBmp_;
    QPushButton* exit_;
    ui::ProgressPanel* panel_;
    records::LogoImage logo_;
    QString logoPath_;
    bool running_ = false;
    QList<QMetaObject::Connection> engineConnections_;
};

} // namespace ecr::maintenance
