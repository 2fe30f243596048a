#include "register/ui/main_form.h"
#include "services/ui/update_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

#include "clearing/ui/ocr_menu.h"
#include "common/app_paths.h"
#include "common/error.h"
#include "common/help_topics.h"
#include "common/money.h"
#include "common/ui.h"
#include "common/ui/about_form.h"
#include "common/ui/help_window.h"
#include "common/ui/printers.h"
#include "data/field_access.h"
#include "data/ui/data_aware.h"
#include "data/ui/db_grid.h"
#include "data/ui/db_navigator.h"
#include "payments/ui/innbetaling_form.h"
#include "register/variants.h"
#include "reports/ui/letter_forms.h"
#include "reports/ui/report_forms.h"
#include "services/migration/paradox_migration.h"
#include "services/ui/setup_form.h"

namespace lagrull {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QString TMainForm::firstStartGuidance() {
    return "Begynn med å registrere organisasjonen: skriv navnet i feltet Org.navn og trykk ✓";
}

QString TMainForm::membersPageClosed() {
    return "Siden åpnes når en organisasjon er registrert og lagret";
}

TMainForm::TMainForm(data::DataStore& store, Ui& ui, TPostNr& postal, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      ui_(ui),
      postal_(postal),
      kind_(store.appDbMng().RegisterKind()) {
    setObjectName("TMainForm");
    setWindowTitle(q(" L a g r u l l  " LAGRULL_VERSION + registerCaptions(kind_).captionEnding));
    PageControl = new QTabWidget(this);  // owned by the window from here on
    PageControl->setObjectName("PageControl");
    PageControl->addTab(buildOrganisationPage(), "Organisasjoner");
    PageControl->addTab(buildMemberPage(), q(registerCaptions(kind_).membersPage));
    setCentralWidget(PageControl);
    buildToolBar();
    buildMenus();
    logic_ = std::make_unique<TMainFormLogic>(store, ui, *this, postal);
    bindFields();
    logic_->attach();
    applyCaptions();
    setCategoryStrip(false, false);
    connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::pageChanged);
    connect(qApp, &QApplication::focusChanged, this, &TMainForm::focusMoved);
    // Ctrl+Insert and Ctrl+Delete work the main navigator from anywhere.
    auto* insert = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert), this);
    connect(insert, &QShortcut::activated, this,
            [this] { runGuarded([this] { DBNavigatorMain->press(NavButton::Insert); }); });
    auto* remove = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete), this);
    connect(remove, &QShortcut::activated, this, [this] {
        runGuarded([this] {
            if (DBNavigatorMain->table() && DBNavigatorMain->table()->recordCount() > 0)
                DBNavigatorMain->press(NavButton::Delete);
        });
    });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_Return),
          QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { saveOrCancel(NavButton::Post); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { saveOrCancel(NavButton::Cancel); });
    // The edit fields take Ctrl+Insert (copy) and Ctrl+Delete themselves;
    // on this window those keys work the navigator.
    qApp->installEventFilter(this);
    // Members belong to an organisation: their page opens once there is one.
    organisationRows_ = logic_->tables().OrgTable.subscribe([this](data::TableEvent e) {
        if (e == data::TableEvent::Destroyed) return;
        updateMembersPage();
        updatePostalHints();
    });
    memberRows_ = logic_->tables().MedlTable.subscribe([this](data::TableEvent e) {
        if (e != data::TableEvent::Destroyed) updatePostalHints();
    });
    updateMembersPage();
    // F1 opens the help of the page in view.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        showHelp(
            static_cast<MainPage>(PageControl->currentIndex()) == MainPage::Organisations ? 27 : 28,
            kind_);
    });
    pageChanged(static_cast<int>(MainPage::Organisations));
    resize(1180, 720);
}

TMainForm::~TMainForm() {
    // Focus moves while the widgets go must not reach this half-destroyed window.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
    // The links and the rules go before the widgets that they call.
    organisationRows_.reset();
    memberRows_.reset();
    categoryLink_.reset();
    logic_.reset();
}

void TMainForm::runGuarded(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        if (showException(ui_, std::current_exception())) QApplication::exit(EXIT_FAILURE);
    }
}

void TMainForm::buildToolBar() {
    const RegisterCaptions& c = registerCaptions(kind_);
    QToolBar* bar = addToolBar("Verktøy");
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    KravBtn = bar->addAction("Betalingsposter");
    KravBtn->setObjectName("KravBtn");
    KravBtn->setToolTip(q(c.claimHint));
    connect(KravBtn, &QAction::triggered, this, [this] { runGuarded([this] { betalinger(); }); });
    QAction* payment = bar->addAction("Innbetaling");
    payment->setToolTip("Innbetaling");
    connect(payment, &QAction::triggered, this, [this] { runGuarded([this] { payments(); }); });
    btHjelp = bar->addAction("Hjelp");
    btHjelp->setToolTip("Hjelp");
    connect(btHjelp, &QAction::triggered, this, [this] { showHelp(kHelpContentsTopic, kind_); });
    btSok = bar->addAction("Søk");
    btSok->setToolTip("Søk");
    connect(btSok, &QAction::triggered, this,
            [this] { runGuarded([this] { logic_->search(SearchKind::Surname); }); });
    GiroBtn = bar->addAction("Giroutskrift");
    GiroBtn->setObjectName("GiroBtn");
    GiroBtn->setToolTip("Giroutskrift");
    connect(GiroBtn, &QAction::triggered, this, [this] { runGuarded([this] { giro(); }); });
    bar->addSeparator();
    DBNavigatorMain = new TDBNavigator({{NavButton::First, "Første"},
                                        {NavButton::Prior, "Forrige"},
                                        {NavButton::Next, "Neste"},
                                        {NavButton::Last, "Siste"},
                                        {NavButton::Insert, "Ny post (Ctrl+Insert)"},
                                        {NavButton::Delete, "Slett post (Ctrl+Delete)"},
                                        {NavButton::Post, "Lagre (Ctrl+S eller Ctrl+Enter)"},
                                        {NavButton::Cancel, "Avbryt endringen (Esc)"}},
                                       bar);
    DBNavigatorMain->setObjectName("DBNavigatorMain");
    bar->addWidget(DBNavigatorMain);
}

void TMainForm::buildMenus() {
    const RegisterCaptions& c = registerCaptions(kind_);
    QMenuBar* bar = menuBar();
    QMenu* fil = bar->addMenu("&Fil");
    miOrganisasjoner = fil->addAction("&Organisasjoner");
    connect(miOrganisasjoner, &QAction::triggered, this,
            [this] { PageControl->setCurrentIndex(static_cast<int>(MainPage::Organisations)); });
    miMedlemmer = fil->addAction("&Medlemmer");
    connect(miMedlemmer, &QAction::triggered, this,
            [this] { PageControl->setCurrentIndex(static_cast<int>(MainPage::Members)); });
    fil->addSeparator();
    miImport = fil->addAction("Importer medlemsliste fra &fil");
    connect(miImport, &QAction::triggered, this,
            [this] { runGuarded([this] { importMembers(); }); });
    QMenu* bbs = fil->addMenu("BBS");
    QAction* ocr = bbs->addAction("Les OCR-returfil");
    connect(ocr, &QAction::triggered, this, [this] {
        runGuarded([this] {
            clearing::OCRAvtaleGiro1Click(this, ui_, store_.dbLocal(), kind_);
            store_.tables().MedlTable.refresh();
        });
    });
    QAction* ocrReport = bbs->addAction("OCR-filrapport");
    connect(ocrReport, &QAction::triggered, this, [this] {
        runGuarded([this] { clearing::OCRFilrapport1Click(this, ui_, store_.dbLocal(), kind_); });
    });
    fil->addSeparator();
    QAction* printer = fil->addAction("S&kriveroppsett");
    connect(printer, &QAction::triggered, this, [this] { runGuarded([this] { printerSetup(); }); });
    QAction* dump = fil->addAction("Skjermdump til utskrift");
    connect(dump, &QAction::triggered, this, [this] { runGuarded([this] { printScreen(); }); });
    fil->addSeparator();
    QAction* quit = fil->addAction("&Avslutt");
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* reports = bar->addMenu("&Rapporter");
    const auto addReport = [this, reports](const QString& caption, reports::TRappKind kind) {
        QAction* a = reports->addAction(caption);
        connect(a, &QAction::triggered, this, [this, kind] {
            runGuarded([this, kind] {
                data::RegisterTables& t = store_.tables();
                if (t.OrgTable.isEmpty()) return;
                RunMemberReport(kind, ui_, store_.dbMng(), t.OrgTable, t.MedlTable, kind_, this);
            });
        });
    };
    addReport("&Medlemsliste", reports::TRappKind::Medlemsliste);
    addReport("&Etiketter", reports::TRappKind::Etiketter);
    addReport("Egen&definert", reports::TRappKind::EgenDefinert);
    reports->addSeparator();
    const auto addLetter = [this, reports](const QString& caption, reports::TLetterKind kind) {
        QAction* a = reports->addAction(caption);
        connect(a, &QAction::triggered, this, [this, kind] {
            runGuarded([this, kind] {
                data::RegisterTables& t = store_.tables();
                if (t.OrgTable.isEmpty()) return;
                RunLetterMenu(kind, ui_, store_.dbMng(), t.OrgTable, t.MedlTable, kind_, this);
            });
        });
    };
    addLetter("Brev - Generelt", reports::TLetterKind::Generelt);
    addLetter("Brev - Tilbud", reports::TLetterKind::Tilbud);

    QMenu* functions = bar->addMenu("F&unksjoner");
    Kontingentutsendelse1 = functions->addAction(q(c.claimMenu));
    connect(Kontingentutsendelse1, &QAction::triggered, this,
            [this] { runGuarded([this] { betalinger(); }); });
    miGiroutskrift = functions->addAction("Giro&utskrift");
    connect(miGiroutskrift, &QAction::triggered, this,
            [this] { runGuarded([this] { giroutskrifter(); }); });
    QAction* payment = functions->addAction("&Innbetaling");
    connect(payment, &QAction::triggered, this, [this] { runGuarded([this] { payments(); }); });
    miSok = functions->addAction("&Søk");
    connect(miSok, &QAction::triggered, this,
            [this] { runGuarded([this] { logic_->search(SearchKind::Surname); }); });
    miSokMenu = functions->addMenu("&Søk");
    miSokNavn = miSokMenu->addAction("&Navn");
    miSokNr = miSokMenu->addAction(q(c.numberSearchMenu));
    miSokFirma = miSokMenu->addAction("&Firma");
    connect(miSokNavn, &QAction::triggered, this,
            [this] { runGuarded([this] { logic_->search(SearchKind::Surname); }); });
    connect(miSokNr, &QAction::triggered, this,
            [this] { runGuarded([this] { logic_->search(SearchKind::MemberNumber); }); });
    connect(miSokFirma, &QAction::triggered, this,
            [this] { runGuarded([this] { logic_->search(SearchKind::Company); }); });
    miKopiering = functions->addAction("K&opiering");
    connect(miKopiering, &QAction::triggered, this,
            [this] { runGuarded([this] { kopier(TKopierMode::Copy); }); });
    miSletting = functions->addAction("S&letting");
    connect(miSletting, &QAction::triggered, this,
            [this] { runGuarded([this] { kopier(TKopierMode::Delete); }); });
    QAction* reindexEntry = functions->addAction("Rei&ndeksering");
    connect(reindexEntry, &QAction::triggered, this, [this] { runGuarded([this] { reindex(); }); });

    QMenu* system = bar->addMenu("&Systemoppsett");
    setupAction_ = system->addAction("&Dataoppsett");
    connect(setupAction_, &QAction::triggered, this, [this] { runGuarded([this] { setup(); }); });
    fetchOldRegisterAction = system->addAction("Hent register fra eldre versjon…");
    connect(fetchOldRegisterAction, &QAction::triggered, this,
            [this] { runGuarded([this] { fetchOldRegister(); }); });
    QAction* update = system->addAction("Oppdatering over internet");
    connect(update, &QAction::triggered, this, [this] { runGuarded([this] { manualUpdate(); }); });

    helpMenu_ = bar->addMenu("&Hjelp");
    contentsAction_ = helpMenu_->addAction("&Innhold");
    QAction* support = helpMenu_->addAction("Support - Epost til Brakvi");
    connect(support, &QAction::triggered, this,
            [this] { runGuarded([this] { supportMail(false); }); });
    // The entry with the register's files is there for support to switch
    // on; it is never shown.
    QAction* supportData = helpMenu_->addAction("Support - Epost til Brakvi, inkl. datafiler");
    supportData->setObjectName("Epostmeddatafiler1");
    supportData->setVisible(false);
    connect(supportData, &QAction::triggered, this,
            [this] { runGuarded([this] { supportMail(true); }); });
    aboutAction_ = helpMenu_->addAction("&Om Lagrull");
    for (QMenu* m : {fil, bbs, reports, functions, miSokMenu, system, helpMenu_})
        m->setToolTipsVisible(true);
    connect(contentsAction_, &QAction::triggered, this,
            [this] { showHelp(kHelpContentsTopic, kind_); });
    connect(aboutAction_, &QAction::triggered, this, [this] { showAbout(kind_); });
}

void TMainForm::applyCaptions() {
    const RegisterCaptions& c = registerCaptions(kind_);
    PageControl->setTabText(1, q(c.membersPage));
    // The menu entries carry the pages' captions.
    miOrganisasjoner->setText("&" + PageControl->tabText(0));
    QString members = PageControl->tabText(1);
    if (!members.contains('&')) members.prepend('&');
    miMedlemmer->setText(members);
}

void TMainForm::pageChanged(int tab) {
    const auto page = static_cast<MainPage>(tab);
    runGuarded([&] {
        logic_->changePage(page);
        DBNavigatorMain->setTable(page == MainPage::Organisations ? &logic_->tables().OrgTable
                                                                  : &logic_->tables().MedlTable);
    });
}

void TMainForm::focusMoved(QWidget* from, QWidget* to) {
    // Entering the category or standard-relations panel saves the
    // organisation's own fields first.
    auto inside = [](QWidget* w, QWidget* panel) { return w && panel && panel->isAncestorOf(w); };
    for (QWidget* panel :
         {static_cast<QWidget*>(pnKontingent), static_cast<QWidget*>(pnRelStandard)})
        if (inside(to, panel) && !inside(from, panel))
            runGuarded([this] { logic_->leavingOrganisationFields(); });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* w = qobject_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
        const int k = key->key();
        const bool ours = ctrl && (k == Qt::Key_Insert || k == Qt::Key_Delete || k == Qt::Key_S ||
                                   k == Qt::Key_Return || k == Qt::Key_Enter);
        // Left unaccepted, the key goes to this window's shortcuts.
        if (ours && w && isAncestorOf(w)) return true;
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == EditPOSTNR)
            logic_->postalCodeEntered(false, EditPOSTNR->text().toStdString());
        if (watched == EditMPOSTNR)
            logic_->postalCodeEntered(true, EditMPOSTNR->text().toStdString());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Unsaved edits are saved on the way out, as on a page change; a record
    // that cannot be saved keeps the window open.
    bool saved = true;
    runGuarded([&] {
        for (data::TOrvTable* t :
             {&logic_->tables().MedlTable, &logic_->tables().KontTable, &logic_->tables().OrgTable})
            if (t->editing() && !t->post()) saved = false;
    });
    if (saved)
        event->accept();
    else
        event->ignore();
}

void TMainForm::updateMembersPage() {
    auto& org = logic_->tables().OrgTable;
    const bool any = org.active() && org.recordCount() > 0;
    PageControl->setTabEnabled(1, any);
    miMedlemmer->setEnabled(any);
    const QString why = any ? QString() : membersPageClosed();
    PageControl->setTabToolTip(1, why);
    miMedlemmer->setToolTip(why);
    laVeiledning->setVisible(!any);
}

void TMainForm::updatePostalHints() {
    // A code still being typed is not yet unknown.
    auto unknown = [this](TMalDB* field) {
        const std::string code = field->text().toStdString();
        return (!field->hasFocus() || code.size() >= 4) && logic_->postalCodeUnknown(code);
    };
    laPostnrUkjent->setVisible(unknown(EditPOSTNR));
    laMPostnrUkjent->setVisible(unknown(EditMPOSTNR));
}

void TMainForm::saveOrCancel(NavButton button) {
    runGuarded([&] {
        TDBNavigator* navigator =
            logic_->tables().KontTable.editing() ? DBNavigatorKont : DBNavigatorMain;
        if (navigator->table() && navigator->table()->editing()) navigator->press(button);
    });
}

void TMainForm::printerSetup() { printerSetupDialog(this)->exec(); }

void TMainForm::printScreen() {
    WaitWindow wait(ui_, "VENT!", "Skriver ut.....");
    const QPixmap image = grab();
    QPrinter& printer = currentPrinter();
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error("Kan ikke skrive ut på " + printer.printerName().toStdString());
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawPixmap(0, 0, image);
    painter.end();
}

void TMainForm::setup() {
    TSetupSettings settings(settingsFilePath(), applicationDataDirectory(),
                            appPaths().programDirectory);
    TSetupForm form(settings, ui_, this);
    if (form.exec() == TSetupForm::kRestart) close();
}

void TMainForm::payments() {
    data::TOrganisasjon* org = store_.appDbMng().Organisasjon();
    if (!org || logic_->tables().OrgTable.isEmpty()) {
        ui_.error("Organisasjon må opprettes først!");
        return;
    }
    if (!paymentQueries_) paymentQueries_ = std::make_unique<TPaymentQueries>(store_.dbLocal());
    paymentQueries_->restore();  // the window rewrites their lines
    TfoInnbetaling form({store_.dbLocal(), *paymentQueries_, org->OrgNr(), org->OrgNavn(), kind_,
                         &logic_->tables().MedlTable},
                        ui_, this);
    form.exec();
    if (logic_->tables().BetTable.active()) logic_->tables().BetTable.refresh();
}

void TMainForm::fetchOldRegister(bool offer) {
    migration::MigrationTarget target = migration::defaultMigrationTarget();
    if (!fetchSettingsFile_.empty()) target = {fetchSettingsFile_, fetchDirectory_};
    if (migration::runMigrationDialogue(store_, ui_, target, offer)) logic_->writeHeading();
}

void TMainForm::offerOldRegisterWhenEmpty() {
    if (migration::registerIsEmpty(store_)) fetchOldRegister(true);
}

void TMainForm::reindex() {
    const auto failed = store_.appDbMng().Reindex(logic_->tables());
    if (failed.empty()) return;
    std::string names;
    for (const auto& n : failed) names += (names.empty() ? "" : ", ") + n;
    ui_.error("Indeksene kunne ikke bygges på nytt for: " + names);
}

// MainFormView -------------------------------------------------------------

void TMainForm::focusField(FormField field) {
    QWidget* w = nullptr;
    switch (field) {
        case FormField::OrgNavn: w = EditORGNAVN; break;
        case FormField::Kategori: w = EditKATEGORI; break;
        case FormField::KategoriBelop: w = EditBELOP; break;
        case FormField::MedlNr: w = EditMEDLNR; break;
        case FormField::Fornavn: w = EditFORNAVN; break;
    }
    if (w) w->setFocus(Qt::OtherFocusReason);
}

void TMainForm::setMemberNumberEditable(bool editable) { EditMEDLNR->setReadOnly(!editable); }

void TMainForm::setCategoryStrip(bool visible, bool nameEditable) {
    pnKontEdit->setVisible(visible);
    EditKATEGORI->setReadOnly(!nameEditable);
    grKont->setAlwaysShowSelection(visible);
}

void TMainForm::setHeading(const std::string& heading) { laHeading->setText(q(heading)); }

void TMainForm::setMemberAmountFromCategory(bool fromCategory, double categoryAmount) {
    if (fromCategory) {
        EditKONTINGENT->link().unbind();
        EditKONTINGENT->setText(q(FormatAmount(categoryAmount)));
        EditKONTINGENT->setReadOnly(true);
    } else {
        if (!EditKONTINGENT->link().bound())
            EditKONTINGENT->setDataField(&logic_->tables().MedlTable, "BELOP");
        EditKONTINGENT->setReadOnly(false);
    }
}

void TMainForm::setNoticeVisible(bool visible) {
    pnVarsel->setCurrentIndex(visible ? 1 : 0);
    laVARSLING->setVisible(visible);
}

void TMainForm::setMemberCount(long long count) { laAntall->setText(QString::number(count)); }

void TMainForm::setCategoryNames(const std::vector<std::string>& names,
                                 const std::string& current) {
    refreshingCategory_ = true;
    cbKATEGORI->clear();
    cbKATEGORI->addItem("");
    for (const auto& n : names) cbKATEGORI->addItem(q(n));
    cbKATEGORI->setCurrentText(q(current));
    refreshingCategory_ = false;
}

void TMainForm::setExtraFieldLabels(const std::array<std::string, 10>& labels) {
    bool any = false;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const bool shown = !labels[i].empty();
        laEKSTRA[i]->setText(q(labels[i]));
        laEKSTRA[i]->setVisible(shown);
        EditEKSTRA[i]->setVisible(shown);
        EditEKSTRA[i]->setEnabled(shown);
        any = any || shown;
    }
    laIngenEkstra->setVisible(!any);
}

void TMainForm::setSearchSubmenu(bool submenu) {
    miSok->setVisible(!submenu);
    miSokMenu->menuAction()->setVisible(submenu);
}

}  // namespace lagrull
