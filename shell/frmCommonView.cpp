#include "shell/frmCommonView.h"

#include "common/basFile.h"
#include "shell/RtfReader.h"
#include "platform/text/AnsiFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextEdit>
#include <QVBoxLayout>

frmCommonView::frmCommonView(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmCommonView"));
    setWindowTitle(QStringLiteral("Qorlan 最终用户许可协议"));
    resize(560, 460);
    rtxtLicense = new QTextEdit(this);
    rtxtLicense->setObjectName(QStringLiteral("rtxtLicense"));
    rtxtLicense->setReadOnly(true);
    cmdPrint = new QPushButton(QStringLiteral("打印(&P)"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdOk = new QPushButton(QStringLiteral("确定"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rtxtLicense, 1);
    layout->addLayout(buttons);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
}

void frmCommonView::subLoadFile(const QString& path) {
    rtxtLicense->clear();
    if (path.isEmpty()) return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = f.readAll();
    if (bytes.startsWith("{\\rtf")) {
        shell::blnReadRtf(bytes, rtxtLicense->document());
        return;
    }
    // A byte-order mark or an HTML charset names the encoding; else UTF-8 when
    // the bytes are valid UTF-8, else the ANSI code page.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool html = suffix == QLatin1String("htm") || suffix == QLatin1String("html");
    QString text;
    if (auto named =
            html ? QStringConverter::encodingForHtml(bytes) : QStringConverter::encodingForData(bytes)) {
        text = QStringDecoder(*named).decode(bytes);
    } else {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) text = text::decodeAnsi(bytes);
    }
    if (html)
        rtxtLicense->setHtml(text);
    else if (suffix != QLatin1String("rtf"))
        rtxtLicense->setPlainText(text);
}

int frmCommonView::cmdPrint_Click(QPrinter* printer) {
    return subPrintRichText(rtxtLicense, 1400, 1400, 1400, 1400, windowTitle(), QString(), printer);
}
