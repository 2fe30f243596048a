#include "services/ui/setup_form.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/ui.h"

namespace lagrull {

TSetupForm::TSetupForm(TSetupSettings& settings, Ui& ui, QWidget* parent)
    : QDialog(parent), settings_(settings), ui_(ui) {
    setObjectName("TSetupForm");
    setWindowTitle("Dataoppsett");
    // Every widget below is owned by the dialog through its layouts.
    auto* form = new QFormLayout;
    EditDATABASE = new QLineEdit(this);
    EditDATABASE->setObjectName("EditDATABASE");
    EditDATABASE->setMinimumWidth(380);
    EditBREV = new QLineEdit(this);
    EditBREV->setObjectName("EditBREV");
    form->addRow("&Dataområde", EditDATABASE);
    form->addRow("B&revområde", EditBREV);

    auto* kind = new QGroupBox("Konfigurert som", this);
    kind->setObjectName("RGRegister");
    rbMedlemsregister = new QRadioButton("Medlemsregister", kind);
    rbHusleieregister = new QRadioButton("Husleieregister", kind);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(rbMedlemsregister);
    kindLayout->addWidget(rbHusleieregister);

    EditFONT = new QSpinBox(this);
    EditFONT->setObjectName("EditFONT");
    EditFONT->setRange(6, 12);
    EditFONT->setValue(9);
    auto* fontRow = new QFormLayout;
    fontRow->addRow("&Fontstørrelse rapporter", EditFONT);

    btOK = new QPushButton("&OK", this);
    btAvbryt = new QPushButton("&Avbryt", this);
    btBla = new QPushButton("&Bla gjennom...", this);
    btOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btBla);
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btAvbryt);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(kind);
    layout->addLayout(fontRow);
    layout->addLayout(buttons);

    lastPathField_ = EditDATABASE;
    EditDATABASE->installEventFilter(this);
    EditBREV->installEventFilter(this);
    connect(btOK, &QPushButton::clicked, this, &TSetupForm::ok);
    connect(btAvbryt, &QPushButton::clicked, this, &TSetupForm::cancel);
    connect(btBla, &QPushButton::clicked, this, &TSetupForm::browse);
    reload();
}

bool TSetupForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == EditDATABASE) lastPathField_ = EditDATABASE;
        if (watched == EditBREV) lastPathField_ = EditBREV;
    }
    return QDialog::eventFilter(watched, event);
}

void TSetupForm::reload() {
    const SetupValues v = settings_.load();
    EditDATABASE->setText(QString::fromStdString(v.database));
    EditBREV->setText(QString::fromStdString(v.letterFile));
    (v.registerKind == RegisterKind::Rent ? rbHusleieregister : rbMedlemsregister)
        ->setChecked(true);
    EditFONT->setValue(v.fontSize);
    customerUnitId_ = v.customerUnitId;
}

SetupValues TSetupForm::edited() const {
    SetupValues v;
    v.database = EditDATABASE->text().trimmed().toStdString();
    v.letterFile = EditBREV->text().trimmed().toStdString();
    v.registerKind = rbHusleieregister->isChecked() ? RegisterKind::Rent : RegisterKind::Members;
    v.fontSize = EditFONT->value();
    v.customerUnitId = customerUnitId_;
    return v;
}

void TSetupForm::ok() {
    SetupValues v = edited();
    // Compare directories in their stored form, with the trailing "/".
    if (!v.database.empty() && v.database.back() != '/') v.database += '/';
    switch (settings_.accept(v, ui_)) {
        case TSetupSettings::Outcome::KeepOpen: return;
        case TSetupSettings::Outcome::Closed: accept(); return;
        case TSetupSettings::Outcome::Restart: done(kRestart); return;
    }
}

void TSetupForm::cancel() {
    reload();
    reject();
}

void TSetupForm::browse() {
    FileRequest request;
    if (lastPathField_ == EditBREV) {
        request.caption = "Brevområde";
        request.filter = "RTF-filer|*.rtf";
        request.fileName = EditBREV->text().toStdString();
        // The path is kept as chosen: this file system tells letter cases apart.
        if (const auto file = ui_.openFileName(request))
            EditBREV->setText(QString::fromStdString(*file));
    } else {
        request.caption = "Dataområde";
        request.directory = EditDATABASE->text().toStdString();
        if (const auto dir = ui_.directoryName(request, true))
            EditDATABASE->setText(QString::fromStdString(*dir));
    }
}

}  // namespace lagrull
