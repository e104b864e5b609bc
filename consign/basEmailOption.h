#pragma once
// The mail options without their window: the six server settings of section
// "EmailOption", the signature file "Lt/LT4_Email_Name.ini" and the body file
// "Lt/LT4_Email_Body.ini" of the configuration folder.
//
// The signature file holds one entry per signature: a head line "[name]" (the
// default one "[name]*"), the text's lines, and a line "*". A text line that
// begins with "[" or is "*" alone cannot be told from those lines, so OK
// refuses such a text and writes nothing.

#include <QString>
#include <QStringList>
#include <QVector>

namespace consign {

struct SignatureRow {
    QString name;
    bool isDefault = false; // the column "状态" shows "默认签名"
    QString text;
};

// Reads a signature file (CRLF or LF); a missing file gives no rows.
QVector<SignatureRow> readSignatureFile(const QString& path);
// The file text of the rows (lines joined with CRLF, a final CRLF).
QString strSignatureFileText(const QVector<SignatureRow>& rows);
// The configuration folder's file ("LT4_Email_Name.ini", "LT4_Email_Body.ini").
QString strMailFile(const QString& name);

class EmailOption {
public:
    // Loading: the in-memory settings and the signature file; the body is the
    // one in memory.
    void subShowEmailOption();

    // The grid, its active row and the row the editor shows (-1 none).
    void spdName_Click(int row);
    void cmdNew();
    void cmdDelete();
    void cmdDefault();
    // Stores everything; 0, or -1 with its message shown (nothing stored
    // when the signatures are refused; the window stays open).
    int cmdOk();

    QString smtpAddress, emailAddress, user, password;
    bool smtpAuth = false, bak = false;
    QVector<SignatureRow> rows;
    int activeRow = -1;
    int editedRow = -1;
    QString editText; // txtName
    QString body;     // txtBody
};

} // namespace consign
