// Serial settings: the device (a port of this machine or a typed path such as
// a USB adapter or a pseudo-terminal), the line speed, and the code page the
// register keeps its texts in.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace ecr::gui {

// Serial devices present on this machine, sorted.
QStringList PresentSerialPorts();

class CommSetForm : public QDialog {
    Q_OBJECT
public:
    explicit CommSetForm(QWidget* parent = nullptr);
    // With a given device list instead of the machine's.
    CommSetForm(const QStringList& ports, QWidget* parent);

private:
    void cmdSave_Click();

    QLabel* label1_;
    QLabel* label2_;
    QLabel* label3_;
    QComboBox* cboComm_;
    QComboBox* cboRate_;
    QComboBox* cboCodePage_; // item data: the code page's iconv name
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
};

} // namespace ecr::gui
