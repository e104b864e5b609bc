#include "extend/cAssembly.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "extend/RunError.h"
#include "extend/mRegisterTypeLib.h"

#include "platform/ui/DialogService.h"

#include <QFileInfo>
#include <QProcess>

#include <vector>

namespace extend {

namespace {

void showError(const QString& text) {
    ui::BoxRequest box;
    box.icon = ui::BoxIcon::Error;
    box.buttons = ui::BoxButtons::Ok;
    box.title = QStringLiteral("错误提示");
    box.text = text;
    box.beep = true;
    ui::DialogService::current().showBox(box);
}

} // namespace

cAssembly::~cAssembly() {
    Release();
}

bool cAssembly::LoadAssemblyLibrary(const QString& strFile) {
    // A running object is never found: every object is created here.
    object_ = objCreateObject(ClassName);
    if (object_) return true;
    if (blnRegisterTypeLib(strFile, true)) {
        object_ = objCreateObject(ClassName);
        if (object_) return true;
    }
    showError(QStringLiteral("装载") + ClassName + QStringLiteral("对象失败！"));
    return false;
}

bool cAssembly::UnRegisteLibrary() {
    return blnRegisterTypeLib(AssemblyFile, false);
}

void cAssembly::Release() {
    if (!object_) return;
    AddinObject* o = object_;
    object_ = nullptr;
    if (o->calls && o->calls->release) o->calls->release(o);
}

void cAssembly::CallProcessByName(const QString& ProcName, const QList<QVariant>& Argv) {
    if (!object_ || !object_->calls || !object_->calls->invoke) return;
    const int n = int(Argv.size()) - 1;
    if (n > 5) return;
    std::vector<QByteArray> texts(std::max(n, 0));
    std::vector<AddinValue> values(std::max(n, 0));
    for (int i = 0; i < n; ++i) {
        const QVariant& v = Argv.at(i + 1);
        AddinValue& a = values[i];
        a = AddinValue{ADDIN_VALUE_EMPTY, nullptr, 0};
        if (!v.isValid() || v.isNull()) continue;
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
            a.kind = ADDIN_VALUE_INT64;
            a.number = v.toLongLong();
        } else {
            texts[i] = v.toString().toUtf8();
            a.kind = ADDIN_VALUE_TEXT;
            a.text = texts[i].constData();
        }
    }
    char error[512] = {0};
    const QByteArray method = ProcName.toUtf8();
    const int rc = object_->calls->invoke(object_, method.constData(), n < 0 ? 0 : n, values.data(), error,
                                          sizeof error);
    if (rc == 0) return;
    error[sizeof error - 1] = 0;
    QString text = QString::fromUtf8(error);
    if (text.isEmpty())
        text = rc == ADDIN_ERROR_NO_SUCH_METHOD
                   ? QStringLiteral("对象不支持该属性或方法：") + ProcName
                   : QStringLiteral("插件方法 %1 出错（错误号 %2）").arg(ProcName).arg(rc);
    reportRunError(RunError(rc, text, ClassName));
}

QString cAssembly::strProgramFile() const {
    const QString name = QString(ProgName).replace(u'\\', u'/');
    if (name.isEmpty() || blnIsFullPath(name)) return name;
    return strResolvePath(g_strPath[0], name);
}

void cAssembly::RunExecute(const QList<QVariant>& Argv) {
    const QString program = strProgramFile();
    if (!QFileInfo(program).isFile())
        throw RunError(kErrFileNotFound, QStringLiteral("文件未找到：") + ProgName, ProgName);
    QStringList arguments;
    const int n = int(Argv.size()) - 1;
    for (int i = 1; i <= n; ++i)
        arguments << Argv.at(i).toString() + (i < n ? QStringLiteral(",") : QString());
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!ProgEnvironment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto it = ProgEnvironment.cbegin(); it != ProgEnvironment.cend(); ++it)
            env.insert(it.key(), it.value());
        process.setProcessEnvironment(env);
    }
    if (!process.startDetached()) showError(QStringLiteral("外部调用执行失败！"));
}

} // namespace extend
