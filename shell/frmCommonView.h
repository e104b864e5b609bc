#pragma once
// frmCommonView, the text viewer of the about view (captioned as the end-user
// agreement): shows one document and prints it. HTML files (.htm, .html) show
// formatted and other text files as plain text; rich-text (RTF) documents have
// no reader here and leave the box empty, as an unreadable file does.

#include <QDialog>

class QPrinter;
class QPushButton;
class QTextEdit;

class frmCommonView : public QDialog {
    Q_OBJECT
public:
    explicit frmCommonView(QWidget* owner = nullptr);

    void subLoadFile(const QString& path);
    // Prints the document with 1,400-twip margins and the caption as header;
    // `printer` nullptr: the default printer.
    int cmdPrint_Click(QPrinter* printer = nullptr);

    QTextEdit* rtxtLicense = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdOk = nullptr;
};
