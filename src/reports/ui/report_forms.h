#pragma once
// The member reports' own windows: TfoEgenDef (the columns of the
// user-defined report) and TfoRappUtskrifter ("Generer rapport", the print
// settings), their factory, and where a finished report goes in the
// program: the preview, the text editor, the "Skriver ut....." window.
// The windows show and edit what their logic steps hold (reports/rapp.h).

#include <QDialog>
#include <array>

#include "common/settings_keys.h"
#include "reports/rapp.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace lagrull {

class Ui;

inline constexpr int kHelpEgenDefTopic = 42;
inline constexpr int kHelpRappUtskrifterTopic = 43;

class TfoEgenDef : public QDialog, public reports::TEgenDefStep {
    Q_OBJECT
public:
    TfoEgenDef(Ui& ui, RegisterKind registerKind, QWidget* parent = nullptr);

    std::array<QComboBox*, reports::kEgenDefRows> cbFelt{};
    std::array<QSpinBox*, reports::kEgenDefRows> edPos{};
    QPushButton* btLagre;
    QPushButton* btHent;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

    void saveLayout();
    void loadLayout();

protected:
    int Execute() override;
    void RowsChanged() override;

private:
    void takeRows();
    Ui& ui_;
};

class TfoRappUtskrifter : public QDialog, public reports::TRappUtskrifterStep {
    Q_OBJECT
public:
    TfoRappUtskrifter(Ui& ui, RegisterKind registerKind, QWidget* parent = nullptr);

    QComboBox* cbSortering;
    QComboBox* cbFontSize;
    QGroupBox* gbEtiketter;
    std::array<QSpinBox*, 7> edSettings{};  // the margins, offsets and columns
    QDoubleSpinBox* edLabelHeight;
    QRadioButton* rbEtternavnFornavn;
    QRadioButton* rbFornavnEtternavn;
    QCheckBox* cbMedMedlemsnr;
    QCheckBox* cbMedRelasjoner;
    QGroupBox* gbFil;
    QCheckBox* cbSkrivTilFil;
    QLabel* laFilnavn;
    QComboBox* cbSkilletegn;
    QPushButton* btNullstill;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    int Execute() override;
    void SettingsChanged() override;

private:
    void takeSettings();
    Ui& ui_;
    bool showing_ = false;
};

class TQtReportSteps : public reports::TRappStepFactory {
public:
    TQtReportSteps(Ui& ui, RegisterKind registerKind, QWidget* parent)
        : ui_(ui), registerKind_(registerKind), parent_(parent) {}
    std::unique_ptr<reports::TEgenDefStep> CreateEgenDef() override;
    std::unique_ptr<reports::TRappUtskrifterStep> CreateRappUtskrifter() override;

private:
    Ui& ui_;
    RegisterKind registerKind_;
    QWidget* parent_;
};

class TQtReportOutput : public reports::TReportOutput {
public:
    TQtReportOutput(Ui& ui, RegisterKind registerKind, QWidget* parent);
    ~TQtReportOutput() override;
    void ShowReport(const report::ReportLayout& layout, report::TReportRowSource& rows) override;
    void OpenTextFile(const std::string& file) override;
    bool TextFileProgress(int percent) override;

private:
    Ui& ui_;
    RegisterKind registerKind_;
    QWidget* parent_;
    class Progress;
    std::unique_ptr<Progress> progress_;
};

// The menu entries "&Medlemsliste", "&Etiketter" and "Egen&definert".
void RunMemberReport(reports::TRappKind kind, Ui& ui, data::TOrvDbMng& dbMng,
                     data::TOrvTable& organisations, data::TOrvTable& members,
                     RegisterKind registerKind, QWidget* parent);

}  // namespace lagrull
