#pragma once
// TOrvExportGiro: the giro export file BANKGIRO.TXT that carries one giro run
// to the giro printer. Plain text in Windows-1252: a header line of the field
// names, then per record CR LF and the values, all separated by TAB, with no
// line break after the last record.
//
// Invariants:
// - A record holds only what was set for it: writeRecord() empties every
//   value after writing it.
// - A TAB, CR or LF inside a value becomes a blank, so a value can never
//   shift the fields after it or start a record of its own.
// - save() writes through a temporary file and a rename: a failed write
//   never leaves half a file, and the previous file stays until the new one
//   is whole. (The old class saved in its destructor; a destructor cannot
//   report a failed write, so the caller saves.)

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lagrull {

// The fields of the giro export file, in file order.
inline constexpr const char* kGiroFieldList =
    "betnavn,betaddr1,betaddr2,betpostnr,betpostst,adresse3,varsel,betkonto,kid,forf,belop,"
    "motnavn,motaddr1,motaddr2,motpostnr,motpostst,motkonto,tekst1,tekst2,tekst3,tekst4,tekst5,"
    "tekst6,tekst7,tekst8,tekst9,tekst10,tekst11,tekst12,tekst13,tekst14";

inline constexpr const char* kGiroFileName = "BANKGIRO.TXT";

class TOrvExportGiro {
public:
    // `fieldList`: the field names separated by commas.
    TOrvExportGiro(std::filesystem::path path, std::string_view fieldList);

    // By field name without regard to case; an unknown name raises
    // "Ikke gyldig feltnavn (" name ") for giroeksport!". Values are UTF-8.
    void setValue(std::string_view field, std::string_view value);
    // The same by the field's position, found once with fieldIndex (which
    // raises the same error), for a run of many records.
    std::size_t fieldIndex(std::string_view field) const;
    void setValue(std::size_t index, std::string_view value);
    void writeRecord();
    // Writes the content in Windows-1252.
    void save() const;

    const std::filesystem::path& path() const { return path_; }
    const std::vector<std::string>& fields() const { return fields_; }
    const std::string& content() const { return content_; }  // UTF-8

private:
    std::filesystem::path path_;
    std::vector<std::string> fields_;
    std::vector<std::string> values_;
    std::string content_;
};

}  // namespace lagrull
