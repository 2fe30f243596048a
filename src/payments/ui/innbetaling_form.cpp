#include "payments/ui/innbetaling_form.h"

#include <utility>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "common/error.h"
#include "common/help_topics.h"
#include "common/settings_keys.h"
#include "common/ui.h"
#include "common/ui/help_window.h"
#include "payments/payment_report.h"
#include "payments/ui/payment_grid_model.h"
#include "reports/engine/ui/report_preview.h"

namespace lagrull {

namespace {

constexpr int kHelpTopic = 35;
constexpr int kPreviewHelpTopic = 36;

QString q(const std::string& s) { return QString::fromStdString(s); }

// Widths of the grid's columns, in pixels.
constexpr int kColumnWidths[kPaymentColumnCount] = {60, 190, 80, 170, 80,  170, 80,
                                                    85, 85,  80, 50,  110, 80,  100};

QLineEdit* readOnlyField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

}  // namespace

TfoInnbetaling::TfoInnbetaling(PaymentContext context, Ui& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      rules_(std::make_unique<TPaymentRegistration>(std::move(context), ui)),
      ui_(ui) {
    setObjectName("TfoInnbetaling");
    setWindowTitle(q(rules_->caption()));
    chooseReportTarget = [this]() -> std::optional<ReportTarget> {
        const QStringList choices{"Til Skjerm/printer", "Til fil"};
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(this, "Rapporter", "Rapporter", choices, 0, false, &ok);
        if (!ok) return std::nullopt;
        return chosen == choices[1] ? ReportTarget::File : ReportTarget::Screen;
    };
    build();
    connectAll();
    guarded([this] { switchView(PaymentView::PerDueDate); });
}

TfoInnbetaling::~TfoInnbetaling() = default;

void TfoInnbetaling::build() {
    const bool tenancy = rules_->registerKind() == RegisterKind::Rent;
    auto* filter = new QGroupBox(" Søkefilter ", this);
    rbPrForfall = new QRadioButton("Pr forfallsdato", filter);
    rbPrForfall->setObjectName("rbPrForfall");
    rbPrForfall->setChecked(true);
    RadioButton1 = new QRadioButton("Pr enkeltmedlem", filter);
    RadioButton1->setObjectName("RadioButton1");
    auto* filterBox = new QVBoxLayout(filter);
    filterBox->addWidget(rbPrForfall);
    filterBox->addWidget(RadioButton1);

    datePanel_ = new QWidget(this);
    cbForfDato = new QComboBox(datePanel_);
    cbForfDato->setObjectName("cbForfDato");
    cbForfDato->setMinimumWidth(115);
    txTekst = readOnlyField(datePanel_, "txTekst");
    txTekst->setMinimumWidth(170);
    auto* dateBox = new QGridLayout(datePanel_);
    dateBox->setContentsMargins(0, 0, 0, 0);
    dateBox->addWidget(new QLabel("Forfallsdato", datePanel_), 0, 0);
    dateBox->addWidget(cbForfDato, 1, 0);
    dateBox->addWidget(txTekst, 1, 1);

    memberPanel_ = new QWidget(this);
    cbNavn = new QComboBox(memberPanel_);
    cbNavn->setObjectName("cbNavn");
    cbNavn->setMinimumWidth(220);
    txIdnr = readOnlyField(memberPanel_, "txIdnr");
    txIdnr->setMaximumWidth(90);
    txBetMaate = readOnlyField(memberPanel_, "txBetMaate");
    txBetMaate->setMaximumWidth(110);
    laIdnr_ = new QLabel(tenancy ? "Leietakernr" : "Medlemsnr", memberPanel_);
    auto* memberBox = new QGridLayout(memberPanel_);
    memberBox->setContentsMargins(0, 0, 0, 0);
    memberBox->addWidget(new QLabel("Navn", memberPanel_), 0, 0);
    memberBox->addWidget(cbNavn, 1, 0);
    memberBox->addWidget(laIdnr_, 0, 1);
    memberBox->addWidget(txIdnr, 1, 1);
    memberBox->addWidget(new QLabel("Bet.måte", memberPanel_), 0, 2);
    memberBox->addWidget(txBetMaate, 1, 2);

    cbBetMaate = new QComboBox(this);
    cbBetMaate->setObjectName("cbBetMaate");
    for (auto [text, code] :
         {std::pair{"< Alle >", kAllPaymentMethods}, std::pair{"Giro", 2},
          std::pair{"Fast oppdrag", 0}, std::pair{"Kontant", 3}, std::pair{"AvtaleGiro", 1}})
        cbBetMaate->addItem(text, code);
    cbStatus = new QComboBox(this);
    cbStatus->setObjectName("cbStatus");
    cbStatus->addItem("< Alle >", int(PaymentStatus::Alle));
    cbStatus->addItem("Betalt", int(PaymentStatus::Betalt));
    cbStatus->addItem("Ikke betalt", int(PaymentStatus::IkkeBetalt));
    auto* filters = new QGridLayout;
    filters->addWidget(new QLabel("Bet.måte", this), 0, 0);
    filters->addWidget(cbBetMaate, 1, 0);
    filters->addWidget(new QLabel("Status", this), 0, 1);
    filters->addWidget(cbStatus, 1, 1);

    btAlleBet = new QPushButton("Alle &betalt      ", this);
    btAlleBet->setObjectName("btAlleBet");
    btAlleUbet = new QPushButton("Ingen betalt", this);
    btAlleUbet->setObjectName("btAlleUbet");
    btSlett = new QPushButton("&Slett alle", this);
    btSlett->setObjectName("btSlett");

    auto* top = new QHBoxLayout;
    top->addWidget(filter);
    top->addWidget(datePanel_);
    top->addWidget(memberPanel_);
    top->addLayout(filters);
    top->addStretch();
    auto* bulk = new QVBoxLayout;
    bulk->setSpacing(2);
    bulk->addWidget(btAlleBet);
    bulk->addWidget(btAlleUbet);
    bulk->addWidget(btSlett);
    top->addLayout(bulk);

    grBetPoster = new QTableView(this);
    grBetPoster->setObjectName("grBetPoster");
    model_ = new TPaymentGridModel(*rules_, ui_, this);
    grBetPoster->setModel(model_);
    grBetPoster->setSelectionBehavior(QAbstractItemView::SelectItems);
    grBetPoster->setSelectionMode(QAbstractItemView::SingleSelection);
    grBetPoster->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    grBetPoster->verticalHeader()->setDefaultSectionSize(20);
    grBetPoster->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grBetPoster->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < kPaymentColumnCount; ++c) grBetPoster->setColumnWidth(c, kColumnWidths[c]);
    grBetPoster->installEventFilter(this);
    grBetPoster->viewport()->installEventFilter(this);

    totalsPanel_ = new QWidget(this);
    totalsPanel_->setFixedHeight(52);
    laSum_ = new QLabel("Sum", totalsPanel_);
    laSkyldig_ = new QLabel("Skyldig(-)/Tilgode(+) ", totalsPanel_);
    EditBelop = readOnlyField(totalsPanel_, "EditBelop");
    EditBetBelop = readOnlyField(totalsPanel_, "EditBetBelop");
    EditTotal = readOnlyField(totalsPanel_, "EditTotal");
    for (QLineEdit* e : {EditBelop, EditBetBelop, EditTotal}) e->setAlignment(Qt::AlignRight);

    auto* columns = new QGroupBox(" Vis kolonner ", this);
    cbBBSDato = new QCheckBox("BBS dato", columns);
    cbBBSDato->setObjectName("cbBBSDato");
    cbKID = new QCheckBox("KID", columns);
    cbKID->setObjectName("cbKID");
    cbKontonr = new QCheckBox("Frå kontonr", columns);
    cbKontonr->setObjectName("cbKontonr");
    auto* columnsBox = new QHBoxLayout(columns);
    columnsBox->addWidget(cbBBSDato);
    columnsBox->addWidget(cbKID);
    columnsBox->addWidget(cbKontonr);

    RGSortering = new QGroupBox(" Sortering ", this);
    RGSortering->setObjectName("RGSortering");
    rbNavn = new QRadioButton("Navn", RGSortering);
    rbNavn->setChecked(true);
    rbNr = new QRadioButton("Nr", RGSortering);
    auto* sortBox = new QHBoxLayout(RGSortering);
    sortBox->addWidget(rbNavn);
    sortBox->addWidget(rbNr);

    btOK = new QPushButton("&Oppdater", this);
    btOK->setObjectName("btOK");
    btOK->setEnabled(false);
    btAvbryt = new QPushButton("&Avbryt", this);
    btAvbryt->setObjectName("btAvbryt");
    btRapport = new QPushButton("Lag &Rapport", this);
    btRapport->setObjectName("btRapport");
    for (QPushButton* b : {btAlleBet, btAlleUbet, btSlett, btOK, btAvbryt, btRapport})
        b->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(columns);
    bottom->addWidget(RGSortering);
    bottom->addStretch();
    bottom->addWidget(btRapport);
    bottom->addWidget(btOK);
    bottom->addWidget(btAvbryt);

    auto* box = new QVBoxLayout(this);
    box->addLayout(top);
    box->addWidget(grBetPoster, 1);
    box->addWidget(totalsPanel_);
    box->addLayout(bottom);
    resize(900, 600);
}

void TfoInnbetaling::connectAll() {
    connect(rbPrForfall, &QRadioButton::toggled, this, [this](bool on) {
        if (on) guarded([this] { switchView(PaymentView::PerDueDate); });
    });
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) guarded([this] { switchView(PaymentView::PerMember); });
    });
    connect(cbForfDato, &QComboBox::currentTextChanged, this, [this](const QString& date) {
        if (!filling_) guarded([&] { rules_->chooseDueDate(date.toStdString()); });
    });
    connect(cbNavn, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!filling_)
            guarded(
                [this] { rules_->chooseMember(cbNavn->currentData().toString().toStdString()); });
    });
    connect(cbBetMaate, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!filling_)
            guarded([this] { rules_->choosePaymentMethod(cbBetMaate->currentData().toInt()); });
    });
    connect(cbStatus, &QComboBox::currentIndexChanged, this, [this](int) {
        if (!filling_)
            guarded([this] {
                rules_->chooseStatus(static_cast<PaymentStatus>(cbStatus->currentData().toInt()));
            });
    });
    connect(rbNr, &QRadioButton::toggled, this, [this](bool nr) {
        guarded([&] { rules_->chooseOrder(nr ? PaymentOrder::Nr : PaymentOrder::Navn); });
    });
    const std::pair<QCheckBox*, PaymentColumn> boxes[] = {{cbBBSDato, PaymentColumn::BbsDato},
                                                          {cbKID, PaymentColumn::Kid},
                                                          {cbKontonr, PaymentColumn::Kontonr}};
    // An init-capture: not every compiler captures a structured binding.
    for (auto [box, column] : boxes)
        connect(box, &QCheckBox::toggled, this, [this, column = column](bool on) {
            rules_->showColumn(column, on);
            updateColumns();
        });
    connect(btAlleBet, &QPushButton::clicked, this,
            [this] { guarded([this] { rules_->alleBetalt(); }); });
    connect(btAlleUbet, &QPushButton::clicked, this,
            [this] { guarded([this] { rules_->ingenBetalt(); }); });
    connect(btSlett, &QPushButton::clicked, this,
            [this] { guarded([this] { rules_->deleteAll(); }); });
    connect(btOK, &QPushButton::clicked, this, [this] { guarded([this] { rules_->save(); }); });
    connect(btAvbryt, &QPushButton::clicked, this, [this] { leave(); });
    connect(btRapport, &QPushButton::clicked, this, [this] { guarded([this] { report(); }); });
    model_->onEdited = [this] {
        updateTotals();
        btOK->setEnabled(rules_->pending());
    };
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [this] { showHelp(kHelpTopic, rules_->registerKind()); });
    connect(grBetPoster->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { placeTotals(); });
}

void TfoInnbetaling::guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        showException(ui_, std::current_exception());
    }
    refresh();
}

void TfoInnbetaling::fillLists() {
    filling_ = true;
    cbForfDato->clear();
    for (const std::string& d : rules_->dueDates()) cbForfDato->addItem(q(d));
    cbForfDato->setCurrentText(q(rules_->dueDate()));
    cbNavn->clear();
    for (const std::string& m : rules_->memberList()) {
        const std::size_t eq = m.find('=');
        cbNavn->addItem(q(m.substr(eq + 1)), q(m.substr(0, eq)));
    }
    cbNavn->setCurrentIndex(cbNavn->findData(q(rules_->memberNr())));
    cbBetMaate->setCurrentIndex(cbBetMaate->findData(rules_->paymentMethod()));
    cbStatus->setCurrentIndex(cbStatus->findData(int(rules_->status())));
    filling_ = false;
}

void TfoInnbetaling::switchView(PaymentView view) {
    rules_->prepareView(view);
    const bool date = rules_->view() == PaymentView::PerDueDate;
    datePanel_->setVisible(date);
    memberPanel_->setVisible(!date);
    RGSortering->setVisible(date);
    fillLists();
}

void TfoInnbetaling::refresh() {
    model_->reload();
    const bool any = !rules_->rows().empty();
    grBetPoster->setEnabled(any);
    txTekst->setText(q(rules_->firstText()));
    txIdnr->setText(q(rules_->memberNr()));
    txBetMaate->setText(q(rules_->firstPaymentMethod()));
    btOK->setEnabled(rules_->pending());
    updateColumns();
    updateTotals();
}

void TfoInnbetaling::updateColumns() {
    int width = grBetPoster->verticalHeader()->width() + 2 * grBetPoster->frameWidth();
    for (int c = 0; c < kPaymentColumnCount; ++c) {
        const bool shown = rules_->columnVisible(static_cast<PaymentColumn>(c));
        grBetPoster->setColumnHidden(c, !shown);
        if (shown) width += grBetPoster->columnWidth(c);
    }
    // The window follows the visible columns, with the side paddings and 45 px.
    const QMargins m = layout()->contentsMargins();
    const int wanted = std::max(width + m.left() + m.right() + 45, minimumSizeHint().width());
    if (!isMaximized()) resize(wanted, height());
    placeTotals();
}

void TfoInnbetaling::placeTotals() {
    // The totals stand under "Kravbeløp" and "Innbetalt".
    const int origin = grBetPoster->x() - totalsPanel_->x() + grBetPoster->frameWidth() +
                       grBetPoster->verticalHeader()->width();
    const int krav = origin + grBetPoster->columnViewportPosition(int(PaymentColumn::Kravbelop));
    const int paid = origin + grBetPoster->columnViewportPosition(int(PaymentColumn::Innbetalt));
    const int w = grBetPoster->columnWidth(int(PaymentColumn::Kravbelop));
    EditBelop->setGeometry(krav, 2, w, 22);
    EditBetBelop->setGeometry(paid, 2, grBetPoster->columnWidth(int(PaymentColumn::Innbetalt)), 22);
    EditTotal->setGeometry(paid, 27, grBetPoster->columnWidth(int(PaymentColumn::Innbetalt)), 22);
    laSum_->adjustSize();
    laSkyldig_->adjustSize();
    laSum_->move(krav - laSum_->width() - 6, 5);
    laSkyldig_->move(paid - laSkyldig_->width() - 6, 30);
}

void TfoInnbetaling::updateTotals() {
    const PaymentTotals& t = rules_->totals();
    EditBelop->setText(q(FormatAmount(t.krav)));
    EditBetBelop->setText(q(FormatAmount(t.innbetalt)));
    EditTotal->setText(q(FormatAmount(t.skyldig())));
}

void TfoInnbetaling::deleteCurrentRow() {
    const QModelIndex current = grBetPoster->currentIndex();
    if (!current.isValid() || rules_->rows().empty()) return;
    rules_->deleteRow(static_cast<std::size_t>(current.row()));
}

void TfoInnbetaling::report() {
    const auto target = chooseReportTarget();
    if (!target) return;
    if (*target == ReportTarget::File) {
        savePaymentGridFile(*rules_, ui_);
        return;
    }
    previewReport();
}

void TfoInnbetaling::previewReport() {
    const report::ReportLayout layout = paymentReportLayout(*rules_, reportFontSize());
    TPaymentReportRows rows(rules_->queries().IBSelectQuery);
    report::TReportPreview preview(layout, rows, ui_, kPreviewHelpTopic, rules_->registerKind(),
                                   this);
    preview.exec();
}

void TfoInnbetaling::leave() {
    try {
        rules_->leave();
    } catch (...) {
        // A failed save keeps the window open with the edits.
        showException(ui_, std::current_exception());
        refresh();
        return;
    }
    QDialog::reject();
}

void TfoInnbetaling::reject() { leave(); }

bool TfoInnbetaling::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::FocusIn || type == QEvent::FocusOut) {
        rules_->clearSearch();
    } else if (watched == grBetPoster && type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            rules_->clearSearch();
            guarded([this] { deleteCurrentRow(); });
            return true;
        }
        const QString text = key->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (!printable) {
            rules_->clearSearch();
            return false;
        }
        const auto column = static_cast<PaymentColumn>(grBetPoster->currentIndex().column());
        if (column == PaymentColumn::Innbetalt) return false;              // typed into the amount
        if (text == " " && column == PaymentColumn::Betalt) return false;  // ticks the box
        if (const auto row = rules_->typed(text.toStdString(), column))
            grBetPoster->setCurrentIndex(model_->index(static_cast<int>(*row), int(column)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace lagrull
