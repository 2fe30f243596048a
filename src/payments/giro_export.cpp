#include "payments/giro_export.h"

#include "common/error.h"
#include "common/file_names.h"
#include "common/text_codec.h"

namespace lagrull {

TOrvExportGiro::TOrvExportGiro(std::filesystem::path path, std::string_view fieldList)
    : path_(std::move(path)) {
    std::size_t start = 0;
    while (start <= fieldList.size()) {
        const std::size_t comma = std::min(fieldList.find(',', start), fieldList.size());
        fields_.emplace_back(fieldList.substr(start, comma - start));
        start = comma + 1;
    }
    values_.resize(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) content_ += (i ? "\t" : "") + fields_[i];
}

namespace {

// Field names are ASCII; compared without an allocation per call.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

std::size_t TOrvExportGiro::fieldIndex(std::string_view field) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (sameName(fields_[i], field)) return i;
    throw Error("Ikke gyldig feltnavn (" + std::string(field) + ") for giroeksport!");
}

void TOrvExportGiro::setValue(std::string_view field, std::string_view value) {
    setValue(fieldIndex(field), value);
}

void TOrvExportGiro::setValue(std::size_t index, std::string_view value) {
    std::string& v = values_.at(index);
    v.assign(value);
    for (char& c : v)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
}

void TOrvExportGiro::writeRecord() {
    content_ += "\r\n";
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (i) content_ += '\t';
        content_ += values_[i];
        values_[i].clear();
    }
}

void TOrvExportGiro::save() const {
    try {
        writeFileBytes(path_, fromUtf8(content_, CodePage::Windows1252));
    } catch (const FileError&) {
        throw FileError("Kan ikke skrive girofilen " + path_.string() +
                        ".\nKontroller at disken ikke er full og at katalogen finnes.");
    }
}

}  // namespace lagrull
