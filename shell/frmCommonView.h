#pragma once
// frmCommonView, the text viewer of the about view (captioned as the end-user
// agreement): shows one document and prints it. Rich-text (RTF) documents show
// formatted (shell/RtfReader.h), HTML files (.htm, .html) too, and other text
// files as plain text; a file named .rtf that is no RTF document leaves the
// box empty, as an unreadable file does.

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
