#pragma once
// TMainForm: the program's main window with the organisations and members
// pages. The widgets only show and collect; every rule is in
// TMainFormLogic, which talks back through the MainFormView operations.

#include <QMainWindow>
#include <array>
#include <memory>

#include "data/ui/db_navigator.h"
#include "register/kopier.h"
#include "register/main_form_logic.h"
#include "register/main_form_view.h"
#include "register/relations.h"

class QAction;
class QPushButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabWidget;

namespace lagrull {

class TDBCheckBox;
class TDBGrid;
class TDBMemo;
class TDBNavigator;
class TChoiceBoxDB;
class TMalDB;
class TNumDB;
class TPostNr;
class TVersionUpdate;
class TQtDesktop;
class Ui;
class FieldLink;
struct TPaymentQueries;

class TMainForm : public QMainWindow, public MainFormView {
    Q_OBJECT
public:
    TMainForm(data::DataStore& store, Ui& ui, TPostNr& postal, QWidget* parent = nullptr);
    ~TMainForm() override;

    TMainFormLogic& logic() { return *logic_; }
    // The program's online update, made at start; without it "Oppdatering
    // over internet" does nothing.
    void setVersionUpdate(TVersionUpdate* update) { versionUpdate_ = update; }
    // "Hent register fra eldre versjon…"; with `offer` the first start's
    // question comes first.
    void fetchOldRegister(bool offer = false);
    // At start: a register without organisations is offered one from an
    // older version.
    void offerOldRegisterWhenEmpty();
    // Where a fetched register's settings and templates go (tests move it).
    void setFetchTarget(std::string settingsFile, std::string directory) {
        fetchSettingsFile_ = std::move(settingsFile);
        fetchDirectory_ = std::move(directory);
    }

    // MainFormView
    void focusField(FormField field) override;
    void setMemberNumberEditable(bool editable) override;
    void setCategoryStrip(bool visible, bool nameEditable) override;
    void setHeading(const std::string& heading) override;
    void setMemberAmountFromCategory(bool fromCategory, double categoryAmount) override;
    void setNoticeVisible(bool visible) override;
    void setMemberCount(long long count) override;
    void setCategoryNames(const std::vector<std::string>& names,
                          const std::string& current) override;
    void setExtraFieldLabels(const std::array<std::string, 10>& labels) override;
    void setSearchSubmenu(bool submenu) override;

    // The line an empty register shows, and why the members page is closed.
    static QString firstStartGuidance();
    static QString membersPageClosed();

    // The widgets, named as the register names them (tests drive them).
    QTabWidget* PageControl = nullptr;
    TDBNavigator* DBNavigatorMain = nullptr;
    QAction* btSok = nullptr;
    QAction* miImport = nullptr;
    QAction* fetchOldRegisterAction = nullptr;
    QAction* btHjelp = nullptr;
    // Page "Organisasjoner"
    TDBGrid* grOrg = nullptr;
    TMalDB* EditORGNAVN = nullptr;
    TMalDB* EditADRESSE = nullptr;
    TMalDB* EditADRESSE2 = nullptr;
    TMalDB* EditPOSTNR = nullptr;
    TMalDB* EditPOSTSTED = nullptr;
    TMalDB* EditTELEFON = nullptr;
    TMalDB* EditBANKKONTO = nullptr;
    QLabel* laAntMedl = nullptr;
    QLabel* laAntall = nullptr;
    TDBCheckBox* cbAUTONR = nullptr;
    TDBMemo* EditTEKST = nullptr;
    QGroupBox* pnKontingent = nullptr;
    TDBNavigator* DBNavigatorKont = nullptr;
    TDBGrid* grKont = nullptr;
    QWidget* pnKontEdit = nullptr;
    TMalDB* EditKATEGORI = nullptr;
    TNumDB* EditBELOP = nullptr;
    TDBCheckBox* cbFASTBELOP = nullptr;
    std::array<TMalDB*, 10> EditEKSTRANAVN{};
    QGroupBox* pnRelStandard = nullptr;
    QLabel* laVeiledning = nullptr;     // what to do first in an empty register
    QLabel* laPostnrUkjent = nullptr;   // beside the organisation's place
    QLabel* laMPostnrUkjent = nullptr;  // beside the member's place
    // Page "Medlemmer"
    QLabel* laHeading = nullptr;
    TDBGrid* grMedl = nullptr;
    QLabel* laMedlNr = nullptr;
    TMalDB* EditMEDLNR = nullptr;
    TMalDB* EditENAVN = nullptr;
    TMalDB* EditFORNAVN = nullptr;
    TMalDB* EditMADRESSE = nullptr;
    TMalDB* EditMADRESSE2 = nullptr;
    TMalDB* EditMADRESSE3 = nullptr;
    TMalDB* EditMPOSTNR = nullptr;
    TMalDB* EditMPOSTSTED = nullptr;
    TMalDB* EditMTELEFON = nullptr;
    TMalDB* EditEMAIL = nullptr;
    TMalDB* EditFIRMA = nullptr;
    TDBMemo* EditMTEKST = nullptr;
    QComboBox* cbKATEGORI = nullptr;
    TNumDB* EditKONTINGENT = nullptr;
    TChoiceBoxDB* cbBETALING = nullptr;
    TChoiceBoxDB* cbVARSLING = nullptr;
    QLabel* laVARSLING = nullptr;
    QStackedWidget* pnVarsel = nullptr;  // the notice choice or a blank of its size
    TMalDB* EditFDATO = nullptr;
    TMalDB* EditMEDLFRADATO = nullptr;
    TMalDB* EditMBANKKONTO = nullptr;
    std::array<QLabel*, 10> laEKSTRA{};
    std::array<TMalDB*, 10> EditEKSTRA{};
    QLabel* laIngenEkstra = nullptr;
    QGroupBox* pnEkstra = nullptr;
    // Menu
    QAction* miOrganisasjoner = nullptr;
    QAction* miMedlemmer = nullptr;
    QAction* miSok = nullptr;
    QMenu* miSokMenu = nullptr;
    QAction* miSokNavn = nullptr;
    QAction* miSokNr = nullptr;
    QAction* miSokFirma = nullptr;
    QAction* miKopiering = nullptr;
    QAction* miSletting = nullptr;
    QAction* Kontingentutsendelse1 = nullptr;  // "&Generere betalingsposter" / "&Husleieinnkreving"
    QAction* miGiroutskrift = nullptr;
    QAction* KravBtn = nullptr;  // tool button of claim generation
    QAction* GiroBtn = nullptr;  // tool button "Giroutskrift"

    // The relation panels' navigators: new, delete, edit.
    std::array<QPushButton*, 3> btRelStandard{};
    std::array<QPushButton*, 3> btRelMedlem{};

    // The bulk functions and the relation dialogs (main_form_bulk.cpp).
    void standardRelation(TRelOperation operation);
    void memberRelation(bool edit);
    void deleteMemberRelation();
    void kopier(TKopierMode mode);
    // "Importer medlemsliste fra fil".
    void importMembers();
    // "Oppdatering over internet" and the support mail of the help menu.
    void manualUpdate();
    void supportMail(bool withData);
    // Claim generation, giro printing, and the dialog "Giroutskrifter".
    void betalinger();
    void giro();
    void giroutskrifter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildOrganisationPage();
    QWidget* buildMemberPage();
    QGroupBox* buildCategoryPanel();
    void buildMenus();
    void buildToolBar();
    void bindFields();
    void applyCaptions();
    void pageChanged(int tab);
    void focusMoved(QWidget* from, QWidget* to);
    void runGuarded(const std::function<void()>& step);
    void printScreen();
    void printerSetup();
    void reindex();
    void setup();
    void payments();
    void updateMembersPage();
    void updatePostalHints();
    // Ctrl+S or Ctrl+Enter saves, Escape cancels: the category being
    // edited, else the page's record.
    void saveOrCancel(NavButton button);
    // The navigator row under a relation grid.
    QWidget* relationNavigator(bool standard, QWidget* parent);

    QAction* setupAction_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* contentsAction_ = nullptr;
    QAction* aboutAction_ = nullptr;

    data::DataStore& store_;
    std::string fetchSettingsFile_, fetchDirectory_;  // empty: the program's own
    Ui& ui_;
    TPostNr& postal_;
    TVersionUpdate* versionUpdate_ = nullptr;
    std::unique_ptr<TQtDesktop> desktop_;
    RegisterKind kind_;
    std::unique_ptr<TMainFormLogic> logic_;
    std::unique_ptr<FieldLink> categoryLink_;
    // IBSelectQuery and IBDeleteQuery, lent to the payment window.
    std::unique_ptr<TPaymentQueries> paymentQueries_;
    data::Subscription organisationRows_;
    data::Subscription memberRows_;
    bool refreshingCategory_ = false;
};

}  // namespace lagrull
