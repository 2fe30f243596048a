#include "services/import_form_logic.h"

#include <iterator>

#include "common/error.h"
#include "common/ui.h"

namespace lagrull {

namespace {

constexpr int kTypeSample = 20;  // values examined per column by the type check
constexpr int kPreviewValues = 200;

bool fits(data::FieldType type, TColumnKind kind) {
    switch (type) {
        case data::FieldType::Integer:
            return kind == TColumnKind::ckNumber || kind == TColumnKind::ckNone;
        case data::FieldType::Float: return kind != TColumnKind::ckText;
        default: return true;
    }
}

}  // namespace

const std::vector<std::string>& ImportSeparatorCaptions() {
    static const std::vector<std::string> captions = {
        "Tabulator", "Semikolon", "Kolon", "Krøllalfa", "Komma", "Punktum", "Backslash", "Ctrl-R"};
    return captions;
}

const std::vector<std::string>& ImportTextConvertCaptions() {
    static const std::vector<std::string> captions = {"Windows", "Dos", "Ctos", "UTF-8"};
    return captions;
}

TImportFormLogic::TImportFormLogic(Ui& ui, tFileTrans& trans) : ui_(ui), trans_(trans) {}

bool TImportFormLogic::ChooseFile(const std::string& path) {
    trans_.FileName = path;
    Rows.clear();
    if (!trans_.Load()) return false;
    trans_.TextConvert = trans_.GuessTextConvert();
    trans_.FieldSeparator =
        trans_.TextConvert == TTextConvert::tcCtos ? kCtrlR : trans_.GuessSeparator();
    trans_.GuessHeader();
    rebuildRows();
    return true;
}

void TImportFormLogic::rebuildRows() {
    Rows.clear();
    const int columns = trans_.ColumnCount();
    for (int c = 1; c <= columns; ++c) Rows.push_back(trans_.MappedField(c));
}

int TImportFormLogic::SeparatorIndex() const {
    const auto& all = tFileTrans::kSeparators;
    for (std::size_t i = 0; i < std::size(all); ++i)
        if (all[i] == trans_.FieldSeparator) return static_cast<int>(i);
    return 0;
}

void TImportFormLogic::SetSeparatorIndex(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(tFileTrans::kSeparators))) return;
    SetSeparator(tFileTrans::kSeparators[index]);
}

void TImportFormLogic::SetSeparator(char separator) {
    trans_.FieldSeparator = separator;
    const std::vector<int> old = Rows;
    rebuildRows();
    for (std::size_t i = 0; i < Rows.size() && i < old.size(); ++i) Rows[i] = old[i];
}

void TImportFormLogic::SetTextConvert(TTextConvert convert) {
    const bool wasCtos = trans_.TextConvert == TTextConvert::tcCtos;
    trans_.TextConvert = convert;
    if (convert == TTextConvert::tcCtos)
        SetSeparatorIndex(static_cast<int>(std::size(tFileTrans::kSeparators)) - 1);
    else if (wasCtos)
        SetSeparatorIndex(0);
}

std::vector<std::string> TImportFormLogic::FieldChoices() const {
    std::vector<std::string> choices = {kIngenTilknytning};
    for (const data::TFieldInfo& f : trans_.Target().Fields) choices.push_back(f.Name);
    return choices;
}

std::vector<std::string> TImportFormLogic::Preview(int row) const {
    return trans_.ColumnValues(row + 1, kPreviewValues, false, false, false);
}

int TImportFormLogic::CheckTypes() {
    trans_.ClearMapping();
    for (std::size_t r = 0; r < Rows.size(); ++r)
        trans_.SetMapping(static_cast<int>(r) + 1, Rows[r]);
    for (std::size_t r = 0; r < Rows.size(); ++r) {
        if (Rows[r] < 0) continue;
        const data::TFieldInfo& field =
            trans_.Target().Fields.at(static_cast<std::size_t>(Rows[r]));
        const int column = static_cast<int>(r) + 1;
        const TColumnKind kind = ClassifyColumn(
            trans_.ColumnValues(column, kTypeSample, true, true, trans_.FieldNameHeader));
        if (fits(field.DataType, kind)) continue;
        ui_.error("Ikke overenstemmelse mellom kollone nr " + std::to_string(column) +
                  " og feltet \"" + field.Name +
                  "\" sine data.~Sjekk kobling mellom kollone og felt");
        return static_cast<int>(r);
    }
    return -1;
}

bool TImportFormLogic::Run(TUpdateConfirm* confirm, std::function<void(long line)> progress) {
    trans_.OnConfirm = Manual ? confirm : nullptr;
    trans_.OnProgress = std::move(progress);
    try {
        if (trans_.Execute(ui_)) return true;
        ui_.error(trans_.ErrorMessage());
    } catch (const Error& e) {
        // The window stays open on a failed import, so the failure is shown here.
        ui_.error(e.what());
    }
    return false;
}

}  // namespace lagrull
