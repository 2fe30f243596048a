#include "services/ui/update_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "common/ui/help_window.h"

namespace lagrull {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TformAutoUpdate::TformAutoUpdate(RegisterKind kind, QWidget* parent) : QDialog(parent) {
    setWindowTitle(" Oppdatering");
    auto* layout = new QVBoxLayout(this);
    memoInfo = new QPlainTextEdit(this);
    memoInfo->setReadOnly(true);
    memoInfo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memoInfo->setMaximumHeight(90);
    memoInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(memoInfo);
    edAutoCheck = new QCheckBox(this);
    edUpdateNow = new QCheckBox("Sjekk oppdatering nå", this);
    layout->addWidget(edAutoCheck);
    layout->addWidget(edUpdateNow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btOK = new QPushButton("OK", this);
    btAvbryt = new QPushButton("Avbryt", this);
    btOK->setDefault(true);
    buttons->addWidget(btOK);
    buttons->addWidget(btAvbryt);
    layout->addLayout(buttons);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btAvbryt, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [kind] { showHelp(kHelpOppdatering, kind); });
    resize(460, 220);
}

bool TformAutoUpdate::ShowModal() {
    setWindowTitle(q(Caption));
    memoInfo->setPlainText(q(Info));
    edAutoCheck->setText(q(AutoCheckCaption));
    edAutoCheck->setChecked(AutoCheck);
    edUpdateNow->setChecked(UpdateNow);
    const bool ok = exec() == QDialog::Accepted;
    AutoCheck = edAutoCheck->isChecked();
    UpdateNow = edUpdateNow->isChecked();
    return ok;
}

TQtProgressForm::TQtProgressForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Filoverføring");
    auto* layout = new QVBoxLayout(this);
    HostnameString = new QLabel("Henter ny versjon fra serveren...", this);
    stProgress = new QLabel("0 bytes overført", this);
    layout->addWidget(HostnameString);
    layout->addWidget(stProgress);
    resize(380, 90);
}

void TQtProgressForm::Show(const std::string& hostnameString) {
    HostnameString->setText(q(hostnameString));
    stProgress->setText("0 bytes overført");
    show();
    QCoreApplication::processEvents();
}

void TQtProgressForm::Bytes(long long received) {
    stProgress->setText(QString::number(received) + " bytes overført");
}

bool TQtDesktop::OpenUrl(const std::string& url) {
    const QString text = q(url);
    return QDesktopServices::openUrl(text.startsWith("mailto:") ? QUrl(text)
                                                                : QUrl::fromLocalFile(text));
}

bool TQtDesktop::PutFilesOnClipboard(const std::vector<std::string>& files) {
    auto* data = new QMimeData;  // the clipboard takes it over
    QList<QUrl> urls;
    for (const std::string& f : files) urls.append(QUrl::fromLocalFile(q(f)));
    data->setUrls(urls);
    QApplication::clipboard()->setMimeData(data);
    return true;
}

bool TQtDesktop::RunAndWait(const std::string& program) {
    QFile::setPermissions(q(program), QFile::permissions(q(program)) | QFile::ExeOwner);
    return QProcess::execute(q(program), {}) >= 0;
}

void TQtDesktop::Quit() { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }

}  // namespace lagrull
