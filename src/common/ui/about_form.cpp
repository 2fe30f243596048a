#include "common/ui/about_form.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/settings_keys.h"
#include "common/ui/qt_ui.h"

namespace lagrull {

namespace {

QLabel* addLine(QWidget* owner, QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text, owner);  // owned by the form
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return label;
}

}  // namespace

TAboutForm::TAboutForm(RegisterKind registerKind, QWidget* owner) : QDialog(owner) {
    setObjectName("TAboutForm");
    setWindowTitle("Om Lagrull");
    setModal(true);

    auto* layout = new QVBoxLayout(this);  // owned by the form
    layout->setContentsMargins(32, 20, 32, 16);
    layout->setSpacing(8);

    QLabel* product = addLine(this, layout, "laProdukt", "Lagrull");
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    product->setFont(big);

    addLine(this, layout, "laVersjon", QString("Versjon %1").arg(LAGRULL_VERSION));
    QLabel* kind =
        addLine(this, layout, "laRegister", QString::fromStdString(registerKindName(registerKind)));
    QFont bold = kind->font();
    bold.setBold(true);
    kind->setFont(bold);
    addLine(this, layout, "laFormaal",
            registerKind == RegisterKind::Rent
                ? QString::fromUtf8("Register over leietakere og innkreving av husleie:\n"
                                    "betalingsposter, giro, AvtaleGiro og innbetalinger.")
                : QString::fromUtf8("Medlemsregister for lag og foreninger og innkreving av "
                                    "kontingent:\nbetalingsposter, giro, AvtaleGiro og "
                                    "innbetalinger."));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("btOK");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->setCenterButtons(true);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void showAbout(RegisterKind kind) {
    TAboutForm form(kind, dialogOwner());
    form.exec();
}

}  // namespace lagrull
